// The browser list read from the in-memory registry.
#include "WebBrowsers.h"

#include <gtest/gtest.h>

#include <vector>

#include "Exception.h"
#include "platform/host/FakeRegistry.h"

namespace zolv {
namespace {

namespace fake = registry::fake;
using Names = std::vector<String>;

String BrowserKey(StringView name) {
  return String(cBrowsersRootKey) + u"\\" + String(name);
}

Names NamesOf(const TWebBrowsers& list) {
  Names names;
  for (int index = 0; index < list.Count(); ++index)
    names.push_back(list.Items(index).Name());
  return names;
}

template <typename Action>
String ErrorOf(Action action) {
  try {
    action();
  } catch (const Exception& error) {
    return error.Message();
  }
  return u"(no error)";
}

class WebBrowsersTest : public ::testing::Test {
 protected:
  void SetUp() override { fake::Reset(); }
  void TearDown() override { EXPECT_EQ(fake::OpenKeyCount(), 0u); }

  Names Read() {
    list.ReadFromSystem();
    return NamesOf(list);
  }

  TWebBrowsers list{true};
};

TEST_F(WebBrowsersTest, MissingRootGivesEmptyList) {
  EXPECT_EQ(Read(), Names{});
  fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
  EXPECT_EQ(Read(), Names{u"Google Chrome"});
  fake::Reset();
  EXPECT_EQ(Read(), Names{});
}

TEST_F(WebBrowsersTest, ReadsInEnumerationOrderSkippingEmptyNames) {
  fake::SetString(BrowserKey(u"Zeta"), u"", u"Mozilla Firefox");
  fake::SetString(BrowserKey(u"EmptyText"), u"", u"");
  fake::SetValue(BrowserKey(u"NoBytes"), u"", registry::kTypeString, "");
  fake::SetValue(BrowserKey(u"NoBytesNumber"), u"", registry::kTypeDword, "");
  fake::SetString(BrowserKey(u"NoDefault"), u"Other", u"Opera");
  fake::SetValue(BrowserKey(u"OneByte"), u"", registry::kTypeString, "O");
  fake::SetString(BrowserKey(u"LeadingNull"), u"", String(u"\0Safari", 7));
  fake::SetString(BrowserKey(u"Alpha"), u"", u"Google Chrome");
  fake::SetString(BrowserKey(u"Twin"), u"", u"Google Chrome");
  EXPECT_EQ(Read(), (Names{u"Mozilla Firefox", u"Google Chrome", u"Google Chrome"}));
  EXPECT_EQ(Read(), (Names{u"Mozilla Firefox", u"Google Chrome", u"Google Chrome"}));
}

TEST_F(WebBrowsersTest, TextIsTakenFromWholeUnitsUpToTheFirstNull) {
  const std::string opera = fake::StringBytes(u"Opera");
  fake::SetValue(BrowserKey(u"Odd"), u"", registry::kTypeString, opera.substr(0, 10) + "x");
  fake::SetValue(BrowserKey(u"Unterminated"), u"", registry::kTypeString,
                 fake::StringBytes(u"Safari").substr(0, 12));
  fake::SetString(BrowserKey(u"Tail"), u"", String(u"Chrome\0junk", 11));
  fake::SetString(BrowserKey(u"Wide"), u"", u"Navegador \u03A9 \U0001F310");
  fake::SetString(BrowserKey(u"Expand"), u"", u"%ProgramFiles%\\Web", registry::kTypeExpandString);
  EXPECT_EQ(Read(), (Names{u"Opera", u"Safari", u"Chrome", u"Navegador \u03A9 \U0001F310",
                           u"%ProgramFiles%\\Web"}));
}

TEST_F(WebBrowsersTest, NonTextDefaultRaisesAfterEarlierEntries) {
  for (const std::uint32_t type : {registry::kTypeNone, registry::kTypeBinary, registry::kTypeDword,
                                   registry::kTypeMultiString}) {
    fake::Reset();
    fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
    fake::SetValue(BrowserKey(u"Number"), u"", type, "\x01\x00\x00\x00");
    fake::SetString(BrowserKey(u"Firefox"), u"", u"Mozilla Firefox");
    EXPECT_EQ(ErrorOf([&] { list.ReadFromSystem(); }), u"Invalid data type for ''") << type;
    EXPECT_EQ(NamesOf(list), Names{u"Google Chrome"});
    EXPECT_EQ(fake::OpenKeyCount(), 0u);
  }
}

TEST_F(WebBrowsersTest, ValueChangedBetweenSizeAndFetch) {
  fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
  fake::SetString(BrowserKey(u"Firefox"), u"", u"Firefox");
  fake::SetString(BrowserKey(u"Opera"), u"", u"Opera");

  // Shrunk: what was written is read, nothing of the buffer beyond it.
  fake::ChangeValueAfterSizeQuery(BrowserKey(u"Firefox"), u"", registry::kTypeString,
                                  fake::StringBytes(u"Fire").substr(0, 8));
  EXPECT_EQ(Read(), (Names{u"Google Chrome", u"Fire", u"Opera"}));

  fake::ChangeValueAfterSizeQuery(BrowserKey(u"Firefox"), u"", registry::kTypeDword, "1234");
  EXPECT_EQ(ErrorOf([&] { list.ReadFromSystem(); }), u"Invalid data type for ''");
  EXPECT_EQ(NamesOf(list), Names{u"Google Chrome"});

  fake::ChangeValueAfterSizeQuery(BrowserKey(u"Firefox"), u"", registry::kTypeString,
                                  fake::StringBytes(u"Mozilla Firefox"));
  EXPECT_EQ(ErrorOf([&] { list.ReadFromSystem(); }), u"Failed to get data for ''");
  EXPECT_EQ(NamesOf(list), Names{u"Google Chrome"});
}

TEST_F(WebBrowsersTest, KeysOpenWithLesserRightsOrAreSkipped) {
  constexpr std::uint32_t kNotify = 0x0010;  // in KEY_READ, not in the second try
  const String root = cBrowsersRootKey;
  fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
  fake::SetString(BrowserKey(u"Firefox"), u"", u"Mozilla Firefox");
  fake::SetString(BrowserKey(u"Opera"), u"", u"Opera");
  fake::RefuseAccess(root, kNotify);
  fake::RefuseAccess(BrowserKey(u"Chrome"), registry::kEnumerateSubKeys);
  fake::RefuseAccess(BrowserKey(u"Firefox"), registry::kQueryValue);
  fake::RefuseAccess(BrowserKey(u"Opera"), registry::kReadControl);
  EXPECT_EQ(Read(), (Names{u"Google Chrome", u"Opera"}));

  // Opened for queries only: the subkeys can be counted but not named.
  fake::RefuseAccess(root, registry::kEnumerateSubKeys);
  EXPECT_EQ(Read(), Names{});
  fake::RefuseAccess(root, registry::kQueryValue);
  EXPECT_EQ(Read(), Names{});
}

TEST_F(WebBrowsersTest, FailedEnumerationSkipsThatIndexOnly) {
  fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
  fake::SetString(BrowserKey(u"Firefox"), u"", u"Mozilla Firefox");
  fake::SetString(BrowserKey(u"Opera"), u"", u"Opera");
  fake::FailEnumeration(cBrowsersRootKey, 1);
  EXPECT_EQ(Read(), (Names{u"Google Chrome", u"Opera"}));
}

TEST_F(WebBrowsersTest, PathsMatchWithoutRegardToCase) {
  fake::SetString(u"software\\CLIENTS\\StartMenuINTERNET\\Chrome", u"", u"Google Chrome");
  EXPECT_EQ(Read(), Names{u"Google Chrome"});
}

TEST_F(WebBrowsersTest, IndexOutsideTheListRaises) {
  fake::SetString(BrowserKey(u"Chrome"), u"", u"Google Chrome");
  fake::SetString(BrowserKey(u"Firefox"), u"", u"Mozilla Firefox");
  Read();
  EXPECT_EQ(list.Items(1).Name(), u"Mozilla Firefox");
  EXPECT_EQ(ErrorOf([&] { list.Items(2); }), u"List index out of bounds (2)");
  EXPECT_EQ(ErrorOf([&] { list.Items(-1); }), u"List index out of bounds (-1)");
  list.Clear();
  EXPECT_EQ(list.Count(), 0);
  EXPECT_EQ(ErrorOf([&] { list.Items(0); }), u"List index out of bounds (0)");
}

}  // namespace
}  // namespace zolv
