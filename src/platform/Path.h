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

// Where the program keeps its files. Home holds the settings, alias and caption files
// and the stylesheet copy; SharedData the files that ship with the program (the
// stylesheet sample). Both native, ending in "/".
struct TProgramPlaces {
  std::string Home;
  std::string SharedData;
};

// The choice, from what the environment says. A portable copy (its folder writable,
// as a build folder is) keeps both beside the executable. An installed program (its
// folder not writable) keeps Home in xdgConfigHome/orvantis/ (an absolute
// xdgConfigHome only, else userHome/.config/orvantis/) and reads SharedData from
// share/orvantis/ beside the executable's folder (/usr/bin/ -> /usr/share/orvantis/).
// orvantisHome, when not empty, is Home in either case.
TProgramPlaces ChooseProgramPlaces(const std::string& programDirectory, bool programDirectoryWritable,
                                   std::string_view orvantisHome, std::string_view xdgConfigHome,
                                   std::string_view userHome);

// ChooseProgramPlaces for this process: ORVANTIS_HOME, XDG_CONFIG_HOME, HOME (or the
// user's home from the password database) and whether this user may write to the
// executable's folder.
TProgramPlaces ProgramPlaces();

// ProgramPlaces().Home: where the settings, alias and caption files live.
std::string ExecutableDirectory();

// The directory of the running executable, ending in "/", whatever ORVANTIS_HOME says.
std::string ProgramDirectory();

// The directory part of a native or CP932 path up to, not including, its last
// delimiter ("" when there is none). Character-aware for CP932 text.
std::string ExtractFileDir(std::string_view path);

// The text after the last delimiter.
std::string ExtractFileName(std::string_view path);

// The extension of the file-name part, dot included ("" when the name has no dot).
std::string ExtractFileExt(std::string_view path);

}  // namespace orv
