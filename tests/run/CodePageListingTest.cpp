// Listings of names from anywhere, in both code pages, made as a user makes them: an
// automatic run over a generated tree. Under UTF-8 every name comes back exactly (a
// name that is not UTF-8 with U+FFFD), and under both code pages every link opens the
// entry it names and two folders whose names show alike keep their own files.
#include "run/RunDriver.h"

#include "support/FakeRunHost.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace orv {
namespace {

// Names a holiday folder, a download folder or a copied disk may hold.
const std::vector<std::string> kNames = {
    "Café.txt", "Müller.txt", "日本語.txt", "한국어.txt", "%41.txt", "#1.txt", "what?.txt", "a&b.txt",
    "two  spaces.txt", "line\r\nbreak.txt", "bad\xFFname.txt"};

// The CSV's records, fields unquoted: "" inside quotes is one quote, and a quoted
// field may hold line breaks.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text) {
  std::vector<std::vector<std::string>> rows(1);
  std::string field;
  bool quoted = false, wasQuoted = false;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (quoted) {
      if (c == '"' && i + 1 < text.size() && text[i + 1] == '"') {
        field += '"';
        ++i;
      } else if (c == '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c == '"') {
      quoted = wasQuoted = true;
    } else if (c == ',') {
      rows.back().push_back(field);
      field.clear();
    } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
      rows.back().push_back(field);
      field.clear();
      rows.emplace_back();
      ++i;
    } else {
      field += c;
    }
  }
  (void)wasQuoted;
  return rows;
}

std::string PercentDecoded(const std::string& link) {
  std::string bytes;
  for (std::size_t i = 0; i < link.size(); ++i) {
    if (link[i] == '%' && i + 2 < link.size()) {
      bytes += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
      i += 2;
    } else {
      bytes += link[i];
    }
  }
  return bytes;
}

// Every value of attribute="..." in text.
std::vector<std::string> AttributeValues(const std::string& text, const std::string& attribute) {
  std::vector<std::string> values;
  const std::string head = attribute + "=\"";
  for (std::size_t at = text.find(head); at != std::string::npos; at = text.find(head, at + 1)) {
    const std::size_t start = at + head.size();
    values.push_back(text.substr(start, text.find('"', start) - start));
  }
  return values;
}

class CodePageListingTest : public ::testing::Test {
protected:
  CodePageListingTest() : m_home(m_dir.MakeDir("home")) {
    m_dir.MakeDir("out");
    for (const std::string& name : kNames) m_dir.WriteFile("tree/" + name, "x");
    // Two folders that CP932 shows alike ("?"), each with a file of its own.
    m_dir.WriteFile("tree/\xF0\x9F\x98\x80/grin.txt", "1");
    m_dir.WriteFile("tree/\xF0\x9F\x98\x81/beam.txt", "22");
  }

  std::string Run(const std::string& outputName, int textEncoding) {
    m_dir.WriteFile("home/Orvantis.ini", "[Output]\r\nFileOpen=0\r\nTextEncoding=" + std::to_string(textEncoding) +
                                             "\r\n");
    test::TFakeRunHost host;
    TRunDriver driver(host);
    driver.Start({m_dir / "tree", m_dir / ("out/" + outputName)});
    EXPECT_EQ(driver.RunAutomatic(), TRunOutcome::Written);
    EXPECT_TRUE(host.Errors.empty());
    return test::ReadFileText(m_dir / ("out/" + outputName));
  }

  // Every link, percent-decoded against the target (links are relative to it by
  // default), names an existing entry.
  void ExpectLinksResolve(const std::vector<std::string>& links, std::size_t expected) {
    std::size_t checked = 0;
    for (const std::string& link : links) {
      if (link.starts_with("http")) continue;  // the maker's page in the footer
      ASSERT_TRUE(link.starts_with("./")) << link;
      const std::string path = m_dir / ("tree/" + PercentDecoded(link.substr(2)));
      struct stat st {};
      EXPECT_EQ(lstat(path.c_str(), &st), 0) << link;
      ++checked;
    }
    EXPECT_EQ(checked, expected);
  }

  test::TTempDir m_dir;
  test::TScopedHome m_home;
};

TEST_F(CodePageListingTest, Utf8KeepsEveryNameAndEveryLinkOpensItsEntry) {
  const std::string csv = Run("list.csv", 1);
  ASSERT_TRUE(csv.starts_with("\xEF\xBB\xBF"));
  std::set<std::string> names;
  for (const std::vector<std::string>& row : ParseCsv(csv.substr(3))) {
    if (row.size() > 2 && row[0].starts_with("./")) names.insert(row[1]);
  }
  std::set<std::string> expected(kNames.begin(), kNames.end());
  expected.erase("bad\xFFname.txt");
  expected.insert("bad\xEF\xBF\xBDname.txt");  // U+FFFD for the byte that is not UTF-8
  for (const char* extra : {"\xF0\x9F\x98\x80", "\xF0\x9F\x98\x81", "grin.txt", "beam.txt"}) expected.insert(extra);
  EXPECT_EQ(names, expected);

  const std::string html = Run("list.html", 1);
  EXPECT_NE(html.find("charset=utf-8"), std::string::npos);
  ExpectLinksResolve(AttributeValues(html, "href"), kNames.size() + 4);

  const std::string xml = Run("list.xml", 1);
  ASSERT_TRUE(xml.starts_with("<?xml version=\"1.0\" encoding=\"UTF-8\"?>"));
  ExpectLinksResolve(AttributeValues(xml, "link"), kNames.size() + 4);
  if (std::system("command -v xmllint >/dev/null 2>&1") == 0) {
    EXPECT_EQ(std::system(("xmllint --noout '" + (m_dir / "out/list.xml") + "'").c_str()), 0);
  }
  // The shipped stylesheet reads the UTF-8 listing as well as the Shift_JIS one.
  if (std::system("command -v xsltproc >/dev/null 2>&1") == 0) {
    const std::string page = m_dir / "out/page.html";
    ASSERT_EQ(std::system(("xsltproc -o '" + page + "' '" ORVANTIS_XSL_SAMPLE "' '" + (m_dir / "out/list.xml") + "'")
                              .c_str()),
              0);
    EXPECT_NE(test::ReadFileText(page).find("한국어.txt"), std::string::npos);
  }
}

TEST_F(CodePageListingTest, Cp932KeepsFoldersThatShowAlikeApartAndLinksStillOpen) {
  const std::string xml = Run("list.xml", 0);
  // Each "?" folder holds its own one file, counted once.
  const std::string grin = "<dir name=\"?\" level=\"0\" link=\"./%F0%9F%98%80\" count=\"1\"";
  const std::string beam = "<dir name=\"?\" level=\"0\" link=\"./%F0%9F%98%81\" count=\"1\"";
  const std::size_t first = xml.find(grin), second = xml.find(beam);
  ASSERT_NE(first, std::string::npos) << xml;
  ASSERT_NE(second, std::string::npos) << xml;
  const auto contents = [&](std::size_t at) { return xml.substr(at, xml.find("</dir>", at) - at); };
  EXPECT_NE(contents(first).find("grin.txt"), std::string::npos);
  EXPECT_EQ(contents(first).find("beam.txt"), std::string::npos);
  EXPECT_NE(contents(second).find("beam.txt"), std::string::npos);
  ExpectLinksResolve(AttributeValues(xml, "link"), kNames.size() + 4);

  const std::string html = Run("list.html", 0);
  ExpectLinksResolve(AttributeValues(html, "href"), kNames.size() + 4);
}

}  // namespace
}  // namespace orv
