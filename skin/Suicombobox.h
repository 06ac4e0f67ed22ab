#pragma once
// The skinned combo box: the platform combo box, read and set through its item index.
#include <QComboBox>
#include <string>

namespace zelvar {

class TsuiCustomComboBox : public QComboBox {
  Q_OBJECT

 public:
  explicit TsuiCustomComboBox(QWidget* parent = nullptr);

  // The selected item, -1 when none.
  int ItemIndex() const { return currentIndex(); }
  void SetItemIndex(int index) { setCurrentIndex(index); }
  void AddItem(const std::string& text);
  std::string ItemText(int index) const;
  int ItemCount() const { return count(); }
};

class TsuiComboBox : public TsuiCustomComboBox {
  Q_OBJECT

 public:
  explicit TsuiComboBox(QWidget* parent = nullptr);
};

}  // namespace zelvar
