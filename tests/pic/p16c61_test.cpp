// The 14-bit EPROM set on the simulated programmer with the PIC16C6x/7x/62x models: the round
// trip of every catalogue line (Blank, Write with each pulse choice, Verify, Read, Config with
// the oscillator radio and the bits without a row left unprogrammed, Read config), an OTP chip
// refusing to turn bits back to 1, a cell that needs a second pulse, and Erase doing nothing.
#include "PicFixture.h"
#include "sim/chips/Pic14Eprom.h"

namespace zelvar::test {
namespace p16c61_test {

struct EpromLine {
  const char* part;
  int row;
  const char* design;
};

class EpromFixture : public PicFixture {
 protected:
  std::shared_ptr<sim::Pic14EpromChip> ChooseEprom(const EpromLine& l) {
    auto chip = sim::MakePic14Eprom(l.part);
    fake.chipParams = {};
    Choose("P16C61", l.row, chip, std::string("MICROCHIP: ") + l.part, l.design);
    return chip;
  }
};

class P16c61RoundTrip : public EpromFixture, public ::testing::WithParamInterface<EpromLine> {};

TEST_P(P16c61RoundTrip, BlankWriteVerifyReadAndConfig) {
  const EpromLine& l = GetParam();
  auto chip = ChooseEprom(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  // Each row with another pulse choice: one, two or three 100 us steps all program.
  gApp.OptionValues[129] = l.row % 3;
  Image(words, static_cast<unsigned>(l.row));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(chip->pulses[words - 1], 1);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // The grid all 0 but bit 5 (BODEN, which the PIC16C61 lacks) and RC chosen: the rowed bits
  // 2-4 programmed, FOSC 11, every bit without a row (the CP mirrors above all) left 1.
  gApp.OptionValues[0] = 0x0020;
  gApp.OptionValues[128] = 3;
  gApp.OptionValues[64] = 0x0F0F;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->config, 0x3FE3);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x00, 0x0F, 0xF0, 0x0F}));
  gApp.OptionValues[0] = gApp.OptionValues[128] = gApp.OptionValues[64] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], chip->ConfigRead());
  EXPECT_EQ(gApp.OptionValues[128], 3);
  EXPECT_EQ(gApp.OptionValues[64], 0x0F0F);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, P16c61RoundTrip,
    ::testing::Values(
        EpromLine{"PIC16C61", 8, "pic16dip18c"}, EpromLine{"PIC16C71", 7, "pic16dip18c"},
        EpromLine{"PIC16C620", 9, "pic16dip18c"}, EpromLine{"PIC16C621", 10, "pic16dip18c"},
        EpromLine{"PIC16C622", 11, "pic16dip18c"}, EpromLine{"PIC16C62", 12, "pic16dip28c"},
        EpromLine{"PIC16C62A", 12, "pic16dip28c"}, EpromLine{"PIC16C63", 13, "pic16dip28c"},
        EpromLine{"PIC16C72", 14, "pic16dip28c"}, EpromLine{"PIC16C73", 13, "pic16dip28c"},
        EpromLine{"PIC16C73A", 13, "pic16dip28c"}, EpromLine{"PIC16C76", 15, "pic16dip28c"},
        EpromLine{"PIC16C64", 1, "pic16dip40c"}, EpromLine{"PIC16C64A", 2, "pic16dip40c"},
        EpromLine{"PIC16C65", 3, "pic16dip40c"}, EpromLine{"PIC16C65A", 4, "pic16dip40c"},
        EpromLine{"PIC16C74", 5, "pic16dip40c"}, EpromLine{"PIC16C74A", 6, "pic16dip40c"},
        EpromLine{"PIC16C77", 16, "pic16dip40c"}),
    [](const auto& info) { return std::string(info.param.part); });

// A programmed OTP chip keeps its 0 bits: a second Write cannot set them, and Verify names the
// first word that differs. Erase is no operation of the set and leaves chip and status alone.
TEST_F(EpromFixture, OtpChipKeepsItsProgrammedBits) {
  auto chip = ChooseEprom({"PIC16C74A", 6, "pic16dip40c"});
  Image(chip->code.size(), 3);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  const std::uint16_t first = chip->code[0];
  gApp.CodeBuffer[0] = 0xFF;
  gApp.CodeBuffer[1] = 0x3F;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[0], first);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  gLink.StatusWord = 7;
  gApp.CurrentDispatcher(kOpErase, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
  EXPECT_EQ(gLink.StatusWord, 7);
  EXPECT_EQ(chip->code[0], first);
  ExpectNoHazard();
}

// A cell that takes programming only at its second full pulse: the set's one pulse leaves it
// erased, and Verify finds it.
TEST_F(EpromFixture, HardCellFailsVerify) {
  auto chip = ChooseEprom({"PIC16C61", 8, "pic16dip18c"});
  chip->pulsesNeeded[5] = 2;
  Image(chip->code.size(), 9);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[5], 0x3FFF);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 10u);
  ExpectNoHazard();
}

}  // namespace p16c61_test
}  // namespace zelvar::test
