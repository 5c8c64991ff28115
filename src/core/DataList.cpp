// Entry lists, their sort orders and the file counts of directories.
#include "core/DataList.h"

#include "platform/AnsiText.h"
#include "platform/Path.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace orv {

namespace {

int CompareExact(std::string_view a, std::string_view b) {
  const int order = a.compare(b);
  return order < 0 ? -1 : order > 0 ? 1 : 0;
}

// The last tie-break of every order: records whose texts are equal (names the code
// page shows alike) by their native paths, so two runs give the same order.
bool NativeBefore(const TDataItem& a, const TDataItem& b) {
  if (!a.HasStoredNativePath() && !b.HasStoredNativePath()) return false;
  return a.NativePath() < b.NativePath();
}

// Where a delimiter ends the directory part of a path; "" when there is none.
std::string_view DirectoryPartOf(std::string_view path) {
  const std::size_t at = AnsiLastDelimiter(std::string_view(&PathDelim, 1), path);
  return at == std::string_view::npos ? std::string_view() : path.substr(0, at + 1);
}

}  // namespace

int CompareText(std::string_view a, std::string_view b) {
  const std::size_t common = std::min(a.size(), b.size());
  // Sorted paths share long prefixes: skip equal bytes eight at a time before folding.
  std::size_t i = 0;
  for (uint64_t x, y; i + 8 <= common; i += 8) {
    std::memcpy(&x, a.data() + i, 8);
    std::memcpy(&y, b.data() + i, 8);
    if (x != y) break;
  }
  for (; i < common; ++i) {
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

TDataList::~TDataList() { Clear(); }

std::size_t TDataList::Add(TDataItem&& record) {
  auto* item = new (m_arena.Allocate(sizeof(TDataItem), alignof(TDataItem))) TDataItem(std::move(record));
  item->MoveTextInto(m_arena);
  if (m_indexByPath) {
    std::string storage;
    const std::string_view key = FolderKey(*item, item->Path().size(), storage);
    if (key.data() == storage.data()) {
      m_builtKeys.push_back(std::move(storage));
      m_index.emplace(m_builtKeys.back(), item);
    } else {
      m_index.emplace(key, item);
    }
  }
  m_items.push_back(item);
  return m_items.size() - 1;
}

void TDataList::Clear() {
  m_index.clear();
  m_builtKeys.clear();
  for (TDataItem* item : m_items) {
    item->~TDataItem();
  }
  m_items.clear();
  m_items.shrink_to_fit();
  m_arena.Clear();
}

void TDataList::Sort(TItemCompare compare) {
  if (compare == CompareByPath) {
    // The common order, sorted on the paths themselves: one indirection less per
    // comparison than going through the records, which matters for millions.
    std::vector<std::pair<std::string_view, std::size_t>> keys;
    keys.reserve(m_items.size());
    for (std::size_t i = 0; i < m_items.size(); ++i) {
      keys.emplace_back(m_items[i]->Path(), i);
    }
    std::sort(keys.begin(), keys.end(), [this](const auto& a, const auto& b) {
      const int order = CompareText(a.first, b.first);
      if (order != 0) return order < 0;
      const int exact = CompareExact(a.first, b.first);
      return exact != 0 ? exact < 0 : NativeBefore(*m_items[a.second], *m_items[b.second]);
    });
    std::vector<TDataItem*> sorted;
    sorted.reserve(m_items.size());
    for (const auto& key : keys) {
      sorted.push_back(m_items[key.second]);
    }
    m_items = std::move(sorted);
    return;
  }
  std::sort(m_items.begin(), m_items.end(), [compare](const auto& a, const auto& b) {
    const int order = compare(*a, *b);
    if (order != 0) return order < 0;
    const int exact = CompareExact(a->Path(), b->Path());
    return exact != 0 ? exact < 0 : NativeBefore(*a, *b);
  });
}

void TDataList::SortByDirectoryGroups(bool newestFirst) {
  // Rank every distinct directory part once. The walker hands over a directory's
  // files together, so consecutive records mostly share one part.
  std::vector<std::string_view> parts;
  std::vector<uint32_t> partOf(m_items.size());
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const std::string_view part = m_items[i]->DirectoryPart();
    if (parts.empty() || parts.back() != part) {
      parts.push_back(part);
    }
    partOf[i] = static_cast<uint32_t>(parts.size() - 1);
  }
  std::vector<uint32_t> byPart(parts.size());
  for (uint32_t i = 0; i < byPart.size(); ++i) byPart[i] = i;
  std::sort(byPart.begin(), byPart.end(), [&parts](uint32_t a, uint32_t b) {
    const int order = CompareText(parts[a], parts[b]);
    return order != 0 ? order < 0 : CompareExact(parts[a], parts[b]) < 0;
  });
  // Runs of the same directory that were not adjacent get the same rank.
  std::vector<uint32_t> rank(parts.size());
  for (std::size_t i = 0, r = 0; i < byPart.size(); ++i) {
    if (i > 0 && parts[byPart[i]] != parts[byPart[i - 1]]) ++r;
    rank[byPart[i]] = static_cast<uint32_t>(r);
  }

  struct TKey {
    uint32_t Index;
    std::string_view Name;  // the path after its directory part
    TDateTime Updated;
  };
  // Bucket the records by the rank of their directory (a counting sort), then order
  // each directory's records: many small sorts instead of one large one.
  std::vector<uint32_t> bucketStart(parts.size() + 1, 0);
  for (std::size_t i = 0; i < m_items.size(); ++i) ++bucketStart[rank[partOf[i]] + 1];
  for (std::size_t r = 1; r < bucketStart.size(); ++r) bucketStart[r] += bucketStart[r - 1];
  std::vector<TKey> keys(m_items.size());
  std::vector<uint32_t> fill(bucketStart.begin(), bucketStart.end() - 1);
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    const TDataItem& item = *m_items[i];
    keys[fill[rank[partOf[i]]]++] = {static_cast<uint32_t>(i),
                                     std::string_view(item.Path()).substr(item.DirectoryPart().size()),
                                     item.LastUpdateTime};
  }
  const auto before = [this, newestFirst](const TKey& a, const TKey& b) {
    if (newestFirst && a.Updated != b.Updated) return a.Updated > b.Updated;
    if (!newestFirst) {
      if (const int order = CompareText(a.Name, b.Name); order != 0) return order < 0;
    }
    const int exact = CompareExact(a.Name, b.Name);
    return exact != 0 ? exact < 0 : NativeBefore(*m_items[a.Index], *m_items[b.Index]);
  };
  for (std::size_t r = 0; r + 1 < bucketStart.size(); ++r) {
    std::sort(keys.begin() + bucketStart[r], keys.begin() + bucketStart[r + 1], before);
  }
  std::vector<TDataItem*> sorted;
  sorted.reserve(m_items.size());
  for (const TKey& key : keys) {
    sorted.push_back(m_items[key.Index]);
  }
  m_items = std::move(sorted);
}

TDataItem* TDataList::FindFolder(std::string_view key) const {
  const auto found = m_index.find(key);
  return found == m_index.end() ? nullptr : found->second;
}

void TDirectoryCounter::CountFile(std::string_view filePath, std::string_view storedNativePath) {
  const std::string_view directory = DirectoryPartOf(filePath);
  const std::string_view key = FolderKey(filePath, storedNativePath, directory.size(), m_keyStorage);
  if (key != m_lastDirectory || m_lastDirectory.empty()) {
    m_lastDirectory = key;
    m_lastRecord = directory.empty() ? nullptr : m_directories.FindFolder(key);
  }
  if (m_lastRecord) {
    ++m_lastRecord->FileCount;
  }
}

void TDirectoryCounter::AddCountsToAncestors() {
  m_lastDirectory.clear();
  m_lastRecord = nullptr;
  // A directory's path is longer than its parent's, so taking the longest first
  // finishes every subtree before its count moves up.
  std::vector<TDataItem*> deepestFirst;
  deepestFirst.reserve(m_directories.Count());
  for (std::size_t i = 0; i < m_directories.Count(); ++i) {
    deepestFirst.push_back(&m_directories.Items(i));
  }
  std::stable_sort(deepestFirst.begin(), deepestFirst.end(),
                   [](const TDataItem* a, const TDataItem* b) { return a->Path().size() > b->Path().size(); });
  for (TDataItem* directory : deepestFirst) {
    if (directory->FileCount == 0) {
      continue;
    }
    const std::string_view path = directory->Path();
    const std::string_view parent = DirectoryPartOf(path.substr(0, path.size() - 1));
    const std::string_view key = FolderKey(*directory, parent.size(), m_keyStorage);
    if (TDataItem* record = parent.empty() ? nullptr : m_directories.FindFolder(key)) {
      record->FileCount += directory->FileCount;
    }
  }
}

}  // namespace orv
