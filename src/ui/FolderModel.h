// TFolderModel: the folders of the file system for the folder tree. Unlike
// QFileSystemModel, which offers every folder as expandable until it has read it, a
// folder has children here only when it holds a subfolder the tree would show, so the
// tree draws an expand button exactly where there is something to expand.
#pragma once

#include <QFileSystemModel>
#include <QHash>
#include <QString>

namespace orv {

class TFolderModel : public QFileSystemModel {
  Q_OBJECT
public:
  explicit TFolderModel(QObject* parent = nullptr);

  bool hasChildren(const QModelIndex& parent = QModelIndex()) const override;

private:
  // Whether each folder asked about holds a subfolder: read once, at its first
  // drawing, as the tree reads the file system once.
  mutable QHash<QString, bool> m_hasSubfolders;
};

}  // namespace orv
