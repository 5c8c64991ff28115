// The scan filters' parsing and predicates.
#include "scan/ScanFilters.h"

#include "platform/AnsiText.h"
#include "platform/Path.h"

namespace orv {

namespace {

bool IsSeparatorByte(char c) {
  const auto b = static_cast<unsigned char>(c);
  return b >= 1 && b <= 32;
}

}  // namespace

void ParseFilterList(std::string_view text, std::vector<std::string>& list) {
  list.clear();
  std::size_t i = 0;
  const auto skipSeparators = [&] {
    while (i < text.size() && IsSeparatorByte(text[i])) ++i;
  };
  skipSeparators();
  while (i < text.size()) {
    std::string item;
    if (text[i] == '"') {
      ++i;
      bool closed = false;
      std::size_t lastLength = 0;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            item += '"';
            lastLength = 1;
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        lastLength = CharLength(text, i);
        item.append(text.substr(i, lastLength));
        i += lastLength;
      }
      // Without its closing quote the item is the rest of the text less its last
      // character.
      if (!closed) {
        item.resize(item.size() - lastLength);
      }
    } else {
      while (i < text.size() && text[i] != ',' && !IsSeparatorByte(text[i])) {
        const std::size_t length = CharLength(text, i);
        item.append(text.substr(i, length));
        i += length;
      }
    }
    list.push_back(std::move(item));
    skipSeparators();
    if (i < text.size() && text[i] == ',') {
      if (i + 1 == text.size()) {
        list.emplace_back();
      }
      ++i;
      skipSeparators();
    }
  }
}

void TScanFilters::Prepare(const std::string& targetDirectory) {
  m_targetDirectory = targetDirectory;
  m_extensionList.clear();
  m_ignoreDirList.clear();
  m_patternErrors.clear();
  if (const std::string text = TrimControls(m_options.Extensions); m_options.ExtensionFilter && !text.empty()) {
    ParseFilterList(text, m_extensionList);
  }
  if (const std::string text = TrimControls(m_options.IgnoreDirs); m_options.IgnoreDir && !text.empty()) {
    ParseFilterList(text, m_ignoreDirList);
  }
}

bool TScanFilters::MatchesExtensionFilter(std::string_view ext) const {
  if (!m_options.ExtensionFilter || m_extensionList.empty()) {
    return true;
  }
  bool listed = false;
  // Items are written without their dot: "jpg" stands for ".jpg"; an item ".jpg" is
  // compared as "..jpg" and so matches nothing.
  for (const std::string& item : m_extensionList) {
    if (ext.size() == item.size() + 1 && !ext.empty() && ext.front() == '.' && AnsiSameText(ext.substr(1), item)) {
      listed = true;
      break;
    }
  }
  return m_options.FilterMode == FilterModeInclude ? listed : !listed;
}

bool TScanFilters::AcceptsPattern() {
  // Only whether the engine takes the pattern matters here, not the match.
  constexpr std::string_view kProbeSubject = "TORNIX909";
  try {
    m_pattern.Match(m_options.RegExpText, kProbeSubject);
    return true;
  } catch (const EBRegExpError&) {
    return false;
  }
}

bool TScanFilters::MatchesRegExpFilter(std::string_view path) {
  if (!m_options.RegExp) {
    return true;
  }
  try {
    return m_pattern.Match(m_options.RegExpText, path);
  } catch (const EBRegExpError& error) {
    // The run checked the pattern before the walk, so this is the engine giving up on
    // this one path: the file is not listed, and that is not kept quiet.
    m_patternErrors.push_back({std::string(path), error.what()});
    return false;
  }
}

bool TScanFilters::IsIgnoredDirName(std::string_view name) const {
  if (!m_options.IgnoreDir) {
    return false;
  }
  for (const std::string& item : m_ignoreDirList) {
    if (AnsiSameText(item, name)) {
      return true;
    }
  }
  return false;
}

bool TScanFilters::WithinTreeLevel(std::string_view dir) const {
  if (!m_options.SubFolder || !m_options.EnableTreeLevel) {
    return true;
  }
  std::string rel(dir);
  if (const std::size_t at = AnsiFind(rel, m_targetDirectory); at != std::string::npos) {
    rel.erase(at, m_targetDirectory.size());
  }
  int depth = 0;
  if (!rel.empty()) {
    depth = 1;
    for (std::size_t i = 0; i < rel.size(); i += CharLength(rel, i)) {
      if (rel[i] == PathDelim) ++depth;
    }
  }
  return static_cast<int16_t>(m_options.TreeLevel) >= depth;
}

}  // namespace orv
