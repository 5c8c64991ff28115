// TListingWalk: the one walk of the sorted entry lists in tree order, shared by every
// listing format. Within a directory come its subdirectories in list order, each
// followed at once by its whole subtree, and then the directory's own files in list
// order.
//
// The walk finds a directory's subdirectories and files through indexes built once
// (children by exact parent path, files by exact directory part), so every listed
// file of a reachable directory is written exactly once, also when folders such as
// "A" and "a" sort into each other, and the walk costs O(n) after the driver's sort.
#pragma once

#include "output/ListingContext.h"
#include "output/ListingWriter.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

class TListingWalk {
public:
  explicit TListingWalk(const TListingContext& context);

  // Begin, the rows, End. With IgnoreEmptyDir a directory whose FileCount is 0 is
  // passed over with its subtree. After every row the host pumps; while file rows are
  // written the status shows the progress every few dozen milliseconds, and when the
  // walk ends, the count of the last one. Once the running flag is clear no further row is
  // written, but End still is, so a stopped listing is complete with its footer. Each
  // written file record is marked Written.
  void Run(TListingWriter& writer);

private:
  void BuildIndexes();
  std::string_view NodePath(int32_t node) const;
  void WriteFiles(int32_t node, int level, TListingWriter& writer);
  void ShowProgress();

  const TListingContext& m_context;
  TDataList& m_files;
  TDataList& m_directories;
  // Nodes are directory indexes; the target is node m_root (the directory count).
  int32_t m_root;
  std::vector<int32_t> m_firstChild;   // per node
  std::vector<int32_t> m_nextSibling;  // per directory
  std::vector<int32_t> m_firstFile;    // per node
  std::vector<int32_t> m_nextFile;     // per file
  int64_t m_total = 0;
  int64_t m_done = 0;
  // m_done as the status last showed it, and when.
  int64_t m_shown = 0;
  int64_t m_lastShownMs = 0;
  int m_rowsSinceClock = 0;
  std::string m_progressHead;
  std::string m_status;
};

}  // namespace orv
