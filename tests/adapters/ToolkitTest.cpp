// The Win32 toolkit against real windows: window styles, geometry and fonts as the windows
// report them, clicks, the message loop, the timer, keyboard navigation and the error box.
// Leaves screenshots of the picture buttons in screenshots/ under the working folder
// (build/win64/tests): ToolkitButtons.png, ToolkitButtonsThemed.png and
// ToolkitButtonsDisabled.png.
#include <windows.h>

#include <oleacc.h>
#include <servprov.h>
#include <vssym32.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "ErrorBox.h"
#include "assets/ResourceIds.h"
#include "platform/Toolkit.h"
#include "platform/win32/system/LateImports.h"
#include "platform/win32/system/SystemError.h"
#include "platform/win32/toolkit/ToolkitWin32.h"
#include "tests/support/FileBytes.h"
#include "tests/support/Png.h"

namespace zolv::toolkit {
namespace {

// The control's window, making its form's windows as anything that needs one does.
HWND H(const Control& control) {
  ImplOf(control).MakeWindows();
  return ImplOf(control).Window();
}

std::wstring TextOf(HWND window) {
  wchar_t buffer[256] = {};
  ::GetWindowTextW(window, buffer, 256);
  return buffer;
}

LOGFONTW FontOf(HWND window) {
  LOGFONTW lf{};
  auto font = reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0));
  EXPECT_NE(font, nullptr);
  ::GetObjectW(font, sizeof(lf), &lf);
  return lf;
}

// The window's rectangle in its parent's client coordinates.
RECT RectInParent(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  ::MapWindowPoints(nullptr, ::GetParent(window), reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// Handles messages until `done` holds; input from SendInput and timers arrive asynchronously.
// The deadline only ends a run that has gone wrong: a busy machine takes a fraction of it.
bool PumpUntil(Application& app, const std::function<bool()>& done) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (std::chrono::steady_clock::now() < deadline) {
    app.ProcessMessages();
    if (done())
      return true;
    ::Sleep(10);
  }
  return false;
}

void PumpFor(Application& app, int milliseconds) {
  auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
  while (std::chrono::steady_clock::now() < deadline) {
    app.ProcessMessages();
    ::Sleep(10);
  }
}

void SendKey(WORD key, bool shift = false) {
  std::vector<INPUT> inputs;
  auto add = [&inputs](WORD vk, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = vk;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    inputs.push_back(input);
  };
  if (shift)
    add(VK_SHIFT, false);
  add(key, false);
  add(key, true);
  if (shift)
    add(VK_SHIFT, true);
  ::SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
}

const Font kFormFont{.name = u"Tahoma", .height = 13};
const Font kBrowserFont{.name = u"Tahoma", .height = 15};
const Font kAccessFont{.name = u"Arial", .height = 15, .charset = Charset::Ansi};

// The launcher's window in miniature: two panels, three browser buttons and the access button.
class ToolkitTest : public ::testing::Test {
 protected:
  ToolkitTest() {
    app.SetTitle(u"ZOLVWeb");
    app.SetExceptionHandler([this](std::exception_ptr error) {
      try {
        std::rethrow_exception(error);
      } catch (const std::exception& e) {
        errors.push_back(e.what());
      }
    });
    for (Button* button : {&ie, &chrome, &firefox, &access}) {
      Button& b = *button;
      b.OnClick = [this, &b] { clicked.push_back(&b); };
    }
  }

  Application app{ZOLV_ICON_APP};
  Form form{app, u"ZOLV Online", 303, 272, kFormFont};
  Panel top{form, {0, 0, 303, 214}};
  Panel bottom{form, {0, 214, 303, 58}};
  Button ie{top, {17, 15, 266, 34}, u"Usar Internet Explorer", kBrowserFont, ZOLV_PICTURE_IE};
  Button chrome{top, {17, 55, 266, 34}, u"Usar Google Chrome", kBrowserFont, ZOLV_PICTURE_CHROME};
  Button firefox{
      top, {17, 95, 266, 34}, u"Usar Mozilla Firefox", kBrowserFont, ZOLV_PICTURE_FIREFOX};
  Button access{bottom, {17, 8, 266, 41}, u"Acceder ZOLV Online", kAccessFont};
  std::vector<Button*> clicked;
  std::vector<std::string> errors;
};

TEST_F(ToolkitTest, FormIsAFixedDialogLikeWindowOfTheExactClientSize) {
  HWND window = H(form);
  EXPECT_EQ(TextOf(window), L"ZOLV Online");
  LONG style = ::GetWindowLongW(window, GWL_STYLE);
  EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX | WS_THICKFRAME | WS_CHILD));
  EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);  // the taskbar button is its own

  RECT client{};
  ::GetClientRect(window, &client);
  EXPECT_EQ(client.right, 303);
  EXPECT_EQ(client.bottom, 272);
  EXPECT_EQ(form.Bounds().width, 303);
  EXPECT_EQ(form.Bounds().height, 272);

  LOGFONTW lf = FontOf(window);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(lf.lfHeight, -13);
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
  EXPECT_EQ(::GetClassLongPtrW(window, GCLP_HBRBACKGROUND), COLOR_BTNFACE + 1);
  // The application icon, big and small, from the program's resources.
  EXPECT_NE(::GetClassLongPtrW(window, GCLP_HICON), 0);
  EXPECT_NE(::GetClassLongPtrW(window, GCLP_HICONSM), 0);
}

TEST_F(ToolkitTest, OuterGeometryMovesAndResizesTheWholeWindow) {
  Rect outer = form.OuterBounds();
  EXPECT_GT(outer.width, 303);
  EXPECT_GT(outer.height, 272);

  form.MoveTo(40, 30);
  form.SetOuterHeight(180);
  RECT r{};
  ::GetWindowRect(H(form), &r);
  EXPECT_EQ(r.left, 40);
  EXPECT_EQ(r.top, 30);
  EXPECT_EQ(r.bottom - r.top, 180);
  EXPECT_EQ(r.right - r.left, outer.width);
  EXPECT_EQ(form.OuterBounds(), (Rect{40, 30, outer.width, 180}));
  RECT client{};
  ::GetClientRect(H(form), &client);
  EXPECT_EQ(client.bottom, 272 - (outer.height - 180));
}

// The form's own state follows what is done to its window from outside: a drag (here the move
// it ends with) and the modal box that disables its owner.
TEST_F(ToolkitTest, WhatTheUserOrSystemDoesToTheFormIsWhatItReports) {
  form.Show();
  const Rect outer = form.OuterBounds();
  ::SetWindowPos(H(form), nullptr, 70, 60, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  EXPECT_EQ(form.OuterBounds(), (Rect{70, 60, outer.width, outer.height}));
  EXPECT_EQ(form.Bounds(), (Rect{70, 60, 303, 272}));
  ::EnableWindow(H(form), FALSE);
  EXPECT_FALSE(form.Enabled());
  ::EnableWindow(H(form), TRUE);
  EXPECT_TRUE(form.Enabled());
}

TEST_F(ToolkitTest, ChildrenSitExactlyWhereTheyWereAsked) {
  RECT panel = RectInParent(H(bottom));
  EXPECT_EQ(panel.left, 0);
  EXPECT_EQ(panel.top, 214);
  EXPECT_EQ(panel.right, 303);
  EXPECT_EQ(panel.bottom, 272);
  EXPECT_EQ(::GetParent(H(chrome)), H(top));
  EXPECT_EQ(::GetParent(H(access)), H(bottom));
  RECT button = RectInParent(H(access));
  EXPECT_EQ(button.left, 17);
  EXPECT_EQ(button.top, 8);
  EXPECT_EQ(button.right - button.left, 266);
  EXPECT_EQ(button.bottom - button.top, 41);
  EXPECT_EQ(access.Bounds(), (Rect{17, 8, 266, 41}));

  chrome.SetTop(10);
  EXPECT_EQ(chrome.Bounds(), (Rect{17, 10, 266, 34}));
  ie.SetBounds({5, 130, 200, 30});
  EXPECT_EQ(RectInParent(H(ie)).top, 130);
  EXPECT_EQ(ie.Bounds(), (Rect{5, 130, 200, 30}));
}

TEST_F(ToolkitTest, PanelsAreCaptionlessControlParentsAndButtonsArePushButtonTabStops) {
  for (const Panel* panel : {&top, &bottom}) {
    EXPECT_EQ(TextOf(H(*panel)), L"");
    EXPECT_TRUE(::GetWindowLongW(H(*panel), GWL_EXSTYLE) & WS_EX_CONTROLPARENT);
    EXPECT_FALSE(::GetWindowLongW(H(*panel), GWL_STYLE) & WS_TABSTOP);
  }
  wchar_t className[32] = {};
  ::GetClassNameW(H(chrome), className, 32);
  EXPECT_STREQ(className, L"Button");
  LONG style = ::GetWindowLongW(H(chrome), GWL_STYLE);
  EXPECT_EQ(style & BS_TYPEMASK, BS_PUSHBUTTON);
  EXPECT_TRUE(style & WS_TABSTOP);
  EXPECT_EQ(TextOf(H(chrome)), L"Usar Google Chrome");
  EXPECT_EQ(chrome.Caption(), u"Usar Google Chrome");
}

std::wstring DescriptionOf(HWND button) {
  IAccessible* object = nullptr;
  if (FAILED(::AccessibleObjectFromWindow(button, static_cast<DWORD>(OBJID_CLIENT),
                                          __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&object))))
    return L"<no object>";
  VARIANT self{};
  self.vt = VT_I4;
  self.lVal = CHILDID_SELF;
  BSTR description = nullptr;
  object->get_accDescription(self, &description);
  object->Release();
  std::wstring text = description ? description : L"";
  ::SysFreeString(description);
  return text;
}

// A screen reader in this process asks a described button for its accessible object: it gets
// the description, and one COM identity whichever of the object's interfaces it comes through.
// (Where the system takes the description as an annotation, the object is the system's own.)
TEST_F(ToolkitTest, AButtonsAccessibleObjectHasItsDescriptionAndOneIdentity) {
  chrome.SetDescription(u"Navegador elegido");
  EXPECT_EQ(DescriptionOf(H(chrome)), L"Navegador elegido");
  EXPECT_EQ(DescriptionOf(H(firefox)), L"");

  IAccessible* object = nullptr;
  ASSERT_EQ(::AccessibleObjectFromWindow(H(chrome), static_cast<DWORD>(OBJID_CLIENT),
                                         __uuidof(IAccessible), reinterpret_cast<void**>(&object)),
            S_OK);
  IUnknown* identity = nullptr;
  ASSERT_EQ(object->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&identity)), S_OK);
  for (const IID& id : {__uuidof(IDispatch), __uuidof(IAccessible), __uuidof(IOleWindow),
                        __uuidof(IEnumVARIANT), __uuidof(IServiceProvider), __uuidof(IMarshal)}) {
    IUnknown* other = nullptr;
    if (FAILED(object->QueryInterface(id, reinterpret_cast<void**>(&other))))
      continue;
    IUnknown* itsIdentity = nullptr;
    ASSERT_EQ(other->QueryInterface(__uuidof(IUnknown), reinterpret_cast<void**>(&itsIdentity)),
              S_OK);
    EXPECT_EQ(itsIdentity, identity);
    itsIdentity->Release();
    other->Release();
  }
  identity->Release();
  object->Release();

  chrome.SetDescription(u"");
  EXPECT_EQ(DescriptionOf(H(chrome)), L"");
}

TEST_F(ToolkitTest, EachButtonHasItsOwnFontAndBoldSwitchesIt) {
  LOGFONTW lf = FontOf(H(access));
  EXPECT_STREQ(lf.lfFaceName, L"Arial");
  EXPECT_EQ(lf.lfHeight, -15);
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_EQ(lf.lfCharSet, ANSI_CHARSET);

  Font bold = chrome.GetFont();
  bold.bold = true;
  chrome.SetFont(bold);
  EXPECT_EQ(FontOf(H(chrome)).lfWeight, FW_BOLD);
  EXPECT_EQ(FontOf(H(ie)).lfWeight, FW_NORMAL);
  EXPECT_EQ(chrome.GetFont(), bold);
  chrome.SetFont(kBrowserFont);
  lf = FontOf(H(chrome));
  EXPECT_EQ(lf.lfWeight, FW_NORMAL);
  EXPECT_STREQ(lf.lfFaceName, L"Tahoma");
  EXPECT_EQ(lf.lfCharSet, DEFAULT_CHARSET);
}

// A form laid out before anything asks for its windows has none yet; they are then made as
// they were left, and a control added afterwards is made at once.
TEST_F(ToolkitTest, ChangesBeforeTheWindowsAreMadeAreWhatTheyAreMadeWith) {
  Font bold = chrome.GetFont();
  bold.bold = true;
  chrome.SetFont(bold);
  chrome.SetCaption(u"Usar Chrome");
  chrome.SetTop(10);
  firefox.SetVisible(false);
  ie.SetEnabled(false);
  const Rect outer = form.OuterBounds();
  form.SetOuterHeight(outer.height - 100);
  form.MoveTo(40, 30);
  EXPECT_EQ(form.Bounds(), (Rect{40, 30, 303, 172}));
  EXPECT_EQ(chrome.Bounds(), (Rect{17, 10, 266, 34}));
  EXPECT_EQ(chrome.Caption(), u"Usar Chrome");
  EXPECT_FALSE(firefox.Visible());
  EXPECT_FALSE(ie.Enabled());
  EXPECT_EQ(::FindWindowW(L"ZOLVForm", L"ZOLV Online"), nullptr);

  RECT window{};
  ::GetWindowRect(H(form), &window);
  EXPECT_EQ(window.left, 40);
  EXPECT_EQ(window.top, 30);
  EXPECT_EQ(window.bottom - window.top, outer.height - 100);
  RECT client{};
  ::GetClientRect(H(form), &client);
  EXPECT_EQ(client.bottom, 172);
  EXPECT_EQ(RectInParent(H(chrome)).top, 10);
  EXPECT_EQ(TextOf(H(chrome)), L"Usar Chrome");
  EXPECT_EQ(FontOf(H(chrome)).lfWeight, FW_BOLD);
  EXPECT_FALSE(::GetWindowLongW(H(firefox), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(::IsWindowEnabled(H(ie)));
  // Creation order stays the tab order.
  EXPECT_EQ(::GetWindow(H(top), GW_CHILD), H(ie));
  EXPECT_EQ(::GetWindow(H(ie), GW_HWNDNEXT), H(chrome));

  Button late{bottom, {17, 0, 100, 8}, u"Late", kBrowserFont};
  HWND made = ::FindWindowExW(H(bottom), nullptr, L"Button", L"Late");
  ASSERT_NE(made, nullptr);
  EXPECT_EQ(made, H(late));
  EXPECT_EQ(::GetWindow(H(access), GW_HWNDNEXT), made);
}

TEST_F(ToolkitTest, VisibleEnabledAndCaptionAreTheWindowsOwn) {
  EXPECT_TRUE(firefox.Visible());
  firefox.SetVisible(false);
  EXPECT_FALSE(firefox.Visible());
  EXPECT_FALSE(::GetWindowLongW(H(firefox), GWL_STYLE) & WS_VISIBLE);
  firefox.SetVisible(true);
  EXPECT_TRUE(::GetWindowLongW(H(firefox), GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(::IsWindowVisible(H(firefox)));  // the form is not shown yet

  access.SetEnabled(false);
  EXPECT_FALSE(access.Enabled());
  EXPECT_FALSE(::IsWindowEnabled(H(access)));
  access.SetCaption(u"Ingresando al Navegador. Espere...");
  EXPECT_EQ(TextOf(H(access)), L"Ingresando al Navegador. Espere...");
  EXPECT_EQ(access.Caption(), u"Ingresando al Navegador. Espere...");
  access.SetEnabled(true);
  EXPECT_TRUE(::IsWindowEnabled(H(access)));
}

TEST_F(ToolkitTest, AClickRunsTheHandlerAndItsErrorGoesToTheExceptionHandler) {
  form.Show();
  ::SendMessageW(H(chrome), BM_CLICK, 0, 0);
  EXPECT_EQ(clicked, std::vector<Button*>{&chrome});

  ie.OnClick = [] { throw std::runtime_error("Invalid data type for ''"); };
  ::SendMessageW(H(ie), BM_CLICK, 0, 0);
  EXPECT_EQ(errors, std::vector<std::string>{"Invalid data type for ''"});
  // The window carries on.
  ::SendMessageW(H(firefox), BM_CLICK, 0, 0);
  EXPECT_EQ(clicked, (std::vector<Button*>{&chrome, &firefox}));
}

TEST_F(ToolkitTest, AClickQueuedBeforeTheButtonWasDisabledDoesNotCount) {
  form.Show();
  ::PostMessageW(H(access), BM_CLICK, 0, 0);
  access.SetEnabled(false);
  PumpFor(app, 50);
  EXPECT_TRUE(clicked.empty());
}

TEST_F(ToolkitTest, ProcessMessagesHandlesWaitingClicksAndACloseEndsTheLoop) {
  form.Show();
  ::PostMessageW(H(firefox), BM_CLICK, 0, 0);
  ::PostMessageW(H(form), WM_CLOSE, 0, 0);
  app.ProcessMessages();
  EXPECT_EQ(clicked, std::vector<Button*>{&firefox});
  EXPECT_TRUE(app.Terminated());
  EXPECT_TRUE(::IsWindow(H(form)));  // closing ends the loop; the Form owns its window
  app.Run();                         // returns at once
}

TEST_F(ToolkitTest, ACloseSeenInsideAHandlerLetsTheHandlerFinishAndThenEndsRun) {
  bool finished = false;
  access.OnClick = [&] {
    access.SetEnabled(false);
    app.ProcessMessages();
    finished = app.Terminated();
  };
  form.Show();
  ::PostMessageW(H(access), BM_CLICK, 0, 0);
  ::PostMessageW(H(form), WM_CLOSE, 0, 0);
  app.Run();
  EXPECT_TRUE(finished);
}

TEST_F(ToolkitTest, TheTimerTicksOnlyWhileEnabledAndItsTickCanEndTheLoop) {
  Timer timer(form, 30);
  int ticks = 0;
  timer.OnTimer = [&] { ++ticks; };
  EXPECT_FALSE(timer.Enabled());
  PumpFor(app, 100);
  EXPECT_EQ(ticks, 0);

  timer.SetEnabled(true);
  EXPECT_TRUE(PumpUntil(app, [&] { return ticks > 0; }));
  timer.SetEnabled(false);
  int seen = ticks;
  PumpFor(app, 100);
  EXPECT_EQ(ticks, seen);

  timer.OnTimer = [&] {
    ++ticks;
    timer.SetEnabled(false);
    app.Terminate();
  };
  timer.SetEnabled(true);
  app.Run();
  EXPECT_EQ(ticks, seen + 1);
  EXPECT_TRUE(app.Terminated());
}

TEST_F(ToolkitTest, ShowFocusesTheFirstVisibleEnabledButtonInCreationOrder) {
  ie.SetVisible(false);
  chrome.SetEnabled(false);
  form.Show();
  EXPECT_TRUE(::IsWindowVisible(H(form)));
  EXPECT_EQ(::GetFocus(), H(firefox));
  EXPECT_TRUE(firefox.Focused());
}

TEST_F(ToolkitTest, WithNoBrowserButtonShownTheAccessButtonHasTheFocus) {
  for (Button* button : {&ie, &chrome, &firefox})
    button->SetVisible(false);
  form.Show();
  EXPECT_TRUE(access.Focused());
}

TEST_F(ToolkitTest, TabWalksTheButtonsAcrossBothPanelsSkippingHiddenOnes) {
  chrome.SetVisible(false);
  form.Show();
  ASSERT_TRUE(ie.Focused());
  SendKey(VK_TAB);
  EXPECT_TRUE(PumpUntil(app, [&] { return firefox.Focused(); }));
  SendKey(VK_TAB);
  EXPECT_TRUE(PumpUntil(app, [&] { return access.Focused(); }));
  SendKey(VK_TAB);
  EXPECT_TRUE(PumpUntil(app, [&] { return ie.Focused(); }));
  SendKey(VK_TAB, true);
  EXPECT_TRUE(PumpUntil(app, [&] { return access.Focused(); }));
  EXPECT_TRUE(clicked.empty());
}

TEST_F(ToolkitTest, EnterAndSpacePressTheFocusedButtonOnly) {
  form.Show();
  firefox.SetFocus();
  SendKey(VK_RETURN);
  EXPECT_TRUE(PumpUntil(app, [&] { return !clicked.empty(); }));
  PumpFor(app, 50);
  EXPECT_EQ(clicked, std::vector<Button*>{&firefox});

  access.SetFocus();
  SendKey(VK_SPACE);
  EXPECT_TRUE(PumpUntil(app, [&] { return clicked.size() == 2; }));
  EXPECT_EQ(clicked.back(), &access);
}

TEST_F(ToolkitTest, DisablingTheFocusedButtonKeepsTheKeyboardOnTheForm) {
  form.Show();
  access.SetFocus();
  access.SetEnabled(false);
  EXPECT_EQ(::GetFocus(), H(form));
  SendKey(VK_TAB);
  EXPECT_TRUE(PumpUntil(app, [&] { return ie.Focused(); }));
}

TEST_F(ToolkitTest, TheFocusedButtonGetsTheFocusBackWhenTheFormIsActivatedAgain) {
  form.Show();
  firefox.SetFocus();
  Form other(app, u"Other", 100, 100, kFormFont);
  other.Show();
  ASSERT_TRUE(PumpUntil(app, [&] { return ::GetActiveWindow() == H(other); }));
  ::SetForegroundWindow(H(form));
  EXPECT_TRUE(PumpUntil(app, [&] { return firefox.Focused(); }));
}

// What an error box titled "ZOLVWeb" showed, read by a second thread that then closes it.
struct SeenErrorBox {
  bool found = false;
  std::wstring caption, text;
  HWND owner = nullptr;
  bool errorIcon = false;
};

SeenErrorBox ShowErrorBoxAndClose(Application& app, const String& text) {
  SeenErrorBox seen;
  std::atomic<bool> found{false};
  std::thread closer([&] {
    // Bounded, so that a box that never shows fails the test instead of hanging it.
    for (int i = 0; i < 2000 && !found; ++i) {
      ::Sleep(10);
      HWND box = ::FindWindowW(L"#32770", L"ZOLVWeb");
      if (!box)
        continue;
      seen.caption = TextOf(box);
      seen.owner = ::GetWindow(box, GW_OWNER);
      for (HWND child = ::GetWindow(box, GW_CHILD); child;
           child = ::GetWindow(child, GW_HWNDNEXT)) {
        LONG style = ::GetWindowLongW(child, GWL_STYLE);
        if ((style & SS_TYPEMASK) == SS_ICON)
          seen.errorIcon = true;
        else if (::GetDlgCtrlID(child) == 0xFFFF)  // the box's message text
          seen.text = TextOf(child);
      }
      found = true;
      ::PostMessageW(box, WM_COMMAND, IDOK, 0);
    }
  });
  app.ShowErrorBox(text);
  closer.join();
  seen.found = found;
  return seen;
}

TEST_F(ToolkitTest, TheErrorBoxIsOwnedByTheFormWithTheTitleTextAndErrorIcon) {
  form.Show();
  const SeenErrorBox box = ShowErrorBoxAndClose(app, u"Cannot open file.");
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.caption, L"ZOLVWeb");
  EXPECT_EQ(box.text, L"Cannot open file.");
  EXPECT_EQ(box.owner, H(form));
  EXPECT_TRUE(box.errorIcon);
}

// The program's last-chance box comes after its window is gone; a box owned by a destroyed
// window would never show.
TEST(ToolkitErrorBox, IsShownWithoutOwnerOnceTheFormIsGone) {
  Application app{ZOLV_ICON_APP};
  app.SetTitle(u"ZOLVWeb");
  { Form gone(app, u"ZOLV Online", 303, 272, kFormFont); }
  const SeenErrorBox box = ShowErrorBoxAndClose(app, u"Error creating window.");
  ASSERT_TRUE(box.found);
  EXPECT_EQ(box.owner, nullptr);
  EXPECT_EQ(box.text, L"Error creating window.");
}

// The toolkit's errors reach the error box in the system's own words (FormatMessageW's UTF-16,
// which carries any language's accents). The runtime's own texts come from FormatMessageA in
// the ANSI code page, which the error box would read as UTF-8, and lack the final period.
// Wine takes its language from the Unix locale, so only the English text is checked here.
TEST(ToolkitErrors, CarryTheSystemsOwnText) {
  String shown;
  try {
    ::SetLastError(ERROR_ACCESS_DENIED);
    ThrowLastError("CreateWindowExW");
  } catch (...) {
    shown = ExceptionMessage(std::current_exception());
  }
  EXPECT_EQ(shown, u"CreateWindowExW: " + win32::SystemErrorText(ERROR_ACCESS_DENIED));
}

TEST(ToolkitScreen, TahomaOf13PixelsMeasures16AtTheDesignResolution) {
  Application app{ZOLV_ICON_APP};
  EXPECT_EQ(app.PixelsPerInch(), 96);
  EXPECT_EQ(app.TextHeight(kFormFont, u"0"), 16);
  EXPECT_GT(app.TextHeight({.name = u"Tahoma", .height = 26}, u"0"), 16);
  Rect desktop = app.VirtualDesktop();
  EXPECT_GT(desktop.width, 0);
  EXPECT_GT(desktop.height, 0);
}

// The client area's pixels as 0x00RRGGBB words, top-down.
struct Screenshot {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;

  std::uint32_t At(int x, int y) const {
    return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)];
  }
};

Screenshot Capture(HWND window) {
  RECT client{};
  ::GetClientRect(window, &client);
  Screenshot shot{client.right, client.bottom, {}};
  HDC source = ::GetDC(window);
  HDC memory = ::CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader = {
      sizeof(BITMAPINFOHEADER), shot.width, -shot.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HBITMAP bitmap = ::CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  ::BitBlt(memory, 0, 0, shot.width, shot.height, source, 0, 0, SRCCOPY);
  ::GdiFlush();
  auto* pixels = static_cast<std::uint32_t*>(bits);
  shot.pixels.assign(pixels, pixels + static_cast<size_t>(shot.width) * shot.height);
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(window, source);
  for (auto& pixel : shot.pixels)
    pixel &= 0xFFFFFF;
  return shot;
}

// Saved as PNG, as the end-to-end suite saves its screenshots.
void WritePng(const std::wstring& path, const Screenshot& shot) {
  std::vector<std::uint8_t> rgb;
  rgb.reserve(shot.pixels.size() * 3);
  for (const std::uint32_t pixel : shot.pixels) {
    rgb.push_back(static_cast<std::uint8_t>(pixel >> 16));
    rgb.push_back(static_cast<std::uint8_t>(pixel >> 8));
    rgb.push_back(static_cast<std::uint8_t>(pixel));
  }
  ::CreateDirectoryW(L"screenshots", nullptr);
  ASSERT_TRUE(
      tests::WriteBytes(L"screenshots\\" + path, tests::EncodePng(shot.width, shot.height, rgb)));
}

bool IsColoured(std::uint32_t pixel) {
  int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return std::max({r, g, b}) - std::min({r, g, b}) > 80;
}

bool IsDark(std::uint32_t pixel) {
  int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  return (r * 30 + g * 59 + b * 11) / 100 < 110;
}

// The first column, from `from` on, in which a band of rows across a button holds a pixel
// that passes `test`; -1 when there is none.
int FirstColumn(const Screenshot& shot, const Rect& button, int from, bool (*test)(std::uint32_t)) {
  for (int x = from; x < button.left + button.width - 5; ++x) {
    for (int y = button.top + 6; y < button.top + button.height - 6; ++y) {
      if (test(shot.At(x, y)))
        return x;
    }
  }
  return -1;
}

// The first column of a picture resource that holds a coloured pixel (other than its
// transparent magenta).
int ColouredInset(int picture) {
  HBITMAP bitmap = static_cast<HBITMAP>(
      ::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(picture), IMAGE_BITMAP, 0, 0, 0));
  HDC dc = ::CreateCompatibleDC(nullptr);
  HGDIOBJ previous = ::SelectObject(dc, bitmap);
  int inset = -1;
  for (int x = 0; x < 24 && inset < 0; ++x) {
    for (int y = 0; y < 24; ++y) {
      COLORREF c = ::GetPixel(dc, x, y);
      auto pixel =
          static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      if (pixel != 0xFF00FF && IsColoured(pixel)) {
        inset = x;
        break;
      }
    }
  }
  ::SelectObject(dc, previous);
  ::DeleteDC(dc);
  ::DeleteObject(bitmap);
  return inset;
}

// The width the caption takes in the button's own font.
int CaptionWidth(const Button& button) {
  HWND window = H(button);
  HDC dc = ::GetDC(window);
  HGDIOBJ previous =
      ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(window, WM_GETFONT, 0, 0)));
  String caption = button.Caption();
  SIZE size{};
  ::GetTextExtentPoint32W(dc, reinterpret_cast<const wchar_t*>(caption.c_str()),
                          static_cast<int>(caption.size()), &size);
  ::SelectObject(dc, previous);
  ::ReleaseDC(window, dc);
  return size.cx;
}

// The launcher's window with all five browsers, Chrome chosen; kept as a screenshot for review.
class ToolkitLook : public ::testing::Test {
 protected:
  static Font Bold(Font font) {
    font.bold = true;
    return font;
  }

  Application app{ZOLV_ICON_APP};
  Form form{app, u"ZOLV Online", 303, 272, kFormFont};
  Panel top{form, {0, 0, 303, 214}};
  Panel bottom{form, {0, 214, 303, 58}};
  Button ie{top, {17, 10, 266, 34}, u"Usar Internet Explorer", kBrowserFont, ZOLV_PICTURE_IE};
  Button chrome{
      top, {17, 50, 266, 34}, u"Usar Google Chrome", Bold(kBrowserFont), ZOLV_PICTURE_CHROME};
  Button firefox{
      top, {17, 90, 266, 34}, u"Usar Mozilla Firefox", kBrowserFont, ZOLV_PICTURE_FIREFOX};
  Button safari{top, {17, 130, 266, 34}, u"Usar Safari", kBrowserFont, ZOLV_PICTURE_SAFARI};
  Button opera{top, {17, 170, 266, 34}, u"Usar Opera", kBrowserFont, ZOLV_PICTURE_OPERA};
  Button access{bottom, {17, 8, 266, 41}, u"Acceder ZOLV Online", kAccessFont};

  Screenshot Shoot(const wchar_t* name) {
    form.MoveTo(100, 100);
    form.Show();
    PumpFor(app, 50);
    // Painted now, however busy the machine: the capture never races the paint.
    ::RedrawWindow(H(form), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
    Screenshot shot = Capture(H(form));
    WritePng(name, shot);
    return shot;
  }

  // No magenta shows, and picture, 4 pixels and caption form one group centred on each
  // browser button. (Wine's Tahoma draws its glyphs narrower than it measures them, so the
  // caption's far end is no reliable edge; the group's left end and the caption's start are.)
  void ExpectTidy(const Screenshot& shot) {
    size_t magenta = 0;
    for (std::uint32_t pixel : shot.pixels)
      magenta += pixel == 0xFF00FF;
    EXPECT_EQ(magenta, 0u) << "the pictures' background shows";

    const std::pair<const Button*, int> pictures[] = {{&ie, ZOLV_PICTURE_IE},
                                                      {&chrome, ZOLV_PICTURE_CHROME},
                                                      {&firefox, ZOLV_PICTURE_FIREFOX},
                                                      {&safari, ZOLV_PICTURE_SAFARI},
                                                      {&opera, ZOLV_PICTURE_OPERA}};
    for (auto [button, resource] : pictures) {
      Rect bounds = button->Bounds();
      int group = 24 + 4 + CaptionWidth(*button);
      int picture =
          FirstColumn(shot, bounds, bounds.left + 5, IsColoured) - ColouredInset(resource);
      EXPECT_NEAR(picture, bounds.left + (bounds.width - group) / 2, 1)
          << "button at " << bounds.top;
      // The caption's first stroke, a pixel or so into its cell.
      int caption = FirstColumn(shot, bounds, picture + 24, IsDark);
      EXPECT_NEAR(caption, picture + 24 + 4 + 1, 1) << "button at " << bounds.top;
    }
  }
};

TEST_F(ToolkitLook, PicturesAreTransparentAndCentredWithTheirCaptions) {
  ExpectTidy(Shoot(L"ToolkitButtons.png"));
}

// Windows users always see the visual style's buttons; the test prefix selects Wine's Light
// style so that this branch of the drawing runs here too.
TEST_F(ToolkitLook, ButtonsAreDrawnThroughTheVisualStyle) {
  ::SetCursorPos(0, 0);  // no button hot
  Screenshot shot = Shoot(L"ToolkitButtonsThemed.png");
  HTHEME theme = win32::uxtheme::OpenThemeData(H(firefox), L"Button");
  ASSERT_NE(theme, nullptr) << "no visual style is active";

  // The style's own push button, drawn on the panel's face, is what the button's frame shows.
  Rect bounds = firefox.Bounds();
  HDC screen = ::GetDC(nullptr);
  HDC memory = ::CreateCompatibleDC(screen);
  HBITMAP bitmap = ::CreateCompatibleBitmap(screen, bounds.width, bounds.height);
  HGDIOBJ previous = ::SelectObject(memory, bitmap);
  RECT area{0, 0, bounds.width, bounds.height};
  ::FillRect(memory, &area, ::GetSysColorBrush(COLOR_BTNFACE));
  win32::uxtheme::DrawThemeBackground(theme, memory, BP_PUSHBUTTON, PBS_NORMAL, &area, nullptr);
  for (int y = 6; y < bounds.height - 6; ++y) {
    for (int x : {0, 1, bounds.width - 2, bounds.width - 1}) {
      COLORREF c = ::GetPixel(memory, x, y);
      auto expected =
          static_cast<std::uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      ASSERT_EQ(shot.At(bounds.left + x, bounds.top + y), expected) << x << "," << y;
    }
  }
  ::SelectObject(memory, previous);
  ::DeleteObject(bitmap);
  ::DeleteDC(memory);
  ::ReleaseDC(nullptr, screen);
  win32::uxtheme::CloseThemeData(theme);
}

TEST_F(ToolkitLook, DisabledButtonsLookGreyed) {
  opera.SetEnabled(false);
  access.SetEnabled(false);
  access.SetCaption(u"Ingresando al Navegador. Espere...");
  Screenshot shot = Shoot(L"ToolkitButtonsDisabled.png");
  Rect bounds = opera.Bounds();
  for (int y = bounds.top + 6; y < bounds.top + bounds.height - 6; ++y) {
    for (int x = bounds.left + 5; x < bounds.left + bounds.width - 5; ++x) {
      std::uint32_t p = shot.At(x, y);
      int r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
      ASSERT_LT(std::max({r, g, b}) - std::min({r, g, b}), 40) << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace zolv::toolkit
