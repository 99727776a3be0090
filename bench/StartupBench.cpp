// StartupBench: measures the launcher as a person meets it, from outside, as another program.
//   StartupBench startup <rounds> <launcher.exe> <plain.exe> <floor.exe> <empty window.exe>
//                        [<another launcher.exe> ...]
//     Time from CreateProcessW to the main window shown (with a button, for all but the empty
//     window), and the peak working set half a second later, once the window has painted, so
//     that work moved past the first paint still counts. Each round starts the programs one
//     after the other, beginning with the next one each time, after one warm-up run of each.
//     The plain launcher does the launcher's whole start-up in plain Win32 calls: the aims are
//     set against it. The floor is the least a program with themed controls costs; the empty
//     window, the least any windowed program does. Other builds of the launcher, when named, run
//     in the same rounds, to compare builds on a busy machine.
//   StartupBench handover <launcher.exe> <floor.exe> <empty window.exe> <stamp file> <runs>
//     From the access button's click (BM_CLICK) to the browser's creation and first instruction
//     (the stamp browser's record), and from the browser's creation to the launcher's exit,
//     against 6 s. Each run clicks the floor's button first (ButtonWindow /shell: the same shell
//     call, nothing else), whose time the launcher's own share is counted against. First the
//     system's own share: the same hand-over by a bare ShellExecuteW call of a warm process, and
//     the empty window's time from WM_CLOSE to its exit.
// Prints the rows of the results table (Markdown) on stdout, each run on stderr.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchStats.h"
#include "platform/win32/system/UniqueHandle.h"

namespace {

using zolv::bench::Median;
using zolv::bench::Quantile;
using zolv::win32::UniqueHandleObject;

constexpr wchar_t kLauncherCaption[] = L"ZOLV Online";
constexpr wchar_t kPlainCaption[] = L"Plain Launcher";
constexpr wchar_t kFloorCaption[] = L"Button Window";
constexpr wchar_t kBaselineCaption[] = L"Minimal Window";
constexpr wchar_t kAccessCaption[] = L"Acceder ZOLV Online";
constexpr DWORD kPatienceMs = 30000;
// From the window shown to the peak working set's reading: the first paint is over by then.
constexpr DWORD kPaintedMs = 500;
// The aims, against the plain launcher.
constexpr double kStartupAim = 1.04;
constexpr double kPeakAim = 1.03;

double Milliseconds(LONGLONG ticks) {
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  return static_cast<double>(ticks) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

LONGLONG Now() {
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return now.QuadPart;
}

// 100 ns units since 1601, as FILETIME counts them.
long long FileTimeTicks(const FILETIME& time) {
  return static_cast<long long>((static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                time.dwLowDateTime);
}

long long PreciseNow() {
  FILETIME now;
  GetSystemTimePreciseAsFileTime(&now);
  return FileTimeTicks(now);
}

std::wstring Text(HWND window) {
  wchar_t text[256];
  return std::wstring(text, static_cast<std::size_t>(GetWindowTextW(window, text, 256)));
}

struct Search {
  DWORD processId;
  const wchar_t* caption;
  HWND found;
};

BOOL CALLBACK MatchShownWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner == search.processId && IsWindowVisible(window) && Text(window) == search.caption) {
    search.found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK MatchShownButton(HWND child, LPARAM parameter) {
  auto& search = *reinterpret_cast<Search*>(parameter);
  wchar_t className[16];
  GetClassNameW(child, className, 16);
  if (_wcsicmp(className, L"Button") == 0 && IsWindowVisible(child) &&
      (!search.caption || Text(child) == search.caption)) {
    search.found = child;
    return FALSE;
  }
  return TRUE;
}

// A visible top-level window of the process with this caption.
HWND FindShownWindow(DWORD processId, const wchar_t* caption) {
  Search search{processId, caption, nullptr};
  EnumWindows(MatchShownWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

// A visible button below `window`; with a caption, the one that shows it.
HWND FindShownButton(HWND window, const wchar_t* caption = nullptr) {
  Search search{0, caption, nullptr};
  EnumChildWindows(window, MatchShownButton, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

class Child {
 public:
  explicit Child(const std::wstring& path, const std::wstring& arguments = {}) {
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
    if (!arguments.empty())
      commandLine += L" " + arguments;
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    start_ = Now();
    if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        folder.c_str(), &startup, &started))
      return;
    process_.reset(started.hProcess);
    CloseHandle(started.hThread);
    processId_ = started.dwProcessId;
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() {
    if (process_) {
      TerminateProcess(process_.get(), 0);
      WaitForSingleObject(process_.get(), kPatienceMs);
    }
  }

  bool Started() const { return static_cast<bool>(process_); }
  HANDLE Process() const { return process_.get(); }

  // The main window once it shows (with a button when asked), and the milliseconds since the
  // process was created; nothing when it does not show in time.
  HWND WaitForWindow(const wchar_t* caption, bool withButton, double& elapsedMs) const {
    const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
    while (GetTickCount64() < deadline) {
      HWND window = FindShownWindow(processId_, caption);
      if (window && (!withButton || FindShownButton(window))) {
        elapsedMs = Milliseconds(Now() - start_);
        return window;
      }
      if (WaitForSingleObject(process_.get(), 1) == WAIT_OBJECT_0)
        return nullptr;
    }
    return nullptr;
  }

  double PeakWorkingSetMiB() const {
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process_.get(), &counters, sizeof counters))
      return 0;
    return static_cast<double>(counters.PeakWorkingSetSize) / (1024.0 * 1024.0);
  }

 private:
  UniqueHandleObject process_;
  DWORD processId_ = 0;
  LONGLONG start_ = 0;
};

struct StartRun {
  double ms = 0;
  double peakMiB = 0;
};

// A program measured at start-up: where it is, the caption of its main window, and whether the
// window counts as shown only with a button in it.
struct Program {
  std::wstring path;
  const wchar_t* caption;
  bool withButton;
  std::vector<double> ms, peakMiB;
};

bool MeasureStart(const Program& program, StartRun& run) {
  Child child(program.path);
  if (!child.Started() || !child.WaitForWindow(program.caption, program.withButton, run.ms))
    return false;
  Sleep(kPaintedMs);
  run.peakMiB = child.PeakWorkingSetMiB();
  return true;
}

const char* Verdict(bool met) {
  return met ? "met" : "**missed**";
}

// The per-round ratios of `ours` to `theirs`, for their spread.
std::vector<double> Ratios(const std::vector<double>& ours, const std::vector<double>& theirs) {
  std::vector<double> ratios;
  for (std::size_t i = 0; i < ours.size(); ++i)
    ratios.push_back(ours[i] / theirs[i]);
  return ratios;
}

// "1.07 (rounds 1.01-1.12)": median over median, and the middle half of the rounds' ratios.
std::string RatioText(const std::vector<double>& ours, const std::vector<double>& theirs) {
  const std::vector<double> ratios = Ratios(ours, theirs);
  char text[96];
  std::snprintf(text, sizeof text, "%.2f (rounds' IQR %.2f-%.2f)", Median(ours) / Median(theirs),
                Quantile(ratios, 0.25), Quantile(ratios, 0.75));
  return text;
}

// The table rows of the start-up measurement: the launcher against the plain launcher, with
// the aims; the floor (a window with a themed button) and the plain empty window for reference.
void PrintStartupRows(int rounds, const Program& launcher, const Program& plain,
                      const Program& floor, const Program& empty) {
  const double startupRatio = Median(launcher.ms) / Median(plain.ms);
  const double peakRatio = Median(launcher.peakMiB) / Median(plain.peakMiB);
  std::printf(
      "| Start-up to the window with its buttons, median of %d rounds | %.1f ms | plain launcher "
      "(the same start-up in plain Win32 calls) %.1f ms; floor (one window, one push button, "
      "common controls v6) %.1f ms; empty window %.1f ms | to the plain launcher %s; to the "
      "floor %s; to the empty window %s | <= %.2f x plain launcher | %s |\n",
      rounds, Median(launcher.ms), Median(plain.ms), Median(floor.ms), Median(empty.ms),
      RatioText(launcher.ms, plain.ms).c_str(), RatioText(launcher.ms, floor.ms).c_str(),
      RatioText(launcher.ms, empty.ms).c_str(), kStartupAim, Verdict(startupRatio <= kStartupAim));
  std::printf(
      "| Peak working set %u ms after the window shows | %.1f MiB | plain launcher %.1f MiB; "
      "floor %.1f MiB; empty window %.1f MiB | to the plain launcher %s; to the floor %s | <= "
      "%.2f x plain launcher | %s |\n",
      static_cast<unsigned>(kPaintedMs), Median(launcher.peakMiB), Median(plain.peakMiB),
      Median(floor.peakMiB), Median(empty.peakMiB),
      RatioText(launcher.peakMiB, plain.peakMiB).c_str(),
      RatioText(launcher.peakMiB, floor.peakMiB).c_str(), kPeakAim, Verdict(peakRatio <= kPeakAim));
}

// Rounds of the programs one after the other; each round starts with the next program, so that
// none always follows the same one.
int Startup(int rounds, std::vector<Program>& programs) {
  StartRun warmUp;
  for (const Program& program : programs) {
    if (!MeasureStart(program, warmUp)) {
      std::fprintf(stderr, "a program did not show its window\n");
      return 1;
    }
  }
  for (int round = 0; round < rounds; ++round) {
    std::fprintf(stderr, "round %2d:", round);
    for (std::size_t i = 0; i < programs.size(); ++i) {
      Program& program = programs[(static_cast<std::size_t>(round) + i) % programs.size()];
      StartRun run;
      if (!MeasureStart(program, run)) {
        std::fprintf(stderr, " a program did not show its window\n");
        return 1;
      }
      std::fprintf(stderr, " %ls %.1f ms %.1f MiB;", program.caption, run.ms, run.peakMiB);
      program.ms.push_back(run.ms);
      program.peakMiB.push_back(run.peakMiB);
    }
    std::fprintf(stderr, "\n");
  }
  PrintStartupRows(rounds, programs[0], programs[1], programs[2], programs[3]);
  for (std::size_t i = 4; i < programs.size(); ++i) {
    const Program& other = programs[i];
    std::printf(
        "| The same, another build of the launcher (`%ls`) | %.1f ms; %.1f MiB | | to the plain "
        "launcher %s; peak working set %s | | |\n",
        other.path.c_str(), Median(other.ms), Median(other.peakMiB),
        RatioText(other.ms, programs[1].ms).c_str(),
        RatioText(other.peakMiB, programs[1].peakMiB).c_str());
  }
  return 0;
}

// The stamp browser's first record: its first instruction's time and its creation time.
bool ReadStamp(const std::wstring& file, long long& started, long long& created) {
  const zolv::win32::UniqueFile stamp(CreateFileW(file.c_str(), GENERIC_READ,
                                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  char text[128] = {};
  DWORD read = 0;
  return stamp && ReadFile(stamp.get(), text, sizeof text - 1, &read, nullptr) &&
         std::sscanf(text, "%lld %lld", &started, &created) == 2;
}

// Waits for the stamp browser's record; false when none comes in time.
bool WaitForStamp(const std::wstring& stampFile, long long& started, long long& created) {
  const ULONGLONG deadline = GetTickCount64() + kPatienceMs;
  while (!ReadStamp(stampFile, started, created)) {
    if (GetTickCount64() > deadline)
      return false;
    Sleep(1);
  }
  return true;
}

// Milliseconds between two precise system times (100 ns units).
double MsBetween(long long from, long long to) {
  return static_cast<double>(to - from) / 1e4;
}

// "12.3 ms (IQR 11.0-14.1)"
std::string SpreadText(const std::vector<double>& samples) {
  char text[64];
  std::snprintf(text, sizeof text, "%.1f ms (IQR %.1f-%.1f)", Median(samples),
                Quantile(samples, 0.25), Quantile(samples, 0.75));
  return text;
}

struct ShellTimes {
  std::vector<double> toStart, toCreation, returnAfterCreation;
};

// The same hand-over from a program that does nothing else: what starting a browser through
// the shell costs on this system, whoever asks.
bool ShellBaseline(const std::wstring& stampFile, int runs, ShellTimes& times) {
  for (int run = 0; run < runs; ++run) {
    DeleteFileW(stampFile.c_str());
    const long long asked = PreciseNow();
    ShellExecuteW(nullptr, L"open", L"chrome.exe", L"http://zolv.example.com/web/index.php?id=1",
                  nullptr, SW_SHOW);
    const long long returned = PreciseNow();
    long long started = 0, created = 0;
    if (!WaitForStamp(stampFile, started, created))
      return false;
    times.toStart.push_back(MsBetween(asked, started));
    times.toCreation.push_back(MsBetween(asked, created));
    times.returnAfterCreation.push_back(MsBetween(created, returned));
  }
  return true;
}

// From WM_CLOSE to the end of the empty window's program: what ending a windowed process costs
// on this system.
bool ExitBaseline(const std::wstring& baseline, int runs, std::vector<double>& toExit) {
  for (int run = 0; run < runs; ++run) {
    Child child(baseline);
    double ignored = 0;
    HWND window = child.Started() ? child.WaitForWindow(kBaselineCaption, false, ignored) : nullptr;
    WaitForInputIdle(child.Process(), 5000);
    const long long asked = PreciseNow();
    FILETIME creation, exit, kernel, user;
    if (!window || !PostMessageW(window, WM_CLOSE, 0, 0) ||
        WaitForSingleObject(child.Process(), kPatienceMs) != WAIT_OBJECT_0 ||
        !GetProcessTimes(child.Process(), &creation, &exit, &kernel, &user))
      return false;
    toExit.push_back(MsBetween(asked, FileTimeTicks(exit)));
  }
  return true;
}

// Starts `program`, clicks its button (the one showing `buttonCaption`, or any) once it waits
// for input, as a person's click would find it, and waits for the stamp browser's record: the
// milliseconds from the click to the browser's creation and to its first instruction.
bool ClickToBrowser(Child& child, const wchar_t* caption, const wchar_t* buttonCaption,
                    const std::wstring& stampFile, double& toCreation, double& toStart,
                    long long& created) {
  DeleteFileW(stampFile.c_str());
  double ignored = 0;
  HWND window = child.Started() ? child.WaitForWindow(caption, true, ignored) : nullptr;
  WaitForInputIdle(child.Process(), 5000);
  HWND button = window ? FindShownButton(window, buttonCaption) : nullptr;
  if (!button)
    return false;
  const long long click = PreciseNow();
  PostMessageW(button, BM_CLICK, 0, 0);
  long long started = 0;
  if (!WaitForStamp(stampFile, started, created))
    return false;
  toCreation = MsBetween(click, created);
  toStart = MsBetween(click, started);
  return true;
}

int Handover(const std::wstring& launcher, const std::wstring& floor, const std::wstring& baseline,
             const std::wstring& stampFile, int runs) {
  // The launcher passes its environment on to the browsers it starts.
  SetEnvironmentVariableW(L"ZOLV_BENCH_STAMP", stampFile.c_str());
  ShellTimes shell;
  std::vector<double> closeToExit;
  if (!ShellBaseline(stampFile, runs, shell) || !ExitBaseline(baseline, runs, closeToExit)) {
    std::fprintf(stderr, "a baseline could not be measured\n");
    return 1;
  }
  std::vector<double> toStart, toCreation, endError, floorToStart, floorToCreation;
  for (int run = 0; run < runs; ++run) {
    double floorCreation = 0, floorStart = 0, creationMs = 0, start = 0;
    long long created = 0;
    {
      Child child(floor, L"/shell");
      if (!ClickToBrowser(child, kFloorCaption, nullptr, stampFile, floorCreation, floorStart,
                          created)) {
        std::fprintf(stderr, "run %d: the floor started no browser\n", run);
        return 1;
      }
    }
    Child child(launcher);
    FILETIME creation, exit, kernel, user;
    if (!ClickToBrowser(child, kLauncherCaption, kAccessCaption, stampFile, creationMs, start,
                        created) ||
        WaitForSingleObject(child.Process(), kPatienceMs) != WAIT_OBJECT_0 ||
        !GetProcessTimes(child.Process(), &creation, &exit, &kernel, &user)) {
      std::fprintf(stderr, "run %d: no browser start or no exit\n", run);
      return 1;
    }
    const double end = MsBetween(created, FileTimeTicks(exit)) - 6000.0;
    std::fprintf(stderr,
                 "run %2d: browser created %6.1f ms, started %6.1f ms; end %+7.1f ms; floor: "
                 "created %6.1f ms, started %6.1f ms\n",
                 run, creationMs, start, end, floorCreation, floorStart);
    toStart.push_back(start);
    toCreation.push_back(creationMs);
    endError.push_back(end);
    floorToStart.push_back(floorStart);
    floorToCreation.push_back(floorCreation);
  }
  // The launcher's own share: how much later than the floor's click the browser exists.
  const double ownShare = Median(toCreation) - Median(floorToCreation);
  std::printf(
      "| Hand-over: access click to the browser's first instruction, median of %d | %s; "
      "browser created after %.1f ms | floor (its button starts the browser) %.1f ms, created "
      "after %.1f ms; bare `ShellExecuteW` %.1f ms, created after %.1f ms | | < 50 ms | %s |\n",
      runs, SpreadText(toStart).c_str(), Median(toCreation), Median(floorToStart),
      Median(floorToCreation), Median(shell.toStart), Median(shell.toCreation),
      Verdict(Median(toStart) < 50));
  std::printf(
      "| Hand-over: the launcher's own share (browser created after the click, minus the "
      "floor's) | %.1f ms | (against a bare `ShellExecuteW` of a warm process: %.1f ms) | | <= "
      "5 ms | %s |\n",
      ownShare, Median(toCreation) - Median(shell.toCreation), Verdict(ownShare <= 5));
  const double endMedian = Median(endError);
  std::printf(
      "| End: launcher exit after the browser's creation, minus 6000 ms, median | %s | empty "
      "window: WM_CLOSE to exit %.1f ms; `ShellExecuteW` returns %.1f ms after the creation | | "
      "< 30 ms | %s |\n",
      SpreadText(endError).c_str(), Median(closeToExit), Median(shell.returnAfterCreation),
      Verdict(endMedian < 30 && endMedian > -30));
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc >= 7 && std::wcscmp(argv[1], L"startup") == 0) {
    std::vector<Program> programs{{argv[3], kLauncherCaption, true, {}, {}},
                                  {argv[4], kPlainCaption, true, {}, {}},
                                  {argv[5], kFloorCaption, true, {}, {}},
                                  {argv[6], kBaselineCaption, false, {}, {}}};
    for (int other = 7; other < argc; ++other)
      programs.push_back({argv[other], kLauncherCaption, true, {}, {}});
    return Startup(_wtoi(argv[2]), programs);
  }
  if (argc == 7 && std::wcscmp(argv[1], L"handover") == 0)
    return Handover(argv[2], argv[3], argv[4], argv[5], _wtoi(argv[6]));
  std::fprintf(
      stderr,
      "usage: StartupBench startup <rounds> <launcher> <plain launcher> <floor> <empty window> "
      "[<launcher>]\n"
      "       StartupBench handover <launcher> <floor> <empty window> <stamp file> <runs>\n");
  return 2;
}
