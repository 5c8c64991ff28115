// The UTF-8 decoder, after the well-formed byte sequences of the Unicode standard
// (table 3-7): the second byte's range depends on the lead byte.
#include "platform/Utf8.h"

namespace orv {

TUtf8Char DecodeUtf8(std::string_view text) {
  const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
  const unsigned char lead = byte(0);
  std::size_t length;
  unsigned char low = 0x80, high = 0xBF;  // range of the second byte
  char32_t cp;
  if (lead < 0x80) {
    return {1, lead};
  } else if (lead >= 0xC2 && lead <= 0xDF) {
    length = 2;
    cp = lead & 0x1F;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    length = 3;
    cp = lead & 0x0F;
    if (lead == 0xE0) {
      low = 0xA0;
    } else if (lead == 0xED) {
      high = 0x9F;  // no surrogates
    }
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    length = 4;
    cp = lead & 0x07;
    if (lead == 0xF0) {
      low = 0x90;
    } else if (lead == 0xF4) {
      high = 0x8F;
    }
  } else {
    return {1, kReplacementChar};
  }
  for (std::size_t i = 1; i < length; ++i) {
    if (i >= text.size() || byte(i) < low || byte(i) > high) {
      return {i, kReplacementChar};
    }
    cp = (cp << 6) | (byte(i) & 0x3F);
    low = 0x80;
    high = 0xBF;
  }
  return {length, cp};
}

}  // namespace orv
