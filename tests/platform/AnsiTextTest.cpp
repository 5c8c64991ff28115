// Character-aware text helpers: trail bytes that look like delimiters or letters.
#include "platform/AnsiText.h"
#include "platform/CodePage.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

// "ソ" in CP932 is 0x83 0x5C: its trail byte is the code of "\".
const std::string kSo = "\x83\x5C";
// Full-width "ａ" (0x8281) and "Ａ" (0x8260).
const std::string kFullA = "\x82\x81";
const std::string kFullUpperA = "\x82\x60";

TEST(AnsiText, TrailBytesAreNeverDelimiters) {
  EXPECT_EQ(AnsiLastDelimiter("\\", "dir\\" + kSo), 3u);
  EXPECT_EQ(AnsiLastDelimiter("\\", kSo), std::string::npos);
  EXPECT_EQ(AnsiLastDelimiter("\\/", "a/b\\c"), 3u);
  EXPECT_FALSE(AnsiEndsWithDelimiter("dir/" + kSo, '\\'));
  EXPECT_TRUE(AnsiEndsWithDelimiter("dir/" + kSo + "\\", '\\'));
  EXPECT_TRUE(AnsiEndsWithDelimiter("/", '/'));
  EXPECT_FALSE(AnsiEndsWithDelimiter("", '/'));
  // A lead byte cut off at the end stands alone.
  EXPECT_TRUE(AnsiEndsWithDelimiter("\\", '\\'));
}

TEST(AnsiText, FindAndReplaceWorkOnWholeCharacters) {
  // "\\" inside ソ is not found; the real one after it is.
  EXPECT_EQ(AnsiFind(kSo + "\\x", "\\"), 2u);
  EXPECT_EQ(AnsiFind("abcabc", "c", 3), 5u);
  EXPECT_EQ(AnsiFind("abc", "", 1), 1u);
  EXPECT_EQ(AnsiFind("abc", "abcd"), std::string::npos);
  // A needle that begins with a trail byte value cannot match inside a character.
  EXPECT_EQ(AnsiFind(kFullA, "\x81"), std::string::npos);

  EXPECT_EQ(AnsiReplaceAll(kSo + "\\a\\", "\\", "/"), kSo + "/a/");
  EXPECT_EQ(AnsiReplaceAll("aaa", "aa", "a"), "aa");
  EXPECT_EQ(AnsiReplaceAll("abc", "", "x"), "abc");
}

TEST(AnsiText, TrimRemovesControlsButNotFullWidthSpace) {
  const std::string fullWidthSpace = "\x81\x40";
  EXPECT_EQ(TrimControls(" \t\r\n icons \x01"), "icons");
  EXPECT_EQ(TrimControls("  "), "");
  EXPECT_EQ(TrimControls(fullWidthSpace + "x" + fullWidthSpace), fullWidthSpace + "x" + fullWidthSpace);
}

TEST(AnsiText, SameTextFoldsAsciiAndFullWidthLettersOnly) {
  EXPECT_TRUE(AnsiSameText(".XML", ".xml"));
  EXPECT_TRUE(AnsiSameText(kFullA, kFullUpperA));
  EXPECT_FALSE(AnsiSameText(kFullA, "a"));
  EXPECT_FALSE(AnsiSameText("ab", "abc"));
  // The trail byte 0x5C of ソ must not be compared as if it were a separate "\".
  EXPECT_FALSE(AnsiSameText(kSo, "\x83/"));

  EXPECT_EQ(AnsiFindText("/Home/User/x", "/home/user/"), 0u);
  EXPECT_EQ(AnsiFindText("a" + kSo + "B", "b"), 3u);
  EXPECT_EQ(AnsiFindText("abc", "x"), std::string::npos);
}

TEST(AnsiText, Utf8CodePageHasNoLeadBytesAndFoldsEveryLetter) {
  SetActiveCodePage(CodePageUtf8);
  // "ソ" in UTF-8 ends in 0xBD; no byte of it is taken for a delimiter or a letter.
  EXPECT_EQ(AnsiLastDelimiter("/", "a/\xE3\x82\xBD"), 1u);
  EXPECT_TRUE(AnsiSameText("CAF\xC3\x89.JPG", "caf\xC3\xA9.jpg"));           // É and é
  EXPECT_TRUE(AnsiSameText("\xD0\x9F\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0", "\xD0\xBF\xD0\xB0\xD0\xBF\xD0\xBA\xD0\xB0"));  // Папка
  EXPECT_FALSE(AnsiSameText("caf\xC3\xA9", "cafe"));
  EXPECT_EQ(AnsiFindText("/Fotos/\xC3\x89t\xC3\xA9/x", "/fotos/\xC3\xA9T\xC3\xA9/"), 0u);
  EXPECT_EQ(AnsiFoldCase("\xC3\x89" "A"), AnsiFoldCase("\xC3\xA9" "a"));
  // Names pass as they are; a byte that is not UTF-8 shows as U+FFFD.
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "\xF0\x9F\x98\x80");
  EXPECT_EQ(Utf8ToAnsi("a\xFF" "b"), "a\xEF\xBF\xBD" "b");
  EXPECT_EQ(AnsiToUtf16("\xF0\x9F\x98\x80"), std::u16string(u"\U0001F600"));
  EXPECT_EQ(AnsiIdeographicSpace(), "\xE3\x80\x80");
  SetActiveCodePage(CodePageShiftJis);
  EXPECT_EQ(Utf8ToAnsi("\xF0\x9F\x98\x80"), "?");
}

}  // namespace
}  // namespace orv
