// The PIC16F87xA set on the simulated programmer with the PIC16F873A-877A models: the round trip
// of every catalogue line, the two erase scopes, the configuration bits without a row left
// erased, and Config read back.
#include "PicFixture.h"

namespace zelvar::test {
namespace pic1687xa_test {

PicLine Line87xA(const char* part, int row, int words, int ee, int pkg, std::uint8_t id1) {
  return {part,
          "PIC1687XA",
          row,
          {{"fla=", words}, {"ee=", ee}, {"dly=", 2}, {"pkg=", pkg}, {"vcc=", 5000}, {"cfg=", 1}},
          pkg == 40 ? "pic16dip40" : "pic16dip28",
          {0x0E, id1, 0, 0}};
}

const PicLine k873A = Line87xA("PIC16F873A", 4, 4096, 128, 28, 0x40);
const PicLine k877A = Line87xA("PIC16F877A", 8, 8192, 256, 40, 0x20);

class Pic1687xaRoundTrip : public PicFixture, public ::testing::WithParamInterface<PicLine> {};

TEST_P(Pic1687xaRoundTrip, EraseWriteVerifyReadConfigAndData) {
  auto chip = ChoosePic(GetParam());
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  const auto ee = static_cast<std::uint32_t>(chip->data.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  std::fill(chip->code.begin(), chip->code.end(), 0x1234);
  std::fill(chip->data.begin(), chip->data.end(), 0x55);
  chip->config = 0x1FFF;  // CP on

  // "程序+数据+配置": Chip Erase from configuration space takes the configuration word too.
  gApp.OptionValues[128] = 1;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](int w) { return w == 0x3FFF; }));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int b) { return b == 0xFF; }));
  EXPECT_EQ(chip->config, 0x3FFF);
  // The Erase click above ran Blank after the erase; its status is the one checked.

  Image(words);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 1] ^= 0x2000;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  chip->code[words - 1] ^= 0x2000;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // Bits 4, 5 and 12 have no row in the PIC16F87xA group: written as 1 whatever the grid says.
  gApp.OptionValues[0] = 0x2F4B;
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->config, 0x3F7B);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[65] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0x3F7B);
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);
  EXPECT_EQ(gApp.OptionValues[65], chip->sheet().deviceId & 0x3FF0);

  for (std::uint32_t k = 0; k < ee; ++k)
    gApp.CodeBuffer[0x4200 + k] = static_cast<std::uint8_t>(k * 13 + 1);
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));
  std::fill_n(gApp.CodeBuffer.begin() + 0x4200, ee, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));

  // "程序+数据": program and data memory erased, the configuration word kept (so the Blank that
  // follows an Erase click would fail on it: the erase alone).
  gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->code[words - 1], 0x3FFF);
  EXPECT_EQ(chip->data[ee - 1], 0xFF);
  EXPECT_EQ(chip->config, 0x3F7B);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(Lines, Pic1687xaRoundTrip,
                         ::testing::Values(k873A, Line87xA("PIC16F874A", 5, 4096, 128, 40, 0x60),
                                           Line87xA("PIC16F876A", 7, 8192, 256, 28, 0x00), k877A),
                         [](const auto& info) { return std::string(info.param.part); });

// A configuration word the chip does not keep (the PIC16F87x group's CP bits on a PIC16F87xA,
// which has none there) fails Config by its read-back.
TEST_F(PicFixture, Pic1687xaConfigFailsWhenTheWordDoesNotReadBack) {
  PicLine l = k873A;
  l.items["cfg="] = 0;
  auto chip = ChoosePic(l);
  gApp.OptionValues[0] = 0x3FCF;  // CP0 and CP1 (bits 4, 5) programmed
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("Config verify error")) << LastLine();
  EXPECT_EQ(gLink.FailAddress, 0x2007u);
  ExpectNoHazard();
}

// The device ID names the chip: a PIC16F877A line refuses a PIC16F876A before writing.
TEST_F(PicFixture, Pic1687xaTypeCheckRefusesAnotherChip) {
  PicLine l = k877A;
  l.part = "PIC16F876A";
  l.design = "pic16dip28";
  l.items["pkg="] = 28;
  auto chip = ChoosePic(l);
  Image(64);
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_TRUE(Logged("Type error")) << LastLine();
  EXPECT_EQ(chip->code[0], 0x3FFF);
}

}  // namespace pic1687xa_test
}  // namespace zelvar::test
