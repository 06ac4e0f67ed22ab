// The STC12CX set on the simulated programmer with the STC12C5410 model: the round trip through
// the runner with its contact check, the configuration bytes, the warning at every set-up and the
// packages the set refuses.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/Stc12.h"

namespace zelvar::test {
namespace stc12cx_test {

class Stc12cx : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::Stc12Chip> Seat(std::map<std::string, int> params) {
    auto chip = sim::MakeStc12("STC12C5410");
    prog->SeatChip(chip);
    fake.chipParams = std::move(params);
    Choose({"STC12CX", 3, "STC: STC12C5410"}, nullptr);
    return chip;
  }
};

TEST_F(Stc12cx, RoundTripWithConfigurationBytes) {
  auto chip = Seat({{"len=", 10240}, {"pkg=", 28}, {"vcc=", 5000}});
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, 10239);
  EXPECT_EQ(gApp.InfoRecord[5], 20);
  ASSERT_EQ(fake.boxes.size(), 1u);
  EXPECT_NE(fake.boxes[0].find("Only for 2007 chip mark"), std::string::npos);
  std::fill(chip->code.begin(), chip->code.end(), 0x12);
  chip->config = {0x00, 0x00, 0x00, 0x00};

  runner.EraseClick();  // followed by Blank
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](int b) { return b == 0xFF; }));
  Pattern(10240);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->code[10230] ^= 0x21;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 10230u);
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 10240, 0);
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));

  // Read config then Config: F001 goes back with what was read (word 64).
  chip->config = {0xFF, 0xA7, 0xFF, 0xFF};
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("ff,a7,ff,ff")) << LastLine();
  EXPECT_EQ(gApp.OptionValues[64], 0xA7);
  gApp.OptionValues[0] = 0x5A;
  gApp.OptionValues[1] = 0x3C;
  gApp.OptionValues[2] = 0x0F;
  runner.ConfigClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->config, (std::array<std::uint8_t, 4>{0x5A, 0xA7, 0x3C, 0x0F}));
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
}

// The list names Config by the operation the set handles; the row gives the size without "len=";
// a package the set has no design for is refused, not fatal.
TEST_F(Stc12cx, SetUpChoices) {
  Seat({{"pkg=", 28}});
  EXPECT_EQ(gApp.CodeLastAddress, 0x2FFF);
  const auto& list = gApp.ChipUiList;
  EXPECT_NE(std::find(list.begin(), list.end(), "25 Config"), list.end());
  EXPECT_EQ(std::find(list.begin(), list.end(), "26 Config"), list.end());
  Seat({{"len=", 10240}, {"pkg=", 40}});
  EXPECT_TRUE(Logged("Package (pkg=) must be 20, 28 or 32!")) << LastLine();
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_EQ(fake.boxes.size(), 2u);
}

}  // namespace stc12cx_test
}  // namespace zelvar::test
