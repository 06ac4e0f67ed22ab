// The NVRAM/SRAM set "DSRAM" on the simulated programmer with datasheet models of NVRAM modules,
// through the runner with its contact check; "TESTRAM" lines reach the same set.
#include <algorithm>

#include "ChipFixture.h"
#include "app/core/catalogue/Selection.h"
#include "link/LinkState.h"
#include "sim/chips/StaticRam.h"

namespace zelvar::test {
namespace dsram_test {

struct RamRow {
  const char* key;
  int row;
  const char* part;
  // Verify and Read walk the whole chip with the same code on every row: the largest row and the
  // small ones run them, the rows between leave them to those (their Write still reaches the top).
  bool scans = true;
};

class RamRoundTrip : public ChipFixture, public ::testing::WithParamInterface<RamRow> {};

TEST_P(RamRoundTrip, WriteVerifyReadTheWholeChip) {
  const RamRow& c = GetParam();
  auto chip = sim::MakeStaticRam(c.part);
  Choose(c.key, c.row, chip, std::string("DALLAS: ") + c.part);
  const std::uint32_t size = static_cast<std::uint32_t>(chip->cells.size());
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  Pattern(size, 0x21);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  if (c.scans) {
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  }
  // Write, Verify and Read switch VCC off.
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, RamRoundTrip,
    ::testing::Values(RamRow{"DSRAM", 1, "DS1220AB"}, RamRow{"DSRAM", 2, "DS1225AB"},
                      RamRow{"TESTRAM", 4, "DS1230Y"}, RamRow{"DSRAM", 6, "DS1245Y", false},
                      RamRow{"DSRAM", 7, "DS1249Y", false}, RamRow{"DSRAM", 8, "DS1250Y"}),
    [](const auto& info) { return std::string(info.param.part); });

class DsramTest : public ChipFixture {};

TEST_F(DsramTest, TestramBindsTheDsramSet) {
  EXPECT_NE(FindAlgorithmSet("DSRAM"), nullptr);
  EXPECT_EQ(DispatcherForKey("TESTRAM"), FindAlgorithmSet("DSRAM"));
}

// The 2 KiB row strobes WE# on socket pin 29 with pin commands, never with a strobe command.
TEST_F(DsramTest, TwoKilobyteRowPulsesPin29) {
  Choose("DSRAM", 1, sim::MakeStaticRam("DS1220AB"), "DALLAS: DS1220AB");
  prog->record.keepTranscript = true;
  prog->record.Clear();
  Pattern(0x800);
  ASSERT_EQ(Run(kOpWrite), 0);
  // Up to the end of the operation, where the frame takes every pin low once more.
  const auto& t = prog->record.transcript;
  auto end = t.end();
  while (end != t.begin() && !((end - 1)->op() == 14 && (end - 1)->bytes[1] == 21)) --end;
  ASSERT_NE(end, t.begin());
  int lows = 0, strobes = 0;
  for (auto it = t.begin(); it != end; ++it) {
    const auto& cmd = *it;
    if (cmd.op() == 9 && cmd.bytes[1] == 29) ++lows;
    if (cmd.op() >= 43 && cmd.op() <= 46) ++strobes;
  }
  EXPECT_EQ(lows, 0x800);
  EXPECT_EQ(strobes, 0);
}

TEST_F(DsramTest, VerifyNamesTheAddressAndSwitchesVccOff) {
  auto chip = sim::MakeStaticRam("DS1230Y");
  Choose("DSRAM", 4, chip, "DALLAS: DS1230Y");
  Pattern(0x8000);
  ASSERT_EQ(Run(kOpWrite), 0);
  chip->cells[0x405] ^= 0x20;
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x405u);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x405]);
  EXPECT_EQ(prog->VccPin(), 0);
}

}  // namespace dsram_test
}  // namespace zelvar::test
