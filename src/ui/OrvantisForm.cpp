// The main window's behaviour: start-up and shut-down, the options shown in and taken
// from the controls, the enabling rules, the Execute and stop commands, and the run
// host the driver reports to.
#include "ui/OrvantisForm.h"

#include "platform/Launch.h"
#include "ui/FolderTree.h"
#include "ui/PanelRadioGroup.h"
#include "ui/QtText.h"
#include "ui/TerminationWatcher.h"
#include "ui/UpDown.h"
#include "ui/UrlLabel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>

#include <iterator>

namespace orv {

namespace {

// A walk reports every entry; drawing more often than this only slows it down, and a
// click on the stop button still arrives within this time.
constexpr qint64 kPumpIntervalMs = 10;
constexpr int kPageCount = 5;
constexpr int kExtensionPageCount = 3;
// Windows' show commands as the placement record stores them.
constexpr int32_t kShowNormal = 1;
constexpr int32_t kShowMinimized = 2;

QString ExecuteCaption(bool running) { return running ? QStringLiteral("中断(&S)") : QStringLiteral("実行(&E)"); }

// Message texts break lines with CR LF, as they are stored; Qt wants LF alone.
QString MessageText(const std::string& ansi) {
  QString text = FromAnsi(ansi);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

int MessageBox(QWidget* parent, QMessageBox::Icon icon, const QString& title, const std::string& text,
               QMessageBox::StandardButtons buttons) {
  QMessageBox box(icon, title, MessageText(text), buttons, parent);
  // A path in the text may hold "<" and "&"; it is shown as written.
  box.setTextFormat(Qt::PlainText);
  return box.exec();
}

// The first local folder among dropped items; "" when there is none.
QString DroppedFolder(const QMimeData* data) {
  if (!data || !data->hasUrls()) {
    return {};
  }
  for (const QUrl& url : data->urls()) {
    if (url.isLocalFile() && QFileInfo(url.toLocalFile()).isDir()) {
      return url.toLocalFile();
    }
  }
  return {};
}

void SetEditColor(QLineEdit* edit, bool enabled) {
  const QPalette& system = QApplication::palette();
  QPalette colors = edit->palette();
  colors.setColor(QPalette::Base, system.color(enabled ? QPalette::HighlightedText : QPalette::Button));
  edit->setPalette(colors);
}

void EnableEdit(QLineEdit* edit, bool enabled) {
  edit->setEnabled(enabled);
  SetEditColor(edit, enabled);
}

// The look both file dialogs share: Qt's own dialog (the same on every desktop, and in
// the language of Qt's translations), without a file-type list, large enough that
// the name, size and date columns can be read.
void PrepareFileDialog(QFileDialog& dialog) {
  constexpr QSize kDialogSize(760, 460);
  // Name, size, type and date: together the width of the file list.
  constexpr int kColumnWidths[] = {260, 80, 140, 150};
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setViewMode(QFileDialog::Detail);
  for (const char* name : {"fileTypeCombo", "fileTypeLabel"}) {
    if (auto* part = dialog.findChild<QWidget*>(QString::fromLatin1(name))) part->hide();
  }
  dialog.resize(kDialogSize);
  if (auto* view = dialog.findChild<QTreeView*>(QStringLiteral("treeView"))) {
    for (int column = 0; column < static_cast<int>(std::size(kColumnWidths)); ++column) {
      view->header()->resizeSection(column, kColumnWidths[column]);
    }
  }
}

}  // namespace

TOrvantisForm::TOrvantisForm(QWidget* parent) : QWidget(parent) {
  m_driver.SetIconSource(&m_iconSource);
  CreateControls();
}

TOrvantisForm::~TOrvantisForm() {
  // Children are taken down while the driver still lives: a page control that loses
  // its pages reports a page change, which must find nothing to write to.
  m_showingOptions = true;
  qDeleteAll(findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly));
}

void TOrvantisForm::Start(const std::vector<std::string>& arguments) {
  m_driver.Start(arguments);
  if (m_driver.AutoMode()) {
    setWindowTitle(QStringLiteral("Orvantis") + QString::fromLatin1(AutoModeCaptionSuffix));
  }
  // The settings hold no target, so every start begins at the root, opened.
  m_shellTreeView->SelectFolder(QStringLiteral("/"));
  m_shellTreeView->expand(m_shellTreeView->currentIndex());
  RefreshControls();
}

void TOrvantisForm::ShowOptions() {
  const RunOptions& options = m_driver.Options;
  m_showingOptions = true;
  for (const TCheckBinding& check : m_checks) {
    check.Box->setChecked(options.*check.Field);
  }
  for (const TGroupBinding& group : m_groups) {
    group.Group->SetItemIndex(options.*group.Field);
  }
  if (QAbstractButton* button = m_linkPathButtons->button(options.LinkPathMode)) {
    button->setChecked(true);
  } else {
    // No choice stored: an exclusive group refuses to uncheck its last button.
    m_linkPathButtons->setExclusive(false);
    for (QAbstractButton* each : m_linkPathButtons->buttons()) each->setChecked(false);
    m_linkPathButtons->setExclusive(true);
  }
  for (const TEditBinding& edit : m_edits) {
    const QString text = FromAnsi(options.*edit.Field);
    if (edit.Edit->text() != text) {
      edit.Edit->setText(text);
    }
  }
  m_upDownTreeLevel->SetPosition(options.TreeLevel);
  const int page = options.ActivePageIndex;
  m_pageControl->setCurrentIndex(page >= 0 && page < kPageCount ? page : 0);
  const int subPage = options.ExtensionActivePageIndex;
  m_pageControlExtension->setCurrentIndex(subPage >= 0 && subPage < kExtensionPageCount ? subPage : 0);
  m_showingOptions = false;
}

void TOrvantisForm::RefreshControls() {
  ShowOptions();

  const bool extensionFilter = m_extensionFilter->isChecked();
  EnableEdit(m_editExtensionFilter, extensionFilter);
  m_filter->setEnabled(extensionFilter);
  EnableEdit(m_editIgnoreDirs, m_ignoreDir->isChecked());
  EnableEdit(m_editRegExp, m_regExp->isChecked());

  const bool subDir = m_subDir->isChecked();
  m_enableTreeLevel->setEnabled(subDir);
  m_editTreeLevel->setEnabled(subDir && m_enableTreeLevel->isChecked());

  const int fileType = m_fileType->ItemIndex();
  const bool csv = fileType == FileTypeCsv;
  const bool titleEnabled = !csv;
  const bool iconDirEnabled = !csv && m_outputIconFile->isChecked();
  m_hyperLink->setEnabled(!csv);
  m_outputIconFile->setEnabled(!csv);
  m_linkPath->setEnabled(!csv && m_pathMode->ItemIndex() == 0 && m_hyperLink->isChecked());
  m_editTitle->setEnabled(titleEnabled);
  m_editIconDir->setEnabled(iconDirEnabled);

  m_htmlFormat->setEnabled(fileType == FileTypeHtml);
  m_xslt->setEnabled(fileType == FileTypeXml);

  SetEditColor(m_editTitle, titleEnabled);
  SetEditColor(m_editIconDir, iconDirEnabled);

  const bool useSelectProgram = m_useSelectProgram->isChecked();
  EnableEdit(m_editSelectProgram, useSelectProgram);
  m_buttonSelectProgram->setEnabled(useSelectProgram);

  m_pageControl->setEnabled(!Running());
  m_shellTreeView->setEnabled(!Running());
  // An edit box's label greys with it.
  for (QLabel* label : m_pageControl->findChildren<QLabel*>()) {
    if (label->buddy()) label->setEnabled(label->buddy()->isEnabled());
  }
  m_buttonExecute->setText(ExecuteCaption(Running()));
  FlushStatus();
}

void TOrvantisForm::ButtonExecuteClick() {
  if (Running()) {
    m_driver.Stop();
    return;
  }
  m_driver.RunListing();
  // A refused run may have changed an option (the trimmed icon directory name).
  RefreshControls();
  if (m_closeRequested) {
    close();
  }
}

void TOrvantisForm::ButtonStopClick() { m_driver.Stop(); }

void TOrvantisForm::WatchTerminationSignal() {
  m_terminationWatcher = std::make_unique<TTerminationWatcher>([this] {
    if (Running()) {
      // As a user would: stop, and close once the run has returned.
      m_closeRequested = true;
      m_driver.Stop();
      return;
    }
    close();
  });
}

void TOrvantisForm::ButtonSelectProgramClick() {
  QFileDialog dialog(this, QStringLiteral("開く"));
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  // Any typed path is taken as it is: the program is checked only when it is started.
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareFileDialog(dialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return;
  }
  m_editSelectProgram->setText(dialog.selectedFiles().constFirst());
}

void TOrvantisForm::RunAutomatic() {
  m_automaticOutcome = m_driver.RunAutomatic();
  RefreshControls();
  close();
}

void TOrvantisForm::showEvent(QShowEvent* event) {
  QWidget::showEvent(event);
  if (!m_textsFitted) {
    m_textsFitted = true;
    FitTexts();
  }
  if (m_driver.AutoMode() && !m_automaticStarted) {
    m_automaticStarted = true;
    // After the window has been drawn, so the run's progress shows in it.
    QTimer::singleShot(0, this, &TOrvantisForm::RunAutomatic);
  }
}

void TOrvantisForm::closeEvent(QCloseEvent* event) {
  if (Running()) {
    // The run goes on to its end, written file and all; the window closes then.
    m_closeRequested = true;
    event->ignore();
    return;
  }
  if (!m_shutDown) {
    m_shutDown = true;
    m_driver.Shutdown();
  }
  event->accept();
}

void TOrvantisForm::dragEnterEvent(QDragEnterEvent* event) {
  if (!Running() && !DroppedFolder(event->mimeData()).isEmpty()) {
    event->acceptProposedAction();
  }
}

void TOrvantisForm::dropEvent(QDropEvent* event) {
  const QString folder = DroppedFolder(event->mimeData());
  if (!Running() && !folder.isEmpty() && m_shellTreeView->SelectFolder(folder)) {
    event->acceptProposedAction();
  }
}

// --- TRunHost -------------------------------------------------------------------------

void TOrvantisForm::ShowStatus(const std::string& text) {
  // During a run the text changes with every entry; only the one standing at a pump
  // is worth converting and drawing.
  m_status.assign(text);
  m_statusDirty = true;
  if (!Running()) {
    FlushStatus();
  }
}

void TOrvantisForm::FlushStatus() {
  if (!m_statusDirty) {
    return;
  }
  m_statusDirty = false;
  QString text = FromAnsi(m_status);
  // A name may hold a line break or a tab; the bar shows one line.
  for (QChar& c : text) {
    if (c.unicode() < 0x20) c = QLatin1Char('?');
  }
  m_statusPanel->setText(text);
}

void TOrvantisForm::Pump() {
  if (m_pumpClock.isValid() && m_pumpClock.elapsed() < kPumpIntervalMs) {
    return;
  }
  m_pumpClock.start();
  FlushStatus();
  QCoreApplication::processEvents();
}

void TOrvantisForm::ShowWarning(const std::string& text) {
  MessageBox(this, QMessageBox::Warning, QStringLiteral("警告"), text, QMessageBox::Ok);
}

bool TOrvantisForm::ConfirmWarning(const std::string& text) {
  return MessageBox(this, QMessageBox::Warning, QStringLiteral("警告"), text, QMessageBox::Ok | QMessageBox::Cancel) ==
         QMessageBox::Ok;
}

void TOrvantisForm::ShowError(const std::string& text) {
  MessageBox(this, QMessageBox::Critical, QStringLiteral("Orvantis"), text, QMessageBox::Ok);
  // An error ends the run, so the progress it last showed is no longer true.
  m_status.clear();
  m_statusDirty = true;
  FlushStatus();
}

bool TOrvantisForm::ChooseOutputFile(const std::string& defaultExtension, TFilePath& file) {
  QFileDialog dialog(this, QStringLiteral("名前を付けて保存"));
  dialog.setAcceptMode(QFileDialog::AcceptSave);
  dialog.setFileMode(QFileDialog::AnyFile);
  PrepareFileDialog(dialog);
  dialog.setOption(QFileDialog::DontConfirmOverwrite);
  dialog.setDefaultSuffix(FromAnsi(defaultExtension));
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
    return false;
  }
  file = PathFromQt(dialog.selectedFiles().constFirst());
  return true;
}

TFilePath TOrvantisForm::SelectedDirectory() { return PathFromQt(m_shellTreeView->SelectedFolder()); }

void TOrvantisForm::OpenDocument(const std::string& program, const std::string& document) {
  if (program.empty()) {
    OpenWithAssociatedProgram(document);
  } else {
    LaunchDetached(program, {document});
  }
}

bool TOrvantisForm::GetWindowPlacement(TWindowPlacement& placement) {
  placement = TWindowPlacement{};
  placement.ShowCmd = isMinimized() ? kShowMinimized : kShowNormal;
  // The record holds the outer rectangle, frame included, as move() takes it back.
  const QRect outer = frameGeometry();
  placement.NormalLeft = pos().x();
  placement.NormalTop = pos().y();
  placement.NormalRight = placement.NormalLeft + outer.width();
  placement.NormalBottom = placement.NormalTop + outer.height();
  return true;
}

void TOrvantisForm::SetWindowPlacement(const TWindowPlacement& placement) {
  if (placement.Length != static_cast<int32_t>(sizeof(TWindowPlacement))) {
    return;
  }
  // Only the position comes back. A window saved minimised opens normally: a program
  // that starts as a taskbar entry is not what a user who double-clicks it expects.
  const QRect outer(QPoint(placement.NormalLeft, placement.NormalTop),
                    QPoint(placement.NormalRight - 1, placement.NormalBottom - 1));
  for (const QScreen* screen : QGuiApplication::screens()) {
    if (screen->availableGeometry().intersects(outer)) {
      move(outer.topLeft());
      return;
    }
  }
}

}  // namespace orv
