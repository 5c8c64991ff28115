// Picking, decoding and scaling the small icon of a PE image.
#include "metadata/PeIcon.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <tuple>

namespace orv {

namespace {

constexpr int kSmallSide = 16;
constexpr int kMaxIconSide = 256;
constexpr std::size_t kGroupHeaderSize = 6;
constexpr std::size_t kGroupEntrySize = 14;
// The largest group a 16-bit count can describe; anything longer is padding.
constexpr std::size_t kMaxGroupBytes = kGroupHeaderSize + kGroupEntrySize * 0xFFFF;
// A 256x256 32-bit DIB with its mask is about 270 KiB; PNG members are smaller.
// Anything beyond this is cut by the reader and then fails to decode.
constexpr std::size_t kMaxMemberBytes = 4 * 1024 * 1024;
constexpr std::size_t kBitmapInfoHeaderSize = 40;

uint16_t Word(const unsigned char* p) { return static_cast<uint16_t>(p[0] | p[1] << 8); }

uint32_t Dword(const unsigned char* p) {
  return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
         static_cast<uint32_t>(p[3]) << 24;
}

uint32_t Argb(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue) {
  return alpha << 24 | red << 16 | green << 8 | blue;
}

bool IsValidImage(const TIconImage& image) {
  return image.Width > 0 && image.Height > 0 && image.Width <= kMaxIconSide && image.Height <= kMaxIconSide &&
         image.Pixels.size() == static_cast<std::size_t>(image.Width) * static_cast<std::size_t>(image.Height);
}

// The order in which group members are tried: exactly 16 first, then the smallest
// larger one, then the largest smaller one; at one size the deepest colour first.
auto Preference(int side, uint16_t bitCount) {
  const int distanceClass = side == kSmallSide ? 0 : side > kSmallSide ? 1 : 2;
  const int sizeOrder = side > kSmallSide ? side : -side;
  return std::make_tuple(distanceClass, sizeOrder, -static_cast<int>(bitCount));
}

}  // namespace

bool IsPngImage(std::string_view bytes) {
  static constexpr char kSignature[] = "\x89PNG\r\n\x1A\n";
  return bytes.size() >= 8 && std::memcmp(bytes.data(), kSignature, 8) == 0;
}

bool DecodeIconDib(std::string_view bytes, TIconImage& image) {
  const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
  const std::size_t size = bytes.size();
  if (size < kBitmapInfoHeaderSize) return false;
  const uint32_t headerSize = Dword(data);
  const auto width = static_cast<int32_t>(Dword(data + 4));
  const auto doubledHeight = static_cast<int32_t>(Dword(data + 8));
  const uint16_t bitCount = Word(data + 14);
  const uint32_t compression = Dword(data + 16);
  const uint32_t coloursUsed = Dword(data + 32);
  if (headerSize < kBitmapInfoHeaderSize || headerSize > size || compression != 0) return false;
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24 && bitCount != 32) return false;
  const int32_t height = doubledHeight / 2;
  if (width <= 0 || width > kMaxIconSide || height <= 0 || height > kMaxIconSide) return false;

  // A palette holds 2^bits entries unless the header says fewer; deeper images may
  // still carry an (unused) table of the declared length before their pixels.
  uint32_t paletteCount = coloursUsed;
  if (bitCount <= 8 && paletteCount == 0) paletteCount = 1u << bitCount;
  if (paletteCount > 256) return false;
  const unsigned char* palette = data + headerSize;
  const std::size_t colourOffset = headerSize + std::size_t{paletteCount} * 4;
  const std::size_t colourStride = (static_cast<std::size_t>(width) * bitCount + 31) / 32 * 4;
  const std::size_t maskStride = (static_cast<std::size_t>(width) + 31) / 32 * 4;
  const std::size_t rows = static_cast<std::size_t>(height);
  if (colourOffset > size || colourStride * rows > size - colourOffset) return false;
  const std::size_t maskOffset = colourOffset + colourStride * rows;
  // Some writers leave the mask off 32-bit images; their alpha bytes suffice.
  const bool hasMask = maskStride * rows <= size - maskOffset;

  bool anyAlpha = false;
  if (bitCount == 32) {
    for (std::size_t row = 0; row < rows && !anyAlpha; ++row) {
      const unsigned char* line = data + colourOffset + row * colourStride;
      for (int x = 0; x < width; ++x) {
        if (line[x * 4 + 3] != 0) {
          anyAlpha = true;
          break;
        }
      }
    }
  }

  image.Width = width;
  image.Height = height;
  image.Pixels.resize(static_cast<std::size_t>(width) * rows);
  for (std::size_t y = 0; y < rows; ++y) {
    // Rows are stored bottom up.
    const std::size_t stored = rows - 1 - y;
    const unsigned char* line = data + colourOffset + stored * colourStride;
    const unsigned char* mask = hasMask ? data + maskOffset + stored * maskStride : nullptr;
    uint32_t* out = image.Pixels.data() + y * static_cast<std::size_t>(width);
    for (int x = 0; x < width; ++x) {
      uint32_t red = 0, green = 0, blue = 0, alpha = 255;
      if (bitCount == 32) {
        blue = line[x * 4];
        green = line[x * 4 + 1];
        red = line[x * 4 + 2];
        if (anyAlpha) alpha = line[x * 4 + 3];
      } else if (bitCount == 24) {
        blue = line[x * 3];
        green = line[x * 3 + 1];
        red = line[x * 3 + 2];
      } else {
        const std::size_t bit = static_cast<std::size_t>(x) * bitCount;
        const unsigned shift = 8 - bitCount - static_cast<unsigned>(bit % 8);
        const uint32_t index = (line[bit / 8] >> shift) & ((1u << bitCount) - 1);
        // An index past a short palette shows black, as Windows draws it.
        if (index < paletteCount) {
          blue = palette[index * 4];
          green = palette[index * 4 + 1];
          red = palette[index * 4 + 2];
        }
      }
      // A masked pixel is transparent; where its colour is not black Windows would
      // invert the screen, which an image file cannot express.
      if (!anyAlpha && mask && (mask[x / 8] & (0x80 >> (x % 8)))) alpha = 0;
      out[x] = Argb(alpha, red, green, blue);
    }
  }
  return true;
}

TIconImage ScaleIcon(const TIconImage& image, int width, int height) {
  TIconImage scaled;
  scaled.Width = width;
  scaled.Height = height;
  scaled.Pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
  const double stepX = static_cast<double>(image.Width) / width;
  const double stepY = static_cast<double>(image.Height) / height;
  for (int dy = 0; dy < height; ++dy) {
    const double top = dy * stepY, bottom = (dy + 1) * stepY;
    for (int dx = 0; dx < width; ++dx) {
      const double left = dx * stepX, right = (dx + 1) * stepX;
      double alphaSum = 0, redSum = 0, greenSum = 0, blueSum = 0, area = 0;
      const int lastY = std::min(image.Height, static_cast<int>(std::ceil(bottom)));
      const int lastX = std::min(image.Width, static_cast<int>(std::ceil(right)));
      for (int sy = static_cast<int>(top); sy < lastY; ++sy) {
        const double coverY = std::min(bottom, sy + 1.0) - std::max(top, static_cast<double>(sy));
        if (coverY <= 0) continue;
        for (int sx = static_cast<int>(left); sx < lastX; ++sx) {
          const double coverX = std::min(right, sx + 1.0) - std::max(left, static_cast<double>(sx));
          if (coverX <= 0) continue;
          const double weight = coverX * coverY;
          const uint32_t pixel = image.Pixels[static_cast<std::size_t>(sy) * image.Width + sx];
          const double alpha = (pixel >> 24) * weight;
          alphaSum += alpha;
          redSum += (pixel >> 16 & 0xFF) * alpha;
          greenSum += (pixel >> 8 & 0xFF) * alpha;
          blueSum += (pixel & 0xFF) * alpha;
          area += weight;
        }
      }
      uint32_t result = 0;
      if (area > 0 && alphaSum > 0) {
        const auto channel = [alphaSum](double sum) {
          return static_cast<uint32_t>(std::lround(std::min(255.0, sum / alphaSum)));
        };
        const auto alpha = static_cast<uint32_t>(std::lround(std::min(255.0, alphaSum / area)));
        result = Argb(alpha, channel(redSum), channel(greenSum), channel(blueSum));
      }
      scaled.Pixels[static_cast<std::size_t>(dy) * width + dx] = result;
    }
  }
  return scaled;
}

TPeIconReader::TPeIconReader(uint16_t userLanguageId) : m_userLanguageId(userLanguageId) {}

bool TPeIconReader::SmallIcon(const std::string& nativePath, TIconImage& icon) {
  if (!m_image.Open(nativePath)) return false;
  const bool found = SmallIcon(m_image, icon);
  // The descriptor is not kept between entries: a run may read thousands of programs.
  m_image.Close();
  return found;
}

bool TPeIconReader::SmallIcon(const TPeResources& image, TIconImage& icon) {
  // The shell shows the first group in directory order, whatever its name.
  TResourceName groupName;
  if (!image.FirstName(ResourceTypeGroupIcon, groupName)) return false;
  if (!image.ListLanguages(groupName, m_languages) || m_languages.empty()) return false;
  const TResourceLanguage group = m_languages[ChooseResourceLanguage(m_languages, m_userLanguageId)];
  if (!image.ReadResource(group, m_bytes, kMaxGroupBytes) || m_bytes.size() < kGroupHeaderSize) return false;

  const auto* data = reinterpret_cast<const unsigned char*>(m_bytes.data());
  if (Word(data + 2) != 1) return false;  // a cursor group
  // A count beyond the bytes present is believed only as far as whole entries go.
  const std::size_t count =
      std::min<std::size_t>(Word(data + 4), (m_bytes.size() - kGroupHeaderSize) / kGroupEntrySize);
  m_candidates.clear();
  for (std::size_t i = 0; i < count; ++i) {
    const unsigned char* entry = data + kGroupHeaderSize + i * kGroupEntrySize;
    // A side of 256 does not fit the byte and is stored as 0.
    const int side = entry[0] == 0 ? kMaxIconSide : entry[0];
    m_candidates.push_back(TCandidate{side, Word(entry + 6), Word(entry + 12)});
  }
  std::stable_sort(m_candidates.begin(), m_candidates.end(), [](const TCandidate& a, const TCandidate& b) {
    return Preference(a.Side, a.BitCount) < Preference(b.Side, b.BitCount);
  });

  // A member that failed once fails again: a group may name one broken image (or one
  // missing id) thousands of times, and each is tried once.
  m_triedDirectories.clear();
  for (const TCandidate& candidate : m_candidates) {
    if (ReadMember(image, candidate.Id, group.Id, icon)) return true;
  }
  return false;
}

bool TPeIconReader::ReadMember(const TPeResources& image, uint16_t id, uint16_t groupLanguage, TIconImage& icon) {
  TResourceName name;
  if (!image.FindName(ResourceTypeIcon, id, name)) return false;
  // The member's language directory decides everything read after it.
  if (!m_triedDirectories.insert(name.Directory).second) return false;
  if (!image.ListLanguages(name, m_languages) || m_languages.empty()) return false;
  // The members are looked up in the group's own language first.
  const TResourceLanguage& language = m_languages[ChooseResourceLanguage(m_languages, groupLanguage)];
  if (!image.ReadResource(language, m_bytes, kMaxMemberBytes)) return false;

  TIconImage decoded;
  if (IsPngImage(m_bytes)) {
    if (!m_pngDecoder || !m_pngDecoder(m_bytes, decoded) || !IsValidImage(decoded)) return false;
  } else if (!DecodeIconDib(m_bytes, decoded)) {
    return false;
  }
  icon = decoded.Width == kSmallSide && decoded.Height == kSmallSide ? std::move(decoded)
                                                                     : ScaleIcon(decoded, kSmallSide, kSmallSide);
  return true;
}

}  // namespace orv
