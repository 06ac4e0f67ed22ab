#pragma once
// Skinned push buttons (push, picture, control, arrow and tool-bar buttons), check boxes and radio
// buttons. Each paints itself from its style's pictures.
#include <QAbstractButton>
#include <QImage>
#include <QPixmap>
#include <QPushButton>
#include <functional>
#include <string>

#include "skin/Suimgr.h"

class QTimer;

namespace zelvar {

// The base of every skinned push button: four painted states (normal, mouse-on, down, disabled),
// a repeat timer while the left button is held, a click only when released inside, Space and
// Enter, and the Default and Cancel keys of its window.
class TsuiCustomButton : public QPushButton, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiCustomButton(QWidget* parent = nullptr);

  // The caption of every button class: stores it, sets the control text and repaints, also when
  // the text is unchanged.
  void SetCaption2(const std::string& caption);
  std::string Caption() const { return text().toStdString(); }

  // What a user's click does: ends the pressed look and the repeat timer, closes a dialog with
  // the button's ModalResult when it has one, then fires clicked().
  void Click();

  // Enter anywhere in the window clicks the Default button unless another skinned button has the
  // focus; Escape clicks the Cancel button.
  void SetDefault(bool value);
  bool Default() const { return default_; }
  void SetCancel(bool value);
  bool Cancel() const { return cancel_; }
  void SetModalResult(int result) { modalResult_ = result; }
  int ModalResult() const { return modalResult_; }

  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  bool PicTransparent() const { return picTransparent_; }
  void SetAutoSize(bool autoSize);
  void SetFocusedRectMargin(int margin);
  // A negative interval acts as 0.
  void SetMouseContinuouslyDownInterval(int ms) { interval_ = ms; }
  int MouseContinuouslyDownInterval() const { return interval_; }

  bool IsDown() const { return down_; }
  bool IsMouseOn() const { return mouseOn_; }
  // The repeat timer; present only while the left button is held.
  QTimer* RepeatTimer() const { return repeat_; }

  std::function<void()> OnMouseEnter;
  std::function<void()> OnMouseExit;
  std::function<void()> OnMouseContinuouslyDown;

 protected:
  virtual void AutoSizeChanged();
  virtual void CaptionChanged() {}
  virtual void PaintPic(QPainter& painter, const QImage& picture);
  virtual void PaintText(QPainter& painter, const QString& text);
  virtual void PaintFocus(QPainter& painter);
  virtual void PaintButtonNormal(QImage* picture);
  virtual void PaintButtonMouseOn(QImage* picture);
  virtual void PaintButtonMouseDown(QImage* picture);
  virtual void PaintButtonDisabled(QImage* picture);
  void UIStyleChanged() override;

  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void focusInEvent(QFocusEvent* event) override;
  void focusOutEvent(QFocusEvent* event) override;
  void showEvent(QShowEvent* event) override;

  QColor fontColour_ = Qt::black;
  bool boldCaption_ = false;

 private:
  void PaintButton(QImage* picture, int frame);
  void StopRepeat();
  void WatchDialogKeys();

  bool cancel_ = false;
  bool default_ = false;
  bool transparent_ = false;
  bool picTransparent_ = false;
  bool autoSize_ = false;
  int modalResult_ = 0;
  int interval_ = 100;
  int focusedRectMargin_ = 2;
  bool mouseOn_ = false;
  bool down_ = false;
  QTimer* repeat_ = nullptr;
};

enum TsuiButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// The themed push button: the style's face drawn as a nine-part frame, an optional glyph.
class TsuiButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiButton(QWidget* parent = nullptr);

  // A glyph twice as wide as high holds the normal and the disabled picture.
  void SetGlyph(const QImage& glyph);
  void SetLayout(TsuiButtonLayout layout);
  void SetSpacing(int spacing);

 protected:
  void UIStyleChanged() override;
  void PaintPic(QPainter& painter, const QImage& picture) override;
  void PaintText(QPainter& painter, const QString& text) override;
  void PaintFocus(QPainter& painter) override;

 private:
  QImage glyph_;
  TsuiButtonLayout layout_ = blGlyphLeft;
  int spacing_ = 4;
  QPoint textOrigin_;
};

// A button drawn from the user's pictures (the tool buttons of the main window). It draws no
// style picture, so its style always reads FromThemeFile.
class TsuiImageButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiImageButton(QWidget* parent = nullptr);

  void SetPicNormal(const QPixmap& picture);
  void SetPicMouseOn(const QPixmap& picture);
  void SetPicMouseDown(const QPixmap& picture);
  void SetPicDisabled(const QPixmap& picture);
  void SetStretch(bool stretch);
  void SetDrawFocused(bool drawFocused);
  TsuiUIStyle UIStyle() const override { return FromThemeFile; }
  QSize sizeHint() const override;

 protected:
  void AutoSizeChanged() override;
  void PaintPic(QPainter& painter, const QImage& picture) override;
  void PaintFocus(QPainter& painter) override;
  void PaintButtonNormal(QImage* picture) override;
  void PaintButtonMouseOn(QImage* picture) override;
  void PaintButtonMouseDown(QImage* picture) override;
  void PaintButtonDisabled(QImage* picture) override;

 private:
  void SetPicture(QImage& slot, const QPixmap& picture);
  QImage normal_, mouseOn_, down_, disabled_;
  bool stretch_ = false;
  bool drawFocused_ = false;
};

// A button showing one frame of any built-in picture strip: frame PicIndex normally, PicIndex + 1
// under the mouse; it takes the frame's size.
class TsuiControlButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiControlButton(QWidget* parent = nullptr);
  void SetThemeID(int element);
  void SetPicIndex(int index);
  void SetPicCount(int count);

 protected:
  void PaintPic(QPainter& painter, const QImage& picture) override;
  void PaintButtonNormal(QImage* picture) override;
  void PaintButtonMouseOn(QImage* picture) override;
  void PaintButtonMouseDown(QImage* picture) override;
  void PaintButtonDisabled(QImage* picture) override;
  void UIStyleChanged() override;

 private:
  void Frame(QImage* picture, int frame) const;
  void FitToFrame();
  int themeId_ = 0;
  int picIndex_ = 0;
  int picCount_ = 0;
};

enum TsuiArrowButtonType { suiUp = 0, suiDown = 1 };

// The themed face with a small triangle and no caption.
class TsuiArrowButton : public TsuiCustomButton {
  Q_OBJECT

 public:
  explicit TsuiArrowButton(QWidget* parent = nullptr);

  // Stores the direction and repaints, also when it is unchanged.
  void SetArrow(TsuiArrowButtonType arrow);
  TsuiArrowButtonType Arrow() const { return arrow_; }

 protected:
  void UIStyleChanged() override;
  void PaintPic(QPainter& painter, const QImage& picture) override;
  void PaintText(QPainter&, const QString&) override {}

 private:
  TsuiArrowButtonType arrow_ = suiUp;
};

// A small tool-bar button: a gradient face from Color to ToColor and a glyph, framed under the
// mouse.
class TsuiToolBarSpeedButton : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiToolBarSpeedButton(QWidget* parent = nullptr);
  void SetGlyph(const QImage& glyph) { glyph_ = glyph; }
  void SetColor(const QColor& colour);
  void SetToColor(const QColor& colour);

  std::function<void()> OnClick;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QImage glyph_;
  QColor colour_;
  QColor toColour_;
  bool mouseOn_ = false;
};

// A check box that keeps its own check flag; OnClick fires when the state changes, not on a bare
// click, and not while its form is loading.
class TsuiCheckBox : public QAbstractButton, public TsuiStyled {
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
  void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  void SetAutoSize(bool autoSize);
  void SetFontColor(const QColor& colour);

  std::function<void()> OnClick;

  QSize sizeHint() const override;
  // The frame of the picture strip for the state.
  QImage Picture() const;

 protected:
  virtual void CheckStateChanged();
  virtual void DoClick();
  virtual bool WantKeyUp() const { return true; }
  virtual bool GetPicTransparent() const { return false; }
  virtual int GetPicThemeIndex() const { return INSIDE_CHECKBOX; }
  // The picture's element in a skin file.
  virtual Tsk2SkinBitmapElement GetPicThemeIndexOuter() const { return SKIN2_CHECKBOX; }
  virtual bool NeedDrawFocus() const;
  void UIStyleChanged() override;

  void paintEvent(QPaintEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void keyReleaseEvent(QKeyEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  QSize AutoSizeFor(const QImage& picture) const;
  void UpdateAutoSize();
  bool checked_ = false;
  bool transparent_ = false;
  bool autoSize_ = true;
  QColor fontColour_ = Qt::black;
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
  bool GetPicTransparent() const override { return true; }
  int GetPicThemeIndex() const override { return INSIDE_RADIOBUTTON; }
  Tsk2SkinBitmapElement GetPicThemeIndexOuter() const override { return SKIN2_RADIOBUTTON; }

 private:
  void UnCheckGroup();
  int groupIndex_ = 0;
};

}  // namespace zelvar
