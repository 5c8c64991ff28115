// The small icon of a Windows program or library, taken from its own resources as the
// Windows shell shows it: the first icon group, its member closest to 16x16, decoded
// and, when the group has no 16x16 member, scaled to that size.
#pragma once

#include "metadata/IconSource.h"
#include "metadata/PeResources.h"

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace orv {

// Turns a PNG stream into pixels. The metadata library carries no image codec, so the
// toolkit side supplies one for the icons that newer programs store as PNG.
using TPngDecoder = std::function<bool(std::string_view png, TIconImage& image)>;

// True when bytes begin with the PNG signature.
bool IsPngImage(std::string_view bytes);

// Decodes one icon image in the form icon resources and .ico files store it: a DIB
// (BITMAPINFOHEADER, 1, 4, 8, 24 or 32 bits per pixel, uncompressed) whose height
// counts the colour rows and the transparency mask rows together, sides up to 256.
// A 32-bit image with any alpha byte set takes its transparency from them, any other
// from the mask. False for anything else (a PNG stream included) or damaged bytes.
bool DecodeIconDib(std::string_view bytes, TIconImage& image);

// image resampled to width x height by averaging the area each new pixel covers, in
// premultiplied alpha so transparent pixels lend no colour. image must be valid.
TIconImage ScaleIcon(const TIconImage& image, int width, int height);

class TPeIconReader {
public:
  // userLanguageId picks among the languages a group is stored in, as the Windows
  // loader does.
  explicit TPeIconReader(uint16_t userLanguageId = 0x0409);

  // Without a decoder, members stored as PNG are passed over for the next best one.
  void SetPngDecoder(TPngDecoder decoder) { m_pngDecoder = std::move(decoder); }

  // The 16x16 icon of the PE image at a native path. False when the file is not a
  // PE image, has no icon group, or no member of its first group can be decoded.
  // Only regular files are opened; damaged resources give false, never an exception.
  bool SmallIcon(const std::string& nativePath, TIconImage& icon);
  // The same for an image already open.
  bool SmallIcon(const TPeResources& image, TIconImage& icon);

private:
  struct TCandidate {
    int Side;
    uint16_t BitCount;
    uint16_t Id;
  };

  bool ReadMember(const TPeResources& image, uint16_t id, uint16_t groupLanguage, TIconImage& icon);

  uint16_t m_userLanguageId;
  TPngDecoder m_pngDecoder;
  TPeResources m_image;
  std::vector<TResourceLanguage> m_languages;
  std::vector<TCandidate> m_candidates;
  std::unordered_set<uint32_t> m_triedDirectories;
  std::string m_bytes;
};

}  // namespace orv
