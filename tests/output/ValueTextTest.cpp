// Value texts, escaping, directory texts and captions.
#include "output/Captions.h"
#include "output/DateTimeFormat.h"
#include "output/Escape.h"
#include "output/PathText.h"
#include "output/ValueText.h"
#include "ListingFixture.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::Sjis;

TEST(ValueText, SizesRoundUpAndGroup) {
  EXPECT_EQ(FileSizeText(0, false, 1, ","), "0");
  EXPECT_EQ(FileSizeText(1, false, 1, ","), "1");
  EXPECT_EQ(FileSizeText(1024, false, 1, ","), "1");
  EXPECT_EQ(FileSizeText(1025, false, 1, ","), "2");
  EXPECT_EQ(FileSizeText(1536, true, 1, ","), "2 KB");
  EXPECT_EQ(FileSizeText(1234567, true, 0, ","), "1,234,567");
  EXPECT_EQ(FileSizeText(1234567, false, 0, ","), "1234567");
  EXPECT_EQ(FileSizeText((int64_t{1} << 20) + 1, true, 2, "."), "2 MB");
  // Above 4 GB nothing wraps; the separator is whatever the locale gives.
  EXPECT_EQ(FileSizeText(5'000'000'000, false, 0, ","), "5000000000");
  EXPECT_EQ(FileSizeText(5'000'000'000, true, 0, " "), "5 000 000 000");
  EXPECT_EQ(FileSizeText(5'000'000'000, true, 3, ","), "5 GB");
  EXPECT_EQ(GroupedNumberText(-1234, ","), "-1,234");
  EXPECT_EQ(GroupedNumberText(999, ","), "999");
}

TEST(ValueText, DateTimePictures) {
  TRegionalSettings regional;
  TDateTime afternoon = 0, morning = 0;
  ASSERT_TRUE(EncodeDateTime({2024, 3, 9, 14, 5, 7, 0}, afternoon));
  ASSERT_TRUE(EncodeDateTime({2024, 12, 25, 0, 30, 0, 0}, morning));
  EXPECT_EQ(DateTimeText(afternoon, regional), "2024/03/09 14:05:07");
  // "m" after an hour is minutes, elsewhere the month.
  EXPECT_EQ(FormatDateTime("M/d/yy h:m", afternoon, regional), "3/9/24 14:5");
  EXPECT_EQ(FormatDateTime("hh:mm:ss AMPM", afternoon, regional), "02:05:07 PM");
  EXPECT_EQ(FormatDateTime("h:mm am/pm", morning, regional), "12:30 am");
  EXPECT_EQ(FormatDateTime("dddd, MMMM d", morning, regional), "Wednesday, December 25");
  EXPECT_EQ(FormatDateTime("ddd MMM", afternoon, regional), "Sat Mar");
  EXPECT_EQ(FormatDateTime("'h' \"mm\" HH", afternoon, regional), "h mm 14");
  EXPECT_EQ(FormatDateTime("ddddd", afternoon, regional), "2024/03/09");
  EXPECT_EQ(FormatDateTime("tt", afternoon, regional), "14:05:07");
  EXPECT_EQ(FormatDateTime(Sjis("yyyy年M月d日"), afternoon, regional), Sjis("2024年3月9日"));
  regional.ShortDateFormat = "dd.MM.yyyy";
  regional.LongTimeFormat = "h:mm:ss AMPM";
  EXPECT_EQ(DateTimeText(afternoon, regional), "09.03.2024 2:05:07 PM");
}

TEST(ValueText, AttributesAndIndent) {
  TDataItem item;
  EXPECT_EQ(AttributeText(item), "");
  item.IsReadOnly = item.IsArchive = true;
  EXPECT_EQ(AttributeText(item), "RA");
  item.IsHidden = item.IsSystem = true;
  EXPECT_EQ(AttributeText(item), "RHSA");
  EXPECT_EQ(TreeIndent(2), "\x81\x40\x81\x40\x81\x40\x81\x40");
  EXPECT_EQ(TreeIndent(0), "");
  EXPECT_EQ(TreeIndent(-1), "");
}

TEST(Escape, EachSyntax) {
  EXPECT_EQ(HtmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&#39;f");
  EXPECT_EQ(HtmlEscape("&amp;"), "&amp;amp;");
  EXPECT_EQ(HtmlEscape(Sjis("ソ表\n#")), Sjis("ソ表\n#"));
  // Links are percent-encoded native bytes: nothing can open another file or need HTML escaping.
  EXPECT_EQ(LinkEscape("a#b&c%20?"), "a%23b%26c%2520%3F");
  EXPECT_EQ(LinkEscape("./Az09-._~/x y\r\n\xE3\x82\xBD\xFF"), "./Az09-._~/x%20y%0D%0A%E3%82%BD%FF");
  EXPECT_EQ(CsvQuote("\""), "\"\"\"\"");
  EXPECT_EQ(CsvQuote(""), "\"\"");
  EXPECT_EQ(CsvQuote("a,b\r\nc"), "\"a,b\r\nc\"");
  EXPECT_EQ(XmlEscape("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  EXPECT_EQ(XmlEscape(std::string("t\tl\nc\r\x01\x1f\x7f", 9)), "t\tl\nc\r??\x7f");
  // Bytes at or above 0x20 pass as they are, a lone lead byte too; the quote is still escaped.
  EXPECT_EQ(XmlEscape("ab\x81"), "ab\x81");
  EXPECT_EQ(XmlEscape("\x81\"x"), "\x81&quot;x");
  EXPECT_EQ(XmlEscape(Sjis("ソ")), Sjis("ソ"));
  // In an attribute a parser keeps line breaks only as references.
  std::string attribute;
  AppendXmlAttributeValue(attribute, "a\r\nb\tc");
  EXPECT_EQ(attribute, "a&#13;&#10;b&#9;c");
}

TEST(PathText, ParentsAndRelativePaths) {
  TDataItem file, directory, kana;
  file.SetPath("/t/sub/x.txt", "", false);
  directory.SetPath("/t/sub/", "", true);
  directory.IsDirectory = true;
  kana.SetPath(Sjis("/t/ソ/"), "", true);
  kana.IsDirectory = true;
  EXPECT_EQ(ParentDirectory(file), "/t/sub/");
  EXPECT_EQ(ParentDirectory(directory), "/t/");
  EXPECT_EQ(ParentDirectory(kana), "/t/");
  EXPECT_EQ(SlashSeparators(Sjis("/ソ/"), "\\"), Sjis("\\ソ\\"));

  EXPECT_EQ(RelativePath("/t/", "/t/sub/"), "sub/");
  EXPECT_EQ(RelativePath("/t/", "/t/"), "");
  EXPECT_EQ(RelativePath("/out/list.html", "/t/sub/"), "../t/sub/");
  EXPECT_EQ(RelativePath("/x/A/list.html", "/x/a/f.txt"), "../a/f.txt");  // exact names on Linux
  EXPECT_EQ(RelativeToTarget("/t/sub/", "/t/"), "./sub/");
  EXPECT_EQ(RelativeToTarget("/T/sub/", "/t/"), "./sub/");

  RunOptions options;
  TEntryLocation location = EntryLocation("/t/sub/", options, "/t/", "/out/list.html");
  EXPECT_EQ(location.DisplayDirectory, "./sub/");
  EXPECT_EQ(location.LinkDirectory, "./sub/");
  options.LinkPathMode = 1;
  location = EntryLocation("/t/", options, "/t/", "/out/list.html");
  EXPECT_EQ(location.DisplayDirectory, "./");
  EXPECT_EQ(location.LinkDirectory, "./../t/");
  options.PathMode = 1;
  location = EntryLocation("/t/sub/", options, "/t/", "/out/list.html");
  EXPECT_EQ(location.DisplayDirectory, "/t/sub/");
  EXPECT_EQ(location.LinkDirectory, "/t/sub/");
}

TEST(Captions, DefaultsAndOverrides) {
  test::TTempDir temp;
  TCaption captions;
  LoadCaptions(temp / "caption.ini", captions);
  EXPECT_EQ(captions.Path, Sjis("パス"));
  EXPECT_EQ(captions.FileSize, Sjis("サイズ(ファイル数)"));
  EXPECT_EQ(captions.ExifCopyright, Sjis("撮影/編集著作権者"));
  EXPECT_EQ(captions.ExifUserComment, Sjis("ユーザコメント"));
  EXPECT_EQ(CaptionKeys().size(), 35u);

  temp.WriteFile("caption.ini", Sjis("[Other]\r\nfile_name=X\r\n[Caption]\r\nPath=\r\nmd5=\"Digest\"\r\nfoo=bar\r\n"));
  LoadCaptions(temp / "caption.ini", captions);
  EXPECT_EQ(captions.Path, "");
  EXPECT_EQ(captions.MD5, "Digest");
  EXPECT_EQ(captions.FileName, Sjis("ファイル名"));
}

}  // namespace
}  // namespace orv
