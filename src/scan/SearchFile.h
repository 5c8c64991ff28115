// TSearchFile: gathers the directories to enumerate (breadth first through its own
// TSearchDir when recursive, otherwise just Directory), lets OnFindDir skip a
// directory's entries or prune its subtree, then reports every entry of every
// gathered directory, files and subdirectories alike, to OnFind, which may stop the
// whole walk. Entries of one directory come together in the platform's order.
#pragma once

#include "platform/Path.h"
#include "scan/SearchDir.h"

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

  TFindFileEvent OnFind;
  TFindDirEvent OnFindDir;
  // Called on the thread that runs Execute, in walk order; the walk goes on.
  TWalkErrorEvent OnError;

  // True when every gathered directory was enumerated to its end; false when an
  // OnFind event stopped the walk, when already busy, or when OnFind is not assigned.
  // Errors from the events pass through with the busy flag cleared.
  bool Execute();
  bool Busy() const { return m_busy; }

private:
  bool EnumerateListed();

  TFilePath m_directory;
  TSearchDir m_searchDir;
  std::vector<TFilePath> m_directories;
  bool m_busy = false;
};

}  // namespace orv
