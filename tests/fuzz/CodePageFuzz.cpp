// libFuzzer harness for the CP932 / UTF-8 / UTF-16 conversions. The input is taken as
// CP932, as UTF-8 and as UTF-16LE. Conversion never fails, and what it emits is well
// formed: UTF-8 out is valid UTF-8 without surrogates, and text that went to CP932 once
// comes back unchanged from a second round through UTF-8.
#include "platform/AnsiText.h"
#include "platform/CodePage.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace {

bool ValidUtf8(std::string_view text) {
  for (std::size_t at = 0; at < text.size();) {
    const auto lead = static_cast<unsigned char>(text[at]);
    std::size_t length = lead < 0x80 ? 1 : (lead >> 5) == 6 ? 2 : (lead >> 4) == 14 ? 3 : (lead >> 3) == 30 ? 4 : 0;
    if (length == 0 || at + length > text.size()) return false;
    uint32_t code = length == 1 ? lead : lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
      const auto trail = static_cast<unsigned char>(text[at + i]);
      if ((trail & 0xC0) != 0x80) return false;
      code = code << 6 | (trail & 0x3F);
    }
    static constexpr uint32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    at += length;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  // Every property holds in both code pages the settings can choose.
  for (const int page : {orv::CodePageShiftJis, orv::CodePageUtf8}) {
    orv::SetActiveCodePage(page);
    const std::string utf8 = orv::AnsiToUtf8(input);
    if (!ValidUtf8(utf8)) __builtin_trap();
    orv::AnsiToUtf16(input);

    // Whatever text comes out of a conversion survives a round trip through UTF-8.
    const std::string ansi = orv::Utf8ToAnsi(input);
    if (orv::Utf8ToAnsi(orv::AnsiToUtf8(ansi)) != ansi) __builtin_trap();

    std::u16string utf16(size / 2, u'\0');
    for (std::size_t i = 0; i < utf16.size(); ++i) {
      utf16[i] = static_cast<char16_t>(data[2 * i] | data[2 * i + 1] << 8);
    }
    const std::string fromUtf16 = orv::Utf16ToAnsi(utf16);
    if (!ValidUtf8(orv::AnsiToUtf8(fromUtf16))) __builtin_trap();

    // The case-insensitive match and its hash key agree, on the two halves of the input.
    const std::string_view a = input.substr(0, size / 2), b = input.substr(size / 2);
    if (orv::AnsiSameText(a, b) != (orv::AnsiFoldCase(a) == orv::AnsiFoldCase(b))) __builtin_trap();
    if (!orv::AnsiSameText(input, input)) __builtin_trap();
  }
  return 0;
}
