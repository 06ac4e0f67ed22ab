// "PIC16F5X" on the simulated programmer with the 12-bit PIC16F54 and PIC16F57 models: the round
// trip of each catalogue line, the user IDs after the program memory whatever the size, the
// oscillator radio replacing the configuration bits, Blank's configuration check and the chips
// the set refuses.
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic12.h"

namespace zelvar::test {
namespace pic16f5x_test {

struct F5xLine {
  const char* part;
  int fla, pkg;
  const char* design;
};

class F5x : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic12Chip> ChooseF5x(const F5xLine& l) {
    auto chip = sim::MakePic12(l.part);
    fake.chipParams = {{"fla=", l.fla}, {"pkg=", l.pkg}, {"vcc=", 5000}};
    Choose("PIC16F5X", 1, chip, std::string("MICROCHIP: ") + l.part, l.design);
    return chip;
  }
  // A random 12-bit image; the high nibble of every odd byte set, as a file may carry it.
  static void Image(std::uint32_t words, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t w = 0; w < words; ++w) {
      const auto v = static_cast<std::uint16_t>(gen() & 0xFFF);
      gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(v & 0xFF);
      gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(v >> 8 | 0xF0);
    }
  }
  static std::uint16_t BufferWord(std::uint32_t w) {
    return static_cast<std::uint16_t>(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

class F5xRoundTrip : public F5x, public ::testing::WithParamInterface<F5xLine> {};

TEST_P(F5xRoundTrip, EraseWriteVerifyReadConfigAndReadConfig) {
  const F5xLine& l = GetParam();
  auto chip = ChooseF5x(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  ASSERT_EQ(words, static_cast<std::uint32_t>(l.fla));
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(gApp.InfoRecord[2], 0);
  std::fill(chip->code.begin(), chip->code.end(), 0x123);
  chip->ids = {0, 0, 0, 0};
  chip->config = 0x0F3;  // code protection on

  // Both bulk erases: program memory and configuration from the configuration word, the IDs
  // from the first ID word.
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->erases, 2);
  EXPECT_EQ(chip->ConfigRead(), 0xFFF);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0xFFF, 0xFFF, 0xFFF, 0xFFF}));
  // The Erase click above ran Blank after the erase; its status is the one checked.

  Image(words, 5);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 1] ^= 0x800;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  chip->code[words - 1] ^= 0x800;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0xEE);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
  EXPECT_TRUE(
      std::any_of(fake.log.begin(), fake.log.end(), [](const auto& x) { return x.text == "OK"; }));
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);

  // Watchdog off, HS oscillator, user ID 0x1234 in the IDs right after the program memory.
  gApp.OptionValues[0] = 0xFFB;
  gApp.OptionValues[128] = 2;
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("000a OK"));
  EXPECT_EQ(chip->ConfigRead(), 0xFFA);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;

  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[128] = 0;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("Config=000a"));
  EXPECT_EQ(gApp.OptionValues[0] & 0xC, 0x8);  // the grid keeps its rows' bits
  EXPECT_EQ(gApp.OptionValues[128], 2);
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(Lines, F5xRoundTrip,
                         ::testing::Values(F5xLine{"PIC16F54", 512, 18, "pic16dip18"},
                                           F5xLine{"PIC16F57", 2048, 29, "pic16dip29"}),
                         [](const auto& info) { return std::string(info.param.part); });

// A word whose oscillator bits are set (as a grid word may carry them): the radio still decides.
TEST_F(F5x, OscillatorRadioReplacesTheConfigurationBits) {
  auto chip = ChooseF5x({"PIC16F54", 512, 18, "pic16dip18"});
  gApp.OptionValues[0] = 0xFFF;
  gApp.OptionValues[128] = 0;  // LP
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0xFFC);
  ExpectNoHazard();
}

// Code protection alone fails Blank, with no address.
TEST_F(F5x, BlankFailsOnAProtectedConfigurationWord) {
  auto chip = ChooseF5x({"PIC16F54", 512, 18, "pic16dip18"});
  chip->config = 0xFF7;
  gLink.FailAddress = 0x55;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x55u);
  ExpectNoHazard();
}

// A row outside the table, a line without "fla=" or with a package the set has no wiring for:
// refused at set-up, and no operation touches the chip.
TEST_F(F5x, RefusesWhatItCannotServe) {
  struct Case {
    int row;
    std::map<std::string, int> items;
  };
  const Case cases[] = {
      {2, {{"fla=", 512}, {"pkg=", 18}}}, {1, {{"pkg=", 18}}}, {1, {{"fla=", 512}, {"pkg=", 40}}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.row);
    auto chip = sim::MakePic12("PIC16F54");
    prog->PlaceChipAtBottom(chip);
    fake.chipParams = c.items;
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F54";
    gApp.AlgorithmKey = "PIC16F5X";
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey("PIC16F5X");
    runner.SetupChosenChip();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(Run(kOpErase), 1);
    EXPECT_EQ(chip->entries, 0);
  }
}

}  // namespace pic16f5x_test
}  // namespace zelvar::test
