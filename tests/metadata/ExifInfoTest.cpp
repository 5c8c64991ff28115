// The Exif reader on JPEGs built here: the candidate test, both byte orders, the
// values the listing shows, the user comment's character codes, the frame header
// fallback, error reporting, and damaged files that must never crash, hang or raise.
#include "metadata/ExifInfo.h"

#include "metadata/ExifTestImage.h"
#include "metadata/JisDecoder.h"
#include "platform/CodePage.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

namespace orv {
namespace {

using test::ExifJpeg;
using test::TExifTestImage;
using test::TestIfd0;
using test::TestIfd1;
using test::TestIfdExif;
using test::TestIfdGps;
using test::TestIfdInterop;

std::string Bytes(const char* text, std::size_t size) { return std::string(text, size); }

// A camera's IFD0 and Exif IFD, without the dimension tags.
TExifTestImage CameraTags(bool bigEndian) {
  TExifTestImage image(bigEndian);
  image.AddAscii(TestIfd0, 271, Bytes("Canon\0", 6));
  image.AddAscii(TestIfd0, 272, Bytes("Canon EOS 5D\0", 13));
  image.AddAscii(TestIfd0, 306, Bytes("2006:01:02 15:04:05\0", 20));
  image.AddUndefined(TestIfdExif, 36864, "0220");
  return image;
}

// A file cut inside IFD0 (which starts at 20) after two whole entries whose values
// sit in the entries; the third entry's value lay beyond the cut.
std::string CutInIfd0(bool bigEndian) {
  TExifTestImage image(bigEndian);
  image.AddAscii(TestIfd0, 271, Bytes("ABC\0", 4));
  image.AddShort(TestIfd0, 256, 320);
  image.AddAscii(TestIfd0, 272, Bytes("Model name\0", 11));
  image.AddAscii(TestIfd0, 306, Bytes("2006:01:02 15:04:05\0", 20));
  return ExifJpeg(image.Tiff()).substr(0, 22 + 2 * 12 + 5);
}

std::string CommentFile(std::string_view comment) {
  TExifTestImage image(false);
  image.AddUndefined(TestIfdExif, 37510, comment);
  return ExifJpeg(image.Tiff());
}

TEST(ExifInfoTest, CandidateIsOnlyAnApp1SegmentRightAfterStartOfImage) {
  test::TTempDir dir;
  TExifInfo reader;
  const std::string tiff = CameraTags(false).Tiff();
  EXPECT_TRUE(reader.HasExifSegment(dir.WriteFile("exif.jpg", ExifJpeg(tiff))));

  // JFIF first: not a candidate even though an Exif APP1 segment follows.
  const std::string jfif = "\xFF\xD8" + test::JpegSegment(0xE0, Bytes("JFIF\0\1\1", 7)) +
                           test::JpegSegment(0xE1, test::Exif6() + tiff) + test::FrameHeader(8, 8);
  const std::string jfifPath = dir.WriteFile("jfif.jpg", jfif);
  EXPECT_FALSE(reader.HasExifSegment(jfifPath));
  TExifFields fields;
  fields.Make = "kept";
  EXPECT_FALSE(ReadExifFields(reader, jfifPath, fields));
  EXPECT_EQ(fields.Make, "kept");

  EXPECT_FALSE(reader.HasExifSegment(dir.WriteFile("short.jpg", "\xFF\xD8\xFF")));
  EXPECT_FALSE(reader.HasExifSegment(dir.WriteFile("text.jpg", "hello world")));
  EXPECT_FALSE(reader.HasExifSegment(dir.WriteFile("empty.jpg", "")));
  EXPECT_FALSE(reader.HasExifSegment(dir / "missing.jpg"));
  EXPECT_FALSE(reader.HasExifSegment(dir.Path()));
  const std::string fifo = dir / "fifo.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  EXPECT_FALSE(reader.HasExifSegment(fifo));
}

TEST(ExifInfoTest, CameraFileFillsTheNineFieldsWithDimensionsFromTheFrameHeader) {
  test::TTempDir dir;
  TExifInfo reader;
  TExifFields fields;
  ASSERT_TRUE(ReadExifFields(reader, dir.WriteFile("camera.jpg", ExifJpeg(CameraTags(false).Tiff(), 4000, 3000)),
                             fields));
  EXPECT_EQ(fields.Artist, "");
  EXPECT_EQ(fields.Copyright, "");
  EXPECT_EQ(fields.Make, "Canon");
  EXPECT_EQ(fields.Model, "Canon EOS 5D");
  EXPECT_EQ(fields.Version, "0220");
  EXPECT_EQ(fields.DateTime, "2006:01:02 15:04:05");
  EXPECT_EQ(fields.ImageWidth, 4000);
  EXPECT_EQ(fields.ImageLength, 3000);
  EXPECT_EQ(fields.UserComment, "");
  EXPECT_EQ(reader.App1Offset(), 2);
  EXPECT_EQ(reader.BaseOffset(), 12u);

  // A progressive frame (C2) counts; a file without any frame header gives 0.
  const std::string tiff = CameraTags(true).Tiff();
  const std::string progressive = "\xFF\xD8" + test::JpegSegment(0xE1, test::Exif6() + tiff) +
                                  test::JpegSegment(0xDB, std::string(65, '\x01')) +
                                  test::FrameHeader(1920, 1080, 0xC2);
  ASSERT_TRUE(ReadExifFields(reader, dir.WriteFile("progressive.jpg", progressive), fields));
  EXPECT_EQ(fields.ImageWidth, 1920);
  EXPECT_EQ(fields.ImageLength, 1080);
  ASSERT_TRUE(ReadExifFields(reader, dir.WriteFile("noframe.jpg", ExifJpeg(tiff, -1)), fields));
  EXPECT_EQ(fields.Make, "Canon");
  EXPECT_EQ(fields.ImageWidth, 0);
  EXPECT_EQ(fields.ImageLength, 0);
}

TEST(ExifInfoTest, BothByteOrdersGiveTheSameValues) {
  test::TTempDir dir;
  for (const bool bigEndian : {false, true}) {
    SCOPED_TRACE(bigEndian ? "MM" : "II");
    TExifTestImage image(bigEndian);
    image.AddAscii(TestIfd0, 315, Bytes("Jane Doe\0", 9));
    image.AddAscii(TestIfd0, 33432, Bytes("Photographer\0Editor\0", 20));
    image.AddAscii(TestIfd0, 271, Bytes("ABC\0", 4));
    image.AddAscii(TestIfd0, 272, "X100");  // no NUL: all Count bytes
    image.AddAscii(TestIfd0, 306, Bytes("2020:02:29 23:59:59\0", 20));
    image.AddShort(TestIfd0, 256, 1234);
    image.AddLong(TestIfd0, 257, 70000);
    image.Add(TestIfd0, 258, 3, 3, image.U16(8) + image.U16(8) + image.U16(8));
    image.AddAscii(TestIfd0, 270, "");
    image.AddUndefined(TestIfdExif, 36864, "0230");
    image.AddUndefined(TestIfdExif, 37510, Bytes("UNICODE\0\x30\x42\x00\x41", 12));
    image.AddAscii(TestIfdGps, 1, Bytes("N\0", 2));
    image.AddAscii(TestIfdInterop, 1, Bytes("R98\0", 4));
    image.AddAscii(TestIfd1, 271, Bytes("Thumb\0", 6));
    image.AddLong(TestIfd1, 513, 4242);

    TExifInfo reader;
    reader.SetImageFileName(dir.WriteFile("order.jpg", ExifJpeg(image.Tiff(), 9, 9)));
    EXPECT_EQ(reader.ByteOrder(), bigEndian ? 0x4D4D : 0x4949);
    EXPECT_EQ(reader.Artist(), "Jane Doe");
    EXPECT_EQ(reader.Copyright(), "Photographer");
    EXPECT_EQ(reader.Make(), "ABC");
    EXPECT_EQ(reader.Model(), "X100");
    EXPECT_EQ(reader.DateTime(), "2020:02:29 23:59:59");
    EXPECT_EQ(reader.ImageWidth(), 1234);
    EXPECT_EQ(reader.ImageLength(), 70000);
    EXPECT_EQ(reader.ExifVersion(), "0230");
    EXPECT_EQ(reader.UserComment(), u"\u3042A");  // big-endian without a mark, in either file order
    EXPECT_TRUE(reader.HasTag(1, 2));
    EXPECT_TRUE(reader.HasTag(1, 3));
    EXPECT_FALSE(reader.HasTag(271, 1));
    EXPECT_EQ(reader.LastError(), ExifErrorNone);

    const TEntryItems& entries = reader.Entries();
    const TEntryItem& make = entries[entries.Find(271, 0)];
    EXPECT_EQ(make.ValueOffset, 0u);  // read from inside the entry
    EXPECT_EQ(make.ValueCount(), 1u);
    EXPECT_GT(entries[entries.Find(315, 0)].ValueOffset, 0u);
    const TEntryItem& bits = entries[entries.Find(258, 0)];
    EXPECT_EQ(bits.ValueCount(), 3u);
    EXPECT_EQ(bits.UnsignedValue(2), 8u);
    EXPECT_EQ(bits.UnsignedValue(3), 0u);
    EXPECT_EQ(entries[entries.Find(270, 0)].ValueCount(), 0u);
    EXPECT_EQ(entries[entries.Find(37510, 1)].ValueCount(), 1u);

    // The thumbnail's IFD1 stays apart from the main collection.
    const TEntryItems& thumbnail = reader.ThumbnailEntries();
    ASSERT_GE(thumbnail.Find(271, 0), 0);
    EXPECT_EQ(thumbnail[thumbnail.Find(271, 0)].Data(), Bytes("Thumb\0", 6));
    EXPECT_EQ(thumbnail[thumbnail.Find(513, 0)].UnsignedValue(0), 4242u);
    EXPECT_FALSE(reader.HasTag(513, 0));
  }
}

TEST(ExifInfoTest, UserCommentIsDecodedByItsCharacterCode) {
  test::TTempDir dir;
  TExifInfo reader;
  TExifFields fields;
  const auto comment = [&](std::string_view value) {
    EXPECT_TRUE(ReadExifFields(reader, dir.WriteFile("c.jpg", CommentFile(value)), fields));
    return fields.UserComment;
  };

  EXPECT_EQ(comment(Bytes("ASCII\0\0\0Hello\0\0\0", 16)), Bytes("Hello\0\0\0", 8));
  EXPECT_EQ(comment(Bytes("UNICODE\0\xFF\xFEH\0i\0", 14)), "Hi");
  EXPECT_EQ(comment(Bytes("UNICODE\0\xFE\xFF\0H\0i", 14)), "Hi");
  EXPECT_EQ(comment(Bytes("UNICODE\0\0H\0i", 12)), "Hi");
  EXPECT_EQ(comment(Bytes("UNICODE\0\x30\x42\x4E\x9C", 12)), "\x82\xA0\x88\x9F");  // あ亜 in CP932
  EXPECT_EQ(comment(Bytes("UNICODE\0\0\xE9", 10)), "?");                          // é: not in CP932
  EXPECT_EQ(comment(Bytes("UNICODE\0\0H\0i\0", 13)), "Hi");  // odd byte count: the units before it
  EXPECT_EQ(comment(Bytes("UNICODE\0", 8)), "");

  // JIS X 0208-1983, the pairs 30 21, 30 22, 31 21, back to ASCII.
  EXPECT_EQ(comment(Bytes("JIS\0\0\0\0\0\x1B$B\x30\x21\x30\x22\x31\x21\x1B(Bok", 22)), "\x88\x9F\x88\xA0\x89\x40ok");
  EXPECT_EQ(comment(Bytes("JIS\0\0\0\0\0\x1B$B\x30\x21\x30", 14)), "\x88\x9F");  // cut inside a pair

  EXPECT_EQ(comment(Bytes("\0\0\0\0\0\0\0\0\x82\xA0z", 11)), "\x82\xA0z");  // undefined: CP932 bytes
  EXPECT_EQ(comment(Bytes("\0ASC\0II\0abc", 11)), "abc");
  EXPECT_EQ(comment(Bytes("Foo\0\0\0\0\0bar", 11)), "bar");
  EXPECT_EQ(comment("short"), "");

  // Only an UNDEFINED value is a comment; an absent one is also a missing tag.
  TExifTestImage ascii(false);
  ascii.AddAscii(TestIfdExif, 37510, Bytes("ASCII\0\0\0text\0", 13));
  reader.SetImageFileName(dir.WriteFile("a.jpg", ExifJpeg(ascii.Tiff())));
  EXPECT_EQ(reader.UserComment(), u"");
  EXPECT_EQ(reader.LastError(), ExifErrorNone);
  reader.SetImageFileName(dir.WriteFile("b.jpg", ExifJpeg(CameraTags(false).Tiff())));
  EXPECT_EQ(reader.UserComment(), u"");
  EXPECT_EQ(reader.LastError(), ExifErrorTagNotFound);
}

TEST(ExifInfoTest, JisDecoderFollowsTheEscapeTable) {
  EXPECT_EQ(JisToShiftJis("plain"), "plain");
  EXPECT_EQ(JisToShiftJis("\x1B$@\x30\x21"), "\x88\x9F");               // 1978 kanji
  EXPECT_EQ(JisToShiftJis("\x1B$(D\x30\x21"), "\x88\x9F");              // X 0212, same arithmetic
  EXPECT_EQ(JisToShiftJis("\x1B&@\x1B$B\x30\x21"), "\x88\x9F");         // 1990 kanji
  EXPECT_EQ(JisToShiftJis("\x1B$B\x60\x21\x31\x60\x1B(Jz"), "\xE0\x9F\x89\x80z");  // rows above 5E; skip over 7F
  EXPECT_EQ(JisToShiftJis("\x1B$B\x30\x21\x1B(Hz"), "\x88\x9Fz");
  EXPECT_EQ(JisToShiftJis("\x1B(I\x31\x5F\x1B(Ba"), "\xB1\xDF" "a");     // half-width katakana
  // An unknown sequence, or the 1990 prefix alone, loses only its ESC.
  EXPECT_EQ(JisToShiftJis("a\x1B(Zb"), "a(Zb");
  EXPECT_EQ(JisToShiftJis("\x1B&@x"), "&@x");
  EXPECT_EQ(JisToShiftJis("\x1B$"), "$");
  // In two-byte mode an ESC is an escape only where a pair starts.
  EXPECT_EQ(JisToShiftJis("\x1B$B\x30\x1B(B"), "\x88\x99\x84\xC0");
}

TEST(ExifInfoTest, DimensionsComeFromShortOrLongTagsElseOnceFromTheFrameHeader) {
  test::TTempDir dir;
  TExifInfo reader;

  TExifTestImage rational(true);
  rational.AddRational(TestIfd0, 256, 640, 1);
  rational.AddRational(TestIfd0, 257, 480, 1);
  reader.SetImageFileName(dir.WriteFile("r.jpg", ExifJpeg(rational.Tiff(), 100, 50)));
  EXPECT_EQ(reader.ImageLength(), 0);
  EXPECT_EQ(reader.LastError(), ExifErrorNone);  // only the width reports its type
  EXPECT_EQ(reader.ImageWidth(), 0);
  EXPECT_EQ(reader.LastError(), ExifErrorBadStream);

  // Without the tags the frame header is read once per loaded file: a change to the
  // file afterwards is not seen until the next assignment.
  const std::string path = dir.WriteFile("f.jpg", ExifJpeg(CameraTags(false).Tiff(), 800, 600));
  reader.SetImageFileName(path);
  EXPECT_EQ(reader.ImageWidth(), 800);
  dir.WriteFile("f.jpg", ExifJpeg(CameraTags(false).Tiff(), 320, 200));
  EXPECT_EQ(reader.ImageLength(), 600);
  reader.SetImageFileName(path);
  EXPECT_EQ(reader.ImageLength(), 200);
  EXPECT_EQ(reader.ImageWidth(), 320);

  // Frame headers cut off, and segment walks that end without one, give 0.
  const std::string whole = ExifJpeg(CameraTags(false).Tiff(), 800, 600);
  const std::size_t frame = whole.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  for (std::size_t cut = frame; cut < frame + 9; ++cut) {
    reader.SetImageFileName(dir.WriteFile("cut.jpg", whole.substr(0, cut)));
    EXPECT_EQ(reader.ImageWidth(), 0) << cut;
    EXPECT_EQ(reader.ImageLength(), 0) << cut;
  }
  const std::string zeros = "\xFF\xD8" + test::JpegSegment(0xE1, test::Exif6() + CameraTags(false).Tiff()) +
                            std::string(100000, '\0');
  reader.SetImageFileName(dir.WriteFile("zeros.jpg", zeros));
  EXPECT_EQ(reader.Make(), "Canon");
  EXPECT_EQ(reader.ImageWidth(), 0);
  EXPECT_EQ(reader.LastError(), ExifErrorNone);
}

TEST(ExifInfoTest, TiffHeaderFollowsTheZerosAfterTheSegmentLength) {
  // Lengths with a zero byte (below 256, or a multiple of 256) must not shorten the
  // skip to the TIFF header.
  for (const std::size_t length : {std::size_t{0x00F0}, std::size_t{0x0200}, std::size_t{0x1000}}) {
    const std::string tiff = CameraTags(false).Tiff();
    ASSERT_LT(tiff.size() + 8, length);
    const std::string payload = test::Exif6() + tiff + std::string(length - 2 - 6 - tiff.size(), 'p');
    const std::string file = "\xFF\xD8" + test::JpegSegment(0xE1, payload) + test::FrameHeader(4, 3);
    ASSERT_EQ(static_cast<unsigned char>(file[4]) << 8 | static_cast<unsigned char>(file[5]), static_cast<int>(length));
    TExifInfo reader;
    reader.LoadFromMemory(file);
    EXPECT_EQ(reader.BaseOffset(), 12u) << length;
    EXPECT_EQ(reader.Model(), "Canon EOS 5D") << length;
    EXPECT_EQ(reader.ImageWidth(), 4) << length;
    EXPECT_EQ(reader.LastError(), ExifErrorNone) << length;
  }
}

TEST(ExifInfoTest, DamagedDirectoriesKeepWhatWasReadBefore) {
  TExifInfo reader;

  for (const bool bigEndian : {false, true}) {
    const std::string cut = CutInIfd0(bigEndian);
    reader.LoadFromMemory(cut);
    EXPECT_EQ(reader.LastError(), ExifErrorBadStream);
    EXPECT_EQ(reader.Make(), "ABC");
    EXPECT_EQ(reader.ImageWidth(), 320);
    EXPECT_FALSE(reader.HasTag(272, 0));
    EXPECT_FALSE(reader.HasTag(306, 0));
  }

  // A value past the end, a huge ASCII count and a count whose size wraps in 32 bits
  // each end the walk there, without reading or allocating.
  for (const std::uint32_t count : {std::uint32_t{64}, std::uint32_t{0x80000000u}}) {
    TExifTestImage image(false);
    image.AddAscii(TestIfd0, 271, Bytes("Nikon\0", 6));
    image.AddWithField(TestIfd0, 272, 2, count, 0x7FFFFFF0u);
    image.AddAscii(TestIfd0, 306, Bytes("2001:01:01 00:00:00\0", 20));
    reader.LoadFromMemory(ExifJpeg(image.Tiff()));
    EXPECT_EQ(reader.LastError(), ExifErrorBadStream) << count;
    EXPECT_EQ(reader.Make(), "Nikon");
    EXPECT_FALSE(reader.HasTag(272, 0));
    EXPECT_FALSE(reader.HasTag(306, 0));
  }
  TExifTestImage wrap(false);
  wrap.AddWithField(TestIfd0, 273, 4, 0x40000000u, 8);
  const std::string wrapFile = ExifJpeg(wrap.Tiff());
  reader.LoadFromMemory(wrapFile);
  EXPECT_EQ(reader.LastError(), ExifErrorBadStream);

  // A type outside 1-12 has no values and the walk goes on with the next entry; only
  // the low byte of the type counts.
  TExifTestImage types(true);
  types.AddWithField(TestIfd0, 315, 99, 1000000, 0xFFFFFFFFu);
  types.Add(TestIfd0, 271, 0x0102, 4, Bytes("Sony", 4));
  types.AddUndefined(TestIfdExif, 36864, "0221");
  reader.LoadFromMemory(ExifJpeg(types.Tiff()));
  EXPECT_EQ(reader.LastError(), ExifErrorNone);
  EXPECT_TRUE(reader.HasTag(315, 0));
  EXPECT_EQ(reader.Entries()[reader.Entries().Find(315, 0)].ValueCount(), 0u);
  EXPECT_EQ(reader.Artist(), "");
  EXPECT_EQ(reader.Make(), "Sony");
  EXPECT_EQ(reader.ExifVersion(), "0221");

  // Pointers back to IFD0 (Exif IFD and IFD1) read it again and stop; a pointer of
  // another type than LONG counts as absent.
  TExifTestImage loop(false);
  loop.AddAscii(TestIfd0, 271, Bytes("Loop\0", 5));
  loop.AddWithField(TestIfd0, 34665, 4, 1, 8);
  loop.AddWithField(TestIfd0, 34853, 3, 1, 8);
  std::string loopTiff = loop.Tiff();
  loopTiff.replace(8 + 2 + 3 * 12, 4, loop.U32(8));  // IFD0's next-IFD offset
  reader.LoadFromMemory(ExifJpeg(loopTiff));
  EXPECT_EQ(reader.LastError(), ExifErrorNone);
  EXPECT_TRUE(reader.HasTag(271, 1));
  EXPECT_FALSE(reader.HasTag(271, 2));
  EXPECT_EQ(reader.Entries().Count(), 6u);
  EXPECT_EQ(reader.ThumbnailEntries().Count(), 6u);
}

TEST(ExifInfoTest, TruncatedAndCorruptFilesNeverCrashHangOrRaise) {
  TExifTestImage image(true);
  image.AddAscii(TestIfd0, 315, Bytes("Artist Name\0", 12));
  image.AddShort(TestIfd0, 256, 16);
  image.AddUndefined(TestIfdExif, 37510, Bytes("JIS\0\0\0\0\0\x1B$B\x30\x21\x1B(I\x31", 17));
  image.AddUndefined(TestIfdExif, 36864, "0220");
  image.AddAscii(TestIfdGps, 2, Bytes("GPS\0", 4));
  image.AddLong(TestIfdInterop, 2, 7);
  image.AddAscii(TestIfd1, 271, Bytes("Thumbnail\0", 10));
  const std::string whole = ExifJpeg(image.Tiff(), 64, 48);

  TExifInfo reader;
  const auto exercise = [&](std::string_view data) {
    reader.LoadFromMemory(data);
    reader.Artist();
    reader.Make();
    reader.ExifVersion();
    reader.UserComment();
    return reader.ImageWidth() + reader.ImageLength();
  };
  for (std::size_t cut = 0; cut <= whole.size(); ++cut) {
    exercise(std::string_view(whole).substr(0, cut));
  }
  std::string damaged = whole;
  for (std::size_t at = 0; at < whole.size(); ++at) {
    for (const char value : {'\x00', '\xFF', '\x80', '\x01'}) {
      damaged[at] = value;
      exercise(damaged);
    }
    damaged[at] = whole[at];
  }
  EXPECT_EQ(exercise(whole), 16 + 48);
  EXPECT_EQ(Utf16ToAnsi(reader.UserComment()), "\x88\x9F\xB1");
}

TEST(ExifInfoTest, LargeValuesAreReadAcrossTheFileReadWindow) {
  test::TTempDir dir;
  std::string makerNote(40000, '\0');
  for (std::size_t i = 0; i < makerNote.size(); ++i) makerNote[i] = static_cast<char>(i * 7);
  std::string text(20000, 'x');
  text[0] = 'A';
  text.back() = 'Z';
  TExifTestImage image(false);
  image.AddUndefined(TestIfdExif, 37500, makerNote);
  image.AddUndefined(TestIfdExif, 37510, Bytes("ASCII\0\0\0", 8) + text);
  image.AddAscii(TestIfd0, 315, Bytes("after\0", 6));
  // One APP1 segment holds at most 65533 bytes; this one stays below.
  TExifInfo reader;
  TExifFields fields;
  ASSERT_TRUE(ReadExifFields(reader, dir.WriteFile("large.jpg", ExifJpeg(image.Tiff(), 7, 5)), fields));
  EXPECT_EQ(fields.UserComment, text);
  EXPECT_EQ(fields.Artist, "after");
  EXPECT_EQ(fields.ImageWidth, 7);
  EXPECT_EQ(reader.Entries()[reader.Entries().Find(37500, 1)].Data(), makerNote);
}

TEST(ExifInfoTest, DamagedOrMissingFilesGiveEmptyValuesAndTheReason) {
  test::TTempDir dir;
  TExifInfo reader;  // nothing attached: the reader itself never raises

  reader.SetImageFileName(dir / "missing.jpg");
  EXPECT_EQ(reader.LastError(), ExifErrorFileNotFound);
  EXPECT_EQ(reader.LastErrorText(), Utf8ToAnsi("ファイルが見つかりません"));
  EXPECT_EQ(reader.Make(), "");
  EXPECT_EQ(reader.ImageWidth(), 0);
  const std::string fifo = dir / "fifo.jpg";
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
  reader.SetImageFileName(fifo);
  EXPECT_EQ(reader.LastError(), ExifErrorFileNotFound);  // no regular file
  reader.SetImageFileName(dir.WriteFile("jfif.jpg", Bytes("\xFF\xD8\xFF\xE0\x00\x10JFIF", 10)));
  EXPECT_EQ(reader.LastError(), ExifErrorNotExif);

  // The builder's step on a damaged candidate: what was read before the damage is
  // kept, the rest stays empty, and the reason stays with the reader.
  TExifFields fields;
  EXPECT_TRUE(ReadExifFields(reader, dir.WriteFile("cut.jpg", CutInIfd0(false)), fields));
  EXPECT_EQ(fields.Make, "ABC");
  EXPECT_EQ(fields.Model, "");
  EXPECT_EQ(fields.ImageWidth, 320);
  EXPECT_EQ(fields.Version, "");
  EXPECT_EQ(reader.LastError(), ExifErrorBadStream);

  // The next sound file starts clean.
  reader.SetImageFileName(dir.WriteFile("ok.jpg", ExifJpeg(CameraTags(false).Tiff())));
  EXPECT_EQ(reader.LastError(), ExifErrorNone);
  EXPECT_EQ(reader.LastErrorText(), "");
  reader.SetImageFileName("");
  EXPECT_EQ(reader.Entries().Count(), 0u);
  EXPECT_EQ(reader.ImageFileName(), "");
  EXPECT_EQ(reader.ImageWidth(), 0);
}

}  // namespace
}  // namespace orv
