// Start-up and the browser chooser of the main window.
#include <algorithm>
#include <array>

#include "MainWindowTestSupport.h"
#include "platform/host/Headless.h"

namespace zolv::testing {
namespace {

using toolkit::Button;
namespace headless = toolkit::headless;

constexpr char kEmptyChoice[] = "[Misc]\r\nDefaultBrowser=\r\n\r\n";

std::array<Button*, 5> BrowserButtons(TForm1& form) {
  return {&form.BBrowserIE, &form.BBrowserChrome, &form.BBrowserFirefox, &form.BBrowserSafari,
          &form.BBrowserOpera};
}

int BoldCount(TForm1& form) {
  int bold = 0;
  for (Button* button : BrowserButtons(form))
    bold += button->GetFont().bold ? 1 : 0;
  return bold;
}

TEST_F(MainWindowTest, FirstRunStacksInstalledBrowsersInRegistryOrder) {
  AddBrowser(u"IEXPLORE.EXE", u"Internet Explorer");
  AddBrowser(u"Google Chrome", u"Google Chrome");
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  TForm1& form = Start();

  EXPECT_TRUE(ErrorBoxes().empty());
  EXPECT_EQ(ReadSettings(), kEmptyChoice);
  EXPECT_EQ(form.default_previo, u"");
  EXPECT_EQ(form.ejecutar_con, u"");
  EXPECT_EQ(form.BBrowserIE.Bounds(), (toolkit::Rect{17, 10, 266, 34}));
  EXPECT_EQ(form.BBrowserChrome.Bounds().top, 50);
  EXPECT_EQ(form.BBrowserFirefox.Bounds().top, 90);
  EXPECT_FALSE(form.BBrowserSafari.Visible());
  EXPECT_FALSE(form.BBrowserOpera.Visible());
  EXPECT_EQ(BoldCount(form), 0);
  EXPECT_EQ(OuterHeightFor(form), 220);
  // Panel2 stays at the bottom of the fitted client area, Panel1 above it.
  const int client = form.Bounds().height;
  EXPECT_EQ(form.Panel2.Bounds(), (toolkit::Rect{0, client - 58, 303, 58}));
  EXPECT_EQ(form.Panel1.Bounds(), (toolkit::Rect{0, 0, 303, client - 58}));

  // The same start again reads the empty choice and writes it once more.
  std::filesystem::remove(SettingsPath());
  WriteSettings("[Misc]\r\nDefaultBrowser=\r\n");
  Start();
  EXPECT_EQ(ReadSettings(), kEmptyChoice);
}

TEST_F(MainWindowTest, DisplayOrderFollowsRegistryButFocusOrderFollowsTable) {
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  AddBrowser(u"OperaStable", u"Opera Stable");
  AddBrowser(u"Google Chrome", u"Google Chrome");
  TForm1& form = Start();
  form.ShowCentred();

  EXPECT_EQ(form.BBrowserFirefox.Bounds().top, 10);
  EXPECT_EQ(form.BBrowserOpera.Bounds().top, 50);
  EXPECT_EQ(form.BBrowserChrome.Bounds().top, 90);
  EXPECT_EQ(headless::TabOrder(form),
            (std::vector<Button*>{&form.BBrowserChrome, &form.BBrowserFirefox, &form.BBrowserOpera,
                                  &form.BAccederZOLV}));
  EXPECT_TRUE(form.BBrowserChrome.Focused());
}

TEST_F(MainWindowTest, RememberedInstalledBrowserIsChosenAndBold) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  WriteSettings("[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n");
  TForm1& form = Start();

  EXPECT_EQ(form.default_previo, u"firefox.exe");
  EXPECT_EQ(form.ejecutar_con, u"firefox.exe");
  EXPECT_TRUE(form.BBrowserFirefox.GetFont().bold);
  EXPECT_EQ(BoldCount(form), 1);
  EXPECT_EQ(ReadSettings(), "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n");
  EXPECT_EQ(OuterHeightFor(form), 180);

  // A click moves the mark and the choice, and saves it.
  form.Show();
  headless::Click(form.BBrowserChrome);
  EXPECT_TRUE(form.BBrowserChrome.GetFont().bold);
  EXPECT_FALSE(form.BBrowserFirefox.GetFont().bold);
  // Screen readers do not report bold: the mark is the chosen button's description too.
  EXPECT_EQ(headless::Description(form.BBrowserChrome), u"Navegador elegido");
  EXPECT_EQ(headless::Description(form.BBrowserFirefox), u"");
  EXPECT_EQ(form.ejecutar_con, u"chrome.exe");
  EXPECT_EQ(ReadSettings(), "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n");
}

TEST_F(MainWindowTest, RememberedBrowserMustBeInstalledAndMatchCaseExactly) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  for (const char* stored : {"DefaultBrowser=opera.exe", "DefaultBrowser=CHROME.EXE"}) {
    const std::string settings = std::string("[Misc]\r\n") + stored + "\r\n\r\n";
    WriteSettings(settings);
    TForm1& form = Start();
    EXPECT_EQ(BoldCount(form), 0) << stored;
    EXPECT_EQ(form.ejecutar_con, u"") << stored;
    EXPECT_EQ(ReadSettings(), settings) << "kept until the user clicks";
  }
}

TEST_F(MainWindowTest, RememberedValueIsASubstringTestAndTheLastMatchWins) {
  AddBrowser(u"IEXPLORE.EXE", u"Internet Explorer");
  AddBrowser(u"A", u"Google Chrome");
  AddBrowser(u"C", u"Google Chrome Beta");
  WriteSettings("[Misc]\r\nDefaultBrowser=iexplore.exe chrome.exe\r\n");
  TForm1& form = Start();

  // Both remembered keywords match; Chrome, placed last, ends up bold and chosen. Chrome was
  // placed twice: it sits at the later slot and the earlier one stays empty.
  EXPECT_EQ(form.ejecutar_con, u"chrome.exe");
  EXPECT_EQ(BoldCount(form), 1);
  EXPECT_TRUE(form.BBrowserChrome.GetFont().bold);
  EXPECT_EQ(form.BBrowserIE.Bounds().top, 10);
  EXPECT_EQ(form.BBrowserChrome.Bounds().top, 90);
  EXPECT_EQ(OuterHeightFor(form), 100 + 40 * 3);
}

TEST_F(MainWindowTest, HeightCountsPlacementsNotButtons) {
  AddBrowser(u"Hybrid", u"Firefox with Opera inside");
  TForm1& form = Start();
  EXPECT_TRUE(form.BBrowserFirefox.Visible());
  EXPECT_TRUE(form.BBrowserOpera.Visible());
  EXPECT_EQ(form.BBrowserFirefox.Bounds().top, 10);
  EXPECT_EQ(form.BBrowserOpera.Bounds().top, 50);
  EXPECT_EQ(OuterHeightFor(form), 180);
}

TEST_F(MainWindowTest, UnknownBrowsersShowNothingButStillFitTheHeight) {
  AddBrowser(u"Lynx", u"Lynx");
  TForm1& form = Start();
  for (Button* button : BrowserButtons(form))
    EXPECT_FALSE(button->Visible());
  EXPECT_EQ(OuterHeightFor(form), 100);
}

TEST_F(MainWindowTest, NoBrowserListedKeepsTheDesignHeightAndFocusesTheAccessButton) {
  TForm1& form = Start();
  form.ShowCentred();
  for (Button* button : BrowserButtons(form))
    EXPECT_FALSE(button->Visible());
  EXPECT_EQ(form.Bounds(), (toolkit::Rect{0, 0, 303, 272}));
  EXPECT_TRUE(form.BAccederZOLV.Focused());
  EXPECT_EQ(form.ejecutar_con, u"");
}

TEST_F(MainWindowTest, UnreadableSettingsStopStartupWithEveryButtonAtItsDesignPlace) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  WriteSettings("[Misc]\r\nDefaultBrowser=chrome.exe\r\n");
  files::host::FailNextRead(files::host::ReadStep::Open);
  TForm1& form = Start();

  ASSERT_EQ(ErrorBoxes().size(), 1u);
  String path = FromUtf8(root_.string()) + u"/data/ZOLV/ZOLVWeb.ini";
  std::replace(path.begin(), path.end(), u'/', u'\\');
  const String expected = u"Cannot open file \"" + path + u"\". ";
  EXPECT_EQ(ErrorBoxes()[0].text.substr(0, expected.size()), expected);
  EXPECT_EQ(ErrorBoxes()[0].text.back(), u'.');
  int top = 15;
  for (Button* button : BrowserButtons(form)) {
    EXPECT_TRUE(button->Visible());
    EXPECT_EQ(button->Bounds().top, top);
    top += 40;
  }
  EXPECT_EQ(BoldCount(form), 0);
  EXPECT_EQ(form.Bounds().height, 272);
}

TEST_F(MainWindowTest, UnwritableDataFolderShowsCannotCreate) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  std::filesystem::remove_all(root_ / "data");  // the data folder's parent is gone too
  TForm1& form = Start();
  ASSERT_EQ(ErrorBoxes().size(), 1u);
  EXPECT_EQ(ErrorBoxes()[0].text.rfind(u"Cannot create file \"", 0), 0u);
  EXPECT_TRUE(form.BBrowserChrome.Visible());
  EXPECT_TRUE(form.BBrowserOpera.Visible());
}

TEST_F(MainWindowTest, RegistryTypeErrorHidesEveryButton) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  registry::fake::SetDword(String(cBrowsersRootKey) + u"\\Broken", u"", 7);
  TForm1& form = Start();
  ASSERT_EQ(ErrorBoxes().size(), 1u);
  EXPECT_EQ(ErrorBoxes()[0].text, u"Invalid data type for ''");
  for (Button* button : BrowserButtons(form))
    EXPECT_FALSE(button->Visible());
  EXPECT_EQ(form.Bounds().height, 272);
}

TEST_F(MainWindowTest, FailedSaveOfTheRememberedBrowserKeepsTheStoredChoice) {
  AddBrowser(u"IEXPLORE.EXE", u"Internet Explorer");
  AddBrowser(u"Google Chrome", u"Google Chrome");
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  const std::string settings = "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n";
  WriteSettings(settings);
  files::host::FailNextReplace(files::host::ReplaceStep::Rename);
  TForm1& form = Start();

  // The layout stops at the remembered entry: the button before it stays placed, the matched
  // one is bold but hidden, and the height is the design one. The file keeps the choice.
  ASSERT_EQ(ErrorBoxes().size(), 1u);
  EXPECT_EQ(ErrorBoxes()[0].text.rfind(u"Cannot create file \"", 0), 0u);
  EXPECT_EQ(ReadSettings(), settings);
  EXPECT_TRUE(form.BBrowserIE.Visible());
  EXPECT_FALSE(form.BBrowserChrome.Visible());
  EXPECT_TRUE(form.BBrowserChrome.GetFont().bold);
  EXPECT_EQ(form.ejecutar_con, u"chrome.exe");
  EXPECT_EQ(form.Bounds().height, 272);
}

TEST_F(MainWindowTest, FailedSaveOfAClickKeepsTheChoiceForThisRunOnly) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  TForm1& form = Start();
  form.Show();
  files::host::FailNextReplace(files::host::ReplaceStep::Write);
  headless::Click(form.BBrowserFirefox);

  ASSERT_EQ(ErrorBoxes().size(), 1u);
  EXPECT_EQ(ErrorBoxes()[0].text.rfind(u"Cannot create file \"", 0), 0u);
  EXPECT_TRUE(form.BBrowserFirefox.GetFont().bold);
  EXPECT_EQ(form.ejecutar_con, u"firefox.exe");
  EXPECT_EQ(ReadSettings(), kEmptyChoice);
}

TEST_F(MainWindowTest, ScaledWindowStacksButtonsWithScaledSteps) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
  headless::SetPixelsPerInch(app_, 120);
  headless::SetTextHeight(app_, [](const toolkit::Font&, StringView) { return 20; });
  TForm1& form = Start();

  EXPECT_EQ(form.GetFont().height, 16);
  EXPECT_EQ(form.Bounds().width, 379);
  EXPECT_EQ(form.BBrowserChrome.Bounds(), (toolkit::Rect{21, 13, 333, 43}));
  EXPECT_EQ(form.BBrowserFirefox.Bounds().top, 13 + 50);
  EXPECT_EQ(form.BBrowserChrome.GetFont().height, 19);
  EXPECT_EQ(form.BAccederZOLV.Bounds(), (toolkit::Rect{21, 10, 333, 51}));
  EXPECT_EQ(form.BAccederZOLV.GetFont(),
            (toolkit::Font{.name = u"Arial", .height = 19, .charset = toolkit::Charset::Ansi}));
  EXPECT_EQ(OuterHeightFor(form), 2 * 50 + (13 + 2 * 50) + 13);
  // The buttons no longer overlap and the access panel keeps its scaled height.
  EXPECT_LT(form.BBrowserChrome.Bounds().top + 43, form.BBrowserFirefox.Bounds().top);
  EXPECT_EQ(form.Panel2.Bounds().height, 73);
}

TEST_F(MainWindowTest, WindowIsCentredOnTheWholeDesktopButNeverBeyondItsCorner) {
  headless::SetVirtualDesktop(app_, {-1920, 0, 3840, 1080});
  TForm1& form = Start();
  form.ShowCentred();
  const toolkit::Rect outer = form.OuterBounds();
  EXPECT_EQ(outer.left, -1920 + (3840 - outer.width) / 2);
  EXPECT_EQ(outer.top, (1080 - outer.height) / 2);
  EXPECT_TRUE(form.Visible());

  headless::SetVirtualDesktop(app_, {100, 50, 200, 100});
  TForm1& small = Start();
  small.ShowCentred();
  EXPECT_EQ(small.OuterBounds().left, 100);
  EXPECT_EQ(small.OuterBounds().top, 50);
}

TEST_F(MainWindowTest, DesignValuesOfTheWindow) {
  TForm1& form = Start();
  EXPECT_EQ(form.Caption(), u"ZOLV Online");
  EXPECT_EQ(form.GetFont(), (toolkit::Font{.name = u"Tahoma", .height = 13}));
  EXPECT_EQ(form.BAccederZOLV.Caption(), u"Acceder ZOLV Online");
  EXPECT_EQ(form.BAccederZOLV.Bounds(), (toolkit::Rect{17, 8, 266, 41}));
  EXPECT_EQ(form.BBrowserSafari.Caption(), u"Usar Safari");
  EXPECT_EQ(form.BBrowserIE.GetFont(), (toolkit::Font{.name = u"Tahoma", .height = 15}));
  EXPECT_NE(headless::Picture(form.BBrowserOpera), 0);
  EXPECT_FALSE(form.TimerClose.Enabled());
  EXPECT_EQ(form.TimerClose.Interval(), 6000u);
}

}  // namespace
}  // namespace zolv::testing
