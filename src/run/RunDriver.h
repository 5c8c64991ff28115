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
  Written,     // the run went to its end and wrote its listing (UnreadEntries says what it lacks)
  NotStarted,  // the save dialog was cancelled, or a check (M1-M4) refused the run
  Stopped,     // the stop command ended the walk; nothing was written
  WrittenInPart,  // the stop command ended the write: the listing holds the rows written
                  // before it, closed as a whole listing is
  Failed,      // an error ended the run, or the file type names no format; the message was shown
};

// An entry the last run could not read or decide on: the listing was written without
// it, or with its content facts missing. Path and Reason are CP932 as the listing
// shows texts; NativePath is the file-system path where the run knows it ("" when not).
struct TUnreadEntry {
  std::string Path;
  std::string Reason;
  std::string NativePath = {};
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
  // Makes codePage (a TextEncoding value) the program's code page from the next run
  // on: the options' texts are converted into it, so nothing the user typed is lost,
  // and the settings are saved in it. Not during a run.
  void SetTextEncoding(int codePage);

  // The options of the next run. The window writes each control's option here as it
  // changes; a run reads them, and automatic mode changes FileType.
  RunOptions Options;

  // The run's state, changed only by the operations above.
  bool AutoMode() const { return m_autoMode; }
  bool Running() const { return m_running; }
  const std::string& ExeDirectory() const { return m_exeDirectory; }  // native, ending in "/"
  const TFilePath& TargetDirectory() const { return m_targetDirectory; }
  const TFilePath& OutputFile() const { return m_outputFile; }
  const TFilePath& IconDirectory() const { return m_iconDirectory; }
  // FileList, DirectoryList and TotalSize of the last run.
  const TRunLists& Lists() const { return m_lists; }
  // Counts of the last walk (every entry and directory reported), for progress and tests.
  int64_t EntriesWalked() const { return m_entriesWalked; }
  int64_t DirectoriesWalked() const { return m_directoriesWalked; }
  // What the last run could not read, in the order it was met: what the walk could not
  // enumerate or take, and the files the pattern engine gave up on. Empty for a
  // complete listing.
  const std::vector<TUnreadEntry>& UnreadEntries() const { return m_unreadEntries; }
  // What the last run could not do beside its listing (a stylesheet copy), CP932. The
  // last status text names them too; they do not make the listing incomplete.
  const std::vector<std::string>& Notices() const { return m_notices; }

  const TSearchFile& Walker() const { return m_searchFile; }
  const TScanFilters& Filters() const { return m_filters; }

private:
  TRunOutcome RunSteps();
  bool ChooseTargetAndOutput();
  bool PrepareIconDirectory();
  bool CheckRegExp();
  // With threads > 1 the directory list sorts on a second thread while this one sorts
  // the files.
  void SortLists(int threads);
  bool WriteOutput();
  void OpenResult();
  void SearchFileFindDir(const std::string& name, const TSearchFileData& data, bool& skip, bool& ignoreSubDir);
  void SearchFileFind(const std::string& name, const TSearchFileData& data, bool& continueWalk);
  void EndRunning();
  void TakePatternErrors(const std::string& nativePath);

  TRunHost& m_host;
  bool m_autoMode = false;
  bool m_running = false;
  std::string m_exeDirectory;         // the home folder: settings, alias, captions
  std::string m_sharedDataDirectory;  // the files that ship with the program
  std::string m_settingsPath;  // native
  std::string m_aliasPath;     // native
  std::string m_captionPath;   // native
  TFilePath m_targetDirectory;
  TFilePath m_outputFile;
  std::string m_pathSeparator = "/";
  TFilePath m_iconDirectory;
  TRunLists m_lists;
  TCaption m_captions;
  int64_t m_entriesWalked = 0;
  int64_t m_directoriesWalked = 0;
  std::vector<TUnreadEntry> m_unreadEntries;
  std::size_t m_patternErrorsTaken = 0;
  std::vector<std::string> m_notices;

  TSearchFile m_searchFile;
  TScanFilters m_filters{Options};
  TEntryBuilder m_builder{Options, m_filters, m_host, m_lists};
  TFilePath m_commandLineTarget;
  TFilePath m_commandLineOutput;
};

// The file type an output file's extension selects in automatic mode (".csv" 0, ".htm"
// and ".html" 1, ".xml" 2, without regard to case), or -1 to keep the loaded type.
int FileTypeFromExtension(const std::string& outputFile);

}  // namespace orv
