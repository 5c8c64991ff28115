// TExifSource: random-access reading of one photograph for the Exif reader, either a
// regular file read through a small window (photos can be hundreds of megabytes and
// the reader needs a few kilobytes of them) or bytes already in memory.
//
// Every read is checked against the size taken when the source was opened, so a
// hostile offset or count fails cleanly instead of reading or allocating past the end.
#pragma once

#include "platform/ReadOnlyFile.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orv {

class TExifSource {
public:
  TExifSource();
  ~TExifSource();
  TExifSource(const TExifSource&) = delete;
  TExifSource& operator=(const TExifSource&) = delete;

  // Opens path for reading. False, with the source closed, when it is missing,
  // unreadable or not a regular file; a FIFO or device is never waited on.
  bool OpenFile(const std::string& nativePath);
  // Serves data, which must stay alive and unchanged until Close or the next open.
  void OpenMemory(std::string_view data);
  void Close();

  bool IsOpen() const { return m_open; }
  std::uint64_t Size() const { return m_size; }

  // Copies count bytes at offset into dest. False when any of them lies past the
  // size or the file cannot be read (it may have shrunk since it was opened).
  bool ReadAt(std::uint64_t offset, void* dest, std::size_t count);
  // Reads into out (resized to count). The size is checked before out grows.
  bool ReadAt(std::uint64_t offset, std::size_t count, std::string& out);

  // The offset just after the count-th zero byte found from offset on, or -1 when
  // the data ends first.
  std::int64_t OffsetAfterZeroBytes(std::uint64_t offset, int count);
  // The offset of the first byte at or after offset that is not zero; Size() when
  // there is none or the file cannot be read that far.
  std::uint64_t FirstNonZeroByte(std::uint64_t offset);

private:
  // Points at the bytes from offset on and sets available (at least 1); nullptr at
  // the end of the data or on a read error.
  const std::uint8_t* Peek(std::uint64_t offset, std::size_t& available);
  bool FillWindow(std::uint64_t offset);

  TReadOnlyFile m_file;
  bool m_open = false;
  std::uint64_t m_size = 0;
  std::string_view m_memory;
  // Allocated on the first file read and kept for every later file.
  std::unique_ptr<std::uint8_t[]> m_window;
  std::uint64_t m_windowStart = 0;
  std::size_t m_windowLength = 0;
};

}  // namespace orv
