// "IS89C52" on the simulated programmer with the IS89C5x model: a round trip per row against the
// chip's cells (the 8 KB rows reach A12 on socket pin 25; the 3.3 V rows program only at their
// own supply), the lock bits chosen one by one with their effect, Security with none chosen.
#include "sim/chips/Is89c52.h"

#include <algorithm>
#include <bit>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace is89c52_test {

struct Is89Row {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
  int vcc;
};

void PrintTo(const Is89Row& r, std::ostream* os) {
  *os << r.part;
}

class Is89c52RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<Is89Row> {};

TEST_P(Is89c52RoundTrip, EraseBlankWriteVerifyReadAndLock) {
  const Is89Row& r = GetParam();
  auto chip = sim::MakeIs89c52(r.part);
  ASSERT_NE(chip, nullptr);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));
  EXPECT_EQ(prog->VccMillivolts(), r.vcc);

  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1) << "lost " << chip->lost;  // the status above is the Blank's

  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(prog->VccMillivolts(), r.vcc);  // no operation changes the set-up's supply
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->cells[r.bytes - 1] ^= 0x81;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 1);
  chip->cells[r.bytes - 1] ^= 0x81;
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  // SB1 and SB2: no further programming, and the code reads 0xFF.
  gApp.OptionValues[0] = 0x03;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 0x03) << "lost " << chip->lost;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  runner.EraseClick();
  EXPECT_EQ(chip->lockBits, 0);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Is89c52RoundTrip,
    ::testing::Values(Is89Row{{"IS89C52", 1, "ISSI: IS89C51"}, "IS89C51", 4096, 5000},
                      Is89Row{{"IS89C52", 2, "ISSI: IS89C52"}, "IS89C52", 8192, 5000},
                      Is89Row{{"IS89C52", 3, "ISSI: IS89LV51"}, "IS89LV51", 4096, 3300},
                      Is89Row{{"IS89C52", 4, "ISSI: IS89LV52"}, "IS89LV52", 8192, 3300}),
    [](const auto& info) { return std::string(info.param.part); });

// Each lock bit by its own grid row; none ticked programs none.
TEST_F(Mcs51Fixture, Is89c52LockBitsFollowTheirRows) {
  for (std::uint32_t bits : {0u, 1u, 2u, 4u, 7u}) {
    auto chip = sim::MakeIs89c52("IS89C52");
    Choose({"IS89C52", 2, "ISSI: IS89C52"}, chip);
    gApp.OptionValues[0] = bits;
    runner.ProtectClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(chip->lockBits, bits) << "lost " << chip->lost;
    EXPECT_EQ(chip->writes, std::popcount(bits));
  }
  // Lock bit 1 alone: a later write takes no byte.
  auto chip = sim::MakeIs89c52("IS89C52");
  chip->lockBits = 1;
  Choose({"IS89C52", 2, "ISSI: IS89C52"}, chip);
  Pattern(8192);
  runner.WriteClick();
  EXPECT_EQ(chip->writes, 0);
  ExpectClean();
}

}  // namespace is89c52_test
}  // namespace zelvar::test
