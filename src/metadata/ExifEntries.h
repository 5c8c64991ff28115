// The tag directory entries the Exif reader collects: TEntryItem is one 12-byte IFD
// entry with its values, TEntryItems the entries of several IFDs told apart by their
// IFD index.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace orv {

// TIFF field types (the low byte of the type in the file).
enum TExifFieldType : std::uint8_t {
  ExifTypeByte = 1,
  ExifTypeAscii = 2,
  ExifTypeShort = 3,
  ExifTypeLong = 4,
  ExifTypeRational = 5,
  ExifTypeSByte = 6,
  ExifTypeUndefined = 7,
  ExifTypeSShort = 8,
  ExifTypeSLong = 9,
  ExifTypeSRational = 10,
  ExifTypeFloat = 11,
  ExifTypeDouble = 12,
};

// The IFD indexes of the main collection; in the thumbnail collection 0 is IFD1.
enum TExifIfd : std::uint8_t { ExifIfd0 = 0, ExifIfdExif = 1, ExifIfdGps = 2, ExifIfdInterop = 3 };

// Bytes per value of a field type; 0 for a type outside 1-12, which has no values.
unsigned ExifTypeSize(std::uint8_t type);

class TEntryItem {
public:
  std::uint16_t Tag = 0;
  std::uint8_t Type = 0;
  std::uint8_t IfdIndex = 0;
  // The byte order of the file the entry came from, which its values keep.
  bool BigEndian = false;
  std::uint32_t Count = 0;
  // Where the values lie relative to the TIFF header; 0 when they sit in the entry.
  std::uint32_t ValueOffset = 0;

  // Count, except 1 for UNDEFINED data and for non-empty ASCII text (each is one
  // byte buffer), and 0 for a type outside 1-12.
  std::uint32_t ValueCount() const;

  // The value bytes as they stand in the file: Count times the type's size, or
  // nothing for an unknown type. ASCII text and UNDEFINED streams are read here.
  std::string_view Data() const { return m_data; }
  std::string& MutableData() { return m_data; }

  // The index-th value of a BYTE, SHORT or LONG field (signed types as their bit
  // pattern), in the file's byte order; 0 for another type or an index out of range.
  std::uint32_t UnsignedValue(std::uint32_t index) const;

private:
  std::string m_data;
};

class TEntryItems {
public:
  // The TIFF header's offset in the file, which every value offset counts from.
  std::uint64_t BaseOffset = 0;

  // The index of the first entry with tag and ifdIndex, or -1.
  int Find(std::uint16_t tag, std::uint8_t ifdIndex) const;

  std::size_t Count() const { return m_items.size(); }
  const TEntryItem& operator[](std::size_t index) const { return m_items[index]; }
  TEntryItem& Add() { return m_items.emplace_back(); }
  void RemoveLast() { m_items.pop_back(); }
  void Clear();

private:
  std::vector<TEntryItem> m_items;
};

}  // namespace orv
