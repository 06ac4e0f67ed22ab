#pragma once
// The skinned single-line edits: the plain edit, the mask edit, the number edit (a Value shown
// through a format mask), the spin buttons and the spin edit. Each is a QLineEdit without its
// own frame, framed by a one-pixel border in BorderColor over a two-pixel band. The typing rules
// and the arithmetic stand as plain functions.
#include <QLineEdit>
#include <QWidget>
#include <functional>
#include <string>

#include "skin/Suimgr.h"

namespace zelvar {

class TsuiArrowButton;

// FormatFloat for the masks an edit uses: '0' a digit always shown, '#' a digit shown when
// significant, ',' thousands grouping, '.' the decimal point, a leading '-' allowed in the
// mask. The decimals are those after the point, rounded half away from zero.
QString FormatFloat(const QString& mask, double value);
// Whether the number edit takes `key` typed at `caret` into `text`: a digit; the decimal point
// once when the mask has one; Backspace; '-' at position 0, once, when the mask has one.
bool NumberEditAccepts(const QString& mask, const QString& text, int caret, QChar key);
// The spin edit's range rule: with MinValue = MaxValue no range, else clamped.
int SpinCheckValue(int value, int minValue, int maxValue);
// The spin edit's characters: '-', digits and control characters except Enter; with the editor
// disabled no printable character and no Backspace.
bool SpinValidChar(QChar key, bool editorEnabled);
// The spin buttons' layout for a pair `width` x `height`: the width raised to 15, the up button
// over the upper half and a row, the down button below overlapping it by one row.
struct SpinButtonsLayout {
  int width;
  QRect up;
  QRect down;
};
SpinButtonsLayout LayOutSpinButtons(int width, int height);

class TsuiEdit : public QLineEdit, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiEdit(QWidget* parent = nullptr);
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }

 protected:
  void UIStyleChanged() override;
  // Called at the end of every style change so that subclasses pass the style on.
  virtual void EditStyleChanged() {}
  void paintEvent(QPaintEvent* event) override;

 private:
  QColor borderColour_;
};

// An edit mask ("mask;save literals;blank") in QLineEdit's input-mask syntax ("mask;blank"):
// '0' (a digit, required) and '9' (optional) swap, L/l (letters), A/a (letters or digits) and
// C/c (any character) take Qt's A/a, N/n and X/x, "<>" ends case conversion, '_' stands for a
// blank, '!' (leading blanks) has no counterpart, and characters Qt reads as rules but the edit
// mask takes as literals are escaped. The blank character defaults to '_'; the second field
// (whether the text keeps the literals) has no counterpart in Qt's mask.
QString QtInputMask(const QString& editMask);

// The mask edit: QLineEdit's input mask stands in for EditMask, converted.
class TsuiMaskEdit : public TsuiEdit {
  Q_OBJECT

 public:
  using TsuiEdit::TsuiEdit;
  void SetEditMask(const QString& mask) {
    editMask_ = mask;
    setInputMask(QtInputMask(mask));
  }
  const QString& EditMask() const { return editMask_; }

 private:
  QString editMask_;
};

class TsuiNumberEdit : public TsuiEdit {
  Q_OBJECT

 public:
  explicit TsuiNumberEdit(QWidget* parent = nullptr);
  void SetMask(const QString& mask) { mask_ = mask; }
  const QString& Mask() const { return mask_; }
  // Stores the value and shows it through the mask.
  void SetValue(double value);
  double Value() const { return value_; }
  void SetAutoSelectSigns(int signs) { autoSelectSigns_ = signs; }
  int AutoSelectSigns() const { return autoSelectSigns_; }
  // Beeps for a refused key (a seam for tests).
  std::function<void()> Beep;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  void TextChanged();
  void SelectSigns();
  QString mask_ = "0.00";
  double value_ = 0;
  int autoSelectSigns_ = 2;
};

// Two arrow buttons, up over down; Up and Down keys click them.
class TsuiSpinButtons : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiSpinButtons(QWidget* parent = nullptr);
  void SetUIStyle(TsuiUIStyle style);
  TsuiUIStyle UIStyle() const;
  void SetFileTheme(TsuiFileTheme* theme);
  TsuiFileTheme* FileTheme() const;
  TsuiArrowButton* UpButton() const { return up_; }
  TsuiArrowButton* DownButton() const { return down_; }
  std::function<void(TsuiSpinButtons*)> OnUpClick;
  std::function<void(TsuiSpinButtons*)> OnDownClick;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  TsuiArrowButton* CreateButton();
  void BtnClick(TsuiArrowButton* sender);
  TsuiArrowButton* up_ = nullptr;
  TsuiArrowButton* down_ = nullptr;
};

class TsuiSpinEdit : public TsuiEdit {
  Q_OBJECT

 public:
  explicit TsuiSpinEdit(QWidget* parent = nullptr);
  int MinValue = 0;
  int MaxValue = 0;
  int Increment = 1;
  bool EditorEnabled = true;
  // The text as an integer; text that does not parse gives MinValue.
  int Value() const;
  // The value clamped by the range, as plain decimal text.
  void SetValue(int value);
  void UpClick();
  void DownClick();
  TsuiSpinButtons* Buttons() const { return buttons_; }
  std::function<void()> Beep;

 protected:
  void EditStyleChanged() override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;

 private:
  void Refuse();
  TsuiSpinButtons* buttons_;
};

}  // namespace zelvar
