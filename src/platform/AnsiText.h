// Character-aware helpers for text in the program's code page (see CodePage.h).
//
// Under CP932 (Windows Shift_JIS) a byte 0x81-0x9F or 0xE0-0xFC starts a double-byte
// character; its trail byte (0x40-0xFC) can look like "\", "/" or an ASCII letter and
// must never be taken for one. Under UTF-8 no byte is a lead byte: no byte of a
// multi-byte character is ever an ASCII byte. Every scan for a delimiter or a
// substring in program text goes through these helpers instead of ad-hoc loops.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace orv {

// True for the first byte of a double-byte CP932 character, whatever the code page.
constexpr bool IsCp932LeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }
// True for a byte that starts a double-byte character in the active code page (never
// under UTF-8).
bool IsLeadByte(unsigned char c);

// The full-width space U+3000 in the active code page (CP932 81 40, UTF-8 E3 80 80).
std::string_view AnsiIdeographicSpace();

// Length in bytes of the character starting at text[pos]: 2 for a lead byte that has
// a byte after it, otherwise 1.
std::size_t CharLength(std::string_view text, std::size_t pos);

// Index of the first byte of the last whole character of text that is one of the
// bytes in delimiters, or npos. Trail bytes never match.
std::size_t AnsiLastDelimiter(std::string_view delimiters, std::string_view text);

// True when the last whole character of text is delim (a single-byte character).
bool AnsiEndsWithDelimiter(std::string_view text, char delim);

// Index of the first occurrence of needle that starts on a character boundary at or
// after from, or npos. An empty needle is found at from.
std::size_t AnsiFind(std::string_view text, std::string_view needle, std::size_t from = 0);

// Every occurrence of from (found as AnsiFind finds it) replaced by to, left to right,
// without rescanning replaced text. An empty from leaves text unchanged.
std::string AnsiReplaceAll(std::string_view text, std::string_view from, std::string_view to);

// text without the bytes 0 to 32 (controls and space) at either end. A full-width space
// (0x81 0x40) is a character, not white space, and stays.
std::string TrimControls(std::string_view text);

// Case-insensitive equality for the user-facing matches (extensions, ignored names,
// alias keys). Under CP932, ASCII a-z and full-width Latin a-z (0x8281-0x829A) fold
// onto their upper-case forms and every other character compares exactly; under
// UTF-8 every letter folds (FoldLetterCase), malformed bytes compare exactly.
bool AnsiSameText(std::string_view a, std::string_view b);

// text with the letters AnsiSameText folds turned into one case: AnsiSameText(a, b)
// holds exactly when AnsiFoldCase(a) == AnsiFoldCase(b). For hash keys.
std::string AnsiFoldCase(std::string_view text);

// Index of the first occurrence of needle in text, starting on a character boundary,
// compared as AnsiSameText compares; npos when there is none.
std::size_t AnsiFindText(std::string_view text, std::string_view needle);

}  // namespace orv
