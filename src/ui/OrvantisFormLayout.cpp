// The main window's controls: where each one sits, its text, and the run option it
// edits. Controls are made in tab order, which is how Qt orders them for the Tab key.
// Pages are made as children of their page control from the start, so that they
// measure their texts in the window's font.
#include "ui/OrvantisForm.h"

#include "core/Settings.h"
#include "core/ProductInfo.h"
#include "ui/FolderTree.h"
#include "ui/FramedGroup.h"
#include "ui/PanelRadioGroup.h"
#include "ui/QtText.h"
#include "ui/UpDown.h"
#include "ui/UrlLabel.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QProxyStyle>
#include <QPushButton>
#include <QRadioButton>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QTabWidget>

#include <algorithm>

namespace orv {

namespace {

constexpr int kClientWidth = 545;
constexpr int kClientHeight = 437;
constexpr int kStatusBarHeight = 22;
// The sizes of the application icon built into the program (data/icons/NxN.png).
constexpr int kApplicationIconSizes[] = {16, 32, 48, 256};
// The check boxes of the toolkit take 8 pixels more beside their text than the
// layout allowed for; a slightly narrowed face gives them back.
constexpr int kFontStretch = 92;
// Between an edit box and its label on the left.
constexpr int kLabelSpacing = 3;

void Name(QWidget* widget, const char* name) { widget->setObjectName(QString::fromLatin1(name)); }

// The ordinary framed radio group: the buttons share the inside of the frame in one
// column.
void ArrangeFramedGroup(QGroupBox* box, const QList<QRadioButton*>& buttons) {
  const QRect inside = box->contentsRect();
  const int count = static_cast<int>(buttons.size());
  const int height = inside.height() / count;
  const int top = inside.top() + (inside.height() - height * count) / 2;
  for (int i = 0; i < count; ++i) {
    buttons[i]->setGeometry(8, top + i * height, box->width() - 10 - 8, height);
  }
}

// Tabs as narrow as the layout was drawn for: with the toolkit's wide tab padding the
// five page names need scroll arrows in a 313-pixel page control.
class TCompactTabStyle : public QProxyStyle {
public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option, const QWidget* widget) const override {
    if (metric == PM_TabBarTabHSpace) {
      return kTabTextPadding;
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

private:
  static constexpr int kTabTextPadding = 12;
};

// The size of the pages of a page control, as it will lay them out.
QSize PageSize(QTabWidget* pages) {
  QStyleOptionTabWidgetFrame option;
  option.initFrom(pages);
  option.lineWidth = pages->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, nullptr, pages);
  option.shape = pages->tabBar()->shape();
  option.tabBarSize = pages->tabBar()->sizeHint();
  return pages->style()->subElementRect(QStyle::SE_TabWidgetTabContents, &option, pages).size();
}

}  // namespace

QFont FormFont() {
  // The proportional member of the IPA gothic family: its kana are as narrow as those
  // of the Windows UI font the layout was drawn for, where the fixed-pitch member
  // overruns nearly every check box.
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(12);
  font.setStretch(kFontStretch);
  font.setStyleHint(QFont::SansSerif);
  return font;
}

void TOrvantisForm::CreateControls() {
  setFont(FormFont());
  setWindowTitle(QStringLiteral("Orvantis"));
  setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                 Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
  setFixedSize(kClientWidth, kClientHeight);
  setAcceptDrops(true);
  // The program's own icon, built in, so a portable copy shows it as an installed one does.
  QIcon programIcon;
  for (const int size : kApplicationIconSizes) {
    programIcon.addFile(QStringLiteral(":/icons/%1x%1.png").arg(size), QSize(size, size));
  }
  setWindowIcon(programIcon);

  // Window level tab order: the pages, the open check box, the button, the tree.
  m_pageControl = new QTabWidget(this);
  Name(m_pageControl, "PageControl");
  m_pageControl->setGeometry(224, 8, 313, 369);
  auto* tabStyle = new TCompactTabStyle;
  tabStyle->setParent(this);
  m_pageControl->tabBar()->setStyle(tabStyle);
  m_pageControl->addTab(CreateOutputPage(), QStringLiteral("出力形式"));
  m_pageControl->addTab(CreateSearchPage(), QStringLiteral("検索条件"));
  m_pageControl->addTab(CreateItemsPage(), QStringLiteral("対象項目"));
  m_pageControl->addTab(CreateMiscPage(), QStringLiteral("その他"));
  m_pageControl->addTab(CreateVersionPage(), QStringLiteral("バージョン情報"));
  connect(m_pageControl, &QTabWidget::currentChanged, this, [this](int index) {
    if (!m_showingOptions) m_driver.Options.ActivePageIndex = index;
  });

  m_checkBoxFileOpen = AddCheck(this, "CheckBoxFileOpen", {224, 387, 209, 17},
                                QStringLiteral("出力後自動的にファイルをオープンする"), &RunOptions::FileOpen, false);

  m_buttonExecute = new QPushButton(QStringLiteral("実行(&E)"), this);
  Name(m_buttonExecute, "ButtonExecute");
  m_buttonExecute->setGeometry(440, 384, 97, 25);
  connect(m_buttonExecute, &QPushButton::clicked, this, &TOrvantisForm::ButtonExecuteClick);

  m_shellTreeView = new TFolderTree(this);
  Name(m_shellTreeView, "ShellTreeView");
  m_shellTreeView->setGeometry(8, 8, 209, 401);

  // Kept for its command; it is never shown, the Execute button stops a run.
  m_buttonStop = new QPushButton(QStringLiteral("中断(&S)"), this);
  Name(m_buttonStop, "ButtonStop");
  m_buttonStop->setGeometry(104, 272, 97, 25);
  m_buttonStop->hide();
  connect(m_buttonStop, &QPushButton::clicked, this, &TOrvantisForm::ButtonStopClick);

  m_statusBar = new QStatusBar(this);
  Name(m_statusBar, "StatusBar");
  m_statusBar->setSizeGripEnabled(false);
  m_statusBar->setGeometry(0, kClientHeight - kStatusBarHeight, kClientWidth, kStatusBarHeight);
  m_statusPanel = new QLabel(m_statusBar);
  Name(m_statusPanel, "StatusPanel");
  // Names are shown as written, never as markup, and a long one must not widen the bar.
  m_statusPanel->setTextFormat(Qt::PlainText);
  m_statusPanel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
  // One sunken panel across the bar, so the bar reads as a bar also while it is empty.
  m_statusPanel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  m_statusBar->addWidget(m_statusPanel, 1);
}

QWidget* TOrvantisForm::CreateOutputPage() {
  auto* page = new QWidget(m_pageControl);
  Name(page, "TabSheetOutput");
  m_pathMode = AddGroup(page, "PanelRadioGroupPathMode", {8, 8, 289, 25}, QStringLiteral("パス名の表示方法"),
                        {QStringLiteral("相対パス"), QStringLiteral("絶対パス")}, 2, TCaptionPos::cpLeftCenter,
                        &RunOptions::PathMode, true);
  AddCheck(page, "CheckBoxSlashDelimiter", {16, 35, 249, 17}, QStringLiteral("パスの区切り文字に \"/\" を使用する"),
           &RunOptions::SlashDelimiter, false);
  m_fileType = AddGroup(page, "PanelRadioGroupFileType", {8, 56, 289, 25}, QStringLiteral("ファイル形式"),
                        {QStringLiteral("CSV"), QStringLiteral("HTML"), QStringLiteral("XML")}, 3,
                        TCaptionPos::cpLeftCenter, &RunOptions::FileType, true);
  m_hyperLink = AddCheck(page, "CheckBoxHyperLink", {16, 85, 169, 17}, QStringLiteral("ファイルへのリンクを有効にする"),
                         &RunOptions::HyperLink, true);

  m_linkPath = new TFramedGroup(QStringLiteral("相対パスのリンク指定方法"), page);
  Name(m_linkPath, "PanelRadioGroupLinkPath");
  m_linkPath->setGeometry(8, 105, 289, 57);
  m_linkPathButtons = new QButtonGroup(m_linkPath);
  QList<QRadioButton*> linkButtons;
  for (const QString& text : {QStringLiteral("ターゲットディレクトリのパスを基準とする"),
                              QStringLiteral("出力ファイルのパスを基準とする")}) {
    auto* button = new QRadioButton(text, m_linkPath);
    m_linkPathButtons->addButton(button, static_cast<int>(linkButtons.size()));
    linkButtons.append(button);
  }
  ArrangeFramedGroup(m_linkPath, linkButtons);
  connect(m_linkPathButtons, &QButtonGroup::idClicked, this, [this](int id) {
    if (!m_showingOptions) m_driver.Options.LinkPathMode = id;
  });

  m_htmlFormat = AddGroup(page, "PanelRadioGroupHtmlFormat", {8, 167, 289, 28}, QStringLiteral("HTML表示形式"),
                          {QStringLiteral("テーブル形式"), QStringLiteral("ツリー形式")}, 2, TCaptionPos::cpLeftCenter,
                          &RunOptions::HtmlFormat, false);
  m_editTitle = AddEdit(page, "EditTitle", {48, 200, 249, 20}, &RunOptions::HtmlTitle);
  AddEditLabel(m_editTitle, "LabelTitle", QStringLiteral("タイトル"));
  m_outputIconFile = AddCheck(page, "CheckBoxOutputIconFile", {16, 226, 273, 17},
                              QStringLiteral("アイコンファイルをイメージとして出力する"), &RunOptions::OutputIconFile, true);
  m_editIconDir = AddEdit(page, "EditIconDir", {96, 246, 201, 20}, &RunOptions::IconDir);
  AddEditLabel(m_editIconDir, "LabelIconDir", QStringLiteral("出力ディレクトリ名"));
  AddCheck(page, "CheckBoxSortByLastWriteTime", {16, 272, 273, 17},
           QStringLiteral("ファイルを最終更新日時が新しい順にソートする"), &RunOptions::SortByLastWriteTime, true);
  AddCheck(page, "CheckBoxEnableAlias", {16, 296, 273, 17}, QStringLiteral("ファイル名をエイリアスで置換して出力する"),
           &RunOptions::EnableAlias, true);
  m_xslt = AddCheck(page, "CheckBoxXSLT", {16, 320, 273, 17}, QStringLiteral("XSLTを有効にする"), &RunOptions::XSLT,
                    true);
  return page;
}

QWidget* TOrvantisForm::CreateSearchPage() {
  auto* page = new QWidget(m_pageControl);
  Name(page, "TabSheetSearch");
  m_subDir = AddCheck(page, "CheckBoxSubDir", {8, 8, 137, 17}, QStringLiteral("サブディレクトリを検索する"),
                      &RunOptions::SubFolder, true);
  m_enableTreeLevel = AddCheck(page, "CheckBoxEnableTreeLevel", {24, 28, 217, 17},
                               QStringLiteral("ディレクトリの検索対象階層数を指定する"), &RunOptions::EnableTreeLevel, true);

  m_editTreeLevel = new QLineEdit(page);
  Name(m_editTreeLevel, "EditTreeLevel");
  m_editTreeLevel->setGeometry(248, 26, 33, 20);
  m_editTreeLevel->setReadOnly(true);
  m_editTreeLevel->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  m_upDownTreeLevel = new TUpDown(page);
  Name(m_upDownTreeLevel, "UpDownTreeLevel");
  m_upDownTreeLevel->setGeometry(248 + 33, 26, 15, 20);
  m_upDownTreeLevel->SetRange(0, 256);
  m_upDownTreeLevel->Associate(m_editTreeLevel);
  connect(m_upDownTreeLevel, &TUpDown::PositionChanged, this, [this](int position) {
    if (!m_showingOptions) m_driver.Options.TreeLevel = position;
  });

  m_extensionFilter = AddCheck(page, "CheckBoxExtensionFilter", {8, 51, 297, 17},
                               QStringLiteral("フィルタを有効にする（拡張子のみをカンマ区切りで指定）"),
                               &RunOptions::ExtensionFilter, true);
  m_editExtensionFilter = AddEdit(page, "EditExtensionFilter", {16, 70, 273, 20}, &RunOptions::Extensions);
  m_filter = AddGroup(page, "PanelRadioGroupFilter", {8, 92, 289, 41}, QStringLiteral("フィルターの動作モード"),
                      {QStringLiteral("検索対象とする"), QStringLiteral("検索対象外とする")}, 2, TCaptionPos::cpTopLeft,
                      &RunOptions::FilterMode, false);
  m_ignoreDir = AddCheck(page, "CheckBoxIgnoreDir", {8, 138, 297, 17},
                         QStringLiteral("指定したディレクトリ配下を対象外とする"), &RunOptions::IgnoreDir, true);
  auto* hint = new QLabel(QStringLiteral("（ディレクトリのみをカンマ区切りで指定）"), page);
  Name(hint, "Label1");
  hint->move(24, 157);
  hint->adjustSize();
  m_editIgnoreDirs = AddEdit(page, "EditIgnoreDirs", {16, 172, 273, 20}, &RunOptions::IgnoreDirs);
  AddCheck(page, "CheckBoxDirectoryOnly", {8, 200, 161, 17}, QStringLiteral("ディレクトリのみを対象とする"),
           &RunOptions::DirectoryOnly, false);
  AddCheck(page, "CheckBoxIgnoreSystemAttribute", {8, 224, 257, 17},
           QStringLiteral("システム属性のファイル/ディレクトリを対象外とする"), &RunOptions::IgnoreSystemAttribute, false);
  AddCheck(page, "CheckBoxIgnoreHiddenAttribute", {8, 248, 257, 17},
           QStringLiteral("隠し属性のファイル/ディレクトリを対象外とする"), &RunOptions::IgnoreHiddenAttribute, false);
  AddCheck(page, "CheckBoxIgnoreEmptyDir", {8, 272, 217, 17}, QStringLiteral("空のディレクトリを対象外にする"),
           &RunOptions::IgnoreEmptyDir, false);
  m_regExp = AddCheck(page, "CheckBoxRegExp", {8, 296, 297, 17},
                      QStringLiteral("正規表現によるファイル名のフィルタリングを有効にする"), &RunOptions::RegExp, true);
  m_editRegExp = AddEdit(page, "EditRegExp", {24, 315, 273, 20}, &RunOptions::RegExpText);
  return page;
}

QWidget* TOrvantisForm::CreateItemsPage() {
  auto* page = new QWidget(m_pageControl);
  Name(page, "TabSheetItems");
  // Left column first, then the right one.
  AddCheck(page, "CheckBoxFileSize", {8, 7, 89, 17}, QStringLiteral("ファイルサイズ"), &RunOptions::FileSize, false);
  AddGroup(page, "PanelRadioGroupFileSizeUnit", {24, 32, 273, 25}, QString(),
           {QStringLiteral("[B]"), QStringLiteral("[KB]"), QStringLiteral("[MB]"), QStringLiteral("[GB]")}, 4,
           TCaptionPos::cpLeftCenter, &RunOptions::FileSizeUnit, true);
  AddCheck(page, "CheckBoxFileExtension", {8, 64, 113, 17}, QStringLiteral("拡張子"), &RunOptions::FileExtension, false);
  AddCheck(page, "CheckBoxCreationTime", {8, 88, 97, 17}, QStringLiteral("作成日時"), &RunOptions::CreationTime, false);
  AddCheck(page, "CheckBoxLastUpdateTime", {8, 112, 113, 17}, QStringLiteral("最終更新日時"),
           &RunOptions::LastUpdateTime, false);
  AddCheck(page, "CheckBoxLastAccessTime", {8, 136, 113, 17}, QStringLiteral("最終アクセス日時"),
           &RunOptions::LastAccessTime, false);
  AddCheck(page, "CheckBoxAttribute", {9, 160, 97, 17}, QStringLiteral("属性"), &RunOptions::Attribute, false);
  AddCheck(page, "CheckBoxHashUpper", {145, 64, 128, 17}, QStringLiteral("ハッシュを大文字にする"),
           &RunOptions::HashUpper, false);
  AddCheck(page, "CheckBoxCRC32", {161, 88, 97, 17}, QStringLiteral("CRC32"), &RunOptions::CRC32, false);
  AddCheck(page, "CheckBoxMD5", {161, 112, 97, 17}, QStringLiteral("MD5"), &RunOptions::MD5, false);
  AddCheck(page, "CheckBoxSHA1", {161, 136, 97, 17}, QStringLiteral("SHA1"), &RunOptions::SHA1, false);

  m_pageControlExtension = new QTabWidget(page);
  Name(m_pageControlExtension, "PageControlExtension");
  m_pageControlExtension->setGeometry(0, 184, 297, 153);
  m_pageControlExtension->tabBar()->setStyle(m_pageControl->tabBar()->style());
  m_pageControlExtension->addTab(CreateVersionSubPage(), QStringLiteral("バージョン情報"));
  m_pageControlExtension->addTab(CreatePdfSubPage(), QStringLiteral("PDF"));
  m_pageControlExtension->addTab(CreateExifSubPage(), QStringLiteral("Exif情報"));
  connect(m_pageControlExtension, &QTabWidget::currentChanged, this, [this](int index) {
    if (!m_showingOptions) m_driver.Options.ExtensionActivePageIndex = index;
  });
  return page;
}

QWidget* TOrvantisForm::CreateVersionSubPage() {
  auto* page = new QWidget(m_pageControlExtension);
  Name(page, "TabSheetVersionInfo");
  struct Entry {
    const char* Name;
    int Left, Top;
    const char16_t* Text;
    bool RunOptions::* Field;
  };
  static const Entry entries[] = {
      {"CheckBoxFileVersion", 8, 5, u"ファイルバージョン", &RunOptions::FileVersion},
      {"CheckBoxFileDescription", 8, 29, u"説明", &RunOptions::FileDescription},
      {"CheckBoxComments", 8, 55, u"コメント", &RunOptions::Comments},
      {"CheckBoxLegalCopyright", 8, 77, u"著作権", &RunOptions::LegalCopyright},
      {"CheckBoxCompanyName", 8, 101, u"会社名", &RunOptions::CompanyName},
      {"CheckBoxLegalTrademarks", 144, 5, u"商標", &RunOptions::LegalTrademarks},
      {"CheckBoxOriginalFileName", 144, 29, u"正式ファイル名", &RunOptions::OriginalFileName},
      {"CheckBoxProductVersion", 144, 53, u"製品バージョン", &RunOptions::ProductVersion},
      {"CheckBoxProductName", 144, 77, u"製品名", &RunOptions::ProductName},
      {"CheckBoxInternalName", 144, 101, u"内部名", &RunOptions::InternalName},
  };
  for (const Entry& entry : entries) {
    AddCheck(page, entry.Name, {entry.Left, entry.Top, 129, 17}, QString::fromUtf16(entry.Text), entry.Field, false);
  }
  return page;
}

QWidget* TOrvantisForm::CreatePdfSubPage() {
  auto* page = new QWidget(m_pageControlExtension);
  Name(page, "TabSheetPdf");
  AddCheck(page, "CheckBoxPdfFileVersion", {8, 5, 129, 17}, QStringLiteral("PDFファイルバージョン"),
           &RunOptions::PdfFileVersion, false);
  AddCheck(page, "CheckBoxPdfPageCount", {8, 29, 129, 17}, QStringLiteral("PDFページ数"), &RunOptions::PdfPageCount,
           false);
  return page;
}

QWidget* TOrvantisForm::CreateExifSubPage() {
  auto* page = new QWidget(m_pageControlExtension);
  Name(page, "TabSheetExif");
  struct Entry {
    const char* Name;
    int Left, Top, Width;
    const char16_t* Text;
    bool RunOptions::* Field;
  };
  static const Entry entries[] = {
      {"CheckBoxExifArtist", 8, 5, 129, u"作者名", &RunOptions::ExifArtist},
      {"CheckBoxExifCopyright", 8, 29, 137, u"撮影/編集著作権者名", &RunOptions::ExifCopyright},
      {"CheckBoxExifMake", 8, 53, 161, u"画像入力機器のメーカー名", &RunOptions::ExifMake},
      {"CheckBoxExifModel", 8, 77, 161, u"画像入力機器のモデル名", &RunOptions::ExifModel},
      {"CheckBoxExifVersion", 8, 101, 161, u"Exifバージョン", &RunOptions::ExifVersion},
      {"CheckBoxExifDateTime", 168, 5, 129, u"ファイル変更日時", &RunOptions::ExifDateTime},
      {"CheckBoxExifImageWidth", 168, 29, 129, u"画像の幅", &RunOptions::ExifImageWidth},
      {"CheckBoxExifImageLength", 168, 53, 129, u"画像の高さ", &RunOptions::ExifImageLength},
      {"CheckBoxExifUserComment", 168, 77, 129, u"ユーザコメント", &RunOptions::ExifUserComment},
  };
  for (const Entry& entry : entries) {
    AddCheck(page, entry.Name, {entry.Left, entry.Top, entry.Width, 17}, QString::fromUtf16(entry.Text), entry.Field,
             false);
  }
  return page;
}

QWidget* TOrvantisForm::CreateMiscPage() {
  auto* page = new QWidget(m_pageControl);
  Name(page, "TabSheetMisc");
  // The path box comes first in tab order, before its check box and button.
  m_editSelectProgram = AddEdit(page, "EditSelectProgram", {24, 29, 249, 20}, &RunOptions::SelectProgram);
  m_useSelectProgram = AddCheck(page, "CheckBoxUseSelectProgram", {8, 8, 289, 17},
                                QStringLiteral("自動的にファイルをオープンするときに下記を使用する"),
                                &RunOptions::UseSelectProgram, true);
  m_buttonSelectProgram = new QPushButton(QStringLiteral("..."), page);
  Name(m_buttonSelectProgram, "ButtonSelectProgram");
  m_buttonSelectProgram->setGeometry(277, 29, 25, 20);
  connect(m_buttonSelectProgram, &QPushButton::clicked, this, &TOrvantisForm::ButtonSelectProgramClick);

  m_textEncoding = AddGroup(page, "PanelRadioGroupTextEncoding", {8, 56, 289, 25}, QStringLiteral("出力文字コード"),
                            {QStringLiteral("Shift_JIS"), QStringLiteral("UTF-8")}, 2, TCaptionPos::cpLeftCenter,
                            &RunOptions::TextEncoding, false);
  connect(m_textEncoding, &TPanelRadioGroup::Changed, this, [this] {
    if (m_showingOptions) return;
    m_driver.SetTextEncoding(m_textEncoding->ItemIndex());
    // The boxes still hold what the user typed, in every character: take it again in
    // the new code page rather than what the old one could hold of it.
    for (const TEditBinding& binding : m_edits) {
      m_driver.Options.*binding.Field = ToAnsi(binding.Edit->text());
    }
  });
  return page;
}

QWidget* TOrvantisForm::CreateVersionPage() {
  auto* page = new QWidget(m_pageControl);
  Name(page, "TabSheetVersion");
  auto* image = new QLabel(page);
  Name(image, "Image1");
  image->setGeometry(16, 65, 33, 33);
  image->setAlignment(Qt::AlignCenter);
  image->setPixmap(windowIcon().pixmap(32, 32));

  m_labelVersion = new QLabel(page);
  Name(m_labelVersion, "LabelVersion");
  m_labelVersion->setGeometry(64, 65, 233, 12);
  m_labelVersion->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);

  m_urlLabel = new TUrlLabel(page);
  Name(m_urlLabel, "UrlLabel");
  m_urlLabel->setGeometry(64, 97, 233, 12);
  m_urlLabel->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
  m_urlLabel->Execution = true;

  m_labelVersion->setText(QString::fromLatin1(ProductVersionText));
  m_urlLabel->setText(QString::fromLatin1(MakerHomePageUrl));
  return page;
}

QCheckBox* TOrvantisForm::AddCheck(QWidget* parent, const char* name, QRect geometry, const QString& text,
                                   bool RunOptions::* field, bool refreshes) {
  auto* box = new QCheckBox(text, parent);
  Name(box, name);
  box->setGeometry(geometry);
  m_checks.push_back({box, field});
  connect(box, &QCheckBox::toggled, this, [this, field, refreshes](bool checked) {
    if (m_showingOptions) return;
    m_driver.Options.*field = checked;
    if (refreshes) RefreshControls();
  });
  return box;
}

TPanelRadioGroup* TOrvantisForm::AddGroup(QWidget* parent, const char* name, QRect geometry, const QString& caption,
                                          const QStringList& items, int columns, TCaptionPos captionPos,
                                          int RunOptions::* field, bool refreshes) {
  auto* group = new TPanelRadioGroup(parent);
  Name(group, name);
  group->BeginReading();
  group->SetCaption(caption);
  group->SetItems(items);
  group->SetColumns(columns);
  group->SetCaptionPos(captionPos);
  group->SetBevelOuter(TBevelCut::bvNone);
  group->setGeometry(geometry);
  group->EndReading();
  m_groups.push_back({group, field});
  connect(group, &TPanelRadioGroup::Changed, this, [this, group, field, refreshes] {
    if (m_showingOptions) return;
    m_driver.Options.*field = group->ItemIndex();
    if (refreshes) RefreshControls();
  });
  return group;
}

QLineEdit* TOrvantisForm::AddEdit(QWidget* parent, const char* name, QRect geometry, std::string RunOptions::* field) {
  auto* edit = new QLineEdit(parent);
  Name(edit, name);
  edit->setGeometry(geometry);
  // The settings file holds at most this much of a value.
  edit->setMaxLength(2047);
  m_edits.push_back({edit, field});
  connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& text) {
    if (!m_showingOptions) m_driver.Options.*field = ToAnsi(text);
  });
  return edit;
}

QLabel* TOrvantisForm::AddEditLabel(QLineEdit* edit, const char* name, const QString& text) {
  auto* label = new QLabel(text, edit->parentWidget());
  Name(label, name);
  label->setBuddy(edit);
  label->adjustSize();
  const QRect box = edit->geometry();
  label->move(std::max(0, box.left() - kLabelSpacing - label->width()),
              box.top() + (box.height() - label->height()) / 2);
  return label;
}

void TOrvantisForm::FitTexts() {
  // A page control sizes a page only when it is shown; every page gets the size it
  // will have now, so that the room on it can be measured.
  for (QTabWidget* pages : findChildren<QTabWidget*>()) {
    const QSize size = PageSize(pages);
    for (int i = 0; i < pages->count(); ++i) {
      pages->widget(i)->resize(size);
    }
  }
  // Only check boxes and labels that stand alone: a group's buttons are laid out by
  // the group.
  QList<QWidget*> candidates;
  for (QCheckBox* box : findChildren<QCheckBox*>()) candidates.append(box);
  for (QLabel* label : findChildren<QLabel*>()) {
    if (label != m_statusPanel && label->pixmap().isNull()) candidates.append(label);
  }
  for (QWidget* widget : candidates) {
    QWidget* parent = widget->parentWidget();
    const QRect box = widget->geometry();
    const QSize wanted = widget->sizeHint();
    if (wanted.height() > box.height() && qobject_cast<QLabel*>(widget)) {
      widget->resize(box.width(), wanted.height());
    }
    if (wanted.width() <= box.width() || qobject_cast<TUrlLabel*>(widget) || widget == m_labelVersion) {
      continue;
    }
    int limit = parent->width();
    for (QObject* child : parent->children()) {
      auto* sibling = qobject_cast<QWidget*>(child);
      if (!sibling || sibling == widget) continue;
      if (sibling->isHidden() && sibling->testAttribute(Qt::WA_WState_ExplicitShowHide)) continue;
      const QRect other = sibling->geometry();
      if (other.left() > box.left() && other.top() <= box.bottom() && other.bottom() >= box.top()) {
        limit = std::min(limit, other.left() - 2);
      }
    }
    const int width = std::min(wanted.width(), limit - box.left());
    if (width > box.width()) {
      widget->resize(width, widget->height());
    }
  }
}

}  // namespace orv
