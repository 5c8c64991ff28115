// The headless run host: automatic mode on a machine without a display.
#include "run/HeadlessRunHost.h"

#include "platform/CodePage.h"
#include "platform/Console.h"
#include "platform/Launch.h"

#include <vector>

namespace orv {

namespace {

// Redrawing more often than this only costs time; the eye cannot follow it.
constexpr int64_t kDrawIntervalMs = 100;

// Decodes one UTF-8 sequence at s[i], returning its length and code point.
std::size_t DecodeUtf8(const std::string& s, std::size_t i, char32_t& code) {
  const auto b = static_cast<unsigned char>(s[i]);
  std::size_t length = b < 0x80 ? 1 : b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
  if (i + length > s.size()) length = 1;
  code = length == 1 ? b : b & (0x7F >> length);
  for (std::size_t k = 1; k < length; ++k) {
    code = (code << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
  }
  return length;
}

int DisplayWidth(char32_t code) {
  const bool wide = (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
                    (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
                    (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
                    (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x20000 && code <= 0x3FFFD);
  return wide ? 2 : 1;
}

// Message texts may hold CR LF pairs; a terminal wants LF alone.
std::string TerminalText(const std::string& ansi) {
  std::string text = AnsiToUtf8(ansi);
  std::string result;
  result.reserve(text.size());
  for (char c : text) {
    if (c != '\r') result += c;
  }
  return result;
}

}  // namespace

std::string FitToColumns(const std::string& utf8, int columns) {
  std::vector<std::pair<std::size_t, int>> chars;  // byte offset, width
  int total = 0;
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t code = 0;
    const std::size_t length = DecodeUtf8(utf8, i, code);
    const int width = code < 0x20 ? 0 : DisplayWidth(code);
    chars.emplace_back(i, width);
    total += width;
    i += length;
  }
  if (total <= columns) {
    return utf8;
  }
  const std::string ellipsis = "...";
  const int room = columns - static_cast<int>(ellipsis.size());
  if (room <= 0) {
    return ellipsis.substr(0, static_cast<std::size_t>(columns > 0 ? columns : 0));
  }
  int kept = 0;
  std::size_t start = utf8.size();
  for (auto it = chars.rbegin(); it != chars.rend() && kept + it->second <= room; ++it) {
    kept += it->second;
    start = it->first;
  }
  return ellipsis + utf8.substr(start);
}

THeadlessRunHost::THeadlessRunHost(bool progress, bool openDocuments)
    : m_progress(progress), m_openDocuments(openDocuments) {}

THeadlessRunHost::~THeadlessRunHost() { Finish(); }

void THeadlessRunHost::ShowStatus(const std::string& text) {
  m_status = text;
  m_statusDrawn = false;
  if (!m_progress) {
    return;
  }
  const int64_t now = MonotonicMilliseconds();
  if (now - m_lastDraw >= kDrawIntervalMs) {
    m_lastDraw = now;
    DrawStatus();
  }
}

void THeadlessRunHost::DrawStatus() {
  m_statusDrawn = true;
  // Control characters in a name must not move the cursor.
  std::string line = AnsiToUtf8(m_status);
  for (char& c : line) {
    if (static_cast<unsigned char>(c) < 0x20) c = '?';
  }
  line = FitToColumns(line, StderrColumns() - 1);
  WriteStderr("\r" + line + "\x1b[K");
  m_lineShown = !line.empty();
}

void THeadlessRunHost::ClearLine() {
  if (m_lineShown) {
    WriteStderr("\r\x1b[K");
    m_lineShown = false;
  }
}

void THeadlessRunHost::Finish() {
  if (m_progress && !m_statusDrawn) {
    DrawStatus();
  }
  if (m_lineShown) {
    WriteStderr("\n");
    m_lineShown = false;
  }
}

void THeadlessRunHost::Pump() {
  if (!m_stopDelivered && InterruptRequested()) {
    m_stopDelivered = true;
    if (OnStopRequested) OnStopRequested();
  }
}

void THeadlessRunHost::PrintMessage(const char* label, const std::string& text) {
  ClearLine();
  WriteStderr(std::string(label) + TerminalText(text) + "\n");
  m_statusDrawn = false;
}

void THeadlessRunHost::ShowWarning(const std::string& text) { PrintMessage("警告: ", text); }

bool THeadlessRunHost::ConfirmWarning(const std::string& text) {
  // Nobody can answer here: the question is printed and taken as OK.
  PrintMessage("警告: ", text);
  return true;
}

void THeadlessRunHost::ShowError(const std::string& text) { PrintMessage("orvantis: ", text); }

bool THeadlessRunHost::ChooseOutputFile(const std::string&, TFilePath&) { return false; }

TFilePath THeadlessRunHost::SelectedDirectory() { return {}; }

void THeadlessRunHost::OpenDocument(const std::string& program, const std::string& document) {
  if (!m_openDocuments) {
    return;
  }
  if (program.empty()) {
    OpenWithAssociatedProgram(document);
  } else {
    LaunchDetached(program, {document});
  }
}

}  // namespace orv
