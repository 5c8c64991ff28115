// TEntryBuilder: turns each entry the walker reports into a record, fills the facts
// the options ask for, shows the entry in the status bar, and files it into the file
// list, the directory list, or nowhere.
//
// The facts that need a file's contents (version strings, Exif, digests, PDF) are read
// for the listed files only, since nothing else shows them: with one thread right away,
// otherwise by a TContentPool while the walk goes on, and in either case before EndWalk
// returns. Icons are asked for on the calling thread, in walk order.
#pragma once

#include "core/DataList.h"
#include "core/RunHost.h"
#include "core/RunOptions.h"
#include "metadata/AliasLookup.h"
#include "metadata/ContentPool.h"
#include "metadata/ContentReader.h"
#include "metadata/IconSource.h"
#include "metadata/ReadMonitor.h"
#include "scan/ScanFilters.h"
#include "scan/SearchFileData.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace orv {

class TEntryBuilder {
public:
  TEntryBuilder(const RunOptions& options, TScanFilters& filters, TRunHost& host, TRunLists& lists);

  // Opens the alias file and takes the run's target (CP932, ending in "/") and icon
  // directory for the walk that follows. threads: how many may read contents (1: all
  // on this thread). running: false once the run is being stopped.
  void BeginWalk(const std::string& targetDirectory, const TFilePath& iconDirectory, const std::string& aliasPath,
                 int threads, std::function<bool()> running);
  // Closes the alias file and completes the directories' file counts. After a walk that
  // ran to its end (complete), waits for the content reads, naming a long one in the
  // status and pumping meanwhile; otherwise cancels them. False when they did not all
  // finish (a stop, or an incomplete walk).
  bool EndWalk(bool complete);

  // Where exported icons come from; without one, no icon file is written.
  void SetIconSource(TIconSource* source) { m_iconSource = source; }

  // path: the entry's full path (CP932) as the walker reports it.
  void BuildEntry(const std::string& path, const TSearchFileData& data);

  // The status text of a path: relative to the target ("./sub/a.txt") in path mode 0.
  std::string StatusPath(std::string_view path) const;

private:
  // Shows the progress of a long content read on this thread and pumps.
  class TSerialMonitor : public TReadMonitor {
  public:
    explicit TSerialMonitor(TEntryBuilder& owner) : m_owner(owner) {}
    bool Advance(int64_t done, int64_t total) override;
    std::string Path;

  private:
    TEntryBuilder& m_owner;
    int64_t m_lastShown = 0;
  };

  bool TextConvertsBack(std::string_view path, std::string_view nativePath, bool nameRoundTrips);
  // shown = StatusPath(path), in storage kept from entry to entry.
  void AssignStatusPath(std::string& shown, std::string_view path) const;
  void File(TDataItem&& item);
  std::string ProgressText(const std::string& path, int64_t done, int64_t total) const;

  const RunOptions& m_options;
  TScanFilters& m_filters;
  TRunHost& m_host;
  TRunLists& m_lists;
  TAliasLookup m_aliases;
  TDirectoryCounter m_counter;
  uint16_t m_languageId;
  std::function<bool()> m_running;
  // One of the two, for a run that wants content facts.
  std::unique_ptr<TContentReader> m_reader;
  std::unique_ptr<TContentPool> m_pool;
  TSerialMonitor m_monitor{*this};
  std::string m_targetDirectory;
  std::string m_status;
  std::string m_itemPath;
  // The last directory part checked by TextConvertsBack, and its answer: a walk hands
  // over a directory's entries together.
  std::string m_checkedDirectory;
  std::string m_checkedNativeDirectory;
  bool m_checkedConvertsBack = true;
  TFilePath m_iconDirectory;
  TIconSource* m_iconSource = nullptr;
};

}  // namespace orv
