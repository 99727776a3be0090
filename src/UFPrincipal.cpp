#include "UFPrincipal.h"

#include <algorithm>

#include "SiteAddress.h"
#include "SiteSettings.h"
#include "UComun.h"
#include "WebBrowsers.h"
#include "assets/Design.h"
#include "platform/Files.h"
#include "platform/Shell.h"

namespace zolv {

String DataPath;

String GetSpecialFolderPath(int folder) {
  return shell::FolderPath(folder).value_or(String());
}

void PrepareDataFolder() {
  DataPath = GetSpecialFolderPath(shell::kLocalAppData);
  if (DataPath.empty() || DataPath.back() != u'\\')
    DataPath += u'\\';
  DataPath += u"ZOLV\\";
  files::CreateFolder(DataPath);
}

namespace {

using toolkit::Button;
using toolkit::Font;
using toolkit::Rect;

// The browser buttons' click handlers, in the order of the browser table.
constexpr std::array<void (TForm1::*)(Button&), 5> kBrowserClickHandlers{
    &TForm1::BBrowserIEClick, &TForm1::BBrowserChromeClick, &TForm1::BBrowserFirefoxClick,
    &TForm1::BBrowserSafariClick, &TForm1::BBrowserOperaClick};

Rect BrowserButtonBounds(const DesignScale& scale, int row) {
  Rect bounds = design::kBrowserButton;
  bounds.top += row * design::kBrowserButtonSpacing;
  return scale(bounds);
}

Font BrowserFont(const DesignScale& scale) {
  return {.name = design::kBrowserFontName, .height = scale(design::kBrowserFontHeight)};
}

Button MakeBrowserButton(toolkit::Panel& panel, const DesignScale& scale, int row) {
  const design::Browser& browser = design::kBrowsers[static_cast<std::size_t>(row)];
  return Button(panel, BrowserButtonBounds(scale, row), browser.caption, BrowserFont(scale),
                browser.picture);
}

bool Contains(StringView text, StringView part) {
  return text.find(part) != StringView::npos;
}

}  // namespace

TForm1::TForm1(toolkit::Application& app) : TForm1(app, MeasureDesignScale(app)) {}

TForm1::TForm1(toolkit::Application& app, const DesignScale& scale)
    : Form(app, design::kFormCaption, scale(design::kClientWidth), scale(design::kClientHeight),
           {.name = design::kMainFontName, .height = scale.mainFontHeight}),
      Panel1(*this, {}),
      Panel2(*this, {}),
      BBrowserIE(MakeBrowserButton(Panel1, scale, 0)),
      BBrowserChrome(MakeBrowserButton(Panel1, scale, 1)),
      BBrowserFirefox(MakeBrowserButton(Panel1, scale, 2)),
      BBrowserSafari(MakeBrowserButton(Panel1, scale, 3)),
      BBrowserOpera(MakeBrowserButton(Panel1, scale, 4)),
      BAccederZOLV(Panel2, scale(design::kAccessButton), design::kAccessCaption,
                   {.name = design::kAccessFontName,
                    .height = scale(design::kAccessFontHeight),
                    .charset = toolkit::Charset::Ansi}),
      TimerClose(*this, design::kCloseIntervalMs),
      scale_(scale) {
  ArrangePanels();
  const auto buttons = BrowserButtons();
  for (std::size_t row = 0; row < buttons.size(); ++row) {
    buttons[row]->OnClick = [this, row, button = buttons[row]] {
      (this->*kBrowserClickHandlers[row])(*button);
    };
  }
  BAccederZOLV.OnClick = [this] { BAccederZOLVClick(BAccederZOLV); };
  TimerClose.OnTimer = [this] { TimerCloseTimer(); };
  app.Dispatch([this] { FormCreate(); });
}

void TForm1::ShowCentred() {
  const Rect desktop = App().VirtualDesktop();
  const Rect outer = OuterBounds();
  MoveTo(std::max(desktop.left, desktop.left + (desktop.width - outer.width) / 2),
         std::max(desktop.top, desktop.top + (desktop.height - outer.height) / 2));
  Show();
}

void TForm1::FormCreate() {
  ejecutar_con.clear();
  PrepareDataFolder();
  default_previo = GetIni(u"Misc", u"DefaultBrowser", u"");
  mostrarBrowsers();
}

void TForm1::mostrarBrowsers() {
  const auto buttons = BrowserButtons();
  for (Button* button : buttons)
    button->SetVisible(false);

  TWebBrowsers browsers(true);
  browsers.ReadFromSystem();
  const int count = browsers.Count();
  if (count == 0)
    return;

  // The stacking numbers scale like the rest of the window, so the buttons never overlap.
  int posTop = scale_(design::kStackTop);
  const int posOffset = scale_(design::kStackOffset);
  for (int index = 0; index < count; ++index) {
    const String name = text::LowerCase(browsers.Items(index).Name());
    for (std::size_t row = 0; row < design::kBrowsers.size(); ++row) {
      const StringView keyword = design::kBrowsers[row].keyword;
      if (!Contains(name, keyword))
        continue;
      if (Contains(default_previo, keyword))
        (this->*kBrowserClickHandlers[row])(*buttons[row]);
      buttons[row]->SetVisible(true);
      buttons[row]->SetTop(posTop);
      posTop += posOffset;
    }
  }
  SetOuterHeight(2 * posOffset + posTop + scale_(design::kStackBottomMargin));
  ArrangePanels();
}

void TForm1::setDefaultBrowser(Button& Sender) {
  for (Button* button : BrowserButtons()) {
    Font font = button->GetFont();
    font.bold = false;
    button->SetFont(font);
    button->SetDescription(u"");
  }
  Font font = Sender.GetFont();
  font.bold = true;
  Sender.SetFont(font);
  Sender.SetDescription(design::kChosenDescription);
}

void TForm1::BBrowserIEClick(Button& Sender) {
  ChooseBrowser(0, Sender);
}
void TForm1::BBrowserChromeClick(Button& Sender) {
  ChooseBrowser(1, Sender);
}
void TForm1::BBrowserFirefoxClick(Button& Sender) {
  ChooseBrowser(2, Sender);
}
void TForm1::BBrowserSafariClick(Button& Sender) {
  ChooseBrowser(3, Sender);
}
void TForm1::BBrowserOperaClick(Button& Sender) {
  ChooseBrowser(4, Sender);
}

void TForm1::ChooseBrowser(std::size_t row, Button& Sender) {
  // The bold mark moves first and the one save comes last: a failed save leaves the file
  // with the user's previous choice rather than an empty one.
  setDefaultBrowser(Sender);
  ejecutar_con = design::kBrowsers[row].executable;
  SetIni(u"Misc", u"DefaultBrowser", ejecutar_con);
}

void TForm1::BAccederZOLVClick(Button& Sender) {
  // Checked before anything changes: a bad installation leaves the window ready to try again.
  const Site site = ReadSite();

  Sender.SetEnabled(false);
  Sender.SetCaption(design::kOpeningCaption);
  // The button just lost the focus to the form, so screen readers would not read it.
  Sender.AnnounceCaption();
  // Paints the notice, and applies a browser click or a close request that was waiting.
  App().ProcessMessages();

  const String URL = PageAddress(baseURL(site.host), site.clientId);
  if (!ejecutar_con.empty()) {
    shell::Execute(Native(), u"open", ejecutar_con, URL, shell::kShow);
  } else {
    shell::Execute(Native(), u"open", URL, u"", shell::kShowNormal);
  }
  TimerClose.SetEnabled(true);
}

void TForm1::TimerCloseTimer() {
  TimerClose.SetEnabled(false);
  App().Terminate();
}

std::array<Button*, 5> TForm1::BrowserButtons() {
  return {&BBrowserIE, &BBrowserChrome, &BBrowserFirefox, &BBrowserSafari, &BBrowserOpera};
}

void TForm1::ArrangePanels() {
  const Rect client = Bounds();
  const int bottomHeight = scale_(design::kPanel2Height);
  Panel1.SetBounds({0, 0, client.width, client.height - bottomHeight});
  Panel2.SetBounds({0, client.height - bottomHeight, client.width, bottomHeight});
}

}  // namespace zolv
