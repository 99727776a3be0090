// Shell: the user's special folders.
#pragma once

#include <optional>

#include "platform/Text.h"

namespace zolv::shell {

// Special-folder code of the user's local application data (CSIDL_LOCAL_APPDATA).
inline constexpr int kLocalAppData = 28;

// The folder's current path (SHGetFolderPathW, SHGFP_TYPE_CURRENT), or nothing on failure.
// The host answers kLocalAppData with the user's XDG data folder.
std::optional<String> FolderPath(int csidl);

}  // namespace zolv::shell
