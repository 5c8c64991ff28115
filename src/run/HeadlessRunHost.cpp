// The headless run host: automatic mode on a machine without a display.
#include "run/HeadlessRunHost.h"

#include "platform/CodePage.h"
#include "platform/Console.h"
#include "platform/Launch.h"

namespace orv {

namespace {

// Redrawing more often than this only costs time; the eye cannot follow it.
constexpr int64_t kDrawIntervalMs = 100;
constexpr int64_t kMillisecondsPerSecond = 1000;
// After the status text while entries are walked: "  12345 件/秒" (entries per second).
constexpr const char* kEntriesPerSecond = " 件/秒";

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

// A name or reason on one line of its own: no byte of it may end or move the line.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return text;
}

constexpr const char* kUnreadLabel = "orvantis: 読み取れませんでした: ";

}  // namespace

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

void THeadlessRunHost::ShowEntryCount(int64_t entries) {
  if (m_entries == 0 || entries < m_entries) m_firstEntryTime = MonotonicMilliseconds();
  m_entries = entries;
}

void THeadlessRunHost::DrawStatus() {
  m_statusDrawn = true;
  std::string line = AnsiToUtf8(m_status);
  const int64_t elapsed = MonotonicMilliseconds() - m_firstEntryTime;
  if (m_entries > 0 && elapsed > 0) {
    line += "  " + std::to_string(m_entries * kMillisecondsPerSecond / elapsed) + kEntriesPerSecond;
  }
  m_lineShown = ShowProgressLine(line);
}

void THeadlessRunHost::ClearLine() {
  if (m_lineShown) {
    ClearProgressLine();
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

void THeadlessRunHost::ReportUnreadEntries(const std::vector<TUnreadEntry>& entries) {
  ClearLine();
  for (const TUnreadEntry& entry : entries) {
    const std::string path = entry.NativePath.empty() ? AnsiToUtf8(entry.Path) : entry.NativePath;
    WriteStderr(kUnreadLabel + OneLine(path) + ": " + OneLine(AnsiToUtf8(entry.Reason)) + "\n");
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
