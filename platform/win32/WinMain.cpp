// The Unicode GUI entry point of ZOLVWeb.exe.
#include <windows.h>

#include "platform/Program.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return zolv::ProgramMain();
}
