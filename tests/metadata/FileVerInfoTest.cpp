// The version resource reader on generated PE images: block choice by translation
// and language, key lookup, text conversion, reloads, damaged blocks, and the
// builder's step.
#include "metadata/FileVerInfo.h"

#include "PeTestImage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace orv {
namespace {

using test::TStringTable;
using test::TVersionNode;

constexpr uint16_t kJapanese = 0x0411;
constexpr uint16_t kEnglish = 0x0409;

// All ten keys with distinct values, so a getter reading the wrong key shows.
TStringTable EnglishTable() {
  return {u"040904B0",
          {{u"CompanyName", u"Orvantis Labs"},
           {u"FileDescription", u"Listing tool"},
           {u"FileVersion", u"1.36.0.0"},
           {u"InternalName", u"orvantis"},
           {u"LegalCopyright", u"(C) 2024"},
           {u"LegalTrademarks", u"TM"},
           {u"OriginalFilename", u"orvantis.exe"},  // lower-case n, as resources usually spell it
           {u"ProductName", u"Orvantis"},
           {u"ProductVersion", u"1.36"},
           {u"Comments", u"none"}}};
}

TStringTable JapaneseTable() {
  // The second character of 表 is 0x5C in CP932; Thai has no CP932 form.
  return {u"041104B0",
          {{u"CompanyName", u"日本語表示"}, {u"FileVersion", u"1.36.0.0"}, {u"Comments", u"A\u0E01B"}}};
}

std::vector<std::string> TenValues(const TFileVerInfo& info) {
  return {info.CompanyName(),    info.FileDescription(), info.FileVersion(), info.InternalName(),
          info.LegalCopyright(), info.LegalTrademarks(), info.OriginalFileName(), info.ProductName(),
          info.ProductVersion(), info.Comments()};
}

bool AllEmpty(const TFileVerInfo& info) {
  for (const std::string& value : TenValues(info)) {
    if (!value.empty()) return false;
  }
  return true;
}

TEST(FileVerInfoTest, FilesWithoutVersionInfo) {
  test::TTempDir dir;
  const std::string program =
      dir.WriteFile("a.exe", test::BuildVersionImage(test::VersionInfo({EnglishTable()}, {{kEnglish, 0x04B0}})));
  const std::string fifo = dir / "fifo";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  const std::string noVersion =
      dir.WriteFile("icons.dll", test::BuildPeImage({test::TPeResource{14, 1, u"", kEnglish, "group"}}));

  TFileVerInfo info(kJapanese);
  // Each case follows a file that has information, so stale values would show.
  for (const std::string& path : {dir.WriteFile("readme.txt", "plain text, long enough to be read\r\n"),
                                  dir.WriteFile("stub.exe", "MZ"), noVersion, fifo, dir.Path(), dir / "missing"}) {
    info.SetFileName(program);
    ASSERT_TRUE(info.HasVersionInfo());
    info.SetFileName(path);
    EXPECT_EQ(info.FileName(), path);
    EXPECT_FALSE(info.HasVersionInfo()) << path;
    EXPECT_TRUE(AllEmpty(info)) << path;
    EXPECT_EQ(info.Translation(), "") << path;
    EXPECT_EQ(info.QueryValue("\\"), "") << path;
  }
}

TEST(FileVerInfoTest, TranslationChoosesTheStringBlock) {
  test::TTempDir dir;
  const auto image = [&](const std::vector<std::pair<uint16_t, uint16_t>>& translations, bool pe32Plus) {
    return dir.WriteFile(pe32Plus ? "64.exe" : "32.exe",
                         test::BuildVersionImage(test::VersionInfo({EnglishTable(), JapaneseTable()}, translations),
                                                 pe32Plus));
  };
  for (bool pe32Plus : {false, true}) {
    SCOPED_TRACE(pe32Plus ? "PE32+" : "PE32");
    TFileVerInfo japaneseUser(kJapanese);
    // Only the English entry: a Japanese user reads the English block.
    japaneseUser.SetFileName(image({{kEnglish, 0x04B0}}, pe32Plus));
    EXPECT_EQ(japaneseUser.Translation(), "040904B0");
    EXPECT_EQ(japaneseUser.CompanyName(), "Orvantis Labs");

    // A second entry in the user's language wins over the first.
    const std::string both = image({{kEnglish, 0x04B0}, {kJapanese, 0x04B0}}, pe32Plus);
    japaneseUser.SetFileName(both);
    EXPECT_EQ(japaneseUser.Translation(), "041104B0");
    EXPECT_EQ(japaneseUser.CompanyName(), "\x93\xFA\x96\x7B\x8C\xEA\x95\x5C\x8E\xA6");
    EXPECT_EQ(japaneseUser.ProductName(), "");  // missing from that block, no fallback to the other

    // A user whose language has no entry gets the first entry.
    TFileVerInfo germanUser(0x0407);
    germanUser.SetFileName(both);
    EXPECT_EQ(germanUser.Translation(), "040904B0");
    germanUser.SetUserLanguageId(kJapanese);
    EXPECT_EQ(germanUser.Translation(), "041104B0");

    // Strings but no translation table: no block is read at all, although the strings
    // are there under their own path.
    japaneseUser.SetFileName(image({}, pe32Plus));
    EXPECT_TRUE(japaneseUser.HasVersionInfo());
    EXPECT_EQ(japaneseUser.Translation(), "");
    EXPECT_TRUE(AllEmpty(japaneseUser));
    EXPECT_EQ(japaneseUser.StringValue("CompanyName"), "");
    EXPECT_EQ(japaneseUser.QueryValue("\\StringFileInfo\\040904B0\\CompanyName"), "Orvantis Labs");
  }

  // Code pages other than Unicode are named as stored, in upper-case hex.
  TFileVerInfo info(kEnglish);
  info.LoadResource(test::EncodeVersionNode(test::VersionInfo({}, {{0x0c0a, 0x04e4}})));
  EXPECT_EQ(info.Translation(), "0C0A04E4");
}

TEST(FileVerInfoTest, ValuesKeysAndText) {
  TStringTable table = EnglishTable();
  table.Strings.push_back({u"Cut", std::u16string(u"abc\0def", 7)});
  TFileVerInfo info(kEnglish);
  info.LoadImage(test::BuildVersionImage(test::VersionInfo({table, JapaneseTable()}, {{kEnglish, 0x04B0}})));
  ASSERT_TRUE(info.HasVersionInfo());
  EXPECT_EQ(TenValues(info), (std::vector<std::string>{"Orvantis Labs", "Listing tool", "1.36.0.0", "orvantis",
                                                       "(C) 2024", "TM", "orvantis.exe", "Orvantis", "1.36", "none"}));

  // Keys and block names match without regard to case; empty path parts are passed over.
  EXPECT_EQ(info.StringValue("companyNAME"), "Orvantis Labs");
  EXPECT_EQ(info.QueryValue("\\stringfileinfo\\040904b0\\FileVersion"), "1.36.0.0");
  EXPECT_EQ(info.QueryValue("StringFileInfo\\\\040904B0\\FileVersion\\"), "1.36.0.0");
  EXPECT_EQ(info.StringValue("CompanyNam"), "");
  EXPECT_EQ(info.StringValue("CompanyName2"), "");
  EXPECT_EQ(info.StringValue("Cut"), "abc");
  // The outer block's value is the binary fixed information, up to its first zero byte.
  EXPECT_EQ(info.QueryValue("\\"), "\xBD\x04\xEF\xFE");
  // A character CP932 cannot hold reads as "?".
  EXPECT_EQ(info.QueryValue("\\StringFileInfo\\041104B0\\Comments"), "A?B");

  // Some tools write a text value's length in bytes rather than characters.
  TVersionNode root = test::VersionInfo({}, {{kEnglish, 0x04B0}});
  TVersionNode block{u"040904B0", 1, "", -1, {}};
  block.Children.push_back(TVersionNode{u"FileVersion", 1, test::Utf16Bytes(u"2.0"), 8, {}});
  block.Children.push_back(test::TextNode(u"ProductName", u"After"));
  root.Children[0].Children.push_back(block);
  info.LoadResource(test::EncodeVersionNode(root));
  EXPECT_EQ(info.FileVersion(), "2.0");
  EXPECT_EQ(info.ProductName(), "After");
}

TEST(FileVerInfoTest, ReloadsReplaceEverything) {
  test::TTempDir dir;
  const std::string first = dir.WriteFile(
      "first.dll", test::BuildVersionImage(test::VersionInfo({EnglishTable()}, {{kEnglish, 0x04B0}}), true));
  const std::string second = dir.WriteFile(
      "second.dll",
      test::BuildVersionImage(test::VersionInfo({JapaneseTable()}, {{kJapanese, 0x04B0}})));

  TFileVerInfo info(kJapanese);
  info.SetFileName(first);
  const std::vector<std::string> expected = TenValues(info);
  EXPECT_EQ(expected[0], "Orvantis Labs");
  info.SetFileName(first);
  EXPECT_TRUE(info.HasVersionInfo());
  EXPECT_EQ(TenValues(info), expected);

  info.SetFileName(second);
  EXPECT_EQ(info.Translation(), "041104B0");
  EXPECT_EQ(info.FileDescription(), "");  // the first file's value must not survive
  EXPECT_EQ(info.FileVersion(), "1.36.0.0");
  info.SetFileName(first);
  EXPECT_EQ(info.Translation(), "040904B0");
  EXPECT_EQ(TenValues(info), expected);
}

TEST(FileVerInfoTest, ResourceInTheUsersLanguage) {
  const auto block = [](uint16_t language, std::u16string company) {
    std::u16string blockName;
    for (int shift = 12; shift >= 0; shift -= 4) blockName += u"0123456789ABCDEF"[(language >> shift) & 0xF];
    blockName += u"04B0";
    return test::TPeResource{
        16, 1, u"", language,
        test::EncodeVersionNode(test::VersionInfo({{blockName, {{u"CompanyName", company}}}}, {{language, 0x04B0}}))};
  };
  const std::vector<test::TPeResource> resources = {block(0x0407, u"de"), block(0x0409, u"en-US"),
                                                    block(0x0411, u"ja"), block(0x0804, u"zh-CN")};
  const std::string image = test::BuildPeImage(resources);
  const auto companyFor = [](const std::string& image, uint16_t user) {
    TFileVerInfo info(user);
    info.LoadImage(image);
    return info.CompanyName();
  };
  EXPECT_EQ(companyFor(image, 0x0411), "ja");
  EXPECT_EQ(companyFor(image, 0x1004), "zh-CN");  // Chinese (Singapore): same primary language
  EXPECT_EQ(companyFor(image, 0x0809), "en-US");  // English (UK)
  EXPECT_EQ(companyFor(image, 0x040C), "en-US");  // French: none, so US English
  std::vector<test::TPeResource> withNeutral = resources;
  withNeutral.push_back(block(0x0000, u"neutral"));
  EXPECT_EQ(companyFor(test::BuildPeImage(withNeutral), 0x040C), "neutral");
  EXPECT_EQ(companyFor(test::BuildPeImage({resources[2], resources[0]}), 0x040C), "de");  // first in the directory
}

TEST(FileVerInfoTest, DamagedVersionBlocksYieldNothing) {
  const std::string good = test::EncodeVersionNode(test::VersionInfo({EnglishTable()}, {{kEnglish, 0x04B0}}));
  const auto keyAt = [&](std::u16string_view key) {
    std::string bytes = test::Utf16Bytes(key);
    bytes.resize(bytes.size() - 2);
    const std::size_t at = good.find(bytes);
    EXPECT_NE(at, std::string::npos);
    return at == std::string::npos ? 0 : at - 6;  // the node's header precedes its key
  };
  TFileVerInfo info(kEnglish);

  // A string whose length overruns its table: it, and what follows it, cannot be found.
  std::string damaged = good;
  test::Poke16(damaged, keyAt(u"ProductName"), 0x7FF0);
  info.LoadResource(damaged);
  EXPECT_EQ(info.CompanyName(), "Orvantis Labs");
  EXPECT_EQ(info.ProductName(), "");
  EXPECT_EQ(info.Comments(), "");

  // A table overrunning its parent hides every value.
  damaged = good;
  test::Poke16(damaged, keyAt(u"040904B0"), static_cast<uint16_t>(good.size()));
  info.LoadResource(damaged);
  EXPECT_TRUE(AllEmpty(info));

  // A zero length and a key without its terminator end the search.
  damaged = good;
  test::Poke16(damaged, keyAt(u"CompanyName"), 0);
  info.LoadResource(damaged);
  EXPECT_TRUE(AllEmpty(info));
  info.LoadResource(good.substr(0, 6) + std::string("V\0S\0", 4));
  EXPECT_FALSE(info.HasVersionInfo());

  // An outer block longer than the resource, or too short for its header.
  damaged = good;
  test::Poke16(damaged, 0, static_cast<uint16_t>(good.size() + 4));
  info.LoadResource(damaged);
  EXPECT_FALSE(info.HasVersionInfo());
  info.LoadResource(good.substr(0, 5));
  EXPECT_FALSE(info.HasVersionInfo());

  // A translation value shorter than one entry.
  damaged = good;
  test::Poke16(damaged, keyAt(u"Translation") + 2, 3);
  info.LoadResource(damaged);
  EXPECT_EQ(info.Translation(), "");

  // Every single damaged byte: never a crash (the sanitizers watch), and never a value
  // without version information.
  for (std::size_t i = 0; i < good.size(); ++i) {
    for (unsigned char mask : {0xFF, 0x80, 0x01}) {
      damaged = good;
      damaged[i] = static_cast<char>(damaged[i] ^ mask);
      info.LoadResource(damaged);
      const std::vector<std::string> values = TenValues(info);
      if (!info.HasVersionInfo()) {
        EXPECT_EQ(values, std::vector<std::string>(10)) << i;
      }
      EXPECT_LE(info.Translation().size(), 8u);
    }
  }
}

TEST(FileVerInfoTest, BuilderStep) {
  test::TTempDir dir;
  const std::string image = test::BuildVersionImage(test::VersionInfo({EnglishTable()}, {{kEnglish, 0x04B0}}));
  const std::string program = dir.WriteFile("app.exe", image);
  const std::string text = dir.WriteFile("notes.txt", "not a program");
  const auto item = [](const std::string& path, int64_t size) {
    TDataItem record;
    record.SetPath(path, path, false);
    record.Size = size;
    return record;
  };

  RunOptions options;
  TFileVerInfo reader(kJapanese);
  TDataItem entry = item(program, static_cast<int64_t>(image.size()));
  // No version column asked for: the file is not even opened.
  EXPECT_FALSE(ReadVersionStrings(reader, options, entry));
  EXPECT_EQ(reader.FileName(), "");

  // One column is enough for all ten values.
  options.ProductName = true;
  ASSERT_TRUE(ReadVersionStrings(reader, options, entry));
  EXPECT_EQ(entry.Facts().ProductName, "Orvantis");
  EXPECT_EQ(entry.Facts().FileVersion, "1.36.0.0");
  EXPECT_EQ(entry.Facts().OriginalFileName, "orvantis.exe");
  EXPECT_EQ(entry.Facts().Comments, "none");

  // A size of 0 (as the walker saw it) skips the file.
  TDataItem empty = item(program, 0);
  EXPECT_FALSE(ReadVersionStrings(reader, options, empty));
  EXPECT_EQ(empty.Facts().ProductName, "");

  TDataItem plain = item(text, 13);
  EXPECT_FALSE(ReadVersionStrings(reader, options, plain));
  EXPECT_EQ(reader.FileName(), text);
  EXPECT_EQ(plain.Facts().CompanyName, "");
}

}  // namespace
}  // namespace orv
