// The scan filters: which directories the walk enters and which entries the listing
// keeps. The lists are parsed once per run from the options' comma texts; the
// predicates are asked for every entry.
#pragma once

#include "core/RunOptions.h"
#include "scan/BRegExp.h"

#include <string>
#include <string_view>
#include <vector>

namespace orv {

// The comma-text rule of the option texts: items end at a comma or at a character
// 1-32 (so "jpg gif" is two items), a double-quoted item may hold both ("" inside
// stands for one quote), empty items are kept ("a,,b", "tmp,"), double-byte
// characters belong to the item whole.
void ParseFilterList(std::string_view text, std::vector<std::string>& list);

// A file the user's pattern could not be matched against: the engine gave up (its
// match, depth or heap limit) instead of answering yes or no.
struct TPatternMatchError {
  std::string Path;     // the file's full path, CP932
  std::string Message;  // the engine's reason
};

// The filters of one run. Not thread-safe: the run that owns them asks them from one
// thread (the walk's), since the user's pattern is matched by their own adapter.
class TScanFilters {
public:
  explicit TScanFilters(const RunOptions& options) : m_options(options) {}

  // Fills the two lists from the options (only when the filter is on and its trimmed
  // text is not empty), remembers the target directory (CP932, ending in "/") and
  // forgets the pattern errors of the previous run.
  void Prepare(const std::string& targetDirectory);

  // Whether the engine takes the options' pattern (RegExpText); the run refuses to
  // start with one it does not.
  bool AcceptsPattern();

  // ext: the file's extension with its dot ("" without one).
  bool MatchesExtensionFilter(std::string_view ext) const;
  // path: the file's full path. A pattern the engine rejects matches nothing; a path
  // the engine gives up on is not kept either, and is recorded in PatternErrors.
  bool MatchesRegExpFilter(std::string_view path);
  // name: a directory's own name.
  bool IsIgnoredDirName(std::string_view name) const;
  // dir: a directory's full path as the walker reports it.
  bool WithinTreeLevel(std::string_view dir) const;
  bool PassesAttributeRule(bool isHidden, bool isSystem) const {
    return (!m_options.IgnoreSystemAttribute || !isSystem) && (!m_options.IgnoreHiddenAttribute || !isHidden);
  }

  const std::vector<std::string>& ExtensionList() const { return m_extensionList; }
  const std::vector<std::string>& IgnoreDirList() const { return m_ignoreDirList; }
  // The files of this run that the pattern could not be matched against.
  const std::vector<TPatternMatchError>& PatternErrors() const { return m_patternErrors; }

private:
  const RunOptions& m_options;
  std::string m_targetDirectory;
  std::vector<std::string> m_extensionList;
  std::vector<std::string> m_ignoreDirList;
  TBRegExp m_pattern;
  std::vector<TPatternMatchError> m_patternErrors;
};

}  // namespace orv
