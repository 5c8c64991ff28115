// Linux implementation of TAtomicFile: a temporary file beside the target, renamed over
// it on Commit, so a listing or settings file is either the old one or the new one.
#include "platform/AtomicFile.h"

#include "platform/linux/WriteAll.h"

#include "platform/CodePage.h"
#include "platform/File.h"
#include "platform/OSError.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orv {

namespace {

// Writes are gathered up to this size so a listing of millions of rows costs a few
// thousand system calls, not millions.
constexpr std::size_t kBufferLimit = 256 * 1024;
// Writeback is started for every this many bytes written, so the flush before the
// rename finds little left to do instead of a whole large listing.
constexpr std::size_t kWritebackStep = std::size_t{8} << 20;

// Keeps the temporary name within NAME_MAX even for a target name near the limit.
constexpr std::size_t kMaxTempStem = 200;

[[noreturn]] void ThrowError(const std::string& path, int code) {
  throw EOSError(Utf8ToAnsi(path) + ": " + SystemErrorText(code), code);
}

// The process umask without changing it: umask() can only be read by setting it,
// which would race with other threads creating files.
mode_t CurrentUmask() {
  std::string status;
  if (ReadWholeFile("/proc/self/status", status)) {
    std::size_t at = status.find("\nUmask:");
    if (at != std::string::npos) {
      char* end = nullptr;
      unsigned long value = std::strtoul(status.c_str() + at + 7, &end, 8);
      if (end != status.c_str() + at + 7) return static_cast<mode_t>(value & 0777);
    }
  }
  mode_t mask = umask(022);
  umask(mask);
  return mask;
}

bool WriteAll(int fd, const char* data, std::size_t size, int& error) {
  error = linux_detail::WriteAll(fd, std::string_view(data, size));
  return error == 0;
}

// Names for the moment between linking the unnamed file and renaming it.
constexpr unsigned kNameAttempts = 100;

std::string ProcPath(int fd) {
  char path[64];
  std::snprintf(path, sizeof path, "/proc/self/fd/%d", fd);
  return path;
}

// An unnamed file in directory, when the file system has them and /proc can name it
// later (AT_EMPTY_PATH would need a capability ordinary users lack); -1 otherwise.
int OpenUnnamed(const std::string& directory) {
  const int fd = open(directory.empty() ? "." : directory.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) return -1;
  if (access(ProcPath(fd).c_str(), F_OK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}

// Makes the rename durable; a folder that cannot be synced costs only that.
void SyncDirectory(const std::string& directory) {
  const int fd = open(directory.empty() ? "." : directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace

TAtomicFile::TAtomicFile(std::string path) : m_target(std::move(path)) {
  std::string writePath = m_target;
  struct stat st;
  bool exists = stat(m_target.c_str(), &st) == 0;
  if (!exists) {
    int code = errno;
    // A dangling or looping link is replaced like a missing file; anything else
    // (a search permission missing on the way) is a real failure.
    if (code != ENOENT && code != ELOOP && code != ENOTDIR) ThrowError(m_target, code);
  } else if (S_ISREG(st.st_mode)) {
    struct stat linkSt;
    if (lstat(m_target.c_str(), &linkSt) == 0 && S_ISLNK(linkSt.st_mode)) {
      // Rename would replace the link itself, so the new file goes beside the file it
      // names. /proc/self/fd links may name something that is not a path (a deleted
      // file); when the resolved path is not the same file, write through the link.
      char* resolved = realpath(m_target.c_str(), nullptr);
      struct stat resolvedSt;
      if (resolved && stat(resolved, &resolvedSt) == 0 && resolvedSt.st_dev == st.st_dev &&
          resolvedSt.st_ino == st.st_ino) {
        writePath = resolved;
      } else {
        m_direct = true;
      }
      std::free(resolved);
    }
  } else {
    m_direct = true;
  }

  if (m_direct) {
    // A FIFO without a reader would block a plain open for ever; non-blocking open
    // fails with ENXIO instead, and the flag is cleared for the writes.
    int flags = O_WRONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY;
    if (exists && S_ISREG(st.st_mode)) flags |= O_TRUNC;
    m_fd = open(m_target.c_str(), flags);
    if (m_fd < 0) ThrowError(m_target, errno);
    int current = fcntl(m_fd, F_GETFL);
    if (current < 0 || fcntl(m_fd, F_SETFL, current & ~O_NONBLOCK) < 0) {
      int code = errno;
      close(m_fd);
      m_fd = -1;
      ThrowError(m_target, code);
    }
    return;
  }

  std::size_t slash = writePath.rfind('/');
  std::string directory = slash == std::string::npos ? std::string() : writePath.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? writePath : writePath.substr(slash + 1);
  if (name.size() > kMaxTempStem) name.resize(kMaxTempStem);
  m_directory = directory;
  m_tempStem = "." + name + ".";
  m_fd = OpenUnnamed(directory);
  m_unnamed = m_fd >= 0;
  if (!m_unnamed) {
    // No unnamed files here (FAT, some network file systems): a named temporary, which
    // a killed process leaves behind. Any other failure shows again here, with its cause.
    std::string tempPath = directory + m_tempStem + "XXXXXX";
    int fd = mkostemp(tempPath.data(), O_CLOEXEC);
    if (fd < 0) ThrowError(m_target, errno);
    m_fd = fd;
    m_tempPath = std::move(tempPath);
  }

  mode_t mode = exists ? (st.st_mode & 07777) : (0666 & ~CurrentUmask());
  if (exists && (st.st_uid != geteuid() || st.st_gid != getegid())) {
    // Keeps the owner when we may (root, or a group we belong to); otherwise the new
    // file is ours, as any rewritten file would be.
    [[maybe_unused]] int ignored = fchown(m_fd, st.st_uid, st.st_gid);
  }
  if (fchmod(m_fd, mode) != 0) {
    int code = errno;
    close(m_fd);
    m_fd = -1;
    if (!m_tempPath.empty()) unlink(m_tempPath.c_str());
    m_tempPath.clear();
    ThrowError(m_target, code);
  }
  m_buffer.reserve(kBufferLimit);
  // From here on errors name the file actually being replaced.
  m_target = std::move(writePath);
}

TAtomicFile::~TAtomicFile() {
  if (m_fd >= 0) close(m_fd);
  if (!m_committed && !m_tempPath.empty()) unlink(m_tempPath.c_str());
}

void TAtomicFile::Write(std::string_view bytes) {
  // After a failed write the file is closed: a later Write or Commit must not turn a
  // partial file into the target.
  if (m_fd < 0) ThrowError(m_target, EIO);
  if (m_buffer.size() + bytes.size() > kBufferLimit) {
    Flush();
    if (bytes.size() >= kBufferLimit) {
      int error = 0;
      if (!WriteAll(m_fd, bytes.data(), bytes.size(), error)) {
        close(m_fd);
        m_fd = -1;
        ThrowError(m_target, error);
      }
      Written(bytes.size());
      return;
    }
  }
  m_buffer.append(bytes);
}

void TAtomicFile::Flush() {
  if (m_buffer.empty()) return;
  int error = 0;
  bool written = WriteAll(m_fd, m_buffer.data(), m_buffer.size(), error);
  const std::size_t size = m_buffer.size();
  m_buffer.clear();
  if (!written) {
    close(m_fd);
    m_fd = -1;
    ThrowError(m_target, error);
  }
  Written(size);
}

void TAtomicFile::Written(std::size_t bytes) {
  m_written += bytes;
  if (m_direct || m_written - m_writebackStarted < kWritebackStep) return;
  // Only a start: the call does not wait for the disk, and a failure here is no
  // failure of the write (Commit's fsync still reports one).
  sync_file_range(m_fd, static_cast<off_t>(m_writebackStarted), static_cast<off_t>(m_written - m_writebackStarted),
                  SYNC_FILE_RANGE_WRITE);
  m_writebackStarted = m_written;
}

void TAtomicFile::Fail(int code) {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
  ThrowError(m_target, code);
}

void TAtomicFile::GiveTemporaryName() {
  // linkat never replaces, and rename cannot take an unnamed file, so the file gets a
  // fresh name of its own first and is then renamed over the target in one step.
  const std::string source = ProcPath(m_fd);
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  unsigned long long seed = static_cast<unsigned long long>(now.tv_nsec) ^
                            static_cast<unsigned long long>(now.tv_sec) << 20 ^
                            static_cast<unsigned long long>(getpid()) << 40;
  for (unsigned attempt = 0; attempt < kNameAttempts; ++attempt) {
    char suffix[24];
    std::snprintf(suffix, sizeof suffix, "%06llx", (seed + attempt * 0x9E3779B97F4A7C15ull) & 0xFFFFFFull);
    const std::string path = m_directory + m_tempStem + suffix;
    if (linkat(AT_FDCWD, source.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
      m_tempPath = path;
      return;
    }
    if (errno != EEXIST) Fail(errno);
  }
  Fail(EEXIST);
}

void TAtomicFile::Commit() {
  if (m_committed) return;
  if (m_fd < 0) ThrowError(m_target, EIO);
  Flush();
  if (!m_direct) {
    // On the disk before the rename: otherwise a power cut can leave the new name
    // pointing at an empty file.
    if (fsync(m_fd) != 0) Fail(errno);
    if (m_unnamed) GiveTemporaryName();
  }
  int fd = m_fd;
  m_fd = -1;
  // close reports delayed write errors on some file systems (NFS, quotas).
  if (close(fd) != 0) ThrowError(m_target, errno);
  if (!m_direct) {
    if (rename(m_tempPath.c_str(), m_target.c_str()) != 0) ThrowError(m_target, errno);
    SyncDirectory(m_directory);
  }
  m_committed = true;
}

void WriteFileAtomically(const std::string& path, std::string_view contents) {
  TAtomicFile file(path);
  file.Write(contents);
  file.Commit();
}

}  // namespace orv
