// "W7851" on the simulated programmer with the older Winbond model: a round trip per modelled row
// against the chip's cells (reads at 2.5 V in 64-byte blocks, program at 12.5 V, erase at 14.5 V),
// the type check refusing a wrong chip, Security's three option bytes each at its own address and
// the lock bit's effect, and row 10 (W78E516B) reaching the top of its 64 KB.
#include "sim/chips/W7851.h"

#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/W78e516.h"

namespace zelvar::test {
namespace w7851_test {

struct W7851Row {
  ChipLine line;
  const char* part;
  std::uint32_t last;  // the row's last address
  // Verify and Read walk the whole code array; a row whose size another row of the set already
  // runs (the variant byte chooses nothing) leaves those passes to it.
  bool scans = true;
};

void PrintTo(const W7851Row& r, std::ostream* os) {
  *os << r.part;
}

class W7851RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<W7851Row> {
 protected:
  // The code cells up to the row's last address (or the array's end) against the buffer.
  static bool CellsMatch(const sim::W7851Chip& chip, std::uint32_t last) {
    const std::uint32_t n = std::min<std::uint32_t>(last + 1, chip.cells.size());
    return std::equal(chip.cells.begin(), chip.cells.begin() + n, gApp.CodeBuffer.begin());
  }
};

TEST_P(W7851RoundTrip, EraseBlankWriteVerifyReadRefuseAndSecurity) {
  const W7851Row& r = GetParam();
  auto chip = sim::MakeW7851(r.part);
  ASSERT_NE(chip, nullptr);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  chip->options = {0x00, 0x00, 0xFE};
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.last));

  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1) << "lost " << chip->lost;
  EXPECT_FALSE(chip->Locked());  // the status above is the Blank's the Erase click runs

  Pattern(r.last + 1);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(CellsMatch(*chip, r.last));
  EXPECT_EQ(chip->cells[r.last % chip->cells.size()], gApp.CodeBuffer[r.last]);
  if (r.scans) {
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  }
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  if (r.scans) {
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.last + 1, 0);
    runner.ReadClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_TRUE(CellsMatch(*chip, r.last));
  }

  // A chip whose ID differs is refused before a byte.
  gApp.ExpectedId = {0xDA, 0x99, 0, 0};
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type eror!")) << LastLine();
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId = r.line.id;

  // Security: the config rows' byte at 0FFFFh, Seed0 at 0FFFEh, Seed1 at 0FFFDh; the lock bit
  // then hides the code.
  gApp.OptionValues[0] = 0xFE;
  gApp.OptionValues[64] = 0x5A;
  gApp.OptionValues[65] = 0xC3;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->options[2], 0xFE) << "lost " << chip->lost;
  EXPECT_EQ(chip->options[1], 0x5A);
  EXPECT_EQ(chip->options[0], 0xC3);
  EXPECT_TRUE(Logged("fe,5a,c3")) << LastLine();
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, W7851RoundTrip,
    ::testing::Values(
        W7851Row{{"W7851", 1, "WINBOND: W78E51", {0xDA, 0x51, 0, 0}}, "W78E51", 0xFFF},
        W7851Row{{"W7851", 2, "WINBOND: W78E52", {0xDA, 0x52, 0, 0}}, "W78E52", 0x1FFF},
        W7851Row{{"W7851", 3, "WINBOND: W78E54", {0xDA, 0x54, 0, 0}}, "W78E54", 0x3FFF},
        W7851Row{{"W7851", 4, "WINBOND: W78E58", {0xDA, 0x58, 0, 0}}, "W78E58", 0x7FFF},
        W7851Row{{"W7851", 5, "WINBOND: W78E516", {0xDA, 0x16, 0, 0}}, "W78E516", 0xFFFC, false},
        // The 'B' rows whose catalogue names find the same model.
        W7851Row{{"W7851", 6, "WINBOND: W78E51B"}, "W78E51", 0xFFF, false},
        W7851Row{{"W7851", 7, "WINBOND: W78E52B"}, "W78E52", 0x1FFF, false},
        W7851Row{{"W7851", 8, "WINBOND: W78E54B"}, "W78E54", 0x3FFF, false},
        // The flash W77E parts in the same mode.
        W7851Row{{"W7851", 11, "WINBOND: W77E54"}, "W77E54", 0x3FFF, false},
        W7851Row{{"W7851", 12, "WINBOND: W77E58"}, "W77E58", 0x7FFF},
        // The 64 KB rows reach the top of the code array, below the option bytes (row 10 ended
        // at 0x7FFC, row 5 at 0xFFFE across the seeds).
        W7851Row{{"W7851", 10, "WINBOND: W78E516B", {0xDA, 0x1B, 0, 0}}, "W78E516B", 0xFFFC}),
    [](const auto& info) { return std::to_string(info.param.line.row); });

// The catalogue names find the model of their own set's mode: the W78E516B and W78E58B lines
// belong to "W78E516", the older parts' to "W7851".
TEST(W7851Models, CatalogueNamesFindTheirSetsModel) {
  for (const char* name : {"W78E51", "W78E516", "W78E54B", "W78E58", "W77E54", "W77E58"}) {
    EXPECT_NE(std::dynamic_pointer_cast<sim::W7851Chip>(sim::MakeChipModel(name)), nullptr) << name;
  }
  for (const char* name : {"W78E516B", "W78E58B", "W78E51C"}) {
    EXPECT_NE(std::dynamic_pointer_cast<sim::W78e516Chip>(sim::MakeChipModel(name)), nullptr)
        << name;
  }
}

}  // namespace w7851_test
}  // namespace zelvar::test
