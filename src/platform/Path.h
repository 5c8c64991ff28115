// Paths. The program shows and compares paths as CP932 text, but a name that CP932
// cannot hold would turn into "?" there, so every path that is used to reach a file
// keeps its native form (the file-system bytes) beside the text.
#pragma once

#include <string>
#include <string_view>

namespace orv {

inline constexpr char PathDelim = '/';

// A path as the program shows it (Text, CP932) and as the file system knows it
// (Native, UTF-8 bytes on Linux).
struct TFilePath {
  std::string Text;
  std::string Native;

  static TFilePath FromNative(std::string native);
  static TFilePath FromText(std::string text);
  bool Empty() const { return Native.empty(); }
};

// An absolute form of a native path: a relative path is taken against the current
// directory, then "." parts, ".." parts and doubled delimiters are removed (no
// symbolic link is resolved). A trailing delimiter stays. "" stays "".
std::string ExpandPath(std::string_view native);

// The lexical normalisation ExpandPath applies to an absolute path.
std::string NormalisePath(std::string_view absolute);

// The process's current directory (native), "" when it cannot be read.
std::string CurrentDirectory();

// The directory that holds the program's files, ending in "/": ORVANTIS_HOME when it
// is set and not empty, else the directory of the running executable.
std::string ExecutableDirectory();

// The directory of the running executable, ending in "/", whatever ORVANTIS_HOME says:
// where the build installs the files that ship with the program.
std::string ProgramDirectory();

// The directory part of a native or CP932 path up to, not including, its last
// delimiter ("" when there is none). Character-aware for CP932 text.
std::string ExtractFileDir(std::string_view path);

// The text after the last delimiter.
std::string ExtractFileName(std::string_view path);

// The extension of the file-name part, dot included ("" when the name has no dot).
std::string ExtractFileExt(std::string_view path);

}  // namespace orv
