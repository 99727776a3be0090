// Shell on the host: the XDG data folder stands in for the local application-data folder.
#include "platform/Shell.h"

#include <cstdlib>
#include <string>

#include "platform/host/HostPaths.h"

namespace zolv::shell {

std::optional<String> FolderPath(int csidl) {
  if (csidl != kLocalAppData)
    return std::nullopt;
  const char* data = std::getenv("XDG_DATA_HOME");
  if (data != nullptr && *data != '\0')
    return paths::WindowsPath(data);
  const char* home = std::getenv("HOME");
  if (home == nullptr || *home == '\0')
    return std::nullopt;
  return paths::WindowsPath(std::string(home) + "/.local/share");
}

}  // namespace zolv::shell
