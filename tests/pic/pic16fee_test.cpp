// The PIC16F87x set on the simulated programmer with the PIC16F87x models: the round trip of
// every catalogue row that has a model, the type check, the ISP header and the set-up refusals.
#include "PicFixture.h"
#include "algorithms/pic/McuSet.h"

namespace zelvar::test {
namespace pic16fee_test {

PicLine Line87x(const char* part, int row, int words, int ee, int pkg, std::uint8_t id0,
                std::uint8_t id1) {
  return {part,
          "PIC16FEE",
          row,
          {{"fla=", words}, {"ee=", ee}, {"dly=", 4}, {"pkg=", pkg}, {"vcc=", 5000}},
          pkg == 40 ? "pic16dip40" : "pic16dip28",
          {id0, id1, 0, 0}};
}

class Pic16feeRoundTrip : public PicFixture, public ::testing::WithParamInterface<PicLine> {};

TEST_P(Pic16feeRoundTrip, EraseWriteVerifyReadConfigAndData) {
  const PicLine& l = GetParam();
  auto chip = ChoosePic(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  const auto ee = static_cast<std::uint32_t>(chip->data.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  std::fill(chip->code.begin(), chip->code.end(), 0x1234);
  std::fill(chip->data.begin(), chip->data.end(), 0x55);
  chip->config = 0x3F4F;  // code protection on

  // Erase everything, the configuration word with it; Blank then passes.
  gApp.OptionValues[128] = 3;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(), [](int w) { return w == 0x3FFF; }));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int b) { return b == 0xFF; }));
  // The Erase click above ran Blank after the erase; its status is the one checked.

  Image(words);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  // A word the chip lost at the top of the array: Verify names it.
  chip->code[words - 1] ^= 0x0100;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  chip->code[words - 1] ^= 0x0100;
  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // Config with the user ID, then Read config brings both back with the device ID.
  gApp.OptionValues[0] = 0x3F7B;
  gApp.OptionValues[64] = 0x1234;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0x3F7B);
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x12, 0x23, 0x34}));
  gApp.OptionValues[0] = gApp.OptionValues[64] = gApp.OptionValues[65] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0x3F7B);
  EXPECT_EQ(gApp.OptionValues[64], 0x1234);
  EXPECT_EQ(gApp.OptionValues[65], chip->sheet().deviceId & 0x3FF0);

  for (std::uint32_t k = 0; k < ee; ++k)
    gApp.CodeBuffer[0x4200 + k] = static_cast<std::uint8_t>(k * 37 + 1);
  EXPECT_EQ(Run(kOpWriteData), 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->data.begin(), chip->data.end(), gApp.CodeBuffer.begin() + 0x4200));
  std::vector<std::uint8_t> data(chip->data.begin(), chip->data.end());
  std::fill_n(gApp.CodeBuffer.begin() + 0x4200, ee, 0);
  EXPECT_EQ(Run(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(std::equal(data.begin(), data.end(), gApp.CodeBuffer.begin() + 0x4200));

  // Code protection set: Blank fails on the configuration word, without an address.
  gApp.OptionValues[0] = 0x3F7B & ~0x3030;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  gLink.FailAddress = 0;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0u);
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(Rows, Pic16feeRoundTrip,
                         ::testing::Values(Line87x("PIC16F870", 1, 2048, 64, 28, 0x0D, 0x00),
                                           Line87x("PIC16F871", 2, 2048, 64, 40, 0x0D, 0x20),
                                           Line87x("PIC16F872", 3, 2048, 64, 28, 0x08, 0xE0),
                                           Line87x("PIC16F873", 4, 4096, 128, 28, 0x09, 0x60),
                                           Line87x("PIC16F874", 5, 4096, 128, 40, 0x09, 0x20),
                                           Line87x("PIC16F876", 7, 8192, 256, 28, 0x09, 0xE0),
                                           Line87x("PIC16F877", 8, 8192, 256, 40, 0x09, 0xA0)),
                         [](const auto& info) { return std::string(info.param.part); });

// The erase scopes: program memory alone keeps the data EEPROM, data alone keeps the program.
TEST_F(PicFixture, Pic16feeEraseScopes) {
  auto chip = ChoosePic(Line87x("PIC16F870", 1, 2048, 64, 28, 0, 0));
  const auto fill = [&] {
    std::fill(chip->code.begin(), chip->code.end(), 0x0123);
    std::fill(chip->data.begin(), chip->data.end(), 0x45);
  };
  fill();
  gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->code[100], 0x3FFF);
  EXPECT_EQ(chip->data[10], 0x45);
  fill();
  gApp.OptionValues[128] = 1;
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->code[100], 0x0123);
  EXPECT_EQ(chip->data[10], 0xFF);
  fill();
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->code[100], 0x3FFF);
  EXPECT_EQ(chip->data[10], 0xFF);
  ExpectNoHazard();
}

// A PIC16F874 under the PIC16F877 line fails the type check before touching a word; a part that
// differs only in its revision passes.
TEST_F(PicFixture, Pic16feeTypeCheckRefusesAnotherChip) {
  auto line = Line87x("PIC16F874", 8, 8192, 256, 40, 0x09, 0xA0);
  auto chip = ChoosePic(line);
  std::fill(chip->code.begin(), chip->code.end(), 0x0123);
  EXPECT_EQ(Click(kOpRead), 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  gApp.CodeBuffer[0] = 0xAA;
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(chip->code[0], 0x0123);

  line.id = {0x09, 0x20, 0, 0};
  fake.log.clear();
  chip = ChoosePic(line);
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  ExpectNoHazard();
}

// The ISP header and the 44-pin adapters: design, picture or wiring legend, ground and contact
// pins.
TEST_F(PicFixture, Pic16feeIspHeaderAndAdapters) {
  struct Seat {
    std::map<std::string, int> items;
    const char* design;
    const char* event;
    int ground;
    std::uint64_t mask;
  };
  const Seat seats[] = {
      {{{"isp=", 1}},
       "pic16isp",
       "isp:5----RB3(PGM)\n1----RB6(CLK)\n9----RB7(DATA)\n7----VDD(3.3~5V)\n"
       "8----MCLR(12.5V)\n2----VSS(GND)\nend",
       0,
       0},
      {{{"pkg=", 44}}, "pic16plcc44", "place:p44b.bmp", 10, pic::PinBits({10, 11, 16, 19, 22})},
      {{{"pkg=", 45}}, "pic16qfp44", "place:qfp44.bmp", 10, pic::PinBits({10, 11, 17, 20, 22})},
  };
  for (const Seat& seat : seats) {
    SCOPED_TRACE(seat.design);
    fake.events.clear();
    fake.chipParams = seat.items;
    fake.chipParams["fla="] = 8192;
    fake.chipParams["ee="] = 256;
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F877";
    gApp.AlgorithmKey = "PIC16FEE";
    gApp.TypeIndex = 8;
    gApp.CurrentDispatcher = DispatcherForKey("PIC16FEE");
    runner.SetupChosenChip();
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(prog->loadedDesign, seat.design);
    EXPECT_NE(std::find(fake.events.begin(), fake.events.end(), seat.event), fake.events.end());
    EXPECT_EQ(gApp.InfoRecord[5], seat.ground);
    EXPECT_EQ(static_cast<std::uint64_t>(gApp.InfoRecord[6]) |
                  static_cast<std::uint64_t>(gApp.InfoRecord[7]) << 31,
              seat.mask);
  }
}

struct Refusal {
  const char* what;
  int row;
  std::map<std::string, int> items;
  const char* line;
};

// A chip line the set cannot serve is refused at set-up, and every operation then fails
// without a command to the chip.
TEST_F(PicFixture, Pic16feeRefusesWhatItCannotServe) {
  const Refusal cases[] = {
      {"no fla=", 8, {{"ee=", 256}, {"pkg=", 40}}, "No program size (fla=)"},
      {"no ee=", 8, {{"fla=", 8192}, {"pkg=", 40}}, "No data EEPROM size (ee=)"},
      {"code into the data area", 8, {{"fla=", 0x2200}, {"ee=", 256}, {"pkg=", 40}}, "too large"},
      {"unknown package", 8, {{"fla=", 8192}, {"ee=", 256}, {"pkg=", 32}}, "Package (pkg=)"},
      {"row without a chip", 6, {{"fla=", 8192}, {"ee=", 256}, {"pkg=", 40}}, "not in this set"},
      {"row beyond the table", 9, {{"fla=", 8192}, {"ee=", 256}, {"pkg=", 40}}, "not in this set"},
  };
  for (const Refusal& c : cases) {
    SCOPED_TRACE(c.what);
    fake.log.clear();
    auto chip = sim::MakePic14("PIC16F877");
    fake.chipParams = c.items;
    gApp.ExpectedId = {};
    prog->PlaceChipAtBottom(chip);
    gApp.ChipTitle = fake.chipTitle = "MICROCHIP: PIC16F877";
    gApp.AlgorithmKey = "PIC16FEE";
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey("PIC16FEE");
    runner.SetupChosenChip();
    EXPECT_TRUE(Logged(c.line)) << LastLine();
    EXPECT_EQ(Run(kOpRead), 1);
    EXPECT_EQ(Run(kOpBlank), 1);
    EXPECT_EQ(chip->entries, 0);
  }
}

// Config reads the word back: a configuration bit the chip holds programmed fails it, and the
// supplies are off after the failure.
TEST_F(PicFixture, Pic16feeConfigIsVerified) {
  auto chip = ChoosePic(Line87x("PIC16F877", 8, 8192, 256, 40, 0x09, 0xA0));
  chip->config = 0x3FFC;
  gApp.OptionValues[0] = 0x3FFF;
  EXPECT_EQ(Click(kOpConfig), 1);
  EXPECT_TRUE(Logged("Config verify error")) << LastLine();
  ExpectSuppliesOff();
  ExpectNoHazard();
}

// A data EEPROM that reads back wrong (data protection on) fails Write data at its address.
TEST_F(PicFixture, Pic16feeWriteDataNamesTheFailingByte) {
  auto chip = ChoosePic(Line87x("PIC16F870", 1, 2048, 64, 28, 0x0D, 0x00));
  chip->config = 0x3EFF;  // CPD
  for (int k = 0; k < 64; ++k) gApp.CodeBuffer[0x4200 + k] = 0x5A;
  EXPECT_EQ(Run(kOpWriteData), 1);
  EXPECT_EQ(gLink.FailAddress, 0x4200u);
  EXPECT_EQ(gLink.FailByte, 0);
  ExpectSuppliesOff();
  ExpectNoHazard();
}

}  // namespace pic16fee_test
}  // namespace zelvar::test
