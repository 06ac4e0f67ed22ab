// The W79E82ISP set on the simulated programmer: the command-level logic of "w79e82iw20" driving
// the W79E825 model through the runner, the maker-code check at 3.3 V, the data flash and the
// configuration bytes, and what the set refuses.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "link/LinkState.h"
#include "sim/chips/W79e.h"

namespace zelvar::test {
namespace w79e82isp_test {

class W79e82isp : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::W79eChip> Seat(std::map<std::string, int> params, int row = 2) {
    auto chip = sim::MakeW79e("W79E825");
    fake.chipParams = std::move(params);
    Choose({"W79E82ISP", row, "WINBOND: W79E825"}, chip);
    return chip;
  }
};

TEST_F(W79e82isp, RoundTripWithDataFlashConfigAndId) {
  auto chip = Seat({{"len=", 16384}, {"ee=", 256}, {"vcc=", 5000}});
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[1], 0xFC00);
  EXPECT_EQ(gApp.InfoRecord[2], 256);
  EXPECT_EQ(gApp.InfoRecord[5], 15);
  std::fill(chip->code.begin(), chip->code.end(), 0x12);
  std::fill(chip->data.begin(), chip->data.end(), 0x34);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  Pattern(16384);
  for (std::uint32_t i = 0; i < 256; ++i)
    gApp.CodeBuffer[0xFC00 + i] = static_cast<std::uint8_t>(0xC3 ^ i);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int b) { return b == 0xFF; }));
  ASSERT_EQ(Call(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0xFC00));

  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->code[16380] ^= 0x10;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, 16380u);
  chip->code[16380] ^= 0x10;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x10000, 0);
  runner.ReadClick();  // code and data flash, then Read data
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.begin() + 16384, gApp.CodeBuffer.begin()));
  EXPECT_TRUE(
      std::equal(image.begin() + 0xFC00, image.begin() + 0xFD00, gApp.CodeBuffer.begin() + 0xFC00));

  gApp.OptionValues[0] = 0xA5;
  gApp.OptionValues[1] = 0x3C;
  runner.ConfigClick();
  EXPECT_EQ(chip->config[0], 0xA5);
  EXPECT_EQ(chip->config[1], 0x3C);
  gApp.OptionValues[0] = gApp.OptionValues[1] = 0;
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("Config1=a5,Config2=3c")) << LastLine();
  runner.IdClick();
  EXPECT_TRUE(Logged("MFA=da,82,25")) << LastLine();
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

// A data area larger than the command queue is written by flushes as it goes.
TEST_F(W79e82isp, LargeDataAreaIsFlushedAsItGoes) {
  auto chip = Seat({{"len=", 2048}, {"ee=", 0x3000}, {"vcc=", 5000}});
  EXPECT_EQ(Call(kOpWriteData), 0) << LastLine();
  EXPECT_EQ(gLink.ModelNumber, 6200);
  ExpectClean();
}

// No chip answering 0xDA stops the operation before anything is sent to program; Read ID still
// logs what it read.
TEST_F(W79e82isp, MakerCodeCheckStopsAnotherChip) {
  fake.chipParams = {{"len=", 2048}, {"vcc=", 5000}};
  Choose({"W79E82ISP", 2, "WINBOND: W79E825"}, nullptr);
  EXPECT_EQ(Call(kOpWrite), 1);
  EXPECT_TRUE(Logged("Pin connection error!")) << LastLine();
  EXPECT_EQ(Call(kOpReadId), 1);
  EXPECT_TRUE(Logged("MFA=")) << LastLine();
}

// Without "ee=" the list offers no data write; a row without a design and a line without "len="
// are refused; the header row shows the legend "pkg=" names.
TEST_F(W79e82isp, SetUpChoices) {
  Seat({{"len=", 2048}, {"vcc=", 5000}});
  const auto& list = gApp.ChipUiList;
  EXPECT_EQ(std::find(list.begin(), list.end(), "32 WrData"), list.end());
  EXPECT_NE(std::find(list.begin(), list.end(), "26,30,32,"), list.end());
  Seat({{"len=", 2048}}, 3);
  EXPECT_TRUE(Logged("Chip type not in this set!")) << LastLine();
  EXPECT_EQ(Call(kOpRead), 1);
  Seat({{"vcc=", 5000}});
  EXPECT_TRUE(Logged("No chip size (len=)")) << LastLine();
  fake.events.clear();
  Seat({{"len=", 2048}, {"pkg=", 28}}, 1);
  EXPECT_TRUE(std::any_of(fake.events.begin(), fake.events.end(), [](const std::string& e) {
    return e.rfind("isp:1----Clock to pin22(P0.5)", 0) == 0;
  }));
  EXPECT_EQ(gApp.InfoRecord[6], 0);
}

}  // namespace w79e82isp_test
}  // namespace zelvar::test
