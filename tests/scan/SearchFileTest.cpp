// The walker's report orders, its Skip / IgnoreSubDir / Continue controls, and the
// trees a Linux walk must survive: link loops, FIFOs, names CP932 cannot show.
#include "scan/SearchFile.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace orv {
namespace {

using Names = std::set<std::string>;

// Records every report of one TSearchFile run.
struct TRecorder {
  std::vector<std::string> dirs;
  std::vector<TSearchFileData> dirData;
  std::vector<std::string> entries;
  std::vector<TSearchFileData> entryData;

  void Attach(TSearchFile& search) {
    search.OnFindDir = [this](TSearchFile&, const std::string& name, const TSearchFileData& data, bool&, bool&) {
      dirs.push_back(name);
      dirData.push_back(data);
    };
    search.OnFind = [this](TSearchFile&, const std::string& name, const TSearchFileData& data, bool&) {
      entries.push_back(name);
      entryData.push_back(data);
    };
  }
  const TSearchFileData& Entry(const std::string& name) const {
    for (std::size_t i = 0; i < entries.size(); ++i) {
      if (entries[i] == name) return entryData[i];
    }
    throw std::runtime_error("not reported: " + name);
  }
};

// t/ with subdirectories a and b, a/x, and one file in each directory.
struct TTree {
  test::TTempDir tmp;
  std::string t;
  TTree() : t(tmp.MakeDir("t")) {
    tmp.WriteFile("t/f1", "1");
    tmp.WriteFile("t/a/f2", "22");
    tmp.WriteFile("t/b/f3", "333");
    tmp.WriteFile("t/a/x/f4", "4444");
  }
  Names Children(const std::string& dir) const {
    if (dir == t) return {t + "/a", t + "/b", t + "/f1"};
    if (dir == t + "/a") return {t + "/a/f2", t + "/a/x"};
    if (dir == t + "/b") return {t + "/b/f3"};
    return {t + "/a/x/f4"};
  }
};

// Entries must come grouped by directory, the groups in the order of groupDirs.
void ExpectGroups(const TTree& tree, const std::vector<std::string>& groupDirs,
                  const std::vector<std::string>& entries) {
  std::size_t at = 0;
  for (const std::string& dir : groupDirs) {
    const Names expected = tree.Children(dir);
    ASSERT_LE(at + expected.size(), entries.size()) << dir;
    EXPECT_EQ(Names(entries.begin() + at, entries.begin() + at + expected.size()), expected) << dir;
    at += expected.size();
  }
  EXPECT_EQ(at, entries.size());
}

TEST(SearchFileTest, ReportsDirectoriesBreadthFirstThenEntriesPerDirectory) {
  TTree tree;
  TSearchFile search;
  TRecorder rec;
  rec.Attach(search);
  search.SetDirectory(tree.t);
  ASSERT_TRUE(search.Execute());
  EXPECT_FALSE(search.Busy());

  ASSERT_EQ(rec.dirs.size(), 4u);
  EXPECT_EQ(rec.dirs[0], tree.t);
  EXPECT_EQ(Names({rec.dirs[1], rec.dirs[2]}), Names({tree.t + "/a", tree.t + "/b"}));
  EXPECT_EQ(rec.dirs[3], tree.t + "/a/x");
  ExpectGroups(tree, rec.dirs, rec.entries);

  // The base record describes the base itself.
  EXPECT_EQ(rec.dirData[0].Name, "t");
  EXPECT_TRUE(rec.dirData[0].IsDirectory);
  EXPECT_EQ(rec.dirData[3].Name, "x");
  EXPECT_EQ(rec.dirData[3].NativePath, tree.t + "/a/x");

  const TSearchFileData& f4 = rec.Entry(tree.t + "/a/x/f4");
  EXPECT_EQ(f4.Name, "f4");
  EXPECT_EQ(f4.ShortName, "f4");
  EXPECT_EQ(f4.NativePath, tree.t + "/a/x/f4");
  EXPECT_EQ(f4.Size, 4);
  EXPECT_TRUE(f4.LastUpdateTimeValid && f4.IsRegularFile);
  EXPECT_TRUE(rec.Entry(tree.t + "/a").IsDirectory);

  // Non-recursive: the directory's own entries, subdirectories included, and no
  // directory report at all.
  TRecorder flat;
  flat.Attach(search);
  search.Recursive = false;
  ASSERT_TRUE(search.Execute());
  EXPECT_TRUE(flat.dirs.empty());
  EXPECT_EQ(Names(flat.entries.begin(), flat.entries.end()), tree.Children(tree.t));
}

TEST(SearchFileTest, SkipAndIgnoreSubDirAreIndependent) {
  TTree tree;
  const std::string a = tree.t + "/a";
  {
    TSearchFile search;
    TRecorder rec;
    rec.Attach(search);
    search.OnFindDir = [&](TSearchFile&, const std::string& name, const TSearchFileData&, bool& skip, bool&) {
      rec.dirs.push_back(name);
      skip = name == a;
    };
    search.SetDirectory(tree.t);
    ASSERT_TRUE(search.Execute());
    ASSERT_EQ(rec.dirs.size(), 4u);  // a/x is still walked
    std::vector<std::string> listed;
    for (const std::string& dir : rec.dirs) {
      if (dir != a) listed.push_back(dir);
    }
    ExpectGroups(tree, listed, rec.entries);
  }
  {
    TSearchFile search;
    TRecorder rec;
    rec.Attach(search);
    search.OnFindDir = [&](TSearchFile&, const std::string& name, const TSearchFileData&, bool&, bool& ignore) {
      rec.dirs.push_back(name);
      ignore = name == a;
    };
    search.SetDirectory(tree.t);
    ASSERT_TRUE(search.Execute());
    EXPECT_EQ(Names(rec.dirs.begin(), rec.dirs.end()), Names({tree.t, a, tree.t + "/b"}));
    // x is an entry of a, but nothing below it is reported.
    ExpectGroups(tree, rec.dirs, rec.entries);
    EXPECT_EQ(std::count(rec.entries.begin(), rec.entries.end(), tree.t + "/a/x/f4"), 0);
  }
}

TEST(SearchFileTest, StopsAndStartsCleanly) {
  TTree tree;
  TSearchFile search;
  search.SetDirectory(tree.t);
  int dirEvents = 0;
  int events = 0;
  bool nested = true;
  search.OnFindDir = [&](TSearchFile& sender, const std::string&, const TSearchFileData&, bool&, bool&) {
    ++dirEvents;
    nested = sender.Execute();
  };
  search.OnFind = [&](TSearchFile&, const std::string&, const TSearchFileData&, bool& goOn) {
    ++events;
    goOn = false;
  };
  EXPECT_FALSE(search.Execute());
  EXPECT_EQ(events, 1);
  EXPECT_EQ(dirEvents, 4);
  EXPECT_FALSE(nested);  // a second Execute while busy does nothing
  EXPECT_FALSE(search.Busy());

  // An exception from an event passes through and leaves both phases idle.
  search.OnFind = [&](TSearchFile&, const std::string&, const TSearchFileData&, bool&) {
    throw std::runtime_error("boom");
  };
  EXPECT_THROW(search.Execute(), std::runtime_error);
  EXPECT_FALSE(search.Busy());
  search.OnFindDir = [&](TSearchFile&, const std::string&, const TSearchFileData&, bool&, bool&) {
    throw std::runtime_error("boom");
  };
  EXPECT_THROW(search.Execute(), std::runtime_error);
  EXPECT_FALSE(search.Busy());

  TRecorder rec;
  rec.Attach(search);
  EXPECT_TRUE(search.Execute());
  EXPECT_EQ(rec.dirs.size(), 4u);

  search.OnFind = nullptr;
  EXPECT_FALSE(search.Execute());
}

TEST(SearchFileTest, EmptyMissingAndDelimitedBases) {
  test::TTempDir tmp;
  const std::string empty = tmp.MakeDir("empty");
  tmp.WriteFile("full/f", "x");
  for (bool recursive : {true, false}) {
    TSearchFile search;
    TRecorder rec;
    rec.Attach(search);
    search.Recursive = recursive;
    search.SetDirectory(empty);
    EXPECT_TRUE(search.Execute());
    EXPECT_TRUE(rec.entries.empty());
    search.SetDirectory(tmp / "missing");
    EXPECT_TRUE(search.Execute());
    EXPECT_TRUE(rec.entries.empty());
    EXPECT_EQ(rec.dirs.size(), recursive ? 1u : 0u);  // only the empty directory
  }

  // A base with its delimiter names no item: the first report carries the empty record.
  TSearchFile search;
  TRecorder rec;
  rec.Attach(search);
  search.SetDirectory(tmp / "full/");
  ASSERT_TRUE(search.Execute());
  ASSERT_EQ(rec.dirs.size(), 1u);
  EXPECT_EQ(rec.dirs[0], tmp / "full/");
  EXPECT_TRUE(rec.dirData[0].Name.empty());
  EXPECT_FALSE(rec.dirData[0].IsDirectory);
  EXPECT_EQ(rec.dirData[0].Size, 0);
  EXPECT_EQ(rec.entries, std::vector<std::string>{tmp / "full/f"});
}

TEST(SearchFileTest, LinksFifosAndNamesOutsideCp932) {
  test::TTempDir tmp;
  const std::string t = tmp.MakeDir("t");
  tmp.MakeDir("t/a");
  ASSERT_EQ(symlink("..", (t + "/a/loop").c_str()), 0);
  ASSERT_EQ(mkfifo((t + "/fifo").c_str(), 0644), 0);
  // "\x95\x5C" is 表 in CP932; its trail byte is a backslash.
  tmp.WriteFile("t/\xE8\xA1\xA8/f", "abc");
  tmp.WriteFile("t/\xC3\xA9", "12");  // é: no CP932 form

  TSearchFile search;
  TRecorder rec;
  rec.Attach(search);
  search.SetDirectory(t);
  ASSERT_TRUE(search.Execute());

  EXPECT_EQ(Names(rec.dirs.begin(), rec.dirs.end()), Names({t, t + "/a", t + "/\x95\x5C"}));
  const TSearchFileData& loop = rec.Entry(t + "/a/loop");
  EXPECT_TRUE(loop.IsDirectory && loop.IsSymbolicLink);
  EXPECT_TRUE(rec.Entry(t + "/fifo").IsSystem);

  const TSearchFileData& kanji = rec.Entry(t + "/\x95\x5C/f");
  EXPECT_EQ(kanji.NativePath, t + "/\xE8\xA1\xA8/f");
  EXPECT_EQ(kanji.Size, 3);
  const TSearchFileData& accent = rec.Entry(t + "/?");
  EXPECT_EQ(accent.Name, "?");
  EXPECT_EQ(accent.NativePath, t + "/\xC3\xA9");
  EXPECT_EQ(accent.Size, 2);
}

TEST(SearchFileTest, EntryVanishedAfterEnumerationKeepsTheDataOfTheEnumeration) {
  test::TTempDir tmp;
  const std::string t = tmp.MakeDir("t");
  for (const char* name : {"d1", "d2", "d3"}) {
    tmp.MakeDir(std::string("t/") + name);
  }
  tmp.WriteFile("t/f", "12345");
  TSearchFile search;
  search.Recursive = false;
  search.SetDirectory(t);
  std::vector<TSearchFileData> seen;
  search.OnFind = [&](TSearchFile&, const std::string&, const TSearchFileData& data, bool&) {
    seen.push_back(data);
    // The directory was read in one go; the others vanish before they are reported.
    for (const char* name : {"d1", "d2", "d3"}) {
      rmdir((t + "/" + name).c_str());
    }
    unlink((t + "/f").c_str());
  };
  ASSERT_TRUE(search.Execute());
  ASSERT_EQ(seen.size(), 4u);
  for (const TSearchFileData& data : seen) {
    EXPECT_EQ(data.NativePath, t + "/" + data.Name);
    EXPECT_TRUE(data.LastUpdateTimeValid) << data.Name;
    EXPECT_EQ(data.IsDirectory, data.Name != "f");
    EXPECT_EQ(data.Size, data.Name == "f" ? 5 : 0);
  }
}

TEST(SearchFileTest, ATinyMemoryBudgetAndManyThreadsReportTheSameWalk) {
  test::TTempDir tmp;
  const std::string t = tmp.MakeDir("t");
  for (int i = 0; i < 100; ++i) {
    for (int j = 0; j < 100; ++j) {
      tmp.WriteFile("t/d" + std::to_string(i) + "/e" + std::to_string(j) + "/f", "x");
    }
  }
  const auto walk = [&](int threads, std::size_t budget) {
    TSearchFile search;
    TRecorder rec;
    rec.Attach(search);
    search.Threads = threads;
    search.ReadAheadBudget = budget;
    search.SetDirectory(t);
    EXPECT_TRUE(search.Execute());
    return rec;
  };
  const TRecorder serial = walk(1, kDefaultReadAheadBudget);
  EXPECT_EQ(serial.dirs.size(), 1u + 100u + 100u * 100u);
  EXPECT_EQ(serial.entries.size(), 100u + 100u * 100u + 100u * 100u);
  // Every directory read again for its entries, by several threads at once.
  const TRecorder tiny = walk(4, 1);
  EXPECT_EQ(tiny.dirs, serial.dirs);
  EXPECT_EQ(tiny.entries, serial.entries);
  EXPECT_EQ(walk(3, 64 * 1024).entries, serial.entries);
}

TEST(SearchFileTest, AFolderThatCannotBeReadIsReportedAndStillListed) {
  test::TTempDir tmp;
  const std::string t = tmp.MakeDir("t");
  tmp.WriteFile("t/gone/f", "1");
  tmp.WriteFile("t/kept/g", "2");
  tmp.WriteFile("t/locked/h", "3");
  const bool root = geteuid() == 0;
  if (!root) {
    ASSERT_EQ(chmod((t + "/locked").c_str(), 0), 0);
  }
  for (int threads : {1, 4}) {
    TSearchFile search;
    TRecorder rec;
    rec.Attach(search);
    search.Threads = threads;
    search.OnFindDir = [&](TSearchFile&, const std::string& name, const TSearchFileData&, bool&, bool& ignore) {
      rec.dirs.push_back(name);
      // Listed but not walked, so read only for its entries: gone by then.
      if (name == t + "/gone") {
        ignore = true;
        rename((t + "/gone").c_str(), (tmp / "away").c_str());
      }
    };
    std::vector<std::pair<std::string, std::string>> errors;
    search.OnError = [&](TSearchFile&, const std::string& path, const std::string& reason) {
      errors.emplace_back(path, reason);
    };
    search.SetDirectory(t);
    EXPECT_TRUE(search.Execute());  // the walk goes on past them
    EXPECT_TRUE(rec.Entry(t + "/gone").IsDirectory);
    EXPECT_TRUE(rec.Entry(t + "/locked").IsDirectory);
    EXPECT_EQ(rec.Entry(t + "/kept/g").Size, 1);
    // In walk order: the walk opens locked, the listing afterwards opens gone.
    std::vector<std::pair<std::string, std::string>> expected;
    if (!root) expected.emplace_back(t + "/locked", "Permission denied");
    expected.emplace_back(t + "/gone", "No such file or directory");
    EXPECT_EQ(errors, expected) << threads;
    rename((tmp / "away").c_str(), (t + "/gone").c_str());
  }
  chmod((t + "/locked").c_str(), 0755);
}

TEST(SearchDirTest, RelativeBaseIsExpandedAndEventsControlTheWalk) {
  TTree tree;
  char previous[4096];
  ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
  ASSERT_EQ(chdir(tree.tmp.Path().c_str()), 0);
  TSearchDir walk;
  std::vector<std::string> seen;
  walk.OnFind = [&](TSearchDir&, const std::string& name, const TSearchFileData&, bool& ignore, bool&) {
    seen.push_back(name);
    ignore = true;
  };
  walk.SetBaseDir("./t");
  const bool result = walk.Execute();
  ASSERT_EQ(chdir(previous), 0);
  EXPECT_TRUE(result);
  EXPECT_EQ(seen, std::vector<std::string>{tree.t});

  seen.clear();
  walk.OnFind = [&](TSearchDir&, const std::string& name, const TSearchFileData&, bool&, bool& goOn) {
    seen.push_back(name);
    goOn = seen.size() < 2;
  };
  walk.SetBaseDir(tree.t);
  EXPECT_FALSE(walk.Execute());
  EXPECT_EQ(seen.size(), 2u);
  EXPECT_FALSE(walk.Busy());
}

}  // namespace
}  // namespace orv
