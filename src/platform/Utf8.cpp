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

void AppendUtf8(std::string& out, char32_t cp) {
  if ((cp >= 0xD800 && cp <= 0xDFFF) || cp > 0x10FFFF) {
    cp = kReplacementChar;
  }
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

namespace {

// The length of the leading ASCII run: the common case of every conversion.
std::size_t AsciiPrefix(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && static_cast<unsigned char>(text[i]) < 0x80) ++i;
  return i;
}

}  // namespace

bool IsValidUtf8(std::string_view text) {
  for (std::size_t i = AsciiPrefix(text); i < text.size();) {
    if (static_cast<unsigned char>(text[i]) < 0x80) {
      ++i;
      continue;
    }
    const TUtf8Char decoded = DecodeUtf8(text.substr(i));
    if (decoded.CodePoint == kReplacementChar &&
        !(decoded.Length == 3 && text.compare(i, 3, "\xEF\xBF\xBD") == 0)) {
      return false;
    }
    i += decoded.Length;
  }
  return true;
}

std::string SanitizeUtf8(std::string_view text) {
  if (IsValidUtf8(text)) {
    return std::string(text);
  }
  std::string out;
  out.reserve(text.size() + 8);
  for (std::size_t i = 0; i < text.size();) {
    const TUtf8Char decoded = DecodeUtf8(text.substr(i));
    if (decoded.CodePoint == kReplacementChar) {
      AppendUtf8(out, kReplacementChar);
    } else {
      out.append(text, i, decoded.Length);
    }
    i += decoded.Length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view utf16) {
  std::string out;
  out.reserve(utf16.size());
  for (std::size_t i = 0; i < utf16.size(); ++i) {
    const char16_t unit = utf16[i];
    if (unit >= 0xD800 && unit <= 0xDBFF && i + 1 < utf16.size() && utf16[i + 1] >= 0xDC00 &&
        utf16[i + 1] <= 0xDFFF) {
      AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (utf16[i + 1] - 0xDC00));
      ++i;
    } else {
      AppendUtf8(out, unit);  // a lone surrogate becomes U+FFFD there
    }
  }
  return out;
}

std::u16string Utf8ToUtf16(std::string_view utf8) {
  std::u16string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    const TUtf8Char decoded = DecodeUtf8(utf8.substr(i));
    if (decoded.CodePoint >= 0x10000) {
      const char32_t v = decoded.CodePoint - 0x10000;
      out += static_cast<char16_t>(0xD800 + (v >> 10));
      out += static_cast<char16_t>(0xDC00 + (v & 0x3FF));
    } else {
      out += static_cast<char16_t>(decoded.CodePoint);
    }
    i += decoded.Length;
  }
  return out;
}

}  // namespace orv
