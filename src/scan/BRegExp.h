// TBRegExp: the one place where the program evaluates regular expressions. The scan
// filters own one for the user's file-name pattern: the run checks the pattern with
// it before the walk and tests every file against it. PCRE2 does the matching, on
// bytes, so CP932 text is matched as it is held.
//
// Pattern texts are written as a Perl match operator: an optional "m", a delimiter
// ("/"; after "m" any ASCII punctuation character except "\"), the expression up to
// the next unescaped delimiter, then modifier letters:
//   i  case-insensitive      m  "^" and "$" also at line breaks
//   s  "." matches a newline  x  white space and #-comments in the expression ignored
//   g, o  accepted and ignored (one match is all an operation ever needs)
//   k  whole Shift_JIS characters: the subject and the expression are matched as
//      characters, so a trail byte is never taken for an ASCII character. Under the
//      UTF-8 code page every pattern matches whole characters, so "k" changes nothing.
// The bracket delimiters "(", "[", "{", "<" close with their partner and nest, as in
// Perl. A delimiter escaped with "\" always stands for the delimiter character itself;
// the backslash stays in the expression, where "\" before punctuation is a literal.
// (Perl drops the backslash, so there m|a\|b| is an alternation; here it matches the
// text "a|b", which is what someone escaping the delimiter means.)
//
// With "k" the expression is PCRE2 syntax over Unicode characters: "\x{...}" and
// classes name Unicode code points, and "\C" (one byte) is refused.
//
// Errors: every operation raises EBRegExpError; a pattern PCRE2 cannot compile, or a
// match PCRE2 gives up on (its match, depth or heap limit), raises with PCRE2's own
// message text, so a match that was not decided is never taken for "no match".
//
// Not thread-safe: an adapter holds one compiled pattern and one result, and belongs
// to one owner on one thread at a time. A result stays readable only until that
// owner's next Match or Split, and its parts are cut out of the subject that call was
// given, which the caller keeps unchanged (and alive) until it has read them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <type_traits>
#include <utility>
#include <vector>

struct pcre2_real_code_8;
struct pcre2_real_match_data_8;

namespace orv {

class EBRegExpError : public std::runtime_error {
public:
  using std::runtime_error::runtime_error;
};

// Where a user whose pattern was refused can read the expression syntax.
inline constexpr std::string_view kPatternSyntaxUrl = "https://www.pcre.org/current/doc/html/pcre2pattern.html";

class TBRegExp {
public:
  TBRegExp();
  ~TBRegExp();
  TBRegExp(const TBRegExp&) = delete;
  TBRegExp& operator=(const TBRegExp&) = delete;

  // True when pattern occurs in subject; its parts can then be read (part 0 the whole
  // match, part i the i-th parenthesised group). A failed match holds no result.
  bool Match(std::string_view pattern, std::string_view subject);

  // Cuts subject at every match of pattern, as Perl's split does without capture
  // groups: the pieces between the matches, separators dropped; a match of positive
  // length at the start gives an empty first piece, an empty match there none. With
  // limit > 0 there are at most limit pieces, the last holding the rest of the subject;
  // limit < 0 means no limit; limit 0 no limit and trailing empty pieces dropped. An
  // empty subject has no pieces. The pieces can be read whatever the result, which is
  // true when the pattern matched at least once.
  bool Split(std::string_view pattern, std::string_view subject, int limit);

  // A temporary string as the subject would be gone before its parts are read.
  template <class S>
    requires std::is_same_v<S, std::string>
  bool Match(std::string_view pattern, S&& subject) = delete;
  template <class S>
    requires std::is_same_v<S, std::string>
  bool Split(std::string_view pattern, S&& subject, int limit) = delete;

  // After a match: the number of groups in the pattern plus one. After a split: the
  // number of pieces. Raises "no count now" when no result is held.
  int PartCount() const;

  // A copy of one part or piece. Raises "no strings now" when no result is held and
  // "index out of range" for an index below 0 or not below PartCount().
  std::string Part(int index) const;
  // The same bytes without a copy: a view into the subject of the last call.
  std::string_view PartView(int index) const;

  // How many times a pattern text has been compiled (the cache's effect, observable).
  std::uint64_t CompileCount() const { return m_compileCount; }

private:
  enum class TResultKind : std::uint8_t { None = 0, Match = 1, Split = 2 };

  void Prepare(std::string_view pattern);
  void Release();
  // The subject as PCRE2 sees it: the bytes themselves, or their UTF-8 form with the
  // table back to CP932 offsets when the pattern was compiled with "k".
  std::string_view EngineSubject(std::string_view subject);
  std::size_t ToSubjectOffset(std::size_t engineOffset) const;
  [[noreturn]] void RaiseEngineError(int code);
  void CheckIndex(int index) const;

  pcre2_real_code_8* m_code = nullptr;
  pcre2_real_match_data_8* m_matchData = nullptr;
  std::string m_patternText;  // the text m_code was compiled from
  int m_codePage = 0;         // and the code page it was compiled in
  bool m_kanji = false;
  int m_groupCount = 0;
  std::uint64_t m_compileCount = 0;

  TResultKind m_resultKind = TResultKind::None;
  std::string_view m_subject;
  // Byte ranges in m_subject: the parts of the match, or the pieces of the split.
  std::vector<std::pair<std::size_t, std::size_t>> m_parts;

  // "k" mode working buffers, kept to avoid reallocation per call.
  bool m_converted = false;
  std::string m_utf8;
  std::vector<std::size_t> m_utf8ToAnsi;
};

}  // namespace orv
