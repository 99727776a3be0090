// The INI engine on bytes in, bytes out.
#include "IniFile.h"

#include <gtest/gtest.h>

#include <string>

namespace zolv {
namespace {

using namespace std::string_literals;

std::string Rewrite(const std::string& bytes, StringView section, StringView key,
                    StringView value) {
  IniFile ini = IniFile::FromBytes(bytes);
  ini.WriteString(section, key, value);
  return ini.ToBytes();
}

String Read(const std::string& bytes, StringView section, StringView key) {
  return IniFile::FromBytes(bytes).ReadString(section, key, u"<none>");
}

TEST(IniFileRead, SplitsLinesAtCrLfLoneCrAndLoneLf) {
  const std::string bytes = "[A]\r\na=1\rb=2\nc=3\n\r\r\nd=4";
  EXPECT_EQ(Read(bytes, u"A", u"a"), u"1");
  EXPECT_EQ(Read(bytes, u"A", u"b"), u"2");
  EXPECT_EQ(Read(bytes, u"A", u"c"), u"3");
  EXPECT_EQ(Read(bytes, u"A", u"d"), u"4");
}

TEST(IniFileRead, TrimsEveryControlCodeAndBlankAroundNamesKeysAndValues) {
  const std::string bytes = "\t [ \x01misc\x1F ] \n  DefaultBrowser \t=\v firefox.exe \x02\n";
  EXPECT_EQ(Read(bytes, u"Misc", u"defaultbrowser"), u"firefox.exe");
  // 0x7F is not a blank, so that line is no section line.
  EXPECT_EQ(Read("[A] \x7F\nk=v\n", u"A", u"k"), u"<none>");
}

TEST(IniFileRead, TakesTheValueAfterTheFirstEqualsVerbatim) {
  const std::string bytes = "[A]\nk = a = b ; c\nempty=\n=anonymous\n";
  EXPECT_EQ(Read(bytes, u"A", u"k"), u"a = b ; c");
  EXPECT_EQ(Read(bytes, u"A", u"empty"), u"");
  EXPECT_EQ(Read(bytes, u"A", u""), u"anonymous");
  EXPECT_EQ(Read(bytes, u"A", u"a"), u"<none>");
}

TEST(IniFileRead, IgnoresCommentsLinesWithoutEqualsAndLinesBeforeTheFirstSection) {
  const std::string bytes = "k=before\n[A]\n;k=comment\nk\n k \n";
  EXPECT_EQ(Read(bytes, u"A", u"k"), u"<none>");
  EXPECT_EQ(Read("[A]\n  ;k=x\n", u"A", u"k"), u"<none>");
  EXPECT_EQ(Read("[A]\nk=x\n[B]\n", u"A", u"k"), u"x");
  EXPECT_EQ(Read("[A]\nk=x\n", u"B", u"k"), u"<none>");
}

TEST(IniFileRead, LaterSectionsAndKeysOfTheSameNameWin) {
  const std::string bytes = "[Misc]\nk=first\nk=second\n[Other]\nk=o\n[MISC]\nx=1\n";
  EXPECT_EQ(Read(bytes, u"misc", u"x"), u"1");
  // The later section hides the earlier one even for keys only the earlier one has.
  EXPECT_EQ(Read(bytes, u"misc", u"k"), u"<none>");
  EXPECT_EQ(Read("[A]\nk=first\nK=second\n", u"a", u"k"), u"second");
}

TEST(IniFileRead, MatchesNamesWithoutRegardToCaseBeyondAscii) {
  EXPECT_EQ(Read("[\xD1"
                 "and\xFA]\n\xC9t\xE9=oui\n",
                 u"ñANDÚ", u"étÉ"),
            u"oui");
}

TEST(IniFileRead, EndsTheTextAtTheFirstNul) {
  const std::string bytes = "[A]\nk=v\0\nj=w\n"s;
  EXPECT_EQ(Read(bytes, u"A", u"k"), u"v");
  EXPECT_EQ(Read(bytes, u"A", u"j"), u"<none>");
  EXPECT_EQ(IniFile::FromBytes(bytes).ToBytes(), "[A]\r\nk=v\r\n\r\n");
}

TEST(IniFileWrite, WritesSectionsInFirstSeenOrderAndDropsComments) {
  const std::string bytes =
      "; header\r\nlost=1\r\n[B]\r\n  b1 =  x y  \r\n; note\r\nplain  line\r\n[\r\n\r\n"
      "[ A ]\r\n[]\r\n=e\r\n[b]\r\nb2=2\r\n";
  EXPECT_EQ(
      IniFile::FromBytes(bytes).ToBytes(),
      "[B]\r\nb1=x y\r\nplain  line\r\n[\r\n\r\n[A]\r\n\r\n[]\r\n=e\r\n\r\n[b]\r\nb2=2\r\n\r\n");
}

TEST(IniFileWrite, EmptyDocumentGetsTheSectionAndEntryInAnsi) {
  IniFile ini;
  ini.WriteString(u"Misc", u"DefaultBrowser", u"");
  EXPECT_EQ(ini.ToBytes(), "[Misc]\r\nDefaultBrowser=\r\n\r\n");
  EXPECT_EQ(ini.Encoding(), FileEncoding::Ansi);
  EXPECT_EQ(IniFile::FromBytes("").ToBytes(), "");
}

TEST(IniFileWrite, ReplacesTheLastEntryInTheLastSectionInTheCallersCase) {
  const std::string bytes =
      "[Misc]\nDefaultBrowser=a\n[Misc]\nx=1\ndefaultbrowser=b\nDEFAULTBROWSER=c\ny=2\n";
  EXPECT_EQ(Rewrite(bytes, u"MISC", u"DefaultBrowser", u"chrome.exe"),
            "[Misc]\r\nDefaultBrowser=a\r\n\r\n"
            "[Misc]\r\nx=1\r\ndefaultbrowser=b\r\nDefaultBrowser=chrome.exe\r\ny=2\r\n\r\n");
}

TEST(IniFileWrite, AppendsMissingKeysToTheirSectionAndMissingSectionsAtTheEnd) {
  const std::string bytes = "[A]\na=1\n[B]\nb=2\n";
  EXPECT_EQ(Rewrite(bytes, u"a", u"new", u"v"), "[A]\r\na=1\r\nnew=v\r\n\r\n[B]\r\nb=2\r\n\r\n");
  EXPECT_EQ(Rewrite(bytes, u"Misc", u"DefaultBrowser", u"opera.exe"),
            "[A]\r\na=1\r\n\r\n[B]\r\nb=2\r\n\r\n[Misc]\r\nDefaultBrowser=opera.exe\r\n\r\n");
  // A line without "=" is no entry, even when it looks like the key.
  EXPECT_EQ(Rewrite("[A]\nk\n", u"A", u"k", u"v"), "[A]\r\nk\r\nk=v\r\n\r\n");
}

TEST(IniFileWrite, KeepsTheValueVerbatimUntilItIsReadFromTheFileAgain) {
  IniFile ini;
  ini.WriteString(u"Misc", u"k", u"  padded  ");
  EXPECT_EQ(ini.ReadString(u"misc", u"K", u""), u"  padded  ");
  const std::string bytes = ini.ToBytes();
  EXPECT_EQ(bytes, "[Misc]\r\nk=  padded  \r\n\r\n");
  EXPECT_EQ(Read(bytes, u"Misc", u"k"), u"padded");
}

TEST(IniFileEncoding, AnsiFilesRoundTripInTheAnsiCodePage) {
  const std::string bytes = "[Caf\xE9]\r\nk=\x80 \x81\r\n\r\n";
  EXPECT_EQ(Read(bytes, u"CAFÉ", u"k"), u"\u20AC \u0081");
  EXPECT_EQ(Rewrite(bytes, u"Café", u"n", u"ñ\u4E2D"),
            "[Caf\xE9]\r\nk=\x80 \x81\r\nn=\xF1?\r\n\r\n");
}

TEST(IniFileEncoding, Utf8MarkIsKept) {
  const std::string bytes = "\xEF\xBB\xBF[Misc]\nDefaultBrowser=\xE2\x82\xAC\n";
  EXPECT_EQ(Read(bytes, u"Misc", u"DefaultBrowser"), u"\u20AC");
  EXPECT_EQ(Rewrite(bytes, u"Misc", u"Other", u"\U0001F600"),
            "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=\xE2\x82\xAC\r\nOther=\xF0\x9F\x98\x80\r\n\r\n");
}

// A marked file with broken bytes keeps everything else when written back.
TEST(IniFileEncoding, InvalidUtf8ReadsLenientlyAndTheOtherLinesSurvive) {
  const std::string bytes = "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=x\r\n[Work]\r\nname=Jos\xE9\r\n";
  EXPECT_EQ(Read(bytes, u"Work", u"name"), u"Jos\uFFFD");
  EXPECT_EQ(Rewrite(bytes, u"Misc", u"DefaultBrowser", u"opera.exe"),
            "\xEF\xBB\xBF[Misc]\r\nDefaultBrowser=opera.exe\r\n\r\n[Work]\r\nname="
            "Jos\xEF\xBF\xBD\r\n\r\n");
}

TEST(IniFileEncoding, Utf16LittleEndianMarkIsKept) {
  const std::string bytes = "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xAC\x20"s;
  EXPECT_EQ(Read(bytes, u"a", u"K"), u"\u20AC");
  EXPECT_EQ(Rewrite(bytes, u"A", u"k", u"\u00E9"),
            "\xFF\xFE[\0A\0]\0\r\0\n\0k\0=\0\xE9\0\r\0\n\0\r\0\n\0"s);
}

TEST(IniFileEncoding, Utf16BigEndianMarkIsKept) {
  const std::string bytes = "\xFE\xFF\0[\0A\0]\0\n\0k\0=\x20\xAC\0\0\0j"s;
  EXPECT_EQ(Read(bytes, u"A", u"k"), u"\u20AC");
  EXPECT_EQ(Rewrite(bytes, u"A", u"j", u"1"),
            "\xFE\xFF\0[\0A\0]\0\r\0\n\0k\0=\x20\xAC\0\r\0\n\0j\0=\0001\0\r\0\n\0\r\0\n"s);
}

// Half a unit at the end (a file cut short) goes, and the next save leaves no trace of it.
TEST(IniFileEncoding, Utf16OddTrailingByteIsDropped) {
  const std::string bytes = "\xFF\xFE[\0M\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0x"s;
  EXPECT_EQ(Read(bytes, u"M", u"k"), u"v");
  EXPECT_EQ(Rewrite(bytes, u"M", u"k", u"w"),
            "\xFF\xFE[\0M\0]\0\r\0\n\0k\0=\0w\0\r\0\n\0\r\0\n\0"s);
}

TEST(IniFileEncoding, AMarkAloneIsAnEmptyDocumentThatKeepsIt) {
  EXPECT_EQ(Rewrite("\xFE\xFF", u"S", u"k", u"v"),
            "\xFE\xFF\0[\0S\0]\0\r\0\n\0k\0=\0v\0\r\0\n\0\r\0\n"s);
}

}  // namespace
}  // namespace zolv
