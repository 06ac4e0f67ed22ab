#pragma once
// Picture panels (the base of the group boxes) and the fold-up panel.
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include <functional>
#include <string>

#include "skin/Suimgr.h"

namespace zelvar {

enum TsuiDrawStyle { suiNormal = 0, suiStretch = 1, suiTile = 2 };
// How a control is aligned in its parent; the fold-up panel cannot fold when it fills the parent
// or a side of it.
enum TsuiAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

// A panel that shows a picture (normal, stretched or tiled) and a caption, centred unless both
// caption coordinates are given.
class TsuiCustomPanel : public QWidget {
  Q_OBJECT

 public:
  explicit TsuiCustomPanel(QWidget* parent = nullptr);

  void SetPicture(const QPixmap& picture);
  const QPixmap& Picture() const { return picture_; }
  void SetDrawStyle(TsuiDrawStyle style);
  TsuiDrawStyle DrawStyle() const { return drawStyle_; }
  virtual void SetTransparent(bool transparent);
  bool Transparent() const { return transparent_; }
  void SetPanelCaption(const std::string& caption);
  const std::string& PanelCaption() const { return panelCaption_; }
  void SetCaptionPos(int x, int y);
  void SetAlignment(Qt::Alignment alignment);
  // With AutoSize the panel takes the picture's width and height, except along its alignment.
  void SetAutoSize(bool autoSize);
  void SetAlign(TsuiAlign align);
  TsuiAlign Align() const { return align_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Fills the background: the parent's shows through when transparent.
  void PaintBackground(QPainter& painter);

 private:
  void ApplyAutoSize();
  QPixmap picture_;
  TsuiDrawStyle drawStyle_ = suiNormal;
  bool transparent_ = false;
  bool autoSize_ = false;
  TsuiAlign align_ = alNone;
  int captionX_ = -1;
  int captionY_ = -1;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  std::string panelCaption_;
};

class TsuiImagePanel : public TsuiCustomPanel {
  Q_OBJECT

 public:
  explicit TsuiImagePanel(QWidget* parent = nullptr);
};

// A framed container with a title strip (the style's side-channel bar) that folds up to the strip
// (Push) and opens again (Pop) in 15-pixel steps.
class TsuiPanel : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiPanel(QWidget* parent = nullptr);

  // The opened height: applied at once while the panel is open; a folded panel keeps its height
  // and opens to this one later.
  void SetHeight2(int height);
  int Height2() const { return height2_; }
  bool Pushed() const { return !opened_; }
  // Throws std::logic_error when the panel fills its parent or a side of it.
  void Push();
  void Pop();

  void SetCaption(const std::string& caption);
  const std::string& Caption() const { return caption_; }
  void SetShowButton(bool show);
  void SetAlign(TsuiAlign align);
  TsuiAlign Align() const { return align_; }
  QColor BorderColor() const { return borderColour_; }
  QColor CaptionFontColor() const { return captionColour_; }
  int TitleHeight() const;

  std::function<void()> OnPush;
  std::function<void()> OnPop;

  // The folded height when the title picture is empty.
  static constexpr int kTitleHeight = 20;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  bool HasButton() const;
  QRect ButtonHitRect() const;
  void ApplyHeight(int height);
  void MoveTo(bool open);
  int height2_ = 100;
  bool opened_ = true;
  bool moving_ = false;
  bool showButton_ = true;
  bool mouseOnButton_ = false;
  TsuiAlign align_ = alNone;
  QImage title_;
  QColor borderColour_;
  QColor captionColour_;
  std::string caption_;
};

}  // namespace zelvar
