// The regular-expression adapter: matches and their parts, splits, the one-pattern
// cache, its own error texts and the engine's, the Perl operator form (delimiters and
// modifiers), and "k" matching on whole Shift_JIS characters.
#include "scan/BRegExp.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orv {
namespace {

// The message of the EBRegExpError that call raises, or "(nothing raised)".
template <class Call>
std::string ErrorOf(Call call) {
  try {
    call();
  } catch (const EBRegExpError& error) {
    return error.what();
  }
  return "(nothing raised)";
}

std::vector<std::string> Pieces(TBRegExp& re) {
  std::vector<std::string> pieces;
  for (int i = 0; i < re.PartCount(); ++i) {
    pieces.push_back(re.Part(i));
  }
  return pieces;
}

using Strings = std::vector<std::string>;

// Patterns of the kind users write to pick files, and the forms the tests cut texts with.
constexpr std::string_view kPdfHeaderPattern = "m/%PDF-[\\.0-9]+/";
constexpr std::string_view kVersionNumberPattern = "/[\\.0-9]+/";
constexpr std::string_view kEndObjPattern = "m/endobj/";
constexpr std::string_view kPageTreeCountPattern = "m/\\/Count [0-9]+/";
constexpr std::string_view kNumberPattern = "/[0-9]+/";

TEST(BRegExpTest, MatchPartsAndResultState) {
  TBRegExp re;
  const std::string header = "%PDF-1.7\n%\xE2\xE3\xCF\xD3\n1 0 obj";
  ASSERT_TRUE(re.Match(kPdfHeaderPattern, header));
  EXPECT_EQ(re.PartCount(), 1);
  EXPECT_EQ(re.Part(0), "%PDF-1.7");
  const std::string found = re.Part(0);
  ASSERT_TRUE(re.Match(kVersionNumberPattern, found));
  EXPECT_EQ(re.Part(0), "1.7");

  // Groups in order, an unset group as empty text, the index bounds.
  ASSERT_TRUE(re.Match("m/(a+)(x)?(b+)/", "zzaabbb"));
  EXPECT_EQ(re.PartCount(), 4);
  EXPECT_EQ(re.Part(0), "aabbb");
  EXPECT_EQ(re.Part(1), "aa");
  EXPECT_EQ(re.Part(2), "");
  EXPECT_EQ(re.Part(3), "bbb");
  EXPECT_EQ(ErrorOf([&] { re.Part(4); }), "index out of range");
  EXPECT_EQ(ErrorOf([&] { re.Part(-1); }), "index out of range");

  // A failed match drops the previous result.
  EXPECT_FALSE(re.Match(kPdfHeaderPattern, "no header here"));
  EXPECT_EQ(ErrorOf([&] { re.PartCount(); }), "no count now");
  EXPECT_EQ(ErrorOf([&] { re.Part(0); }), "no strings now");

  TBRegExp fresh;
  EXPECT_EQ(ErrorOf([&] { fresh.PartCount(); }), "no count now");
  EXPECT_EQ(ErrorOf([&] { fresh.Part(0); }), "no strings now");
}

TEST(BRegExpTest, CompilesOncePerPatternText) {
  TBRegExp re;
  EXPECT_TRUE(re.Match(kPageTreeCountPattern, "/Count 3"));
  EXPECT_EQ(re.CompileCount(), 1u);
  EXPECT_TRUE(re.Match(kPageTreeCountPattern, "<< /Count 12 >>"));
  EXPECT_FALSE(re.Match(kPageTreeCountPattern, "/Count\n12"));
  EXPECT_EQ(re.CompileCount(), 1u);
  EXPECT_TRUE(re.Match(kNumberPattern, "/Count 12"));
  EXPECT_EQ(re.Part(0), "12");
  EXPECT_EQ(re.CompileCount(), 2u);
  // The same expression written differently is another text, so another compile.
  EXPECT_TRUE(re.Match("m/[0-9]+/", "12"));
  EXPECT_EQ(re.CompileCount(), 3u);
  EXPECT_TRUE(re.Split(kEndObjPattern, "a endobj b", 16384));
  EXPECT_TRUE(re.Split(kEndObjPattern, "c endobj d", 16384));
  EXPECT_EQ(re.CompileCount(), 4u);

  // A pattern that fails to compile leaves nothing cached: the next good text compiles.
  EXPECT_NE(ErrorOf([&] { re.Match("m/[unclosed/", "x"); }), "(nothing raised)");
  EXPECT_EQ(ErrorOf([&] { re.PartCount(); }), "no count now");
  EXPECT_FALSE(re.Split(kEndObjPattern, "x", 16384));
  EXPECT_EQ(re.PartCount(), 1);
  EXPECT_EQ(re.CompileCount(), 6u);
}

TEST(BRegExpTest, EngineAndPatternFormErrors) {
  TBRegExp re;
  ASSERT_TRUE(re.Match("/a/", "a"));
  // PCRE2's own text for an unclosed class, and no result afterwards.
  EXPECT_EQ(ErrorOf([&] { re.Match("m/[unclosed/", "x"); }), "missing terminating ] for character class");
  EXPECT_EQ(ErrorOf([&] { re.Part(0); }), "no strings now");
  EXPECT_EQ(ErrorOf([&] { re.Split("/(/", "x", 0); }), "missing closing parenthesis");

  EXPECT_EQ(ErrorOf([&] { re.Match("m/abc", "abc"); }), "the closing delimiter \"/\" of the pattern is missing");
  EXPECT_EQ(ErrorOf([&] { re.Match("m{abc", "abc"); }), "the closing delimiter \"}\" of the pattern is missing");
  EXPECT_EQ(ErrorOf([&] { re.Match("m/abc/q", "abc"); }), "unknown modifier \"q\" after the pattern");
  EXPECT_EQ(ErrorOf([&] { re.Match("m/abc/ i", "abc"); }), "unknown modifier \" \" after the pattern");
  EXPECT_EQ(ErrorOf([&] { re.Match("abc", "abc"); }), "the pattern must be written as m/expression/ or /expression/");
  EXPECT_EQ(ErrorOf([&] { re.Match("", "abc"); }), "the pattern must be written as m/expression/ or /expression/");
  EXPECT_EQ(ErrorOf([&] { re.Match("mabca", "bc"); }),
            "the pattern needs a punctuation character as its delimiter after \"m\"");
  EXPECT_EQ(ErrorOf([&] { re.Match("m\\a\\", "a"); }),
            "the pattern needs a punctuation character as its delimiter after \"m\"");
  // CP932 subjects are not UTF-8; a pattern may not switch the engine to UTF-8 itself.
  EXPECT_NE(ErrorOf([&] { re.Match("/(*UTF)a/", "a"); }), "(nothing raised)");
}

TEST(BRegExpTest, SplitPiecesAndLimit) {
  TBRegExp re;
  re.Split(kEndObjPattern, "1 0 obj <<>> endobj\n2 0 obj <<>> endobj\n", 16384);
  EXPECT_EQ(Pieces(re), (Strings{"1 0 obj <<>> ", "\n2 0 obj <<>> ", "\n"}));

  // The limit caps the pieces; the last holds the rest, separators and all.
  re.Split(kEndObjPattern, "a endobj b endobj c endobj d", 2);
  EXPECT_EQ(Pieces(re), (Strings{"a ", " b endobj c endobj d"}));
  re.Split(kEndObjPattern, "a endobj b", 1);
  EXPECT_EQ(Pieces(re), (Strings{"a endobj b"}));

  // Perl's rules for empty pieces.
  re.Split("/,/", "a,b,,c,,", 0);
  EXPECT_EQ(Pieces(re), (Strings{"a", "b", "", "c"}));
  re.Split("/,/", "a,b,,c,,", -1);
  EXPECT_EQ(Pieces(re), (Strings{"a", "b", "", "c", "", ""}));
  re.Split("/,/", "a,b,,c,,", 3);
  EXPECT_EQ(Pieces(re), (Strings{"a", "b", ",c,,"}));
  re.Split("/,/", ",a", -1);
  EXPECT_EQ(Pieces(re), (Strings{"", "a"}));
  re.Split("/x*/", "axxb", -1);
  EXPECT_EQ(Pieces(re), (Strings{"a", "b", ""}));
  re.Split("//", "abc", 0);
  EXPECT_EQ(Pieces(re), (Strings{"a", "b", "c"}));

  // Pieces can be read whatever the result; an empty subject has none.
  EXPECT_FALSE(re.Split(kEndObjPattern, "no objects", 16384));
  EXPECT_EQ(Pieces(re), (Strings{"no objects"}));
  EXPECT_FALSE(re.Split(kEndObjPattern, "", 16384));
  EXPECT_EQ(re.PartCount(), 0);
  EXPECT_EQ(ErrorOf([&] { re.Part(0); }), "index out of range");

  // More separators than the limit allows: everything after the 3rd piece stays joined.
  std::string many;
  for (int i = 0; i < 10; ++i) many += std::to_string(i) + "endobj";
  re.Split(kEndObjPattern, many, 4);
  EXPECT_EQ(Pieces(re), (Strings{"0", "1", "2", "3endobj4endobj5endobj6endobj7endobj8endobj9endobj"}));
}

TEST(BRegExpTest, ModifiersAndDelimiters) {
  TBRegExp re;
  EXPECT_FALSE(re.Match("m/readme/", "README.TXT"));
  EXPECT_TRUE(re.Match("m/readme/i", "README.TXT"));
  EXPECT_TRUE(re.Match("/readme/igo", "README.TXT"));
  EXPECT_FALSE(re.Match("/^b/", "a\nb"));
  EXPECT_TRUE(re.Match("/^b/m", "a\nb"));
  EXPECT_FALSE(re.Match("/a.b/", "a\nb"));
  EXPECT_TRUE(re.Match("/a.b/s", "a\nb"));
  EXPECT_TRUE(re.Match("m/ a b # comment\n/x", "ab"));
  EXPECT_FALSE(re.Match("m/ a b /", "ab"));

  // An escaped delimiter is the delimiter character itself, even a metacharacter.
  ASSERT_TRUE(re.Match("m/a\\/b/", "x/a/b"));
  EXPECT_EQ(re.Part(0), "a/b");
  EXPECT_TRUE(re.Match("m|a\\|b|", "a|b"));
  EXPECT_FALSE(re.Match("m|a\\|b|", "b"));
  EXPECT_TRUE(re.Match("m.a\\.b.", "a.b"));
  EXPECT_FALSE(re.Match("m.a\\.b.", "axb"));
  EXPECT_TRUE(re.Match("m#txt$#", "a.txt"));
  EXPECT_TRUE(re.Match("m!/sub/!", "./sub/a"));
  // Bracket pairs nest, so quantifiers and groups need no escape.
  ASSERT_TRUE(re.Match("m{a{2}}", "baaa"));
  EXPECT_EQ(re.Part(0), "aa");
  ASSERT_TRUE(re.Match("m((a)(b))", "ab"));
  EXPECT_EQ(re.PartCount(), 3);
  EXPECT_TRUE(re.Match("m<a>i", "A"));
  EXPECT_TRUE(re.Match("m[[ab]]", "b"));
  // Other escapes pass to the engine unchanged.
  EXPECT_TRUE(re.Match("m/\\d\\.\\w/", "1.a"));
  EXPECT_TRUE(re.Match("m/\\\\/", "a\\b"));
}

TEST(BRegExpTest, KanjiModifierMatchesWholeCharacters) {
  TBRegExp re;
  // "表示.txt": the trail byte of 表 (0x95 0x5C) is the byte of "\".
  const std::string name = "\x95\x5C\x8E\xA6.txt";
  EXPECT_TRUE(re.Match("m/\\\\/", name));
  EXPECT_FALSE(re.Match("m/\\\\/k", name));
  const std::string withBackslash = "a\\" + name;
  EXPECT_TRUE(re.Match("m/\\\\/k", withBackslash));

  // "ソ" (0x83 0x5C) in the expression: byte-wise its trail byte escapes the closing "/";
  // with "k" it is a character and the part comes back as the original CP932 bytes.
  const std::string so = "\x83\x5C";
  EXPECT_NE(ErrorOf([&] { re.Match("m/" + so + "/", so); }), "(nothing raised)");
  const std::string sos = "ab" + so + so + "\x82\xA0" + "z";
  ASSERT_TRUE(re.Match("m/(" + so + "+)(.)/k", sos));
  EXPECT_EQ(re.Part(0), so + so + "\x82\xA0");
  EXPECT_EQ(re.Part(1), so + so);
  EXPECT_EQ(re.Part(2), "\x82\xA0");

  // "." is one byte without "k" and one character with it.
  ASSERT_TRUE(re.Match("m/^.$/k", "\x82\xA0"));
  EXPECT_FALSE(re.Match("m/^.$/", "\x82\xA0"));
  // Case folding reaches the full-width letters: "ａ" (0x82 0x81) and "Ａ" (0x82 0x60).
  EXPECT_TRUE(re.Match("m/\x82\x81/ik", "x\x82\x60"));

  // Split maps pieces back to CP932 offsets; invalid bytes and half-width katakana keep
  // their places too.
  const std::string subject = "\xB1\x81\x40\xFF" "\x95\x5C" "z\x81";
  re.Split("m/\x81\x40/k", subject, 0);
  EXPECT_EQ(Pieces(re), (Strings{"\xB1", "\xFF\x95\x5C" "z\x81"}));
  const std::string path = "a\\" + name + "\\b";
  re.Split("m/\\\\/k", path, 0);
  EXPECT_EQ(Pieces(re), (Strings{"a", name, "b"}));
  re.Split("m/\\\\/", name, 0);
  EXPECT_EQ(Pieces(re), (Strings{"\x95", "\x8E\xA6.txt"}));

  // "\C" could end a part inside a character, so "k" refuses it.
  EXPECT_NE(ErrorOf([&] { re.Match("m/\\C/k", "a"); }), "(nothing raised)");
}

}  // namespace
}  // namespace orv
