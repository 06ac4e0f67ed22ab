#pragma once
// What the skinned menus share: the look a style gives a menu, the measure and paint of one
// drop-down item, the menu bar's background and buttons, and the proxy style through which Qt's
// menus and menu bars are drawn in it.
#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QProxyStyle>
#include <QString>

#include "skin/Suimgr.h"

class QMenu;
class QPainter;

namespace zelvar {

// A menu's published look. The defaults are those of a new menu; MenuLookFor gives a style's.
struct TsuiMenuLook {
  int menuItemHeight = 21;  // least height of a text item
  int separatorHeight = 21;
  int barWidth = 0;  // the side bar at the items' left
  QColor barColor{212, 208, 200};
  QColor barToColor{212, 208, 200};
  QColor color = Qt::white;  // item background
  QColor separatorColor{128, 128, 128};
  QColor selectedBorderColor{10, 36, 106};
  QColor selectedColor{10, 36, 106};
  QColor selectedFontColor = Qt::white;
  QColor fontColor = Qt::white;
  bool useSystemFont = true;
  QFont font;  // the menu's own font, used without useSystemFont
};

// The look a style change gives a menu: heights and separator colour by MacOS or not, colours of
// the built-in style that `uiStyle` resolves to. Font settings are kept from `look`.
TsuiMenuLook MenuLookFor(TsuiUIStyle uiStyle, const TsuiFileTheme* theme, TsuiMenuLook look);

// One drop-down item as it is measured and painted.
struct TsuiMenuItemState {
  QString caption;  // "&" marks the accelerator
  QString shortcut;
  bool separator = false;
  bool selected = false;
  bool enabled = true;
  bool checked = false;
  bool isDefault = false;
  bool subMenu = false;
  QImage image;  // the item's own picture, if any
};

// Height: the separator height, or the larger of the text height and the item height. Width: the
// caption, the short cut, the side bar and 40 pixels.
QSize MeasureMenuItem(const QFontMetrics& metrics, const TsuiMenuLook& look,
                      const TsuiMenuItemState& item);
// Paints one item into `rect` in the style `uiStyle` (MacOS paints from its pictures).
void DrawMenuItem(QPainter& painter, const QRect& rect, const TsuiMenuLook& look,
                  TsuiUIStyle uiStyle, const TsuiMenuItemState& item);

// The shared routines of the menus' painting.
void Menu_DrawBorder(QPainter& painter, const QRect& rect, const QColor& colour);
void Menu_DrawBackGround(QPainter& painter, const QRect& rect, const QColor& colour);
void Menu_DrawLineItem(QPainter& painter, const QRect& rect, const QColor& colour, int barWidth);
void Menu_DrawMacOSLineItem(QPainter& painter, const QRect& rect);
void Menu_DrawMacOSSelectedItem(QPainter& painter, const QRect& rect);
void Menu_DrawMacOSNonSelectedItem(QPainter& painter, const QRect& rect);
QFont Menu_GetSystemFont();

// The menu bar's colours: its background runs from `from` to `to` (a plain fill when equal).
struct TsuiMenuBarLook {
  QColor from;
  QColor to;
  // A file theme's first-level colours; without one the buttons take the style's menu colours.
  bool fromFile = false;
  QColor hotColor, hotBorderColor, hotFontColor, fontColor;
};
void DrawMenuBarBackground(QPainter& painter, const QRect& bar, const QRect& area,
                           TsuiUIStyle uiStyle, const TsuiMenuBarLook& look);
// One first-level button: highlighted while hot or pressed, grey while disabled.
void DrawMenuBarButton(QPainter& painter, const QRect& bar, const QRect& button,
                       TsuiUIStyle uiStyle, const TsuiMenuBarLook& barLook, const QString& caption,
                       bool highlighted, bool enabled);

// Qt's menus and menu bars measure and paint their items through this style.
class TsuiMenuStyle : public QProxyStyle {
  Q_OBJECT

 public:
  explicit TsuiMenuStyle(QObject* parent);

  TsuiUIStyle uiStyle = DeepBlue;
  TsuiMenuLook look;
  TsuiMenuBarLook barLook;

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override;
  void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                   const QWidget* widget) const override;
  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override;
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override;
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* data) const override;

  // Puts `menu` and every sub-menu under it, now and when they next open, into this style.
  void ApplyTo(QMenu* menu);

  QFont ItemFont() const;
};

// A menu that carries a style: its look follows UIStyle and FileTheme.
class TsuiMenuStyled : public TsuiStyled {
 public:
  TsuiMenuStyle* MenuStyle() const { return style_; }
  const TsuiMenuLook& Look() const { return style_->look; }
  // The item height; a popup menu keeps MacOS's while MacOS is its style.
  virtual void SetMenuItemHeight(int height);
  void SetSeparatorHeight(int height);
  void SetUseSystemFont(bool on);

 protected:
  explicit TsuiMenuStyled(QObject* parent);
  void UIStyleChanged() override;
  virtual void Repaint() = 0;

  TsuiMenuStyle* style_;
};

}  // namespace zelvar
