// The host's shell execution: recorded, nothing is started.
#include "platform/Shell.h"
#include "platform/host/HostShell.h"

namespace zolv::shell {

namespace host {

std::vector<ExecuteCall>& ExecuteCalls() {
  static std::vector<ExecuteCall> calls;
  return calls;
}

}  // namespace host

void Execute(std::uintptr_t owner, const String& verb, const String& file, const String& parameters,
             int showCommand) {
  host::ExecuteCalls().push_back({owner, verb, file, parameters, showCommand});
}

}  // namespace zolv::shell
