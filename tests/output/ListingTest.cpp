// CSV and HTML listings: the worked examples byte for byte, row colours, links,
// aliases, empty folders, the stop, a failed save and hostile names.
#include "core/ProductInfo.h"
#include "output/HtmlWriter.h"
#include "output/Listing.h"
#include "platform/OSError.h"
#include "ListingFixture.h"

#include <gtest/gtest.h>

namespace orv {
namespace {

using test::CrLfLines;
using test::Sjis;
using test::TListingRun;

// The example tree: alias.ini (120 bytes) and icons/files.ico (1078 bytes).
void AddExample(TListingRun& run) {
  run.Add("alias.ini", 120);
  run.Add("icons/");
  run.Add("icons/files.ico", 1078);
  run.Prepare();
}

// Splits CSV text into records of fields (RFC 4180 quoting, CR LF records).
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
  bool quoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted && c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
      records.back().back() += '"';
      ++i;
    } else if (c == '"') {
      quoted = !quoted;
    } else if (!quoted && c == ',') {
      records.back().emplace_back();
    } else if (!quoted && c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      records.emplace_back(1);
      ++i;
    } else {
      records.back().back() += c;
    }
  }
  return records;
}

TEST(CsvListing, WorkedExampleAndEmptyTarget) {
  TListingRun run;
  AddExample(run);
  ASSERT_TRUE(WriteListing(run.Context()));
  EXPECT_EQ(run.Written(), CrLfLines({"総ファイルサイズ,,1198", "総ファイル数,,2", "総ディレクトリ数,,1", "",
                                      "パス,ファイル名,サイズ(ファイル数)", R"~("./","icons","DIR(1)")~",
                                      R"("./icons/","files.ico","1078")", R"("./","alias.ini","120")", "",
                                      "Generated on 2024/05/06 at 7:08:09 by Orvantis ver1.36", ""}));
  for (std::size_t i = 0; i < run.Lists.FileList.Count(); ++i) {
    EXPECT_TRUE(run.Lists.FileList.Items(i).Written);
  }
  EXPECT_EQ(run.Host.Statuses.back(), Sjis("検索結果をファイルに出力しています(3/3)"));

  TListingRun empty;
  ASSERT_TRUE(WriteListing(empty.Context()));
  EXPECT_EQ(empty.Written(), CrLfLines({"総ファイルサイズ,,0", "総ファイル数,,0", "総ディレクトリ数,,0", "",
                                        "パス,ファイル名,サイズ(ファイル数)", "",
                                        "Generated on 2024/05/06 at 7:08:09 by Orvantis ver1.36", ""}));
}

TEST(CsvListing, OptionalColumnsAliasesAndAbsolutePaths) {
  TListingRun run;
  run.Options.PathMode = 1;
  run.Options.EnableAlias = true;
  run.Options.PdfPageCount = run.Options.ExifImageWidth = run.Options.Comments = true;
  run.Add("a.PDF", 5).MutableFacts().PdfPageCount = 0;
  TDataItem& photo = run.Add("sub/p.jpg", 7);
  photo.MutableFacts().Alias = Sjis("写真");
  photo.MutableFacts().ExifImageWidth = 640;
  photo.MutableFacts().Comments = "say \"hi\"";
  run.Add("sub/");
  run.Add("empty/");
  run.Prepare();
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string text = run.Written();
  EXPECT_NE(text.find(R"~("/t/","empty","DIR(0)","",,)~"), std::string::npos) << text;
  EXPECT_NE(text.find(Sjis(R"("./sub/","写真","7","say ""hi""",,"640")")), std::string::npos);
  EXPECT_NE(text.find(R"("/t/","a.PDF","5","","0",)"), std::string::npos);

  // The empty folder is counted in the header but has no row.
  TListingRun skip;
  skip.Options.IgnoreEmptyDir = true;
  skip.Add("empty/");
  skip.Add("empty/deeper/");
  skip.Add("full/");
  skip.Add("full/f.txt", 1);
  skip.Prepare();
  ASSERT_TRUE(WriteListing(skip.Context()));
  const std::string skipped = skip.Written();
  EXPECT_NE(skipped.find(Sjis("総ディレクトリ数,,3\r\n")), std::string::npos);
  EXPECT_EQ(skipped.find("empty"), std::string::npos);
  EXPECT_NE(skipped.find(R"("./full/","f.txt","1")"), std::string::npos);
}

TEST(CsvListing, TextThatStartsAFormulaIsShownAsText) {
  TListingRun run;
  run.Options.Comments = run.Options.ExifImageWidth = run.Options.EnableAlias = true;
  run.Add("=1+2.csv", 3).MutableFacts().Comments = "@SUM(A1)";
  run.Add("plain.txt", 4).MutableFacts().ExifImageWidth = -5;
  run.Add("-foo.txt", 5).MutableFacts().Alias = "+alias";
  run.Add("\tx", 6).MutableFacts().Comments = "-1";
  run.Prepare();
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string text = run.Written();
  EXPECT_NE(text.find("\r\n\"./\",\"'=1+2.csv\",\"3\",\"'@SUM(A1)\",\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\r\n\"./\",\"plain.txt\",\"4\",\"\",\"-5\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n\"./\",\"'+alias\",\"5\",\"\",\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\n\"./\",\"'\tx\",\"6\",\"'-1\",\r\n"), std::string::npos);
}

TEST(HtmlListing, WorkedExampleTableFormat) {
  TListingRun run("list.html");
  run.Options.FileType = FileTypeHtml;
  run.Options.HtmlFormat = 0;
  AddExample(run);
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string footer = std::string("<p><font color=\"white\">Generated on 2024/05/06 at 7:08:09 by <a href=\"") +
                             MakerHomePageUrl + "\">Orvantis ver1.36</a></font></p>";
  EXPECT_EQ(run.Written(),
            CrLfLines({R"(<!DOCTYPE HTML PUBLIC "-//W3C//DTD HTML 4.01 Frameset//EN" "http://www.w3.org/TR/html4/frameset.dtd">)",
                       "<html>", "<head>", R"(<meta http-equiv="Content-Type" content="text/html; charset=shift_jis">)",
                       R"(<meta name="GENERATOR" content="Orvantis ver1.36">)",
                       "<title>The file table generated by Orvantis</title>", "</head>",
                       R"(<body bgcolor="black"><font color="white">)", "総ファイルサイズ : 1,198<br>",
                       "総ファイル数 : 2<br>", "総ディレクトリ数 : 1<br>", R"(<font color="black">)",
                       R"(<table border="1" cellspacing="1" cellpadding="1">)", R"(<tr align="center" bgcolor="#fef98b">)",
                       "<td nowrap>パス</td><td nowrap>ファイル名</td><td nowrap>サイズ(ファイル数)</td>", "</tr>", "",
                       R"(<tr bgcolor="#cbfee9">)", "<td nowrap>./　</td>", "<td nowrap>icons　</td>",
                       R"(<td nowrap align="right">1　</td>)", "</tr>", "", R"(<tr bgcolor="#ffffee">)",
                       "<td nowrap>./icons/　</td>", "<td nowrap>files.ico　</td>",
                       R"(<td nowrap align="right">1,078　</td>)", "</tr>", "", R"(<tr bgcolor="#ffeeff">)",
                       "<td nowrap>./　</td>", "<td nowrap>alias.ini　</td>", R"(<td nowrap align="right">120　</td>)",
                       "</tr>", "", "</table></font></font>", footer, "</body>", "</html>", ""}));
}

TEST(HtmlListing, TreeFormatIconsLinksAliasesAndColours) {
  TListingRun run("list.html");
  run.Options.FileType = FileTypeHtml;
  run.Options.HyperLink = run.Options.OutputIconFile = run.Options.EnableAlias = true;
  run.Options.Attribute = true;
  run.Options.FileSize = false;
  run.Options.HtmlTitle = "A<B & C";
  run.Add("d/");
  run.Add("d/e/");
  run.Add("d/e/x#1.txt").MutableFacts().Alias = "shown";
  run.Add("a.exe");
  run.Add("b.txt").IsReadOnly = true;
  run.Prepare();
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string text = run.Written();
  EXPECT_NE(text.find("<title>A&lt;B &amp; C</title>"), std::string::npos);
  const std::string indent2 = "\x81\x40\x81\x40\x81\x40\x81\x40";
  EXPECT_NE(text.find("<td nowrap>" + indent2 +
                      R"(<img src="./icons/txt.ico" width="16" height="16"><a href="./d/e/x%231.txt">shown</a>)"
                      "\x81\x40</td>"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find(R"(<td nowrap><img src="./icons/a.exe.ico" width="16" height="16"><a href="./a.exe">a.exe</a>)"),
            std::string::npos);
  EXPECT_NE(text.find("<td nowrap align=\"center\">\x81\x40R\x81\x40</td>"), std::string::npos);
  EXPECT_NE(text.find("<td nowrap align=\"center\">\x81\x40\x81\x40</td>"), std::string::npos);
  // Directory rows count too: d, e, x (counter 2), a (3), b (4).
  std::vector<std::string> colours;
  for (std::size_t at = text.find("<tr bgcolor="); at != std::string::npos; at = text.find("<tr bgcolor=", at + 1)) {
    colours.push_back(text.substr(at + 13, 7));
  }
  EXPECT_EQ(colours, (std::vector<std::string>{"#cbfee9", "#cbfee9", "#ffeeff", "#ffffee", "#ffeeff"}));

  run.Options.PathMode = 1;
  ASSERT_TRUE(WriteListing(run.Context()));
  EXPECT_NE(run.Written().find(R"(<a href="file:///t/d/e/x%231.txt">)"), std::string::npos);
}

TEST(HtmlListing, LinksFromTheOutputFileOpenJapaneseAndUnconvertibleNames) {
  TListingRun run("list.html");
  run.Options.FileType = FileTypeHtml;
  run.Options.HyperLink = true;
  run.Options.LinkPathMode = LinkPathToOutput;
  run.Add("写真/");
  run.Add("写真/深い/");
  run.Add("写真/深い/x.txt");
  run.Add("写真/ソ表.txt");
  // A name CP932 cannot hold: its text shows "?", its link must open the real file.
  run.Add("写真/😀.txt").SetPath(run.Target.Text + Sjis("写真/😀.txt"), "/t/写真/😀.txt", false);
  run.Prepare();
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string text = run.Written();
  const std::string photos = "t/%E5%86%99%E7%9C%9F/";
  for (const std::string& link : {photos + "%E6%B7%B1%E3%81%84/x.txt", photos + "%E3%82%BD%E8%A1%A8.txt",
                                 photos + "%F0%9F%98%80.txt"}) {
    const std::size_t at = text.find(link + "\">");
    ASSERT_NE(at, std::string::npos) << link << "\n" << text;
    const std::size_t start = text.rfind("href=\"", at) + 6;
    EXPECT_TRUE(text.compare(start, 5, "./../") == 0) << text.substr(start, at - start);
  }
}

TEST(Listing, StopStillSavesFooterAndFailuresKeepOldFile) {
  TListingRun run;
  for (int i = 0; i < 20; ++i) run.Add("f" + std::to_string(i) + ".txt", i);
  run.Prepare();
  run.PumpsBeforeStop = 5;
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string text = run.Written();
  EXPECT_EQ(ParseCsv(text).size(), 5u + 5u + 4u);  // header 5, rows 5, footer 3 and the end
  EXPECT_TRUE(text.ends_with(" by Orvantis ver1.36\r\n\r\n"));

  // A failure in the middle of the walk leaves the earlier listing as it was.
  struct TFailingHost : test::TFakeRunHost {
    void ShowStatus(const std::string&) override { throw EOSError("disk full", 28); }
  } failing;
  TListingContext context = run.Context();
  TListingContext broken{.Options = context.Options, .Lists = context.Lists, .TargetDirectory = context.TargetDirectory,
                         .OutputFile = context.OutputFile, .IconDirectory = context.IconDirectory,
                         .PathSeparator = context.PathSeparator, .ExeDirectory = context.ExeDirectory,
                         .Captions = context.Captions, .Host = failing,
                         .Running = context.Running, .Regional = context.Regional, .Clock = context.Clock};
  run.Running = true;
  EXPECT_THROW(WriteListing(broken), EOSError);
  EXPECT_EQ(run.Written(), text);

  run.Output = TFilePath::FromNative(run.Temp / "missing/list.csv");
  try {
    WriteListing(run.Context());
    ADD_FAILURE() << "no error";
  } catch (const EOSError& error) {
    EXPECT_EQ(error.what(), Sjis("ファイル " + run.Output.Text + " を作成できません"));
  }
}

TEST(Listing, HostileNamesAndFoldersDifferingInCase) {
  const std::vector<std::string> names = {"q\"uote", "com,ma", "new\r\nline", "&<>#'", "ctl\x01", "ソ表"};
  TListingRun run;
  run.Add("A/");
  run.Add("a/");
  for (std::size_t i = 0; i < names.size(); ++i) {
    run.Add((i % 2 ? "A/" : "a/") + names[i], static_cast<int64_t>(i));
  }
  run.Prepare();
  ASSERT_TRUE(WriteListing(run.Context()));
  // Every file exactly once, under its own folder, fields intact.
  std::multiset<std::string> listed;
  for (const auto& record : ParseCsv(run.Written())) {
    if (record.size() == 3 && record[0].starts_with("./")) listed.insert(record[0] + record[1]);
  }
  std::multiset<std::string> expected = {"./A", "./a"};
  for (std::size_t i = 0; i < names.size(); ++i) expected.insert((i % 2 ? "./A/" : "./a/") + Sjis(names[i]));
  EXPECT_EQ(listed, expected);

  run.Options.FileType = FileTypeHtml;
  run.Options.HyperLink = true;
  ASSERT_TRUE(WriteListing(run.Context()));
  const std::string html = run.Written();
  EXPECT_NE(html.find(R"(<a href="./A/%26%3C%3E%23%27">&amp;&lt;&gt;#&#39;</a>)"), std::string::npos);
  EXPECT_NE(html.find("q&quot;uote"), std::string::npos);
  EXPECT_EQ(html.find("q\"uote"), std::string::npos);
}

}  // namespace
}  // namespace orv
