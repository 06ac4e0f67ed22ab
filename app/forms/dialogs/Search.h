#pragma once
// The find form: an ASCII field and a HEX field that follow each other, and Find next. It stays
// above the other windows and shows hits in the hex view.
#include <QLineEdit>
#include <QWidget>

#include "skin/Suibutton.h"

namespace zelvar {

class HexView;

class TSearchTool : public QWidget {
  Q_OBJECT
 public:
  explicit TSearchTool(QWidget* parent = nullptr);

  // The main window's Search command: the button caption by language, then shown.
  void Open();
  void SetView(HexView* view) { view_ = view; }

  void Edit1KeyUp();
  void Edit2KeyUp();
  void FindNextClick();

  QLineEdit* Edit1;  // ASCII
  QLineEdit* Edit2;  // HEX
  TsuiButton* FindNext;

 private:
  HexView* view_ = nullptr;
};

}  // namespace zelvar
