#pragma once
// The skinned main menu: the menu bar a frame shows below its title bar, one button per
// first-level item, each dropping its owner-drawn menu. First-level items get accelerator
// letters of their own, as a menu with automatic hot keys does.
#include <QMenuBar>
#include <QStringList>

#include "skin/Suimenu.h"

namespace zelvar {

// Gives every caption without an accelerator the first letter or digit of its own that no other
// caption holds ("&" before it); captions with one keep it, captions with none free stay as
// they are.
QStringList AutoHotkeys(const QStringList& captions);

class TsuiMainMenu : public QMenuBar, public TsuiMenuStyled {
  Q_OBJECT

 public:
  explicit TsuiMainMenu(QWidget* parent);

  // The background the bar paints: from one colour to the other, a plain fill when equal.
  void SetBarColours(const QColor& from, const QColor& to);

 protected:
  void actionEvent(QActionEvent* event) override;
  void Repaint() override { update(); }

 private:
  void RethinkHotkeys();
  bool rethinking_ = false;
};

}  // namespace zelvar
