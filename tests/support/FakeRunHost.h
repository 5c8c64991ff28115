// A TRunHost for tests: it records everything the run shows or asks, answers the
// questions and the save dialog as the test set it up, and lets a test act at every
// status text and every pump (to press stop, or to make the run fail).
#pragma once

#include "core/RunHost.h"
#include "platform/Path.h"

#include <functional>
#include <string>
#include <vector>

namespace orv::test {

class TFakeRunHost : public TRunHost {
public:
  void ShowStatus(const std::string& text) override;
  void Pump() override;
  void ShowWarning(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ChooseOutputFile(const std::string& extension, TFilePath& file) override;
  TFilePath SelectedDirectory() override;
  void OpenDocument(const std::string& program, const std::string& document) override;
  void RefreshControls() override;

  // Called after the text is recorded / after the pump is counted.
  std::function<void(const std::string&)> OnStatus;
  std::function<void()> OnPump;

  // The answer to every ConfirmWarning.
  bool AnswerOk = true;
  // The save dialog's choice; empty: the user cancels it.
  TFilePath DialogFile;
  // What SelectedDirectory returns.
  TFilePath Selected;

  std::vector<std::string> Statuses, Warnings, Questions, Errors;
  // OpenDocument calls: the documents, and the programs asked to open them ("" for
  // the associated program).
  std::vector<std::string> Opened, OpenedWith;
  // The default extension of the last save dialog.
  std::string DialogExtension;
  int Pumps = 0;
  int Refreshes = 0;
};

}  // namespace orv::test
