#pragma once
// Skinned push buttons, check boxes and radio buttons.
#include <QAbstractButton>
#include <QPixmap>
#include <QPushButton>
#include <functional>
#include <string>

namespace zelvar {

// The base of every skinned push button.
class TsuiCustomButton : public QPushButton {
  Q_OBJECT

 public:
  explicit TsuiCustomButton(QWidget* parent = nullptr);

  // The caption of every button class: stores it, sets the control text and repaints, also when
  // the text is unchanged.
  void SetCaption2(const std::string& caption);
  const std::string& Caption() const { return caption_; }

 protected:
  virtual void CaptionChanged() {}

 private:
  std::string caption_;
};

// The themed push button with a caption.
class TsuiButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiButton(QWidget* parent = nullptr);
};

// A button drawn from the user's pictures (the tool buttons of the main window).
class TsuiImageButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiImageButton(QWidget* parent = nullptr);

  void SetPicNormal(const QPixmap& picture);
  void SetPicDisabled(const QPixmap& picture);

 private:
  void ApplyPictures();
  QPixmap normal_;
  QPixmap disabled_;
};

enum TsuiArrowButtonType { suiUp = 0, suiDown = 1 };

// A button that shows a small triangle and no caption.
class TsuiArrowButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiArrowButton(QWidget* parent = nullptr);

  // Stores the direction and repaints, also when it is unchanged.
  void SetArrow(TsuiArrowButtonType arrow);
  TsuiArrowButtonType Arrow() const { return arrow_; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  TsuiArrowButtonType arrow_ = suiUp;
};

// A check box that keeps its own check flag; OnClick fires when the state changes, not on a bare
// click.
class TsuiCheckBox : public QAbstractButton {
  Q_OBJECT

 public:
  explicit TsuiCheckBox(QWidget* parent = nullptr);

  bool Checked() const { return checked_; }
  // On a change: stores the flag, repaints and runs the state-changed handling. An unchanged
  // value does nothing.
  void SetChecked(bool checked);
  std::string Caption() const;
  void SetCaption(const std::string& caption);
  // What a user's click (mouse, Space or Enter, accelerator) does.
  void Click();

  std::function<void()> OnClick;

  QSize sizeHint() const override;

 protected:
  virtual void CheckStateChanged();
  virtual void DoClick();
  virtual bool WantKeyUp() const { return true; }
  virtual bool IsRadio() const { return false; }

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;

 private:
  bool checked_ = false;
};

// A radio button: checking it unchecks the radio buttons of the same parent and GroupIndex; a
// click never unchecks it.
class TsuiRadioButton : public TsuiCheckBox {
  Q_OBJECT

 public:
  explicit TsuiRadioButton(QWidget* parent = nullptr);

  int GroupIndex() const { return groupIndex_; }
  void SetGroupIndex(int index) { groupIndex_ = index; }

 protected:
  void CheckStateChanged() override;
  void DoClick() override;
  bool WantKeyUp() const override { return false; }
  bool IsRadio() const override { return true; }

 private:
  void UnCheckGroup();
  int groupIndex_ = 0;
};

}  // namespace zelvar
