// The in-memory registry behaves as the real one where the program depends on it.
#include "platform/host/FakeRegistry.h"

#include <gtest/gtest.h>

#include <utility>

namespace zolv::registry {
namespace {

class FakeRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
};

TEST_F(FakeRegistryTest, RejectsInvalidPaths) {
  EXPECT_FALSE(fake::AddKey(u"A\\\\B"));
  EXPECT_FALSE(fake::AddKey(u"\\A"));
  EXPECT_FALSE(fake::AddKey(u"A\\"));
  EXPECT_FALSE(fake::AddKey(String(256, u'k')));
  EXPECT_TRUE(fake::AddKey(String(255, u'k')));
  String deep = u"k";
  for (int level = 1; level < 512; ++level)
    deep += u"\\k";
  EXPECT_TRUE(fake::AddKey(deep));
  EXPECT_FALSE(fake::AddKey(deep + u"\\k"));
  EXPECT_FALSE(fake::RemoveKey(u""));
  EXPECT_FALSE(OpenLocalMachineKey(u"A\\\\B", kKeyRead));
}

TEST_F(FakeRegistryTest, HandlesOnRemovedKeysFail) {
  fake::SetString(u"A\\B", u"", u"text");
  auto key = OpenLocalMachineKey(u"a\\b", kKeyRead);
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->QueryValueInfo(u""));
  EXPECT_TRUE(fake::RemoveKey(u"A"));
  EXPECT_FALSE(key->QueryValueInfo(u""));
  EXPECT_FALSE(key->QueryInfo());
  EXPECT_FALSE(OpenLocalMachineKey(u"A\\B", kKeyRead));
  EXPECT_EQ(fake::OpenKeyCount(), 1u);
  Key moved = std::move(*key);
  key.reset();
  EXPECT_EQ(fake::OpenKeyCount(), 1u);
}

TEST_F(FakeRegistryTest, EnumerationNeedsRoomForTheName) {
  fake::AddKey(u"Root\\Short");
  fake::AddKey(u"Root\\Longer");
  const auto key = OpenLocalMachineKey(u"Root", kKeyRead);
  ASSERT_TRUE(key);
  const auto info = key->QueryInfo();
  ASSERT_TRUE(info);
  EXPECT_EQ(info->subKeyCount, 2u);
  EXPECT_EQ(info->maxSubKeyLength, 6u);
  EXPECT_EQ(key->EnumSubKey(1, 6), u"Longer");
  EXPECT_FALSE(key->EnumSubKey(1, 5));
  EXPECT_FALSE(key->EnumSubKey(2, 6));
}

}  // namespace
}  // namespace zolv::registry
