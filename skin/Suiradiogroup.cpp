#include "skin/Suiradiogroup.h"

#include <QEvent>
#include <QKeyEvent>
#include <QResizeEvent>

#include "skin/Suipublic.h"

namespace zelvar {

namespace {

// The arrow keys move the focus to the previous or next item of the group; a radio item that
// takes the focus this way is selected.
bool MoveAmongItems(TsuiCheckGroup* group, TsuiCheckBox* from, QKeyEvent* event, bool select) {
  int step = 0;
  if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Left) step = -1;
  if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Right) step = 1;
  if (step == 0) return false;
  const int count = group->ButtonCount();
  for (int i = group->IndexOf(from) + step; i >= 0 && i < count; i += step) {
    TsuiCheckBox* to = group->Button(i);
    if (!to->isEnabled()) continue;
    to->setFocus(Qt::TabFocusReason);
    if (select) to->Click();
    break;
  }
  event->accept();
  return true;
}

}  // namespace

TsuiCheckGroupButton::TsuiCheckGroupButton(TsuiCheckGroup* group)
    : TsuiCheckBox(group), group_(group) {}

void TsuiCheckGroupButton::keyPressEvent(QKeyEvent* event) {
  if (!MoveAmongItems(group_, this, event, false)) TsuiCheckBox::keyPressEvent(event);
}

TsuiCheckGroup::TsuiCheckGroup(QWidget* parent) : TsuiCustomGroupBox(parent) {
  setFocusPolicy(Qt::TabFocus);
}

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

int TsuiCheckGroup::IndexOf(const TsuiCheckBox* button) const {
  for (int i = 0; i < ButtonCount(); ++i) {
    if (buttons_[i] == button) return i;
  }
  return -1;
}

QSize TsuiCheckGroup::sizeHint() const {
  const int columns = columns_ > 0 ? columns_ : 1;
  const int rows = buttons_.empty() ? 0 : (ButtonCount() + columns - 1) / columns;
  QSize item(0, 0);
  for (const TsuiCheckBox* button : buttons_) item = item.expandedTo(button->sizeHint());
  return QSize(columns * item.width() + 16,
               fontMetrics().height() + topMargin_ + rows * item.height() + 6);
}

void TsuiCheckGroup::SetColumns(int columns) {
  if (columns < 0) return;
  columns_ = columns;
  ArrangeButtons();
  updateGeometry();
}

void TsuiCheckGroup::SetTopMargin(int margin) {
  if (margin < 0) return;
  topMargin_ = margin;
  ArrangeButtons();
}

void TsuiCheckGroup::SetTransparent(bool transparent) {
  TsuiCustomGroupBox::SetTransparent(transparent);
  for (TsuiCheckBox* button : buttons_) button->SetTransparent(transparent);
}

TsuiCheckBox* TsuiCheckGroup::CreateAButton() {
  return new TsuiCheckGroupButton(this);
}

void TsuiCheckGroup::DoClick() {
  NewClick();
  if (OnClick && !IsFormLoading(this)) OnClick();
}

void TsuiCheckGroup::UpdateUIStyle() {
  TsuiCustomGroupBox::UpdateUIStyle();
  for (TsuiCheckBox* button : buttons_) {
    button->SetFileTheme(FileTheme());
    button->SetUIStyle(UIStyle());
    button->SetFontColor(FontColor());
  }
  ArrangeButtons();
}

void TsuiCheckGroup::ItemChanged() {
  while (ButtonCount() < ItemCount()) {
    TsuiCheckBox* button = CreateAButton();
    button->setFont(font());
    button->SetFileTheme(FileTheme());
    button->SetUIStyle(UIStyle());
    button->SetFontColor(FontColor());
    button->SetTransparent(Transparent());
    button->setFocusPolicy(Qt::ClickFocus);  // not a tab stop: the group is
    button->OnClick = [this] { DoClick(); };
    button->show();
    buttons_.push_back(button);
  }
  while (ButtonCount() > ItemCount()) {
    delete buttons_.back();
    buttons_.pop_back();
  }
  for (int i = 0; i < ButtonCount(); ++i) buttons_[i]->SetCaption(items_[i]);
  ArrangeButtons();
  updateGeometry();
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
    ArrangeButtons();
  }
}

void TsuiCheckGroup::focusInEvent(QFocusEvent* event) {
  TsuiCustomGroupBox::focusInEvent(event);
  FocusUpdate();
}

void TsuiCheckGroup::FocusUpdate() {
  if (!buttons_.empty() && buttons_[0]->isEnabled()) buttons_[0]->setFocus(Qt::TabFocusReason);
}

TsuiRadioGroupButton::TsuiRadioGroupButton(TsuiRadioGroup* group)
    : TsuiRadioButton(group), group_(group) {}

void TsuiRadioGroupButton::DoClick() {
  if (group_->CanModify()) TsuiRadioButton::DoClick();
}

bool TsuiRadioGroupButton::NeedDrawFocus() const {
  return Checked() && (hasFocus() || group_->hasFocus());
}

void TsuiRadioGroupButton::keyPressEvent(QKeyEvent* event) {
  if (!MoveAmongItems(group_, this, event, true)) TsuiRadioButton::keyPressEvent(event);
}

TsuiRadioGroup::TsuiRadioGroup(QWidget* parent) : TsuiCheckGroup(parent) {}

TsuiCheckBox* TsuiRadioGroup::CreateAButton() {
  return new TsuiRadioGroupButton(this);
}

void TsuiRadioGroup::FocusUpdate() {
  const int index = GetItemIndex();
  if (index >= 0 && index < ItemCount()) Button(index)->setFocus(Qt::TabFocusReason);
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
