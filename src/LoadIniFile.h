// LoadIniFile: an INI document read from disk, for the settings files and site.ini alike.
#pragma once

#include "IniFile.h"
#include "platform/Text.h"

namespace zolv {

// A missing file reads as an empty document; one that exists but cannot be read raises
// "Cannot open file": taking it for empty would wipe it on the next write.
IniFile LoadIniFile(const String& path);

}  // namespace zolv
