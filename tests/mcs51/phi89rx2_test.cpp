// The Philips-type Rx2 set "PHI89RX2" on the simulated P89C51RX2 parts, through the operation
// runner: every type row erased, written, verified and read against the chip's cells, the status
// byte, boot vector and 6-clock bit written and read back, a security bit's effect, and the
// identity check refusing another chip with a failed status.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "services/Dispatcher.h"
#include "sim/chips/PhiRx2.h"

namespace zelvar::test {
namespace phi89rx2_test {

struct PhiRow {
  ChipLine line;
  const char* part;
  std::uint32_t codeBytes;
};

void PrintTo(const PhiRow& r, std::ostream* os) {
  *os << r.line.title;
}

class Phi89Rx2RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<PhiRow> {};

TEST_P(Phi89Rx2RoundTrip, ErasesWritesVerifiesReadsConfiguresAndSecures) {
  const PhiRow& r = GetParam();
  auto chip = sim::MakePhiRx2(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 97) chip->cells[a] = 0x21;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.codeBytes - 1));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_GE(chip->erases, 1);  // the status above is the Blank's the Erase click runs

  Pattern(r.codeBytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged("R=(15,c2,")) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << "chip address " << a;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.codeBytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << "buffer address " << a;
  }

  // Status and vector from the grid; "6/12 Clock" clear programs the 6-clock bit.
  gApp.OptionValues[64] = 0x00;
  gApp.OptionValues[65] = 0x3C;
  gApp.OptionValues[0] = 0x07;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->status, 0x00);
  EXPECT_EQ(chip->vector, 0x3C);
  EXPECT_EQ(chip->clock, 0x7F);
  gApp.OptionValues[64] = gApp.OptionValues[65] = 0x55;
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[64], 0x00);
  EXPECT_EQ(gApp.OptionValues[65], 0x3C);
  EXPECT_TRUE(Logged("Lock=ff,Stat=00,Vect=3c,Clock=7f")) << LastLine();

  // "SB" alone: security bit 2, after which the code no longer verifies.
  gApp.OptionValues[0] = 0x02;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->security, 0xFD);
  Pattern(r.codeBytes);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

constexpr std::array<std::uint8_t, 4> Id(std::uint8_t derivative) {
  return {0x15, 0xC2, derivative, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Phi89Rx2RoundTrip,
    ::testing::Values(PhiRow{{"PHI89RX2", 1, "PHILIPS: P89C51RA2", Id(0x8A)}, "P89C51RA2", 8192},
                      PhiRow{{"PHI89RX2", 2, "PHILIPS: P89C51RB2", Id(0x8B)}, "P89C51RB2", 16384},
                      PhiRow{{"PHI89RX2", 3, "PHILIPS: P89C51RC2", Id(0x8C)}, "P89C51RC2", 32768},
                      PhiRow{{"PHI89RX2", 4, "PHILIPS: P89C51RD2", Id(0x8D)}, "P89C51RD2", 65536}),
    [](const auto& info) { return "Row" + std::to_string(info.param.line.row); });

class Phi89Rx2 : public Mcs51Fixture {};

// A wrong chip: Write programs nothing and fails, even after an operation that succeeded; with no
// identity given it goes on after the R/S line.
TEST_F(Phi89Rx2, WriteRefusesAnotherChipWithAFailedStatus) {
  auto chip = sim::MakePhiRx2("P89C51RA2");
  Choose({"PHI89RX2", 1, "PHILIPS: P89C51RA2", Id(0x8B)}, chip);
  runner.BlankClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(8192);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("R=(15,c2,8a)  S=(15,c2,8b)"));
  EXPECT_TRUE(Logged("Type error!"));
  EXPECT_EQ(chip->programmed, 0);

  gApp.ExpectedId = {};
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->cells[0x1FFF], gApp.CodeBuffer[0x1FFF]);
  ExpectClean();
}

// Security bits one by one at their own addresses; a word 0 of 0 programs none.
TEST_F(Phi89Rx2, SecurityProgramsTheChosenBitsOnly) {
  auto chip = sim::MakePhiRx2("P89C51RB2");
  Choose({"PHI89RX2", 2, "PHILIPS: P89C51RB2", Id(0x8B)}, chip);
  gApp.OptionValues[0] = 0;
  runner.ProtectClick();
  EXPECT_EQ(chip->security, 0xFF);
  gApp.OptionValues[0] = 0x0D;  // Lock and MOVCL; bit 3 is the clock row, not a security bit
  runner.ProtectClick();
  EXPECT_EQ(chip->security, 0xFA);
  EXPECT_EQ(chip->clock, 0xFF);
  // Security bit 1 stops programming until the chip is erased.
  Pattern(16384);
  gApp.ExpectedId = {};
  runner.WriteClick();
  EXPECT_EQ(chip->programmed, 0);
  runner.EraseClick();
  EXPECT_EQ(chip->security, 0xFF);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

}  // namespace phi89rx2_test
}  // namespace zelvar::test
