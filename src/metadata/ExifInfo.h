// TExifInfo: the Exif reader. It recognises a JPEG whose APP1 segment directly
// follows the start-of-image marker, reads the TIFF tag directories stored there
// (IFD0 with its Exif, GPS and interoperability IFDs, and apart from them the
// thumbnail's IFD1), and offers the few values the listing shows: artist, copyright,
// make, model, date-time, Exif version, pixel dimensions and user comment.
//
// It never raises on a damaged or unreadable file: a load keeps the entries read
// before the damage, a getter gives 0 or empty (or the part decoded before the damage),
// and LastError says why. The listing shows those values as they come.
#pragma once

#include "metadata/ExifEntries.h"
#include "metadata/ExifSource.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

// Why a load or a getter came out short.
enum TExifErrorCode : int {
  ExifErrorNone = 0,
  ExifErrorFileNotFound = -1,
  ExifErrorNotExif = -2,
  ExifErrorBadStream = -5,
  ExifErrorTagNotFound = -7,
};

class TExifInfo {
public:
  TExifInfo() = default;
  TExifInfo(const TExifInfo&) = delete;
  TExifInfo& operator=(const TExifInfo&) = delete;

  // Loads the tag directories of the file at nativePath, replacing everything held
  // before, and clears LastError. Never raises; LastError is then
  // ExifErrorFileNotFound when no regular file is there, ExifErrorNotExif when it is not an
  // Exif JPEG or cannot be opened, ExifErrorBadStream when the directories cannot be
  // read to their end (entries read before the damage stay). An empty path only
  // clears.
  void SetImageFileName(const std::string& nativePath);
  const std::string& ImageFileName() const { return m_imageFileName; }

  // The same load from bytes in memory (for callers that already hold the file, and
  // for fuzzing), with the same errors apart from ExifErrorFileNotFound. data must
  // stay alive and unchanged until the next load.
  void LoadFromMemory(std::string_view data);

  // True when the file begins FF D8 FF E1 (an APP1 segment right after the
  // start-of-image marker). Reads at most four bytes and loads nothing.
  bool HasExifSegment(const std::string& nativePath);

  // True when the main collection holds tag in the IFD with that index.
  bool HasTag(std::uint16_t tag, std::uint8_t ifdIndex) const { return m_main.Find(tag, ifdIndex) >= 0; }

  // ASCII values of IFD0: the bytes up to the first NUL (all of them without one);
  // empty when the tag is absent or not of type ASCII. They leave LastError alone.
  std::string Artist() const;
  std::string Copyright() const;
  std::string Make() const;
  std::string Model() const;
  std::string DateTime() const;

  // The Exif IFD's version bytes (usually "0220"), NULs included. Empty when the tag
  // is absent (LastError becomes ExifErrorTagNotFound) or its type is not UNDEFINED.
  std::string ExifVersion();

  // The width and length tags of IFD0 when SHORT or LONG; 0 for another type (the
  // width then sets LastError to ExifErrorBadStream); without the tag, the JPEG frame
  // header's dimensions, read once per loaded file, 0 when it cannot be found or is
  // cut off.
  int ImageWidth();
  int ImageLength();

  // The Exif IFD's user comment decoded by its character code: UNICODE as UTF-16
  // (byte-order mark honoured, big-endian without one), JIS through Shift_JIS, any
  // other code as CP932 text, NULs included. Empty when the tag is absent (LastError
  // becomes ExifErrorTagNotFound), not UNDEFINED or shorter than its 8-byte code.
  std::u16string UserComment();

  // Why the last load or a getter since came out short: the most recent error since
  // the last load began, ExifErrorNone when there was none. LastErrorText is its
  // CP932 message ("ファイルが見つかりません" and so on), empty for ExifErrorNone.
  TExifErrorCode LastError() const { return m_lastError; }
  std::string LastErrorText() const;

  // What the last load found: the APP1 marker's offset (-1 when none), the TIFF
  // header's offset, the byte order word (0x4949 for little-endian).
  std::int64_t App1Offset() const { return m_app1Offset; }
  std::uint64_t BaseOffset() const { return m_baseOffset; }
  std::uint16_t ByteOrder() const { return m_byteOrder; }
  bool BigEndian() const { return m_byteOrder != kLittleEndianMark; }

  const TEntryItems& Entries() const { return m_main; }
  const TEntryItems& ThumbnailEntries() const { return m_thumbnail; }

private:
  static constexpr std::uint16_t kLittleEndianMark = 0x4949;

  void BeginLoad(const std::string& name);
  void LoadFrom(TExifSource& source);
  bool ReadDirectories(TExifSource& source);
  bool ReadIfd(TExifSource& source, TEntryItems& items, std::uint8_t ifdIndex, std::uint32_t offset,
               std::uint32_t& nextIfd);
  std::uint32_t IfdPointer(const TEntryItems& items, std::uint16_t tag, std::uint8_t ifdIndex) const;
  std::uint32_t Read32(const std::uint8_t* bytes) const;
  std::uint16_t Read16(const std::uint8_t* bytes) const;

  std::string AsciiValue(std::uint16_t tag) const;
  int Dimension(std::uint16_t tag, bool reportType);
  void ReadFrameHeader();
  void ReportError(TExifErrorCode code) { m_lastError = code; }

  std::string m_imageFileName;
  TExifErrorCode m_lastError = ExifErrorNone;
  std::string_view m_memory;
  bool m_fromMemory = false;
  std::int64_t m_app1Offset = -1;
  std::uint16_t m_byteOrder = 0;
  std::uint64_t m_baseOffset = 0;
  // How many more value bytes this load may store: a hostile file can point many
  // entries at the same large block.
  std::uint64_t m_valueBudget = 0;
  TEntryItems m_main;
  TEntryItems m_thumbnail;
  bool m_frameRead = false;
  int m_frameWidth = 0;
  int m_frameHeight = 0;
  TExifSource m_source;
};

// The nine Exif columns of one entry record.
struct TExifFields {
  std::string Artist;
  std::string Copyright;
  std::string Make;
  std::string Model;
  std::string Version;
  std::string DateTime;
  int ImageWidth = 0;
  int ImageLength = 0;
  std::string UserComment;  // CP932
};

// The entry builder's Exif step for one non-empty file: when the file is an Exif
// candidate, loads it into reader and fills out in the builder's order (a field whose
// tag is absent stays empty) and returns true; otherwise returns false and leaves out
// untouched. A damaged candidate still gives true, with what could be read; the
// reason is left in reader.LastError().
bool ReadExifFields(TExifInfo& reader, const std::string& nativePath, TExifFields& out);

}  // namespace orv
