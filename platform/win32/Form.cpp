// Form: the main window on Win32: a fixed single border with the system menu and close box,
// the exact client size asked for, the taskbar button, the timers' messages, and the focus kept
// across deactivation. Closing it ends the message loop; the window itself lives as long as the
// Form object.
#include "platform/win32/ToolkitWin32.h"

namespace zolv::toolkit {

namespace {

constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_BORDER | WS_CLIPCHILDREN;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

bool CanTakeFocus(HWND form, HWND window) {
  return window && ::IsWindow(window) && ::IsChild(form, window) && ::IsWindowVisible(window) &&
         ::IsWindowEnabled(window);
}

}  // namespace

LRESULT FormImpl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  HWND form = Window();
  switch (message) {
    case WM_CLOSE:
      app.Terminate();
      return 0;
    case WM_TIMER:
      for (Timer* timer : timers) {
        if (reinterpret_cast<UINT_PTR>(timer) == wParam) {
          if (timer->Enabled())
            app.Dispatch(timer->OnTimer);
          return 0;
        }
      }
      return 0;
    case WM_ACTIVATE:
      // As a dialog does: the focused control is remembered on leaving and given back on return.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = ::GetFocus();
        if (focus && ::IsChild(form, focus))
          lastFocus = focus;
      } else if (CanTakeFocus(form, lastFocus)) {
        ::SetFocus(lastFocus);
        return 0;
      }
      break;
    default:
      break;
  }
  return Control::Impl::WindowProc(message, wParam, lParam);
}

Form::Form(Application& app, const String& caption, int clientWidth, int clientHeight,
           const Font& font)
    : Control(std::make_unique<FormImpl>(app)), app_(app) {
  RECT outer{0, 0, clientWidth, clientHeight};
  ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  HWND window = ::CreateWindowExW(kFormExStyle, MAKEINTATOM(ImplOf(app).formClass), Wide(caption),
                                  kFormStyle, CW_USEDEFAULT, CW_USEDEFAULT,
                                  outer.right - outer.left, outer.bottom - outer.top, nullptr,
                                  nullptr, ::GetModuleHandleW(nullptr), impl_.get());
  if (!window)
    ThrowLastError("CreateWindowExW");
  if (!ImplOf(app).mainForm)
    ImplOf(app).mainForm = window;
  impl_->ApplyFont(font);
}

Rect Form::OuterBounds() const {
  RECT r{};
  ::GetWindowRect(impl_->Window(), &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetOuterHeight(int height) {
  Rect outer = OuterBounds();
  ::SetWindowPos(impl_->Window(), nullptr, 0, 0, outer.width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::MoveTo(int left, int top) {
  ::SetWindowPos(impl_->Window(), nullptr, left, top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
  HWND window = impl_->Window();
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  if (HWND first = FirstTabStop(window))
    ::SetFocus(first);
  ::UpdateWindow(window);
}

}  // namespace zolv::toolkit
