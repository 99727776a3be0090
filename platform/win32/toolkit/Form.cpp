// Form: the main window on Win32: a fixed single border with the system menu and close box,
// the exact client size asked for, the taskbar button, the timers' messages, and the focus kept
// across deactivation. Its windows and its controls' are made together when first needed (the
// form shown, say), each where it is to be then; a move by the user or the system, and a modal
// box's disabling, are written back to its state. Closing it ends the message loop; the window
// itself lives as long as the Form object.
#include "platform/win32/toolkit/ToolkitWin32.h"

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
    case WM_WINDOWPOSCHANGED:
      // Moved by the user or the system; a minimised form keeps the place it comes back to.
      if (!::IsIconic(form)) {
        RECT outer{};
        RECT client{};
        ::GetWindowRect(form, &outer);
        ::GetClientRect(form, &client);
        bounds = {outer.left, outer.top, client.right, client.bottom};
      }
      break;
    case WM_ENABLE:
      // A modal box disables its owner while it shows.
      enabled = wParam != FALSE;
      break;
    default:
      break;
  }
  return ContainerImpl::WindowProc(message, wParam, lParam);
}

void FormImpl::Make() {
  // Made hidden whatever `visible` says: shown, it is also activated (Control::SetVisible).
  const SIZE outer = FormOuterSize(bounds);
  MakeWindow(MAKEINTATOM(ImplOf(app).formClass), kFormStyle | (enabled ? 0u : WS_DISABLED),
             kFormExStyle, {bounds.left, bounds.top, outer.cx, outer.cy}, nullptr, nullptr);
  if (!ImplOf(app).mainForm)
    ImplOf(app).mainForm = Window();
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
  const SIZE size = FormOuterSize(impl_->bounds);
  return {impl_->bounds.left, impl_->bounds.top, size.cx, size.cy};
}

void Form::SetOuterHeight(int height) {
  Rect bounds = impl_->bounds;
  bounds.height += height - FormOuterSize(bounds).cy;
  SetBounds(bounds);
}

void Form::MoveTo(int left, int top) {
  Rect bounds = impl_->bounds;
  bounds.left = left;
  bounds.top = top;
  SetBounds(bounds);
}

void Form::Show() {
  SetVisible(true);
  HWND window = impl_->Window();
  ::SetForegroundWindow(window);
  if (HWND first = FirstTabStop(window))
    ::SetFocus(first);
  ::UpdateWindow(window);
}

}  // namespace zolv::toolkit
