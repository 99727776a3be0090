// Shell on Win32: the user's special folders (SHGetFolderPathW) and ShellExecuteW, called from
// a single-threaded apartment as the shell asks of its callers.
#include "platform/Shell.h"

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/adapters/ComApartment.h"
#include "platform/win32/system/LateImports.h"
#include "platform/win32/system/Wide.h"

namespace zolv::shell {

// The portable header's copies of the Windows constants.
static_assert(kLocalAppData == CSIDL_LOCAL_APPDATA);
static_assert(kShowNormal == SW_SHOWNORMAL);
static_assert(kShow == SW_SHOW);

std::optional<String> FolderPath(int csidl) {
  wchar_t path[MAX_PATH + 1] = {};
  if (FAILED(win32::shell32::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
    return std::nullopt;
  return win32::FromWide(path);
}

void Execute(std::uintptr_t owner, const String& verb, const String& file, const String& parameters,
             int showCommand) {
  win32::EnterSingleThreadedApartment();
  win32::shell32::ShellExecuteW(reinterpret_cast<HWND>(owner), win32::Wide(verb), win32::Wide(file),
                                parameters.empty() ? nullptr : win32::Wide(parameters), nullptr,
                                showCommand);
}

}  // namespace zolv::shell
