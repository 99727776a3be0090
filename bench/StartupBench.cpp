// StartupBench: measures the launcher as a person meets it, from outside, as another program.
//   StartupBench startup <launcher.exe> <baseline.exe> <pairs>
//     Time from CreateProcessW to the main window shown (the launcher's with its buttons), and
//     the peak working set read just before the process is ended; launcher and baseline runs
//     alternate, after one warm-up run of each.
//   StartupBench handover <launcher.exe> <baseline.exe> <stamp file> <runs>
//     From the access button's click (BM_CLICK) to the browser's first instruction (the stamp
//     browser's record), and from the browser's creation to the launcher's exit, against 6 s.
//     First the system's own share of both: the same hand-over by a bare ShellExecuteW call,
//     and the baseline's time from WM_CLOSE to its exit.
// Prints one "name=value" line per result, for scripts/bench.sh.
#include <windows.h>
// After windows.h, which they need.
#include <psapi.h>
#include <shellapi.h>

#include <cstdio>
#include <cwchar>
#include <string>
#include <vector>

#include "BenchStats.h"
#include "platform/win32/UniqueHandle.h"

namespace {

using zolv::bench::Median;
using zolv::bench::Quantile;
using zolv::win32::UniqueHandleObject;

constexpr wchar_t kLauncherCaption[] = L"ZOLV Online";
constexpr wchar_t kBaselineCaption[] = L"Minimal Window";
constexpr wchar_t kAccessCaption[] = L"Acceder ZOLV Online";
constexpr DWORD kPatienceMs = 30000;

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
  explicit Child(const std::wstring& path) {
    const std::wstring folder = path.substr(0, path.find_last_of(L'\\') + 1);
    std::wstring commandLine = L"\"" + path + L"\"";
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

bool MeasureStart(const std::wstring& path, const wchar_t* caption, bool withButton,
                  StartRun& run) {
  Child child(path);
  if (!child.Started() || !child.WaitForWindow(caption, withButton, run.ms))
    return false;
  run.peakMiB = child.PeakWorkingSetMiB();
  return true;
}

void Print(const char* name, double value) {
  std::printf("%s=%.3f\n", name, value);
}

void PrintSpread(const char* name, const std::vector<double>& samples) {
  const std::string prefix(name);
  Print((prefix + "_median").c_str(), Median(samples));
  Print((prefix + "_p25").c_str(), Quantile(samples, 0.25));
  Print((prefix + "_p75").c_str(), Quantile(samples, 0.75));
  Print((prefix + "_min").c_str(), Quantile(samples, 0));
  Print((prefix + "_max").c_str(), Quantile(samples, 1));
}

int Startup(const std::wstring& launcher, const std::wstring& baseline, int pairs) {
  StartRun warmUp;
  if (!MeasureStart(launcher, kLauncherCaption, true, warmUp) ||
      !MeasureStart(baseline, kBaselineCaption, false, warmUp)) {
    std::fprintf(stderr, "a program did not show its window\n");
    return 1;
  }
  std::vector<double> launcherMs, baselineMs, ratios, launcherPeak, baselinePeak, peakRatios;
  for (int pair = 0; pair < pairs; ++pair) {
    StartRun ours, theirs;
    // Alternate which goes first, so that neither always follows the other.
    const bool launcherFirst = pair % 2 == 0;
    const bool ok = launcherFirst ? MeasureStart(launcher, kLauncherCaption, true, ours) &&
                                        MeasureStart(baseline, kBaselineCaption, false, theirs)
                                  : MeasureStart(baseline, kBaselineCaption, false, theirs) &&
                                        MeasureStart(launcher, kLauncherCaption, true, ours);
    if (!ok) {
      std::fprintf(stderr, "pair %d: a program did not show its window\n", pair);
      return 1;
    }
    std::fprintf(stderr, "pair %2d: launcher %7.1f ms %6.1f MiB, baseline %7.1f ms %6.1f MiB\n",
                 pair, ours.ms, ours.peakMiB, theirs.ms, theirs.peakMiB);
    launcherMs.push_back(ours.ms);
    baselineMs.push_back(theirs.ms);
    ratios.push_back(ours.ms / theirs.ms);
    launcherPeak.push_back(ours.peakMiB);
    baselinePeak.push_back(theirs.peakMiB);
    peakRatios.push_back(ours.peakMiB / theirs.peakMiB);
  }
  Print("startup_pairs", pairs);
  PrintSpread("startup_launcher_ms", launcherMs);
  PrintSpread("startup_baseline_ms", baselineMs);
  PrintSpread("startup_ratio", ratios);
  PrintSpread("peak_launcher_mib", launcherPeak);
  PrintSpread("peak_baseline_mib", baselinePeak);
  PrintSpread("peak_ratio", peakRatios);
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

// The same hand-over from a program that does nothing else: what starting a browser through
// the shell costs on this system, whoever asks.
bool ShellBaseline(const std::wstring& stampFile, int runs) {
  std::vector<double> toStart, toCreation, returnAfterCreation;
  for (int run = 0; run < runs; ++run) {
    DeleteFileW(stampFile.c_str());
    const long long asked = PreciseNow();
    ShellExecuteW(nullptr, L"open", L"chrome.exe", L"http://zolv.example.com/web/index.php?id=1",
                  nullptr, SW_SHOW);
    const long long returned = PreciseNow();
    long long started = 0, created = 0;
    if (!WaitForStamp(stampFile, started, created))
      return false;
    toStart.push_back(static_cast<double>(started - asked) / 1e4);
    toCreation.push_back(static_cast<double>(created - asked) / 1e4);
    returnAfterCreation.push_back(static_cast<double>(returned - created) / 1e4);
  }
  PrintSpread("shell_start_ms", toStart);
  PrintSpread("shell_created_ms", toCreation);
  PrintSpread("shell_return_after_creation_ms", returnAfterCreation);
  return true;
}

// From WM_CLOSE to the end of the minimal program: what ending a windowed process costs on
// this system.
bool ExitBaseline(const std::wstring& baseline, int runs) {
  std::vector<double> toExit;
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
    toExit.push_back(static_cast<double>(FileTimeTicks(exit) - asked) / 1e4);
  }
  PrintSpread("baseline_close_to_exit_ms", toExit);
  return true;
}

int Handover(const std::wstring& launcher, const std::wstring& baseline,
             const std::wstring& stampFile, int runs) {
  // The launcher passes its environment on to the browsers it starts.
  SetEnvironmentVariableW(L"ZOLV_BENCH_STAMP", stampFile.c_str());
  if (!ShellBaseline(stampFile, runs) || !ExitBaseline(baseline, runs)) {
    std::fprintf(stderr, "a baseline could not be measured\n");
    return 1;
  }
  std::vector<double> toStart, toCreation, endError;
  for (int run = 0; run < runs; ++run) {
    DeleteFileW(stampFile.c_str());
    Child child(launcher);
    double ignored = 0;
    HWND window = child.Started() ? child.WaitForWindow(kLauncherCaption, true, ignored) : nullptr;
    // Clicked only once the launcher waits for input, as a person's click would find it.
    WaitForInputIdle(child.Process(), 5000);
    HWND access = window ? FindShownButton(window, kAccessCaption) : nullptr;
    if (!access) {
      std::fprintf(stderr, "run %d: no access button\n", run);
      return 1;
    }
    const long long click = PreciseNow();
    PostMessageW(access, BM_CLICK, 0, 0);
    long long started = 0, created = 0;
    FILETIME creation, exit, kernel, user;
    if (!WaitForStamp(stampFile, started, created) ||
        WaitForSingleObject(child.Process(), kPatienceMs) != WAIT_OBJECT_0 ||
        !GetProcessTimes(child.Process(), &creation, &exit, &kernel, &user)) {
      std::fprintf(stderr, "run %d: no browser start or no exit\n", run);
      return 1;
    }
    const double start = static_cast<double>(started - click) / 1e4;
    const double creationMs = static_cast<double>(created - click) / 1e4;
    const double end = static_cast<double>(FileTimeTicks(exit) - created) / 1e4 - 6000.0;
    std::fprintf(stderr, "run %2d: browser created %6.1f ms, started %6.1f ms; end %+7.1f ms\n",
                 run, creationMs, start, end);
    toStart.push_back(start);
    toCreation.push_back(creationMs);
    endError.push_back(end);
  }
  Print("handover_runs", runs);
  PrintSpread("handover_start_ms", toStart);
  PrintSpread("handover_created_ms", toCreation);
  PrintSpread("handover_end_error_ms", endError);
  return 0;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc == 5 && std::wcscmp(argv[1], L"startup") == 0)
    return Startup(argv[2], argv[3], _wtoi(argv[4]));
  if (argc == 6 && std::wcscmp(argv[1], L"handover") == 0)
    return Handover(argv[2], argv[3], argv[4], _wtoi(argv[5]));
  std::fprintf(stderr,
               "usage: StartupBench startup <launcher> <baseline> <pairs>\n"
               "       StartupBench handover <launcher> <baseline> <stamp file> <runs>\n");
  return 2;
}
