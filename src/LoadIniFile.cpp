#include "LoadIniFile.h"

#include <string>

#include "Exception.h"
#include "platform/Files.h"

namespace zolv {

IniFile LoadIniFile(const String& path) {
  if (!files::Exists(path))
    return IniFile();
  std::string bytes;
  String error;
  if (!files::ReadWhole(path, bytes, error))
    throw Exception(u"Cannot open file \"" + path + u"\". " + error);
  return IniFile::FromBytes(bytes);
}

}  // namespace zolv
