// Machine: the state outside the launcher that a test prepares and inspects — the installed
// browser list, the stub browsers standing in for real ones, the user's settings file, the
// installation's site.ini and the screen resolution setting.
#pragma once

#include <windows.h>

#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "platform/win32/system/UniqueHandle.h"

namespace zolv::e2e {

// Folders end in a backslash.
std::wstring TestFolder();  // the folder of this program, the build folder's root
std::wstring LauncherPath();
std::wstring StubBrowserPath();
std::wstring SiteFile();
std::wstring SettingsFolder();
std::wstring SettingsFile();
std::wstring ScreenshotFolder();

// The whole file, or nothing when it does not exist. The launcher writes its settings file
// sharing nothing, so reading it while the launcher may write makes this read fail, or that
// write wait: read it only once the launcher's handler has run.
std::optional<std::string> ReadBytes(const std::wstring& path);
void WriteBytes(const std::wstring& path, const std::string& bytes);
void RemoveFile(const std::wstring& path);
// The settings file and its folder are gone, as before the first run.
void RemoveSettings();
// Opens the file with no sharing, as another program writing it would.
win32::UniqueFile HoldExclusively(const std::wstring& path);

// One browser under SOFTWARE\Clients\StartMenuInternet: its display name, or a number where a
// name belongs.
using BrowserEntry = std::variant<std::wstring, DWORD>;
// Replaces the installed browser list; the registry enumerates the entries in the given order.
void ListBrowsers(const std::vector<BrowserEntry>& entries);
void RemoveBrowserList();

// Points every known browser name (App Paths) and the http handler at copies of the stub, so
// that no real browser ever starts, and has the stubs record into one file. Returns what failed,
// or nothing when every stub is in place.
std::string InstallStubBrowsers();
// Removes the App Paths entry of one browser name (chrome.exe), so that the shell searches
// folders for it; InstallStubBrowsers puts it back.
void RemoveAppPath(const std::wstring& executable);
// A new, empty folder of that name under the test folder.
std::wstring FreshFolder(const std::wstring& name);
// The command lines the stubs recorded, each split into its arguments.
std::vector<std::vector<std::wstring>> StubStarts();
void ClearStubStarts();

// Sets the user's screen resolution (read by each process as it starts) and puts the previous
// setting back when it goes.
class ScopedPixelsPerInch {
 public:
  explicit ScopedPixelsPerInch(DWORD pixelsPerInch);
  ~ScopedPixelsPerInch();
  ScopedPixelsPerInch(const ScopedPixelsPerInch&) = delete;
  ScopedPixelsPerInch& operator=(const ScopedPixelsPerInch&) = delete;

 private:
  std::optional<DWORD> previous_;
};

}  // namespace zolv::e2e
