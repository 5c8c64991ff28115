// The panel radio group: button layout to the pixel, the selection rules and their
// notifications, loading a stored selection, and what its painting keeps.
#include "ui/PanelRadioGroup.h"

#include <QApplication>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>

#include <gtest/gtest.h>

#include <memory>

namespace orv {
namespace {

// Counts the emissions of one signal.
struct TSignalCount {
  template <class Sender, class Signal>
  TSignalCount(Sender* sender, Signal signal) {
    QObject::connect(sender, signal, sender, [this] { ++Count; });
  }
  int count() const { return Count; }
  int Count = 0;
};

QFont GroupFont(int pixelSize) {
  QFont font(QStringLiteral("IPAPGothic"));
  font.setPixelSize(pixelSize);
  return font;
}

std::unique_ptr<TPanelRadioGroup> MakeGroup(const QStringList& items, int columns, TCaptionPos position,
                                            const QString& caption, QSize size, const QFont& font = GroupFont(12)) {
  auto group = std::make_unique<TPanelRadioGroup>();
  group->setFont(font);
  // Sized first: a hidden widget gets its resize event only when it is shown.
  group->resize(size);
  group->SetBevelOuter(TBevelCut::bvNone);
  group->SetCaption(caption);
  group->SetCaptionPos(position);
  group->SetItems(items);
  group->SetColumns(columns);
  return group;
}

TEST(PanelRadioGroup, ArrangesButtonsAsDrawn) {
  {
    // Caption beside the buttons: the buttons start after its text.
    auto group = MakeGroup({"CSV", "HTML", "XML"}, 3, TCaptionPos::cpLeftCenter, QStringLiteral("ファイル形式"), {289, 25});
    const int t = QFontMetrics(group->font()).horizontalAdvance(group->Caption());
    ASSERT_EQ(group->Count(), 3);
    const int width = (261 - t) / 3;
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(group->Button(i)->geometry(), QRect(14 + t + i * width, 4, width, 17)) << i;
      EXPECT_TRUE(group->Button(i)->isVisibleTo(group.get()));
    }
    // A longer caption moves the buttons right by the difference.
    const int before = group->Button(0)->x();
    group->SetCaption(QStringLiteral("ファイル形式の選択"));
    const int longer = QFontMetrics(group->font()).horizontalAdvance(group->Caption());
    EXPECT_EQ(group->Button(0)->x(), before + longer - t);
  }
  {
    // Caption on top, with a font one text line of which is 12 pixels high.
    QFont font = GroupFont(12);
    for (int size = 8; size <= 16 && QFontMetrics(font).height() != 12; ++size) font = GroupFont(size);
    ASSERT_EQ(QFontMetrics(font).height(), 12);
    auto group = MakeGroup({"a", "b"}, 2, TCaptionPos::cpTopLeft, QStringLiteral("mode"), {289, 41}, font);
    EXPECT_EQ(group->Button(0)->geometry(), QRect(12, 16, 131, 21));
    EXPECT_EQ(group->Button(1)->geometry(), QRect(143, 16, 131, 21));
  }
  {
    // Columns are filled top to bottom: 5 items in 2 columns give 3 rows.
    auto group = MakeGroup({"0", "1", "2", "3", "4"}, 2, TCaptionPos::cpTopLeft, QString(), {200, 120});
    const QRect first = group->Button(0)->geometry();
    EXPECT_EQ(group->Button(2)->geometry().topLeft(), first.topLeft() + QPoint(0, 2 * first.height()));
    EXPECT_EQ(group->Button(3)->geometry().topLeft(), first.topLeft() + QPoint(first.width(), 0));
    EXPECT_EQ(group->Button(4)->geometry().topLeft(), first.topLeft() + QPoint(first.width(), first.height()));

    group->SetColumns(0);
    EXPECT_EQ(group->Columns(), 1);
    EXPECT_EQ(group->Button(4)->y(), group->Button(0)->y() + 4 * group->Button(0)->height());
    group->SetColumns(20);
    EXPECT_EQ(group->Columns(), 16);
  }
}

TEST(PanelRadioGroup, SelectionClampsAndNotifiesOnlyOnChange) {
  auto group = MakeGroup({"a", "b", "c"}, 3, TCaptionPos::cpLeftCenter, QString(), {289, 25});
  TSignalCount changed(group.get(), &TPanelRadioGroup::Changed);
  TSignalCount clicked(group.get(), &TPanelRadioGroup::Clicked);
  EXPECT_EQ(group->ItemIndex(), -1);

  group->SetItemIndex(7);
  EXPECT_EQ(group->ItemIndex(), 2);
  EXPECT_TRUE(group->Button(2)->isChecked());
  EXPECT_EQ(changed.count(), 1);

  group->SetItemIndex(2);
  EXPECT_EQ(changed.count(), 1);

  group->SetItemIndex(-5);
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(changed.count(), 2);
  for (int i = 0; i < 3; ++i) EXPECT_FALSE(group->Button(i)->isChecked()) << i;

  // A click selects and notifies once; a click on the selected button does nothing.
  group->Button(1)->click();
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_EQ(changed.count(), 3);
  EXPECT_EQ(clicked.count(), 1);
  group->Button(1)->click();
  EXPECT_EQ(changed.count(), 3);
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_EQ(group->Count(), 3);

  // A shorter list moves a selection beyond its end to the new last entry.
  group->SetItemIndex(2);
  const int before = changed.count();
  group->SetItems({"a", "b"});
  EXPECT_EQ(group->Count(), 2);
  EXPECT_EQ(group->ItemIndex(), 1);
  EXPECT_TRUE(group->Button(1)->isChecked());
  EXPECT_EQ(changed.count(), before + 1);
  group->SetItems({});
  EXPECT_EQ(group->ItemIndex(), -1);
  EXPECT_EQ(group->Count(), 0);
  EXPECT_EQ(changed.count(), before + 2);
  // Items that do not touch the selection change nothing.
  group->SetItems({"x"});
  EXPECT_EQ(changed.count(), before + 2);
}

TEST(PanelRadioGroup, StoredSelectionLoadsWithoutNotification) {
  TPanelRadioGroup group;
  TSignalCount changed(&group, &TPanelRadioGroup::Changed);
  group.BeginReading();
  group.SetItemIndex(9);
  EXPECT_EQ(group.ItemIndex(), 9);  // stored as read; the items are not there yet
  group.SetItemIndex(1);
  group.SetItems({"a", "b", "c"});
  EXPECT_EQ(group.Count(), 0);
  group.EndReading();
  EXPECT_EQ(group.Count(), 3);
  EXPECT_EQ(group.ItemIndex(), 1);
  EXPECT_TRUE(group.Button(1)->isChecked());
  EXPECT_EQ(changed.count(), 0);
}

TEST(PanelRadioGroup, DisablingGreysButtonsAndTheCaption) {
  auto group = MakeGroup({"a", "b"}, 2, TCaptionPos::cpLeftCenter, QStringLiteral("パス名"), {289, 25});
  const int t = QFontMetrics(group->font()).horizontalAdvance(group->Caption());
  const int h = QFontMetrics(group->font()).height();
  const QImage enabled = group->grab().toImage();

  // The etched frame: its left edge runs in the shadow colour, the highlight beside it.
  EXPECT_EQ(enabled.pixel(t + 4, 12), group->palette().color(QPalette::Dark).rgb());
  EXPECT_EQ(enabled.pixel(t + 5, 12), group->palette().color(QPalette::Light).rgb());

  group->setEnabled(false);
  EXPECT_FALSE(group->Button(0)->isEnabled());
  EXPECT_FALSE(group->Button(1)->isEnabled());
  const QImage disabled = group->grab().toImage();
  const QRect caption(2, (25 - h) / 2, t, h);
  EXPECT_NE(enabled.copy(caption), disabled.copy(caption));
  EXPECT_NE(enabled.copy(group->Button(0)->geometry()), disabled.copy(group->Button(0)->geometry()));

  group->setEnabled(true);
  EXPECT_TRUE(group->Button(0)->isEnabled());
}

TEST(PanelRadioGroup, TabEntersAtTheCheckedButton) {
  QWidget window;
  auto* before = new QLineEdit(&window);
  auto* group = new TPanelRadioGroup(&window);
  group->SetItems({QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c")});
  auto* after = new QLineEdit(&window);
  group->SetItemIndex(2);
  window.show();
  QApplication::setActiveWindow(&window);
  before->setFocus();
  auto pressTab = [] {
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &tab);
  };
  pressTab();
  EXPECT_EQ(QApplication::focusWidget(), group->Button(2));
  // The group is one stop: the next Tab leaves it.
  pressTab();
  EXPECT_EQ(QApplication::focusWidget(), after);
}

}  // namespace
}  // namespace orv
