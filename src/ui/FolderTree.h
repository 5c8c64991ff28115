// TFolderTree: the folder picker on the left of the main window. Folders only, from
// "/", with the icon theme's folder icons, joined by dotted lines, with an expand
// button only where a folder holds folders; the selection stays highlighted when the
// tree loses focus; a right click selects the folder under the mouse and offers to
// open it or copy its path. The file system is read once, not watched.
#pragma once

#include <QString>
#include <QTreeView>

namespace orv {

class TFolderModel;

class TFolderTree : public QTreeView {
  Q_OBJECT
public:
  explicit TFolderTree(QWidget* parent = nullptr);

  // Selects the folder at a file-system path, expanding its ancestors and scrolling
  // to it. False when the path is not a folder the tree can show.
  bool SelectFolder(const QString& path);
  // The file-system path of the selected folder, "" when nothing is selected.
  QString SelectedFolder() const;

protected:
  void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
  void ShowContextMenu(const QPoint& position);
  void DirectoryLoaded(const QString& path);

  TFolderModel* m_model;
  // A folder selected before its parent's entries were read: scrolled to once they are.
  QString m_pendingScroll;
};

}  // namespace orv
