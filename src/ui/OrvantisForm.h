// TOrvantisForm: the program's one window. The folder tree picks the target, five
// pages of controls edit the run options, the Execute button starts or stops a run,
// the status bar shows its progress. The window owns the run driver and is its run
// host (status, pump, message boxes, the save dialog); it holds no listing logic of
// its own beyond the enabling rules of its controls.
#pragma once

#include "core/RunHost.h"
#include "core/ProductInfo.h"
#include "core/RunOptions.h"
#include "run/RunDriver.h"
#include "ui/QtIconSource.h"

#include <QElapsedTimer>
#include <QFont>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTabWidget;

namespace orv {

enum class TCaptionPos;
class TFolderTree;
class TTerminationWatcher;
class TPanelRadioGroup;
class TUpDown;
class TUrlLabel;

// The window's font: a Japanese gothic at 12 pixels (9 points at 96 dpi), named
// explicitly so that the layout does not depend on what else is installed.
QFont FormFont();

class TOrvantisForm : public QWidget, public TRunHost {
  Q_OBJECT
public:
  explicit TOrvantisForm(QWidget* parent = nullptr);
  ~TOrvantisForm() override;

  // Start-up, once, before the window is shown: automatic mode when arguments holds
  // exactly two command-line parameters, the settings into the controls, "/" selected
  // in the folder tree, the enabling rules.
  void Start(const std::vector<std::string>& arguments);

  // From now on SIGTERM acts as the user would: the stop command when a run is under
  // way, then closing the window (which saves the settings). Throws EOSError when the
  // signal cannot be watched.
  void WatchTerminationSignal();

  TRunDriver& Driver() { return m_driver; }
  // The outcome of the run made in automatic mode (NotStarted until it ran).
  TRunOutcome AutomaticOutcome() const { return m_automaticOutcome; }

  // TRunHost
  void ShowStatus(const std::string& text) override;
  void Pump() override;
  void ShowWarning(const std::string& text) override;
  bool ConfirmWarning(const std::string& text) override;
  void ShowError(const std::string& text) override;
  bool ChooseOutputFile(const std::string& defaultExtension, TFilePath& file) override;
  TFilePath SelectedDirectory() override;
  void OpenDocument(const std::string& program, const std::string& document) override;
  // Shows the options as they stand (a run may have changed some), then applies the
  // enabling rules.
  void RefreshControls() override;
  bool GetWindowPlacement(TWindowPlacement& placement) override;
  void SetWindowPlacement(const TWindowPlacement& placement) override;

protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

private:
  struct TCheckBinding {
    QCheckBox* Box;
    bool RunOptions::* Field;
  };
  struct TGroupBinding {
    TPanelRadioGroup* Group;
    int RunOptions::* Field;
  };
  struct TEditBinding {
    QLineEdit* Edit;
    std::string RunOptions::* Field;
  };

  // Construction of the controls (OrvantisFormLayout.cpp).
  void CreateControls();
  QWidget* CreateOutputPage();
  QWidget* CreateSearchPage();
  QWidget* CreateItemsPage();
  QWidget* CreateMiscPage();
  QWidget* CreateVersionPage();
  QWidget* CreateVersionSubPage();
  QWidget* CreatePdfSubPage();
  QWidget* CreateExifSubPage();
  QCheckBox* AddCheck(QWidget* parent, const char* name, QRect geometry, const QString& text,
                      bool RunOptions::* field, bool refreshes);
  TPanelRadioGroup* AddGroup(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                             const QStringList& items, int columns, TCaptionPos captionPos, int RunOptions::* field,
                             bool refreshes);
  QLineEdit* AddEdit(QWidget* parent, const char* name, QRect geometry, std::string RunOptions::* field);
  QLabel* AddEditLabel(QLineEdit* edit, const char* name, const QString& text);
  // Widens check boxes and labels whose text the fixed width would cut, as far as
  // their parent and the next control to the right allow.
  void FitTexts();

  void ShowOptions();
  void ButtonExecuteClick();
  void ButtonStopClick();
  void ButtonSelectProgramClick();
  void RunAutomatic();
  void FlushStatus();
  bool Running() const { return m_driver.Running(); }

  TRunDriver m_driver{*this};
  TQtIconSource m_iconSource;
  std::unique_ptr<TTerminationWatcher> m_terminationWatcher;
  TRunOutcome m_automaticOutcome = TRunOutcome::NotStarted;
  bool m_automaticStarted = false;
  bool m_closeRequested = false;
  bool m_shutDown = false;
  // Set while the controls are being filled from the options: their change
  // notifications are not user edits then.
  bool m_showingOptions = false;
  bool m_textsFitted = false;
  std::string m_status;
  bool m_statusDirty = false;
  QElapsedTimer m_pumpClock;

  std::vector<TCheckBinding> m_checks;
  std::vector<TGroupBinding> m_groups;
  std::vector<TEditBinding> m_edits;

  TFolderTree* m_shellTreeView = nullptr;
  QTabWidget* m_pageControl = nullptr;
  QCheckBox* m_checkBoxFileOpen = nullptr;
  QPushButton* m_buttonExecute = nullptr;
  QPushButton* m_buttonStop = nullptr;
  QStatusBar* m_statusBar = nullptr;
  QLabel* m_statusPanel = nullptr;

  TPanelRadioGroup* m_pathMode = nullptr;
  TPanelRadioGroup* m_fileType = nullptr;
  QCheckBox* m_hyperLink = nullptr;
  QGroupBox* m_linkPath = nullptr;
  QButtonGroup* m_linkPathButtons = nullptr;
  TPanelRadioGroup* m_htmlFormat = nullptr;
  QLineEdit* m_editTitle = nullptr;
  QCheckBox* m_outputIconFile = nullptr;
  QLineEdit* m_editIconDir = nullptr;
  QCheckBox* m_xslt = nullptr;

  QCheckBox* m_subDir = nullptr;
  QCheckBox* m_enableTreeLevel = nullptr;
  QLineEdit* m_editTreeLevel = nullptr;
  TUpDown* m_upDownTreeLevel = nullptr;
  QCheckBox* m_extensionFilter = nullptr;
  QLineEdit* m_editExtensionFilter = nullptr;
  TPanelRadioGroup* m_filter = nullptr;
  QCheckBox* m_ignoreDir = nullptr;
  QLineEdit* m_editIgnoreDirs = nullptr;
  QCheckBox* m_regExp = nullptr;
  QLineEdit* m_editRegExp = nullptr;

  QTabWidget* m_pageControlExtension = nullptr;

  QCheckBox* m_useSelectProgram = nullptr;
  QLineEdit* m_editSelectProgram = nullptr;
  QPushButton* m_buttonSelectProgram = nullptr;
  TPanelRadioGroup* m_textEncoding = nullptr;

  QLabel* m_labelVersion = nullptr;
  TUrlLabel* m_urlLabel = nullptr;
};

}  // namespace orv
