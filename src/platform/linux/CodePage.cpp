// Conversions between CP932 text and UTF-8 / UTF-16, built on glibc iconv's "CP932"
// table. glibc's "SHIFT_JIS" would turn 0x5C into the yen sign and wreck
// every path; "CP932" keeps 0x5C and 0x7E as ASCII, so ASCII text can skip iconv.
//
// iconv stops at the first character it cannot take. The loop below then writes the
// substitute Windows would (a "?", or one of the few bytes Windows maps and glibc does
// not), steps over that one input character and resumes.
#include "platform/CodePage.h"

#include "platform/Utf8.h"

#include <iconv.h>

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>

namespace orv {

namespace {

constexpr const char* kUtf16Name = std::endian::native == std::endian::little ? "UTF-16LE" : "UTF-16BE";

// An iconv descriptor opened on first use and kept for the thread's lifetime: these
// conversions run once per file name, and iconv_open reads the gconv tables each time.
class TConverter {
public:
  TConverter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
  ~TConverter() {
    if (Valid()) {
      iconv_close(m_cd);
    }
  }
  TConverter(const TConverter&) = delete;
  TConverter& operator=(const TConverter&) = delete;

  bool Valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
  iconv_t Handle() const { return m_cd; }

private:
  iconv_t m_cd;
};

const TConverter& Utf8ToCp932Converter() {
  thread_local TConverter converter("CP932", "UTF-8");
  return converter;
}

const TConverter& Utf16ToCp932Converter() {
  thread_local TConverter converter("CP932", kUtf16Name);
  return converter;
}

const TConverter& Cp932ToUtf8Converter() {
  thread_local TConverter converter("UTF-8", "CP932");
  return converter;
}

const TConverter& Cp932ToUtf16Converter() {
  thread_local TConverter converter(kUtf16Name, "CP932");
  return converter;
}

bool IsAscii(std::string_view text) {
  std::size_t i = 0;
  for (; i + 8 <= text.size(); i += 8) {
    std::uint64_t word;
    std::memcpy(&word, text.data() + i, 8);
    if (word & 0x8080808080808080ull) {
      return false;
    }
  }
  for (; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x80) {
      return false;
    }
  }
  return true;
}

bool IsAscii(std::u16string_view text) {
  for (char16_t unit : text) {
    if (unit >= 0x80) {
      return false;
    }
  }
  return true;
}

// The input character at the start of rest (which is never empty) that the converter
// refused: how many units it spans and the code point it stands for, or
// kReplacementChar when it is malformed. A malformed UTF-8 sequence spans its longest
// valid prefix (at least one byte), so a truncated character costs one "?".
struct TRefused {
  std::size_t Length;
  char32_t CodePoint;
};

TRefused RefusedUtf8(std::string_view rest) {
  const TUtf8Char refused = DecodeUtf8(rest);
  return {refused.Length, refused.CodePoint};
}

TRefused RefusedUtf16(std::u16string_view rest) {
  const char16_t unit = rest[0];
  if (unit >= 0xD800 && unit <= 0xDBFF && rest.size() > 1 && rest[1] >= 0xDC00 && rest[1] <= 0xDFFF) {
    return {2, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (rest[1] - 0xDC00)};
  }
  if (unit >= 0xD800 && unit <= 0xDFFF) {
    return {1, kReplacementChar};
  }
  return {1, unit};
}

// The CP932 byte Windows writes for a code point glibc's table lacks: the single
// bytes that Windows maps to U+0080 and to private-use U+F8F0-U+F8F3, so that those
// names survive a round trip; "?" for everything else.
char AnsiSubstitute(char32_t cp) {
  if (cp == 0x80) {
    return static_cast<char>(0x80);
  }
  if (cp == 0xF8F0) {
    return static_cast<char>(0xA0);
  }
  if (cp >= 0xF8F1 && cp <= 0xF8F3) {
    return static_cast<char>(0xFD + (cp - 0xF8F1));
  }
  return '?';
}

// The CP932 input glibc refused at the start of rest: a Windows-only single byte, a
// lead byte with a trail byte the table has no character for (both bytes shown as one
// U+FFFD), or a stray byte (shown alone, so a following ASCII byte survives).
TRefused RefusedAnsi(std::string_view rest) {
  const unsigned char lead = static_cast<unsigned char>(rest[0]);
  switch (lead) {
  case 0x80:
    return {1, 0x80};
  case 0xA0:
    return {1, 0xF8F0};
  case 0xFD:
  case 0xFE:
  case 0xFF:
    return {1, char32_t(0xF8F1 + (lead - 0xFD))};
  default:
    break;
  }
  const bool isLead = (lead >= 0x81 && lead <= 0x9F) || (lead >= 0xE0 && lead <= 0xFC);
  if (isLead && rest.size() > 1) {
    const unsigned char trail = static_cast<unsigned char>(rest[1]);
    if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
      return {2, kReplacementChar};
    }
  }
  return {1, kReplacementChar};
}

// Writers for a refused character's substitute; each returns the units written (at most 3).
std::size_t PutAnsi(char* out, char32_t cp) {
  out[0] = AnsiSubstitute(cp);
  return 1;
}

std::size_t PutUtf16(char16_t* out, char32_t cp) {
  out[0] = static_cast<char16_t>(cp);  // every substitute decoded from CP932 is in the BMP
  return 1;
}

std::size_t PutUtf8(char* out, char32_t cp) {
  if (cp < 0x80) {
    out[0] = static_cast<char>(cp);
    return 1;
  }
  if (cp < 0x800) {
    out[0] = static_cast<char>(0xC0 | (cp >> 6));
    out[1] = static_cast<char>(0x80 | (cp & 0x3F));
    return 2;
  }
  out[0] = static_cast<char>(0xE0 | (cp >> 12));
  out[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
  out[2] = static_cast<char>(0x80 | (cp & 0x3F));
  return 3;
}

// Runs converter over in, writing to out (sized from estimate, grown if ever needed).
// refused(rest) describes the input character iconv stopped at; put(dest, code point)
// writes its substitute. Without a converter (gconv modules missing) ASCII still
// passes and every other character is substituted, so conversion still never fails.
template <class In, class Out, class Refused, class Put>
std::basic_string<Out> Convert(const TConverter& converter, std::basic_string_view<In> in, std::size_t estimate,
                               Refused refused, Put put) {
  constexpr std::size_t kMaxSubstitute = 3;
  std::basic_string<Out> out(estimate + kMaxSubstitute, Out());
  std::size_t done = 0, written = 0;
  if (converter.Valid()) {
    iconv(converter.Handle(), nullptr, nullptr, nullptr, nullptr);
  }
  while (done < in.size()) {
    if (converter.Valid()) {
      char* inPtr = const_cast<char*>(reinterpret_cast<const char*>(in.data() + done));
      std::size_t inLeft = (in.size() - done) * sizeof(In);
      char* outPtr = reinterpret_cast<char*>(out.data() + written);
      std::size_t outLeft = (out.size() - written) * sizeof(Out);
      const std::size_t result = iconv(converter.Handle(), &inPtr, &inLeft, &outPtr, &outLeft);
      const int error = errno;
      done = in.size() - inLeft / sizeof(In);
      written = out.size() - outLeft / sizeof(Out);
      if (result != static_cast<std::size_t>(-1)) {
        break;
      }
      if (error == E2BIG) {
        out.resize(out.size() * 2);
        continue;
      }
    } else {
      if (out.size() - written < in.size() - done + kMaxSubstitute) {
        out.resize(written + in.size() - done + kMaxSubstitute);
      }
      while (done < in.size() && static_cast<char32_t>(in[done]) < 0x80) {
        out[written++] = static_cast<Out>(in[done++]);
      }
      if (done == in.size()) {
        break;
      }
    }
    // EILSEQ or EINVAL (a character cut off at the end): substitute one character.
    if (out.size() - written < kMaxSubstitute) {
      out.resize(out.size() * 2);
    }
    const TRefused bad = refused(in.substr(done));
    written += put(out.data() + written, bad.CodePoint);
    done += bad.Length;
  }
  out.resize(written);
  return out;
}

}  // namespace

std::string Utf8ToCp932(std::string_view utf8) {
  if (IsAscii(utf8)) {
    return std::string(utf8);
  }
  // No character takes more CP932 bytes than UTF-8 bytes.
  return Convert<char, char>(Utf8ToCp932Converter(), utf8, utf8.size(), RefusedUtf8, PutAnsi);
}

std::string Utf16ToCp932(std::u16string_view utf16) {
  if (IsAscii(utf16)) {
    return std::string(utf16.begin(), utf16.end());
  }
  return Convert<char16_t, char>(Utf16ToCp932Converter(), utf16, utf16.size() * 2, RefusedUtf16, PutAnsi);
}

std::string Cp932ToUtf8(std::string_view ansi) {
  if (IsAscii(ansi)) {
    return std::string(ansi);
  }
  return Convert<char, char>(Cp932ToUtf8Converter(), ansi, ansi.size() * 3, RefusedAnsi, PutUtf8);
}

std::u16string Cp932ToUtf16(std::string_view ansi) {
  if (IsAscii(ansi)) {
    return std::u16string(ansi.begin(), ansi.end());
  }
  return Convert<char, char16_t>(Cp932ToUtf16Converter(), ansi, ansi.size(), RefusedAnsi, PutUtf16);
}

}  // namespace orv
