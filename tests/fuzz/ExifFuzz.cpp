// libFuzzer harness for the Exif reader. Each input is loaded from memory and from a
// file (the windowed file reads must give exactly what the in-memory reads give),
// every getter the listing uses is called, and the JIS decoder gets the raw input.
// Seed it with JPEGs from the test writer (tests/metadata/ExifTestImage.h) and allow
// inputs past the 16 KiB read window, e.g. -max_len=70000.
#include "metadata/ExifInfo.h"
#include "metadata/JisDecoder.h"
#include "platform/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

struct TResult {
  orv::TExifFields Fields;
  std::size_t Entries = 0;
  std::size_t ThumbnailEntries = 0;
  std::size_t ValueBytes = 0;
  std::uint64_t ValueSum = 0;
  orv::TExifErrorCode Error = orv::ExifErrorNone;

  bool operator==(const TResult& other) const {
    const orv::TExifFields& a = Fields;
    const orv::TExifFields& b = other.Fields;
    return a.Artist == b.Artist && a.Copyright == b.Copyright && a.Make == b.Make && a.Model == b.Model &&
           a.Version == b.Version && a.DateTime == b.DateTime && a.ImageWidth == b.ImageWidth &&
           a.ImageLength == b.ImageLength && a.UserComment == b.UserComment && Entries == other.Entries &&
           ThumbnailEntries == other.ThumbnailEntries && ValueBytes == other.ValueBytes && ValueSum == other.ValueSum &&
           Error == other.Error;
  }
};

// What the builder would read, gathered after a load, plus the getters it skips.
TResult Query(orv::TExifInfo& reader) {
  TResult result;
  orv::TExifFields& f = result.Fields;
  f.Artist = reader.Artist();
  f.Copyright = reader.Copyright();
  f.Make = reader.Make();
  f.Model = reader.Model();
  f.Version = reader.ExifVersion();
  f.DateTime = reader.DateTime();
  f.ImageWidth = reader.ImageWidth();
  f.ImageLength = reader.ImageLength();
  f.UserComment = orv::Utf16ToAnsi(reader.UserComment());
  for (const orv::TEntryItems* items : {&reader.Entries(), &reader.ThumbnailEntries()}) {
    for (std::size_t i = 0; i < items->Count(); ++i) {
      const orv::TEntryItem& item = (*items)[i];
      result.ValueBytes += item.Data().size();
      for (std::uint32_t v = 0; v < item.ValueCount() && v < 4; ++v) result.ValueSum += item.UnsignedValue(v);
    }
  }
  result.Entries = reader.Entries().Count();
  result.ThumbnailEntries = reader.ThumbnailEntries().Count();
  result.Error = reader.LastError();
  return result;
}

const std::string& ScratchPath() {
  static const std::string path = [] {
    char name[] = "/tmp/exif-fuzz-XXXXXX";
    const int fd = mkstemp(name);
    if (fd < 0) std::abort();
    close(fd);
    return std::string(name);
  }();
  return path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  static orv::TExifInfo reader;

  reader.LoadFromMemory(input);
  const TResult fromMemory = Query(reader);
  // Values stored outside their entries never add up to more than the input and the
  // reader's slack; those inside take at most 4 bytes each.
  const std::size_t entries = fromMemory.Entries + fromMemory.ThumbnailEntries;
  if (fromMemory.ValueBytes > size + 64 * 1024 + 4 * entries) __builtin_trap();

  std::FILE* file = std::fopen(ScratchPath().c_str(), "wb");
  if (!file) std::abort();
  if (size > 0 && std::fwrite(data, 1, size, file) != size) std::abort();
  std::fclose(file);
  const bool candidate = reader.HasExifSegment(ScratchPath());
  if (candidate != (input.substr(0, 4) == "\xFF\xD8\xFF\xE1")) __builtin_trap();
  reader.SetImageFileName(ScratchPath());
  if (!(Query(reader) == fromMemory)) __builtin_trap();

  orv::TExifFields fields;
  if (orv::ReadExifFields(reader, ScratchPath(), fields) != candidate) __builtin_trap();

  // Comments are short; the decoder's cost on a whole large input only slows the run.
  const std::string_view jis = input.substr(0, 4096);
  if (orv::JisToShiftJis(jis).size() > 2 * jis.size()) __builtin_trap();
  return 0;
}
