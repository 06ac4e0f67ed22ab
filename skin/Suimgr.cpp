#include "skin/Suimgr.h"

#include <QWidget>

namespace zelvar {

bool UsingFileTheme(const TsuiFileTheme* fileTheme, TsuiUIStyle uiStyle, TsuiUIStyle& style) {
  style = uiStyle;
  if (uiStyle != FromThemeFile) return false;
  if (fileTheme != nullptr && fileTheme->CanUse()) return true;
  style = DeepBlue;
  return false;
}

void TsuiStyled::SetUIStyle(TsuiUIStyle style) {
  uiStyle_ = style;
  UIStyleChanged();
}

void TsuiStyled::SetFileTheme(TsuiFileTheme* theme) {
  fileTheme_ = theme;
  SetUIStyle(uiStyle_);
}

TsuiUIStyle TsuiStyled::Style() const {
  TsuiUIStyle style = DeepBlue;
  if (UsingFileTheme(fileTheme_, UIStyle(), style)) return DeepBlue;
  return style;
}

TsuiUIStyle TsuiStyled::OwnerStyle(const QWidget* owner) {
  return GetSUIFormStyle(owner != nullptr ? owner->window() : nullptr);
}

}  // namespace zelvar
