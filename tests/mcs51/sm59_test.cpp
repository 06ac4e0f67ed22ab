// "SM59064" and "SM59128" on the simulated programmer with SyncMOS models: the round trip of every
// row with a model, with the ISP area kept out of Blank and Verify and its size code written,
// read back and erased; the upper 64 KB reached through A16; and the bounds of the ISP code.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/SyncMos.h"

namespace zelvar::test {
namespace sm59_test {

constexpr int kIspWord = 128;

class Sm59Fixture : public Mcs51Fixture {
 protected:
  // Runs the Go group with only `code` ticked, as the user runs an operation without a button.
  void GoOnly(int code) {
    for (int i = 0; i < ui.GoGroup.Count(); ++i) {
      ui.GoGroup.SetChecked(i, gApp.GoOpCodes[static_cast<std::size_t>(i)] == code);
    }
    runner.GoClick();
  }
};

struct Sm59Row {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
};

void PrintTo(const Sm59Row& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.row;
}

class Sm59RoundTrip : public Sm59Fixture, public ::testing::WithParamInterface<Sm59Row> {};

// A used chip with an ISP area of two units: the size code goes in and comes back through the
// radio, the chip erase keeps the ISP area and Blank and Verify leave it out; the ISP erase then
// frees it; Write, Verify and Read cover the whole type; the lock hides the code.
TEST_P(Sm59RoundTrip, ProgramsWithItsIspArea) {
  const Sm59Row& r = GetParam();
  auto chip = sim::MakeSm59(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.bytes; a += 97) chip->cells[a] = 0x12;
  chip->cells[r.bytes - 1] = 0x34;  // inside the ISP area to come
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));

  gApp.OptionValues[kIspWord] = 2;
  GoOnly(kOpConfig);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->sizeCode, 2);
  gApp.OptionValues[kIspWord] = 0;
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[kIspWord], 2);
  EXPECT_TRUE(Logged("ISP=2,(1024 bytes)")) << LastLine();

  runner.EraseClick();  // Erase, then Blank short of the ISP area
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->cells[r.bytes - 1], 0x34);
  EXPECT_EQ(chip->cells[r.bytes - 1025], 0xFF);

  GoOnly(kOpUserInfo);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->ispErases, 1);
  EXPECT_EQ(chip->sizeCode, 0xFF);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));

  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  gApp.OptionValues[kIspWord] = 0;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(chip->locked);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Sm59RoundTrip,
    ::testing::Values(Sm59Row{{"SM59064", 6, "SYNCMOS: SM59064"}, "SM59064", 65536},
                      Sm59Row{{"SM59128", 7, "SYNCMOS: SM59128"}, "SM59128", 131072}),
    [](const auto& info) { return info.param.line.key + "_" + std::to_string(info.index); });

// The ISP code of a small type larger than the type leaves nothing to compare rather than a
// negative bound; the part strobed on ALE cannot reach the 128 KB row; the size code read back
// outside the radio's items is no ISP area; a code beyond the radio is not written.
TEST_F(Sm59Fixture, IspCodeBounds) {
  auto chip = sim::MakeSm59("SM59128");
  chip->cells[0] = 0x00;
  Choose({"SM59128", 1, "SYNCMOS: SM59128"}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.OptionValues[kIspWord] = 8;  // 4 KB: the whole 4K type
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.OptionValues[kIspWord] = 0;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  chip->sizeCode = 12;
  gApp.OptionValues[kIspWord] = 5;
  runner.ReadConfigClick();
  EXPECT_EQ(gApp.OptionValues[kIspWord], 0);
  gApp.OptionValues[kIspWord] = 9;
  EXPECT_EQ(Call(kOpConfig), 1);
  EXPECT_EQ(chip->sizeCode, 12);

  Choose({"SM59064", 7, "SYNCMOS: SM59128"}, sim::MakeSm59("SM59128"));
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("SM59128 algorithm")) << LastLine();
  EXPECT_EQ(Call(kOpRead), 1);
  ExpectClean();
}

}  // namespace sm59_test
}  // namespace zelvar::test
