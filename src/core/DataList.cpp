// Entry lists, their sort orders and the file counts of directories.
#include "core/DataList.h"

#include "platform/AnsiText.h"
#include "platform/Path.h"

#include <algorithm>

namespace orv {

namespace {

int CompareExact(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// Where a delimiter ends the directory part of a path; "" when there is none.
std::string_view DirectoryPartOf(std::string_view path) {
  const std::size_t at = AnsiLastDelimiter(std::string_view(&PathDelim, 1), path);
  return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  for (std::size_t i = 0; i < common; ++i) {
    auto x = static_cast<unsigned char>(a[i]);
    auto y = static_cast<unsigned char>(b[i]);
    if (x >= 'a' && x <= 'z') x -= 0x20;
    if (y >= 'a' && y <= 'z') y -= 0x20;
    if (x != y) {
      return x < y ? -1 : 1;
    }
  }
  return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int CompareByPath(const TDataItem& a, const TDataItem& b) { return CompareText(a.Path(), b.Path()); }

int CompareByDirectory(const TDataItem& a, const TDataItem& b) {
  return CompareText(a.DirectoryPart(), b.DirectoryPart());
}

int CompareByDirectoryThenNewest(const TDataItem& a, const TDataItem& b) {
  if (const int order = CompareByDirectory(a, b); order != 0) {
    return order;
  }
  // The stored times decide whatever their valid flags say.
  return b.LastUpdateTime > a.LastUpdateTime ? 1 : b.LastUpdateTime < a.LastUpdateTime ? -1 : 0;
}

std::size_t TDataList::Add(std::unique_ptr<TDataItem> item) {
  if (m_indexByPath) {
    m_index.emplace(item->Path(), item.get());
  }
  m_items.push_back(std::move(item));
  return m_items.size() - 1;
}

void TDataList::Delete(std::size_t i) {
  if (m_indexByPath) {
    auto found = m_index.find(m_items[i]->Path());
    if (found != m_index.end() && found->second == m_items[i].get()) {
      m_index.erase(found);
    }
  }
  m_items.erase(m_items.begin() + static_cast<std::ptrdiff_t>(i));
}

void TDataList::Clear() {
  m_index.clear();
  m_items.clear();
  m_items.shrink_to_fit();
}

void TDataList::Sort(TItemCompare compare) {
  std::sort(m_items.begin(), m_items.end(), [compare](const auto& a, const auto& b) {
    const int order = compare(*a, *b);
    return order != 0 ? order < 0 : CompareExact(a->Path(), b->Path()) < 0;
  });
}

TDataItem* TDataList::FindPath(std::string_view path) const {
  const auto found = m_index.find(path);
  return found == m_index.end() ? nullptr : found->second;
}

void CountFileInDirectories(TDataList& directories, std::string_view filePath) {
  std::string_view directory = DirectoryPartOf(filePath);
  while (!directory.empty()) {
    TDataItem* record = directories.FindPath(directory);
    if (!record) {
      return;
    }
    ++record->FileCount;
    // The parent: the directory part of the path without its last delimiter.
    directory = DirectoryPartOf(directory.substr(0, directory.size() - 1));
  }
}

}  // namespace orv
