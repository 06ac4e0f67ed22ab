// "SM894051" on the simulated programmer with the 20-pin register-interface models: the round trip
// of every row, at socket pins 11 to 30 with RST/VPP at 10.5 V, and the lock hiding the code.
#include "sim/chips/Sm894051.h"

#include <gtest/gtest.h>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace sm894051_test {

struct Row {
  int row;
  const char* part;
  std::uint32_t bytes;
};

class Sm894051RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<Row> {};

TEST_P(Sm894051RoundTrip, ProgramsVerifiesReadsAndLocks) {
  const Row& r = GetParam();
  auto chip = sim::MakeSm894051(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.bytes; a += 97) chip->cells[a] = 0x12;
  Choose({"SM894051", r.row, std::string("SYNCMOS: ") + r.part}, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));
  EXPECT_EQ(gApp.PinMask, SocketPins(11, 30));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_GE(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));
  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[r.bytes - 1] ^= 0x10;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 1);
  gApp.CodeBuffer[r.bytes - 1] ^= 0x10;
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

INSTANTIATE_TEST_SUITE_P(Rows, Sm894051RoundTrip,
                         ::testing::Values(Row{1, "SM891051", 1024}, Row{2, "SM892051", 2048},
                                           Row{3, "SM894051", 4096}),
                         [](const auto& info) { return std::string(info.param.part); });

}  // namespace sm894051_test
}  // namespace zelvar::test
