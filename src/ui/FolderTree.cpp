// The folder tree: a QFileSystemModel restricted to folders behind a tree view.
#include "ui/FolderTree.h"

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

namespace orv {

namespace {

constexpr int kIndentation = 19;
const char* const kRoot = "/";

}  // namespace

TFolderTree::TFolderTree(QWidget* parent) : QTreeView(parent), m_model(new QFileSystemModel(this)) {
  // Theme folder icons even without a desktop session that names a theme.
  PrepareIconTheme();
  // Only the folder names are shown, so nothing else needs reading, and a tree that
  // is not watched costs no inotify watches on large trees.
  m_model->setOption(QFileSystemModel::DontWatchForChanges);
  m_model->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot);
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
