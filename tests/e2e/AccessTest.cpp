// The access button: the client's page handed to the chosen browser or the http handler, the
// working notice, and the launcher's end.
#include "LauncherTest.h"

#include <algorithm>
#include <cwctype>

namespace zolv::e2e {
namespace {

constexpr wchar_t kAddress[] = L"http://zolv.example.com/web/index.php?id=42";

void WriteSite(const std::string& host) {
  WriteBytes(SiteFile(), "[Site]\r\nHost=" + host + "\r\nClientId=42\r\n");
}

// The program's file name, in lower case, from a recorded command line.
std::wstring ProgramName(const std::vector<std::wstring>& arguments) {
  std::wstring name = arguments.at(0).substr(arguments.at(0).find_last_of(L'\\') + 1);
  std::transform(name.begin(), name.end(), name.begin(),
                 [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
  return name;
}

TEST_F(LauncherTest, TheChosenBrowserOpensTheClientsPageAndTheLauncherEndsSixSecondsLater) {
  WriteSite("zolv.example.com");
  ListBrowsers({L"Google Chrome", L"Mozilla Firefox"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  Click(w.access, 20000);
  const auto handedOver = Clock::now();
  EXPECT_EQ(WindowText(w.access), kOpeningCaption);
  EXPECT_FALSE(IsWindowEnabled(w.access));
  SaveScreenshot(w.form, L"opening");

  ASSERT_TRUE(launcher().WaitForExit(20s));
  const auto lived = Clock::now() - handedOver;
  EXPECT_GE(lived, 5s);
  EXPECT_LE(lived, 15s);
  ASSERT_TRUE(launcher().WaitUntilAllEnded());
  EXPECT_EQ(launcher().StartedProcesses(), 1);
  const auto starts = StubStarts();
  ASSERT_EQ(starts.size(), 1u);
  ASSERT_EQ(starts[0].size(), 2u);
  EXPECT_EQ(ProgramName(starts[0]), L"chrome.exe");
  EXPECT_EQ(starts[0][1], kAddress);
}

TEST_F(LauncherTest, WithoutAChoiceTheHttpHandlerOpensThePage) {
  WriteSite("zolv.example.com");
  ListBrowsers({L"Google Chrome"});
  const MainWindow w = StartAndFindWindow();

  Click(w.access, 20000);
  EXPECT_EQ(WindowText(w.access), kOpeningCaption);
  EXPECT_FALSE(IsWindowEnabled(w.access));

  ASSERT_TRUE(WaitUntil([] { return !StubStarts().empty(); }));
  const auto starts = StubStarts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(starts[0], (std::vector<std::wstring>{StubBrowserPath(), kAddress}));
  EXPECT_TRUE(launcher().Running());
}

TEST_F(LauncherTest, ClosingTheWindowWhileOpeningEndsAtOnceWithOneBrowserStart) {
  WriteSite("zolv.example.com");
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  Click(w.access, 20000);
  PostMessageW(w.form, WM_CLOSE, 0, 0);
  const auto closed = Clock::now();

  ASSERT_TRUE(launcher().WaitForExit());
  EXPECT_LT(Clock::now() - closed, 3s);
  ASSERT_TRUE(launcher().WaitUntilAllEnded());
  EXPECT_EQ(launcher().StartedProcesses(), 1);
  EXPECT_EQ(StubStarts().size(), 1u);
}

// The close request waits in the queue behind the click, so the click handler meets it while
// it lets the window repaint; the page is still handed over once, and the launcher ends.
TEST_F(LauncherTest, ACloseRequestQueuedBehindTheClickStillOpensThePageOnce) {
  WriteSite("zolv.example.com");
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  PostMessageW(w.access, BM_CLICK, 0, 0);
  PostMessageW(w.form, WM_CLOSE, 0, 0);
  const auto asked = Clock::now();

  ASSERT_TRUE(launcher().WaitForExit());
  EXPECT_LT(Clock::now() - asked, 5s);
  ASSERT_TRUE(launcher().WaitUntilAllEnded());
  const auto starts = StubStarts();
  ASSERT_EQ(starts.size(), 1u);
  EXPECT_EQ(ProgramName(starts[0]), L"chrome.exe");
}

TEST_F(LauncherTest, ABadHostInSiteIniIsReportedAndNothingStarts) {
  WriteSite("a/b");
  ListBrowsers({L"Google Chrome"});
  WriteSettings(SettingsHolding("chrome.exe"));
  const MainWindow w = StartAndFindWindow();

  // Posted: the handler shows the box before it returns.
  PostMessageW(w.access, BM_CLICK, 0, 0);
  const HWND box = launcher().WaitForErrorBox();
  EXPECT_EQ(MessageText(box), L"El servidor configurado no es válido (clave Host de site.ini).");
  Dismiss(box);

  EXPECT_TRUE(IsWindowEnabled(w.access));
  EXPECT_EQ(WindowText(w.access), kAccessCaption);
  EXPECT_EQ(launcher().StartedProcesses(), 0);
  EXPECT_TRUE(StubStarts().empty());
  EXPECT_TRUE(launcher().Running());
}

}  // namespace
}  // namespace zolv::e2e
