// BaselineWindow: what the baseline programs share: their one window and its message loop.
#pragma once

#include <windows.h>

namespace zolv::bench {

// Ends the message loop when the window goes; everything else as DefWindowProcW does it.
inline LRESULT QuitOnDestroy(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// Registers the window class `className` and creates its window `title`, 320 x 310; null when
// either fails.
inline HWND CreateBaselineWindow(HINSTANCE instance, const wchar_t* className, const wchar_t* title,
                                 WNDPROC procedure) {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = procedure;
  windowClass.hInstance = instance;
  windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = className;
  if (!RegisterClassW(&windowClass))
    return nullptr;
  return CreateWindowExW(0, className, title, WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         320, 310, nullptr, nullptr, instance, nullptr);
}

// Shows the window and runs the message loop until the window is closed.
inline int ShowAndRun(HWND window, int show) {
  ShowWindow(window, show);
  UpdateWindow(window);
  MSG message;
  while (GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return 0;
}

}  // namespace zolv::bench
