#include "skin/Suipopupmenu.h"

namespace zelvar {

TsuiPopupMenu::TsuiPopupMenu(QWidget* parent) : QMenu(parent), TsuiMenuStyled(this) {
  style_->ApplyTo(this);
  SetUIStyle(OwnerStyle(parent));
}

void TsuiPopupMenu::SetMenuItemHeight(int height) {
  if (UIStyle() == MacOS) return;
  TsuiMenuStyled::SetMenuItemHeight(height);
}

}  // namespace zelvar
