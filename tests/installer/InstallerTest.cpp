// The setup program as administrators deploy it: silent runs with values on the command line,
// checked by what they leave on the machine (program files, site.ini, shortcuts, the Add/Remove
// Programs entry), by starting the installed launcher from its Start menu shortcut, and by an
// uninstall that keeps the users' own settings and returns only when it is done.
//
// It installs and removes ZOLV Online for the whole machine: run it in a Wine prefix of its own
// (tests/installer/run.sh) or on a throwaway Windows machine, as an administrator. The
// environment variables ZOLV_TEST_SETUP, ZOLV_TEST_MSI and ZOLV_TEST_PROGRAM name other
// installers and the program they hold (a signed release) instead of the build's.
#include <windows.h>

#include <aclapi.h>
#include <sddl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "RunProgram.h"
#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/DisposableMachine.h"
#include "tests/support/FileBytes.h"

namespace zolv {
namespace {

using tests::ReadBytes;
using tests::WriteBytes;

using namespace std::string_literals;

const wchar_t* const kUninstallKey =
    L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\ZOLVOnline";
constexpr DWORD kTimeoutMs = 60000;
constexpr DWORD kInvalidValues = 3;
constexpr DWORD kInUse = 1618;
constexpr DWORD kLeftBehind = 6;
constexpr DWORD kMsiInstalled = 7;
constexpr DWORD kNewerInstalled = 8;
constexpr DWORD kRestartNeeded = 3010;
constexpr DWORD kInstallFailure = 1603;

std::wstring FromEnvironment(const wchar_t* name, const wchar_t* builtIn) {
  wchar_t value[MAX_PATH];
  const DWORD length = ::GetEnvironmentVariableW(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::wstring(value, length) : builtIn;
}
const std::wstring kSetup = FromEnvironment(L"ZOLV_TEST_SETUP", ZOLV_TEST_SETUP);
const std::wstring kProgram = FromEnvironment(L"ZOLV_TEST_PROGRAM", ZOLV_TEST_PROGRAM);
const std::wstring kMsi = FromEnvironment(L"ZOLV_TEST_MSI", ZOLV_TEST_MSI);

std::wstring Folder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  EXPECT_EQ(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path), S_OK);
  return path;
}

// Installed for every user of the machine, or for the current user only.
enum class Scope { Machine, User };

std::wstring InstallDir(Scope scope = Scope::Machine) {
  return scope == Scope::Machine ? Folder(CSIDL_PROGRAM_FILES) + L"\\ZOLV Online"
                                 : Folder(CSIDL_LOCAL_APPDATA) + L"\\Programs\\ZOLV Online";
}
std::wstring InstalledProgram(Scope scope = Scope::Machine) {
  return InstallDir(scope) + L"\\ZOLVWeb.exe";
}
std::wstring SiteIni(Scope scope = Scope::Machine) {
  return InstallDir(scope) + L"\\site.ini";
}
std::wstring StartMenuShortcut(Scope scope = Scope::Machine) {
  return Folder(scope == Scope::Machine ? CSIDL_COMMON_PROGRAMS : CSIDL_PROGRAMS) +
         L"\\ZOLV Online.lnk";
}
std::wstring DesktopShortcut(Scope scope = Scope::Machine) {
  return Folder(scope == Scope::Machine ? CSIDL_COMMON_DESKTOPDIRECTORY : CSIDL_DESKTOPDIRECTORY) +
         L"\\ZOLV Online.lnk";
}
HKEY RegistryRoot(Scope scope) {
  return scope == Scope::Machine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER;
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

// As the launcher's settings engine writes it.
std::string SiteIniText(const std::string& host, const std::string& clientId) {
  return "[Site]\r\nHost=" + host + "\r\nClientId=" + clientId + "\r\n\r\n";
}

bool UninstallKeyExists(Scope scope = Scope::Machine) {
  win32::UniqueRegKey key;
  return ::RegOpenKeyExW(RegistryRoot(scope), kUninstallKey, 0, KEY_READ, key.put()) ==
         ERROR_SUCCESS;
}

std::optional<std::wstring> RegText(const wchar_t* name, Scope scope = Scope::Machine) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (::RegGetValueW(RegistryRoot(scope), kUninstallKey, name, RRF_RT_REG_SZ, nullptr, value,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::optional<DWORD> RegNumber(const wchar_t* name, Scope scope = Scope::Machine) {
  DWORD value = 0;
  DWORD size = sizeof value;
  if (::RegGetValueW(RegistryRoot(scope), kUninstallKey, name, RRF_RT_REG_DWORD, nullptr, &value,
                     &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

DWORD RunSetup(const std::wstring& arguments) {
  return RunProgram(L"\"" + kSetup + L"\" /S " + arguments);
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

// The files in the installation folder.
std::vector<std::wstring> FolderFiles(Scope scope) {
  std::vector<std::wstring> files;
  WIN32_FIND_DATAW found;
  win32::UniqueFindHandle find(::FindFirstFileW((InstallDir(scope) + L"\\*").c_str(), &found));
  if (find) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        files.push_back(found.cFileName);
    } while (::FindNextFileW(find.get(), &found));
  }
  return files;
}

// What an unfinished uninstall left: the Add/Remove Programs entry and the folder's files.
std::string Remains(Scope scope) {
  std::wstring left = UninstallKeyExists(scope) ? L" the uninstall entry;" : L"";
  for (const std::wstring& name : FolderFiles(scope))
    left += L" " + name;
  return std::string(left.begin(), left.end());
}

// Runs the uninstall command of the Add/Remove Programs entry, as deployment tools do, and
// returns its exit code; the command returns only once the removal is done.
DWORD QuietUninstall(Scope scope = Scope::Machine) {
  const auto command = RegText(L"QuietUninstallString", scope);
  if (!command) {
    ADD_FAILURE() << "no QuietUninstallString";
    return ~DWORD{0};
  }
  return RunProgram(*command);
}

void Uninstall(Scope scope = Scope::Machine) {
  ASSERT_EQ(QuietUninstall(scope), 0u);
  EXPECT_FALSE(UninstallKeyExists(scope));
  EXPECT_FALSE(Exists(InstallDir(scope)))
      << "the uninstall returned before its end; left:" << Remains(scope);
}

// The installed launcher, started and showing its window, until it is closed.
class RunningLauncher {
 public:
  explicit RunningLauncher(Scope scope = Scope::Machine) {
    EXPECT_EQ(::FindWindowW(nullptr, L"ZOLV Online"), nullptr) << "a launcher is already open";
    SHELLEXECUTEINFOW execute{};
    execute.cbSize = sizeof execute;
    execute.fMask = SEE_MASK_NOASYNC;
    const std::wstring shortcut = StartMenuShortcut(scope);
    execute.lpFile = shortcut.c_str();
    execute.nShow = SW_SHOWNORMAL;
    if (!::ShellExecuteExW(&execute)) {
      ADD_FAILURE() << "cannot open the Start menu shortcut";
      return;
    }
    if (!WaitFor([&] { return (window_ = ::FindWindowW(nullptr, L"ZOLV Online")) != nullptr; })) {
      ADD_FAILURE() << "no window \"ZOLV Online\"";
      return;
    }
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window_, &processId);
    process_.reset(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, processId));
    EXPECT_TRUE(process_);
  }
  ~RunningLauncher() { Close(); }

  HANDLE Process() const { return process_.get(); }

  void Close() {
    if (!process_)
      return;
    ::PostMessageW(window_, WM_CLOSE, 0, 0);
    EXPECT_EQ(::WaitForSingleObject(process_.get(), kTimeoutMs), WAIT_OBJECT_0)
        << "the launcher did not close";
    process_.reset();
  }

 private:
  HWND window_ = nullptr;
  win32::UniqueHandleObject process_;
};

// The MSI package's Add/Remove Programs entry, under its product code, in whichever registry
// view Windows Installer wrote it.
struct MsiEntry {
  std::wstring version;
  std::wstring publisher;
  std::wstring installLocation;
};

std::optional<std::wstring> KeyText(HKEY key, const wchar_t* name) {
  wchar_t value[1024];
  DWORD size = sizeof value;
  if (::RegGetValueW(key, nullptr, name, RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return std::nullopt;
  return value;
}

std::vector<MsiEntry> MsiEntries() {
  std::vector<MsiEntry> entries;
  for (const REGSAM view : {KEY_WOW64_64KEY, KEY_WOW64_32KEY}) {
    win32::UniqueRegKey uninstall;
    if (::RegOpenKeyExW(HKEY_LOCAL_MACHINE,
                        L"Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall", 0,
                        KEY_READ | view, uninstall.put()) != ERROR_SUCCESS)
      continue;
    wchar_t name[256];
    for (DWORD i = 0;; ++i) {
      DWORD length = 256;
      if (::RegEnumKeyExW(uninstall.get(), i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS)
        break;
      win32::UniqueRegKey product;
      if (name[0] != L'{' || ::RegOpenKeyExW(uninstall.get(), name, 0, KEY_READ | view,
                                             product.put()) != ERROR_SUCCESS)
        continue;
      if (KeyText(product.get(), L"DisplayName") == L"ZOLV Online")
        entries.push_back({KeyText(product.get(), L"DisplayVersion").value_or(L""),
                           KeyText(product.get(), L"Publisher").value_or(L""),
                           KeyText(product.get(), L"InstallLocation").value_or(L"")});
    }
  }
  return entries;
}

DWORD RunMsi(const std::wstring& action, const std::wstring& package,
             const std::wstring& properties) {
  return RunProgram(L"msiexec.exe " + action + L" \"" + package + L"\" /qn " + properties);
}

// Windows puts the per-machine package's shortcut in all users' Start menu (ALLUSERS=1); Wine's
// msiexec in the installing user's, whatever ALLUSERS says.
Scope MsiShortcutScope() {
  return tests::RunsUnderWine() ? Scope::User : Scope::Machine;
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
      ASSERT_TRUE(WriteBytes(UserSettings(), *userSettings_));
    } else {
      ::DeleteFileW(UserSettings().c_str());
      ::RemoveDirectoryW(UserSettingsDir().c_str());
    }
  }

  static void RemoveInstallation() {
    if (!MsiEntries().empty()) {
      RunMsi(L"/x", kMsi, L"");
      RunMsi(L"/x", ZOLV_TEST_NEXT_MSI, L"");
    }
    for (const Scope scope : {Scope::Machine, Scope::User}) {
      const std::wstring dir = InstallDir(scope);
      if (UninstallKeyExists(scope) && Exists(dir))
        Uninstall(scope);
      for (const wchar_t* name : {L"ZOLVWeb.exe", L"site.ini", L"Uninstall.exe",
                                  L"UninstallWait.exe", L"THIRD-PARTY-NOTICES.txt"})
        ::DeleteFileW((dir + L"\\" + name).c_str());
      // Launchers renamed aside by an uninstall while they ran.
      WIN32_FIND_DATAW found;
      win32::UniqueFindHandle find(::FindFirstFileW((dir + L"\\*.tmp").c_str(), &found));
      if (find) {
        do
          ::DeleteFileW((dir + L"\\" + found.cFileName).c_str());
        while (::FindNextFileW(find.get(), &found));
      }
      ::RemoveDirectoryW(dir.c_str());
      ::DeleteFileW(StartMenuShortcut(scope).c_str());
      ::DeleteFileW(DesktopShortcut(scope).c_str());
      ::RegDeleteKeyW(RegistryRoot(scope), kUninstallKey);
    }
  }

 private:
  std::optional<std::string> userSettings_;
};

TEST_F(Installer, SilentInstallPutsProgramValuesShortcutsAndUninstallEntry) {
  ASSERT_EQ(RunSetup(L"/ALLUSERS /HOST=zolv.example.com:8080 /CLIENTID=42 /DESKTOP=1"), 0u);

  const auto program = ReadBytes(InstalledProgram());
  ASSERT_TRUE(program);
  EXPECT_TRUE(*program == ReadBytes(kProgram)) << "not the built ZOLVWeb.exe";
  EXPECT_TRUE(Exists(InstallDir() + L"\\Uninstall.exe"));
  EXPECT_TRUE(Exists(InstallDir() + L"\\UninstallWait.exe"));
  EXPECT_TRUE(Exists(InstallDir() + L"\\THIRD-PARTY-NOTICES.txt"));
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
  EXPECT_EQ(RegText(L"QuietUninstallString"), L"\"" + dir + L"\\UninstallWait.exe\" /S");
  EXPECT_EQ(RegNumber(L"NoModify"), 1u);
  EXPECT_EQ(RegNumber(L"NoRepair"), 1u);
  const auto size = RegNumber(L"EstimatedSize");
  ASSERT_TRUE(size);
  EXPECT_GE(*size, program->size() / 1024);
}

// For the current user only: the user's own folders and HKCU, nothing for the machine; the same
// values, upgrades and uninstall.
TEST_F(Installer, PerUserInstallUpgradeAndUninstallStayWithTheUser) {
  ASSERT_EQ(RunSetup(L"/CURRENTUSER /HOST=zolv.example.com /CLIENTID=42 /DESKTOP=1"), 0u);
  const Scope user = Scope::User;
  const std::wstring dir = InstallDir(user);
  EXPECT_TRUE(ReadBytes(InstalledProgram(user)) == ReadBytes(kProgram));
  EXPECT_EQ(ReadBytes(SiteIni(user)), SiteIniText("zolv.example.com", "42"));
  EXPECT_TRUE(Exists(StartMenuShortcut(user)));
  EXPECT_TRUE(Exists(DesktopShortcut(user)));
  EXPECT_EQ(RegText(L"DisplayVersion", user), ZOLV_TEST_VERSION);
  EXPECT_EQ(RegText(L"InstallLocation", user), dir);
  EXPECT_EQ(RegText(L"QuietUninstallString", user), L"\"" + dir + L"\\UninstallWait.exe\" /S");
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(Exists(StartMenuShortcut()));

  const std::string edited = SiteIniText("zolv.example.com", "42") + "; nota\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(user), edited));
  ASSERT_EQ(RunSetup(L"/CURRENTUSER"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni(user)), edited);
  EXPECT_EQ(RunSetup(L"/CURRENTUSER /CLIENTID=x"), kInvalidValues);
  EXPECT_EQ(ReadBytes(SiteIni(user)), edited);

  ::CreateDirectoryW(UserSettingsDir().c_str(), nullptr);
  const std::string settings = "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n";
  ASSERT_TRUE(WriteBytes(UserSettings(), settings));
  Uninstall(user);
  EXPECT_FALSE(Exists(StartMenuShortcut(user)));
  EXPECT_FALSE(Exists(DesktopShortcut(user)));
  EXPECT_EQ(ReadBytes(UserSettings()), settings);
}

TEST_F(Installer, TheStartMenuShortcutStartsTheInstalledLauncher) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=1"), 0u);

  RunningLauncher launcher;
  ASSERT_TRUE(launcher.Process());
  wchar_t image[MAX_PATH];
  DWORD length = MAX_PATH;
  ASSERT_TRUE(::QueryFullProcessImageNameW(launcher.Process(), 0, image, &length));
  EXPECT_EQ(
      ::CompareStringOrdinal(image, static_cast<int>(length), InstalledProgram().c_str(), -1, TRUE),
      CSTR_EQUAL)
      << "the window belongs to another program";
}

TEST_F(Installer, UpgradeWithoutValuesKeepsSiteIniAndTheDesktopChoice) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42 /DESKTOP=1"), 0u);
  // An administrator's note shows whether the file was written again.
  const std::string edited = SiteIniText("zolv.example.com", "42") + "; nota\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), edited));

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

// The installer reads site.ini as the launcher does: quotes are part of the value, the last of
// two equal keys counts, and a UTF-8 mark (PowerShell 5.1 writes one) is no obstacle and stays.
TEST_F(Installer, UpgradeReadsSiteIniAsTheLauncherDoes) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);

  const std::string quoted = "[Site]\r\nHost=\"zolv.example.com\"\r\nClientId=42\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), quoted));
  EXPECT_EQ(RunSetup(L""), kInvalidValues) << "kept a host the launcher refuses";
  EXPECT_EQ(ReadBytes(SiteIni()), quoted);

  const std::string firstInvalid =
      "[Site]\r\nHost=zolv..example.com\r\nClientId=42\r\nHost=zolv.example.com\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), firstInvalid));
  EXPECT_EQ(RunSetup(L""), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), firstInvalid);
  const std::string lastInvalid =
      "[Site]\r\nHost=zolv.example.com\r\nClientId=42\r\nClientId=x\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), lastInvalid));
  EXPECT_EQ(RunSetup(L""), kInvalidValues);
  EXPECT_EQ(ReadBytes(SiteIni()), lastInvalid);

  const std::string mark = "\xEF\xBB\xBF";
  const std::string withMark = mark + "[Site]\r\nHost=zolv.example.com:8080\r\nClientId=5\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), withMark));
  EXPECT_EQ(RunSetup(L""), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), withMark);
  ASSERT_EQ(RunSetup(L"/CLIENTID=6"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), mark + SiteIniText("zolv.example.com:8080", "6"));
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
  ASSERT_TRUE(WriteBytes(UserSettings(), settings));

  Uninstall();
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(Exists(StartMenuShortcut()));
  EXPECT_FALSE(Exists(DesktopShortcut()));
  EXPECT_EQ(ReadBytes(UserSettings()), settings);
}

// The MSI package: the values from its public properties with the launcher's rules (a value it
// refuses fails with 1603 and leaves nothing), an upgrade in place that replaces the program and
// keeps site.ini, no downgrade, and an uninstall that removes what it installed and nothing of
// the user's.
TEST_F(Installer, MsiInstallsUpgradesInPlaceAndUninstalls) {
  for (const wchar_t* properties :
       {L"HOST=zolv..example.com CLIENTID=42", L"HOST=zolv.example.com CLIENTID=0x10"}) {
    SCOPED_TRACE(std::string(properties, properties + ::wcslen(properties)));
    EXPECT_EQ(RunMsi(L"/i", kMsi, properties), kInstallFailure);
    EXPECT_FALSE(Exists(InstallDir()));
    EXPECT_FALSE(Exists(StartMenuShortcut(MsiShortcutScope())));
    EXPECT_TRUE(MsiEntries().empty());
  }

  ASSERT_EQ(RunMsi(L"/i", kMsi, L"HOST=zolv.example.com:8080 CLIENTID=42"), 0u);
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == ReadBytes(kProgram));
  EXPECT_TRUE(Exists(InstallDir() + L"\\THIRD-PARTY-NOTICES.txt"));
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("zolv.example.com:8080", "42"));
  EXPECT_TRUE(Exists(StartMenuShortcut(MsiShortcutScope())));
  auto entries = MsiEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].version, ZOLV_TEST_VERSION);
  EXPECT_EQ(entries[0].publisher, L"ZOLV");
  EXPECT_EQ(entries[0].installLocation, InstallDir() + L"\\");
  {
    RunningLauncher launcher(MsiShortcutScope());
    EXPECT_TRUE(launcher.Process()) << "the Start menu shortcut does not start the launcher";
  }
  // The same package again: no second entry, the new value written.
  ASSERT_EQ(RunMsi(L"/i", kMsi, L"CLIENTID=9"), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), SiteIniText("zolv.example.com:8080", "9"));
  EXPECT_EQ(MsiEntries().size(), 1u);

  // An administrator's note shows whether the file was written again.
  const std::string edited = SiteIniText("zolv.example.com:8080", "9") + "; nota\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), edited));
  EXPECT_EQ(RunMsi(L"/i", ZOLV_TEST_NEXT_MSI, L"CLIENTID=x"), kInstallFailure);
  EXPECT_EQ(ReadBytes(SiteIni()), edited);
  ASSERT_EQ(RunMsi(L"/i", ZOLV_TEST_NEXT_MSI, L""), 0u);
  EXPECT_EQ(ReadBytes(SiteIni()), edited);
  // The later package holds a later program: the same code with a later version resource.
  const auto later = ReadBytes(ZOLV_TEST_NEXT_PROGRAM);
  ASSERT_TRUE(later);
  ASSERT_FALSE(later == ReadBytes(kProgram)) << "the later package holds the same program";
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == later) << "the upgrade kept the older program";
  entries = MsiEntries();
  ASSERT_EQ(entries.size(), 1u) << "the older package is still installed";
  EXPECT_EQ(entries[0].version, ZOLV_TEST_NEXT_VERSION);

  EXPECT_EQ(RunMsi(L"/i", kMsi, L""), kInstallFailure) << "installed an older version";
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == later);
  EXPECT_EQ(MsiEntries().size(), 1u);

  ::CreateDirectoryW(UserSettingsDir().c_str(), nullptr);
  const std::string settings = "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n";
  ASSERT_TRUE(WriteBytes(UserSettings(), settings));
  ASSERT_EQ(RunMsi(L"/x", ZOLV_TEST_NEXT_MSI, L""), 0u);
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_FALSE(Exists(StartMenuShortcut(MsiShortcutScope())));
  EXPECT_TRUE(MsiEntries().empty());
  EXPECT_EQ(ReadBytes(UserSettings()), settings);
}

// One product, one entry: the MSI package refuses to install over the installer's ZOLV Online,
// for the machine or for the user, and changes nothing of it.
TEST_F(Installer, MsiRefusesToInstallOverTheInstallersProduct) {
  for (const Scope scope : {Scope::Machine, Scope::User}) {
    SCOPED_TRACE(scope == Scope::Machine ? "for the machine" : "for the user");
    ASSERT_EQ(RunSetup(std::wstring(scope == Scope::Machine ? L"/ALLUSERS" : L"/CURRENTUSER") +
                       L" /HOST=zolv.example.com /CLIENTID=42"),
              0u);
    EXPECT_EQ(RunMsi(L"/i", kMsi, L"HOST=zolv.example.com CLIENTID=7"), kInstallFailure);
    EXPECT_TRUE(MsiEntries().empty());
    EXPECT_EQ(ReadBytes(SiteIni(scope)), SiteIniText("zolv.example.com", "42"));
    EXPECT_TRUE(UninstallKeyExists(scope));
    Uninstall(scope);
    EXPECT_FALSE(Exists(InstallDir()));
  }
}

// An upgrade goes where the installed version is (the folder the package remembers in the
// registry and finds again before costing), and finds site.ini there: the new program in that
// folder, site.ini byte for byte, nothing in Program Files. What only Windows can show: that a
// failed upgrade, its removal of the older version rolled back, leaves that version installed
// (Wine's msiexec has no rollback of a removal; check-msi.sh checks where it stands).
TEST_F(Installer, MsiUpgradeStaysInTheFolderOfTheInstalledVersion) {
  const std::wstring elsewhere = Folder(CSIDL_WINDOWS).substr(0, 3) + L"ZOLV Apps\\ZOLV Online";
  ASSERT_EQ(
      RunMsi(L"/i", kMsi, L"INSTALLDIR=\"" + elsewhere + L"\" HOST=zolv.example.com CLIENTID=42"),
      0u);
  ASSERT_TRUE(ReadBytes(elsewhere + L"\\ZOLVWeb.exe"));
  const std::string edited = SiteIniText("zolv.example.com", "42") + "; nota\r\n";
  ASSERT_TRUE(WriteBytes(elsewhere + L"\\site.ini", edited));

  ASSERT_EQ(RunMsi(L"/i", ZOLV_TEST_NEXT_MSI, L""), 0u);
  EXPECT_TRUE(ReadBytes(elsewhere + L"\\ZOLVWeb.exe") == ReadBytes(ZOLV_TEST_NEXT_PROGRAM))
      << "the upgrade did not replace the program where it was";
  EXPECT_EQ(ReadBytes(elsewhere + L"\\site.ini"), edited);
  EXPECT_FALSE(Exists(InstallDir())) << "the upgrade went into Program Files";
  const auto entries = MsiEntries();
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_EQ(entries[0].installLocation, elsewhere + L"\\");

  ASSERT_EQ(RunMsi(L"/x", ZOLV_TEST_NEXT_MSI, L""), 0u);
  EXPECT_FALSE(Exists(elsewhere));
  ::RemoveDirectoryW(elsewhere.substr(0, elsewhere.rfind(L'\\')).c_str());
}

// Nothing about site.ini stops a repair, a reinstall or an uninstall: values the launcher refuses
// need no mending to repair, and a site.ini another program holds (an editor, a script writing
// it) stays while the rest is removed, for the MSI package and the installer alike.
TEST_F(Installer, NothingAboutSiteIniBlocksRepairOrUninstall) {
  ASSERT_EQ(RunMsi(L"/i", kMsi, L"HOST=zolv.example.com CLIENTID=42"), 0u);
  const std::string refused = "[Site]\r\nHost=\"zolv.example.com\"\r\nClientId=x\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), refused));
  EXPECT_EQ(RunMsi(L"/i", kMsi, L""), 0u) << "a reinstall needed valid values";
  EXPECT_EQ(RunMsi(L"/i", kMsi, L"REINSTALL=ALL REINSTALLMODE=vomus"), 0u)
      << "a repair needed valid values";
  EXPECT_EQ(ReadBytes(SiteIni()), refused);

  const auto held = [](const std::wstring& path) {
    return win32::UniqueFile(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                           OPEN_EXISTING, 0, nullptr));
  };
  {
    const win32::UniqueFile site = held(SiteIni());
    ASSERT_TRUE(site);
    EXPECT_EQ(RunMsi(L"/x", kMsi, L""), 0u);
    EXPECT_FALSE(Exists(InstalledProgram()));
    EXPECT_TRUE(MsiEntries().empty());
    EXPECT_FALSE(Exists(StartMenuShortcut(MsiShortcutScope())));
  }
  EXPECT_EQ(ReadBytes(SiteIni()), refused);
  ::DeleteFileW(SiteIni().c_str());

  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  {
    const win32::UniqueFile site = held(SiteIni());
    ASSERT_TRUE(site);
    EXPECT_EQ(QuietUninstall(), 0u);
    EXPECT_FALSE(Exists(InstalledProgram()));
    EXPECT_FALSE(UninstallKeyExists());
    EXPECT_FALSE(Exists(StartMenuShortcut()));
  }
}

// A running launcher is renamed aside and only the new name is queued for the restart, so the
// restart cannot delete a program installed in the meantime; the uninstall says a restart is
// needed. Wine's restart (wineboot -r) carries out the queue.
TEST_F(Installer, UninstallWhileTheLauncherRunsCannotRemoveALaterInstall) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  RunningLauncher launcher;
  ASSERT_TRUE(launcher.Process());

  EXPECT_EQ(QuietUninstall(), kRestartNeeded);
  EXPECT_FALSE(Exists(InstalledProgram()));
  EXPECT_FALSE(UninstallKeyExists());
  EXPECT_FALSE(Exists(StartMenuShortcut()));

  // A deployment tool's reinstall, once the user has closed the launcher, then the restart.
  launcher.Close();
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  ASSERT_EQ(RunProgram(L"wineboot.exe -r"), 0u);
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == ReadBytes(kProgram))
      << "the restart removed the reinstalled launcher";
  EXPECT_TRUE(UninstallKeyExists());
}

// The waiting uninstall's exit code tells a launcher that is in use (5: try again later, nothing
// was removed) from the other outcomes. A file open without delete sharing can be neither
// deleted nor renamed, as a launcher held by a tool that way; an upgrade then changes nothing
// either.
TEST_F(Installer, ALauncherThatCannotBeMovedAsideStopsUninstallAndUpgradeWithInUse) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  const auto site = ReadBytes(SiteIni());
  {
    win32::UniqueFile held(::CreateFileW(InstalledProgram().c_str(), GENERIC_READ, FILE_SHARE_READ,
                                         nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held);
    EXPECT_EQ(QuietUninstall(), kInUse);
    EXPECT_TRUE(UninstallKeyExists());
    EXPECT_TRUE(Exists(StartMenuShortcut()));
    EXPECT_EQ(ReadBytes(SiteIni()), site);

    EXPECT_EQ(RunProgram(L"\"" + std::wstring(ZOLV_TEST_NEXT_SETUP) + L"\" /S"), kInUse);
    EXPECT_EQ(RegText(L"DisplayVersion"), ZOLV_TEST_VERSION);
  }
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == ReadBytes(kProgram));
  Uninstall();
}

// A standard user cannot have Windows delete a file at restart, so a per-user uninstall while
// the launcher runs promises no restart: it removes the rest, leaves the running program renamed
// in the folder and says so with its own exit code.
TEST_F(Installer, PerUserUninstallWhileTheLauncherRunsSaysWhatIsLeft) {
  const Scope user = Scope::User;
  ASSERT_EQ(RunSetup(L"/CURRENTUSER /HOST=zolv.example.com /CLIENTID=42"), 0u);
  RunningLauncher launcher(user);
  ASSERT_TRUE(launcher.Process());

  EXPECT_EQ(QuietUninstall(user), kLeftBehind);
  EXPECT_FALSE(UninstallKeyExists(user));
  EXPECT_FALSE(Exists(StartMenuShortcut(user)));
  const auto left = FolderFiles(user);
  ASSERT_EQ(left.size(), 1u) << Remains(user);
  EXPECT_EQ(left[0].substr(0, 2), L"ns");

  // Once closed, the next installation's uninstall takes it away.
  launcher.Close();
  ASSERT_EQ(RunSetup(L"/CURRENTUSER /HOST=zolv.example.com /CLIENTID=42"), 0u);
  Uninstall(user);
}

// Windows' queue of files to delete at the next restart, as deployment tools read it to tell
// whether a restart is pending.
std::wstring PendingDeletes() {
  wchar_t value[32768] = {};
  DWORD size = sizeof value - sizeof(wchar_t);
  ::RegGetValueW(HKEY_LOCAL_MACHINE, L"SYSTEM\\CurrentControlSet\\Control\\Session Manager",
                 L"PendingFileRenameOperations", RRF_RT_REG_MULTI_SZ, nullptr, value, &size);
  return std::wstring(value, size / sizeof(wchar_t));
}

std::wstring TempFolder() {
  wchar_t temp[MAX_PATH + 1] = {};
  ::GetTempPathW(MAX_PATH + 1, temp);
  return temp;
}

// The folders the waiting uninstall made under %TEMP%.
std::vector<std::wstring> WorkFolders() {
  std::vector<std::wstring> folders;
  WIN32_FIND_DATAW found;
  win32::UniqueFindHandle find(::FindFirstFileW((TempFolder() + L"ZOLVOnline-*").c_str(), &found));
  if (find) {
    do
      folders.push_back(TempFolder() + found.cFileName);
    while (::FindNextFileW(find.get(), &found));
  }
  return folders;
}

// The accounts the folder's access list grants anything to, as SID strings.
std::vector<std::wstring> Grantees(const std::wstring& folder) {
  PACL acl = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  std::vector<std::wstring> grantees;
  if (::GetNamedSecurityInfoW(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr,
                              nullptr, &acl, nullptr, &descriptor) != ERROR_SUCCESS)
    return grantees;
  const win32::UniqueLocalMemory owned(descriptor);
  for (DWORD i = 0; acl && i < acl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    wchar_t* sid = nullptr;
    if (::GetAce(acl, i, reinterpret_cast<void**>(&ace)) &&
        ::ConvertSidToStringSidW(&ace->SidStart, &sid)) {
      const win32::UniqueLocalMemory text(sid);
      grantees.push_back(sid);
    }
  }
  return grantees;
}

// The waiting uninstall leaves no restart pending after a clean removal, and runs the
// uninstaller's copy from a folder only SYSTEM and the administrators may write, under a name
// nobody can know ahead; its own file, which cannot go while it runs, stays there. With %TEMP%
// on another volume (a tmpfs here), its file cannot move there: it is renamed aside in the
// installation folder and queued for the restart, and the exit code says so. What only Windows
// can show: the folder's access list, and that the same user's processes that are not elevated
// cannot write into the folder (Wine keeps and enforces no access lists).
TEST_F(Installer, TheWaitingUninstallQueuesOnlyWhatItCannotDelete) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  const std::wstring pending = PendingDeletes();
  const auto earlier = WorkFolders();
  EXPECT_EQ(QuietUninstall(), 0u);
  EXPECT_FALSE(Exists(InstallDir()));
  EXPECT_EQ(PendingDeletes(), pending) << "a clean uninstall queued a delete at the restart";
  auto folders = WorkFolders();
  for (const std::wstring& folder : earlier)
    std::erase(folders, folder);
  ASSERT_EQ(folders.size(), 1u);
  const std::wstring work = folders[0];
  EXPECT_EQ(work.size(), TempFolder().size() + 11 + 32) << "not 128 random bits in its name";
  EXPECT_TRUE(Exists(work + L"\\UninstallWait.exe"));
  EXPECT_FALSE(Exists(work + L"\\Uninstall.exe")) << "the uninstaller's copy is left";
  // SYSTEM and the administrators. Wine keeps no access list of its own for a folder: it shows
  // one made from the Unix owner.
  if (!tests::RunsUnderWine()) {
    EXPECT_EQ(Grantees(work), (std::vector<std::wstring>{L"S-1-5-18", L"S-1-5-32-544"}));
  }
  ::DeleteFileW((work + L"\\UninstallWait.exe").c_str());
  ::RemoveDirectoryW(work.c_str());

  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  const std::wstring otherVolume = L"Z:\\dev\\shm\\zolv-installer-temp";
  ::CreateDirectoryW(otherVolume.c_str(), nullptr);
  ASSERT_FALSE(::MoveFileExW((InstallDir() + L"\\site.ini").c_str(),
                             (otherVolume + L"\\site.ini").c_str(), 0));
  ASSERT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_NOT_SAME_DEVICE))
      << "the test's other %TEMP% is on the installation's volume";
  ::SetEnvironmentVariableW(L"TMP", otherVolume.c_str());
  EXPECT_EQ(QuietUninstall(), kRestartNeeded);
  ::SetEnvironmentVariableW(L"TMP", nullptr);
  EXPECT_FALSE(Exists(InstalledProgram()));
  EXPECT_FALSE(UninstallKeyExists());
  const auto left = FolderFiles(Scope::Machine);
  ASSERT_EQ(left.size(), 1u) << Remains(Scope::Machine);
  EXPECT_EQ(left[0].substr(0, 2), L"ns");
  ASSERT_EQ(RunProgram(L"wineboot.exe -r"), 0u);
  EXPECT_FALSE(Exists(InstallDir())) << "the restart did not delete what was queued";
  ::RemoveDirectoryW(otherVolume.c_str());
}

// A newer installer replaces the program even while it runs (the running one is renamed aside)
// and keeps site.ini; an older one refuses to replace it, as Windows Installer does.
TEST_F(Installer, UpgradeReplacesTheProgramWhileItRunsAndDowngradeIsRefused) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  const std::string edited = SiteIniText("zolv.example.com", "42") + "; nota\r\n";
  ASSERT_TRUE(WriteBytes(SiteIni(), edited));
  const auto next = ReadBytes(ZOLV_TEST_NEXT_PROGRAM);
  ASSERT_TRUE(next);
  ASSERT_FALSE(next == ReadBytes(kProgram)) << "the later installer's program is the same";

  RunningLauncher launcher;
  ASSERT_TRUE(launcher.Process());
  ASSERT_EQ(RunProgram(L"\"" + std::wstring(ZOLV_TEST_NEXT_SETUP) + L"\" /S"), 0u);
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == next) << "the upgrade kept the old program";
  EXPECT_EQ(ReadBytes(SiteIni()), edited);
  EXPECT_EQ(RegText(L"DisplayVersion"), ZOLV_TEST_NEXT_VERSION);
  EXPECT_EQ(::WaitForSingleObject(launcher.Process(), 0), static_cast<DWORD>(WAIT_TIMEOUT));

  EXPECT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), kNewerInstalled);
  EXPECT_TRUE(ReadBytes(InstalledProgram()) == next);
  EXPECT_EQ(RegText(L"DisplayVersion"), ZOLV_TEST_NEXT_VERSION);

  // The old program, closed, goes with the uninstall.
  launcher.Close();
  Uninstall();
}

// One product, one Add/Remove Programs entry: beside the MSI package the installer installs
// nothing.
TEST_F(Installer, TheInstallerRefusesWhereTheMsiPackageIsInstalled) {
  ASSERT_EQ(RunMsi(L"/i", kMsi, L"HOST=zolv.example.com CLIENTID=42"), 0u);
  const auto site = ReadBytes(SiteIni());
  for (const wchar_t* scope : {L"/ALLUSERS", L"/CURRENTUSER"}) {
    SCOPED_TRACE(std::string(scope, scope + ::wcslen(scope)));
    EXPECT_EQ(RunSetup(std::wstring(scope) + L" /HOST=zolv.example.com /CLIENTID=7"),
              kMsiInstalled);
    EXPECT_FALSE(UninstallKeyExists(Scope::Machine));
    EXPECT_FALSE(UninstallKeyExists(Scope::User));
    EXPECT_FALSE(Exists(InstallDir(Scope::User)));
    EXPECT_EQ(ReadBytes(SiteIni()), site);
  }
}

std::optional<std::wstring> VersionText(const std::vector<BYTE>& info, const wchar_t* name) {
  wchar_t* text = nullptr;
  UINT length = 0;
  const std::wstring path = L"\\StringFileInfo\\0c0a04b0\\" + std::wstring(name);
  if (!::VerQueryValueW(info.data(), path.c_str(), reinterpret_cast<void**>(&text), &length) ||
      length == 0)
    return std::nullopt;
  return std::wstring(text);
}

// Application control rules by publisher, product and file version need the installers' own
// binaries to say what they are, as the program does.
TEST_F(Installer, TheInstallersBinariesCarryVersionInformation) {
  ASSERT_EQ(RunSetup(L"/HOST=zolv.example.com /CLIENTID=42"), 0u);
  for (const std::wstring& binary : {std::wstring(ZOLV_TEST_PLUGIN), std::wstring(ZOLV_TEST_ACTION),
                                     InstallDir() + L"\\UninstallWait.exe"}) {
    SCOPED_TRACE(std::string(binary.begin(), binary.end()));
    std::vector<BYTE> info(::GetFileVersionInfoSizeW(binary.c_str(), nullptr));
    ASSERT_FALSE(info.empty()) << "no version information";
    ASSERT_TRUE(
        ::GetFileVersionInfoW(binary.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
    EXPECT_EQ(VersionText(info, L"CompanyName"), L"ZOLV");
    EXPECT_EQ(VersionText(info, L"ProductName"), L"ZOLV Online");
    EXPECT_EQ(VersionText(info, L"FileVersion"), ZOLV_TEST_VERSION);
    EXPECT_TRUE(VersionText(info, L"FileDescription"));
  }
}

}  // namespace
}  // namespace zolv
