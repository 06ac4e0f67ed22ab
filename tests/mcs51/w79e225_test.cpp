// The W79E225 set on the simulated programmer with the W79E225 model on its PLCC44 adapter: the
// three arrays through the runner with its contact check (both rows), the LD switch, the data
// flash from chip address 0 and the configuration bytes in the LD space.
#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/W79e.h"

namespace zelvar::test {
namespace w79e225_test {

constexpr std::uint32_t kAp = 16384, kLd = 4096, kData = 256, kDataStart = kAp + kLd;

class W79e225 : public Mcs51Fixture, public ::testing::WithParamInterface<int> {
 protected:
  std::shared_ptr<sim::W79eChip> Seat(int row) {
    auto chip = sim::MakeW79e("W79E225");
    fake.chipParams = {{"len=", kAp}, {"ee=", kData}, {"vcc=", 5000}};
    Choose({"W79E225", row, "WINBOND: W79E225"}, chip);
    return chip;
  }
  static bool Blank(const std::vector<std::uint8_t>& v) {
    return std::all_of(v.begin(), v.end(), [](int b) { return b == 0xFF; });
  }
};

TEST_P(W79e225, ThreeArraysRoundTrip) {
  auto chip = Seat(GetParam());
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.InfoRecord[0], static_cast<std::int32_t>(kAp + kLd - 1));
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(kDataStart));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(kData));
  EXPECT_EQ(gApp.InfoRecord[5], 15);
  std::fill(chip->code.begin(), chip->code.end(), 0x12);
  std::fill(chip->loader.begin(), chip->loader.end(), 0x34);
  std::fill(chip->data.begin(), chip->data.end(), 0x56);
  gApp.OptionValues[128] = 1;  // En LD

  runner.EraseClick();  // followed by Blank, LD included
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(Blank(chip->code) && Blank(chip->loader) && Blank(chip->data));

  Pattern(kAp + kLd);
  for (std::uint32_t i = 0; i < kData; ++i)
    gApp.CodeBuffer[kDataStart + i] = static_cast<std::uint8_t>(0xC3 ^ i);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::equal(chip->loader.begin(), chip->loader.end(), gApp.CodeBuffer.begin() + kAp));
  EXPECT_TRUE(Blank(chip->data));
  ASSERT_EQ(Call(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(
      std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + kDataStart));

  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  chip->loader[kLd - 5] ^= 0x08;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, kAp + kLd - 5);
  chip->loader[kLd - 5] ^= 0x08;

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(),
                                  gApp.CodeBuffer.begin() + kDataStart + kData);
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + kDataStart + kData, 0);
  runner.ReadClick();  // followed by Read data
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  gApp.OptionValues[0] = 0xA5;
  gApp.OptionValues[1] = 0x3C;
  runner.ConfigClick();
  EXPECT_EQ(chip->config[0], 0xA5);
  EXPECT_EQ(chip->config[1], 0x3C);
  gApp.OptionValues[0] = gApp.OptionValues[1] = 0;
  runner.ReadConfigClick();
  EXPECT_TRUE(Logged("Config1=a5,Config2=3c")) << LastLine();
  ExpectClean();
  EXPECT_EQ(prog->VccPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Rows, W79e225, ::testing::Values(1, 2));

// With "No LD" Write and Verify leave the loader alone, though the view still spans it: data
// there is refused by Write and fails Verify, and Read leaves the window blank.
TEST_F(Mcs51Fixture, W79e225WithoutLoaderTouchesTheApOnly) {
  auto chip = sim::MakeW79e("W79E225");
  std::fill(chip->loader.begin(), chip->loader.end(), 0x34);
  fake.chipParams = {{"len=", kAp}, {"vcc=", 5000}};
  Choose({"W79E225", 1, "WINBOND: W79E225"}, chip);
  EXPECT_EQ(gApp.InfoRecord[0], static_cast<std::int32_t>(kAp + kLd - 1));
  EXPECT_EQ(gApp.InfoRecord[2], 0);
  Pattern(kAp + kLd);
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, kAp);
  EXPECT_TRUE(Logged("nothing written")) << LastLine();
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](int b) { return b == 0xFF; }));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, kAp);

  std::fill(gApp.CodeBuffer.begin() + kAp, gApp.CodeBuffer.begin() + kAp + kLd, 0xFF);
  gApp.CodeBuffer[kAp + kLd - 1] = 0x00;  // the window's last byte counts too
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, kAp + kLd - 1);
  gApp.CodeBuffer[kAp + kLd - 1] = 0xFF;
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(
      std::all_of(chip->loader.begin(), chip->loader.end(), [](int b) { return b == 0x34; }));
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + kAp + kLd, 0x00);
  runner.ReadClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->code.begin(), chip->code.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin() + kAp, gApp.CodeBuffer.begin() + kAp + kLd,
                          [](int b) { return b == 0xFF; }));
  ExpectClean();
}

}  // namespace w79e225_test
}  // namespace zelvar::test
