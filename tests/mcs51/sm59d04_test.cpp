// "SM59D04" on the simulated programmer with SM89D04 and SM89D02 models: the round trip through
// the entry code, the walk over the two areas of a type with a hole (data there refused by Write
// and failing Verify), the ISP page count of Security, and a chip line with an identity that this
// set cannot read.
#include <gtest/gtest.h>

#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/SyncMos.h"

namespace zelvar::test {
namespace sm59d04_test {

class Sm59d04 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Sm59d04Chip> Place(int row, std::array<std::uint8_t, 4> id = {},
                                          const char* part = "SM89D04") {
    auto chip = std::dynamic_pointer_cast<sim::Sm59d04Chip>(sim::MakeSyncMos(part));
    for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
    Choose({"SM59D04", row, std::string("SYNCMOS: ") + part + "G2", id}, chip);
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

// Types 1 and 2 (the SM89D02): 0 to 4095 (8191) and 11264 (12288) to 16383. Data in the hole is
// refused by Write before anything changes and fails Verify there; Blank passes over it, and Read
// gives 0xFF there.
TEST_F(Sm59d04, WalksTheTwoAreasOfASmallType) {
  struct Case {
    int row;
    const char* part;
    std::uint32_t codeEnd, second;
  };
  for (const Case& c : {Case{1, "SM89D04", 4096, 11264}, Case{2, "SM89D02", 8192, 12288}}) {
    auto chip = Place(c.row, {}, c.part);
    runner.EraseClick();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    chip->cells[c.codeEnd] = 0x00;  // in the hole: Blank passes over it
    runner.BlankClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    Pattern(16384);
    const int writes = chip->writes;
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, c.codeEnd) << LastLine();
    EXPECT_EQ(chip->writes, writes);
    std::fill(gApp.CodeBuffer.begin() + c.codeEnd, gApp.CodeBuffer.begin() + c.second, 0xFF);
    runner.WriteClick();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(chip->cells[c.codeEnd - 1], gApp.CodeBuffer[c.codeEnd - 1]);
    EXPECT_EQ(chip->cells[c.second], gApp.CodeBuffer[c.second]);
    EXPECT_EQ(chip->cells[16383], gApp.CodeBuffer[16383]);
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    gApp.CodeBuffer[c.second - 1] = 0x00;
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, c.second - 1) << LastLine();
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 16384, 0x00);
    runner.ReadClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(gApp.CodeBuffer[c.codeEnd], 0xFF);
    EXPECT_EQ(gApp.CodeBuffer[c.second], chip->cells[c.second]);
    EXPECT_EQ(prog->VccPin(), 0);
    ExpectClean();
  }
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
