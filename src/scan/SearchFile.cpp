// The two-phase walk: first gather every directory to enumerate (through TSearchDir,
// whose reports pass OnFindDir), then report each entry of each gathered directory
// from the snapshot its read left.
#include "scan/SearchFile.h"

#include "platform/Environment.h"
#include "platform/File.h"

#include <utility>

namespace orv {

namespace {

constexpr int kReadersPerThread = 2;

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

TSearchFile::TSearchFile() = default;

void TSearchFile::SetDirectory(const std::string& text) { m_directory = TFilePath::FromText(text); }

bool TSearchFile::Execute() {
  if (m_busy || !OnFind) {
    return false;
  }
  TBusyScope scope(m_busy);
  m_reported.clear();
  const int threads = Threads > 0 ? Threads : WorkerThreadCount();
  // Measured on a warm 2-core machine: readers beyond the core count keep the cores
  // busy while others wait in the kernel; more than twice as many gain nothing.
  TReadAhead feed(threads > 1 ? threads * kReadersPerThread : 0, ReadAheadBudget);
  const std::function<bool()> idle = [this] {
    bool goOn = true;
    if (OnIdle) OnIdle(*this, goOn);
    return goOn;
  };

  if (Recursive) {
    const TSearchDir::TDecide decide = [this](const TFilePath& path, const TSearchFileData& data,
                                              bool& ignoreSubDir, bool& listed, bool&) {
      bool skip = false;
      if (OnFindDir) OnFindDir(*this, path.Text, data, skip, ignoreSubDir);
      listed = !skip;
    };
    m_searchDir.SetBaseDir(m_directory);
    const auto end = m_searchDir.Walk(
        feed, decide, [this, &feed](std::size_t n, int error) { ReportError(feed, n, error); }, idle);
    // Nothing at the base: no entries, and a walk that is complete all the same.
    if (end == TSearchDir::TWalkEnd::Stopped) {
      return false;
    }
  } else {
    feed.Add(ExpandSearchPath(m_directory), TReadAhead::kNoParent, false, true);
  }
  return EnumerateListed(feed, idle);
}

void TSearchFile::ReportError(TReadAhead& feed, std::size_t directory, int error) {
  if (m_reported.size() <= directory) m_reported.resize(directory + 1);
  if (m_reported[directory]) return;
  m_reported[directory] = true;
  if (OnError) OnError(*this, feed.Path(directory).Text, SystemErrorText(error));
}

bool TSearchFile::EnumerateListed(TReadAhead& feed, const std::function<bool()>& idle) {
  feed.ScheduleListings();
  TSearchFileData data;
  TFilePath dir;
  std::string fullName;
  bool goOn = true;
  for (std::size_t n = 0; n < feed.Count(); ++n) {
    if (!feed.Listed(n)) {
      continue;
    }
    bool opened = false;
    int error = 0;
    const TDirectorySnapshot* snapshot = feed.Wait(n, idle, opened, error);
    if (!snapshot || !feed.Tick(idle)) {
      return false;
    }
    if (error != 0) {
      ReportError(feed, n, error);
    }
    dir = feed.Path(n);
    EnsureTrailingDelimiter(dir);
    for (std::size_t i = 0; i < snapshot->Count(); ++i) {
      static_cast<TFileStatus&>(data) = snapshot->Status(i);
      data.Name.assign(snapshot->TextName(i));
      data.ShortName = data.Name;
      data.NameRoundTrips = snapshot->NameRoundTrips(i);
      data.NativePath.assign(dir.Native).append(snapshot->NativeName(i));
      fullName.assign(dir.Text).append(data.Name);

      // OnFindDir may have taken the event away while the directories were gathered.
      if (OnFind) OnFind(*this, fullName, data, goOn);
      if (!goOn) {
        return false;
      }
    }
    feed.Release(n);
  }
  return true;
}

}  // namespace orv
