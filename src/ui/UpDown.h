// TUpDown: a pair of small arrow buttons that step a number within a range and show
// it in an associated read-only edit box, the only way that number changes. The up
// and down keys in the edit box step it too.
#pragma once

#include <QWidget>

class QLineEdit;
class QToolButton;

namespace orv {

class TUpDown : public QWidget {
  Q_OBJECT
public:
  explicit TUpDown(QWidget* parent = nullptr);

  int Position() const { return m_position; }
  // Held in Min..Max; no wrap-around.
  void SetPosition(int position);
  void SetRange(int min, int max);
  int Min() const { return m_min; }
  int Max() const { return m_max; }
  // The edit box that shows the position.
  void Associate(QLineEdit* edit);

  QToolButton* UpButton() const { return m_up; }
  QToolButton* DownButton() const { return m_down; }

signals:
  // The user stepped the number.
  void PositionChanged(int position);

protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

private:
  void Step(int delta);
  void ShowPosition();

  QToolButton* m_up;
  QToolButton* m_down;
  QLineEdit* m_edit = nullptr;
  int m_min = 0;
  int m_max = 100;
  int m_position = 0;
};

}  // namespace orv
