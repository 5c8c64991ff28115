// Windowed reading of a photograph for the Exif reader. One pread fills a 16 KiB
// window, which in a camera JPEG usually holds the whole tag directory area, so
// loading a file costs an open, an fstat and one or two reads.
#include "metadata/ExifSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orv {

namespace {

constexpr std::size_t kWindowSize = 16 * 1024;
// Windows start on this boundary, so a read just before the last one (values often
// sit right before or after their directory) still hits the window.
constexpr std::uint64_t kWindowAlign = 4 * 1024;

}  // namespace

TExifSource::TExifSource() = default;

TExifSource::~TExifSource() { Close(); }

bool TExifSource::OpenFile(const std::string& nativePath) {
  Close();
  // O_NONBLOCK keeps the open itself from waiting for a FIFO's writer; fstat then
  // turns away everything that is not a regular file before a byte is read.
  const int fd = open(nativePath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size < 0) {
    close(fd);
    return false;
  }
  m_fd = fd;
  m_size = static_cast<std::uint64_t>(st.st_size);
  m_open = true;
  if (!m_window) m_window = std::make_unique<std::uint8_t[]>(kWindowSize);
  return true;
}

void TExifSource::OpenMemory(std::string_view data) {
  Close();
  m_memory = data;
  m_size = data.size();
  m_open = true;
}

void TExifSource::Close() {
  if (m_fd >= 0) close(m_fd);
  m_fd = -1;
  m_open = false;
  m_size = 0;
  m_memory = {};
  m_windowStart = 0;
  m_windowLength = 0;
}

bool TExifSource::FillWindow(std::uint64_t offset) {
  const std::uint64_t start = offset - offset % kWindowAlign;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, m_size - start));
  std::size_t got = 0;
  while (got < wanted) {
    const ssize_t n = pread(m_fd, m_window.get() + got, wanted - got, static_cast<off_t>(start + got));
    if (n < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (n == 0) break;  // the file shrank since it was opened
    got += static_cast<std::size_t>(n);
  }
  m_windowStart = start;
  m_windowLength = got;
  return offset < start + got;
}

const std::uint8_t* TExifSource::Peek(std::uint64_t offset, std::size_t& available) {
  if (!m_open || offset >= m_size) return nullptr;
  if (m_fd < 0) {
    available = static_cast<std::size_t>(m_size - offset);
    return reinterpret_cast<const std::uint8_t*>(m_memory.data()) + offset;
  }
  if (offset < m_windowStart || offset >= m_windowStart + m_windowLength) {
    if (!FillWindow(offset)) return nullptr;
  }
  const std::size_t at = static_cast<std::size_t>(offset - m_windowStart);
  available = m_windowLength - at;
  return m_window.get() + at;
}

bool TExifSource::ReadAt(std::uint64_t offset, void* dest, std::size_t count) {
  if (!m_open || count > m_size || offset > m_size - count) return false;
  auto* out = static_cast<std::uint8_t*>(dest);
  while (count > 0) {
    std::size_t available = 0;
    const std::uint8_t* from = Peek(offset, available);
    if (!from) return false;
    const std::size_t n = std::min(available, count);
    std::memcpy(out, from, n);
    out += n;
    offset += n;
    count -= n;
  }
  return true;
}

bool TExifSource::ReadAt(std::uint64_t offset, std::size_t count, std::string& out) {
  if (!m_open || count > m_size || offset > m_size - count) return false;
  out.resize(count);
  return ReadAt(offset, out.data(), count);
}

std::int64_t TExifSource::OffsetAfterZeroBytes(std::uint64_t offset, int count) {
  while (count > 0) {
    std::size_t available = 0;
    const std::uint8_t* from = Peek(offset, available);
    if (!from) return -1;
    const void* zero = std::memchr(from, 0, available);
    if (!zero) {
      offset += available;
      continue;
    }
    offset += static_cast<std::size_t>(static_cast<const std::uint8_t*>(zero) - from) + 1;
    --count;
  }
  return static_cast<std::int64_t>(offset);
}

}  // namespace orv
