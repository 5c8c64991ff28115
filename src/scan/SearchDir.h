// TSearchDir: walks a tree of directories breadth first and reports each directory,
// the base directory first. Its event may stop the walk or keep one directory's
// subdirectories out of it. Linked directories are neither reported nor entered, so
// cycles and double listings cannot occur. Directories are read ahead by worker
// threads (TReadAhead); the event runs on the thread that calls Execute.
#pragma once

#include "platform/Path.h"
#include "scan/ReadAhead.h"
#include "scan/SearchFileData.h"

#include <cstddef>
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

// How many bytes of directory snapshots a walk holds at most by default: a tree of a
// few million entries is read once, a larger one reads some directories twice.
inline constexpr std::size_t kDefaultReadAheadBudget = std::size_t(256) << 20;

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
  // with the busy flag cleared. Reads ahead with WorkerThreadCount() threads.
  bool Execute();
  bool Busy() const { return m_busy; }

private:
  friend class TSearchFile;

  // What the walk asks of each directory it reports: whether its subdirectories stay
  // out (ignoreSubDir), whether its entries are wanted afterwards (listed), whether
  // the walk goes on.
  using TDecide = std::function<void(const TFilePath& path, const TSearchFileData& data, bool& ignoreSubDir,
                                     bool& listed, bool& goOn)>;
  using TReportError = std::function<void(std::size_t directory, int error)>;
  enum class TWalkEnd { Complete, NothingAtBase, Stopped };

  // The walk proper: every directory it walks or lists is added to feed, in report
  // order. idle runs while the walk waits for a read; false from it stops the walk.
  TWalkEnd Walk(TReadAhead& feed, const TDecide& decide, const TReportError& reportError,
                const std::function<bool()>& idle);

  TFilePath m_baseDir;
  bool m_busy = false;
};

}  // namespace orv
