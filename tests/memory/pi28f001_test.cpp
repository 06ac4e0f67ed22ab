// The boot-block flash set "PI28F001" on the simulated programmer with the 28F001BX models: the
// round trip through the runner, the block erase order with the boot block's 12 V, and an erase
// the status register never reports done.
#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/BootBlock28F.h"

namespace zelvar::test {
namespace pi28f001_test {

using Start = sim::BootBlock28F::EraseStart;

struct BootRow {
  int row;
  const char* part;
  const char* id;
  std::uint32_t start, end;  // a write window across the boot block's edge
  std::vector<Start> erases;
};

class PI28F001RoundTrip : public ChipFixture, public ::testing::WithParamInterface<BootRow> {};

TEST_P(PI28F001RoundTrip, EraseWriteVerifyReadAndId) {
  const BootRow& r = GetParam();
  auto chip = sim::MakeBootBlock28F(r.part);
  Choose("PI28F001", r.row, chip, std::string("INTEL: ") + r.part);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erasesStarted, r.erases);
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  Pattern(r.end - r.start + 1, 0x5A);
  Range(r.start, r.end);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    const bool in = a >= r.start && a <= r.end;
    ASSERT_EQ(chip->cells[a], in ? gApp.CodeBuffer[a - r.start] : 0xFF) << std::hex << a;
  }
  const std::vector<std::uint8_t> image(chip->cells.begin(), chip->cells.end());
  Range(0, 0xFFFFFF);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  runner.IdClick();
  EXPECT_EQ(LastLine().substr(0, 5), r.id) << LastLine();
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, PI28F001RoundTrip,
    ::testing::Values(
        BootRow{1,
                "28F001BX-T",
                "89,94",
                0x1DF80,
                0x1FFFF,
                {{0x00000, false}, {0x1C000, false}, {0x1D000, false}, {0x1E000, true}}},
        BootRow{2,
                "28F001BX-B",
                "89,95",
                0x0000,
                0x207F,
                {{0x00000, true}, {0x02000, false}, {0x03000, false}, {0x04000, false}}}),
    [](const auto& info) { return std::string(info.param.row == 1 ? "Top" : "Bottom"); });

// A chip whose erase outlasts every poll fails the erase at its first block, with the supplies
// off, rather than running on as if the block were erased.
TEST_F(ChipFixture, PI28F001ReportsAnEraseThatNeverEnds) {
  auto chip = sim::MakeBootBlock28F("28F001BX-T");
  Choose("PI28F001", 1, chip, "INTEL: 28F001BX-T");
  chip->eraseUs = 60e6;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_EQ(chip->erasesStarted.size(), 1u);
  EXPECT_EQ(chip->cells[0], 0x00);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

}  // namespace pi28f001_test
}  // namespace zelvar::test
