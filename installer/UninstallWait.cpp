// UninstallWait.exe: the uninstall command that deployment tools can wait for. Uninstall.exe
// cannot remove the folder it runs from, so run from there it hands a copy of itself the work
// and ends before anything is removed. This program makes that copy itself, in a folder of its
// own under %TEMP%, runs it on the installation folder (_?=), waits for its end and ends with
// its exit code. The copy moves this program's file into that folder when it is on the same
// volume, so the installation folder can go while this program still waits; on another volume
// it is renamed aside in the installation folder like a running launcher, and the exit code
// says what became of it.
//
// Nothing is queued for deletion at restart here: the copy of the uninstaller is deleted once it
// has ended, and this program's own file, which no program can delete while it runs, stays in
// the private folder (a restart pending after every clean uninstall would make deployment tools
// report one).
//
// Its command line is passed on to the uninstaller: UninstallWait.exe /S removes silently.
#include <windows.h>

#include <ntsecapi.h>
#include <sddl.h>

#include <string>

#include "platform/Files.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace {

using zolv::win32::UniqueHandleObject;
using zolv::win32::UniqueLocalMemory;

// The uninstaller's own code for a failure, used when it could not even be started.
constexpr DWORD kFailed = 2;
constexpr wchar_t kUninstaller[] = L"Uninstall.exe";

std::wstring ProgramFolder() {
  const std::wstring path(zolv::win32::Wide(zolv::files::ModuleFileName()));
  return path.substr(0, path.find_last_of(L'\\'));
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

bool Elevated() {
  UniqueHandleObject token;
  TOKEN_ELEVATION elevation{};
  DWORD size = 0;
  return ::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put()) &&
         ::GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof elevation, &size) &&
         elevation.TokenIsElevated;
}

// Who may touch the folder. Run as an administrator, %TEMP% may be C:\Windows\Temp, where every
// user can create files and folders, and a DLL planted beside the copy would run with the
// uninstaller's rights. Elevated, only SYSTEM and the administrators, the owner being the
// administrators: the same user's processes that are not elevated must not replace the copy
// between its making and its start. Not elevated, the user too: the folder is in the user's own
// %TEMP%.
UniqueLocalMemory PrivateFolderSecurity() {
  std::wstring sddl = L"O:BAD:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)";
  if (!Elevated()) {
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
    sddl = L"D:P(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;FA;;;" + std::wstring(sid) + L")";
  }
  void* descriptor = nullptr;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1,
                                                              &descriptor, nullptr))
    return {};
  return UniqueLocalMemory(descriptor);
}

// A name nobody can make ahead of this run: 128 random bits.
std::wstring RandomName() {
  unsigned char bytes[16];
  if (!RtlGenRandom(bytes, sizeof bytes))
    return {};
  std::wstring name = L"ZOLVOnline-";
  for (const unsigned char byte : bytes) {
    name += L"0123456789abcdef"[byte >> 4];
    name += L"0123456789abcdef"[byte & 15];
  }
  return name;
}

// A new folder under %TEMP%, this run's only; empty when none could be made. A folder of that
// name made by someone else is never used.
std::wstring MakeWorkFolder() {
  wchar_t temp[MAX_PATH + 1];
  const DWORD length = ::GetTempPathW(MAX_PATH + 1, temp);
  const UniqueLocalMemory security = PrivateFolderSecurity();
  if (length == 0 || length > MAX_PATH || !security)
    return {};
  SECURITY_ATTRIBUTES attributes{sizeof attributes, security.get(), FALSE};
  for (unsigned attempt = 0; attempt < 10; ++attempt) {
    const std::wstring name = RandomName();
    if (name.empty())
      return {};
    const std::wstring folder = temp + name;
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
  // Empty unless this program's file was moved into it.
  ::RemoveDirectoryW(work.c_str());
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
