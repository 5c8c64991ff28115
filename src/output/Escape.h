// Escaping of values for the three listing syntaxes.
//
// The characters these rules change ("&", "<", ">", the quotation mark, the
// apostrophe, "#" and the controls) all lie below 0x40, so none of them can be the
// trail byte of a double-byte CP932 character: finding them byte by byte finds exactly
// those characters in valid text, and in damaged text (a lead byte followed by one of
// them, as a raw Exif string may hold) still escapes them, so no value can end a
// quoted attribute or open a tag.
#pragma once

#include <string>
#include <string_view>

namespace orv {

// "&" -> "&amp;", ">" -> "&gt;", "<" -> "&lt;", '"' -> "&quot;", "'" -> "&#39;".
std::string HtmlEscape(std::string_view text);
void AppendHtmlEscaped(std::string& out, std::string_view text);

// A link to a file-system path, from its native (file-system) bytes: every byte that
// is not an unreserved URL character (RFC 3986: letters, digits, "-", ".", "_", "~")
// or "/" is percent-encoded with upper-case digits, so the link opens exactly that
// path whatever its name holds ("%", "?", "#", spaces, line breaks, bytes that are not
// UTF-8). The result holds no character that HTML or XML would have to escape.
std::string LinkEscape(std::string_view nativePath);
void AppendLinkEscaped(std::string& out, std::string_view nativePath);

// The text in double quotes with every double quote doubled; always quoted. For the
// numbers the program writes itself (sizes, counts), which spreadsheets must read as
// numbers.
std::string CsvQuote(std::string_view text);
void AppendCsvQuoted(std::string& out, std::string_view text);

// As AppendCsvQuoted, for a text that came from outside (a name, a path, a version
// string, an Exif text): one that begins with a character spreadsheet programs take
// as the start of a formula ("=", "+", "-", "@", tab, CR) gets an apostrophe in front,
// inside the quotes, so that the program shows it as text instead of evaluating it.
// A name "-foo.txt" counts too: Excel evaluates it as a formula.
void AppendCsvText(std::string& out, std::string_view text);

// For XML attribute values: "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;",
// '"' -> "&quot;", "'" -> "&apos;"; a control character other than tab, LF and CR
// becomes "?". Every other byte passes unchanged. LF and CR pass unchanged.
std::string XmlEscape(std::string_view text);
// As XmlEscape, writing tab, LF and CR as "&#9;", "&#10;" and "&#13;": a parser turns
// those characters into spaces when they stand in an attribute themselves, so only
// the references bring a name with a line break back as it is.
void AppendXmlAttributeValue(std::string& out, std::string_view text);

}  // namespace orv
