#include "UFPrincipal.h"

#include "platform/Files.h"
#include "platform/Shell.h"

namespace zolv {

String DataPath;

String GetSpecialFolderPath(int folder) {
  return shell::FolderPath(folder).value_or(String());
}

void PrepareDataFolder() {
  DataPath = GetSpecialFolderPath(shell::kLocalAppData);
  if (DataPath.empty() || DataPath.back() != u'\\')
    DataPath += u'\\';
  DataPath += u"ZOLV\\";
  files::CreateFolder(DataPath);
}

}  // namespace zolv
