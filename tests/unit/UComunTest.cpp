// GetIni and SetIni on real files in a fresh data folder per test.
#include "UComun.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "Exception.h"
#include "UFPrincipal.h"
#include "platform/host/HostFiles.h"

namespace zolv {
namespace {

namespace fs = std::filesystem;
using files::host::ReplaceStep;

class UComunTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string folder = (fs::temp_directory_path() / "zolv-ini-XXXXXX").string();
    ASSERT_NE(::mkdtemp(folder.data()), nullptr);
    root_ = folder;
    ::setenv("XDG_DATA_HOME", folder.c_str(), 1);
    files::host::SetModuleFileName(u"C:\\Program Files\\ZOLV\\ZOLVWeb.exe");
    PrepareDataFolder();
    settings_ = root_ / "ZOLV" / "ZOLVWeb.ini";
  }

  void TearDown() override {
    files::host::Reset();
    fs::remove_all(root_);
  }

  static std::string Contents(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }

  static void Store(const fs::path& file, const std::string& bytes) {
    std::ofstream(file, std::ios::binary) << bytes;
  }

  static std::vector<std::string> FilesIn(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
      names.push_back(entry.path().filename().string());
    return names;
  }

  static String WindowsPath(const fs::path& file) {
    String path = file.u16string();
    std::replace(path.begin(), path.end(), u'/', u'\\');
    return path;
  }

  // The message of the Exception that `call` raises.
  template <typename Call>
  static String ErrorOf(Call call) {
    try {
      call();
    } catch (const Exception& error) {
      return error.Message();
    }
    return u"<no error>";
  }

  fs::path root_;
  fs::path settings_;
};

TEST_F(UComunTest, FirstRunWritesTheEmptyChoice) {
  EXPECT_EQ(DataPath, WindowsPath(root_) + u"\\ZOLV\\");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"");
  EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser=\r\n\r\n");
  EXPECT_EQ(FilesIn(settings_.parent_path()), std::vector<std::string>{"ZOLVWeb.ini"});
}

TEST_F(UComunTest, StoredValueIsReturnedWithoutRewritingTheFile) {
  const std::string bytes = "; mine\n[Misc]\nDefaultBrowser=chrome.exe\n";
  Store(settings_, bytes);
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u"opera.exe"), u"chrome.exe");
  EXPECT_EQ(Contents(settings_), bytes);
}

TEST_F(UComunTest, MissingOrEmptyValueIsReplacedByTheDefaultOnEveryCall) {
  for (int call = 0; call < 2; ++call) {
    Store(settings_, "; comment\n[Misc]\nDefaultBrowser=\n");
    EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"");
    EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser=\r\n\r\n");
  }
  Store(settings_, "[Other]\nx=1\n");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u"opera.exe"), u"opera.exe");
  EXPECT_EQ(Contents(settings_),
            "[Other]\r\nx=1\r\n\r\n[Misc]\r\nDefaultBrowser=opera.exe\r\n\r\n");
}

TEST_F(UComunTest, SetIniWritesOnEveryCallAndReturnsTheValueAsPassed) {
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe"), u"chrome.exe");
  EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n");
  Store(settings_, ";gone\n[Misc]\nDefaultBrowser=chrome.exe\n");
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe"), u"chrome.exe");
  EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n");
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u" firefox.exe "), u" firefox.exe ");
  EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser= firefox.exe \r\n\r\n");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"firefox.exe");
}

TEST_F(UComunTest, TheSecondMiscSectionIsReadAndWritten) {
  Store(settings_,
        "[Misc]\nDefaultBrowser=iexplore.exe\n[Other]\na=1\n[MISC]\nDefaultBrowser=firefox.exe\n");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"firefox.exe");
  SetIni(u"Misc", u"DefaultBrowser", u"safari.exe");
  EXPECT_EQ(Contents(settings_),
            "[Misc]\r\nDefaultBrowser=iexplore.exe\r\n\r\n[Other]\r\na=1\r\n\r\n"
            "[MISC]\r\nDefaultBrowser=safari.exe\r\n\r\n");
}

TEST_F(UComunTest, BlanksAroundNamesAreIgnored) {
  Store(settings_, " [ misc ] \r\n\t DefaultBrowser \t=  firefox.exe  \r\n");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"firefox.exe");
}

TEST_F(UComunTest, ByteOrderMarkIsKept) {
  Store(settings_, "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=\r\n");
  SetIni(u"Misc", u"DefaultBrowser", u"opera.exe");
  EXPECT_EQ(Contents(settings_), "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=opera.exe\r\n\r\n");
}

TEST_F(UComunTest, InvalidUtf8KeepsTheOtherEntries) {
  Store(settings_,
        "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=firefox.exe\r\n[Work]\r\nuser=Jos\xE9\r\n");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"firefox.exe");
  SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe");
  EXPECT_EQ(Contents(settings_),
            "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n[Work]\r\nuser="
            "Jos\xEF\xBF\xBD\r\n\r\n");
}

TEST_F(UComunTest, SettingsFileIsNamedAfterTheExecutable) {
  files::host::SetModuleFileName(u"D:\\apps\\Launcher.v2.exe");
  SetIni(u"Misc", u"DefaultBrowser", u"a");
  files::host::SetModuleFileName(u"E:ZOLVWeb");
  SetIni(u"Misc", u"DefaultBrowser", u"b");
  files::host::SetModuleFileName(u"\\\\server\\share\\dotted.dir\\run");
  SetIni(u"Misc", u"DefaultBrowser", u"c");
  EXPECT_EQ(Contents(root_ / "ZOLV" / "Launcher.v2.ini"), "[Misc]\r\nDefaultBrowser=a\r\n\r\n");
  EXPECT_EQ(Contents(settings_), "[Misc]\r\nDefaultBrowser=b\r\n\r\n");
  EXPECT_EQ(Contents(root_ / "ZOLV" / "run.ini"), "[Misc]\r\nDefaultBrowser=c\r\n\r\n");
  // The real executable: this test program.
  files::host::Reset();
  SetIni(u"Misc", u"DefaultBrowser", u"d");
  EXPECT_EQ(Contents(root_ / "ZOLV" / "zolv_unit_tests.ini"), "[Misc]\r\nDefaultBrowser=d\r\n\r\n");
}

TEST_F(UComunTest, AGivenFileIsUsedOnlyWhenItExists) {
  const fs::path other = root_ / "other.ini";
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u"opera.exe", WindowsPath(other)), u"opera.exe");
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u" x ", WindowsPath(other)), u" x ");
  EXPECT_FALSE(fs::exists(other));
  EXPECT_FALSE(fs::exists(settings_));

  Store(other, "");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u"opera.exe", WindowsPath(other)), u"opera.exe");
  EXPECT_EQ(Contents(other), "[Misc]\r\nDefaultBrowser=opera.exe\r\n\r\n");
  EXPECT_FALSE(fs::exists(settings_));
}

TEST_F(UComunTest, UnreadableFileRaisesCannotOpenAndIsLeftAlone) {
  const std::string bytes = "[Misc]\r\nDefaultBrowser=\r\n[Keep]\r\nk=v\r\n";
  Store(settings_, bytes);
  const String path = WindowsPath(settings_);
  files::host::FailNextRead(files::host::ReadStep::Open);
  EXPECT_EQ(ErrorOf([] { GetIni(u"Misc", u"DefaultBrowser", u""); }),
            u"Cannot open file \"" + path + u"\". Permission denied");
  // A read that fails once the file is open is an error too, not an empty file to overwrite.
  files::host::FailNextRead(files::host::ReadStep::Read);
  EXPECT_EQ(ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"); }),
            u"Cannot open file \"" + path + u"\". Input/output error");
  EXPECT_EQ(Contents(settings_), bytes);
}

// A settings file made read-only to pin the choice stays as it is.
TEST_F(UComunTest, ReadOnlyFileRaisesCannotCreateAndIsLeftAlone) {
  const std::string bytes = "[Misc]\r\nDefaultBrowser=chrome.exe\r\n";
  Store(settings_, bytes);
  fs::permissions(settings_,
                  fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
  EXPECT_EQ(ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"); }),
            u"Cannot create file \"" + WindowsPath(settings_) + u"\". Permission denied");
  EXPECT_EQ(Contents(settings_), bytes);
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"chrome.exe");
}

TEST_F(UComunTest, MissingDataFolderRaisesCannotCreateOnlyWhenAWriteIsNeeded) {
  fs::remove(root_ / "ZOLV");
  const String expected =
      u"Cannot create file \"" + WindowsPath(settings_) + u"\". No such file or directory";
  EXPECT_EQ(ErrorOf([] { GetIni(u"Misc", u"DefaultBrowser", u""); }), expected);
  EXPECT_EQ(ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe"); }), expected);
}

TEST_F(UComunTest, GetIniDoesNotWriteAStoredValue) {
  Store(settings_, "[Misc]\nDefaultBrowser=chrome.exe\n");
  files::host::FailNextReplace(ReplaceStep::CreateTemp);
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"chrome.exe");
}

// Wherever saving stops, the old file stays whole and no temporary file is left behind.
TEST_F(UComunTest, InterruptedSaveLeavesTheOldFileWhole) {
  const std::string bytes = "[Misc]\r\nDefaultBrowser=firefox.exe\r\n\r\n[Keep]\r\nk=v\r\n\r\n";
  const String prefix = u"Cannot create file \"" + WindowsPath(settings_) + u"\". ";
  const std::pair<ReplaceStep, String> steps[] = {
      {ReplaceStep::CreateTemp, u"Permission denied"},
      {ReplaceStep::Write, u"No space left on device"},
      {ReplaceStep::Flush, u"Input/output error"},
      {ReplaceStep::Rename, u"Device or resource busy"},
  };
  for (const auto& [step, text] : steps) {
    Store(settings_, bytes);
    files::host::FailNextReplace(step);
    EXPECT_EQ(ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe"); }), prefix + text);
    EXPECT_EQ(Contents(settings_), bytes);
    EXPECT_EQ(FilesIn(settings_.parent_path()), std::vector<std::string>{"ZOLVWeb.ini"});
  }
  SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe");
  EXPECT_EQ(Contents(settings_),
            "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n[Keep]\r\nk=v\r\n\r\n");
}

}  // namespace
}  // namespace zolv
