#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetrics>
#include <QPainter>

#include "skin/Suipublic.h"
#include "support/QtApp.h"

namespace zelvar {
namespace skin_painting_test {

// A picture whose every pixel names its own column and row.
QImage Coded(int w, int h) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) image.setPixelColor(x, y, QColor(x * 2, y * 10, 77));
  }
  return image;
}

QColor Source(int x, int y) {
  return QColor(x * 2, y * 10, 77);
}

QImage Canvas(int w, int h, const QColor& fill = Qt::black) {
  QImage image(w, h, QImage::Format_RGB32);
  image.fill(fill);
  return image;
}

TEST(SpitBitmap, LastFrameIsTheRightmostColumns) {
  const QImage strip = Coded(100, 2);
  QImage frame;
  SpitBitmap(strip, &frame, 3, 1);
  EXPECT_EQ(frame.width(), 33);
  EXPECT_EQ(frame.pixelColor(0, 0), Source(0, 0));
  SpitBitmap(strip, &frame, 3, 2);
  EXPECT_EQ(frame.pixelColor(0, 1), Source(33, 1));
  EXPECT_EQ(frame.pixelColor(32, 1), Source(65, 1));
  SpitBitmap(strip, &frame, 3, 3);
  EXPECT_EQ(frame.width(), 33);
  EXPECT_EQ(frame.pixelColor(0, 0), Source(67, 0)) << "column 66 is the spare one";
  EXPECT_EQ(frame.pixelColor(32, 0), Source(99, 0));
}

TEST(SpitDraw, NinePartsOfA21PixelPicture) {
  const QImage picture = Coded(21, 21);
  QImage out = Canvas(21, 21);
  {
    QPainter p(&out);
    SpitDraw(picture, p, QRect(0, 0, 21, 21), false);
  }
  // Upper-left corner from columns and rows 0-9, lower-right from 12-20.
  EXPECT_EQ(out.pixelColor(0, 0), Source(0, 0));
  EXPECT_EQ(out.pixelColor(9, 9), Source(9, 9));
  EXPECT_EQ(out.pixelColor(12, 12), Source(12, 12));
  EXPECT_EQ(out.pixelColor(20, 20), Source(20, 20));
  // The left edge is row 10 stretched; the upper edge columns 10 and 11.
  EXPECT_EQ(out.pixelColor(0, 10), Source(0, 10));
  EXPECT_EQ(out.pixelColor(0, 11), Source(0, 10));
  EXPECT_EQ(out.pixelColor(10, 0), Source(10, 0));
  EXPECT_EQ(out.pixelColor(11, 0), Source(11, 0));
}

TEST(SpitDraw, CornersAreTrimmedNotScaledInASmallRectangle) {
  const QImage picture = Coded(21, 21);
  QImage out = Canvas(8, 8);
  {
    QPainter p(&out);
    SpitDraw(picture, p, QRect(0, 0, 8, 8), false);
  }
  EXPECT_EQ(out.pixelColor(1, 1), Source(1, 1));
  EXPECT_EQ(out.pixelColor(3, 3), Source(3, 3));
  EXPECT_EQ(out.pixelColor(7, 7), Source(20, 20));
  EXPECT_EQ(out.pixelColor(5, 5), Source(18, 18));
}

TEST(SpitDraw, MagentaShowsThroughEdgesAlwaysAndCornersWhenAsked) {
  QImage picture = Coded(21, 21);
  picture.setPixelColor(0, 0, kMagenta);   // a corner pixel
  picture.setPixelColor(0, 10, kMagenta);  // the left edge
  for (bool transparent : {false, true}) {
    QImage out = Canvas(21, 21, Qt::green);
    {
      QPainter p(&out);
      SpitDraw(picture, p, QRect(0, 0, 21, 21), transparent);
    }
    EXPECT_EQ(out.pixelColor(0, 0), transparent ? QColor(Qt::green) : kMagenta);
    EXPECT_EQ(out.pixelColor(0, 10), QColor(Qt::green));
  }
}

TEST(SpitDrawHorizontal, ThreePartsAndANarrowRectangle) {
  const QImage picture = Coded(9, 2);  // parts of 3 columns
  QImage out = Canvas(12, 2);
  {
    QPainter p(&out);
    SpitDrawHorizontal2(picture, p, QRect(0, 0, 12, 2), false, kMagenta);
  }
  EXPECT_EQ(out.pixelColor(0, 0), Source(0, 0));
  EXPECT_EQ(out.pixelColor(11, 1), Source(8, 1));
  EXPECT_EQ(out.pixelColor(3, 0), Source(3, 0));  // the middle, stretched from column 3
  // Narrower than a part: only the left part, cut.
  QImage narrow = Canvas(4, 2);
  {
    QPainter p(&narrow);
    SpitDrawHorizontal2(picture, p, QRect(0, 0, 2, 2), false, kMagenta);
  }
  EXPECT_EQ(narrow.pixelColor(1, 0), Source(1, 0));
  EXPECT_EQ(narrow.pixelColor(2, 0), QColor(Qt::black));
  // Over a fill colour the middle's see-through pixels take the fill, over the full height.
  QImage tab = Coded(9, 2);
  tab.setPixelColor(4, 0, kMagenta);
  QImage filled = Canvas(9, 4);
  {
    QPainter p(&filled);
    SpitDrawHorizontal(tab, p, QRect(0, 0, 9, 4), false, Qt::yellow, true);
  }
  EXPECT_EQ(filled.pixelColor(4, 0), QColor(Qt::yellow));
  EXPECT_EQ(filled.pixelColor(4, 3), Source(4, 1));
}

TEST(Gradient, EndsAndOneRow) {
  QImage out = Canvas(3, 5);
  {
    QPainter p(&out);
    DrawHorizontalGradient(p, QRect(0, 0, 3, 5), QColor(0, 0, 0), QColor(250, 100, 50));
  }
  EXPECT_EQ(out.pixelColor(1, 0), QColor(0, 0, 0));
  EXPECT_EQ(out.pixelColor(1, 4), QColor(250, 100, 50));
  EXPECT_EQ(out.pixelColor(1, 2), QColor(50, 20, 10));  // 250 / 5 x (2 - 0 - 1)
  QImage row = Canvas(3, 1);
  {
    QPainter p(&row);
    DrawHorizontalGradient(p, QRect(0, 0, 3, 1), Qt::red, Qt::blue);
  }
  EXPECT_EQ(row.pixelColor(0, 0), QColor(Qt::blue)) << "start, then end on the same row";
  QImage columns = Canvas(4, 1);
  {
    QPainter p(&columns);
    DrawVerticalGradient(p, QRect(0, 0, 4, 1), Qt::red, Qt::blue);
  }
  EXPECT_EQ(columns.pixelColor(0, 0), QColor(Qt::red));
  EXPECT_EQ(columns.pixelColor(3, 0), QColor(Qt::blue));
}

TEST(Turns, QuarterHalfAndBack) {
  const QImage picture = Coded(3, 2);
  QImage left = picture;
  RoundPicture(left);  // counter-clockwise: (x, y) -> (y, W - 1 - x)
  ASSERT_EQ(left.size(), QSize(2, 3));
  EXPECT_EQ(left.pixelColor(0, 2), Source(0, 0));
  EXPECT_EQ(left.pixelColor(1, 0), Source(2, 1));
  QImage half = picture;
  RoundPicture2(half);
  EXPECT_EQ(half.pixelColor(0, 0), Source(2, 1));
  QImage back = left;
  RoundPicture3(back);
  EXPECT_EQ(back, picture.convertToFormat(back.format()));
  QImage scan = picture;
  ScanColor(scan, Source(1, 1), Qt::white);
  EXPECT_EQ(scan.pixelColor(1, 1), QColor(Qt::white));
  EXPECT_EQ(scan.pixelColor(1, 0), Source(1, 0));
}

TEST(Tiles, CoverTheRectangleAndSkipAnEmptyPicture) {
  QImage out = Canvas(5, 5);
  {
    QPainter p(&out);
    TileDraw(p, Coded(2, 2), QRect(0, 0, 5, 5));
    TileDraw(p, QImage(), QRect(0, 0, 5, 5));  // must return, not loop
  }
  EXPECT_EQ(out.pixelColor(4, 4), Source(0, 0));
  EXPECT_EQ(out.pixelColor(3, 2), Source(1, 0));
}

TEST(Text, FormatStringWithWidth) {
  const QFontMetrics fm{QFont()};
  const QString text = "Programmer message";
  EXPECT_EQ(FormatStringWithWidth(fm, text, fm.horizontalAdvance(text)), text);
  const int width = fm.horizontalAdvance("Progr...");
  const QString shortened = FormatStringWithWidth(fm, text, width);
  ASSERT_TRUE(shortened.endsWith("..."));
  EXPECT_GE(fm.horizontalAdvance(shortened), width);
  EXPECT_LT(fm.horizontalAdvance(shortened.left(shortened.size() - 4) + "..."), width)
      << "the first prefix that is wide enough";
}

TEST(Rects, InRectCountsTheRightAndLowerEdges) {
  const QRect r(0, 0, 10, 5);
  EXPECT_TRUE(InRect(QPoint(10, 5), r));
  EXPECT_TRUE(InRect(QPoint(0, 0), r));
  EXPECT_FALSE(InRect(QPoint(11, 5), r));
  EXPECT_FALSE(InRect(QPoint(-1, 2), r));
}

}  // namespace skin_painting_test
}  // namespace zelvar
