// The shell adapter against the system's special folders and its hand-over.
#include <gtest/gtest.h>
#include <windows.h>

#include <objbase.h>

#include "platform/Shell.h"
#include "platform/win32/system/Wide.h"

namespace zolv {
namespace {

TEST(FolderPathTest, LocalAppDataIsAnExistingFolderWithoutTrailingBackslash) {
  const std::optional<String> path = shell::FolderPath(shell::kLocalAppData);
  ASSERT_TRUE(path.has_value());
  ASSERT_GT(path->size(), 3u);
  EXPECT_EQ(path->substr(1, 2), u":\\");
  EXPECT_NE(path->back(), u'\\');
  const DWORD attributes = ::GetFileAttributesW(win32::Wide(*path));
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES);
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

TEST(FolderPathTest, UnknownFolderCodeGivesNothing) {
  EXPECT_FALSE(shell::FolderPath(0xFE).has_value());
}

// Registered handlers (DDE, DelegateExecute) need their caller in a single-threaded apartment.
TEST(ExecuteTest, HandsOverFromASingleThreadedApartment) {
  shell::Execute(0, u"open", u"cmd.exe", u"/c exit 0", 0);  // SW_HIDE
  APTTYPE type{};
  APTTYPEQUALIFIER qualifier{};
  ASSERT_EQ(::CoGetApartmentType(&type, &qualifier), S_OK);
  EXPECT_TRUE(type == APTTYPE_MAINSTA || type == APTTYPE_STA) << type;
}

}  // namespace
}  // namespace zolv
