// The program's code page, and the conversions between the program's text and the
// encodings at its edges: UTF-8 file-system names and arguments, UTF-16 texts inside
// files and the Qt interface.
//
// Like the Windows ANSI code page, the code page is one for the whole program: every
// text it holds, reads from its own files and writes into listings is in it. It is
// CP932 (Windows Shift_JIS) unless the settings choose UTF-8 (Windows' code page
// 65001). It is chosen when the settings are loaded and changed only between runs, by
// the run driver; nothing reads text while it changes, so worker threads of a run
// always see one code page.
//
// Under CP932, conversion to the program's text never fails: a character CP932
// cannot hold, or a byte sequence that is not valid UTF-8/UTF-16, becomes "?", as the
// Windows ANSI functions do. Decoding CP932 maps the single bytes Windows maps (0x80
// -> U+0080, 0xA0 -> U+F8F0, 0xFD-0xFF -> U+F8F1-U+F8F3) and shows any other invalid
// byte or pair as U+FFFD. Under UTF-8, valid text passes unchanged and every
// malformed sequence becomes U+FFFD.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// The values of the TextEncoding setting.
enum TCodePage : int { CodePageShiftJis = 0, CodePageUtf8 = 1 };

TCodePage ActiveCodePage();
// Any value but CodePageUtf8 selects CP932.
void SetActiveCodePage(int codePage);

// Between the active code page and UTF-8 / UTF-16.
std::string Utf8ToAnsi(std::string_view utf8);
std::string Utf16ToAnsi(std::u16string_view utf16);
std::string AnsiToUtf8(std::string_view ansi);
std::u16string AnsiToUtf16(std::string_view ansi);

// CP932 itself, whatever the active code page: for texts that come in CP932 (Exif
// fields Japanese cameras write, a switch of the code page).
std::string Utf8ToCp932(std::string_view utf8);
std::string Utf16ToCp932(std::u16string_view utf16);
std::string Cp932ToUtf8(std::string_view cp932);
std::u16string Cp932ToUtf16(std::string_view cp932);

// text converted from the code page from to the code page to, through Unicode.
std::string ConvertCodePage(std::string_view text, TCodePage from, TCodePage to);

}  // namespace orv
