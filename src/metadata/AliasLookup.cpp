// The alias file, read once per walk into a hash table: a run looks up every entry,
// and a linear search of a long alias file per entry would grow with both.
#include "metadata/AliasLookup.h"

#include "platform/AnsiText.h"
#include "platform/ProfileFile.h"

namespace orv {

void TAliasLookup::Open(const std::string& nativePath) {
  m_aliases.clear();
  TProfileFile file(nativePath);
  if (!file.Load()) {
    return;
  }
  for (auto& [key, value] : file.ReadSection("alias")) {
    m_aliases.emplace(AnsiFoldCase(key), std::move(value));
  }
}

void TAliasLookup::Close() { m_aliases.clear(); }

std::string TAliasLookup::Find(std::string_view name) const {
  if (m_aliases.empty()) {
    return {};
  }
  const auto found = m_aliases.find(AnsiFoldCase(name));
  return found == m_aliases.end() ? std::string() : found->second;
}

}  // namespace orv
