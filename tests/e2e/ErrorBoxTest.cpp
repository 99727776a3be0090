// Failures at start-up: the error box a person reads, and the window that follows it.
#include "LauncherTest.h"

namespace zolv::e2e {
namespace {

TEST_F(LauncherTest, ANumberWhereABrowserNameBelongsIsReportedAndNoButtonShows) {
  ListBrowsers({L"Google Chrome", DWORD{7}});
  Launcher& run = Start();

  const HWND box = run.WaitForErrorBox();
  EXPECT_EQ(MessageText(box), L"Invalid data type for ''");
  EXPECT_EQ(GetWindowLongW(box, GWL_STYLE) & WS_VISIBLE, WS_VISIBLE);
  // Shown before the window: a top-level window of its own (a taskbar button), in front.
  EXPECT_EQ(GetWindow(box, GW_OWNER), nullptr);
  EXPECT_EQ(GetWindowLongW(box, GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
  EXPECT_EQ(GetForegroundWindow(), box);
  SaveScreenshot(box, L"error-box");
  Dismiss(box);

  const MainWindow w = FindControls(run.WaitForMainWindow());
  EXPECT_EQ(ClientBox(w.form), (Box{0, 0, 303, 272}));
  for (HWND browser : w.browsers)
    EXPECT_FALSE(IsWindowVisible(browser));
}

TEST_F(LauncherTest, ASettingsFileHeldByAnotherProgramIsReportedAndAllButtonsShow) {
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const win32::UniqueFile held = HoldExclusively(SettingsFile());
  Launcher& run = Start();

  const HWND box = run.WaitForErrorBox();
  const std::wstring text = MessageText(box);
  const std::wstring expectedStart = L"Cannot open file \"" + SettingsFile() + L"\". ";
  EXPECT_EQ(text.substr(0, expectedStart.size()), expectedStart) << text;
  EXPECT_GT(text.size(), expectedStart.size()) << "the system's reason is missing";
  Dismiss(box);

  // Start-up stopped before the browser list: every button at its designed place, none bold.
  const MainWindow w = FindControls(run.WaitForMainWindow());
  EXPECT_EQ(ClientBox(w.form), (Box{0, 0, 303, 272}));
  for (std::size_t row = 0; row < w.browsers.size(); ++row) {
    EXPECT_TRUE(IsWindowVisible(w.browsers[row])) << row;
    EXPECT_EQ(BoxIn(w.browsers[row], w.panel1),
              (Box{17, 15 + 40 * static_cast<int>(row), 266, 34}));
    EXPECT_FALSE(IsBold(FontOf(w.browsers[row]))) << row;
  }
}

}  // namespace
}  // namespace zolv::e2e
