// TDataList: an owning list of entry records, the comparators of the run's sort
// orders, and the per-directory file count.
#pragma once

#include "core/DataItem.h"
#include "core/RecordArena.h"

#include <cstddef>
#include <cstdint>
#include <deque>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace orv {

// Byte comparison with only a-z folded onto A-Z (so "_" sorts after the letters and
// "\" after "Z"); a prefix sorts first. Negative, 0 or positive.
int CompareText(std::string_view a, std::string_view b);

int CompareByPath(const TDataItem& a, const TDataItem& b);
int CompareByDirectory(const TDataItem& a, const TDataItem& b);
// Directory parts by CompareText, then the later last-update time first.
int CompareByDirectoryThenNewest(const TDataItem& a, const TDataItem& b);

using TItemCompare = int (*)(const TDataItem&, const TDataItem&);

class TDataList {
public:
  // With indexByPath, the list keeps a hash index from each record's folder key (its
  // exact Path, or Path and native path where they differ; see FolderKey) to the
  // record, for FindPath and FindFolder (the directory list keeps one for the file
  // counts).
  explicit TDataList(bool indexByPath = false) : m_indexByPath(indexByPath) {}
  ~TDataList();
  TDataList(const TDataList&) = delete;
  TDataList& operator=(const TDataList&) = delete;

  // Moves the record, path texts and all, into the list's own storage; returns its
  // index. References to records stay valid until Clear.
  std::size_t Add(TDataItem&& item);
  std::size_t Add(std::unique_ptr<TDataItem> item) { return Add(std::move(*item)); }
  TDataItem& Items(std::size_t i) { return *m_items[i]; }
  const TDataItem& Items(std::size_t i) const { return *m_items[i]; }
  std::size_t Count() const { return m_items.size(); }
  void Clear();
  // Sorts by compare; records that compare equal are ordered by their exact path
  // bytes, so two runs over the same tree give the same order.
  void Sort(TItemCompare compare);
  // The order the writers need of a file list, reached faster: files grouped by their
  // exact directory part (groups in CompareText order of the parts), and within a
  // group by name as CompareByPath orders them or, with newestFirst, newest first.
  // Within every directory this is exactly the order Sort(CompareByPath) or
  // Sort(CompareByDirectoryThenNewest) gives; only folders whose names differ in
  // case ("A" and "a") no longer interleave.
  void SortByDirectoryGroups(bool newestFirst);

  // The first record added with exactly this Path whose native path follows from it,
  // or nullptr (indexed lists only).
  TDataItem* FindPath(std::string_view path) const { return FindFolder(path); }
  // The first record added with this folder key, or nullptr (indexed lists only).
  TDataItem* FindFolder(std::string_view key) const;

private:
  // The records in list order; they live in m_arena.
  std::vector<TDataItem*> m_items;
  TRecordArena m_arena;
  std::unordered_map<std::string_view, TDataItem*> m_index;
  // The keys that are not views of a record's Path.
  std::deque<std::string> m_builtKeys;
  bool m_indexByPath;
};

// What one run collects: the listed files, the listed directories (indexed by path
// for the file counts) and the total size of the listed files.
struct TRunLists {
  TDataList FileList;
  TDataList DirectoryList{/*indexByPath=*/true};
  int64_t TotalSize = 0;
};

// The per-directory file counts of a walk: every file adds 1 to the FileCount of its
// directory and of every listed ancestor above it, up to the first directory that has
// no record (the target never has one); paths are compared exactly. During the walk
// each file counts for its own directory only, and once the walk is over every
// directory's count is added to its listed ancestors, which costs far less than a
// climb per file.
class TDirectoryCounter {
public:
  explicit TDirectoryCounter(TDataList& directories) : m_directories(directories) {}
  // A file with this path passed the attribute rules; storedNativePath as the record
  // keeps it (empty when it follows from the path).
  void CountFile(std::string_view filePath, std::string_view storedNativePath = {});
  // Turns the own counts into the counts of whole subtrees.
  void AddCountsToAncestors();

private:
  TDataList& m_directories;
  // The walk hands over one directory's entries together: remember the last lookup.
  std::string m_lastDirectory;
  TDataItem* m_lastRecord = nullptr;
  std::string m_keyStorage;
};

}  // namespace orv
