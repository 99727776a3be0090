// UComun: the settings file's read and write routines. Every call loads the file afresh,
// works on that copy and writes it back whole when it changed something; nothing is cached.
#pragma once

#include "IniFile.h"
#include "platform/Text.h"

namespace zolv {

// The key's value in the section. When it is missing or empty, the default value is stored
// and the file written. Without a file name the file is the program's settings file in
// DataPath; a given file that does not exist yields the default value and is not created.
String GetIni(StringView section, StringView key, StringView defaultValue,
              StringView fileName = u"");

// Stores the value and writes the file (on every call, also when nothing changed); returns
// the value as stored, blanks included. The file is chosen as in GetIni.
String SetIni(StringView section, StringView key, StringView value, StringView fileName = u"");

}  // namespace zolv
