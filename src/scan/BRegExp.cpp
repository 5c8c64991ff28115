// The regular-expression adapter on PCRE2: reads the Perl match-operator form, keeps
// one compiled pattern keyed by its exact text, and holds the parts of the last match
// or the pieces of the last split as byte ranges of the caller's subject.
#define PCRE2_CODE_UNIT_WIDTH 8
#include "scan/BRegExp.h"

#include "platform/AnsiText.h"
#include "platform/CodePage.h"
#include "platform/Utf8.h"

#include <pcre2.h>

#include <algorithm>
#include <limits>
#include <new>

namespace orv {

namespace {

constexpr char kNoCountNow[] = "no count now";
constexpr char kNoStringsNow[] = "no strings now";
constexpr char kIndexOutOfRange[] = "index out of range";

struct TParsedPattern {
  std::string Expression;
  std::uint32_t Options = 0;
  bool Kanji = false;
};

bool IsDelimiterChar(char c) {
  const unsigned char u = static_cast<unsigned char>(c);
  return u > 0x20 && u < 0x7F && !(c >= '0' && c <= '9') && !(c >= 'A' && c <= 'Z') && !(c >= 'a' && c <= 'z') &&
         c != '\\';
}

char ClosingPartner(char open) {
  switch (open) {
  case '(':
    return ')';
  case '[':
    return ']';
  case '{':
    return '}';
  case '<':
    return '>';
  default:
    return open;
  }
}

std::string Quoted(char c) { return std::string("\"") + c + "\""; }

// Reads "m/expr/flags" or "/expr/flags". wholeChars makes the scan step over double-byte
// characters, so that a trail byte is taken neither for "\" nor for the delimiter;
// the "k" modifier asks for exactly that, but it is only known once the scan is done,
// so the caller scans both ways (see Parse).
bool ScanPattern(std::string_view text, bool wholeChars, TParsedPattern& out, std::string& error) {
  std::size_t pos = 0;
  if (!text.empty() && text[0] == 'm') {
    pos = 1;
    if (pos >= text.size() || !IsDelimiterChar(text[pos])) {
      error = "the pattern needs a punctuation character as its delimiter after \"m\"";
      return false;
    }
  } else if (text.empty() || text[0] != '/') {
    error = "the pattern must be written as m/expression/ or /expression/";
    return false;
  }
  const char open = text[pos];
  const char close = ClosingPartner(open);
  const bool nests = close != open;
  ++pos;

  out.Expression.clear();
  int depth = 0;
  bool closed = false;
  while (pos < text.size()) {
    const std::size_t length = wholeChars ? CharLength(text, pos) : 1;
    const char c = text[pos];
    if (length == 1 && c == '\\' && pos + 1 < text.size()) {
      // The escaped character travels with its backslash: "\" before punctuation is a
      // literal in the expression, so an escaped delimiter is the delimiter itself.
      const std::size_t escaped = wholeChars ? CharLength(text, pos + 1) : 1;
      out.Expression.append(text.substr(pos, 1 + escaped));
      pos += 1 + escaped;
      continue;
    }
    if (length == 1 && nests && c == open) {
      ++depth;
    } else if (length == 1 && c == close) {
      if (depth == 0) {
        closed = true;
        ++pos;
        break;
      }
      --depth;
    }
    out.Expression.append(text.substr(pos, length));
    pos += length;
  }
  if (!closed) {
    error = "the closing delimiter " + Quoted(close) + " of the pattern is missing";
    return false;
  }

  out.Options = 0;
  out.Kanji = false;
  for (; pos < text.size(); ++pos) {
    switch (text[pos]) {
    case 'i':
      out.Options |= PCRE2_CASELESS;
      break;
    case 'm':
      out.Options |= PCRE2_MULTILINE;
      break;
    case 's':
      out.Options |= PCRE2_DOTALL;
      break;
    case 'x':
      out.Options |= PCRE2_EXTENDED;
      break;
    case 'g':
    case 'o':
      break;
    case 'k':
      out.Kanji = true;
      break;
    default:
      error = "unknown modifier " + Quoted(text[pos]) + " after the pattern";
      return false;
    }
  }
  return true;
}

TParsedPattern Parse(std::string_view text) {
  TParsedPattern parsed;
  std::string error;
  // A pattern with "k" is read character by character; any other is read byte by
  // byte. The two readings differ only where a trail byte is "\" or the delimiter.
  if (ScanPattern(text, true, parsed, error) && parsed.Kanji) {
    return parsed;
  }
  error.clear();
  if (!ScanPattern(text, false, parsed, error)) {
    throw EBRegExpError(error);
  }
  return parsed;
}

std::string EngineMessage(int code) {
  PCRE2_UCHAR buffer[256];
  if (pcre2_get_error_message(code, buffer, sizeof buffer) < 0) {
    return "regular expression error " + std::to_string(code);
  }
  return reinterpret_cast<const char*>(buffer);
}

// Bytes in the CP932 character at text[pos] as iconv reads it: a lead byte takes the
// next byte only when that is a possible trail byte. Each such character becomes one
// code point in UTF-8.
std::size_t ConvertedCharLength(std::string_view text, std::size_t pos) {
  if (IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size()) {
    const unsigned char trail = static_cast<unsigned char>(text[pos + 1]);
    if (trail >= 0x40 && trail <= 0xFC && trail != 0x7F) {
      return 2;
    }
  }
  return 1;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) {
      return false;
    }
  }
  return true;
}

}  // namespace

TBRegExp::TBRegExp() = default;

TBRegExp::~TBRegExp() {
  Release();
  pcre2_match_data_free(m_matchData);
}

void TBRegExp::Release() {
  pcre2_code_free(m_code);
  m_code = nullptr;
  m_patternText.clear();
}

void TBRegExp::Prepare(std::string_view pattern) {
  // A pattern compiles differently in the other code page: the cache holds one text
  // in one code page.
  const TCodePage codePage = ActiveCodePage();
  if (m_code != nullptr && pattern == m_patternText && codePage == m_codePage) {
    return;
  }
  Release();
  const TParsedPattern parsed = Parse(pattern);
  std::uint32_t options = parsed.Options;
  std::string utf8Expression;
  std::string_view expression = parsed.Expression;
  if (codePage == CodePageUtf8) {
    // The program's text is UTF-8 already: whole characters with or without "k", and
    // a malformed name is matched as far as it is valid rather than refused.
    options |= PCRE2_UTF | PCRE2_MATCH_INVALID_UTF;
  } else if (parsed.Kanji) {
    // "\C" could end a part inside a character, which has no CP932 offset.
    options |= PCRE2_UTF | PCRE2_NEVER_BACKSLASH_C;
    utf8Expression = AnsiToUtf8(parsed.Expression);
    expression = utf8Expression;
  } else {
    // CP932 subjects are not UTF-8: "(*UTF)" in a pattern would only make every match fail.
    options |= PCRE2_NEVER_UTF;
  }
  int errorCode = 0;
  PCRE2_SIZE errorOffset = 0;
  pcre2_code* code = pcre2_compile(reinterpret_cast<PCRE2_SPTR>(expression.data()), expression.size(), options,
                                   &errorCode, &errorOffset, nullptr);
  ++m_compileCount;
  if (code == nullptr) {
    throw EBRegExpError(EngineMessage(errorCode));
  }
  std::uint32_t captures = 0;
  pcre2_pattern_info(code, PCRE2_INFO_CAPTURECOUNT, &captures);
  if (m_matchData == nullptr || pcre2_get_ovector_count(m_matchData) < captures + 1) {
    pcre2_match_data* data = pcre2_match_data_create(std::max<std::uint32_t>(captures + 1, 16), nullptr);
    if (data == nullptr) {
      pcre2_code_free(code);
      throw std::bad_alloc();
    }
    pcre2_match_data_free(m_matchData);
    m_matchData = data;
  }
  m_code = code;
  m_patternText.assign(pattern);
  m_kanji = parsed.Kanji && codePage != CodePageUtf8;
  m_codePage = codePage;
  m_groupCount = static_cast<int>(captures);
}

std::string_view TBRegExp::EngineSubject(std::string_view subject) {
  m_subject = subject;
  m_converted = m_kanji && !IsAscii(subject);
  if (!m_converted) {
    // PCRE2 refuses a null subject pointer even with length 0.
    return subject.data() != nullptr ? subject : std::string_view("", 0);
  }
  m_utf8 = AnsiToUtf8(subject);
  m_utf8ToAnsi.assign(m_utf8.size() + 1, subject.size());
  std::size_t from = 0, to = 0;
  while (from < subject.size() && to < m_utf8.size()) {
    const std::size_t length = DecodeUtf8(std::string_view(m_utf8).substr(to)).Length;
    for (std::size_t k = 0; k < length && to + k < m_utf8.size(); ++k) {
      m_utf8ToAnsi[to + k] = from;
    }
    from += ConvertedCharLength(subject, from);
    to += length;
  }
  if (from != subject.size() || to != m_utf8.size()) {
    // The converter did not give one code point per character after all: convert one
    // character at a time, which keeps the table right at some cost in speed.
    m_utf8.clear();
    m_utf8ToAnsi.clear();
    for (from = 0; from < subject.size();) {
      const std::size_t length = ConvertedCharLength(subject, from);
      const std::string piece = AnsiToUtf8(subject.substr(from, length));
      m_utf8 += piece;
      m_utf8ToAnsi.insert(m_utf8ToAnsi.end(), piece.size(), from);
      from += length;
    }
    m_utf8ToAnsi.push_back(subject.size());
  }
  return m_utf8;
}

std::size_t TBRegExp::ToSubjectOffset(std::size_t engineOffset) const {
  if (!m_converted) {
    return engineOffset;
  }
  return engineOffset < m_utf8ToAnsi.size() ? m_utf8ToAnsi[engineOffset] : m_subject.size();
}

void TBRegExp::RaiseEngineError(int code) {
  m_resultKind = TResultKind::None;
  throw EBRegExpError(EngineMessage(code));
}

bool TBRegExp::Match(std::string_view pattern, std::string_view subject) {
  m_resultKind = TResultKind::None;
  Prepare(pattern);
  const std::string_view engineSubject = EngineSubject(subject);
  const int result = pcre2_match(m_code, reinterpret_cast<PCRE2_SPTR>(engineSubject.data()), engineSubject.size(),
                                 0, 0, m_matchData, nullptr);
  if (result == PCRE2_ERROR_NOMATCH) {
    return false;
  }
  if (result < 0) {
    RaiseEngineError(result);
  }
  const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData);
  m_parts.clear();
  for (int i = 0; i <= m_groupCount; ++i) {
    const PCRE2_SIZE start = ovector[2 * i], end = ovector[2 * i + 1];
    if (i >= result || start == PCRE2_UNSET || start > end) {
      // A group that took no part in the match (or a \K that moved the start past the end).
      m_parts.emplace_back(0, 0);
    } else {
      m_parts.emplace_back(ToSubjectOffset(start), ToSubjectOffset(end));
    }
  }
  m_resultKind = TResultKind::Match;
  return true;
}

bool TBRegExp::Split(std::string_view pattern, std::string_view subject, int limit) {
  m_resultKind = TResultKind::None;
  Prepare(pattern);
  const std::string_view engineSubject = EngineSubject(subject);
  const auto* data = reinterpret_cast<PCRE2_SPTR>(engineSubject.data());
  const std::size_t end = engineSubject.size();

  m_parts.clear();
  // As in Perl: limit counts the pieces; without a limit the loop ends with the subject.
  long long remaining = limit > 0 ? limit : std::numeric_limits<long long>::max();
  std::size_t pos = 0;
  bool matched = false;
  while (pos < end && --remaining > 0) {
    // Each separator must end past the current position, so an empty match is never
    // taken where the previous one ended and every step makes progress.
    const int result = pcre2_match(m_code, data, end, pos, PCRE2_NOTEMPTY_ATSTART, m_matchData, nullptr);
    if (result == PCRE2_ERROR_NOMATCH) {
      break;
    }
    if (result < 0) {
      RaiseEngineError(result);
    }
    const PCRE2_SIZE* ovector = pcre2_get_ovector_pointer(m_matchData);
    const std::size_t matchStart = ovector[0], matchEnd = ovector[1];
    if (matchEnd <= pos || matchStart > matchEnd) {
      break;  // cannot happen with the options above; never loop without progress
    }
    m_parts.emplace_back(ToSubjectOffset(pos), ToSubjectOffset(matchStart));
    pos = matchEnd;
    matched = true;
  }
  if (pos < end || (matched && limit != 0)) {
    m_parts.emplace_back(ToSubjectOffset(pos), subject.size());
  }
  if (limit == 0) {
    while (!m_parts.empty() && m_parts.back().first == m_parts.back().second) {
      m_parts.pop_back();
    }
  }
  m_resultKind = TResultKind::Split;
  return matched;
}

int TBRegExp::PartCount() const {
  switch (m_resultKind) {
  case TResultKind::Match:
    return m_groupCount + 1;
  case TResultKind::Split:
    return static_cast<int>(m_parts.size());
  case TResultKind::None:
    break;
  }
  throw EBRegExpError(kNoCountNow);
}

void TBRegExp::CheckIndex(int index) const {
  if (m_resultKind == TResultKind::None) {
    throw EBRegExpError(kNoStringsNow);
  }
  if (index < 0 || index >= PartCount()) {
    throw EBRegExpError(kIndexOutOfRange);
  }
}

std::string_view TBRegExp::PartView(int index) const {
  CheckIndex(index);
  const auto& [start, end] = m_parts[static_cast<std::size_t>(index)];
  return m_subject.substr(start, end - start);
}

std::string TBRegExp::Part(int index) const { return std::string(PartView(index)); }

}  // namespace orv
