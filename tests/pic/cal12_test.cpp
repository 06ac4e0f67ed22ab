// The 12-bit sets that keep a calibration word ("PIC16F5XX", "P12F508", "P16C505") on the
// simulated programmer with the PIC12F508/509/510, PIC16F505/506, PIC10F200/204/206 and PIC16C505
// models: the round trip of every catalogue line (the calibration word kept through Erase and
// never written), the checked calibration save, the configuration word read back, the OTP part
// refusing 0 to 1, and the packages and rows the sets refuse.
#include <random>

#include "memory/ChipFixture.h"
#include "sim/chips/Pic12.h"

namespace zelvar::test {
namespace cal12_test {

struct Cal12Line {
  const char* part;
  const char* key;
  int row;
  std::map<std::string, int> items;
  const char* design;
  int model = 6200;
  bool turned = false;   // the 14-pin chip turned (pin 1 in socket pin 27)
  std::uint32_t w0 = 0;  // the grid's word for Config, the radio's choice, the word expected
  std::uint32_t radio = 0;
  std::uint16_t config = 0;
};

class Cal12 : public ChipFixture {
 protected:
  std::shared_ptr<sim::Pic12Chip> Seat(const Cal12Line& l) {
    Connect(l.model);
    auto chip = sim::MakePic12(l.part);
    fake.chipParams = l.items;
    Choose(l.key, l.row, chip, std::string("MICROCHIP: ") + l.part, l.design);
    if (l.turned) prog->PlaceChipTurned(chip, 8);
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
    return static_cast<std::uint16_t>((gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8) &
                                      0xFFF);
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  void ExpectSuppliesOff() const {
    EXPECT_EQ(prog->VccPin(), 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
};

class Cal12RoundTrip : public Cal12, public ::testing::WithParamInterface<Cal12Line> {};

TEST_P(Cal12RoundTrip, KeepsTheCalibrationWord) {
  const Cal12Line& l = GetParam();
  auto chip = Seat(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  const bool otp = chip->sheet().otp;
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  const std::uint16_t cal = chip->code.back();
  ASSERT_EQ(cal & 0xF00, 0xC00);

  if (!otp) {
    // A used chip, code-protected: Erase takes program memory and configuration, and puts the
    // calibration word back.
    std::fill(chip->code.begin(), chip->code.end() - 1, 0x123);
    chip->config = static_cast<std::uint16_t>(0xFFF & ~chip->sheet().protectBits);
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
    EXPECT_EQ(chip->erases, 1);
    EXPECT_EQ(chip->code.back(), cal);
    EXPECT_TRUE(
        std::all_of(chip->code.begin(), chip->code.end() - 1, [](int w) { return w == 0xFFF; }));
    EXPECT_EQ(chip->ConfigRead(), 0xFFF);
    char saved[16];
    std::snprintf(saved, sizeof saved, "word %03x saved", cal);
    EXPECT_TRUE(Logged(saved)) << LastLine();
  }
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  // The buffer's last word differs from the calibration: Write leaves the chip's.
  Image(words, 11);
  gApp.CodeBuffer[2 * words - 2] = 0;
  gApp.CodeBuffer[2 * words - 1] = 0;
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w + 1 < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(chip->code.back(), cal);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 2] ^= 0x800;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 2));
  chip->code[words - 2] ^= 0x800;
  EXPECT_EQ(Click(kOpBlank), 1);
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0xEE);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w + 1 < words; ++w)
    ASSERT_EQ(BufferWord(w), image[2 * w] | (image[2 * w + 1] & 0x0F) << 8) << w;
  EXPECT_EQ(BufferWord(words - 1), cal);

  if (otp) {
    // A bit of word 5 back to 1: the cell keeps its 0 and Verify finds it.
    gApp.CodeBuffer[10] = static_cast<std::uint8_t>(gApp.CodeBuffer[10] | 1);
    const std::uint16_t before = chip->code[5];
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    EXPECT_EQ(chip->code[5], before);
    if ((before & 1) == 0) {
      EXPECT_EQ(Click(kOpVerify), 1);
      EXPECT_EQ(gLink.FailAddress, 10u);
    }
  }

  gApp.OptionValues[0] = static_cast<std::int32_t>(l.w0);
  gApp.OptionValues[128] = static_cast<std::int32_t>(l.radio);
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), l.config);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  EXPECT_EQ(chip->code.back(), cal);

  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], l.config);  // all twelve bits
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

std::map<std::string, int> Items(int fla, int pkg, int cfg) {
  return {{"fla=", fla}, {"pkg=", pkg}, {"cfg=", cfg}, {"dly=", 2}, {"vcc=", 5000}};
}

INSTANTIATE_TEST_SUITE_P(
    Lines, Cal12RoundTrip,
    ::testing::Values(
        // Groups 2 and 3: the oscillator bits are rows; WDTE (bit 2) off.
        Cal12Line{"PIC12F508", "PIC16F5XX", 1, Items(512, 8, 2), "pic16dip08", 6200, false, 0xFFB,
                  0, 0xFFB},
        Cal12Line{"PIC12F509", "PIC16F5XX", 2, Items(1024, 8, 2), "pic16dip08", 6300, false, 0xFFA,
                  0, 0xFFA},
        Cal12Line{"PIC12F510", "PIC16F5XX", 3, Items(1024, 8, 3), "pic16dip08", 6200, false, 0xFDB,
                  0, 0xFDB},
        // Groups 0 and 1: the radio's three bits (5: "In RC,CLKOUT") with WDTE (bit 3) off.
        Cal12Line{"PIC16F505", "PIC16F5XX", 2, Items(1024, 14, 0), "pic16dip14", 6200, true, 0xFF7,
                  5, 0xFF5},
        Cal12Line{"PIC16F506", "PIC16F5XX", 2, Items(1024, 14, 1), "pic16dip14std", 6300, false,
                  0xFB7, 5, 0xFB5},
        // Group 4: the PIC10F20x on its own DIP-8 pins.
        Cal12Line{"PIC10F200", "PIC16F5XX", 1, Items(256, 10, 4), "pic10fdip08", 6200, false, 0xFFB,
                  0, 0xFFB},
        Cal12Line{"PIC10F204", "PIC16F5XX", 1, Items(256, 10, 4), "pic10fdip08", 6300, false, 0xFEF,
                  0, 0xFEF},
        Cal12Line{"PIC10F206", "PIC16F5XX", 1, Items(512, 10, 4), "pic10fdip08", 6200, false, 0xFFB,
                  0, 0xFFB},
        // "P12F508": the radio gives bits 0-1; speed "1 Ms" (word 129 = 0) still waits 2 ms.
        Cal12Line{"PIC12F508", "P12F508", 1, {}, "pic16dip08", 6200, false, 0xFFB, 2, 0xFFA},
        Cal12Line{"PIC12F509", "P12F508", 2, {}, "pic16dip08", 6300, false, 0xFEF, 1, 0xFED},
        Cal12Line{"PIC12F510", "P12F508", 3, {}, "pic16dip08", 6200, false, 0xFFB, 3, 0xFFB},
        // "P16C505": turned below 6300, upright from 6300; WDTE (bit 3) off, "Ext RC,CLKOUT".
        Cal12Line{"PIC16C505", "P16C505", 1, {}, "pic16dip14", 6200, true, 0xFF7, 7, 0xFF7},
        Cal12Line{"PIC16C505", "P16C505", 1, {}, "pic16dip14std", 6300, false, 0xFD7, 6, 0xFD6}),
    [](const auto& info) {
      return std::string(info.param.key) + "_" + info.param.part + "_" +
             std::to_string(info.param.model);
    });

// A calibration word that is no MOVLW (erased, as after a careless erase elsewhere): the erase
// is refused before anything is erased.
TEST_F(Cal12, EraseRefusesALostCalibrationWord) {
  for (const char* key : {"PIC16F5XX", "P12F508"}) {
    SCOPED_TRACE(key);
    auto chip = Seat({"PIC12F509", key, 2, Items(1024, 8, 2), "pic16dip08"});
    chip->code.back() = 0xFFF;
    chip->code[0] = 0x123;
    EXPECT_EQ(Click(kOpErase), 1);
    EXPECT_TRUE(Logged("Calibration word not valid")) << LastLine();
    EXPECT_EQ(chip->erases, 0);
    EXPECT_EQ(chip->code[0], 0x123);
    ExpectNoHazard();
    ExpectSuppliesOff();
  }
}

// Bits without a row stay 1: a grid word of 0 on a PIC10F206 programs WDTE, CP and MCLRE only,
// and the word reads back as written.
TEST_F(Cal12, ConfigLeavesUnrowedBitsErased) {
  auto chip = Seat({"PIC10F206", "PIC16F5XX", 1, Items(512, 10, 4), "pic10fdip08"});
  gApp.OptionValues[0] = 0;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0xFE3);
  ExpectNoHazard();
}

// The OTP configuration word cannot go back to 1: Config fails on the read-back.
TEST_F(Cal12, P16c505ConfigFailsWhenTheWordDoesNotTake) {
  auto chip = Seat({"PIC16C505", "P16C505", 1, {}, "pic16dip14std", 6300});
  chip->config = 0xFF7;  // WDTE programmed
  gApp.OptionValues[0] = 0xFFF;
  gApp.OptionValues[128] = 7;
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("Config verify error")) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0xFF7);
  ExpectNoHazard();
}

// Packages and rows without wiring are refused at set-up; no operation reaches the chip.
TEST_F(Cal12, RefusesWhatHasNoWiring) {
  struct Case {
    const char* key;
    int row, model;
    std::map<std::string, int> items;
  };
  const Case cases[] = {{"PIC16F5XX", 1, 6300, Items(512, 20, 2)},
                        {"PIC16F5XX", 1, 6200, Items(512, 12, 2)},
                        {"PIC16F5XX", 1, 6200, {{"pkg=", 8}}},
                        {"P16C505", 10, 6200, {}},
                        {"P16C505", 10, 6300, {}},
                        {"P16C505", 5, 6300, {}},
                        {"P16C505", 0, 6200, {}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " row " + std::to_string(c.row));
    Connect(c.model);
    auto chip = sim::MakePic12("PIC12F508");
    prog->PlaceChipAtBottom(chip);
    fake.chipParams = c.items;
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC12F508";
    gApp.AlgorithmKey = c.key;
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey(c.key);
    runner.SetupChosenChip();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(Run(kOpBlank), 1);
    EXPECT_EQ(chip->entries, 0);
    ExpectNoHazard();
  }
}

// The seat by package and model (the turned 14-pin seat with its drawn placement below 6300),
// and the oscillator list by configuration group: eight choices, four, or none.
TEST_F(Cal12, SeatsAndOscillatorListsByModelAndGroup) {
  struct Case {
    const char* key;
    int model, pkg, cfg;
    const char* design;
    bool placement;
    int choices;
  };
  const Case cases[] = {{"PIC16F5XX", 6200, 14, 0, "pic16dip14", true, 8},
                        {"PIC16F5XX", 6300, 14, 1, "pic16dip14std", false, 8},
                        {"PIC16F5XX", 6200, 20, 2, "pic16dip14", true, 4},
                        {"PIC16F5XX", 6400, 8, 3, "pic16dip08", false, 4},
                        {"PIC16F5XX", 6200, 10, 4, "pic10fdip08", false, 0},
                        {"P16C505", 6200, 0, 0, "pic16dip14", true, 8},
                        {"P16C505", 6300, 0, 0, "pic16dip14std", false, 8}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.key) + " " + std::to_string(c.model) +
                 " pkg=" + std::to_string(c.pkg));
    Connect(c.model);
    fake.events.clear();
    fake.chipParams = Items(1024, c.pkg, c.cfg);
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC";
    gApp.AlgorithmKey = c.key;
    gApp.TypeIndex = 1;
    gApp.CurrentDispatcher = DispatcherForKey(c.key);
    runner.SetupChosenChip();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(prog->loadedDesign, c.design);
    EXPECT_EQ(std::count(fake.events.begin(), fake.events.end(), "place:"), c.placement ? 1 : 0);
    ChipUiList list(kChipUiListSize);
    std::array<std::int32_t, 8> info{};
    gApp.CurrentDispatcher(kOpDescribe, gApp.CodeBuffer.data(), info.data(), &list);
    const auto radio = std::find_if(
        list.begin(), list.end(), [](const std::string& e) { return e.rfind("$Radio1:", 0) == 0; });
    int choices = 0;
    if (radio != list.end()) {
      for (auto it = radio + 1; it != list.end() && (*it)[0] != '$'; ++it) ++choices;
    }
    EXPECT_EQ(choices, c.choices);
  }
}

}  // namespace cal12_test
}  // namespace zelvar::test
