// Linux implementation of the small file-system queries and whole-file reading.
#include "platform/File.h"

#include "platform/CodePage.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>

namespace orv {

namespace {

// strerror_r comes in two shapes (GNU returns the text, XSI fills the buffer and
// returns a status); overloads pick whichever the C library declared.
[[maybe_unused]] const char* ErrorTextResult(const char* text, const char*) { return text; }
[[maybe_unused]] const char* ErrorTextResult(int status, const char* buffer) {
  return status == 0 ? buffer : "Unknown error";
}

class TFd {
public:
  explicit TFd(int fd) : m_fd(fd) {}
  ~TFd() {
    if (m_fd >= 0) close(m_fd);
  }
  TFd(const TFd&) = delete;
  TFd& operator=(const TFd&) = delete;
  int Get() const { return m_fd; }

private:
  int m_fd;
};

}  // namespace

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PathExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

bool CreateDirectoryLevel(const std::string& path) {
  return mkdir(path.c_str(), 0777) == 0;
}

bool CreateDirectories(const std::string& path) {
  constexpr mode_t kPrivateDirectoryMode = 0700;
  for (std::size_t slash = path.find('/', 1); slash != std::string::npos; slash = path.find('/', slash + 1)) {
    mkdir(path.substr(0, slash).c_str(), kPrivateDirectoryMode);
  }
  mkdir(path.c_str(), kPrivateDirectoryMode);
  return DirectoryExists(path);
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
  // O_NONBLOCK only matters for the open itself: a FIFO without a writer would
  // otherwise hang here before fstat could tell us it is not a regular file.
  TFd fd(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
  if (fd.Get() < 0) return false;
  struct stat st;
  if (fstat(fd.Get(), &st) != 0 || !S_ISREG(st.st_mode)) return false;

  std::string data;
  // st_size is a hint only (a file may grow or shrink while read); read to EOF.
  std::size_t capacity = st.st_size > 0 ? static_cast<std::size_t>(st.st_size) + 1 : 4096;
  data.resize(capacity);
  std::size_t used = 0;
  for (;;) {
    if (used == data.size()) data.resize(data.size() * 2);
    ssize_t got = read(fd.Get(), data.data() + used, data.size() - used);
    if (got < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (got == 0) break;
    used += static_cast<std::size_t>(got);
  }
  data.resize(used);
  contents = std::move(data);
  return true;
}

std::string SystemErrorText(int code) {
  char buffer[256];
  buffer[0] = '\0';
  const char* text = ErrorTextResult(strerror_r(code, buffer, sizeof buffer), buffer);
  return Utf8ToAnsi(text);
}

}  // namespace orv
