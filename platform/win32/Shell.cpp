// Shell on Win32: the user's special folders.
#include "platform/Shell.h"

#include <shlobj.h>
#include <windows.h>

#include "platform/win32/Wide.h"

namespace zolv::shell {

std::optional<String> FolderPath(int csidl) {
  wchar_t path[MAX_PATH + 1] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
    return std::nullopt;
  return win32::FromWide(path);
}

}  // namespace zolv::shell
