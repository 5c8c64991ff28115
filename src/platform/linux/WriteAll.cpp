// The write loop shared by the Linux platform files.
#include "platform/linux/WriteAll.h"

#include <cerrno>
#include <unistd.h>

namespace orv::linux_detail {

int WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t done = write(fd, bytes.data(), bytes.size());
    if (done < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(done));
  }
  return 0;
}

}  // namespace orv::linux_detail
