// SystemError: the system's own text for a Win32 error code, as error messages quote it.
#pragma once

#include <windows.h>

#include <exception>
#include <string>

#include "platform/Text.h"

namespace zolv::win32 {

// The system's message for `code` without its trailing line break (the final period stays).
String SystemErrorText(DWORD code);

// The failure of a Windows call, "<call>: <the system's text>", with what() in UTF-8 as exception
// texts are read: std::system_error's own category formats with FormatMessageA, in the ANSI code
// page, and a category of our own would still bring std::system_error's machinery (about 10 KB)
// into the program.
class SystemFailure : public std::exception {
 public:
  SystemFailure(const char* call, DWORD code);
  const char* what() const noexcept override { return what_.c_str(); }

 private:
  std::string what_;
};

}  // namespace zolv::win32
