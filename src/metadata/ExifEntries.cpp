// Value access and lookup for the Exif reader's entry collections.
#include "metadata/ExifEntries.h"

namespace orv {

unsigned ExifTypeSize(std::uint8_t type) {
  static constexpr unsigned kSizes[13] = {0, 1, 1, 2, 4, 8, 1, 1, 2, 4, 8, 4, 8};
  return type < 13 ? kSizes[type] : 0;
}

std::uint32_t TEntryItem::ValueCount() const {
  if (ExifTypeSize(Type) == 0) return 0;
  if (Type == ExifTypeUndefined) return 1;
  if (Type == ExifTypeAscii && Count != 0) return 1;
  return Count;
}

std::uint32_t TEntryItem::UnsignedValue(std::uint32_t index) const {
  unsigned size;
  switch (Type) {
  case ExifTypeByte:
  case ExifTypeSByte:
    size = 1;
    break;
  case ExifTypeShort:
  case ExifTypeSShort:
    size = 2;
    break;
  case ExifTypeLong:
  case ExifTypeSLong:
    size = 4;
    break;
  default:
    return 0;
  }
  if (index >= Count || (static_cast<std::uint64_t>(index) + 1) * size > m_data.size()) return 0;
  const auto* bytes = reinterpret_cast<const unsigned char*>(m_data.data()) + std::size_t{index} * size;
  std::uint32_t value = 0;
  for (unsigned i = 0; i < size; ++i) {
    const unsigned shift = BigEndian ? 8 * (size - 1 - i) : 8 * i;
    value |= std::uint32_t{bytes[i]} << shift;
  }
  return value;
}

int TEntryItems::Find(std::uint16_t tag, std::uint8_t ifdIndex) const {
  for (std::size_t i = 0; i < m_items.size(); ++i) {
    if (m_items[i].Tag == tag && m_items[i].IfdIndex == ifdIndex) return static_cast<int>(i);
  }
  return -1;
}

void TEntryItems::Clear() {
  // A hostile file can make tens of thousands of entries; do not keep that capacity
  // for the rest of the run.
  constexpr std::size_t kKeptCapacity = 1024;
  if (m_items.capacity() > kKeptCapacity) {
    std::vector<TEntryItem>().swap(m_items);
  } else {
    m_items.clear();
  }
  BaseOffset = 0;
}

}  // namespace orv
