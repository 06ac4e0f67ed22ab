#pragma once
// The title bar of a skinned window: picture sections, the control box or application icon, the
// caption (shortened with "..."), the minimise, maximise/restore and close buttons and the system
// menu. Inside a frame it lies over the window's upper strip and follows the frame's maximise.
#include <QFont>
#include <QImage>
#include <QPointer>
#include <QWidget>
#include <functional>
#include <vector>

#include "skin/Suimgr.h"
#include "skin/Suipopupmenu.h"

namespace zelvar {

class TsuiForm;
class TsuiTitleBar;

enum TsuiTitleBarBtnType { suiMax, suiMin, suiClose, suiHelp, suiControlBox, suiCustom };
enum TsuiTitleBarAlign { suiLeft, suiRight, suiClient };

struct TsuiTitleBarSection {
  int width = 10;
  TsuiTitleBarAlign align = suiLeft;
  QImage picture;
  bool stretch = false;
  bool autoSize = false;
  bool capSec = false;  // the section that carries the caption, as wide as the caption needs
};

struct TsuiTitleBarButton {
  TsuiTitleBarBtnType type = suiCustom;
  bool transparent = false;  // magenta is see-through
  int top = 2;
  bool visible = true;
  QImage picNormal, picMouseOn, picMouseDown;
  QMenu* controlBoxMenu = nullptr;
  bool HasPictures() const {
    return !picNormal.isNull() && !picMouseOn.isNull() && !picMouseDown.isNull();
  }
};

// Where the buttons and the caption stand, in the title's own coordinates (`width` wide):
// right-hand buttons from the right edge in collection order (the first one rightmost), the
// control box or the application icon at the left, the caption between them.
struct TitleButtonLayout {
  std::vector<QRect> rects;  // per button; empty for one not drawn
  int controlBox = -1;
  QRect icon;  // the application icon's 16 x 16 place, when it is drawn
  int captionLeft = 0;
  int captionRight = 0;  // the left edge of the last right-hand button
};
struct TitleButtonMetrics {
  int width = 0;
  int leftBtnXOffset = 0;
  int rightBtnXOffset = 0;
  int buttonInterval = 0;
  int frameAnswer = 0;  // the frame's border width answer, 0 outside a frame
  int rowY = 0;         // the right-hand buttons' row
  int controlBoxY = 0;
  bool drawAppIcon = true;
};
TitleButtonLayout LayoutTitleButtons(const std::vector<TsuiTitleBarButton>& buttons,
                                     const TitleButtonMetrics& m);
// Where the sections' pictures stand, in the window's coordinates (the bar's own outside a
// frame): left sections and the caption section from the left edge in order, right ones from the
// right edge inwards, the client section stretched between them.
struct TitleSectionLayout {
  std::vector<QRect> rects;  // per section; null for one without a picture
  QString captionText;       // the caption cut to its section; empty without one
};
struct TitleSectionMetrics {
  int width = 0;       // the whole bar, the frame's upper strip and corners included
  int frameInset = 0;  // 3 inside a frame: the title proper starts that far in
  int leftBtnXOffset = 0;
  int buttonsWidth = 0;  // every button's picture width and the interval after it
};
// A caption section is as wide as its text (cut to the room the buttons and the next section
// leave) + the left offset + 17, less the width of the left section before it.
TitleSectionLayout LayoutTitleSections(const std::vector<TsuiTitleBarSection>& sections,
                                       const TitleSectionMetrics& m, const QFontMetrics& metrics,
                                       const QString& caption);

// The caption when it fits `width`, else cut one character at a time from its end until the rest
// and "..." fit (or nothing is left) and "..." appended.
QString ShortenCaption(const QFontMetrics& metrics, const QString& caption, int width);

// The system menu: Minimize, Maximize/Restore, Close, each enabled only while its title button
// is visible.
class TsuiTitleBarPopupMenu : public TsuiPopupMenu {
  Q_OBJECT

 public:
  explicit TsuiTitleBarPopupMenu(TsuiTitleBar* titleBar);
  void Popup(const QPoint& globalPos);

 private:
  TsuiTitleBar* titleBar_;
};

class TsuiTitleBar : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  // A title bar on `form`; `frame` is the frame that owns it (nullptr outside a frame).
  TsuiTitleBar(QWidget* form, TsuiForm* frame);

  void SetCaption(const QString& caption);
  QString Caption() const { return caption_; }
  void SetFormActive(bool active);
  bool FormActive() const { return formActive_; }
  void SetCustom(bool custom) { custom_ = custom; }
  bool Custom() const { return custom_; }
  void SetDrawAppIcon(bool on);
  void SetButtonInterval(int interval);
  int RoundCorner() const { return roundCorner_; }
  int RoundCornerBottom() const { return roundCornerBottom_; }
  void SetRoundCorner(int r) { roundCorner_ = r; }
  void SetRoundCornerBottom(int r) { roundCornerBottom_ = r; }
  void SetInactiveCaptionColor(const QColor& colour);
  QColor InactiveCaptionColor() const { return inactiveCaptionColor_; }
  // The bar's height follows its first section's picture; with no section it stays off.
  void SetAutoSize(bool on);
  bool AutoSize() const { return autoSize_; }
  // Only one section may fill the middle and only one button be the control box: a second is
  // refused with an error box and the old value stays. False when refused or out of range.
  bool SetSectionAlign(std::size_t index, TsuiTitleBarAlign align);
  bool SetButtonType(std::size_t index, TsuiTitleBarBtnType type);

  std::vector<TsuiTitleBarSection>& Sections() { return sections_; }
  std::vector<TsuiTitleBarButton>& Buttons() { return buttons_; }
  TsuiTitleBarPopupMenu* SystemMenu() const { return systemMenu_; }
  bool InForm() const { return frame_ != nullptr; }

  // The layout of the buttons as the bar stands now, in the bar's own coordinates.
  TitleButtonLayout ButtonLayout() const;
  // The index of the button under the point (bar coordinates), -1 for none.
  int ButtonAt(const QPoint& pos) const;
  // The caption as drawn: cut to its caption section, or shortened to the room between the
  // buttons.
  QString ShownCaption() const;
  TitleSectionLayout SectionLayout() const;
  // -1: the sections as drawn (see-through parts in the skin's see-through colour); -2: the same
  // with see-through parts in the skin's form colour when the skin cuts the title to shape;
  // 0 and up: that section's picture (while there are more than two sections). Window
  // coordinates; the frame paints and shapes the window from them.
  QImage TitleImage(int index) const;
  // 3 or 5 sections, each with a picture.
  bool CanPaint() const;

  // What a click on button `index` does.
  void DoClick(int index);
  // Restore pictures while the form is maximised, maximise pictures otherwise.
  void ProcessMaxBtn();
  bool FormMaximized() const;
  void PopupSystemMenu(const QPoint& globalPos);

  // Fired by a click on a custom or a help button, with the button's index.
  std::function<void(int)> OnCustomBtnsClick;
  std::function<void(int)> OnHelpBtnClick;

  void ForgetFrame() { frame_ = nullptr; }

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;

 private:
  void UpdateInsideTheme(TsuiUIStyle style);
  void UpdateFileTheme(const TsuiFileTheme& theme);
  void UpdateButtonPictures(TsuiTitleBarButton& button, TsuiUIStyle style) const;
  // The bar's origin in the title's own coordinates: inside a frame the title starts below and
  // beside the window's 3-pixel strip.
  QPoint Origin() const;
  QWidget* Form() const { return parentWidget(); }
  // What a drag on the caption moves: an MDI child's sub-window, else the form.
  QWidget* Moved() const;

  TsuiForm* frame_;
  std::vector<TsuiTitleBarSection> sections_;
  std::vector<TsuiTitleBarButton> buttons_;
  TsuiTitleBarPopupMenu* systemMenu_ = nullptr;
  QString caption_;
  bool custom_ = false;
  bool autoSize_ = false;
  bool formActive_ = true;
  bool drawAppIcon_ = true;
  int buttonInterval_ = 0;
  int leftBtnXOffset_ = 0;
  int rightBtnXOffset_ = 0;
  int rowY_ = 0;
  int controlBoxY_ = 0;
  int captionY_ = 0;  // a skin's caption row
  QColor fillColour_;
  QColor transparentColour_{255, 0, 255};
  bool seeThroughSections_ = false;  // the skin cuts its title to shape
  int roundCorner_ = 0;
  int roundCornerBottom_ = 0;
  QColor inactiveCaptionColor_{216, 228, 248};
  bool mouseDown_ = false;
  bool movePending_ = false;
  bool dragging_ = false;  // a move by hand where the platform cannot move the window
  QPoint dragStart_;
  QPoint formStart_;
};

}  // namespace zelvar
