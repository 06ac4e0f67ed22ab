#pragma once
// Painting helpers the skinned controls share: cutting strips, nine-part and three-part
// drawings with see-through magenta, tiling, turning, gradients, borders and text fitting.
#include <QColor>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QString>

#include "skin/Suithemes.h"

class QPainter;
class QWidget;

namespace zelvar {

class TsuiFileTheme;

// The mask colour of the nine-part and three-part drawings.
inline const QColor kMagenta(255, 0, 255);

// Frame `index` (1-based) of a strip of `count` equal frames; the last frame is the rightmost
// frame-width columns.
void SpitBitmap(const QImage& source, QImage* target, int count, int index);
// A picture as a nine-part frame over `rect` (laid out from the painter's origin): corners
// unscaled and trimmed, edges and middle stretched. Edges always see through magenta, corners
// only when `transparent`.
void SpitDraw(const QImage& picture, QPainter& painter, const QRect& rect, bool transparent);
// A three-part bar (left, stretched middle, right), each part a third of the picture's width.
void SpitDrawHorizontal2(const QImage& picture, QPainter& painter, const QRect& rect,
                         bool transparent, const QColor& mask);
// A three-part bar over `fill`: the middle is stretched over the whole rectangle's height. The
// mask is the picture's first pixel of its upper (or lowest) row when `maskFromPicture`, else
// magenta.
void SpitDrawHorizontal(const QImage& picture, QPainter& painter, const QRect& rect,
                        bool maskFromPicture, const QColor& fill, bool maskFromUpperRow);
// Tiles from the painter's origin over the rectangle; an empty picture draws nothing.
void TileDraw(QPainter& painter, const QImage& picture, const QRect& rect);
void ResizeImage(const QImage& picture, QPainter& painter, const QRect& rect);
// Rows (horizontal) or columns (vertical) from `start` at the first line to `end` at the last.
void DrawHorizontalGradient(QPainter& painter, const QRect& rect, const QColor& start,
                            const QColor& end);
void DrawVerticalGradient(QPainter& painter, const QRect& rect, const QColor& start,
                          const QColor& end);
// Quarter turn counter-clockwise, half turn, quarter turn clockwise.
void RoundPicture(QImage& picture);
void RoundPicture2(QImage& picture);
void RoundPicture3(QImage& picture);
// Replaces every pixel of one colour.
void ScanColor(QImage& picture, const QColor& oldColour, const QColor& newColour);
// A one-pixel border round `rect`, and one inside it in `inner` when `drawInner`.
void DrawControlBorder(QPainter& painter, const QRect& rect, const QColor& border,
                       const QColor& inner, bool drawInner);
// The picture with every pixel of `mask` made see-through.
QImage MaskedImage(const QImage& picture, const QColor& mask);
// The text itself when it fits `width` pixels, else the shortest prefix + "..." that is at least
// as wide.
QString FormatStringWithWidth(const QFontMetrics& metrics, const QString& text, int width);
// Whether the point lies in the rectangle, right and lower edges included.
bool InRect(const QPoint& point, const QRect& rect);
// Gives every direct child control that carries a style the file theme, then the style.
void ContainerApplyUIStyle(QWidget* container, TsuiUIStyle style, TsuiFileTheme* fileTheme);

// While a form is being built its controls fire no OnClick for the states it sets.
bool IsFormLoading(const QWidget* control);
class TsuiFormLoading {
 public:
  explicit TsuiFormLoading(QWidget* form);
  ~TsuiFormLoading();
  TsuiFormLoading(const TsuiFormLoading&) = delete;
  TsuiFormLoading& operator=(const TsuiFormLoading&) = delete;

 private:
  QWidget* form_;
};

}  // namespace zelvar
