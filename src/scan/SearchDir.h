// TSearchDir: walks a tree of directories breadth first and reports each directory,
// the base directory first. Its event may stop the walk or keep one directory's
// subdirectories out of it. Linked directories are neither reported nor entered, so
// cycles and double listings cannot occur.
#pragma once

#include "platform/Path.h"
#include "scan/SearchFileData.h"

#include <deque>
#include <functional>
#include <string>

namespace orv {

// Shared by the two walker components.

// The full form of a path to walk: the native path through ExpandPath; the text is
// rebuilt from the expanded native path when expansion changed it, and kept as given
// otherwise (it may hold a "?" the native path does not).
TFilePath ExpandSearchPath(const TFilePath& path);

// Appends PathDelim to both forms of a directory path unless it ends in one; the text
// is tested a whole character at a time.
void EnsureTrailingDelimiter(TFilePath& path);

// The facts of an item that vanished between enumeration and status: only what the
// enumeration said (its name and kind), every other fact zero.
void DescribeFromEnumeration(const std::string& nativeName, TEntryKind kind, TFileStatus& status);

class TSearchDir;
// Name is the directory's full path (CP932); IgnoreSubDir and Continue are in-out.
using TSearchDirEvent =
    std::function<void(TSearchDir& sender, const std::string& name, const TSearchFileData& data, bool& ignoreSubDir, bool& continueWalk)>;

class TSearchDir {
public:
  // The directory to walk. Setting the text derives the native path from it; setting
  // the native path derives the text (use it when the name may not fit CP932).
  void SetBaseDir(const std::string& text);
  void SetBaseDir(const TFilePath& path) { m_baseDir = path; }
  const TFilePath& BaseDir() const { return m_baseDir; }

  TSearchDirEvent OnFind;

  // True when the walk ran to its end; false when it did not start (busy, no OnFind,
  // nothing at BaseDir) or an event stopped it. Errors from the events pass through
  // with the busy flag cleared.
  bool Execute();
  bool Busy() const { return m_busy; }

private:
  bool Walk();

  TFilePath m_baseDir;
  std::deque<TFilePath> m_queue;
  bool m_busy = false;
};

}  // namespace orv
