// ButtonWindow: the floor of the measurements — the least a program with themed controls does:
// its manifest asks for common controls version 6 (the launcher's own manifest), it initialises
// them as documented, and it shows one window titled "Button Window" with one push button, until
// the window is closed.
//   ButtonWindow.exe            the start-up floor
//   ButtonWindow.exe /shell     the hand-over floor: shell32 loaded before the window shows, as
//                               the launcher has it, and the button starts chrome.exe through
//                               ShellExecuteW with the launcher's arguments
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <shellapi.h>

#include <cwchar>

#include "BaselineWindow.h"

namespace {

decltype(::ShellExecuteW)* shellExecute = nullptr;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && shellExecute) {
    shellExecute(window, L"open", L"chrome.exe", L"http://zolv.example.com/web/index.php?id=1",
                 nullptr, SW_SHOW);
    return 0;
  }
  return zolv::bench::QuitOnDestroy(window, message, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandLine, int show) {
  // Looked up, not imported, so that the start-up floor does not load shell32.
  if (std::wcscmp(commandLine, L"/shell") == 0) {
    HMODULE shell32 = LoadLibraryExW(L"shell32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    shellExecute = shell32
                       ? reinterpret_cast<decltype(::ShellExecuteW)*>(
                             reinterpret_cast<void (*)()>(GetProcAddress(shell32, "ShellExecuteW")))
                       : nullptr;
    if (!shellExecute)
      return 1;
  }
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
  HWND window = zolv::bench::CreateBaselineWindow(instance, L"ButtonWindow", L"Button Window",
                                                  WindowProcedure);
  if (!window || !CreateWindowExW(0, WC_BUTTONW, L"Button", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                                  16, 16, 200, 32, window, nullptr, instance, nullptr))
    return 1;
  return zolv::bench::ShowAndRun(window, show);
}
