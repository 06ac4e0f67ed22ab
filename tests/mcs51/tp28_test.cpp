// "TP2804" and "TP2808" on the simulated programmer with PT2804/PT2808 models behind the "tp2804"
// design: the round trip of the small rows (a part answers every row up to its size), the upper
// 64 KB read through c6, the type-bounded write from a patched copy that leaves the buffer as it
// was, and Verify over the whole type.
#include "sim/chips/Tp28.h"

#include <gtest/gtest.h>

#include "Mcs51Fixture.h"

namespace zelvar::test {
namespace tp28_test {

class Tp28 : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Tp28Chip> Place(const char* key, int row, const char* part) {
    auto chip = sim::MakeTp28(part);
    for (std::uint32_t a = 0; a < chip->cells.size(); a += 97) chip->cells[a] = 0x12;
    fake.chipParams = {{"vcc=", 5000}};
    Choose({key, row, std::string("TP: ") + part}, chip);
    return chip;
  }
};

TEST_F(Tp28, ProgramsVerifiesAndReadsTheTypesRange) {
  for (const auto& [key, part] : {std::pair{"TP2804", "PT2804"}, {"TP2808", "PT2808"}}) {
    SCOPED_TRACE(key);
    auto chip = Place(key, 2, part);
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(gApp.CodeLastAddress, 8191);
    runner.EraseClick();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(chip->erases, 1);
    Pattern(8192);
    gApp.CodeBuffer[8192] = 0x00;
    runner.WriteClick();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_TRUE(
        std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 8192, chip->cells.begin()));
    EXPECT_EQ(chip->cells[8192], 0xFF);  // the type's range only
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    gApp.CodeBuffer[8191] ^= 0x04;  // the last page is compared too
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, 8191u);
    std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 8192, 0);
    runner.ReadClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_TRUE(
        std::equal(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 8192, chip->cells.begin()));
    EXPECT_EQ(prog->VccPin(), 0);
    ExpectClean();
  }
}

// The PT2808 row reads both halves; the top 128 bytes the part keeps at 0xFF are written from a
// copy, so the buffer keeps the user's bytes and Verify compares against that copy.
TEST_F(Tp28, Pt2808ReachesItsUpperHalfAndWritesFromACopy) {
  auto chip = Place("TP2808", 6, "PT2808");
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    chip->cells[a] = static_cast<std::uint8_t>(a * 7 + (a >> 8) + (a >> 16) * 3);
  }
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.end(), gApp.CodeBuffer.begin()));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(0x20000);
  gApp.CodeBuffer[0x10000] = 0xFF;
  gApp.CodeBuffer[0x1FFFF] = 0x5A;
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[0x1FFFF], 0x5A);
  EXPECT_EQ(chip->cells[0x1FFFF], 0xFF);
  EXPECT_EQ(chip->cells[0x1FF7F], gApp.CodeBuffer[0x1FF7F]);
  EXPECT_EQ(chip->cells[0x10001], gApp.CodeBuffer[0x10001]);
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  ExpectClean();
}

TEST_F(Tp28, MissingVccIsTheFamilyDefault) {
  Choose({"TP2804", 1, "TP: PT2804"}, sim::MakeTp28("PT2804"));
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(prog->VccMillivolts(), 5000);
}

}  // namespace tp28_test
}  // namespace zelvar::test
