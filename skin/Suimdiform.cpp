#include "skin/Suimdiform.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QHBoxLayout>
#include <QMainWindow>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suimainmenu.h"
#include "skin/Suipictures.h"
#include "skin/Suipublic.h"
#include "skin/Suititlebar.h"

namespace zelvar {

namespace {

// The tags the three control buttons carry.
constexpr int kCloseTag = -1381;
constexpr int kRestoreTag = -1382;
constexpr int kMinimiseTag = -1383;
// The control buttons stand 18 pixels apart, the last 2 pixels in from the bar's right end.
constexpr int kButtonStep = 18;

bool Minimised(const QMdiSubWindow* child) {
  return child->windowState().testFlag(Qt::WindowMinimized);
}

bool Maximised(const QMdiSubWindow* child) {
  return child->windowState().testFlag(Qt::WindowMaximized);
}

}  // namespace

std::vector<QRect> CascadeBounds(int count, const QSize& client) {
  std::vector<QRect> bounds;
  const int w = client.width() * 4 / 5;
  const int h = client.height() * 3 / 5;
  for (int i = 0; i < count; ++i) bounds.emplace_back(22 * i, 22 * i, w, h);
  return bounds;
}

std::vector<QRect> TileBounds(int count, const QSize& client, int alignedHeight, bool someMinimised,
                              TsuiTileMode mode) {
  std::vector<QRect> bounds;
  if (count <= 0) return bounds;  // nothing to share the room between
  const int room = client.height() - alignedHeight - (someMinimised ? 25 : 0);
  if (mode == TsuiTileMode::tbHorizontal) {
    const int step = room / count - 2;
    for (int i = 0; i < count; ++i) bounds.emplace_back(0, step * i, client.width() - 4, step);
  } else {
    const int step = client.width() / count - 2;
    for (int i = 0; i < count; ++i) bounds.emplace_back(step * i, 0, step, room - 4);
  }
  return bounds;
}

int MdiMinimumWidth(int bar1Width, int bar3Width, int titleButtonsWidth, bool fiveSections,
                    int buttonCount) {
  // One frame of the strip the title bar cuts its button pictures from: 18 frames, three for
  // each of its six button kinds.
  const int button = titleButtonsWidth / 18;
  const int b = buttonCount < 0 ? 35 : (buttonCount - 1) * 15;
  return fiveSections ? bar1Width + bar3Width + button + b
                      : bar1Width + std::max(bar3Width, button + b);
}

TsuiMDIForm::TsuiMDIForm(QWidget* ownerForm) : QObject(ownerForm), owner_(ownerForm) {
  if (ownerForm == nullptr || !ownerForm->isWindow() ||
      qobject_cast<QMainWindow*>(ownerForm) != nullptr)
    throw std::invalid_argument("Sorry, TsuiMDIForm must be placed on a form");
  frame_ = new TsuiForm(owner_);
  // A maximised child draws no title bar of its own: the frame's title shows its caption and the
  // frame's bar its control buttons.
  owner_->setAttribute(Qt::WA_CanHostQMdiSubWindowTitleBar);
  caption_ = owner_->windowTitle().toStdString();
  area_ = new QMdiArea(frame_);
  auto* layout = new QVBoxLayout(frame_);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(area_);

  bar_ = new TsuiMainMenu(owner_);
  bar_->hide();
  // The control buttons at the bar's right end: minimise, restore, close from left to right.
  corner_ = new QWidget(bar_);
  corner_->setFixedSize(3 * kButtonStep + 2, 20);
  const QImage strip = LoadResourceBitmap("MDI_CONTROL_BUTTON");
  const int tags[] = {kCloseTag, kRestoreTag, kMinimiseTag};
  for (int i = 0; i < 3; ++i) {
    auto* button = new TsuiToolBarSpeedButton(corner_);
    QImage glyph;
    SpitBitmap(strip, &glyph, 3, 3 - i);  // close is frame 3, restore 2, minimise 1
    button->SetGlyph(glyph);
    button->move(corner_->width() - 20 - i * kButtonStep, 2);
    const int tag = tags[i];
    button->OnClick = [this, tag] { OnControlButtonClick(tag); };
    buttons_[i] = button;
  }
  bar_->installEventFilter(this);  // the buttons keep to the bar's right end
  HideControlButtons();

  connect(area_, &QMdiArea::subWindowActivated, this, [this] { ChildStateChanged(); });
  UpdateMenu();
  SetUIStyle(DeepBlue);
}

TsuiMDIForm::~TsuiMDIForm() {
  // The window items are this object's children and leave the menu as they go.
  destroying_ = true;
}

TsuiTitleBar* TsuiMDIForm::TitleBar() const {
  return frame_->TitleBar();
}

void TsuiMDIForm::SetMenu(QMenuBar* menu) {
  menu_ = menu;
  if (menu != nullptr) menu->hide();  // its items show in the frame's bar
  UpdateMenu();
}

void TsuiMDIForm::SetWindowMenu(QMenu* menu) {
  FreeWindowItems();
  windowMenu_ = menu;
  // The list is made afresh whenever the menu opens, so that it follows renamed children.
  if (menu != nullptr) connect(menu, &QMenu::aboutToShow, this, [this] { UpdateWindowMenu(); });
  UpdateWindowMenu();
}

void TsuiMDIForm::SetCaption(const std::string& caption) {
  caption_ = caption;
  RefreshCaption();
}

QString TsuiMDIForm::ShownCaption() const {
  QString caption = QString::fromStdString(caption_);
  const QMdiSubWindow* child = ActiveChild();
  if (drawChildCaptions_ && child != nullptr && Maximised(child))
    caption += " - [" + child->windowTitle() + "]";
  return caption;
}

void TsuiMDIForm::SetTitleBarDrawChildCaptions(bool on) {
  drawChildCaptions_ = on;
  RefreshCaption();
}

void TsuiMDIForm::SetTitleBarDrawChildMenus(bool on) {
  drawChildMenus_ = on;
  UpdateMenu();
}

void TsuiMDIForm::SetTitleBarVisible(bool visible) {
  frame_->SetTitleBarVisible(visible);
  UpdateMenu();
}

QMdiSubWindow* TsuiMDIForm::AddChild(QWidget* child) {
  QMdiSubWindow* sub = area_->addSubWindow(child);
  // A child form with its own frame wears it in a frameless sub-window.
  if (auto* own = child->findChild<TsuiForm*>(QString(), Qt::FindDirectChildrenOnly);
      own != nullptr && own->OwnerForm() == child)
    own->AttachToSubWindow(sub);
  // A child's own menu bar shows in the frame's bar, not in the child.
  if (auto* own = child->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly)) own->hide();
  connect(sub, &QMdiSubWindow::windowStateChanged, this, [this] { ChildStateChanged(); });
  sub->installEventFilter(this);
  sub->show();
  UpdateWindowMenu();
  return sub;
}

QMdiSubWindow* TsuiMDIForm::ActiveChild() const {
  // The current child stays current while the form itself is not the active window.
  return area_->currentSubWindow();
}

QList<QMdiSubWindow*> TsuiMDIForm::Children() const {
  QList<QMdiSubWindow*> children;
  for (QMdiSubWindow* child : area_->subWindowList(QMdiArea::StackingOrder)) {
    // A closed child waits hidden for its deletion.
    if (child->widget() != nullptr && !child->isHidden()) children.append(child);
  }
  return children;
}

QMenuBar* TsuiMDIForm::GetMainMenu() const {
  const QMdiSubWindow* child = ActiveChild();
  if (drawChildMenus_ && frame_->TitleBarVisible() && child != nullptr &&
      child->widget() != nullptr) {
    if (auto* own = child->widget()->findChild<QMenuBar*>(QString(), Qt::FindDirectChildrenOnly))
      return own;
    if (const TsuiForm* form = GetActiveChildSUIForm(); form != nullptr && form->Menu() != nullptr)
      return form->Menu();
  }
  return menu_;
}

TsuiForm* TsuiMDIForm::GetActiveChildSUIForm() const {
  const QMdiSubWindow* child = ActiveChild();
  if (child == nullptr || child->widget() == nullptr) return nullptr;
  return child->widget()->findChild<TsuiForm*>(QString(), Qt::FindDirectChildrenOnly);
}

QList<QAction*> TsuiMDIForm::Items(const QMenuBar* menu) {
  return menu != nullptr ? menu->actions() : QList<QAction*>();
}

void TsuiMDIForm::UpdateMenu() {
  if (destroying_) return;
  shownMenu_ = GetMainMenu();
  if (shownMenu_ == nullptr) {
    frame_->SetMenu(nullptr);
    return;
  }
  // One bar item per first-level item of the menu in use; the actions are shared, not copied.
  const QList<QAction*> items = Items(shownMenu_);
  if (bar_->actions() != items) {
    bar_->clear();
    bar_->addActions(items);
  }
  frame_->SetMenu(bar_);
  UpdateWindowMenu();
}

void TsuiMDIForm::FreeWindowItems() {
  // An action leaves every menu that shows it as it is deleted.
  qDeleteAll(windowItems_);
  windowItems_.clear();
}

void TsuiMDIForm::UpdateWindowMenu() {
  if (destroying_ || menu_ == nullptr || windowMenu_ == nullptr || shownMenu_ != menu_) return;
  FreeWindowItems();
  auto* separator = new QAction(this);
  separator->setSeparator(true);
  windowItems_.append(separator);
  for (QMdiSubWindow* child : Children()) {
    auto* item = new QAction(child->windowTitle(), this);
    QPointer<QMdiSubWindow> target(child);
    connect(item, &QAction::triggered, this, [this, target] {
      if (target != nullptr) OnWindowMenuClick(target);
    });
    windowItems_.append(item);
  }
  windowMenu_->addActions(windowItems_);
}

void TsuiMDIForm::OnWindowMenuClick(QMdiSubWindow* child) {
  if (Minimised(child)) child->showNormal();
  area_->setActiveSubWindow(child);
  child->raise();
}

void TsuiMDIForm::Cascade() {
  QList<QMdiSubWindow*> placed;
  for (QMdiSubWindow* child : Children()) {
    if (!Minimised(child)) placed.append(child);
  }
  const std::vector<QRect> bounds = CascadeBounds(placed.size(), area_->viewport()->size());
  for (int i = 0; i < placed.size(); ++i) {
    if (Maximised(placed[i])) placed[i]->showNormal();
    placed[i]->setGeometry(bounds[i]);
  }
}

void TsuiMDIForm::Tile() {
  QList<QMdiSubWindow*> placed;
  bool someMinimised = false;
  for (QMdiSubWindow* child : Children()) {
    if (Minimised(child)) {
      someMinimised = true;
    } else {
      placed.append(child);
    }
  }
  // The MDI area is the client already: the title and menu bars stand outside it.
  const std::vector<QRect> bounds =
      TileBounds(placed.size(), area_->viewport()->size(), 0, someMinimised, tileMode_);
  for (int i = 0; i < placed.size(); ++i) {
    if (Maximised(placed[i])) placed[i]->showNormal();
    placed[i]->setGeometry(bounds[i]);
  }
}

void TsuiMDIForm::ShowControlButtons() {
  bool show[3] = {true, true, true};  // close, restore, minimise
  // A skinned child offers only the buttons its own title bar has.
  if (const TsuiForm* form = GetActiveChildSUIForm(); form != nullptr && form->TitleBar()) {
    show[0] = show[1] = show[2] = false;
    for (const TsuiTitleBarButton& b : form->TitleBar()->Buttons()) {
      if (b.type == suiClose) show[0] = true;
      if (b.type == suiMax) show[1] = true;
      if (b.type == suiMin) show[2] = true;
    }
  }
  for (int i = 0; i < 3; ++i) buttons_[i]->setVisible(show[i]);
  PlaceControlButtons();
  corner_->show();
  corner_->raise();
}

void TsuiMDIForm::HideControlButtons() {
  for (TsuiToolBarSpeedButton* button : buttons_) button->hide();
  corner_->hide();
}

void TsuiMDIForm::OnControlButtonClick(int tag) {
  QMdiSubWindow* child = ActiveChild();
  if (child == nullptr) return;
  switch (tag) {
    case kCloseTag:
      child->close();
      break;
    case kRestoreTag:
      child->showNormal();
      break;
    case kMinimiseTag:
      child->showMinimized();
      break;
    default:
      break;
  }
  QCoreApplication::processEvents();
}

void TsuiMDIForm::ChildStateChanged() {
  if (destroying_) return;
  const QMdiSubWindow* child = ActiveChild();
  if (child != nullptr && Maximised(child)) {
    ShowControlButtons();
  } else {
    HideControlButtons();
  }
  UpdateMenu();
  RefreshCaption();
}

void TsuiMDIForm::RefreshCaption() {
  if (destroying_) return;
  frame_->SetCaption(ShownCaption().toStdString());
}

int TsuiMDIForm::GetTitleBarHeight() const {
  return frame_->GetTitleBarHeight() + frame_->GetMenuBarHeight();
}

void TsuiMDIForm::UIStyleChanged() {
  frame_->SetFileTheme(FileTheme());
  frame_->SetUIStyle(UIStyle());
  bar_->SetFileTheme(FileTheme());
  bar_->SetUIStyle(UIStyle());
  const TsuiFrameLook look = frame_->Look();
  bar_->SetBarColours(look.menuBarColor, look.menuBarToColor);
  // The control buttons wear the menu bar's colours.
  for (TsuiToolBarSpeedButton* button : buttons_) {
    button->SetColor(look.menuBarColor);
    button->SetToColor(look.menuBarToColor);
  }
  if (const TsuiFileTheme* theme = ThemeInUse()) {
    const auto width = [theme](Tsk2SkinBitmapElement e) {
      const QImage* p = theme->GetBitmap(e);
      return p != nullptr ? p->width() : 0;
    };
    const TsuiTitleBar* title = frame_->TitleBarVisible() ? frame_->TitleBar() : nullptr;
    owner_->setMinimumWidth(MdiMinimumWidth(
        width(SKIN2_TITLEBAR1), width(SKIN2_TITLEBAR3), width(SKIN2_TITLEBUTTONS),
        theme->GetBool(SKIN2_TITLEFIVESECT),
        title != nullptr ? static_cast<int>(frame_->TitleBar()->Buttons().size()) : -1));
    const QMargins margins = FrameMargins(look.borderWidth, 0, 0);
    owner_->setMinimumHeight(GetTitleBarHeight() + margins.bottom() + 3);
  }
}

void TsuiMDIForm::PlaceControlButtons() {
  corner_->move(bar_->width() - corner_->width(), (bar_->height() - corner_->height()) / 2);
}

bool TsuiMDIForm::eventFilter(QObject* watched, QEvent* event) {
  if (watched == bar_ && event->type() == QEvent::Resize) PlaceControlButtons();
  if (event->type() == QEvent::WindowTitleChange && qobject_cast<QMdiSubWindow*>(watched))
    RefreshCaption();
  return QObject::eventFilter(watched, event);
}

}  // namespace zelvar
