// Settings files hand-edited by users and written by older versions must read the same
// way, and a rewrite must disturb nothing but the keys it sets.
#include "platform/ProfileFile.h"
#include "platform/CodePage.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstring>

namespace orv {
namespace {

TEST(ProfileFileTest, ReadsWithWindowsLookupRules) {
  TProfileFile profile("unused");
  profile.LoadFromText(
      "Orphan=before any section\n"
      "[Options]\n"
      "  Width  =  640  \n"
      "Title=\"  quoted  \"\n"
      "Single='x'\n"
      "Mixed=\"x'\n"
      "Nested=\"\"a\"\"\n"
      "Lone=\"\n"
      "Empty=\n"
      "Width=999\n"
      "; comment=not a key? it is, Windows takes it as one\n"
      "[ options ]\n"
      "Late=second section is never searched\n"
      "[\x83\x5D]\n"
      "Kana=1\n"
      "[\x82\x61]\n"
      "Wide=2\n");

  EXPECT_EQ(profile.ReadString("OPTIONS", "width", "d"), "640");  // case, blanks, first key wins
  EXPECT_EQ(profile.ReadString("Options", "Title", "d"), "  quoted  ");
  EXPECT_EQ(profile.ReadString("Options", "Single", "d"), "x");
  EXPECT_EQ(profile.ReadString("Options", "Mixed", "d"), "\"x'");
  EXPECT_EQ(profile.ReadString("Options", "Nested", "d"), "\"a\"");
  EXPECT_EQ(profile.ReadString("Options", "Lone", "d"), "\"");
  EXPECT_EQ(profile.ReadString("Options", "Empty", "d"), "");
  EXPECT_TRUE(profile.KeyExists("Options", "Empty"));
  EXPECT_EQ(profile.ReadString("Options", "Late", "d"), "d");
  EXPECT_EQ(profile.ReadString("", "Orphan", "d"), "d");
  EXPECT_EQ(profile.ReadString("Missing", "Width", "d"), "d");
  EXPECT_FALSE(profile.KeyExists("Options", "Missing"));

  // "]" as a trail byte does not end the name; a trail byte "a" is not folded to "A".
  EXPECT_EQ(profile.ReadString("\x83\x5D", "Kana", "d"), "1");
  EXPECT_EQ(profile.ReadString("\x82\x61", "Wide", "d"), "2");
  EXPECT_EQ(profile.ReadString("\x82\x41", "Wide", "d"), "d");

  EXPECT_EQ(profile.ReadInteger("Options", "Width", 0), 640);
  EXPECT_EQ(profile.ReadInteger("Options", "Title", 7), 7);
  EXPECT_EQ(profile.ReadInteger("Options", "Missing", -3), -3);
  EXPECT_TRUE(profile.ReadBool("Options", "Width", false));
  EXPECT_TRUE(profile.ReadBool("Options", "Missing", true));
  EXPECT_FALSE(profile.ReadBool("Options", "Title", false));
}

TEST(ProfileFileTest, ReadsCrLfAndLfLinesAndCutsLongValues) {
  TProfileFile profile("unused");
  profile.LoadFromText("[A]\r\nOne=1\r\nTwo=2\n[B]\nThree=3\r");
  EXPECT_EQ(profile.ReadString("A", "One", ""), "1");
  EXPECT_EQ(profile.ReadString("A", "Two", ""), "2");
  EXPECT_EQ(profile.ReadString("B", "Three", ""), "3");

  // 2046 single bytes then a double-byte character that would straddle the limit.
  std::string straddling = std::string(2046, 'a') + "\x82\xA0" + "tail";
  std::string exact = std::string(2045, 'b') + "\x82\xA0" + "tail";
  profile.LoadFromText("[S]\nStraddle=" + straddling + "\nExact=\"" + exact + "\"\n");
  EXPECT_EQ(profile.ReadString("S", "Straddle", ""), std::string(2046, 'a'));
  EXPECT_EQ(profile.ReadString("S", "Exact", ""), std::string(2045, 'b') + "\x82\xA0");
}

TEST(ProfileFileTest, WritingKeepsEveryOtherLine) {
  TProfileFile profile("unused");
  profile.LoadFromText(
      "; settings\n"
      "[Main]\n"
      "Known=1\n"
      "Unknown=keep me\n"
      "\n"
      "; trailing comment of Main\n"
      "[Empty]\n"
      "[main]\n"
      "Known=second\n");

  profile.WriteString("MAIN", "known", "2");     // replaced in place, key spelled as passed
  profile.WriteInteger("Main", "Added", -17);   // after the last key line of the first Main
  profile.WriteBool("Empty", "Flag", true);     // right after a header with no keys
  profile.WriteString("New", "Key", "value");   // new section at the end

  EXPECT_EQ(profile.Text(),
            "; settings\r\n"
            "[Main]\r\n"
            "known=2\r\n"
            "Unknown=keep me\r\n"
            "Added=-17\r\n"
            "\r\n"
            "; trailing comment of Main\r\n"
            "[Empty]\r\n"
            "Flag=1\r\n"
            "[main]\r\n"
            "Known=second\r\n"
            "[New]\r\n"
            "Key=value\r\n");
  EXPECT_EQ(profile.ReadInteger("Main", "Added", 0), -17);

  TProfileFile empty("unused");
  EXPECT_EQ(empty.Text(), "");
  empty.WriteBool("S", "Off", false);
  EXPECT_EQ(empty.Text(), "[S]\r\nOff=0\r\n");
}

TEST(ProfileFileTest, StructRoundTripAndDamage) {
  const unsigned char record[5] = {0x00, 0x0A, 0xFF, 0x80, 0x7B};  // sum 0x204 -> 0x04
  TProfileFile profile("unused");
  profile.WriteStruct("S", "Rec", record, sizeof record);
  EXPECT_EQ(profile.ReadString("S", "Rec", ""), "000AFF807B04");

  unsigned char read[5] = {};
  ASSERT_TRUE(profile.ReadStruct("S", "Rec", read, sizeof read));
  EXPECT_EQ(std::memcmp(read, record, sizeof record), 0);

  profile.WriteString("S", "Lower", "000aff807b04");
  std::memset(read, 0, sizeof read);
  EXPECT_TRUE(profile.ReadStruct("S", "Lower", read, sizeof read));
  EXPECT_EQ(std::memcmp(read, record, sizeof record), 0);

  const unsigned char untouched[5] = {1, 2, 3, 4, 5};
  auto rejects = [&](std::string_view value, std::size_t size) {
    profile.WriteString("S", "Bad", value);
    unsigned char buffer[5];
    std::memcpy(buffer, untouched, sizeof buffer);
    bool ok = profile.ReadStruct("S", "Bad", buffer, size);
    return !ok && std::memcmp(buffer, untouched, sizeof buffer) == 0;
  };
  EXPECT_TRUE(rejects("000AFF807C04", 5));    // one data digit changed
  EXPECT_TRUE(rejects("000AFF807B05", 5));    // checksum digit changed
  EXPECT_TRUE(rejects("000AFF807B04", 4));    // record of another size
  EXPECT_TRUE(rejects("000AFF807B0", 5));     // cut short
  EXPECT_TRUE(rejects("000AFF807B0400", 5));  // too long
  EXPECT_TRUE(rejects("000AFF807G04", 5));    // not hex
  EXPECT_FALSE(profile.ReadStruct("S", "Missing", read, sizeof read));
}

TEST(ProfileFileTest, ParsesIntegersAsStoredAndHandEdited) {
  struct TCase {
    const char* Text;
    bool Ok;
    int32_t Value;
  };
  const TCase cases[] = {
      {"0", true, 0},
      {"+12", true, 12},
      {"-5", true, -5},
      {"0x10", true, 16},
      {"0X1f", true, 31},
      {"$ff", true, 255},
      {"-$10", true, -16},
      {"0xFFFFFFFF", true, -1},
      {"0x80000000", true, INT32_MIN},
      {"2147483647", true, INT32_MAX},
      {"-2147483648", true, INT32_MIN},
      {"2147483648", false, 0},
      {"-2147483649", false, 0},
      {"0x100000000", false, 0},
      {"99999999999999999999999", false, 0},
      {"", false, 0},
      {"-", false, 0},
      {"$", false, 0},
      {"0x", false, 0},
      {"yes", false, 0},
      {"12a", false, 0},
      {" 1", false, 0},
      {"--1", false, 0},
  };
  for (const TCase& c : cases) {
    int32_t value = 12345;
    EXPECT_EQ(ParseProfileInteger(c.Text, value), c.Ok) << c.Text;
    if (c.Ok) {
      EXPECT_EQ(value, c.Value) << c.Text;
    }
  }
}

TEST(ProfileFileTest, LoadAndSaveThroughTheFile) {
  test::TTempDir dir;
  TProfileFile missing(dir / "none.ini");
  EXPECT_FALSE(missing.Load());
  EXPECT_EQ(missing.ReadString("A", "B", "def"), "def");

  std::string path = dir.WriteFile("settings.ini", "[A]\nB=1\n");
  TProfileFile profile(path);
  ASSERT_TRUE(profile.Load());
  EXPECT_EQ(profile.ReadInteger("A", "B", 0), 1);
  profile.WriteString("A", "C", "\x93\xFA\x96\x7B");  // CP932 bytes stored unchanged
  profile.Save();
  EXPECT_EQ(test::ReadFileText(path), "[A]\r\nB=1\r\nC=\x93\xFA\x96\x7B\r\n");

  TProfileFile reread(path);
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.ReadString("a", "c", ""), "\x93\xFA\x96\x7B");
}

}  // namespace
TEST(ProfileFileTest, AFileWithAUtf8MarkIsReadAsUtf8InEitherCodePage) {
  TProfileFile file("unused");
  file.LoadFromText("\xEF\xBB\xBF[alias]\r\n\xE6\x97\xA5.txt=\xE6\x9C\xAC\r\n");
  SetActiveCodePage(CodePageShiftJis);
  const auto pairs = file.ReadSection("alias");
  ASSERT_EQ(pairs.size(), 1u);
  EXPECT_EQ(pairs[0].first, "\x93\xFA.txt");  // 日 and 本 in CP932
  EXPECT_EQ(pairs[0].second, "\x96\x7B");
  file.WriteString("alias", "k", "\x96\x7B");
  EXPECT_TRUE(file.Text().starts_with("\xEF\xBB\xBF[alias]"));
  EXPECT_NE(file.Text().find("k=\xE6\x9C\xAC"), std::string::npos);
  SetActiveCodePage(CodePageUtf8);
  EXPECT_EQ(file.ReadString("alias", "k", ""), "\xE6\x9C\xAC");
  SetActiveCodePage(CodePageShiftJis);
}

}  // namespace orv
