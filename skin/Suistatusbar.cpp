#include "skin/Suistatusbar.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

namespace zelvar {

TsuiStatusBar::TsuiStatusBar(QWidget* parent) : QStatusBar(parent) {
  setSizeGripEnabled(false);  // the bar draws and handles its own grip
  KeepGripRoom();
  SetUIStyle(OwnerStyle(parent));
}

void TsuiStatusBar::SetPanelColor(const QColor& colour) {
  panelColour_ = colour;
  update();
}

void TsuiStatusBar::SetSizeGrip(bool on) {
  sizeGrip_ = on;
  KeepGripRoom();
  update();
}

void TsuiStatusBar::KeepGripRoom() {
  // The panels end where the grip begins, so that the right-hand one is never painted over.
  const int right = GripRect().isNull() ? 0 : kGripSize;
  const QMargins m = contentsMargins();
  if (m.right() != right) setContentsMargins(m.left(), m.top(), right, m.bottom());
}

void TsuiStatusBar::resizeEvent(QResizeEvent* event) {
  KeepGripRoom();  // a maximized window has no grip
  QStatusBar::resizeEvent(event);
}

void TsuiStatusBar::UIStyleChanged() {
  SetPanelColor(ThemeColor(INSIDE_FORMCOLOR, SKIN2_FORMCOLOR));
}

QRect TsuiStatusBar::GripRect() const {
  if (!sizeGrip_ || window()->isMaximized()) return QRect();
  return QRect(width() - kGripSize, height() - kGripSize, kGripSize, kGripSize);
}

void TsuiStatusBar::paintEvent(QPaintEvent* event) {
  {
    QPainter painter(this);
    painter.fillRect(rect(), panelColour_);
    painter.setPen(panelColour_.darker(125));
    painter.drawLine(0, 0, width() - 1, 0);
  }
  QStatusBar::paintEvent(event);
  const QRect grip = GripRect();
  if (grip.isNull()) return;
  // Four diagonal lines in the inactive-caption colour.
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Inactive, QPalette::Highlight));
  const int L = width() - 16, T = height() - 15, R = width() - 1, B = height() - 1;
  for (int k = 0; k < 4; ++k) painter.drawLine(L + 1 + 4 * k, B, R, T + 4 * k);
}

void TsuiStatusBar::mousePressEvent(QMouseEvent* event) {
  // The grip resizes the window; a maximized window offers no grip.
  if (event->button() == Qt::LeftButton && GripRect().contains(event->position().toPoint()) &&
      window()->windowHandle() != nullptr) {
    window()->windowHandle()->startSystemResize(Qt::BottomEdge | Qt::RightEdge);
    return;
  }
  QStatusBar::mousePressEvent(event);
}

}  // namespace zelvar
