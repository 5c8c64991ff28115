// The directory texts of an entry in a listing: where it lies, relative to the target
// or absolute, for display and for links. Paths are CP932 text with "/" delimiters;
// every search is character-aware ("/" is below the trail bytes, so a byte search
// for it is).
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The directory holding item, ending in the delimiter: its directory part, or for a
// directory the directory part of its path without the trailing delimiter.
std::string_view ParentDirectory(const TDataItem& item);

// directory with its leading target (matched without regard to case, first occurrence)
// replaced by "." and the delimiter: "./sub/" for target/sub/.
std::string RelativeToTarget(std::string_view directory, std::string_view target);

// dest relative to the directory of base: ".." and a delimiter for each of base's
// directory names past the names the two share, then dest's remaining directory names,
// then dest's file name. Names compare exactly: on Linux "A" and "a" are different
// folders. Paths here have no drive part, so the result is always relative.
std::string RelativePath(std::string_view base, std::string_view dest);

struct TEntryLocation {
  std::string DisplayDirectory;
  std::string LinkDirectory;
  // LinkDirectory's native bytes, percent-encoded: how the link of every entry here
  // begins that has no stored native path. Valid when LinkStartValid, which it is
  // where LinkDirectory ends in the delimiter (or is empty), so that the text converts
  // in two parts exactly as it would in one.
  std::string LinkStart;
  bool LinkStartValid = false;
};

// The display and link directories of entries in parentDirectory. Absolute paths
// (PathMode 1): both are parentDirectory. Relative: the display is relative to the
// target, the link "./" followed by the path relative to the target (LinkPathMode 0)
// or to the output file (LinkPathMode 1).
TEntryLocation EntryLocation(std::string_view parentDirectory, const RunOptions& options, std::string_view target,
                             std::string_view outputFile);

// The native (file-system) bytes of linkText, a link to item (a location's
// LinkDirectory followed by the item's name). The link ends in the item's own path, so
// where that path has a native form the text does not convert back to (a name the
// code page cannot hold), the link's last names are taken from the native path; the
// rest of the link ("./", "../" or the path's own start) converts as text.
std::string NativeLinkPath(std::string_view linkText, const TDataItem& item);

// The path of item's exported icon as the listings name it: "./", the icon folder,
// the separator and the icon's file name (text; the listings percent-encode it).
std::string IconLinkText(const TDataItem& item, const RunOptions& options, std::string_view separator);

// Appends the percent-encoded link to item whose text is linkText (LinkEscape of
// NativeLinkPath), without converting or copying it where the text is its own native
// form: a path that converts back and holds only ASCII, or any such path under UTF-8.
void AppendEntryLink(std::string& out, std::string_view linkText, const TDataItem& item);
// The same for the link location.LinkDirectory + item's name, the one the writers
// write for every row: only the name is converted, the rest comes from LinkStart.
// scratch holds the joined text where the whole has to be converted.
void AppendEntryLink(std::string& out, const TEntryLocation& location, const TDataItem& item, std::string& scratch);

// The percent-encoded native form of IconLinkText for the items of one listing: the
// part before the icon's file name is converted once, not for every row.
class TIconLink {
public:
  TIconLink(const RunOptions& options, std::string_view separator);
  // Appends LinkEscape(AnsiToUtf8(IconLinkText(item, options, separator))).
  void Append(std::string& out, const TDataItem& item) const;

private:
  const RunOptions& m_options;
  std::string_view m_separator;
  // Empty when the separator could join a character with its neighbour.
  std::string m_start;
};

// EntryLocation for one row after another, kept per level: the walk writes a
// directory's row (parent one level up), then its subtree, then its files (parent the
// directory itself), so one location per level serves every row of a parent until
// the walk leaves it, and each is worked out once.
class TLocationCache {
public:
  TLocationCache(const RunOptions& options, std::string_view target, std::string_view outputFile)
      : m_options(options), m_target(target), m_outputFile(outputFile) {}
  // level: the row's level as the walk passes it (the parent's depth below the target).
  const TEntryLocation& For(std::string_view parentDirectory, int level);

private:
  struct TSlot {
    std::string Parent;
    TEntryLocation Location;
    bool Valid = false;
  };
  const RunOptions& m_options;
  std::string_view m_target;
  std::string_view m_outputFile;
  std::vector<TSlot> m_slots;  // by level
};

// text with every delimiter replaced by separator (character-aware).
std::string SlashSeparators(std::string_view text, std::string_view separator);
// The same in place; nothing to do when separator is the delimiter itself.
void ApplySlashSeparators(std::string& text, std::string_view separator);

}  // namespace orv
