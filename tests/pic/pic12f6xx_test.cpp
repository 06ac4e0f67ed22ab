// The PIC12F629/675-class sets "PIC12F6XX" and "PIC12F" on the simulated programmer: the round
// trip of every catalogue line with the factory calibration kept through Erase and never
// overwritten by Write, the checked calibration save, Blank on the chip's own band-gap bits, and
// the packages by programmer model.
#include "PicFixture.h"

namespace zelvar::test {
namespace pic12f6xx_test {

struct CalCase {
  PicLine line;
  int model;
  int scopeWord;  // the option word of the erase scope radio
};

PicLine Line12F(const char* part, const char* key, int pkg = 8) {
  return {part,
          key,
          1,
          {{"fla=", 1024}, {"ee=", 128}, {"dly=", 3}, {"pkg=", pkg}, {"vcc=", 5000}},
          pkg == 8 ? "pic16dip08" : "pic16dip14std"};
}

constexpr std::uint16_t kFactoryCal = 0x3480;  // the model's RETLW
constexpr std::uint16_t kBandGap10 = 0x2000;

class CalRoundTrip : public PicFixture, public ::testing::WithParamInterface<CalCase> {};

TEST_P(CalRoundTrip, CalibrationSurvivesEraseWriteAndConfig) {
  const CalCase& c = GetParam();
  Connect(c.model);
  auto chip = ChoosePic(c.line);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  const auto ee = static_cast<std::uint32_t>(chip->data.size());
  std::fill_n(chip->code.begin(), words - 1, 0x1234);
  std::fill(chip->data.begin(), chip->data.end(), 0x55);

  gApp.OptionValues[c.scopeWord] = 2;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(Logged("OSCCAL = 3480")) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->code.begin(), chip->code.end() - 1, [](int w) { return w == 0x3FFF; }));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int b) { return b == 0xFF; }));
  EXPECT_EQ(chip->code.back(), kFactoryCal);
  EXPECT_EQ(chip->config & 0x3000, kBandGap10);
  // Blank looks at bits 0-8 only: the band-gap bits 10 are no programmed word.
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  // A file whose last word is anything else: Write leaves the chip's word, Verify passes.
  Image(words, 11);
  gApp.CodeBuffer[2 * (words - 1)] = 0x00;
  gApp.CodeBuffer[2 * (words - 1) + 1] = 0x00;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w + 1 < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(chip->code.back(), kFactoryCal);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 2] ^= 0x0001;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 2));
  chip->code[words - 2] ^= 0x0001;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words - 2);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(BufferWord(words - 1), kFactoryCal);

  // A grid with band-gap bits 11: the chip keeps its own 10, and the word reads back.
  gApp.OptionValues[0] = 0x3FF7;
  gApp.OptionValues[64] = 0x4321;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0x2FF7);
  gApp.OptionValues[0] = gApp.OptionValues[64] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0x2FF7);
  EXPECT_EQ(gApp.OptionValues[64], 0x4321);

  for (std::uint32_t k = 0; k < ee; ++k)
    gApp.CodeBuffer[0x4200 + k] = static_cast<std::uint8_t>(k ^ 0xA5);
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));
  std::fill_n(gApp.CodeBuffer.begin() + 0x4200, ee, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));

  // Erase of the data alone still brings the calibration back whole (the erase alone: the
  // programmed configuration word stays, which the Blank of an Erase click would report).
  gApp.OptionValues[c.scopeWord] = 1;
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->code.back(), kFactoryCal);
  EXPECT_EQ(chip->config & 0x3000, kBandGap10);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(Lines, CalRoundTrip,
                         ::testing::Values(CalCase{Line12F("PIC12F629", "PIC12F6XX"), 6200, 128},
                                           CalCase{Line12F("PIC12F675", "PIC12F6XX"), 6300, 128},
                                           CalCase{Line12F("PIC12F629", "PIC12F"), 6300, 129},
                                           CalCase{Line12F("PIC12F675", "PIC12F"), 6200, 129}),
                         [](const auto& info) {
                           return std::string(info.param.line.part) + "_" + info.param.line.key +
                                  "_" + std::to_string(info.param.model);
                         });

// The calibration save refuses a word that is no RETLW before anything is erased; both sets.
TEST_F(PicFixture, CalibratedEraseRefusesALostWord) {
  for (const char* key : {"PIC12F6XX", "PIC12F"}) {
    SCOPED_TRACE(key);
    Connect(6300);
    auto chip = ChoosePic(Line12F("PIC12F675", key));
    chip->code[0] = 0x0123;
    chip->code.back() = 0x3FFF;
    gApp.OptionValues[128] = gApp.OptionValues[129] = 2;
    EXPECT_EQ(Click(kOpErase), 1);
    EXPECT_TRUE(Logged("Calibration word not valid")) << LastLine();
    EXPECT_EQ(chip->erases, 0);
    EXPECT_EQ(chip->code[0], 0x0123);
    ExpectNoHazard();
  }
}

// A code-protected chip reads its calibration word as 0: the erase names the cause and, after a
// Yes, takes the calibration from the buffer's last word, clears the protection and restores the
// word and the band-gap bits. Without a RETLW there, or with No, nothing is erased.
TEST_F(PicFixture, ProtectedChipIsErasedWithTheCalibrationFromTheBuffer) {
  struct Case {
    const char* key;
    std::uint16_t bufferWord;
    bool yes;
    bool erased;
  };
  const Case cases[] = {{"PIC12F6XX", 0x3480, true, true},
                        {"PIC12F", 0x3480, true, true},
                        {"PIC12F6XX", 0x3480, false, false},
                        {"PIC12F6XX", 0x0000, true, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + (c.yes ? " yes" : " no"));
    Connect(6300);
    auto chip = ChoosePic(Line12F("PIC12F675", c.key));
    const auto words = static_cast<std::uint32_t>(chip->code.size());
    chip->code[0] = 0x0123;
    chip->config = 0x2F7F;  // band gap 10, CP on
    gApp.CodeBuffer[2 * (words - 1)] = static_cast<std::uint8_t>(c.bufferWord);
    gApp.CodeBuffer[2 * (words - 1) + 1] = static_cast<std::uint8_t>(c.bufferWord >> 8);
    gApp.OptionValues[128] = gApp.OptionValues[129] = 2;
    fake.yesNoAnswers = {c.yes};
    EXPECT_EQ(Click(kOpErase), c.erased ? 0 : 1) << LastLine();
    EXPECT_TRUE(Logged("code-protected")) << LastLine();
    if (c.erased) {
      EXPECT_EQ(chip->code[0], 0x3FFF);
      EXPECT_EQ(chip->code.back(), kFactoryCal);
      EXPECT_EQ(chip->config & 0x3080, 0x2080);  // band gap kept, protection off
    } else {
      EXPECT_EQ(chip->erases, 0);
      EXPECT_EQ(chip->code[0], 0x0123);
      EXPECT_EQ(chip->config, 0x2F7F);
    }
    ExpectNoHazard();
  }
}

// A chip whose band-gap bits are 01 is blank once its other bits are erased.
TEST_F(PicFixture, BlankIgnoresTheBandGapBits) {
  for (const char* key : {"PIC12F6XX", "PIC12F"}) {
    SCOPED_TRACE(key);
    Connect(6200);
    auto chip = ChoosePic(Line12F("PIC12F629", key));
    chip->config = 0x1FFF;
    EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
    chip->config = 0x1F7F;  // CP on
    EXPECT_EQ(Click(kOpBlank), 1);
  }
}

// "pkg=" 20: the 20-pin part turned in the 14-pin seat below model 6300, with the 20-pin
// picture; on 6300 and up, whose seat has no wiring for it, refused.
TEST_F(PicFixture, TwentyPinPackageByModel) {
  for (const char* key : {"PIC12F6XX", "PIC12F"}) {
    SCOPED_TRACE(key);
    for (int model : {6200, 6300}) {
      Connect(model);
      fake.placements.clear();
      fake.chipParams = {{"fla=", 1024}, {"ee=", 128}, {"pkg=", 20}};
      gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F690";
      gApp.AlgorithmKey = key;
      gApp.TypeIndex = 1;
      gApp.CurrentDispatcher = DispatcherForKey(key);
      runner.SetupChosenChip();
      if (model < 6300) {
        EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
        EXPECT_EQ(prog->loadedDesign, "pic16dip14");
        ASSERT_FALSE(fake.placements.empty());
        EXPECT_EQ(fake.placements.back().pins, 20);
        EXPECT_EQ(fake.placements.back().firstRow, 5);
      } else {
        EXPECT_EQ(gLink.StatusWord, 1);
        EXPECT_TRUE(Logged("pkg=")) << LastLine();
      }
    }
  }
}

}  // namespace pic12f6xx_test
}  // namespace zelvar::test
