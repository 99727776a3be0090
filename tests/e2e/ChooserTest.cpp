// Choosing a browser with the mouse and the keyboard: the focus order, the bold mark and the
// saved choice.
#include "LauncherTest.h"

namespace zolv::e2e {
namespace {

// The focus moves on a key pressed in the launcher's window.
bool FocusMovesTo(HWND form, HWND control) {
  return WaitUntil([&] { return Launcher::Focus(form) == control; });
}

TEST_F(LauncherTest, ClickMovesTheBoldMarkAndSavesTheChoice) {
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  WriteSettings(SettingsHolding("firefox.exe"));
  const MainWindow w = StartAndFindWindow();
  ASSERT_TRUE(IsBold(FontOf(w.browsers[kFirefox])));

  Click(w.browsers[kChrome]);

  EXPECT_TRUE(IsBold(FontOf(w.browsers[kChrome])));
  EXPECT_FALSE(IsBold(FontOf(w.browsers[kFirefox])));
  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("chrome.exe"));

  Click(w.browsers[kFirefox]);

  EXPECT_FALSE(IsBold(FontOf(w.browsers[kChrome])));
  EXPECT_TRUE(IsBold(FontOf(w.browsers[kFirefox])));
  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("firefox.exe"));
}

// Keys go through SendInput, as from the keyboard: under Xvfb the launcher's window is the
// foreground window, so they reach its focused control.
TEST_F(LauncherTest, TabFollowsTheBrowserTableNotTheDisplayOrder) {
  ListBrowsers({L"Mozilla Firefox", L"Google Chrome", L"Internet Explorer"});
  const MainWindow w = StartAndFindWindow();
  ASSERT_EQ(BoxIn(w.browsers[kFirefox], w.panel1).top, 10);
  ASSERT_EQ(BoxIn(w.browsers[kIE], w.panel1).top, 90);

  EXPECT_EQ(Launcher::Focus(w.form), w.browsers[kIE]);
  for (HWND next : {w.browsers[kChrome], w.browsers[kFirefox], w.access, w.browsers[kIE]}) {
    PressKey(VK_TAB);
    EXPECT_TRUE(FocusMovesTo(w.form, next)) << "expected: " << WindowText(next);
  }
}

TEST_F(LauncherTest, EnterChoosesTheFocusedBrowserRatherThanOpeningThePage) {
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  const MainWindow w = StartAndFindWindow();
  ASSERT_EQ(Launcher::Focus(w.form), w.browsers[kChrome]);

  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntilBold(w.browsers[kChrome]));
  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("chrome.exe"));

  PressKey(VK_TAB);
  ASSERT_TRUE(FocusMovesTo(w.form, w.browsers[kFirefox]));
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitUntilBold(w.browsers[kFirefox]));
  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("firefox.exe"));
  EXPECT_FALSE(IsBold(FontOf(w.browsers[kChrome])));
  EXPECT_EQ(WindowText(w.access), kAccessCaption);
  EXPECT_EQ(launcher().StartedProcesses(), 0);
}

}  // namespace
}  // namespace zolv::e2e
