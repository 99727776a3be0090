#include "Utf.h"

#include <gtest/gtest.h>

namespace zolv {
namespace {

TEST(FromUtf8, DecodesEveryLengthOfSequence) {
  EXPECT_EQ(FromUtf8("a\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80z"), u"a\u00E9\u20AC\U0001F600z");
  EXPECT_EQ(FromUtf8("\xEF\xBF\xBF\xF4\x8F\xBF\xBF"), u"\uFFFF\U0010FFFF");
}

// Each maximal subpart of an ill-formed sequence becomes one U+FFFD, and the byte that broke
// the sequence starts the next one.
TEST(FromUtf8, ReplacesEachMaximalInvalidSubpart) {
  // The Unicode standard's own example (table 3-8 practice).
  EXPECT_EQ(FromUtf8("\x61\xF1\x80\x80\xE1\x80\xC2\x62\x80\x63\x80\xBF\x64"),
            u"a\uFFFD\uFFFD\uFFFDb\uFFFDc\uFFFD\uFFFDd");
  // Overlong forms, surrogates and code points above U+10FFFF fail at their second byte.
  EXPECT_EQ(FromUtf8("\xC0\xAF"), u"\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xE0\x80\xAF"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xED\xA0\x80"), u"\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF0\x80\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF4\x90\x80\x80"), u"\uFFFD\uFFFD\uFFFD\uFFFD");
  EXPECT_EQ(FromUtf8("\xF5\xFF"), u"\uFFFD\uFFFD");
  // A truncated sequence, inside the text or at its end, is one U+FFFD.
  EXPECT_EQ(FromUtf8("\xE2\x82x"), u"\uFFFDx");
  EXPECT_EQ(FromUtf8("x\xF0\x9F\x98"), u"x\uFFFD");
}

TEST(Utf8, RoundTripsTextAndReplacesLoneSurrogates) {
  const String text = u"Niño \u20AC \U0001F600";
  EXPECT_EQ(FromUtf8(ToUtf8(text)), text);
  EXPECT_EQ(ToUtf8(u"a\xD800"
                   u"b\xDC00"),
            "a\xEF\xBF\xBD"
            "b\xEF\xBF\xBD");
}

TEST(Utf16, EncodesUnitsInBothByteOrders) {
  const String text = u"A\u20AC\U0001F600";
  const std::string le("A\0\xAC\x20\x3D\xD8\x00\xDE", 8);
  const std::string be("\0A\x20\xAC\xD8\x3D\xDE\x00", 8);
  EXPECT_EQ(ToUtf16Le(text), le);
  EXPECT_EQ(ToUtf16Be(text), be);
  EXPECT_EQ(FromUtf16Le(le), text);
  EXPECT_EQ(FromUtf16Be(be), text);
}

TEST(Utf16, KeepsLoneSurrogatesAndDropsAnOddTrailingByte) {
  const String lone = u"\xDC00x\xD800";
  EXPECT_EQ(FromUtf16Le(ToUtf16Le(lone)), lone);
  EXPECT_EQ(FromUtf16Be(ToUtf16Be(lone)), lone);
  EXPECT_EQ(FromUtf16Le(std::string("a\0b", 3)), u"a");
  EXPECT_EQ(FromUtf16Be(std::string("\0ab", 3)), u"a");
}

}  // namespace
}  // namespace zolv
