// The Intel-style 12 V flash set "PI28F" on the simulated programmer with datasheet models of the
// 28F parts: every row with a model through the runner, and the erase pulses the chip needs.
#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/Intel28F.h"

namespace zelvar::test {
namespace pi28f_test {

struct Row28F {
  int row;
  const char* part;
};

class PI28FRoundTrip : public ChipFixture, public ::testing::WithParamInterface<Row28F> {};

TEST_P(PI28FRoundTrip, EraseWriteVerifyReadAndId) {
  auto chip = sim::MakeIntel28F(GetParam().part);
  Choose("PI28F", GetParam().row, chip, std::string("INTEL: ") + GetParam().part);
  const std::uint32_t size = static_cast<std::uint32_t>(chip->cells.size());
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_GE(chip->chipErases, 1);

  // A window at the top of the chip, starting off a block boundary.
  const std::uint32_t start = size - 0x1000 + 0x80;
  Pattern(0x1000 - 0x80, 0x44);
  Range(start, size - 1);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < size; ++a) {
    ASSERT_EQ(chip->cells[a], a >= start ? gApp.CodeBuffer[a - start] : 0xFF) << std::hex << a;
  }
  const std::vector<std::uint8_t> image(chip->cells.begin(), chip->cells.end());
  Range(0, 0xFFFFFF);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  runner.IdClick();
  EXPECT_EQ(LastLine().substr(0, 3), "89,") << LastLine();
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, PI28FRoundTrip,
                         ::testing::Values(Row28F{1, "28F256"}, Row28F{3, "28F512"},
                                           Row28F{4, "28F010"}, Row28F{5, "28F020"}),
                         [](const auto& info) { return std::string(info.param.part); });

// The erase reads address 0 back only from the 21st pulse on: a chip erased by its first pulse
// still gets 21, one erased by pulse 21 gets 21, one that never erases gets all 101.
struct PulseCase {
  int pulsesToErase;
  int pulsesSent;
  bool erased;
};

class PI28FErasePulses : public ChipFixture, public ::testing::WithParamInterface<PulseCase> {};

TEST_P(PI28FErasePulses, ReadBackFromThe21stPulse) {
  auto chip = sim::MakeIntel28F("28F010");
  Choose("PI28F", 4, chip, "INTEL: 28F010");
  chip->pulsesToErase = GetParam().pulsesToErase;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Run(kOpErase), 0);
  // Every full pulse: the model's count restarts at each erase it completes.
  const int pulses = chip->erasePulses + chip->chipErases * GetParam().pulsesToErase;
  EXPECT_EQ(pulses, GetParam().pulsesSent);
  EXPECT_EQ(chip->cells[0] == 0xFF, GetParam().erased);
  EXPECT_EQ(Run(kOpBlank), GetParam().erased ? 0 : 1);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Table, PI28FErasePulses,
                         ::testing::Values(PulseCase{1, 21, true}, PulseCase{21, 21, true},
                                           PulseCase{0, 101, false}));

}  // namespace pi28f_test
}  // namespace zelvar::test
