#include "skin/Suipictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <functional>
#include <map>

namespace zelvar {

namespace {

const QColor kSee(255, 0, 255);

// The colours a style's pictures are drawn in.
struct Palette {
  const char* prefix;
  QColor form;     // the form colour, for opaque corners
  QColor border;   // outline of buttons and boxes
  QColor faceTop;  // button face, upper and lower end of its gradient
  QColor faceBottom;
  QColor hot;   // mouse-on accent
  QColor mark;  // check mark, radio dot, arrows
  QColor fill;  // progress fill
  QColor fillDark;
  QColor tabActive;    // active tab face
  QColor tabInactive;  // inactive tab face
  QColor line;         // tab line and dark accents
  QColor barTop;       // side-channel bar (the fold-up panel's title)
  QColor barBottom;
  bool round;  // rounded, see-through corners
};

const Palette kPalettes[] = {
    {"MACOS", QColor(231, 231, 231), QColor(127, 127, 127), QColor(255, 255, 255),
     QColor(206, 206, 206), QColor(120, 160, 220), QColor(40, 40, 40), QColor(150, 190, 240),
     QColor(50, 110, 200), QColor(250, 250, 250), QColor(210, 210, 210), QColor(150, 150, 150),
     QColor(250, 250, 250), QColor(200, 200, 200), true},
    {"WINXP", QColor(239, 235, 222), QColor(0, 60, 116), QColor(255, 255, 255),
     QColor(226, 223, 214), QColor(248, 179, 48), QColor(33, 161, 33), QColor(140, 230, 130),
     QColor(40, 170, 40), QColor(252, 252, 254), QColor(226, 232, 240), QColor(145, 167, 180),
     QColor(225, 233, 250), QColor(176, 197, 238), false},
    {"DEEPBLUE", QColor(232, 232, 232), QColor(20, 30, 100), QColor(214, 220, 245),
     QColor(150, 162, 218), QColor(250, 200, 80), QColor(20, 30, 110), QColor(90, 110, 210),
     QColor(20, 30, 120), QColor(235, 238, 250), QColor(140, 155, 215), QColor(24, 34, 112),
     QColor(80, 92, 180), QColor(20, 28, 100), false},
    {"PROTEIN", QColor(251, 251, 251), QColor(90, 90, 90), QColor(255, 255, 255),
     QColor(236, 236, 236), QColor(45, 48, 196), QColor(45, 48, 196), QColor(170, 172, 240),
     QColor(45, 48, 196), QColor(255, 255, 255), QColor(228, 228, 228), QColor(120, 120, 120),
     QColor(120, 122, 210), QColor(45, 48, 150), false},
    {"BLUEGLASS", QColor(231, 231, 231), QColor(40, 80, 160), QColor(220, 236, 255),
     QColor(110, 165, 235), QColor(255, 255, 255), QColor(20, 60, 150), QColor(170, 210, 255),
     QColor(40, 110, 220), QColor(215, 232, 255), QColor(150, 190, 240), QColor(60, 110, 200),
     QColor(120, 170, 240), QColor(40, 90, 190), true},
};

QImage Blank(int w, int h, const QColor& c) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(c);
  return image;
}

QLinearGradient Vertical(const QRect& r, const QColor& top, const QColor& bottom) {
  QLinearGradient g(r.topLeft(), r.bottomLeft());
  g.setColorAt(0, top);
  g.setColorAt(1, bottom);
  return g;
}

// A face with an outline; rounded corners leave the colour `outside` at the corners. Drawn
// without antialiasing so that see-through magenta stays exact.
void Face(QPainter& p, const QRect& r, const QColor& border, const QBrush& face, int radius) {
  p.setPen(border);
  p.setBrush(face);
  if (radius > 0) {
    p.drawRoundedRect(r.adjusted(0, 0, -1, -1), radius, radius);
  } else {
    p.drawRect(r.adjusted(0, 0, -1, -1));
  }
}

void Triangle(QPainter& p, const QPoint& a, const QPoint& b, const QPoint& c,
              const QColor& colour) {
  p.setPen(colour);
  p.setBrush(colour);
  p.drawPolygon(QPolygon({a, b, c}));
}

// Button: 3 frames of 21 x 21 (normal, mouse-on, down).
QImage Button(const Palette& s) {
  QImage image = Blank(63, 21, s.round ? kSee : s.form);
  QPainter p(&image);
  for (int f = 0; f < 3; ++f) {
    const QRect r(f * 21, 0, 21, 21);
    QColor top = s.faceTop, bottom = s.faceBottom;
    if (f == 2) std::swap(top, bottom);
    Face(p, r, s.border, Vertical(r, top, bottom), s.round ? 6 : 3);
    if (f == 1) {  // the mouse-on frame shows the accent inside the outline
      p.setPen(s.hot);
      p.setBrush(Qt::NoBrush);
      p.drawRoundedRect(r.adjusted(1, 1, -2, -2), s.round ? 5 : 2, s.round ? 5 : 2);
    }
    if (QString(s.prefix) == "BLUEGLASS") {  // the glass shine on the upper half
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 110));
      p.drawRect(r.adjusted(3, 2, -3, -11));
    }
  }
  return image;
}

// Check box: 4 frames of 13 x 13 (checked, unchecked, checked disabled, unchecked disabled).
QImage CheckBox(const Palette& s) {
  QImage image = Blank(52, 13, s.form);
  QPainter p(&image);
  for (int f = 0; f < 4; ++f) {
    const bool checked = f % 2 == 0;
    const bool disabled = f >= 2;
    const QRect r(f * 13, 0, 13, 13);
    Face(p, r, disabled ? QColor(170, 170, 170) : s.border,
         disabled ? QBrush(QColor(235, 235, 235))
                  : QBrush(Vertical(r, QColor(250, 250, 250), s.faceBottom.lighter(115))),
         s.round ? 2 : 0);
    if (checked) {
      const QColor m = disabled ? QColor(160, 160, 160) : s.mark;
      p.setPen(QPen(m, 2));
      p.drawPolyline(QPolygon(
          {r.topLeft() + QPoint(3, 6), r.topLeft() + QPoint(5, 9), r.topLeft() + QPoint(10, 3)}));
    }
  }
  return image;
}

// Radio button: 4 frames of 13 x 13 in the check box's order, see-through outside the circle.
QImage RadioButton(const Palette& s) {
  QImage image = Blank(52, 13, kSee);
  QPainter p(&image);
  for (int f = 0; f < 4; ++f) {
    const bool checked = f % 2 == 0;
    const bool disabled = f >= 2;
    const QRect r(f * 13, 0, 13, 13);
    p.setPen(disabled ? QColor(170, 170, 170) : s.border);
    p.setBrush(disabled ? QBrush(QColor(235, 235, 235))
                        : QBrush(Vertical(r, QColor(250, 250, 250), s.faceBottom.lighter(115))));
    p.drawEllipse(r.adjusted(0, 0, -1, -1));
    if (checked) {
      p.setPen(Qt::NoPen);
      p.setBrush(disabled ? QColor(160, 160, 160) : s.mark);
      p.drawEllipse(r.adjusted(4, 4, -4, -4));
    }
  }
  return image;
}

// Progress fill: one 12 x 12 picture, stretched over the filled part.
QImage Progress(const Palette& s) {
  QImage image = Blank(12, 12, s.fill);
  QPainter p(&image);
  const QRect r(0, 0, 12, 12);
  QLinearGradient g = Vertical(r, s.fill.lighter(125), s.fillDark);
  g.setColorAt(0.45, s.fill);
  p.fillRect(r, g);
  return image;
}

// Tab: 2 frames of 24 x 21 (active, inactive), each three 8-pixel parts; the corners above the
// rounded upper edge are see-through.
QImage Tab(const Palette& s) {
  QImage image = Blank(48, 21, kSee);
  QPainter p(&image);
  for (int f = 0; f < 2; ++f) {
    const bool active = f == 0;
    const QRect r(f * 24, active ? 0 : 2, 24, active ? 22 : 19);
    p.setPen(s.line);
    p.setBrush(active ? QBrush(Vertical(r, s.tabActive, s.tabActive))
                      : QBrush(Vertical(r, s.tabInactive.lighter(108), s.tabInactive)));
    QPainterPath path;
    path.addRoundedRect(QRectF(r.adjusted(0, 0, -1, 3)), 4, 4);
    p.drawPath(path);
    if (active && QString(s.prefix) == "WINXP") {  // the orange upper edge of an active tab
      p.fillRect(QRect(r.x() + 2, 0, 20, 2), s.hot);
    }
    if (!active) p.fillRect(QRect(r.x(), 20, 24, 1), s.line);
  }
  return image;
}

QImage TabLine(const Palette& s) {
  QImage image = Blank(6, 3, s.tabActive);
  QPainter p(&image);
  p.fillRect(QRect(0, 2, 6, 1), s.line);
  return image;
}

// Scroll buttons of the tab row: 4 frames of 16 x 16 (right, right mouse-on, left, left
// mouse-on).
QImage ScrollButton(const Palette& s) {
  QImage image = Blank(64, 16, kSee);
  QPainter p(&image);
  for (int f = 0; f < 4; ++f) {
    const QRect r(f * 16, 0, 16, 16);
    const bool hot = f % 2 == 1;
    Face(p, r, s.border, Vertical(r, hot ? s.faceTop : s.faceTop, hot ? s.hot : s.faceBottom),
         s.round ? 4 : 2);
    const QPoint o = r.topLeft();
    if (f < 2) {
      Triangle(p, o + QPoint(6, 4), o + QPoint(10, 8), o + QPoint(6, 12), s.mark);
    } else {
      Triangle(p, o + QPoint(10, 4), o + QPoint(6, 8), o + QPoint(10, 12), s.mark);
    }
  }
  return image;
}

// Scroll-bar arrow buttons: 6 frames of 16 x 16, up (normal, mouse-on, down) then down; a
// horizontal bar turns them.
QImage ScrollBarButton(const Palette& s) {
  QImage image = Blank(96, 16, s.form);
  QPainter p(&image);
  for (int f = 0; f < 6; ++f) {
    const QRect r(f * 16, 0, 16, 16);
    const int state = f % 3;
    QColor top = s.faceTop, bottom = state == 1 ? s.hot : s.faceBottom;
    if (state == 2) std::swap(top, bottom);
    Face(p, r, s.border, Vertical(r, top, bottom), 0);
    const QPoint o = r.topLeft();
    if (f < 3) {
      Triangle(p, o + QPoint(4, 10), o + QPoint(8, 5), o + QPoint(12, 10), s.mark);
    } else {
      Triangle(p, o + QPoint(4, 6), o + QPoint(8, 11), o + QPoint(12, 6), s.mark);
    }
  }
  return image;
}

// Scroll-bar thumb: 3 frames of 8 x 16 (start, grip, end) for a horizontal bar.
QImage ScrollBarTrack(const Palette& s) {
  QImage image = Blank(24, 16, s.form);
  QPainter p(&image);
  const QRect r(0, 0, 24, 16);
  p.fillRect(r, Vertical(r, s.faceTop, s.faceBottom));
  p.setPen(s.border);
  p.drawLine(0, 0, 23, 0);
  p.drawLine(0, 15, 23, 15);
  p.drawLine(0, 0, 0, 15);
  p.drawLine(23, 0, 23, 15);
  for (int x : {11, 13}) p.drawLine(x, 5, x, 10);  // the grip's ridges
  return image;
}

// Track-bar groove: three 4-pixel parts across 12 x 6, see-through below the groove's outline.
QImage TrackBarBar(const Palette& s) {
  QImage image = Blank(12, 6, s.form);
  QPainter p(&image);
  p.setPen(s.border);
  p.setBrush(s.tabInactive);
  p.drawRect(0, 1, 11, 3);
  return image;
}

// Track-bar slider: 11 x 20 pointing down, or 20 x 11 pointing right.
QImage TrackBarSlider(const Palette& s, bool vertical) {
  // A horizontal bar's slider sees through magenta; a vertical one is drawn opaque, on the form
  // colour.
  QImage image = Blank(11, 20, vertical ? s.form : kSee);
  QPainter p(&image);
  p.setPen(s.border);
  p.setBrush(Vertical(QRect(0, 0, 11, 20), s.faceTop, s.faceBottom));
  p.drawPolygon(QPolygon({{0, 0}, {10, 0}, {10, 14}, {5, 19}, {0, 14}}));
  p.end();
  if (!vertical) return image;
  return image.transformed(QTransform().rotate(-90));
}

// Message-box icons: 4 frames of 42 x 42 (warning, stop, information, question) on the dialog
// colour.
QImage MessageIcons() {
  QImage image = Blank(168, 42, QColor(232, 232, 232));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor fills[] = {QColor(250, 200, 30), QColor(210, 40, 40), QColor(40, 90, 200),
                          QColor(40, 90, 200)};
  const char* marks[] = {"!", "X", "i", "?"};
  QFont font;
  font.setBold(true);
  font.setPixelSize(22);
  p.setFont(font);
  for (int f = 0; f < 4; ++f) {
    const QRect r(f * 42 + 3, 3, 36, 36);
    p.setPen(QColor(60, 60, 60));
    p.setBrush(fills[f]);
    if (f == 0)
      p.drawPolygon(QPolygon({{r.center().x(), r.top()}, r.bottomRight(), r.bottomLeft()}));
    else
      p.drawEllipse(r);
    p.setPen(f == 0 ? QColor(0, 0, 0) : QColor(255, 255, 255));
    p.drawText(r.adjusted(0, f == 0 ? 8 : 0, 0, 0), Qt::AlignCenter, marks[f]);
  }
  return image;
}

QImage SideChannelBar(const Palette& s) {
  QImage image = Blank(10, 20, s.barTop);
  QPainter p(&image);
  p.fillRect(QRect(0, 0, 10, 20), Vertical(QRect(0, 0, 10, 20), s.barTop, s.barBottom));
  return image;
}

QImage ComboButton(const Palette& s, bool ownArrow) {
  QImage image = Blank(17, 20, s.form);
  QPainter p(&image);
  const QRect r(0, 0, 17, 20);
  Face(p, r, s.border, Vertical(r, s.faceTop, s.faceBottom), 2);
  if (ownArrow) {
    Triangle(p, QPoint(5, 8), QPoint(11, 8), QPoint(8, 11), s.border);
  }
  return image;
}

// The grip on the side channel's bar: 8 x 40, two rows of dots between a light and a dark
// edge, on the bar's own gradient.
QImage SideChannelHandle(const Palette& s) {
  QImage image = Blank(8, 40, s.form);
  QPainter p(&image);
  p.fillRect(QRect(0, 0, 8, 40), Vertical(QRect(0, 0, 8, 40), s.faceTop, s.faceBottom));
  p.setPen(s.border);
  p.drawRect(QRect(0, 0, 7, 39));
  for (int y = 6; y < 34; y += 4) {
    p.fillRect(QRect(2, y, 2, 2), s.line);
    p.fillRect(QRect(4, y + 2, 2, 2), s.line);
  }
  return image;
}

// The side channel's pin: 16 x 14 on white (see-through), a pin lying with its point left.
QImage SideChannelPin() {
  QImage image = Blank(16, 14, Qt::white);
  QPainter p(&image);
  p.setPen(Qt::black);
  p.drawRect(QRect(7, 3, 5, 6));            // the head
  p.drawLine(12, 2, 12, 10);                // its collar
  p.drawLine(2, 6, 6, 6);                   // the needle
  p.fillRect(QRect(8, 4, 2, 4), Qt::gray);  // a shade on the head
  p.drawLine(13, 6, 14, 6);
  return image;
}

// The three child control glyphs of an MDI frame: 3 frames of 16 x 16, black on white
// (see-through): minimise, restore, close.
QImage MdiControlButton() {
  QImage image = Blank(48, 16, Qt::white);
  QPainter p(&image);
  p.setPen(Qt::black);
  p.fillRect(QRect(4, 10, 7, 2), Qt::black);  // minimise
  p.drawRect(QRect(16 + 6, 3, 6, 5));         // restore: two windows
  p.fillRect(QRect(16 + 6, 3, 7, 2), Qt::black);
  p.drawRect(QRect(16 + 3, 6, 6, 6));
  p.fillRect(QRect(16 + 3, 6, 7, 2), Qt::black);
  p.setPen(QPen(Qt::black, 2));  // close
  p.drawLine(32 + 4, 4, 32 + 11, 11);
  p.drawLine(32 + 11, 4, 32 + 4, 11);
  return image;
}

// The notice window's background: 181 x 116, a gradient panel with a title rule and the close
// box at (162, 6) to (175, 19).
QImage NoticeBackground() {
  QImage image = Blank(181, 116, QColor(236, 242, 252));
  QPainter p(&image);
  p.fillRect(QRect(0, 0, 181, 116),
             Vertical(QRect(0, 0, 181, 116), QColor(214, 228, 250), QColor(250, 252, 255)));
  p.fillRect(QRect(0, 0, 181, 26),
             Vertical(QRect(0, 0, 181, 26), QColor(120, 156, 220), QColor(70, 110, 190)));
  p.setPen(QColor(40, 70, 140));
  p.drawRect(QRect(0, 0, 180, 115));
  const QRect box(162, 6, 14, 14);
  p.setPen(QColor(255, 255, 255));
  p.setBrush(QColor(200, 70, 50));
  p.drawRect(box.adjusted(0, 0, -1, -1));
  p.setPen(QPen(QColor(255, 255, 255), 2));
  p.drawLine(box.left() + 4, box.top() + 4, box.right() - 4, box.bottom() - 4);
  p.drawLine(box.right() - 4, box.top() + 4, box.left() + 4, box.bottom() - 4);
  return image;
}

// The fold button of the fold-up panel: 4 frames of 13 x 13 (open, open mouse-on, folded,
// folded mouse-on).
QImage PanelButton() {
  QImage image = Blank(52, 13, QColor(240, 240, 240));
  QPainter p(&image);
  for (int f = 0; f < 4; ++f) {
    const QRect r(f * 13, 0, 13, 13);
    const bool hot = f % 2 == 1;
    Face(p, r, QColor(80, 80, 80), hot ? QColor(255, 220, 120) : QColor(240, 240, 240), 0);
    const QPoint o = r.topLeft();
    if (f < 2) {
      Triangle(p, o + QPoint(3, 8), o + QPoint(6, 4), o + QPoint(9, 8), Qt::black);
    } else {
      Triangle(p, o + QPoint(3, 5), o + QPoint(6, 9), o + QPoint(9, 5), Qt::black);
    }
  }
  return image;
}

// 8 x 8 form patterns: MacOS pinstripes, Protein white with a light lattice.
QImage MacBackground() {
  QImage image = Blank(8, 8, QColor(236, 236, 236));
  for (int y = 1; y < 8; y += 2) {
    for (int x = 0; x < 8; ++x) image.setPixelColor(x, y, QColor(226, 226, 226));
  }
  return image;
}

QImage ProteinBackground() {
  QImage image = Blank(8, 8, QColor(251, 251, 251));
  for (int i = 0; i < 8; ++i) {
    image.setPixelColor(i, i, QColor(232, 232, 240));
    image.setPixelColor(7 - i, i, QColor(232, 232, 240));
  }
  return image;
}

// The title bar's colours and the title buttons' size and row, per style.
struct TitleLook {
  const char* prefix;
  int height;  // the title pictures' height
  QColor top;  // caption gradient, upper and lower end
  QColor bottom;
  QColor edge;   // the outer column of the end pieces
  int button;    // a title button's side
  int buttonY;   // its row in the title (the style's title-button row)
  bool see;      // buttons stand on see-through magenta, else on the title's own rows
  QColor face;   // button face
  QColor glyph;  // button glyph
  bool round;    // round buttons
  bool shine;    // glass shine over the upper half
};

const TitleLook kTitleLooks[] = {
    {"MACOS", 22, QColor(246, 246, 246), QColor(196, 196, 196), QColor(150, 150, 150), 14, 4, false,
     QColor(215, 215, 215), QColor(70, 70, 70), true, false},
    {"WINXP", 30, QColor(0, 88, 238), QColor(0, 64, 206), QColor(0, 44, 200), 21, 5, false,
     QColor(40, 120, 250), QColor(255, 255, 255), false, false},
    {"DEEPBLUE", 22, QColor(58, 68, 156), QColor(22, 30, 96), QColor(10, 16, 60), 17, 2, false,
     QColor(90, 104, 196), QColor(255, 255, 255), false, false},
    {"PROTEIN", 24, QColor(124, 126, 214), QColor(45, 48, 150), QColor(30, 32, 110), 17, 2, true,
     QColor(150, 152, 230), QColor(255, 255, 255), true, false},
    {"BLUEGLASS", 28, QColor(150, 195, 250), QColor(40, 96, 196), QColor(30, 70, 160), 19, 6, true,
     QColor(120, 170, 240), QColor(255, 255, 255), false, true},
};

void TitleRows(QPainter& p, const TitleLook& t, const QRect& r) {
  p.fillRect(r, Vertical(QRect(r.x(), 0, r.width(), t.height), t.top, t.bottom));
  if (t.shine) p.fillRect(QRect(r.x(), 0, r.width(), t.height / 2), QColor(255, 255, 255, 60));
  p.fillRect(QRect(r.x(), t.height - 1, r.width(), 1), t.edge);  // the lower edge line
}

// The title's three pieces: left end, the middle that is stretched, right end.
QImage TitlePiece(const TitleLook& t, int piece) {
  const int w = piece == 1 ? 4 : 8;
  QImage image = Blank(w, t.height, t.top);
  QPainter p(&image);
  TitleRows(p, t, QRect(0, 0, w, t.height));
  p.setPen(t.edge);
  if (piece == 0) p.drawLine(0, 0, 0, t.height - 1);
  if (piece == 2) p.drawLine(w - 1, 0, w - 1, t.height - 1);
  p.setPen(t.top.lighter(130));  // a light line along the upper edge
  p.drawLine(piece == 0 ? 1 : 0, 0, piece == 2 ? w - 2 : w - 1, 0);
  return image;
}

// The glyphs of the six button kinds: control box, help, maximise, restore, minimise, close.
void TitleGlyph(QPainter& p, const QRect& r, int kind, const QColor& c) {
  const int s = r.width();
  const QPoint o = r.topLeft();
  const int m = s / 4;          // margin round the glyph
  const int g = s - 2 * m - 1;  // glyph extent
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(c, s >= 19 ? 2 : 1));
  switch (kind) {
    case 0:  // a small window
      p.drawRect(QRect(o + QPoint(m, m), QSize(g, g)));
      p.fillRect(QRect(o + QPoint(m, m), QSize(g + 1, 3)), c);
      break;
    case 1: {  // a question mark
      QFont f;
      f.setPixelSize(s - 4);
      f.setBold(true);
      p.setFont(f);
      p.drawText(r, Qt::AlignCenter, "?");
      break;
    }
    case 2:
      p.drawRect(QRect(o + QPoint(m, m), QSize(g, g)));
      p.fillRect(QRect(o + QPoint(m, m), QSize(g + 1, 3)), c);
      break;
    case 3: {
      const int h = g * 2 / 3;
      p.drawRect(QRect(o + QPoint(m + g - h, m), QSize(h, h)));
      p.drawRect(QRect(o + QPoint(m, m + g - h), QSize(h, h)));
      p.fillRect(QRect(o + QPoint(m, m + g - h), QSize(h + 1, 2)), c);
      break;
    }
    case 4:
      p.fillRect(QRect(o + QPoint(m, s - m - 3), QSize(g / 2 + 1, 3)), c);
      break;
    default:
      p.drawLine(o + QPoint(m, m), o + QPoint(s - m - 1, s - m - 1));
      p.drawLine(o + QPoint(s - m - 1, m), o + QPoint(m, s - m - 1));
      break;
  }
}

// Title buttons: 18 frames, three (normal, mouse-on, down) for each of control box, help,
// maximise, restore, minimise and close.
QImage TitleButtons(const TitleLook& t) {
  const int s = t.button;
  QImage image = Blank(18 * s, s, kSee);
  QPainter p(&image);
  for (int f = 0; f < 18; ++f) {
    const int kind = f / 3;
    const int state = f % 3;
    const QRect r(f * s, 0, s, s);
    if (!t.see) {  // opaque buttons carry the title rows they stand on
      p.save();
      p.setClipRect(r);
      p.translate(0, -t.buttonY);
      TitleRows(p, t, QRect(r.x(), 0, s, t.height));
      p.restore();
    }
    QColor face = kind == 5 ? QColor(220, 70, 40) : t.face;
    if (QString(t.prefix) == "MACOS") {  // coloured lights: close red, minimise amber, zoom green
      face = kind == 5                ? QColor(236, 90, 80)
             : kind == 4              ? QColor(240, 190, 60)
             : kind == 2 || kind == 3 ? QColor(100, 190, 80)
                                      : QColor(180, 180, 180);
    }
    if (state == 1) face = face.lighter(125);
    if (state == 2) face = face.darker(125);
    p.setPen(QPen(t.round ? face.darker(140) : QColor(255, 255, 255), 1));
    p.setBrush(Vertical(r, face.lighter(130), face));
    if (t.round) {
      p.drawEllipse(r.adjusted(0, 0, -1, -1));
    } else {
      p.drawRoundedRect(r.adjusted(0, 0, -1, -1), 3, 3);
    }
    if (QString(t.prefix) != "MACOS" || state != 0) TitleGlyph(p, r, kind, t.glyph);
  }
  return image;
}

// The menu's check mark, 16 x 16 on white (white is see-through in a menu).
QImage MenuChecked() {
  QImage image = Blank(16, 16, Qt::white);
  QPainter p(&image);
  p.setPen(QPen(Qt::black, 2));
  p.drawPolyline(QPolygon({QPoint(4, 8), QPoint(7, 11), QPoint(12, 4)}));
  return image;
}

// The MacOS menu bar (1 x 22) and menu selection (1 x 21), each stretched across its rectangle.
QImage MacMenuStrip(int h, const QColor& top, const QColor& bottom) {
  QImage image = Blank(1, h, top);
  QPainter p(&image);
  p.fillRect(QRect(0, 0, 1, h), Vertical(QRect(0, 0, 1, h), top, bottom));
  return image;
}

// The data navigator's glyphs: ten 16 x 16 frames (first, prior, next, last, insert, delete,
// edit, post, cancel, refresh) in dark ink on see-through magenta.
QImage DbNavButtons() {
  QImage image = Blank(160, 16, QColor(255, 0, 255));
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, false);
  const QColor ink(32, 32, 32);
  p.setPen(ink);
  p.setBrush(ink);
  auto triangle = [&](int x, bool left) {
    p.drawPolygon(left ? QPolygon({QPoint(x + 5, 8), QPoint(x + 9, 4), QPoint(x + 9, 12)})
                       : QPolygon({QPoint(x + 10, 8), QPoint(x + 6, 4), QPoint(x + 6, 12)}));
  };
  triangle(0, true);
  p.fillRect(QRect(3, 4, 2, 9), ink);
  triangle(16, true);
  triangle(32, false);
  triangle(48, false);
  p.fillRect(QRect(48 + 11, 4, 2, 9), ink);
  p.fillRect(QRect(64 + 4, 7, 8, 2), ink);  // insert: plus
  p.fillRect(QRect(64 + 7, 4, 2, 8), ink);
  p.fillRect(QRect(80 + 4, 7, 8, 2), ink);  // delete: minus
  p.drawPolygon(QPolygon({QPoint(96 + 8, 3), QPoint(96 + 12, 10), QPoint(96 + 4, 10)}));  // edit
  p.setBrush(Qt::NoBrush);
  QPen pen(ink, 2);
  p.setPen(pen);
  p.drawPolyline(QPolygon({QPoint(112 + 3, 8), QPoint(112 + 6, 11), QPoint(112 + 12, 4)}));  // post
  p.drawLine(128 + 4, 4, 128 + 11, 11);  // cancel
  p.drawLine(128 + 11, 4, 128 + 4, 11);
  p.drawArc(QRect(144 + 3, 3, 10, 10), 30 * 16, 300 * 16);  // refresh
  p.fillRect(QRect(144 + 10, 2, 3, 3), ink);
  return image;
}

using Generator = std::function<QImage()>;

const std::map<std::string, Generator>& Generators() {
  static const std::map<std::string, Generator> generators = [] {
    std::map<std::string, Generator> g;
    for (const Palette& s : kPalettes) {
      const std::string p = s.prefix;
      g[p + "_BUTTON"] = [&s] { return Button(s); };
      g[p + "_CHECKBOX"] = [&s] { return CheckBox(s); };
      g[p + "_RADIOBUTTON"] = [&s] { return RadioButton(s); };
      g[p + "_PROGRESSBAR"] = [&s] { return Progress(s); };
      g[p + "_TAB"] = [&s] { return Tab(s); };
      g[p + "_TAB_LINE"] = [&s] { return TabLine(s); };
      g[p + "_SIDECHENNEL_BAR"] = [&s] { return SideChannelBar(s); };
      g[p + "_SIDECHENNEL_HANDLE"] = [&s] { return SideChannelHandle(s); };
      g[p + "_SCROLLBAR_BUTTON"] = [&s] { return ScrollBarButton(s); };
      g[p + "_SCROLLBAR_TRACK"] = [&s] { return ScrollBarTrack(s); };
      g[p + "_TRACKBAR_BAR"] = [&s] { return TrackBarBar(s); };
      g[p + "_TRACKBAR_SLIDER"] = [&s] { return TrackBarSlider(s, false); };
      g[p + "_TRACKBAR_SLIDER_V"] = [&s] { return TrackBarSlider(s, true); };
    }
    // DeepBlue, Protein and BlueGlass share one set of tab-row scroll buttons.
    g["DBNAV_BUTTON"] = [] { return DbNavButtons(); };
    g["MACOS_SCROLLBUTTON"] = [] { return ScrollButton(kPalettes[0]); };
    g["WINXP_SCROLLBUTTON"] = [] { return ScrollButton(kPalettes[1]); };
    g["MORE_SCROLLBUTTON"] = [] { return ScrollButton(kPalettes[2]); };
    g["MACOS_COMBOBOX_BUTTON"] = [] { return ComboButton(kPalettes[0], false); };
    g["WINXP_COMBOBOX_BUTTON"] = [] { return ComboButton(kPalettes[1], true); };
    g["PANEL_BUTTON"] = [] { return PanelButton(); };
    g["MSGDLG"] = [] { return MessageIcons(); };
    g["SIDECHANNEL_BTN"] = [] { return SideChannelPin(); };
    g["MDI_CONTROL_BUTTON"] = [] { return MdiControlButton(); };
    g["MSNPOPFORM"] = [] { return NoticeBackground(); };
    for (const TitleLook& t : kTitleLooks) {
      const std::string p = t.prefix;
      g[p + "_TITLE_LEFT"] = [&t] { return TitlePiece(t, 0); };
      g[p + "_TITLE_CLIENT"] = [&t] { return TitlePiece(t, 1); };
      g[p + "_TITLE_RIGHT"] = [&t] { return TitlePiece(t, 2); };
      g[p + "_TITLEBTN"] = [&t] { return TitleButtons(t); };
    }
    g["MENU_CHECKED"] = [] { return MenuChecked(); };
    g["MACOS_MENU_BAR"] = [] {
      return MacMenuStrip(22, QColor(252, 252, 252), QColor(222, 222, 222));
    };
    g["MACOS_MENU_SELECT"] = [] {
      return MacMenuStrip(21, QColor(110, 160, 240), QColor(40, 90, 200));
    };
    g["MACOS_FORM_BACKGROUND"] = [] { return MacBackground(); };
    g["PROTEIN_FORM_BACKGROUND"] = [] { return ProteinBackground(); };
    return g;
  }();
  return generators;
}

}  // namespace

QImage LoadResourceBitmap(const std::string& name) {
  static std::map<std::string, QImage> cache;
  if (auto it = cache.find(name); it != cache.end()) return it->second;
  const auto& generators = Generators();
  auto g = generators.find(name);
  if (g == generators.end()) return QImage();
  return cache[name] = g->second();
}

std::vector<std::string> ResourceBitmapNames() {
  std::vector<std::string> names;
  for (const auto& [name, generator] : Generators()) names.push_back(name);
  return names;
}

}  // namespace zelvar
