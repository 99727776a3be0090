// UFPrincipal: the launcher's only window, TForm1 — start-up, the browser chooser and the
// access action — and the per-user data folder DataPath.
#pragma once

#include <array>

#include "DesignScale.h"
#include "platform/Text.h"
#include "platform/Toolkit.h"

namespace zolv {

// The per-user data folder, ending in a backslash; set once at start-up by PrepareDataFolder.
extern String DataPath;

// The current path of a special folder, or the empty text when the shell cannot tell.
String GetSpecialFolderPath(int folder);

// Sets DataPath to "ZOLV\" under the user's local application data and creates that folder
// (one level). Whether the folder could be created is not examined: a failure shows when the
// settings file is written.
void PrepareDataFolder();

class TForm1 : public toolkit::Form {
 public:
  // Creates the window at its design values, scaled to the screen, and runs FormCreate; an
  // error there is shown in the error box and the window carries on as far as it got.
  explicit TForm1(toolkit::Application& app);

  // Places the window at the centre of the whole desktop, never left of or above its top-left
  // corner, and shows it.
  void ShowCentred();

  void FormCreate();
  void mostrarBrowsers();
  void setDefaultBrowser(toolkit::Button& Sender);

  void BBrowserIEClick(toolkit::Button& Sender);
  void BBrowserChromeClick(toolkit::Button& Sender);
  void BBrowserFirefoxClick(toolkit::Button& Sender);
  void BBrowserSafariClick(toolkit::Button& Sender);
  void BBrowserOperaClick(toolkit::Button& Sender);

  // Opens the client's page of the web system in the chosen browser, or the default one, and
  // starts the close timer.
  void BAccederZOLVClick(toolkit::Button& Sender);
  // The close timer's first tick ends the program.
  void TimerCloseTimer();

  // The chosen browser's executable name; empty while none is chosen.
  String ejecutar_con;
  // The remembered browser as read from the settings file at start.
  String default_previo;

  toolkit::Panel Panel1;
  toolkit::Panel Panel2;
  toolkit::Button BBrowserIE;
  toolkit::Button BBrowserChrome;
  toolkit::Button BBrowserFirefox;
  toolkit::Button BBrowserSafari;
  toolkit::Button BBrowserOpera;
  toolkit::Button BAccederZOLV;
  toolkit::Timer TimerClose;

 private:
  TForm1(toolkit::Application& app, const DesignScale& scale);

  // The browser buttons in the order of the browser table.
  std::array<toolkit::Button*, 5> BrowserButtons();
  // A browser button's click: choose the table row's browser and save the choice.
  void ChooseBrowser(std::size_t row, toolkit::Button& Sender);
  // Panel1 fills the client area above the bottom-aligned Panel2.
  void ArrangePanels();

  DesignScale scale_;
};

}  // namespace zolv
