// Toolkit: the window toolkit the launcher is built on. The application object (message loop,
// error box, screen facts), the main form, bevelled panels, picture push buttons and a message
// timer. Real windows on Win32 (user32, gdi32, comctl32 v6); plain state on the host, where the
// tests raise events through platform/host/Headless.h.
//
// Every event handler runs through Application::Dispatch, so an exception never crosses a
// window procedure: it goes to the exception handler and the loop carries on.
//
// A form and its controls are made as windows together, once, when first needed: the form
// shown, a timer started, a button focused. What each control is stays in its own state, which
// the getters read, so a form laid out before it shows costs each window one making, where it
// is to be.
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>

#include "platform/Text.h"

namespace zolv::toolkit {

struct Rect {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  bool operator==(const Rect&) const = default;
};

enum class Charset { Default, Ansi };

struct Font {
  String name;
  int height = 0;  // character height in pixels (a negative LOGFONT height)
  bool bold = false;
  Charset charset = Charset::Default;
  bool operator==(const Font&) const = default;
};

// The platform's handle of a window (an HWND on Win32), for the shell's owner window.
using NativeWindow = std::uintptr_t;

using Handler = std::function<void()>;

// How each platform's toolkit reaches the state behind its objects (platform/ToolkitAccess.h);
// nothing outside the toolkit sees it.
struct ImplAccess;

class Application {
 public:
  // `icon`: the icon resource of the forms' title bar and taskbar button; 0 for the system's.
  explicit Application(int icon = 0);
  ~Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // The caption of the error box.
  void SetTitle(const String& title) { title_ = title; }
  const String& Title() const { return title_; }

  // Receives every exception that leaves an event handler.
  void SetExceptionHandler(std::function<void(std::exception_ptr)> handler) {
    onException_ = std::move(handler);
  }

  // Runs an event handler; what it throws goes to the exception handler.
  void Dispatch(const Handler& handler) noexcept {
    if (!handler)
      return;
    try {
      handler();
    } catch (...) {
      if (onException_)
        onException_(std::current_exception());
    }
  }

  // The error box: Title() as caption, `text`, the error icon and one OK button.
  void ShowErrorBox(const String& text);

  // The screen's resolution in dots per inch (96 when nothing is scaled).
  int PixelsPerInch() const;

  // Height in pixels of `text` drawn in `font` on the screen.
  int TextHeight(const Font& font, StringView text) const;

  // The whole desktop across all monitors.
  Rect VirtualDesktop() const;

  // Runs the message loop until Terminate() is called or the main form is closed.
  void Run();

  // Handles every message already waiting, then returns. A close or quit request among them
  // ends the loop (Terminated() turns true) but returns here first.
  void ProcessMessages();

  void Terminate();
  bool Terminated() const;

  struct Impl;

 private:
  friend struct ImplAccess;
  String title_;
  std::function<void(std::exception_ptr)> onException_;
  std::unique_ptr<Impl> impl_;
};

class Control {
 public:
  virtual ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // Position relative to the parent's client area; for a form, the client size.
  Rect Bounds() const;
  void SetBounds(const Rect& bounds);
  void SetTop(int top);

  bool Visible() const;
  void SetVisible(bool visible);

  bool Enabled() const;
  void SetEnabled(bool enabled);

  // The control's caption, which is also its window text.
  String Caption() const;
  void SetCaption(const String& caption);

  // The control's own font, as given (unscaled by anyone but the caller).
  Font GetFont() const;
  void SetFont(const Font& font);

  // The control's window; none (0) on Win32 while its form's windows are not made.
  NativeWindow Native() const;

  struct Impl;

 protected:
  friend struct ImplAccess;
  explicit Control(std::unique_ptr<Impl> impl);
  std::unique_ptr<Impl> impl_;
};

// The main window: fixed single border, system menu and close box only, button-face
// background, the taskbar button. Closing it ends the application's message loop.
class Form : public Control {
 public:
  Form(Application& app, const String& caption, int clientWidth, int clientHeight,
       const Font& font);

  Application& App() const { return app_; }

  // Outer size and position, title bar and borders included. A form is at the desktop's
  // top-left corner until moved.
  Rect OuterBounds() const;
  void SetOuterHeight(int height);
  void MoveTo(int left, int top);

  // Shows the form and gives the focus to the first control in tab order.
  void Show();

 private:
  Application& app_;
};

// A captionless panel with a raised bevel one pixel wide.
class Panel : public Control {
 public:
  Panel(Control& parent, const Rect& bounds);
};

// A push button showing an optional picture left of its caption, both centred together; a tab
// stop, pressed by a click, Space or Enter while focused. Tab order is creation order.
class Button : public Control {
 public:
  // `picture` is a bitmap resource id (0 for none); its bottom-left pixel colour is drawn
  // transparent.
  Button(Control& parent, const Rect& bounds, const String& caption, const Font& font,
         int picture = 0);

  Handler OnClick;

  bool Focused() const;
  void SetFocus();

  // What screen readers read besides the caption (the accessible description); empty for
  // none. Made available only once an accessibility client asks for the button.
  void SetDescription(const String& description);
  // Has screen readers read the caption now, though the button may have lost the focus (a
  // live region's change).
  void AnnounceCaption();
};

// A message timer on the form's thread.
class Timer {
 public:
  Timer(Form& owner, unsigned intervalMs);
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  Form& Owner() const { return owner_; }
  unsigned Interval() const { return interval_; }
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool enabled);

  Handler OnTimer;

 private:
  Form& owner_;
  unsigned interval_;
  bool enabled_ = false;
};

}  // namespace zolv::toolkit
