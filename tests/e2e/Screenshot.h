// Screenshot: keeps a picture of a window as the screen shows it, for a person to review.
#pragma once

#include <windows.h>

#include <string>

namespace zolv::e2e {

// Saves the window's outer rectangle, once the screen shows it steadily, as
// screenshots\<name>.png in the build folder. Returns the file's path.
std::wstring SaveScreenshot(HWND window, const std::wstring& name);

}  // namespace zolv::e2e
