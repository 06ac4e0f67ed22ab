#include "skin/Suiradiogroup.h"

#include <QEvent>
#include <QResizeEvent>

namespace zelvar {

TsuiCheckGroupButton::TsuiCheckGroupButton(TsuiCheckGroup* group)
    : TsuiCheckBox(group), group_(group) {}

TsuiCheckGroup::TsuiCheckGroup(QWidget* parent) : TsuiCustomGroupBox(parent) {}

void TsuiCheckGroup::SetItems(const std::vector<std::string>& items) {
  items_ = items;
  ItemChanged();
}

void TsuiCheckGroup::AddItem(const std::string& item) {
  items_.push_back(item);
  ItemChanged();
}

void TsuiCheckGroup::ClearItems() {
  items_.clear();
  ItemChanged();
}

bool TsuiCheckGroup::GetChecked(int index) const {
  if (index < 0 || index > ButtonCount() - 1) return false;
  return buttons_[index]->Checked();
}

void TsuiCheckGroup::SetChecked(int index, bool checked) {
  buttons_.at(index)->SetChecked(checked);
}

bool TsuiCheckGroup::GetItemEnabled(int index) const {
  if (index < 0 || index > ButtonCount() - 1) return false;
  return buttons_[index]->isEnabled();
}

void TsuiCheckGroup::SetItemEnabled(int index, bool enabled) {
  buttons_.at(index)->setEnabled(enabled);
}

void TsuiCheckGroup::SetColumns(int columns) {
  if (columns < 0) return;
  columns_ = columns;
  ArrangeButtons();
}

void TsuiCheckGroup::SetTopMargin(int margin) {
  if (margin < 0) return;
  topMargin_ = margin;
  ArrangeButtons();
}

TsuiCheckBox* TsuiCheckGroup::CreateAButton() {
  return new TsuiCheckGroupButton(this);
}

void TsuiCheckGroup::DoClick() {
  NewClick();
  if (OnClick) OnClick();
}

void TsuiCheckGroup::ItemChanged() {
  while (ButtonCount() < ItemCount()) {
    TsuiCheckBox* button = CreateAButton();
    button->setFont(font());
    button->setFocusPolicy(Qt::NoFocus);
    button->OnClick = [this] { DoClick(); };
    button->show();
    buttons_.push_back(button);
  }
  while (ButtonCount() > ItemCount()) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  for (int i = 0; i < ButtonCount(); ++i) {
    buttons_[i]->SetCaption(items_[i]);
    buttons_[i]->resize(buttons_[i]->sizeHint());
  }
  ArrangeButtons();
}

// Column-major grid inside the frame: items fill the first column top to bottom, then the next.
void TsuiCheckGroup::ArrangeButtons() {
  if (buttons_.empty()) return;
  const int columns = columns_ > 0 ? columns_ : 1;  // a zero column count lays out as one
  const QRect r = GetClient();
  const int y0 = r.top() + topMargin_;
  const int h = r.top() + r.height() - y0;
  const int count = ButtonCount();
  const int rows = (count + columns - 1) / columns;
  const int columnWidth = (width() - 10) / columns;
  const int rowHeight = h / rows;
  const int first = (h % rows) / 2 + y0;
  for (int i = 0; i < count; ++i) {
    const int column = i / rows;
    const int row = i % rows;
    int left = column * columnWidth + 8;
    if (layoutDirection() == Qt::RightToLeft) {
      left = width() - column * columnWidth - 8 - buttons_[i]->width();
    }
    buttons_[i]->move(left, row * rowHeight + first);
  }
}

void TsuiCheckGroup::resizeEvent(QResizeEvent* event) {
  TsuiCustomGroupBox::resizeEvent(event);
  ArrangeButtons();
}

void TsuiCheckGroup::changeEvent(QEvent* event) {
  TsuiCustomGroupBox::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    for (TsuiCheckBox* button : buttons_) button->setFont(font());
  }
}

TsuiRadioGroupButton::TsuiRadioGroupButton(TsuiRadioGroup* group)
    : TsuiRadioButton(group), group_(group) {}

void TsuiRadioGroupButton::DoClick() {
  if (group_->CanModify()) TsuiRadioButton::DoClick();
}

TsuiRadioGroup::TsuiRadioGroup(QWidget* parent) : TsuiCheckGroup(parent) {}

TsuiCheckBox* TsuiRadioGroup::CreateAButton() {
  return new TsuiRadioGroupButton(this);
}

int TsuiRadioGroup::GetItemIndex() const {
  for (int i = 0; i < ButtonCount(); ++i) {
    if (Button(i)->Checked()) return i;
  }
  return -1;
}

void TsuiRadioGroup::SetItemIndex(int index) {
  if (index < -1 || index > ItemCount() - 1) return;
  if (index == -1) {
    for (int i = 0; i < ButtonCount(); ++i) Button(i)->SetChecked(false);
    return;
  }
  Button(index)->SetChecked(true);
}

}  // namespace zelvar
