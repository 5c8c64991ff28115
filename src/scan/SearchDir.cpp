// The breadth-first directory walk: reports the base directory, then every directory
// below it level by level, through a first-in first-out queue of paths still to open.
#include "scan/SearchDir.h"

#include "platform/AnsiText.h"
#include "platform/CodePage.h"

#include <utility>

namespace orv {

namespace {

// Leaves the component Idle however Execute ends, an exception from an event included.
class TWalkScope {
public:
  TWalkScope(bool& busy, std::deque<TFilePath>& queue) : m_busy(busy), m_queue(queue) {
    m_busy = true;
    m_queue.clear();
  }
  ~TWalkScope() {
    m_busy = false;
    // A stopped walk can leave many paths behind; give their memory back.
    std::deque<TFilePath>().swap(m_queue);
  }
  TWalkScope(const TWalkScope&) = delete;
  TWalkScope& operator=(const TWalkScope&) = delete;

private:
  bool& m_busy;
  std::deque<TFilePath>& m_queue;
};

}  // namespace

TFilePath ExpandSearchPath(const TFilePath& path) {
  std::string native = ExpandPath(path.Native);
  if (native == path.Native) {
    return path;
  }
  TFilePath expanded;
  expanded.Text = Utf8ToAnsi(native);
  expanded.Native = std::move(native);
  return expanded;
}

void EnsureTrailingDelimiter(TFilePath& path) {
  if (!AnsiEndsWithDelimiter(path.Text, PathDelim)) {
    path.Text += PathDelim;
  }
  if (path.Native.empty() || path.Native.back() != PathDelim) {
    path.Native += PathDelim;
  }
}

void DescribeFromEnumeration(const std::string& nativeName, TEntryKind kind, TFileStatus& status) {
  status = TFileStatus{};
  status.IsDirectory = kind == TEntryKind::Directory;
  status.IsHidden = !nativeName.empty() && nativeName.front() == '.';
  status.IsSystem = kind == TEntryKind::Other;
  status.IsSymbolicLink = kind == TEntryKind::SymbolicLink;
  status.IsRegularFile = kind == TEntryKind::RegularFile;
}

void TSearchDir::SetBaseDir(const std::string& text) { m_baseDir = TFilePath::FromText(text); }

bool TSearchDir::Execute() {
  if (m_busy || !OnFind) {
    return false;
  }
  const TFilePath base = ExpandSearchPath(m_baseDir);
  TSearchFileData data;
  if (!QueryPathStatus(base.Native, data)) {
    return false;
  }
  TWalkScope scope(m_busy, m_queue);

  // A path ending in the delimiter names no item of its own (a root, or a target given
  // with its separator): its record stays empty, as a find-first on it would leave it.
  if (base.Native.back() == PathDelim) {
    static_cast<TFileStatus&>(data) = TFileStatus{};
  } else {
    data.Name = Utf8ToAnsi(ExtractFileName(base.Native));
    data.ShortName = data.Name;
  }
  data.NativePath = base.Native;

  bool ignoreSubDir = false;
  bool goOn = true;
  if (OnFind) OnFind(*this, base.Text, data, ignoreSubDir, goOn);
  if (!goOn) {
    return false;
  }
  if (!ignoreSubDir) {
    m_queue.push_back(base);
  }
  return Walk();
}

bool TSearchDir::Walk() {
  TDirectoryReader reader;
  TSearchFileData data;
  TFilePath child;
  std::string name;
  TEntryKind kind = TEntryKind::Unknown;
  bool goOn = true;
  while (!m_queue.empty()) {
    TFilePath dir = std::move(m_queue.front());
    m_queue.pop_front();
    EnsureTrailingDelimiter(dir);
    if (!reader.Open(dir.Native)) {
      continue;
    }
    while (reader.Next(name, kind)) {
      // Only directories matter here; the typed items that are not cost no status.
      if (kind != TEntryKind::Directory && kind != TEntryKind::Unknown) {
        continue;
      }
      if (!reader.Stat(name, data)) {
        if (kind == TEntryKind::Unknown) {
          continue;
        }
        DescribeFromEnumeration(name, kind, data);
      } else if (!data.IsDirectory || data.IsSymbolicLink) {
        // A linked directory is never entered: that keeps link cycles out of the walk.
        continue;
      }
      data.Name = Utf8ToAnsi(name);
      data.ShortName = data.Name;
      child.Text.assign(dir.Text).append(data.Name);
      child.Native.assign(dir.Native).append(name);
      data.NativePath = child.Native;

      bool ignoreSubDir = false;
      if (OnFind) OnFind(*this, child.Text, data, ignoreSubDir, goOn);
      if (!goOn) {
        return false;
      }
      if (!ignoreSubDir) {
        m_queue.push_back(std::move(child));
      }
    }
    reader.Close();
  }
  return true;
}

}  // namespace orv
