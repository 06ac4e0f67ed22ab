// The PIC16F7x sets ("P16F7X" by row, "PIC16F" by the chip line) on the simulated programmer with
// the PIC16F7x models: the round trip of every catalogue row with a model, the erase that takes
// the configuration word, and the configuration word as the data sheet lays it out.
#include "PicFixture.h"

namespace zelvar::test {
namespace p16f7x_test {

class F7xRoundTrip : public PicFixture, public ::testing::WithParamInterface<PicLine> {};

TEST_P(F7xRoundTrip, EraseWriteVerifyReadAndConfig) {
  const PicLine& l = GetParam();
  auto chip = ChoosePic(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(gApp.InfoRecord[2], 0);
  std::fill(chip->code.begin(), chip->code.end(), 0x1234);
  chip->config = 0x3FEF;  // code protection on

  // The erase takes the configuration word and CP with the code: Blank passes after it.
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0x3FFF);
  // The Erase click above ran Blank after the erase; its status is the one checked.

  Image(words, 11);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 2] ^= 0x2000;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 2));
  chip->code[words - 2] ^= 0x2000;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // Watchdog off, the HS oscillator: bits without a row stay erased.
  gApp.OptionValues[0] = 0x3FFF & ~0x0004;
  gApp.OptionValues[64] = 0x1234;
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  const std::uint16_t expect = l.key == "P16F7X" ? 0x3FFA : 0x3FFB;
  EXPECT_EQ(chip->ConfigRead(), expect);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", expect);
  EXPECT_TRUE(Logged(line)) << LastLine();

  // CP on as well (a programmed bit cannot come back without an erase): Blank fails on the
  // configuration word alone.
  gApp.OptionValues[0] = 0x3FFF & ~0x0014;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  gLink.FailAddress = 0;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, F7xRoundTrip,
    ::testing::Values(PicLine{"PIC16F72", "P16F7X", 3, {}, "pic16dip28"},
                      PicLine{"PIC16F73", "P16F7X", 4, {}, "pic16dip28"},
                      PicLine{"PIC16F74", "P16F7X", 5, {}, "pic16dip40"},
                      PicLine{"PIC16F76",
                              "PIC16F",
                              7,
                              {{"fla=", 8192}, {"pkg=", 28}, {"vcc=", 5000}, {"cfg=", 2}},
                              "pic16dip28"},
                      PicLine{"PIC16F77",
                              "PIC16F",
                              8,
                              {{"fla=", 8192}, {"pkg=", 40}, {"vcc=", 5000}, {"cfg=", 2}},
                              "pic16dip40"}),
    [](const auto& info) { return std::string(info.param.part); });

// BOREN is bit 6 on the PIC16F7x: its row clears that bit and no other.
TEST_F(PicFixture, P16f7xBorenIsBitSix) {
  auto chip = ChoosePic({"PIC16F73", "P16F7X", 4, {}, "pic16dip28"});
  gApp.OptionValues[0] = 0x3FFF & ~0x0040;
  gApp.OptionValues[128] = 3;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0x3FBF);
  ExpectNoHazard();
}

// "PIC16F" without "fla=" is refused rather than run over no words.
TEST_F(PicFixture, Pic16fRefusesALineWithoutSize) {
  auto chip = sim::MakePic14("PIC16F77");
  fake.chipParams = {{"pkg=", 40}};
  prog->PlaceChipAtBottom(chip);
  gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F77";
  gApp.AlgorithmKey = "PIC16F";
  gApp.TypeIndex = 8;
  gApp.CurrentDispatcher = DispatcherForKey("PIC16F");
  runner.SetupChosenChip();
  EXPECT_TRUE(Logged("No program size (fla=)")) << LastLine();
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(chip->entries, 0);
}

}  // namespace p16f7x_test
}  // namespace zelvar::test
