// Writes a file so that it appears whole or not at all: the bytes go to a temporary
// file beside the target, which Commit renames over the target. A failure before the
// rename leaves any previous file untouched. A target that exists and is not a regular
// file (/dev/stdout, a FIFO) is written directly; a symbolic link is written through to
// the file it names.
#pragma once

#include <string>
#include <string_view>

namespace orv {

class TAtomicFile {
public:
  // Opens the temporary file. Throws EOSError naming path when it cannot.
  explicit TAtomicFile(std::string path);
  // Removes the temporary file unless Commit succeeded.
  ~TAtomicFile();
  TAtomicFile(const TAtomicFile&) = delete;
  TAtomicFile& operator=(const TAtomicFile&) = delete;

  // Buffers and writes bytes. Throws EOSError on a write failure (a full disk).
  void Write(std::string_view bytes);
  // Flushes, closes and renames over the target. Throws EOSError on failure.
  void Commit();

private:
  void Flush();

  std::string m_target;
  std::string m_tempPath;
  std::string m_buffer;
  int m_fd = -1;
  bool m_direct = false;
  bool m_committed = false;
};

// Writes contents to path through TAtomicFile. Throws EOSError on failure.
void WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace orv
