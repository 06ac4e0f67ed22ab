#pragma once
// The settings window: serial-number and date stamps, the contact and power switches and the
// number base. The stamp logic lives in app/core/settings; this form shows and edits its state.
#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <array>
#include <functional>
#include <string>

#include "app/core/settings/Stamps.h"

class QLabel;

namespace zelvar {

class TsuiButton;
class TsuiCheckBox;
class TsuiPageControl;
class TsuiRadioGroup;
class TsuiTabSheet;

class TSetting1 : public QDialog {
  Q_OBJECT
 public:
  TSetting1(StampSettings& model, QWidget* owner = nullptr);

  // Puts the texts of the language in force on the tabs, labels and switches.
  void SetCaptions();
  // Shows the model's texts and switches (after a project load, for instance).
  void ShowSettings();
  // The stamps into the buffer; with `advance` the serial first counts up. The edits follow.
  bool ApplyStamps(bool advance);
  // OK: the contact switch, the stamps without advancing, then the window closes.
  void suitempButton1Click();
  // Edit3 shows the time now.
  void Timer1Timer();

  StampSettings& model() { return model_; }
  // The time source of the date stamp.
  StampClock clock = &SystemClock;
  // The buffer changed under a stamp: redraw its view.
  std::function<void()> bufferChanged;

  TsuiPageControl* pages = nullptr;
  std::array<TsuiTabSheet*, 3> sheets{};  // serial, date, others
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit2 = nullptr;
  QLineEdit* Edit3 = nullptr;
  QLineEdit* Edit4 = nullptr;
  QLineEdit* Edit5 = nullptr;
  QLineEdit* Edit6 = nullptr;
  TsuiCheckBox* CheckBox1 = nullptr;
  TsuiCheckBox* CheckBox2 = nullptr;
  TsuiCheckBox* CheckBox4 = nullptr;
  TsuiCheckBox* CheckBox5 = nullptr;
  TsuiCheckBox* CheckBox6 = nullptr;
  TsuiRadioGroup* RadioGroup1 = nullptr;
  TsuiButton* suitempButton1 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QLineEdit* AddEdit(QWidget* sheet, int row, const char* name, std::string StampSettings::*text,
                     bool marksProject);
  TsuiCheckBox* AddCheck(QWidget* sheet, int row, const char* name, bool StampSettings::*flag,
                         bool marksProject);
  // After a stamp: the edits show the model, and the buffer view is redrawn when a stamp was
  // written. Returns `ok`.
  bool Stamped(bool ok);

  StampSettings& model_;
  bool showing_ = false;  // controls are being set from the model: not a user's change
  std::array<QLabel*, 7> labels_{};
};

extern TSetting1* Setting1;

}  // namespace zelvar
