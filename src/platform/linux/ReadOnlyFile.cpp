// Linux side of content reading, for paths of any length: open with O_NONBLOCK so that
// a FIFO without a writer cannot hold up the open itself, then fstat to refuse
// everything but regular files.
#include "platform/ReadOnlyFile.h"

#include "platform/linux/LongPath.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/statfs.h>
#include <unistd.h>

namespace orv {

namespace {

// Kernel interfaces that look like regular files but are not: /proc/kcore claims to be
// 128 TiB, and files under /sys or /sys/kernel/debug may block or never end.
bool OnPseudoFileSystem(int fd) {
  struct statfs info {};
  if (fstatfs(fd, &info) != 0) {
    return false;
  }
  switch (static_cast<unsigned long>(info.f_type)) {
    case 0x9fa0:      // proc
    case 0x62656572:  // sysfs
    case 0x64626720:  // debugfs
    case 0x74726163:  // tracefs
    case 0x73636673:  // securityfs
    case 0x27e0eb:    // cgroup
    case 0x63677270:  // cgroup2
    case 0xcafe4a11:  // bpf
    case 0x62656570:  // configfs
      return true;
    default:
      return false;
  }
}

// A descriptor open on a regular file, and its size; -1 otherwise.
int OpenRegularFile(const std::string& nativePath, int64_t& size) {
  const TPathBase base(nativePath);
  if (base.Fd() == -1) {
    return -1;
  }
  const int fd = openat(base.Fd(), base.Rest(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
  if (fd < 0) {
    return -1;
  }
  struct stat status {};
  if (fstat(fd, &status) != 0 || !S_ISREG(status.st_mode) || status.st_size < 0 || OnPseudoFileSystem(fd)) {
    close(fd);
    return -1;
  }
  size = status.st_size;
  return fd;
}

}  // namespace

bool TReadOnlyFile::Open(const std::string& nativePath) {
  Close();
  m_fd = OpenRegularFile(nativePath, m_size);
  return m_fd >= 0;
}

void TReadOnlyFile::Close() {
  if (m_fd >= 0) {
    close(m_fd);
  }
  m_fd = -1;
  m_size = 0;
}

int64_t TReadOnlyFile::Read(void* buffer, std::size_t count) {
  for (;;) {
    const ssize_t got = read(m_fd, buffer, count);
    if (got >= 0 || errno != EINTR) {
      return got;
    }
  }
}

int64_t TReadOnlyFile::ReadAt(int64_t offset, void* buffer, std::size_t count) const {
  std::size_t done = 0;
  while (done < count) {
    const ssize_t got = pread(m_fd, static_cast<char*>(buffer) + done, count - done, static_cast<off_t>(offset + done));
    if (got < 0 && errno == EINTR) {
      continue;
    }
    if (got < 0) {
      return -1;
    }
    if (got == 0) {
      break;
    }
    done += static_cast<std::size_t>(got);
  }
  return static_cast<int64_t>(done);
}

void TReadOnlyFile::AdviseSequential() { posix_fadvise(m_fd, 0, 0, POSIX_FADV_SEQUENTIAL); }

bool TMappedFile::Open(const std::string& nativePath) {
  Close();
  int64_t size = 0;
  const int fd = OpenRegularFile(nativePath, size);
  if (fd < 0) {
    return false;
  }
  bool opened = true;
  if (size > 0) {
    void* address = mmap(nullptr, static_cast<std::size_t>(size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (address == MAP_FAILED) {
      opened = false;
    } else {
      m_address = address;
      m_size = static_cast<std::size_t>(size);
      // The readers make one pass from start to end: read ahead, let pages go behind.
      madvise(m_address, m_size, MADV_SEQUENTIAL);
    }
  }
  close(fd);
  return opened;
}

void TMappedFile::Close() {
  if (m_address) {
    munmap(m_address, m_size);
  }
  m_address = nullptr;
  m_size = 0;
}

}  // namespace orv
