// UninstallWait.exe: the uninstall command that deployment tools can wait for. Uninstall.exe
// cannot remove the folder it runs from, so run from there it hands a copy of itself the work
// and ends before anything is removed. This program makes that copy itself, in a folder of its
// own under %TEMP%, runs it on the installation folder (_?=), waits for its end and ends with
// its exit code. The copy moves this program's file into that folder, so the installation
// folder can go while this program still waits.
//
// Its command line is passed on to the uninstaller: UninstallWait.exe /S removes silently.
#include <windows.h>

#include <sddl.h>

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace {

using zolv::win32::UniqueHandleObject;
using zolv::win32::UniqueLocalMemory;

// The uninstaller's own code for a failure, used when it could not even be started.
constexpr DWORD kFailed = 2;
constexpr wchar_t kUninstaller[] = L"Uninstall.exe";
constexpr wchar_t kSelf[] = L"UninstallWait.exe";

std::wstring ProgramFolder() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return {};
    if (length < path.size()) {
      path.resize(length);
      return path.substr(0, path.find_last_of(L'\\'));
    }
    path.resize(path.size() * 2);
  }
}

// The command line after the program's own name.
const wchar_t* Arguments() {
  const wchar_t* line = ::GetCommandLineW();
  if (*line == L'"') {
    ++line;
    while (*line && *line != L'"')
      ++line;
    if (*line)
      ++line;
  } else {
    while (*line && *line != L' ' && *line != L'\t')
      ++line;
  }
  while (*line == L' ' || *line == L'\t')
    ++line;
  return line;
}

// Only SYSTEM, the administrators and the user running this may touch the folder: run as an
// administrator, %TEMP% may be C:\Windows\Temp, where every user can create files and folders,
// and a DLL planted beside the copy would run with the uninstaller's rights.
UniqueLocalMemory PrivateFolderSecurity() {
  UniqueHandleObject token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()))
    return {};
  alignas(TOKEN_USER) BYTE buffer[sizeof(TOKEN_USER) + SECURITY_MAX_SID_SIZE];
  DWORD size = 0;
  if (!::GetTokenInformation(token.get(), TokenUser, buffer, sizeof buffer, &size))
    return {};
  wchar_t* sid = nullptr;
  if (!::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(buffer)->User.Sid, &sid))
    return {};
  const UniqueLocalMemory sidText(sid);
  const std::wstring sddl =
      L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + std::wstring(sid) + L")";
  void* descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
    return {};
  return UniqueLocalMemory(descriptor);
}

// A new folder under %TEMP%, this run's only; empty when none could be made.
std::wstring MakeWorkFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  const UniqueLocalMemory security = PrivateFolderSecurity();
  if (length == 0 || length > MAX_PATH || !security)
    return {};
  SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
  const std::wstring stem = temp + (L"ZOLVOnline-" + std::to_wstring(::GetCurrentProcessId()));
  for (unsigned attempt = 0; attempt < 100; ++attempt) {
    const std::wstring folder = stem + L"-" + std::to_wstring(attempt);
    if (::CreateDirectoryW(folder.c_str(), &attributes))
      return folder;
    if (::GetLastError() != ERROR_ALREADY_EXISTS)
      return {};
  }
  return {};
}

// A process that has just ended may hold its program file for a moment.
void DeleteWhenFree(const std::wstring& path) {
  for (int attempt = 0; attempt < 50 && !::DeleteFileW(path.c_str()); ++attempt) {
    if (::GetLastError() == ERROR_FILE_NOT_FOUND)
      return;
    ::Sleep(100);
  }
}

DWORD RunUninstaller(const std::wstring& installation, const std::wstring& work) {
  const std::wstring copy = work + L"\\" + kUninstaller;
  if (!::CopyFileW((installation + L"\\" + kUninstaller).c_str(), copy.c_str(), TRUE))
    return kFailed;
  // _?= must come last and unquoted: the uninstaller takes the rest of the line as the folder.
  std::wstring command = L"\"" + copy + L"\" " + Arguments() + L" _?=" + installation;
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  DWORD code = kFailed;
  if (::CreateProcessW(copy.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                       work.c_str(), &startup, &process)) {
    const UniqueHandleObject processHandle(process.hProcess);
    const UniqueHandleObject thread(process.hThread);
    if (::WaitForSingleObject(processHandle.get(), INFINITE) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(processHandle.get(), &code))
      code = kFailed;
  }
  DeleteWhenFree(copy);
  return code;
}

DWORD UninstallAndWait() {
  const std::wstring installation = ProgramFolder();
  const std::wstring work = MakeWorkFolder();
  if (installation.empty() || work.empty())
    return kFailed;
  // A current directory inside the installation would keep its folder from being removed.
  ::SetCurrentDirectoryW(work.c_str());
  const DWORD code = RunUninstaller(installation, work);
  const std::wstring moved = work + L"\\" + kSelf;
  if (::GetFileAttributesW(moved.c_str()) == INVALID_FILE_ATTRIBUTES) {
    ::RemoveDirectoryW(work.c_str());
  } else {
    // This program's file cannot go while it runs. Windows deletes it at the next restart for
    // an administrator; a standard user's stays in the user's own %TEMP%.
    ::MoveFileExW(moved.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    ::MoveFileExW(work.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
  }
  return code;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, wchar_t*, int) {
  try {
    return static_cast<int>(UninstallAndWait());
  } catch (...) {
    return static_cast<int>(kFailed);
  }
}
