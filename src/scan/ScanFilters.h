// The scan filters: which directories the walk enters and which entries the listing
// keeps. The lists are parsed once per run from the options' comma texts; the
// predicates are asked for every entry.
#pragma once

#include "core/RunOptions.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The comma-text rule of the option texts: items end at a comma or at a character
// 1-32 (so "jpg gif" is two items), a double-quoted item may hold both ("" inside
// stands for one quote), empty items are kept ("a,,b", "tmp,"), double-byte
// characters belong to the item whole.
void ParseFilterList(std::string_view text, std::vector<std::string>& list);

class TScanFilters {
public:
  explicit TScanFilters(const RunOptions& options) : m_options(options) {}

  // Fills the two lists from the options (only when the filter is on and its trimmed
  // text is not empty) and remembers the target directory (CP932, ending in "/").
  void Prepare(const std::string& targetDirectory);

  // ext: the file's extension with its dot ("" without one).
  bool MatchesExtensionFilter(std::string_view ext) const;
  // path: the file's full path. A pattern the engine rejects matches nothing.
  bool MatchesRegExpFilter(const std::string& path) const;
  // name: a directory's own name.
  bool IsIgnoredDirName(std::string_view name) const;
  // dir: a directory's full path as the walker reports it.
  bool WithinTreeLevel(std::string_view dir) const;
  bool PassesAttributeRule(bool isHidden, bool isSystem) const {
    return (!m_options.IgnoreSystemAttribute || !isSystem) && (!m_options.IgnoreHiddenAttribute || !isHidden);
  }

  const std::vector<std::string>& ExtensionList() const { return m_extensionList; }
  const std::vector<std::string>& IgnoreDirList() const { return m_ignoreDirList; }

private:
  const RunOptions& m_options;
  std::string m_targetDirectory;
  std::vector<std::string> m_extensionList;
  std::vector<std::string> m_ignoreDirList;
};

}  // namespace orv
