// The directory texts of an entry in a listing: where it lies, relative to the target
// or absolute, for display and for links. Paths are CP932 text with "/" delimiters;
// every search is character-aware.
#pragma once

#include "core/DataItem.h"
#include "core/RunOptions.h"

#include <string>
#include <string_view>

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
// The writers call it for every row.
void AppendEntryLink(std::string& out, std::string_view linkText, const TDataItem& item);

// EntryLocation for one row after another: the walk writes the rows of a directory
// together, so the texts are worked out again only when the parent changes.
class TLocationCache {
public:
  TLocationCache(const RunOptions& options, std::string_view target, std::string_view outputFile)
      : m_options(options), m_target(target), m_outputFile(outputFile) {}
  const TEntryLocation& For(std::string_view parentDirectory);

private:
  const RunOptions& m_options;
  std::string_view m_target;
  std::string_view m_outputFile;
  std::string m_parent;
  TEntryLocation m_location;
  bool m_valid = false;
};

// text with every delimiter replaced by separator (character-aware).
std::string SlashSeparators(std::string_view text, std::string_view separator);
// The same in place; nothing to do when separator is the delimiter itself.
void ApplySlashSeparators(std::string& text, std::string_view separator);

}  // namespace orv
