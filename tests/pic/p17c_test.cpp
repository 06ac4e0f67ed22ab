// "P17C4X" on the simulated programmer with the PIC17C4x EPROM models: the round trip of each
// catalogue line through the runner on both seats (turned half round below model 6300, upright
// from 6300: Blank, Write, Verify and its failure, Read, Config and Read config; the whole array
// on one 8K line, the front on the others), checked in the chip's own cells; the EPROM's AND cells;
// wrong seats and items that must fail; and the mends (VPP set at set-up, the configuration flags
// of option word 1, the words holding the chip's own configuration bits in Config as in Read
// config, Read config filling both words, a weak supply ending Write).
#include <random>

#include "algorithms/pic/P17C4X.h"
#include "memory/ChipFixture.h"
#include "pic/CatalogueLine.h"
#include "sim/ProgrammerCommands.h"
#include "sim/chips/Pic17.h"

namespace zelvar::test {
namespace p17c_test {

struct P17Case {
  const char* part;
  int model;
  // The whole array walked up to the top word (the address counter's every bit): one 8K line
  // does it; the others walk the front of their array, which the set takes from "fla=".
  bool whole = false;
};

// Words the other lines blank, write, verify and read.
constexpr int kFront = 256;

class P17c : public ChipFixture {
 protected:
  // Seats the chip as the set's package wants it for the programmer's model (or `turned` when
  // given), then chooses the line through the runner's set-up.
  std::shared_ptr<sim::Pic17Chip> ChooseP17(const CatalogueLine& l, int turned = -1) {
    auto chip = sim::MakePic17(l.part);
    EXPECT_NE(chip, nullptr) << l.part;
    if (turned < 0) turned = prog->model() < 6300 ? 1 : 0;
    if (turned == 1) {
      prog->PlaceChipTurned(chip, 1);
    } else {
      prog->PlaceChip(chip, 1);
    }
    fake.chipParams = l.items;
    fake.chipTitle = "MICROCHIP: " + l.part;
    gApp.ChipTitle = fake.chipTitle;
    gApp.AlgorithmKey = l.key;
    gApp.TypeIndex = l.row;
    gApp.CurrentDispatcher = DispatcherForKey(l.key);
    EXPECT_NE(gApp.CurrentDispatcher, nullptr);
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign, prog->model() < 6300 ? "pic17dip40" : "pic17dip40std");
    return chip;
  }
  static void Random(std::uint32_t words, unsigned seed) {
    std::mt19937 gen(seed);
    for (std::uint32_t i = 0; i < 2 * words; ++i)
      gApp.CodeBuffer[i] = static_cast<std::uint8_t>(gen());
  }
  static std::uint16_t BufferWord(std::uint32_t w) {
    return static_cast<std::uint16_t>(gApp.CodeBuffer[2 * w] | gApp.CodeBuffer[2 * w + 1] << 8);
  }
  // The chip's first `words` words are the buffer's, the rest erased.
  static bool ChipHoldsBuffer(const sim::Pic17Chip& chip, std::size_t words) {
    for (std::uint32_t w = 0; w < chip.code.size(); ++w) {
      if (chip.code[w] != (w < words ? BufferWord(w) : 0xFFFF)) return false;
    }
    return true;
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& x) { return x.text.find(text) != std::string::npos; });
  }
};

class P17cRoundTrip : public P17c, public ::testing::WithParamInterface<P17Case> {};

TEST_P(P17cRoundTrip, BlankWriteVerifyReadConfig) {
  Connect(GetParam().model);
  CatalogueLine l = FromCatalogue(GetParam().part);
  ASSERT_EQ(sim::MakePic17(l.part)->code.size(), static_cast<std::size_t>(l.items.at("fla=")));
  if (!GetParam().whole) l.items["fla="] = kFront;
  auto chip = ChooseP17(l);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const auto words = static_cast<std::uint32_t>(l.items.at("fla="));
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(2 * words - 1));
  EXPECT_EQ(gApp.InfoRecord[1], 0x4200);
  EXPECT_EQ(prog->VppMillivolts(), 13000);

  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  Random(words, 17);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(ChipHoldsBuffer(*chip, words));
  EXPECT_EQ(chip->pulses, static_cast<int>(words));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, gApp.CodeBuffer[0] != 0xFF ? 0u : 1u);

  // A bit the chip holds at 0 where the buffer wants 1, in the last word walked (on the whole
  // line the top one, every address bit high), fails Verify at its byte.
  const std::uint32_t top = 2 * words - 1;
  const std::uint8_t want = gApp.CodeBuffer[top];
  gApp.CodeBuffer[top] = static_cast<std::uint8_t>(want | 0x01) == want
                             ? static_cast<std::uint8_t>(want & 0xFE)
                             : static_cast<std::uint8_t>(want | 0x01);
  const std::uint8_t chipByte = want;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, top);
  EXPECT_EQ(gLink.FailByte, chipByte);
  gApp.CodeBuffer[top] = want;

  std::vector<std::uint8_t> image(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 2 * words);
  std::fill_n(gApp.CodeBuffer.begin(), 2 * words, 0x3C);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  // The words hold the chip's bits: RC (FOSC1:0 01) in word 0; postscaler 256 (WDTPS1:0 10) and
  // microcontroller mode (PM2:PM0 110) in word 1. The bits at 0 are programmed (FOSC1, WDTPS0,
  // PM0), the reserved locations 7-14 the set always pulses read 1.
  gApp.OptionValues[0] = 0x0001;
  gApp.OptionValues[1] = 0x8068;
  EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
  EXPECT_EQ(chip->ConfigRead(), 0xFFE9);
  gApp.OptionValues[0] = gApp.OptionValues[1] = 0;
  EXPECT_EQ(Run(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(LastLine(), "Config:e9");
  EXPECT_EQ(gApp.OptionValues[0], 0xE9);
  EXPECT_EQ(gApp.OptionValues[1], 0x8068);
  // Through the runner the grid keeps its rows' bits: FOSC1:0 of word 0, the rest of word 1.
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], 0x01);
  EXPECT_EQ(gApp.OptionValues[1], 0x8068);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Lines, P17cRoundTrip,
                         ::testing::Values(P17Case{"PIC17C42A", 6200}, P17Case{"PIC17C43", 6200},
                                           P17Case{"PIC17C44", 6200, true},
                                           P17Case{"PIC17C44", 6300}),
                         [](const auto& info) {
                           return std::string(info.param.part) + "_" +
                                  std::to_string(info.param.model);
                         });

// The configuration locations follow option word 0 for the oscillator and word 1 for the rest
// (the grid rows of WDTBS0/1, PM0-PM2 and the postscaler radio write word 1), a bit at 0
// programming its location: bits 2-6 and 15 of word 0 never reach the chip, those of word 1 do.
TEST_F(P17c, ConfigTakesWord1ForPostscalerAndModes) {
  struct Case {
    std::uint32_t word0, word1;
    std::uint16_t config;  // as the chip reads it
  };
  const Case cases[] = {
      {0xFFFF, 0xFFFF, 0xFFFF},  // all erased: EC, postscaler 1, microprocessor mode
      {0x0000, 0xFFFF, 0xFFFC},  // only FOSC1:0 programmed: LF
      {0x0003, 0x0000, 0x7FA3},  // WDTPS1:0, PM0, PM1, PM2: WDT off, code-protected
  };
  for (const Case& c : cases) {
    auto chip = ChooseP17(FromCatalogue("PIC17C42A"));
    gApp.OptionValues[0] = static_cast<std::int32_t>(c.word0);
    gApp.OptionValues[1] = static_cast<std::int32_t>(c.word1);
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_EQ(chip->ConfigRead(), c.config) << std::hex << c.word0 << " " << c.word1;
  }
  ExpectNoHazard();
}

// Each choice of the oscillator and postscaler radios and of the processor-mode rows lands on the
// chip as the configuration the datasheet gives for it (FOSC1:0 bits 1:0, WDTPS1:0 bits 3:2, PM2
// bit 15, PM1 bit 6, PM0 bit 4; a programmed bit reads 0). Read config then shows that chip in the
// same radios and rows, and Config from them gives a blank second chip the same cells.
TEST_F(P17c, ChoicesProgramTheConfigurationTheyNameAndReadConfigCopiesIt) {
  struct Named {
    const char* name;
    std::uint16_t bits;
  };
  // FOSC1:0 and WDTPS1:0 by the radio items' texts, PM2:PM1:PM0 by the mode.
  const Named oscillators[] = {{"LF", 0b00}, {"RC", 0b01}, {"XT", 0b10}, {"EC", 0b11}};
  const Named postscalers[] = {{"disabled,16-bit", 0b00},
                               {"enabled,post=64", 0b01},
                               {"enabled,post=256", 0b10},
                               {"enabled,post=1", 0b11}};
  const Named modes[] = {{"microprocessor", 0b111},
                         {"microcontroller", 0b110},
                         {"extended microcontroller", 0b101},
                         {"code-protected microcontroller", 0b000}};
  auto rowOf = [&](const char* name) {
    for (int i = 0; i < ui.ConfigRowCount; ++i) {
      if (ui.Cells[i][0] == name) return i;
    }
    ADD_FAILURE() << name;
    return 0;
  };
  auto seat = [&](const std::shared_ptr<sim::Pic17Chip>& chip) {
    prog->model() < 6300 ? prog->PlaceChipTurned(chip, 1) : prog->PlaceChip(chip, 1);
  };
  for (int model : {6200, 6300}) {
    Connect(model);
    for (int o = 0; o < 4; ++o) {
      for (int w = 0; w < 4; ++w) {
        const Named& osc = oscillators[o];
        const Named& wdt = postscalers[w];
        const Named& mode = modes[(o + w) % 4];
        SCOPED_TRACE(std::to_string(model) + " " + osc.name + " / " + wdt.name + " / " + mode.name);
        auto first = ChooseP17(FromCatalogue("PIC17C43"));
        // The user's choices: the mode rows in the grid, then the two radios (the last choice
        // made in a radio reaches the words without a grid edit after it).
        const std::pair<const char*, int> modeRows[] = {{"PM2", 2}, {"PM1", 1}, {"PM0", 0}};
        for (const auto& [name, bit] : modeRows) {
          ui.CurrentRow = rowOf(name);
          ConfigGridKeyDown(ui, (mode.bits >> bit & 1) != 0 ? '1' : '0');
        }
        ASSERT_EQ(ui.Combos[0].Items.at(static_cast<std::size_t>(o)), osc.name);
        ASSERT_EQ(ui.Combos[1].Items.at(static_cast<std::size_t>(w)), wdt.name);
        ui.Combos[0].SetItemIndex(o);
        ConfigComboChanged(ui);
        ui.Combos[1].SetItemIndex(w);
        ConfigComboChanged(ui);
        EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
        const auto expected = static_cast<std::uint16_t>(
            (0xFFFF & ~0x805F) | osc.bits | wdt.bits << 2 | (mode.bits & 1) << 4 |
            (mode.bits >> 1 & 1) << 6 | (mode.bits >> 2 & 1) << 15);
        EXPECT_EQ(first->ConfigRead(), expected) << std::hex << first->ConfigRead();

        // A fresh set-up puts the grid back to its defaults; Read config brings the chip's back.
        auto second = ChooseP17(FromCatalogue("PIC17C43"));
        seat(first);
        EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
        EXPECT_EQ(ui.Combos[0].ItemIndex, o);
        EXPECT_EQ(ui.Combos[1].ItemIndex, w);
        for (const auto& [name, bit] : modeRows) {
          EXPECT_EQ(ui.Cells[rowOf(name)][1], (mode.bits >> bit & 1) != 0 ? "1" : "0") << name;
        }
        seat(second);
        EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
        EXPECT_EQ(second->ConfigRead(), expected) << std::hex << second->ConfigRead();
      }
    }
  }
  ExpectNoHazard();
}

// EPROM cells only go from 1 to 0: a second image programs over the first as their AND.
TEST_F(P17c, CellsOnlyGoFromOneToZero) {
  auto chip = ChooseP17(FromCatalogue("PIC17C42A"));
  const auto words = static_cast<std::uint32_t>(chip->code.size());
  Random(words, 1);
  std::vector<std::uint16_t> first(words);
  for (std::uint32_t w = 0; w < words; ++w) first[w] = BufferWord(w);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  Random(words, 2);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  for (std::uint32_t w = 0; w < words; ++w) {
    ASSERT_EQ(chip->code[w], first[w] & BufferWord(w)) << w;
  }
  EXPECT_EQ(Click(kOpVerify), 1);
  ExpectNoHazard();
}

// A wrong seat or item fails: the chip upright where the design wants it turned (and the other
// way round), a supply below the programming window, a size that leaves the top unwritten.
struct WrongCase {
  int model;
  int turned;
  const char* item;
  int value;
};

class P17cWrong : public P17c, public ::testing::WithParamInterface<WrongCase> {};

TEST_P(P17cWrong, FailsTheRoundTrip) {
  const WrongCase& c = GetParam();
  Connect(c.model);
  CatalogueLine l = FromCatalogue("PIC17C42A");
  if (c.item[0] != '\0') l.items[c.item] = c.value;
  auto chip = ChooseP17(l, c.turned);
  Random(static_cast<std::uint32_t>(chip->code.size()), 6);
  const bool written =
      Click(kOpWrite) == 0 && Click(kOpVerify) == 0 && ChipHoldsBuffer(*chip, chip->code.size());
  EXPECT_FALSE(written && prog->record.hazards.empty() && prog->record.protocolErrors.empty());
}

INSTANTIATE_TEST_SUITE_P(Cases, P17cWrong,
                         ::testing::Values(WrongCase{6200, 0, "", 0}, WrongCase{6300, 1, "", 0},
                                           WrongCase{6200, 1, "vcc=", 4500},
                                           WrongCase{6200, 1, "fla=", 1024}));

// VPP is the set's own whatever the last set left, and a weak supply ends Write and Config
// before any pulse, with the supplies off.
TEST_F(P17c, VppAtSetupAndWeakSupply) {
  prog->reg[sim::kRegVppVoltage] = 50;  // what an earlier set left
  auto chip = ChooseP17(FromCatalogue("PIC17C43"));
  EXPECT_EQ(prog->VppMillivolts(), 13000);
  Random(static_cast<std::uint32_t>(chip->code.size()), 5);
  prog->faults.powerOverload = true;
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(Run(kOpConfig), 1);
  EXPECT_EQ(chip->pulses, 0);
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

// The contact pins by "pm=", none beyond the table's nine entries.
TEST_F(P17c, ContactPinsByPm) {
  const std::pair<int, std::uint64_t> cases[] = {
      {0, 0},
      {1, SocketPins(7, 33)},
      {2, SocketPins(1, 40)},
      {3, SocketPins(1, 21) | SocketPins(23, 42) | std::uint64_t{3} << 46},
      {9, 0},
  };
  for (const auto& [pm, mask] : cases) {
    CatalogueLine l = FromCatalogue("PIC17C44");
    l.items["pm="] = pm;
    ChooseP17(l);
    EXPECT_EQ(gApp.PinMask, mask) << pm;
  }
}

// Without "fla=", with words reaching the buffer's data area, a package the set has no wiring for
// or a row beyond its one-row table, the chip is refused: every operation fails untouched.
TEST_F(P17c, RefusedLines) {
  const struct {
    const char* item;
    int value;
    int row;
  } cases[] = {{"fla=", 0, 0}, {"fla=", 0x2200, 0}, {"pkg=", 28, 0}, {"pkg=", 40, 1}};
  prog->record.keepTranscript = true;
  for (const auto& c : cases) {
    CatalogueLine l = FromCatalogue("PIC17C44");
    l.items[c.item] = c.value;
    fake.chipParams = l.items;
    gApp.AlgorithmKey = "P17C4X";
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey("P17C4X");
    runner.SetupChosenChip();
    const std::size_t sent = prog->record.transcript.size();
    EXPECT_EQ(Run(kOpWrite), 1) << c.item << c.value;
    EXPECT_EQ(prog->record.transcript.size(), sent) << c.item << c.value;
    EXPECT_EQ(gApp.InfoRecord[0], 0) << c.item << c.value;
  }
}

}  // namespace p17c_test
}  // namespace zelvar::test
