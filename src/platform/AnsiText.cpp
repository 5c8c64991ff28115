// Character-aware scanning of CP932 text. Every loop walks whole characters from the
// start of the text: a trail byte can only be recognised by knowing where its
// character began.
#include "platform/AnsiText.h"

#include "platform/CaseFold.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"

namespace orv {

bool IsLeadByte(unsigned char c) { return ActiveCodePage() != CodePageUtf8 && IsCp932LeadByte(c); }

std::string_view AnsiIdeographicSpace() {
  return ActiveCodePage() == CodePageUtf8 ? std::string_view("\xE3\x80\x80") : std::string_view("\x81\x40");
}

std::size_t CharLength(std::string_view text, std::size_t pos) {
  return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

namespace {

// Bytes below 0x40 are never the trail byte of a double-byte character, so a
// delimiter among them can be found by its byte alone ("/", ".", ":" and "," are).
bool BelowTrailBytes(std::string_view delimiters) {
  for (char c : delimiters) {
    if (static_cast<unsigned char>(c) >= 0x40) return false;
  }
  return true;
}

}  // namespace

std::size_t AnsiLastDelimiter(std::string_view delimiters, std::string_view text) {
  if (BelowTrailBytes(delimiters)) {
    return delimiters.size() == 1 ? text.rfind(delimiters[0]) : text.find_last_of(delimiters);
  }
  std::size_t found = std::string_view::npos;
  for (std::size_t i = 0; i < text.size(); i += CharLength(text, i)) {
    if (delimiters.find(text[i]) != std::string_view::npos && CharLength(text, i) == 1) {
      found = i;
    }
  }
  return found;
}

bool AnsiEndsWithDelimiter(std::string_view text, char delim) {
  if (text.empty() || text.back() != delim) {
    return false;
  }
  if (static_cast<unsigned char>(delim) < 0x40) {
    return true;
  }
  // The last byte matches; it is a character of its own unless it is the trail byte
  // of a double-byte character, which only a walk from the start can tell.
  std::size_t i = 0;
  while (i + CharLength(text, i) < text.size()) {
    i += CharLength(text, i);
  }
  return i == text.size() - 1;
}

std::size_t AnsiFind(std::string_view text, std::string_view needle, std::size_t from) {
  std::size_t i = 0;
  while (i < from && i < text.size()) {
    i += CharLength(text, i);
  }
  if (needle.empty()) {
    return i <= text.size() ? i : std::string_view::npos;
  }
  for (; i + needle.size() <= text.size(); i += CharLength(text, i)) {
    if (text.compare(i, needle.size(), needle) == 0) {
      return i;
    }
  }
  return std::string_view::npos;
}

std::string AnsiReplaceAll(std::string_view text, std::string_view from, std::string_view to) {
  if (from.empty()) {
    return std::string(text);
  }
  std::string result;
  result.reserve(text.size());
  std::size_t done = 0;
  for (std::size_t at = AnsiFind(text, from, 0); at != std::string_view::npos; at = AnsiFind(text, from, done)) {
    result.append(text.substr(done, at - done));
    result.append(to);
    done = at + from.size();
  }
  result.append(text.substr(done));
  return result;
}

std::string TrimControls(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  // Bytes 0-32 are never trail bytes (those are 0x40 and above), so a byte test is
  // character-aware here.
  while (begin < end && static_cast<unsigned char>(text[begin]) <= 32) {
    ++begin;
  }
  while (end > begin && static_cast<unsigned char>(text[end - 1]) <= 32) {
    --end;
  }
  return std::string(text.substr(begin, end - begin));
}

namespace {

// The upper-case form of the character at text[pos] (len bytes) as one number.
unsigned FoldedChar(std::string_view text, std::size_t pos, std::size_t len) {
  const auto b0 = static_cast<unsigned char>(text[pos]);
  if (len == 1) {
    return b0 >= 'a' && b0 <= 'z' ? b0 - 0x20u : b0;
  }
  unsigned code = (b0 << 8) | static_cast<unsigned char>(text[pos + 1]);
  // Full-width a-z (0x8281-0x829A) fold onto full-width A-Z (0x8260-0x8279).
  if (code >= 0x8281 && code <= 0x829A) {
    code -= 0x21;
  }
  return code;
}

// One folded character of UTF-8 text at text[pos]: its length and code point (a
// malformed byte stands for itself, above every code point, so it matches only itself).
struct TFoldedUtf8 {
  std::size_t Length;
  char32_t Code;
};

TFoldedUtf8 FoldedUtf8Char(std::string_view text, std::size_t pos) {
  const auto byte = static_cast<unsigned char>(text[pos]);
  if (byte < 0x80) {
    return {1, byte >= 'A' && byte <= 'Z' ? char32_t(byte + 0x20) : char32_t(byte)};
  }
  const TUtf8Char decoded = DecodeUtf8(text.substr(pos));
  if (decoded.CodePoint == kReplacementChar && text.compare(pos, 3, "\xEF\xBF\xBD") != 0) {
    return {1, 0x110000u + byte};
  }
  return {decoded.Length, FoldLetterCase(decoded.CodePoint)};
}

// The byte length of the prefix of text from pos that matches needle as AnsiSameText
// compares under UTF-8, or npos when none does.
std::size_t Utf8FoldedPrefix(std::string_view text, std::size_t pos, std::string_view needle) {
  std::size_t i = pos, j = 0;
  while (j < needle.size()) {
    if (i >= text.size()) return std::string_view::npos;
    const TFoldedUtf8 a = FoldedUtf8Char(text, i);
    const TFoldedUtf8 b = FoldedUtf8Char(needle, j);
    if (a.Code != b.Code) return std::string_view::npos;
    i += a.Length;
    j += b.Length;
  }
  return i - pos;
}

}  // namespace

bool AnsiSameText(std::string_view a, std::string_view b) {
  if (ActiveCodePage() == CodePageUtf8) {
    return Utf8FoldedPrefix(a, 0, b) == a.size();
  }
  std::size_t i = 0;
  std::size_t j = 0;
  while (i < a.size() && j < b.size()) {
    const std::size_t la = CharLength(a, i);
    const std::size_t lb = CharLength(b, j);
    if (FoldedChar(a, i, la) != FoldedChar(b, j, lb)) {
      return false;
    }
    i += la;
    j += lb;
  }
  return i == a.size() && j == b.size();
}

std::string AnsiFoldCase(std::string_view text) {
  if (ActiveCodePage() == CodePageUtf8) {
    std::string folded;
    folded.reserve(text.size());
    for (std::size_t i = 0; i < text.size();) {
      const TFoldedUtf8 c = FoldedUtf8Char(text, i);
      if (c.Code > 0x10FFFF) {
        folded += text[i];  // a malformed byte stays as it is
      } else {
        AppendUtf8(folded, c.Code);
      }
      i += c.Length;
    }
    return folded;
  }
  std::string folded(text);
  for (std::size_t i = 0; i < folded.size();) {
    const std::size_t length = CharLength(folded, i);
    const unsigned code = FoldedChar(folded, i, length);
    if (length == 1) {
      folded[i] = static_cast<char>(code);
    } else {
      folded[i + 1] = static_cast<char>(code & 0xFF);
    }
    i += length;
  }
  return folded;
}

std::size_t AnsiFindText(std::string_view text, std::string_view needle) {
  if (ActiveCodePage() == CodePageUtf8) {
    // A folded letter may take another number of bytes, so every start is tried.
    for (std::size_t i = 0; i <= text.size(); ++i) {
      if (i < text.size() && (static_cast<unsigned char>(text[i]) & 0xC0) == 0x80) continue;
      if (Utf8FoldedPrefix(text, i, needle) != std::string_view::npos) return i;
    }
    return std::string_view::npos;
  }
  for (std::size_t i = 0; i + needle.size() <= text.size(); i += CharLength(text, i)) {
    // Folding keeps every character's length, so equal texts have equal byte counts.
    if (AnsiSameText(text.substr(i, needle.size()), needle)) {
      return i;
    }
  }
  return std::string_view::npos;
}

}  // namespace orv
