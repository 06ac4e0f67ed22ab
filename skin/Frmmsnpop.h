#pragma once
// The pop-up notice: a small frameless picture window that slides up above the lower right
// corner of the work area, stays for a time and slides down again, the kind of notice a
// messenger shows. Its timing is a state machine driven by a clock that tests replace.
#include <QFont>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QRect>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class QTimer;

namespace zelvar {

enum class TsuiNoticeState { Hidden, SlidingIn, Shown, SlidingOut };

// The notice's timing without a window: slide in for the animate time, stay for the stay time
// counted from the end of the slide, slide out. Times are milliseconds of one clock.
class TsuiNoticeTiming {
 public:
  void SetAnimateTime(int ms) { animateTime_ = ms; }
  void SetStayTime(int ms) { stayTime_ = ms; }
  int AnimateTime() const { return animateTime_; }
  int StayTime() const { return stayTime_; }
  TsuiNoticeState State() const { return state_; }

  // Starts the slide in, also over a notice already showing.
  void Show(int64_t now);
  // The check of every timer tick. The stay ends when the time since the slide ended is not in
  // [0, stay time): a clock that went back ends it too.
  void Tick(int64_t now);
  // Leaves the shown state: sliding out when `animated`, else hidden at once.
  void Hide(int64_t now, bool animated);
  // How much of the window shows, 0 to 1.
  double Shown(int64_t now) const;
  // True once after the notice became hidden (the OnClose moment); clears the flag.
  bool TakeClosed();

 private:
  int animateTime_ = 400;
  int stayTime_ = 2000;
  TsuiNoticeState state_ = TsuiNoticeState::Hidden;
  int64_t slideStart_ = 0;
  int64_t startTick_ = 0;
  bool closedEvent_ = false;
};

// Where the notice stands on its own: 18 pixels in from the work area's right edge, on its bottom.
QPoint NoticePosition(const QRect& workArea, const QSize& size);

// The notice's window: a frameless top-most tool window 181 x 116 with its background picture,
// the title at (10, 5) and the message at (10, 40), and a close box at (162, 6) to (175, 19).
class TfrmMSNPopForm : public QWidget {
  Q_OBJECT

 public:
  explicit TfrmMSNPopForm(QWidget* parent = nullptr);

  TsuiNoticeTiming& Timing() { return timing_; }
  const TsuiNoticeTiming& Timing() const { return timing_; }
  void SetClickHide(bool clickHide) { clickHide_ = clickHide; }
  void SetTitle(const QString& title, const QFont& font);
  void SetText(const QString& text, const QFont& font);
  QString Title() const { return title_; }
  QString Text() const { return text_; }
  QRect TitleRect() const;
  QRect TextRect() const;
  static QRect CloseBox() { return QRect(QPoint(162, 6), QPoint(175, 19)); }

  // Shows the window and starts the slide in; the timer then runs the notice.
  void Start();
  // Ends the notice: sliding out when `animated`, else hidden at once; OnClose fires once it is
  // hidden.
  void HideNotice(bool animated);
  // One timer tick: advances the slide or checks the stay.
  void Timer1Timer();
  bool TimerActive() const;

  // The clock in milliseconds; tests replace it.
  std::function<int64_t()> Clock;
  std::function<void()> OnClick;
  std::function<void()> OnTitleClick;
  std::function<void()> OnClose;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  // Follows the timing: the visible part of the window, the timer's pace, hidden when done.
  void Follow();

  TsuiNoticeTiming timing_;
  QTimer* timer_;
  QImage background_;
  QString title_;
  QString text_;
  QFont titleFont_;
  QFont textFont_;
  bool clickHide_ = false;
  int slideOffset_ = 0;  // how far the contents stand below their place while sliding
};

// The notice as a component: its settings are copied into the window at each Popup.
class TsuiMSNPopForm : public QObject {
  Q_OBJECT

 public:
  explicit TsuiMSNPopForm(QObject* owner = nullptr);
  ~TsuiMSNPopForm() override;

  int AnimateTime = 400;
  int StayTime = 2000;
  int PositionX = 0;
  int PositionY = 0;
  bool AutoPosition = true;
  bool ClickHide = false;
  QString Title;
  QString MessageText;
  void SetTitleFont(const QFont& font) { titleFont_ = font; }
  void SetTextFont(const QFont& font) { messageFont_ = font; }
  const QFont& TitleFont() const { return titleFont_; }
  const QFont& MessageFont() const { return messageFont_; }

  // Copies the settings into the window, fires OnShow, places and shows it.
  void Popup();
  // Stops the notice and hides it at once.
  void Close();
  TfrmMSNPopForm* Form() const { return form_; }
  // The work area the automatic position uses; the primary screen's unless set.
  std::function<QRect()> WorkArea;

  std::function<void(TsuiMSNPopForm*)> OnTitleClick;
  std::function<void(TsuiMSNPopForm*)> OnClick;
  std::function<void(TsuiMSNPopForm*)> OnClose;
  std::function<void(TsuiMSNPopForm*)> OnShow;

 private:
  QPointer<TfrmMSNPopForm> form_;
  QFont titleFont_;
  QFont messageFont_;
};

}  // namespace zelvar
