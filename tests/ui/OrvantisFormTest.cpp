// The main window: layout and texts, the first-start state, every control bound to
// its own option, the settings round trip, the enabling rules, and a run started and
// stopped from the Execute button, as a user drives them.
#include "ui/OrvantisForm.h"

#include "core/Settings.h"
#include "core/ProductInfo.h"
#include "platform/CodePage.h"
#include "support/TempDir.h"
#include "ui/PanelRadioGroup.h"
#include "ui/UpDown.h"
#include "ui/UrlLabel.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QElapsedTimer>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QTabWidget>
#include <QToolButton>

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <variant>
#include <vector>

namespace orv {
namespace {

template <class T>
T* Find(const QWidget& form, const QString& name) {
  T* widget = form.findChild<T*>(name);
  if (!widget) throw std::runtime_error("no control " + name.toStdString());
  return widget;
}

QCheckBox* Check(const QWidget& form, const char* name) { return Find<QCheckBox>(form, QString::fromLatin1(name)); }
TPanelRadioGroup* Group(const QWidget& form, const char* name) {
  return Find<TPanelRadioGroup>(form, QString::fromLatin1(name));
}
QLineEdit* Edit(const QWidget& form, const char* name) { return Find<QLineEdit>(form, QString::fromLatin1(name)); }

// The check box that edits a boolean option.
QString CheckBoxFor(const std::string& key) {
  return QStringLiteral("CheckBox") + QString::fromStdString(key == "SubFolder" ? "SubDir" : key);
}

// The keys whose values differ between two option sets.
std::vector<std::string> ChangedKeys(const RunOptions& a, const RunOptions& b) {
  std::vector<std::string> keys;
  for (const TOptionKey& key : OptionKeys()) {
    const bool differs = std::visit([&](auto field) { return a.*field != b.*field; }, key.Field);
    if (differs) keys.push_back(key.Key);
  }
  return keys;
}

QColor HighlightText() { return QApplication::palette().color(QPalette::HighlightedText); }
QColor ButtonFace() { return QApplication::palette().color(QPalette::Button); }
QColor Background(const QLineEdit* edit) { return edit->palette().color(QPalette::Base); }

class OrvantisForm : public ::testing::Test {
protected:
  template <class Form = TOrvantisForm>
  std::unique_ptr<Form> StartForm(const std::vector<std::string>& arguments = {}) {
    auto form = std::make_unique<Form>();
    form->Start(arguments);
    form->show();
    QCoreApplication::processEvents();
    return form;
  }
  RunOptions Saved(TWindowPlacementHook* hook = nullptr) const {
    RunOptions options;
    LoadSettings(m_home / "Orvantis.ini", options, hook);
    return options;
  }

  test::TTempDir m_home;
  test::TScopedHome m_scopedHome{m_home.Path()};
};

TEST_F(OrvantisForm, LayoutAndTexts) {
  auto form = StartForm();
  EXPECT_EQ(form->size(), QSize(545, 437));
  EXPECT_EQ(form->minimumSize(), form->maximumSize());
  EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(form->windowTitle(), "Orvantis");
  EXPECT_EQ(form->font().family(), "IPAPGothic");
  EXPECT_EQ(form->font().pixelSize(), 12);

  EXPECT_EQ(Find<QWidget>(*form, "ShellTreeView")->geometry(), QRect(8, 8, 209, 401));
  auto* pages = Find<QTabWidget>(*form, "PageControl");
  EXPECT_EQ(pages->geometry(), QRect(224, 8, 313, 369));
  const QStringList pageNames{"出力形式", "検索条件", "対象項目", "その他", "バージョン情報"};
  ASSERT_EQ(pages->count(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_EQ(pages->tabText(i), pageNames[i]);
  auto* execute = Find<QPushButton>(*form, "ButtonExecute");
  EXPECT_EQ(execute->geometry(), QRect(440, 384, 97, 25));
  EXPECT_EQ(execute->text(), "実行(&E)");
  EXPECT_FALSE(Find<QPushButton>(*form, "ButtonStop")->isVisible());
  EXPECT_EQ(Find<QStatusBar>(*form, "StatusBar")->geometry(), QRect(0, 415, 545, 22));
  EXPECT_EQ(Check(*form, "CheckBoxFileOpen")->pos(), QPoint(224, 387));

  auto* fileType = Group(*form, "PanelRadioGroupFileType");
  EXPECT_EQ(fileType->geometry(), QRect(8, 56, 289, 25));
  EXPECT_EQ(fileType->Caption(), "ファイル形式");
  EXPECT_EQ(fileType->Items().Strings(), QStringList({"CSV", "HTML", "XML"}));
  EXPECT_EQ(fileType->Columns(), 3);
  EXPECT_EQ(fileType->CaptionPos(), TCaptionPos::cpLeftCenter);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFilter")->CaptionPos(), TCaptionPos::cpTopLeft);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFileSizeUnit")->Caption(), QString());
  EXPECT_EQ(Find<QGroupBox>(*form, "PanelRadioGroupLinkPath")->title(), "相対パスのリンク指定方法");
  EXPECT_EQ(Edit(*form, "EditTitle")->geometry(), QRect(48, 200, 249, 20));
  EXPECT_EQ(Find<QLabel>(*form, "LabelTitle")->geometry().right(), 48 - 3 - 1);
  EXPECT_EQ(Check(*form, "CheckBoxSlashDelimiter")->text(), "パスの区切り文字に \"/\" を使用する");
  EXPECT_EQ(Edit(*form, "EditTreeLevel")->geometry(), QRect(248, 26, 33, 20));
  EXPECT_TRUE(Edit(*form, "EditTreeLevel")->isReadOnly());
  EXPECT_EQ(Find<TUpDown>(*form, "UpDownTreeLevel")->geometry(), QRect(281, 26, 15, 20));
  EXPECT_EQ(Find<QLabel>(*form, "Label1")->text(), "（ディレクトリのみをカンマ区切りで指定）");
  EXPECT_EQ(Check(*form, "CheckBoxHashUpper")->pos(), QPoint(145, 64));
  EXPECT_EQ(Check(*form, "CheckBoxAttribute")->pos(), QPoint(9, 160));
  EXPECT_EQ(Find<QTabWidget>(*form, "PageControlExtension")->geometry(), QRect(0, 184, 297, 153));
  EXPECT_EQ(Check(*form, "CheckBoxComments")->pos(), QPoint(8, 55));
  EXPECT_EQ(Check(*form, "CheckBoxExifMake")->text(), "画像入力機器のメーカー名");
  EXPECT_EQ(Edit(*form, "EditSelectProgram")->geometry(), QRect(24, 29, 249, 20));
  EXPECT_EQ(Find<QPushButton>(*form, "ButtonSelectProgram")->geometry(), QRect(277, 29, 25, 20));
  EXPECT_EQ(Find<QLabel>(*form, "LabelVersion")->text(), "Orvantis ver1.36");
  auto* url = Find<TUrlLabel>(*form, "UrlLabel");
  EXPECT_EQ(url->text(), MakerHomePageUrl);
  EXPECT_TRUE(url->Execution);

  // No text is cut: every check box and label is as wide as its text wants, and that
  // width stays inside its page and clear of the control to its right. Each page is
  // visited first, as the user would, so that it has its real size.
  auto visit = [](QTabWidget* tabs, int index) {
    tabs->setCurrentIndex(index);
    QCoreApplication::processEvents();
    EXPECT_GE(tabs->widget(index)->width(), 280) << tabs->objectName().toStdString() << index;
  };
  visit(pages, 2);
  for (int i = 0; i < 3; ++i) visit(Find<QTabWidget>(*form, "PageControlExtension"), i);
  for (int i = 0; i < 5; ++i) visit(pages, i);
  QList<QWidget*> texts;
  for (QCheckBox* box : form->findChildren<QCheckBox*>()) texts.append(box);
  for (QLabel* label : form->findChildren<QLabel*>()) {
    if (!label->text().isEmpty() && label->objectName() != "StatusPanel") texts.append(label);
  }
  for (QWidget* widget : texts) {
    const QString name = widget->objectName();
    const QRect wanted(widget->pos(), QSize(widget->sizeHint().width(), widget->height()));
    EXPECT_GE(widget->width(), wanted.width()) << name.toStdString();
    EXPECT_LE(wanted.right(), widget->parentWidget()->width()) << name.toStdString();
    for (QWidget* sibling : widget->parentWidget()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
      if (sibling != widget && sibling->isVisibleTo(widget->parentWidget()) && sibling->x() > widget->x()) {
        EXPECT_FALSE(wanted.intersects(sibling->geometry()))
            << name.toStdString() << " runs into " << sibling->objectName().toStdString();
      }
    }
  }

  // Tab order: window level, and the program path before its check box on page 3.
  std::vector<QWidget*> chain;
  for (QWidget* w = form->nextInFocusChain(); w != form.get(); w = w->nextInFocusChain()) chain.push_back(w);
  auto position = [&](const char* name) {
    return std::find(chain.begin(), chain.end(), Find<QWidget>(*form, name)) - chain.begin();
  };
  EXPECT_LT(position("PageControl"), position("CheckBoxFileOpen"));
  EXPECT_LT(position("CheckBoxFileOpen"), position("ButtonExecute"));
  EXPECT_LT(position("ButtonExecute"), position("ShellTreeView"));
  EXPECT_LT(position("EditSelectProgram"), position("CheckBoxUseSelectProgram"));
  EXPECT_LT(position("CheckBoxUseSelectProgram"), position("ButtonSelectProgram"));
  EXPECT_LT(position("CheckBoxAttribute"), position("CheckBoxHashUpper"));
}

TEST_F(OrvantisForm, FirstStartShowsTheDefaults) {
  auto form = StartForm();
  EXPECT_EQ(Find<QTabWidget>(*form, "PageControl")->currentIndex(), 0);
  EXPECT_EQ(Find<QTabWidget>(*form, "PageControlExtension")->currentIndex(), 0);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFileType")->ItemIndex(), 1);
  EXPECT_TRUE(Group(*form, "PanelRadioGroupFileType")->Button(1)->isChecked());
  EXPECT_EQ(Group(*form, "PanelRadioGroupHtmlFormat")->ItemIndex(), 1);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFileSizeUnit")->ItemIndex(), 0);
  EXPECT_TRUE(Check(*form, "CheckBoxHyperLink")->isChecked());
  EXPECT_TRUE(Check(*form, "CheckBoxFileSize")->isChecked());
  EXPECT_TRUE(Check(*form, "CheckBoxLastUpdateTime")->isChecked());
  EXPECT_TRUE(Check(*form, "CheckBoxSubDir")->isChecked());
  EXPECT_TRUE(Check(*form, "CheckBoxFileOpen")->isChecked());
  EXPECT_FALSE(Check(*form, "CheckBoxOutputIconFile")->isChecked());
  EXPECT_EQ(Edit(*form, "EditTitle")->text(), "The file table generated by Orvantis");
  EXPECT_EQ(Edit(*form, "EditIconDir")->text(), "icons");
  EXPECT_EQ(Edit(*form, "EditTreeLevel")->text(), "0");

  // XSLT is on but greyed (not XML); the icon directory greyed in the button face.
  EXPECT_TRUE(Check(*form, "CheckBoxXSLT")->isChecked());
  EXPECT_FALSE(Check(*form, "CheckBoxXSLT")->isEnabled());
  EXPECT_FALSE(Edit(*form, "EditIconDir")->isEnabled());
  EXPECT_EQ(Background(Edit(*form, "EditIconDir")), ButtonFace());
  EXPECT_TRUE(Edit(*form, "EditTitle")->isEnabled());
  EXPECT_EQ(Background(Edit(*form, "EditTitle")), HighlightText());
  EXPECT_TRUE(Find<QGroupBox>(*form, "PanelRadioGroupLinkPath")->isEnabled());
  EXPECT_TRUE(Group(*form, "PanelRadioGroupHtmlFormat")->isEnabled());
  EXPECT_FALSE(Edit(*form, "EditExtensionFilter")->isEnabled());
  EXPECT_FALSE(Group(*form, "PanelRadioGroupFilter")->isEnabled());
  EXPECT_FALSE(Edit(*form, "EditSelectProgram")->isEnabled());
  EXPECT_FALSE(Find<QPushButton>(*form, "ButtonSelectProgram")->isEnabled());

  EXPECT_EQ(form->SelectedDirectory().Native, "/");
}

TEST_F(OrvantisForm, DroppedFolderBecomesTheTarget) {
  auto form = StartForm();
  const std::string folder = m_home.MakeDir("dropped here");
  const QUrl note = QUrl::fromLocalFile(QString::fromStdString(m_home.WriteFile("note.txt", "")));
  QMimeData data;
  data.setUrls({note, QUrl::fromLocalFile(QString::fromStdString(folder))});
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &drop);
  EXPECT_EQ(form->SelectedDirectory().Native, folder);

  // A dropped file is no target.
  QMimeData file;
  file.setUrls({note});
  QDragEnterEvent refused(QPoint(50, 50), Qt::CopyAction, &file, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(form.get(), &refused);
  EXPECT_FALSE(refused.isAccepted());
}

TEST_F(OrvantisForm, EveryControlEditsItsOwnOption) {
  auto form = StartForm();
  RunOptions& options = form->Driver().Options;
  auto expectOnly = [&](const RunOptions& before, const char* key) {
    EXPECT_EQ(ChangedKeys(before, options), std::vector<std::string>{key});
  };

  RunOptions before = options;
  Find<QGroupBox>(*form, "PanelRadioGroupLinkPath")->findChildren<QRadioButton*>()[1]->click();
  expectOnly(before, "LinkPathMode");
  EXPECT_EQ(options.LinkPathMode, 1);

  int boolKeys = 0;
  for (const TOptionKey& key : OptionKeys()) {
    if (!std::holds_alternative<bool RunOptions::*>(key.Field)) continue;
    ++boolKeys;
    QCheckBox* box = Find<QCheckBox>(*form, CheckBoxFor(key.Key));
    before = options;
    box->setChecked(!box->isChecked());
    expectOnly(before, key.Key);
    EXPECT_EQ(options.*std::get<bool RunOptions::*>(key.Field), box->isChecked()) << key.Key;
  }
  EXPECT_EQ(form->findChildren<QCheckBox*>().size(), boolKeys);

  const std::pair<const char*, const char*> groups[] = {{"PanelRadioGroupPathMode", "PathMode"},
                                                        {"PanelRadioGroupFileType", "FileType"},
                                                        {"PanelRadioGroupHtmlFormat", "HtmlFormat"},
                                                        {"PanelRadioGroupFilter", "FilterMode"},
                                                        {"PanelRadioGroupFileSizeUnit", "FileSizeUnit"}};
  for (const auto& [name, key] : groups) {
    TPanelRadioGroup* group = Group(*form, name);
    before = options;
    group->SetItemIndex((group->ItemIndex() + 1) % group->Count());
    expectOnly(before, key);
  }

  const std::pair<const char*, const char*> edits[] = {
      {"EditTitle", "HtmlTitle"},          {"EditIconDir", "IconDir"},   {"EditExtensionFilter", "Extensions"},
      {"EditIgnoreDirs", "IgnoreDirs"},   {"EditRegExp", "RegExpText"}, {"EditSelectProgram", "SelectProgram"}};
  for (const auto& [name, key] : edits) {
    before = options;
    Edit(*form, name)->setText(QStringLiteral("表 %1").arg(QString::fromLatin1(key)));
    expectOnly(before, key);
  }
  EXPECT_EQ(options.HtmlTitle, Utf8ToAnsi("表 HtmlTitle"));

  // The tree level moves only through the arrows, within 0..256.
  auto* upDown = Find<TUpDown>(*form, "UpDownTreeLevel");
  before = options;
  upDown->UpButton()->click();
  expectOnly(before, "TreeLevel");
  EXPECT_EQ(options.TreeLevel, 1);
  upDown->DownButton()->click();
  upDown->DownButton()->click();
  EXPECT_EQ(options.TreeLevel, 0);
  EXPECT_EQ(Edit(*form, "EditTreeLevel")->text(), "0");

  before = options;
  Find<QTabWidget>(*form, "PageControl")->setCurrentIndex(2);
  expectOnly(before, "ActivePageIndex");
  before = options;
  Find<QTabWidget>(*form, "PageControlExtension")->setCurrentIndex(1);
  expectOnly(before, "ExtensionActivePageIndex");
}

TEST_F(OrvantisForm, SwitchingTheCodePageKeepsWhatTheUserTyped) {
  auto form = StartForm();
  RunOptions& options = form->Driver().Options;
  TPanelRadioGroup* encoding = Group(*form, "PanelRadioGroupTextEncoding");
  Edit(*form, "EditTitle")->setText(QString::fromUtf8("Café 日本"));
  EXPECT_EQ(options.HtmlTitle, "Caf? \x93\xFA\x96\x7B");  // CP932 cannot hold é

  encoding->Button(1)->click();
  EXPECT_EQ(options.TextEncoding, 1);
  EXPECT_EQ(ActiveCodePage(), CodePageUtf8);
  EXPECT_EQ(options.HtmlTitle, "Caf\xC3\xA9 \xE6\x97\xA5\xE6\x9C\xAC");
  EXPECT_EQ(Edit(*form, "EditTitle")->text(), QString::fromUtf8("Café 日本"));

  encoding->Button(0)->click();
  EXPECT_EQ(ActiveCodePage(), CodePageShiftJis);
  EXPECT_EQ(options.HtmlTitle, "Caf? \x93\xFA\x96\x7B");
  EXPECT_EQ(Edit(*form, "EditTitle")->text(), QString::fromUtf8("Café 日本"));
}

TEST_F(OrvantisForm, SettingsRoundTripThroughTheControls) {
  RunOptions stored;
  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<bool RunOptions::*>(&key.Field)) stored.*(*field) = !(stored.*(*field));
  }
  stored.ActivePageIndex = 3;
  stored.ExtensionActivePageIndex = 2;
  stored.PathMode = 1;
  stored.FileSizeUnit = 3;
  stored.FileType = FileTypeXml;
  stored.LinkPathMode = 1;
  stored.HtmlFormat = 0;
  stored.FilterMode = 1;
  stored.TreeLevel = 17;
  stored.HtmlTitle = Utf8ToAnsi("一覧 <&> \"ソ表\"");
  stored.IconDir = "ico";
  stored.Extensions = "txt,pdf";
  stored.IgnoreDirs = ".git";
  stored.RegExpText = "\\.(c|h)$";
  stored.SelectProgram = "/usr/bin/true";
  struct TPlacementSource : TWindowPlacementHook {
    bool GetWindowPlacement(TWindowPlacement& placement) override {
      placement.NormalLeft = 40;
      placement.NormalTop = 30;
      placement.NormalRight = 40 + 545;
      placement.NormalBottom = 30 + 437;
      return true;
    }
    void SetWindowPlacement(const TWindowPlacement& placement) override { Loaded = placement; }
    TWindowPlacement Loaded;
  } placement;
  SaveSettings(m_home / "Orvantis.ini", stored, &placement);

  auto form = StartForm();
  EXPECT_EQ(form->pos(), QPoint(40, 30));
  for (const TOptionKey& key : OptionKeys()) {
    if (auto field = std::get_if<bool RunOptions::*>(&key.Field)) {
      EXPECT_EQ(Find<QCheckBox>(*form, CheckBoxFor(key.Key))->isChecked(), stored.*(*field)) << key.Key;
    }
  }
  EXPECT_EQ(Find<QTabWidget>(*form, "PageControl")->currentIndex(), 3);
  EXPECT_EQ(Find<QTabWidget>(*form, "PageControlExtension")->currentIndex(), 2);
  EXPECT_EQ(Group(*form, "PanelRadioGroupPathMode")->ItemIndex(), 1);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFileSizeUnit")->ItemIndex(), 3);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFileType")->ItemIndex(), 2);
  EXPECT_EQ(Group(*form, "PanelRadioGroupHtmlFormat")->ItemIndex(), 0);
  EXPECT_EQ(Group(*form, "PanelRadioGroupFilter")->ItemIndex(), 1);
  EXPECT_TRUE(Find<QGroupBox>(*form, "PanelRadioGroupLinkPath")->findChildren<QRadioButton*>()[1]->isChecked());
  EXPECT_EQ(Edit(*form, "EditTreeLevel")->text(), "17");
  EXPECT_EQ(Edit(*form, "EditTitle")->text(), "一覧 <&> \"ソ表\"");
  EXPECT_EQ(Edit(*form, "EditRegExp")->text(), "\\.(c|h)$");

  ASSERT_TRUE(form->close());
  EXPECT_EQ(ChangedKeys(stored, Saved(&placement)), std::vector<std::string>{});
  EXPECT_EQ(placement.Loaded.NormalLeft, 40);
  EXPECT_EQ(placement.Loaded.NormalTop, 30);
}

TEST_F(OrvantisForm, EnablingRulesFollowTheControls) {
  auto form = StartForm();
  TPanelRadioGroup* fileType = Group(*form, "PanelRadioGroupFileType");
  auto* linkPath = Find<QGroupBox>(*form, "PanelRadioGroupLinkPath");
  QLineEdit* title = Edit(*form, "EditTitle");
  QLineEdit* iconDir = Edit(*form, "EditIconDir");

  Check(*form, "CheckBoxOutputIconFile")->click();
  EXPECT_TRUE(iconDir->isEnabled());
  EXPECT_EQ(Background(iconDir), HighlightText());

  fileType->Button(0)->click();  // CSV
  EXPECT_EQ(form->Driver().Options.FileType, FileTypeCsv);
  for (const char* name : {"CheckBoxHyperLink", "CheckBoxOutputIconFile", "CheckBoxXSLT"}) {
    EXPECT_FALSE(Check(*form, name)->isEnabled()) << name;
  }
  EXPECT_FALSE(linkPath->isEnabled());
  EXPECT_FALSE(Group(*form, "PanelRadioGroupHtmlFormat")->isEnabled());
  EXPECT_FALSE(title->isEnabled());
  EXPECT_EQ(Background(title), ButtonFace());
  EXPECT_FALSE(iconDir->isEnabled());
  EXPECT_EQ(Background(iconDir), ButtonFace());
  EXPECT_TRUE(Check(*form, "CheckBoxOutputIconFile")->isChecked());  // greyed, not cleared

  fileType->Button(2)->click();  // XML
  EXPECT_TRUE(Check(*form, "CheckBoxXSLT")->isEnabled());
  EXPECT_FALSE(Group(*form, "PanelRadioGroupHtmlFormat")->isEnabled());
  EXPECT_TRUE(title->isEnabled());
  EXPECT_EQ(Background(title), HighlightText());

  fileType->Button(1)->click();  // HTML, then absolute paths
  Group(*form, "PanelRadioGroupPathMode")->Button(1)->click();
  EXPECT_TRUE(Check(*form, "CheckBoxHyperLink")->isChecked());
  EXPECT_FALSE(linkPath->isEnabled());
  Group(*form, "PanelRadioGroupPathMode")->Button(0)->click();
  EXPECT_TRUE(linkPath->isEnabled());
  Check(*form, "CheckBoxHyperLink")->click();
  EXPECT_FALSE(linkPath->isEnabled());

  QCheckBox* treeLevel = Check(*form, "CheckBoxEnableTreeLevel");
  treeLevel->click();
  Find<TUpDown>(*form, "UpDownTreeLevel")->UpButton()->click();
  EXPECT_TRUE(Edit(*form, "EditTreeLevel")->isEnabled());
  Check(*form, "CheckBoxSubDir")->click();
  EXPECT_FALSE(treeLevel->isEnabled());
  EXPECT_TRUE(treeLevel->isChecked());
  EXPECT_FALSE(Edit(*form, "EditTreeLevel")->isEnabled());
  EXPECT_EQ(Edit(*form, "EditTreeLevel")->text(), "1");
  EXPECT_TRUE(Find<TUpDown>(*form, "UpDownTreeLevel")->isEnabled());

  Check(*form, "CheckBoxExtensionFilter")->click();
  EXPECT_TRUE(Edit(*form, "EditExtensionFilter")->isEnabled());
  EXPECT_TRUE(Group(*form, "PanelRadioGroupFilter")->isEnabled());
  Check(*form, "CheckBoxIgnoreDir")->click();
  EXPECT_EQ(Background(Edit(*form, "EditIgnoreDirs")), HighlightText());
  Check(*form, "CheckBoxRegExp")->click();
  EXPECT_TRUE(Edit(*form, "EditRegExp")->isEnabled());

  QCheckBox* useProgram = Check(*form, "CheckBoxUseSelectProgram");
  useProgram->click();
  EXPECT_TRUE(Edit(*form, "EditSelectProgram")->isEnabled());
  EXPECT_EQ(Background(Edit(*form, "EditSelectProgram")), HighlightText());
  EXPECT_TRUE(Find<QPushButton>(*form, "ButtonSelectProgram")->isEnabled());
  useProgram->click();
  EXPECT_FALSE(Find<QPushButton>(*form, "ButtonSelectProgram")->isEnabled());
  EXPECT_EQ(Background(Edit(*form, "EditSelectProgram")), ButtonFace());
  EXPECT_EQ(Background(title), HighlightText());

  // The rules while running are checked by the run tests below; after a run every
  // rule holds again.
  EXPECT_TRUE(Find<QWidget>(*form, "ShellTreeView")->isEnabled());
  EXPECT_TRUE(Check(*form, "CheckBoxSlashDelimiter")->isEnabled());
  EXPECT_FALSE(Edit(*form, "EditSelectProgram")->isEnabled());
  EXPECT_EQ(Find<QPushButton>(*form, "ButtonExecute")->text(), "実行(&E)");
}

// A window whose dialogs answer by themselves and whose user may act once during a
// run, at the first pump after the walk has reported entries: press the button (now
// the stop command) and untick "open after output", or close the window.
class TUnattendedForm : public TOrvantisForm {
public:
  enum class TAction { None, Stop, Close };

  bool ChooseOutputFile(const std::string& extension, TFilePath& file) override {
    ChosenExtension = extension;
    file = TFilePath::FromNative(Output);
    return true;
  }
  TFilePath SelectedDirectory() override { return TFilePath::FromNative(Target); }
  void ShowError(const std::string& text) override { Error = text; }
  void ShowStatus(const std::string& text) override {
    TOrvantisForm::ShowStatus(text);
    if (OnEntryShown && Driver().EntriesWalked() > 0) OnEntryShown();
  }
  void Pump() override {
    if (Action != TAction::None && Driver().Running() && Driver().EntriesWalked() > 0 && !Acted) {
      Acted = true;
      CaptionWhileRunning = findChild<QPushButton*>("ButtonExecute")->text();
      PagesEnabledWhileRunning = findChild<QTabWidget*>("PageControl")->isEnabled();
      TreeEnabledWhileRunning = findChild<QWidget*>("ShellTreeView")->isEnabled();
      FileOpenEnabledWhileRunning = findChild<QCheckBox*>("CheckBoxFileOpen")->isEnabled();
      if (Action == TAction::Stop) {
        findChild<QCheckBox*>("CheckBoxFileOpen")->click();
        findChild<QPushButton*>("ButtonExecute")->click();
      } else if (Action == TAction::Close) {
        ClosedWhileRunning = close();
      }
    }
    TOrvantisForm::Pump();
  }

  TAction Action = TAction::Stop;
  // Called at each status text once the walk has reported an entry.
  std::function<void()> OnEntryShown;
  std::string Output, Target, ChosenExtension, Error;
  bool Acted = false;
  bool ClosedWhileRunning = false;
  QString CaptionWhileRunning;
  bool PagesEnabledWhileRunning = true;
  bool TreeEnabledWhileRunning = true;
  bool FileOpenEnabledWhileRunning = false;
};

class OrvantisFormRun : public OrvantisForm {
protected:
  void SetUp() override {
    for (const char* name : {"a/b/c.txt", "a/b/d.txt", "d/e.txt", "f.txt", "g.txt"}) m_tree.WriteFile(name, "x");
    m_home.WriteFile("Orvantis.ini", "[Output]\r\nFileOpen=0\r\n");
    m_form = StartForm<TUnattendedForm>();
    m_form->Output = m_home / "list.html";
    m_form->Target = m_tree.Path();
  }
  void Execute() { Find<QPushButton>(*m_form, "ButtonExecute")->click(); }
  bool Idle() const {
    return !m_form->Driver().Running() && Find<QPushButton>(*m_form, "ButtonExecute")->text() == "実行(&E)" &&
           Find<QTabWidget>(*m_form, "PageControl")->isEnabled() &&
           Find<QWidget>(*m_form, "ShellTreeView")->isEnabled();
  }

  test::TTempDir m_tree;
  std::unique_ptr<TUnattendedForm> m_form;
};

TEST_F(OrvantisFormRun, StoppedFromTheButton) {
  Find<QCheckBox>(*m_form, "CheckBoxFileOpen")->click();  // on again; the user turns it off while running
  Execute();
  EXPECT_TRUE(m_form->Acted);
  EXPECT_EQ(m_form->ChosenExtension, "html");
  EXPECT_EQ(m_form->CaptionWhileRunning, "中断(&S)");
  EXPECT_FALSE(m_form->PagesEnabledWhileRunning);
  EXPECT_FALSE(m_form->TreeEnabledWhileRunning);
  EXPECT_TRUE(m_form->FileOpenEnabledWhileRunning);
  EXPECT_FALSE(m_form->Driver().Options.FileOpen);
  EXPECT_TRUE(Idle());
  EXPECT_EQ(Find<QLabel>(*m_form, "StatusPanel")->text(), "処理が中断されました");
  EXPECT_EQ(test::ReadFileText(m_form->Output), "");
}

TEST_F(OrvantisFormRun, ClosingWhileRunningLetsTheRunFinish) {
  m_form->Action = TUnattendedForm::TAction::Close;
  Execute();
  EXPECT_TRUE(m_form->Acted);
  EXPECT_FALSE(m_form->ClosedWhileRunning);
  EXPECT_NE(test::ReadFileText(m_form->Output).find("</html>"), std::string::npos);
  EXPECT_FALSE(m_form->isVisible());
  EXPECT_NE(test::ReadFileText(m_home / "Orvantis.ini").find("ProductVersion"), std::string::npos);
}

TEST_F(OrvantisFormRun, ErrorBoxReturnsToIdle) {
  m_form->Action = TUnattendedForm::TAction::None;
  m_form->Output = m_home / "missing/list.html";
  Execute();
  EXPECT_NE(m_form->Error, "");
  EXPECT_TRUE(Idle());
}

TEST_F(OrvantisFormRun, SigtermStopsTheRunAndClosesTheWindow) {
  // The signal arrives during the run; the window acts on it at the run's next pump,
  // as on a click of the stop button followed by closing the window.
  m_form->WatchTerminationSignal();
  m_form->Action = TUnattendedForm::TAction::None;
  m_form->Driver().Options.SubFolder = true;
  bool raised = false;
  m_form->OnEntryShown = [&] {
    if (raised) return;
    raised = raise(SIGTERM) == 0;
    // Past the window's pump interval, so that the next pump looks at the events.
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  };
  Execute();
  EXPECT_TRUE(raised);
  EXPECT_FALSE(m_form->isVisible());
  EXPECT_EQ(m_form->Driver().EntriesWalked(), 1);
  EXPECT_EQ(test::ReadFileText(m_form->Output), "");
  EXPECT_NE(test::ReadFileText(m_home / "Orvantis.ini").find("ProductVersion"), std::string::npos);
}

TEST_F(OrvantisForm, AutomaticModeRunsAndCloses) {
  test::TTempDir tree;
  tree.WriteFile("a/b.txt", "x");
  m_home.WriteFile("Orvantis.ini", "[Output]\r\nFileOpen=0\r\n");
  auto form = std::make_unique<TOrvantisForm>();
  form->Start({tree.Path(), m_home / "out.XML"});
  EXPECT_EQ(form->windowTitle(), "Orvantis - AUTO MODE -");
  form->show();
  QElapsedTimer clock;
  clock.start();
  while (form->isVisible() && clock.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(form->AutomaticOutcome(), TRunOutcome::Written);
  EXPECT_EQ(test::ReadFileText(m_home / "out.XML").rfind("<?xml", 0), 0u);
  EXPECT_EQ(Saved().FileType, FileTypeXml);
}

}  // namespace
}  // namespace orv
