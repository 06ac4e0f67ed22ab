#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "app/core/pictures/BadPins.h"
#include "app/core/pictures/IspPicture.h"
#include "app/core/pictures/Jpeg.h"
#include "app/core/pictures/Placement.h"

namespace zelvar {
namespace pictures_test {

// Socket row of a bar's upper edge in the placement picture.
int RowOf(const Box& b) {
  return (b.top - 50) / 8 + 1;
}

TEST(BadPinDrawing, FortyPinSocketMarksTheBadPins) {
  const BadPinDrawing d = MakeBadPinDrawing(5107, {3, 40, 0, 7});
  EXPECT_EQ(d.layout.pins, 40);
  EXPECT_FALSE(d.layout.flipped);
  ASSERT_EQ(d.pins.size(), 40u);
  EXPECT_EQ(d.markedPins, (std::vector<int>{3, 40})) << "the list ends at its first 0";
  // Pin 3 in the left column; pin 40 in the right column, across from pin 1.
  EXPECT_EQ(d.pins[2], (Box{40, 74, 50, 78}));
  EXPECT_EQ(d.pins[39], (Box{90, 58, 100, 62}));
  EXPECT_EQ(d.pins[0].top, d.pins[39].top);
  EXPECT_EQ(d.marked[0], (Box{41, 75, 49, 77}));
  EXPECT_EQ(d.marked[1], (Box{91, 59, 99, 61}));
  EXPECT_EQ(d.lever.circle, (Box{30, 4, 40, 14}));
}

TEST(BadPinDrawing, TurnedSocketMirrorsInBothDirections) {
  const BadPinDrawing plain = MakeBadPinDrawing(5107, {3, 40});
  for (int model : {5105, 5106}) {
    const BadPinDrawing d = MakeBadPinDrawing(model, {3, 40});
    ASSERT_TRUE(d.layout.flipped);
    ASSERT_EQ(d.pins.size(), 40u);
    for (std::size_t i = 0; i < d.pins.size(); ++i) {
      EXPECT_EQ(d.pins[i].left, kBadPinPictureWidth - plain.pins[i].left);
      EXPECT_EQ(d.pins[i].top, kBadPinPictureHeight - plain.pins[i].top);
    }
    EXPECT_EQ(d.markedPins, plain.markedPins);
    EXPECT_EQ(d.lever.circle, (Box{90, 190, 100, 200}));
    EXPECT_EQ(d.lever.text, (Point{82, 205}));
  }
}

TEST(BadPinDrawing, FortyEightPinSocketContinuesAbovePinOne) {
  for (int model : {5148, 5149, 6200, 6400}) {
    const BadPinDrawing d = MakeBadPinDrawing(model, {45, 48, 44, 1});
    EXPECT_EQ(d.layout.pins, 48) << model;
    EXPECT_FALSE(d.layout.flipped);
    ASSERT_EQ(d.pins.size(), 48u);
    // Pins 45..48 stand above pin 1 in the left column; pin 44 heads the right column.
    EXPECT_EQ(d.pins[44].top, 26);
    EXPECT_EQ(d.pins[47].top, 50);
    EXPECT_EQ(d.pins[0].top, 58);
    EXPECT_EQ(d.pins[43], (Box{90, 26, 100, 30}));
    EXPECT_EQ(d.markedPins, (std::vector<int>{45, 48, 44, 1}));
  }
}

TEST(BadPinDrawing, ReadsAtMostThePinCountAndSkipsStrayEntries) {
  std::vector<int> many(60, 0);
  for (int i = 0; i < 60; ++i) many[i] = i % 40 + 1;
  EXPECT_EQ(MakeBadPinDrawing(5107, many).marked.size(), 40u);
  // Ground codes and numbers past the socket are not pins of it.
  EXPECT_EQ(MakeBadPinDrawing(5107, {100, 41, -3, 5}).markedPins, std::vector<int>{5});
  EXPECT_EQ(MakeBadPinDrawing(6200, {48, 49, 101}).markedPins, std::vector<int>{48});
}

struct PlacementCase {
  int model;
  int firstRow, pinCount, pin1Side;
  int wantFirst, wantLast;
  bool wantLower;
};

TEST(PlacementDrawingTest, ChipRowsAndPinOneEnd) {
  const PlacementCase cases[] = {
      {5107, 1, 28, 0, 1, 14, false}, {5106, 1, 28, 0, 7, 20, true},
      {5107, 1, 28, 1, 1, 14, true},  {5105, 1, 28, 1, 7, 20, false},
      {411, 15, 8, 0, 3, 6, true},    {6200, 11, 8, 0, 11, 14, false},
      {5149, 1, 40, 1, 1, 20, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.model << " row " << c.firstRow << " pins " << c.pinCount);
    const PlacementDrawing d = MakePlacementDrawing(c.model, c.firstRow, c.pinCount, c.pin1Side);
    EXPECT_EQ(d.firstRow, c.wantFirst);
    EXPECT_EQ(d.lastRow, c.wantLast);
    ASSERT_EQ(d.chipPins.size(), static_cast<std::size_t>(c.pinCount));
    EXPECT_EQ(RowOf(d.chipPins.front()), c.wantFirst);
    EXPECT_EQ(RowOf(d.chipPins.back()), c.wantLast);
    EXPECT_EQ(d.body.top, 8 * (c.wantFirst - 1) + 48);
    EXPECT_EQ(d.body.bottom - d.body.top, 8 * (c.pinCount / 2));
    EXPECT_EQ(d.pin1AtLowerEnd, c.wantLower);
    const int end = c.wantLower ? d.body.bottom : d.body.top;
    EXPECT_EQ(d.pin1Circle, (Box{76, end - 4, 84, end + 4}));
    ASSERT_EQ(d.pin1Clear.size(), 5u);
    EXPECT_EQ(d.pin1Clear.back().top, c.wantLower ? end + 4 : end - 4);
  }
}

TEST(PlacementDrawingTest, SocketRowsAndLeverByModel) {
  const PlacementDrawing forty = MakePlacementDrawing(5107, 1, 28, 0);
  EXPECT_EQ(forty.socket.size(), 40u);
  EXPECT_EQ(forty.socket.front(), (Box{50, 50, 70, 54}));
  EXPECT_EQ(forty.lever.circle, (Box{40, 30, 50, 40}));
  EXPECT_EQ(forty.lever.text, (Point{55, 30}));

  const PlacementDrawing big = MakePlacementDrawing(6200, 1, 28, 0);
  EXPECT_EQ(big.socket.size(), 48u);
  EXPECT_EQ(big.socket.front().top, 18);
  EXPECT_EQ(big.lever.circle, (Box{40, 3, 50, 13}));

  EXPECT_EQ(MakePlacementDrawing(5106, 1, 28, 0).lever.circle, (Box{110, 210, 120, 220}));
}

TEST(PlacementDrawingTest, FolderByModel) {
  for (int model : {411, 5105, 5106}) EXPECT_EQ(PlacementFolder(model), "Place2/");
  for (int model : {0, 5104, 5107, 5148, 6200}) EXPECT_EQ(PlacementFolder(model), "Place/");
}

TEST(IspPictureTest, HeaderRowsRunOddAboveEvenBelow) {
  const auto pins = IspHeaderPins();
  ASSERT_EQ(pins.size(), 10u);
  std::vector<int> upper, lower;
  for (const auto& p : pins) {
    EXPECT_EQ(p.square.right - p.square.left, 20);
    (p.square.top == 16 ? upper : lower).push_back(p.number);
  }
  EXPECT_EQ(upper, (std::vector<int>{9, 7, 5, 3, 1}));
  EXPECT_EQ(lower, (std::vector<int>{10, 8, 6, 4, 2}));
  EXPECT_EQ(pins[0].label, (Point{20, 50}));
}

TEST(IspPictureTest, LegendStopsAtEndOrTenRows) {
  const auto rows = IspLegendRows({"1----SCL(6)", "9----SDA(5)", "7----VCC(8)", "2----VSS(4)",
                                   "0----x", "end", "3----after end"});
  ASSERT_EQ(rows.size(), 5u);
  EXPECT_EQ(rows[0].colour, 0x008000u);
  EXPECT_EQ(rows[1].colour, 0xFF0000u);
  EXPECT_EQ(rows[2].colour, 0xFF007Fu);
  EXPECT_EQ(rows[3].colour, 0x000000u);
  EXPECT_EQ(rows[4].colour, 0x000000u) << "digits 0 and 2 are both black";
  EXPECT_EQ(rows[1].swatch, (Box{16, 26, 32, 34}));
  EXPECT_EQ(rows[1].text, (Point{36, 22}));
  EXPECT_EQ(rows[1].line, "9----SDA(5)");

  EXPECT_TRUE(IspLegendRows({"end"}).empty());
  EXPECT_EQ(IspLegendRows(std::vector<std::string>(14, "4----x")).size(), 10u);
  // A line without a colour digit is drawn black rather than read from outside the table.
  EXPECT_EQ(IspLegendRows({"X----odd", ""})[0].colour, 0u);
}

TEST(JpegTest, DecodesTheWaitPicture) {
  const auto image = DecodeJpegFile("Waitusb.jpg");
  ASSERT_TRUE(image.has_value());
  EXPECT_EQ(image->width, 212);
  EXPECT_EQ(image->height, 126);
  EXPECT_EQ(image->rgb.size(), 212u * 126u * 3u);
}

TEST(JpegTest, RejectsWhatIsNotAPicture) {
  const std::uint8_t junk[] = {0xFF, 0xD8, 0xFF, 0xE0, 1, 2, 3};
  EXPECT_FALSE(DecodeJpeg(junk, sizeof junk).has_value());
  EXPECT_FALSE(DecodeJpeg(nullptr, 0).has_value());
  EXPECT_FALSE(DecodeJpegFile("no-such-picture.jpg").has_value());
}

// A header that claims 65535 x 65535 pixels is refused before 12.7 GB are asked for.
TEST(JpegTest, RefusesAHugeClaimedSize) {
  std::ifstream in("Waitusb.jpg", std::ios::binary);
  std::vector<std::uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
  std::size_t sof = 0;
  for (std::size_t i = 0; i + 8 < bytes.size(); ++i) {
    if (bytes[i] == 0xFF && (bytes[i + 1] == 0xC0 || bytes[i + 1] == 0xC2)) {
      sof = i;
      break;
    }
  }
  ASSERT_GT(sof, 0u);
  for (std::size_t k = 5; k <= 8; ++k) bytes[sof + k] = 0xFF;  // height and width
  EXPECT_FALSE(DecodeJpeg(bytes.data(), bytes.size()).has_value());
}

}  // namespace pictures_test
}  // namespace zelvar
