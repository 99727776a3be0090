// Form: the main window on Win32: a fixed single border with the system menu and close box,
// the exact client size asked for, the taskbar button, the timers' messages, and the focus kept
// across deactivation. Its windows and its controls' are made together when first needed (the
// form shown, say), each where it is to be then. Closing it ends the message loop; the window
// itself lives as long as the Form object.
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

SIZE FormOuterSize(const Rect& client) {
  RECT outer{0, 0, client.width, client.height};
  ::AdjustWindowRectEx(&outer, kFormStyle, FALSE, kFormExStyle);
  return {outer.right - outer.left, outer.bottom - outer.top};
}

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

void FormImpl::Make() {
  const SIZE outer = FormOuterSize(bounds);
  HWND made =
      ::CreateWindowExW(kFormExStyle, MAKEINTATOM(ImplOf(app).formClass), Wide(text),
                        kFormStyle | (enabled ? 0u : WS_DISABLED), bounds.left, bounds.top,
                        outer.cx, outer.cy, nullptr, nullptr, ::GetModuleHandleW(nullptr), this);
  if (!made)
    ThrowLastError("CreateWindowExW");
  if (!ImplOf(app).mainForm)
    ImplOf(app).mainForm = made;
}

namespace {

std::unique_ptr<Control::Impl> NewForm(Application& app, const String& caption, int clientWidth,
                                       int clientHeight, const Font& font) {
  auto impl = std::make_unique<FormImpl>(app);
  impl->bounds = {0, 0, clientWidth, clientHeight};
  impl->visible = false;
  impl->text = caption;
  impl->font = font;
  return impl;
}

}  // namespace

Form::Form(Application& app, const String& caption, int clientWidth, int clientHeight,
           const Font& font)
    : Control(NewForm(app, caption, clientWidth, clientHeight, font)), app_(app) {}

Rect Form::OuterBounds() const {
  HWND window = impl_->Window();
  if (!window) {
    const SIZE size = FormOuterSize(impl_->bounds);
    return {impl_->bounds.left, impl_->bounds.top, size.cx, size.cy};
  }
  RECT r{};
  ::GetWindowRect(window, &r);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Form::SetOuterHeight(int height) {
  HWND window = impl_->Window();
  if (!window) {
    impl_->bounds.height += height - FormOuterSize(impl_->bounds).cy;
    return;
  }
  Rect outer = OuterBounds();
  ::SetWindowPos(window, nullptr, 0, 0, outer.width, height,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::MoveTo(int left, int top) {
  HWND window = impl_->Window();
  if (!window) {
    impl_->bounds.left = left;
    impl_->bounds.top = top;
    return;
  }
  ::SetWindowPos(window, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Form::Show() {
  HWND window = impl_->WindowNeeded();
  ::ShowWindow(window, SW_SHOW);
  ::SetForegroundWindow(window);
  if (HWND first = FirstTabStop(window))
    ::SetFocus(first);
  ::UpdateWindow(window);
}

}  // namespace zolv::toolkit
