#include "UComun.h"

#include <optional>
#include <string>

#include "Exception.h"
#include "FilePaths.h"
#include "IniFile.h"
#include "UFPrincipal.h"
#include "platform/Files.h"

namespace zolv {

namespace {

// DataPath + the executable's file name with its extension replaced by ".ini".
String SettingsFilePath() {
  const String module = files::ModuleFileName();
  String name(ExtractFileName(module));
  if (const std::size_t dot = name.rfind(u'.'); dot != String::npos)
    name.resize(dot);
  return DataPath + name + u".ini";
}

// The file to work on, or nothing when the caller named a file that does not exist.
std::optional<String> ChooseFile(StringView fileName) {
  if (fileName.empty())
    return SettingsFilePath();
  String path(fileName);
  if (!files::Exists(path))
    return std::nullopt;
  return path;
}

void Save(const IniFile& ini, const String& path) {
  String error;
  if (!files::ReplaceWhole(path, ini.ToBytes(), error))
    throw Exception(u"Cannot create file \"" + path + u"\". " + error);
}

}  // namespace

String GetIni(StringView section, StringView key, StringView defaultValue, StringView fileName) {
  const std::optional<String> path = ChooseFile(fileName);
  if (!path)
    return String(defaultValue);
  IniFile ini = LoadIniFile(*path);
  if (ini.ReadString(section, key, u"").empty()) {
    ini.WriteString(section, key, defaultValue);
    Save(ini, *path);
  }
  return ini.ReadString(section, key, defaultValue);
}

String SetIni(StringView section, StringView key, StringView value, StringView fileName) {
  const std::optional<String> path = ChooseFile(fileName);
  if (!path)
    return String(value);
  IniFile ini = LoadIniFile(*path);
  ini.WriteString(section, key, value);
  Save(ini, *path);
  return ini.ReadString(section, key, value);
}

}  // namespace zolv
