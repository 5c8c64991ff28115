// The panel radio group: its button list and buttons, the selection rules, the button
// layout and the painting of bevel, frame and caption.
#include "ui/PanelRadioGroup.h"

#include "ui/QtText.h"

#include <QEvent>
#include <QFontMetrics>
#include <QMessageBox>
#include <QPainter>

#include <algorithm>
#include <exception>

namespace orv {

namespace {

// The button area starts this far from the left edge of the client area.
constexpr int kButtonAreaLeft = 8;
// The etched frame takes this much on every side.
constexpr int kFrameMargin = 4;
// The outer bevel's width; the buttons keep one more pixel away from it.
constexpr int kBevelWidth = 1;
// Between a caption written beside the buttons and the first column.
constexpr int kCaptionGap = 2;
// Kept free to the right of the button columns.
constexpr int kRightGap = 10;
constexpr int kMinColumns = 1;
constexpr int kMaxColumns = 16;

// Draws the outline of r (right and bottom exclusive, as the rectangle is measured).
void FrameRect(QPainter& painter, const QRect& r, const QColor& color) {
  if (r.width() <= 0 || r.height() <= 0) {
    return;
  }
  painter.setPen(color);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
}

// A bevel of the given width: top and left lines in one colour, right and bottom in
// the other, each ring one pixel inside the last. r shrinks past it.
void Frame3D(QPainter& painter, QRect& r, const QColor& topLeft, const QColor& bottomRight, int width) {
  for (int i = 0; i < width && r.width() > 0 && r.height() > 0; ++i) {
    painter.setPen(topLeft);
    painter.drawLine(r.left(), r.top(), r.right(), r.top());
    painter.drawLine(r.left(), r.top(), r.left(), r.bottom());
    painter.setPen(bottomRight);
    painter.drawLine(r.right(), r.top(), r.right(), r.bottom());
    painter.drawLine(r.left(), r.bottom(), r.right(), r.bottom());
    r.adjust(1, 1, -1, -1);
  }
}

bool IsTopPosition(TCaptionPos position) {
  return position == TCaptionPos::cpTopLeft || position == TCaptionPos::cpTopCenter ||
         position == TCaptionPos::cpTopRight;
}

bool IsTurnedLeftPosition(TCaptionPos position) {
  return position == TCaptionPos::cpLeftTop || position == TCaptionPos::cpLeftMiddle ||
         position == TCaptionPos::cpLeftBottom;
}

// Unchecking an auto-exclusive button is refused by Qt while it is the checked one of
// its group; a group with no selection needs exactly that.
void Uncheck(QRadioButton* button) {
  button->setAutoExclusive(false);
  button->setChecked(false);
  button->setAutoExclusive(true);
}

}  // namespace

// --- TGroupButtonList -----------------------------------------------------------------

int TGroupButtonList::IndexOf(const TGBRadioButton* button) const {
  for (int i = 0; i < Count(); ++i) {
    if (m_buttons[i] == button) return i;
  }
  return -1;
}

// --- TGBRadioButton -------------------------------------------------------------------

TGBRadioButton::TGBRadioButton(TCustomPanelGroup* group) : QRadioButton(group), m_group(group) {
  // A child widget follows its parent's enabled state by itself, so the group's state
  // needs no copying here (and copying a disabled state would pin it).
  m_group->m_buttons.Add(this);
  hide();
  connect(this, &QAbstractButton::clicked, this, &TGBRadioButton::HandleClick);
  connect(this, &QAbstractButton::toggled, m_group, &TCustomPanelGroup::UpdateTabStop);
}

TGBRadioButton::~TGBRadioButton() { m_group->m_buttons.Remove(this); }

void TGBRadioButton::HandleClick() {
  if (m_inClick || !isChecked()) {
    return;
  }
  m_inClick = true;
  try {
    m_group->ButtonClick(this);
  } catch (const std::exception& error) {
    // Whatever a change handler raises ends here, as an error box, not in Qt's
    // event dispatch.
    QMessageBox::critical(window(), QStringLiteral("Orvantis"), FromAnsi(error.what()));
  }
  m_inClick = false;
}

// --- TCustomPanelGroup ----------------------------------------------------------------

TCustomPanelGroup::TCustomPanelGroup(QWidget* parent) : QWidget(parent) { resize(180, 100); }

TCustomPanelGroup::~TCustomPanelGroup() {
  while (m_buttons.Count() > 0) {
    delete m_buttons[m_buttons.Count() - 1];
  }
}

QRadioButton* TCustomPanelGroup::Button(int index) const {
  return index >= 0 && index < m_buttons.Count() ? m_buttons[index] : nullptr;
}

void TCustomPanelGroup::SetCaption(const QString& caption) {
  if (caption == m_caption) {
    return;
  }
  m_caption = caption;
  if (m_captionPos == TCaptionPos::cpLeftCenter) {
    ArrangeButtons();
  }
  update();
}

void TCustomPanelGroup::SetColumns(int columns) {
  columns = std::clamp(columns, kMinColumns, kMaxColumns);
  if (columns == m_columns) {
    return;
  }
  m_columns = columns;
  ArrangeButtons();
  update();
}

void TCustomPanelGroup::SetCaptionPos(TCaptionPos position) {
  if (position == m_captionPos) {
    return;
  }
  m_captionPos = position;
  ArrangeButtons();
  update();
}

void TCustomPanelGroup::SetBevelOuter(TBevelCut bevel) {
  m_bevelOuter = bevel;
  ArrangeButtons();
  update();
}

void TCustomPanelGroup::SetItems(const QStringList& items) {
  m_items.m_strings = items;
  ItemsChange();
}

void TCustomPanelGroup::EndReading() {
  m_reading = false;
  UpdateButtons();
  if (m_itemIndex >= 0) {
    m_restoring = true;
    if (QRadioButton* button = Button(m_itemIndex)) {
      button->setChecked(true);
    }
    m_restoring = false;
  }
}

void TCustomPanelGroup::SetItemIndexValue(int index) {
  if (m_reading) {
    m_itemIndex = index;
    return;
  }
  if (index < -1) {
    index = -1;
  }
  if (index >= Count()) {
    index = Count() - 1;
  }
  SelectButton(index);
}

void TCustomPanelGroup::SelectButton(int index) {
  if (index == m_itemIndex) {
    if (QRadioButton* button = Button(index)) {
      button->setChecked(true);
    }
    return;
  }
  if (QRadioButton* selected = Button(m_itemIndex)) {
    Uncheck(selected);
  }
  if (QRadioButton* button = Button(index)) {
    button->setChecked(true);
  }
  m_itemIndex = index;
  emit Changed();
}

void TCustomPanelGroup::ButtonClick(TGBRadioButton* sender) {
  if (m_restoring) {
    return;
  }
  const int index = m_buttons.IndexOf(sender);
  if (index == m_itemIndex) {
    return;
  }
  m_itemIndex = index;
  emit Changed();
  emit Clicked();
}

void TCustomPanelGroup::ItemsChange() {
  if (m_reading) {
    return;
  }
  const bool moved = m_itemIndex >= m_items.Count();
  if (moved) {
    m_itemIndex = m_items.Count() - 1;
  }
  UpdateButtons();
  if (moved) {
    // The selection moves to the new last entry, and shows there.
    if (QRadioButton* button = Button(m_itemIndex)) {
      button->setChecked(true);
    }
    emit Changed();
  }
}

void TCustomPanelGroup::UpdateButtons() {
  while (m_buttons.Count() < m_items.Count()) {
    new TGBRadioButton(this);
  }
  while (m_buttons.Count() > m_items.Count()) {
    delete m_buttons[m_buttons.Count() - 1];
  }
  for (int i = 0; i < m_buttons.Count(); ++i) {
    m_buttons[i]->setText(m_items[i]);
  }
  UpdateTabStop();
  ArrangeButtons();
  update();
}

void TCustomPanelGroup::UpdateTabStop() {
  // The group is one stop of the Tab order, at its checked button (the first when none
  // is checked); the arrow keys move between the buttons.
  int stop = 0;
  for (int i = 0; i < m_buttons.Count(); ++i) {
    if (m_buttons[i]->isChecked()) stop = i;
  }
  for (int i = 0; i < m_buttons.Count(); ++i) {
    m_buttons[i]->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
  }
}

int TCustomPanelGroup::TextHeight() const { return QFontMetrics(font()).height(); }

int TCustomPanelGroup::CaptionWidth() const { return QFontMetrics(font()).horizontalAdvance(m_caption); }

void TCustomPanelGroup::ArrangeButtons() {
  if (m_reading || m_buttons.Count() == 0) {
    return;
  }
  const int h = TextHeight();
  QRect area = rect();
  area.setLeft(kButtonAreaLeft);
  if (m_bevelOuter != TBevelCut::bvNone) {
    constexpr int inset = kBevelWidth + 1;
    area.adjust(inset, inset, -inset, -inset);
  }
  area.adjust(kFrameMargin, kFrameMargin, -kFrameMargin, -kFrameMargin);
  if (IsTopPosition(m_captionPos)) {
    area.setTop(area.top() + h);
  } else if (IsTurnedLeftPosition(m_captionPos)) {
    area.setLeft(area.left() + h);
  } else {
    area.setLeft(area.left() + CaptionWidth() + kCaptionGap);
  }

  const int count = m_buttons.Count();
  const int rows = (count + m_columns - 1) / m_columns;
  const int width = (area.width() - kRightGap) / m_columns;
  const int height = area.height() / rows;
  const int top = area.top() + (area.height() - height * rows) / 2;
  for (int i = 0; i < count; ++i) {
    m_buttons[i]->setGeometry(area.left() + (i / rows) * width, top + (i % rows) * height, width, height);
  }
  for (int i = 0; i < count; ++i) {
    m_buttons[i]->show();
  }
}

void TCustomPanelGroup::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  ArrangeButtons();
}

void TCustomPanelGroup::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    ArrangeButtons();
    update();
  }
}

void TCustomPanelGroup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colors = palette();
  const QColor face = colors.color(QPalette::Window);
  const QColor highlight = colors.color(QPalette::Light);
  const QColor shadow = colors.color(QPalette::Dark);

  QRect r = rect();
  if (m_bevelOuter != TBevelCut::bvNone) {
    const bool raised = m_bevelOuter == TBevelCut::bvRaised;
    Frame3D(painter, r, raised ? highlight : shadow, raised ? shadow : highlight, kBevelWidth);
  }
  painter.fillRect(r, face);

  const int h = TextHeight();
  const int textWidth = CaptionWidth();
  QRect frame = r;
  if (IsTopPosition(m_captionPos)) {
    frame.setTop(frame.top() + h / 2 - 2);
  } else if (IsTurnedLeftPosition(m_captionPos)) {
    frame.setLeft(frame.left() + h / 2);
  } else {
    frame.setLeft(frame.left() + textWidth + 4);
  }
  // Etched: a highlight line one pixel right of and below the shadow line.
  FrameRect(painter, frame.adjusted(1, 1, 0, 0), highlight);
  FrameRect(painter, frame.adjusted(0, 0, -1, -1), shadow);

  if (m_caption.isEmpty()) {
    return;
  }
  // A disabled group greys its caption with its buttons, as the labels beside
  // disabled edit boxes grey.
  painter.setPen(colors.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  const int flags = Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine;
  auto drawFlat = [&](int x, int y) {
    const QRect box(x, y, textWidth, h);
    painter.fillRect(box, face);
    painter.drawText(box, flags, m_caption);
  };
  // Turned captions read upward: lowerEnd is where the first character sits.
  auto drawTurned = [&](int x, int lowerEnd) {
    painter.save();
    painter.translate(x, lowerEnd);
    painter.rotate(-90);
    const QRect box(0, 0, textWidth, h);
    painter.fillRect(box, face);
    painter.drawText(box, flags, m_caption);
    painter.restore();
  };
  const int right = r.x() + r.width();
  const int bottom = r.y() + r.height();
  switch (m_captionPos) {
    case TCaptionPos::cpTopLeft: drawFlat(r.left() + 8, r.top()); break;
    case TCaptionPos::cpTopCenter: drawFlat((r.width() - textWidth) / 2, r.top()); break;
    case TCaptionPos::cpTopRight: drawFlat(right - textWidth - 8, r.top()); break;
    case TCaptionPos::cpLeftTop: drawTurned(r.left() + 1, r.top() + 8 + textWidth); break;
    case TCaptionPos::cpLeftMiddle: drawTurned(r.left() + 1, r.top() + (textWidth + r.height()) / 2); break;
    case TCaptionPos::cpLeftBottom: drawTurned(r.left() + 1, bottom - 8); break;
    case TCaptionPos::cpLeftCenter: drawFlat(r.left() + 2, (height() - h) / 2); break;
  }
}

}  // namespace orv
