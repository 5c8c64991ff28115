// JIS (ISO-2022-JP style) to Shift_JIS, the arithmetic mapping between the two
// layouts of JIS X 0208. JIS X 0212 pairs go through the same arithmetic: Shift_JIS
// has no room for them, so what comes out is whatever X 0208 cell they land on.
#include "metadata/JisDecoder.h"

#include <cstdint>

namespace orv {

namespace {

enum class TJisMode { OneByte, Katakana, TwoByte };

constexpr char kEsc = '\x1B';

struct TEscape {
  std::string_view Bytes;
  TJisMode Mode;
};

// Longest first, so that the 1990 designation (which starts like nothing else but
// carries a second sequence) is taken whole.
constexpr TEscape kEscapes[] = {
    {"\x1B\x26\x40\x1B\x24\x42", TJisMode::TwoByte},  // JIS X 0208-1990
    {"\x1B\x24\x28\x44", TJisMode::TwoByte},          // JIS X 0212
    {"\x1B\x24\x40", TJisMode::TwoByte},              // JIS C 6226-1978
    {"\x1B\x24\x42", TJisMode::TwoByte},              // JIS X 0208-1983
    {"\x1B\x28\x42", TJisMode::OneByte},              // ASCII
    {"\x1B\x28\x4A", TJisMode::OneByte},              // JIS X 0201 Roman
    {"\x1B\x28\x48", TJisMode::OneByte},              // older JIS Roman
    {"\x1B\x28\x49", TJisMode::Katakana},             // JIS X 0201 katakana
};

}  // namespace

std::string JisToShiftJis(std::string_view jis) {
  std::string out;
  out.reserve(jis.size());
  TJisMode mode = TJisMode::OneByte;
  std::size_t i = 0;
  while (i < jis.size()) {
    if (jis[i] == kEsc) {
      const TEscape* found = nullptr;
      for (const TEscape& escape : kEscapes) {
        if (jis.substr(i, escape.Bytes.size()) == escape.Bytes) {
          found = &escape;
          break;
        }
      }
      if (found) {
        mode = found->Mode;
        i += found->Bytes.size();
      } else {
        ++i;
      }
      continue;
    }
    const auto byte = static_cast<std::uint8_t>(jis[i]);
    switch (mode) {
    case TJisMode::OneByte:
      out += static_cast<char>(byte);
      ++i;
      break;
    case TJisMode::Katakana:
      out += static_cast<char>(static_cast<std::uint8_t>(byte + 0x80));
      ++i;
      break;
    case TJisMode::TwoByte: {
      if (i + 1 >= jis.size()) return out;
      const unsigned j1 = byte;
      const unsigned j2 = static_cast<std::uint8_t>(jis[i + 1]);
      const unsigned s1 = (j1 + 1) / 2 + (j1 <= 0x5E ? 0x70 : 0xB0);
      unsigned s2;
      if (j1 % 2 == 1) {
        s2 = j2 + 0x1F;
        if (s2 > 0x7E) ++s2;
      } else {
        s2 = j2 + 0x7E;
      }
      out += static_cast<char>(static_cast<std::uint8_t>(s1));
      out += static_cast<char>(static_cast<std::uint8_t>(s2));
      i += 2;
      break;
    }
    }
  }
  return out;
}

}  // namespace orv
