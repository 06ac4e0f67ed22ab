#pragma once
// The skinned pop-up menu: a QMenu whose items are measured and painted in its style.
#include <QMenu>

#include "skin/Suimenu.h"

namespace zelvar {

class TsuiPopupMenu : public QMenu, public TsuiMenuStyled {
  Q_OBJECT

 public:
  explicit TsuiPopupMenu(QWidget* parent);

  // MacOS keeps its own item height.
  void SetMenuItemHeight(int height) override;

 protected:
  void Repaint() override { update(); }
};

}  // namespace zelvar
