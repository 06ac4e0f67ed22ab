// "STC89" on the simulated programmer with STC89C5x models: the round trip of every row with a
// model over its two areas (the hole between them holds no memory: data there is refused by Write
// and fails Verify, and Read gives 0xFF there), and the two configuration bytes from the grid
// words.
#include <gtest/gtest.h>

#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/PinMode51.h"

namespace zelvar::test {
namespace stc89_test {

struct Row {
  int row;
  const char* part;
  std::uint32_t codeEnd, secondStart, bytes;
};

class Stc89RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<Row> {};

TEST_P(Stc89RoundTrip, ProgramsBothAreasAndItsConfiguration) {
  const Row& r = GetParam();
  auto chip = sim::MakePinMode51(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.bytes; a += 97) chip->cells[a] = 0x12;
  chip->config = {0x00, 0x00};
  Choose({"STC89", r.row, std::string("STC: ") + r.part}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));
  EXPECT_EQ(gApp.InfoRecord[6], 0x7FFFFFFF);
  EXPECT_EQ(gApp.InfoRecord[7], 511);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->config[0], 0xFF);
  Pattern(r.bytes);
  const bool hasHole = r.codeEnd < r.secondStart;
  if (hasHole) {
    // Data where the chip has no memory: nothing is written.
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, r.codeEnd) << LastLine();
    EXPECT_EQ(chip->cells[0], 0xFF);
    std::fill(gApp.CodeBuffer.begin() + r.codeEnd, gApp.CodeBuffer.begin() + r.secondStart, 0xFF);
  }
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  for (std::uint32_t a = 0; a < r.bytes; ++a) {
    const bool hole = a >= r.codeEnd && a < r.secondStart;
    ASSERT_EQ(chip->cells[a], hole ? 0xFF : gApp.CodeBuffer[a]) << "chip address " << a;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  if (hasHole) {
    gApp.CodeBuffer[r.secondStart - 1] = 0x00;
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, r.secondStart - 1) << LastLine();
  }
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  if (hasHole) {
    EXPECT_EQ(gApp.CodeBuffer[r.codeEnd], 0xFF);
  }
  EXPECT_EQ(gApp.CodeBuffer[r.codeEnd - 1], chip->cells[r.codeEnd - 1]);
  EXPECT_EQ(gApp.CodeBuffer[r.bytes - 1], chip->cells[r.bytes - 1]);
  EXPECT_EQ(gApp.CodeBuffer[r.secondStart], chip->cells[r.secondStart]);

  gApp.OptionValues[0] = 0x25;
  gApp.OptionValues[1] = 0xA3;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->config[0], 0x25);
  EXPECT_EQ(chip->config[1], 0xA3);
  EXPECT_EQ(chip->cells[0], gApp.CodeBuffer[0]);  // the code is left alone
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(Rows, Stc89RoundTrip,
                         ::testing::Values(Row{1, "STC89C51RC", 4096, 11264, 15360},
                                           Row{2, "STC89C52RC", 8192, 11264, 15360},
                                           Row{3, "STC89C53RC", 11264, 11264, 15360},
                                           Row{4, "STC89C54RC+", 16384, 60416, 64512},
                                           Row{5, "STC89C58RC+", 32768, 60416, 64512},
                                           Row{6, "STC89C516RC+", 60416, 60416, 64512}),
                         [](const auto& info) { return std::to_string(info.param.row); });

}  // namespace stc89_test
}  // namespace zelvar::test
