// Escaping for HTML, links, CSV and XML, each in one pass over the text.
#include "output/Escape.h"

#include <algorithm>

namespace orv {

namespace {

// Copies text to out, replacing each byte for which replacement gives a text. The
// common case, a value with nothing to replace, is one append.
template <typename TReplacement>
void AppendReplaced(std::string& out, std::string_view text, std::string_view special, TReplacement replacement) {
  std::size_t done = 0;
  for (std::size_t at = text.find_first_of(special); at != std::string_view::npos;
       at = text.find_first_of(special, at + 1)) {
    out.append(text.substr(done, at - done));
    out.append(replacement(text[at]));
    done = at + 1;
  }
  out.append(text.substr(done));
}

std::string_view HtmlEntity(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '>': return "&gt;";
    case '<': return "&lt;";
    case '"': return "&quot;";
    case '\'': return "&#39;";
    default: return {};
  }
}

constexpr std::string_view kHtmlSpecial = "&<>\"'";
// The first characters of a cell that Excel and LibreOffice Calc read as a formula.
constexpr std::string_view kCsvFormulaStart = "=+-@\t\r";

void AppendCsvField(std::string& out, std::string_view prefix, std::string_view text) {
  out += '"';
  out += prefix;
  AppendReplaced(out, text, "\"", [](char) { return std::string_view("\"\""); });
  out += '"';
}

bool IsUnreservedOrDelimiter(unsigned char c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '-' || c == '.' ||
         c == '_' || c == '~' || c == '/';
}

// attribute: tab, LF and CR as character references, which an XML parser keeps (it
// turns the characters themselves into spaces), so a name or comment with a line
// break reads back as it is.
void AppendXml(std::string& out, std::string_view text, bool attribute) {
  const bool plain = std::none_of(text.begin(), text.end(), [](char c) {
    const auto b = static_cast<unsigned char>(c);
    return b < 0x20 || b == '&' || b == '<' || b == '>' || b == '"' || b == '\'';
  });
  if (plain) {
    out.append(text);
    return;
  }
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto b = static_cast<unsigned char>(text[i]);
    switch (b) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      case '\'': out += "&apos;"; break;
      case '\n': out += attribute ? "&#10;" : "\n"; break;
      case '\r': out += attribute ? "&#13;" : "\r"; break;
      case '\t': out += attribute ? "&#9;" : "\t"; break;
      default: out += b < 0x20 ? '?' : static_cast<char>(b); break;
    }
  }
}

}  // namespace

void AppendHtmlEscaped(std::string& out, std::string_view text) { AppendReplaced(out, text, kHtmlSpecial, HtmlEntity); }

std::string HtmlEscape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  AppendHtmlEscaped(result, text);
  return result;
}

void AppendLinkEscaped(std::string& out, std::string_view nativePath) {
  constexpr char kHexDigits[] = "0123456789ABCDEF";
  for (const char c : nativePath) {
    const auto b = static_cast<unsigned char>(c);
    if (IsUnreservedOrDelimiter(b)) {
      out += c;
    } else {
      out += '%';
      out += kHexDigits[b >> 4];
      out += kHexDigits[b & 0x0F];
    }
  }
}

std::string LinkEscape(std::string_view nativePath) {
  std::string result;
  result.reserve(nativePath.size());
  AppendLinkEscaped(result, nativePath);
  return result;
}

void AppendCsvQuoted(std::string& out, std::string_view text) { AppendCsvField(out, {}, text); }

void AppendCsvText(std::string& out, std::string_view text) {
  const bool formulaStart = !text.empty() && kCsvFormulaStart.find(text.front()) != std::string_view::npos;
  AppendCsvField(out, formulaStart ? "'" : "", text);
}

std::string CsvQuote(std::string_view text) {
  std::string result;
  result.reserve(text.size() + 2);
  AppendCsvQuoted(result, text);
  return result;
}

std::string XmlEscape(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  AppendXml(result, text, false);
  return result;
}

void AppendXmlAttributeValue(std::string& out, std::string_view text) { AppendXml(out, text, true); }

}  // namespace orv
