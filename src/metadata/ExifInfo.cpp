// The Exif reader: finding the APP1 segment, walking the TIFF tag directories,
// decoding the values the listing shows, and the JPEG frame header fallback for the
// pixel dimensions.
#include "metadata/ExifInfo.h"

#include "metadata/JisDecoder.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"
#include "platform/File.h"

namespace orv {

namespace {

// The tags the listing reads, and the pointers to the IFDs they sit in.
constexpr std::uint16_t kTagImageWidth = 0x0100;
constexpr std::uint16_t kTagImageLength = 0x0101;
constexpr std::uint16_t kTagMake = 0x010F;
constexpr std::uint16_t kTagModel = 0x0110;
constexpr std::uint16_t kTagDateTime = 0x0132;
constexpr std::uint16_t kTagArtist = 0x013B;
constexpr std::uint16_t kTagCopyright = 0x8298;
constexpr std::uint16_t kTagExifIfdPointer = 0x8769;
constexpr std::uint16_t kTagGpsIfdPointer = 0x8825;
constexpr std::uint16_t kTagExifVersion = 0x9000;
constexpr std::uint16_t kTagUserComment = 0x9286;
constexpr std::uint16_t kTagInteropIfdPointer = 0xA005;

// JPEG markers: start of image, the APP1 segment Exif lives in, and the range of the
// start-of-frame markers with the three others that share it.
constexpr std::uint16_t kMarkerStartOfImage = 0xFFD8;
constexpr std::uint8_t kMarkerPrefix = 0xFF;
constexpr std::uint8_t kMarkerApp1 = 0xE1;
constexpr std::uint16_t kMarkerFirstFrame = 0xFFC0;
constexpr std::uint16_t kMarkerLastFrame = 0xFFCF;
constexpr std::uint16_t kMarkerHuffmanTables = 0xFFC4;
constexpr std::uint16_t kMarkerReservedC8 = 0xFFC8;
constexpr std::uint16_t kMarkerArithmeticConditioning = 0xFFCC;
// The first segment starts right after the start-of-image marker; an Exif file has its
// APP1 segment there.
constexpr std::uint64_t kFirstSegmentOffset = 2;
// The APP1 marker and its segment length, which "Exif" follows.
constexpr std::uint64_t kApp1HeaderSize = 4;
constexpr std::size_t kExifNameZeroBytes = 2;

// The byte-order marks a UNICODE user comment may start with.
constexpr std::uint8_t kOrderMarkHigh = 0xFE;
constexpr std::uint8_t kOrderMarkLow = 0xFF;

// Room for values beyond the file's own size. Values of a sound file never overlap,
// so they cannot add up to more than the file; only a hostile one, pointing many
// entries at one large block, runs out.
constexpr std::uint64_t kValueBudgetSlack = 64 * 1024;

// The user comment's character code: 8 bytes before the text, NUL padded.
constexpr std::size_t kCommentCodeSize = 8;
constexpr std::string_view kCommentCodeUnicode = "UNICODE";
constexpr std::string_view kCommentCodeJis = "JIS";

// Closes a source however the read that opened it ends.
class TSourceCloser {
public:
  explicit TSourceCloser(TExifSource& source) : m_source(source) {}
  ~TSourceCloser() { m_source.Close(); }
  TSourceCloser(const TSourceCloser&) = delete;
  TSourceCloser& operator=(const TSourceCloser&) = delete;

private:
  TExifSource& m_source;
};

std::uint16_t BigEndian16(const std::uint8_t* bytes) {
  return static_cast<std::uint16_t>(bytes[0] << 8 | bytes[1]);
}

// The APP1 marker's offset: 2 when the file begins FF D8 FF E1, else -1. No other
// position counts: an Exif file has its APP1 segment right after start-of-image.
std::int64_t FindApp1(TExifSource& source) {
  std::uint8_t head[4];
  if (!source.ReadAt(0, head, sizeof head)) return -1;
  if (BigEndian16(head) != kMarkerStartOfImage || head[2] != kMarkerPrefix || head[3] != kMarkerApp1) return -1;
  return static_cast<std::int64_t>(kFirstSegmentOffset);
}

bool IsStartOfFrame(std::uint16_t marker) {
  if (marker < kMarkerFirstFrame || marker > kMarkerLastFrame) return false;
  return marker != kMarkerHuffmanTables && marker != kMarkerReservedC8 && marker != kMarkerArithmeticConditioning;
}

// UTF-16 units of a UNICODE comment. A byte-order mark chooses the order and is
// dropped; without one the units are big-endian whatever the TIFF order says. An odd
// last byte is not a unit and is left out.
std::u16string DecodeUnicodeComment(std::string_view bytes) {
  bool bigEndian = true;
  std::size_t at = 0;
  if (bytes.size() >= 2) {
    const auto b0 = static_cast<std::uint8_t>(bytes[0]);
    const auto b1 = static_cast<std::uint8_t>(bytes[1]);
    if (b0 == kOrderMarkLow && b1 == kOrderMarkHigh) {
      bigEndian = false;
      at = 2;
    } else if (b0 == kOrderMarkHigh && b1 == kOrderMarkLow) {
      at = 2;
    }
  }
  std::u16string text;
  text.reserve((bytes.size() - at) / 2);
  for (; at + 1 < bytes.size(); at += 2) {
    const auto first = static_cast<std::uint8_t>(bytes[at]);
    const auto second = static_cast<std::uint8_t>(bytes[at + 1]);
    text += static_cast<char16_t>(bigEndian ? (first << 8 | second) : (second << 8 | first));
  }
  return text;
}

}  // namespace

std::string TExifInfo::LastErrorText() const {
  // Written in UTF-8 here, held in CP932 like every text of the program.
  const char* text = "";
  switch (m_lastError) {
  case ExifErrorNone:
    break;
  case ExifErrorFileNotFound:
    text = "ファイルが見つかりません";
    break;
  case ExifErrorNotExif:
    text = "Exif、またはDCF形式ではありません";
    break;
  case ExifErrorBadStream:
    text = "不正なストリーム";
    break;
  case ExifErrorTagNotFound:
    text = "タグが見つかりません";
    break;
  }
  return Utf8ToAnsi(text);
}

void TExifInfo::BeginLoad(const std::string& name) {
  m_imageFileName = name;
  m_lastError = ExifErrorNone;
  m_memory = {};
  m_fromMemory = false;
  m_app1Offset = -1;
  m_byteOrder = 0;
  m_baseOffset = 0;
  m_main.Clear();
  m_thumbnail.Clear();
  m_frameRead = false;
  m_frameWidth = 0;
  m_frameHeight = 0;
}

void TExifInfo::SetImageFileName(const std::string& nativePath) {
  BeginLoad(nativePath);
  if (nativePath.empty()) return;
  if (!FileExists(nativePath)) {
    ReportError(ExifErrorFileNotFound);
    return;
  }
  // A file that exists but cannot be opened has no marker that could be found.
  if (!m_source.OpenFile(nativePath)) {
    ReportError(ExifErrorNotExif);
    return;
  }
  LoadFrom(m_source);
}

void TExifInfo::LoadFromMemory(std::string_view data) {
  BeginLoad(std::string());
  m_memory = data;
  m_fromMemory = true;
  m_source.OpenMemory(data);
  LoadFrom(m_source);
}

void TExifInfo::LoadFrom(TExifSource& source) {
  bool complete;
  {
    TSourceCloser closer(source);
    m_app1Offset = FindApp1(source);
    if (m_app1Offset < 0) {
      ReportError(ExifErrorNotExif);
      return;
    }
    m_valueBudget = source.Size() + kValueBudgetSlack;
    complete = ReadDirectories(source);
  }
  if (!complete) ReportError(ExifErrorBadStream);
}

bool TExifInfo::HasExifSegment(const std::string& nativePath) {
  if (!m_source.OpenFile(nativePath)) return false;
  TSourceCloser closer(m_source);
  return FindApp1(m_source) > 0;
}

std::uint16_t TExifInfo::Read16(const std::uint8_t* bytes) const {
  return BigEndian() ? BigEndian16(bytes) : static_cast<std::uint16_t>(bytes[1] << 8 | bytes[0]);
}

std::uint32_t TExifInfo::Read32(const std::uint8_t* bytes) const {
  const std::uint32_t b0 = bytes[0], b1 = bytes[1], b2 = bytes[2], b3 = bytes[3];
  return BigEndian() ? (b0 << 24 | b1 << 16 | b2 << 8 | b3) : (b3 << 24 | b2 << 16 | b1 << 8 | b0);
}

bool TExifInfo::ReadDirectories(TExifSource& source) {
  // The TIFF header follows "Exif" and its two zero bytes. The zeros are counted
  // after the segment length, which would otherwise supply one itself whenever the
  // segment is shorter than 256 bytes (or a multiple of 256 long).
  const std::int64_t base =
      source.OffsetAfterZeroBytes(static_cast<std::uint64_t>(m_app1Offset) + kApp1HeaderSize, kExifNameZeroBytes);
  if (base < 0) return false;
  m_baseOffset = static_cast<std::uint64_t>(base);
  m_main.BaseOffset = m_baseOffset;
  m_thumbnail.BaseOffset = m_baseOffset;

  std::uint8_t header[8];
  if (!source.ReadAt(m_baseOffset, header, sizeof header)) return false;
  m_byteOrder = static_cast<std::uint16_t>(header[1] << 8 | header[0]);
  // Bytes 2-3 should hold 42; cameras and this reader do not care.
  const std::uint32_t ifd0 = Read32(header + 4);

  std::uint32_t ifd1 = 0;
  std::uint32_t unusedNext = 0;
  if (!ReadIfd(source, m_main, ExifIfd0, ifd0, ifd1)) return false;
  if (const std::uint32_t at = IfdPointer(m_main, kTagExifIfdPointer, ExifIfd0)) {
    if (!ReadIfd(source, m_main, ExifIfdExif, at, unusedNext)) return false;
  }
  if (const std::uint32_t at = IfdPointer(m_main, kTagGpsIfdPointer, ExifIfd0)) {
    if (!ReadIfd(source, m_main, ExifIfdGps, at, unusedNext)) return false;
  }
  if (const std::uint32_t at = IfdPointer(m_main, kTagInteropIfdPointer, ExifIfdExif)) {
    if (!ReadIfd(source, m_main, ExifIfdInterop, at, unusedNext)) return false;
  }
  // Only the fixed set of directories above and below is ever read, so pointers that
  // lead back to an earlier directory cost a second read of it, never a loop.
  if (ifd1 != 0) {
    if (!ReadIfd(source, m_thumbnail, ExifIfd0, ifd1, unusedNext)) return false;
    if (const std::uint32_t at = IfdPointer(m_thumbnail, kTagExifIfdPointer, ExifIfd0)) {
      if (!ReadIfd(source, m_thumbnail, ExifIfdExif, at, unusedNext)) return false;
    }
    if (const std::uint32_t at = IfdPointer(m_thumbnail, kTagInteropIfdPointer, ExifIfdExif)) {
      if (!ReadIfd(source, m_thumbnail, ExifIfdInterop, at, unusedNext)) return false;
    }
  }
  return true;
}

bool TExifInfo::ReadIfd(TExifSource& source, TEntryItems& items, std::uint8_t ifdIndex, std::uint32_t offset,
                        std::uint32_t& nextIfd) {
  std::uint64_t at = m_baseOffset + offset;
  std::uint8_t entry[12];
  if (!source.ReadAt(at, entry, 2)) return false;
  const unsigned count = Read16(entry);
  at += 2;
  for (unsigned i = 0; i < count; ++i, at += sizeof entry) {
    if (!source.ReadAt(at, entry, sizeof entry)) return false;
    TEntryItem& item = items.Add();
    item.Tag = Read16(entry);
    item.Type = static_cast<std::uint8_t>(Read16(entry + 2) & 0xFF);
    item.Count = Read32(entry + 4);
    item.IfdIndex = ifdIndex;
    item.BigEndian = BigEndian();
    // 64-bit, so that a huge count cannot wrap into a small size; a type outside the
    // table has size 0 and no values.
    const std::uint64_t size = std::uint64_t{ExifTypeSize(item.Type)} * item.Count;
    if (size > 4) {
      item.ValueOffset = Read32(entry + 8);
      // The source checks the range against the file before out grows.
      if (size > m_valueBudget ||
          !source.ReadAt(m_baseOffset + item.ValueOffset, static_cast<std::size_t>(size), item.MutableData())) {
        items.RemoveLast();
        return false;
      }
      m_valueBudget -= size;
    } else {
      item.ValueOffset = 0;
      item.MutableData().assign(reinterpret_cast<const char*>(entry + 8), static_cast<std::size_t>(size));
    }
  }
  if (!source.ReadAt(at, entry, 4)) return false;
  nextIfd = Read32(entry);
  return true;
}

std::uint32_t TExifInfo::IfdPointer(const TEntryItems& items, std::uint16_t tag, std::uint8_t ifdIndex) const {
  const int index = items.Find(tag, ifdIndex);
  if (index < 0 || items[index].Type != ExifTypeLong) return 0;
  return items[index].UnsignedValue(0);
}

std::string TExifInfo::Artist() const { return AsciiValue(kTagArtist); }
std::string TExifInfo::Copyright() const { return AsciiValue(kTagCopyright); }
std::string TExifInfo::Make() const { return AsciiValue(kTagMake); }
std::string TExifInfo::Model() const { return AsciiValue(kTagModel); }
std::string TExifInfo::DateTime() const { return AsciiValue(kTagDateTime); }

namespace {

// Text bytes a camera stored, as program text. Japanese cameras write CP932, which
// the CP932 code page holds as it is; under UTF-8 the bytes stay when they are UTF-8
// and are read as CP932 otherwise.
std::string CameraText(std::string_view bytes) {
  if (ActiveCodePage() != CodePageUtf8 || IsValidUtf8(bytes)) {
    return std::string(bytes);
  }
  return Cp932ToUtf8(bytes);
}

}  // namespace

std::string TExifInfo::AsciiValue(std::uint16_t tag) const {
  const int index = m_main.Find(tag, ExifIfd0);
  if (index < 0 || m_main[index].Type != ExifTypeAscii) return std::string();
  const std::string_view data = m_main[index].Data();
  return CameraText(data.substr(0, data.find('\0')));
}

std::string TExifInfo::ExifVersion() {
  const int index = m_main.Find(kTagExifVersion, ExifIfdExif);
  if (index < 0) {
    ReportError(ExifErrorTagNotFound);
    return std::string();
  }
  if (m_main[index].Type != ExifTypeUndefined) return std::string();
  return std::string(m_main[index].Data());
}

int TExifInfo::ImageWidth() { return Dimension(kTagImageWidth, true); }

int TExifInfo::ImageLength() { return Dimension(kTagImageLength, false); }

int TExifInfo::Dimension(std::uint16_t tag, bool reportType) {
  const int index = m_main.Find(tag, ExifIfd0);
  if (index >= 0) {
    const TEntryItem& item = m_main[index];
    if (item.Type == ExifTypeShort || item.Type == ExifTypeLong) {
      // A LONG above 2^31 comes out negative, as the 32-bit integer it is read into.
      return static_cast<int>(item.UnsignedValue(0));
    }
    if (reportType) ReportError(ExifErrorBadStream);
    return 0;
  }
  ReadFrameHeader();
  return tag == kTagImageWidth ? m_frameWidth : m_frameHeight;
}

void TExifInfo::ReadFrameHeader() {
  if (m_frameRead) return;
  m_frameRead = true;
  m_frameWidth = 0;
  m_frameHeight = 0;
  if (m_fromMemory) {
    m_source.OpenMemory(m_memory);
  } else if (m_imageFileName.empty() || !m_source.OpenFile(m_imageFileName)) {
    return;
  }
  TSourceCloser closer(m_source);
  std::uint8_t bytes[5];
  if (!m_source.ReadAt(0, bytes, 2) || BigEndian16(bytes) != kMarkerStartOfImage) return;
  std::uint64_t at = kFirstSegmentOffset;
  for (;;) {
    if (!m_source.ReadAt(at, bytes, 4)) return;
    const std::uint16_t marker = BigEndian16(bytes);
    const std::uint16_t length = BigEndian16(bytes + 2);
    at += 4;
    if (IsStartOfFrame(marker)) break;
    if (marker == 0 && length == 0) {
      // Four zero bytes move the walk on by two, over and over, through a zero-filled
      // region: go straight to the first step whose four bytes are not all zero.
      const std::uint64_t from = at - 4;
      const std::uint64_t nonZero = m_source.FirstNonZeroByte(from);
      if (nonZero > from + 3) {
        at = from + (nonZero - from - 3 + 1) / 2 * 2;
        continue;
      }
    }
    // The length counts itself. A length below 2 steps back into the bytes just read,
    // yet every turn still moves on by at least two bytes, so the walk ends.
    at = at - 2 + length;
  }
  // Sample precision, then the height and the width.
  if (!m_source.ReadAt(at, bytes, 5)) return;
  m_frameHeight = BigEndian16(bytes + 1);
  m_frameWidth = BigEndian16(bytes + 3);
}

std::u16string TExifInfo::UserComment() {
  const int index = m_main.Find(kTagUserComment, ExifIfdExif);
  if (index < 0) {
    ReportError(ExifErrorTagNotFound);
    return std::u16string();
  }
  const TEntryItem& item = m_main[index];
  if (item.Type != ExifTypeUndefined || item.Data().size() < kCommentCodeSize) return std::u16string();
  const std::string_view data = item.Data();
  // The code's zero bytes are dropped wherever they stand, so "ASCII\0\0\0" and
  // "\0ASCII\0\0" name the same code.
  std::string code;
  for (std::size_t i = 0; i < kCommentCodeSize; ++i) {
    if (data[i] != '\0') code += data[i];
  }
  const std::string_view body = data.substr(kCommentCodeSize);
  if (code == kCommentCodeUnicode) return DecodeUnicodeComment(body);
  if (code == kCommentCodeJis) return Cp932ToUtf16(JisToShiftJis(body));
  // ASCII, undefined (eight zero bytes) and any other code: the bytes as the camera
  // wrote them.
  return AnsiToUtf16(CameraText(body));
}

bool ReadExifFields(TExifInfo& reader, const std::string& nativePath, TExifFields& out) {
  if (!reader.HasExifSegment(nativePath)) return false;
  reader.SetImageFileName(nativePath);
  out = TExifFields();
  if (reader.HasTag(kTagArtist, ExifIfd0)) out.Artist = reader.Artist();
  if (reader.HasTag(kTagCopyright, ExifIfd0)) out.Copyright = reader.Copyright();
  if (reader.HasTag(kTagMake, ExifIfd0)) out.Make = reader.Make();
  if (reader.HasTag(kTagModel, ExifIfd0)) out.Model = reader.Model();
  if (reader.HasTag(kTagExifVersion, ExifIfdExif)) out.Version = reader.ExifVersion();
  if (reader.HasTag(kTagDateTime, ExifIfd0)) out.DateTime = reader.DateTime();
  out.ImageWidth = reader.ImageWidth();
  out.ImageLength = reader.ImageLength();
  if (reader.HasTag(kTagUserComment, ExifIfdExif)) out.UserComment = Utf16ToAnsi(reader.UserComment());
  return true;
}

}  // namespace orv
