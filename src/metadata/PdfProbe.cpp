// The PDF probe: the segment walk with its fixed byte searches, the object-stream
// fallback, and the file mapping both work on. The searches are plain byte searches
// with exactly the results of the Perl patterns the probe was first written with
// (m/%PDF-[\.0-9]+/, m/endobj/ split at most 16384 ways, m/\/Count [0-9]+/,
// m/\/N [0-9]+/), so the probe keeps no state between calls and any number of probes
// can run on as many threads.
#include "metadata/PdfProbe.h"

#include "platform/AnsiText.h"
#include "platform/ReadOnlyFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <vector>

namespace orv {

namespace {

// At most this many pieces per segment; the last holds the rest of the segment.
constexpr std::size_t kObjectSplitLimit = 16384;
constexpr std::string_view kPdfHeader = "%PDF-";
constexpr std::string_view kEndObj = "endobj";
constexpr std::string_view kPageTreeCountKey = "/Count ";
constexpr std::string_view kLinearizedPagesKey = "/N ";
constexpr std::size_t kLongestObject = 10240;
// An object stream may inflate to far more than its compressed size; these bound what
// one hostile stream, and one file full of them, can cost.
constexpr std::size_t kMaxInflated = 64u << 20;
constexpr std::size_t kMaxInflatedPerFile = 256u << 20;
// How far from "/ObjStm" the ends of its dictionary are looked for.
constexpr std::size_t kMaxDictionary = 64u << 10;

bool Contains(std::string_view text, std::string_view needle) { return text.find(needle) != std::string_view::npos; }

// The digits of a count as a signed 32-bit value; nothing when they do not fit.
std::optional<std::int32_t> CountValue(std::string_view digits) {
  std::int64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') {
      return std::nullopt;
    }
    value = value * 10 + (c - '0');
    if (value > std::numeric_limits<std::int32_t>::max()) {
      return std::nullopt;
    }
  }
  if (digits.empty()) {
    return std::nullopt;
  }
  return static_cast<std::int32_t>(value);
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsVersionChar(char c) { return IsDigit(c) || c == '.'; }

// The length of the run of chars that pass test at text[pos...].
template <class Test>
std::size_t RunLength(std::string_view text, std::size_t pos, Test test) {
  std::size_t end = pos;
  while (end < text.size() && test(text[end])) ++end;
  return end - pos;
}

// The number after the first occurrence of key (one of the two count keys) that is
// followed by a digit. A count that does not fit is passed over, as if the object had
// none.
std::optional<std::int32_t> FindCount(std::string_view key, std::string_view text) {
  for (std::size_t at = text.find(key); at != std::string_view::npos; at = text.find(key, at + 1)) {
    const std::size_t digits = at + key.size();
    if (const std::size_t length = RunLength(text, digits, IsDigit); length > 0) {
      return CountValue(text.substr(digits, length));
    }
  }
  return std::nullopt;
}

// The version after the first "%PDF-" that is followed by a digit or a dot, or empty.
std::string_view FindVersion(std::string_view segment) {
  for (std::size_t at = segment.find(kPdfHeader); at != std::string_view::npos;
       at = segment.find(kPdfHeader, at + 1)) {
    const std::size_t version = at + kPdfHeader.size();
    if (const std::size_t length = RunLength(segment, version, IsVersionChar); length > 0) {
      return segment.substr(version, length);
    }
  }
  return {};
}

// Cuts segment at every "endobj" into at most kObjectSplitLimit pieces, the last
// holding the rest; a segment without one is a single piece.
void SplitAtEndObj(std::string_view segment, std::vector<std::string_view>& pieces) {
  pieces.clear();
  std::size_t pos = 0;
  bool cut = false;
  while (pos < segment.size() && pieces.size() + 1 < kObjectSplitLimit) {
    const std::size_t hit = segment.find(kEndObj, pos);
    if (hit == std::string_view::npos) break;
    pieces.push_back(segment.substr(pos, hit - pos));
    pos = hit + kEndObj.size();
    cut = true;
  }
  if (pos < segment.size() || cut) {
    pieces.push_back(segment.substr(pos));
  }
}

// The page-tree-root rule: a "/Type /Pages" (or "/Type/Pages") object without
// "/Parent" gives its "/Count N".
std::optional<std::int32_t> PageTreeRootCount(std::string_view object) {
  if (!Contains(object, "/Type /Pages") && !Contains(object, "/Type/Pages")) {
    return std::nullopt;
  }
  if (Contains(object, "/Parent")) {
    return std::nullopt;
  }
  return FindCount(kPageTreeCountKey, object);
}

// ---- The byte scan ----

// Scans one non-empty segment for page counts. The object texts are the pieces
// between "endobj"s, examined in place: "endobj" added back at their ends could create
// none of the keys looked for, so it is left off.
bool ScanSegmentForCounts(std::string_view segment, std::vector<std::string_view>& pieces,
                          std::vector<std::string_view>& objects, TPdfFacts& facts) {
  objects.clear();
  SplitAtEndObj(segment, pieces);
  for (const std::string_view piece : pieces) {
    if (piece.size() <= kLongestObject && !Contains(piece, "stream")) {
      objects.push_back(piece);
    }
  }
  bool found = false;
  for (const std::string_view object : objects) {
    if (!Contains(object, " obj")) {
      continue;
    }
    std::optional<std::int32_t> count;
    if (Contains(object, "/Type /Pages") || Contains(object, "/Type/Pages")) {
      count = PageTreeRootCount(object);
    } else if (Contains(object, "/Linearized")) {
      count = FindCount(kLinearizedPagesKey, object);
    }
    if (count) {
      facts.PageCount = *count;
      found = true;
    }
  }
  return found;
}

// ---- The object-stream fallback ----

bool IsPdfWhite(char c) { return c == '\0' || c == '\t' || c == '\n' || c == '\f' || c == '\r' || c == ' '; }

bool IsPdfDelimiter(char c) {
  return c == '(' || c == ')' || c == '<' || c == '>' || c == '[' || c == ']' || c == '{' || c == '}' || c == '/' ||
         c == '%';
}

// True when a name that ends just before pos really ends there.
bool NameEndsAt(std::string_view text, std::size_t pos) {
  return pos >= text.size() || IsPdfWhite(text[pos]) || IsPdfDelimiter(text[pos]);
}

std::size_t SkipWhite(std::string_view text, std::size_t pos) {
  while (pos < text.size() && IsPdfWhite(text[pos])) ++pos;
  return pos;
}

// The digits at pos as a non-negative number (capped far beyond any real value), and
// where they end; nothing when there are none.
std::optional<std::size_t> ReadNumber(std::string_view text, std::size_t& pos) {
  const std::size_t start = pos;
  std::size_t value = 0;
  while (pos < text.size() && text[pos] >= '0' && text[pos] <= '9') {
    value = std::min<std::size_t>(value * 10 + static_cast<std::size_t>(text[pos] - '0'), std::size_t(1) << 48);
    ++pos;
  }
  if (pos == start) {
    return std::nullopt;
  }
  return value;
}

// The "<<" that opens the dictionary holding pos, searched backwards over nested
// dictionaries but not before floor; npos when there is none.
std::size_t DictionaryStart(std::string_view data, std::size_t pos, std::size_t floor) {
  int depth = 0;
  while (pos >= floor + 2) {
    const char a = data[pos - 2], b = data[pos - 1];
    if (a == '<' && b == '<') {
      if (depth == 0) return pos - 2;
      --depth;
      pos -= 2;
    } else if (a == '>' && b == '>') {
      ++depth;
      pos -= 2;
    } else {
      --pos;
    }
  }
  return std::string_view::npos;
}

// One past the ">>" that closes the dictionary holding pos, searched before ceiling;
// npos when there is none.
std::size_t DictionaryEnd(std::string_view data, std::size_t pos, std::size_t ceiling) {
  int depth = 0;
  while (pos + 2 <= ceiling) {
    const char a = data[pos], b = data[pos + 1];
    if (a == '>' && b == '>') {
      if (depth == 0) return pos + 2;
      --depth;
      pos += 2;
    } else if (a == '<' && b == '<') {
      ++depth;
      pos += 2;
    } else {
      ++pos;
    }
  }
  return std::string_view::npos;
}

// Where the value of key ("/Length", ...) begins among the top-level entries of a
// dictionary (the text inside its outer "<<" and ">>"); npos when the key is missing.
std::size_t FindKey(std::string_view dict, std::string_view key) {
  int depth = 0;
  for (std::size_t i = 0; i < dict.size(); ++i) {
    if (dict.compare(i, 2, "<<") == 0) {
      ++depth;
      ++i;
    } else if (dict.compare(i, 2, ">>") == 0) {
      --depth;
      ++i;
    } else if (depth == 0 && dict.compare(i, key.size(), key) == 0 && NameEndsAt(dict, i + key.size())) {
      return SkipWhite(dict, i + key.size());
    }
  }
  return std::string_view::npos;
}

// A direct integer value of key; nothing when missing or an indirect reference ("5 0 R").
std::optional<std::size_t> DirectInteger(std::string_view dict, std::string_view key) {
  std::size_t pos = FindKey(dict, key);
  if (pos == std::string_view::npos) {
    return std::nullopt;
  }
  const std::optional<std::size_t> value = ReadNumber(dict, pos);
  if (!value) {
    return std::nullopt;
  }
  std::size_t after = SkipWhite(dict, pos);
  if (after > pos && ReadNumber(dict, after)) {
    after = SkipWhite(dict, after);
    if (after < dict.size() && dict[after] == 'R') {
      return std::nullopt;
    }
  }
  return value;
}

// True when the dictionary's only filter is FlateDecode, written alone or as a
// one-element array.
bool FlateDecodeOnly(std::string_view dict) {
  std::size_t pos = FindKey(dict, "/Filter");
  if (pos == std::string_view::npos) {
    return false;
  }
  const bool array = pos < dict.size() && dict[pos] == '[';
  if (array) {
    pos = SkipWhite(dict, pos + 1);
  }
  constexpr std::string_view kFlate = "/FlateDecode";
  if (dict.compare(pos, kFlate.size(), kFlate) != 0 || !NameEndsAt(dict, pos + kFlate.size())) {
    return false;
  }
  pos = SkipWhite(dict, pos + kFlate.size());
  return !array || (pos < dict.size() && dict[pos] == ']');
}

// A zlib inflater kept for all the object streams of one file, with an output buffer
// that only grows: a file may hold very many streams, most of them short.
class TInflater {
public:
  TInflater() { m_ready = inflateInit(&m_stream) == Z_OK; }
  ~TInflater() {
    if (m_ready) inflateEnd(&m_stream);
  }
  TInflater(const TInflater&) = delete;
  TInflater& operator=(const TInflater&) = delete;

  // Inflates input, at most limit bytes of it. Nothing when zlib rejects the data;
  // complete tells whether the result is the whole stream (not when the input ran out
  // or the limit was reached). The result lasts until the next call.
  std::optional<std::string_view> Inflate(std::string_view input, std::size_t limit, bool& complete) {
    complete = false;
    if (!m_ready || inflateReset(&m_stream) != Z_OK) {
      return std::nullopt;
    }
    std::size_t used = 0, consumed = 0;
    int status = Z_OK;
    m_stream.avail_in = 0;
    while (true) {
      if (used == m_buffer.size() || used == limit) {
        if (used >= limit) break;
        m_buffer.resize(std::min(limit, std::max<std::size_t>(m_buffer.size() * 2, 64u << 10)));
      }
      if (m_stream.avail_in == 0) {
        const std::size_t chunk = std::min<std::size_t>(input.size() - consumed, 1u << 30);
        if (chunk == 0) break;
        m_stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data() + consumed));
        m_stream.avail_in = static_cast<uInt>(chunk);
        consumed += chunk;
      }
      const std::size_t room = std::min<std::size_t>(std::min(m_buffer.size(), limit) - used, 1u << 30);
      m_stream.next_out = reinterpret_cast<Bytef*>(m_buffer.data() + used);
      m_stream.avail_out = static_cast<uInt>(room);
      status = inflate(&m_stream, Z_NO_FLUSH);
      used += room - m_stream.avail_out;
      if (status == Z_STREAM_END) {
        complete = true;
        break;
      }
      if (status != Z_OK && status != Z_BUF_ERROR) {
        return std::nullopt;
      }
    }
    return std::string_view(m_buffer.data(), used);
  }

private:
  z_stream m_stream{};
  bool m_ready = false;
  std::string m_buffer;
};

// Applies the page-tree-root rule to the objects of one inflated object stream: n
// pairs of object number and offset, then the objects from first on. An object runs
// to the next one's offset, the last to the end of the stream, which only counts when
// the stream is complete.
void ScanObjectStream(std::string_view content, std::size_t n, std::size_t first, bool complete,
                      TPdfFacts& facts) {
  if (first > content.size()) {
    return;
  }
  const std::string_view header = content.substr(0, first);
  std::size_t pos = 0;
  std::optional<std::size_t> previous;
  const auto examine = [&](std::size_t start, std::size_t end) {
    if (std::optional<std::int32_t> count = PageTreeRootCount(content.substr(start, end - start))) {
      facts.PageCount = *count;
    }
  };
  for (std::size_t i = 0; i < n; ++i) {
    pos = SkipWhite(header, pos);
    const std::optional<std::size_t> number = ReadNumber(header, pos);
    pos = SkipWhite(header, pos);
    const std::optional<std::size_t> offset = ReadNumber(header, pos);
    // A damaged table leaves the extent of every object after it unknown.
    if (!number || !offset || *offset > content.size() - first) return;
    const std::size_t start = first + *offset;
    if (previous) {
      if (start < *previous) return;
      examine(*previous, start);
    }
    previous = start;
  }
  if (previous && complete) {
    examine(*previous, content.size());
  }
}

void ScanObjectStreams(std::string_view data, TPdfFacts& facts) {
  constexpr std::string_view kObjStm = "/ObjStm";
  constexpr std::string_view kType = "/Type";
  constexpr std::string_view kStream = "stream";
  TInflater inflater;
  std::size_t budget = kMaxInflatedPerFile;
  // Every byte is looked at a bounded number of times however many "/ObjStm" a hostile
  // file holds: a dictionary is searched for no further back than the last one's end,
  // and the search goes on after this one's end.
  std::size_t pos = 0;
  for (std::size_t hit; budget > 0 && (hit = data.find(kObjStm, pos)) != std::string_view::npos;) {
    const std::size_t floor = pos;
    pos = hit + kObjStm.size();
    if (!NameEndsAt(data, pos)) continue;
    std::size_t typeEnd = hit;
    while (typeEnd > floor && IsPdfWhite(data[typeEnd - 1])) --typeEnd;
    if (typeEnd < floor + kType.size() || data.compare(typeEnd - kType.size(), kType.size(), kType) != 0) continue;

    const std::size_t ceiling = std::min(data.size(), pos + kMaxDictionary);
    const std::size_t dictEnd = DictionaryEnd(data, pos, ceiling);
    if (dictEnd == std::string_view::npos) {
      pos = ceiling;
      continue;
    }
    const std::size_t dictStart =
        DictionaryStart(data, typeEnd - kType.size(), std::max(floor, hit > kMaxDictionary ? hit - kMaxDictionary : 0));
    pos = dictEnd;
    if (dictStart == std::string_view::npos) continue;
    std::size_t body = SkipWhite(data, dictEnd);
    if (data.compare(body, kStream.size(), kStream) != 0) continue;
    body += kStream.size();
    if (data.compare(body, 2, "\r\n") == 0) {
      body += 2;
    } else if (body < data.size() && (data[body] == '\n' || data[body] == '\r')) {
      ++body;
    } else {
      continue;
    }

    const std::string_view dict = data.substr(dictStart + 2, dictEnd - 2 - (dictStart + 2));
    const std::optional<std::size_t> n = DirectInteger(dict, "/N");
    const std::optional<std::size_t> first = DirectInteger(dict, "/First");
    if (!FlateDecodeOnly(dict) || !n || !first) continue;
    // Without a direct /Length the stream runs at most to the end of the data; zlib
    // finds its end by itself.
    std::size_t length = data.size() - body;
    if (const std::optional<std::size_t> given = DirectInteger(dict, "/Length")) {
      length = std::min(length, *given);
    }
    bool complete = false;
    if (const auto inflated = inflater.Inflate(data.substr(body, length), std::min(budget, kMaxInflated), complete)) {
      budget -= inflated->size();
      ScanObjectStream(*inflated, *n, *first, complete, facts);
    }
  }
}

// ---- The segment walk ----

constexpr std::size_t kMonitorStep = 1u << 20;

// The first byte at or after pos that is not NUL, or data.size(). Runs of NULs (a
// sparse or zero-filled file) are passed eight bytes at a time: each would otherwise
// start an empty segment of its own.
std::size_t SkipNuls(std::string_view data, std::size_t pos) {
  const char* bytes = data.data();
  while (pos + sizeof(std::uint64_t) <= data.size()) {
    std::uint64_t word;
    std::memcpy(&word, bytes + pos, sizeof word);
    if (word != 0) break;
    pos += sizeof word;
  }
  while (pos < data.size() && bytes[pos] == '\0') ++pos;
  return pos;
}

}  // namespace

void ProbePdfData(std::string_view data, bool pageCount, TPdfFacts& facts, TReadMonitor* monitor) noexcept {
  bool countFound = false;
  try {
    std::vector<std::string_view> pieces;
    std::vector<std::string_view> objects;
    std::size_t reported = 0;
    for (std::size_t pos = SkipNuls(data, 0); pos < data.size(); pos = SkipNuls(data, pos)) {
      if (monitor && pos - reported >= kMonitorStep) {
        reported = pos;
        if (!monitor->Advance(static_cast<int64_t>(pos), static_cast<int64_t>(data.size()))) return;
      }
      const void* nul = std::memchr(data.data() + pos, 0, data.size() - pos);
      const std::size_t end = nul != nullptr ? static_cast<std::size_t>(static_cast<const char*>(nul) - data.data())
                                             : data.size();
      const std::string_view segment = data.substr(pos, end - pos);
      pos = end + 1;
      if (segment.empty()) {
        continue;
      }
      if (facts.Version.empty()) {
        facts.Version.assign(FindVersion(segment));
      }
      if (!pageCount) {
        break;
      }
      if (ScanSegmentForCounts(segment, pieces, objects, facts)) {
        countFound = true;
      }
    }
  } catch (...) {
    // Only a failing allocation can land here; what was found so far stands.
    return;
  }
  if (pageCount && !countFound && !facts.Version.empty()) {
    try {
      ScanObjectStreams(data, facts);
    } catch (...) {
      // As above: the count stays as it was.
    }
  }
}

bool IsPdfExtension(std::string_view extension) noexcept { return AnsiSameText(extension, "pdf"); }

void ProbePdf(std::string_view extension, const std::string& nativePath, bool pageCount, TPdfFacts& facts,
              TReadMonitor* monitor) noexcept {
  if (!IsPdfExtension(extension)) {
    return;
  }
  TMappedFile file;
  if (file.Open(nativePath)) {
    ProbePdfData(file.Data(), pageCount, facts, monitor);
  }
}

bool ReadPdfFacts(const std::string& nativePath, std::string_view extension, bool pdfFileVersion, bool pdfPageCount,
                  TPdfFacts& facts, TReadMonitor* monitor) noexcept {
  facts.Version.clear();
  facts.PageCount = 0;
  if (!pdfFileVersion && !pdfPageCount) {
    return false;
  }
  ProbePdf(extension, nativePath, pdfPageCount, facts, monitor);
  return !facts.Version.empty() || facts.PageCount != 0;
}

bool ProbePdfContents(std::string_view contents, bool pdfPageCount, TPdfFacts& facts,
                      TReadMonitor* monitor) noexcept {
  facts.Version.clear();
  facts.PageCount = 0;
  ProbePdfData(contents, pdfPageCount, facts, monitor);
  return !facts.Version.empty() || facts.PageCount != 0;
}

}  // namespace orv
