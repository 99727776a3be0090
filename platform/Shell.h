// Shell: the user's special folders, and handing a file or address to the shell to open.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/Text.h"

namespace zolv::shell {

// Special-folder code of the user's local application data (CSIDL_LOCAL_APPDATA).
inline constexpr int kLocalAppData = 28;

// The folder's current path (SHGetFolderPathW, SHGFP_TYPE_CURRENT), or nothing on failure.
// The host answers kLocalAppData with the user's XDG data folder.
std::optional<String> FolderPath(int csidl);

// Show commands, as ShellExecuteW takes them.
inline constexpr int kShowNormal = 1;  // SW_SHOWNORMAL
inline constexpr int kShow = 5;        // SW_SHOW

// ShellExecuteW with the given owner window (a toolkit NativeWindow), no working folder, and
// empty parameters passed as none. Any error display is the shell's own; the result is not
// reported. The host records the calls (platform/host/HostShell.h).
void Execute(std::uintptr_t owner, const String& verb, const String& file, const String& parameters,
             int showCommand);

}  // namespace zolv::shell
