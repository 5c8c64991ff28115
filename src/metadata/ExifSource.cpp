// Windowed reading of a photograph for the Exif reader. One pread fills a 16 KiB
// window, which in a camera JPEG usually holds the whole tag directory area, so
// loading a file costs an open, an fstat and one or two reads.
#include "metadata/ExifSource.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

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
  if (!m_file.Open(nativePath)) return false;
  m_size = static_cast<std::uint64_t>(m_file.Size());
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
  m_file.Close();
  m_open = false;
  m_size = 0;
  m_memory = {};
  m_windowStart = 0;
  m_windowLength = 0;
}

bool TExifSource::FillWindow(std::uint64_t offset) {
  const std::uint64_t start = offset - offset % kWindowAlign;
  const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(kWindowSize, m_size - start));
  // Fewer bytes than wanted: the file shrank since it was opened.
  const int64_t read = m_file.ReadAt(static_cast<int64_t>(start), m_window.get(), wanted);
  const std::size_t got = read < 0 ? 0 : static_cast<std::size_t>(read);
  m_windowStart = start;
  m_windowLength = got;
  return offset < start + got;
}

const std::uint8_t* TExifSource::Peek(std::uint64_t offset, std::size_t& available) {
  if (!m_open || offset >= m_size) return nullptr;
  if (!m_file.IsOpen()) {
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

std::uint64_t TExifSource::FirstNonZeroByte(std::uint64_t offset) {
  for (;;) {
    std::size_t available = 0;
    const std::uint8_t* from = Peek(offset, available);
    if (!from) return m_size;
    std::size_t i = 0;
    // Eight bytes at a time: a zero-filled region can be most of a damaged file.
    for (std::uint64_t word; i + sizeof word <= available; i += sizeof word) {
      std::memcpy(&word, from + i, sizeof word);
      if (word != 0) break;
    }
    while (i < available && from[i] == 0) ++i;
    if (i < available) return offset + i;
    offset += available;
  }
}

}  // namespace orv
