#pragma once
// The skinned tab row and the tab control built on it: tabs drawn from the style's tab pictures,
// scrolled by two small buttons when they do not fit.
#include <QImage>
#include <QStringList>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

#include "skin/Suimgr.h"

namespace zelvar {

enum TsuiTabPosition { suiTop, suiBottom };

// The row keeps widths and visible flags for this many tabs.
inline constexpr int kMaxTabs = 64;

// The tab row's geometry, worked out without a display.
struct TabRowInput {
  int rowWidth = 0;
  int buttonWidth = 0;
  int leftMargin = 10;
  int firstVisible = 0;
  int tabIndex = 0;
  std::vector<int> widths;  // each tab's measured width (TabWidth)
  std::vector<bool> visible;
};
struct TabPlace {
  int tab;
  int left;
  int width;  // cut to the button limit when it did not fit
  bool active;
  bool cut;
};
struct TabRowLayout {
  std::array<int, kMaxTabs> recorded;  // drawn widths for the click mapping; 0 hidden, -1 unknown
  std::vector<TabPlace> drawn;
  int lastWhole = -1;  // the last tab drawn whole
  bool overflow = false;
};
// A tab's width: its caption's width + 20, 80 for an empty caption, at least 15.
int TabWidth(int textWidth, bool emptyCaption);
// Lays the row out over the widths recorded by the previous layout (tabs after a cut keep theirs).
TabRowLayout LayoutTabRow(const TabRowInput& in, const std::array<int, kMaxTabs>& recorded);
// The tab under (x, y), -1 for none, from the recorded widths.
int HitTabRow(const std::array<int, kMaxTabs>& recorded, const std::vector<bool>& visible,
              int firstVisible, int leftMargin, int rowHeight, const QPoint& point);

class TsuiTab;

// The tab row of a tab or page control.
class TsuiTabControlTopPanel : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiTabControlTopPanel(TsuiTab* owner);

  void SetTabs(const QStringList& tabs);
  const QStringList& Tabs() const { return tabs_; }
  int TabIndex() const { return tabIndex_; }
  // Nothing when equal; with no tabs the index becomes -1; an index out of range only repaints.
  // Otherwise a user's click asks the owner's OnChanging first, then the owner's TabActive runs.
  void SetTabIndex(int index);
  void SetLeftMargin(int margin);
  int LeftMargin() const { return leftMargin_; }
  void SetTabPosition(TsuiTabPosition position);
  void SetTabVisible(int index, bool visible);
  bool TabVisible(int index) const;
  void SetColor(const QColor& colour);
  int FirstVisible() const { return firstVisible_; }
  bool Overflow() const { return overflow_; }
  int RowHeight() const { return activeTab_.height(); }
  const std::array<int, kMaxTabs>& Widths() const { return widths_; }
  // The right and left scroll buttons (empty while they are not shown).
  QRect RightButtonRect() const;
  QRect LeftButtonRect() const;
  // The row's layout for its current size, tabs and font (also what painting uses).
  TabRowLayout Layout();

 protected:
  void UIStyleChanged() override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  bool event(QEvent* event) override;

 private:
  TabRowInput Input() const;
  void PaintTabs(QPainter& painter, const TabRowLayout& layout);
  void PaintButtons(QPainter& painter);
  void TurnPictures();
  QImage ScrollStrip() const;

  TsuiTab* owner_;
  QStringList tabs_;
  int tabIndex_ = 0;
  int leftMargin_ = 10;
  TsuiTabPosition position_ = suiTop;
  std::array<int, kMaxTabs> widths_;
  std::array<bool, kMaxTabs> visible_;
  int firstVisible_ = 0;
  bool overflow_ = false;
  bool clicking_ = false;
  bool showActive_ = false;
  QImage activeTab_, inactiveTab_, tabLine_, scrollProbe_;
  QColor colour_;
};

// The panel that owns a tab row along its upper or lower edge and a framed client area.
class TsuiTab : public QWidget, public TsuiStyled {
  Q_OBJECT

 public:
  explicit TsuiTab(QWidget* parent = nullptr);

  TsuiTabControlTopPanel* Row() const { return row_; }
  void SetBorderColor(const QColor& colour);
  QColor BorderColor() const { return borderColour_; }
  void SetColor(const QColor& colour);
  QColor Color() const { return colour_; }
  void SetTabPosition(TsuiTabPosition position);
  TsuiTabPosition TabPosition() const { return position_; }
  void SetPageDrawFocused(bool drawFocused);
  bool PageDrawFocused() const { return pageDrawFocused_; }
  // The client area the pages or child controls fill.
  QRect ClientRect() const;

  // The row reports a newly active tab; fires OnTabActive and OnChange (not while loading).
  virtual void TabActive(int index);

  std::function<void(int)> OnTabActive;
  std::function<void()> OnChange;
  std::function<void(bool& allowChange)> OnChanging;

 protected:
  void UIStyleChanged() override;
  // Passes the style to the child controls.
  virtual void UpdateUIStyle();
  virtual void BorderColorChanged() {}
  virtual void LayoutChildren() {}
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void PlaceRow();

 private:
  TsuiTabControlTopPanel* row_;
  QColor borderColour_;
  QColor colour_;
  TsuiTabPosition position_ = suiTop;
  bool pageDrawFocused_ = true;
};

// A tab row over one client area: the application reads TabIndex.
class TsuiTabControl : public TsuiTab {
  Q_OBJECT

 public:
  explicit TsuiTabControl(QWidget* parent = nullptr);
  void SetTabs(const QStringList& tabs) { Row()->SetTabs(tabs); }
  const QStringList& Tabs() const { return Row()->Tabs(); }
  void SetTabIndex(int index) { Row()->SetTabIndex(index); }
  int TabIndex() const { return Row()->TabIndex(); }
};

}  // namespace zelvar
