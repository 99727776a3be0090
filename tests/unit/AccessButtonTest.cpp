// The access button: the installation's values, the hand-over to the shell and the close timer.
#include "MainWindowTestSupport.h"

namespace zolv::testing {
namespace {

namespace headless = toolkit::headless;
using shell::host::ExecuteCalls;

constexpr char16_t kAddress[] = u"http://zolv.example.com:8080/web/index.php?id=42";

class AccessButtonTest : public MainWindowTest {
 protected:
  TForm1& StartReady() {
    AddBrowser(u"Google Chrome", u"Google Chrome");
    AddBrowser(u"FIREFOX.EXE", u"Mozilla Firefox");
    WriteSiteFile("[Site]\r\nHost=zolv.example.com:8080\r\nClientId=42\r\n");
    TForm1& form = Start();
    form.ShowCentred();
    return form;
  }
};

TEST_F(AccessButtonTest, ChosenBrowserIsStartedWithTheAddressAndTheTimerRuns) {
  TForm1& form = StartReady();
  headless::Click(form.BBrowserChrome);
  headless::Click(form.BAccederZOLV);

  ASSERT_EQ(ExecuteCalls().size(), 1u);
  const auto& call = ExecuteCalls()[0];
  EXPECT_EQ(call.owner, form.Native());
  EXPECT_EQ(call.verb, u"open");
  EXPECT_EQ(call.file, u"chrome.exe");
  EXPECT_EQ(call.parameters, kAddress);
  EXPECT_EQ(call.showCommand, 5);
  EXPECT_FALSE(form.BAccederZOLV.Enabled());
  EXPECT_EQ(form.BAccederZOLV.Caption(), u"Ingresando al Navegador. Espere...");
  EXPECT_EQ(headless::Announcements(form.BAccederZOLV), 1);
  EXPECT_TRUE(form.TimerClose.Enabled());
  EXPECT_FALSE(app_.Terminated());

  // No way back: the disabled button takes no second click; the first tick ends the program.
  headless::Click(form.BAccederZOLV);
  EXPECT_EQ(ExecuteCalls().size(), 1u);
  headless::Tick(form.TimerClose);
  EXPECT_TRUE(app_.Terminated());
  EXPECT_FALSE(form.TimerClose.Enabled());
}

TEST_F(AccessButtonTest, WithoutAChoiceTheAddressItselfIsOpened) {
  TForm1& form = StartReady();
  headless::Click(form.BAccederZOLV);
  ASSERT_EQ(ExecuteCalls().size(), 1u);
  EXPECT_EQ(ExecuteCalls()[0].file, kAddress);
  EXPECT_EQ(ExecuteCalls()[0].parameters, u"");
  EXPECT_EQ(ExecuteCalls()[0].showCommand, 1);
}

TEST_F(AccessButtonTest, BrowserClickWaitingDuringTheHandOverIsApplied) {
  TForm1& form = StartReady();
  headless::PostClick(form.BBrowserFirefox);
  headless::Click(form.BAccederZOLV);
  ASSERT_EQ(ExecuteCalls().size(), 1u);
  EXPECT_EQ(ExecuteCalls()[0].file, u"firefox.exe");
  EXPECT_EQ(ReadSettings(), "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n");
}

TEST_F(AccessButtonTest, CloseWaitingDuringTheHandOverStillOpensThePageOnce) {
  TForm1& form = StartReady();
  headless::PostClose(form);
  headless::Click(form.BAccederZOLV);
  EXPECT_EQ(ExecuteCalls().size(), 1u);
  EXPECT_TRUE(app_.Terminated());
}

TEST_F(AccessButtonTest, BadInstallationValuesAreRefusedAndTheWindowStaysReady) {
  const struct {
    const char* site;
    const char16_t* key;
  } cases[] = {
      {"", u"Host"},
      {"[Site]\r\nClientId=42\r\n", u"Host"},
      {"[Site]\r\nHost=\r\nClientId=42\r\n", u"Host"},
      {"[Site]\r\nHost=evil.example.com/x?\r\nClientId=42\r\n", u"Host"},
      {"[Site]\r\nHost=a\"b\r\nClientId=42\r\n", u"Host"},
      {"[Site]\r\nHost=zolv.example.com\r\n", u"ClientId"},
      {"[Site]\r\nHost=zolv.example.com\r\nClientId=4 2\r\n", u"ClientId"},
      {"[Site]\r\nHost=zolv.example.com\r\nClientId=2147483648\r\n", u"ClientId"},
  };
  AddBrowser(u"Google Chrome", u"Google Chrome");
  for (const auto& c : cases) {
    WriteSiteFile(c.site);
    TForm1& form = Start();
    form.ShowCentred();
    headless::Click(form.BAccederZOLV);
    ASSERT_FALSE(ErrorBoxes().empty());
    const String& text = ErrorBoxes().back().text;
    EXPECT_NE(text.find(String(u"clave ") + c.key + u" de site.ini"), String::npos) << c.site;
    EXPECT_TRUE(ExecuteCalls().empty()) << c.site;
    EXPECT_TRUE(form.BAccederZOLV.Enabled());
    EXPECT_EQ(form.BAccederZOLV.Caption(), u"Acceder ZOLV Online");
    EXPECT_FALSE(form.TimerClose.Enabled());
  }
}

TEST_F(AccessButtonTest, SiteFileOverridesKeyByKeyWithTheSettingsReadingRules) {
  AddBrowser(u"Google Chrome", u"Google Chrome");
  // UTF-16 LE with a mark, section and key in other letter case, blanks around the "=".
  const std::u16string text =
      u"\uFEFF; installation\r\n[ site ]\r\n  host =  [::1]:81 \r\nCLIENTID=-5\r\n";
  WriteSiteFile(std::string(reinterpret_cast<const char*>(text.data()), text.size() * 2));
  TForm1& form = Start();
  form.ShowCentred();
  headless::Click(form.BAccederZOLV);
  ASSERT_EQ(ExecuteCalls().size(), 1u)
      << (ErrorBoxes().empty() ? "" : ToUtf8(ErrorBoxes()[0].text));
  EXPECT_EQ(ExecuteCalls()[0].file, u"http://[::1]:81/web/index.php?id=-5");
}

}  // namespace
}  // namespace zolv::testing
