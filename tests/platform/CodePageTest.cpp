// Conversions between CP932 program text and UTF-8 / UTF-16: the names a user meets
// (trail bytes that look like "\", characters CP932 lacks, broken byte sequences) and
// the single bytes only Windows maps.
#include "platform/CodePage.h"

#include <gtest/gtest.h>

#include <string>

namespace orv {
namespace {

TEST(CodePage, TrailByteBackslashSurvivesRoundTrips) {
  // "ソ" and "表" end in 0x5C; "\" and "~" must stay ASCII, not become yen and overline.
  const std::string ansi = "a\\~\x83\x5C\x95\x5C.txt";
  EXPECT_EQ(Utf8ToAnsi("a\\~ソ表.txt"), ansi);
  EXPECT_EQ(Utf16ToAnsi(u"a\\~ソ表.txt"), ansi);
  EXPECT_EQ(AnsiToUtf8(ansi), "a\\~ソ表.txt");
  EXPECT_EQ(AnsiToUtf16(ansi), u"a\\~ソ表.txt");

  // Half-width katakana are single bytes; an embedded NUL is text, not the end.
  const std::string kana("\xB1\0\x83\x5C", 4);
  EXPECT_EQ(AnsiToUtf8(kana), std::string("ｱ\0ソ", 7));
  EXPECT_EQ(Utf8ToAnsi(std::string("ｱ\0ソ", 7)), kana);
  EXPECT_EQ(Utf8ToAnsi(""), "");
  EXPECT_EQ(AnsiToUtf16(""), u"");
}

TEST(CodePage, UnmappableAndMalformedInputBecomesQuestionMark) {
  EXPECT_EQ(Utf8ToAnsi("caf\xC3\xA9 ソ"), "caf? \x83\x5C");          // é is not in CP932
  EXPECT_EQ(Utf8ToAnsi("x\xF0\x9F\x98\x80y"), "x?y");                // one "?" per character
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b\x80ソ"), "a?b?\x83\x5C");          // stray bytes
  EXPECT_EQ(Utf8ToAnsi("a\xE3\x82"), "a?");                          // cut off at the end
  EXPECT_EQ(Utf8ToAnsi("a\xE3\x82z"), "a?z");                        // cut off mid-text
  EXPECT_EQ(Utf8ToAnsi("\xC0\xAF"), "??");                           // overlong "/"
  EXPECT_EQ(Utf8ToAnsi("\xED\xA0\x80!"), "???" "!");                // encoded surrogate
  EXPECT_EQ(Utf8ToAnsi("\xF4\x90\x80\x80"), "????");                 // beyond U+10FFFF

  EXPECT_EQ(Utf16ToAnsi(u"caf\u00E9"), "caf?");
  EXPECT_EQ(Utf16ToAnsi(u"x\U0001F600y"), "x?y");
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"a\xD800" u"b")), "a?b");
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"a\xDC00" u"ソ")), "a?\x83\x5C");
  EXPECT_EQ(Utf16ToAnsi(std::u16string(u"ソ\xD83D")), "\x83\x5C?");

  // Many substitutions in a long name: the output must neither be cut nor overrun.
  std::string longName;
  for (int i = 0; i < 500; ++i) {
    longName += "\xC3\xA9ソ";
  }
  const std::string converted = Utf8ToAnsi(longName);
  ASSERT_EQ(converted.size(), 1500u);
  EXPECT_EQ(converted.substr(1497), "?\x83\x5C");
}

TEST(CodePage, WindowsOnlySingleBytesAndInvalidPairs) {
  const std::string special = "\x80\xA0\xFD\xFE\xFF";
  EXPECT_EQ(AnsiToUtf16(special), u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  EXPECT_EQ(AnsiToUtf8(special), "\u0080\uF8F0\uF8F1\uF8F2\uF8F3");
  // The way back gives the same bytes, so such names survive a trip through the window.
  EXPECT_EQ(Utf16ToAnsi(u"\u0080\uF8F0\uF8F1\uF8F2\uF8F3"), special);
  EXPECT_EQ(Utf8ToAnsi("\u0080\uF8F0\uF8F1\uF8F2\uF8F3"), special);

  EXPECT_EQ(AnsiToUtf16("a\x81\xAD" "b"), u"a\uFFFDb");  // unassigned pair: one character
  EXPECT_EQ(AnsiToUtf8("a\x81\xAD" "b"), "a\uFFFDb");
  EXPECT_EQ(AnsiToUtf16("\x83 x"), u"\uFFFD x");          // lead byte without a trail byte
  EXPECT_EQ(AnsiToUtf8("x\x83"), "x\uFFFD");              // lead byte at the end

  std::string many;
  for (int i = 0; i < 400; ++i) {
    many += "\xFD\xB1";
  }
  const std::string utf8 = AnsiToUtf8(many);
  ASSERT_EQ(utf8.size(), 2400u);
  EXPECT_EQ(utf8.substr(2394), "\uF8F1ｱ");
  EXPECT_EQ(Utf8ToAnsi(utf8), many);
}

}  // namespace
}  // namespace orv
