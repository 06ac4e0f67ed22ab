#include "skin/Suimemo.h"

#include <QEvent>
#include <QPainter>

#include "skin/Suiattach.h"
#include "skin/Suipublic.h"
#include "skin/Suiscrollbar.h"

namespace zelvar {

TsuiMemo::TsuiMemo(QWidget* parent)
    : QPlainTextEdit(parent), bars_(new TsuiAttachedBars(this, true)) {
  setFrameShape(QFrame::NoFrame);
  setViewportMargins(2, 2, 2, 2);
  // Typing, pasting, undoing and setting the text reach the bars through the range and value of
  // the memo's own bars; a change of the text alone may leave both as they were.
  connect(this, &QPlainTextEdit::textChanged, bars_, &TsuiAttachedBars::UpdateScrollBars);
  SetUIStyle(OwnerStyle(parent));
}

// The bars let go while the memo is whole.
TsuiMemo::~TsuiMemo() {
  delete bars_;
}

void TsuiMemo::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiMemo::UIStyleChanged() {
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  const TsuiUIStyle resolved = ThemeInUse() != nullptr ? FromThemeFile : Style();
  for (TsuiScrollBar* bar : {VScrollBar(), HScrollBar()}) {
    if (bar == nullptr) continue;
    bar->SetFileTheme(FileTheme());
    bar->SetUIStyle(resolved);
  }
  update();
}

void TsuiMemo::SetVScrollBar(TsuiScrollBar* bar) {
  bars_->SetBar(Qt::Vertical, bar);
  if (bar != nullptr) UIStyleChanged();
}
TsuiScrollBar* TsuiMemo::VScrollBar() const {
  return bars_->Bar(Qt::Vertical);
}
void TsuiMemo::SetHScrollBar(TsuiScrollBar* bar) {
  bars_->SetBar(Qt::Horizontal, bar);
  if (bar != nullptr) UIStyleChanged();
}
TsuiScrollBar* TsuiMemo::HScrollBar() const {
  return bars_->Bar(Qt::Horizontal);
}

bool TsuiMemo::event(QEvent* event) {
  const bool result = QPlainTextEdit::event(event);
  if (event->type() == QEvent::Paint && borderColour_.isValid()) {
    QPainter painter(this);
    DrawControlBorder(painter, rect(), borderColour_, palette().color(QPalette::Base), true);
  }
  return result;
}

}  // namespace zelvar
