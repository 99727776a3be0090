// SystemError: the system's own text for a Win32 error code, as error messages quote it.
#pragma once

#include <windows.h>

#include <system_error>

#include "platform/Text.h"

namespace zolv::win32 {

// The system's message for `code` without its trailing line break (the final period stays).
String SystemErrorText(DWORD code);

// Win32 error codes for std::system_error, with SystemErrorText in UTF-8 as their messages: the
// runtime's std::system_category formats them with FormatMessageA, in the ANSI code page,
// while exception texts are read as UTF-8.
const std::error_category& SystemCategory();

}  // namespace zolv::win32
