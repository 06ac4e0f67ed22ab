// The 16-bit EPROM set "I27CX" end to end on the simulated programmer.
#include <algorithm>

#include "EpromFixture.h"
#include "link/LinkState.h"

namespace zelvar::test {
namespace i27cx_test {

class I27CXTest : public EpromFixture {
 protected:
  void ChooseWide(int row, int mem, const char* part, const char* tag) {
    fake.chipParams = {{"mem=", mem}, {"dly=", 1}, {"vcc=", 5000}};
    Choose("I27CX", row, part, "ATMEL: AT27C1024", tag);
  }
};

TEST_F(I27CXTest, RoundTripOn27C1024) {
  ChooseWide(2, 2, "AT27C1024", "at27c2048dip40");
  EXPECT_EQ(gApp.InfoRecord[0], 0x1FFFF);
  EXPECT_EQ(gApp.InfoRecord[5], 100);
  EXPECT_EQ(gApp.PinMask, 0xDFFFFFFFFFull);  // pins 1-37 and 39-40
  const std::uint32_t size = 0x20000;

  EXPECT_EQ(Run(kOpBlank), 0);
  Pattern(size, 0x29);
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(Run(kOpVerify), 0) << gLink.FailAddress;
  for (std::uint32_t w = 0; w < size / 2; ++w) {
    ASSERT_EQ(chip->cells[w], gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8) << w;
  }
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
  EXPECT_EQ(Run(kOpRead), 0);
  for (std::uint32_t w = 0; w < size / 2; ++w) {
    ASSERT_EQ(chip->cells[w], gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8) << w;
  }
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);

  // Failures name the byte offset from the range start.
  chip->cells[0x801] = 0x12FF;
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1002u);
}

TEST_F(I27CXTest, BlankFailureAndCeProgramPart) {
  ChooseWide(3, 4, "AT27C4096", "at27c4096dip40");
  chip->cells[0x10] = 0xFF00;
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x20u);
  EXPECT_EQ(gLink.FailByte, 0x00);
  // A short range: the program pulse is on CE for this part.
  chip->cells[0x10] = 0xFFFF;
  Pattern(0x100);
  gApp.OptionValues[65] = 0xFF;
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_EQ(chip->pulses, 0x80);
  EXPECT_EQ(Run(kOpVerify), 0);
  EXPECT_EQ(chip->cells[0x80], 0xFFFF);
}

// Each maker's levels and pulse, from its datasheet: Atmel's word-wide parts at VPP 13.0 V and
// VCC 6.5 V (12.75 to 13.25 V, 6.25 to 6.75 V), the AT27C1024 with 100 us pulses and the
// AT27C4096 with 50 us (47.5 to 52.5 us; a longer pulse is a hazard); ST's 42-pin parts with 50 us
// pulses at VCC 6.25 V, the M27C160 at 12.5 V on BYTE/VPP, the M27C322 at 12 V on G/VPP. Verify
// runs at the line's 5 V again.
struct MakerCase {
  int row, mem;
  const char* part;
  const char* tag;
  double pulseUs;
  int vppMv, vccMv;
};

class I27CXMaker : public I27CXTest, public ::testing::WithParamInterface<MakerCase> {};

TEST_P(I27CXMaker, ProgramsInsideTheMakersWindow) {
  const MakerCase& c = GetParam();
  ChooseWide(c.row, c.mem, c.part, c.tag);
  Pattern(0x200, 0x5C);
  gApp.OptionValues[64] = 0x400;
  gApp.OptionValues[65] = 0x5FF;
  EXPECT_EQ(Run(kOpWrite), 0);
  // Inside the datasheet's +-0.25 V (the programmer sets VCC in its own steps: 6.2 V for 6.25 V).
  EXPECT_NEAR(chip->lastPulseVppMv, c.vppMv, 250);
  EXPECT_NEAR(chip->lastPulseVccMv, c.vccMv, 250);
  EXPECT_DOUBLE_EQ(chip->lastPulseUs, c.pulseUs);
  for (std::uint32_t w = 0; w < 0x100; ++w) {
    ASSERT_EQ(chip->cells[0x200 + w], gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8)
        << w;
  }
  EXPECT_EQ(Run(kOpVerify), 0);
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, I27CXMaker,
    ::testing::Values(MakerCase{2, 2, "AT27C1024", "at27c2048dip40", 100, 13000, 6500},
                      MakerCase{3, 4, "AT27C4096", "at27c4096dip40", 50, 13000, 6500},
                      MakerCase{1, 6, "M27C160", "m27c160dip42", 50, 12500, 6250},
                      MakerCase{6, 7, "M27C322", "m27c322dip42", 50, 12000, 6250}));

// A line without "vcc=" or "dly=" runs at 5 V with one 100 µs step per pulse; a size class the
// row lacks gives no size and no contact pins.
TEST_F(I27CXTest, MissingItemsTakeTheirDefaults) {
  fake.chipParams = {{"mem=", 9}, {"vcc=", 5000}};
  Choose("I27CX", 2, "AT27C1024", "ATMEL: AT27C1024", "at27c2048dip40");
  EXPECT_EQ(gApp.InfoRecord[0], 0);
  EXPECT_EQ(gApp.PinMask, 0u);
  fake.chipParams = {{"mem=", 2}};
  Choose("I27CX", 2, "AT27C1024", "ATMEL: AT27C1024", "at27c2048dip40");
  EXPECT_EQ(prog->VccMillivolts(), 5000);
  chip->cells[0x200] = 0;
  EXPECT_EQ(Run(kOpBlank), 1) << "a programmed chip is not blank";
  Pattern(0x100);
  gApp.OptionValues[65] = 0xFF;
  EXPECT_EQ(Run(kOpWrite), 0);
  EXPECT_GT(chip->pulses, 0);
  EXPECT_EQ(Run(kOpVerify), 0) << gLink.FailAddress;
}

}  // namespace i27cx_test
}  // namespace zelvar::test
