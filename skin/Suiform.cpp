#include "skin/Suiform.h"

#include <QFrame>
#include <QGuiApplication>
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>
#include <cmath>

#include "skin/Suidlg.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimainmenu.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"
#include "skin/Suititlebar.h"

namespace zelvar {

namespace {

// How far from the window's edge a press resizes it.
constexpr int kGrip = 4;

// A rectangle with all four corners cut by an ellipse `d` pixels wide and high.
QRegion RoundRect(const QRect& r, int d) {
  if (d <= 1 || r.isEmpty()) return QRegion(r);
  const double a = d / 2.0;
  QRegion region;
  const int rows = std::min((d + 1) / 2, (r.height() + 1) / 2);
  for (int y = 0; y < rows; ++y) {
    const double dy = a - (y + 0.5);
    const int inset = static_cast<int>(std::lround(a - std::sqrt(std::max(0.0, a * a - dy * dy))));
    region += QRect(r.left() + inset, r.top() + y, r.width() - 2 * inset, 1);
    region += QRect(r.left() + inset, r.bottom() - y, r.width() - 2 * inset, 1);
  }
  if (r.height() > 2 * rows)
    region += QRect(r.left(), r.top() + rows, r.width(), r.height() - 2 * rows);
  return region;
}

Qt::CursorShape CursorFor(Qt::Edges e) {
  const bool h = e & (Qt::LeftEdge | Qt::RightEdge);
  const bool v = e & (Qt::TopEdge | Qt::BottomEdge);
  if (h && v) {
    const bool main = (e & Qt::LeftEdge) == (e & Qt::TopEdge ? Qt::LeftEdge : Qt::Edges());
    return main ? Qt::SizeFDiagCursor : Qt::SizeBDiagCursor;
  }
  if (h) return Qt::SizeHorCursor;
  if (v) return Qt::SizeVerCursor;
  return Qt::ArrowCursor;
}

// An invisible strip along one edge of the window that resizes it.
class FrameGrip : public QWidget {
 public:
  FrameGrip(QWidget* owner, TsuiForm* frame) : QWidget(owner), frame_(frame) {
    setMouseTracking(true);
  }

 protected:
  void mouseMoveEvent(QMouseEvent* event) override {
    const QPoint at = mapTo(parentWidget(), event->position().toPoint());
    if (event->buttons() == Qt::NoButton) setCursor(frame_->EdgeCursor(at));
    event->ignore();  // a drag by hand goes on in the frame's filter
  }
  void mousePressEvent(QMouseEvent* event) override {
    const QPoint at = mapTo(parentWidget(), event->position().toPoint());
    if (event->button() != Qt::LeftButton ||
        !frame_->BeginEdgeDrag(at, event->globalPosition().toPoint()))
      event->ignore();
  }

 private:
  TsuiForm* frame_;
};

}  // namespace

namespace {

// Fills (left, top) to (right, bottom), the right and lower edges excluded; nothing when empty.
void Fill(QPainter& p, int left, int top, int right, int bottom, const QColor& colour) {
  if (right > left && bottom > top)
    p.fillRect(QRect(left, top, right - left, bottom - top), colour);
}

}  // namespace

namespace {

void PaintMenuBarEnd(QPainter& p, const QRect& end, const TsuiFrameLook& k) {
  if (end.width() <= 0 || end.height() <= 0) return;
  if (k.menuBarColor != k.menuBarToColor) {
    DrawHorizontalGradient(p, end, k.menuBarColor, k.menuBarToColor);
  } else if (k.menuBarColor.isValid()) {
    p.fillRect(end, k.menuBarColor);
  }
}

void FillValid(QPainter& p, int left, int top, int right, int bottom, const QColor& colour) {
  if (colour.isValid()) Fill(p, left, top, right, bottom, colour);
}

// The border of a skin: the title's corners and upper strip from its backdrop, the side
// pictures stretched down the sides, the lower border built the window's width wide, and the
// form colour wherever a picture is narrower than the 4-pixel strip.
void PaintFileThemeBorder(QPainter& p, const TsuiFrameLook& k) {
  const int W = k.width;
  const int H = k.height;
  const int lw = k.leftBorder.width();
  const int rw = k.rightBorder.width();
  const int bh = k.bottomBorder.height();
  if (k.titleVisible && !k.titleBackdrop.isNull()) {
    const QImage& t = k.titleBackdrop;
    const int h = t.height();
    const int w = t.width();
    const int l = std::max(4, lw);
    const int r = std::max(4, rw);
    p.drawImage(QPoint(0, 0), t, QRect(0, 0, l, h));
    p.drawImage(QPoint(0, 0), t, QRect(0, 0, w, 3));
    p.drawImage(QPoint(W - r, 0), t, QRect(w - r, 0, r, h));
  }
  const int y0 = k.titleVisible ? k.titleHeight : 0;
  if (lw > 0 && H - bh > y0) p.drawImage(QRect(0, y0, lw, H - bh - y0), k.leftBorder);
  if (lw < 4) {
    FillValid(p, lw, y0, 4, H - bh, k.color);
    if (k.menuBarHeight > 0)
      PaintMenuBarEnd(p, QRect(lw, k.titleHeight, 4 - lw, k.menuBarHeight), k);
  }
  if (rw > 0 && H - bh > y0) p.drawImage(QRect(W - rw, y0, rw, H - bh - y0), k.rightBorder);
  if (rw < 4) {
    FillValid(p, W - 4, y0, W - rw, H - bh, k.color);
    if (k.menuBarHeight > 0)
      PaintMenuBarEnd(p, QRect(W - 4, k.titleHeight, 4 - rw, k.menuBarHeight), k);
  }
  if (bh > 0) {
    if (k.bottomNeedsRegion) {
      // The see-through pixels, cut away by the window's shape, are left in the form colour.
      QImage solid(k.bottomBorder.size(), QImage::Format_RGB32);
      solid.fill(k.color.isValid() ? k.color : QColor(Qt::black));
      QPainter(&solid).drawImage(0, 0, MaskedImage(k.bottomBorder, k.transparent));
      p.drawImage(0, H - bh, solid);
    } else {
      p.drawImage(0, H - bh, k.bottomBorder);
    }
  }
  if (bh < 4) FillValid(p, lw, H - 4, W - rw, H - bh, k.color);
}

}  // namespace

QImage FormBottomBorder(const QImage& first, const QImage& middle, const QImage& last,
                        bool threeSections, int width, const QColor& transparent) {
  if (first.isNull() || width <= 0) return QImage();
  QImage out(width, first.height(), QImage::Format_RGB32);
  out.fill(transparent.isValid() ? transparent : kMagenta);
  QPainter p(&out);
  if (threeSections) {
    p.drawImage(0, 0, first);
    const int right = width - last.width();
    if (!last.isNull()) p.drawImage(right, 0, last);
    if (!middle.isNull() && right > first.width())
      p.drawImage(QRect(first.width(), 0, right - first.width(), out.height()), middle);
  } else {
    SpitDrawHorizontal2(first, p, out.rect(), false, transparent);
  }
  return out;
}

namespace {

// One band of a traced region: rows [first, end) scanned run by run, the rows above `first`
// (when it is positive) and from `end` to the picture's foot added whole; moved down by `top`.
void TraceBand(QRegion& region, const QImage& image, int width, int minY, int maxY, int top,
               const QColor& transparent) {
  const int h = image.height();
  const int end = maxY <= minY ? h : std::min(h, maxY + 1);
  const int first = minY == -1 ? 0 : std::max(0, minY);
  if (minY > 0) region += QRect(0, top, width, std::min(minY, h));
  const QRgb clear = transparent.rgb() & 0xFFFFFF;
  for (int y = first; y < end; ++y) {
    int start = -1;
    for (int x = 0; x < image.width(); ++x) {
      const bool opaque = (image.pixel(x, y) & 0xFFFFFF) != clear;
      if (opaque && start < 0) start = x;
      if (!opaque && start >= 0) {
        region += QRect(start, top + y, x - start, 1);
        start = -1;
      }
    }
    if (start >= 0) region += QRect(start, top + y, image.width() - start, 1);
  }
  if (h > end) region += QRect(0, top + end, width, h - end);
}

}  // namespace

QRegion RegionFromBitmaps(const QImage& title, const QImage& bottom, int width, int height,
                          const QColor& transparent, const TsuiRegionBands& bands) {
  QRegion region;
  const int th = bands.titleNeedsRegion ? title.height() : 0;
  const int bh = bands.bottomNeedsRegion ? bottom.height() : 0;
  if (bands.titleNeedsRegion)
    TraceBand(region, title, width, bands.titleMinY, bands.titleMaxY, 0, transparent);
  if (height - bh > th) region += QRect(0, th, width, height - bh - th);
  if (bands.bottomNeedsRegion)
    TraceBand(region, bottom, width, bands.bottomMinY, bands.bottomMaxY, height - bh, transparent);
  return region;
}

void PaintFormBorder(QPainter& p, const TsuiFrameLook& k) {
  if (k.fileTheme) {
    p.save();
    PaintFileThemeBorder(p, k);
    p.restore();
    return;
  }
  const int W = k.width;
  const int H = k.height;
  const int bw = k.borderWidth;
  p.save();
  if (!k.titleVisible) {
    Fill(p, 0, 0, W, 1, k.borderColor);
    Fill(p, bw, 1, W - bw, 3, k.color);
  } else if (bw == 1 && k.roundCorner == 11) {
    // The round upper corners' outline.
    const int r = k.roundCorner;
    p.setPen(k.borderColor);
    p.drawArc(QRect(W - 2 * r + 1, -1, 2 * r, 2 * r), 0, 90 * 16);
    p.drawArc(QRect(-1, -1, 2 * r, 2 * r), 90 * 16, 90 * 16);
  }
  Fill(p, 0, 0, bw, H, k.borderColor);
  Fill(p, 0, H - bw, W, H, k.borderColor);
  Fill(p, W - bw, 0, W, H, k.borderColor);
  if (bw < 4) {
    const int top = k.titleHeight + k.menuBarHeight;
    Fill(p, bw, H - 2, W - bw, H - bw, k.color);
    Fill(p, bw, top, 3, H - bw, k.color);
    Fill(p, W - 3, top, W - bw, H - bw, k.color);
    if (k.menuBarHeight > 0) {
      for (const QRect& end : {QRect(bw, k.titleHeight, 3 - bw, k.menuBarHeight),
                               QRect(W - 3, k.titleHeight, 3 - bw, k.menuBarHeight)}) {
        if (end.width() <= 0) continue;
        if (k.menuBarColor != k.menuBarToColor) {
          DrawHorizontalGradient(p, end, k.menuBarColor, k.menuBarToColor);
        } else {
          p.fillRect(end, k.menuBarColor);
        }
      }
    }
  }
  p.restore();
}

QRegion RoundWindowRegion(int width, int height, int radius, int radiusBottom) {
  const int r = std::max(0, radius);
  const int rb = std::max(0, radiusBottom);
  if (r == 0 && rb == 0) return QRegion(0, 0, width, height);
  const int h2 = height / 2;
  // Each half rounds all its corners; squares laid over the corners at the middle leave only the
  // outer ones round.
  QRegion upper = RoundRect(QRect(0, 0, width, h2), r);
  upper += QRect(0, h2 - 2 * r, 2 * r, 2 * r) & QRect(0, 0, width, h2);
  upper += QRect(width - 2 * r, h2 - 2 * r, 2 * r, 2 * r) & QRect(0, 0, width, h2);
  const QRect lowerRect(0, h2, width, height - h2);
  QRegion lower = RoundRect(lowerRect, rb);
  lower += QRect(0, h2, 2 * rb, 2 * rb) & lowerRect;
  lower += QRect(width - 2 * rb, h2, 2 * rb, 2 * rb) & lowerRect;
  return upper + lower;
}

QRect MaximisedBounds(const QRect& workArea) {
  return QRect(QPoint(workArea.left() - 2, workArea.top() - 2),
               QPoint(workArea.right() + 2, workArea.bottom() - 1));
}

QMargins FrameMargins(int borderWidth, int titleHeight, int menuBarHeight) {
  return QMargins(3, (titleHeight > 0 ? titleHeight : 3) + menuBarHeight, 3,
                  borderWidth == 3 ? 3 : borderWidth + 1);
}

QMargins FileThemeFrameMargins(int leftWidth, int rightWidth, int bottomHeight, int titleHeight,
                               int menuBarHeight) {
  return QMargins(std::max(4, leftWidth), (titleHeight > 0 ? titleHeight : 3) + menuBarHeight,
                  std::max(4, rightWidth), std::max(4, bottomHeight));
}

Qt::Edges EdgesAt(const QSize& size, const QPoint& pos, int grip) {
  Qt::Edges e;
  if (!QRect(QPoint(0, 0), size).contains(pos)) return e;
  if (pos.x() < grip) e |= Qt::LeftEdge;
  if (pos.x() >= size.width() - grip) e |= Qt::RightEdge;
  if (pos.y() < grip) e |= Qt::TopEdge;
  if (pos.y() >= size.height() - grip) e |= Qt::BottomEdge;
  return e;
}

QRect ResizedBounds(const QRect& start, Qt::Edges edges, const QPoint& delta,
                    const QSize& minimum) {
  QRect r = start;
  if (edges & Qt::LeftEdge)
    r.setLeft(std::min(start.left() + delta.x(), start.right() + 1 - minimum.width()));
  if (edges & Qt::RightEdge)
    r.setRight(std::max(start.right() + delta.x(), start.left() + minimum.width() - 1));
  if (edges & Qt::TopEdge)
    r.setTop(std::min(start.top() + delta.y(), start.bottom() + 1 - minimum.height()));
  if (edges & Qt::BottomEdge)
    r.setBottom(std::max(start.bottom() + delta.y(), start.top() + minimum.height() - 1));
  return r;
}

TsuiForm::TsuiForm(QWidget* ownerForm) : QWidget(ownerForm) {
  UIStyleChanged();
  if (ownerForm == nullptr) return;
  for (const TsuiForm* other :
       ownerForm->findChildren<TsuiForm*>(QString(), Qt::FindDirectChildrenOnly)) {
    if (other != this) return;  // one frame per form
  }
  owner_ = ownerForm;
  caption_ = ownerForm->windowTitle().toStdString();
  // The frame fills the form's client area and holds its other controls.
  if (auto* main = qobject_cast<QMainWindow*>(ownerForm)) {
    main->setCentralWidget(this);
  } else if (ownerForm->layout() == nullptr) {
    auto* layout = new QVBoxLayout(ownerForm);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(this);
  }
  // The window loses the system frame; the frame draws its own.
  owner_->setWindowFlags(owner_->windowFlags() | Qt::FramelessWindowHint);
  owner_->setMouseTracking(true);
  titleBar_ = new TsuiTitleBar(owner_, this);
  titleBar_->SetCaption(QString::fromStdString(caption_));
  for (QPointer<QWidget>& grip : grips_) grip = new FrameGrip(owner_, this);
  owner_->installEventFilter(this);
  // Alt+Space opens the system menu below the title bar's left end.
  auto* altSpace = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), owner_);
  connect(altSpace, &QShortcut::activated, this, [this] {
    if (titleBar_ != nullptr)
      titleBar_->PopupSystemMenu(owner_->mapToGlobal(QPoint(0, GetTitleBarHeight())));
  });
  normalBounds_ = owner_->geometry();
  UIStyleChanged();
}

TsuiForm::~TsuiForm() {
  if (owner_ != nullptr) owner_->removeEventFilter(this);
  if (titleBar_ != nullptr) titleBar_->ForgetFrame();
  delete titleBar_;
}

void TsuiForm::SetCaption(const std::string& caption) {
  if (titleBar_ == nullptr) return;
  caption_ = caption;
  titleBar_->SetCaption(QString::fromStdString(caption));
  owner_->setWindowTitle(QString::fromStdString(caption));
}

std::string TsuiForm::GetCaption() const {
  return titleBar_ != nullptr ? titleBar_->Caption().toStdString() : std::string();
}

void TsuiForm::UIStyleChanged() {
  TsuiUIStyle style = DeepBlue;
  UsingFileTheme(FileTheme(), UIStyle(), style);
  colour_ = GetInsideThemeQColor(style, INSIDE_FORMCOLOR);
  borderColor_ = GetInsideThemeQColor(style, INSIDE_FORMBORDERCOLOR);
  borderWidth_ = GetInsideThemeInt(style, INSIDE_FORMBORDERWIDTH);
  menuBarColor_ = menuBarToColor_ = colour_;
  leftWidth_ = rightWidth_ = bottomHeight_ = 0;
  transparent_ = kMagenta;
  bands_ = TsuiRegionBands();
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    // The skin's colours and border pictures; the border colour serves a hidden title's line.
    colour_ = theme->GetQColor(SKIN2_FORMCOLOR);
    borderColor_ = theme->GetQColor(SKIN2_CONTROLBORDERCOLOR);
    menuBarColor_ = theme->GetQColor(SKIN2_MENUBARSTARTCOLOR);
    menuBarToColor_ = theme->GetQColor(SKIN2_MENUBARENDCOLOR);
    const auto size = [theme](Tsk2SkinBitmapElement e) {
      const QImage* p = theme->GetBitmap(e);
      return p != nullptr ? p->size() : QSize(0, 0);
    };
    leftWidth_ = size(SKIN2_FORMLEFTBORDER).width();
    rightWidth_ = size(SKIN2_FORMRIGHTBORDER).width();
    bottomHeight_ = size(SKIN2_FORMBOTTOMBORDER1).height();
    transparent_ = theme->GetQColor(SKIN2_TRANSCOLOR);
    bands_.titleNeedsRegion = theme->GetBool(SKIN2_TITLEBARNEEDREGION);
    bands_.bottomNeedsRegion = theme->GetBool(SKIN2_BOTTOMBORDERNEEDREGION);
    bands_.titleMinY = theme->GetInt(SKIN2_TITLEBARREGIONMINY);
    bands_.titleMaxY = theme->GetInt(SKIN2_TITLEBARREGIONMAXY);
    bands_.bottomMinY = theme->GetInt(SKIN2_BOTTOMREGIONMINY);
    bands_.bottomMaxY = theme->GetInt(SKIN2_BOTTOMREGIONMAXY);
  }
  if (titleBar_ != nullptr) {
    titleBar_->SetFileTheme(FileTheme());
    titleBar_->SetUIStyle(UIStyle());
  }
  if (menu_ != nullptr) {
    menu_->SetUIStyle(UIStyle());
    menu_->SetFileTheme(FileTheme());
    menu_->SetBarColours(menuBarColor_, menuBarToColor_);
  }
  if (autoUpdateSub_) ApplyToControls();
  LayoutChrome();
  // A skin's window is never lower than its title, menu bar and lower border.
  if (owner_ != nullptr && ThemeInUse() != nullptr &&
      owner_->minimumHeight() != owner_->maximumHeight()) {
    owner_->setMinimumHeight(
        std::min(owner_->maximumHeight(),
                 std::max(3, GetTitleBarHeight()) + GetMenuBarHeight() + bottomHeight_));
  }
  update();
}

void TsuiForm::ApplyToControls() {
  // The controls on the frame: its own children and, since a form's controls are laid out on
  // the form beside the frame, the form's other children. The frame's chrome follows it anyway.
  ContainerApplyUIStyle(this, UIStyle(), FileTheme());
  if (owner_ == nullptr) return;
  for (QObject* child : owner_->children()) {
    auto* styled = dynamic_cast<TsuiStyled*>(child);
    if (styled == nullptr || !child->isWidgetType() || child == this || child == titleBar_ ||
        child == menu_)
      continue;
    styled->SetFileTheme(FileTheme());
    styled->SetUIStyle(UIStyle());
  }
}

void TsuiForm::SetPanel(QWidget* panel) {
  if (panel == this) {
    SUIMsgDlg("Sorry, you can't select the Form assign to FormPanel property", mtError, mbOK,
              DeepBlue);
    return;
  }
  formPanel_ = panel;
  if (panel == nullptr) return;
  // The panel fills the frame's client area.
  if (panel->parentWidget() != this) panel->setParent(this);
  if (layout() == nullptr) {
    auto* fill = new QVBoxLayout(this);
    fill->setContentsMargins(0, 0, 0, 0);
  }
  layout()->addWidget(panel);
  if (auto* picture = qobject_cast<TsuiCustomPanel*>(panel)) {
    picture->SetPanelCaption("");
  } else if (auto* plain = qobject_cast<QFrame*>(panel)) {
    plain->setFrameShape(QFrame::NoFrame);
  }
  panel->show();
}

void TsuiForm::SetInactiveCaptionColor(const QColor& colour) {
  if (titleBar_ != nullptr) titleBar_->SetInactiveCaptionColor(colour);
}

QColor TsuiForm::InactiveCaptionColor() const {
  if (titleBar_ != nullptr) return titleBar_->InactiveCaptionColor();
  return palette().color(QPalette::Inactive, QPalette::Highlight);
}

void TsuiForm::ReAssign() {
  if (owner_ == nullptr || (owner_->windowFlags() & Qt::FramelessWindowHint)) return;
  const bool shown = owner_->isVisible();
  owner_->setWindowFlags(owner_->windowFlags() | Qt::FramelessWindowHint);
  if (shown) owner_->show();  // new window flags hide a shown window
  LayoutChrome();
}

void TsuiForm::SetBorderColor(const QColor& colour) {
  borderColor_ = colour;
  if (owner_ != nullptr) owner_->update();
}

void TsuiForm::SetBorderWidth(int width) {
  borderWidth_ = width;
  LayoutChrome();
}

int TsuiForm::RoundCorner() const {
  return TitleBarVisible() ? titleBar_->RoundCorner() : 0;
}

void TsuiForm::SetRoundCorner(int radius) {
  if (titleBar_ == nullptr) return;
  titleBar_->SetRoundCorner(radius);
  RegionWindow();
}

void TsuiForm::SetTitleBarVisible(bool visible) {
  titleWanted_ = visible;
  if (titleBar_ == nullptr || titleBar_->isVisibleTo(owner_) == visible) return;
  titleBar_->setVisible(visible);
  LayoutChrome();
}

bool TsuiForm::TitleBarVisible() const {
  return titleBar_ != nullptr && !titleBar_->isHidden();
}

int TsuiForm::GetTitleBarHeight() const {
  return TitleBarVisible() ? titleBar_->height() : 0;
}

int TsuiForm::GetMenuBarHeight() const {
  return menu_ != nullptr && !menu_->isHidden() ? menu_->height() : 0;
}

void TsuiForm::SetMenu(TsuiMainMenu* menu) {
  if (owner_ == nullptr) return;
  if (menu_ != nullptr && menu_ != menu) menu_->hide();
  menu_ = menu;
  if (menu != nullptr) {
    // A main window lays its menu bar out below the title itself; any other form gets it placed
    // by the frame.
    if (qobject_cast<QMainWindow*>(owner_) == nullptr && menu->parentWidget() != owner_)
      menu->setParent(owner_);
    menu->setFixedHeight(menuBarHeight_);
    menu->SetUIStyle(UIStyle());
    menu->SetBarColours(menuBarColor_, menuBarToColor_);
    menu->show();
  }
  LayoutChrome();
}

void TsuiForm::SetMenuBarHeight(int height) {
  menuBarHeight_ = height;
  if (menu_ != nullptr) menu_->setFixedHeight(height);
  LayoutChrome();
}

void TsuiForm::SetMenuBarColor(const QColor& colour) {
  menuBarColor_ = colour;
  if (menu_ != nullptr) menu_->SetBarColours(menuBarColor_, menuBarToColor_);
  if (owner_ != nullptr) owner_->update();
}

void TsuiForm::SetMenuBarToColor(const QColor& colour) {
  menuBarToColor_ = colour;
  if (menu_ != nullptr) menu_->SetBarColours(menuBarColor_, menuBarToColor_);
  if (owner_ != nullptr) owner_->update();
}

QMdiSubWindow* TsuiForm::SubWindow() const {
  return qobject_cast<QMdiSubWindow*>(subWindow_.data());
}

bool TsuiForm::IsMaximized() const {
  return subWindow_ != nullptr ? subWindow_->isMaximized() : maximized_;
}

QWidget* TsuiForm::MovedWindow() const {
  if (subWindow_ != nullptr) return subWindow_;
  return owner_;
}

void TsuiForm::AttachToSubWindow(QMdiSubWindow* sub) {
  if (owner_ == nullptr || sub == nullptr || sub->widget() != owner_) return;
  subWindow_ = sub;
  // The frame draws the child's title and border; the sub-window draws none.
  sub->setWindowFlags(Qt::SubWindow | Qt::FramelessWindowHint);
  sub->installEventFilter(this);
  LayoutChrome();
}

void TsuiForm::ToggleMaximized() {
  if (owner_ == nullptr) return;
  if (subWindow_ != nullptr) {
    // An MDI child maximises inside the MDI area; the MDI frame then carries its caption.
    if (subWindow_->isMaximized())
      subWindow_->showNormal();
    else
      subWindow_->showMaximized();
    return;
  }
  if (!maximized_) {
    normalBounds_ = owner_->geometry();
    const QScreen* screen =
        owner_->screen() != nullptr ? owner_->screen() : QGuiApplication::primaryScreen();
    maximized_ = true;
    if (screen != nullptr) owner_->setGeometry(MaximisedBounds(screen->availableGeometry()));
  } else {
    maximized_ = false;
    owner_->setGeometry(normalBounds_);
  }
  if (titleBar_ != nullptr) titleBar_->ProcessMaxBtn();
  LayoutChrome();
}

TsuiFrameLook TsuiForm::Look() const {
  TsuiFrameLook k;
  if (owner_ == nullptr) return k;
  k.width = owner_->width();
  k.height = owner_->height();
  k.borderWidth = borderWidth_;
  k.borderColor = borderColor_;
  k.color = colour_;
  k.titleVisible = TitleBarVisible();
  k.titleHeight = GetTitleBarHeight();
  k.menuBarHeight = GetMenuBarHeight();
  k.menuBarColor = menuBarColor_;
  k.menuBarToColor = menuBarToColor_;
  k.roundCorner = RoundCorner();
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    k.fileTheme = true;
    if (titleBar_ != nullptr && titleBar_->CanPaint()) k.titleBackdrop = titleBar_->TitleImage(-2);
    const auto picture = [theme](Tsk2SkinBitmapElement e) {
      const QImage* p = theme->GetBitmap(e);
      return p != nullptr ? *p : QImage();
    };
    k.leftBorder = picture(SKIN2_FORMLEFTBORDER);
    k.rightBorder = picture(SKIN2_FORMRIGHTBORDER);
    k.bottomBorder =
        FormBottomBorder(picture(SKIN2_FORMBOTTOMBORDER1), picture(SKIN2_FORMBOTTOMBORDER2),
                         picture(SKIN2_FORMBOTTOMBORDER3),
                         theme->GetBool(SKIN2_BOTTOMBORDERTHREESECT), k.width, transparent_);
    k.bottomNeedsRegion = bands_.bottomNeedsRegion;
    k.transparent = transparent_;
  }
  return k;
}

void TsuiForm::PaintBorderOver(QPainter& painter) const {
  PaintFormBorder(painter, Look());
}

void TsuiForm::RegionWindow() {
  if (owner_ == nullptr || titleBar_ == nullptr) return;
  const int r = RoundCorner();
  const int rb = TitleBarVisible() ? titleBar_->RoundCornerBottom() : 0;
  QRegion region;
  if (ThemeInUse() != nullptr) {
    // A skin cuts the window to the shape of its title and lower border pictures; a hidden
    // title leaves the upper edge straight.
    TsuiRegionBands bands = bands_;
    bands.titleNeedsRegion = bands.titleNeedsRegion && TitleBarVisible();
    if (bands.titleNeedsRegion || bands.bottomNeedsRegion) {
      const TsuiFrameLook k = Look();
      region = RegionFromBitmaps(titleBar_->TitleImage(-1), k.bottomBorder, owner_->width(),
                                 owner_->height(), transparent_, bands);
    }
  } else if (r > 0 || rb > 0) {
    region = RoundWindowRegion(owner_->width(), owner_->height(), r, rb);
  }
  if (region == owner_->mask()) return;
  if (region.isEmpty()) {
    owner_->clearMask();
  } else {
    owner_->setMask(region);
  }
}

void TsuiForm::LayoutChrome() {
  if (owner_ == nullptr) return;
  const bool mainWindow = qobject_cast<QMainWindow*>(owner_) != nullptr;
  const QMargins strip = StripMargins();
  owner_->setContentsMargins(strip);
  const int W = owner_->width();
  const int H = owner_->height();
  if (titleBar_ != nullptr) {
    titleBar_->setGeometry(0, 0, W, titleBar_->height());
    titleBar_->raise();
    // A window of fixed size has nothing to maximise.
    const bool fixed = owner_->minimumSize() == owner_->maximumSize();
    for (TsuiTitleBarButton& b : titleBar_->Buttons()) {
      if (b.type == suiMax) b.visible = !fixed;
    }
  }
  if (menu_ != nullptr && !mainWindow) {
    menu_->setGeometry(strip.left(), std::max(3, GetTitleBarHeight()),
                       W - strip.left() - strip.right(), menu_->height());
  }
  // The grips along the left, right and lower edge, while the window can be resized.
  const int top = std::max(3, GetTitleBarHeight());
  const QRect places[] = {QRect(0, top, 3, H - top), QRect(W - 3, top, 3, H - top),
                          QRect(3, H - 3, W - 6, 3)};
  for (size_t i = 0; i < grips_.size(); ++i) {
    if (grips_[i] == nullptr) continue;
    grips_[i]->setGeometry(places[i]);
    grips_[i]->setVisible(Resizable());
    grips_[i]->raise();
  }
  RegionWindow();
  owner_->update();
}

QMargins TsuiForm::StripMargins() const {
  const bool mainWindow = qobject_cast<QMainWindow*>(owner_) != nullptr;
  // A main window's layout puts its menu bar at the top of the client itself.
  const int menu = mainWindow ? 0 : GetMenuBarHeight();
  if (ThemeInUse() != nullptr)
    return FileThemeFrameMargins(leftWidth_, rightWidth_, bottomHeight_, GetTitleBarHeight(), menu);
  return FrameMargins(borderWidth_, GetTitleBarHeight(), menu);
}

bool TsuiForm::Resizable() const {
  return owner_ != nullptr && !IsMaximized() && owner_->minimumSize() != owner_->maximumSize();
}

Qt::Edges TsuiForm::ResizeEdges(const QPoint& pos) const {
  if (!Resizable()) return {};
  // The corners grip further along the edges than the strip is wide.
  Qt::Edges e = EdgesAt(owner_->size(), pos, kGrip);
  const Qt::Edges corner = EdgesAt(owner_->size(), pos, 12);
  if (e & (Qt::LeftEdge | Qt::RightEdge)) e |= corner & (Qt::TopEdge | Qt::BottomEdge);
  if (e & (Qt::TopEdge | Qt::BottomEdge)) e |= corner & (Qt::LeftEdge | Qt::RightEdge);
  return e;
}

Qt::CursorShape TsuiForm::EdgeCursor(const QPoint& pos) const {
  return CursorFor(ResizeEdges(pos));
}

bool TsuiForm::BeginEdgeDrag(const QPoint& pos, const QPoint& globalPos) {
  const Qt::Edges edges = ResizeEdges(pos);
  if (!edges) return false;
  QWindow* window = subWindow_ == nullptr ? owner_->windowHandle() : nullptr;
  if (window != nullptr && window->startSystemResize(edges)) return true;
  resizing_ = edges;
  resizeStart_ = globalPos;
  boundsStart_ = MovedWindow()->geometry();
  owner_->grabMouse();
  return true;
}

bool TsuiForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == subWindow_.data() && event->type() == QEvent::WindowStateChange) {
    // A minimised frameless sub-window would shrink to nothing: it shows Qt's minimised title
    // strip until it is restored.
    // Changed once the sub-window has finished its own state change.
    QMetaObject::invokeMethod(
        this,
        [this] {
          QWidget* sub = subWindow_.data();
          if (sub == nullptr) return;
          const bool frameless = !sub->isMinimized();
          if (sub->windowFlags().testFlag(Qt::FramelessWindowHint) == frameless) return;
          const Qt::WindowStates state = sub->windowState();
          sub->setWindowFlags(sub->windowFlags().setFlag(Qt::FramelessWindowHint, frameless));
          sub->setWindowState(state);
          sub->show();
        },
        Qt::QueuedConnection);
    // A maximised child shows no title of its own (the MDI frame's bar carries it).
    if (titleBar_ != nullptr) {
      const bool wanted = titleWanted_;
      SetTitleBarVisible(wanted && !subWindow_->isMaximized());
      titleWanted_ = wanted;
      titleBar_->ProcessMaxBtn();
    }
    LayoutChrome();
    return false;
  }
  if (watched != owner_) return QWidget::eventFilter(watched, event);
  switch (event->type()) {
    case QEvent::Paint: {
      QPainter painter(owner_);
      PaintFormBorder(painter, Look());
      break;
    }
    case QEvent::Resize:
      LayoutChrome();
      break;
    case QEvent::WindowTitleChange:
      // A title set on the window itself shows in the title bar too.
      if (titleBar_ != nullptr) titleBar_->SetCaption(owner_->windowTitle());
      break;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
      if (titleBar_ != nullptr) titleBar_->SetFormActive(event->type() == QEvent::WindowActivate);
      break;
    case QEvent::MouseMove:
      if (resizing_) {
        const QPoint at = static_cast<QMouseEvent*>(event)->globalPosition().toPoint();
        QWidget* moved = MovedWindow();
        moved->setGeometry(
            ResizedBounds(boundsStart_, resizing_, at - resizeStart_,
                          moved->minimumSizeHint().expandedTo(moved->minimumSize())));
        return true;
      }
      break;
    case QEvent::MouseButtonRelease:
      if (resizing_) {
        resizing_ = {};
        owner_->releaseMouse();
        return true;
      }
      break;
    default:
      break;
  }
  return false;
}

void TsuiForm::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  // MacOS and Protein lay a pattern; the others fill with the form colour. The pattern follows
  // the style as set, not as resolved.
  const char* pattern = UIStyle() == MacOS     ? "MACOS_FORM_BACKGROUND"
                        : UIStyle() == Protein ? "PROTEIN_FORM_BACKGROUND"
                                               : nullptr;
  if (pattern != nullptr) {
    painter.fillRect(rect(), QBrush(QPixmap::fromImage(LoadResourceBitmap(pattern))));
  } else {
    painter.fillRect(rect(), colour_);
  }
}

void TsuiForm::mousePressEvent(QMouseEvent* event) {
  // Taken so that the release comes back here as a click on the frame.
  event->accept();
}

void TsuiForm::mouseReleaseEvent(QMouseEvent* event) {
  QWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick)
    OnClick();
}

void SetFormUIStyle(QWidget* form, TsuiUIStyle style, TsuiFileTheme* fileTheme) {
  if (form == nullptr) return;
  TsuiUIStyle resolved = DeepBlue;
  const bool fromFile = UsingFileTheme(fileTheme, style, resolved);
  QPalette palette = form->palette();
  QColor colour = GetInsideThemeQColor(resolved, INSIDE_FORMCOLOR);
  if (fromFile && fileTheme->GetQColor(SKIN2_FORMCOLOR).isValid())
    colour = fileTheme->GetQColor(SKIN2_FORMCOLOR);
  palette.setColor(QPalette::Window, colour);
  palette.setColor(QPalette::Button, colour);
  form->setPalette(palette);
  const auto apply = [&](QObject* child) {
    if (auto* styled = dynamic_cast<TsuiStyled*>(child)) {
      if (fileTheme != nullptr) styled->SetFileTheme(fileTheme);
      styled->SetUIStyle(style);
    }
  };
  for (QWidget* child : form->findChildren<QWidget*>()) apply(child);
  // Then the components that are not controls (the MDI frame): they arrange the controls and
  // have the last word on the form's limits.
  for (QObject* child : form->findChildren<QObject*>()) {
    if (!child->isWidgetType()) apply(child);
  }
}

}  // namespace zelvar
