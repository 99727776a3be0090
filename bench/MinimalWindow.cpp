// MinimalWindow: the baseline of the start-up measurement — a Win32 program that shows one empty
// window titled "Minimal Window" and runs its message loop until the window is closed.
#include "BaselineWindow.h"

namespace {

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return zolv::bench::QuitOnDestroy(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  HWND window = zolv::bench::CreateBaselineWindow(instance, L"MinimalWindow", L"Minimal Window",
                                                  WindowProcedure);
  return window ? zolv::bench::ShowAndRun(window, show) : 1;
}
