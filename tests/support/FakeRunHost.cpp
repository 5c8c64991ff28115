#include "support/FakeRunHost.h"

namespace orv::test {

void TFakeRunHost::ShowStatus(const std::string& text) {
  Statuses.push_back(text);
  if (OnStatus) OnStatus(text);
}

void TFakeRunHost::Pump() {
  ++Pumps;
  if (OnPump) OnPump();
}

void TFakeRunHost::ShowWarning(const std::string& text) { Warnings.push_back(text); }

bool TFakeRunHost::ConfirmWarning(const std::string& text) {
  Questions.push_back(text);
  return AnswerOk;
}

void TFakeRunHost::ShowError(const std::string& text) { Errors.push_back(text); }

bool TFakeRunHost::ChooseOutputFile(const std::string& extension, TFilePath& file) {
  DialogExtension = extension;
  if (DialogFile.Empty()) return false;
  file = DialogFile;
  return true;
}

TFilePath TFakeRunHost::SelectedDirectory() { return Selected; }

void TFakeRunHost::OpenDocument(const std::string& program, const std::string& document) {
  OpenedWith.push_back(program);
  Opened.push_back(document);
}

void TFakeRunHost::RefreshControls() { ++Refreshes; }

}  // namespace orv::test
