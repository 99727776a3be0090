// Controls: what every control shares on Win32: its window, made with the rest of its
// form's when first needed and subclassed as it is made, bounds, visibility, enabled state,
// caption and font, and what the toolkit's own classes (forms and panels) do.
#include <algorithm>
#include <exception>

#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

win32::UniqueFont CreateFontHandle(const Font& font) {
  LOGFONTW lf{};
  lf.lfHeight = -font.height;
  lf.lfWeight = font.bold ? FW_BOLD : FW_NORMAL;
  lf.lfCharSet = font.charset == Charset::Ansi ? ANSI_CHARSET : DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  size_t length = std::min<size_t>(font.name.size(), LF_FACESIZE - 1);
  std::copy_n(font.name.begin(), length, lf.lfFaceName);
  win32::UniqueFont handle(::CreateFontIndirectW(&lf));
  if (!handle)
    ThrowLastError("CreateFontIndirectW");
  return handle;
}

namespace {

// The one window procedure of every toolkit window, as its subclass: see ToolkitWin32.h.
LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* impl = reinterpret_cast<Control::Impl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
  if (message == WM_NCDESTROY) {
    // The window's last message, also when it goes with its parent: the Impl lets go of it.
    const WNDPROC classProc = impl->classProc;
    impl->window.release();
    // A message box with a destroyed owner is never shown: once the main form is gone, the
    // error box has no owner.
    if (ImplOf(impl->app).mainForm == window)
      ImplOf(impl->app).mainForm = nullptr;
    return ::CallWindowProcW(classProc, window, message, wParam, lParam);
  }
  try {
    return impl->WindowProc(message, wParam, lParam);
  } catch (...) {
    // Nothing crosses back into user32: the error goes where every handler's error goes.
    impl->app.Dispatch([error = std::current_exception()] { std::rethrow_exception(error); });
    return 0;
  }
}

}  // namespace

Control::Impl* ImplOfWindow(HWND window) {
  // GWLP_USERDATA is the toolkit's only in a window whose procedure is the toolkit's.
  if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrW(window, GWLP_WNDPROC)) != ControlProc)
    return nullptr;
  return reinterpret_cast<Control::Impl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

Control::Impl::Impl(Application& application, Impl* parentImpl)
    : app(application), parent(parentImpl) {
  if (parent)
    parent->children.push_back(this);
}

Control::Impl::~Impl() {
  if (parent)
    std::erase(parent->children, this);
}

void Control::Impl::MakeWindows() {
  if (window)
    return;
  Impl* form = this;
  while (form->parent)
    form = form->parent;
  form->MakeTree();
}

void Control::Impl::MakeTree() {
  if (!window) {
    Make();
    fontHandle = CreateFontHandle(font);
    ::SendMessageW(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(fontHandle.get()), FALSE);
  }
  for (Impl* child : children)
    child->MakeTree();
}

void Control::Impl::ApplyFont(const Font& newFont) {
  // The same font again (the bold mark taken off a button that never had it): nothing changes.
  if (fontHandle && newFont == font)
    return;
  font = newFont;
  if (!window)
    return;
  win32::UniqueFont handle = CreateFontHandle(newFont);
  ::SendMessageW(Window(), WM_SETFONT, reinterpret_cast<WPARAM>(handle.get()), TRUE);
  // The old font is deleted only now that the window has let go of it.
  fontHandle = std::move(handle);
}

void Control::Impl::MakeWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle,
                               const Rect& place, HWND parentWindow, HMENU id) {
  win32::UniqueWindow made(::CreateWindowExW(exStyle, windowClass, Wide(text), style, place.left,
                                             place.top, place.width, place.height, parentWindow, id,
                                             ::GetModuleHandleW(nullptr), nullptr));
  if (!made)
    ThrowLastError("CreateWindowExW");
  ::SetWindowLongPtrW(made.get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  classProc = reinterpret_cast<WNDPROC>(
      ::SetWindowLongPtrW(made.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ControlProc)));
  // A window that cannot be subclassed would be no control's: it goes at once.
  if (!classProc)
    ThrowLastError("SetWindowLongPtrW");
  window = std::move(made);
}

void Control::Impl::MakeChild(const wchar_t* windowClass, DWORD style, DWORD exStyle) {
  int id = ImplOf(app).nextControlId++;
  DWORD state = (visible ? WS_VISIBLE : 0u) | (enabled ? 0u : WS_DISABLED);
  MakeWindow(windowClass, WS_CHILD | WS_CLIPSIBLINGS | state | style, exStyle, bounds,
             parent->Window(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

LRESULT Control::Impl::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return ::CallWindowProcW(classProc, Window(), message, wParam, lParam);
}

Control::Impl* ContainerImpl::ChildOf(HWND child) const {
  for (Impl* impl : children) {
    if (child && impl->Window() == child)
      return impl;
  }
  return nullptr;
}

LRESULT ContainerImpl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // The dialog manager's IDOK and IDCANCEL name none of the children.
      if (Impl* child = ChildOf(reinterpret_cast<HWND>(lParam))) {
        child->Command(HIWORD(wParam));
        return 0;
      }
      break;
    case WM_NOTIFY: {
      auto& header = *reinterpret_cast<NMHDR*>(lParam);
      if (Impl* child = ChildOf(header.hwndFrom))
        return child->Notify(header);
      break;
    }
    case WM_SETFONT:
      // The font is kept in fontHandle; the toolkit's own windows draw no text with it.
      if (LOWORD(lParam))
        ::InvalidateRect(Window(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(fontHandle.get());
    default:
      break;
  }
  return Default(message, wParam, lParam);
}

void MoveFocusOffBeforeLosing(HWND window) {
  HWND focus = ::GetFocus();
  if (focus && (focus == window || ::IsChild(window, focus)))
    ::SetFocus(::GetAncestor(window, GA_ROOT));
}

HWND FirstTabStop(HWND parent) {
  for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    LONG style = ::GetWindowLongW(child, GWL_STYLE);
    if (!(style & WS_VISIBLE) || (style & WS_DISABLED))
      continue;
    if (style & WS_TABSTOP)
      return child;
    if (::GetWindowLongW(child, GWL_EXSTYLE) & WS_EX_CONTROLPARENT) {
      if (HWND inner = FirstTabStop(child))
        return inner;
    }
  }
  return nullptr;
}

Control::Control(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {
  // A control added to a form whose windows are made gets its window at once.
  if (impl_->parent && impl_->parent->Window())
    impl_->MakeTree();
}

Control::~Control() {
  // The window goes first, while everything it draws with is still there.
  impl_->window.reset();
}

Rect Control::Bounds() const {
  return impl_->bounds;
}

void Control::SetBounds(const Rect& bounds) {
  impl_->bounds = bounds;
  HWND window = impl_->Window();
  if (!window)
    return;
  const SIZE size = impl_->parent ? SIZE{bounds.width, bounds.height} : FormOuterSize(bounds);
  ::SetWindowPos(window, nullptr, bounds.left, bounds.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Control::SetTop(int top) {
  Rect bounds = impl_->bounds;
  bounds.top = top;
  SetBounds(bounds);
}

bool Control::Visible() const {
  return impl_->visible;
}

void Control::SetVisible(bool visible) {
  impl_->visible = visible;
  // A form shown makes its windows first.
  if (visible && !impl_->parent)
    impl_->MakeWindows();
  HWND window = impl_->Window();
  if (!window)
    return;
  if (!visible)
    MoveFocusOffBeforeLosing(window);
  ::ShowWindow(window, !visible ? SW_HIDE : impl_->parent ? SW_SHOWNA : SW_SHOW);
}

bool Control::Enabled() const {
  return impl_->enabled;
}

void Control::SetEnabled(bool enabled) {
  impl_->enabled = enabled;
  HWND window = impl_->Window();
  if (!window)
    return;
  if (!enabled)
    MoveFocusOffBeforeLosing(window);
  ::EnableWindow(window, enabled);
}

String Control::Caption() const {
  return impl_->text;
}

void Control::SetCaption(const String& caption) {
  impl_->text = caption;
  if (HWND window = impl_->Window())
    ::SetWindowTextW(window, Wide(caption));
}

Font Control::GetFont() const {
  return impl_->font;
}

void Control::SetFont(const Font& font) {
  impl_->ApplyFont(font);
}

NativeWindow Control::Native() const {
  return reinterpret_cast<NativeWindow>(impl_->Window());
}

}  // namespace zolv::toolkit
