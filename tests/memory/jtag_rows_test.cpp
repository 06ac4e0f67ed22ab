// The JTAG sets' row images: hex register text, JEDEC fuse lines to images and back, and the
// lines refused (another device's width or group count, no closing '*').
#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "algorithms/memory/JtagRows.h"

namespace zelvar::memory {
namespace jtag_rows_test {

TEST(JtagRows, HexTextToBits) {
  struct Case {
    const char* text;
    int bits;
    bool ok;
    std::vector<std::uint8_t> bytes;
  };
  const Case cases[] = {
      {"02a957", 18, true, {0x57, 0xA9, 0x02}},
      {"01", 6, true, {0x01}},
      {"00000000", 32, true, {0, 0, 0, 0}},
      {"FE", 8, true, {0xFE}},
      {"2a957", 18, false, {}},     // a digit short
      {"0002a957", 18, false, {}},  // a byte too many
      {"02g957", 18, false, {}},    // not hex
      {"", 0, false, {}},
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 8> out{};
    out.fill(0xEE);
    EXPECT_EQ(HexTextToBits(c.text, out, c.bits), c.ok) << c.text;
    for (std::size_t i = 0; i < c.bytes.size(); ++i) EXPECT_EQ(out[i], c.bytes[i]) << c.text << i;
    if (!c.ok) {
      EXPECT_EQ(out[0], 0xEE) << c.text;
    }
  }
  std::array<std::uint8_t, 2> small{};
  EXPECT_FALSE(HexTextToBits("02a957", small, 18));
}

TEST(JtagRows, FuseLinesBecomeImagesAndComeBack) {
  struct Case {
    const char* line;
    int groups, width;
    std::vector<std::uint8_t> image;
  };
  const Case cases[] = {
      // Fuse 0 of each group in the slot's bit 0, the slots from bit 2 on.
      {"L0000000 10000000 00000001 11111111 00000000*", 4, 8, {0x04, 0x00, 0xFE, 0x03, 0x00}},
      {"L0000288 100000 000001 111111*", 3, 6, {0x04, 0x80, 0xFC, 0x00}},
      {"L0000000 11111111*", 1, 8, {0xFC, 0x03}},
  };
  for (const Case& c : cases) {
    std::array<std::uint8_t, 16> out{};
    ASSERT_EQ(ParseJedecField(c.line, c.groups, c.width, out), c.groups) << c.line;
    for (std::size_t i = 0; i < c.image.size(); ++i)
      EXPECT_EQ(out[i], c.image[i]) << c.line << " byte " << i;
    const std::string l = c.line;
    const int fuse = std::stoi(l.substr(1, 7));
    EXPECT_EQ(JedecFuseLine(out, fuse, c.width, c.groups), l);
  }
}

TEST(JtagRows, LinesOfAnotherShapeAreRefused) {
  const char* bad[] = {
      "L0000000 10000000 00000001 11111111*",             // three groups where four are due
      "L0000000 10000000 00000001 11111111 00000000 1*",  // five
      "L0000000 1000000 00000001 11111111 00000000*",     // a 7-fuse group
      "L0000000 100000000 0000001 11111111 00000000*",    // widths shifted
      "L0000000 10000000 00000001 11111111 00000000",     // no '*'
      "L0000000 10000000 00000001 1111x111 00000000*",    // not a fuse
      "N0000000 10000000 00000001 11111111 00000000*",    // not an L field
      "L0000000",
  };
  for (const char* line : bad) {
    std::array<std::uint8_t, 16> out{};
    EXPECT_EQ(ParseJedecField(line, 4, 8, out), 0) << line;
  }
  // An image area too small for the groups, and a row wider than the shift buffer.
  std::array<std::uint8_t, 4> small{};
  EXPECT_EQ(ParseJedecField("L0000000 10000000 00000001 11111111 00000000*", 4, 8, small), 0);
  std::vector<std::uint8_t> big(400);
  EXPECT_EQ(ParseJedecField("L0 1*", kMaxJtagRowBits / 8 + 1, 8, big), 0);
}

}  // namespace jtag_rows_test
}  // namespace zelvar::memory
