// The MDI frame, the pop-up notice and the side channel.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QTest>
#include <QToolButton>
#include <stdexcept>

#include "skin/Frmmsnpop.h"
#include "skin/Suibutton.h"
#include "skin/Suiform.h"
#include "skin/Suimainmenu.h"
#include "skin/Suimdiform.h"
#include "skin/Suisidechannel.h"
#include "skin/Suititlebar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_mdi_test {

void Click(QWidget* to, const QPoint& at) {
  QTest::mouseClick(to, Qt::LeftButton, Qt::NoModifier, at);
}

// ---- Cascade and tile ----

TEST(MdiArithmetic, CascadeAndTileTables) {
  struct Case {
    const char* what;
    std::vector<QRect> got;
    std::vector<QRect> want;
  };
  const Case cases[] = {
      {"cascade of three",
       CascadeBounds(3, QSize(500, 400)),
       {QRect(0, 0, 400, 240), QRect(22, 22, 400, 240), QRect(44, 44, 400, 240)}},
      {"cascade of none", CascadeBounds(0, QSize(500, 400)), {}},
      {"two rows in 400",
       TileBounds(2, QSize(300, 400), 0, false, TsuiTileMode::tbHorizontal),
       {QRect(0, 0, 296, 198), QRect(0, 198, 296, 198)}},
      {"rows under aligned controls and icons",
       TileBounds(3, QSize(300, 400), 50, true, TsuiTileMode::tbHorizontal),
       {QRect(0, 0, 296, 106), QRect(0, 106, 296, 106), QRect(0, 212, 296, 106)}},
      {"two columns",
       TileBounds(2, QSize(300, 400), 0, false, TsuiTileMode::tbVertical),
       {QRect(0, 0, 148, 396), QRect(148, 0, 148, 396)}},
      {"columns above icons",
       TileBounds(3, QSize(300, 400), 0, true, TsuiTileMode::tbVertical),
       {QRect(0, 0, 98, 371), QRect(98, 0, 98, 371), QRect(196, 0, 98, 371)}},
      // Nothing to tile divides nothing.
      {"no children", TileBounds(0, QSize(300, 400), 0, true, TsuiTileMode::tbHorizontal), {}},
  };
  for (const Case& c : cases) EXPECT_EQ(c.got, c.want) << c.what;
}

TEST(MdiArithmetic, MinimumWidthCutsTheTitleButtonStripIntoItsEighteenFrames) {
  // A strip of 18 frames 20 wide; four title buttons leave room for three more at 15 each.
  EXPECT_EQ(MdiMinimumWidth(30, 40, 360, false, 4), 30 + std::max(40, 20 + 45));
  EXPECT_EQ(MdiMinimumWidth(30, 90, 360, false, 4), 30 + 90);
  EXPECT_EQ(MdiMinimumWidth(30, 40, 360, true, 4), 30 + 40 + 20 + 45);
  EXPECT_EQ(MdiMinimumWidth(30, 40, 360, false, -1), 30 + std::max(40, 20 + 35));

  // The title bar cuts the same strip of a skin into 18 frames: one button's picture is the
  // frame width the minimum width counts.
  QWidget form;
  form.resize(400, 300);
  TsuiMDIForm mdi(&form);
  TsuiFileTheme theme(&form);
  theme.SetThemeFile("Slate.ssk");
  ASSERT_TRUE(theme.CanUse());
  SetFormUIStyle(&form, FromThemeFile, &theme);
  EXPECT_EQ(mdi.UIStyle(), FromThemeFile);
  const QImage* strip = theme.GetBitmap(SKIN2_TITLEBUTTONS);
  ASSERT_NE(strip, nullptr);
  const int frame = strip->width() / 18;
  for (const TsuiTitleBarButton& b : mdi.TitleBar()->Buttons())
    EXPECT_EQ(b.picNormal.width(), frame);
  const auto width = [&theme](Tsk2SkinBitmapElement e) { return theme.GetBitmap(e)->width(); };
  const int buttons = static_cast<int>(mdi.TitleBar()->Buttons().size());
  EXPECT_EQ(form.minimumWidth(),
            width(SKIN2_TITLEBAR1) + std::max(width(SKIN2_TITLEBAR3), frame + (buttons - 1) * 15));
}

// ---- The MDI frame ----

// A framed MDI form with a menu (File, Window) and three children.
struct MdiForm {
  MdiForm() {
    form.setWindowTitle("Zelvar");
    form.resize(600, 450);
    menu = new QMenuBar(&form);
    menu->addMenu("File")->addAction("Open");
    window = menu->addMenu("Window");
    window->addAction("Cascade");
    mdi = new TsuiMDIForm(&form);
    mdi->SetMenu(menu);
    mdi->SetWindowMenu(window);
    for (const char* name : {"Buffer", "Fuse map", "Log"}) {
      auto* child = new QWidget;
      child->setWindowTitle(name);
      children.append(mdi->AddChild(child));
      children.last()->resize(200, 150);
    }
    form.show();
    form.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    mdi->MdiArea()->setActiveSubWindow(children[2]);
    QApplication::processEvents();
  }
  QStringList WindowItemTexts() const {
    QStringList texts;
    for (const QAction* a : mdi->WindowItems()) texts << (a->isSeparator() ? "-" : a->text());
    return texts;
  }
  QStringList BarTexts() const {
    QStringList texts;
    for (const QAction* a : mdi->MenuBar()->actions()) texts << QString(a->text()).remove('&');
    return texts;
  }
  QWidget form;
  QMenuBar* menu;
  QMenu* window;
  TsuiMDIForm* mdi;
  QList<QMdiSubWindow*> children;
};

TEST(MdiFrame, OnlyAFormTakesTheFrame) {
  QWidget form;
  QWidget* panel = new QWidget(&form);
  try {
    TsuiMDIForm mdi(panel);
    FAIL() << "a panel took the frame";
  } catch (const std::invalid_argument& e) {
    EXPECT_STREQ(e.what(), "Sorry, TsuiMDIForm must be placed on a form");
  }
  EXPECT_TRUE(panel->findChildren<TsuiForm*>().isEmpty());
}

TEST(MdiFrame, CascadeAndTileSkipMinimisedChildren) {
  MdiForm f;
  f.children[1]->showMinimized();
  f.mdi->Cascade();
  const QSize client = f.mdi->MdiArea()->viewport()->size();
  const QList<QMdiSubWindow*> order = f.mdi->Children();
  QList<QRect> placed;
  for (QMdiSubWindow* c : order) {
    if (c != f.children[1]) placed << c->geometry();
  }
  ASSERT_EQ(placed.size(), 2);
  EXPECT_EQ(placed[0], QRect(0, 0, client.width() * 4 / 5, client.height() * 3 / 5));
  EXPECT_EQ(placed[1].topLeft(), QPoint(22, 22));
  EXPECT_TRUE(f.children[1]->isMinimized());

  f.mdi->Tile();
  const int row = (client.height() - 25) / 2 - 2;
  placed.clear();
  for (QMdiSubWindow* c : f.mdi->Children()) {
    if (c != f.children[1]) placed << c->geometry();
  }
  EXPECT_EQ(placed[0], QRect(0, 0, client.width() - 4, row));
  EXPECT_EQ(placed[1], QRect(0, row, client.width() - 4, row));
}

TEST(MdiFrame, ControlButtonsActOnTheActiveMaximisedChild) {
  MdiForm f;
  QMdiSubWindow* log = f.children[2];
  EXPECT_TRUE(f.mdi->CloseButton()->isHidden());
  log->showMaximized();
  QApplication::processEvents();
  ASSERT_EQ(f.mdi->ActiveChild(), log);
  for (auto* b : {f.mdi->CloseButton(), f.mdi->RestoreButton(), f.mdi->MinimiseButton()})
    EXPECT_TRUE(b->isVisibleTo(&f.form));
  EXPECT_EQ(f.mdi->ShownCaption(), "Zelvar - [Log]");
  // At the bar's right end, close rightmost, 18 pixels apart.
  const QWidget* bar = f.mdi->MenuBar();
  const QPoint close = f.mdi->CloseButton()->mapTo(bar, QPoint(0, 0));
  EXPECT_EQ(close.x(), bar->width() - 20);
  EXPECT_EQ(f.mdi->RestoreButton()->mapTo(bar, QPoint(0, 0)), close - QPoint(18, 0));
  EXPECT_EQ(f.mdi->MinimiseButton()->mapTo(bar, QPoint(0, 0)), close - QPoint(36, 0));
  // The child's own title bar gives way to the frame's.
  EXPECT_EQ(log->widget()->y(), 0);
  EXPECT_EQ(f.mdi->TitleBar()->Caption(), "Zelvar - [Log]");

  Click(f.mdi->RestoreButton(), QPoint(5, 5));
  EXPECT_FALSE(log->isMaximized());
  EXPECT_TRUE(f.mdi->CloseButton()->isHidden());
  EXPECT_EQ(f.mdi->TitleBar()->Caption(), "Zelvar");

  log->showMaximized();
  QApplication::processEvents();
  Click(f.mdi->MinimiseButton(), QPoint(5, 5));
  EXPECT_TRUE(log->isMinimized());
  // The other children were not touched.
  EXPECT_FALSE(f.children[0]->isMinimized());

  QMdiSubWindow* buffer = f.children[0];
  f.mdi->MdiArea()->setActiveSubWindow(buffer);
  buffer->showMaximized();
  QApplication::processEvents();
  Click(f.mdi->CloseButton(), QPoint(5, 5));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(f.mdi->Children().contains(buffer));
  EXPECT_EQ(f.mdi->Children().size(), 2);
}

// A child form with its own frame wears it: the sub-window draws no frame, the title bar moves,
// maximises, minimises and closes the sub-window, and a maximised child's title gives way.
TEST(MdiFrame, AFramedChildWearsItsOwnFrame) {
  MdiForm f;
  auto* child = new QWidget;
  child->setWindowTitle("Programmer");
  auto* frame = new TsuiForm(child);
  QMdiSubWindow* sub = f.mdi->AddChild(child);
  sub->setGeometry(10, 10, 240, 160);
  f.mdi->MdiArea()->setActiveSubWindow(sub);
  QApplication::processEvents();
  EXPECT_TRUE(sub->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_FALSE(f.children[0]->windowFlags() & Qt::FramelessWindowHint) << "a plain child";
  EXPECT_EQ(frame->SubWindow(), sub);
  EXPECT_EQ(child->geometry(), sub->rect()) << "no Qt frame around the form";
  TsuiTitleBar* bar = frame->TitleBar();
  ASSERT_TRUE(bar->isVisible());

  // A drag on the caption moves the sub-window inside the MDI area.
  const QPoint grab(60, bar->height() / 2);
  QTest::mousePress(bar, Qt::LeftButton, Qt::NoModifier, grab);
  QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(30, 20)),
                   QPointF(bar->mapToGlobal(grab + QPoint(30, 20))), Qt::NoButton, Qt::LeftButton,
                   Qt::NoModifier);
  QApplication::sendEvent(bar, &move);
  QTest::mouseRelease(bar, Qt::LeftButton, Qt::NoModifier, grab + QPoint(30, 20));
  EXPECT_EQ(sub->pos(), QPoint(40, 30));

  const auto button = [bar](TsuiTitleBarBtnType type) {
    for (std::size_t i = 0; i < bar->Buttons().size(); ++i) {
      if (bar->Buttons()[i].type == type) return static_cast<int>(i);
    }
    return -1;
  };
  bar->DoClick(button(suiMax));
  QApplication::processEvents();
  EXPECT_TRUE(sub->isMaximized());
  EXPECT_TRUE(frame->IsMaximized());
  EXPECT_FALSE(bar->isVisible()) << "the MDI frame's bar carries the caption";
  EXPECT_EQ(f.mdi->ShownCaption(), "Zelvar - [Programmer]");
  EXPECT_TRUE(f.mdi->CloseButton()->isVisibleTo(&f.form));
  Click(f.mdi->RestoreButton(), QPoint(5, 5));
  EXPECT_FALSE(sub->isMaximized());
  EXPECT_TRUE(bar->isVisible());
  bar->DoClick(button(suiMin));
  EXPECT_TRUE(sub->isMinimized());
  QApplication::processEvents();
  EXPECT_GT(sub->height(), 0) << "a minimised child keeps Qt's title strip";
  sub->showNormal();
  QApplication::processEvents();
  EXPECT_TRUE(sub->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_TRUE(bar->isVisible());
  bar->DoClick(button(suiClose));
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_FALSE(f.mdi->Children().contains(sub));
}

TEST(MdiFrame, WindowMenuListsTheChildrenAndBringsOneBack) {
  MdiForm f;
  EXPECT_EQ(f.BarTexts(), QStringList({"File", "Window"}));
  QStringList items = f.WindowItemTexts();
  ASSERT_EQ(items.size(), 4);
  EXPECT_EQ(items.takeFirst(), "-");
  items.sort();
  EXPECT_EQ(items, QStringList({"Buffer", "Fuse map", "Log"}));
  // The original items stay; the list follows them.
  EXPECT_EQ(f.window->actions().first()->text(), "Cascade");

  f.children[0]->showMinimized();
  f.children[1]->setWindowTitle("Fuses");
  emit f.window->aboutToShow();
  items = f.WindowItemTexts();
  ASSERT_TRUE(items.contains("Fuses"));
  EXPECT_EQ(f.window->actions().size(), 1 + items.size());
  QAction* buffer = f.mdi->WindowItems()[items.indexOf("Buffer")];
  buffer->trigger();
  QApplication::processEvents();
  EXPECT_FALSE(f.children[0]->isMinimized());
  EXPECT_EQ(f.mdi->ActiveChild(), f.children[0]);
}

TEST(MdiFrame, TheActiveChildsMenuTakesTheBar) {
  MdiForm f;
  auto* chip = new QWidget;
  chip->setWindowTitle("Chip");
  auto* own = new QMenuBar(chip);
  own->addMenu("Chip")->addAction("Read");
  QMdiSubWindow* sub = f.mdi->AddChild(chip);
  f.mdi->MdiArea()->setActiveSubWindow(sub);
  QApplication::processEvents();
  EXPECT_TRUE(own->isHidden());  // shown in the frame's bar instead
  EXPECT_EQ(f.BarTexts(), QStringList({"Chip"}));
  EXPECT_EQ(f.mdi->GetMainMenu(), own);

  f.mdi->SetTitleBarDrawChildMenus(false);
  EXPECT_EQ(f.BarTexts(), QStringList({"File", "Window"}));
  f.mdi->SetTitleBarDrawChildMenus(true);
  f.mdi->MdiArea()->setActiveSubWindow(f.children[0]);
  QApplication::processEvents();
  EXPECT_EQ(f.BarTexts(), QStringList({"File", "Window"}));
  EXPECT_TRUE(f.WindowItemTexts().contains("Chip"));

  // Without any menu the bar goes away.
  f.mdi->SetMenu(nullptr);
  EXPECT_EQ(f.mdi->Frame()->GetMenuBarHeight(), 0);
  EXPECT_EQ(f.mdi->GetTitleBarHeight(), f.mdi->Frame()->GetTitleBarHeight());
}

// ---- The notice ----

TEST(NoticeTiming, SlidesInStaysAndSlidesOut) {
  TsuiNoticeTiming t;  // 400 ms slides, 2000 ms stay
  struct Step {
    int64_t now;
    TsuiNoticeState state;
    double shown;
  };
  using S = TsuiNoticeState;
  t.Show(1000);
  const Step steps[] = {
      {1100, S::SlidingIn, 0.5},  {1400, S::Shown, 1.0},      {3399, S::Shown, 1.0},
      {3400, S::SlidingOut, 1.0}, {3600, S::SlidingOut, 0.5}, {3800, S::Hidden, 0.0},
  };
  for (const Step& s : steps) {
    t.Tick(s.now);
    EXPECT_EQ(t.State(), s.state) << s.now;
    // Half the slide time shows half the window.
    const int64_t probe = s.state == S::SlidingIn ? 1200 : s.now;
    EXPECT_DOUBLE_EQ(t.Shown(probe), s.shown) << s.now;
  }
  EXPECT_TRUE(t.TakeClosed());
  EXPECT_FALSE(t.TakeClosed());  // the close is reported once
}

TEST(NoticeTiming, ClockGoingBackEndsTheStayAndShowRestarts) {
  TsuiNoticeTiming t;
  t.SetAnimateTime(0);
  t.Show(5000);
  EXPECT_EQ(t.State(), TsuiNoticeState::Shown);
  t.Tick(4999);  // elapsed time below zero
  EXPECT_EQ(t.State(), TsuiNoticeState::Hidden);
  EXPECT_TRUE(t.TakeClosed());

  TsuiNoticeTiming again;
  again.Show(0);
  again.Tick(500);
  again.Show(600);  // a second Popup over a shown notice slides in again
  EXPECT_EQ(again.State(), TsuiNoticeState::SlidingIn);
  again.Hide(650, false);
  EXPECT_EQ(again.State(), TsuiNoticeState::Hidden);
}

// The component with a clock the test moves.
struct Notice {
  Notice() {
    pop.WorkArea = [] { return QRect(0, 0, 800, 600); };
    pop.Form()->Clock = [this] { return now; };
    pop.OnClose = [this](TsuiMSNPopForm* sender) {
      EXPECT_EQ(sender, &pop);
      ++closes;
    };
    pop.OnClick = [this](TsuiMSNPopForm*) { ++clicks; };
    pop.OnTitleClick = [this](TsuiMSNPopForm*) { ++titleClicks; };
    pop.Title = "Zelvar";
    pop.MessageText = "Programming done";
  }
  void Advance(int64_t ms) {
    now += ms;
    pop.Form()->Timer1Timer();
  }
  int64_t now = 10000;
  TsuiMSNPopForm pop;
  int closes = 0;
  int clicks = 0;
  int titleClicks = 0;
};

TEST(Notice, PopupPlacesShowsAndHidesOnItsOwn) {
  Notice n;
  int shows = 0;
  n.pop.OnShow = [&shows](TsuiMSNPopForm*) { ++shows; };
  n.pop.Popup();
  TfrmMSNPopForm* form = n.pop.Form();
  EXPECT_EQ(shows, 1);
  EXPECT_TRUE(form->isVisible());
  EXPECT_TRUE(form->windowFlags() & Qt::WindowStaysOnTopHint);
  EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
  EXPECT_EQ(form->size(), QSize(181, 116));
  EXPECT_EQ(form->pos(), QPoint(800 - 181 - 18, 600 - 116));
  EXPECT_EQ(form->Title(), "Zelvar");
  // Half way up, the lower half shows.
  n.Advance(200);
  EXPECT_EQ(form->mask().boundingRect(), QRect(0, 58, 181, 58));
  n.Advance(200);
  EXPECT_EQ(n.pop.Form()->Timing().State(), TsuiNoticeState::Shown);
  EXPECT_TRUE(form->mask().isEmpty());
  for (int i = 0; i < 19; ++i) n.Advance(100);  // checked every 100 ms for 2 s
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::Shown);
  n.Advance(100);
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::SlidingOut);
  EXPECT_EQ(n.closes, 0);
  n.Advance(400);
  EXPECT_FALSE(form->isVisible());
  EXPECT_FALSE(form->TimerActive());
  EXPECT_EQ(n.closes, 1);

  n.pop.AutoPosition = false;
  n.pop.PositionX = 33;
  n.pop.PositionY = 44;
  n.pop.Popup();
  EXPECT_EQ(form->pos(), QPoint(33, 44));
}

TEST(Notice, CloseBoxHidesAtOnceAndClickHideSlidesOut) {
  Notice n;
  n.pop.Popup();
  n.Advance(400);
  TfrmMSNPopForm* form = n.pop.Form();
  QTest::mousePress(form, Qt::LeftButton, Qt::NoModifier, QPoint(168, 12));
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::Hidden);  // no slide out
  EXPECT_FALSE(form->isVisible());
  EXPECT_EQ(n.closes, 1);

  // Without ClickHide a click only reports.
  n.pop.Popup();
  n.Advance(400);
  Click(form, QPoint(90, 80));
  Click(form, QPoint(40, 12));
  EXPECT_EQ(n.clicks, 1);
  EXPECT_EQ(n.titleClicks, 1);
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::Shown);

  n.pop.ClickHide = true;
  n.pop.Popup();
  n.Advance(400);
  Click(form, QPoint(90, 80));
  EXPECT_EQ(n.clicks, 2);
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::SlidingOut);
  n.Advance(400);
  EXPECT_EQ(n.closes, 2);

  // Close slides out as well.
  n.pop.Popup();
  n.Advance(400);
  n.pop.Close();
  EXPECT_EQ(form->Timing().State(), TsuiNoticeState::SlidingOut);
}

// ---- The side channel ----

// A shown window with a side channel on its left edge; the widths the channel passed through.
struct SideWindow : QObject {
  SideWindow() {
    window.resize(400, 300);
    side = new TsuiSideChannel(&window);
    side->SetWidth(200);
    window.show();
    window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    side->installEventFilter(this);
    side->CursorSource = [this] { return cursor; };
  }
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize) widths.push_back(side->width());
    return false;
  }
  QWidget window;
  TsuiSideChannel* side;
  std::vector<int> widths;
  QPoint cursor;
};

TEST(SideChannel, PopAndPushStepFifteenPixels) {
  SideWindow w;
  EXPECT_EQ(w.side->width(), 10);
  EXPECT_EQ(w.side->geometry(), QRect(0, 0, 10, 300));  // folded on the left edge
  EXPECT_FALSE(w.side->PinButton()->isVisibleTo(w.side));

  std::vector<int> up;
  for (int x = 25; x <= 190; x += 15) up.push_back(x);
  up.push_back(200);
  int pops = 0;
  w.side->OnPop = [&pops] { ++pops; };
  w.side->Pop(false);
  EXPECT_EQ(w.widths, up);
  EXPECT_TRUE(w.side->Popped());
  EXPECT_TRUE(w.side->CheckTimerActive());
  EXPECT_TRUE(w.side->PinButton()->isVisibleTo(w.side));
  EXPECT_EQ(pops, 1);

  std::vector<int> down;
  for (int x = 185; x >= 20; x -= 15) down.push_back(x);
  down.push_back(10);
  w.widths.clear();
  w.side->Push(false);
  EXPECT_EQ(w.widths, down);
  EXPECT_FALSE(w.side->Popped());
  EXPECT_FALSE(w.side->CheckTimerActive());

  // Quick moves jump; a right-docked channel keeps to the right edge.
  w.widths.clear();
  w.side->SetAlign(TsuiSideChannelAlign::suiRight);
  w.side->Pop(true);
  EXPECT_EQ(w.widths, std::vector<int>({200}));
  EXPECT_EQ(w.side->geometry(), QRect(200, 0, 200, 300));
  EXPECT_EQ(w.side->Width(), 200);
}

TEST(SideChannel, TimerFoldsOnlyOnceTheCursorIsOutsideAndUnpinned) {
  SideWindow w;
  w.side->SetQuickMove(true);
  w.side->Pop(true);
  const QPoint origin = w.side->mapToGlobal(QPoint(0, 0));
  w.cursor = origin + QPoint(100, 100);
  w.side->OnTimerCheck();
  EXPECT_TRUE(w.side->Popped());
  w.cursor = origin;  // on the edge is outside
  w.side->OnTimerCheck();
  EXPECT_FALSE(w.side->Popped());

  int pins = 0;
  int unpins = 0;
  w.side->OnPin = [&pins] { ++pins; };
  w.side->OnUnPin = [&unpins] { ++unpins; };
  w.side->Pop(true);
  Click(w.side->PinButton(), QPoint(5, 5));
  EXPECT_TRUE(w.side->StayOn());
  EXPECT_FALSE(w.side->CheckTimerActive());
  EXPECT_EQ(pins, 1);
  Click(w.side->PinButton(), QPoint(5, 5));
  EXPECT_FALSE(w.side->StayOn());
  EXPECT_TRUE(w.side->CheckTimerActive());
  EXPECT_EQ(unpins, 1);

  w.side->SetStayOn(false);
  EXPECT_FALSE(w.side->Popped());
  w.side->SetStayOn(true);
  EXPECT_TRUE(w.side->Popped());
  EXPECT_TRUE(w.side->PinButton()->isChecked());
  EXPECT_FALSE(w.side->CheckTimerActive());

  // Without its button the channel is held open.
  SideWindow hidden;
  hidden.side->SetShowButton(false);
  EXPECT_TRUE(hidden.side->Popped());
  EXPECT_TRUE(hidden.side->StayOn());
  EXPECT_EQ(hidden.side->PinButton()->y(), -50);
}

TEST(SideChannel, HoverOrClickOpensByPopupMode) {
  SideWindow w;
  w.side->SetQuickMove(true);
  w.side->SetPopupMode(TsuiSideChannelPopupMode::suiMouseClick);
  QMouseEvent move(QEvent::MouseMove, QPointF(5, 100), w.side->mapToGlobal(QPointF(5, 100)),
                   Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(w.side, &move);
  EXPECT_FALSE(w.side->Popped());
  Click(w.side, QPoint(5, 100));
  EXPECT_TRUE(w.side->Popped());

  w.side->Push(true);
  w.side->SetPopupMode(TsuiSideChannelPopupMode::suiMouseOn);
  QApplication::sendEvent(w.side, &move);
  ASSERT_TRUE(w.window.isActiveWindow());
  EXPECT_TRUE(w.side->Popped());
}

TEST(SideChannel, UserCannotDragAnOpenChannelBelowFifty) {
  SideWindow w;
  w.side->Pop(true);
  EXPECT_FALSE(w.side->CanResize(49));
  EXPECT_TRUE(w.side->CanResize(50));
  // Drag the free (right) edge far to the left: it stops at 50.
  const QPoint edge(198, 150);
  QTest::mousePress(w.side, Qt::LeftButton, Qt::NoModifier, edge);
  for (int dx : {-60, -140, -160}) {
    QMouseEvent move(QEvent::MouseMove, QPointF(edge + QPoint(dx, 0)),
                     w.side->mapToGlobal(QPointF(edge)) + QPointF(dx, 0), Qt::NoButton,
                     Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w.side, &move);
  }
  EXPECT_EQ(w.side->width(), 60);  // 40 was refused, the last width kept
  QTest::mouseRelease(w.side, Qt::LeftButton, Qt::NoModifier, edge);
  EXPECT_EQ(w.side->Width(), 60);  // the new opened width
  w.side->Push(true);
  EXPECT_TRUE(w.side->CanResize(10));  // folded, the pin is hidden
}

TEST(SideChannel, PaintsTheStyleAndLaysControlsBesideTheBar) {
  SideWindow w;
  SetFormUIStyle(&w.window, WinXP);
  w.side->Pop(true);
  EXPECT_EQ(w.side->SideBarColor(), GetInsideThemeQColor(WinXP, INSIDE_FORMCOLOR));
  const QImage image = w.side->grab().toImage();
  EXPECT_EQ(image.pixelColor(4, 295), w.side->SideBarColor());
  EXPECT_EQ(image.pixelColor(9, 295), QColor(0x80, 0x80, 0x80));
  EXPECT_EQ(image.pixelColor(100, 150), QColor(Qt::white));
  const int title = w.side->TitleBitmap().height();
  EXPECT_GT(title, 0);
  EXPECT_EQ(w.side->contentsMargins(), QMargins(13, title + 3, 3, 3));

  // A skin gives its own colours and pictures; the form's style reaches the channel.
  TsuiFileTheme theme(&w.window);
  theme.SetThemeFile("Amber.ssk");
  ASSERT_TRUE(theme.CanUse());
  SetFormUIStyle(&w.window, FromThemeFile, &theme);
  EXPECT_EQ(w.side->SideBarColor(), theme.GetQColor(SKIN2_FORMCOLOR));
  EXPECT_EQ(w.side->BorderColor(), theme.GetQColor(SKIN2_SIDECHANNELBORDERCOLOR));
  EXPECT_EQ(w.side->CaptionFontColor(), theme.GetQColor(SKIN2_CONTROLFONTCOLOR));
  EXPECT_EQ(w.side->HandleBitmap(), *theme.GetBitmap(SKIN2_SIDECHANNELBAR));
  EXPECT_EQ(w.side->TitleBitmap(), *theme.GetBitmap(SKIN2_SIDECHANNELTITLE));
  EXPECT_EQ(w.side->grab().toImage().pixelColor(4, 295), theme.GetQColor(SKIN2_FORMCOLOR));
}

}  // namespace skin_mdi_test
}  // namespace zelvar
