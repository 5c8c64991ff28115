// TReadMonitor: told how far a long read of one file has come, and able to stop it.
// The digests and the PDF probe report to it every few hundred kilobytes, so a large
// file shows its progress and a stop acts while it is still being read.
#pragma once

#include <cstdint>

namespace orv {

class TReadMonitor {
public:
  virtual ~TReadMonitor() = default;
  // done of total bytes have been read. False: the reader gives up on the file (its
  // facts are then incomplete; the run is being stopped and shows none of them).
  virtual bool Advance(int64_t done, int64_t total) = 0;
};

}  // namespace orv
