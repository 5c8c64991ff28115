// Builds small Exif JPEGs for the reader's tests: a TIFF structure in either byte
// order with IFD0, the Exif, GPS and interoperability IFDs and the thumbnail's IFD1
// (the pointer tags are added by the writer), wrapped in the JPEG segments a camera
// writes. Header-only, so that the test program needs no build changes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orv::test {

enum TTestIfd { TestIfd0 = 0, TestIfdExif = 1, TestIfdGps = 2, TestIfdInterop = 3, TestIfd1 = 4 };

class TExifTestImage {
public:
  explicit TExifTestImage(bool bigEndian) : m_bigEndian(bigEndian) {}

  std::string U16(std::uint16_t v) const {
    std::string out(2, '\0');
    for (int i = 0; i < 2; ++i) out[m_bigEndian ? 1 - i : i] = static_cast<char>(v >> (8 * i));
    return out;
  }
  std::string U32(std::uint32_t v) const {
    std::string out(4, '\0');
    for (int i = 0; i < 4; ++i) out[m_bigEndian ? 3 - i : i] = static_cast<char>(v >> (8 * i));
    return out;
  }

  // value holds the bytes as they stand in the file; up to 4 go into the entry,
  // longer ones into the data area after the directories.
  void Add(int ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::string value) {
    m_entries.push_back({ifd, tag, type, count, std::move(value), std::nullopt});
  }
  // An entry whose last four bytes are field, whatever type and count say.
  void AddWithField(int ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count, std::uint32_t field) {
    m_entries.push_back({ifd, tag, type, count, std::string(), field});
  }
  // text as stored, NULs included.
  void AddAscii(int ifd, std::uint16_t tag, std::string_view text) {
    Add(ifd, tag, 2, static_cast<std::uint32_t>(text.size()), std::string(text));
  }
  void AddShort(int ifd, std::uint16_t tag, std::uint16_t v) { Add(ifd, tag, 3, 1, U16(v)); }
  void AddLong(int ifd, std::uint16_t tag, std::uint32_t v) { Add(ifd, tag, 4, 1, U32(v)); }
  void AddRational(int ifd, std::uint16_t tag, std::uint32_t num, std::uint32_t den) {
    Add(ifd, tag, 5, 1, U32(num) + U32(den));
  }
  void AddUndefined(int ifd, std::uint16_t tag, std::string_view bytes) {
    Add(ifd, tag, 7, static_cast<std::uint32_t>(bytes.size()), std::string(bytes));
  }

  // The TIFF structure: header, IFD0, IFD1, Exif, GPS and interoperability IFDs (the
  // empty ones left out), then the values that do not fit in their entries.
  std::string Tiff() const {
    const int order[] = {TestIfd0, TestIfd1, TestIfdExif, TestIfdGps, TestIfdInterop};
    std::vector<TEntry> ifds[5];
    for (const TEntry& entry : m_entries) ifds[entry.Ifd].push_back(entry);
    // The pointer entries go last in their IFD; their values are known once the
    // directories are laid out.
    const bool hasInterop = !ifds[TestIfdInterop].empty();
    const bool hasExif = !ifds[TestIfdExif].empty() || hasInterop;
    const bool hasGps = !ifds[TestIfdGps].empty();
    if (hasExif) ifds[TestIfd0].push_back({TestIfd0, 34665, 4, 1, std::string(), 0});
    if (hasGps) ifds[TestIfd0].push_back({TestIfd0, 34853, 4, 1, std::string(), 0});
    if (hasInterop) ifds[TestIfdExif].push_back({TestIfdExif, 40965, 4, 1, std::string(), 0});

    std::uint32_t offsets[5] = {};
    std::uint32_t at = 8;
    for (int ifd : order) {
      if (ifd != TestIfd0 && ifds[ifd].empty()) continue;
      offsets[ifd] = at;
      at += static_cast<std::uint32_t>(2 + 12 * ifds[ifd].size() + 4);
    }
    std::vector<TEntry>& ifd0 = ifds[TestIfd0];
    if (hasGps) ifd0[ifd0.size() - 1].Field = offsets[TestIfdGps];
    if (hasExif) ifd0[ifd0.size() - (hasGps ? 2 : 1)].Field = offsets[TestIfdExif];
    if (hasInterop) ifds[TestIfdExif].back().Field = offsets[TestIfdInterop];

    std::string out = m_bigEndian ? "MM" : "II";
    out += U16(42) + U32(8);
    std::string data;
    const std::uint32_t dataStart = at;
    for (int ifd : order) {
      if (ifd != TestIfd0 && ifds[ifd].empty()) continue;
      out += U16(static_cast<std::uint16_t>(ifds[ifd].size()));
      for (const TEntry& entry : ifds[ifd]) {
        out += U16(entry.Tag) + U16(entry.Type) + U32(entry.Count);
        if (entry.Field) {
          out += U32(*entry.Field);
        } else if (entry.Value.size() <= 4) {
          out += entry.Value + std::string(4 - entry.Value.size(), '\0');
        } else {
          out += U32(dataStart + static_cast<std::uint32_t>(data.size()));
          data += entry.Value;
          if (data.size() % 2) data += '\0';
        }
      }
      out += U32(ifd == TestIfd0 ? offsets[TestIfd1] : 0);
    }
    return out + data;
  }

private:
  struct TEntry {
    int Ifd;
    std::uint16_t Tag;
    std::uint16_t Type;
    std::uint32_t Count;
    std::string Value;
    std::optional<std::uint32_t> Field;
  };
  bool m_bigEndian;
  std::vector<TEntry> m_entries;
};

// FF marker, the big-endian length (payload plus its own two bytes), the payload.
inline std::string JpegSegment(std::uint8_t marker, std::string_view payload) {
  const std::size_t length = payload.size() + 2;
  std::string out = {'\xFF', static_cast<char>(marker), static_cast<char>(length >> 8), static_cast<char>(length)};
  return out.append(payload);
}

inline std::string Exif6() { return std::string("Exif\0\0", 6); }

// A start-of-frame segment: 8-bit samples, height, width, one component.
inline std::string FrameHeader(int width, int height, std::uint8_t marker = 0xC0) {
  const std::string payload = {'\x08',
                               static_cast<char>(height >> 8),
                               static_cast<char>(height),
                               static_cast<char>(width >> 8),
                               static_cast<char>(width),
                               '\x01',
                               '\x01',
                               '\x11',
                               '\x00'};
  return JpegSegment(marker, payload);
}

// A JPEG as a camera writes it: start of image, the APP1 segment holding tiff, an
// APP2 and a Huffman table segment before the frame header (FF C4 must not be taken
// for one), the scan and the end of image. A negative width leaves the frame out.
inline std::string ExifJpeg(std::string_view tiff, int width = 640, int height = 480) {
  std::string out = "\xFF\xD8";
  out += JpegSegment(0xE1, Exif6() + std::string(tiff));
  out += JpegSegment(0xE2, std::string(300, 'i'));
  out += JpegSegment(0xC4, std::string(20, '\x01'));
  if (width >= 0) out += FrameHeader(width, height);
  out += JpegSegment(0xDA, std::string("\x01\x01\x00\x00\x3F\x00", 6));
  out += std::string(64, '\x55') + "\xFF\xD9";
  return out;
}

}  // namespace orv::test
