// Linux implementation of CreateFileExclusive. The bytes go into an unnamed file in the
// target's folder (O_TMPFILE), which is then given its name with linkat: linking fails
// with EEXIST rather than replacing, and a crash midway leaves nothing visible. File
// systems without O_TMPFILE get a named temporary linked the same way, and those
// without hard links (FAT) a plain O_EXCL create, removed again when the write fails.
#include "platform/ExclusiveFile.h"

#include "platform/linux/WriteAll.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

bool WriteAll(int fd, std::string_view contents) { return linux_detail::WriteAll(fd, contents) == 0; }

// close reports delayed write errors on some file systems (NFS, quotas).
bool WriteAndClose(int fd, std::string_view contents) {
  const bool written = WriteAll(fd, contents);
  return close(fd) == 0 && written;
}

std::string DirectoryOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

// Outcome of one way of creating the file: done, refused because the name is taken
// (or the folder cannot be written), or not available on this file system.
enum class TAttempt { Created, Failed, Unsupported };

TAttempt CreateThroughUnnamedFile(const std::string& path, std::string_view contents) {
  const int fd = open(DirectoryOf(path).c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
  if (fd < 0) {
    return errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL ? TAttempt::Unsupported : TAttempt::Failed;
  }
  if (!WriteAll(fd, contents)) {
    close(fd);
    return TAttempt::Failed;
  }
  // AT_EMPTY_PATH needs a capability ordinary users lack; the /proc link of the
  // descriptor names the same unnamed file and needs none.
  char procPath[64];
  std::snprintf(procPath, sizeof procPath, "/proc/self/fd/%d", fd);
  const int linked = linkat(AT_FDCWD, procPath, AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW);
  const int linkError = errno;
  const bool closed = close(fd) == 0;
  if (linked != 0) {
    // Without /proc the unnamed file cannot be named; a named temporary still can.
    return linkError == ENOENT ? TAttempt::Unsupported : TAttempt::Failed;
  }
  if (!closed) {
    unlink(path.c_str());
    return TAttempt::Failed;
  }
  return TAttempt::Created;
}

TAttempt CreateThroughNamedTemporary(const std::string& path, std::string_view contents) {
  const std::string directory = DirectoryOf(path);
  // The umask applies to the mode given at creation, as for any new file; mkstemp
  // would make it 0600.
  std::string tempPath;
  int fd = -1;
  for (unsigned attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    char suffix[48];
    std::snprintf(suffix, sizeof suffix, "/.orvantis-%ld-%u.tmp", static_cast<long>(getpid()), attempt);
    tempPath = directory + suffix;
    fd = open(tempPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) return TAttempt::Failed;
  }
  if (fd < 0) return TAttempt::Failed;
  if (!WriteAndClose(fd, contents)) {
    unlink(tempPath.c_str());
    return TAttempt::Failed;
  }
  const int linked = link(tempPath.c_str(), path.c_str());
  const int linkError = errno;
  unlink(tempPath.c_str());
  if (linked == 0) return TAttempt::Created;
  return linkError == EPERM || linkError == EOPNOTSUPP || linkError == ENOSYS ? TAttempt::Unsupported
                                                                              : TAttempt::Failed;
}

bool CreateInPlace(const std::string& path, std::string_view contents) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0666);
  if (fd < 0) return false;
  if (!WriteAndClose(fd, contents)) {
    // Ours alone: the O_EXCL create proves nobody else's file was here.
    unlink(path.c_str());
    return false;
  }
  return true;
}

}  // namespace

bool CreateFileExclusive(const std::string& path, std::string_view contents) {
  if (path.empty()) return false;
  TAttempt attempt = CreateThroughUnnamedFile(path, contents);
  if (attempt == TAttempt::Unsupported) attempt = CreateThroughNamedTemporary(path, contents);
  if (attempt == TAttempt::Unsupported) return CreateInPlace(path, contents);
  return attempt == TAttempt::Created;
}

}  // namespace orv
