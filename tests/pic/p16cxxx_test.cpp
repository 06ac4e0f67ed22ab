// "P16CXXX" on the simulated programmer with the PIC16C6x/7x/62x EPROM models: the round trip of
// every catalogue line through the runner (Blank, Write, the chip's cells, Verify and its failure
// at the last word, Read, Config through the groups' bit numbering with every other bit left
// unprogrammed, Read config; the whole array up to the top word on one 8K line, the front of the
// array on the others), the packages' designs, pins and contact masks, and the chip lines the set
// refuses.
#include "PicFixture.h"
#include "sim/chips/Pic14Eprom.h"

namespace zelvar::test {
namespace p16cxxx_test {

struct CLine {
  const char* part;
  int row;
  int fla, pkg, cfg;
  const char* design;
  // The whole array walked up to the top word (the address counter's every bit): one 8K line
  // does it; the others walk the front of their array, which the set takes from "fla=".
  bool whole = false;
};

// Words the other lines blank, write, verify and read.
constexpr int kFront = 256;

// Per group: the grid's word 0 (FOSC0 and PWRTE 1, FOSC1 and WDTE 0, the CP rows 1, BODEN 0
// where it has a row) and the configuration word the chip must then hold.
struct GroupCase {
  std::uint32_t grid;
  std::uint16_t chip;
};
constexpr GroupCase kGroups[] = {
    {0x9800, 0x3FF9},  // 0: rows b15..b11 are bits 0..4
    {0x9F00, 0x3FF9},  // 1: b15..b8 are bits 0..7 (the reserved rows left 1)
    {0x9DF8, 0x3FB9},  // 2: BODEN (b9, bit 6) 0, the CP rows b7..b3 (bits 8..12) 1
};

class P16cxxx : public PicFixture {
 protected:
  std::shared_ptr<sim::Pic14EpromChip> Seat(const CLine& l, int fla = 0) {
    auto chip = sim::MakePic14Eprom(l.part);
    fake.chipParams = {
        {"fla=", fla > 0 ? fla : l.fla}, {"pkg=", l.pkg}, {"cfg=", l.cfg}, {"vcc=", 5000}};
    Choose("P16CXXX", l.row, chip, std::string("MICROCHIP: ") + l.part + "(P16CXXX)", l.design);
    return chip;
  }
};

class P16cxxxRoundTrip : public P16cxxx, public ::testing::WithParamInterface<CLine> {};

TEST_P(P16cxxxRoundTrip, BlankWriteVerifyReadAndConfig) {
  const CLine& l = GetParam();
  auto chip = Seat(l, l.whole ? l.fla : kFront);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  ASSERT_EQ(chip->code.size(), static_cast<std::size_t>(l.fla));
  const auto words = static_cast<std::uint32_t>(l.whole ? l.fla : kFront);
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(prog->VppMillivolts(), 12000);
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();

  Image(words, static_cast<unsigned>(l.row));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
  for (std::uint32_t w = words; w < chip->code.size(); ++w) ASSERT_EQ(chip->code[w], 0x3FFF) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(chip->pulses[words - 1], 1);  // the last word too, one full pulse
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);

  // A cell of the last word walked (on the whole line the top one, every address bit high)
  // differs: Verify names it.
  const std::uint16_t top = chip->code[words - 1];
  chip->code[words - 1] = static_cast<std::uint16_t>(top ^ 0x2001);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  EXPECT_EQ(gLink.FailByte, (top ^ 0x01) & 0xFF);
  chip->code[words - 1] = top;

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  const GroupCase& g = kGroups[l.cfg];
  gApp.OptionValues[0] = static_cast<std::int32_t>(g.grid);
  gApp.OptionValues[64] = 0x1E2D;
  // The oscillator radio shown says HS (FOSC 10) against the grid's XT (01): the grid decides.
  gApp.OptionValues[128] = 2;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), g.chip);
  EXPECT_FALSE(chip->Protected());
  EXPECT_EQ(chip->ids, (std::array<std::uint16_t, 4>{0x01, 0x1E, 0xE2, 0x2D}));
  // Unprotected: the code still reads back.
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  gApp.OptionValues[0] = 0x1234;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  char line[48];
  std::snprintf(line, sizeof line, "Config:%04x, user ID:1e2d", g.chip);
  EXPECT_EQ(LastLine(), line);
  EXPECT_EQ(gApp.OptionValues[0], 0x1234);  // the grid stays as the user left it
  ExpectNoHazard();
  ExpectSuppliesOff();
}

INSTANTIATE_TEST_SUITE_P(Lines, P16cxxxRoundTrip,
                         ::testing::Values(CLine{"PIC16C61", 8, 1024, 18, 0, "pic16dip18"},
                                           CLine{"PIC16C71", 7, 1024, 18, 0, "pic16dip18"},
                                           CLine{"PIC16C620", 9, 512, 18, 2, "pic16dip18"},
                                           CLine{"PIC16C621", 10, 1024, 18, 2, "pic16dip18"},
                                           CLine{"PIC16C622", 11, 2048, 18, 2, "pic16dip18"},
                                           CLine{"PIC16C62", 12, 2048, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C62A", 12, 2048, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C63", 13, 4096, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C72", 14, 2048, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C73", 13, 4096, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C73A", 13, 4096, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C76", 15, 8192, 28, 1, "pic16dip28"},
                                           CLine{"PIC16C64", 1, 2048, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C64A", 2, 2048, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C65", 3, 4096, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C65A", 4, 4096, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C74", 5, 4096, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C74A", 6, 4096, 40, 1, "pic16dip40c"},
                                           CLine{"PIC16C77", 16, 8192, 40, 1, "pic16dip40c", true}),
                         [](const auto& info) { return std::string(info.param.part); });

// The 8-pin PIC12C671/672 keep their factory calibration (a RETLW in the last word): Blank passes
// on a new chip, Write never pulses that word whatever the buffer holds there, Verify passes, Read
// brings it back, and Config takes group 4's bit order.
TEST_F(P16cxxx, TwelveC67xKeepTheirCalibrationWord) {
  for (const CLine& l : {CLine{"PIC12C671", 10, 1024, 8, 4, "pic16dip08"},
                         CLine{"PIC12C672", 11, 2048, 8, 4, "pic16dip08"}}) {
    SCOPED_TRACE(l.part);
    auto chip = Seat(l, l.fla);
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    const auto words = static_cast<std::uint32_t>(l.fla);
    ASSERT_EQ(chip->code.back(), 0x3480);
    EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
    Image(words, 3);
    gApp.CodeBuffer[2 * words - 2] = gApp.CodeBuffer[2 * words - 1] = 0;
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    for (std::uint32_t w = 0; w + 1 < words; ++w) ASSERT_EQ(chip->code[w], BufferWord(w)) << w;
    EXPECT_EQ(chip->code.back(), 0x3480);
    EXPECT_EQ(chip->pulses.back(), 0);
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_EQ(BufferWord(words - 1), 0x3480);
    // FOSC0, PWRTE and every CP row 1; FOSC1, FOSC2, WDTE and MCLRE 0.
    gApp.OptionValues[0] = 0x8EFC;
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_EQ(chip->ConfigRead(), 0x3F71);
    EXPECT_FALSE(chip->Protected());
    ExpectNoHazard();
    ExpectSuppliesOff();
  }
}

// Each package's design, supply pins and contact pins. The 8-pin and 44-pin packages require no
// contact pins, whatever an earlier choice required; the adapters show their placement first.
TEST_F(P16cxxx, PackagesChooseDesignPinsAndContactMask) {
  struct Case {
    int pkg;
    const char* design;
    int vpp, vcc, ground;
    std::uint64_t mask;
    const char* picture;
  };
  const Case cases[] = {{40, "pic16dip40c", 1, 32, 31, SocketPins(1, 40), ""},
                        {44, "pic18plcc44", 22, 11, 10, 0, "p44b.bmp"},
                        {28, "pic16dip28", 7, 26, 25, SocketPins(7, 34), ""},
                        {45, "pic18qfp44", 22, 11, 10, 0, "qfp44.bmp"},
                        {18, "pic16dip18", 15, 25, 16, SocketPins(12, 29), ""},
                        {8, "pic16dip08", 20, 17, 24, SocketPins(17, 24), ""},
                        {20, "pic16dip20", 14, 26, 15, SocketPins(12, 29), ""}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.pkg);
    fake.placements.clear();
    fake.chipParams = {{"fla=", 2048}, {"pkg=", c.pkg}, {"cfg=", 1}};
    gApp.AlgorithmKey = "P16CXXX";
    gApp.TypeIndex = 13;
    gApp.CurrentDispatcher = DispatcherForKey("P16CXXX");
    runner.SetupChosenChip();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    EXPECT_EQ(prog->loadedDesign, c.design);
    EXPECT_EQ(gApp.PinMask, c.mask);
    EXPECT_EQ(gApp.GroundPin, c.ground);
    EXPECT_EQ(prog->VppMillivolts(), 12000);
    ASSERT_EQ(fake.placements.size(), c.picture[0] != '\0' ? 1u : 0u);
    if (!fake.placements.empty()) {
      EXPECT_EQ(fake.placements[0].file, c.picture);
    }
  }
  // "pic16dip20" (last above) has no simulated counterpart: the set-up's wait went nowhere.
  prog->record.protocolErrors.clear();
  // The 18-pin package's supply pins reach the chip: the PIC16C61 programs there.
  auto chip = Seat({"PIC16C61", 8, 1024, 18, 0, "pic16dip18"});
  Image(1024, 5);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->code[1023], BufferWord(1023));
  ExpectNoHazard();
}

// A chip line without a size, with a size beyond the buffer, or with a package the set has no
// wiring for is refused at set-up, and no operation then powers the chip.
TEST_F(P16cxxx, RefusesLinesItCannotServe) {
  const std::map<std::string, int> lines[] = {
      {{"pkg=", 28}, {"cfg=", 1}},
      {{"fla=", 0x4000}, {"pkg=", 28}},
      {{"fla=", 2048}, {"pkg=", 32}},
      {{"fla=", 2048}},
  };
  for (const auto& items : lines) {
    auto chip = sim::MakePic14Eprom("PIC16C73");
    prog->PlaceChipAtBottom(chip);
    fake.chipParams = items;
    gApp.AlgorithmKey = "P16CXXX";
    gApp.TypeIndex = 13;
    gApp.CurrentDispatcher = DispatcherForKey("P16CXXX");
    runner.SetupChosenChip();
    EXPECT_EQ(Run(kOpWrite), 1);
    EXPECT_EQ(Run(kOpBlank), 1);
    EXPECT_EQ(chip->entries, 0);
  }
  // A row outside the table.
  fake.chipParams = {{"fla=", 2048}, {"pkg=", 28}};
  gApp.TypeIndex = 17;
  runner.SetupChosenChip();
  EXPECT_EQ(Run(kOpBlank), 1);
  ExpectNoHazard();
}

}  // namespace p16cxxx_test
}  // namespace zelvar::test
