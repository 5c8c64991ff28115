// Encoding one icon image as an .ico file.
#include "metadata/IconFile.h"

#include "platform/ExclusiveFile.h"

#include <cstddef>
#include <cstdint>

namespace orv {

namespace {

constexpr std::size_t kIconDirSize = 6;
constexpr std::size_t kIconDirEntrySize = 16;
constexpr std::size_t kBitmapInfoHeaderSize = 40;
constexpr int kMaxIconSide = 256;

void Append16(std::string& out, uint32_t value) {
  out.push_back(static_cast<char>(value & 0xFF));
  out.push_back(static_cast<char>(value >> 8 & 0xFF));
}

void Append32(std::string& out, uint32_t value) {
  Append16(out, value & 0xFFFF);
  Append16(out, value >> 16);
}

}  // namespace

std::string EncodeIconFile(const TIconImage& image) {
  const int width = image.Width;
  const int height = image.Height;
  if (width <= 0 || height <= 0 || width > kMaxIconSide || height > kMaxIconSide ||
      image.Pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {
    return {};
  }
  const std::size_t colourStride = static_cast<std::size_t>(width) * 4;
  const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t colourBytes = colourStride * static_cast<std::size_t>(height);
  const std::size_t maskBytes = maskStride * static_cast<std::size_t>(height);
  const std::size_t imageBytes = kBitmapInfoHeaderSize + colourBytes + maskBytes;

  std::string out;
  out.reserve(kIconDirSize + kIconDirEntrySize + imageBytes);
  Append16(out, 0);  // reserved
  Append16(out, 1);  // an icon, not a cursor
  Append16(out, 1);  // one image
  // A side of 256 is stored as 0 in the directory's single bytes.
  out.push_back(static_cast<char>(width & 0xFF));
  out.push_back(static_cast<char>(height & 0xFF));
  out.push_back('\0');  // no palette
  out.push_back('\0');  // reserved
  Append16(out, 1);     // planes
  Append16(out, 32);    // bits per pixel
  Append32(out, static_cast<uint32_t>(imageBytes));
  Append32(out, static_cast<uint32_t>(kIconDirSize + kIconDirEntrySize));

  Append32(out, kBitmapInfoHeaderSize);
  Append32(out, static_cast<uint32_t>(width));
  // The height counts the colour rows and the mask rows together.
  Append32(out, static_cast<uint32_t>(height) * 2);
  Append16(out, 1);   // planes
  Append16(out, 32);  // bits per pixel
  Append32(out, 0);   // uncompressed
  Append32(out, static_cast<uint32_t>(colourBytes + maskBytes));
  Append32(out, 0);  // horizontal resolution
  Append32(out, 0);  // vertical resolution
  Append32(out, 0);  // colours used
  Append32(out, 0);  // important colours

  // Rows are stored bottom up, pixels as B, G, R, A.
  for (int y = height - 1; y >= 0; --y) {
    const uint32_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      const uint32_t pixel = row[x];
      out.push_back(static_cast<char>(pixel & 0xFF));
      out.push_back(static_cast<char>(pixel >> 8 & 0xFF));
      out.push_back(static_cast<char>(pixel >> 16 & 0xFF));
      out.push_back(static_cast<char>(pixel >> 24));
    }
  }
  // The mask marks fully transparent pixels, for readers that ignore the alpha bytes.
  for (int y = height - 1; y >= 0; --y) {
    const uint32_t* row = image.Pixels.data() + static_cast<std::size_t>(y) * static_cast<std::size_t>(width);
    const std::size_t rowStart = out.size();
    out.append(maskStride, '\0');
    for (int x = 0; x < width; ++x) {
      if ((row[x] >> 24) == 0) {
        out[rowStart + static_cast<std::size_t>(x) / 8] |= static_cast<char>(0x80 >> (x % 8));
      }
    }
  }
  return out;
}

bool WriteIconFile(const std::string& nativePath, const TIconImage& image) {
  const std::string bytes = EncodeIconFile(image);
  return !bytes.empty() && CreateFileExclusive(nativePath, bytes);
}

}  // namespace orv
