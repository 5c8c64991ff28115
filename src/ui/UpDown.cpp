// The up-down arrows and their associated number box.
#include "ui/UpDown.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QToolButton>

#include <algorithm>

namespace orv {

TUpDown::TUpDown(QWidget* parent) : QWidget(parent), m_up(new QToolButton(this)), m_down(new QToolButton(this)) {
  for (QToolButton* button : {m_up, m_down}) {
    button->setAutoRepeat(true);
    button->setFocusPolicy(Qt::NoFocus);
  }
  m_up->setArrowType(Qt::UpArrow);
  m_down->setArrowType(Qt::DownArrow);
  connect(m_up, &QToolButton::clicked, this, [this] { Step(1); });
  connect(m_down, &QToolButton::clicked, this, [this] { Step(-1); });
}

void TUpDown::SetRange(int min, int max) {
  m_min = min;
  m_max = std::max(min, max);
  SetPosition(m_position);
}

void TUpDown::SetPosition(int position) {
  m_position = std::clamp(position, m_min, m_max);
  ShowPosition();
}

void TUpDown::Associate(QLineEdit* edit) {
  if (m_edit) {
    m_edit->removeEventFilter(this);
  }
  m_edit = edit;
  if (m_edit) {
    m_edit->installEventFilter(this);
  }
  ShowPosition();
}

void TUpDown::ShowPosition() {
  if (m_edit) {
    m_edit->setText(QString::number(m_position));
  }
}

void TUpDown::Step(int delta) {
  const int position = std::clamp(m_position + delta, m_min, m_max);
  if (position == m_position) {
    return;
  }
  m_position = position;
  ShowPosition();
  emit PositionChanged(m_position);
}

void TUpDown::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  const int upper = height() / 2;
  m_up->setGeometry(0, 0, width(), upper);
  m_down->setGeometry(0, upper, width(), height() - upper);
}

bool TUpDown::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_edit && event->type() == QEvent::KeyPress && isEnabled()) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Up || key == Qt::Key_Down) {
      Step(key == Qt::Key_Up ? 1 : -1);
      return true;
    }
  }
  return QWidget::eventFilter(watched, event);
}

}  // namespace orv
