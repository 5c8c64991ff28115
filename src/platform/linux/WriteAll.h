// The one write loop of the Linux platform code: every file and the console are
// written through it, so a short write or a signal never loses bytes.
#pragma once

#include <cstddef>
#include <string_view>

namespace orv::linux_detail {

// Writes every byte of bytes to fd, retrying short writes and EINTR. Returns 0 when
// all were written, otherwise the errno of the failing write.
int WriteAll(int fd, std::string_view bytes);

}  // namespace orv::linux_detail
