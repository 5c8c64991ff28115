// TPanelRadioGroup: the option group of the main window. A borderless panel that draws
// its caption (above the buttons, turned upward at their left, or written beside
// them) and an etched frame around radio buttons laid out in columns, so that a
// one-line group such as "ファイル形式  ( ) CSV ( ) HTML ( ) XML" takes the height of a
// single button row. The buttons are rebuilt from the items whenever SetItems changes
// them.
#pragma once

#include <QList>
#include <QRadioButton>
#include <QString>
#include <QStringList>
#include <QWidget>

namespace orv {

class TCustomPanelGroup;
class TGBRadioButton;

// Where the caption goes. The three left positions other than cpLeftCenter draw it
// turned 90 degrees, reading upward; cpLeftCenter writes it horizontally, vertically
// centred.
enum class TCaptionPos { cpTopLeft, cpTopCenter, cpTopRight, cpLeftTop, cpLeftMiddle, cpLeftBottom, cpLeftCenter };

enum class TBevelCut { bvNone, bvLowered, bvRaised };

// The Items list, read only: the group fills it through SetItems.
class TPanelGroupStrings {
public:
  int Count() const { return static_cast<int>(m_strings.size()); }
  const QString& operator[](int index) const { return m_strings[index]; }
  const QStringList& Strings() const { return m_strings; }

private:
  friend class TCustomPanelGroup;

  QStringList m_strings;
};

// The group's buttons in Items order.
class TGroupButtonList {
public:
  int Count() const { return static_cast<int>(m_buttons.size()); }
  TGBRadioButton* operator[](int index) const { return m_buttons[index]; }
  int IndexOf(const TGBRadioButton* button) const;
  void Add(TGBRadioButton* button) { m_buttons.append(button); }
  void Remove(TGBRadioButton* button) { m_buttons.removeOne(button); }

private:
  QList<TGBRadioButton*> m_buttons;
};

// One button of a group: a child of the group that enters the group's button list
// when it is made and leaves it when it is destroyed, and reports its clicks (mouse
// or arrow keys) to the group. Keys it does not use go on to the group as usual.
class TGBRadioButton : public QRadioButton {
  Q_OBJECT
public:
  explicit TGBRadioButton(TCustomPanelGroup* group);
  ~TGBRadioButton() override;

private:
  void HandleClick();

  TCustomPanelGroup* m_group;
  bool m_inClick = false;
};

class TCustomPanelGroup : public QWidget {
  Q_OBJECT
public:
  explicit TCustomPanelGroup(QWidget* parent = nullptr);
  ~TCustomPanelGroup() override;

  const TPanelGroupStrings& Items() const { return m_items; }
  // Replaces the entries and rebuilds the buttons; a selection beyond the new last
  // entry moves to it (to -1 when none is left) and is notified.
  void SetItems(const QStringList& items);
  int Count() const { return m_buttons.Count(); }
  // The button of an entry, for buddies and tests; nullptr outside 0..Count-1.
  QRadioButton* Button(int index) const;

  QString Caption() const { return m_caption; }
  void SetCaption(const QString& caption);
  // Held in 1..16.
  int Columns() const { return m_columns; }
  void SetColumns(int columns);
  TCaptionPos CaptionPos() const { return m_captionPos; }
  void SetCaptionPos(TCaptionPos position);
  // The one-pixel bevel around the whole panel (raised unless set otherwise); inside
  // it the group always draws its etched frame.
  TBevelCut BevelOuter() const { return m_bevelOuter; }
  void SetBevelOuter(TBevelCut bevel);

  // Loading a stored description: between the two calls the list and the layout wait
  // and an ItemIndex is only stored; EndReading builds the buttons and checks the
  // stored selection without notifying anyone.
  void BeginReading() { m_reading = true; }
  void EndReading();
  bool Reading() const { return m_reading; }

signals:
  // The selection changed (OnChange): raised after ItemIndex has its new value.
  void Changed();
  // A button was clicked into selection by the user.
  void Clicked();

protected:
  int ItemIndexValue() const { return m_itemIndex; }
  // Outside Reading: below -1 becomes -1, Count or more becomes Count-1.
  void SetItemIndexValue(int index);

  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;

private:
  friend class TGBRadioButton;

  void ButtonClick(TGBRadioButton* sender);
  void ItemsChange();
  void UpdateButtons();
  void ArrangeButtons();
  void SelectButton(int index);
  void UpdateTabStop();
  int TextHeight() const;
  int CaptionWidth() const;

  TGroupButtonList m_buttons;
  TPanelGroupStrings m_items;
  QString m_caption;
  int m_itemIndex = -1;
  int m_columns = 1;
  TCaptionPos m_captionPos = TCaptionPos::cpTopLeft;
  TBevelCut m_bevelOuter = TBevelCut::bvRaised;
  bool m_reading = false;
  bool m_restoring = false;
};

class TPanelRadioGroup : public TCustomPanelGroup {
  Q_OBJECT
public:
  explicit TPanelRadioGroup(QWidget* parent = nullptr) : TCustomPanelGroup(parent) {}

  // The selected entry, -1 for none.
  int ItemIndex() const { return ItemIndexValue(); }
  void SetItemIndex(int index) { SetItemIndexValue(index); }
};

}  // namespace orv
