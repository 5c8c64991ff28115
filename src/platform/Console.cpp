// The portable part of the console: how wide a line of text shows on a terminal.
#include "platform/Console.h"

#include "platform/Utf8.h"

#include <utility>
#include <vector>

namespace orv {

namespace {

int DisplayWidth(char32_t code) {
  if (code < 0x20) return 0;
  const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                    (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                    (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                    (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
  return wide ? 2 : 1;
}

}  // namespace

std::string FitToColumns(std::string_view utf8, int columns) {
  std::vector<std::pair<std::size_t, int>> chars;  // byte offset, width
  int total = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    const TUtf8Char decoded = DecodeUtf8(utf8.substr(i));
    const int width = DisplayWidth(decoded.CodePoint);
    chars.emplace_back(i, width);
    total += width;
    i += decoded.Length;
  }
  if (total <= columns) {
    return std::string(utf8);
  }
  constexpr std::string_view kEllipsis = "...";
  const int room = columns - static_cast<int>(kEllipsis.size());
  if (room <= 0) {
    return std::string(kEllipsis.substr(0, static_cast<std::size_t>(columns > 0 ? columns : 0)));
  }
  int kept = 0;
  std::size_t start = utf8.size();
  for (auto it = chars.rbegin(); it != chars.rend() && kept + it->second <= room; ++it) {
    kept += it->second;
    start = it->first;
  }
  return std::string(kEllipsis) + std::string(utf8.substr(start));
}

}  // namespace orv
