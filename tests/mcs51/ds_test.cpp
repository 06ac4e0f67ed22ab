// "DS87C520" and "DS89C4X0" on the simulated programmer with the DS87C520 EPROM model and the
// DS89C4x0 flash model: a round trip per row against the chip's cells, the watchdog byte from the
// row that names it, the lock levels and their effect, the identity refusal, the DS89C4X0 set-up
// refused on models 5104/5105 and its Verify over the whole type.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/Mcs51.h"
#include "sim/chips/Mcs51Eprom.h"

namespace zelvar::test {
namespace ds_test {

struct DsRow {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
  bool flash;
};

void PrintTo(const DsRow& r, std::ostream* os) {
  *os << r.part;
}

std::shared_ptr<sim::Mcs51Chip> MakeDs(const DsRow& r) {
  return r.flash ? sim::MakeMcs51(r.part) : sim::MakeMcs51Eprom(r.part);
}

class DsRoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<DsRow> {
 protected:
  static bool CellsMatch(const sim::Mcs51Chip& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
};

TEST_P(DsRoundTrip, WriteVerifyReadWatchdogRefuseAndLock) {
  const DsRow& r = GetParam();
  auto chip = MakeDs(r);
  ASSERT_NE(chip, nullptr);
  if (r.flash) std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));

  if (r.flash) {
    runner.EraseClick();  // with its Blank
    EXPECT_EQ(chip->erases, 2) << "lost " << chip->lost;
  } else {
    runner.BlankClick();
  }
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(CellsMatch(*chip));
  runner.OperationClick(kOpVerify);
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  // Verify compares the whole type: a cell near the top that differs fails it there.
  chip->cells[r.bytes - 3] &= 0x0F;
  gApp.CodeBuffer[r.bytes - 3] |= 0xF0;
  runner.OperationClick(kOpVerify);
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 3);
  gApp.CodeBuffer[r.bytes - 3] = chip->cells[r.bytes - 3];
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(CellsMatch(*chip));

  // The watchdog row ticked programs bit 3 of the option byte to 0; the ID line shows it.
  gApp.OptionValues[0] = r.flash ? 1u : 1u << 3;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->option, 0xF7) << "lost " << chip->lost;
  runner.IdClick();
  EXPECT_TRUE(Logged("Watchdog=f7")) << LastLine();

  // A chip whose signature differs is refused before a pulse.
  gApp.ExpectedId[1] ^= 0x0F;
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId = r.line.id;

  // Level 3 ("加禁止读"): lock bits 1 and 2; the code then reads 0xFF and Verify fails.
  gApp.OptionValues[128] = 2;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 0x03) << "lost " << chip->lost;
  runner.OperationClick(kOpVerify);
  EXPECT_EQ(gLink.StatusWord, 1);

  if (r.flash) {
    // The erase clears the lock bits and the watchdog byte.
    runner.EraseClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(chip->lockBits, 0);
    EXPECT_EQ(chip->option, 0xFF);  // the status above is the Blank's the Erase click runs
  }

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, DsRoundTrip,
    ::testing::Values(
        DsRow{{"DS87C520", 1, "DALLAS: DS87C520", {0xDA, 0x20, 0x01, 0}}, "DS87C520", 16384, false},
        DsRow{{"DS89C4X0", 1, "DALLAS: DS89C420", {0xDA, 0x42, 0x01, 0}}, "DS89C420", 16384, true},
        DsRow{{"DS89C4X0", 2, "DALLAS: DS89C430", {0xDA, 0x43, 0x01, 0}}, "DS89C430", 16384, true},
        DsRow{{"DS89C4X0", 3, "DALLAS: DS89C440", {0xDA, 0x44, 0x01, 0}}, "DS89C440", 32768, true},
        DsRow{{"DS89C4X0", 4, "DALLAS: DS89C450", {0xDA, 0x45, 0x01, 0}}, "DS89C450", 65536, true}),
    [](const auto& info) { return std::string(info.param.part); });

// Lock levels one by one: level k programs lock bits 1..k; level 1 programs none.
TEST_F(Mcs51Fixture, DsLockLevelsProgramTheirBits) {
  for (std::uint32_t level = 0; level < 4; ++level) {
    auto chip = sim::MakeMcs51("DS89C430");
    Choose({"DS89C4X0", 2, "DALLAS: DS89C430", {0xDA, 0x43, 0x01, 0}}, chip);
    gApp.OptionValues[128] = level;
    runner.ProtectClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(chip->lockBits, (1u << level) - 1) << "level " << level << " lost " << chip->lost;
  }
  ExpectClean();
}

// The DS87C520's Config does nothing without its WDT row ticked, whatever the other rows say.
TEST_F(Mcs51Fixture, Ds87c520ConfigOnlyWithTheWatchdogRow) {
  auto chip = sim::MakeMcs51Eprom("DS87C520");
  Choose({"DS87C520", 1, "DALLAS: DS87C520", {0xDA, 0x20, 0x01, 0}}, chip);
  gApp.OptionValues[0] = 0x37;  // every row but WDT
  runner.ConfigClick();
  EXPECT_EQ(chip->option, 0xFF);
  gApp.OptionValues[0] = 0x08;
  runner.ConfigClick();
  EXPECT_EQ(chip->option, 0xF7);
  ExpectClean();
}

// A wrong chip: Read of the DS87C520 stops before reading, with StatusWord 1.
TEST_F(Mcs51Fixture, Ds87c520ReadRefusesAWrongChip) {
  auto chip = sim::MakeMcs51Eprom("87C51");
  Choose({"DS87C520", 1, "DALLAS: DS87C520", {0xDA, 0x20, 0x01, 0}}, chip);
  gApp.CodeBuffer[0] = 0x12;
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("R=(89,58,51)  S=(da,20,01)")) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[0], 0x12);
}

// Models 5104 and 5105 cannot serve the DS89C4x0: the set-up refuses and so does every later
// operation, touching nothing.
TEST_F(Mcs51Fixture, Ds89c4x0RefusedOnModels5104And5105) {
  for (int model : {5104, 5105}) {
    Connect(model);
    auto chip = sim::MakeMcs51("DS89C450");
    Choose({"DS89C4X0", 4, "DALLAS: DS89C450", {0xDA, 0x45, 0x01, 0}}, chip);
    EXPECT_EQ(gLink.StatusWord, 1) << model;
    Pattern(256);
    Call(kOpWrite);
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(chip->writes, 0);
    EXPECT_EQ(prog->VccPin(), 0);
  }
}

}  // namespace ds_test
}  // namespace zelvar::test
