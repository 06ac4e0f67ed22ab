// "P2051" on the simulated programmer with the 20-pin AT89Cx051 models seated from socket pin 11:
// every row through the runner and its contact check, against the chip's own cells (the chip's
// counter must follow the set's RST and XTAL1 pulses), and the lock choices with their effect.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/At89cx051.h"

namespace zelvar::test {
namespace p2051_test {

struct Row2051 {
  ChipLine line;
  const char* part;
  std::uint32_t bytes;
  std::uint32_t lockChoice;
  std::uint8_t lockBits;
  std::uint32_t speed;
  const char* id;
};

void PrintTo(const Row2051& r, std::ostream* os) {
  *os << r.part;
}

class P2051RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<Row2051> {};

TEST_P(P2051RoundTrip, ErasesProgramsVerifiesReadsAndLocks) {
  const Row2051& r = GetParam();
  auto chip = sim::MakeAt89cx051(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.bytes; a += 61) chip->cells[a] = 0x12;
  chip->lockBits = 1;
  prog->PlaceChip(chip, chip->SeatPin(0));
  Choose(r.line, nullptr);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.bytes - 1));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->lockBits, 0);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));

  gApp.OptionValues[129] = static_cast<std::int32_t>(r.speed);
  Pattern(r.bytes);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  // The last byte differs: the verify reaches the top of the chip.
  gApp.CodeBuffer[r.bytes - 1] ^= 0x81;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.bytes - 1);
  gApp.CodeBuffer[r.bytes - 1] ^= 0x81;

  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + r.bytes, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  runner.IdClick();
  EXPECT_TRUE(Logged(r.id)) << LastLine();

  gApp.OptionValues[128] = static_cast<std::int32_t>(r.lockChoice);
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, r.lockBits);
  // Lock bit 1 stops programming; lock bit 2 also hides the code.
  const auto before = chip->cells;
  Pattern(r.bytes, 0x00);
  runner.WriteClick();
  EXPECT_EQ(chip->cells, before);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, P2051RoundTrip,
    ::testing::Values(
        Row2051{{"P2051", 1, "ATMEL: AT89C1051"}, "AT89C1051", 1024, 0, 1, 0, "1e,11"},
        Row2051{{"P2051", 2, "ATMEL: AT89C2051"}, "AT89C2051", 2048, 1, 3, 2, "1e,21"},
        Row2051{{"P2051", 3, "ATMEL: AT89C4051"}, "AT89C4051", 4096, 2, 3, 1, "1e,41"}),
    [](const auto& info) { return std::string(info.param.part); });

// A chip whose counter the set does not step (a 2051 on row 3) still fills its own 2 KB only:
// the write of a 4 KB image loses the upper half and Verify says where.
TEST_F(Mcs51Fixture, P2051RowLargerThanTheChipFailsVerifyAtItsTop) {
  auto chip = sim::MakeAt89cx051("AT89C2051");
  prog->PlaceChip(chip, chip->SeatPin(0));
  Choose({"P2051", 3, "ATMEL: AT89C4051"}, nullptr);
  Pattern(4096);
  runner.WriteClick();
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 2048u);
}

}  // namespace p2051_test
}  // namespace zelvar::test
