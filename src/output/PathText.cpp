// Directory texts of entries: parent, relative forms and the separator swap.
#include "output/PathText.h"

#include "platform/AnsiText.h"
#include "output/Escape.h"
#include "platform/CodePage.h"
#include "platform/Path.h"

#include <algorithm>
#include <vector>

namespace orv {

namespace {

constexpr std::string_view kDelim(&PathDelim, 1);
// CP932 trail bytes run from here up; no byte below is ever part of a longer character
// in either code page.
constexpr unsigned char kFirstTrailByte = 0x40;
constexpr unsigned char kFirstNonAsciiByte = 0x80;

// The text up to and including the last delimiter; "" without one.
std::string_view DirectoryOf(std::string_view path) {
  const std::size_t at = AnsiLastDelimiter(kDelim, path);
  return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

// The names of a directory part, each the text between two delimiters. The delimiter
// lies below the trail bytes and is never part of a UTF-8 sequence, so its byte alone
// finds it, as DirectoryOf does.
std::vector<std::string_view> DirectoryNames(std::string_view directory) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  for (std::size_t at = directory.find(PathDelim); at != std::string_view::npos;
       at = directory.find(PathDelim, at + 1)) {
    if (at > 0) {
      names.push_back(directory.substr(start, at - start));
    }
    start = at + 1;
  }
  return names;
}

}  // namespace

std::string_view ParentDirectory(const TDataItem& item) {
  std::string_view path = item.Path();
  if (item.IsDirectory && AnsiEndsWithDelimiter(path, PathDelim)) {
    path.remove_suffix(1);
  }
  return DirectoryOf(path);
}

std::string RelativeToTarget(std::string_view directory, std::string_view target) {
  // Every listed directory starts with the target exactly; the search without regard
  // to case is the rule for anything else.
  std::size_t at = directory.starts_with(target) ? 0 : AnsiFindText(directory, target);
  if (at == std::string_view::npos || target.empty()) {
    return std::string(directory);
  }
  std::string result;
  result.reserve(directory.size() - target.size() + 2);
  result.append(directory.substr(0, at));
  result += '.';
  result += PathDelim;
  result.append(directory.substr(at + target.size()));
  return result;
}

std::string RelativePath(std::string_view base, std::string_view dest) {
  const std::vector<std::string_view> baseNames = DirectoryNames(DirectoryOf(base));
  const std::string_view destDirectory = DirectoryOf(dest);
  const std::vector<std::string_view> destNames = DirectoryNames(destDirectory);
  std::size_t common = 0;
  while (common < baseNames.size() && common < destNames.size() && baseNames[common] == destNames[common]) {
    ++common;
  }
  std::string result;
  for (std::size_t i = common; i < baseNames.size(); ++i) {
    result += "..";
    result += PathDelim;
  }
  for (std::size_t i = common; i < destNames.size(); ++i) {
    result.append(destNames[i]);
    result += PathDelim;
  }
  result.append(dest.substr(destDirectory.size()));
  return result;
}

TEntryLocation EntryLocation(std::string_view parentDirectory, const RunOptions& options, std::string_view target,
                             std::string_view outputFile) {
  TEntryLocation location;
  if (options.PathMode == PathModeAbsolute) {
    location.DisplayDirectory = parentDirectory;
    location.LinkDirectory = parentDirectory;
    return location;
  }
  location.LinkDirectory = ".";
  location.LinkDirectory += PathDelim;
  location.LinkDirectory += RelativePath(options.LinkPathMode == LinkPathToOutput ? outputFile : target, parentDirectory);
  location.DisplayDirectory = RelativeToTarget(parentDirectory, target);
  return location;
}

namespace {

bool IsAsciiText(std::string_view text) {
  return std::all_of(text.begin(), text.end(),
                     [](char c) { return static_cast<unsigned char>(c) < kFirstNonAsciiByte; });
}

// The native bytes of text that has no stored native form, as AppendEntryLink writes
// them: under UTF-8 the text is its own native form.
void AppendNativeEscaped(std::string& out, std::string_view text) {
  if (IsAsciiText(text) || ActiveCodePage() == CodePageUtf8) {
    AppendLinkEscaped(out, text);
  } else {
    AppendLinkEscaped(out, AnsiToUtf8(text));
  }
}

// Whether text converts alone as it does at the start of a longer text: it ends in a
// byte below the trail bytes, which both code pages decode as a character of its own.
bool EndsAtCharacter(std::string_view text) {
  return text.empty() || static_cast<unsigned char>(text.back()) < kFirstTrailByte;
}

// Fills in the link start of location.
void SetLinkStart(TEntryLocation& location) {
  location.LinkStart.clear();
  location.LinkStartValid = EndsAtCharacter(location.LinkDirectory);
  if (location.LinkStartValid) {
    AppendNativeEscaped(location.LinkStart, location.LinkDirectory);
  }
}

}  // namespace

std::string NativeLinkPath(std::string_view linkText, const TDataItem& item) {
  if (!item.HasStoredNativePath()) {
    return AnsiToUtf8(linkText);
  }
  std::string_view path = item.Path();
  std::string native = item.NativePath();
  if (item.IsDirectory) {
    if (path.ends_with(PathDelim)) path.remove_suffix(1);
    if (!native.empty() && native.back() == PathDelim) native.pop_back();
  }
  // The longest tail of the link that is a tail of the path and starts a name there.
  std::size_t common = 0;
  while (common < linkText.size() && common < path.size() &&
         linkText[linkText.size() - 1 - common] == path[path.size() - 1 - common]) {
    ++common;
  }
  while (common > 0 && common < linkText.size() && linkText[linkText.size() - common - 1] != PathDelim) {
    --common;
  }
  if (common < path.size() && path[path.size() - common - 1] != PathDelim && common != linkText.size()) {
    // Cannot happen for a link that ends in the item's path; keep the text's form.
    return AnsiToUtf8(linkText);
  }
  const std::string_view tail = linkText.substr(linkText.size() - common);
  const std::size_t names = static_cast<std::size_t>(std::count(tail.begin(), tail.end(), PathDelim)) + 1;
  // The same number of names from the end of the native path: "/" stands for itself in
  // both forms and is never part of a longer character.
  std::size_t start = native.size();
  for (std::size_t found = 0; found < names && start > 0;) {
    --start;
    if (native[start] == PathDelim && ++found == names) {
      ++start;
      break;
    }
  }
  return AnsiToUtf8(linkText.substr(0, linkText.size() - common)) + native.substr(start);
}

std::string IconLinkText(const TDataItem& item, const RunOptions& options, std::string_view separator) {
  std::string text = ".";
  text += separator;
  text += options.IconDir;
  text += separator;
  text += item.IconFileName();
  return text;
}

void AppendEntryLink(std::string& out, std::string_view linkText, const TDataItem& item) {
  if (!item.HasStoredNativePath()) {
    AppendNativeEscaped(out, linkText);
  } else {
    AppendLinkEscaped(out, NativeLinkPath(linkText, item));
  }
}

void AppendEntryLink(std::string& out, const TEntryLocation& location, const TDataItem& item, std::string& scratch) {
  if (item.HasStoredNativePath() || !location.LinkStartValid) {
    scratch = location.LinkDirectory;
    scratch += item.Name();
    AppendEntryLink(out, scratch, item);
    return;
  }
  out += location.LinkStart;
  AppendNativeEscaped(out, item.Name());
}

TIconLink::TIconLink(const RunOptions& options, std::string_view separator)
    : m_options(options), m_separator(separator) {
  std::string start = ".";
  start += separator;
  start += options.IconDir;
  start += separator;
  if (EndsAtCharacter(start)) {
    AppendLinkEscaped(m_start, AnsiToUtf8(start));
  }
}

void TIconLink::Append(std::string& out, const TDataItem& item) const {
  if (m_start.empty()) {
    AppendLinkEscaped(out, AnsiToUtf8(IconLinkText(item, m_options, m_separator)));
    return;
  }
  out += m_start;
  AppendLinkEscaped(out, AnsiToUtf8(item.IconFileName()));
}

const TEntryLocation& TLocationCache::For(std::string_view parentDirectory, int level) {
  const std::size_t index = level > 0 ? static_cast<std::size_t>(level) : 0;
  if (index >= m_slots.size()) {
    m_slots.resize(index + 1);
  }
  TSlot& slot = m_slots[index];
  if (!slot.Valid || parentDirectory != slot.Parent) {
    slot.Parent = parentDirectory;
    slot.Location = EntryLocation(parentDirectory, m_options, m_target, m_outputFile);
    SetLinkStart(slot.Location);
    slot.Valid = true;
  }
  return slot.Location;
}

std::string SlashSeparators(std::string_view text, std::string_view separator) {
  return AnsiReplaceAll(text, kDelim, separator);
}

void ApplySlashSeparators(std::string& text, std::string_view separator) {
  if (separator != kDelim) {
    text = SlashSeparators(text, separator);
  }
}

}  // namespace orv
