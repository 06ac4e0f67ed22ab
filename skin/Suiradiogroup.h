#pragma once
// Group boxes that hold one check box or radio button per item caption, in item order.
#include <functional>
#include <string>
#include <vector>

#include "skin/Suibutton.h"
#include "skin/Suigroupbox.h"

namespace zelvar {

class TsuiCheckGroup;

// An item of a group: reached from the group by the keyboard, the arrow keys move among the items.
class TsuiCheckGroupButton : public TsuiCheckBox {
  Q_OBJECT

 public:
  explicit TsuiCheckGroupButton(TsuiCheckGroup* group);
  TsuiCheckGroup* Group() const { return group_; }

 protected:
  bool NeedDrawFocus() const override { return hasFocus(); }
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TsuiCheckGroup* group_;
};

class TsuiCheckGroup : public TsuiCustomGroupBox {
  Q_OBJECT

 public:
  explicit TsuiCheckGroup(QWidget* parent = nullptr);

  // The item captions; every change rebuilds the item buttons and lays them out.
  const std::vector<std::string>& Items() const { return items_; }
  void SetItems(const std::vector<std::string>& items);
  void AddItem(const std::string& item);
  void ClearItems();
  int ItemCount() const { return static_cast<int>(items_.size()); }

  // False for an index outside the items.
  bool GetChecked(int index) const;
  // Sets an item through TsuiCheckBox::SetChecked; throws std::out_of_range outside the items.
  void SetChecked(int index, bool checked);
  bool GetItemEnabled(int index) const;
  void SetItemEnabled(int index, bool enabled);

  // Negative values are ignored.
  void SetColumns(int columns);
  int Columns() const { return columns_; }
  void SetTopMargin(int margin);
  int TopMargin() const { return topMargin_; }
  void SetTransparent(bool transparent) override;

  TsuiCheckBox* Button(int index) const { return buttons_.at(index); }
  int ButtonCount() const { return static_cast<int>(buttons_.size()); }
  int IndexOf(const TsuiCheckBox* button) const;
  // Room for the items in their columns below the caption.
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override { return QSize(40, sizeHint().height()); }

  // Fired when an item's state changes (not while the form is loading).
  std::function<void()> OnClick;

 protected:
  virtual TsuiCheckBox* CreateAButton();
  virtual void NewClick() {}
  // Moves the focus to an item when the group itself takes it.
  virtual void FocusUpdate();
  void UpdateUIStyle() override;
  void DoClick();
  void ArrangeButtons();
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;

 private:
  void ItemChanged();
  std::vector<std::string> items_;
  std::vector<TsuiCheckBox*> buttons_;
  int columns_ = 1;
  int topMargin_ = 8;
};

class TsuiRadioGroup;

class TsuiRadioGroupButton : public TsuiRadioButton {
  Q_OBJECT

 public:
  explicit TsuiRadioGroupButton(TsuiRadioGroup* group);

 protected:
  void DoClick() override;
  bool NeedDrawFocus() const override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TsuiRadioGroup* group_;
};

class TsuiRadioGroup : public TsuiCheckGroup {
  Q_OBJECT

 public:
  explicit TsuiRadioGroup(QWidget* parent = nullptr);

  // The first checked item, -1 when none is checked or there are no items.
  int GetItemIndex() const;
  // Ignores an index outside -1 .. item count - 1; -1 unchecks every item, another index checks
  // that item (which unchecks the others).
  void SetItemIndex(int index);

  virtual bool CanModify() const { return true; }

 protected:
  TsuiCheckBox* CreateAButton() override;
  void FocusUpdate() override;
};

}  // namespace zelvar
