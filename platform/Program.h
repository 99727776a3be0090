// Program: the launcher's own entry, defined in src/ZOLVWeb.cpp and called by the platform's
// entry point (wWinMain on Win32) once the process has started.
#pragma once

namespace zolv {

// Runs the launcher; returns the process exit code.
int ProgramMain();

}  // namespace zolv
