// Decoding of the "JIS" user comments of Exif files: an ISO-2022-JP style byte stream
// (escape sequences switching between one-byte, half-width katakana and two-byte
// JIS X 0208 modes) turned into Shift_JIS text.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// Shift_JIS bytes for jis. Decoding starts in one-byte mode; an escape sequence the
// decoder does not know loses its ESC byte only. A stream that ends inside a
// two-byte pair gives the text decoded before that pair.
std::string JisToShiftJis(std::string_view jis);

}  // namespace orv
