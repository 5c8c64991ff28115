// Linux clock: the wall clock converted the way file times are.
#include "platform/Clock.h"

#include "platform/DirectoryReader.h"

#include <ctime>

namespace orv {

TDateTime CurrentLocalDateTime() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  TDateTime value = 0;
  UnixTimeToLocalDateTime(now.tv_sec, static_cast<uint32_t>(now.tv_nsec), value);
  return value;
}

}  // namespace orv
