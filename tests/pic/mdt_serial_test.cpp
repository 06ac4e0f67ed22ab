// The MDT serial-command sets "MDT10P7X" and "MDT10P8PIN" on the simulated programmer with the
// MDT10P models: the round trip of every row with a model, the frame and word encodings and the
// configuration word pinned to their formulas, the refused rows, the size from "len=" and the
// oscillator radio by "cfg=".
#include <algorithm>
#include <random>

#include "algorithms/pic/MDT10P7X.h"
#include "memory/ChipFixture.h"
#include "sim/chips/Mdt10p.h"
#include "sim/chips/Mdt20xx.h"

namespace zelvar::test {
namespace mdt_serial_test {

struct SerialLine {
  const char* set;
  const char* part;
  int row;
  int cfg;
  const char* design;
  std::uint16_t config;   // the configuration word of XT, PRD, WDT and Security
  std::int32_t gridBits;  // the option bits the line's config group shows
};

class MdtSerialFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Mdt10pChip> ChooseSerial(const SerialLine& l) {
    auto chip = sim::MakeMdt10p(l.part);
    fake.chipParams = {{"cfg=", l.cfg}};
    Choose(l.set, l.row, chip, std::string("MDT: ") + l.part, l.design);
    return chip;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
  ChipUiList Describe() {
    ChipUiList list(200);
    gApp.CurrentDispatcher(2, gApp.CodeBuffer.data(), gApp.InfoRecord.data(), &list);
    return list;
  }
};

class MdtSerialRoundTrip : public MdtSerialFixture,
                           public ::testing::WithParamInterface<SerialLine> {};

TEST_P(MdtSerialRoundTrip, BlankWriteVerifyReadAndConfig) {
  const SerialLine& line = GetParam();
  auto chip = ChooseSerial(line);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));

  // A blank chip reads as the buffer's little-endian 0x3FFF.
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t a : {0u, 2 * words - 2}) {
    EXPECT_EQ(gApp.CodeBuffer[a], 0xFF) << a;
    EXPECT_EQ(gApp.CodeBuffer[a + 1], 0x3F) << a;
  }

  std::mt19937 gen(words);
  std::vector<std::uint16_t> image(words);
  for (std::uint32_t w = 0; w < words; ++w) {
    image[w] = static_cast<std::uint16_t>(gen() & 0x3FFF);
    gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(image[w] & 0xFF);
    // A file may carry bits 6 and 7 of the high byte; the chip has none, and Verify ignores them.
    gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(image[w] >> 8 | 0xC0);
  }
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], image[w]) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(chip->unknownCommands, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  // A bit of the top word left unprogrammed fails Verify there.
  chip->code[words - 1] = static_cast<std::uint16_t>(image[words - 1] | 0x2000);
  if (chip->code[words - 1] != image[words - 1]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2 * (words - 1));
  }
  chip->code[words - 1] = image[words - 1];
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) {
    ASSERT_EQ(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8, image[w]) << w;
  }
  // Programmed code fails the blank check at its first word that is not 0x3FFF.
  std::uint32_t first = 0;
  while (image[first] == 0x3FFF) ++first;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 2 * first);

  // XT, PRD, WDT and Security on; PUT and PED off.
  gApp.OptionValues[128] = 1;
  gApp.OptionValues[0] = 0x2A;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->config, line.config);
  // The grid keeps its single option bits after the word is read back.
  EXPECT_EQ(gApp.OptionValues[0], 0x2A);
  gApp.OptionValues[128] = gApp.OptionValues[0] = 0;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[128], (line.config & 0xF) == 6 ? 1 : 4);
  // Read config shows the bits of the line's config group.
  EXPECT_EQ(gApp.OptionValues[0], 0x2A & line.gridBits);
  char text[32];
  std::snprintf(text, sizeof text, "Option = %04x", line.config);
  EXPECT_TRUE(Logged(text)) << text;
  EXPECT_EQ(chip->unknownCommands, 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MdtSerialRoundTrip,
    ::testing::Values(SerialLine{"MDT10P7X", "MDT10P73", 11, 0, "mdt10p73", 0x0E96, 0x3E},
                      SerialLine{"MDT10P7X", "MDT10P74", 12, 0, "mdt10p40pin", 0x0E96, 0x3E},
                      SerialLine{"MDT10P7X", "MDT10P55", 13, 3, "mdt10p14_18std", 0x0E96, 0x2C},
                      SerialLine{"MDT10P7X", "MDT10P43", 15, 1, "mdt10p18pin", 0x0E9F, 0x20},
                      SerialLine{"MDT10P7X", "MDT10P53", 17, 6, "mdt10p8pin", 0x0E96, 0x28},
                      SerialLine{"MDT10P8PIN", "MDT10P53", 1, 0, "mdt10p8pin", 0x0E9F, 0x2C},
                      SerialLine{"MDT10P8PIN", "MDT10P53", 1, 1, "mdt10p8pin", 0x0E96, 0x2C}),
    [](const auto& info) {
      return std::string(info.param.set) + "_" + info.param.part + "_cfg" +
             std::to_string(info.param.cfg);
    });

TEST(MdtSerialEncoding, ReversedCommandsFramesAndWords) {
  struct Command {
    std::uint8_t c, reversed;
  };
  const Command commands[] = {{2, 8},  {4, 4},  {6, 12},  {10, 10}, {12, 6},
                              {18, 9}, {20, 5}, {22, 13}, {28, 7},  {1, 16}};
  for (const Command& c : commands) EXPECT_EQ(pic::ReverseCommand(c.c), c.reversed) << int{c.c};
  // The data sits above the five command bits: port 0 gets the low byte, port 1 the rest.
  EXPECT_EQ(pic::DataFrame(18, 0x7F), 0x0FE9);
  EXPECT_EQ(pic::DataFrame(10, 1), 0x002A);
  EXPECT_EQ(pic::DataFrame(6, 0xFF), 0x1FEC);
  struct Word {
    std::uint8_t a, b;
    std::uint16_t w;
  };
  // Each half follows its start bit (bit 0 of the reply byte).
  const Word reads[] = {{0xFE, 0xFE, 0x3FFF},
                        {0x02, 0x00, 0x0001},
                        {0x00, 0x02, 0x0080},
                        {0xFF, 0x01, 0x007F},
                        {0x81, 0x80, 0x2040}};
  for (const Word& r : reads) EXPECT_EQ(pic::SerialWord(r.a, r.b), r.w) << int{r.a};
}

TEST(MdtSerialEncoding, ConfigWordFields) {
  struct Case {
    std::uint32_t radio1, grid;
    bool oscillator;
    std::uint16_t word;
    std::uint32_t gridBack;
  };
  // Oscillator LP 9, XT 6, HS 5, RC 10 where the group has one, else 15; PRD (bit 1) and PUT
  // (bit 2) 1 when set, 2 when not; WDT (bit 3) 2 when set, 1 when not; PED (bit 4) ORs 2 or 1
  // into bits 10-11, which already hold PUT's value; Security (bit 5) 0 when set, 3 when not.
  const Case cases[] = {{0, 0x00, true, 0x3DA9, 0x00},
                        {1, 0x04, true, 0x3566, 0x04},
                        {2, 0x10, false, 0x39AF, 0x10},
                        {1, 0x2A, true, 0x0E96, 0x2A},
                        // PUT and PED together make bits 10-11 3: PED does not read back.
                        {3, 0x3E, true, 0x0E5A, 0x2E}};
  for (const Case& c : cases) {
    EXPECT_EQ(pic::MdtSerialSet::Encode(c.radio1, c.grid, c.oscillator), c.word) << c.grid;
    EXPECT_EQ(pic::MdtSerialSet::Grid(c.word), c.gridBack) << c.grid;
  }
  EXPECT_EQ(pic::MdtSerialSet::RadioChoice(0x3DA9), 0u);
  EXPECT_EQ(pic::MdtSerialSet::RadioChoice(0x0E5A), 3u);
  EXPECT_EQ(pic::MdtSerialSet::RadioChoice(0x39AF), 4u);
}

TEST_F(MdtSerialFixture, RowsOutsideTheTableAndEmptyRowsAreRefused) {
  auto chip = sim::MakeMdt10p("MDT10P53");
  prog->PlaceChipAtBottom(chip);
  gApp.AlgorithmKey = "MDT10P7X";
  gApp.CurrentDispatcher = DispatcherForKey("MDT10P7X");
  EXPECT_EQ(pic::MDT10P7X::kTypes.size(), 18u);
  for (int row : {8, 9, 18, 19}) {
    SCOPED_TRACE(row);
    gApp.TypeIndex = row;
    runner.SetupChosenChip();
    EXPECT_EQ(Run(kOpWrite), 1);
    EXPECT_EQ(Run(kOpRead), 1);
  }
  EXPECT_EQ(chip->entries, 0);
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(),
                          [](std::uint16_t w) { return w == 0x3FFF; }));
}

TEST_F(MdtSerialFixture, LenOverridesTheRowsSize) {
  struct Case {
    int len;
    std::int32_t last;
  };
  for (const Case& c : {Case{0, 2047}, Case{256, 511}, Case{-1, 2047}}) {
    SCOPED_TRACE(c.len);
    auto chip = sim::MakeMdt10p("MDT10P53");
    fake.chipParams = {{"cfg=", 6}, {"len=", c.len}};
    Choose("MDT10P7X", 17, chip, "MDT: MDT10P53", "mdt10p8pin");
    EXPECT_EQ(gApp.CodeLastAddress, c.last);
  }
}

TEST_F(MdtSerialFixture, OscillatorRadioOnlyForItsConfigGroups) {
  struct Case {
    const char* set;
    int row, cfg;
    bool radio;
    std::uint16_t lowNibble;  // the configuration word's with Radio1 on RC
  };
  const Case cases[] = {{"MDT10P7X", 17, 0, true, 10},   {"MDT10P7X", 17, 1, false, 15},
                        {"MDT10P7X", 17, 2, false, 15},  {"MDT10P7X", 17, 3, true, 10},
                        {"MDT10P7X", 17, 4, false, 15},  {"MDT10P7X", 17, 6, true, 10},
                        {"MDT10P8PIN", 1, 0, false, 15}, {"MDT10P8PIN", 1, 1, true, 10}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.set) + " cfg=" + std::to_string(c.cfg));
    auto chip = ChooseSerial({c.set, "MDT10P53", c.row, c.cfg, "mdt10p8pin", 0, 0});
    const ChipUiList list = Describe();
    EXPECT_EQ(std::count(list.begin(), list.end(), "$Radio1:04,OSC(震荡方式)"), c.radio ? 1 : 0);
    gApp.OptionValues[128] = 3;
    gApp.OptionValues[0] = 0;
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_EQ(chip->config & 0xF, c.lowNibble);
  }
  ExpectNoHazard();
}

TEST_F(MdtSerialFixture, HandlersStartFromACleanStatus) {
  const auto run = [&] {
    for (int op : {kOpRead, kOpConfig, kOpReadConfig}) {
      gLink.StatusWord = 1;
      gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
      EXPECT_EQ(gLink.StatusWord, 0) << op;
    }
  };
  ChooseSerial({"MDT10P7X", "MDT10P53", 17, 6, "mdt10p8pin", 0, 0});
  run();
  Choose("MDT2051", 1, sim::MakeMdt20xx("MDT2051"), "MDT: MDT2051", "mdt2000");
  run();
  ExpectNoHazard();
}

}  // namespace mdt_serial_test
}  // namespace zelvar::test
