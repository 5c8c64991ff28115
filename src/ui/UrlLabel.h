// TUrlLabel: a label that behaves as a hyperlink. It lights up under the mouse
// (HotColor, HotStyle), changes again while pressed (ClickColor, ClickStyle) and, with
// Execution on, opens its own text with the desktop's program for it.
#pragma once

#include <QColor>
#include <QLabel>

namespace orv {

// Font style flags, as a set.
enum TFontStyle : unsigned { fsNone = 0, fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };

class TUrlLabel : public QLabel {
  Q_OBJECT
public:
  explicit TUrlLabel(QWidget* parent = nullptr);

  bool HotTrack = true;
  bool Execution = false;
  QColor HotColor = QColor(0, 0, 255);
  unsigned HotStyle = fsUnderline;
  QColor ClickColor = QColor(255, 0, 0);
  unsigned ClickStyle = fsUnderline;

  // The look it returns to when the mouse leaves: the colour and style it had when it
  // was made.
  QColor NormalColor() const { return m_normalColor; }
  unsigned NormalStyle() const { return m_normalStyle; }
  // What it shows now.
  QColor CurrentColor() const;
  unsigned CurrentStyle() const;

protected:
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  void ShowLook(const QColor& color, unsigned style);

  QColor m_normalColor;
  unsigned m_normalStyle;
};

}  // namespace orv
