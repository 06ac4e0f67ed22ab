#pragma once
// The logic IC tester window "Test  IC (74,40,45)": a thin face over IcTester.
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>

#include "app/core/ictest/IcTester.h"
#include "skin/Suibutton.h"
#include "skin/Suiradiogroup.h"

namespace zelvar {

class TICTestx : public QDialog {
  Q_OBJECT
 public:
  explicit TICTestx(QWidget* parent = nullptr);

  // Prepares the tester before it is shown: captions, design, supplies, the TypeIndex library.
  void ShowIcTester();
  // Selects radio item `item` and loads its library, without waiting for a click.
  void SelectLibrary(int item);
  // The whole road from the Tools menu or the "ICTEST" key: prepare, library 0, show modally.
  void OpenModal();

  void Gr1OnClick();
  void suitempTest1Click();
  void suitempButton1Click();
  void LBox1OnClick();
  void suitempCancelBtnClick();

  QLabel* Label1;
  QLabel* Label2;
  TsuiButton* CancelBtn;
  QLineEdit* Message;
  TsuiButton* Test1;
  TsuiRadioGroup* RadioGroup1;
  TsuiButton* ButtonSearch1;
  QListWidget* ListBox1;
  QListWidget* ListBox2;
  QLineEdit* Number;
  QComboBox* ComboBox1;

  IcTester& tester() { return tester_; }

 protected:
  void done(int result) override;

 private:
  void Mirror();
  IcTester tester_;
  bool syncing_ = false;
  bool closed_ = true;
};

extern TICTestx* ICTestx;

}  // namespace zelvar
