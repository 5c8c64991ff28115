// Private-profile (INI) files with the Windows semantics the stored files rely on.
//
// Reading: section and key names match without regard to case (ASCII letters), the
// first matching section and the first matching key in it win; the value is trimmed
// of surrounding spaces and tabs and one pair of matching quotes (" or ') is
// stripped; values are cut to 2047 bytes (never inside a double-byte character); a
// missing file, section or key gives the default.
// Writing: every other line of the file is kept as it was; an existing key's line is
// replaced, a missing key is appended after the last key line of its section, a
// missing section is appended at the end of the file. Lines end in CR LF.
// Text is in the program's code page, stored unchanged; a file that starts with a UTF-8
// byte-order mark holds UTF-8 whatever the code page, so its texts are converted on
// the way in and out, and it keeps its mark.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace orv {

// Parses an integer as the settings file writes and users hand-edit it: decimal with
// an optional sign, or hexadecimal after "$", "0x" or "0X" (also after a sign). The
// whole text must be the number and fit in 32 bits (hex up to 8 digits, taken as the
// two's complement bit pattern). False otherwise.
bool ParseProfileInteger(std::string_view text, int32_t& value);

class TProfileFile {
public:
  // An empty profile bound to a native path; nothing is read yet.
  explicit TProfileFile(std::string nativePath);

  // Reads the file. A missing or unreadable file leaves the profile empty and returns
  // false; that is not an error for the caller.
  bool Load();
  // Loads from bytes instead of the file (tests, and callers that read it elsewhere).
  void LoadFromText(std::string_view contents);

  std::string ReadString(std::string_view section, std::string_view key, std::string_view def) const;
  // StrToIntDef semantics: a missing key or a text that is not a number gives def.
  int32_t ReadInteger(std::string_view section, std::string_view key, int32_t def) const;
  // ReadInteger with 1/0 as the default; any number other than 0 is true.
  bool ReadBool(std::string_view section, std::string_view key, bool def) const;
  // The struct-in-profile format: two upper-case hex digits per byte, then the
  // checksum byte (sum of the bytes mod 256). True only when the key exists, holds
  // exactly size+1 bytes and the checksum matches; bytes is filled only then.
  bool ReadStruct(std::string_view section, std::string_view key, void* bytes, std::size_t size) const;
  bool KeyExists(std::string_view section, std::string_view key) const;
  // Every key of the first matching section with its value read as ReadString reads
  // it, in file order. A key that appears twice is listed twice; the first one is the
  // one ReadString finds.
  std::vector<std::pair<std::string, std::string>> ReadSection(std::string_view section) const;

  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, int32_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteStruct(std::string_view section, std::string_view key, const void* bytes, std::size_t size);

  // The whole file as it would be saved.
  std::string Text() const;
  // Saves the whole file in one step (temporary file and rename). Throws EOSError.
  void Save() const;

  const std::string& Path() const { return m_path; }

private:
  struct TLine {
    std::string Raw;        // the line as read or written, without its line end
  };
  // Index of the section header line, or npos.
  std::size_t FindSection(std::string_view section) const;
  // Index of the key's line within the section starting at header, or npos.
  std::size_t FindKey(std::size_t header, std::string_view key) const;
  // Index one past the last line of the section starting at header.
  std::size_t SectionEnd(std::size_t header) const;
  const std::string* FindValueLine(std::string_view section, std::string_view key) const;

  // A text of the file as the program holds it, and back.
  std::string FromFile(std::string_view text) const;
  std::string ToFile(std::string_view text) const;

  std::string m_path;
  std::vector<TLine> m_lines;
  bool m_utf8Marked = false;
};

}  // namespace orv
