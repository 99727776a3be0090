// What a person sees when the launcher opens: the window, the browser buttons it offers, their
// fonts and the remembered choice.
#include "LauncherTest.h"

namespace zolv::e2e {
namespace {

TEST_F(LauncherTest, InstalledBrowsersStackInRegistryOrderAndFitTheWindow) {
  ListBrowsers({L"Internet Explorer", L"Google Chrome", L"Mozilla Firefox"});
  const MainWindow w = StartAndFindWindow();

  EXPECT_EQ(WindowText(w.form), L"ZOLV Online");
  EXPECT_EQ(OuterBox(w.form).height, 220);
  const Box client = ClientBox(w.form);
  EXPECT_EQ(client.width, 303);
  EXPECT_EQ(BoxIn(w.panel1, w.form), (Box{0, 0, 303, client.height - 58}));
  EXPECT_EQ(BoxIn(w.panel2, w.form), (Box{0, client.height - 58, 303, 58}));

  EXPECT_EQ(BoxIn(w.browsers[kIE], w.panel1), (Box{17, 10, 266, 34}));
  EXPECT_EQ(BoxIn(w.browsers[kChrome], w.panel1), (Box{17, 50, 266, 34}));
  EXPECT_EQ(BoxIn(w.browsers[kFirefox], w.panel1), (Box{17, 90, 266, 34}));
  for (Row row : {kIE, kChrome, kFirefox})
    EXPECT_TRUE(IsWindowVisible(w.browsers[row])) << row;
  for (Row row : {kSafari, kOpera})
    EXPECT_FALSE(IsWindowVisible(w.browsers[row])) << row;
  EXPECT_EQ(BoxIn(w.access, w.panel2), (Box{17, 8, 266, 41}));
  EXPECT_TRUE(IsWindowVisible(w.access));
  EXPECT_TRUE(IsWindowEnabled(w.access));

  SaveScreenshot(w.form, L"first-run");
}

TEST_F(LauncherTest, WindowHasAFixedBorderOnlyACloseBoxAndSitsMidDesktop) {
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  const MainWindow w = StartAndFindWindow();

  const auto style = static_cast<DWORD>(GetWindowLongW(w.form, GWL_STYLE));
  EXPECT_EQ(style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
  EXPECT_TRUE(style & WS_SYSMENU);
  EXPECT_FALSE(style & WS_THICKFRAME);
  EXPECT_FALSE(style & WS_MINIMIZEBOX);
  EXPECT_FALSE(style & WS_MAXIMIZEBOX);
  EXPECT_EQ(GetWindow(w.form, GW_OWNER), nullptr);

  const Box outer = OuterBox(w.form);
  EXPECT_EQ(outer.height, 180);
  const Box desktop{GetSystemMetrics(SM_XVIRTUALSCREEN), GetSystemMetrics(SM_YVIRTUALSCREEN),
                    GetSystemMetrics(SM_CXVIRTUALSCREEN), GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  EXPECT_EQ(outer.left, desktop.left + (desktop.width - outer.width) / 2);
  EXPECT_EQ(outer.top, desktop.top + (desktop.height - outer.height) / 2);
}

TEST_F(LauncherTest, ButtonsUseTheirFontsAndTheRememberedBrowserIsBold) {
  ListBrowsers({L"Internet Explorer", L"Google Chrome", L"Mozilla Firefox"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  for (Row row : {kIE, kChrome, kFirefox}) {
    const LOGFONTW font = FontOf(w.browsers[row]);
    EXPECT_STREQ(font.lfFaceName, L"Tahoma") << row;
    EXPECT_EQ(font.lfHeight, -15) << row;
    EXPECT_EQ(IsBold(font), row == kChrome) << row;
  }
  const LOGFONTW access = FontOf(w.access);
  EXPECT_STREQ(access.lfFaceName, L"Arial");
  EXPECT_EQ(access.lfHeight, -15);
  EXPECT_EQ(access.lfCharSet, ANSI_CHARSET);
  EXPECT_FALSE(IsBold(access));
  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding("chrome.exe"));

  SaveScreenshot(w.form, L"remembered-bold");
}

TEST_F(LauncherTest, FirstRunCreatesTheDataFolderAndAnEmptyChoice) {
  ListBrowsers({L"Google Chrome"});
  ASSERT_EQ(GetFileAttributesW(SettingsFolder().c_str()), INVALID_FILE_ATTRIBUTES);
  const MainWindow w = StartAndFindWindow();

  EXPECT_EQ(ReadBytes(SettingsFile()), SettingsHolding(""));
  EXPECT_FALSE(IsBold(FontOf(w.browsers[kChrome])));
}

TEST_F(LauncherTest, ARememberedBrowserThatIsNotInstalledSelectsNothing) {
  ListBrowsers({L"Mozilla Firefox"});
  // Written by hand: no trailing empty line, so any rewrite would show.
  WriteSettings("[Misc]\r\nDefaultBrowser=chrome.exe\r\n");
  const MainWindow w = StartAndFindWindow();

  EXPECT_FALSE(IsBold(FontOf(w.browsers[kFirefox])));
  EXPECT_EQ(ReadBytes(SettingsFile()), "[Misc]\r\nDefaultBrowser=chrome.exe\r\n");
}

TEST_F(LauncherTest, WithoutBrowsersTheWindowKeepsItsDesignSizeAndFocusesTheAccessButton) {
  const MainWindow w = StartAndFindWindow();

  EXPECT_EQ(ClientBox(w.form), (Box{0, 0, 303, 272}));
  for (HWND browser : w.browsers)
    EXPECT_FALSE(IsWindowVisible(browser));
  EXPECT_EQ(Launcher::Focus(w.form), w.access);
}

TEST_F(LauncherTest, OnlyUnknownBrowsersLeaveRoomForTheAccessButtonAlone) {
  ListBrowsers({L"Lynx", L"Links"});
  const MainWindow w = StartAndFindWindow();

  EXPECT_EQ(OuterBox(w.form).height, 100);
  for (HWND browser : w.browsers)
    EXPECT_FALSE(IsWindowVisible(browser));
}

}  // namespace
}  // namespace zolv::e2e
