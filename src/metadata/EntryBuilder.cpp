// Building, filling and filing one entry record per walked entry.
#include "metadata/EntryBuilder.h"

#include "metadata/IconExport.h"
#include "platform/AnsiText.h"
#include "platform/Console.h"
#include "platform/CodePage.h"
#include "platform/Path.h"
#include "platform/Regional.h"

namespace orv {

namespace {

// How often a long content read on the walk's own thread updates the status and pumps.
constexpr int64_t kProgressIntervalMs = 50;
constexpr int kPercent = 100;

}  // namespace

TEntryBuilder::TEntryBuilder(const RunOptions& options, TScanFilters& filters, TRunHost& host,
                             TRunLists& lists)
    : m_options(options),
      m_filters(filters),
      m_host(host),
      m_lists(lists),
      m_counter(lists.DirectoryList),
      m_languageId(ReadRegionalSettings().DefaultLanguageId) {}

void TEntryBuilder::BeginWalk(const std::string& targetDirectory, const TFilePath& iconDirectory,
                              const std::string& aliasPath, int threads, std::function<bool()> running) {
  m_targetDirectory = targetDirectory;
  m_iconDirectory = iconDirectory;
  m_running = std::move(running);
  m_aliases.Open(aliasPath);
  m_pool.reset();
  m_reader.reset();
  if (TContentReader::Wanted(m_options)) {
    if (threads > 1) {
      m_pool = std::make_unique<TContentPool>(threads, m_options, m_languageId);
    } else {
      m_reader = std::make_unique<TContentReader>(m_options, m_languageId);
    }
  }
}

bool TEntryBuilder::EndWalk(bool complete) {
  m_aliases.Close();
  bool read = complete;
  if (m_pool) {
    if (complete) {
      read = m_pool->Finish([this] {
        TContentProgress progress;
        if (m_pool->LongestRead(progress)) {
          m_host.ShowStatus(ProgressText(progress.Path, progress.Done, progress.Total));
        }
        m_host.Pump();
        return !m_running || m_running();
      });
    } else {
      m_pool->Cancel();
    }
    m_pool.reset();
  }
  m_reader.reset();
  m_counter.AddCountsToAncestors();
  return read;
}

std::string TEntryBuilder::ProgressText(const std::string& path, int64_t done, int64_t total) const {
  const int64_t percent = total > 0 ? done * kPercent / total : 0;
  return StatusPath(path) + " (" + std::to_string(percent) + "%)";
}

bool TEntryBuilder::TSerialMonitor::Advance(int64_t done, int64_t total) {
  const int64_t now = MonotonicMilliseconds();
  if (now - m_lastShown < kProgressIntervalMs) {
    return true;
  }
  m_lastShown = now;
  m_owner.m_host.ShowStatus(m_owner.ProgressText(Path, done, total));
  m_owner.m_host.Pump();
  return !m_owner.m_running || m_owner.m_running();
}

std::string TEntryBuilder::StatusPath(std::string_view path) const {
  std::string shown;
  AssignStatusPath(shown, path);
  return shown;
}

void TEntryBuilder::AssignStatusPath(std::string& shown, std::string_view path) const {
  if (m_options.PathMode != PathModeRelative) {
    shown.assign(path);
    return;
  }
  // Nearly every path starts with the target exactly; only others need the search
  // without regard to case.
  const std::size_t at = path.starts_with(m_targetDirectory) ? 0 : AnsiFindText(path, m_targetDirectory);
  if (at == std::string::npos) {
    shown.assign(path);
    return;
  }
  shown.assign(path.substr(0, at)).append(1, '.').append(1, PathDelim).append(path.substr(at + m_targetDirectory.size()));
}

void TEntryBuilder::BuildEntry(const std::string& path, const TSearchFileData& data) {
  TDataItem item;
  // Millions of entries pass here on the walk's thread: the path is built in a buffer
  // kept from entry to entry; the record takes a copy of exactly its size, which its
  // list moves into its own storage.
  std::string& itemPath = m_itemPath;
  itemPath.assign(path);
  std::string_view nativePath = data.NativePath;
  std::string delimitedNative;
  if (data.IsDirectory) {
    if (!AnsiEndsWithDelimiter(itemPath, PathDelim)) itemPath += PathDelim;
    if (!nativePath.empty() && nativePath.back() != PathDelim) {
      delimitedNative.assign(nativePath).append(1, PathDelim);
      nativePath = delimitedNative;
    }
  }
  const bool convertsBack = TextConvertsBack(itemPath, nativePath, data.NameRoundTrips);
  item.SetPath(itemPath, convertsBack ? std::string_view() : nativePath, data.IsDirectory);
  item.Size = data.Size;
  item.CreationTimeValid = data.CreationTimeValid;
  item.CreationTime = data.CreationTime;
  item.LastUpdateTimeValid = data.LastUpdateTimeValid;
  item.LastUpdateTime = data.LastUpdateTime;
  item.LastAccessTimeValid = data.LastAccessTimeValid;
  item.LastAccessTime = data.LastAccessTime;
  item.IsDirectory = data.IsDirectory;
  item.IsReadOnly = data.IsReadOnly;
  item.IsHidden = data.IsHidden;
  item.IsSystem = data.IsSystem;
  item.IsArchive = data.IsArchive;

  // Before filing: entries that end up unlisted still provide their type's icon.
  if (m_options.FileType != FileTypeCsv && m_options.OutputIconFile && m_iconSource) {
    ExportIcon(item, m_iconDirectory, *m_iconSource);
  }
  if (m_options.EnableAlias) {
    if (std::string alias = m_aliases.Find(item.Name()); !alias.empty()) {
      item.MutableFacts().Alias = std::move(alias);
    }
  }

  AssignStatusPath(m_status, item.Path());
  m_host.ShowStatus(m_status);
  m_host.Pump();

  File(std::move(item));
  m_host.Pump();
}

bool TEntryBuilder::TextConvertsBack(std::string_view path, std::string_view nativePath, bool nameRoundTrips) {
  if (nativePath.empty()) {
    return true;
  }
  // "/" is the same byte in both forms, and never part of a longer character in either.
  const std::size_t textSplit = path.substr(0, path.size() - 1).rfind(PathDelim) + 1;
  const std::size_t nativeSplit = nativePath.substr(0, nativePath.size() - 1).rfind(PathDelim) + 1;
  const std::string_view directory = path.substr(0, textSplit);
  const std::string_view nativeDirectory = nativePath.substr(0, nativeSplit);
  if (directory != m_checkedDirectory || nativeDirectory != m_checkedNativeDirectory) {
    m_checkedDirectory = directory;
    m_checkedNativeDirectory = nativeDirectory;
    m_checkedConvertsBack = AnsiToUtf8(directory) == nativeDirectory;
  }
  return m_checkedConvertsBack &&
         (nameRoundTrips || AnsiToUtf8(path.substr(textSplit)) == nativePath.substr(nativeSplit));
}

void TEntryBuilder::File(TDataItem&& item) {
  if (!m_filters.PassesAttributeRule(item.IsHidden, item.IsSystem)) {
    return;
  }
  if (item.IsDirectory) {
    if (!m_filters.IsIgnoredDirName(item.Name())) {
      m_lists.DirectoryList.Add(std::move(item));
    }
    return;
  }
  const std::string_view path = item.Path();
  // The extension as the filter wants it: from the last "." of the name, dot included.
  const std::string_view name = item.Name();
  const std::size_t dot = name.rfind('.');
  const std::string_view extension = dot == std::string_view::npos ? std::string_view() : name.substr(dot);
  const bool listed = !m_options.DirectoryOnly && m_filters.MatchesExtensionFilter(extension) &&
                      m_filters.MatchesRegExpFilter(path);
  // A file counts for its directories whether or not it is listed.
  m_counter.CountFile(path, item.StoredNativePath());
  if (!listed) {
    return;
  }
  m_lists.TotalSize += item.Size;
  if (m_reader) {
    m_monitor.Path = path;
    m_reader->Read(item, &m_monitor);
  }
  TDataItem& filed = m_lists.FileList.Items(m_lists.FileList.Add(std::move(item)));
  if (m_pool) {
    m_pool->Add(filed);
  }
}

}  // namespace orv
