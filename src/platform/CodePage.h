// Conversions between the program's text (CP932 byte strings) and the encodings at
// its edges: UTF-8 file-system names and arguments, UTF-16 texts inside files and the
// Qt interface.
//
// Conversion to CP932 never fails: a character CP932 cannot hold, or a byte sequence
// that is not valid UTF-8/UTF-16, becomes "?", as the Windows ANSI functions do.
// Decoding CP932 maps the single bytes Windows maps (0x80 -> U+0080, 0xA0 -> U+F8F0,
// 0xFD-0xFF -> U+F8F1-U+F8F3) and shows any other invalid byte or pair as U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace orv {

std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16ToAnsi(std::u16string_view utf16);
std::string AnsiToUtf8(std::string_view ansi);
std::u16string AnsiToUtf16(std::string_view ansi);

}  // namespace orv
