// The folder tree's model: folders only, expandable only when they hold folders.
#include "ui/FolderModel.h"

#include <QDirIterator>

namespace orv {

namespace {

// The tree's entries: folders, hidden ones left out, "." and ".." skipped.
constexpr QDir::Filters kFolders = QDir::AllDirs | QDir::NoDotAndDotDot;

}  // namespace

TFolderModel::TFolderModel(QObject* parent) : QFileSystemModel(parent) {
  // The tree is not watched: its entries cost no inotify watches on large trees.
  setOption(QFileSystemModel::DontWatchForChanges);
  setFilter(kFolders);
}

bool TFolderModel::hasChildren(const QModelIndex& parent) const {
  if (!parent.isValid() || !QFileSystemModel::hasChildren(parent)) {
    return QFileSystemModel::hasChildren(parent);
  }
  const QString path = filePath(parent);
  const auto known = m_hasSubfolders.constFind(path);
  if (known != m_hasSubfolders.constEnd()) {
    return *known;
  }
  // One entry is enough to tell; the rest of the folder is read only when it opens.
  const bool any = QDirIterator(path, kFolders).hasNext();
  m_hasSubfolders.insert(path, any);
  return any;
}

}  // namespace orv
