// The host's stand-ins for the ANSI code page and the case mapping that the INI engine uses.
#include <gtest/gtest.h>

#include "platform/Text.h"

namespace zolv {
namespace {

TEST(HostAnsi, EveryByteRoundTripsAsWindows1252) {
  std::string all;
  for (int byte = 0; byte < 256; ++byte)
    all += static_cast<char>(byte);
  const String decoded = text::DecodeAnsi(all);
  ASSERT_EQ(decoded.size(), 256u);
  EXPECT_EQ(decoded[0x80], u'\u20AC');
  EXPECT_EQ(decoded[0x81], u'\u0081');  // undefined bytes keep their number
  EXPECT_EQ(decoded[0x9F], u'\u0178');
  EXPECT_EQ(decoded[0xE9], u'\u00E9');
  EXPECT_EQ(text::EncodeAnsi(decoded), all);
}

TEST(HostAnsi, CharactersWithoutAByteBecomeQuestionMarks) {
  EXPECT_EQ(text::EncodeAnsi(u"a\u0100b\U0001F600c\xD800"), "a?b?c?");
}

TEST(HostCase, MapsOneUnitAtATime) {
  EXPECT_EQ(text::UpperCase(u"misc ñ é ÿ \u01C6 ß"), u"MISC Ñ É Ÿ \u01C4 ß");
  EXPECT_EQ(text::LowerCase(u"MISC Ñ É Ÿ"), u"misc ñ é ÿ");
  // A supplementary letter has a case pair, but not within one unit.
  EXPECT_EQ(text::UpperCase(u"\U00010428"), u"\U00010428");
}

}  // namespace
}  // namespace zolv
