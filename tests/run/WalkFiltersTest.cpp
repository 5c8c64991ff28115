// What a whole walk lists under the scan filters, the attribute rule and the file
// counts, run through the driver over a generated tree.
#include "run/RunDriver.h"

#include "platform/CodePage.h"
#include "support/FakeRunHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orv {
namespace {

class WalkFiltersTest : public ::testing::Test {
protected:
  WalkFiltersTest() : m_home(m_dir.MakeDir("home")) {
    for (const char* file : {"a.JPG", "b.gif", "c.png", "README", "a.txt", "a.txt.bak", "temp", ".hf",
                             "Temp/x.txt", "sub/cvs/y.txt", "sub/deep/z.jpg", "backup/q.png", ".hidden/h.txt"}) {
      m_dir.WriteFile(std::string("t/") + file, "12345");
    }
    m_dir.MakeDir("t/sub/deep/empty");
  }

  // Runs one listing with the options set by adjust; returns the listed directories
  // and files as paths relative to the target, in the order the run sorts them: files
  // grouped by directory.
  std::vector<std::string> Run(const std::function<void(RunOptions&)>& adjust, TRunOutcome expected = TRunOutcome::Written) {
    m_driver = std::make_unique<TRunDriver>(m_host);
    m_driver->Start({m_dir / "t", m_dir / "out.csv"});
    adjust(m_driver->Options);
    EXPECT_EQ(m_driver->RunAutomatic(), expected);
    std::vector<std::string> listed;
    const std::size_t prefix = (m_dir / "t/").size();
    for (std::size_t i = 0; i < m_driver->Lists().DirectoryList.Count(); ++i)
      listed.emplace_back(m_driver->Lists().DirectoryList.Items(i).Path().substr(prefix));
    for (std::size_t i = 0; i < m_driver->Lists().FileList.Count(); ++i)
      listed.emplace_back(m_driver->Lists().FileList.Items(i).Path().substr(prefix));
    return listed;
  }

  int FileCount(const std::string& relative) const {
    const TDataItem* item = m_driver->Lists().DirectoryList.FindPath(m_dir / "t/" + relative);
    return item ? item->FileCount : -1;
  }

  using L = std::vector<std::string>;
  test::TTempDir m_dir;
  test::TScopedHome m_home;
  test::TFakeRunHost m_host;
  std::unique_ptr<TRunDriver> m_driver;
};

TEST_F(WalkFiltersTest, EverythingWithCountsAndTotals) {
  const L all = Run([](RunOptions&) {});
  EXPECT_EQ(all, (L{".hidden/", "backup/", "sub/", "sub/cvs/", "sub/deep/", "sub/deep/empty/", "Temp/", ".hf",
                    "a.JPG", "a.txt", "a.txt.bak", "b.gif", "c.png", "README", "temp", ".hidden/h.txt",
                    "backup/q.png", "sub/cvs/y.txt", "sub/deep/z.jpg", "Temp/x.txt"}));
  EXPECT_EQ(m_driver->Lists().TotalSize, 13 * 5);
  EXPECT_EQ(FileCount("sub/"), 2);
  EXPECT_EQ(FileCount("sub/deep/"), 1);
  EXPECT_EQ(FileCount("sub/deep/empty/"), 0);

  // Only directories: no file listed and no size, but the counts still count.
  EXPECT_EQ(Run([](RunOptions& o) { o.DirectoryOnly = true; }).size(), 7u);
  EXPECT_EQ(m_driver->Lists().TotalSize, 0);
  EXPECT_EQ(FileCount("sub/"), 2);
}

TEST_F(WalkFiltersTest, ExtensionAndPatternFiltersKeepCounts) {
  EXPECT_EQ(Run([](RunOptions& o) {
              o.ExtensionFilter = true;
              o.Extensions = "jpg, GIF";
              o.DirectoryOnly = false;
            }).size(),
            7u + 3u);  // a.JPG, b.gif, sub/deep/z.jpg
  EXPECT_EQ(FileCount("sub/"), 2);  // rejected files still count

  const L text = Run([](RunOptions& o) {
    o.RegExp = true;
    o.RegExpText = "m/txt$/";
  });
  EXPECT_EQ(L(text.begin() + 7, text.end()), (L{"a.txt", ".hidden/h.txt", "sub/cvs/y.txt", "Temp/x.txt"}));

  const L backup = Run([](RunOptions& o) {
    o.RegExp = true;
    o.RegExpText = "m/backup/";
  });
  EXPECT_EQ(L(backup.begin() + 7, backup.end()), (L{"backup/q.png"}));
}

TEST_F(WalkFiltersTest, IgnoredNamesDepthAndHiddenEntries) {
  const L ignored = Run([](RunOptions& o) {
    o.IgnoreDir = true;
    o.IgnoreDirs = "temp, CVS";
  });
  EXPECT_EQ(std::count(ignored.begin(), ignored.end(), "Temp/"), 0);
  EXPECT_EQ(std::count(ignored.begin(), ignored.end(), "sub/cvs/"), 0);
  EXPECT_EQ(std::count(ignored.begin(), ignored.end(), "Temp/x.txt"), 0);
  EXPECT_EQ(std::count(ignored.begin(), ignored.end(), "temp"), 1);  // a file named temp

  // A trailing comma adds an empty name, which the target presents: nothing is walked.
  EXPECT_EQ(Run([](RunOptions& o) {
              o.IgnoreDir = true;
              o.IgnoreDirs = "tmp,";
            }),
            L{});

  const L level0 = Run([](RunOptions& o) {
    o.EnableTreeLevel = true;
    o.TreeLevel = 0;
  });
  EXPECT_EQ(level0.size(), 4u + 8u);  // the four directories of the target, its eight files
  EXPECT_EQ(FileCount("sub/"), 0);

  const L level1 = Run([](RunOptions& o) {
    o.EnableTreeLevel = true;
    o.TreeLevel = 1;
  });
  EXPECT_EQ(std::count(level1.begin(), level1.end(), "sub/deep/"), 1);        // listed as an entry
  EXPECT_EQ(std::count(level1.begin(), level1.end(), "sub/deep/z.jpg"), 0);   // but not entered

  const L visible = Run([](RunOptions& o) { o.IgnoreHiddenAttribute = true; });
  EXPECT_EQ(std::count(visible.begin(), visible.end(), ".hidden/"), 0);
  EXPECT_EQ(std::count(visible.begin(), visible.end(), ".hidden/h.txt"), 0);
  EXPECT_EQ(std::count(visible.begin(), visible.end(), ".hf"), 0);
}

TEST_F(WalkFiltersTest, ABadPatternIsRefusedBeforeAnyWalk) {
  EXPECT_EQ(Run(
                [](RunOptions& o) {
                  o.RegExp = true;
                  o.RegExpText = "m/[unclosed/";
                },
                TRunOutcome::NotStarted),
            L{});
  ASSERT_EQ(m_host.Warnings.size(), 1u);
  EXPECT_EQ(m_host.Warnings[0].rfind(Utf8ToAnsi("正規表現の指定方法が正しくありません。\r\n"), 0), 0u);
  EXPECT_NE(m_host.Warnings[0].find("PCRE2"), std::string::npos);
  EXPECT_EQ(m_driver->EntriesWalked(), 0);
}

class TOneColourIcons : public TIconSource {
public:
  bool SmallIcon(const std::string&, bool, TIconImage& icon) override {
    ++Asked;
    icon.Width = icon.Height = 16;
    icon.Pixels.assign(16 * 16, 0xFF00FF00u);
    return true;
  }
  int Asked = 0;
};

TEST_F(WalkFiltersTest, IconsComeFromEveryWalkedEntryOnce) {
  TOneColourIcons icons;
  m_dir.MakeDir("icons");
  m_dir.WriteFile("icons/gif.ico", "kept");
  m_driver = std::make_unique<TRunDriver>(m_host);
  m_driver->SetIconSource(&icons);
  m_driver->Start({m_dir / "t", m_dir / "out.html"});
  m_driver->Options.OutputIconFile = true;
  m_driver->Options.ExtensionFilter = true;
  m_driver->Options.Extensions = "jpg";
  ASSERT_EQ(m_driver->RunAutomatic(), TRunOutcome::Written);
  // A .txt file is not listed, but it still provides txt.ico; an icon file that exists
  // is never replaced.
  EXPECT_EQ(test::ReadFileText(m_dir / "icons/txt.ico").size(), 6u + 16u + 40u + 16 * 16 * 4 + 16 * 4);
  EXPECT_FALSE(test::ReadFileText(m_dir / "icons/files.ico").empty());
  EXPECT_FALSE(test::ReadFileText(m_dir / "icons/noext.ico").empty());  // README, temp
  EXPECT_EQ(test::ReadFileText(m_dir / "icons/gif.ico"), "kept");
  // files.ico, .ico, JPG.ico, jpg.ico, txt.ico, png.ico, bak.ico, .hf's "hf.ico".
  EXPECT_EQ(icons.Asked, 8);
}

TEST_F(WalkFiltersTest, AliasesAndStatusTexts) {
  m_dir.WriteFile("home/alias.ini", "[alias]\r\nReadme=Notice\r\nreadme=Second\r\n");
  Run([](RunOptions& o) { o.EnableAlias = true; });
  const TDataList& files = m_driver->Lists().FileList;
  for (std::size_t i = 0; i < files.Count(); ++i) {
    EXPECT_EQ(files.Items(i).Facts().Alias, files.Items(i).Name() == "README" ? "Notice" : "");
  }
  EXPECT_NE(std::find(m_host.Statuses.begin(), m_host.Statuses.end(), "./sub/deep/z.jpg"), m_host.Statuses.end());

  Run([](RunOptions& o) { o.PathMode = 1; });
  EXPECT_NE(std::find(m_host.Statuses.begin(), m_host.Statuses.end(), m_dir / "t/sub/deep/z.jpg"),
            m_host.Statuses.end());
}

}  // namespace
}  // namespace orv
