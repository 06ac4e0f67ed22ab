#include "skin/Suicombobox.h"

namespace zelvar {

TsuiCustomComboBox::TsuiCustomComboBox(QWidget* parent) : QComboBox(parent) {}

void TsuiCustomComboBox::AddItem(const std::string& text) {
  addItem(QString::fromStdString(text));
}

std::string TsuiCustomComboBox::ItemText(int index) const {
  return itemText(index).toStdString();
}

TsuiComboBox::TsuiComboBox(QWidget* parent) : TsuiCustomComboBox(parent) {}

}  // namespace zelvar
