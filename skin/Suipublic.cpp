#include "skin/Suipublic.h"

#include <QPainter>
#include <QVariant>
#include <QWidget>
#include <algorithm>

#include "skin/Suimgr.h"

namespace zelvar {

namespace {

constexpr const char* kLoadingProperty = "zelvarFormLoading";

QImage Argb(const QImage& picture) {
  return picture.convertToFormat(QImage::Format_ARGB32);
}

// Copies `source` (picture coordinates, exclusive right and lower edges) onto `target`, stretched,
// with magenta see-through when `mask`. An empty piece is skipped.
void DrawPiece(QPainter& painter, const QImage& picture, const QRect& source, const QRect& target,
               bool mask) {
  if (source.width() <= 0 || source.height() <= 0 || target.width() <= 0 || target.height() <= 0)
    return;
  QImage piece = picture.copy(source);
  if (mask) piece = MaskedImage(piece, kMagenta);
  painter.drawImage(target, piece);
}

// Edges of rectangles written as left, upper, right, lower with exclusive right and lower edges.
QRect Ltrb(int l, int t, int r, int b) {
  return QRect(l, t, r - l, b - t);
}

}  // namespace

QImage MaskedImage(const QImage& picture, const QColor& mask) {
  QImage out = Argb(picture);
  const QRgb key = mask.rgb() & 0xFFFFFF;
  for (int y = 0; y < out.height(); ++y) {
    auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < out.width(); ++x) {
      if ((line[x] & 0xFFFFFF) == key && qAlpha(line[x]) == 255) line[x] = 0;
    }
  }
  return out;
}

void SpitBitmap(const QImage& source, QImage* target, int count, int index) {
  if (target == nullptr) return;
  if (count <= 0 || source.isNull()) {
    *target = QImage();
    return;
  }
  const int w = source.width() / count;
  const int left = index >= count ? source.width() - w : (index - 1) * w;
  *target = source.copy(left, 0, w, source.height());
}

void SpitDraw(const QImage& picture, QPainter& painter, const QRect& rect, bool transparent) {
  const int W = picture.width();
  const int H = picture.height();
  if (W == 0 || H == 0) return;
  const int w2 = W / 2;
  const int h2 = H / 2;
  const int RW = rect.x() + rect.width();
  const int RH = rect.y() + rect.height();
  // Corners: unscaled, trimmed on their inner sides to the smaller of source and target area.
  auto corner = [&](QRect source, QRect area, bool right, bool lower) {
    const int cw = std::max(0, std::min(source.width(), area.width()));
    const int ch = std::max(0, std::min(source.height(), area.height()));
    const int sx = right ? source.right() + 1 - cw : source.left();
    const int sy = lower ? source.bottom() + 1 - ch : source.top();
    const int tx = right ? area.right() + 1 - cw : area.left();
    const int ty = lower ? area.bottom() + 1 - ch : area.top();
    const QRect drawn(tx, ty, cw, ch);
    DrawPiece(painter, picture, QRect(sx, sy, cw, ch), drawn, transparent);
    return drawn;
  };
  const QRect p1 = corner(Ltrb(0, 0, w2, h2), Ltrb(0, 0, RW / 2, RH / 2), false, false);
  const QRect p2 =
      corner(Ltrb(0, H - h2 + 1, w2, H), Ltrb(0, RH - RH / 2 + 1, RW / 2, RH), false, true);
  const QRect p4 =
      corner(Ltrb(W - w2 + 1, 0, W, h2), Ltrb(RW - RW / 2 + 1, 0, RW, RH / 2), true, false);
  const QRect p5 = corner(Ltrb(W - w2 + 1, H - h2 + 1, W, H),
                          Ltrb(RW - RW / 2 + 1, RH - RH / 2 + 1, RW, RH), true, true);
  const int p1r = p1.x() + p1.width(), p1b = p1.y() + p1.height();
  const int p4l = p4.x(), p4r = p4.x() + p4.width(), p4b = p4.y() + p4.height();
  // Left edge, trimmed on its inner (right) side to the target's width.
  {
    const QRect target = Ltrb(p1.x(), p1b, p1r, p2.y());
    const int sw = std::min(w2, target.width());
    DrawPiece(painter, picture, Ltrb(0, h2, sw, H - h2), target, true);
  }
  // Right edge, trimmed on its left.
  {
    const QRect target = Ltrb(p4l, p4b, p4r, p5.y());
    const int sw = std::min(w2 - 1, target.width());
    DrawPiece(painter, picture, Ltrb(W - sw, h2, W, H - h2), target, true);
  }
  // Upper edge, trimmed at its lower side.
  {
    const QRect target = Ltrb(p1r, 0, p4l, p1b);
    const int sh = std::min(h2, target.height());
    DrawPiece(painter, picture, Ltrb(w2, 0, W - w2 + 1, sh), target, true);
  }
  // Middle, up to one row above the lower-right corner, source not trimmed.
  DrawPiece(painter, picture, Ltrb(w2, h2, W - w2 + 1, H - h2), Ltrb(p1r, p1b, p4l, p5.y() - 1),
            true);
  // Lower edge, trimmed at its upper side.
  {
    const QRect target = Ltrb(p1r - 1, p2.y() - 1, p5.x(), p5.y() + p5.height());
    const int sh = std::min(h2, target.height());
    DrawPiece(painter, picture, Ltrb(w2, H - sh, W - w2 + 1, H), target, true);
  }
}

namespace {

// The left and right thirds of `source` at the rectangle's upper edge, `middle` stretched between
// them over `middleHeight` rows; a rectangle narrower than a third gets the left one, cut.
void DrawThreeParts(QPainter& painter, const QImage& source, const QRect& rect,
                    const QImage& middle, int middleHeight) {
  const int pw = source.width() / 3;
  const int H = source.height();
  if (rect.width() < pw) {
    painter.drawImage(rect.topLeft(), source, QRect(0, 0, rect.width(), H));
    return;
  }
  const int right = rect.x() + rect.width();
  painter.drawImage(rect.topLeft(), source, QRect(0, 0, pw, H));
  painter.drawImage(QPoint(right - pw, rect.y()), source, QRect(2 * pw, 0, pw, H));
  painter.drawImage(Ltrb(rect.x() + pw, rect.y(), right - pw, rect.y() + middleHeight), middle);
}

}  // namespace

void SpitDrawHorizontal2(const QImage& picture, QPainter& painter, const QRect& rect,
                         bool transparent, const QColor& mask) {
  const int pw = picture.width() / 3;
  if (pw == 0 || picture.height() == 0) return;
  const QImage source = transparent ? MaskedImage(picture, mask) : picture;
  DrawThreeParts(painter, source, rect, source.copy(pw, 0, pw, source.height()), source.height());
}

void SpitDrawHorizontal(const QImage& picture, QPainter& painter, const QRect& rect,
                        bool maskFromPicture, const QColor& fill, bool maskFromUpperRow) {
  const int pw = picture.width() / 3;
  const int H = picture.height();
  if (pw == 0 || H == 0) return;
  const QColor mask = !maskFromPicture   ? kMagenta
                      : maskFromUpperRow ? picture.pixelColor(0, 0)
                                         : picture.pixelColor(0, H - 1);
  const QImage source = MaskedImage(picture, mask);
  // The middle part over the fill colour, stretched over the whole height.
  QImage middle(pw, H, QImage::Format_ARGB32);
  middle.fill(fill);
  {
    QPainter p(&middle);
    p.drawImage(0, 0, source, pw, 0, pw, H);
  }
  DrawThreeParts(painter, source, rect, middle, rect.height());
}

void TileDraw(QPainter& painter, const QImage& picture, const QRect& rect) {
  if (picture.width() == 0 || picture.height() == 0) return;
  for (int x = 0; x < rect.width() + picture.width(); x += picture.width()) {
    for (int y = 0; y < rect.height() + picture.height(); y += picture.height())
      painter.drawImage(x, y, picture);
  }
}

void ResizeImage(const QImage& picture, QPainter& painter, const QRect& rect) {
  painter.save();
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect, picture);
  painter.restore();
}

namespace {

int Mix(int start, int end, int span, int step) {
  return start + static_cast<int>(static_cast<double>(end - start) / span * step);
}

QColor MixColour(const QColor& s, const QColor& e, int span, int step) {
  return QColor(Mix(s.red(), e.red(), span, step), Mix(s.green(), e.green(), span, step),
                Mix(s.blue(), e.blue(), span, step));
}

}  // namespace

namespace {

// Lines `first` .. `last` - 1: the first in `start`, the last in `end`, the others interpolated.
template <typename Line>
void Gradient(int first, int last, const QColor& start, const QColor& end, Line line) {
  if (last == first) return;
  line(first, start);
  for (int i = first + 1; i <= last - 2; ++i)
    line(i, MixColour(start, end, last - first, i - first - 1));
  line(last - 1, end);
}

}  // namespace

void DrawHorizontalGradient(QPainter& painter, const QRect& rect, const QColor& start,
                            const QColor& end) {
  Gradient(rect.y(), rect.y() + rect.height(), start, end,
           [&](int y, const QColor& c) { painter.fillRect(rect.x(), y, rect.width(), 1, c); });
}

void DrawVerticalGradient(QPainter& painter, const QRect& rect, const QColor& start,
                          const QColor& end) {
  Gradient(rect.x(), rect.x() + rect.width(), start, end,
           [&](int x, const QColor& c) { painter.fillRect(x, rect.y(), 1, rect.height(), c); });
}

namespace {

template <typename Map>
void Turn(QImage& picture, bool swap, Map map) {
  const int W = picture.width();
  const int H = picture.height();
  QImage out(swap ? H : W, swap ? W : H, picture.format());
  for (int y = 0; y < H; ++y) {
    for (int x = 0; x < W; ++x) {
      const QPoint p = map(x, y, W, H);
      out.setPixel(p, picture.pixel(x, y));
    }
  }
  picture = out;
}

}  // namespace

void RoundPicture(QImage& picture) {
  Turn(picture, true, [](int x, int y, int W, int) { return QPoint(y, W - 1 - x); });
}

void RoundPicture2(QImage& picture) {
  Turn(picture, false, [](int x, int y, int W, int H) { return QPoint(W - 1 - x, H - 1 - y); });
}

void RoundPicture3(QImage& picture) {
  Turn(picture, true, [](int x, int y, int, int H) { return QPoint(H - 1 - y, x); });
}

void ScanColor(QImage& picture, const QColor& oldColour, const QColor& newColour) {
  picture = picture.convertToFormat(QImage::Format_RGB32);
  const QRgb from = oldColour.rgb();
  for (int x = 0; x < picture.width(); ++x) {
    for (int y = 0; y < picture.height(); ++y) {
      if (picture.pixel(x, y) == from) picture.setPixel(x, y, newColour.rgb());
    }
  }
}

void DrawControlBorder(QPainter& painter, const QRect& rect, const QColor& border,
                       const QColor& inner, bool drawInner) {
  painter.save();
  painter.setBrush(Qt::NoBrush);
  painter.setPen(border);
  painter.drawRect(rect.adjusted(0, 0, -1, -1));
  if (drawInner) {
    painter.setPen(inner);
    painter.drawRect(rect.adjusted(1, 1, -2, -2));
  }
  painter.restore();
}

QString FormatStringWithWidth(const QFontMetrics& metrics, const QString& text, int width) {
  if (metrics.horizontalAdvance(text) <= width) return text;
  for (int n = 1;; ++n) {
    if (n >= text.size()) return text;
    const QString shortened = text.left(n) + "...";
    if (metrics.horizontalAdvance(shortened) >= width) return shortened;
  }
}

bool InRect(const QPoint& point, const QRect& rect) {
  return point.x() >= rect.x() && point.x() <= rect.x() + rect.width() && point.y() >= rect.y() &&
         point.y() <= rect.y() + rect.height();
}

void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* fileTheme) {
  if (container == nullptr) return;
  for (QObject* child : container->children()) {
    auto* styled = dynamic_cast<TsuiStyled*>(child);
    if (styled == nullptr || !child->isWidgetType()) continue;
    styled->SetFileTheme(fileTheme);
    styled->SetUIStyle(style);
  }
}

bool IsFormLoading(const QWidget* control) {
  return control != nullptr && control->window()->property(kLoadingProperty).toBool();
}

TsuiFormLoading::TsuiFormLoading(QWidget* form) : form_(form) {
  form_->setProperty(kLoadingProperty, true);
}

TsuiFormLoading::~TsuiFormLoading() {
  form_->setProperty(kLoadingProperty, false);
}

}  // namespace zelvar
