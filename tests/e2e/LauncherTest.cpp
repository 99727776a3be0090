#include "LauncherTest.h"

#include <stdexcept>

#include "tests/support/DisposableMachine.h"

namespace zolv::e2e {

MainWindow FindControls(HWND form) {
  MainWindow window{};
  window.form = form;
  for (std::size_t row = 0; row < kBrowserCaptions.size(); ++row)
    window.browsers[row] = DescendantWithText(form, kBrowserCaptions[row]);
  window.access = DescendantWithText(form, kAccessCaption);
  window.panel1 = GetParent(window.browsers[kIE]);
  window.panel2 = GetParent(window.access);
  return window;
}

std::string SettingsHolding(const std::string& browser) {
  return "[Misc]\r\nDefaultBrowser=" + browser + "\r\n\r\n";
}

void WriteSettings(const std::string& bytes) {
  CreateDirectoryW(SettingsFolder().c_str(), nullptr);
  WriteBytes(SettingsFile(), bytes);
}

std::wstring MessageText(HWND box) {
  for (HWND child : Descendants(box)) {
    if (ClassName(child) == L"Static" && !WindowText(child).empty())
      return WindowText(child);
  }
  return L"";
}

bool IsBold(const LOGFONTW& font) {
  return font.lfWeight >= FW_BOLD;
}

void LauncherTest::SetUp() {
  if (!tests::MayRewriteMachineSettings())
    GTEST_SKIP() << tests::kMachineSettingsSkip;
  // Once per run: every test that follows finds the same stubs in place.
  static const std::string stubFailure = InstallStubBrowsers();
  ASSERT_EQ(stubFailure, "") << "the stub browsers could not be installed";
  RemoveBrowserList();
  RemoveSettings();
  RemoveFile(SiteFile());
  ClearStubStarts();
  // The pointer rests off the window, so no button shows the hover look in a screenshot.
  SetCursorPos(0, 0);
}

void LauncherTest::TearDown() {
  launcher_.reset();
  RemoveBrowserList();
  RemoveSettings();
  RemoveFile(SiteFile());
}

Launcher& LauncherTest::Start(const std::wstring& path, const std::wstring& currentFolder) {
  return launcher_.emplace(path, currentFolder);
}

MainWindow LauncherTest::StartAndFindWindow() {
  return FindControls(Start().WaitForMainWindow());
}

LOGFONTW LauncherTest::FontOf(HWND control) {
  const std::optional<LOGFONTW> font = launcher().Font(control);
  if (!font)
    throw std::runtime_error("the control has no font of its own");
  return *font;
}

bool LauncherTest::WaitUntilBold(HWND button) {
  return WaitUntil([&] { return IsBold(FontOf(button)); });
}

void LauncherTest::Dismiss(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  if (!WaitUntil([&] { return !IsWindow(box) || !IsWindowVisible(box); }))
    throw std::runtime_error("the error box did not close");
}

}  // namespace zolv::e2e
