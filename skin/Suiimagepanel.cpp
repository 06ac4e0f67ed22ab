#include "skin/Suiimagepanel.h"

#include <QApplication>
#include <QLayout>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>
#include <stdexcept>

#include "skin/Suipictures.h"
#include "skin/Suipublic.h"

namespace zelvar {

TsuiCustomPanel::TsuiCustomPanel(QWidget* parent) : QWidget(parent) {}

void TsuiCustomPanel::SetPicture(const QPixmap& picture) {
  picture_ = picture;
  ApplyAutoSize();
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

void TsuiCustomPanel::SetCaptionPos(int x, int y) {
  captionX_ = x;
  captionY_ = y;
  update();
}

void TsuiCustomPanel::SetAlignment(Qt::Alignment alignment) {
  alignment_ = alignment;
  update();
}

void TsuiCustomPanel::SetAutoSize(bool autoSize) {
  autoSize_ = autoSize;
  ApplyAutoSize();
}

void TsuiCustomPanel::SetAlign(TsuiAlign align) {
  align_ = align;
  ApplyAutoSize();
}

void TsuiCustomPanel::ApplyAutoSize() {
  if (!autoSize_ || picture_.isNull()) return;
  const bool keepWidth = align_ == alTop || align_ == alBottom || align_ == alClient;
  const bool keepHeight = align_ == alLeft || align_ == alRight || align_ == alClient;
  resize(keepWidth ? width() : picture_.width(), keepHeight ? height() : picture_.height());
}

void TsuiCustomPanel::PaintBackground(QPainter& painter) {
  if (!picture_.isNull()) {
    switch (drawStyle_) {
      case suiStretch:
        painter.drawPixmap(rect(), picture_);
        break;
      case suiTile:
        TileDraw(painter, picture_.toImage(), rect());
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
  const QString caption = QString::fromStdString(panelCaption_);
  if (caption.trimmed().isEmpty()) return;
  // Either coordinate at -1 centres the caption by the alignment.
  if (captionX_ == -1 || captionY_ == -1) {
    painter.drawText(rect(), alignment_ | Qt::AlignVCenter | Qt::TextSingleLine, caption);
  } else {
    painter.drawText(QPoint(captionX_, captionY_ + fontMetrics().ascent()), caption);
  }
}

TsuiImagePanel::TsuiImagePanel(QWidget* parent) : TsuiCustomPanel(parent) {}

TsuiPanel::TsuiPanel(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  resize(100, height2_);
  SetUIStyle(OwnerStyle(parent));
}

int TsuiPanel::TitleHeight() const {
  return title_.height() > 0 ? title_.height() : kTitleHeight;
}

void TsuiPanel::UIStyleChanged() {
  const TsuiUIStyle style = Style();
  // The panel is white; its controls stand on that colour.
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    // The skin's title picture, or DeepBlue's when the skin has none.
    if (const QImage* title = theme->GetBitmap(SKIN2_SIDECHANNELTITLE))
      title_ = *title;
    else
      GetInsideThemeBitmap(DeepBlue, INSIDE_SIDECHANNEL_BAR, &title_);
    borderColour_ = theme->GetQColor(SKIN2_CONTROLBORDERCOLOR);
    captionColour_ = theme->GetQColor(SKIN2_CONTROLFONTCOLOR);
  } else {
    GetInsideThemeBitmap(style, INSIDE_SIDECHANNEL_BAR, &title_);
    borderColour_ = GetInsideThemeQColor(style, INSIDE_CONTROLBORDERCOLOR);
    captionColour_ = style == MacOS ? QColor(Qt::black)
                                    : GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDFONTCOLOR);
  }
  // Controls stay below the title strip and inside the frame.
  setContentsMargins(3, TitleHeight() + 3, 3, 3);
  SetHeight2(height2_);
  update();
}

void TsuiPanel::SetHeight2(int height) {
  height2_ = height;
  if (opened_) ApplyHeight(height);
}

void TsuiPanel::ApplyHeight(int height) {
  // A panel laid out by its parent keeps the height as its fixed height; a placed one is resized.
  const QLayout* layout = parentWidget() ? parentWidget()->layout() : nullptr;
  if (layout != nullptr && layout->indexOf(this) >= 0 && align_ != alLeft && align_ != alRight &&
      align_ != alClient) {
    setFixedHeight(height);
  } else {
    resize(width(), height);
  }
}

void TsuiPanel::SetCaption(const std::string& caption) {
  caption_ = caption;
  update();
}

void TsuiPanel::SetShowButton(bool show) {
  showButton_ = show;
  update();
}

void TsuiPanel::SetAlign(TsuiAlign align) {
  align_ = align;
  update();
}

bool TsuiPanel::HasButton() const {
  return showButton_ && align_ != alClient && align_ != alLeft && align_ != alRight;
}

void TsuiPanel::Push() {
  if (align_ == alClient || align_ == alLeft || align_ == alRight)
    throw std::logic_error("Can't push when Align is alClient, alLeft or alRight.");
  MoveTo(false);
}

void TsuiPanel::Pop() {
  MoveTo(true);
}

// Folds to the title strip or opens to the opened height in 15-pixel steps, letting pending
// events run between steps, then tells the owner.
void TsuiPanel::MoveTo(bool open) {
  const int target = open ? height2_ : TitleHeight();
  moving_ = true;
  if (open) {
    while (height() + 15 < target) {
      ApplyHeight(height() + 15);
      QApplication::processEvents();
    }
  } else {
    while (height() - 15 > target) {
      ApplyHeight(height() - 15);
      QApplication::processEvents();
    }
  }
  ApplyHeight(target);
  moving_ = false;
  opened_ = open;
  update();
  const std::function<void()>& done = open ? OnPop : OnPush;
  if (done) done();
}

QRect TsuiPanel::ButtonHitRect() const {
  const QImage strip = LoadResourceBitmap("PANEL_BUTTON");
  const int bw = strip.width() / 4;
  const int bh = strip.height();
  const int titleRight = width() - 1;
  const int y1 = (TitleHeight() - bh) / 2;
  return QRect(titleRight - bw - 4, y1, bw, bh);
}

void TsuiPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), Qt::white);
  painter.setPen(borderColour_);
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  QRect title(1, 0, width() - 2, TitleHeight());
  if (!title_.isNull()) ResizeImage(title_, painter, title);
  painter.setPen(captionColour_);
  painter.setFont(font());
  const QString caption = QString::fromStdString(caption_);
  if (layoutDirection() == Qt::RightToLeft) {
    title.setRight(title.right() - 10 - (HasButton() ? 10 : 0));
    painter.drawText(title, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine, caption);
  } else {
    title.setLeft(10);
    painter.drawText(title, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, caption);
  }
  if (!HasButton()) return;
  const QImage strip = LoadResourceBitmap("PANEL_BUTTON");
  const int frame = (opened_ ? 1 : 3) + (mouseOnButton_ ? 1 : 0);
  QImage face;
  SpitBitmap(strip, &face, 4, frame);
  const QRect hit = ButtonHitRect();
  painter.drawImage(width() - face.width() - 4, hit.y() / 2 + 2, face);
}

void TsuiPanel::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  // A user resizing an open panel changes the height it opens to.
  if (!moving_ && opened_) height2_ = event->size().height();
}

void TsuiPanel::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (!HasButton()) return;
  const bool on = ButtonHitRect().contains(event->position().toPoint());
  if (on != mouseOnButton_) {
    mouseOnButton_ = on;
    update();
  }
}

void TsuiPanel::leaveEvent(QEvent* event) {
  QWidget::leaveEvent(event);
  mouseOnButton_ = false;
  update();
}

void TsuiPanel::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && HasButton() &&
      ButtonHitRect().contains(event->position().toPoint())) {
    if (opened_) {
      Push();
    } else {
      Pop();
    }
  }
  update();
}

}  // namespace zelvar
