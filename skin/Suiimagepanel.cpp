#include "skin/Suiimagepanel.h"

#include <QLayout>
#include <QPainter>
#include <QResizeEvent>

namespace zelvar {

TsuiCustomPanel::TsuiCustomPanel(QWidget* parent) : QWidget(parent) {}

void TsuiCustomPanel::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  update();
}

void TsuiCustomPanel::SetDrawStyle(TsuiDrawStyle style) {
  drawStyle_ = style;
  update();
}

void TsuiCustomPanel::SetTransparent(bool transparent) {
  transparent_ = transparent;
  update();
}

void TsuiCustomPanel::SetPanelCaption(const std::string& caption) {
  panelCaption_ = caption;
  update();
}

void TsuiCustomPanel::PaintBackground(QPainter& painter) {
  if (!picture_.isNull()) {
    switch (drawStyle_) {
      case suiStretch:
        painter.drawPixmap(rect(), picture_);
        break;
      case suiTile:
        painter.drawTiledPixmap(rect(), picture_);
        break;
      case suiNormal:
        painter.drawPixmap(0, 0, picture_);
        break;
    }
  } else if (!transparent_) {
    painter.fillRect(rect(), palette().window());
  }
}

void TsuiCustomPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintBackground(painter);
  const QString caption = QString::fromStdString(panelCaption_).trimmed();
  if (!caption.isEmpty()) painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, caption);
}

TsuiImagePanel::TsuiImagePanel(QWidget* parent) : TsuiCustomPanel(parent) {}

TsuiPanel::TsuiPanel(QWidget* parent) : QWidget(parent) {
  resize(100, height2_);
  setContentsMargins(1, kTitleHeight + 1, 1, 1);
}

void TsuiPanel::SetHeight2(int height) {
  height2_ = height;
  if (opened_) ApplyHeight(height);
}

void TsuiPanel::ApplyHeight(int height) {
  // A panel laid out by its parent keeps the height as its fixed height; a placed one is resized.
  const QLayout* layout = parentWidget() ? parentWidget()->layout() : nullptr;
  if (layout != nullptr && layout->indexOf(this) >= 0) {
    setFixedHeight(height);
  } else {
    resize(width(), height);
  }
}

void TsuiPanel::Push() {
  MoveTo(false);
}

void TsuiPanel::Pop() {
  MoveTo(true);
}

// Folds to the title strip or opens to the opened height, then tells the owner.
void TsuiPanel::MoveTo(bool open) {
  moving_ = true;
  ApplyHeight(open ? height2_ : kTitleHeight);
  moving_ = false;
  opened_ = open;
  update();
  const std::function<void()>& done = open ? OnPop : OnPush;
  if (done) done();
}

void TsuiPanel::SetCaption(const std::string& caption) {
  caption_ = caption;
  update();
}

void TsuiPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), palette().base());
  const QRect title(0, 0, width(), kTitleHeight);
  painter.fillRect(title, palette().button());
  painter.drawText(title.adjusted(4, 0, -4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                   QString::fromStdString(caption_));
  painter.setPen(palette().mid().color());
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TsuiPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A user resizing an open panel changes the height it opens to.
  if (!moving_ && opened_) height2_ = event->size().height();
}

}  // namespace zelvar
