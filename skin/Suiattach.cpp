#include "skin/Suiattach.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QScrollBar>

#include "skin/Suibutton.h"
#include "skin/Suilistbox.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {

TsuiAttachedBars::TsuiAttachedBars(QAbstractScrollArea* area, bool memo)
    : QObject(area), area_(area), memo_(memo) {
  area->installEventFilter(this);
  for (QScrollBar* native : {area->horizontalScrollBar(), area->verticalScrollBar()}) {
    connect(native, &QScrollBar::valueChanged, this, [this] { UpdateScrollBars(); });
    connect(native, &QScrollBar::rangeChanged, this, [this] { UpdateScrollBars(); });
  }
  UpdateInnerScrollBars();
}

TsuiAttachedBars::~TsuiAttachedBars() {
  SetBar(Qt::Vertical, nullptr);
  SetBar(Qt::Horizontal, nullptr);
}

TsuiScrollBar* TsuiAttachedBars::Bar(Qt::Orientation orientation) const {
  return orientation == Qt::Vertical ? vertical_.data() : horizontal_.data();
}

void TsuiAttachedBars::SetBar(Qt::Orientation orientation, TsuiScrollBar* bar) {
  QPointer<TsuiScrollBar>& slot = orientation == Qt::Vertical ? vertical_ : horizontal_;
  QMetaObject::Connection& gone = orientation == Qt::Vertical ? verticalGone_ : horizontalGone_;
  if (bar == slot) return;
  QObject::disconnect(gone);
  if (slot != nullptr) {
    slot->SetOnChange(nullptr);
    slot->SetLineButton(0);
    slot->SetMax(100);
    slot->setEnabled(true);
  }
  slot = bar;
  if (bar != nullptr) {
    bar->SetOrientation(orientation == Qt::Vertical ? suiVertical : suiHorizontal);
    bar->SetOnChange([this, orientation](TsuiScrollBar*) { BarChanged(orientation); });
    bar->raise();
    // A bar that goes is forgotten (it is no scroll bar any more by then) and the control's own
    // scrolling re-derived.
    gone = connect(bar, &QObject::destroyed, this, [this, orientation] {
      (orientation == Qt::Vertical ? vertical_ : horizontal_) = nullptr;
      UpdateInnerScrollBars();
    });
  }
  UpdateInnerScrollBars();
  if (bar != nullptr) UpdateScrollBarsPos();
}

void TsuiAttachedBars::UpdateInnerScrollBars() {
  area_->setHorizontalScrollBarPolicy(horizontal_ != nullptr ? Qt::ScrollBarAsNeeded
                                                             : Qt::ScrollBarAlwaysOff);
  area_->setVerticalScrollBarPolicy(vertical_ != nullptr ? Qt::ScrollBarAsNeeded
                                                         : Qt::ScrollBarAlwaysOff);
}

void TsuiAttachedBars::UpdateOne(TsuiScrollBar* bar, const QScrollBar* native, bool horizontal) {
  if (bar == nullptr) return;
  const bool usable = native->maximum() > native->minimum() && area_->isEnabled();
  if (!usable) {
    bar->SetLineButton(0);
    if (memo_) {
      bar->setEnabled(false);  // a memo's bar stays in place
    } else {
      bar->setVisible(false);
    }
    bar->SetSliderVisible(false);
  } else {
    const QSize buttons = bar->IncreaseButton()->size() + bar->DecreaseButton()->size();
    const int track =
        horizontal ? bar->width() - buttons.width() : bar->height() - buttons.height();
    bar->SetLineButton(
        ListThumbLength(track, native->minimum(), native->maximum(), native->pageStep()));
    if (horizontal) bar->SetSmallChange(3 * bar->PageSize());
    bar->setEnabled(true);
    bar->setVisible(area_->isVisible());
    bar->SetSliderVisible(true);
  }
  bar->SetMax(native->maximum());
  bar->SetMin(native->minimum());
  bar->SetPosition(native->value());
}

void TsuiAttachedBars::UpdateScrollBars() {
  if (changing_) return;
  updating_ = true;
  UpdateOne(horizontal_.data(), area_->horizontalScrollBar(), true);
  UpdateOne(vertical_.data(), area_->verticalScrollBar(), false);
  updating_ = false;
}

void TsuiAttachedBars::BarChanged(Qt::Orientation orientation) {
  if (updating_) return;
  TsuiScrollBar* bar = Bar(orientation);
  if (bar == nullptr) return;
  changing_ = true;
  if (BarMoved && BarMoved(orientation, bar->Position())) {
    changing_ = false;
    return;
  }
  QScrollBar* native =
      orientation == Qt::Vertical ? area_->verticalScrollBar() : area_->horizontalScrollBar();
  native->setValue(bar->Position());
  area_->viewport()->update();
  changing_ = false;
}

void TsuiAttachedBars::UpdateScrollBarsPos() {
  if (!memo_) UpdateScrollBars();
  const QRect g = area_->geometry();
  const bool rtl = area_->layoutDirection() == Qt::RightToLeft;
  TsuiScrollBar* h = horizontal_.data();
  TsuiScrollBar* v = vertical_.data();
  // A grid leaves room for the other bar only while it shows; a memo whenever one is attached.
  const QWidget* parent = area_->parentWidget();
  const bool vTaken = v != nullptr && (memo_ || v->isVisibleTo(parent));
  const bool hTaken = h != nullptr && (memo_ || h->isVisibleTo(parent));
  if (h != nullptr) {
    h->setVisible(h->height() <= g.height());
    const int y = g.y() + g.height() - h->height() - (memo_ ? 2 : 1);
    int x = g.x() + 1;
    int w = 0;
    if (!rtl) {
      w = vTaken ? g.width() - 1 - v->width() : g.width() - (memo_ ? 1 : 2);
    } else if (vTaken) {
      x = g.x() + v->width() + 1;
      w = g.width() - (memo_ ? 2 : 1) - v->width();
    } else {
      w = g.width() - (memo_ ? 2 : 1);
    }
    h->setGeometry(x, y, w, h->height());
  }
  if (v != nullptr) {
    v->setVisible(v->width() <= g.width());
    const int edge = memo_ ? 2 : 1;
    const int x = rtl ? g.x() + (memo_ ? 2 : 1) : g.x() + g.width() - v->width() - edge;
    const int height = hTaken ? g.height() - edge - h->height() : g.height() - edge;
    v->setGeometry(x, g.y() + 1, v->width(), height);
  }
  UpdateScrollBars();
}

bool TsuiAttachedBars::eventFilter(QObject* watched, QEvent* event) {
  if (watched == area_) {
    switch (event->type()) {
      case QEvent::Resize:
      case QEvent::Move:
      case QEvent::Show:
        UpdateScrollBarsPos();
        break;
      case QEvent::Hide:
        for (TsuiScrollBar* bar : {horizontal_.data(), vertical_.data()})
          if (bar != nullptr) bar->hide();
        break;
      case QEvent::EnabledChange:
        UpdateScrollBars();
        break;
      default:
        break;
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace zelvar
