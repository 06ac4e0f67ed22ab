#pragma once
// The form frame: the panel that fills a form and turns it into a skinned window. It takes the
// system frame away, paints the window's narrow border strip, cuts the round corners, carries the
// title bar and, with a menu, the menu bar below it, and maximises and restores the window itself.
// The application titles its windows through SetCaption and reads a title back through
// GetCaption.
#include <QMargins>
#include <QPointer>
#include <QRegion>
#include <QWidget>
#include <array>
#include <functional>
#include <string>

#include "skin/Suimainmenu.h"
#include "skin/Suimgr.h"
#include "skin/Suititlebar.h"

class QMdiSubWindow;
class QPainter;

namespace zelvar {

// What the border painting reads from a frame. Coordinates are the window's own.
struct TsuiFrameLook {
  int width = 0;
  int height = 0;
  int borderWidth = 1;
  QColor borderColor;
  QColor color;  // the form colour
  bool titleVisible = true;
  int titleHeight = 0;    // the title bar with the 3-pixel upper strip it lies over; 0 hidden
  int menuBarHeight = 0;  // 0 without a visible menu bar
  QColor menuBarColor;
  QColor menuBarToColor;
  int roundCorner = 0;
  // A file theme's border pictures; with fileTheme set the border is drawn from them.
  bool fileTheme = false;
  QImage titleBackdrop;  // the title's sections, see-through parts filled (window coordinates)
  QImage leftBorder, rightBorder;
  QImage bottomBorder;  // already built the window's width wide
  bool bottomNeedsRegion = false;
  QColor transparent;
};
// A skin's lower border, `width` wide and as high as its first picture: the three pictures
// (left end, stretched middle, right end) or the first one drawn as a three-part bar.
// Uncovered pixels are in the see-through colour.
QImage FormBottomBorder(const QImage& first, const QImage& middle, const QImage& last,
                        bool threeSections, int width, const QColor& transparent);
// The window's shape traced from a skin's title and lower border pictures: a rectangle for each
// run of pixels that are not see-through, in the rows from the min to the max row of each band
// (rows outside them whole), and the whole middle.
struct TsuiRegionBands {
  bool titleNeedsRegion = false;
  bool bottomNeedsRegion = false;
  int titleMinY = -1, titleMaxY = -1, bottomMinY = -1, bottomMaxY = -1;
};
QRegion RegionFromBitmaps(const QImage& title, const QImage& bottom, int width, int height,
                          const QColor& transparent, const TsuiRegionBands& bands);
// The border strip: the side and lower borders in the border colour, the form colour in the
// 3-pixel strip inside a narrower border, the ends of the menu bar in its colours; a hidden title
// leaves a border line over two rows of form colour; a 1-pixel border with corner 11 outlines
// the round upper corners.
void PaintFormBorder(QPainter& painter, const TsuiFrameLook& look);
// The window's shape: its upper corners rounded by an ellipse `radius` wide, its lower corners by
// `radiusBottom` (-1 counts as 0).
QRegion RoundWindowRegion(int width, int height, int radius, int radiusBottom);
// A maximised window covers the work area and 2 pixels beyond it on the left, upper and right
// side, and stops 1 pixel above its bottom.
QRect MaximisedBounds(const QRect& workArea);
// The strip round the client: 3 pixels at the sides, the title (or 3 without one) above, 3 below
// a 3-pixel border and the border width + 1 below any other.
QMargins FrameMargins(int borderWidth, int titleHeight, int menuBarHeight);
// The strip round the client with a skin's borders: its left and right border widths and its
// lower border height, each at least 4.
QMargins FileThemeFrameMargins(int leftWidth, int rightWidth, int bottomHeight, int titleHeight,
                               int menuBarHeight);
// The window edges a point on the border strip lies on (`grip` pixels wide).
Qt::Edges EdgesAt(const QSize& size, const QPoint& pos, int grip);
// The window's bounds after its `edges` were dragged by `delta`, no smaller than `minimum`.
QRect ResizedBounds(const QRect& start, Qt::Edges edges, const QPoint& delta, const QSize& minimum);

class TsuiForm : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  // A frame placed on `ownerForm`. Without an owner, or as a second frame on the same form, it
  // stays a plain panel without a title bar.
  explicit TsuiForm(QWidget* ownerForm);
  ~TsuiForm() override;

  // Gives the text to the title bar and to the owner form's window title.
  void SetCaption(const std::string& caption);
  // The title bar's caption; empty when the frame has no title bar.
  std::string GetCaption() const;

  bool HasTitleBar() const { return titleBar_ != nullptr; }
  TsuiTitleBar* TitleBar() const { return titleBar_; }
  QWidget* OwnerForm() const { return owner_; }
  QColor Color() const { return colour_; }
  QColor BorderColor() const { return borderColor_; }
  int BorderWidth() const { return borderWidth_; }
  void SetBorderColor(const QColor& colour);
  void SetBorderWidth(int width);
  int RoundCorner() const;
  void SetRoundCorner(int radius);
  void SetTitleBarVisible(bool visible);
  bool TitleBarVisible() const;
  // The title bar's height with the upper strip it covers; 0 while hidden.
  int GetTitleBarHeight() const;
  int GetMenuBarHeight() const;
  // The answer a title bar gets to its border width query.
  int BorderWidthAnswer() const { return 2; }

  // The main menu shown as the menu bar below the title bar; nullptr removes the bar.
  void SetMenu(TsuiMainMenu* menu);
  TsuiMainMenu* Menu() const { return menu_; }
  void SetMenuBarHeight(int height);
  int MenuBarHeight() const { return GetMenuBarHeight(); }
  void SetMenuBarColor(const QColor& colour);
  void SetMenuBarToColor(const QColor& colour);

  bool IsMaximized() const;
  // Maximise to the screen's work area, or restore the bounds the window had before.
  void ToggleMaximized();
  QRect NormalBounds() const { return normalBounds_; }

  TsuiFrameLook Look() const;
  // Paints the border strip over the title bar, whose coordinates are the window's.
  void PaintBorderOver(QPainter& painter) const;
  void RegionWindow();
  // Starts a resize when `pos` (window coordinates) lies on a resizable edge.
  bool BeginEdgeDrag(const QPoint& pos, const QPoint& globalPos);
  Qt::CursorShape EdgeCursor(const QPoint& pos) const;

  // When set, every style or skin change of the frame also goes to the skinned controls on the
  // frame (the frame's children and the form's other controls beside it).
  void SetUIStyleAutoUpdateSub(bool on) { autoUpdateSub_ = on; }
  bool UIStyleAutoUpdateSub() const { return autoUpdateSub_; }

  // The panel that fills the frame's client area; nullptr clears it. The frame itself is
  // refused with an error box and the old panel stays. A plain frame loses its border, a
  // picture panel its caption.
  void SetPanel(QWidget* panel);
  QWidget* FormPanel() const { return formPanel_.data(); }

  // The caption's colour while the form is inactive; set only on a frame with a title bar.
  void SetInactiveCaptionColor(const QColor& colour);
  QColor InactiveCaptionColor() const;

  // An MDI child's frame: the sub-window that holds the form, once the MDI frame made it
  // frameless for this frame (AttachToSubWindow); nullptr otherwise.
  QMdiSubWindow* SubWindow() const;
  void AttachToSubWindow(QMdiSubWindow* sub);
  // What the title bar moves and the edges resize: the sub-window of an MDI child, else the form.
  QWidget* MovedWindow() const;

  // Takes the system frame away again when something gave it back to the form.
  void ReAssign();

  // Fired by a click on the frame.
  std::function<void()> OnClick;

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void LayoutChrome();
  void ApplyToControls();
  QMargins StripMargins() const;
  bool Resizable() const;
  Qt::Edges ResizeEdges(const QPoint& pos) const;

  QWidget* owner_ = nullptr;
  QPointer<TsuiTitleBar> titleBar_;
  QPointer<TsuiMainMenu> menu_;
  QPointer<QWidget> formPanel_;
  // Kept as a widget: a sub-window being destroyed is no longer one.
  QPointer<QWidget> subWindow_;
  bool titleWanted_ = true;  // the title bar's visibility as last set from outside
  bool autoUpdateSub_ = false;
  std::string caption_;
  QColor colour_;
  QColor borderColor_;
  int borderWidth_ = 1;
  QColor menuBarColor_;
  QColor menuBarToColor_;
  int menuBarHeight_ = 22;
  // A file theme's border widths (0 in the built-in styles) and window shape.
  int leftWidth_ = 0, rightWidth_ = 0, bottomHeight_ = 0;
  QColor transparent_{255, 0, 255};
  TsuiRegionBands bands_;
  bool maximized_ = false;
  QRect normalBounds_;
  std::array<QPointer<QWidget>, 3> grips_;  // left, right and lower edge
  // A resize by hand where the platform cannot resize the window.
  Qt::Edges resizing_;
  QPoint resizeStart_;
  QRect boundsStart_;
};

// Puts a whole form into one style, as its stored form gives it: the frame, every skinned control
// on the form (picture buttons keep their own pictures), and the form colour under the plain
// controls, then the skinned components that are not controls (an MDI frame). Given a file theme,
// every one points at it first (FromThemeFile then reads the skin).
void SetFormUIStyle(QWidget* form, TsuiUIStyle style, TsuiFileTheme* fileTheme = nullptr);

}  // namespace zelvar
