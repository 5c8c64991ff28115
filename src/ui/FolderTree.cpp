// The folder tree: a QFileSystemModel restricted to folders behind a tree view.
#include "ui/FolderTree.h"

#include "ui/FolderModel.h"
#include "ui/QtIconSource.h"

#include "platform/Launch.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QGuiApplication>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QPainter>

namespace orv {

namespace {

constexpr int kIndentation = 19;
// The expand button: a square of this side with a plus or minus inside.
constexpr int kExpanderSide = 9;
constexpr int kExpanderSignInset = 2;
const char* const kRoot = "/";

}  // namespace

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent), m_model(new TFolderModel(this)) {
  // Theme folder icons even without a desktop session that names a theme.
  PrepareIconTheme();
  m_model->setRootPath(QString::fromLatin1(kRoot));
  setModel(m_model);
  for (int column = 1; column < m_model->columnCount(); ++column) {
    hideColumn(column);
  }
  header()->hide();
  setRootIsDecorated(false);
  setIndentation(kIndentation);
  setUniformRowHeights(true);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
  header()->setStretchLastSection(false);

  // The chosen folder is the target of the next run; it must stay visible while the
  // user works on the option pages.
  QPalette colors = palette();
  for (QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    colors.setColor(QPalette::Inactive, role, colors.color(QPalette::Active, role));
  }
  setPalette(colors);

  setContextMenuPolicy(Qt::CustomContextMenu);
  connect(this, &QWidget::customContextMenuRequested, this, &TFolderTree::ShowContextMenu);
  connect(m_model, &QFileSystemModel::directoryLoaded, this, &TFolderTree::DirectoryLoaded);
}

bool TFolderTree::SelectFolder(const QString& path) {
  const QFileInfo info(path);
  if (!info.isDir()) {
    return false;
  }
  const QModelIndex index = m_model->index(QDir::cleanPath(info.absoluteFilePath()));
  if (!index.isValid()) {
    return false;
  }
  for (QModelIndex ancestor = index.parent(); ancestor.isValid(); ancestor = ancestor.parent()) {
    expand(ancestor);
  }
  setCurrentIndex(index);
  scrollTo(index);
  m_pendingScroll = m_model->filePath(index.parent());
  return true;
}

QString TFolderTree::SelectedFolder() const {
  const QModelIndex index = currentIndex();
  return index.isValid() ? m_model->filePath(index) : QString();
}

void TFolderTree::DirectoryLoaded(const QString& path) {
  if (!m_pendingScroll.isEmpty() && path == m_pendingScroll) {
    m_pendingScroll.clear();
    scrollTo(currentIndex());
  }
}

void TFolderTree::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const {
  // Dotted lines join each folder to its parent and its siblings, and a folder with
  // subfolders has a plus or minus box on its line; the root level has neither.
  const int indent = indentation();
  const QColor lineColor = palette().color(QPalette::Dark);
  QPen dotted(lineColor, 1, Qt::CustomDashLine);
  dotted.setDashPattern({1, 1});
  painter->save();
  painter->setPen(dotted);
  const int middleY = rect.top() + rect.height() / 2;
  int column = rect.right() + 1 - indent;
  const int middleX = column + indent / 2;
  const bool hasNext = index.sibling(index.row() + 1, 0).isValid();
  painter->drawLine(middleX, rect.top(), middleX, hasNext ? rect.bottom() : middleY);
  painter->drawLine(middleX, middleY, column + indent - 1, middleY);
  // Each ancestor below the root level with a later sibling continues its line.
  for (QModelIndex ancestor = index.parent(); ancestor.isValid() && ancestor.parent().isValid();
       ancestor = ancestor.parent()) {
    column -= indent;
    if (column < rect.left()) break;
    if (ancestor.sibling(ancestor.row() + 1, 0).isValid()) {
      const int x = column + indent / 2;
      painter->drawLine(x, rect.top(), x, rect.bottom());
    }
  }
  if (model()->hasChildren(index)) {
    const QRect box(middleX - kExpanderSide / 2, middleY - kExpanderSide / 2, kExpanderSide - 1, kExpanderSide - 1);
    painter->setPen(lineColor);
    painter->setBrush(palette().color(QPalette::Base));
    painter->drawRect(box);
    painter->setPen(palette().color(QPalette::Text));
    const QPoint centre = box.center();
    const int reach = kExpanderSide / 2 - kExpanderSignInset;
    painter->drawLine(centre.x() - reach, centre.y(), centre.x() + reach, centre.y());
    if (!isExpanded(index)) {
      painter->drawLine(centre.x(), centre.y() - reach, centre.x(), centre.y() + reach);
    }
  }
  painter->restore();
}

void TFolderTree::ShowContextMenu(const QPoint& position) {
  const QModelIndex index = indexAt(position);
  if (!index.isValid()) {
    return;
  }
  setCurrentIndex(index);
  const QString path = m_model->filePath(index);

  QMenu menu(this);
  QAction* open = menu.addAction(QStringLiteral("開く(&O)"));
  QAction* copy = menu.addAction(QStringLiteral("パスをコピー(&C)"));
  QAction* chosen = menu.exec(viewport()->mapToGlobal(position));
  if (chosen == open) {
    OpenWithAssociatedProgram(QFile::encodeName(path).toStdString());
  } else if (chosen == copy) {
    QGuiApplication::clipboard()->setText(path);
  }
}

}  // namespace orv
