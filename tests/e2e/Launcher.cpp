#include "Launcher.h"

#include <stdexcept>
#include <vector>

#include "Machine.h"
#include "Probe.h"
#include "WindowQueries.h"
#include "tests/support/StartProcess.h"

namespace zolv::e2e {

namespace {

struct TopLevelSearch {
  DWORD processId;
  std::vector<HWND> found;
};

BOOL CALLBACK CollectProcessWindow(HWND window, LPARAM parameter) {
  auto& search = *reinterpret_cast<TopLevelSearch*>(parameter);
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  if (processId == search.processId)
    search.found.push_back(window);
  return TRUE;
}

}  // namespace

Launcher::Launcher(const std::wstring& path, const std::wstring& currentFolder, Begin begin)
    : job_(CreateJobObjectW(nullptr, nullptr)) {
  if (!job_)
    throw std::runtime_error("cannot create a job object");
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job_.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

  std::wstring commandLine = L"\"" + path + L"\"";
  PROCESS_INFORMATION started{};
  // Suspended until it is in the job, so that nothing it starts can escape the job.
  if (!tests::StartProcess(path.c_str(), commandLine.data(), CREATE_SUSPENDED,
                           currentFolder.c_str(), started)) {
    throw std::runtime_error("cannot start ZOLVWeb.exe, error " + std::to_string(GetLastError()));
  }
  process_.reset(started.hProcess);
  thread_.reset(started.hThread);
  processId_ = started.dwProcessId;
  if (!AssignProcessToJobObject(job_.get(), process_.get())) {
    TerminateProcess(process_.get(), 1);
    throw std::runtime_error("cannot put ZOLVWeb.exe in a job");
  }
  if (begin == Begin::kAtOnce)
    Resume();
}

void Launcher::Resume() {
  ResumeThread(thread_.get());
}

Launcher::~Launcher() {
  Kill();
}

void Launcher::Kill() {
  TerminateJobObject(job_.get(), 1);
  TerminateProcess(process_.get(), 1);
  WaitForExit();
  WaitUntilAllEnded();
}

HWND Launcher::FindTopLevel(const std::wstring& className, const std::wstring& caption) const {
  TopLevelSearch search{processId_, {}};
  EnumWindows(CollectProcessWindow, reinterpret_cast<LPARAM>(&search));
  for (HWND window : search.found) {
    if (IsWindowVisible(window) && WindowText(window) == caption &&
        (className.empty() || ClassName(window) == className)) {
      return window;
    }
  }
  return nullptr;
}

HWND Launcher::WaitForMainWindow() {
  HWND window = nullptr;
  // The error box carries its own caption, so only the main window matches here.
  if (!WaitUntil([&] { return (window = FindTopLevel(L"", kMainCaption)) != nullptr; }))
    throw std::runtime_error("the launcher's window did not show");
  // The window turns visible before its thread has given the focus away and reached the
  // message loop; a message sent to it returns only once the thread takes messages again.
  WaitForInputIdle(process_.get(), 5000);
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &ignored);
  WaitUntil([&] { return IsChild(window, Focus(window)); }, 2s);
  return window;
}

HWND Launcher::WaitForErrorBox() {
  HWND box = nullptr;
  if (!WaitUntil([&] { return (box = FindTopLevel(L"#32770", kErrorBoxCaption)) != nullptr; }))
    throw std::runtime_error("no error box showed");
  WaitForInputIdle(process_.get(), 5000);
  return box;
}

bool Launcher::WaitForExit(std::chrono::milliseconds timeout) const {
  return WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION Launcher::Accounting() const {
  JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
  if (!QueryInformationJobObject(job_.get(), JobObjectBasicAccountingInformation, &accounting,
                                 sizeof accounting, nullptr)) {
    throw std::runtime_error("cannot read the job's accounting");
  }
  return accounting;
}

bool Launcher::WaitUntilAllEnded(std::chrono::milliseconds timeout) const {
  return WaitUntil([&] { return Accounting().ActiveProcesses == 0; }, timeout);
}

int Launcher::StartedProcesses() const {
  return static_cast<int>(Accounting().TotalProcesses) - 1;
}

HWND Launcher::Focus(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info))
    return nullptr;
  return info.hwndFocus;
}

std::optional<LOGFONTW> Launcher::Font(HWND control) const {
  return RemoteControlFont(process_.get(), control);
}

void PressKey(WORD key) {
  INPUT inputs[2]{};
  inputs[0].type = INPUT_KEYBOARD;
  inputs[0].ki.wVk = key;
  inputs[1] = inputs[0];
  inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
  if (SendInput(2, inputs, sizeof(INPUT)) != 2)
    throw std::runtime_error("the key could not be sent");
}

}  // namespace zolv::e2e
