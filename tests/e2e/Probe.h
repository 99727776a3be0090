// Probe: reads a control's font inside the launcher, through E2EProbe.dll loaded into it.
#pragma once

#include <windows.h>

#include <optional>

namespace zolv::e2e {

// The control's font as created, or nothing when it uses the system font.
std::optional<LOGFONTW> RemoteControlFont(HANDLE process, HWND control);

}  // namespace zolv::e2e
