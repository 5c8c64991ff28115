// TSearchFile: gathers the directories to enumerate (breadth first through its own
// TSearchDir when recursive, otherwise just Directory), lets OnFindDir skip a
// directory's entries or prune its subtree, then reports every entry of every
// gathered directory, files and subdirectories alike, to OnFind, which may stop the
// whole walk. Entries of one directory come together in the platform's order.
//
// Worker threads read the directories ahead of the events (TReadAhead): each
// directory is opened and enumerated once, and what the gathering read is kept for
// the entries within ReadAheadBudget. Every event runs on the thread that calls
// Execute, in the order a walk on that thread alone would give.
#pragma once

#include "platform/Path.h"
#include "scan/SearchDir.h"

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class TSearchFile;
using TFindDirEvent =
    std::function<void(TSearchFile& sender, const std::string& name, const TSearchFileData& data, bool& skip, bool& ignoreSubDir)>;
using TFindFileEvent =
    std::function<void(TSearchFile& sender, const std::string& name, const TSearchFileData& data, bool& continueWalk)>;
// An entry the walk could not read: a directory that could not be opened or read to
// its end, or an entry whose data could not be taken. path is the entry's full path
// (CP932) as the other events give it; reason is the system's message (CP932).
using TWalkErrorEvent = std::function<void(TSearchFile& sender, const std::string& path, const std::string& reason)>;
// The walk waits for a directory still being read; clearing continueWalk stops it.
using TWalkIdleEvent = std::function<void(TSearchFile& sender, bool& continueWalk)>;

class TSearchFile {
public:
  TSearchFile();
  // The inner TSearchDir reports to this object: a copy would report to the original.
  TSearchFile(const TSearchFile&) = delete;
  TSearchFile& operator=(const TSearchFile&) = delete;

  void SetDirectory(const std::string& text);
  void SetDirectory(const TFilePath& path) { m_directory = path; }
  const TFilePath& Directory() const { return m_directory; }

  bool Recursive = true;
  // Threads the walk may use: 1 reads every directory on the calling thread; N > 1
  // reads ahead with 2N threads (they spend much of their time waiting in the
  // kernel); 0 takes WorkerThreadCount().
  int Threads = 0;
  // Bytes of directory snapshots held at once; past it directories are read again
  // for their entries instead of being kept.
  std::size_t ReadAheadBudget = kDefaultReadAheadBudget;

  TFindFileEvent OnFind;
  TFindDirEvent OnFindDir;
  // Called on the thread that runs Execute, in walk order; the walk goes on. A
  // directory that could not be opened is still reported as an entry of its parent.
  TWalkErrorEvent OnError;
  // Called on the thread that runs Execute about every 20 ms, whether it waits for a
  // directory or not; clearing continueWalk ends the walk as a stopped one.
  TWalkIdleEvent OnIdle;

  // True when every gathered directory was enumerated to its end; false when an
  // OnFind or OnIdle event stopped the walk, when already busy, or when OnFind is not
  // assigned. Errors from the events pass through with the busy flag cleared.
  bool Execute();
  bool Busy() const { return m_busy; }

private:
  bool EnumerateListed(TReadAhead& feed, const std::function<bool()>& idle);
  void ReportError(TReadAhead& feed, std::size_t directory, int error);

  TFilePath m_directory;
  TSearchDir m_searchDir;
  bool m_busy = false;
  // Directories whose read error was reported already, by feed number (the walk's
  // read and a second read for the entries must not report it twice).
  std::vector<bool> m_reported;
};

}  // namespace orv
