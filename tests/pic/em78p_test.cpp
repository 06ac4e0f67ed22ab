// The EM78P sets "EMC78P156E", "EMC78P447", "EMC78P451" and "EMC78P458" on the simulated
// programmer with the EM78P models: the round trip of every row, the option words and word
// layouts pinned to their formulas, the 451's unwired row, the 458's settling wait by model.
#include "sim/chips/Em78p.h"

#include <algorithm>
#include <map>
#include <random>

#include "algorithms/pic/EMC78P156E.h"
#include "algorithms/pic/EMC78P447.h"
#include "algorithms/pic/EMC78P451.h"
#include "algorithms/pic/EMC78P458.h"
#include "memory/ChipFixture.h"

namespace zelvar::test {
namespace em78p_test {

struct EmLine {
  const char* set;
  const char* part;
  int row;
  const char* design;
};

// The option settings each set writes and reads back, and the option words they give.
struct OptionCase {
  std::map<int, int> values;  // OptionValues index -> value
  std::uint16_t word0, word1;
};
const std::map<std::string, OptionCase> kOptions = {
    // In RC, 4 Clocks, Low; HLP and WDT on.
    {"EMC78P156E", {{{128, 0}, {129, 1}, {130, 0}, {0, 1}, {1, 0}, {2, 1}}, 0x063F, 0x1FFF}},
    // RC, 2 Clocks, High; TYP and PTB on.
    {"EMC78P447", {{{128, 0}, {129, 0}, {130, 1}, {0, 1}, {1, 0}, {2, 1}, {3, 0}}, 0x09BF, 0x1FFF}},
    // XT, 2 Clocks, Low; PTB, RCT and DEL1 on.
    {"EMC78P451",
     {{{128, 1}, {129, 0}, {130, 0}, {0, 1}, {1, 0}, {2, 1}, {3, 0}, {4, 1}, {5, 0}},
      0x185F,
      0x1FFF}},
    // R1 and R2 bit for bit (the grid shows bits 5-12 of R2).
    {"EMC78P458", {{{0, 0x1A5C}, {1, 0x0F20}}, 0x1A5C, 0x0F20}},
};

class Em78Fixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::Em78pChip> ChooseEm(const EmLine& l) {
    auto chip = sim::MakeEm78p(l.part);
    Choose(l.set, l.row, chip, std::string("EMC: ") + l.part, l.design);
    return chip;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

class Em78RoundTrip : public Em78Fixture, public ::testing::WithParamInterface<EmLine> {};

TEST_P(Em78RoundTrip, BlankWriteVerifyReadAndConfig) {
  const EmLine& line = GetParam();
  const std::string set = line.set;
  auto chip = ChooseEm(line);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  // Every row spans its chip's words: none that Write would report and the chip lacks.
  const auto span = static_cast<std::uint32_t>(gApp.CodeLastAddress + 1) / 2;
  EXPECT_EQ(span, words);

  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t a : {0u, 2 * words - 2}) {
    EXPECT_EQ(gApp.CodeBuffer[a], 0xFF) << a;
    EXPECT_EQ(gApp.CodeBuffer[a + 1], 0x1F) << a;
  }

  std::mt19937 gen(words + static_cast<unsigned>(line.row));
  std::vector<std::uint16_t> image(words);
  for (std::uint32_t w = 0; w < words; ++w) {
    image[w] = static_cast<std::uint16_t>(gen() & 0x1FFF);
    gApp.CodeBuffer[2 * w] = static_cast<std::uint8_t>(image[w] & 0xFF);
    // Bits above the 13-bit word: Write leaves them out and Verify does not compare them.
    gApp.CodeBuffer[2 * w + 1] = static_cast<std::uint8_t>(image[w] >> 8 | 0xE0);
  }
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) ASSERT_EQ(chip->code[w], image[w]) << w;
  EXPECT_EQ(chip->shortPulses, 0);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  chip->code[words - 1] = static_cast<std::uint16_t>(image[words - 1] & 0x0FFF);
  if (chip->code[words - 1] != image[words - 1]) {
    EXPECT_EQ(Click(kOpVerify), 1);
    EXPECT_EQ(gLink.FailAddress, 2 * (words - 1) + (set == "EMC78P451" ? 1 : 0));
  }
  chip->code[words - 1] = image[words - 1];
  std::fill_n(gApp.CodeBuffer.begin(), 2 * span, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) {
    ASSERT_EQ(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8, image[w]) << w;
  }
  EXPECT_EQ(Click(kOpBlank), 1);

  const OptionCase& o = kOptions.at(set);
  for (const auto& [index, value] : o.values) gApp.OptionValues[index] = value;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->option[0], o.word0);
  EXPECT_EQ(chip->option[1], o.word1);
  // A programmed option word fails the blank check before the program memory is read.
  std::fill_n(chip->code.begin(), words, 0x1FFF);
  EXPECT_EQ(Click(kOpBlank), 1);
  for (const auto& [index, value] : o.values) gApp.OptionValues[index] = 0x5A5;
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  for (const auto& [index, value] : o.values) EXPECT_EQ(gApp.OptionValues[index], value) << index;
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, Em78RoundTrip,
                         ::testing::Values(EmLine{"EMC78P156E", "EM78P156", 1, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P256", 2, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P456", 3, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P247SA", 4, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P247SB", 5, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P447SA", 6, "em78p156"},
                                           EmLine{"EMC78P156E", "EM78P447SB", 7, "em78p156"},
                                           EmLine{"EMC78P447", "EM78P247SA", 1, "em78p447"},
                                           EmLine{"EMC78P447", "EM78P247SB", 2, "em78p447"},
                                           EmLine{"EMC78P447", "EM78P447SA", 3, "em78p447"},
                                           EmLine{"EMC78P447", "EM78P447SB", 4, "em78p447"},
                                           EmLine{"EMC78P451", "EM78P451P", 1, "em78p451"},
                                           EmLine{"EMC78P458", "EM78P458", 1, "em78p458"},
                                           EmLine{"EMC78P458", "EM78P459", 2, "em78p458"}),
                         [](const auto& info) {
                           return std::string(info.param.set) + "_" + info.param.part;
                         });

TEST(Em78Encoding, OptionWords) {
  struct Case156 {
    std::uint32_t osc, clks, hlf, hlp, ptb, wdt;
    std::uint16_t word;
  };
  // Each choice or option clears its bits of 0x1FFF: In RC 12 and 7, Ext RC 12, XT none; CLKS
  // "2 Clocks" 10; HLF "Low" 8; HLP 6; PTB 9; WDT 11.
  const Case156 c156[] = {{2, 1, 1, 0, 0, 0, 0x1FFF},
                          {1, 1, 1, 0, 0, 0, 0x0FFF},
                          {0, 1, 1, 0, 0, 0, 0x0F7F},
                          {2, 0, 0, 1, 1, 1, 0x10BF},
                          {0, 1, 0, 1, 0, 1, 0x063F}};
  for (const auto& c : c156) {
    EXPECT_EQ(pic::EMC78P156E::Encode(c.osc, c.clks, c.hlf, c.hlp, c.ptb, c.wdt), c.word)
        << std::hex << c.word;
  }
  // MS "RC" 12, CLKS 10, HLF 8, TYP 6, HLP 7, PTB 9, WDT 11.
  EXPECT_EQ(pic::EMC78P447::Encode(1, 1, 1, 0, 0, 0, 0), 0x1FFF);
  EXPECT_EQ(pic::EMC78P447::Encode(1, 1, 1, 1, 0, 0, 0), 0x1FBF);
  EXPECT_EQ(pic::EMC78P447::Encode(1, 1, 1, 0, 1, 0, 0), 0x1F7F);
  EXPECT_EQ(pic::EMC78P447::Encode(0, 0, 0, 0, 0, 1, 1), 0x00FF);
  // Osc 12, CLKS 10, HLF 8, PTB 9, WDT 11, RCT 7, HLP 6, DEL1 5, DEL0 4.
  EXPECT_EQ(pic::EMC78P451::Encode(1, 1, 1, {0, 0, 0, 0, 0, 0}), 0x1FFF);
  EXPECT_EQ(pic::EMC78P451::Encode(1, 1, 1, {1, 1, 0, 0, 0, 0}), 0x15FF);
  EXPECT_EQ(pic::EMC78P451::Encode(1, 1, 1, {0, 0, 1, 1, 1, 1}), 0x1F0F);
  EXPECT_EQ(pic::EMC78P451::Encode(0, 0, 0, {0, 0, 0, 0, 0, 0}), 0x0AFF);
}

TEST(Em78Encoding, WordLayouts) {
  // The shift sets read the five high bits, then the low byte.
  EXPECT_EQ(pic::Em78ShiftSet::WordOf(31, 255), 0x1FFF);
  EXPECT_EQ(pic::Em78ShiftSet::WordOf(0x10, 0x01), 0x1001);
  EXPECT_EQ(pic::Em78ShiftSet::WordOf(0xFF, 0x00), 0x1F00);
  // The 451 reads bits 0-6, then bits 7-12 with bit 7 lowest.
  struct Bus {
    std::uint8_t a, b, low, high;
  };
  const Bus cases[] = {{0x7F, 0x3F, 0xFF, 0x1F},
                       {0x00, 0x01, 0x80, 0x00},
                       {0x55, 0x2A, 0x55, 0x15},
                       {0x01, 0x3E, 0x01, 0x1F}};
  for (const Bus& c : cases) {
    std::uint8_t a = c.a, b = c.b;
    pic::EMC78P451::ToBuffer(a, b);
    EXPECT_EQ(a, c.low) << int{c.a};
    EXPECT_EQ(b, c.high) << int{c.b};
  }
}

TEST_F(Em78Fixture, Em78p451RowWithoutWiringIsRefused) {
  auto chip = sim::MakeEm78p("EM78P451P");
  prog->PlaceChipAtBottom(chip);
  gApp.AlgorithmKey = "EMC78P451";
  gApp.CurrentDispatcher = DispatcherForKey("EMC78P451");
  gApp.TypeIndex = 2;
  runner.SetupChosenChip();
  EXPECT_EQ(gLink.StatusWord, 1);
  for (int op : {kOpWrite, kOpConfig, kOpBlank, kOpRead}) EXPECT_EQ(Run(op), 1) << op;
  EXPECT_EQ(chip->entries, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_TRUE(std::all_of(chip->code.begin(), chip->code.end(),
                          [](std::uint16_t w) { return w == 0x1FFF; }));
  ExpectNoHazard();
}

TEST_F(Em78Fixture, Em78p458SettlesBeforeVppByModel) {
  struct Case {
    int model;
    double minMs, maxMs;
  };
  // No settling ticks on the older models, fifteen on 5148, ten from 5149 on.
  for (const Case& c :
       {Case{5105, 0, 1}, Case{5148, 15, 16}, Case{5149, 10, 11}, Case{6200, 10, 11}}) {
    SCOPED_TRACE(c.model);
    Connect(c.model);
    auto chip = ChooseEm({"EMC78P458", "EM78P458", 1, "em78p458"});
    EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
    EXPECT_EQ(chip->entries, 1);
    EXPECT_GE(chip->entryDelayUs, c.minMs * 1000);
    EXPECT_LT(chip->entryDelayUs, c.maxMs * 1000);
    ExpectNoHazard();
  }
}

TEST_F(Em78Fixture, HandlersStartFromACleanStatus) {
  const EmLine lines[] = {{"EMC78P156E", "EM78P156", 1, "em78p156"},
                          {"EMC78P451", "EM78P451P", 1, "em78p451"},
                          {"EMC78P458", "EM78P458", 1, "em78p458"}};
  for (const EmLine& l : lines) {
    SCOPED_TRACE(l.set);
    ChooseEm(l);
    for (int op : {kOpRead, kOpConfig, kOpReadConfig}) {
      gLink.StatusWord = 1;
      gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
      EXPECT_EQ(gLink.StatusWord, 0) << op;
    }
  }
}

}  // namespace em78p_test
}  // namespace zelvar::test
