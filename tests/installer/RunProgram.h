// RunProgram: a program of the installer tests (a setup, an uninstaller, msiexec) run to its end.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/system/UniqueHandle.h"
#include "tests/support/StartProcess.h"

namespace zolv {

// Runs a command line and returns its exit code; a program that cannot start, or is still
// running after the time-out (when it is ended), fails the test.
inline DWORD RunProgram(std::wstring commandLine, DWORD timeoutMs = 60000) {
  const std::string shown(commandLine.begin(), commandLine.end());
  PROCESS_INFORMATION info{};
  if (!tests::StartProcess(nullptr, commandLine.data(), 0, nullptr, info)) {
    ADD_FAILURE() << "cannot start " << shown << ", error " << ::GetLastError();
    return ~DWORD{0};
  }
  win32::UniqueHandleObject process(info.hProcess);
  win32::UniqueHandleObject thread(info.hThread);
  if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
    ::TerminateProcess(process.get(), 1);
    ADD_FAILURE() << "still running: " << shown;
    return ~DWORD{0};
  }
  DWORD code = 0;
  ::GetExitCodeProcess(process.get(), &code);
  return code;
}

}  // namespace zolv
