// SystemError: the system's own text for a Win32 error code, as error messages quote it.
#pragma once

#include <windows.h>

#include "platform/Text.h"

namespace zolv::win32 {

// The system's message for `code` without its trailing line break (the final period stays).
String SystemErrorText(DWORD code);

}  // namespace zolv::win32
