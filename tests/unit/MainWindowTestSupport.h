// The main window on the headless toolkit, with a fresh data folder, program folder, registry
// and shell record for every test.
#pragma once

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

#include "ErrorBox.h"
#include "UFPrincipal.h"
#include "Utf.h"
#include "WebBrowsers.h"
#include "platform/host/FakeRegistry.h"
#include "platform/host/Headless.h"
#include "platform/host/HostFiles.h"
#include "platform/host/HostShell.h"

namespace zolv::testing {

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/zolv-window-XXXXXX";
    root_ = mkdtemp(pattern);
    std::filesystem::create_directory(root_ / "data");
    std::filesystem::create_directory(root_ / "program");
    setenv("XDG_DATA_HOME", (root_ / "data").c_str(), 1);
    files::host::SetModuleFileName(FromUtf8((root_ / "program").string()) + u"\\ZOLVWeb.exe");
    registry::fake::Reset();
    shell::host::ExecuteCalls().clear();
    ShowErrorsInErrorBox(app_);
  }

  void TearDown() override {
    form_.reset();
    files::host::Reset();
    registry::fake::Reset();
    std::filesystem::remove_all(root_);
  }

  // A browser registered under the machine's list, with its display name.
  static void AddBrowser(const String& key, const String& displayName) {
    registry::fake::SetString(String(cBrowsersRootKey) + u"\\" + key, u"", displayName);
  }

  std::filesystem::path SettingsPath() const { return root_ / "data" / "ZOLV" / "ZOLVWeb.ini"; }

  void WriteSettings(const std::string& bytes) const {
    std::filesystem::create_directories(SettingsPath().parent_path());
    std::ofstream(SettingsPath(), std::ios::binary) << bytes;
  }

  std::string ReadSettings() const {
    std::ifstream in(SettingsPath(), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  }

  void WriteSiteFile(const std::string& bytes) const {
    std::ofstream(root_ / "program" / "site.ini", std::ios::binary) << bytes;
  }

  TForm1& Start() {
    form_ = std::make_unique<TForm1>(app_);
    return *form_;
  }

  const std::vector<toolkit::headless::ErrorBox>& ErrorBoxes() const {
    return toolkit::headless::ErrorBoxes(app_);
  }

  static int OuterHeightFor(const toolkit::Form& form) { return form.OuterBounds().height; }

  std::filesystem::path root_;
  toolkit::Application app_;
  std::unique_ptr<TForm1> form_;
};

}  // namespace zolv::testing
