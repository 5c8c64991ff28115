// Private-profile (INI) reading and writing with the Windows rules that existing
// settings files were written under. The file is held as its lines, so a rewrite
// changes only the lines it must and keeps comments, unknown keys and order.
#include "platform/ProfileFile.h"

#include "platform/CodePage.h"

#include "platform/AnsiText.h"
#include "platform/AtomicFile.h"
#include "platform/File.h"

#include <cstring>
#include <string>
#include <utility>

namespace orv {

namespace {

// The longest value a reader gets back; the rest of a longer value is dropped.
constexpr std::size_t kMaxValueLength = 2047;

constexpr std::size_t npos = std::string_view::npos;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && IsBlank(text[begin])) ++begin;
  while (end > begin && IsBlank(text[end - 1])) --end;
  return text.substr(begin, end - begin);
}

// A line whose first non-blank character is "[" opens a section; the name runs to the
// next "]" (or the line end). "]" is a possible trail byte, hence the character walk.
bool ParseSectionHeader(std::string_view line, std::string_view& name) {
  std::size_t pos = 0;
  while (pos < line.size() && IsBlank(line[pos])) ++pos;
  if (pos == line.size() || line[pos] != '[') return false;
  std::size_t begin = ++pos;
  while (pos < line.size() && line[pos] != ']') pos += CharLength(line, pos);
  name = TrimBlanks(line.substr(begin, pos - begin));
  return true;
}

// A key line is any other line holding "=". "=" lies below the trail-byte range, so a
// plain search cannot stop inside a double-byte character.
bool ParseKeyLine(std::string_view line, std::string_view& key, std::string_view& value) {
  std::size_t equals = line.find('=');
  if (equals == npos) return false;
  key = TrimBlanks(line.substr(0, equals));
  value = line.substr(equals + 1);
  return true;
}

bool IsKeyLine(std::string_view line) {
  std::string_view name, key, value;
  return !ParseSectionHeader(line, name) && ParseKeyLine(line, key, value);
}

char FoldAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

// Section and key names compare with ASCII letters folded; a double-byte character
// compares exactly, so a trail byte that happens to be a letter is not folded.
bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size();) {
    std::size_t length = CharLength(a, i);
    if (length == 2) {
      if (a[i] != b[i] || a[i + 1] != b[i + 1]) return false;
    } else if (FoldAscii(a[i]) != FoldAscii(b[i])) {
      return false;
    }
    i += length;
  }
  return true;
}

std::string ValueOf(std::string_view rawValue) {
  std::string_view value = TrimBlanks(rawValue);
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front()) {
    value = value.substr(1, value.size() - 2);
  }
  if (value.size() > kMaxValueLength) {
    std::size_t cut = 0;
    while (cut < value.size()) {
      std::size_t next = cut + CharLength(value, cut);
      if (next > kMaxValueLength) break;
      cut = next;
    }
    value = value.substr(0, cut);
  }
  return std::string(value);
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

void AppendHexByte(std::string& text, unsigned char byte) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  text.push_back(kDigits[byte >> 4]);
  text.push_back(kDigits[byte & 0x0F]);
}

}  // namespace

bool ParseProfileInteger(std::string_view text, int32_t& value) {
  bool negative = false;
  std::size_t pos = 0;
  if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
    negative = text[pos] == '-';
    ++pos;
  }
  bool hex = false;
  if (pos < text.size() && text[pos] == '$') {
    hex = true;
    pos += 1;
  } else if (pos + 1 < text.size() && text[pos] == '0' && (text[pos + 1] == 'x' || text[pos + 1] == 'X')) {
    hex = true;
    pos += 2;
  }
  if (pos == text.size()) return false;

  // Accumulated in 64 bits and checked after each digit, so no digit string overflows.
  uint64_t magnitude = 0;
  const uint64_t limit = hex ? 0xFFFFFFFFu : (negative ? 0x80000000u : 0x7FFFFFFFu);
  for (; pos < text.size(); ++pos) {
    int digit;
    if (hex) {
      digit = HexDigit(text[pos]);
    } else {
      digit = text[pos] >= '0' && text[pos] <= '9' ? text[pos] - '0' : -1;
    }
    if (digit < 0) return false;
    magnitude = magnitude * (hex ? 16 : 10) + static_cast<uint64_t>(digit);
    if (magnitude > limit) return false;
  }
  // Hex is a bit pattern ("0xFFFFFFFF" is -1), negated afterwards like a decimal;
  // unsigned arithmetic keeps -2147483648 and its negation defined.
  uint32_t bits = static_cast<uint32_t>(magnitude);
  if (negative) bits = 0u - bits;
  value = static_cast<int32_t>(bits);
  return true;
}

TProfileFile::TProfileFile(std::string nativePath) : m_path(std::move(nativePath)) {}

bool TProfileFile::Load() {
  std::string contents;
  if (!ReadWholeFile(m_path, contents)) {
    m_lines.clear();
    return false;
  }
  LoadFromText(contents);
  return true;
}

namespace {

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

}  // namespace

std::string TProfileFile::FromFile(std::string_view text) const {
  return m_utf8Marked && ActiveCodePage() != CodePageUtf8 ? Utf8ToCp932(text) : std::string(text);
}

std::string TProfileFile::ToFile(std::string_view text) const {
  return m_utf8Marked && ActiveCodePage() != CodePageUtf8 ? Cp932ToUtf8(text) : std::string(text);
}

void TProfileFile::LoadFromText(std::string_view contents) {
  m_lines.clear();
  m_utf8Marked = contents.starts_with(kUtf8ByteOrderMark);
  if (m_utf8Marked) {
    contents.remove_prefix(kUtf8ByteOrderMark.size());
  }
  std::size_t start = 0;
  while (start < contents.size()) {
    std::size_t end = contents.find('\n', start);
    std::size_t next = end == npos ? contents.size() : end + 1;
    if (end == npos) end = contents.size();
    // CR LF and LF files both read; a CR left at the very end of a cut file goes too.
    if (end > start && contents[end - 1] == '\r') --end;
    m_lines.push_back(TLine{std::string(contents.substr(start, end - start))});
    start = next;
  }
}

std::size_t TProfileFile::FindSection(std::string_view section) const {
  std::string_view name;
  for (std::size_t i = 0; i < m_lines.size(); ++i) {
    if (ParseSectionHeader(m_lines[i].Raw, name) && SameName(name, section)) return i;
  }
  return npos;
}

std::size_t TProfileFile::FindKey(std::size_t header, std::string_view key) const {
  std::string_view name, lineKey, value;
  for (std::size_t i = header + 1; i < m_lines.size(); ++i) {
    const std::string& line = m_lines[i].Raw;
    if (ParseSectionHeader(line, name)) break;
    if (ParseKeyLine(line, lineKey, value) && SameName(lineKey, key)) return i;
  }
  return npos;
}

std::size_t TProfileFile::SectionEnd(std::size_t header) const {
  std::string_view name;
  std::size_t i = header + 1;
  while (i < m_lines.size() && !ParseSectionHeader(m_lines[i].Raw, name)) ++i;
  return i;
}

const std::string* TProfileFile::FindValueLine(std::string_view section, std::string_view key) const {
  std::size_t header = FindSection(section);
  if (header == npos) return nullptr;
  std::size_t line = FindKey(header, key);
  return line == npos ? nullptr : &m_lines[line].Raw;
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key, std::string_view def) const {
  const std::string* line = FindValueLine(section, key);
  if (!line) return std::string(def);
  std::string_view lineKey, value;
  ParseKeyLine(*line, lineKey, value);
  return FromFile(ValueOf(value));
}

int32_t TProfileFile::ReadInteger(std::string_view section, std::string_view key, int32_t def) const {
  int32_t value;
  return ParseProfileInteger(ReadString(section, key, {}), value) ? value : def;
}

bool TProfileFile::ReadBool(std::string_view section, std::string_view key, bool def) const {
  return ReadInteger(section, key, def ? 1 : 0) != 0;
}

bool TProfileFile::ReadStruct(std::string_view section, std::string_view key, void* bytes,
                              std::size_t size) const {
  std::string text = ReadString(section, key, {});
  if (text.size() != 2 * (size + 1)) return false;
  std::string decoded(size + 1, '\0');
  for (std::size_t i = 0; i <= size; ++i) {
    int high = HexDigit(text[2 * i]);
    int low = HexDigit(text[2 * i + 1]);
    if (high < 0 || low < 0) return false;
    decoded[i] = static_cast<char>(high * 16 + low);
  }
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) sum += static_cast<unsigned char>(decoded[i]);
  if ((sum & 0xFF) != static_cast<unsigned char>(decoded[size])) return false;
  if (size > 0) std::memcpy(bytes, decoded.data(), size);
  return true;
}

bool TProfileFile::KeyExists(std::string_view section, std::string_view key) const {
  return FindValueLine(section, key) != nullptr;
}

std::vector<std::pair<std::string, std::string>> TProfileFile::ReadSection(std::string_view section) const {
  std::vector<std::pair<std::string, std::string>> pairs;
  const std::size_t header = FindSection(section);
  if (header == npos) return pairs;
  std::string_view name, key, value;
  for (std::size_t i = header + 1; i < m_lines.size() && !ParseSectionHeader(m_lines[i].Raw, name); ++i) {
    if (ParseKeyLine(m_lines[i].Raw, key, value)) pairs.emplace_back(FromFile(key), FromFile(ValueOf(value)));
  }
  return pairs;
}

void TProfileFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
  std::string line;
  line.reserve(key.size() + 1 + value.size());
  line.append(key).append("=").append(ToFile(value));

  std::size_t header = FindSection(section);
  if (header == npos) {
    std::string headerLine;
    headerLine.reserve(section.size() + 2);
    headerLine.append("[").append(section).append("]");
    m_lines.push_back(TLine{std::move(headerLine)});
    m_lines.push_back(TLine{std::move(line)});
    return;
  }
  std::size_t existing = FindKey(header, key);
  if (existing != npos) {
    m_lines[existing].Raw = std::move(line);
    return;
  }
  // After the section's last key line, so comments and blank lines that end the
  // section stay between it and the next header.
  std::size_t end = SectionEnd(header);
  std::size_t insertAt = header + 1;
  for (std::size_t i = header + 1; i < end; ++i) {
    if (IsKeyLine(m_lines[i].Raw)) insertAt = i + 1;
  }
  m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(insertAt), TLine{std::move(line)});
}

void TProfileFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
  WriteString(section, key, std::to_string(value));
}

void TProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
  WriteString(section, key, value ? "1" : "0");
}

void TProfileFile::WriteStruct(std::string_view section, std::string_view key, const void* bytes,
                               std::size_t size) {
  const unsigned char* data = static_cast<const unsigned char*>(bytes);
  std::string text;
  text.reserve(2 * (size + 1));
  unsigned sum = 0;
  for (std::size_t i = 0; i < size; ++i) {
    AppendHexByte(text, data[i]);
    sum += data[i];
  }
  AppendHexByte(text, static_cast<unsigned char>(sum & 0xFF));
  WriteString(section, key, text);
}

std::string TProfileFile::Text() const {
  std::size_t total = 0;
  for (const TLine& line : m_lines) total += line.Raw.size() + 2;
  std::string text;
  text.reserve(total + kUtf8ByteOrderMark.size());
  if (m_utf8Marked) text.append(kUtf8ByteOrderMark);
  for (const TLine& line : m_lines) text.append(line.Raw).append("\r\n");
  return text;
}

void TProfileFile::Save() const { WriteFileAtomically(m_path, Text()); }

}  // namespace orv
