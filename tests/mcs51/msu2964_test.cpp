// "MSU2964" on the simulated programmer with the MSU2964 command model: the round trip of the 4K
// row (the part is the same for every row, and only the type's range is written), the 64 KB row
// read back whole, the lock and unlock pulses, and the erase time from the radio.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/Msu29.h"

namespace zelvar::test {
namespace msu2964_test {

class Msu2964 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Msu29Chip> Place(int row) {
    auto chip = sim::MakeMsu29("MSU2964");
    for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
    Choose({"MSU2964", row, "MSU: MSU2964"}, chip);
    return chip;
  }
};

TEST_F(Msu2964, ProgramsTheTypesRangeThroughCommands) {
  auto chip = Place(5);
  chip->locked = true;  // the unlock pulse before the erase clears it
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 4095);
  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_FALSE(chip->locked);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);

  Pattern(8192);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->writes, 4096);
  EXPECT_TRUE(
      std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 4096, chip->cells.begin()));
  EXPECT_EQ(chip->cells[4096], 0xFF);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 4096, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(
      std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 4096, chip->cells.begin()));

  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(chip->locked);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  ExpectClean();
}

// An erase time beyond the radio waits for nothing: the erase is lost and the blank check says
// so; the supplies are off after the erase either way.
TEST_F(Msu2964, EraseTimeFromTheRadio) {
  auto chip = Place(5);
  gApp.OptionValues[128] = 3;
  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  gApp.OptionValues[128] = 2;
  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  ExpectClean();
}

TEST_F(Msu2964, ReadsAllSixteenAddressLines) {
  auto chip = Place(1);
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    chip->cells[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8) + (a >> 13));
  }
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  ExpectClean();
}

}  // namespace msu2964_test
}  // namespace zelvar::test
