// The VPP-first 14-bit flash sets ("P16F628A", "PIC16F630", "PIC16F882") on the simulated
// programmer with the PIC16F62xA, PIC16F630/676, PIC12F629/675 and PIC16F88x models: the round
// trip of every catalogue line with a model, the calibration kept through Erase, and the seats.
#include "PicFixture.h"

namespace zelvar::test {
namespace flash14_test {

struct Flash14Case {
  PicLine line;
  int model = 6200;
  int seat = 0;          // socket pin of chip pin 1; 0: the bottom of the socket
  std::uint16_t config;  // a configuration word with protection off, as the chip reads it back
  std::uint16_t cpBit;
};

PicLine Line(const char* part, const char* key, int words, int ee, int pkg, const char* design) {
  std::map<std::string, int> items{{"fla=", words}, {"ee=", ee}, {"pkg=", pkg}, {"vcc=", 5000}};
  if (std::string(key) != "PIC16F882") items["dly="] = 3;
  return {part, key, 1, items, design};
}

class Flash14RoundTrip : public PicFixture, public ::testing::WithParamInterface<Flash14Case> {
 protected:
  std::shared_ptr<sim::Pic14Chip> Seat(const Flash14Case& c) {
    Connect(c.model);
    auto chip = ChoosePic(c.line);
    if (c.seat != 0) prog->PlaceChip(chip, c.seat);
    return chip;
  }
};

TEST_P(Flash14RoundTrip, EraseWriteVerifyReadConfigAndData) {
  const Flash14Case& c = GetParam();
  auto chip = Seat(c);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  const auto ee = static_cast<std::uint32_t>(chip->data.size());
  const bool calibrated = chip->HasCalibration() || c.line.key == "PIC16F882";
  // The words the set writes: all but a calibration word at the top.
  const std::uint32_t own = chip->HasCalibration() ? words - 1 : words;
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  const std::uint16_t cal = chip->code.back();
  const std::uint16_t bandGap = chip->config & 0x3000;
  std::fill_n(chip->code.begin(), own, 0x1234);
  std::fill(chip->data.begin(), chip->data.end(), 0x55);

  // Program and data memory erased; a calibration word and the band-gap bits as they were.
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->code.begin(), chip->code.begin() + own, [](int w) { return w == 0x3FFF; }));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int b) { return b == 0xFF; }));
  if (chip->HasCalibration()) {
    EXPECT_EQ(chip->code.back(), cal);
    EXPECT_EQ(chip->config & 0x3000, bandGap);
  }
  // The Erase click above ran Blank after the erase; its status is the one checked.

  Image(words, 5);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < own; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  const std::uint32_t top = calibrated ? words - 2 : words - 1;
  chip->code[top] ^= 0x0800;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * top);
  chip->code[top] ^= 0x0800;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * own);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // Read config first, as the grid is filled from the chip, then the word with the user ID.
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[65], chip->sheet().deviceId & 0x3FF0);
  gApp.OptionValues[0] = c.config;
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), c.config);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  gApp.OptionValues[0] = gApp.OptionValues[64] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], c.config);
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);

  for (std::uint32_t k = 0; k < ee; ++k)
    gApp.CodeBuffer[0x4200 + k] = static_cast<std::uint8_t>(k * 29 + 3);
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));
  std::vector<std::uint8_t> data(chip->data.begin(), chip->data.end());
  std::fill_n(gApp.CodeBuffer.begin() + 0x4200, ee, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), gApp.CodeBuffer.begin() + 0x4200));

  // Code protection on: Blank fails on the configuration word, without an address.
  gApp.OptionValues[0] = c.config & ~c.cpBit;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  gLink.FailAddress = 0;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

// The PIC16F630 family's factory band-gap bits are 10; a written word keeps them.
constexpr std::uint16_t k630Config = 0x2FF7;

INSTANTIATE_TEST_SUITE_P(
    Lines, Flash14RoundTrip,
    ::testing::Values(Flash14Case{Line("PIC16F627A", "P16F628A", 1024, 128, 18, "pic16dip18"), 6200,
                                  0, 0x3FFB, 0x2000},
                      Flash14Case{Line("PIC16F628A", "P16F628A", 2048, 128, 18, "pic16dip18"), 6200,
                                  0, 0x3FFB, 0x2000},
                      Flash14Case{Line("PIC16F648A", "P16F628A", 4096, 256, 18, "pic16dip18"), 6200,
                                  0, 0x3FFB, 0x2000},
                      Flash14Case{Line("PIC16F630", "PIC16F630", 1024, 128, 14, "pic16dip14std"),
                                  6300, 0, k630Config, 0x0080},
                      Flash14Case{Line("PIC16F676", "PIC16F630", 1024, 128, 14, "pic16dip14std"),
                                  6300, 0, k630Config, 0x0080},
                      Flash14Case{Line("PIC12F629", "PIC16F630", 1024, 128, 14, "pic16dip14std"),
                                  6300, 14, k630Config, 0x0080},
                      Flash14Case{Line("PIC12F675", "PIC16F630", 1024, 128, 14, "pic16dip14std"),
                                  6400, 14, k630Config, 0x0080},
                      Flash14Case{Line("PIC16F882", "PIC16F882", 2048, 128, 28, "pic16dip28"), 6200,
                                  0, 0x3FF7, 0x0040},
                      Flash14Case{Line("PIC16F883", "PIC16F882", 4096, 256, 28, "pic16dip28"), 6200,
                                  0, 0x3FF7, 0x0040},
                      Flash14Case{Line("PIC16F884", "PIC16F882", 4096, 256, 40, "pic16dip40"), 6200,
                                  0, 0x3FF7, 0x0040},
                      Flash14Case{Line("PIC16F886", "PIC16F882", 8192, 256, 28, "pic16dip28"), 6200,
                                  0, 0x3FF7, 0x0040},
                      Flash14Case{Line("PIC16F887", "PIC16F882", 8192, 256, 40, "pic16dip40"), 6200,
                                  0, 0x3FF7, 0x0040}),
    [](const auto& info) { return std::string(info.param.line.part); });

// A PIC12F675 whose calibration word is gone (no RETLW): Erase stops before erasing anything.
TEST_F(PicFixture, Pic16f630EraseRefusesALostCalibration) {
  Connect(6300);
  auto chip = ChoosePic(Line("PIC12F675", "PIC16F630", 1024, 128, 14, "pic16dip14std"));
  prog->PlaceChip(chip, 14);
  chip->code.back() = 0x3FFF;
  chip->code[0] = 0x0123;
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_TRUE(Logged("Calibration word not valid")) << LastLine();
  EXPECT_EQ(chip->code[0], 0x0123);
  EXPECT_EQ(chip->erases, 0);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

// The grid's meaning column as the PIC16F628A datasheet gives the bits: MCLRE, BOREN, LVP and WDTE
// are enabled at 1, PWRTE and the code protections at 0; an erased word (3FFF) reads so.
TEST_F(PicFixture, ConfigMeaningsFollowTheDatasheet) {
  fake.chipParams = {{"fla=", 2048}, {"ee=", 128}, {"pkg=", 18}};
  gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F628A";
  gApp.AlgorithmKey = "P16F628A";
  gApp.TypeIndex = 1;
  gApp.CurrentDispatcher = DispatcherForKey("P16F628A");
  runner.SetupChosenChip();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const std::map<std::string, std::string> meaning = {{"MCLRE", "Enable"}, {"BODEN", "Enable"},
                                                      {"LVP", "Enable"},   {"PWRTE", "Disable"},
                                                      {"CP ", "Disable"},  {"WDTEN ", "Enable"}};
  int seen = 0;
  for (int i = 0; i < ui.ConfigRowCount; ++i) {
    const auto m = meaning.find(ui.Cells[i][0]);
    if (m == meaning.end()) continue;
    ++seen;
    EXPECT_EQ(ui.Cells[i][2], m->second) << m->first;
  }
  EXPECT_EQ(seen, static_cast<int>(meaning.size()));
}

// The 14-pin and 8-pin seats by programmer model: designs, ground pins and placements.
TEST_F(PicFixture, SeatsByModel) {
  struct Seat {
    const char* key;
    int model, pkg;
    const char* design;
    int ground;
  };
  const Seat seats[] = {{"PIC16F630", 6200, 14, "pic16dip14", 14},
                        {"PIC16F630", 6300, 14, "pic16dip14std", 27},
                        {"PIC16F882", 6200, 20, "pic16dip14", 14},
                        {"PIC16F882", 6400, 8, "pic16dip08", 24},
                        {"P16F628A", 6200, 14, "pic16dip14", 14}};
  for (const Seat& s : seats) {
    SCOPED_TRACE(std::string(s.key) + " pkg=" + std::to_string(s.pkg));
    Connect(s.model);
    fake.chipParams = {{"fla=", 1024}, {"ee=", 128}, {"pkg=", s.pkg}};
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC";
    gApp.AlgorithmKey = s.key;
    gApp.TypeIndex = 1;
    gApp.CurrentDispatcher = DispatcherForKey(s.key);
    runner.SetupChosenChip();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(prog->loadedDesign, s.design);
    EXPECT_EQ(gApp.InfoRecord[5], s.ground);
  }
}

}  // namespace flash14_test
}  // namespace zelvar::test
