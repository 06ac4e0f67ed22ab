// The I2C set "P24C411" on model 411, which has no FPGA: the bus driven with pin commands, each
// data bit sampled into a reply byte, with 24Cxx and X24C01 models from their datasheets.
#include "algorithms/memory/P24C411.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/I2cEeprom.h"

namespace zelvar::test {
namespace p24c411_test {

class P24c411Test : public ChipFixture {
 protected:
  void SetUp() override {
    ChipFixture::SetUp();
    Connect(411);
  }
  std::shared_ptr<sim::I2cEeprom> Choose24(int row, const char* part) {
    auto chip = sim::MakeI2cEeprom(part);
    Choose("P24C411", row, chip, std::string("ATMEL: ") + part, "");
    return chip;
  }
  static bool Holds(const sim::I2cEeprom& chip, std::uint32_t n) {
    return std::equal(chip.cells.begin(), chip.cells.begin() + n, gApp.CodeBuffer.begin());
  }
};

struct Row411 {
  int row;
  const char* part;
};

class P24c411RoundTrip : public P24c411Test, public ::testing::WithParamInterface<Row411> {};

TEST_P(P24c411RoundTrip, WriteVerifyReadReachTheChipsCells) {
  const Row411& c = GetParam();
  auto chip = Choose24(c.row, c.part);
  const std::uint32_t size =
      memory::P24C411::kTypes[static_cast<std::size_t>(c.row)].lastAddress + 1;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  Pattern(size, static_cast<std::uint8_t>(c.row));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, size));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), size, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip, size));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, P24c411RoundTrip,
                         ::testing::Values(Row411{1, "24C01A"}, Row411{2, "24C02"},
                                           Row411{3, "24C04"}, Row411{4, "24C08"},
                                           Row411{5, "24C16"}, Row411{6, "24C32"},
                                           Row411{12, "X24C01"}),
                         [](const auto& info) { return std::string(info.param.part); });

// A changed cell is named by Verify; a write slower than the chosen wait loses the next byte.
TEST_F(P24c411Test, VerifyNamesTheChangedByteAndTheWaitCoversTheWriteCycle) {
  auto chip = Choose24(5, "24C16");
  Pattern(2048);
  ASSERT_EQ(Click(kOpWrite), 0) << LastLine();
  chip->cells[0x7C3] ^= 0x10;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x7C3u);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x7C3]);

  // 1 ms a byte is shorter than the 24C16's write cycle.
  gApp.OptionValues[128] = 0;
  std::fill(chip->cells.begin(), chip->cells.end(), 0xFF);
  EXPECT_EQ(Click(kOpWrite), 0);
  EXPECT_FALSE(Holds(*chip, 2048));
  ExpectNoHazard();
}

}  // namespace p24c411_test
}  // namespace zelvar::test
