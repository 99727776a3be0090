// ToolkitWin32: what the toolkit's Win32 files share: the private state behind Application and
// Control, the one way from a window's message to its control, fonts, and the guard that keeps
// exceptions inside window procedures.
//
// Every window of the toolkit, a form, a panel or a push button, is subclassed once, as it is
// made (MakeWindow): its procedure becomes ControlProc, its Control::Impl is in GWLP_USERDATA,
// and the class's own procedure (DefWindowProc for the toolkit's classes, the system's for the
// Button) is kept as the Impl's classProc. ControlProc hands each message to the Impl's
// WindowProc; what that leaves goes on to classProc (Default). ImplOfWindow reads the same
// record; a container finds its children among its own (ContainerImpl::ChildOf). Not comctl32's
// SetWindowSubclass: its record is a window property, which Wine reads from its server three
// times a message: on a busy machine the launcher started about 6% slower under Wine with it.
//
// The path of a click: the Button class turns a mouse click or Space into WM_COMMAND BN_CLICKED
// to its parent panel; Enter, which the dialog manager would turn into IDOK, is turned into the
// same message by Application::Impl::Handle (PressFocusedButton). Then the panel's ControlProc,
// ContainerImpl::WindowProc, ChildOf(button) among the panel's children, ButtonImpl::Command,
// and Application::Dispatch(OnClick).
#pragma once

#include <windows.h>

#include <commctrl.h>

#include <optional>
#include <vector>

#include "platform/Toolkit.h"
#include "platform/ToolkitAccess.h"
#include "platform/win32/system/LateImports.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::toolkit {

using win32::Wide;

inline void DestroyImageList(HIMAGELIST list) {
  win32::comctl32::ImageList_Destroy(list);
}
inline void CloseTheme(HTHEME theme) {
  win32::uxtheme::CloseThemeData(theme);
}
using UniqueImageList = win32::UniqueHandle<HIMAGELIST, DestroyImageList>;
using UniqueTheme = win32::UniqueHandle<HTHEME, CloseTheme>;

// Throws the calling thread's last error as a win32::SystemFailure naming `what`.
[[noreturn]] void ThrowLastError(const char* what);

// A GDI font made from `font`: lfHeight = -height, weight 400 or 700, the face name as given.
win32::UniqueFont CreateFontHandle(const Font& font);

struct Application::Impl {
  // The toolkit's window classes, registered once per process.
  ATOM formClass = 0;
  ATOM panelClass = 0;
  // The first form whose window was made: the owner of the error box.
  HWND mainForm = nullptr;
  bool terminated = false;
  int nextControlId = 100;  // child ids stay clear of IDOK and IDCANCEL

  // One message: keyboard navigation of the toolkit's forms first, then the window procedure.
  void Handle(MSG& message);
};

struct Control::Impl {
  // `parent` is null for a form; a control is its parent's child from here on.
  Impl(Application& application, Impl* parent);
  virtual ~Impl();
  Impl(const Impl&) = delete;
  Impl& operator=(const Impl&) = delete;

  // The window's messages, from ControlProc; by default the class's own handling.
  virtual LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) {
    return Default(message, wParam, lParam);
  }
  // The window class's own procedure.
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);
  // What the parent is told about this control: WM_COMMAND codes and WM_NOTIFY.
  virtual void Command(WORD) {}
  virtual LRESULT Notify(NMHDR&) { return 0; }

  // The window, or null while it is not made yet.
  HWND Window() const { return window.get(); }
  // Makes the windows of the control's form and its controls, unless they are made. The first
  // thing that needs a window calls it: the form shown, a timer started, a button focused.
  void MakeWindows();

  // Makes `font` the control's font: once the window is made, a new HFONT handed over with
  // WM_SETFONT (none when it already is).
  void ApplyFont(const Font& newFont);

  // Makes this control's window from what it is to be; its parent's window exists.
  virtual void Make() = 0;
  // Makes this control's window at `place` (the outer rectangle) and subclasses it: from here
  // on its messages reach WindowProc.
  void MakeWindow(const wchar_t* windowClass, DWORD style, DWORD exStyle, const Rect& place,
                  HWND parentWindow, HMENU id);
  // Makes the window of a child control: an id of its own, and the visibility, enabled state,
  // caption and bounds the control has.
  void MakeChild(const wchar_t* windowClass, DWORD style, DWORD exStyle);
  // Makes the windows not made yet of this control and its children, in creation order, and
  // gives each its font.
  void MakeTree();

  Application& app;
  Impl* parent;
  std::vector<Impl*> children;  // in creation order, which is also the tab order

  // What the control is: the one record of it. Setters write it and, once the window is made,
  // pass the change on; getters read it; the window is made from it. What the user or the
  // system changes (a form's place after a drag, a form disabled under a modal box) is written
  // back from the form's messages. A child's bounds are in its parent's client area; a form's
  // are its place (the desktop's top-left corner until moved) and its client size.
  Rect bounds;
  bool visible = true;
  bool enabled = true;
  String text;
  Font font;

  win32::UniqueFont fontHandle;
  win32::UniqueWindow window;
  WNDPROC classProc = nullptr;  // the window class's own procedure, which ControlProc comes before
};

// The Control::Impl whose window `window` is, or null for any other window.
Control::Impl* ImplOfWindow(HWND window);

// A form or a panel: a window of the toolkit's own classes, which keeps the font it is given
// and passes its children's WM_COMMAND and WM_NOTIFY on to their Command and Notify.
struct ContainerImpl : Control::Impl {
  using Control::Impl::Impl;
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  // The child control whose window `child` is, or null.
  Impl* ChildOf(HWND child) const;
};

// The outer size of a form whose client area is `client`'s size.
SIZE FormOuterSize(const Rect& client);

struct FormImpl : ContainerImpl {
  explicit FormImpl(Application& application) : ContainerImpl(application, nullptr) {}
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
  void Make() override;

  std::vector<Timer*> timers;
  HWND lastFocus = nullptr;  // restored when the form is activated again
};

// Hands the focus to the form when `window`, about to be hidden or disabled, holds it, so that
// the keyboard still reaches the form's navigation.
void MoveFocusOffBeforeLosing(HWND window);

// The first visible, enabled tab stop under `parent` in tab order (creation order, entering
// WS_EX_CONTROLPARENT children), or null.
HWND FirstTabStop(HWND parent);

}  // namespace zolv::toolkit
