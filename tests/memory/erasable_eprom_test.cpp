// The electrically erasable EPROM sets "PW27" and "SST27SF" end to end on the simulated
// programmer.
#include <algorithm>

#include "EpromFixture.h"
#include "link/LinkState.h"
#include "sim/designs/DesignRegistry.h"

namespace zelvar::test {
namespace erasable_eprom_test {

struct Erasable {
  const char* key;
  int row;
  const char* part;
  const char* title;
};

class ErasableRoundTrip : public EpromFixture, public ::testing::WithParamInterface<Erasable> {};

TEST_P(ErasableRoundTrip, EraseBlankWriteVerifyRead) {
  const Erasable& c = GetParam();
  Choose(c.key, c.row, c.part, c.title);
  // A used chip: erase, then the Blank that the runner runs after it.
  std::fill(chip->cells.begin(), chip->cells.end(), 0x12);
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(Run(kOpBlank), 0);

  Pattern(0x10000, 0x71);
  EXPECT_EQ(Run(kOpWrite), 0) << gLink.FailAddress;
  EXPECT_EQ(Run(kOpVerify), 0) << gLink.FailAddress;
  for (std::uint32_t a = 0; a < 0x10000; ++a) ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << a;
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000, 0);
  EXPECT_EQ(Run(kOpRead), 0);
  for (std::uint32_t a = 0; a < 0x10000; ++a) ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << a;
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
  EXPECT_TRUE(prog->record.protocolErrors.empty()) << prog->record.protocolErrors.front();
}

INSTANTIATE_TEST_SUITE_P(Sets, ErasableRoundTrip,
                         ::testing::Values(Erasable{"PW27", 1, "W27E512", "WINBOND: W27E512"},
                                           Erasable{"SST27SF", 2, "SST27SF512",
                                                    "SST: SST27SF512"}));

class SST27SFTest : public EpromFixture {};

// Erasing at the wrong voltage leaves the chip as it was: the SST27SF set's 12 V on a W27E.
TEST_F(SST27SFTest, W27EDoesNotEraseAtTwelveVolts) {
  Choose("SST27SF", 2, "W27E512", "WINBOND: W27E512");
  chip->cells[5] = 0;
  Run(kOpErase);
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 5u);
  // The wrong set's erase pulse is far past what a W27E takes: the monitor says so.
  ASSERT_FALSE(prog->record.hazards.empty());
  EXPECT_NE(prog->record.hazards.front().find("pulse"), std::string::npos);
  prog->record.Clear();
}

// UnProtect and Lock drive 0x5555 and 0x2AAA through the set's address routine and write the
// saved byte back: the chip, with no VPP, keeps every cell.
TEST_F(SST27SFTest, CommandCyclesCarryTheirAddresses) {
  Choose("SST27SF", 2, "SST27SF512", "SST: SST27SF512");
  Pattern(0x10000);
  ASSERT_EQ(Run(kOpWrite), 0);
  const auto before = chip->cells;
  prog->record.Clear();
  EXPECT_EQ(Run(kOpUnProtect), 0);
  EXPECT_EQ(Run(kOpLock), 0);
  EXPECT_EQ(chip->cells, before);
  // Port 1 carries the bit-reversed low address byte: 0x55 reversed is 0xAA, 0xAA is 0x55.
  int port1At5555 = 0, port1At2AAA = 0;
  for (const auto& c : prog->record.transcript) {
    if (c.op() == 17 && c.bytes[1] == 0xAA) ++port1At5555;
    if (c.op() == 17 && c.bytes[1] == 0x55) ++port1At2AAA;
  }
  EXPECT_EQ(port1At5555, 4 + 2);
  EXPECT_EQ(port1At2AAA, 2 + 1);
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

// A power check that fails in a later block ends the write there.
TEST_F(SST27SFTest, WriteStopsAtAFailedPowerCheck) {
  // The supplies overload from the third power check on: the second block's.
  struct WeakAfterFirstBlock : sim::Design {
    std::unique_ptr<sim::Design> inner = sim::MakeDesign("zor5103");
    int checks = 0;
    std::string Name() const override { return "weak"; }
    int CommandLength(std::uint8_t op) const override {
      return op == 14 ? 4 : inner->CommandLength(op);
    }
    // Every command still reaches the EPROM design (its bus mode comes by register writes).
    bool Execute(sim::Programmer& p, const sim::Command& c) override {
      if (c.op() == 14 && c.bytes[1] == 31 && ++checks > 2) p.faults.powerOverload = true;
      return inner->Execute(p, c);
    }
  };
  Choose("SST27SF", 2, "SST27SF512", "SST: SST27SF512");
  prog->SetDesign(std::make_unique<WeakAfterFirstBlock>());
  Pattern(0x10000);
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(chip->pulses, 1024);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  // The injected overload only changes the status answer; the simulated supply keeps delivering,
  // which no collapsing supply would, so what the chip drives meanwhile is not the set's doing.
  prog->record.Clear();
}

TEST_F(SST27SFTest, ReadIdGivesTheSignature) {
  Choose("SST27SF", 2, "SST27SF512", "SST: SST27SF512");
  Run(kOpReadId);
  EXPECT_EQ(fake.log.back().text, "bf,a4");
  EXPECT_TRUE(prog->record.hazards.empty()) << prog->record.hazards.front();
}

// PW27 leaves Read ID enabled but does nothing for it: the status of the previous operation stays.
TEST_F(SST27SFTest, PW27ReadIdDoesNothing) {
  Choose("PW27", 1, "W27E512", "WINBOND: W27E512");
  const std::uint32_t transfers = prog->record.transfers;
  gLink.StatusWord = 1;
  EXPECT_EQ(Call(kOpReadId, gApp.OptionValues.data(), nullptr), 1);
  EXPECT_EQ(prog->record.transfers, transfers);
}

}  // namespace erasable_eprom_test
}  // namespace zelvar::test
