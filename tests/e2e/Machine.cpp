#include "Machine.h"

#include <shellapi.h>
#include <shlobj.h>

#include <array>
#include <stdexcept>

#include "tests/support/FileBytes.h"

namespace zolv::e2e {

namespace {

constexpr wchar_t kBrowsersKey[] = L"SOFTWARE\\Clients\\StartMenuInternet";
constexpr wchar_t kAppPathsKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\App Paths\\";
constexpr wchar_t kHttpOpenKey[] = L"http\\shell\\open";
constexpr wchar_t kDesktopKey[] = L"Control Panel\\Desktop";
constexpr wchar_t kRecordVariable[] = L"ZOLV_STUB_RECORD";
constexpr std::array<const wchar_t*, 5> kBrowserExecutables{
    L"iexplore.exe", L"chrome.exe", L"firefox.exe", L"safari.exe", L"opera.exe"};

std::string Narrow(const std::wstring& text) {
  return std::string(text.begin(), text.end());
}

void CheckRegistry(LSTATUS status, const std::wstring& what) {
  if (status != ERROR_SUCCESS)
    throw std::runtime_error("registry: " + Narrow(what) + " failed, " + std::to_string(status));
}

void Check(bool ok, const std::wstring& what) {
  if (!ok)
    throw std::runtime_error(Narrow(what) + " failed, " + std::to_string(GetLastError()));
}

void DeleteTree(HKEY root, const std::wstring& path) {
  const LSTATUS status = RegDeleteTreeW(root, path.c_str());
  if (status != ERROR_FILE_NOT_FOUND)
    CheckRegistry(status, L"deleting " + path);
}

win32::UniqueRegKey CreateKey(HKEY root, const std::wstring& path) {
  win32::UniqueRegKey key;
  CheckRegistry(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                key.put(), nullptr),
                L"creating " + path);
  return key;
}

void SetText(HKEY key, const wchar_t* name, const std::wstring& value) {
  const auto bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
  CheckRegistry(
      RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()), bytes),
      L"setting a text value");
}

void SetNumber(HKEY key, const wchar_t* name, DWORD value) {
  CheckRegistry(
      RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value),
      L"setting a number value");
}

std::wstring RecordFile() {
  return TestFolder() + L"stub-starts.txt";
}

std::wstring Wide(const std::string& utf8) {
  const int size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring text(static_cast<std::size_t>(size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), text.data(), size);
  return text;
}

std::vector<std::wstring> SplitArguments(const std::wstring& commandLine) {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(commandLine.c_str(), &count);
  Check(arguments != nullptr, L"splitting a command line");
  std::vector<std::wstring> result(arguments, arguments + count);
  LocalFree(arguments);
  return result;
}

}  // namespace

std::wstring TestFolder() {
  std::wstring path(32768, L'\0');
  path.resize(GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
  return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring LauncherPath() {
  return TestFolder() + L"ZOLVWeb.exe";
}

std::wstring StubBrowserPath() {
  return TestFolder() + L"StubBrowser.exe";
}

std::wstring SiteFile() {
  return TestFolder() + L"site.ini";
}

std::wstring SettingsFolder() {
  std::array<wchar_t, MAX_PATH + 1> path{};
  Check(SUCCEEDED(SHGetFolderPathW(nullptr, CSIDL_LOCAL_APPDATA, nullptr, SHGFP_TYPE_CURRENT,
                                   path.data())),
        L"finding the local application data folder");
  return std::wstring(path.data()) + L"\\ZOLV\\";
}

std::wstring SettingsFile() {
  return SettingsFolder() + L"ZOLVWeb.ini";
}

std::wstring ScreenshotFolder() {
  return TestFolder() + L"screenshots\\";
}

std::optional<std::string> ReadBytes(const std::wstring& path) {
  std::optional<std::string> bytes = tests::ReadBytes(path);
  if (!bytes) {
    Check(GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND,
          L"opening " + path);
  }
  return bytes;
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  Check(tests::WriteBytes(path, bytes), L"writing " + path);
}

void RemoveFile(const std::wstring& path) {
  if (!DeleteFileW(path.c_str())) {
    Check(GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND,
          L"deleting " + path);
  }
}

void RemoveSettings() {
  RemoveFile(SettingsFile());
  if (!RemoveDirectoryW(SettingsFolder().c_str())) {
    Check(GetLastError() == ERROR_FILE_NOT_FOUND || GetLastError() == ERROR_PATH_NOT_FOUND,
          L"removing " + SettingsFolder());
  }
}

win32::UniqueFile HoldExclusively(const std::wstring& path) {
  win32::UniqueFile file(CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  Check(static_cast<bool>(file), L"holding " + path);
  return file;
}

void ListBrowsers(const std::vector<BrowserEntry>& entries) {
  RemoveBrowserList();
  const win32::UniqueRegKey list = CreateKey(HKEY_LOCAL_MACHINE, kBrowsersKey);
  // The registry enumerates subkeys sorted by name; numbered names keep the given order.
  for (std::size_t i = 0; i < entries.size(); ++i) {
    const std::wstring name = L"Browser" + std::to_wstring(10 + i);
    const win32::UniqueRegKey browser = CreateKey(list.get(), name);
    if (const auto* text = std::get_if<std::wstring>(&entries[i])) {
      SetText(browser.get(), nullptr, *text);
    } else {
      SetNumber(browser.get(), nullptr, std::get<DWORD>(entries[i]));
    }
  }
}

void RemoveBrowserList() {
  DeleteTree(HKEY_LOCAL_MACHINE, kBrowsersKey);
}

namespace {

void InstallStubBrowsersOrThrow() {
  const std::wstring folder = TestFolder() + L"browsers\\";
  Check(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS,
        L"creating " + folder);
  // One copy per name, so a recorded start shows which name the shell was asked for.
  for (const wchar_t* executable : kBrowserExecutables) {
    const std::wstring copy = folder + executable;
    Check(CopyFileW(StubBrowserPath().c_str(), copy.c_str(), FALSE) != FALSE, L"copying the stub");
    const std::wstring appPath = std::wstring(kAppPathsKey) + executable;
    DeleteTree(HKEY_LOCAL_MACHINE, appPath);
    SetText(CreateKey(HKEY_LOCAL_MACHINE, appPath).get(), nullptr, copy);
  }
  // The http handler's command replaces the system browser; a DDE conversation would bypass it.
  DeleteTree(HKEY_CLASSES_ROOT, std::wstring(kHttpOpenKey) + L"\\ddeexec");
  SetText(CreateKey(HKEY_CLASSES_ROOT, std::wstring(kHttpOpenKey) + L"\\command").get(), nullptr,
          L"\"" + StubBrowserPath() + L"\" \"%1\"");
  Check(SetEnvironmentVariableW(kRecordVariable, RecordFile().c_str()) != FALSE,
        L"naming the record file");
}

}  // namespace

std::string InstallStubBrowsers() {
  try {
    InstallStubBrowsersOrThrow();
    return std::string();
  } catch (const std::runtime_error& error) {
    return error.what();
  }
}

void RemoveAppPath(const std::wstring& executable) {
  DeleteTree(HKEY_LOCAL_MACHINE, kAppPathsKey + executable);
}

std::wstring FreshFolder(const std::wstring& name) {
  const std::wstring folder = TestFolder() + name + L"\\";
  WIN32_FIND_DATAW found{};
  const HANDLE search = FindFirstFileW((folder + L"*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        RemoveFile(folder + found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
  }
  Check(CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS,
        L"creating " + folder);
  return folder;
}

std::vector<std::vector<std::wstring>> StubStarts() {
  const std::wstring text = Wide(ReadBytes(RecordFile()).value_or(""));
  std::vector<std::vector<std::wstring>> starts;
  std::size_t begin = 0;
  for (std::size_t end = text.find(L"\r\n"); end != std::wstring::npos;
       end = text.find(L"\r\n", begin)) {
    starts.push_back(SplitArguments(text.substr(begin, end - begin)));
    begin = end + 2;
  }
  return starts;
}

void ClearStubStarts() {
  RemoveFile(RecordFile());
}

ScopedPixelsPerInch::ScopedPixelsPerInch(DWORD pixelsPerInch) {
  const win32::UniqueRegKey desktop = CreateKey(HKEY_CURRENT_USER, kDesktopKey);
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  if (RegQueryValueExW(desktop.get(), L"LogPixels", nullptr, &type, reinterpret_cast<BYTE*>(&value),
                       &size) == ERROR_SUCCESS &&
      type == REG_DWORD) {
    previous_ = value;
  }
  SetNumber(desktop.get(), L"LogPixels", pixelsPerInch);
}

ScopedPixelsPerInch::~ScopedPixelsPerInch() {
  win32::UniqueRegKey desktop;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kDesktopKey, 0, KEY_SET_VALUE, desktop.put()) !=
      ERROR_SUCCESS) {
    return;
  }
  if (previous_) {
    RegSetValueExW(desktop.get(), L"LogPixels", 0, REG_DWORD,
                   reinterpret_cast<const BYTE*>(&*previous_), sizeof *previous_);
  } else {
    RegDeleteValueW(desktop.get(), L"LogPixels");
  }
}

}  // namespace zolv::e2e
