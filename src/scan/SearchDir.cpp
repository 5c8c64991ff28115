// The breadth-first directory walk: reports the base directory, then every directory
// below it level by level. The queue of directories still to read is the read-ahead
// feed itself, whose workers read them in the order the walk reports them.
#include "scan/SearchDir.h"

#include "platform/AnsiText.h"
#include "platform/CodePage.h"
#include "platform/Environment.h"

#include <utility>

namespace orv {

namespace {

// Leaves the component Idle however the walk ends, an exception from an event included.
class TBusyScope {
public:
  explicit TBusyScope(bool& busy) : m_busy(busy) { m_busy = true; }
  ~TBusyScope() { m_busy = false; }
  TBusyScope(const TBusyScope&) = delete;
  TBusyScope& operator=(const TBusyScope&) = delete;

private:
  bool& m_busy;
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

void TSearchDir::SetBaseDir(const std::string& text) { m_baseDir = TFilePath::FromText(text); }

bool TSearchDir::Execute() {
  if (m_busy || !OnFind) {
    return false;
  }
  const int threads = WorkerThreadCount();
  TReadAhead feed(threads > 1 ? threads : 0, kDefaultReadAheadBudget);
  const TDecide decide = [this](const TFilePath& path, const TSearchFileData& data, bool& ignoreSubDir, bool&,
                                bool& goOn) {
    if (OnFind) OnFind(*this, path.Text, data, ignoreSubDir, goOn);
  };
  return Walk(feed, decide, nullptr, nullptr) == TWalkEnd::Complete;
}

TSearchDir::TWalkEnd TSearchDir::Walk(TReadAhead& feed, const TDecide& decide, const TReportError& reportError,
                                      const std::function<bool()>& idle) {
  const TFilePath base = ExpandSearchPath(m_baseDir);
  TSearchFileData data;
  if (!QueryPathStatus(base.Native, data)) {
    return TWalkEnd::NothingAtBase;
  }
  TBusyScope scope(m_busy);

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
  bool listed = false;
  bool goOn = true;
  decide(base, data, ignoreSubDir, listed, goOn);
  if (!goOn) {
    return TWalkEnd::Stopped;
  }
  if (!ignoreSubDir || listed) {
    feed.Add(base, TReadAhead::kNoParent, !ignoreSubDir, listed);
  }

  TFilePath dir;
  TFilePath child;
  for (std::size_t n = 0; n < feed.Count(); ++n) {
    if (!feed.Walked(n)) {
      continue;
    }
    bool opened = false;
    int error = 0;
    const TDirectorySnapshot* snapshot = feed.Wait(n, idle, opened, error);
    if (!snapshot || !feed.Tick(idle)) {
      return TWalkEnd::Stopped;
    }
    if (error != 0 && reportError) {
      reportError(n, error);
    }
    dir = feed.Path(n);
    EnsureTrailingDelimiter(dir);
    for (std::size_t i = 0; i < snapshot->Count(); ++i) {
      if (!snapshot->IsWalkableDirectory(i)) {
        continue;
      }
      static_cast<TFileStatus&>(data) = snapshot->Status(i);
      data.Name.assign(snapshot->TextName(i));
      data.ShortName = data.Name;
      data.NameRoundTrips = snapshot->NameRoundTrips(i);
      child.Text.assign(dir.Text).append(data.Name);
      child.Native.assign(dir.Native).append(snapshot->NativeName(i));
      data.NativePath = child.Native;

      ignoreSubDir = false;
      listed = false;
      decide(child, data, ignoreSubDir, listed, goOn);
      if (!goOn) {
        return TWalkEnd::Stopped;
      }
      if (!ignoreSubDir || listed) {
        feed.Add(child, n, !ignoreSubDir, listed);
      }
    }
    feed.ReleaseWalk(n);
  }
  return TWalkEnd::Complete;
}

}  // namespace orv
