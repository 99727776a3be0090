// Starting a program from a Windows test program. Under Wine, CreateProcessW has now and then
// failed with ERROR_INTERNAL_ERROR, which is Wine's report that the new process died while it
// was starting, before it had an exit code of its own. It was seen on fresh machines, in a run
// that passed right after; 1,200 starts and kills of a 32-bit and a 64-bit program in fresh
// prefixes on a busy machine did not show it again. Windows does not report it for a program
// that can run, so the start is tried again a few times for that error only; a program that
// cannot start still fails the test at once.
#pragma once

#include <windows.h>

namespace zolv::tests {

inline BOOL StartProcess(const wchar_t* application, wchar_t* commandLine, DWORD flags,
                         const wchar_t* folder, PROCESS_INFORMATION& started) {
  constexpr int kTries = 3;
  for (int attempt = 1;; ++attempt) {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (::CreateProcessW(application, commandLine, nullptr, nullptr, FALSE, flags, nullptr, folder,
                         &startup, &started))
      return TRUE;
    if (::GetLastError() != ERROR_INTERNAL_ERROR || attempt == kTries)
      return FALSE;
  }
}

}  // namespace zolv::tests
