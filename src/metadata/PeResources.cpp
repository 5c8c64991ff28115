// The PE resource reader: headers, section table and the three-level resource tree,
// each fetched with its own small read and checked against the file before use.
#include "metadata/PeResources.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <functional>
#include <queue>

namespace orv {

namespace {

constexpr std::size_t kDosHeaderSize = 64;
constexpr std::size_t kNewHeaderOffsetField = 0x3C;
constexpr std::size_t kCoffHeaderSize = 20;
constexpr std::size_t kSectionHeaderSize = 40;
constexpr std::size_t kDirectoryHeaderSize = 16;
constexpr std::size_t kDirectoryEntrySize = 8;
constexpr std::size_t kDataEntrySize = 16;
constexpr uint16_t kPe32Magic = 0x10B;
constexpr uint16_t kPe32PlusMagic = 0x20B;
constexpr uint32_t kResourceDirectoryIndex = 2;
constexpr uint32_t kHighBit = 0x80000000u;
// A language id's low 10 bits are its primary language; 0 is the neutral one.
constexpr uint16_t kPrimaryLanguageMask = 0x03FF;
constexpr uint16_t kUsEnglish = 0x0409;
// What one open image may read in all. A real program reads its headers, a few small
// directories, one version block (at most 64 KiB) and a few icon members (a 256x256
// one is about 270 KiB); a full section table is 2.6 MB and a full directory 1 MB.
constexpr uint64_t kReadBudget = 32ull * 1024 * 1024;

uint16_t Word(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Dword(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

}  // namespace

TPeResources::~TPeResources() { Close(); }

bool TPeResources::Open(const std::string& nativePath) {
  Close();
  if (!m_file.Open(nativePath)) return false;
  m_fileSize = static_cast<uint64_t>(m_file.Size());
  m_budget = kReadBudget;
  if (!ReadHeaders()) {
    Close();
    return false;
  }
  m_open = true;
  return true;
}

bool TPeResources::OpenImage(std::string_view image) {
  Close();
  m_image = image;
  m_fileSize = image.size();
  m_budget = kReadBudget;
  if (!ReadHeaders()) {
    Close();
    return false;
  }
  m_open = true;
  return true;
}

void TPeResources::Close() {
  m_file.Close();
  m_image = {};
  m_fileSize = 0;
  m_open = false;
  m_pe32Plus = false;
  m_treeRva = 0;
  m_sections.clear();
  m_segments.clear();
  m_budget = 0;
  m_idsIndexed = false;
  m_ids.clear();
}

bool TPeResources::ReadAt(uint64_t offset, void* buffer, std::size_t length) const {
  if (offset > m_fileSize || length > m_fileSize - offset || length > m_budget) return false;
  m_budget -= length;
  if (!m_file.IsOpen()) {
    if (length > 0) std::memcpy(buffer, m_image.data() + offset, length);
    return true;
  }
  // Short: the file shrank since it was opened, and the caller sees a damaged image.
  if (m_file.ReadAt(static_cast<int64_t>(offset), buffer, length) != static_cast<int64_t>(length)) return false;
  return true;
}

bool TPeResources::ReadHeaders() {
  unsigned char dos[kDosHeaderSize];
  if (!ReadAt(0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z') return false;
  const uint64_t peOffset = Dword(dos + kNewHeaderOffsetField);

  // Signature, file header, and the optional header up to the resource directory's
  // slot, which sits at a different place in PE32 and PE32+.
  unsigned char pe[4 + kCoffHeaderSize + 136];
  if (!ReadAt(peOffset, pe, 4 + kCoffHeaderSize + 2) || std::memcmp(pe, "PE\0\0", 4) != 0) return false;
  const unsigned char* coff = pe + 4;
  const uint32_t sectionCount = Word(coff + 2);
  const uint32_t optionalSize = Word(coff + 16);
  const unsigned char* optional = coff + kCoffHeaderSize;
  const uint16_t magic = Word(optional);
  std::size_t countField;
  if (magic == kPe32Magic) {
    countField = 92;
  } else if (magic == kPe32PlusMagic) {
    countField = 108;
  } else {
    return false;
  }
  const std::size_t directories = countField + 4;
  const std::size_t needed = directories + 8 * (kResourceDirectoryIndex + 1);
  if (optionalSize < needed || !ReadAt(peOffset + 4 + kCoffHeaderSize, pe + 4 + kCoffHeaderSize, needed)) {
    return false;
  }
  if (Dword(optional + countField) <= kResourceDirectoryIndex) return false;
  m_treeRva = Dword(optional + directories + 8 * kResourceDirectoryIndex);
  if (m_treeRva == 0) return false;
  m_pe32Plus = magic == kPe32PlusMagic;

  // The section count is at most 65535, so the table is at most 2.6 MB, and it is
  // only read when the file really holds that much.
  const uint64_t tableOffset = peOffset + 4 + kCoffHeaderSize + optionalSize;
  const std::size_t tableSize = sectionCount * kSectionHeaderSize;
  if (sectionCount == 0 || tableOffset > m_fileSize || tableSize > m_fileSize - tableOffset) return false;
  std::vector<unsigned char> table(tableSize);
  if (!ReadAt(tableOffset, table.data(), tableSize)) return false;
  m_sections.resize(sectionCount);
  for (uint32_t i = 0; i < sectionCount; ++i) {
    const unsigned char* header = table.data() + i * kSectionHeaderSize;
    m_sections[i] = TSection{Dword(header + 12), Dword(header + 8), Dword(header + 16), Dword(header + 20)};
  }
  IndexSections();
  return true;
}

namespace {

uint64_t MappedSize(uint32_t virtualSize, uint32_t rawSize) { return virtualSize != 0 ? virtualSize : rawSize; }

}  // namespace

void TPeResources::IndexSections() {
  // An address belongs to the first section in table order that covers it. Sweeping
  // the section boundaries in address order with the covering sections in a heap by
  // table index gives each stretch between two boundaries its owner.
  std::vector<uint32_t> byStart;
  std::vector<uint64_t> boundaries;
  for (uint32_t i = 0; i < m_sections.size(); ++i) {
    const TSection& section = m_sections[i];
    const uint64_t size = MappedSize(section.VirtualSize, section.RawSize);
    if (size == 0) continue;
    byStart.push_back(i);
    boundaries.push_back(section.VirtualAddress);
    boundaries.push_back(section.VirtualAddress + size);
  }
  std::sort(boundaries.begin(), boundaries.end());
  boundaries.erase(std::unique(boundaries.begin(), boundaries.end()), boundaries.end());
  std::stable_sort(byStart.begin(), byStart.end(),
                   [&](uint32_t a, uint32_t b) { return m_sections[a].VirtualAddress < m_sections[b].VirtualAddress; });
  std::priority_queue<uint32_t, std::vector<uint32_t>, std::greater<>> covering;
  std::size_t next = 0;
  m_segments.clear();
  for (const uint64_t boundary : boundaries) {
    while (next < byStart.size() && m_sections[byStart[next]].VirtualAddress <= boundary) covering.push(byStart[next++]);
    while (!covering.empty()) {
      const TSection& top = m_sections[covering.top()];
      if (top.VirtualAddress + MappedSize(top.VirtualSize, top.RawSize) > boundary) break;
      covering.pop();
    }
    const uint32_t owner = covering.empty() ? kNoSection : covering.top();
    if (m_segments.empty() || m_segments.back().Section != owner) m_segments.push_back(TSegment{boundary, owner});
  }
}

bool TPeResources::MapRva(uint32_t rva, uint32_t length, uint64_t& offset) const {
  const auto after = std::upper_bound(m_segments.begin(), m_segments.end(), uint64_t{rva},
                                      [](uint64_t address, const TSegment& segment) { return address < segment.Start; });
  if (after == m_segments.begin() || std::prev(after)->Section == kNoSection) return false;
  const TSection& section = m_sections[std::prev(after)->Section];
  // Bytes past the raw data exist in memory as zeros only; a resource there would
  // need an allocation the file's size does not bound, so only file-backed bytes count.
  const uint64_t virtualSize = MappedSize(section.VirtualSize, section.RawSize);
  const uint64_t backed = std::min<uint64_t>(section.RawSize, virtualSize);
  const uint64_t start = rva - section.VirtualAddress;
  if (start + length > backed) return false;
  offset = static_cast<uint64_t>(section.RawOffset) + start;
  return offset <= m_fileSize && length <= m_fileSize - offset;
}

bool TPeResources::MapTree(uint32_t offset, uint32_t length, uint64_t& fileOffset) const {
  const uint64_t rva = static_cast<uint64_t>(m_treeRva) + offset;
  return rva <= UINT32_MAX && MapRva(static_cast<uint32_t>(rva), length, fileOffset);
}

bool TPeResources::ReadTree(uint32_t offset, void* buffer, uint32_t length) const {
  uint64_t fileOffset;
  return MapTree(offset, length, fileOffset) && ReadAt(fileOffset, buffer, length);
}

bool TPeResources::ReadDirectory(uint32_t offset, std::vector<TDirectoryEntry>& entries) const {
  entries.clear();
  unsigned char header[kDirectoryHeaderSize];
  if (!ReadTree(offset, header, sizeof header)) return false;
  const uint32_t count = static_cast<uint32_t>(Word(header + 12)) + Word(header + 14);
  const uint64_t entriesOffset = static_cast<uint64_t>(offset) + kDirectoryHeaderSize;
  if (entriesOffset > UINT32_MAX) return false;
  // Read in slices so a huge claimed count costs nothing until the bytes are proven
  // to be there; the whole table is at most 1 MB.
  unsigned char slice[kDirectoryEntrySize * 256];
  for (uint32_t done = 0; done < count;) {
    const uint32_t now = std::min<uint32_t>(count - done, 256);
    if (!ReadTree(static_cast<uint32_t>(entriesOffset + done * kDirectoryEntrySize), slice,
                  now * kDirectoryEntrySize)) {
      entries.clear();
      return false;
    }
    for (uint32_t i = 0; i < now; ++i) {
      entries.push_back(TDirectoryEntry{Dword(slice + i * kDirectoryEntrySize),
                                        Dword(slice + i * kDirectoryEntrySize + 4)});
    }
    done += now;
  }
  return true;
}

bool TPeResources::FindSubdirectory(uint32_t directory, uint16_t id, uint32_t& subdirectory) const {
  if (!ReadDirectory(directory, m_entries)) return false;
  for (const TDirectoryEntry& entry : m_entries) {
    if ((entry.Name & kHighBit) == 0 && (entry.Name & 0xFFFF) == id && (entry.Target & kHighBit) != 0) {
      subdirectory = entry.Target & ~kHighBit;
      return true;
    }
  }
  return false;
}

bool TPeResources::ReadName(uint32_t offset, std::u16string& name) const {
  unsigned char lengthField[2];
  if (offset > UINT32_MAX - 2 || !ReadTree(offset, lengthField, 2)) return false;
  const uint32_t length = Word(lengthField);
  uint64_t fileOffset;
  // Checked before the buffer is made: a name past the budget costs nothing.
  if (!MapTree(offset + 2, 2 * length, fileOffset) || 2 * uint64_t{length} > m_budget) return false;
  std::string units(2 * static_cast<std::size_t>(length), '\0');
  if (!ReadAt(fileOffset, units.data(), units.size())) return false;
  name.resize(length);
  for (uint32_t i = 0; i < length; ++i) {
    name[i] = static_cast<char16_t>(Word(reinterpret_cast<const unsigned char*>(units.data()) + 2 * i));
  }
  return true;
}

bool TPeResources::NameIsInFile(uint32_t offset) const {
  unsigned char lengthField[2];
  uint64_t fileOffset;
  return offset <= UINT32_MAX - 2 && ReadTree(offset, lengthField, 2) &&
         MapTree(offset + 2, 2 * static_cast<uint32_t>(Word(lengthField)), fileOffset);
}

bool TPeResources::FirstName(uint16_t type, TResourceName& name) const {
  name = TResourceName{};
  uint32_t typeDirectory;
  if (!m_open || !FindSubdirectory(0, type, typeDirectory) || !ReadDirectory(typeDirectory, m_entries)) {
    return false;
  }
  // The same choice as the first of ListNames: a subdirectory whose name, when it is
  // a string, lies in the file.
  for (const TDirectoryEntry& entry : m_entries) {
    if ((entry.Target & kHighBit) == 0) continue;
    if ((entry.Name & kHighBit) != 0) {
      if (!NameIsInFile(entry.Name & ~kHighBit)) continue;
      name.IsString = true;
    } else {
      name.Id = static_cast<uint16_t>(entry.Name & 0xFFFF);
    }
    name.Directory = entry.Target & ~kHighBit;
    return true;
  }
  return false;
}

bool TPeResources::ListNames(uint16_t type, std::vector<TResourceName>& names) const {
  names.clear();
  uint32_t typeDirectory;
  if (!m_open || !FindSubdirectory(0, type, typeDirectory) || !ReadDirectory(typeDirectory, m_entries)) {
    return false;
  }
  for (const TDirectoryEntry& entry : m_entries) {
    // At this level only subdirectories make sense; a data entry here is damage.
    if ((entry.Target & kHighBit) == 0) continue;
    TResourceName name;
    name.Directory = entry.Target & ~kHighBit;
    if ((entry.Name & kHighBit) != 0) {
      name.IsString = true;
      if (!ReadName(entry.Name & ~kHighBit, name.String)) continue;
    } else {
      name.Id = static_cast<uint16_t>(entry.Name & 0xFFFF);
    }
    names.push_back(std::move(name));
  }
  return !names.empty();
}

bool TPeResources::IndexIds(uint16_t type) const {
  if (m_idsIndexed && m_indexedType == type) return true;
  m_idsIndexed = true;
  m_indexedType = type;
  m_ids.clear();
  uint32_t typeDirectory;
  if (!FindSubdirectory(0, type, typeDirectory) || !ReadDirectory(typeDirectory, m_entries)) return false;
  for (const TDirectoryEntry& entry : m_entries) {
    if ((entry.Name & kHighBit) == 0 && (entry.Target & kHighBit) != 0) {
      m_ids.emplace(static_cast<uint16_t>(entry.Name & 0xFFFF), entry.Target & ~kHighBit);
    }
  }
  return true;
}

bool TPeResources::FindName(uint16_t type, uint16_t id, TResourceName& name) const {
  name = TResourceName{};
  // An icon group names each member by id; one index of the type's directory answers
  // them all, however many the group lists.
  if (!m_open || !IndexIds(type)) return false;
  const auto found = m_ids.find(id);
  if (found == m_ids.end()) return false;
  name.Id = id;
  name.Directory = found->second;
  return true;
}

bool TPeResources::ListLanguages(const TResourceName& name, std::vector<TResourceLanguage>& languages) const {
  languages.clear();
  if (!m_open || !ReadDirectory(name.Directory, m_entries)) return false;
  for (const TDirectoryEntry& entry : m_entries) {
    // The third level ends the tree: its entries must be data entries, and languages
    // are always ids.
    if ((entry.Name & kHighBit) != 0 || (entry.Target & kHighBit) != 0) continue;
    languages.push_back(TResourceLanguage{static_cast<uint16_t>(entry.Name & 0xFFFF), entry.Target});
  }
  return !languages.empty();
}

bool TPeResources::ReadResource(const TResourceLanguage& language, std::string& bytes, std::size_t maxBytes) const {
  bytes.clear();
  unsigned char entry[kDataEntrySize];
  if (!m_open || !ReadTree(language.DataEntry, entry, sizeof entry)) return false;
  // The data entry holds an image address, not a tree offset.
  const uint32_t rva = Dword(entry);
  const uint32_t size = Dword(entry + 4);
  uint64_t offset;
  if (!MapRva(rva, size, offset)) return false;
  const std::size_t wanted = std::min<uint64_t>(size, maxBytes);
  if (wanted > m_budget) return false;
  bytes.resize(wanted);
  if (!ReadAt(offset, bytes.data(), wanted)) {
    bytes.clear();
    return false;
  }
  return true;
}

std::size_t ChooseResourceLanguage(std::span<const TResourceLanguage> languages, uint16_t userLanguage) {
  const auto find = [&](auto matches) -> std::size_t {
    for (std::size_t i = 0; i < languages.size(); ++i) {
      if (matches(languages[i].Id)) return i;
    }
    return languages.size();
  };
  const uint16_t primary = userLanguage & kPrimaryLanguageMask;
  std::size_t chosen = find([&](uint16_t id) { return id == userLanguage; });
  if (chosen == languages.size()) chosen = find([&](uint16_t id) { return (id & kPrimaryLanguageMask) == primary; });
  if (chosen == languages.size()) chosen = find([](uint16_t id) { return (id & kPrimaryLanguageMask) == 0; });
  if (chosen == languages.size()) chosen = find([](uint16_t id) { return id == kUsEnglish; });
  return chosen == languages.size() ? 0 : chosen;
}

}  // namespace orv
