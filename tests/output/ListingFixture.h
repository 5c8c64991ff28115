// A listing run without a file system walk: records built in the test, a host that
// records status texts and presses stop at a chosen pump, a fixed clock, and the
// output in a temporary directory.
#pragma once

#include "core/DataList.h"
#include "output/Captions.h"
#include "output/ListingContext.h"
#include "platform/CodePage.h"
#include "platform/DateTime.h"
#include "platform/File.h"
#include "support/FakeRunHost.h"
#include "support/TempDir.h"

#include <memory>
#include <string>
#include <vector>

namespace orv::test {

// UTF-8 text as the program's CP932 bytes.
inline std::string Sjis(std::string_view utf8) { return Utf8ToAnsi(utf8); }

struct TListingRun {
  TTempDir Temp;
  RunOptions Options;
  TRunLists Lists;
  TFilePath Target = TFilePath::FromText("/t/");
  TFilePath Output;
  TFilePath IconDirectory;
  std::string Separator = "/";
  std::string ExeDirectory = Temp.MakeDir("exe") + "/";
  TCaption Captions;
  TFakeRunHost Host;
  bool Running = true;
  int PumpsBeforeStop = -1;  // the host's pump that clears Running; -1 never
  TRegionalSettings Regional;

  explicit TListingRun(const char* outputName = "list.csv") {
    Output = TFilePath::FromNative(Temp.MakeDir("out") + "/" + outputName);
    LoadCaptions(Temp / "no-caption.ini", Captions);
    Host.OnPump = [this] {
      if (Host.Pumps == PumpsBeforeStop) Running = false;
    };
    // Only what a test turns on.
    Options.LastUpdateTime = false;
    Options.HyperLink = false;
    Options.FileType = std::string_view(outputName).ends_with(".xml") ? FileTypeXml : FileTypeCsv;
  }

  // A record below the target ("sub/" for a directory), UTF-8 in, CP932 stored.
  TDataItem& Add(std::string_view relative, int64_t size = 0) {
    TDataItem item;
    const bool directory = relative.ends_with('/');
    item.SetPath(Target.Text + Sjis(relative), "", directory);
    item.IsDirectory = directory;
    item.Size = size;
    TDataList& list = directory ? Lists.DirectoryList : Lists.FileList;
    if (!directory) Lists.TotalSize += size;
    return list.Items(list.Add(std::move(item)));
  }

  // The driver's part before the writer, with the calls a run makes: each file
  // counted for its own directory, the counts added up the tree, then the files
  // grouped by directory and the directories sorted by path.
  void Prepare() {
    TDirectoryCounter counter(Lists.DirectoryList);
    for (std::size_t i = 0; i < Lists.FileList.Count(); ++i) {
      counter.CountFile(Lists.FileList.Items(i).Path(), Lists.FileList.Items(i).StoredNativePath());
    }
    counter.AddCountsToAncestors();
    Lists.FileList.SortByDirectoryGroups(Options.SortByLastWriteTime);
    Lists.DirectoryList.Sort(CompareByPath);
  }

  TListingContext Context() {
    return TListingContext{.Options = Options, .Lists = Lists, .TargetDirectory = Target, .OutputFile = Output,
                           .IconDirectory = IconDirectory, .PathSeparator = Separator, .ExeDirectory = ExeDirectory,
                           .Captions = Captions, .Host = Host, .Running = Running,
                           .Regional = Regional, .Clock = [] {
                             TDateTime value = 0;
                             EncodeDateTime({2024, 5, 6, 7, 8, 9, 0}, value);
                             return value;
                           }};
  }

  std::string Written() const { return ReadFileText(Output.Native); }
};

// Lines joined with CR LF, each ended by one, converted to CP932.
inline std::string CrLfLines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text += Sjis(line);
    text += "\r\n";
  }
  return text;
}

}  // namespace orv::test
