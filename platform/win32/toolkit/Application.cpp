// Application: the application object on Win32: window classes, the message loop with
// the forms' keyboard navigation, the error box and the screen's facts.
#include "platform/win32/system/SystemError.h"
#include "platform/win32/toolkit/ToolkitWin32.h"

namespace zolv::toolkit {

namespace {

ATOM RegisterToolkitClass(const wchar_t* name, int icon) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof(wc);
  // A second Application in the same process finds the classes already there.
  if (ATOM existing = static_cast<ATOM>(::GetClassInfoExW(instance, name, &wc)))
    return existing;
  wc.cbSize = sizeof(wc);
  wc.style = CS_HREDRAW | CS_VREDRAW;
  // Plain windows: what a form or a panel does, its Impl does, through the subclass every
  // toolkit window has (ToolkitWin32.h).
  wc.lpfnWndProc = ::DefWindowProcW;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = name;
  if (icon) {
    // Shared icons: the system keeps them for the life of the module. Null when absent.
    wc.hIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(icon), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON),
                                               ::GetSystemMetrics(SM_CYICON), LR_SHARED));
    wc.hIconSm = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(icon), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON),
                                                 ::GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  }
  ATOM atom = ::RegisterClassExW(&wc);
  if (!atom)
    ThrowLastError("RegisterClassExW");
  return atom;
}

// Enter presses the focused push button itself: the forms have no default button, and the
// dialog manager would send IDOK instead.
bool PressFocusedButton(HWND form, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN)
    return false;
  HWND target = message.hwnd;
  if (!::IsChild(form, target) || !::IsWindowEnabled(target))
    return false;
  LRESULT code = ::SendMessageW(target, WM_GETDLGCODE, 0, 0);
  if (!(code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON)))
    return false;
  ::SendMessageW(::GetParent(target), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(target), BN_CLICKED),
                 reinterpret_cast<LPARAM>(target));
  return true;
}

}  // namespace

[[noreturn]] void ThrowLastError(const char* what) {
  throw win32::SystemFailure(what, ::GetLastError());
}

void Application::Impl::Handle(MSG& message) {
  HWND root = message.hwnd ? ::GetAncestor(message.hwnd, GA_ROOT) : nullptr;
  if (root && ::GetClassLongPtrW(root, GCW_ATOM) == formClass) {
    if (PressFocusedButton(root, message))
      return;
    // Tab, Shift+Tab and Space; the panels are WS_EX_CONTROLPARENT, so Tab walks into them.
    if (::IsDialogMessageW(root, &message))
      return;
  }
  ::TranslateMessage(&message);
  ::DispatchMessageW(&message);
}

Application::Application(int icon) : impl_(std::make_unique<Impl>()) {
  // The push button is the only common control the toolkit makes.
  INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_STANDARD_CLASSES};
  win32::comctl32::InitCommonControlsEx(&controls);
  impl_->formClass = RegisterToolkitClass(L"ZOLVForm", icon);
  impl_->panelClass = RegisterToolkitClass(L"ZOLVPanel", 0);
}

Application::~Application() = default;

void Application::ShowErrorBox(const String& text) {
  HWND owner = impl_->mainForm;
  UINT style = MB_ICONERROR | MB_OK;
  // Owned by a window still hidden (a start-up error), the box would have no taskbar button
  // and could open behind the window the user clicked meanwhile: the launcher would seem not
  // to have started. It stands alone then, in front, and still blocks the thread's windows.
  if (!owner || !::IsWindowVisible(owner)) {
    owner = nullptr;
    style |= MB_TASKMODAL | MB_SETFOREGROUND;
  }
  ::MessageBoxW(owner, Wide(text), Wide(title_), style);
}

int Application::PixelsPerInch() const {
  win32::UniqueScreenDc screen(::GetDC(nullptr));
  return ::GetDeviceCaps(screen.get(), LOGPIXELSY);
}

int Application::TextHeight(const Font& font, StringView text) const {
  win32::UniqueScreenDc screen(::GetDC(nullptr));
  win32::UniqueFont handle = CreateFontHandle(font);
  const win32::SelectedObject selected(screen.get(), handle.get());
  SIZE size{};
  ::GetTextExtentPoint32W(screen.get(), Wide(text), static_cast<int>(text.size()), &size);
  return size.cy;
}

Rect Application::VirtualDesktop() const {
  return {::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
          ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN)};
}

void Application::Run() {
  MSG message;
  // A quit already seen by ProcessMessages (inside a handler, or before Run) ends it at once.
  while (!impl_->terminated) {
    if (::GetMessageW(&message, nullptr, 0, 0) <= 0) {
      impl_->terminated = true;
      break;
    }
    impl_->Handle(message);
  }
}

void Application::ProcessMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    if (message.message == WM_QUIT) {
      impl_->terminated = true;
      continue;
    }
    impl_->Handle(message);
  }
}

void Application::Terminate() {
  ::PostQuitMessage(0);
}

bool Application::Terminated() const {
  return impl_->terminated;
}

}  // namespace zolv::toolkit
