// The URL label's looks under the mouse: hot, pressed, and back to normal when the
// button is released outside it.
#include "ui/UrlLabel.h"

#include <QCoreApplication>
#include <QEnterEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

namespace orv {
namespace {

void SendMouse(TUrlLabel& label, QEvent::Type type, QPointF at) {
  QMouseEvent event(type, at, label.mapToGlobal(at), Qt::LeftButton,
                    type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(&label, &event);
}

TEST(UrlLabel, HotTrackAndClickLooks) {
  TUrlLabel label;
  label.setText(QStringLiteral("https://example.org/"));
  label.resize(200, 14);
  EXPECT_EQ(label.cursor().shape(), Qt::PointingHandCursor);
  EXPECT_FALSE(label.Execution);
  const QColor normal = label.CurrentColor();
  const unsigned normalStyle = label.CurrentStyle();

  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&label, &enter);
  EXPECT_EQ(label.CurrentColor(), QColor(0, 0, 255));
  EXPECT_EQ(label.CurrentStyle(), unsigned{fsUnderline});

  SendMouse(label, QEvent::MouseButtonPress, QPointF(5, 5));
  EXPECT_EQ(label.CurrentColor(), QColor(255, 0, 0));
  SendMouse(label, QEvent::MouseButtonRelease, QPointF(5, 5));
  EXPECT_EQ(label.CurrentColor(), QColor(0, 0, 255));

  SendMouse(label, QEvent::MouseButtonPress, QPointF(5, 5));
  SendMouse(label, QEvent::MouseButtonRelease, QPointF(500, 5));
  EXPECT_EQ(label.CurrentColor(), normal);
  EXPECT_EQ(label.CurrentStyle(), normalStyle);

  label.HotTrack = false;
  QCoreApplication::sendEvent(&label, &enter);
  EXPECT_EQ(label.CurrentColor(), normal);
}

}  // namespace
}  // namespace orv
