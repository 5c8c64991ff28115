// Whole listings, produced the way a user produces them: `orvantis TREE OUT` over a
// generated tree, with the columns fixed by the settings file in the home folder, and
// every byte of the result compared with a file kept in tests/run/golden/.
//
// The tree holds what real folders hold and the writers must get right: nested and
// empty folders, "A" beside "a", names with spaces, quotes, commas, &<>#', a line feed,
// a hidden and a read-only file, and a Japanese name whose CP932 bytes end in 0x5C.
// Sizes, contents (so CRC32 values) and modification times are fixed.
//
// The run stamps its listing with the current time ("Generated on ..." in CSV and HTML,
// the generatedatetime attribute in XML) and the driver takes the clock from the
// system, with no way to set it from outside; that one text is replaced by a
// placeholder in both the expected and the written bytes before they are compared.
//
// To rewrite the expected files after an intended change of the output, run
//   ORVANTIS_UPDATE_GOLDEN=1 ctest --test-dir build-test -R GoldenListing
// (through ctest, so LC_ALL=C and TZ=UTC hold as for every test), then read the diff
// of tests/run/golden/ before committing it.
#include "run/RunDriver.h"

#include "metadata/ExifTestImage.h"
#include "metadata/PeTestImage.h"
#include "support/FakeRunHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fcntl.h>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <utility>
#include <vector>

#ifndef ORVANTIS_GOLDEN_DIR
#error "ORVANTIS_GOLDEN_DIR names the folder of the expected listings"
#endif

namespace orv {
namespace {

// Settings every case starts from: size (file count for folders), last update time,
// attributes and CRC32; the result is not opened.
constexpr const char* kSettings =
    "[Item]\r\nFileSize=1\r\nLastUpdateTime=1\r\nAttribute=1\r\nCRC32=1\r\n"
    "[Output]\r\nFileOpen=0\r\n";

bool UpdatingGolden() {
  const char* value = std::getenv("ORVANTIS_UPDATE_GOLDEN");
  return value && std::string(value) == "1";
}

void SetModified(const std::string& path, time_t seconds, long nanoseconds = 0) {
  const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
  ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, AT_SYMLINK_NOFOLLOW), 0) << path;
}

// Replaces the one clock text of a listing with a placeholder; a listing without it,
// or with more than one, is reported.
std::string WithoutClock(std::string text, const std::string& name) {
  int found = 0;
  for (const auto& [head, tail] : {std::pair<std::string, std::string>{"Generated on ", " by "},
                                   std::pair<std::string, std::string>{"generatedatetime=\"", "\""}}) {
    for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
      const std::size_t start = at + head.size();
      const std::size_t end = text.find(tail, start);
      if (end == std::string::npos || end - start > 40) continue;
      text.replace(start, end - start, "(clock)");
      ++found;
    }
  }
  EXPECT_EQ(found, 1) << name << ": the generation time should be stamped exactly once";
  return text;
}

class GoldenListingTest : public ::testing::Test {
protected:
  GoldenListingTest() : m_home(m_dir.MakeDir("home")) {
    m_dir.MakeDir("out");
    MakeTree();
  }

  void MakeTree() {
    const time_t base = 1614834367;  // 2021-03-04 05:06:07 UTC
    const time_t day = 24 * 60 * 60;
    struct TFile {
      const char* Path;
      std::string Contents;
      time_t Modified;
      long Nanoseconds = 0;
    };
    const std::vector<TFile> files = {
        {"A/upper.txt", "ABC", base},
        {"a/lower.txt", "abc", base + 1},
        {"docs/report, final.txt", std::string(1234, 'r'), base + day, 999999999},
        {"docs/sub dir/deep/note.txt", "note\n", base + 2 * day},
        {"with space.txt", "", base + 3 * day},
        {"say \"hi\".txt", "hello world", base + 4 * day},
        {"&<>#'.txt", "amp;", base + 5 * day},
        {"ソ表.txt", "ソ表", base + 6 * day},
        {"line\nfeed.txt", "\r\n", base + 7 * day},
        {".hidden.txt", "h", base + 8 * day},
        {"readonly.txt", std::string(5000, '\0'), base + 9 * day},
    };
    m_dir.MakeDir("tree/empty");
    for (const TFile& file : files) {
      const std::string path = m_dir.WriteFile(std::string("tree/") + file.Path, file.Contents);
      ASSERT_EQ(chmod(path.c_str(), 0644), 0);
      SetModified(path, file.Modified, file.Nanoseconds);
    }
    ASSERT_EQ(chmod((m_dir / "tree/readonly.txt").c_str(), 0444), 0);
    // Folders last, deepest first: creating their entries changed their times.
    const std::vector<std::pair<const char*, time_t>> folders = {
        {"docs/sub dir/deep", base + 10 * day}, {"docs/sub dir", base + 11 * day}, {"docs", base + 12 * day},
        {"empty", base + 13 * day},           {"A", base + 14 * day},            {"a", base + 15 * day},
        {"", base + 16 * day}};
    for (const auto& [folder, modified] : folders) {
      const std::string path = m_dir / (std::string("tree/") + folder);
      ASSERT_EQ(chmod(path.c_str(), 0755), 0);
      SetModified(path, modified);
    }
  }

  // One automatic run, start-up to shut-down, as `orvantis TREE OUT` makes it; returns
  // the bytes of the listing.
  // moreSettings: keys added to section Output; itemSettings: keys added to section
  // Item; sections of their own may follow moreSettings.
  std::string Run(const std::string& outputName, const std::string& moreSettings = "",
                  const std::string& itemSettings = "") {
    std::string settings = kSettings + moreSettings;
    settings.insert(std::string_view(kSettings).find("\r\n") + 2, itemSettings);
    m_dir.WriteFile("home/Orvantis.ini", settings);
    // As installed: the stylesheet sample beside the program.
    m_dir.WriteFile("home/Orvantis.xsl.sample", "<xsl/>");
    test::TFakeRunHost host;
    TRunDriver driver(host);
    driver.Start({m_dir / "tree", m_dir / ("out/" + outputName)});
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
    EXPECT_TRUE(driver.Shutdown());
    EXPECT_TRUE(host.Errors.empty()) << host.Errors.front();
    EXPECT_TRUE(host.Warnings.empty()) << host.Warnings.front();
    EXPECT_TRUE(driver.Notices().empty()) << driver.Notices().front();
    EXPECT_TRUE(host.Opened.empty());
    return test::ReadFileText(m_dir / ("out/" + outputName));
  }

  // Compares the written bytes with the expected file, or rewrites that file.
  void ExpectGolden(const std::string& goldenName, const std::string& written) {
    const std::string golden = std::string(ORVANTIS_GOLDEN_DIR) + "/" + goldenName;
    if (UpdatingGolden()) {
      std::ofstream out(golden, std::ios::binary | std::ios::trunc);
      out.write(written.data(), static_cast<std::streamsize>(written.size()));
      ASSERT_TRUE(out.good()) << "cannot write " << golden;
      std::cout << "rewrote " << golden << " (" << written.size() << " bytes)\n";
      return;
    }
    const std::string expected = test::ReadFileText(golden);
    ASSERT_FALSE(expected.empty()) << golden << " is missing; ORVANTIS_UPDATE_GOLDEN=1 writes it";
    EXPECT_EQ(WithoutClock(written, goldenName), WithoutClock(expected, goldenName))
        << goldenName << " differs from what the run wrote";
  }

  test::TTempDir m_dir;
  test::TScopedHome m_home;
};

TEST_F(GoldenListingTest, Csv) { ExpectGolden("listing.csv", Run("listing.csv")); }

TEST_F(GoldenListingTest, HtmlTreeAndTable) {
  ExpectGolden("listing.html", Run("listing.html"));  // the tree layout, the default
  ExpectGolden("listing-table.html", Run("listing-table.html", "HtmlFormat=0\r\n"));
}

TEST_F(GoldenListingTest, Xml) { ExpectGolden("listing.xml", Run("listing.xml")); }

}  // namespace
}  // namespace orv

namespace orv {
namespace {

// Every column that reads contents, then filters with a depth limit, then directories
// only: the bytes do not depend on how many threads read the tree and the files.
TEST_F(GoldenListingTest, OneThreadOrManyWriteTheSameBytes) {
  m_dir.WriteFile("tree/docs/manual.pdf", "%PDF-1.4\n1 0 obj\n<< /Type /Pages /Count 3 >>\nendobj\n");
  test::TExifTestImage exif(false);
  exif.Add(test::TestIfd0, 271, 2, 6, std::string("Canon\0", 6));
  m_dir.WriteFile("tree/docs/sub dir/photo.jpg", test::ExifJpeg(exif.Tiff()));
  m_dir.WriteFile("tree/A/tool.exe", test::BuildVersionImage(test::VersionInfo(
                                         {{u"040904B0", {{u"CompanyName", u"Orvantis Test"}}}}, {{0x0409, 0x04B0}})));
  for (int i = 0; i < 50; ++i) m_dir.WriteFile("tree/many/f" + std::to_string(i) + ".txt", std::string(i, 'x'));
  m_dir.WriteFile("home/alias.ini", "[alias]\r\nreadonly.txt=Read only\r\n");
  const std::string items =
      "MD5=1\r\nSHA1=1\r\nFileVersion=1\r\nCompanyName=1\r\nProductName=1\r\nPdfFileVersion=1\r\n"
      "PdfPageCount=1\r\nExifMake=1\r\nExifImageWidth=1\r\nExifImageLength=1\r\n";
  const std::string everyColumn = "EnableAlias=1\r\n";
  const std::string filtered =
      "[Search]\r\nExtensionFilter=1\r\nExtensions=txt,pdf\r\nEnableTreeLevel=1\r\nTreeLevel=1\r\n";
  const std::string directoriesOnly = "[Search]\r\nDirectoryOnly=1\r\n";
  for (const std::string& settings : {everyColumn, filtered, directoriesOnly}) {
    std::string serial;
    {
      test::TScopedVariable threads("ORVANTIS_THREADS", "1");
      serial = WithoutClock(Run("serial.csv", settings, items), "serial.csv");
    }
    test::TScopedVariable threads("ORVANTIS_THREADS", "4");
    EXPECT_EQ(WithoutClock(Run("threads.csv", settings, items), "threads.csv"), serial) << settings;
    if (settings == everyColumn) {
      // The content columns are there to compare.
      for (const char* fact : {"1.4", "Canon", "Orvantis Test", "Read only", "902fbdd2b1df0c4f70b4a5d23525e932"}) {
        EXPECT_NE(serial.find(fact), std::string::npos) << fact;
      }
    }
  }
}

}  // namespace
}  // namespace orv
