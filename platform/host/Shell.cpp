// Shell on the host: the XDG data folder stands in for the local application-data folder, and
// what the shell is asked to open is recorded, not started.
#include "platform/Shell.h"

#include <cstdlib>
#include <string>

#include "platform/host/HostPaths.h"
#include "platform/host/HostShell.h"

namespace zolv::shell {

namespace host {

std::vector<ExecuteCall>& ExecuteCalls() {
  static std::vector<ExecuteCall> calls;
  return calls;
}

}  // namespace host

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

void Execute(std::uintptr_t owner, const String& verb, const String& file, const String& parameters,
             int showCommand) {
  host::ExecuteCalls().push_back({owner, verb, file, parameters, showCommand});
}

}  // namespace zolv::shell
