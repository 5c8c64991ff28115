// TAliasLookup: the alias file ("alias.ini", section "alias": an entry's name as key,
// its alias as value), open for the duration of one walk. Keys match without regard
// to case, as the settings file's keys do; the first of two equal keys wins.
#pragma once

#include <string>
#include <string_view>
#include <unordered_map>

namespace orv {

class TAliasLookup {
public:
  // Reads the file at a native path; a missing file means no aliases, never an error.
  void Open(const std::string& nativePath);
  void Close();
  // The alias of name, or "" when there is none.
  std::string Find(std::string_view name) const;

private:
  std::unordered_map<std::string, std::string> m_aliases;  // case-folded key -> alias
};

}  // namespace orv
