// The shell adapter against the system's special folders.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/Shell.h"
#include "platform/win32/Wide.h"

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

}  // namespace
}  // namespace zolv
