// The run driver: start-up, the checks before a run, the walk, the stop and
// shut-down. Errors that end a run are exceptions caught once, in RunListing.
#include "run/RunDriver.h"

#include "core/Settings.h"
#include "platform/AnsiText.h"
#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/OSError.h"
#include "output/Listing.h"
#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/Regional.h"
#include "scan/BRegExp.h"

#include <exception>
#include <future>

namespace orv {

namespace {

// Texts the user sees are written here in UTF-8 and held in CP932 like every other
// text of the program. They are shown a few times per run, so converting on use is fine.
std::string Text(const char* utf8) { return Utf8ToAnsi(utf8); }

constexpr const char* kIconDirRequired = "アイコンファイル出力ディレクトリは必ず指定してください。";
constexpr const char* kIconDirMissing = "指定したアイコンファイル出力ディレクトリが存在しません。";
constexpr const char* kIconDirCreateQuestion = "作成してもよろしいですか?";
constexpr const char* kIconDirNotCreated = "アイコンファイル出力ディレクトリが作成できませんでした。";
constexpr const char* kBadPattern = "正規表現の指定方法が正しくありません。";
constexpr const char* kPatternEngineHint = "OrvantisではPCRE2を使用していますので下記URLを参照してみてください。";
constexpr const char* kSorting = "検索結果をソートしています";
constexpr const char* kWriting = "検索結果をファイルに出力しています";
constexpr const char* kPreparing = "ファイル検索の準備をしています";
constexpr const char* kStopped = "処理が中断されました";
constexpr const char* kUnreadCount = "件の項目を読み取れませんでした";
constexpr const char* kPatternGaveUp = "正規表現 ";
constexpr const char* kPatternGaveUpEnd = " の照合が打ち切られました: ";
constexpr const char* kNoWriterStart = "ファイルの種類 (FileType=";
constexpr const char* kNoWriterEnd = ") に対応する出力形式がないため、何も出力していません。";

std::string WithTrailingDelimiter(std::string text) {
  if (!AnsiEndsWithDelimiter(text, PathDelim)) {
    text += PathDelim;
  }
  return text;
}

}  // namespace

int FileTypeFromExtension(const std::string& outputFile) {
  const std::string extension = ExtractFileExt(outputFile);
  if (AnsiSameText(extension, ".csv")) return FileTypeCsv;
  if (AnsiSameText(extension, ".htm") || AnsiSameText(extension, ".html")) return FileTypeHtml;
  if (AnsiSameText(extension, ".xml")) return FileTypeXml;
  return -1;
}

TRunDriver::TRunDriver(TRunHost& host) : m_host(host) {
  m_searchFile.Recursive = true;
  m_searchFile.OnFindDir = [this](TSearchFile&, const std::string& name, const TSearchFileData& data, bool& skip,
                                  bool& ignoreSubDir) { SearchFileFindDir(name, data, skip, ignoreSubDir); };
  m_searchFile.OnFind = [this](TSearchFile&, const std::string& name, const TSearchFileData& data,
                               bool& continueWalk) { SearchFileFind(name, data, continueWalk); };
  m_searchFile.OnError = [this](TSearchFile&, const std::string& path, const std::string& reason) {
    m_unreadEntries.push_back({path, reason});
  };
  // While a directory is still being read the window keeps painting, and a stop acts.
  m_searchFile.OnIdle = [this](TSearchFile&, bool& continueWalk) {
    m_host.Pump();
    continueWalk = m_running;
  };
}

void TRunDriver::Start(const std::vector<std::string>& arguments) {
  m_autoMode = arguments.size() == 2;
  if (m_autoMode) {
    // Relative paths and ".." parts are resolved here, so that depth limits and the
    // relative forms of paths find the target's text at the start of every path.
    m_commandLineTarget = TFilePath::FromNative(ExpandPath(arguments[0]));
    m_commandLineOutput = TFilePath::FromNative(ExpandPath(arguments[1]));
  }
  m_running = false;
  const TProgramPlaces places = ProgramPlaces();
  m_exeDirectory = places.Home;
  m_sharedDataDirectory = places.SharedData;
  m_settingsPath = m_exeDirectory + "Orvantis.ini";
  m_aliasPath = m_exeDirectory + "alias.ini";
  m_captionPath = m_exeDirectory + "caption.ini";
  LoadSettings(m_settingsPath, Options, &m_host);
  m_host.RefreshControls();
}

TRunOutcome TRunDriver::RunAutomatic() { return RunListing(); }

bool TRunDriver::Shutdown() {
  try {
    // An installed program's folder in ~/.config appears with its first file.
    CreateDirectories(m_exeDirectory);
    SaveSettings(m_settingsPath, Options, &m_host);
    return true;
  } catch (const std::exception& error) {
    m_host.ShowError(error.what());
    return false;
  }
}

void TRunDriver::SetTextEncoding(int codePage) {
  if (m_running) {
    return;
  }
  const int previous = ActiveCodePage();
  ConvertTextOptions(Options, previous, codePage);
  Options.TextEncoding = codePage == CodePageUtf8 ? CodePageUtf8 : CodePageShiftJis;
  SetActiveCodePage(Options.TextEncoding);
}

void TRunDriver::Stop() {
  m_running = false;
  m_host.RefreshControls();
}

TRunOutcome TRunDriver::RunListing() {
  try {
    return RunSteps();
  } catch (const std::exception& error) {
    // An error inside the walk or a writer ends the run; after the error box the
    // window returns to Idle instead of staying stuck in its running state.
    m_host.ShowError(error.what());
    EndRunning();
    return TRunOutcome::Failed;
  }
}

void TRunDriver::EndRunning() {
  m_running = false;
  m_host.RefreshControls();
}

TRunOutcome TRunDriver::RunSteps() {
  m_lists.TotalSize = 0;
  m_iconDirectory = {};
  // Linux paths have one delimiter; with or without SlashDelimiter the listing shows "/".
  m_pathSeparator = std::string(1, PathDelim);

  if (!ChooseTargetAndOutput() || !PrepareIconDirectory() || !CheckRegExp()) {
    return TRunOutcome::NotStarted;
  }

  m_running = true;
  m_host.RefreshControls();
  m_entriesWalked = 0;
  m_directoriesWalked = 0;
  m_unreadEntries.clear();
  m_patternErrorsTaken = 0;
  m_notices.clear();
  m_lists.FileList.Clear();
  m_lists.DirectoryList.Clear();

  m_searchFile.Recursive = Options.SubFolder;
  m_targetDirectory.Text = WithTrailingDelimiter(m_targetDirectory.Text);
  if (m_targetDirectory.Native.empty() || m_targetDirectory.Native.back() != PathDelim) {
    m_targetDirectory.Native += PathDelim;
  }
  m_searchFile.SetDirectory(m_targetDirectory);
  m_filters.Prepare(m_targetDirectory.Text);

  m_host.ShowStatus(Text(kPreparing));
  m_host.Pump();

  const int threads = WorkerThreadCount();
  m_searchFile.Threads = threads;
  m_builder.BeginWalk(m_targetDirectory.Text, m_iconDirectory, m_aliasPath, threads, [this] { return m_running; });
  bool walked = false;
  try {
    walked = m_searchFile.Execute();
  } catch (...) {
    m_builder.EndWalk(false);
    throw;
  }
  // The content reads of the last files may still be under way.
  const bool read = m_builder.EndWalk(walked && m_running);
  // A stop while directories are gathered skips them all, the target included, and the
  // walk then ends "complete" with nothing in it: that is a stopped walk too, and no
  // empty listing replaces the user's file.
  if (!walked || !read || !m_running) {
    m_host.ShowStatus(Text(kStopped));
    m_host.Pump();
    EndRunning();
    return TRunOutcome::Stopped;
  }

  m_host.ShowStatus(Text(kSorting));
  m_host.Pump();
  SortLists(threads);

  LoadCaptions(m_captionPath, m_captions);
  m_host.ShowStatus(Text(kWriting));
  m_host.Pump();
  if (!WriteOutput()) {
    // A hand-edited file type: nothing was written, and that is not a success.
    EndRunning();
    m_host.ShowStatus({});
    m_host.ShowError(Text(kNoWriterStart) + std::to_string(Options.FileType) + Text(kNoWriterEnd));
    return TRunOutcome::Failed;
  }
  if (!m_running) {
    // Stopped while the rows were written: the listing is closed where it stopped,
    // and it is not the whole tree, so it is neither opened nor called written.
    EndRunning();
    m_host.ShowStatus(Text(kStopped));
    return TRunOutcome::WrittenInPart;
  }

  EndRunning();
  // The last status text stays on the bar: it says whether the listing is whole, and
  // what could not be done beside it. No box: an automatic run must not wait for a click.
  std::string last = m_unreadEntries.empty() ? std::string()
                                             : std::to_string(m_unreadEntries.size()) + Text(kUnreadCount);
  for (const std::string& notice : m_notices) {
    last += (last.empty() ? "" : " / ") + notice;
  }
  m_host.ShowStatus(last);
  if (Options.FileOpen) {
    OpenResult();
  }
  return TRunOutcome::Written;
}

bool TRunDriver::ChooseTargetAndOutput() {
  if (!m_autoMode) {
    static const char* const kExtensions[] = {"csv", "html", "xml"};  // by file type
    const std::string extension = Options.FileType >= FileTypeCsv && Options.FileType <= FileTypeXml
                                      ? kExtensions[Options.FileType]
                                      : std::string();
    TFilePath chosen;
    if (!m_host.ChooseOutputFile(extension, chosen)) {
      return false;
    }
    m_targetDirectory = m_host.SelectedDirectory();
    m_outputFile = chosen;
    return true;
  }
  m_targetDirectory = m_commandLineTarget;
  m_outputFile = m_commandLineOutput;
  if (const int fileType = FileTypeFromExtension(m_outputFile.Text); fileType >= 0) {
    Options.FileType = fileType;
  }
  return true;
}

bool TRunDriver::PrepareIconDirectory() {
  if (Options.FileType == FileTypeCsv || !Options.OutputIconFile) {
    return true;
  }
  Options.IconDir = TrimControls(Options.IconDir);
  if (Options.IconDir.empty()) {
    m_host.ShowWarning(Text(kIconDirRequired));
    return false;
  }
  m_iconDirectory.Text = ExtractFileDir(m_outputFile.Text) + m_pathSeparator + Options.IconDir;
  m_iconDirectory.Native = ExtractFileDir(m_outputFile.Native) + m_pathSeparator + AnsiToUtf8(Options.IconDir);
  if (DirectoryExists(m_iconDirectory.Native)) {
    return true;
  }
  const std::string question =
      Text(kIconDirMissing) + "\r\n\r\n" + m_iconDirectory.Text + "\r\n\r\n" + Text(kIconDirCreateQuestion);
  if (!m_host.ConfirmWarning(question)) {
    return false;
  }
  if (!CreateDirectoryLevel(m_iconDirectory.Native)) {
    m_host.ShowWarning(Text(kIconDirNotCreated));
    return false;
  }
  return true;
}

bool TRunDriver::CheckRegExp() {
  if (!Options.RegExp) {
    return true;
  }
  if (m_filters.AcceptsPattern()) {
    return true;
  }
  m_host.ShowWarning(Text(kBadPattern) + "\r\n" + Text(kPatternEngineHint) + "\r\n" + std::string(kPatternSyntaxUrl));
  return false;
}

void TRunDriver::SortLists(int threads) {
  // The writers take each directory's files in list order, so grouping the files by
  // directory gives every listing byte for byte what a sort of the full paths gives,
  // at a fraction of the cost. Sorting by directory first and then by directory and
  // time gives the order of the second sort alone.
  const auto sortDirectories = [this] { m_lists.DirectoryList.Sort(CompareByPath); };
  if (threads <= 1) {
    m_lists.FileList.SortByDirectoryGroups(Options.SortByLastWriteTime);
    sortDirectories();
    return;
  }
  // The two lists share nothing, so the directories sort on a thread of their own.
  std::future<void> directories = std::async(std::launch::async, sortDirectories);
  m_lists.FileList.SortByDirectoryGroups(Options.SortByLastWriteTime);
  directories.get();
}

bool TRunDriver::WriteOutput() {
  const TRegionalSettings regional = ReadRegionalSettings();
  const TListingContext context{
      .Options = Options,
      .Lists = m_lists,
      .TargetDirectory = m_targetDirectory,
      .OutputFile = m_outputFile,
      .IconDirectory = m_iconDirectory,
      .PathSeparator = m_pathSeparator,
      .ExeDirectory = m_exeDirectory,
      .Captions = m_captions,
      .Host = m_host,
      .Running = m_running,
      .Regional = regional,
      .Clock = CurrentLocalDateTime,
      .SampleDirectory = m_sharedDataDirectory,
      .Notices = &m_notices,
  };
  if (Options.FileType == FileTypeXml) {
    // The stylesheet copy in the home folder may be the first file saved there.
    CreateDirectories(m_exeDirectory);
  }
  // False for a file type that names no format (a hand-edited settings file).
  return WriteListing(context);
}

void TRunDriver::OpenResult() {
  const std::string program = TrimControls(Options.SelectProgram);
  if (Options.UseSelectProgram && !program.empty()) {
    // The output path is handed over as one argument; no shell splits or quotes it.
    m_host.OpenDocument(AnsiToUtf8(program), m_outputFile.Native);
  } else {
    m_host.OpenDocument({}, m_outputFile.Native);
  }
}

void TRunDriver::SearchFileFindDir(const std::string& name, const TSearchFileData& data, bool& skip,
                                   bool& ignoreSubDir) {
  ++m_directoriesWalked;
  m_host.ShowStatus(name);
  // The stop reaches the directory phase by keeping every remaining directory out;
  // otherwise the first rule that applies keeps the directory and its subtree out.
  const std::size_t delimiter = AnsiLastDelimiter(std::string_view(&PathDelim, 1), name);
  const std::string_view ownName =
      delimiter == std::string::npos ? std::string_view(name) : std::string_view(name).substr(delimiter + 1);
  if (!m_running || m_filters.IsIgnoredDirName(ownName) || !m_filters.WithinTreeLevel(name) ||
      (data.IsHidden && Options.IgnoreHiddenAttribute) || (data.IsSystem && Options.IgnoreSystemAttribute)) {
    skip = true;
    ignoreSubDir = true;
  }
  m_host.Pump();
}

void TRunDriver::SearchFileFind(const std::string& name, const TSearchFileData& data, bool& continueWalk) {
  ++m_entriesWalked;
  m_host.ShowEntryCount(m_entriesWalked);
  m_builder.BuildEntry(name, data);
  TakePatternErrors(data.NativePath);
  if (!m_running) {
    continueWalk = false;
  }
}

void TRunDriver::TakePatternErrors(const std::string& nativePath) {
  // The filters record the files the engine gave up on; taken here, they join the
  // walk's errors in walk order, with the native path the filters never see.
  const std::vector<TPatternMatchError>& errors = m_filters.PatternErrors();
  for (; m_patternErrorsTaken < errors.size(); ++m_patternErrorsTaken) {
    const TPatternMatchError& error = errors[m_patternErrorsTaken];
    m_unreadEntries.push_back({error.Path,
                               Text(kPatternGaveUp) + Options.RegExpText + Text(kPatternGaveUpEnd) + error.Message,
                               nativePath});
  }
}

}  // namespace orv
