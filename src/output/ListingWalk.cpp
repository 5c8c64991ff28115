// The tree-order walk over the sorted lists, through indexes built once.
#include "output/ListingWalk.h"

#include "output/PathText.h"
#include "output/ValueText.h"
#include "platform/CodePage.h"
#include "platform/Console.h"

#include <deque>
#include <unordered_map>

namespace orv {

namespace {

// The headless host draws the status every 100 ms and the window only at its pumps, so
// a text formatted for every row would almost never be seen. Reading the clock costs
// about as much as a row's status, so it is read only every few dozen rows.
constexpr int64_t kProgressIntervalMs = 50;
constexpr int kRowsPerClockRead = 64;

// Appends index to the chain that first/last describe, keeping list order.
void Link(std::vector<int32_t>& first, std::vector<int32_t>& last, std::vector<int32_t>& next, int32_t owner,
          int32_t index) {
  if (last[owner] < 0) {
    first[owner] = index;
  } else {
    next[last[owner]] = index;
  }
  last[owner] = index;
}

}  // namespace

TListingWalk::TListingWalk(const TListingContext& context)
    : m_context(context),
      m_files(context.Lists.FileList),
      m_directories(context.Lists.DirectoryList),
      m_root(static_cast<int32_t>(context.Lists.DirectoryList.Count())),
      m_progressHead(Utf8ToAnsi("検索結果をファイルに出力しています(")) {}

std::string_view TListingWalk::NodePath(int32_t node) const {
  return node == m_root ? std::string_view(m_context.TargetDirectory.Text) : m_directories.Items(node).Path();
}

void TListingWalk::BuildIndexes() {
  const auto directoryCount = static_cast<int32_t>(m_directories.Count());
  const auto fileCount = static_cast<int32_t>(m_files.Count());
  m_firstChild.assign(directoryCount + 1, -1);
  m_nextSibling.assign(directoryCount, -1);
  m_firstFile.assign(directoryCount + 1, -1);
  m_nextFile.assign(fileCount, -1);

  // Folders by identity (FolderKey): "A/" and "a/" are two folders, and so are two
  // whose names show alike but whose native paths differ. The first record wins.
  std::unordered_map<std::string_view, int32_t> nodeByKey;
  nodeByKey.reserve(static_cast<std::size_t>(directoryCount) + 1);
  std::deque<std::string> builtKeys;
  std::string storage;
  const auto keep = [&](std::string_view key) {
    if (key.data() != storage.data()) return key;
    builtKeys.push_back(storage);
    return std::string_view(builtKeys.back());
  };
  nodeByKey.emplace(keep(FolderKey(m_context.TargetDirectory.Text, m_context.TargetDirectory.Native, storage)), m_root);
  for (int32_t i = 0; i < directoryCount; ++i) {
    const TDataItem& directory = m_directories.Items(i);
    nodeByKey.emplace(keep(FolderKey(directory, directory.Path().size(), storage)), i);
  }
  auto nodeOf = [&](std::string_view key) {
    const auto found = nodeByKey.find(key);
    return found == nodeByKey.end() ? int32_t{-1} : found->second;
  };

  // A directory whose parent is neither listed nor the target is unreachable, as it
  // always was; so are the files of a directory that is not listed.
  std::vector<int32_t> last(directoryCount + 1, -1);
  for (int32_t i = 0; i < directoryCount; ++i) {
    const TDataItem& directory = m_directories.Items(i);
    const int32_t parent = nodeOf(FolderKey(directory, ParentDirectory(directory).size(), storage));
    if (parent >= 0 && parent != i) {
      Link(m_firstChild, last, m_nextSibling, parent, i);
    }
  }
  last.assign(directoryCount + 1, -1);
  // Files of one directory mostly follow each other in the sorted list, so the last
  // lookup usually answers the next one.
  std::string lastDirectory;
  int32_t lastNode = -1;
  for (int32_t i = 0; i < fileCount; ++i) {
    const TDataItem& file = m_files.Items(i);
    const std::string_view directory = FolderKey(file, file.DirectoryPart().size(), storage);
    if (i == 0 || directory != lastDirectory) {
      lastDirectory = directory;
      lastNode = nodeOf(directory);
    }
    if (lastNode >= 0) {
      Link(m_firstFile, last, m_nextFile, lastNode, i);
    }
  }
}

void TListingWalk::Run(TListingWriter& writer) {
  BuildIndexes();
  m_total = static_cast<int64_t>(m_files.Count() + m_directories.Count());
  m_done = static_cast<int64_t>(m_directories.Count());
  m_shown = m_done;
  // The first file row shows the status at once.
  m_rowsSinceClock = kRowsPerClockRead - 1;
  m_lastShownMs = MonotonicMilliseconds() - kProgressIntervalMs;
  const bool ignoreEmpty = m_context.Options.IgnoreEmptyDir;

  struct TFrame {
    int32_t Node;
    int32_t NextChild;
    int Level;
  };
  // An explicit stack: a tree can be deeper than the call stack would like.
  std::vector<TFrame> stack;
  stack.push_back({m_root, m_firstChild[m_root], 0});

  writer.Begin();
  while (!stack.empty()) {
    TFrame& frame = stack.back();
    if (frame.NextChild >= 0 && m_context.Running) {
      const int32_t child = frame.NextChild;
      frame.NextChild = m_nextSibling[child];
      const TDataItem& directory = m_directories.Items(child);
      if (ignoreEmpty && directory.FileCount == 0) {
        continue;
      }
      const int level = frame.Level;
      writer.DirectoryRow(directory, NodePath(frame.Node), level);
      m_context.Host.Pump();
      stack.push_back({child, m_firstChild[child], level + 1});
      continue;
    }
    const int32_t node = frame.Node;
    const int level = frame.Level;
    WriteFiles(node, level, writer);
    stack.pop_back();
    if (node != m_root) {
      writer.DirectoryEnd(m_directories.Items(node), level - 1);
      m_context.Host.Pump();
    }
  }
  // The status ends on the count of the last row written, as if it were shown for every row.
  if (m_shown != m_done) {
    ShowProgress();
  }
  writer.End();
}

void TListingWalk::WriteFiles(int32_t node, int level, TListingWriter& writer) {
  const std::string_view directory = NodePath(node);
  for (int32_t i = m_firstFile[node]; i >= 0 && m_context.Running; i = m_nextFile[i]) {
    TDataItem& file = m_files.Items(i);
    writer.FileRow(file, directory, level);
    file.Written = true;
    ++m_done;
    if (++m_rowsSinceClock >= kRowsPerClockRead) {
      m_rowsSinceClock = 0;
      if (const int64_t now = MonotonicMilliseconds(); now - m_lastShownMs >= kProgressIntervalMs) {
        m_lastShownMs = now;
        ShowProgress();
      }
    }
    m_context.Host.Pump();
  }
}

void TListingWalk::ShowProgress() {
  const std::string_view separator = m_context.Regional.ThousandSeparator;
  m_status = m_progressHead;
  AppendGroupedNumber(m_status, m_done, separator);
  m_status += '/';
  AppendGroupedNumber(m_status, m_total, separator);
  m_status += ')';
  m_context.Host.ShowStatus(m_status);
  m_shown = m_done;
}

}  // namespace orv
