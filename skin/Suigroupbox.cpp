#include "skin/Suigroupbox.h"

#include <QEvent>
#include <QPainter>

namespace zelvar {

TsuiCustomGroupBox::TsuiCustomGroupBox(QWidget* parent) : TsuiCustomPanel(parent) {
  resize(185, 105);
  UpdateMargins();
}

void TsuiCustomGroupBox::SetCaption(const std::string& caption) {
  caption_ = caption;
  update();
}

void TsuiCustomGroupBox::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

QRect TsuiCustomGroupBox::GetClient() const {
  const int fh = fontMetrics().height();
  return QRect(3, fh, width() - 2 - 3, height() - 2 - fh);
}

// Child controls stay inside the frame and below the caption.
void TsuiCustomGroupBox::UpdateMargins() {
  setContentsMargins(3, fontMetrics().height() + 5, 3, 3);
}

void TsuiCustomGroupBox::changeEvent(QEvent* event) {
  TsuiCustomPanel::changeEvent(event);
  if (event->type() == QEvent::FontChange) UpdateMargins();
}

void TsuiCustomGroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBackground(painter);
  const int fh = fontMetrics().height();
  const int left = 0;
  const int right = width();
  const int bottom = height();
  const int y = fh / 2 + 1;
  const QString caption = QString::fromStdString(caption_);
  const int captionWidth = fontMetrics().horizontalAdvance(caption);
  // The frame line stays open where the caption stands.
  painter.setPen(borderColour_);
  QPolygon frame;
  frame << QPoint(left + 2, y) << QPoint(left, y) << QPoint(left, bottom - 1)
        << QPoint(right - 1, bottom - 1) << QPoint(right - 1, y)
        << QPoint(caption.isEmpty() ? left : left + captionWidth + 6, y);
  painter.drawPolyline(frame);
  painter.setPen(isEnabled() ? palette().windowText().color() : QColor(0x80, 0x80, 0x80));
  painter.drawText(QRect(5, 0, captionWidth + 1, fh), Qt::AlignLeft | Qt::AlignTop, caption);
}

TsuiGroupBox::TsuiGroupBox(QWidget* parent) : TsuiCustomGroupBox(parent) {}

}  // namespace zelvar
