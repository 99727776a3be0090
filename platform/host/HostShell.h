// HostShell: the host's shell records what it is asked to open, for the tests to read.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/Text.h"

namespace zolv::shell::host {

struct ExecuteCall {
  std::uintptr_t owner;
  String verb;
  String file;
  String parameters;
  int showCommand;
};

// Every Execute call so far, in order; tests clear it.
std::vector<ExecuteCall>& ExecuteCalls();

}  // namespace zolv::shell::host
