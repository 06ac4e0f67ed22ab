// "P89C5WD" on the simulated programmer with an AT89C55WD model: the round trip through the
// runner, the lock bits read back after erase and lock, and the chip line without its size.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/Mcs51.h"

namespace zelvar::test {
namespace p89c5wd_test {

const ChipLine kC55wd{"P89C5WD", 0, "ATMEL: AT89C55WD"};

// A used, locked chip: the erase (VCC raised to 6.5 V, never 12 V on VCC) clears cells and lock
// bits; write, verify, read, the ID line, and the lock with its read-back and line follow.
TEST_F(Mcs51Fixture, P89c5wdProgramsVerifiesLocksAndReadsItsId) {
  auto chip = sim::MakeMcs51("AT89C55WD");
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
  chip->lockBits = 1;
  fake.chipParams = {{"fla=", 20480}};
  Choose(kC55wd, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 20479);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_GE(chip->erases, 1);
  EXPECT_EQ(chip->lockBits, 0);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));

  Pattern(20480);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 20480, 0);
  runner.ReadClick();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  runner.IdClick();
  EXPECT_TRUE(Logged("1e,55,07")) << LastLine();

  gApp.OptionValues[128] = 1;  // lock bits 1 and 2
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, 3);
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("Lock= 0c")) << LastLine();
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

TEST_F(Mcs51Fixture, P89c5wdRefusesALineWithoutItsSize) {
  Choose(kC55wd, sim::MakeMcs51("AT89C55WD"));
  EXPECT_TRUE(Logged("No chip size (fla=)")) << LastLine();
  EXPECT_EQ(Call(kOpRead), 1);
}

}  // namespace p89c5wd_test
}  // namespace zelvar::test
