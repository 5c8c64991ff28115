// TRunDriver: one listing run from start to end, and the program's life around it
// (start-up, automatic mode, the stop command, shut-down). It owns the run options,
// the run state and the walker; it reaches the window only through TRunHost.
#pragma once

#include "core/RunHost.h"
#include "core/RunOptions.h"
#include "metadata/EntryBuilder.h"
#include "output/Captions.h"
#include "platform/Path.h"
#include "scan/ScanFilters.h"
#include "scan/SearchFile.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

enum class TRunOutcome {
  Written,     // the run went to its end (and wrote its listing, where there is a writer)
  NotStarted,  // the save dialog was cancelled, or a check (M1-M4) refused the run
  Stopped,     // the stop command ended the walk; nothing was written
  Failed,      // an error ended the run; its message was shown
};

class TRunDriver {
public:
  explicit TRunDriver(TRunHost& host);
  TRunDriver(const TRunDriver&) = delete;
  TRunDriver& operator=(const TRunDriver&) = delete;

  // Start-up: automatic mode when arguments holds exactly two command-line parameters
  // (native texts: target directory and output file), the paths beside the executable,
  // the settings.
  void Start(const std::vector<std::string>& arguments);
  // Automatic mode once the window is shown: one run. The caller closes the window.
  TRunOutcome RunAutomatic();
  // Shut-down: saves the settings. A failure is shown through the host's error box;
  // returns false then.
  bool Shutdown();

  // The source of exported icons (the Qt one, from the window or the app); without
  // one, runs export no icons.
  void SetIconSource(TIconSource* source) { m_builder.SetIconSource(source); }

  // One run; everything it reports goes to the host.
  TRunOutcome RunListing();
  // The stop command: clears Running; the walk notices at its next poll.
  void Stop();

  RunOptions Options;

  bool AutoMode = false;
  bool Running = false;
  std::string ExeDirectory;  // native, ending in "/"
  std::string SettingsPath;  // native
  std::string AliasPath;     // native
  std::string CaptionPath;   // native
  TFilePath TargetDirectory;
  TFilePath OutputFile;
  std::string PathSeparator = "/";
  TFilePath IconDirectory;
  // FileList, DirectoryList and TotalSize of the last run.
  TRunLists Lists;
  TCaption Captions;
  // The HTML writer's row counter, reset at every run.
  int RowCounter = 0;

  // Counts of the last walk (every entry and directory reported), for progress and tests.
  int64_t EntriesWalked = 0;
  int64_t DirectoriesWalked = 0;

  TSearchFile& Walker() { return m_searchFile; }
  const TScanFilters& Filters() const { return m_filters; }

private:
  TRunOutcome RunSteps();
  bool ChooseTargetAndOutput();
  bool PrepareIconDirectory();
  bool CheckRegExp();
  void SortLists();
  bool WriteOutput();
  void OpenResult();
  void SearchFileFindDir(const std::string& name, const TSearchFileData& data, bool& skip, bool& ignoreSubDir);
  void SearchFileFind(const std::string& name, const TSearchFileData& data, bool& continueWalk);
  void EndRunning();

  TRunHost& m_host;
  TSearchFile m_searchFile;
  TScanFilters m_filters{Options};
  TEntryBuilder m_builder{Options, m_filters, m_host, Lists};
  TFilePath m_commandLineTarget;
  TFilePath m_commandLineOutput;
};

// The file type an output file's extension selects in automatic mode (".csv" 0, ".htm"
// and ".html" 1, ".xml" 2, without regard to case), or -1 to keep the loaded type.
int FileTypeFromExtension(const std::string& outputFile);

}  // namespace orv
