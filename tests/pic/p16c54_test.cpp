// "P16C54" and "P16C57" on the simulated programmer with the PIC16C54/55/56/57/58 models in
// their parallel program/verify mode: the round trip of every catalogue line, the OTP cells
// refusing 0 to 1, the oscillator radio in bits 0-1, the read-back of Config, the progress window
// closed after Config and Read config, and the 28-pin contact mask.
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic16c5x.h"

namespace zelvar::test {
namespace p16c54_test {

struct C5xLine {
  const char* part;
  const char* key;
  int row;
  const char* design;
  int model = 6200;
};

class C5x : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic16c5xChip> Seat(const C5xLine& l) {
    Connect(l.model);
    auto chip = sim::MakePic16c5x(l.part);
    fake.chipParams = {{"vcc=", 5000}, {"vpp=", 13000}};
    Choose(l.key, l.row, chip, std::string("MICROCHIP: ") + l.part, l.design);
    return chip;
  }
  static void Image(std::uint32_t words, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t w = 0; w < words; ++w) {
      const auto v = static_cast<std::uint16_t>(gen() & 0xFFF);
      gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(v & 0xFF);
      gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(v >> 8 | 0xF0);
    }
  }
  static std::uint16_t BufferWord(std::uint32_t w) {
    return static_cast<std::uint16_t>((gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8) &
                                      0xFFF);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

class C5xRoundTrip : public C5x, public ::testing::WithParamInterface<C5xLine> {};

TEST_P(C5xRoundTrip, BlankWriteVerifyReadConfigAndReadConfig) {
  const C5xLine& l = GetParam();
  auto chip = Seat(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  Image(words, 3);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(chip->ConfigRead(), 0xFFF);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 1] ^= 0x800;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  chip->code[words - 1] ^= 0x800;
  EXPECT_EQ(Click(kOpBlank), 1);
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0xEE);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w)
    ASSERT_EQ(BufferWord(w), image[2 * w] | (image[2 * w + 1] & 0x0F) << 8) << w;

  // One-time programmable: a 0 bit of word 0 asked back to 1 stays 0, and Verify says where.
  const std::uint16_t first = chip->code[0];
  const std::uint16_t zero = static_cast<std::uint16_t>(~first & 0xFFF & -(~first & 0xFFF));
  ASSERT_NE(zero, 0);
  gApp.CodeBuffer[0] = static_cast<std::uint8_t>((first | zero) & 0xFF);
  gApp.CodeBuffer[1] = static_cast<std::uint8_t>((first | zero) >> 8);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[0], first);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  // Watchdog off, XT from the radio, user ID 0x1234 one nibble a word.
  gApp.OptionValues[0] = 0xFFB;
  gApp.OptionValues[128] = 1;
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Run(kOpConfig), 0) << LastLine();
  EXPECT_FALSE(fake.progressShown);
  EXPECT_EQ(chip->ConfigRead(), 0xFF9);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x1, 0x2, 0x3, 0x4}));

  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_FALSE(fake.progressShown);
  EXPECT_EQ(gApp.OptionValues[0], 0xFF9);
  EXPECT_EQ(gApp.OptionValues[128], 1);
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);
  EXPECT_TRUE(
      Logged(std::string(l.key) == "P16C54" ? "Config=0ff9,UserInfo=1234" : "Config=0ff9,ID=1234"))
      << LastLine();
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, C5xRoundTrip,
                         ::testing::Values(C5xLine{"PIC16C54", "P16C54", 1, "pic16c54dip18"},
                                           C5xLine{"PIC16C56", "P16C54", 2, "pic16c54dip18", 6300},
                                           C5xLine{"PIC16C58", "P16C54", 3, "pic16c54dip18"},
                                           C5xLine{"PIC16C55", "P16C57", 1, "pic16c57dip28"},
                                           C5xLine{"PIC16C57", "P16C57", 2, "pic16c57dip28", 6300}),
                         [](const auto& info) { return std::string(info.param.part); });

// The radio alone decides the oscillator bits, whatever the grid's word carries in them; a
// word that does not take (bits back to 1) fails Config on the read-back.
TEST_F(C5x, OscillatorFromTheRadioAndConfigReadBack) {
  for (const char* key : {"P16C54", "P16C57"}) {
    SCOPED_TRACE(key);
    const bool c57 = std::string(key) == "P16C57";
    auto chip = c57 ? Seat({"PIC16C57", key, 2, "pic16c57dip28"})
                    : Seat({"PIC16C56", key, 2, "pic16c54dip18"});
    gApp.OptionValues[0] = 0xFFF;
    gApp.OptionValues[128] = 0;  // LP
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_EQ(chip->ConfigRead(), 0xFFC);
    gApp.OptionValues[128] = 3;  // RC: bits 0-1 cannot return to 1
    EXPECT_EQ(Click(kOpConfig), 1);
    EXPECT_TRUE(Logged("Config verify error")) << LastLine();
    EXPECT_EQ(chip->ConfigRead(), 0xFFC);
    ExpectNoHazard();
  }
}

// The 28-pin chip's contact pins: 7, 8, 10 and 12 to 34 (MCLR at 34 among them).
TEST_F(C5x, P16c57ContactMask) {
  Seat({"PIC16C57", "P16C57", 2, "pic16c57dip28"});
  EXPECT_EQ(static_cast<std::uint32_t>(gApp.InfoRecord[6]), 0x7FFFFAC0u);
  EXPECT_EQ(gApp.InfoRecord[7], 7);
}

// Without "vcc=" and "vpp=" the sets choose 4.4 V and 12.5 V.
TEST_F(C5x, DefaultSupplies) {
  Connect(6200);
  fake.chipParams = {};
  auto chip = sim::MakePic16c5x("PIC16C54");
  Choose("P16C54", 1, chip, "MICROCHIP: PIC16C54", "pic16c54dip18");
  EXPECT_EQ(prog->VccMillivolts(), 4400);
  EXPECT_EQ(prog->VppMillivolts(), 12500);
}

// A "vpp=" past the programmer's 25 V would wrap in the register to a few volts: set-up refuses
// it with its line, and Write then changes nothing and leaves every supply off.
TEST_F(C5x, VppPastTheProgrammersRangeIsRefused) {
  Connect(6200);
  fake.chipParams = {{"vcc=", 5000}, {"vpp=", 27000}};
  auto chip = sim::MakePic16c5x("PIC16C54");
  Choose("P16C54", 1, chip, "MICROCHIP: PIC16C54", "pic16c54dip18");
  EXPECT_TRUE(Logged("VPP 27000 mV refused")) << LastLine();
  const auto before = chip->code;
  Image(static_cast<std::uint32_t>(chip->code.size()), 5);
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(chip->code, before);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectNoHazard();
}

}  // namespace p16c54_test
}  // namespace zelvar::test
