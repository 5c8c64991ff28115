// Paths of any length through a chain of openat() calls on O_PATH descriptors.
#include "platform/linux/LongPath.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace orv {

TPathBase::TPathBase(const std::string& path) : m_fd(AT_FDCWD), m_rest(path.c_str()) {
  const char* rest = path.c_str();
  std::size_t left = path.size();
  while (left >= PATH_MAX) {
    // The longest leading part that ends at a delimiter and that the kernel takes.
    std::size_t cut = PATH_MAX - 1;
    while (cut > 0 && rest[cut] != '/') --cut;
    if (cut == 0) {
      // One component longer than PATH_MAX: no file system holds such a name.
      if (m_owned) close(m_fd);
      m_fd = -1;
      m_owned = false;
      errno = ENAMETOOLONG;
      return;
    }
    const std::string part(rest, cut);
    const int next = openat(m_fd, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    const int saved = errno;
    if (m_owned) close(m_fd);
    m_owned = next >= 0;
    m_fd = next;
    if (next < 0) {
      errno = saved;
      return;
    }
    while (rest[cut] == '/') ++cut;
    rest += cut;
    left -= cut;
  }
  // A long path that ends in delimiters names the directory the last part opened.
  m_rest = left == 0 && m_owned ? "." : rest;
}

TPathBase::~TPathBase() {
  if (m_owned) close(m_fd);
}

}  // namespace orv
