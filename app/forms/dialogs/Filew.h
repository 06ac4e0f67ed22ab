#pragma once
// The file-format dialog: format, byte lane, fill mode and start address of a load. A thin form
// over FileFormatModel.
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "app/core/buffer/FileFormat.h"
#include "skin/Suibutton.h"
#include "skin/Suicombobox.h"
#include "skin/Suiradiogroup.h"

namespace zelvar {

class TFileFormat : public QDialog {
  Q_OBJECT
 public:
  explicit TFileFormat(QWidget* parent = nullptr);

  // Shows the dialog modally over `model` (prepared by the caller); on return the model holds
  // the choice (ChosenExt empty after Cancel).
  void Run(FileFormatModel& model);
  // The form's state from the model, and OK / Cancel as the buttons do (tests call these).
  void Load(FileFormatModel& model);
  bool PressOk();
  void PressCancel();

  QLabel* Label1;
  QLineEdit* Edit1;
  TsuiComboBox* suiComboBox1;
  TsuiComboBox* ModeComboB;
  TsuiRadioGroup* RadioGroup3;  // the fill mode
  TsuiButton* suiButtonOK;
  TsuiButton* suiButton2;

 private:
  FileFormatModel* model_ = nullptr;
};

}  // namespace zelvar
