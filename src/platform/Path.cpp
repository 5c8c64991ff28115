// Portable path handling: the text/native pair, lexical normalisation and the
// splitting of paths into directory, name and extension.
//
// The delimiter "/" (0x2F) is below every CP932 trail byte (0x40 and above) and is
// never part of a multi-byte UTF-8 sequence, so a byte search for it is
// character-aware in both the native and the CP932 form of a path.
#include "platform/Path.h"

#include "platform/CodePage.h"

#include <vector>

namespace orv {

TFilePath TFilePath::FromNative(std::string native) {
  TFilePath path;
  path.Text = Utf8ToAnsi(native);
  path.Native = std::move(native);
  return path;
}

TFilePath TFilePath::FromText(std::string text) {
  TFilePath path;
  path.Native = AnsiToUtf8(text);
  path.Text = std::move(text);
  return path;
}

std::string NormalisePath(std::string_view absolute) {
  std::vector<std::string_view> parts;
  std::size_t pos = 0;
  while (pos < absolute.size()) {
    std::size_t next = absolute.find(PathDelim, pos);
    if (next == std::string_view::npos) {
      next = absolute.size();
    }
    std::string_view part = absolute.substr(pos, next - pos);
    if (part == "..") {
      if (!parts.empty()) {
        parts.pop_back();
      }
    } else if (!part.empty() && part != ".") {
      parts.push_back(part);
    }
    pos = next + 1;
  }
  std::string result;
  result.reserve(absolute.size());
  for (std::string_view part : parts) {
    result += PathDelim;
    result += part;
  }
  const bool trailing = absolute.size() > 1 && (absolute.back() == PathDelim || absolute.ends_with("/.") ||
                                               absolute.ends_with("/.."));
  if (result.empty() || trailing) {
    result += PathDelim;
  }
  return result;
}

std::string ExpandPath(std::string_view native) {
  if (native.empty()) {
    return {};
  }
  if (native.front() == PathDelim) {
    return NormalisePath(native);
  }
  std::string absolute = CurrentDirectory();
  absolute += PathDelim;
  absolute += native;
  return NormalisePath(absolute);
}

namespace {

std::string WithTrailingDelim(std::string directory) {
  if (directory.empty() || directory.back() != PathDelim) {
    directory += PathDelim;
  }
  return directory;
}

}  // namespace

TProgramPlaces ChooseProgramPlaces(const std::string& programDirectory, bool programDirectoryWritable,
                                   std::string_view orvantisHome, std::string_view xdgConfigHome,
                                   std::string_view userHome) {
  TProgramPlaces places;
  if (programDirectoryWritable) {
    places.Home = places.SharedData = programDirectory;
  } else {
    places.SharedData = NormalisePath(WithTrailingDelim(programDirectory) + "../share/orvantis/");
    // A relative XDG_CONFIG_HOME is invalid by the XDG base directory rules: ignored.
    const std::string config = !xdgConfigHome.empty() && xdgConfigHome.front() == PathDelim
                                   ? std::string(xdgConfigHome)
                                   : WithTrailingDelim(std::string(userHome)) + ".config";
    places.Home = NormalisePath(WithTrailingDelim(config) + "orvantis/");
  }
  if (!orvantisHome.empty()) {
    places.Home = WithTrailingDelim(ExpandPath(orvantisHome));
  }
  return places;
}

std::string ExtractFileDir(std::string_view path) {
  const std::size_t at = path.rfind(PathDelim);
  return at == std::string_view::npos ? std::string() : std::string(path.substr(0, at));
}

std::string ExtractFileName(std::string_view path) {
  const std::size_t at = path.rfind(PathDelim);
  return std::string(at == std::string_view::npos ? path : path.substr(at + 1));
}

std::string ExtractFileExt(std::string_view path) {
  const std::string name = ExtractFileName(path);
  // "." is below the CP932 trail bytes as well, so a byte search finds only real dots.
  const std::size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot);
}

}  // namespace orv
