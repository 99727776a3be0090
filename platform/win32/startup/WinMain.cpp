// The Unicode GUI entry point of ZOLVWeb.exe.
#include <windows.h>

#include "platform/Program.h"
#include "platform/win32/startup/StartupSafety.h"
#include "platform/win32/system/SystemLibrary.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  zolv::win32::LeaveTheCurrentDirectory();
  // Users start the launcher from their Downloads folder too: from here on, every DLL loaded by
  // name, by this program or by the system on its behalf, comes from System32 only, never from
  // the program's folder or the current directory.
  zolv::win32::RestrictDllSearch();
  return zolv::ProgramMain();
}
