// The settings routines in data folders other programs and users make: user names with
// accented letters and ñ, the local application-data folder moved in the registry, and
// folders whose settings path comes near and past MAX_PATH. Everything works, or fails with
// the documented texts naming the file.
#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <string>

#include "Exception.h"
#include "SaveWriter.h"
#include "UComun.h"
#include "UFPrincipal.h"
#include "platform/Shell.h"
#include "platform/win32/system/SystemError.h"
#include "platform/win32/system/UniqueHandle.h"
#include "platform/win32/system/Wide.h"

namespace zolv::robust {
namespace {

using win32::UniqueRegKey;
using win32::Wide;

const String kUser = u"Jos\u00E9 \u00D1\u00FA\u00F1ez Pe\u00F1a";

// The message of the error `call` raises, or empty.
template <typename Call>
String ErrorOf(Call call) {
  try {
    call();
  } catch (const Exception& error) {
    return error.Message();
  }
  return String();
}

// "Cannot <verb> file "<file>". " followed by the system's text, a sentence.
bool IsDocumentedError(const String& message, const String& file) {
  for (const StringView verb : {u"create", u"open"}) {
    const String prefix = FileErrorPrefix(verb, file);
    if (message.starts_with(prefix) && message.size() > prefix.size() + 1 && message.back() == u'.')
      return true;
  }
  return false;
}

String MakeFolders(const String& under, StringView path) {
  String folder = under;
  for (std::size_t start = 0; start < path.size();) {
    const std::size_t end = std::min(path.find(u'\\', start), path.size());
    folder += String(path.substr(start, end - start)) + u'\\';
    ::CreateDirectoryW(Wide(folder), nullptr);
    start = end + 1;
  }
  return folder;
}

// First run, a choice, and the choice read back, in the data folder `DataPath`.
void ExpectSettingsWork() {
  const String settings = SettingsFileIn(DataPath);
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"");
  EXPECT_EQ(SetIni(u"Misc", u"DefaultBrowser", u"chrome.exe"), u"chrome.exe");
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"chrome.exe");
  EXPECT_EQ(tests::ReadBytes(settings), "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n")
      << Narrow(settings);
}

class PathsTest : public ::testing::Test {
 protected:
  void SetUp() override { root_ = MakeTempFolder(u"paths"); }
  void TearDown() override { RemoveFolder(root_); }
  String root_;
};

TEST_F(PathsTest, UserNameWithAccentsAndEnye) {
  DataPath = MakeFolders(root_, u"Users\\" + kUser + u"\\AppData\\Local\\ZOLV");
  ExpectSettingsWork();
}

// The folder the shell reports is the one the user's registry names, accents and all.
TEST_F(PathsTest, LocalAppDataMovedInTheRegistry) {
  constexpr wchar_t kFolders[] =
      L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
  constexpr wchar_t kValue[] = L"Local AppData";
  UniqueRegKey key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, kFolders, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              key.put(), nullptr),
            ERROR_SUCCESS);
  DWORD type = REG_NONE;
  std::wstring saved(32768, L'\0');
  DWORD size = static_cast<DWORD>(saved.size() * sizeof(wchar_t));
  const bool hadValue =
      ::RegQueryValueExW(key.get(), kValue, nullptr, &type, reinterpret_cast<BYTE*>(saved.data()),
                         &size) == ERROR_SUCCESS;

  String moved = MakeFolders(root_, u"Perfiles\\" + kUser + u"\\Datos locales");
  moved.pop_back();
  ASSERT_EQ(::RegSetValueExW(key.get(), kValue, 0, REG_EXPAND_SZ,
                             reinterpret_cast<const BYTE*>(moved.c_str()),
                             static_cast<DWORD>((moved.size() + 1) * sizeof(char16_t))),
            ERROR_SUCCESS);
  const String reported = GetSpecialFolderPath(shell::kLocalAppData);
  PrepareDataFolder();
  if (hadValue)
    ::RegSetValueExW(key.get(), kValue, 0, type, reinterpret_cast<const BYTE*>(saved.data()), size);
  else
    ::RegDeleteValueW(key.get(), kValue);

  EXPECT_EQ(Narrow(reported), Narrow(moved));
  EXPECT_EQ(Narrow(DataPath), Narrow(moved + u"\\ZOLV\\"));
  ExpectSettingsWork();
}

// An administrator made the settings file read-only to pin the choice: saving fails with the
// error creating the file anew gives, and the file stays as it was. A folder where the file
// belongs fails the same way.
TEST_F(PathsTest, ReadOnlyFileOrFolderWhereTheFileBelongs) {
  DataPath = MakeFolders(root_, u"Users\\" + kUser + u"\\ZOLV");
  const String settings = SettingsFileIn(DataPath);
  const std::string chosen = "[Misc]\r\nDefaultBrowser=chrome.exe\r\n\r\n";
  ASSERT_TRUE(tests::WriteBytes(settings, chosen));
  ASSERT_TRUE(::SetFileAttributesW(Wide(settings), FILE_ATTRIBUTE_READONLY));
  const String refused = ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"); });
  EXPECT_EQ(refused,
            FileErrorPrefix(u"create", settings) + win32::SystemErrorText(ERROR_ACCESS_DENIED));
  EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"chrome.exe");
  EXPECT_EQ(tests::ReadBytes(settings), chosen);

  ASSERT_TRUE(::SetFileAttributesW(Wide(settings), FILE_ATTRIBUTE_NORMAL));
  ASSERT_TRUE(::DeleteFileW(Wide(settings)));
  ASSERT_TRUE(::CreateDirectoryW(Wide(settings), nullptr));
  for (const String& error : {ErrorOf([] { GetIni(u"Misc", u"DefaultBrowser", u""); }),
                              ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"); })})
    EXPECT_TRUE(IsDocumentedError(error, settings)) << Narrow(error);
}

// Settings paths from 240 to 300 units: the launcher's own steps (create the data folder,
// ignore the result, read and write the file) work, or raise a documented error.
TEST_F(PathsTest, SettingsPathsAroundMaxPath) {
  const String base = MakeFolders(root_, u"Users\\" + kUser);
  const std::size_t nameLength = SettingsFileIn(u"").size();
  int worked = 0, refused = 0;
  String outcomes, texts;
  for (std::size_t length = 240; length <= 300; length += 4) {
    SCOPED_TRACE("settings path of " + std::to_string(length) + " units");
    const std::size_t padding = length - nameLength - base.size() - 6;
    ASSERT_LT(padding, 256u);  // one folder name
    // ASCII: Linux limits a name to 255 bytes of UTF-8, fewer than 255 units of accents.
    const String parent = base + String(padding, u'x') + u'\\';
    ::CreateDirectoryW(Wide(parent), nullptr);
    DataPath = parent + u"ZOLV\\";
    ::CreateDirectoryW(Wide(DataPath), nullptr);
    const String settings = SettingsFileIn(DataPath);
    ASSERT_EQ(settings.size(), length);

    const String firstRun = ErrorOf([] { GetIni(u"Misc", u"DefaultBrowser", u""); });
    const String choice = ErrorOf([] { SetIni(u"Misc", u"DefaultBrowser", u"opera.exe"); });
    if (firstRun.empty() && choice.empty()) {
      ++worked;
      outcomes += u"ok ";
      EXPECT_EQ(GetIni(u"Misc", u"DefaultBrowser", u""), u"opera.exe");
      continue;
    }
    ++refused;
    outcomes += u"refused ";
    for (const String& error : {firstRun, choice}) {
      if (error.empty())
        continue;
      EXPECT_TRUE(IsDocumentedError(error, settings)) << Narrow(error);
      const String text = error.substr(error.find(u"\". ") + 3);
      if (texts.find(text) == String::npos)
        texts += text + u" ";
    }
  }
  std::cout << "[          ] 240..300 step 4: " << Narrow(outcomes) << "(" << worked << " worked, "
            << refused << " refused)\n[          ] system texts: " << Narrow(texts) << "\n";
}

}  // namespace
}  // namespace zolv::robust
