// The Intel-style 12 V flash set "PI28F" on the simulated programmer with datasheet models of the
// 28F parts: every row with a model through the runner, and the quick-erase and quick-pulse
// programming algorithms against a chip that over-erases and has bytes that need more pulses.
#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/Intel28F.h"

namespace zelvar::test {
namespace pi28f_test {

struct Row28F {
  int row;
  const char* part;
  bool erase;  // the erase programs and verifies every byte: once, on the smallest part
};

class PI28FRoundTrip : public ChipFixture, public ::testing::WithParamInterface<Row28F> {};

TEST_P(PI28FRoundTrip, WriteVerifyReadAndId) {
  auto chip = sim::MakeIntel28F(GetParam().part);
  Choose("PI28F", GetParam().row, chip, std::string("INTEL: ") + GetParam().part);
  const std::uint32_t size = static_cast<std::uint32_t>(chip->cells.size());
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  if (GetParam().erase) {
    Pattern(size, 0x3C);
    std::copy_n(gApp.CodeBuffer.begin(), size, chip->cells.begin());
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
    EXPECT_EQ(chip->chipErases, 1);
    EXPECT_EQ(chip->overErased, 0);
  }

  // A window at the top of the chip, starting off a block boundary; every 61st byte needs three
  // program pulses.
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
  EXPECT_EQ(chip->shortPulses, 0);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, PI28FRoundTrip,
                         ::testing::Values(Row28F{1, "28F256", true}, Row28F{3, "28F512", false},
                                           Row28F{4, "28F010", false}, Row28F{5, "28F020", false}),
                         [](const auto& info) { return std::string(info.param.part); });

class PI28FAlgorithm : public ChipFixture {
 protected:
  void SetUp() override {
    ChipFixture::SetUp();
    chip = sim::MakeIntel28F("28F256");
    Choose("PI28F", 1, chip, "INTEL: 28F256A");
  }
  std::shared_ptr<sim::Intel28F> chip;
};

// The quick erase: programmed to 00h first, then pulses only until the slowest byte (two pulses
// more than the rest) verifies, so no byte is over-erased; a chip that never erases gets the
// datasheet's 1000 pulses and fails at the address that did not verify.
TEST_F(PI28FAlgorithm, EraseStopsWhenEveryAddressVerifies) {
  struct Case {
    int pulsesToErase;
    int pulsesSent;
    int status;
  };
  for (const Case c : {Case{1, 3, 0}, Case{0, 1000, 1}}) {
    SCOPED_TRACE(c.pulsesToErase);
    chip->pulsesToErase = c.pulsesToErase;
    chip->erasePulses = 0;
    // Half the bytes hold data: without the pre-programming their erased bits over-erase.
    std::fill(chip->cells.begin(), chip->cells.end(), 0xFF);
    std::fill_n(chip->cells.begin(), 0x4000, 0x5A);
    EXPECT_EQ(Click(kOpErase), c.status) << LastLine();
    EXPECT_EQ(chip->erasePulses, c.pulsesSent);
    EXPECT_EQ(chip->overErased, 0);
    if (c.status == 0) {
      EXPECT_TRUE(
          std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));
    } else {
      EXPECT_EQ(gLink.FailAddress, 0u);
    }
    ExpectNoHazard();
    EXPECT_EQ(prog->VppPin(), 0);
    EXPECT_EQ(prog->VccPin(), 0);
  }
}

// Quick-pulse programming: a byte that needs more pulses gets them, up to 25; one that takes none
// in 25 fails Write at its address, and the bytes after it are left alone.
TEST_F(PI28FAlgorithm, ProgramRetriesUpTo25Pulses) {
  for (const int slow : {25, 26}) {
    SCOPED_TRACE(slow);
    std::fill(chip->cells.begin(), chip->cells.end(), 0xFF);
    chip->slowPulses = slow;
    chip->programPulses = 0;
    Pattern(0x100, 0x11);
    gApp.CodeBuffer[60] = 0x00;  // the first slow byte (address 0x3C)
    Range(0, 0xFF);
    EXPECT_EQ(Run(kOpWrite), slow == 25 ? 0 : 1);
    if (slow == 25) {
      EXPECT_TRUE(std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x100,
                             chip->cells.begin()));
    } else {
      EXPECT_EQ(gLink.FailAddress, 60u);
      EXPECT_EQ(chip->cells[60], 0xFF);
      EXPECT_TRUE(std::all_of(chip->cells.begin() + 64, chip->cells.end(),
                              [](auto b) { return b == 0xFF; }));
    }
    ExpectNoHazard();
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

}  // namespace pi28f_test
}  // namespace zelvar::test
