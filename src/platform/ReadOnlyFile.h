// Reading the contents of regular files, for the readers of digests, version
// resources, PDF facts and Exif fields. Only a regular file (or a link to one) is ever
// opened for its contents: a FIFO, device, socket or directory is refused at once,
// without blocking, and so is every file of the kernel's pseudo file systems (/proc,
// /sys, debugfs, ...), so listing / or a tree with a pipe in it never hangs a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace orv {

class TReadOnlyFile {
public:
  TReadOnlyFile() = default;
  ~TReadOnlyFile() { Close(); }
  TReadOnlyFile(const TReadOnlyFile&) = delete;
  TReadOnlyFile& operator=(const TReadOnlyFile&) = delete;

  // False when nothing can be opened at the native path or it is not a regular file.
  bool Open(const std::string& nativePath);
  void Close();
  bool IsOpen() const { return m_fd >= 0; }
  // The size taken when the file was opened.
  int64_t Size() const { return m_size; }

  // Reads at the current position; the count read (0 at the end), or -1 on an error.
  int64_t Read(void* buffer, std::size_t count);
  // Reads up to count bytes at offset without moving the position; fewer only at the
  // end of the file. -1 on an error.
  int64_t ReadAt(int64_t offset, void* buffer, std::size_t count) const;
  // Tells the system the file will be read once from start to end.
  void AdviseSequential();

private:
  int m_fd = -1;
  int64_t m_size = 0;
};

// A regular file mapped into memory read-only, so a large file costs address space,
// not memory. (A file another process truncates while it is mapped can still end the
// process with SIGBUS; a damaged file cannot.)
class TMappedFile {
public:
  TMappedFile() = default;
  ~TMappedFile() { Close(); }
  TMappedFile(const TMappedFile&) = delete;
  TMappedFile& operator=(const TMappedFile&) = delete;

  // False when the file cannot be opened, is not a regular file, or cannot be mapped.
  // An empty file opens with empty Data().
  bool Open(const std::string& nativePath);
  void Close();
  std::string_view Data() const { return {static_cast<const char*>(m_address), m_size}; }

private:
  void* m_address = nullptr;
  std::size_t m_size = 0;
};

}  // namespace orv
