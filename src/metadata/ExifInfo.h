// TExifInfo: the Exif reader. It recognises a JPEG whose APP1 segment directly
// follows the start-of-image marker, reads the TIFF tag directories stored there
// (IFD0 with its Exif, GPS and interoperability IFDs, and apart from them the
// thumbnail's IFD1), and offers the few values the listing shows: artist, copyright,
// make, model, date-time, Exif version, pixel dimensions and user comment.
//
// Errors go to OnError, which may clear AllowError; otherwise EExifError is thrown.
// The listing's handler (ExifInfoError) always clears it, so a damaged photograph
// only leaves its fields empty. Apart from the errors they report that way, the value
// getters never fail on damaged data: a cut or malformed value gives 0 or the part
// decoded before the damage.
#pragma once

#include "metadata/ExifEntries.h"
#include "metadata/ExifSource.h"

#include <cstdint>
#include <functional>
#include <stdexcept>
#include <string>
#include <string_view>

namespace orv {

enum TExifErrorCode : int {
  ExifErrorFileNotFound = -1,
  ExifErrorNotExif = -2,
  ExifErrorUnknownCommentCode = -3,
  ExifErrorNonAsciiWrite = -4,
  ExifErrorBadStream = -5,
  ExifErrorBadIndex = -6,
  ExifErrorTagNotFound = -7,
  ExifErrorUnknownDateTime = -8,
};

// The CP932 text of an error code ("不明なエラーです" for a code not listed above).
std::string ExifErrorText(int code);

class EExifError : public std::runtime_error {
public:
  // The message is "TExifInfo: " and the code's text.
  explicit EExifError(int code);
  int Code() const { return m_code; }

private:
  int m_code;
};

class TExifInfo;
using TExifReadErrorEvent = std::function<void(TExifInfo& sender, int ErrCode, bool& AllowError)>;
using TExifNotifyEvent = std::function<void(TExifInfo& sender)>;

class TExifInfo {
public:
  TExifInfo() = default;
  TExifInfo(const TExifInfo&) = delete;
  TExifInfo& operator=(const TExifInfo&) = delete;

  TExifReadErrorEvent OnError;
  // Signalled when an assignment starts and after every complete read.
  TExifNotifyEvent OnUpdate;

  // Loads the tag directories of the file at nativePath, replacing everything held
  // before. Errors: -1 when no regular file is there, -2 when it is not an Exif
  // JPEG, -5 when the directories cannot be read (entries read before the damage
  // stay). An empty path only clears.
  void SetImageFileName(const std::string& nativePath);
  const std::string& ImageFileName() const { return m_imageFileName; }

  // The same load from bytes in memory (for callers that already hold the file, and
  // for fuzzing). data must stay alive and unchanged until the next load.
  void LoadFromMemory(std::string_view data);

  // True when the file begins FF D8 FF E1 (an APP1 segment right after the
  // start-of-image marker). Reads at most four bytes and loads nothing.
  bool HasExifSegment(const std::string& nativePath);

  // True when the main collection holds tag in the IFD with that index.
  bool HasTag(std::uint16_t tag, std::uint8_t ifdIndex) const { return m_main.Find(tag, ifdIndex) >= 0; }

  // ASCII values of IFD0: the bytes up to the first NUL (all of them without one);
  // empty when the tag is absent or not of type ASCII.
  std::string Artist() const { return AsciiValue(315); }
  std::string Copyright() const { return AsciiValue(33432); }
  std::string Make() const { return AsciiValue(271); }
  std::string Model() const { return AsciiValue(272); }
  std::string DateTime() const { return AsciiValue(306); }

  // The Exif IFD's version bytes (usually "0220"), NULs included. Reports -7 when the
  // tag is absent; empty when its type is not UNDEFINED.
  std::string ExifVersion();

  // Tags 256/257 of IFD0 when SHORT or LONG; 0 for another type (the width also
  // reports -5); without the tag, the JPEG frame header's dimensions, read once per
  // loaded file, 0 when it cannot be found or is cut off.
  int ImageWidth();
  int ImageLength();

  // The Exif IFD's user comment decoded by its character code: UNICODE as UTF-16
  // (byte-order mark honoured, big-endian without one), JIS through Shift_JIS, any
  // other code as CP932 text, NULs included. Reports -7 when the tag is absent;
  // empty when it is not UNDEFINED or shorter than its 8-byte code.
  std::u16string UserComment();

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
  void ReportError(int code);

  std::string m_imageFileName;
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

// The listing's OnError handler: every error is answered with AllowError false.
void ExifInfoError(TExifInfo& sender, int errCode, bool& allowError);

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
// untouched. reader.OnError must be ExifInfoError (the owner sets it once), so that a
// damaged file never raises.
bool ReadExifFields(TExifInfo& reader, const std::string& nativePath, TExifFields& out);

}  // namespace orv
