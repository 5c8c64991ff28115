// TFramedGroup: the ordinary framed group of the main window, drawn as the layout was
// drawn for: an etched frame whose top line runs through the middle of the caption,
// the caption 8 pixels in on a background that hides the line behind it, greyed when
// the group is disabled. Its children are placed by their owner, as in a QGroupBox.
#pragma once

#include <QGroupBox>

namespace orv {

class TFramedGroup : public QGroupBox {
  Q_OBJECT
public:
  TFramedGroup(const QString& caption, QWidget* parent);

protected:
  void paintEvent(QPaintEvent* event) override;
};

}  // namespace orv
