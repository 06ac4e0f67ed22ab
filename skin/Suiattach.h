#pragma once
// The skinned scroll bars a grid or a memo carries (VScrollBar, HScrollBar): siblings placed over
// the control's own bars and kept in step both ways. The updating flag keeps the control's writes
// into a bar from coming back as scrolling; the changing flag keeps a bar's scrolling from being
// written back into it.
#include <QObject>
#include <QPointer>
#include <functional>

class QAbstractScrollArea;
class QScrollBar;

namespace zelvar {

class TsuiScrollBar;

class TsuiAttachedBars : public QObject {
 public:
  // `memo`: an axis that cannot scroll keeps its bar in place, disabled; a grid hides it. The
  // two also differ in their placement by one pixel.
  TsuiAttachedBars(QAbstractScrollArea* area, bool memo);
  ~TsuiAttachedBars() override;

  // Attaches a bar (the one before goes back to neutral values) and lets the control's own
  // scrolling run only along the axes that have a skinned bar.
  void SetBar(Qt::Orientation orientation, TsuiScrollBar* bar);
  TsuiScrollBar* Bar(Qt::Orientation orientation) const;
  void UpdateScrollBars();
  void UpdateScrollBarsPos();
  // When set and answering true, takes a bar's move (orientation, position) in place of
  // scrolling the control (the data grid moves its records).
  std::function<bool(Qt::Orientation, int)> BarMoved;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void UpdateInnerScrollBars();
  void UpdateOne(TsuiScrollBar* bar, const QScrollBar* native, bool horizontal);
  void BarChanged(Qt::Orientation orientation);

  QAbstractScrollArea* area_;
  bool memo_;
  QPointer<TsuiScrollBar> vertical_;
  QPointer<TsuiScrollBar> horizontal_;
  QMetaObject::Connection verticalGone_;
  QMetaObject::Connection horizontalGone_;
  bool updating_ = false;
  bool changing_ = false;
};

}  // namespace zelvar
