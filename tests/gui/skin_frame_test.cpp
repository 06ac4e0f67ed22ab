#include <gtest/gtest.h>

#include <QApplication>
#include <QFrame>
#include <QLabel>
#include <QLayout>
#include <QMainWindow>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QStyleOptionMenuItem>
#include <QTest>

#include "skin/Suibutton.h"
#include "skin/Suidlg.h"
#include "skin/Suiform.h"
#include "skin/Suiimagepanel.h"
#include "skin/Suimainmenu.h"
#include "skin/Suimenu.h"
#include "skin/Suipictures.h"
#include "skin/Suipopupmenu.h"
#include "skin/Suititlebar.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_frame_test {

// A plain window wearing a frame in one style.
struct FramedWindow {
  explicit FramedWindow(TsuiUIStyle style, QSize size = QSize(300, 200)) {
    window.resize(size);
    SetFormUIStyle(&window, style);
  }
  QImage Grab() { return window.grab().toImage(); }
  QWidget window;
  TsuiForm* frame = new TsuiForm(&window);
};

QColor Pixel(const QImage& image, int x, int y) {
  return image.pixelColor(x, y);
}

void Mouse(QWidget* to, QEvent::Type type, const QPoint& global, Qt::MouseButtons held) {
  QMouseEvent e(type, QPointF(to->mapFromGlobal(global)), QPointF(global),
                type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton, held, Qt::NoModifier);
  QApplication::sendEvent(to, &e);
}

TEST(FormFrame, CaptionGoesToTheTitleBarAndTheWindowTitle) {
  FramedWindow w(WinXP);
  w.frame->SetCaption("Write...");
  EXPECT_EQ(w.frame->GetCaption(), "Write...");
  EXPECT_EQ(w.frame->TitleBar()->Caption(), "Write...");
  EXPECT_EQ(w.window.windowTitle(), "Write...");
  EXPECT_TRUE(w.window.windowFlags() & Qt::FramelessWindowHint);
  // A frame takes the window's title as it was when the frame came.
  QWidget titled;
  titled.setWindowTitle("Settings");
  TsuiForm frame(&titled);
  EXPECT_EQ(frame.GetCaption(), "Settings");
}

// Runs no dialog: counts the error boxes and keeps their texts.
struct ErrorBoxes {
  ErrorBoxes() {
    saved = TsuiDialog::Runner();
    TsuiDialog::Runner() = [this](QDialog& form) {
      if (auto* msg = dynamic_cast<TfrmMsg*>(&form)) texts << msg->lbl->text();
      return 1;
    };
  }
  ~ErrorBoxes() { TsuiDialog::Runner() = saved; }
  QStringList texts;
  TsuiDialog::ModalRunner saved;
};

TEST(FormFrame, FormPanelFillsTheFrameAndRefusesTheFrameItself) {
  ErrorBoxes boxes;
  FramedWindow w(WinXP);
  auto* picture = new TsuiImagePanel(&w.window);
  picture->SetPanelCaption("Panel1");
  w.frame->SetPanel(picture);
  EXPECT_EQ(w.frame->FormPanel(), picture);
  EXPECT_EQ(picture->parentWidget(), w.frame);
  EXPECT_EQ(picture->PanelCaption(), "");
  w.window.show();
  w.frame->layout()->activate();
  EXPECT_EQ(picture->geometry(), w.frame->rect());
  w.frame->SetPanel(w.frame);
  EXPECT_EQ(boxes.texts,
            QStringList{"Sorry, you can't select the Form assign to FormPanel property"});
  EXPECT_EQ(w.frame->FormPanel(), picture) << "the old panel stays";
  auto* plain = new QFrame(&w.window);
  plain->setFrameShape(QFrame::Panel);
  w.frame->SetPanel(plain);
  EXPECT_EQ(plain->frameShape(), QFrame::NoFrame);
  delete plain;
  EXPECT_EQ(w.frame->FormPanel(), nullptr) << "a panel that goes is forgotten";
}

TEST(FormFrame, StyleGoesToTheControlsOnlyWithAutoUpdateSub) {
  FramedWindow w(DeepBlue);
  auto* beside = new TsuiButton(&w.window);
  auto* inside = new TsuiButton(w.frame);
  w.frame->SetUIStyle(MacOS);
  EXPECT_EQ(beside->UIStyle(), DeepBlue);
  EXPECT_EQ(inside->UIStyle(), DeepBlue);
  w.frame->SetUIStyleAutoUpdateSub(true);
  w.frame->SetUIStyle(WinXP);
  EXPECT_EQ(beside->UIStyle(), WinXP);
  EXPECT_EQ(inside->UIStyle(), WinXP);
  EXPECT_EQ(w.frame->TitleBar()->UIStyle(), WinXP);
}

TEST(FormFrame, InactiveCaptionColourAndReAssign) {
  FramedWindow w(WinXP);
  w.frame->SetInactiveCaptionColor(QColor(1, 2, 3));
  EXPECT_EQ(w.frame->TitleBar()->InactiveCaptionColor(), QColor(1, 2, 3));
  EXPECT_EQ(w.frame->InactiveCaptionColor(), QColor(1, 2, 3));
  // Something gave the window its system frame back: ReAssign takes it away again.
  w.window.setWindowFlags(w.window.windowFlags() & ~Qt::FramelessWindowHint);
  w.frame->ReAssign();
  EXPECT_TRUE(w.window.windowFlags() & Qt::FramelessWindowHint);
}

TEST(TitleBar, OneClientSectionOneControlBoxAndAutoSize) {
  ErrorBoxes boxes;
  FramedWindow w(WinXP);
  TsuiTitleBar* bar = w.frame->TitleBar();
  ASSERT_EQ(bar->Sections().size(), 3u);
  ASSERT_EQ(bar->Sections()[2].align, suiClient);
  EXPECT_FALSE(bar->SetSectionAlign(0, suiClient));
  EXPECT_EQ(bar->Sections()[0].align, suiLeft);
  EXPECT_FALSE(bar->SetSectionAlign(2, suiClient)) << "this one already has it";
  EXPECT_TRUE(bar->SetSectionAlign(2, suiRight));
  EXPECT_TRUE(bar->SetSectionAlign(0, suiClient));
  EXPECT_TRUE(bar->Sections()[0].stretch);
  bar->Buttons()[0].type = suiControlBox;
  EXPECT_FALSE(bar->SetButtonType(1, suiControlBox));
  EXPECT_NE(bar->Buttons()[1].type, suiControlBox);
  EXPECT_EQ(boxes.texts,
            QStringList({"Sorry, only one section's Align property can be \"suiClient\"",
                         "Sorry, only one section's Align property can be \"suiClient\"",
                         "Sorry, only one button's ButtonType property can be \"suiControlBox\""}));
  EXPECT_TRUE(bar->AutoSize());
  EXPECT_EQ(bar->height(), bar->Sections()[0].picture.height());
  bar->Sections().clear();
  bar->SetAutoSize(true);
  EXPECT_FALSE(bar->AutoSize()) << "no section to size by";
}

TEST(FormFrame, WinXPStripAndTitleBar) {
  FramedWindow w(WinXP);
  w.frame->SetCaption("Zelvar");
  const QImage image = w.Grab();
  const QColor border(0, 44, 200);
  const int title = w.frame->GetTitleBarHeight();
  EXPECT_EQ(title, LoadResourceBitmap("WINXP_TITLE_LEFT").height());
  EXPECT_EQ(w.window.contentsMargins(), QMargins(3, title, 3, 3));
  // A 3-pixel border all round the client, over the title's ends too.
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(Pixel(image, i, 100), border) << i;
    EXPECT_EQ(Pixel(image, 299 - i, 100), border) << i;
    EXPECT_EQ(Pixel(image, 150, 199 - i), border) << i;
    EXPECT_EQ(Pixel(image, i, title / 2), border) << i;
  }
  // The title's middle is its client picture stretched across.
  const QImage client = LoadResourceBitmap("WINXP_TITLE_CLIENT");
  EXPECT_EQ(Pixel(image, 150, title - 1), client.pixelColor(0, title - 1));
  // The close button stands rightmost in its normal picture; the caption is white.
  const TitleButtonLayout layout = w.frame->TitleBar()->ButtonLayout();
  QImage close;
  GetInsideThemeBitmap(WinXP, INSIDE_TITLEBTN, &close, 18, 16);
  const QRect r = layout.rects[1];
  ASSERT_FALSE(r.isNull());
  EXPECT_EQ(Pixel(image, r.x() + 2, r.y() + 5), close.pixelColor(2, 5));
  EXPECT_LT(r.right(), 297);
  int white = 0;
  for (int x = layout.captionLeft; x < layout.captionLeft + 40; ++x) {
    for (int y = 0; y < title; ++y) white += Pixel(image, x, y) == QColor(Qt::white);
  }
  EXPECT_GT(white, 10);
}

TEST(FormFrame, MacOSStripWithInnerRowsAndHiddenTitle) {
  FramedWindow w(MacOS);
  const QImage image = w.Grab();
  const QColor border(127, 127, 127);
  const QColor form(231, 231, 231);
  const int title = w.frame->GetTitleBarHeight();
  EXPECT_EQ(w.window.contentsMargins(), QMargins(3, title, 3, 2));
  // One pixel of border, then the form colour in the rest of the strip.
  EXPECT_EQ(Pixel(image, 0, 100), border);
  EXPECT_EQ(Pixel(image, 1, 100), form);
  EXPECT_EQ(Pixel(image, 2, 100), form);
  EXPECT_EQ(Pixel(image, 298, 100), form);
  EXPECT_EQ(Pixel(image, 299, 100), border);
  EXPECT_EQ(Pixel(image, 150, 199), border);
  EXPECT_EQ(Pixel(image, 150, 198), form);
  EXPECT_TRUE(w.window.mask().isEmpty()) << "MacOS has square corners";
  // The title: its client picture across the middle, the close light rightmost, a black caption.
  const QImage client = LoadResourceBitmap("MACOS_TITLE_CLIENT");
  EXPECT_EQ(Pixel(image, 150, title - 1), client.pixelColor(0, title - 1));
  EXPECT_EQ(Pixel(image, 0, title / 2), border) << "the border runs beside the title";
  const TitleButtonLayout layout = w.frame->TitleBar()->ButtonLayout();
  QImage close;
  GetInsideThemeBitmap(MacOS, INSIDE_TITLEBTN, &close, 18, 16);
  const QPoint centre = layout.rects[1].center() - layout.rects[1].topLeft();
  EXPECT_EQ(Pixel(image, layout.rects[1].center().x(), layout.rects[1].center().y()),
            close.pixelColor(centre));
  w.frame->SetCaption("Settings");
  const QImage captioned = w.Grab();
  int black = 0;
  for (int x = layout.captionLeft; x < layout.captionLeft + 40; ++x) {
    for (int y = 0; y < title; ++y) black += Pixel(captioned, x, y) == QColor(Qt::black);
  }
  EXPECT_GT(black, 10);

  // Without its title bar the window shows a border line over two rows of form colour.
  w.frame->SetTitleBarVisible(false);
  EXPECT_EQ(w.frame->GetTitleBarHeight(), 0);
  EXPECT_EQ(w.frame->RoundCorner(), 0);
  EXPECT_EQ(w.window.contentsMargins().top(), 3);
  const QImage bare = w.Grab();
  EXPECT_EQ(Pixel(bare, 150, 0), border);
  EXPECT_EQ(Pixel(bare, 150, 1), form);
  EXPECT_EQ(Pixel(bare, 150, 2), form);
}

TEST(FormFrame, RoundCornersOfRadius13) {
  const QRegion region = RoundWindowRegion(300, 200, 13, 0);
  struct Case {
    QPoint at;
    bool inside;
  };
  const Case cases[] = {
      {{0, 0}, false},  {{299, 0}, false}, {{3, 0}, false},    {{0, 3}, false},
      {{6, 0}, true},   {{0, 6}, true},    {{293, 0}, true},   {{3, 3}, true},
      {{150, 0}, true}, {{0, 199}, true},  {{299, 199}, true}, {{0, 100}, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(region.contains(c.at), c.inside) << c.at.x() << "," << c.at.y();
  const QRegion both = RoundWindowRegion(300, 200, 13, 13);
  EXPECT_FALSE(both.contains(QPoint(0, 199)));
  EXPECT_FALSE(both.contains(QPoint(299, 199)));
  EXPECT_TRUE(both.contains(QPoint(0, 100)));
  EXPECT_EQ(RoundWindowRegion(300, 200, 0, -1), QRegion(0, 0, 300, 200));

  // WinXP cuts its window so; the region follows a resize.
  FramedWindow w(WinXP);
  w.window.show();
  EXPECT_EQ(w.window.mask(), RoundWindowRegion(300, 200, 13, 0));
  w.window.resize(320, 240);
  EXPECT_EQ(w.window.mask(), RoundWindowRegion(320, 240, 13, 0));
}

TEST(FormFrame, MaximiseCoversTheWorkAreaAndRestoreComesBack) {
  EXPECT_EQ(MaximisedBounds(QRect(0, 0, 1024, 768)), QRect(-2, -2, 1028, 769));
  EXPECT_EQ(MaximisedBounds(QRect(100, 30, 800, 600)), QRect(QPoint(98, 28), QPoint(901, 628)));

  FramedWindow w(WinXP);
  w.window.setGeometry(50, 60, 300, 200);
  TsuiTitleBar* bar = w.frame->TitleBar();
  const auto maxPicture = [bar] {
    for (const TsuiTitleBarButton& b : bar->Buttons()) {
      if (b.type == suiMax) return b.picNormal;
    }
    return QImage();
  };
  QImage maximise, restore;
  GetInsideThemeBitmap(WinXP, INSIDE_TITLEBTN, &maximise, 18, 7);
  GetInsideThemeBitmap(WinXP, INSIDE_TITLEBTN, &restore, 18, 10);
  EXPECT_EQ(maxPicture(), maximise);

  // A double-click on the caption maximises; the maximise button then shows restore.
  const TitleButtonLayout layout = bar->ButtonLayout();
  QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(layout.captionLeft + 40, 10));
  EXPECT_TRUE(w.frame->IsMaximized());
  EXPECT_EQ(w.window.geometry(), MaximisedBounds(w.window.screen()->availableGeometry()));
  EXPECT_EQ(maxPicture(), restore);
  // The maximise button restores the bounds from before.
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ButtonLayout().rects[2].center());
  EXPECT_FALSE(w.frame->IsMaximized());
  EXPECT_EQ(w.window.geometry(), QRect(50, 60, 300, 200));
  EXPECT_EQ(maxPicture(), maximise);
}

TEST(FormFrame, EdgesAndResizedBounds) {
  const QSize size(300, 200);
  EXPECT_EQ(EdgesAt(size, QPoint(1, 100), 4), Qt::LeftEdge);
  EXPECT_EQ(EdgesAt(size, QPoint(297, 198), 4), Qt::RightEdge | Qt::BottomEdge);
  EXPECT_EQ(EdgesAt(size, QPoint(150, 100), 4), Qt::Edges());
  EXPECT_EQ(EdgesAt(size, QPoint(300, 100), 4), Qt::Edges()) << "outside the window";
  const QRect start(100, 100, 300, 200);
  const QSize minimum(150, 50);
  EXPECT_EQ(ResizedBounds(start, Qt::RightEdge | Qt::BottomEdge, QPoint(20, 10), minimum),
            QRect(100, 100, 320, 210));
  EXPECT_EQ(ResizedBounds(start, Qt::LeftEdge, QPoint(-30, 99), minimum), QRect(70, 100, 330, 200));
  EXPECT_EQ(ResizedBounds(start, Qt::LeftEdge | Qt::TopEdge, QPoint(250, 250), minimum),
            QRect(250, 250, 150, 50))
      << "never below the minimum, the far edges staying";

  // A drag on the right edge widens the window (by hand where the platform cannot).
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "the platform resizes";
  FramedWindow w(WinXP);
  w.window.setGeometry(start);
  w.window.show();
  QWidget* grip = w.window.childAt(299, 100);
  ASSERT_NE(grip, nullptr);
  const QPoint from = w.window.mapToGlobal(QPoint(299, 100));
  Mouse(grip, QEvent::MouseButtonPress, from, Qt::LeftButton);
  Mouse(&w.window, QEvent::MouseMove, from + QPoint(40, 0), Qt::LeftButton);
  Mouse(&w.window, QEvent::MouseButtonRelease, from + QPoint(40, 0), Qt::NoButton);
  EXPECT_EQ(w.window.geometry(), QRect(100, 100, 340, 200));
  // A fixed-size window does not resize.
  w.window.setFixedSize(340, 200);
  const QPoint edge = w.window.mapToGlobal(QPoint(339, 100));
  QWidget* at = w.window.childAt(339, 100);
  Mouse(at, QEvent::MouseButtonPress, edge, Qt::LeftButton);
  Mouse(&w.window, QEvent::MouseMove, edge + QPoint(40, 0), Qt::LeftButton);
  Mouse(&w.window, QEvent::MouseButtonRelease, edge + QPoint(40, 0), Qt::NoButton);
  EXPECT_EQ(w.window.geometry(), QRect(100, 100, 340, 200));
}

TEST(TitleBar, ButtonOrderFromTheRightAndTheCaptionBetween) {
  auto button = [](TsuiTitleBarBtnType type, int width = 21) {
    TsuiTitleBarButton b;
    b.type = type;
    b.picNormal = b.picMouseOn = b.picMouseDown = QImage(width, width, QImage::Format_RGB32);
    return b;
  };
  std::vector<TsuiTitleBarButton> buttons = {button(suiControlBox), button(suiClose),
                                             button(suiMax), button(suiMin)};
  TitleButtonMetrics m;
  m.width = 294;
  m.leftBtnXOffset = 2;
  m.rightBtnXOffset = -2;
  m.frameAnswer = 2;
  m.rowY = 2;
  m.controlBoxY = 2;
  TitleButtonLayout l = LayoutTitleButtons(buttons, m);
  // The close button is kept 1 pixel inside the right edge; the others follow leftwards.
  EXPECT_EQ(l.rects[1], QRect(272, 2, 21, 21));
  EXPECT_EQ(l.rects[2], QRect(250, 2, 21, 21));
  EXPECT_EQ(l.rects[3], QRect(228, 2, 21, 21));
  EXPECT_EQ(l.controlBox, 0);
  EXPECT_EQ(l.icon, QRect(3, 2, 16, 16));
  EXPECT_EQ(l.captionLeft, 21);
  EXPECT_EQ(l.captionRight, 228);

  // A hidden button leaves no gap; an interval widens the gaps; the control box drawn as a
  // button moves the caption by its width + 5.
  buttons[2].visible = false;
  m.buttonInterval = 3;
  m.drawAppIcon = false;
  l = LayoutTitleButtons(buttons, m);
  EXPECT_TRUE(l.rects[2].isNull());
  EXPECT_EQ(l.rects[3], QRect(247, 2, 21, 21));
  EXPECT_EQ(l.rects[0], QRect(0, 1, 21, 21));
  EXPECT_EQ(l.captionLeft, 26);
  // Without a control box the caption starts 6 pixels in.
  buttons.erase(buttons.begin());
  EXPECT_EQ(LayoutTitleButtons(buttons, m).captionLeft, 6);
}

TEST(TitleBar, CaptionShortening) {
  const QFontMetrics fm(QFont("Sans", 10));
  const QString caption = "C:/work/projects/a-rather-long-file-name.hex";
  EXPECT_EQ(ShortenCaption(fm, caption, fm.horizontalAdvance(caption)), caption);
  EXPECT_EQ(ShortenCaption(fm, "", 0), "");
  const int room = fm.horizontalAdvance(caption) / 2;
  const QString cut = ShortenCaption(fm, caption, room);
  EXPECT_TRUE(cut.endsWith("...")) << cut.toStdString();
  EXPECT_TRUE(caption.startsWith(cut.chopped(3)));
  EXPECT_LE(fm.horizontalAdvance(cut), room);
  EXPECT_GT(fm.horizontalAdvance(cut + caption[cut.size() - 3]), room);
  EXPECT_EQ(ShortenCaption(fm, caption, 2), "...") << "nothing fits: only the dots";

  // The title bar cuts its caption to the room between the icon and the buttons.
  FramedWindow w(WinXP, QSize(200, 120));
  w.frame->SetCaption(caption.toStdString());
  EXPECT_TRUE(w.frame->TitleBar()->ShownCaption().endsWith("..."));
  EXPECT_EQ(w.frame->GetCaption(), caption.toStdString()) << "the caption itself stays whole";
}

// Dragging the caption moves the window (by hand where the platform cannot move it); a press on
// a button or on a maximised window's caption moves nothing.
TEST(TitleBar, DraggingTheCaption) {
  if (QGuiApplication::platformName() != "offscreen") GTEST_SKIP() << "the platform moves windows";
  FramedWindow w(WinXP);
  w.window.setGeometry(100, 100, 300, 200);
  w.window.show();
  TsuiTitleBar* bar = w.frame->TitleBar();
  const QPoint caption(bar->ButtonLayout().captionLeft + 30, 12);
  const auto drag = [&](const QPoint& from) {
    const QPoint global = bar->mapToGlobal(from);
    Mouse(bar, QEvent::MouseButtonPress, global, Qt::LeftButton);
    for (int step = 1; step <= 3; ++step) {
      Mouse(bar, QEvent::MouseMove, global + QPoint(10, 6) * step, Qt::LeftButton);
    }
    Mouse(bar, QEvent::MouseButtonRelease, global + QPoint(30, 18), Qt::NoButton);
  };
  const QPoint start = w.window.pos();
  drag(bar->ButtonLayout().rects[1].center() + QPoint(0, 0));
  EXPECT_EQ(w.window.pos(), start);
  EXPECT_TRUE(w.window.isVisible()) << "the release left the close button: no click";
  drag(caption);
  EXPECT_EQ(w.window.pos(), start + QPoint(30, 18));
  w.frame->ToggleMaximized();
  const QPoint maximised = w.window.pos();
  drag(caption);
  EXPECT_EQ(w.window.pos(), maximised);
}

TEST(TitleBar, AFixedSizeWindowHasNoMaximiseButton) {
  FramedWindow w(WinXP);
  w.window.setFixedSize(300, 200);
  w.window.show();
  TsuiTitleBar* bar = w.frame->TitleBar();
  EXPECT_TRUE(bar->ButtonLayout().rects[2].isNull());
  QTest::mouseDClick(bar, Qt::LeftButton, {}, QPoint(bar->ButtonLayout().captionLeft + 40, 10));
  EXPECT_FALSE(w.frame->IsMaximized());
  EXPECT_EQ(w.window.size(), QSize(300, 200));
}

TEST(TitleBar, ButtonsAndSystemMenu) {
  FramedWindow w(WinXP);
  w.window.show();
  TsuiTitleBar* bar = w.frame->TitleBar();
  // The system menu offers only what the visible buttons do.
  TsuiTitleBarPopupMenu* menu = bar->SystemMenu();
  ASSERT_EQ(menu->actions().size(), 4);
  EXPECT_EQ(menu->actions()[0]->text(), "Mi&nimize");
  EXPECT_TRUE(menu->actions()[2]->isSeparator());
  bar->Buttons()[3].visible = false;  // minimise
  menu->Popup(QPoint(0, 0));
  EXPECT_FALSE(menu->actions()[0]->isEnabled());
  EXPECT_TRUE(menu->actions()[1]->isEnabled());
  EXPECT_TRUE(menu->actions()[3]->isEnabled());
  menu->hide();
  // Its maximise item maximises; the close button closes the window.
  menu->actions()[1]->trigger();
  EXPECT_TRUE(w.frame->IsMaximized());
  menu->actions()[1]->trigger();
  EXPECT_FALSE(w.frame->IsMaximized());
  QTest::mouseClick(bar, Qt::LeftButton, {}, bar->ButtonLayout().rects[1].center());
  EXPECT_FALSE(w.window.isVisible());
}

// Alt+Space and a click on the control box open the system menu below the title's left end; a
// double-click on the control box closes the window.
TEST(TitleBar, SystemMenuFromTheKeyboardAndTheControlBox) {
  FramedWindow w(WinXP);
  w.window.setGeometry(80, 90, 300, 200);
  w.window.show();
  w.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&w.window));
  TsuiTitleBar* bar = w.frame->TitleBar();
  TsuiTitleBarPopupMenu* menu = bar->SystemMenu();
  QTest::keyClick(&w.window, Qt::Key_Space, Qt::AltModifier);
  EXPECT_TRUE(menu->isVisible());
  EXPECT_EQ(menu->pos(), w.window.mapToGlobal(QPoint(0, w.frame->GetTitleBarHeight())));
  menu->hide();
  const QRect box = bar->ButtonLayout().rects[0];
  ASSERT_FALSE(box.isNull());
  QTest::mouseClick(bar, Qt::LeftButton, {}, box.center());
  EXPECT_TRUE(menu->isVisible());
  menu->hide();
  QTest::mouseDClick(bar, Qt::LeftButton, {}, box.center());
  EXPECT_FALSE(w.window.isVisible());
}

TEST(OwnerDrawnMenu, StyleLooksAndMeasures) {
  const TsuiMenuLook xp = MenuLookFor(WinXP, nullptr, {});
  EXPECT_EQ(xp.barWidth, 26);
  EXPECT_EQ(xp.menuItemHeight, 21);
  EXPECT_EQ(xp.separatorHeight, 5);
  EXPECT_EQ(xp.selectedColor, QColor(198, 211, 239));
  const TsuiMenuLook mac = MenuLookFor(MacOS, nullptr, {});
  EXPECT_EQ(mac.menuItemHeight, 20);
  EXPECT_EQ(mac.separatorHeight, 12);

  const QFontMetrics fm(QFont("Sans", 9));
  TsuiMenuItemState item;
  item.caption = "&Open";
  item.shortcut = "Ctrl+O";
  EXPECT_EQ(MeasureMenuItem(fm, xp, item),
            QSize(fm.horizontalAdvance("Open") + fm.horizontalAdvance("Ctrl+O") + 66,
                  std::max(fm.height(), 21)));
  item.separator = true;
  EXPECT_EQ(MeasureMenuItem(fm, xp, item).height(), 5);
  EXPECT_EQ(MeasureMenuItem(fm, mac, item).height(), 12);

  // A MacOS popup menu keeps its heights; a main menu takes a new item height.
  QWidget owner;
  TsuiPopupMenu popup(&owner);
  popup.SetUIStyle(MacOS);
  popup.SetMenuItemHeight(30);
  popup.SetSeparatorHeight(30);
  EXPECT_EQ(popup.Look().menuItemHeight, 20);
  EXPECT_EQ(popup.Look().separatorHeight, 12);
  TsuiMainMenu main(&owner);
  main.SetUIStyle(MacOS);
  main.SetMenuItemHeight(30);
  EXPECT_EQ(main.Look().menuItemHeight, 30);
}

// One menu item drawn through the proxy style, as a menu draws it.
class MenuItemPaint : public ::testing::Test {
 protected:
  QImage Draw(QStyleOptionMenuItem::MenuItemType type, bool selected, bool enabled, bool checked,
              const QIcon& icon = QIcon()) {
    QStyleOptionMenuItem option;
    option.rect = QRect(0, 0, 160, 21);
    option.menuItemType = type;
    option.text = "&Verify\tCtrl+V";
    option.state = QStyle::State_None;
    if (selected) option.state |= QStyle::State_Selected;
    if (enabled) option.state |= QStyle::State_Enabled;
    option.checkType = QStyleOptionMenuItem::NonExclusive;
    option.checked = checked;
    option.icon = icon;
    QImage image(160, 21, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    style.drawControl(QStyle::CE_MenuItem, &option, &painter, nullptr);
    return image;
  }
  int Count(const QImage& image, const QRect& area, const QColor& colour) {
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) n += image.pixelColor(x, y) == colour;
    }
    return n;
  }

  void SetUp() override {
    style.uiStyle = WinXP;
    style.look = MenuLookFor(WinXP, nullptr, {});
    look = style.look;
    QSize separator = style.sizeFromContents(QStyle::CT_MenuItem, &SeparatorOption(), {}, nullptr);
    EXPECT_EQ(separator.height(), 5);
  }
  static const QStyleOptionMenuItem& SeparatorOption() {
    static QStyleOptionMenuItem option = [] {
      QStyleOptionMenuItem o;
      o.menuItemType = QStyleOptionMenuItem::Separator;
      return o;
    }();
    return option;
  }

  TsuiMenuStyle style{nullptr};
  TsuiMenuLook look;
};

TEST_F(MenuItemPaint, SeparatorSelectedDisabledAndChecked) {
  const QRect text(30, 0, 130, 21);
  // Separator: side bar, item colour, one line 2 pixels down from bar + 4; no text.
  QImage image = Draw(QStyleOptionMenuItem::Separator, false, true, false);
  EXPECT_EQ(image.pixelColor(10, 10), look.barColor);
  EXPECT_EQ(image.pixelColor(40, 2), look.separatorColor);
  EXPECT_EQ(image.pixelColor(29, 2), look.color);
  EXPECT_EQ(image.pixelColor(40, 3), look.color);
  EXPECT_EQ(Count(image, text, look.fontColor), 0);

  // Selected: filled and framed across the whole item, text in the selected font colour.
  image = Draw(QStyleOptionMenuItem::Normal, true, true, false);
  EXPECT_EQ(image.pixelColor(0, 0), look.selectedBorderColor);
  EXPECT_EQ(image.pixelColor(10, 10), look.selectedColor);
  EXPECT_GT(Count(image, text, look.selectedFontColor), 5);

  // Disabled and selected: drawn as not selected, in grey.
  image = Draw(QStyleOptionMenuItem::Normal, true, false, false);
  EXPECT_EQ(image.pixelColor(10, 10), look.barColor);
  EXPECT_EQ(image.pixelColor(150, 2), look.color);
  EXPECT_GT(Count(image, text, QColor(128, 128, 128)), 5);
  EXPECT_EQ(Count(image, image.rect(), look.selectedColor), 0);

  // Checked: the check mark at (4, 3); with an item picture, a black-framed box behind it.
  const QRect mark(4, 3, 16, 16);
  EXPECT_EQ(Count(Draw(QStyleOptionMenuItem::Normal, false, true, false), mark, Qt::black), 0);
  EXPECT_GT(Count(Draw(QStyleOptionMenuItem::Normal, false, true, true), mark, Qt::black), 5);
  QPixmap picture(16, 16);
  picture.fill(Qt::green);
  image = Draw(QStyleOptionMenuItem::Normal, false, true, true, QIcon(picture));
  EXPECT_EQ(image.pixelColor(2, 1), QColor(Qt::black));
  EXPECT_EQ(image.pixelColor(3, 2), look.selectedColor);
  EXPECT_EQ(image.pixelColor(10, 10), QColor(Qt::green));
}

// The bar's buttons: highlighted ones filled and framed in the style's selection colours, others
// on the bar's background, a disabled one in grey.
TEST(MenuBar, ButtonsAndBackground) {
  const QRect bar(0, 0, 120, 21);
  const QRect button(10, 0, 40, 21);
  const auto draw = [&](TsuiUIStyle style, TsuiMenuBarLook look, bool hot, bool enabled) {
    QImage image(120, 21, QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    DrawMenuBarBackground(painter, bar, bar, style, look);
    DrawMenuBarButton(painter, bar, button, style, look, "&Run", hot, enabled);
    return image;
  };
  const auto colours = [](QColor from, QColor to) {
    TsuiMenuBarLook look;
    look.from = from;
    look.to = to;
    return look;
  };
  const QColor face(239, 235, 222);
  QImage image = draw(WinXP, colours(face, face), true, true);
  EXPECT_EQ(image.pixelColor(10, 0), QColor(49, 105, 198));
  EXPECT_EQ(image.pixelColor(12, 3), QColor(198, 211, 239));
  EXPECT_EQ(image.pixelColor(100, 10), face) << "equal colours: a plain fill";
  image = draw(WinXP, colours(face, face), false, false);
  EXPECT_EQ(image.pixelColor(12, 3), face);
  int grey = 0;
  for (int x = 10; x < 50; ++x) {
    for (int y = 0; y < 21; ++y) grey += image.pixelColor(x, y) == QColor(128, 128, 128);
  }
  EXPECT_GT(grey, 5);
  image = draw(DeepBlue, colours(Qt::white, Qt::black), false, true);
  EXPECT_EQ(image.pixelColor(100, 0), QColor(Qt::white)) << "rows from one colour to the other";
  EXPECT_EQ(image.pixelColor(100, 20), QColor(Qt::black));
  // MacOS lays its bar and selection pictures.
  image = draw(MacOS, colours(face, face), true, true);
  EXPECT_EQ(image.pixelColor(100, 0), LoadResourceBitmap("MACOS_MENU_BAR").pixelColor(0, 0));
  EXPECT_EQ(image.pixelColor(12, 0), LoadResourceBitmap("MACOS_MENU_SELECT").pixelColor(0, 0));
}

TEST(MenuBar, AutomaticAcceleratorLetters) {
  EXPECT_EQ(AutoHotkeys({"File", "Edit", "Run", "Display", "Tools", "Help"}),
            (QStringList{"&File", "&Edit", "&Run", "&Display", "&Tools", "&Help"}));
  // A letter taken goes to the next free one; one given by hand is kept; no letter, no key.
  EXPECT_EQ(
      AutoHotkeys({"File", "Format", "&Open", "Options", QString::fromUtf8("文件"), "&&Save"}),
      (QStringList{"&File", "Fo&rmat", "&Open", "O&ptions", QString::fromUtf8("文件"), "&&&Save"}));
}

TEST(MenuBar, SitsBelowTheTitleAndOpensMenusByAccelerator) {
  QMainWindow window;
  auto* menu = new TsuiMainMenu(&window);
  window.setMenuBar(menu);
  QMenu* file = menu->addMenu("File");
  file->addAction("Open");
  QMenu* edit = menu->addMenu("Edit");
  edit->addAction("Fill");
  auto* frame = new TsuiForm(&window);
  frame->SetMenu(menu);
  frame->SetMenuBarHeight(21);
  SetFormUIStyle(&window, WinXP);
  window.resize(400, 300);
  window.show();
  window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
  EXPECT_EQ(file->title(), "&File");
  EXPECT_EQ(menu->geometry(), QRect(3, frame->GetTitleBarHeight(), 394, 21));
  EXPECT_EQ(frame->GetMenuBarHeight(), 21);
  EXPECT_EQ(file->style(), menu->MenuStyle()) << "drop-downs are owner-drawn";

  // A letter without Alt opens nothing; Alt and the letter drop its menu down.
  QTest::keyClick(&window, Qt::Key_E);
  EXPECT_FALSE(edit->isVisible());
  QTest::keyClick(&window, Qt::Key_E, Qt::AltModifier);
  EXPECT_TRUE(edit->isVisible());
  EXPECT_FALSE(file->isVisible());
  edit->hide();

  // Without a menu there is no menu bar.
  frame->SetMenu(nullptr);
  EXPECT_EQ(frame->GetMenuBarHeight(), 0);
}

// A skin's borders: side pictures stretched down the sides, the lower border built from three
// pictures, the window cut to the see-through corners of the title and lower border; a skin
// without a shape keeps the whole rectangle and fills the strip beside narrow side pictures.
TEST(FormFrame, SkinBordersAndWindowShape) {
  QWidget window;
  window.resize(300, 200);
  auto* frame = new TsuiForm(&window);
  frame->SetCaption("Amber");
  auto* amber = new TsuiFileTheme(&window);
  amber->SetThemeFile("Amber.ssk");
  SetFormUIStyle(&window, FromThemeFile, amber);
  frame->SetFileTheme(amber);
  frame->SetUIStyle(FromThemeFile);
  const QImage left = *amber->GetBitmap(SKIN2_FORMLEFTBORDER);
  const QImage right = *amber->GetBitmap(SKIN2_FORMRIGHTBORDER);
  const QImage middle = *amber->GetBitmap(SKIN2_FORMBOTTOMBORDER2);
  ASSERT_EQ(left.width(), 6);
  const int bh = amber->GetBitmap(SKIN2_FORMBOTTOMBORDER1)->height();
  EXPECT_EQ(window.contentsMargins(), QMargins(6, frame->GetTitleBarHeight(), 6, bh));
  EXPECT_EQ(window.minimumHeight(), frame->GetTitleBarHeight() + bh);
  QImage shot = window.grab().toImage();
  for (int x = 0; x < 6; ++x) {
    EXPECT_EQ(Pixel(shot, x, 120), left.pixelColor(x, 0)) << x;
    EXPECT_EQ(Pixel(shot, 294 + x, 120), right.pixelColor(x, 0)) << x;
  }
  for (int y = 0; y < bh; ++y) EXPECT_EQ(Pixel(shot, 150, 200 - bh + y), middle.pixelColor(0, y));
  // The corners are cut away; the straight edges and the middle stay.
  const QRegion shape = window.mask();
  ASSERT_FALSE(shape.isEmpty());
  for (const QPoint p : {QPoint(0, 0), QPoint(299, 0), QPoint(0, 199), QPoint(299, 199)})
    EXPECT_FALSE(shape.contains(p)) << p.x() << "," << p.y();
  for (const QPoint p : {QPoint(150, 0), QPoint(0, 100), QPoint(299, 100), QPoint(150, 199),
                         QPoint(6, 6), QPoint(293, 193)})
    EXPECT_TRUE(shape.contains(p)) << p.x() << "," << p.y();
  // The frame paints the title's corners from the title's backdrop: no see-through colour left.
  EXPECT_NE(Pixel(shot, 0, 0), QColor(255, 0, 255));

  auto* slate = new TsuiFileTheme(&window);
  slate->SetThemeFile("Slate.ssk");
  SetFormUIStyle(&window, FromThemeFile, slate);
  frame->SetFileTheme(slate);
  EXPECT_TRUE(window.mask().isEmpty()) << "a skin without a shape keeps the rectangle";
  const QImage narrow = *slate->GetBitmap(SKIN2_FORMLEFTBORDER);
  ASSERT_EQ(narrow.width(), 2);
  EXPECT_EQ(window.contentsMargins().left(), 4);
  shot = window.grab().toImage();
  EXPECT_EQ(Pixel(shot, 0, 120), narrow.pixelColor(0, 0));
  EXPECT_EQ(Pixel(shot, 2, 120), slate->GetQColor(SKIN2_FORMCOLOR)) << "the strip beside it";
  EXPECT_EQ(Pixel(shot, 3, 120), slate->GetQColor(SKIN2_FORMCOLOR));
  delete slate;
  EXPECT_EQ(frame->ThemeInUse(), nullptr);
  EXPECT_EQ(window.contentsMargins().left(), 3) << "DeepBlue's strip again";
}

TEST(FormFrame, RegionTracedFromPictures) {
  // A title 8 wide, 4 high: row 0 see-through at both ends, row 1 with a hole, row 3 (outside
  // the traced rows) see-through but kept whole.
  QImage title(8, 4, QImage::Format_RGB32);
  title.fill(Qt::gray);
  const QColor clear(255, 0, 255);
  for (int x : {0, 1, 6, 7}) title.setPixelColor(x, 0, clear);
  title.setPixelColor(3, 1, clear);
  title.setPixelColor(0, 3, clear);
  QImage bottom(8, 2, QImage::Format_RGB32);
  bottom.fill(Qt::gray);
  bottom.setPixelColor(0, 1, clear);
  bottom.setPixelColor(7, 1, clear);
  TsuiRegionBands bands;
  bands.titleNeedsRegion = bands.bottomNeedsRegion = true;
  bands.titleMinY = 0;
  bands.titleMaxY = 2;
  bands.bottomMinY = -1;
  bands.bottomMaxY = -1;
  const QRegion r = RegionFromBitmaps(title, bottom, 8, 20, clear, bands);
  EXPECT_EQ(r, QRegion(2, 0, 4, 1) + QRegion(0, 1, 3, 1) + QRegion(4, 1, 4, 1) +
                   QRegion(0, 2, 8, 2) + QRegion(0, 4, 8, 14) + QRegion(0, 18, 8, 1) +
                   QRegion(1, 19, 6, 1));
  // A band starting lower keeps the rows above it whole; without regions, all is the middle.
  bands.titleMinY = 1;
  EXPECT_TRUE(RegionFromBitmaps(title, bottom, 8, 20, clear, bands).contains(QPoint(0, 0)));
  EXPECT_EQ(RegionFromBitmaps(title, bottom, 8, 20, clear, TsuiRegionBands()),
            QRegion(0, 0, 8, 20));
  // The lower border: three pictures, the middle stretched; one picture as a three-part bar.
  QImage a(3, 2, QImage::Format_RGB32), b(1, 2, QImage::Format_RGB32),
      c(2, 2, QImage::Format_RGB32);
  a.fill(Qt::red);
  b.fill(Qt::green);
  c.fill(Qt::blue);
  const QImage built = FormBottomBorder(a, b, c, true, 20, clear);
  EXPECT_EQ(built.size(), QSize(20, 2));
  EXPECT_EQ(built.pixelColor(2, 1), QColor(Qt::red));
  EXPECT_EQ(built.pixelColor(10, 1), QColor(Qt::green));
  EXPECT_EQ(built.pixelColor(18, 0), QColor(Qt::blue));
}

// Five sections: left end, the caption's section as wide as the caption needs, its end piece,
// the stretched middle, the right end.
TEST(TitleBar, FiveSectionsAroundTheCaption) {
  const auto section = [](int width, TsuiTitleBarAlign align, bool capSec = false) {
    TsuiTitleBarSection s;
    s.picture = QImage(width, 26, QImage::Format_RGB32);
    s.width = width;
    s.align = align;
    s.capSec = capSec;
    return s;
  };
  const std::vector<TsuiTitleBarSection> sections = {
      section(10, suiLeft), section(8, suiLeft, true), section(12, suiLeft), section(5, suiClient),
      section(30, suiRight)};
  const QFontMetrics fm(QFont("Sans", 9));
  TitleSectionMetrics m;
  m.width = 400;
  m.frameInset = 3;
  m.leftBtnXOffset = 4;
  m.buttonsWidth = 3 * 18;
  const QString caption = "Zelvar - chip.hex";
  TitleSectionLayout l = LayoutTitleSections(sections, m, fm, caption);
  const int capWidth = fm.horizontalAdvance(caption) + 4 + 17 - 10;
  EXPECT_EQ(l.captionText, caption);
  EXPECT_EQ(l.rects[0], QRect(0, 0, 10, 26));
  EXPECT_EQ(l.rects[1], QRect(10, 0, capWidth, 26));
  EXPECT_EQ(l.rects[2], QRect(10 + capWidth, 0, 12, 26));
  EXPECT_EQ(l.rects[4], QRect(370, 0, 30, 26));
  EXPECT_EQ(l.rects[3], QRect(22 + capWidth, 0, 370 - 22 - capWidth, 26));
  // A caption too long for the room left by the buttons and the next section is cut.
  m.width = 150;
  l = LayoutTitleSections(sections, m, fm, caption.repeated(4));
  EXPECT_TRUE(l.captionText.endsWith("..."));
  EXPECT_LT(l.rects[1].width(), fm.horizontalAdvance(caption.repeated(4)));

  // The Amber skin's title: five sections, the caption on its own.
  QWidget window;
  window.resize(320, 160);
  auto* frame = new TsuiForm(&window);
  auto* amber = new TsuiFileTheme(&window);
  amber->SetThemeFile("Amber.ssk");
  frame->SetFileTheme(amber);
  frame->SetUIStyle(FromThemeFile);
  frame->SetCaption("Zelvar");
  TsuiTitleBar* bar = frame->TitleBar();
  ASSERT_EQ(bar->Sections().size(), 5u);
  EXPECT_TRUE(bar->Sections()[1].capSec);
  EXPECT_EQ(bar->ShownCaption(), "Zelvar");
  l = bar->SectionLayout();
  EXPECT_EQ(l.rects[4].right(), 319);
  EXPECT_EQ(l.rects[2].left(), l.rects[1].right() + 1);
  EXPECT_EQ(l.rects[3].left(), l.rects[2].right() + 1);
  EXPECT_EQ(l.rects[3].right() + 1, l.rects[4].left());
}

// A skin's hot first-level button: its own fill, frame and text colours.
TEST(MenuBar, HotButtonFromASkin) {
  QMainWindow window;
  auto* menu = new TsuiMainMenu(&window);
  window.setMenuBar(menu);
  menu->addMenu("File")->addAction("Open");
  auto* frame = new TsuiForm(&window);
  frame->SetMenu(menu);
  auto* amber = new TsuiFileTheme(&window);
  amber->SetThemeFile("Amber.ssk");
  frame->SetFileTheme(amber);
  frame->SetUIStyle(FromThemeFile);
  const TsuiMenuBarLook& look = menu->MenuStyle()->barLook;
  EXPECT_TRUE(look.fromFile);
  EXPECT_EQ(look.hotColor, amber->GetQColor(SKIN2_TOPSELECTEDMENUCOLOR));
  EXPECT_EQ(look.fontColor, amber->GetQColor(SKIN2_TOPMENUFONTCOLOR));
  const QRect bar(0, 0, 120, 21);
  const QRect button(10, 0, 40, 21);
  QImage image(120, 21, QImage::Format_RGB32);
  image.fill(Qt::magenta);
  {
    QPainter painter(&image);
    DrawMenuBarButton(painter, bar, button, FromThemeFile, look, "&File", true, true);
  }
  EXPECT_EQ(image.pixelColor(10, 0), amber->GetQColor(SKIN2_TOPSELECTEDMENUBORDERCOLOR));
  EXPECT_EQ(image.pixelColor(12, 3), amber->GetQColor(SKIN2_TOPSELECTEDMENUCOLOR));
  int text = 0;
  for (int x = 10; x < 50; ++x)
    for (int y = 0; y < 21; ++y)
      text += image.pixelColor(x, y) == amber->GetQColor(SKIN2_TOPSELECTEDMENUFONTCOLOR);
  EXPECT_GT(text, 3);
  delete amber;
  EXPECT_FALSE(menu->MenuStyle()->barLook.fromFile) << "a theme that dies leaves the style's";
}

}  // namespace skin_frame_test
}  // namespace zelvar
