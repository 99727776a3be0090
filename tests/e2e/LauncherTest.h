// LauncherTest: the fixture of the end-to-end tests. Each test starts from a clean machine (no
// browser list, no settings file, no site.ini, no recorded browser starts), runs the launcher
// at most once through Start (a test that starts several together holds them itself), and leaves
// no process and no browser list behind.
#pragma once

#include <windows.h>

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "Launcher.h"
#include "Machine.h"
#include "Screenshot.h"
#include "WindowQueries.h"

namespace zolv::e2e {

inline constexpr wchar_t kAccessCaption[] = L"Acceder ZOLV Online";
inline constexpr wchar_t kOpeningCaption[] = L"Ingresando al Navegador. Espere...";

// The browser buttons' captions, in the order of the browser table.
inline constexpr std::array<const wchar_t*, 5> kBrowserCaptions{
    L"Usar Internet Explorer", L"Usar Google Chrome", L"Usar Mozilla Firefox", L"Usar Safari",
    L"Usar Opera"};
enum Row { kIE, kChrome, kFirefox, kSafari, kOpera };

// The main window's controls, found by their captions.
struct MainWindow {
  HWND form;
  HWND panel1;  // holds the browser buttons
  HWND panel2;  // holds the access button
  std::array<HWND, 5> browsers;
  HWND access;
};
MainWindow FindControls(HWND form);

// The settings file as the launcher writes it with this choice.
std::string SettingsHolding(const std::string& browser);
// Writes the settings file (and its folder) as a previous run would have left it.
void WriteSettings(const std::string& bytes);

// The error box's message text.
std::wstring MessageText(HWND box);

bool IsBold(const LOGFONTW& font);

class LauncherTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Starts ZOLVWeb.exe; the window is not waited for.
  Launcher& Start(const std::wstring& path = LauncherPath(),
                  const std::wstring& currentFolder = TestFolder());
  // Starts ZOLVWeb.exe and returns its controls once the window shows.
  MainWindow StartAndFindWindow();
  Launcher& launcher() { return *launcher_; }

  // The font of a control of the launcher's window; fails the test when it has none.
  LOGFONTW FontOf(HWND control);
  // Until the button shows the bold mark. The launcher answers the probe only between
  // messages, so by then the handler that set the mark has also saved the choice.
  bool WaitUntilBold(HWND button);
  // Closes the error box with its OK button and waits until it is gone.
  void Dismiss(HWND box);

 private:
  std::optional<Launcher> launcher_;
};

}  // namespace zolv::e2e
