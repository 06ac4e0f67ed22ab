#include "skin/Suimenu.h"

#include <QAction>
#include <QFontDatabase>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStyleOptionMenuItem>

#include "skin/Suipictures.h"
#include "skin/Suipublic.h"

namespace zelvar {

namespace {

const QColor kGreyText(128, 128, 128);

QImage CheckMark() {
  // White is the check mark's see-through colour.
  static const QImage mark = MaskedImage(LoadResourceBitmap("MENU_CHECKED"), Qt::white);
  return mark;
}

// A picture cut to its upper `rows` rows and stretched into the rectangle.
void StretchRows(QPainter& painter, const char* name, int rows, const QRect& rect) {
  const QImage picture = LoadResourceBitmap(name);
  if (picture.isNull()) return;
  painter.drawImage(rect, picture, QRect(0, 0, picture.width(), std::min(rows, picture.height())));
}

void SideBar(QPainter& painter, const QRect& bar, const TsuiMenuLook& look) {
  if (bar.width() <= 0) return;
  if (look.barColor == look.barToColor) {
    painter.fillRect(bar, look.barColor);
  } else {
    DrawVerticalGradient(painter, bar, look.barColor, look.barToColor);
  }
}

QImage Greyed(const QImage& picture) {
  QImage grey = picture.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < grey.height(); ++y) {
    for (int x = 0; x < grey.width(); ++x) {
      const QColor c = grey.pixelColor(x, y);
      const int v = 128 + qGray(c.rgb()) / 2;
      grey.setPixelColor(x, y, QColor(v, v, v, c.alpha()));
    }
  }
  return grey;
}

QString Plain(QString caption) {
  return caption.remove('&');
}

}  // namespace

TsuiMenuLook MenuLookFor(TsuiUIStyle uiStyle, const TsuiFileTheme* theme, TsuiMenuLook look) {
  TsuiUIStyle style = DeepBlue;
  UsingFileTheme(theme, uiStyle, style);
  look.barWidth = 26;
  const bool mac = uiStyle == MacOS;
  look.menuItemHeight = mac ? 20 : 21;
  look.separatorHeight = mac ? 12 : 5;
  look.separatorColor = mac ? QColor(0, 0, 0) : QColor(132, 130, 132);
  if (UsingFileTheme(theme, uiStyle, style)) {
    look.barColor = theme->GetQColor(SKIN2_LEFTBARSTARTCOLOR);
    look.barToColor = theme->GetQColor(SKIN2_LEFTBARENDCOLOR);
    look.color = theme->GetQColor(SKIN2_MENUITEMCOLOR);
    look.fontColor = theme->GetQColor(SKIN2_MENUITEMFONTCOLOR);
    look.selectedBorderColor = theme->GetQColor(SKIN2_SELECTEDMENUBORDERCOLOR);
    look.selectedColor = theme->GetQColor(SKIN2_SELECTEDMENUCOLOR);
    look.selectedFontColor = theme->GetQColor(SKIN2_SELECTEDMENUFONTCOLOR);
    return look;
  }
  look.barColor = look.barToColor = GetInsideThemeQColor(style, INSIDE_MENU_BARCOLOR);
  look.color = GetInsideThemeQColor(style, INSIDE_MENU_COLOR);
  look.fontColor = GetInsideThemeQColor(style, INSIDE_MENU_FONTCOLOR);
  look.selectedBorderColor = GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDBORDERCOLOR);
  look.selectedColor = GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDCOLOR);
  look.selectedFontColor = GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDFONTCOLOR);
  return look;
}

QSize MeasureMenuItem(const QFontMetrics& metrics, const TsuiMenuLook& look,
                      const TsuiMenuItemState& item) {
  const int width = metrics.horizontalAdvance(Plain(item.caption)) +
                    metrics.horizontalAdvance(item.shortcut) + look.barWidth + 40;
  if (item.separator) return {width, look.separatorHeight};
  return {width, std::max(metrics.height(), look.menuItemHeight)};
}

void Menu_DrawBorder(QPainter& painter, const QRect& rect, const QColor& colour) {
  painter.save();
  painter.setPen(colour);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  painter.restore();
}

void Menu_DrawBackGround(QPainter& painter, const QRect& rect, const QColor& colour) {
  painter.fillRect(rect, colour);
}

void Menu_DrawLineItem(QPainter& painter, const QRect& rect, const QColor& colour, int barWidth) {
  painter.save();
  painter.setPen(colour);
  const int y = rect.top() + 2;
  painter.drawLine(rect.left() + barWidth + 4, y, rect.right() + 1 - 2, y);
  painter.restore();
}

void Menu_DrawMacOSLineItem(QPainter& painter, const QRect& rect) {
  StretchRows(painter, "MACOS_MENU_BAR", 12, rect);
}

void Menu_DrawMacOSSelectedItem(QPainter& painter, const QRect& rect) {
  StretchRows(painter, "MACOS_MENU_SELECT", 20, rect);
}

void Menu_DrawMacOSNonSelectedItem(QPainter& painter, const QRect& rect) {
  StretchRows(painter, "MACOS_MENU_BAR", 20, rect);
}

QFont Menu_GetSystemFont() {
  return QFontDatabase::systemFont(QFontDatabase::GeneralFont);
}

void DrawMenuItem(QPainter& painter, const QRect& rect, const TsuiMenuLook& look,
                  TsuiUIStyle uiStyle, const TsuiMenuItemState& item) {
  painter.save();
  const bool mac = uiStyle == MacOS;
  const QRect bar(rect.left(), rect.top(), look.barWidth, rect.height());
  const QRect rest = rect.adjusted(look.barWidth, 0, 0, 0);
  if (item.separator) {
    if (mac) {
      Menu_DrawMacOSLineItem(painter, rect);
    } else {
      SideBar(painter, bar, look);
      Menu_DrawBackGround(painter, rest, look.color);
      Menu_DrawLineItem(painter, rect, look.separatorColor, look.barWidth);
    }
    painter.restore();
    return;
  }
  // A disabled item is never shown selected.
  const bool selected = item.selected && item.enabled;
  if (selected) {
    if (mac) {
      Menu_DrawMacOSSelectedItem(painter, rect);
    } else {
      Menu_DrawBackGround(painter, rect, look.selectedColor);
      Menu_DrawBorder(painter, rect, look.selectedBorderColor);
    }
  } else if (mac) {
    Menu_DrawMacOSNonSelectedItem(painter, rect);
  } else {
    SideBar(painter, bar, look);
    Menu_DrawBackGround(painter, rest, look.color);
  }

  QFont font = look.useSystemFont ? Menu_GetSystemFont() : look.font;
  if (item.isDefault) font.setBold(true);
  painter.setFont(font);
  painter.setPen(!item.enabled ? kGreyText : selected ? look.selectedFontColor : look.fontColor);
  const int text = Qt::AlignVCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  painter.drawText(QRect(rect.left() + look.barWidth + 4, rect.top(),
                         rect.width() - look.barWidth - 4, rect.height()),
                   text, item.caption);
  if (!item.shortcut.isEmpty()) {
    const int w = painter.fontMetrics().horizontalAdvance(item.shortcut);
    painter.drawText(QRect(rect.right() + 1 - w - 16, rect.top(), w + 16, rect.height()),
                     Qt::AlignVCenter | Qt::TextSingleLine, item.shortcut);
  }
  if (item.subMenu) {  // the arrow a sub-menu's item carries at its right end
    const int x = rect.right() - 8;
    const int y = rect.center().y();
    painter.setBrush(painter.pen().color());
    painter.drawPolygon(QPolygon({QPoint(x, y - 3), QPoint(x + 3, y), QPoint(x, y + 3)}));
  }

  const int x = rect.left() + 4;
  const int t = rect.top();
  if (item.checked) {
    if (!item.image.isNull()) {
      // The item's picture stands in a framed box in place of the check mark.
      painter.fillRect(QRect(x - 2, t + 1, 19, 19), Qt::black);
      painter.fillRect(QRect(x - 1, t + 2, 17, 17), look.selectedColor);
    } else {
      const QImage mark = CheckMark();
      painter.drawImage(QPoint(x, t + 3), item.enabled ? mark : Greyed(mark));
    }
  }
  if (!item.image.isNull()) {
    painter.drawImage(QPoint(x, t + 3), item.enabled ? item.image : Greyed(item.image));
  }
  painter.restore();
}

void DrawMenuBarBackground(QPainter& painter, const QRect& bar, const QRect& area,
                           TsuiUIStyle uiStyle, const TsuiMenuBarLook& look) {
  painter.save();
  painter.setClipRect(area, Qt::IntersectClip);
  if (uiStyle == MacOS) {
    StretchRows(painter, "MACOS_MENU_BAR", 22, bar);
  } else if (look.from != look.to) {
    DrawHorizontalGradient(painter, bar, look.from, look.to);
  } else {
    painter.fillRect(bar, look.from);
  }
  painter.restore();
}

void DrawMenuBarButton(QPainter& painter, const QRect& bar, const QRect& button,
                       TsuiUIStyle uiStyle, const TsuiMenuBarLook& barLook, const QString& caption,
                       bool highlighted, bool enabled) {
  TsuiUIStyle style = DeepBlue;
  UsingFileTheme(nullptr, uiStyle, style);
  painter.save();
  const int flags = Qt::AlignCenter | Qt::TextSingleLine | Qt::TextShowMnemonic;
  if (highlighted && uiStyle == MacOS) {
    StretchRows(painter, "MACOS_MENU_SELECT", 21, button);
    painter.setPen(GetInsideThemeQColor(MacOS, INSIDE_MENU_SELECTEDFONTCOLOR));
    painter.drawText(button.adjusted(0, 0, 0, 2), flags, caption);
  } else if (highlighted) {
    const bool f = barLook.fromFile;
    const QColor fill =
        f ? barLook.hotColor : GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDCOLOR);
    const QColor frame =
        f ? barLook.hotBorderColor : GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDBORDERCOLOR);
    const QColor text =
        f ? barLook.hotFontColor : GetInsideThemeQColor(style, INSIDE_MENU_SELECTEDFONTCOLOR);
    // A colour the skin lacks is not painted.
    if (fill.isValid()) painter.fillRect(button, fill);
    if (frame.isValid()) Menu_DrawBorder(painter, button, frame);
    if (text.isValid()) painter.setPen(text);
    painter.drawText(button.adjusted(0, 2, 0, 0), flags, caption);
  } else {
    DrawMenuBarBackground(painter, bar, button, uiStyle, barLook);
    const QColor text =
        barLook.fromFile ? barLook.fontColor : GetInsideThemeQColor(style, INSIDE_MENU_FONTCOLOR);
    if (!enabled) {
      painter.setPen(kGreyText);
    } else if (text.isValid()) {
      painter.setPen(text);
    }
    painter.drawText(button.adjusted(0, 2, 0, 0), flags, caption);
  }
  painter.restore();
}

TsuiMenuStyle::TsuiMenuStyle(QObject* parent) : QProxyStyle(nullptr) {
  setParent(parent);
}

QFont TsuiMenuStyle::ItemFont() const {
  return look.useSystemFont ? Menu_GetSystemFont() : look.font;
}

namespace {

TsuiMenuItemState ItemState(const QStyleOptionMenuItem& option) {
  TsuiMenuItemState item;
  const QString text = option.text;
  const qsizetype tab = text.indexOf('\t');
  item.caption = tab < 0 ? text : text.left(tab);
  item.shortcut = tab < 0 ? QString() : text.mid(tab + 1);
  item.separator = option.menuItemType == QStyleOptionMenuItem::Separator;
  item.selected = option.state & QStyle::State_Selected;
  item.enabled = option.state & QStyle::State_Enabled;
  item.checked = option.checkType != QStyleOptionMenuItem::NotCheckable && option.checked;
  item.isDefault = option.menuItemType == QStyleOptionMenuItem::DefaultItem;
  item.subMenu = option.menuItemType == QStyleOptionMenuItem::SubMenu;
  if (!option.icon.isNull()) item.image = option.icon.pixmap(16, 16).toImage();
  return item;
}

}  // namespace

QSize TsuiMenuStyle::sizeFromContents(ContentsType type, const QStyleOption* option,
                                      const QSize& size, const QWidget* widget) const {
  if (type == CT_MenuItem) {
    if (const auto* m = qstyleoption_cast<const QStyleOptionMenuItem*>(option)) {
      TsuiMenuItemState item = ItemState(*m);
      item.shortcut.clear();  // the menu adds the widest short cut's column itself
      return MeasureMenuItem(QFontMetrics(ItemFont()), look, item);
    }
  }
  return QProxyStyle::sizeFromContents(type, option, size, widget);
}

void TsuiMenuStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
  const auto* m = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
  if (m != nullptr && element == CE_MenuItem) {
    DrawMenuItem(*painter, m->rect, look, uiStyle, ItemState(*m));
    return;
  }
  if (m != nullptr && element == CE_MenuBarItem) {
    const QRect bar = widget != nullptr ? widget->rect() : m->rect;
    const bool hot = (m->state & State_Selected) || (m->state & State_Sunken);
    DrawMenuBarButton(*painter, bar, m->rect, uiStyle, barLook, m->text, hot,
                      m->state & State_Enabled);
    return;
  }
  if (element == CE_MenuBarEmptyArea) {
    const QRect bar = widget != nullptr ? widget->rect() : option->rect;
    DrawMenuBarBackground(*painter, bar, option->rect, uiStyle, barLook);
    return;
  }
  if (element == CE_MenuEmptyArea) {
    painter->fillRect(option->rect, look.color);
    return;
  }
  QProxyStyle::drawControl(element, option, painter, widget);
}

void TsuiMenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                  QPainter* painter, const QWidget* widget) const {
  switch (element) {
    case PE_PanelMenu:
      painter->fillRect(option->rect, look.color);
      return;
    case PE_FrameMenu:
      Menu_DrawBorder(*painter, option->rect, QColor(128, 128, 128));
      return;
    case PE_PanelMenuBar:
      return;
    default:
      QProxyStyle::drawPrimitive(element, option, painter, widget);
  }
}

int TsuiMenuStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                               const QWidget* widget) const {
  switch (metric) {
    case PM_MenuPanelWidth:
      return 1;
    case PM_MenuHMargin:
    case PM_MenuVMargin:
    case PM_MenuBarPanelWidth:
    case PM_MenuBarVMargin:
    case PM_MenuBarHMargin:
      return 0;
    case PM_MenuBarItemSpacing:
      return 2;
    default:
      return QProxyStyle::pixelMetric(metric, option, widget);
  }
}

int TsuiMenuStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                             QStyleHintReturn* data) const {
  // Accelerators are always underlined, as the menus draw them.
  if (hint == SH_UnderlineShortcut) return 1;
  return QProxyStyle::styleHint(hint, option, widget, data);
}

void TsuiMenuStyle::ApplyTo(QMenu* menu) {
  if (menu == nullptr) return;
  if (menu->style() != this) menu->setStyle(this);
  if (!menu->property("zelvarMenuStyled").toBool()) {
    menu->setProperty("zelvarMenuStyled", true);
    // Sub-menus added later take the style as their parent opens.
    connect(menu, &QMenu::aboutToShow, this, [this, menu] { ApplyTo(menu); });
  }
  for (QAction* action : menu->actions()) ApplyTo(action->menu());
}

TsuiMenuStyled::TsuiMenuStyled(QObject* parent) : style_(new TsuiMenuStyle(parent)) {}

void TsuiMenuStyled::UIStyleChanged() {
  style_->uiStyle = UIStyle();
  style_->look = MenuLookFor(UIStyle(), FileTheme(), style_->look);
  TsuiMenuBarLook& bar = style_->barLook;
  const TsuiFileTheme* theme = ThemeInUse();
  bar.fromFile = theme != nullptr;
  bar.hotColor = theme != nullptr ? theme->GetQColor(SKIN2_TOPSELECTEDMENUCOLOR) : QColor();
  bar.hotBorderColor =
      theme != nullptr ? theme->GetQColor(SKIN2_TOPSELECTEDMENUBORDERCOLOR) : QColor();
  bar.hotFontColor = theme != nullptr ? theme->GetQColor(SKIN2_TOPSELECTEDMENUFONTCOLOR) : QColor();
  bar.fontColor = theme != nullptr ? theme->GetQColor(SKIN2_TOPMENUFONTCOLOR) : QColor();
  Repaint();
}

void TsuiMenuStyled::SetMenuItemHeight(int height) {
  style_->look.menuItemHeight = height;
}

void TsuiMenuStyled::SetSeparatorHeight(int height) {
  if (UIStyle() == MacOS) return;
  style_->look.separatorHeight = height;
}

void TsuiMenuStyled::SetUseSystemFont(bool on) {
  style_->look.useSystemFont = on;
  Repaint();
}

}  // namespace zelvar
