// The Philips-type sets "P89C51RX2XX" and "PHI89NEW" on the simulated P89C51RX2 parts, through
// the operation runner: every modelled row erased, written, verified and read against the chip's
// cells, security bits with their effect, the "P89C51RX2XX" status byte, boot vector and 6-clock
// bit, the identity refusal, and the package's VPP pin.
#include <gtest/gtest.h>

#include <vector>

#include "Mcs51Fixture.h"
#include "services/Dispatcher.h"
#include "sim/chips/PhiRx2.h"

namespace zelvar::test {
namespace phi89_sets_test {

struct PhiRow {
  ChipLine line;
  const char* part;
  std::uint32_t codeBytes;
};

void PrintTo(const PhiRow& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.title;
}

constexpr std::array<std::uint8_t, 4> Id(std::uint8_t derivative) {
  return {0x15, 0xC2, derivative, 0};
}

class PhiSetRoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<PhiRow> {};

TEST_P(PhiSetRoundTrip, ErasesWritesVerifiesReadsAndSecures) {
  const PhiRow& r = GetParam();
  auto chip = sim::MakePhiRx2(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 97) chip->cells[a] = 0x21;
  chip->security = 0xFE;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->security, 0xFF);  // the status above is the Blank's the Erase click runs

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
  runner.IdClick();
  EXPECT_TRUE(Logged("MFA = 15,c2,")) << LastLine();

  // "SB" alone: security bit 2, after which the code no longer verifies.
  gApp.OptionValues[0] = 0x02;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->security, 0xFD);
  Pattern(r.codeBytes);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->clock, 0xFF);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PhiSetRoundTrip,
    ::testing::Values(
        PhiRow{{"P89C51RX2XX", 1, "PHILIPS: P89C51RA2XX", Id(0x8A)}, "P89C51RA2XX", 8192},
        PhiRow{{"P89C51RX2XX", 2, "PHILIPS: P89C51RB2XX", Id(0x8B)}, "P89C51RB2XX", 16384},
        PhiRow{{"P89C51RX2XX", 3, "PHILIPS: P89C51RC2XX", Id(0x8C)}, "P89C51RC2XX", 32768},
        PhiRow{{"P89C51RX2XX", 4, "PHILIPS: P89C51RD2XX", Id(0x8D)}, "P89C51RD2XX", 65536},
        PhiRow{{"PHI89NEW", 9, "PHILIPS: P89C51RA2HBP", Id(0x8A)}, "P89C51RA2", 8192},
        PhiRow{{"PHI89NEW", 10, "PHILIPS: P89C51RB2HBP", Id(0x8B)}, "P89C51RB2", 16384},
        PhiRow{{"PHI89NEW", 11, "PHILIPS: P89C51RC2HBP", Id(0x8C)}, "P89C51RC2", 32768},
        PhiRow{{"PHI89NEW", 12, "PHILIPS: P89C51RD2HBP", Id(0x8D)}, "P89C51RD2", 65536},
        // One BP, RA+ and X2 line each and the 64 KB RA+ (the catalogue sweep runs every line);
        // their lines give no signature.
        PhiRow{{"PHI89NEW", 1, "PHILIPS: P89C51BP"}, "P89C51BP", 4096},
        PhiRow{{"PHI89NEW", 5, "PHILIPS: P89C51RA+"}, "P89C51RA+", 8192},
        PhiRow{{"PHI89NEW", 8, "PHILIPS: P89C51RD+"}, "P89C51RD+", 65536},
        PhiRow{{"PHI89NEW", 13, "PHILIPS: P89C51X2"}, "P89C51X2", 4096}),
    [](const auto& info) {
      return info.param.line.key + "_Row" + std::to_string(info.param.line.row);
    });

class PhiSets : public Mcs51Fixture {
 protected:
  // Values written to programmer register `reg` since the records were cleared.
  std::vector<int> RegisterWrites(int reg) const {
    std::vector<int> v;
    for (const auto& c : prog->record.transcript) {
      if (c.op() == 14 && c.bytes[1] == reg) v.push_back(c.bytes[2]);
    }
    return v;
  }
};

// "P89C51RX2XX" Security programs the three security bits only, whatever the "6/12 Clock" row
// says; Config programs the status byte, the vector and, with that row clear, the 6-clock bit.
TEST_F(PhiSets, P89c51rx2xxSecurityAndClockAreSeparateJobs) {
  auto chip = sim::MakePhiRx2("P89C51RC2XX");
  Choose({"P89C51RX2XX", 3, "PHILIPS: P89C51RC2XX", Id(0x8C)}, chip);
  gApp.OptionValues[0] = 0x0F;  // every row at its default
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->security, 0xF8);
  EXPECT_EQ(chip->clock, 0xFF);

  gApp.OptionValues[64] = 0x01;
  gApp.OptionValues[65] = 0x3C;
  runner.ConfigClick();
  EXPECT_EQ(chip->status, 0x01);
  EXPECT_EQ(chip->vector, 0x3C);
  EXPECT_EQ(chip->clock, 0xFF);
  gApp.OptionValues[0] = 0x07;
  gApp.OptionValues[64] = 0x00;
  runner.ConfigClick();
  EXPECT_EQ(chip->status, 0x00);
  EXPECT_EQ(chip->clock, 0x7F);
  gApp.OptionValues[64] = gApp.OptionValues[65] = 0x55;
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[64], 0x00);
  EXPECT_EQ(gApp.OptionValues[65], 0x3C);
  EXPECT_TRUE(Logged("Status=00,Vect=3c,Config=7f,Lock=f8")) << LastLine();
  ExpectClean();
}

// Behind the PLCC44 adapter EA/VPP is socket pin 33: no operation puts VPP on pin 31.
TEST_F(PhiSets, P89c51rx2xxPutsVppOnThePackagesPin) {
  Choose({"P89C51RX2XX", 4, "PHILIPS: P89C51RD2XX*P44", {}}, nullptr);
  for (int op : {int{kOpErase}, int{kOpBlank}, int{kOpWrite}, int{kOpVerify}, int{kOpConfig},
                 int{kOpLock}, int{kOpRead}, int{kOpReadId}, int{kOpReadConfig}}) {
    prog->record.Clear();
    Call(op);
    const std::vector<int> vpp = RegisterWrites(20);
    for (int pin : vpp) EXPECT_TRUE(pin == 0 || pin == 33) << op << ": " << pin;
    EXPECT_NE(std::count(vpp.begin(), vpp.end(), 33), 0) << op;
  }
}

// A wrong chip: Write programs nothing and fails with the type error.
TEST_F(PhiSets, WriteRefusesAnotherChip) {
  for (const ChipLine& line : {ChipLine{"P89C51RX2XX", 1, "PHILIPS: P89C51RA2XX", Id(0x8B)},
                               ChipLine{"PHI89NEW", 9, "PHILIPS: P89C51RA2HBP", Id(0x8B)}}) {
    SCOPED_TRACE(line.key);
    auto chip = sim::MakePhiRx2(line.key == "PHI89NEW" ? "P89C51RA2" : "P89C51RA2XX");
    Choose(line, chip);
    Pattern(8192);
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_TRUE(Logged("R=(15,c2,8a)  S=(15,c2,8b)"));
    EXPECT_TRUE(Logged("Type error!"));
    EXPECT_EQ(chip->programmed, 0);
    ExpectClean();
  }
}

// "PHI89NEW" row 4 (P89C58BP): a third ID byte of 0xF8 or 0xFE passes whatever the line expects;
// another third byte fails.
TEST_F(PhiSets, Phi89newAcceptsTheP89c58bpVariants) {
  struct Case {
    std::uint8_t third;
    bool passes;
  };
  for (const Case& c : {Case{0xF8, true}, Case{0xFE, true}, Case{0x33, false}}) {
    auto chip = std::make_shared<sim::PhiRx2Chip>("P89C58BP", 32768, c.third);
    Choose({"PHI89NEW", 4, "PHILIPS: P89C58BP", {0x15, 0xC2, 0x99, 0}}, chip);
    Pattern(32768);
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, c.passes ? 0 : 1) << int{c.third};
    EXPECT_EQ(chip->cells[0x7FFF], c.passes ? gApp.CodeBuffer[0x7FFF] : 0xFF) << int{c.third};
  }
}

}  // namespace phi89_sets_test
}  // namespace zelvar::test
