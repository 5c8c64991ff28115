// The one UTF-8 decoder of the program: the code-page conversions, the regular-
// expression adapter's offset table and the terminal's column count all read UTF-8
// through it, so they agree on where a character ends and what a broken one is.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

inline constexpr char32_t kReplacementChar = 0xFFFD;

struct TUtf8Char {
  std::size_t Length;   // bytes, at least 1
  char32_t CodePoint;   // kReplacementChar for a malformed sequence
};

// The character at the start of text, which must not be empty. A malformed sequence
// (a stray or overlong lead byte, a surrogate, a missing trail byte) spans its longest
// valid prefix, at least one byte, so a truncated character costs one replacement and
// the byte after it is read again as a character of its own.
TUtf8Char DecodeUtf8(std::string_view text);

// Appends the UTF-8 form of code point cp (a surrogate or a value past U+10FFFF as
// U+FFFD).
void AppendUtf8(std::string& out, char32_t cp);

bool IsValidUtf8(std::string_view text);
// text with every malformed sequence replaced by U+FFFD; valid text is returned as is.
std::string SanitizeUtf8(std::string_view text);

// Between UTF-8 and UTF-16; malformed input (a lone surrogate, a broken sequence)
// becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view utf16);
std::u16string Utf8ToUtf16(std::string_view utf8);

}  // namespace orv
