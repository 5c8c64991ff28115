// TRunHost: everything the run driver needs from its surroundings. The Qt window
// implements it with its status bar and dialogs; the headless host with stderr.
// All texts are CP932; paths are TFilePath pairs.
#pragma once

#include "core/Settings.h"
#include "platform/Path.h"

#include <cstdint>
#include <string>

namespace orv {

class TRunHost : public TWindowPlacementHook {
public:
  // The status bar's one panel.
  virtual void ShowStatus(const std::string& text) = 0;
  // Lets pending user input run; the stop command arrives here. May be rate-limited.
  virtual void Pump() = 0;
  // A modal warning box (title "警告") with an OK button.
  virtual void ShowWarning(const std::string& text) = 0;
  // A modal warning box with OK and Cancel: true for OK.
  virtual bool ConfirmWarning(const std::string& text) = 0;
  // The application's standard error box, for errors that end a run.
  virtual void ShowError(const std::string& text) = 0;
  // The save dialog, with the given default extension ("csv", "html", "xml"). False
  // when the user cancels.
  virtual bool ChooseOutputFile(const std::string& defaultExtension, TFilePath& file) = 0;
  // The folder selected in the folder tree.
  virtual TFilePath SelectedDirectory() = 0;
  // Opens document (native path) with program (native; empty for the document's
  // associated program). The outcome is ignored.
  virtual void OpenDocument(const std::string& program, const std::string& document) = 0;
  // Applies the window's enabling rules after Running changed.
  virtual void RefreshControls() = 0;
  // How many entries the walk has reported so far, told after each one; a host may
  // show the rate (the headless progress line does).
  virtual void ShowEntryCount(int64_t /*entries*/) {}

  bool GetWindowPlacement(TWindowPlacement&) override { return false; }
  void SetWindowPlacement(const TWindowPlacement&) override {}
};

}  // namespace orv
