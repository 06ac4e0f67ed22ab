// "P12C508" on the simulated programmer with the PIC12C508/509 family's OTP models: the round
// trip of every catalogue line through the runner (Blank, Write with each speed choice, the
// chip's cells, Verify and its failure at the top word, Read, Config with the oscillator radio,
// Read config into grid and radio), the calibration word kept whatever the buffer holds, and the
// programmed cells that no Write takes back to 1.
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic12.h"

namespace zelvar::test {
namespace p12c508_test {

struct OtpLine {
  const char* part;
  int row;
  int speed;             // word 129: Quick 0, Nomal 1, Slow 2
  std::uint32_t w0;      // the grid's word 0 for Config
  std::uint32_t radio;   // word 128: LP 0, XT 1, RC 2, ExtRC 3
  std::uint16_t config;  // the word the chip then reads out
};

class P12c508 : public ChipFixture, public ::testing::WithParamInterface<OtpLine> {
 protected:
  std::shared_ptr<sim::Pic12Chip> Seat(const OtpLine& l) {
    auto chip = sim::MakePic12(l.part);
    fake.chipParams = {{"fla=", l.row == 1 ? 512 : 1024}, {"pkg=", 8}, {"cfg=", 0}};
    Choose("P12C508", l.row, chip, std::string("MICROCHIP: ") + l.part, "pic16dip08");
    return chip;
  }
  static void Image(std::uint32_t words, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t w = 0; w < words; ++w) {
      const auto v = static_cast<std::uint16_t>(gen() & 0xFFF);
      gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(v & 0xFF);
      // Bits 4-7 of the high byte set, as a file may carry them: the chip has none.
      gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(v >> 8 | 0xF0);
    }
  }
  static std::uint16_t BufferWord(std::uint32_t w) {
    return static_cast<std::uint16_t>(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text == text; });
  }
};

TEST_P(P12c508, RoundTripKeepsTheCalibrationWord) {
  const OtpLine& l = GetParam();
  auto chip = Seat(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(gApp.PinMask, SocketPins(17, 24));
  const std::uint16_t cal = chip->code.back();
  ASSERT_EQ(cal & 0xF00, 0xC00);
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  // The buffer's last word is not the calibration: Write leaves the chip's own.
  Image(words, static_cast<unsigned>(words + l.speed));
  gApp.CodeBuffer[2 * words - 2] = 0x00;
  gApp.CodeBuffer[2 * words - 1] = 0x00;
  gApp.OptionValues[129] = l.speed;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w + 1 < words; ++w) {
    ASSERT_EQ(BufferWord(w), chip->code[w]) << w;  // Write kept only the chip's 12 bits
  }
  EXPECT_EQ(chip->code.back(), cal);
  // One, two or three 100 us steps, each a full pulse.
  EXPECT_GE(chip->lastPulseUs, 100.0 * (l.speed + 1));
  EXPECT_LT(chip->lastPulseUs, 100.0 * (l.speed + 1) + 50);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  // A cell of the top program word (every address line high) differs: Verify names it.
  chip->code[words - 2] &= 0x7FF;
  const bool changed = chip->code[words - 2] != BufferWord(words - 2);
  EXPECT_EQ(Click(kOpVerify), changed ? 1 : 0);
  if (changed) {
    EXPECT_EQ(gLink.FailAddress, 2 * (words - 2));
  }
  chip->code[words - 2] = BufferWord(words - 2);

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0xEE);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end() - 2, gApp.CodeBuffer.begin()));
  EXPECT_EQ(BufferWord(words - 1), cal);

  // An OTP cell keeps its 0: a bit of word 3 back to 1 in the buffer changes nothing.
  const std::uint16_t before = chip->code[3];
  gApp.CodeBuffer[6] = 0xFF;
  gApp.CodeBuffer[7] = 0x0F;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[3], before);
  EXPECT_EQ(Click(kOpVerify), before == 0xFFF ? 0 : 1);

  gApp.OptionValues[0] = static_cast<std::int32_t>(l.w0);
  gApp.OptionValues[128] = static_cast<std::int32_t>(l.radio);
  gApp.OptionValues[64] = 0xA5C3;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), l.config);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x0A, 0xA5, 0x5C, 0xC3}));
  EXPECT_EQ(chip->code.back(), cal);
  char written[32];
  std::snprintf(written, sizeof written, "%02x OK", l.config | 0xFFFFFFE0u);
  EXPECT_TRUE(Logged(written)) << LastLine();

  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0] & 0x1F, l.config & 0x1F);
  EXPECT_EQ(gApp.OptionValues[128], static_cast<std::int32_t>(l.radio));
  EXPECT_EQ(gApp.OptionValues[64], 0xA5C3);
  char read[32];
  std::snprintf(read, sizeof read, "Config = %04x", l.config & 0xFF);
  EXPECT_EQ(LastLine(), read);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, P12c508,
    ::testing::Values(
        // WDT off (bit 2), "RC": the chip's word 0xFFA; code protection (bit 3) off.
        OtpLine{"PIC12C508", 1, 0, 0x18, 2, 0xFFA},
        // MCLRE off, WDT on, "XT".
        OtpLine{"PIC12C508A", 1, 1, 0x0C, 1, 0xFED}, OtpLine{"PIC12CE518", 1, 2, 0x1C, 3, 0xFFF},
        // "LP", every row at 1.
        OtpLine{"PIC12C509", 2, 2, 0x1C, 0, 0xFFC}, OtpLine{"PIC12C509A", 2, 0, 0x18, 2, 0xFFA},
        OtpLine{"PIC12CE519", 2, 1, 0x14, 1, 0xFF5}),
    [](const auto& info) { return std::string(info.param.part); });

}  // namespace p12c508_test
}  // namespace zelvar::test
