// libFuzzer harness for the icon writer and what feeds it: an image of any size up to
// 256x256 (the first two bytes, plus one), its pixels from the rest of the input
// (repeated as needed), scaled to a size from the third byte and encoded as an .ico
// file. The file must decode back to the image's size, and every opaque pixel to
// itself.
#include "metadata/IconFile.h"
#include "metadata/PeIcon.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace {

constexpr std::size_t kIconDirectorySize = 22;  // ICONDIR and its one entry

void CheckRoundTrip(const orv::TIconImage& image) {
  const std::string file = orv::EncodeIconFile(image);
  if (file.size() <= kIconDirectorySize) __builtin_trap();  // every side 1-256 can be stored
  orv::TIconImage decoded;
  if (!orv::DecodeIconDib(std::string_view(file).substr(kIconDirectorySize), decoded)) __builtin_trap();
  if (decoded.Width != image.Width || decoded.Height != image.Height) __builtin_trap();
  for (std::size_t i = 0; i < image.Pixels.size(); ++i) {
    if ((image.Pixels[i] >> 24) == 0xFF && decoded.Pixels[i] != image.Pixels[i]) __builtin_trap();
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  orv::TIconImage image;
  image.Width = data[0] + 1;
  image.Height = data[1] + 1;
  const std::size_t count = static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
  image.Pixels.resize(count);
  const std::size_t bytes = size - 3;
  for (std::size_t i = 0; i < count; ++i) {
    uint32_t pixel = 0;
    for (std::size_t b = 0; b < 4; ++b) {
      pixel = pixel << 8 | (bytes == 0 ? 0xFFu : data[3 + (4 * i + b) % bytes]);
    }
    image.Pixels[i] = pixel;
  }
  CheckRoundTrip(image);
  const int side = data[2] % 64 + 1;
  CheckRoundTrip(orv::ScaleIcon(image, side, side));

  // A file of the wrong size is refused, never written out of bounds.
  image.Pixels.pop_back();
  if (!orv::EncodeIconFile(image).empty()) __builtin_trap();
  return 0;
}
