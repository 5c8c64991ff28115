// Writes a file so that it appears whole or not at all: the bytes go to a temporary
// file beside the target, which Commit flushes to the disk and renames over the
// target. A failure before the rename leaves any previous file untouched. Where the
// file system allows it the temporary file has no name until Commit, so a process
// killed midway (SIGKILL, a crash) leaves nothing behind. A target that exists and is not a regular
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
  // Flushes, syncs to the disk, closes and renames over the target, so a power cut
  // after the rename finds the new contents. Throws EOSError on failure.
  void Commit();

  // Whether the bytes go straight to the target (a FIFO, a terminal, a device), and
  // the file the bytes go to otherwise: the target, or the file a link names.
  bool WritesDirectly() const { return m_direct; }
  const std::string& TargetPath() const { return m_target; }

private:
  void Flush();
  // Counts bytes written and, every few megabytes, starts their way to the disk.
  void Written(std::size_t bytes);
  void GiveTemporaryName();
  [[noreturn]] void Fail(int code);

  std::string m_target;
  std::string m_directory;  // the target's folder, ending in "/" ("" for the current one)
  std::string m_tempStem;   // the temporary name's start, within that folder
  std::string m_tempPath;   // the named temporary file; "" while it has no name
  bool m_unnamed = false;   // an O_TMPFILE file, named only at Commit
  std::string m_buffer;
  // Bytes written so far, and how many of them were sent on to the disk already.
  std::size_t m_written = 0;
  std::size_t m_writebackStarted = 0;
  int m_fd = -1;
  bool m_direct = false;
  bool m_committed = false;
};

// Writes contents to path through TAtomicFile. Throws EOSError on failure.
void WriteFileAtomically(const std::string& path, std::string_view contents);

}  // namespace orv
