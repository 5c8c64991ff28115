// TEntryBuilder: turns each entry the walker reports into a record, fills the facts
// the options ask for, shows the entry in the status bar, and files it into the file
// list, the directory list, or nowhere.
#pragma once

#include "core/DataList.h"
#include "core/RunHost.h"
#include "core/RunOptions.h"
#include "metadata/AliasLookup.h"
#include "metadata/Digest.h"
#include "metadata/ExifInfo.h"
#include "metadata/FileVerInfo.h"
#include "metadata/IconSource.h"
#include "metadata/PdfProbe.h"
#include "scan/ScanFilters.h"
#include "scan/SearchFileData.h"

#include <cstdint>
#include <string>

namespace orv {

class TEntryBuilder {
public:
  TEntryBuilder(const RunOptions& options, TScanFilters& filters, TRunHost& host, TRunLists& lists);

  // Opens the alias file and takes the run's target (CP932, ending in "/") and icon
  // directory for the walk that follows.
  void BeginWalk(const std::string& targetDirectory, const TFilePath& iconDirectory, const std::string& aliasPath);
  // Closes the alias file and completes the directories' file counts.
  void EndWalk();

  // Where exported icons come from; without one, no icon file is written.
  void SetIconSource(TIconSource* source) { m_iconSource = source; }

  // path: the entry's full path (CP932) as the walker reports it.
  void BuildEntry(const std::string& path, const TSearchFileData& data);

  // The status text of a path: relative to the target ("./sub/a.txt") in path mode 0.
  std::string StatusPath(const std::string& path) const;

private:
  bool TextConvertsBack(std::string_view path, std::string_view nativePath);
  void ReadFileFacts(TDataItem& item);
  void ReadExif(TDataItem& item);
  void File(std::unique_ptr<TDataItem> item);
  void ReadListedFileFacts(TDataItem& item);

  const RunOptions& m_options;
  TScanFilters& m_filters;
  TRunHost& m_host;
  TRunLists& m_lists;
  TAliasLookup m_aliases;
  TDirectoryCounter m_counter;
  TFileDigester m_digester;
  TFileVerInfo m_versionInfo;
  TExifInfo m_exifInfo;
  std::string m_targetDirectory;
  std::string m_status;
  // The last directory part checked by TextConvertsBack, and its answer: a walk hands
  // over a directory's entries together.
  std::string m_checkedDirectory;
  std::string m_checkedNativeDirectory;
  bool m_checkedConvertsBack = true;
  TFilePath m_iconDirectory;
  TIconSource* m_iconSource = nullptr;
};

}  // namespace orv
