#include "skin/Suitabcontrol.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

#include "skin/Suipublic.h"

namespace zelvar {

int TabWidth(int textWidth, bool emptyCaption) {
  return std::max(emptyCaption ? 80 : textWidth + 20, 15);
}

TabRowLayout LayoutTabRow(const TabRowInput& in, const std::array<int, kMaxTabs>& recorded) {
  TabRowLayout out;
  out.recorded = recorded;
  const int n = static_cast<int>(in.widths.size());
  const int limitButtons = in.rowWidth - 2 * in.buttonWidth - 2;
  const int limitNone = in.rowWidth - 10;
  int x = in.leftMargin;
  int visibleCount = 0;
  bool stopped = false;
  int limit = limitButtons;
  out.lastWhole = n - 1;
  for (int i = 0; i < n; ++i) {
    // Only the last tab, with nothing scrolled out, may use the room of the scroll buttons.
    limit = (i == n - 1 && in.firstVisible == 0) ? limitNone : limitButtons;
    if (!in.visible[i]) {
      if (i < kMaxTabs) out.recorded[i] = 0;
      continue;
    }
    if (stopped) break;
    const int w = in.widths[i];
    if (i < kMaxTabs) out.recorded[i] = w;  // every slot, the 64th included
    ++visibleCount;
    if (visibleCount <= in.firstVisible) continue;  // scrolled out at the left
    const bool active = i == in.tabIndex;
    int right = x + w;
    bool cut = false;
    if (right > limit) {
      right = limitButtons;
      stopped = true;
      cut = true;
      out.lastWhole = i - 1;
      if (!active && i < kMaxTabs) out.recorded[i] = right - x;
    }
    out.drawn.push_back({i, x, right - x, active, cut});
    x += w;
  }
  out.overflow = (x > limit || stopped) && n > 0;
  return out;
}

int HitTabRow(const std::array<int, kMaxTabs>& recorded, const std::vector<bool>& visible,
              int firstVisible, int leftMargin, int rowHeight, const QPoint& point) {
  const int n = static_cast<int>(visible.size());
  // k: the first index before which exactly firstVisible visible tabs stand.
  int k = 0;
  for (int seen = 0, j = 0; j <= n; ++j) {
    if (seen == firstVisible) {
      k = j;
      break;
    }
    if (j < n && visible[j]) ++seen;
  }
  int hidden = 0;
  for (int j = 0; j <= k && j < n; ++j) hidden += visible[j] ? 0 : 1;
  int x = leftMargin;
  for (int i = firstVisible + hidden; i < n && i < kMaxTabs; ++i) {
    const int w = recorded[i];
    if (w == -1) break;
    if (x < point.x() && point.x() < x + w && 0 < point.y() && point.y() < rowHeight) return i;
    x += w;
  }
  return -1;
}

TsuiTabControlTopPanel::TsuiTabControlTopPanel(TsuiTab* owner) : QWidget(owner), owner_(owner) {
  widths_.fill(-1);
  visible_.fill(true);
  tabs_ << "Tab1";
  setFocusPolicy(Qt::StrongFocus);
  setMouseTracking(true);
}

void TsuiTabControlTopPanel::UIStyleChanged() {
  activeTab_ = ThemeBitmap(INSIDE_TAB, SKIN2_TABCONTROL, 2, 1);
  inactiveTab_ = ThemeBitmap(INSIDE_TAB, SKIN2_TABCONTROL, 2, 2);
  tabLine_ = ThemeBitmap(INSIDE_TAB_LINE, SKIN2_TABCONTROLLINE, 0, 0);
  SpitBitmap(ScrollStrip(), &scrollProbe_, 4, 1);
  if (position_ == suiBottom) TurnPictures();
  setFixedHeight(activeTab_.height() + tabLine_.height());
  update();
}

// The scroll buttons' strip: the skin's, or DeepBlue's when the skin has none.
QImage TsuiTabControlTopPanel::ScrollStrip() const {
  if (const TsuiFileTheme* theme = ThemeInUse(); theme != nullptr) {
    if (const QImage* strip = theme->GetBitmap(SKIN2_SCROLLBUTTON)) return *strip;
    QImage deepBlue;
    GetInsideThemeBitmap(DeepBlue, INSIDE_SCROLLBUTTON, &deepBlue);
    return deepBlue;
  }
  QImage strip;
  GetInsideThemeBitmap(Style(), INSIDE_SCROLLBUTTON, &strip);
  return strip;
}

void TsuiTabControlTopPanel::TurnPictures() {
  for (QImage* p : {&activeTab_, &inactiveTab_, &tabLine_}) {
    if (!p->isNull()) RoundPicture2(*p);
  }
}

void TsuiTabControlTopPanel::SetTabs(const QStringList& tabs) {
  tabs_ = tabs;
  update();
}

void TsuiTabControlTopPanel::SetLeftMargin(int margin) {
  leftMargin_ = margin;
  update();
}

void TsuiTabControlTopPanel::SetTabPosition(TsuiTabPosition position) {
  if (position == position_) return;
  position_ = position;
  TurnPictures();
  update();
}

void TsuiTabControlTopPanel::SetTabVisible(int index, bool visible) {
  if (index < 0 || index >= kMaxTabs) return;
  visible_[index] = visible;
  update();
}

bool TsuiTabControlTopPanel::TabVisible(int index) const {
  return index >= 0 && index < kMaxTabs ? visible_[index] : true;
}

void TsuiTabControlTopPanel::SetColor(const QColor& colour) {
  colour_ = colour;
  update();
}

void TsuiTabControlTopPanel::SetTabIndex(int index) {
  if (index == tabIndex_) return;
  if (tabs_.isEmpty()) {
    tabIndex_ = -1;
    update();
    return;
  }
  if (index < -1 || index > tabs_.size() - 1) {
    update();
    return;
  }
  if (clicking_ && owner_->OnChanging) {
    bool allow = true;
    owner_->OnChanging(allow);
    if (!allow) return;
  }
  tabIndex_ = index;
  showActive_ = true;
  Layout();
  showActive_ = false;
  owner_->TabActive(index);
  update();
}

TabRowInput TsuiTabControlTopPanel::Input() const {
  TabRowInput in;
  in.rowWidth = width();
  in.buttonWidth = scrollProbe_.width();
  in.leftMargin = leftMargin_;
  in.firstVisible = firstVisible_;
  in.tabIndex = tabIndex_;
  const QFontMetrics fm(owner_->font());
  for (int i = 0; i < tabs_.size(); ++i) {
    in.widths.push_back(TabWidth(fm.horizontalAdvance(tabs_[i]), tabs_[i].isEmpty()));
    in.visible.push_back(TabVisible(i));
  }
  return in;
}

TabRowLayout TsuiTabControlTopPanel::Layout() {
  const int n = static_cast<int>(tabs_.size());
  firstVisible_ = std::clamp(firstVisible_, 0, std::max(0, n - 1));
  TabRowLayout layout = LayoutTabRow(Input(), widths_);
  // After a tab is chosen, scroll until it is drawn whole.
  while (showActive_ && layout.lastWhole < tabIndex_ && firstVisible_ < n - 1) {
    ++firstVisible_;
    layout = LayoutTabRow(Input(), widths_);
  }
  widths_ = layout.recorded;
  overflow_ = layout.overflow;
  return layout;
}

void TsuiTabControlTopPanel::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const TabRowLayout layout = Layout();
  PaintTabs(painter, layout);
  PaintButtons(painter);
}

void TsuiTabControlTopPanel::PaintTabs(QPainter& painter, const TabRowLayout& layout) {
  const int W = width();
  const int H = height();
  const int h = inactiveTab_.height();
  const int lineH = tabLine_.height();
  const QColor border = owner_->BorderColor();
  // The line under the row, closed at both ends in the owner's border colour.
  const int lineTop = position_ == suiTop ? h : 0;
  if (!tabLine_.isNull()) ResizeImage(tabLine_, painter, QRect(1, lineTop, W - 2, lineH));
  painter.fillRect(QRect(0, lineTop, 1, lineH), border);
  painter.fillRect(QRect(W - 1, lineTop, 1, lineH), border);
  painter.setFont(owner_->font());
  for (const TabPlace& tab : layout.drawn) {
    const QImage& picture = tab.active ? activeTab_ : inactiveTab_;
    // A picture is masked when a corner pixel of its left column is magenta.
    const bool upper = picture.pixelColor(0, 0) == kMagenta;
    const bool lower = picture.pixelColor(0, picture.height() - 1) == kMagenta;
    int top;
    if (position_ == suiTop) {
      top = tab.active ? 1 : 0;
    } else {
      top = tab.active ? H - h - 1 : H - h;
    }
    QRect r(tab.left, top, tab.width, picture.height());
    SpitDrawHorizontal(picture, painter, r, upper || lower, colour_, upper || !lower);
    painter.setPen(Qt::black);
    if (tab.cut) {
      painter.drawText(r.adjusted(10, 0, -4, 0), Qt::AlignVCenter | Qt::TextSingleLine,
                       tabs_[tab.tab]);
    } else {
      painter.drawText(r, Qt::AlignCenter | Qt::TextSingleLine, tabs_[tab.tab]);
    }
    if (tab.active && hasFocus() && owner_->PageDrawFocused()) {
      painter.save();
      painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
      painter.drawRect(r.adjusted(8, 1, -9, -2));
      painter.restore();
    }
  }
}

QRect TsuiTabControlTopPanel::RightButtonRect() const {
  if (!overflow_ && firstVisible_ == 0) return QRect();
  const int bw = scrollProbe_.width();
  const int bh = scrollProbe_.height();
  const int Th = height();
  int y;
  if (position_ == suiTop) {
    y = Th > bh + 4 ? (Th - bh) / 2 - 2 : 0;
  } else {
    y = Th > bh + 4 ? (Th - bh) / 2 + 2 : Th - bh;
  }
  return QRect(width() - 2 - bw, y, bw, bh);
}

QRect TsuiTabControlTopPanel::LeftButtonRect() const {
  const QRect right = RightButtonRect();
  return right.isNull() ? QRect() : right.translated(-right.width(), 0);
}

void TsuiTabControlTopPanel::PaintButtons(QPainter& painter) {
  const QRect right = RightButtonRect();
  if (right.isNull()) return;
  const QRect left = LeftButtonRect();
  const QPoint mouse = mapFromGlobal(QCursor::pos());
  const bool onRight = underMouse() && right.contains(mouse);
  const bool onLeft = underMouse() && left.contains(mouse);
  const QImage strip = ScrollStrip();
  QImage frame;
  SpitBitmap(strip, &frame, 4, onRight ? 2 : 1);
  painter.drawImage(right.topLeft(), MaskedImage(frame, kMagenta));
  SpitBitmap(strip, &frame, 4, onLeft ? 4 : 3);
  painter.drawImage(left.topLeft(), MaskedImage(frame, kMagenta));
}

void TsuiTabControlTopPanel::mousePressEvent(QMouseEvent* event) {
  QWidget::mousePressEvent(event);
  if (event->button() != Qt::LeftButton) return;
  setFocus(Qt::MouseFocusReason);
  const QPoint p = event->position().toPoint();
  Layout();
  const QRect right = RightButtonRect();
  const QRect left = LeftButtonRect();
  const int n = static_cast<int>(tabs_.size());
  if (!left.isNull() && left.contains(p)) {
    firstVisible_ = std::clamp(firstVisible_ - 1, 0, n);
  } else if (!right.isNull() && right.contains(p)) {
    if (overflow_) firstVisible_ = std::clamp(firstVisible_ + 1, 0, n);
  } else {
    std::vector<bool> visible;
    for (int i = 0; i < n; ++i) visible.push_back(TabVisible(i));
    const int hit = HitTabRow(widths_, visible, firstVisible_, leftMargin_, RowHeight(), p);
    if (hit >= 0) {
      clicking_ = true;
      SetTabIndex(hit);
      clicking_ = false;
    }
  }
  update();
}

void TsuiTabControlTopPanel::mouseMoveEvent(QMouseEvent* event) {
  QWidget::mouseMoveEvent(event);
  if (overflow_ || firstVisible_ > 0) update();  // the scroll buttons light up
}

bool TsuiTabControlTopPanel::event(QEvent* event) {
  // Tab moves among the tabs here, not among the window's controls.
  if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Tab &&
      static_cast<QKeyEvent*>(event)->modifiers() == Qt::NoModifier) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

void TsuiTabControlTopPanel::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Tab && !tabs_.isEmpty()) {
    SetTabIndex(tabIndex_ >= tabs_.size() - 1 ? 0 : tabIndex_ + 1);
    event->accept();
    return;
  }
  QWidget::keyPressEvent(event);
}

TsuiTab::TsuiTab(QWidget* parent) : QWidget(parent), row_(new TsuiTabControlTopPanel(this)) {
  resize(width(), 80);
}

void TsuiTab::UIStyleChanged() {
  row_->SetFileTheme(FileTheme());
  row_->SetUIStyle(UIStyle());
  UpdateUIStyle();
  const TsuiUIStyle style = Style();
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    row_->SetColor(theme->GetQColor(SKIN2_FORMCOLOR));
    borderColour_ = theme->GetQColor(SKIN2_CONTROLBORDERCOLOR);
    BorderColorChanged();
    SetColor(theme->GetQColor(SKIN2_FORMCOLOR));
    PlaceRow();
    return;
  }
  row_->SetColor(GetInsideThemeQColor(style, INSIDE_CONTROLCOLOR));
  borderColour_ = GetInsideThemeQColor(style, INSIDE_CONTROLBORDERCOLOR);
  BorderColorChanged();
  SetColor(style == WinXP ? QColor(Qt::white) : GetInsideThemeQColor(style, INSIDE_CONTROLCOLOR));
  PlaceRow();
}

void TsuiTab::UpdateUIStyle() {
  ContainerApplyUIStyle(this, UIStyle(), FileTheme());
}

void TsuiTab::SetBorderColor(const QColor& colour) {
  borderColour_ = colour;
  BorderColorChanged();
  update();
  row_->update();
}

void TsuiTab::SetColor(const QColor& colour) {
  colour_ = colour;
  update();
}

void TsuiTab::SetTabPosition(TsuiTabPosition position) {
  if (position == position_) return;
  position_ = position;
  row_->SetTabPosition(position);
  PlaceRow();
  update();
}

void TsuiTab::SetPageDrawFocused(bool drawFocused) {
  pageDrawFocused_ = drawFocused;
  row_->update();
}

void TsuiTab::TabActive(int index) {
  if (IsFormLoading(this)) return;
  if (OnTabActive) OnTabActive(index);
  if (OnChange) OnChange();
}

QRect TsuiTab::ClientRect() const {
  const int rh = row_->height();
  if (position_ == suiTop) return QRect(3, rh + 3, width() - 6, height() - rh - 6);
  return QRect(3, 3, width() - 6, height() - rh - 6);
}

void TsuiTab::PlaceRow() {
  const int rh = row_->height();
  row_->setGeometry(0, position_ == suiTop ? 0 : height() - rh, width(), rh);
  row_->raise();
  LayoutChildren();
}

void TsuiTab::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  PlaceRow();
}

// The client area in Color, framed on the three sides away from the row.
void TsuiTab::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const int rh = row_->height();
  const int W = width(), H = height();
  const QRect client = position_ == suiTop ? QRect(0, rh, W, H - rh) : QRect(0, 0, W, H - rh);
  painter.fillRect(client, colour_);
  painter.setPen(borderColour_);
  const int T = client.top(), B = client.bottom() + 1, R = W;
  if (position_ == suiTop) {
    painter.drawPolyline(
        QPolygon({QPoint(0, T - 1), QPoint(0, B - 1), QPoint(R - 1, B - 1), QPoint(R - 1, T - 1)}));
  } else {
    painter.drawPolyline(
        QPolygon({QPoint(R - 1, B - 1), QPoint(R - 1, 0), QPoint(0, 0), QPoint(0, B)}));
  }
}

TsuiTabControl::TsuiTabControl(QWidget* parent) : TsuiTab(parent) {
  SetUIStyle(OwnerStyle(parent));
}

}  // namespace zelvar
