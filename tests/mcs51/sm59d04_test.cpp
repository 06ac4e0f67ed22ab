// "SM59D04" on the simulated programmer with an SM89D04 model: the round trip through the entry
// code, the walk over the two areas of a type with a hole, the ISP page count of Security, and a
// chip line with an identity that this set cannot read.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/SyncMos.h"

namespace zelvar::test {
namespace sm59d04_test {

class Sm59d04 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Sm59d04Chip> Place(int row, std::array<std::uint8_t, 4> id = {}) {
    auto chip = std::make_shared<sim::Sm59d04Chip>();
    for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
    Choose({"SM59D04", row, "SYNCMOS: SM89D04G2", id}, chip);
    return chip;
  }
};

TEST_F(Sm59d04, ProgramsVerifiesAndReadsThroughTheEntryCode) {
  auto chip = Place(3);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 16383);
  // Pins 1 to 40: bits 0 to 30 in word 6, the rest in word 7.
  EXPECT_EQ(gApp.InfoRecord[6], 0x7FFFFFFF);
  EXPECT_EQ(gApp.InfoRecord[7], 511);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  Pattern(16384);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[16383] ^= 0x80;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 16383u);
  EXPECT_TRUE(Logged("Verify error at 03FFF")) << LastLine();
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 16384, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  gApp.OptionValues[128] = 8;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->options[0], 0xFF);
  EXPECT_EQ(chip->options[1], 0xF8);
  gApp.OptionValues[128] = 9;
  EXPECT_EQ(Call(kOpLock), 1);

  runner.IdClick();  // the entry alone, and VCC off after it
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

// Type 1: 0 to 4095 and 11264 to 16383; the hole is neither written nor compared.
TEST_F(Sm59d04, WalksTheTwoAreasOfASmallType) {
  auto chip = Place(1);
  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->cells[4096] = 0x00;  // in the hole: Blank passes over it
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(16384);
  runner.WriteClick();
  EXPECT_EQ(chip->cells[4095], gApp.CodeBuffer[4095]);
  EXPECT_EQ(chip->cells[5000], 0xFF);
  EXPECT_EQ(chip->cells[11264], gApp.CodeBuffer[11264]);
  EXPECT_EQ(chip->cells[16383], gApp.CodeBuffer[16383]);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectClean();
}

// No signature can be read: a line that names one is refused, not compared with bytes another
// set left behind, and the supplies go off.
TEST_F(Sm59d04, LineWithAnIdentityIsRefusedWithSuppliesOff) {
  gApp.ReadId = {0x12, 0x34, 0, 0};
  auto chip = Place(3, {0x12, 0x34, 0, 0});
  Pattern(16384);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, 0);
  EXPECT_EQ(prog->VccPin(), 0);
}

}  // namespace sm59d04_test
}  // namespace zelvar::test
