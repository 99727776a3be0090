// The text adapter against the system: simple case mapping one UTF-16 unit at a time, and the
// ANSI code page (Windows-1252 on the test machines).
#include <gtest/gtest.h>
#include <windows.h>

#include <iterator>
#include <string>

#include "platform/Text.h"

namespace zolv {
namespace {

TEST(CaseMappingTest, MapsLettersAndLeavesEverythingElse) {
  EXPECT_EQ(text::UpperCase(u"Misc defaultBrowser 0-9 [x]=;"), u"MISC DEFAULTBROWSER 0-9 [X]=;");
  EXPECT_EQ(text::LowerCase(u"MISC DefaultBrowser 0-9 [X]=;"), u"misc defaultbrowser 0-9 [x]=;");
  EXPECT_EQ(text::UpperCase(u""), u"");
  EXPECT_EQ(text::LowerCase(u""), u"");
}

TEST(CaseMappingTest, LatinIMapsWithoutLanguageRules) {
  EXPECT_EQ(text::LowerCase(u"I"), u"i");
  EXPECT_EQ(text::UpperCase(u"i"), u"I");
}

TEST(CaseMappingTest, MapsNonAsciiLettersOneUnitAtATime) {
  EXPECT_EQ(text::UpperCase(u"\u00e9\u00f1\u00ff\u03c3\u0434"), u"\u00c9\u00d1\u0178\u03a3\u0414");
  EXPECT_EQ(text::LowerCase(u"\u00c9\u00d1\u0178\u03a3\u0414"), u"\u00e9\u00f1\u00ff\u03c3\u0434");
  // No single-unit upper case: stays.
  EXPECT_EQ(text::UpperCase(u"stra\u00dfe"), u"STRA\u00dfE");
  // A surrogate pair is two units without mappings of their own.
  EXPECT_EQ(text::UpperCase(u"a\U0001F600b"), u"A\U0001F600B");
}

TEST(CaseMappingTest, MapsPastEmbeddedNulls) {
  EXPECT_EQ(text::UpperCase(StringView(u"a\0b", 3)), String(u"A\0B", 3));
  EXPECT_EQ(text::LowerCase(StringView(u"A\0B", 3)), String(u"a\0b", 3));
}

class AnsiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::GetACP() != 1252)
      GTEST_SKIP() << "the ANSI code page here is " << ::GetACP() << ", not 1252";
  }
};

TEST_F(AnsiTest, Windows1252RoundTrips) {
  constexpr char kBytes[] = "[Misc]\r\nCaf\xE9=\x80\x9F\xF1\xDF\x8A\0end";
  constexpr char16_t kText[] = u"[Misc]\r\nCaf\u00e9=\u20ac\u0178\u00f1\u00df\u0160\0end";
  static_assert(std::size(kBytes) == std::size(kText));
  const std::string bytes(kBytes, std::size(kBytes) - 1);
  const String expected(kText, std::size(kText) - 1);
  EXPECT_EQ(text::DecodeAnsi(bytes), expected);
  EXPECT_EQ(text::EncodeAnsi(expected), bytes);
  EXPECT_EQ(text::DecodeAnsi(""), u"");
  EXPECT_EQ(text::EncodeAnsi(u""), "");
}

TEST_F(AnsiTest, CharactersOutsideTheCodePageBecomeQuestionMarks) {
  EXPECT_EQ(text::EncodeAnsi(u"a\u4e2d\u0416b"), "a??b");
}

}  // namespace
}  // namespace zolv
