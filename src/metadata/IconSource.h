// Where the small (16x16) icon of a path comes from. The interface lives here so the
// entry builder and its tests need no toolkit; the Qt implementation lives in src/ui.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace orv {

// A small icon as 32-bit pixels, rows top to bottom, each pixel 0xAARRGGBB with
// straight (not premultiplied) alpha.
struct TIconImage {
  int Width = 0;
  int Height = 0;
  std::vector<uint32_t> Pixels;
};

class TIconSource {
public:
  virtual ~TIconSource() = default;
  // The small icon the desktop shows for the entry at nativePath. False when there is
  // none; nothing is reported.
  virtual bool SmallIcon(const std::string& nativePath, bool isDirectory, TIconImage& icon) = 0;
};

}  // namespace orv
