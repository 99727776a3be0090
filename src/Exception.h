// Exception: the program's error type. Errors travel as exceptions carrying the system's exact
// texts; whatever leaves an event handler is shown in the error box (ErrorBox.h).
#pragma once

#include <exception>
#include <string>

#include "platform/Text.h"

namespace zolv {

class Exception : public std::exception {
 public:
  explicit Exception(String message);

  const String& Message() const noexcept { return message_; }

  // The message in UTF-8, for diagnostics.
  const char* what() const noexcept override { return utf8_.c_str(); }

 private:
  String message_;
  std::string utf8_;
};

}  // namespace zolv
