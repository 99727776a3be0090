// The setup program as administrators deploy it: silent runs with values on the command line,
// checked by what they leave on the machine (program files, site.ini, shortcuts, the Add/Remove
// Programs entry), by starting the installed launcher from its Start menu shortcut, and by an
// uninstall that keeps the users' own settings.
//
// It installs and removes ZOLV Online for the whole machine: run it in a Wine prefix of its own
// (tests/installer/run.sh) or on a throwaway Windows machine, as an administrator.
#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace zolv {
namespace {

using namespace std::string_literals;

const wchar_t* const kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZOLVOnline";
constexpr DWORD kTimeoutMs = 60000;
constexpr DWORD kInvalidValues = 3;

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
  return path;
}

std::wstring InstallDir() {
  return Folder(CSIDL_PROGRAM_FILES) + L"\\ZOLV Online";
}
std::wstring InstalledProgram() {
  return InstallDir() + L"\\ZOLVWeb.exe";
}
std::wstring SiteIni() {
  return InstallDir() + L"\\site.ini";
}
std::wstring StartMenuShortcut() {
  return Folder(CSIDL_COMMON_PROGRAMS) + L"\\ZOLV Online.lnk";
}
std::wstring DesktopShortcut() {
  return Folder(CSIDL_COMMON_DESKTOPDIRECTORY) + L"\\ZOLV Online.lnk";
}
std::wstring UserSettingsDir() {
  return Folder(CSIDL_LOCAL_APPDATA) + L"\\ZOLV";
}
std::wstring UserSettings() {
  return UserSettingsDir() + L"\\ZOLVWeb.ini";
}

bool Exists(const std::wstring& path) {
  return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  win32::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file)
    return std::nullopt;
  std::string bytes;
  char buffer[65536];
  DWORD read = 0;
  while (::ReadFile(file.get(), buffer, sizeof buffer, &read, nullptr) && read > 0)
    bytes.append(buffer, read);
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  win32::UniqueFile file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(file) << "cannot create " << std::string(path.begin(), path.end());
  DWORD written = 0;
  ASSERT_TRUE(
      ::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
}

std::string SiteIniText(const std::string& host, const std::string& clientId) {
  return "[Site]\r\nHost=" + host + "\r\nClientId=" + clientId + "\r\n";
}

bool UninstallKeyExists() {
  win32::UniqueRegKey key;
  return ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, kUninstallKey, 0, KEY_READ, key.put()) ==
         ERROR_SUCCESS;
}

std::optional<std::wstring> RegText(const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::optional<DWORD> RegNumber(const wchar_t* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegGetValueW(HKEY_LOCAL_MACHINE, kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

// Runs a command line and returns its exit code; a program still running after the time-out is
// ended and fails the test.
DWORD Run(std::wstring commandLine) {
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    ADD_FAILURE() << "cannot start " << std::string(commandLine.begin(), commandLine.end());
    return ~DWORD{0};
  }
  win32::UniqueHandleObject process(info.hProcess);
  win32::UniqueHandleObject thread(info.hThread);
  if (::WaitForSingleObject(process.get(), kTimeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 1);
    ADD_FAILURE() << "still running: " << std::string(commandLine.begin(), commandLine.end());
    return ~DWORD{0};
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return code;
}

DWORD RunSetup(const std::wstring& arguments) {
  return Run(L"\"" ZOLV_TEST_SETUP L"\" /S " + arguments);
}

template <typename Condition>
bool WaitFor(Condition condition) {
  const ULONGLONG deadline = ::GetTickCount64() + kTimeoutMs;
  while (!condition()) {
    if (::GetTickCount64() > deadline)
      return false;
    ::Sleep(100);
  }
  return true;
}

// Runs the uninstaller as the Add/Remove Programs entry says. It hands over to a copy of itself
// and returns at once, so the end is awaited on what it removes.
void Uninstall() {
  const auto command = RegText(L"QuietUninstallString");
  ASSERT_TRUE(command);
  ASSERT_EQ(Run(*command), 0u);
  ASSERT_TRUE(WaitFor([] { return !UninstallKeyExists() && !Exists(InstallDir()); }))
      << "the uninstaller did not finish";
}

// Every test starts on a machine without ZOLV Online and leaves it so; the user's own settings
// file is set aside and put back.
class Installer : public ::testing::Test {
 protected:
  void SetUp() override {
    userSettings_ = ReadBytes(UserSettings());
    RemoveInstallation();
  }
  void TearDown() override {
    RemoveInstallation();
    if (userSettings_) {
      WriteBytes(UserSettings(), *userSettings_);
    } else {
      ::DeleteFileW(UserSettings().c_str());
      ::RemoveDirectoryW(UserSettingsDir().c_str());
    }
  }

  static void RemoveInstallation() {
    if (UninstallKeyExists() && Exists(InstallDir()))
      Uninstall();
    for (const wchar_t* name : {L"ZOLVWeb.exe", L"site.ini", L"Uninstall.exe"})
      ::DeleteFileW((InstallDir() + L"\\" + name).c_str());
    ::RemoveDirectoryW(InstallDir().c_str());
    ::DeleteFileW(StartMenuShortcut().c_str());
    ::DeleteFileW(DesktopShortcut().c_str());
    ::RegDeleteKeyW(HKEY_LOCAL_MACHINE, kUninstallKey);
  }

 private:
  std::optional<std::string> userSettings_;
};

TEST_F(Installer, SilentInstallPutsProgramValuesShortcutsAndUninstallEntry) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com:8080 /CLIENTID=42 /DESKTOP=1"), 0u);

  const auto program = ReadBytes(InstalledProgram());
  ASSERT_TRUE(program);
  EXPECT_TRUE(*program == ReadBytes(ZOLV_TEST_PROGRAM)) << "not the built ZOLVWeb.exe";
  EXPECT_TRUE(Exists(InstallDir() + L"\\Uninstall.exe"));
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("zolv.example.com:8080", "42"));
  EXPECT_TRUE(Exists(StartMenuShortcut()));
  EXPECT_TRUE(Exists(DesktopShortcut()));

  const std::wstring dir = InstallDir();
  EXPECT_EQ(RegText(L"DisplayName"), L"ZOLV Online");
  EXPECT_EQ(RegText(L"DisplayVersion"), ZOLV_TEST_VERSION);
  EXPECT_EQ(RegText(L"Publisher"), L"ZOLV");
  EXPECT_EQ(RegText(L"DisplayIcon"), dir + L"\\ZOLVWeb.exe,0");
  EXPECT_EQ(RegText(L"InstallLocation"), dir);
  EXPECT_EQ(RegText(L"UninstallString"), L"\"" + dir + L"\\Uninstall.exe\"");
  EXPECT_EQ(RegText(L"QuietUninstallString"), L"\"" + dir + L"\\Uninstall.exe\" /S");
  EXPECT_EQ(RegNumber(L"NoModify"), 1u);
  EXPECT_EQ(RegNumber(L"NoRepair"), 1u);
  const auto size = RegNumber(L"EstimatedSize");
  ASSERT_TRUE(size);
  EXPECT_GE(*size, program->size() / 1024);
}

TEST_F(Installer, TheStartMenuShortcutStartsTheInstalledLauncher) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=1"), 0u);
  ASSERT_EQ(::FindWindowW(nullptr, L"ZOLV Online"), nullptr) << "a launcher is already open";

  SHELLEXECUTEINFOW execute{};
  execute.cbSize = sizeof execute;
  execute.fMask = SEE_MASK_NOASYNC;
  const std::wstring shortcut = StartMenuShortcut();
  execute.lpFile = shortcut.c_str();
  execute.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(::ShellExecuteExW(&execute));

  HWND window = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (window = ::FindWindowW(nullptr, L"ZOLV Online")) != nullptr; }))
      << "no window \"ZOLV Online\"";
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  win32::UniqueHandleObject process(
      ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
  ASSERT_TRUE(process);
  wchar_t image[MAX_PATH];
  DWORD length = MAX_PATH;
  ASSERT_TRUE(::QueryFullProcessImageNameW(process.get(), 0, image, &length));
  EXPECT_EQ(
      ::CompareStringOrdinal(image, static_cast<int>(length), InstalledProgram().c_str(), -1, TRUE),
      CSTR_EQUAL)
      << "the window belongs to another program";

  ::PostMessageW(window, WM_CLOSE, 0, 0);
  EXPECT_EQ(::WaitForSingleObject(process.get(), kTimeoutMs), WAIT_OBJECT_0)
      << "the launcher did not close";
}

TEST_F(Installer, UpgradeWithoutValuesKeepsSiteIniAndTheDesktopChoice) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42 /DESKTOP=1"), 0u);
  // An administrator's note shows whether the file was written again.
  const std::string edited = SiteIniText("zolv.example.com", "42") + "; nota\r\n";
  WriteBytes(SiteIni(), edited);

  ASSERT_EQ(RunSetup(L""), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), edited);
  EXPECT_TRUE(Exists(DesktopShortcut()));

  ASSERT_EQ(RunSetup(L"/DESKTOP=0"), 0u);
  EXPECT_FALSE(Exists(DesktopShortcut()));
  EXPECT_TRUE(Exists(StartMenuShortcut()));
  EXPECT_EQ(ReadBytes(SiteIni()), edited);
}

TEST_F(Installer, NewValuesReplaceTheInstalledOnes) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);

  ASSERT_EQ(RunSetup(L"/HOST=[2001:db8::1]:443 /CLIENTID=-2147483648"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("[2001:db8::1]:443", "-2147483648"));

  // One new value: the other one stays.
  ASSERT_EQ(RunSetup(L"/CLIENTID=7"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("[2001:db8::1]:443", "7"));
  ASSERT_EQ(RunSetup(L"/HOST=192.0.2.10"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("192.0.2.10", "7"));
}

TEST_F(Installer, InvalidValuesFailAndChangeNothing) {
  EXPECT_EQ(RunSetup(L"/HOST=zolv..example.com /CLIENTID=42"), kInvalidValues);
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(UninstallKeyExists());
  if (std::wstring(ZOLV_TEST_BUILT_IN_HOST).empty()) {
    EXPECT_EQ(RunSetup(L""), kInvalidValues) << "installed without a host";
    EXPECT_FALSE(Exists(InstallDir()));
  }

  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  const auto site = ReadBytes(SiteIni());
  // A run that got as far as installing would put the shortcut back.
  ASSERT_TRUE(::DeleteFileW(StartMenuShortcut().c_str()));
  for (const wchar_t* arguments :
       {L"/HOST=zolv.example.com:0", L"/HOST=", L"/HOST=[::1", L"/HOST=\"zolv example\"",
        L"/CLIENTID=2147483648", L"/CLIENTID=", L"/CLIENTID=+1", L"/CLIENTID=0x10",
        L"/DESKTOP=yes"}) {
    SCOPED_TRACE(std::string(arguments, arguments + ::wcslen(arguments)));
    EXPECT_EQ(RunSetup(arguments), kInvalidValues);
    EXPECT_EQ(ReadBytes(SiteIni()), site);
    EXPECT_FALSE(Exists(StartMenuShortcut()));
    EXPECT_EQ(RegText(L"DisplayVersion"), ZOLV_TEST_VERSION);
  }
}

TEST_F(Installer, UninstallRemovesAllItInstalledButKeepsTheUsersSettings) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42 /DESKTOP=1"), 0u);
  ::CreateDirectoryW(UserSettingsDir().c_str(), nullptr);
  const std::string settings = "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n";
  WriteBytes(UserSettings(), settings);

  Uninstall();
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(Exists(StartMenuShortcut()));
  EXPECT_FALSE(Exists(DesktopShortcut()));
  EXPECT_EQ(ReadBytes(UserSettings()), settings);
}

}  // namespace
}  // namespace zolv
