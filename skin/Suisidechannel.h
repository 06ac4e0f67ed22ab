#pragma once
// The side channel: a panel docked to the left or right edge of its parent that folds to a
// 10-pixel strip, slides open when the mouse rests on it (or on a click) and folds back once the
// mouse has left it. The pin button in its title keeps it open. Controls laid out in it stand
// below the title strip and beside the side bar.
#include <QImage>
#include <QPoint>
#include <QWidget>
#include <functional>

#include "skin/Suimgr.h"

class QTimer;
class QToolButton;

namespace zelvar {

// Scoped: the title bar's alignment already holds the bare names.
enum class TsuiSideChannelAlign { suiLeft, suiRight };
enum class TsuiSideChannelPopupMode { suiMouseOn, suiMouseClick };

class TsuiSideChannel : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  // The folded width, and how far one slide step moves the edge.
  static constexpr int kSideBarWidth = 10;
  static constexpr int kStep = 15;

  // A new side channel takes its window's style and starts folded.
  explicit TsuiSideChannel(QWidget* parent = nullptr);
  ~TsuiSideChannel() override;

  // Opens, in 15-pixel steps unless `quick`.
  void Pop(bool quick);
  // Folds to the 10-pixel strip, in 15-pixel steps unless `quick`.
  void Push(bool quick);
  bool Popped() const { return popped_; }
  bool Moving() const { return moving_; }

  // The opened width; the control takes it at once while open.
  void SetWidth(int width);
  int Width() const { return openedWidth_; }
  int SideBarWidth() const { return kSideBarWidth; }
  void SetAlign(TsuiSideChannelAlign align);
  TsuiSideChannelAlign Align() const { return align_; }
  // Pinned: opens (quick when QuickMove) and holds open; unpinned: folds at once.
  void SetStayOn(bool stayOn);
  bool StayOn() const { return stayOn_; }
  // Without the button the side channel is pinned open.
  void SetShowButton(bool show);
  bool ShowButton() const { return showButton_; }
  void SetPopupMode(TsuiSideChannelPopupMode mode) { popupMode_ = mode; }
  TsuiSideChannelPopupMode PopupMode() const { return popupMode_; }
  void SetQuickMove(bool quick) { quickMove_ = quick; }
  bool QuickMove() const { return quickMove_; }
  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }
  void SetAlignment(Qt::Alignment alignment);

  void SetSideBarColor(const QColor& colour);
  QColor SideBarColor() const { return sideBarColour_; }
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetCaptionFontColor(const QColor& colour);
  QColor CaptionFontColor() const { return captionFontColour_; }
  QColor Color() const { return colour_; }
  void SetTitleBitmap(const QImage& picture);
  const QImage& TitleBitmap() const { return titleBitmap_; }
  void SetHandleBitmap(const QImage& picture);
  const QImage& HandleBitmap() const { return handleBitmap_; }

  QToolButton* PinButton() const { return pinButton_; }
  bool CheckTimerActive() const;
  // The once-a-second check while open and unpinned: folds once the cursor is outside.
  void OnTimerCheck();
  // Whether the user may drag the width to `newWidth`.
  bool CanResize(int newWidth) const;

  // Where the timer looks for the cursor (global coordinates); tests replace it.
  std::function<QPoint()> CursorSource;

  std::function<void()> OnPop;
  std::function<void()> OnPush;
  std::function<void()> OnPin;
  std::function<void()> OnUnPin;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void OnPinClick();
  // Sets the control's width and shows the step before the next one.
  void StepTo(int width);
  void Dock();
  int TitleHeight() const { return titleBitmap_.isNull() ? 0 : titleBitmap_.height(); }
  void PlacePin();
  bool OnFreeEdge(const QPoint& pos) const;

  QToolButton* pinButton_;
  QTimer* checkTimer_;
  QImage titleBitmap_;
  QImage handleBitmap_;
  QColor colour_{Qt::white};
  QColor sideBarColour_;
  QColor borderColour_;
  QColor captionFontColour_;
  QString caption_;
  Qt::Alignment alignment_ = Qt::AlignHCenter;
  int openedWidth_ = 185;
  bool popped_ = false;
  bool moving_ = false;
  bool stayOn_ = false;
  bool showButton_ = true;
  bool quickMove_ = false;
  TsuiSideChannelAlign align_ = TsuiSideChannelAlign::suiLeft;
  TsuiSideChannelPopupMode popupMode_ = TsuiSideChannelPopupMode::suiMouseOn;
  // A drag of the free edge by the user.
  bool resizing_ = false;
  int dragStartX_ = 0;
  int dragStartWidth_ = 0;
};

}  // namespace zelvar
