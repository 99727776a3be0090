// ErrorBox: what the error box shows — the application title as its caption and an error's
// message with the final period the window framework adds.
#pragma once

#include <exception>

#include "platform/Text.h"
#include "platform/Toolkit.h"

namespace zolv {

// The executable's file name without its folder, cut at its first ".", with every character
// after the first in lower case: "C:\Apps\ZOLVWeb.exe" gives "Zolvweb".
String ApplicationTitle(StringView moduleFileName);

// The error's message with "." appended when its last character's code is above that of ".".
String ErrorBoxText(StringView message);

// The message of a caught exception.
String ExceptionMessage(const std::exception_ptr& error);

// Every error that leaves an event handler is shown in the application's error box.
void ShowErrorsInErrorBox(toolkit::Application& app);

}  // namespace zolv
