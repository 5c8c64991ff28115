// The framed group's painting.
#include "ui/FramedGroup.h"

#include <QPainter>

namespace orv {

namespace {

// The caption starts this far in from the frame's left edge, with this much free
// background on each side of its text.
constexpr int kCaptionIndent = 8;
constexpr int kCaptionPadding = 2;

}  // namespace

TFramedGroup::TFramedGroup(const QString& caption, QWidget* parent) : QGroupBox(caption, parent) {}

void TFramedGroup::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QPalette& colors = palette();
  const QFontMetrics metrics(font());
  // Etched, as the panel groups beside it: the shadow line, the highlight one pixel
  // right of and below it.
  const QRect frame = rect().adjusted(0, metrics.height() / 2, -2, -2);
  painter.setPen(colors.color(QPalette::Light));
  painter.drawRect(frame.translated(1, 1));
  painter.setPen(colors.color(QPalette::Dark));
  painter.drawRect(frame);

  const QString caption = title();
  if (caption.isEmpty()) {
    return;
  }
  const QRect box(kCaptionIndent, 0, metrics.horizontalAdvance(caption) + 2 * kCaptionPadding, metrics.height());
  painter.fillRect(box, colors.color(QPalette::Window));
  painter.setPen(colors.color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::WindowText));
  painter.drawText(box, Qt::AlignCenter | Qt::TextSingleLine, caption);
}

}  // namespace orv
