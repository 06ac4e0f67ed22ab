#include "skin/Suitoolbar.h"

#include <QActionEvent>
#include <QPainter>
#include <QToolButton>

#include "skin/Suiform.h"
#include "skin/Suipublic.h"

namespace zelvar {

TsuiToolBar::TsuiToolBar(const QString& title, QWidget* parent) : QToolBar(title, parent) {
  SetUIStyle(OwnerStyle(parent));
}

void TsuiToolBar::SetButtonColor(const QColor& colour) {
  buttonColour_ = colour;
  update();
}

void TsuiToolBar::SetButtonBorderColor(const QColor& colour) {
  buttonBorderColour_ = colour;
  update();
}

void TsuiToolBar::SetButtonDownColor(const QColor& colour) {
  buttonDownColour_ = colour;
  update();
}

void TsuiToolBar::UIStyleChanged() {
  const TsuiUIStyle style = Style();
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    buttonBorderColour_ = theme->GetQColor(SKIN2_TOOLBARBORDERCOLOR);
    buttonColour_ = theme->GetQColor(SKIN2_TOOLBARSTARTCOLOR);
    buttonDownColour_ = theme->GetQColor(SKIN2_TOOLBARDOWNCOLOR);
    gradientStart_ = colour_ = theme->GetQColor(SKIN2_TOOLBARSTARTCOLOR);
    gradientEnd_ = theme->GetQColor(SKIN2_TOOLBARENDCOLOR);
    transparent_ = false;
    update();
    return;
  }
  buttonBorderColour_ = GetInsideThemeQColor(style, INSIDE_TOOLBAR_BUTTONBORDERCOLOR);
  buttonColour_ = GetInsideThemeQColor(style, INSIDE_TOOLBAR_BUTTONCOLOR);
  buttonDownColour_ = GetInsideThemeQColor(style, INSIDE_TOOLBAR_BUTTONDOWNCOLOR);
  colour_ = GetInsideThemeQColor(style, INSIDE_FORMCOLOR);
  gradientStart_ = gradientEnd_ = colour_;
  // On a frame, MacOS and Protein show the frame's pattern through the bar.
  transparent_ =
      (UIStyle() == MacOS || UIStyle() == Protein) && qobject_cast<TsuiForm*>(parentWidget());
  update();
}

void TsuiToolBar::paintEvent(QPaintEvent*) {
  if (transparent_) return;
  QPainter painter(this);
  if (gradientStart_ != gradientEnd_) {
    DrawHorizontalGradient(painter, rect(), gradientStart_, gradientEnd_);
  } else {
    painter.fillRect(rect(), colour_);
  }
}

void TsuiToolBar::actionEvent(QActionEvent* event) {
  QToolBar::actionEvent(event);
  if (event->type() != QEvent::ActionAdded) return;
  if (auto* button = qobject_cast<QToolButton*>(widgetForAction(event->action())))
    button->installEventFilter(this);
}

bool TsuiToolBar::eventFilter(QObject* watched, QEvent* event) {
  auto* button = qobject_cast<QToolButton*>(watched);
  if (button == nullptr || event->type() != QEvent::Paint)
    return QToolBar::eventFilter(watched, event);
  const bool hot = button->underMouse() && button->isEnabled();
  if (hot) {
    DrawButton(button, button->isDown() ? buttonDownColour_ : buttonColour_);
    return true;
  }
  if (button->isDown() || button->isChecked()) {
    DrawButton(button, buttonColour_);
    return true;
  }
  return false;  // the standard drawing
}

void TsuiToolBar::DrawButton(QToolButton* button, const QColor& face) {
  QPainter painter(button);
  const QRect r = button->rect();
  painter.setPen(buttonBorderColour_);
  painter.setBrush(face);
  painter.drawRect(r.adjusted(0, 0, -1, -1));
  const bool dropDown = button->popupMode() == QToolButton::MenuButtonPopup;
  const int d = dropDown ? 14 : 0;
  const QPixmap icon = button->icon().pixmap(button->iconSize());
  const bool showCaption = button->toolButtonStyle() != Qt::ToolButtonIconOnly || icon.isNull();
  const bool list = button->toolButtonStyle() == Qt::ToolButtonTextBesideIcon;
  int textTop = r.top() + 5;
  if (!icon.isNull()) {
    const int x = list ? r.left() + 5 : r.left() + (r.width() - d - icon.width()) / 2;
    painter.drawPixmap(x, r.top() + 3, icon);
    textTop = r.top() + icon.height() + 4;
  }
  if (showCaption) {
    QString caption = button->text();
    const int tw = painter.fontMetrics().horizontalAdvance(QString(caption).remove('&'));
    QPoint at(r.left() + (r.width() - d - tw) / 2, textTop);
    if (list) at = QPoint(r.left() + (icon.isNull() ? 8 : icon.width() + 7), r.top() + 4);
    painter.setPen(Qt::black);
    painter.drawText(QRect(at, r.bottomRight()), Qt::TextShowMnemonic, caption);
  }
  if (dropDown) {
    const int x = r.right() - 9;
    const int y = r.height() / 2;
    painter.setPen(Qt::black);
    painter.setBrush(Qt::black);
    painter.drawPolygon(QPolygon({QPoint(x, y), QPoint(x + 4, y), QPoint(x + 2, y + 2)}));
    painter.setPen(buttonBorderColour_);
    painter.drawLine(r.right() - 14, r.top(), r.right() - 14, r.bottom());
  }
}

}  // namespace zelvar
