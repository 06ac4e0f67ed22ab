#include "skin/Suigroupbox.h"

#include <QEvent>
#include <QPainter>

#include "skin/Suipublic.h"

namespace zelvar {

TsuiCustomGroupBox::TsuiCustomGroupBox(QWidget* parent) : TsuiCustomPanel(parent) {
  resize(185, 105);
  UpdateMargins();
  SetUIStyle(OwnerStyle(parent));
}

void TsuiCustomGroupBox::SetCaption(const std::string& caption) {
  caption_ = caption;
  update();
}

void TsuiCustomGroupBox::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  update();
}

void TsuiCustomGroupBox::SetFontColor(const QColor& colour) {
  fontColour_ = colour;
  update();
}

void TsuiCustomGroupBox::UpdateUIStyle() {
  ContainerApplyUIStyle(this, UIStyle(), FileTheme());
  borderColour_ = ThemeColor(INSIDE_CONTROLBORDERCOLOR, SKIN2_CONTROLBORDERCOLOR);
  const TsuiFileTheme* theme = ThemeInUse();
  SetFontColor(theme != nullptr ? theme->GetQColor(SKIN2_CONTROLFONTCOLOR)
                                : GetInsideThemeQColor(Style(), INSIDE_GROUPBOX_FONTCOLOR));
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
  if (event->type() == QEvent::FontChange) {
    UpdateMargins();
    update();
  }
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
  const bool rtl = layoutDirection() == Qt::RightToLeft;
  // The frame line stays open where the caption stands.
  painter.setPen(borderColour_);
  QPolygon frame;
  if (!rtl) {
    frame << QPoint(left + 2, y) << QPoint(left, y) << QPoint(left, bottom - 1)
          << QPoint(right - 1, bottom - 1) << QPoint(right - 1, y)
          << QPoint(caption.isEmpty() ? left : left + captionWidth + 6, y);
  } else {
    frame << QPoint(right - 3, y) << QPoint(right - 1, y) << QPoint(right - 1, bottom - 1)
          << QPoint(left + 1, bottom - 1) << QPoint(left + 1, y)
          << QPoint(caption.isEmpty() ? right - 1 : right - captionWidth - 7, y);
  }
  painter.drawPolyline(frame);
  painter.setPen(isEnabled() ? fontColour_ : QColor(0x80, 0x80, 0x80));
  const int x = rtl ? width() - 6 - captionWidth : 5;
  painter.drawText(QRect(x, 0, captionWidth + 1, fh), Qt::AlignLeft | Qt::AlignTop, caption);
}

TsuiGroupBox::TsuiGroupBox(QWidget* parent) : TsuiCustomGroupBox(parent) {}

}  // namespace zelvar
