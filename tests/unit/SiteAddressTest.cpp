#include "SiteAddress.h"

#include <gtest/gtest.h>

#include <limits>

#include "Utf.h"

namespace zolv {
namespace {

TEST(SiteAddressTest, PageAddressEndsWithTheIdentifierInDecimal) {
  EXPECT_EQ(baseURL(u"zolv.example.com"), u"http://zolv.example.com/web/");
  EXPECT_EQ(PageAddress(baseURL(u"zolv.example.com"), 42),
            u"http://zolv.example.com/web/index.php?id=42");
  EXPECT_EQ(PageAddress(u"http://h/web/", 0), u"http://h/web/index.php?id=0");
  EXPECT_EQ(PageAddress(u"http://h/web/", -7), u"http://h/web/index.php?id=-7");
  EXPECT_EQ(PageAddress(u"http://h/web/", std::numeric_limits<std::int32_t>::max()),
            u"http://h/web/index.php?id=2147483647");
  EXPECT_EQ(PageAddress(u"http://h/web/", std::numeric_limits<std::int32_t>::min()),
            u"http://h/web/index.php?id=-2147483648");
}

TEST(SiteAddressTest, EveryDoubleQuoteBecomesPercent22AndNothingElseIsEncoded) {
  EXPECT_EQ(PageAddress(u"http://a\"b/web/", 1), u"http://a%22b/web/index.php?id=1");
  EXPECT_EQ(PageAddress(u"http://\"\"/ñ %/", 5), u"http://%22%22/ñ %/index.php?id=5");
}

TEST(SiteAddressTest, AcceptsHostNamesAddressesAndPorts) {
  for (const char16_t* host :
       {u"zolv.example.com", u"localhost", u"ZOLV-web.Example.COM", u"a", u"x1.y2", u"10.0.0.1",
        u"255.255.255.255", u"0.0.0.0", u"zolv.example.com:8080", u"10.0.0.1:1", u"host:65535",
        u"[::1]", u"[2001:db8::7]:443", u"[2001:db8:0:0:0:0:0:1]", u"[::ffff:192.0.2.1]",
        u"[fe80::]", u"[::]", u"123abc.example"}) {
    EXPECT_TRUE(IsValidHost(host)) << ToUtf8(host);
  }
}

TEST(SiteAddressTest, RefusesHostileOrMalformedHosts) {
  for (const char16_t* host : {
           u"",
           u" ",
           u"zolv example.com",
           u"zolv.example.com ",
           u"\"zolv\"",
           u"zolv\".example.com",
           u"zolv.example.com/evil",
           u"zolv.example.com\\x",
           u"http://zolv.example.com",
           u"user@zolv.example.com",
           u"zolv.example.com?x=1",
           u"zolv.example.com#frag",
           u"zolv.example.com\t",
           u"zolv\r\n.example.com",
           u"zolv.example.com.",
           u".zolv.example.com",
           u"zolv..example.com",
           u"-zolv.example.com",
           u"zolv-.example.com",
           u"zolv_web.example.com",
           u"zolv.example.com:",
           u"zolv.example.com:0",
           u"zolv.example.com:65536",
           u"zolv.example.com:080",
           u"zolv.example.com:8o",
           u"zolv.example.com:-1",
           u"zolv.example.com:80:80",
           u"256.1.1.1",
           u"1.2.3",
           u"1.2.3.4.5",
           u"01.2.3.4",
           u"1.2.3.4:99999",
           u"::1",
           u"[::1",
           u"[::1]x",
           u"[::1]:",
           u"[1:2:3:4:5:6:7:8:9]",
           u"[1::2::3]",
           u"[:::]",
           u"[12345::]",
           u"[g::1]",
           u"[::1%eth0]",
           u"ñandú.example.com",
           u"zolv.example.com;calc",
           u"a%22b",
       }) {
    EXPECT_FALSE(IsValidHost(host)) << ToUtf8(host);
  }
  EXPECT_FALSE(IsValidHost(String(64, u'a') + u".com"));
  EXPECT_FALSE(IsValidHost(String(u"zolv\0x", 6)));
}

TEST(SiteAddressTest, ClientIdIsADecimal32BitIntegerAndNothingElse) {
  EXPECT_EQ(ParseClientId(u"42"), 42);
  EXPECT_EQ(ParseClientId(u"-42"), -42);
  EXPECT_EQ(ParseClientId(u"0"), 0);
  EXPECT_EQ(ParseClientId(u"007"), 7);
  EXPECT_EQ(ParseClientId(u"2147483647"), 2147483647);
  EXPECT_EQ(ParseClientId(u"-2147483648"), std::numeric_limits<std::int32_t>::min());
  for (const char16_t* id : {u"", u"-", u"+42", u" 42", u"42 ", u"4 2", u"2147483648",
                             u"-2147483649", u"99999999999999999999", u"0x2A", u"42.0", u"4e2",
                             u"--1", u"\"42\"", u"42/", u"٤٢", u"４２"}) {
    EXPECT_FALSE(ParseClientId(id).has_value()) << ToUtf8(id);
  }
}

}  // namespace
}  // namespace zolv
