// THeadlessRunHost: runs the automatic mode without a window. Status texts become one
// updating progress line on standard error when it is a terminal (nothing otherwise);
// warnings and errors are printed; questions are answered OK; Ctrl-C, SIGTERM and
// SIGHUP are the stop command.
#pragma once

#include "core/RunHost.h"
#include "run/RunDriver.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace orv {

class THeadlessRunHost : public TRunHost {
public:
  // progress: whether to draw the progress line (normally: stderr is a terminal).
  // openDocuments: whether a written listing may be opened (there is a desktop to
  // open it on); without one, opening is passed over.
  THeadlessRunHost(bool progress, bool openDocuments);
  ~THeadlessRunHost() override;

  // Called from Pump when a stop signal arrived; the app wires it to the stop command.
  std::function<void()> OnStopRequested;

  // Draws the last status text if it was not drawn yet and ends the progress line.
  void Finish();

  // One warning line per entry: its native path (UTF-8) and the reason it could not
  // be read, control characters shown as "?" so that each entry stays one line.
  void ReportUnreadEntries(const std::vector<TUnreadEntry>& entries);

  void ShowStatus(const std::string& text) override;
  void Pump() override;
  void ShowWarning(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ChooseOutputFile(const std::string& defaultExtension, TFilePath& file) override;
  TFilePath SelectedDirectory() override;
  void OpenDocument(const std::string& program, const std::string& document) override;
  void RefreshControls() override {}
  void ShowEntryCount(int64_t entries) override;

private:
  void DrawStatus();
  void ClearLine();
  void PrintMessage(const char* label, const std::string& text);

  bool m_progress;
  bool m_openDocuments;
  bool m_lineShown = false;
  bool m_statusDrawn = true;
  bool m_stopDelivered = false;
  int64_t m_lastDraw = 0;
  int64_t m_entries = 0;
  int64_t m_firstEntryTime = 0;
  std::string m_status;
};

}  // namespace orv
