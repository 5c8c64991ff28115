// Entry records and lists: the sort orders and the per-directory file counts.
#include "core/DataList.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

namespace orv {
namespace {

std::unique_ptr<TDataItem> Item(const std::string& path, TDateTime updated = 0) {
  auto item = std::make_unique<TDataItem>();
  const bool directory = !path.empty() && path.back() == '/';
  item->SetPath(path, "", directory);
  item->IsDirectory = directory;
  item->LastUpdateTime = updated;
  return item;
}

// The plain way to the file counts, against which the walk's counter is checked:
// every file climbs from its directory through the listed ancestors.
std::string_view DirectoryOf(std::string_view path) {
  const std::size_t at = path.rfind('/');
  return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

void CountFileByClimbing(TDataList& directories, std::string_view filePath) {
  for (std::string_view directory = DirectoryOf(filePath); !directory.empty();
       directory = DirectoryOf(directory.substr(0, directory.size() - 1))) {
    TDataItem* record = directories.FindPath(directory);
    if (!record) return;
    ++record->FileCount;
  }
}

std::vector<std::string> Paths(const TDataList& list) {
  std::vector<std::string> paths;
  for (std::size_t i = 0; i < list.Count(); ++i) paths.emplace_back(list.Items(i).Path());
  return paths;
}

TEST(DataList, CompareTextFoldsOnlyAsciiLetters) {
  EXPECT_LT(CompareText("/t/aab/", "/t/a_b/"), 0);   // "A" 0x41 before "_" 0x5F
  EXPECT_LT(CompareText("/t/a/x.txt", "/t/ab.txt"), 0);  // the delimiter "/" 0x2F sorts before "B" 0x42
  EXPECT_EQ(CompareText("/T/x", "/t/x"), 0);
  EXPECT_LT(CompareText("/t/x", "/t/xy"), 0);
  // Double-byte characters compare as unsigned bytes, unfolded.
  EXPECT_GT(CompareText("\x82\x81", "\x82\x60"), 0);
}

TEST(DataList, SortsByPathAndByDirectoryThenNewest) {
  TDataList files;
  files.Add(Item("/t/b/late.txt", 2.0));
  files.Add(Item("/t/x.txt", 1.0));
  files.Add(Item("/t/b/early.txt", 1.0));
  files.Add(Item("/t/B/same.txt", 1.0));
  files.Add(Item("/t/a.txt", 5.0));
  files.Sort(CompareByPath);
  EXPECT_EQ(Paths(files),
            (std::vector<std::string>{"/t/a.txt", "/t/b/early.txt", "/t/b/late.txt", "/t/B/same.txt", "/t/x.txt"}));

  // Newest first within a directory; a file of the parent before a subdirectory's.
  // "/t/B/" and "/t/b/" fold to the same directory part: equal keys fall back to the
  // exact bytes, so the order is the same on every run.
  files.Sort(CompareByDirectoryThenNewest);
  EXPECT_EQ(Paths(files),
            (std::vector<std::string>{"/t/a.txt", "/t/x.txt", "/t/b/late.txt", "/t/B/same.txt", "/t/b/early.txt"}));
}

TEST(DataList, GroupedSortKeepsEveryDirectorysOrder) {
  // The order the writers see within each directory must equal the full-path sort's.
  TDataList byPath, grouped;
  for (TDataList* list : {&byPath, &grouped}) {
    list->Add(Item("/t/b/late.txt", 2.0));
    list->Add(Item("/t/z.txt", 1.0));
    list->Add(Item("/t/b/Early.txt", 1.0));
    list->Add(Item("/t/a/x.txt", 3.0));
    list->Add(Item("/t/b/early.txt", 1.0));
    list->Add(Item("/t/a.txt", 5.0));
    list->Add(Item("/t/b/mid.txt", 1.5));
  }
  const auto byDirectory = [](const TDataList& list) {
    std::map<std::string, std::vector<std::string>> groups;
    for (std::size_t i = 0; i < list.Count(); ++i)
      groups[std::string(list.Items(i).DirectoryPart())].emplace_back(list.Items(i).Path());
    return groups;
  };
  byPath.Sort(CompareByPath);
  grouped.SortByDirectoryGroups(false);
  EXPECT_EQ(byDirectory(grouped), byDirectory(byPath));
  EXPECT_EQ(Paths(grouped), (std::vector<std::string>{"/t/a.txt", "/t/z.txt", "/t/a/x.txt", "/t/b/Early.txt",
                                                      "/t/b/early.txt", "/t/b/late.txt", "/t/b/mid.txt"}));

  byPath.Sort(CompareByDirectoryThenNewest);
  grouped.SortByDirectoryGroups(true);
  EXPECT_EQ(byDirectory(grouped), byDirectory(byPath));
  EXPECT_EQ(byDirectory(grouped)["/t/b/"],
            (std::vector<std::string>{"/t/b/late.txt", "/t/b/mid.txt", "/t/b/Early.txt", "/t/b/early.txt"}));
}

TEST(DataList, FileCountsClimbThroughListedAncestors) {
  TDataList directories(/*indexByPath=*/true);
  directories.Add(Item("/t/a/"));
  directories.Add(Item("/t/a/b/"));
  directories.Add(Item("/t/A/"));
  directories.Add(Item("/t/c/d/"));  // its parent /t/c/ is not listed
  const char* const files[] = {"/t/a/b/f.txt", "/t/a/g.txt",
                               "/t/top.txt",       // the target has no record
                               "/t/c/d/h.txt",
                               "/t/c/d/e/i.txt"};  // /t/c/d/e/ not listed: stops at once

  TDirectoryCounter counter(directories);
  for (const char* file : files) counter.CountFile(file);
  counter.AddCountsToAncestors();
  EXPECT_EQ(directories.FindPath("/t/a/")->FileCount, 2);
  EXPECT_EQ(directories.FindPath("/t/a/b/")->FileCount, 1);
  EXPECT_EQ(directories.FindPath("/t/A/")->FileCount, 0);  // "A" and "a" are different folders
  EXPECT_EQ(directories.FindPath("/t/c/d/")->FileCount, 1);

  // The climb per file gives the same numbers.
  std::vector<std::int32_t> counted;
  for (std::size_t i = 0; i < directories.Count(); ++i) {
    counted.push_back(directories.Items(i).FileCount);
    directories.Items(i).FileCount = 0;
  }
  for (const char* file : files) CountFileByClimbing(directories, file);
  for (std::size_t i = 0; i < directories.Count(); ++i) {
    EXPECT_EQ(directories.Items(i).FileCount, counted[i]) << directories.Items(i).Path();
  }
}

TEST(DataItem, NameExtensionAndIconFileName) {
  auto directory = Item("/t/a.b/");
  EXPECT_EQ(directory->Name(), "a.b");
  EXPECT_EQ(directory->Extension(), "b");
  EXPECT_EQ(directory->IconFileName(), "files.ico");
  EXPECT_EQ(directory->DirectoryPart(), "/t/a.b/");

  EXPECT_EQ(Item("/t/SETUP.EXE")->IconFileName(), "SETUP.EXE.ico");
  EXPECT_EQ(Item("/t/readme")->IconFileName(), "noext.ico");
  EXPECT_EQ(Item("/t/a.tar.gz")->IconFileName(), "gz.ico");
  EXPECT_EQ(Item("/t/dot.")->Extension(), "");

  // A name that CP932 cannot hold keeps its native bytes for the readers.
  TDataItem item;
  item.SetPath("/t/?.txt", "/t/\xF0\x9F\x98\x80.txt", false);
  EXPECT_EQ(item.NativePath(), "/t/\xF0\x9F\x98\x80.txt");
  item.SetPath("/t/plain.txt", "/t/plain.txt", false);
  EXPECT_EQ(item.NativePath(), "/t/plain.txt");
  EXPECT_EQ(item.Facts().MD5, "");  // no optional part allocated for a plain entry
}

}  // namespace
}  // namespace orv
