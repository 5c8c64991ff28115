// TListingWriter: the events of one listing walk. A writer turns them into its format
// and holds only that format's syntax and state.
#pragma once

#include "core/DataItem.h"

#include <string_view>

namespace orv {

class TListingWriter {
public:
  virtual ~TListingWriter() = default;

  // Before the first row: the header or document start.
  virtual void Begin() = 0;
  // A directory, before the rows of its subtree. parent is the directory the row lies
  // in (ParentDirectory of the record); level is 0 directly below the target.
  virtual void DirectoryRow(const TDataItem& directory, std::string_view parent, int level) = 0;
  // After the last row of the directory's subtree.
  virtual void DirectoryEnd(const TDataItem& directory, int level) = 0;
  // A file; parent is its directory part.
  virtual void FileRow(const TDataItem& file, std::string_view parent, int level) = 0;
  // After the last row, also when the walk was stopped: the footer or document end.
  virtual void End() = 0;
};

}  // namespace orv
