// The URL label: hot tracking, the click look and opening the URL.
#include "ui/UrlLabel.h"

#include "platform/Launch.h"

#include <QMouseEvent>

namespace orv {

namespace {

unsigned StyleOf(const QFont& font) {
  return (font.bold() ? fsBold : 0u) | (font.italic() ? fsItalic : 0u) | (font.underline() ? fsUnderline : 0u) |
         (font.strikeOut() ? fsStrikeOut : 0u);
}

}  // namespace

TUrlLabel::TUrlLabel(QWidget* parent) : QLabel(parent) {
  setCursor(Qt::PointingHandCursor);
  m_normalColor = palette().color(QPalette::WindowText);
  m_normalStyle = StyleOf(font());
}

QColor TUrlLabel::CurrentColor() const { return palette().color(QPalette::WindowText); }

unsigned TUrlLabel::CurrentStyle() const { return StyleOf(font()); }

void TUrlLabel::ShowLook(const QColor& color, unsigned style) {
  QPalette colors = palette();
  colors.setColor(QPalette::WindowText, color);
  setPalette(colors);
  QFont look = font();
  look.setBold((style & fsBold) != 0);
  look.setItalic((style & fsItalic) != 0);
  look.setUnderline((style & fsUnderline) != 0);
  look.setStrikeOut((style & fsStrikeOut) != 0);
  setFont(look);
  update();
}

void TUrlLabel::enterEvent(QEnterEvent* event) {
  QLabel::enterEvent(event);
  if (HotTrack) {
    ShowLook(HotColor, HotStyle);
  }
}

void TUrlLabel::leaveEvent(QEvent* event) {
  QLabel::leaveEvent(event);
  if (HotTrack) {
    ShowLook(m_normalColor, m_normalStyle);
  }
}

void TUrlLabel::mousePressEvent(QMouseEvent* event) {
  QLabel::mousePressEvent(event);
  if (HotTrack) {
    ShowLook(ClickColor, ClickStyle);
  }
  if (Execution) {
    // The outcome is not reported: a desktop without a browser simply shows nothing.
    OpenWithAssociatedProgram(text().toStdString());
  }
}

void TUrlLabel::mouseReleaseEvent(QMouseEvent* event) {
  QLabel::mouseReleaseEvent(event);
  if (HotTrack) {
    if (rect().contains(event->position().toPoint())) {
      ShowLook(HotColor, HotStyle);
    } else {
      ShowLook(m_normalColor, m_normalStyle);
    }
  }
}

}  // namespace orv
