// The Microwire sets "P93" (a byte per chip address) and "P93X16" (a 16-bit word, low byte first)
// on the simulated programmer's "p93cxxx" design with 93Cxx models from their datasheets, through
// the runner: every row's round trip with the chip's own cells checked, erase, the failure
// addresses, and the VCC and delay choices.
#include "algorithms/memory/P93.h"

#include <algorithm>

#include "ChipFixture.h"
#include "algorithms/memory/P93C411.h"
#include "link/LinkState.h"
#include "sim/chips/Microwire93.h"

namespace zelvar::test {
namespace p93_test {

struct MwRow {
  const char* key;
  int row;
  const char* part;
};

class P93Test : public ChipFixture {
 protected:
  std::shared_ptr<sim::Microwire93> ChooseMw(const char* key, int row, const char* part) {
    auto chip = sim::MakeMicrowire93(part);
    Choose(key, row, chip, std::string("ATMEL: AT") + part, "p93cxxx");
    return chip;
  }
  // The chip's cells as the buffer holds them: the word sets and x8 rows byte for byte, the x16
  // rows of P93 the low byte of each word.
  static bool Holds(const std::string& key, const sim::Microwire93& chip, std::uint32_t n,
                    bool x16) {
    for (std::uint32_t i = 0; i < n; ++i) {
      const std::uint8_t cell = key == "P93" && x16 ? chip.cells[2 * i] : chip.cells[i];
      if (cell != gApp.CodeBuffer[i]) return false;
    }
    return true;
  }
};

class P93RoundTrip : public P93Test, public ::testing::WithParamInterface<MwRow> {};

TEST_P(P93RoundTrip, WriteVerifyReadReachTheChipsCells) {
  const MwRow& c = GetParam();
  auto chip = ChooseMw(c.key, c.row, c.part);
  const auto& types = std::string(c.key) == "P93" ? std::span(memory::P93::kTypes).first(10)
                                                  : std::span(memory::P93X16::kTypes).first(6);
  const memory::MicrowireType& t = types[static_cast<std::size_t>(c.row)];
  const std::uint32_t n = t.lastAddress + 1;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(n));
  Pattern(n, static_cast<std::uint8_t>(c.row * 9));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(c.key, *chip, n, t.dataBits == 16));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), n, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(c.key, *chip, n, t.dataBits == 16));
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, P93RoundTrip,
    ::testing::Values(MwRow{"P93", 1, "93C46"}, MwRow{"P93", 2, "93C56"}, MwRow{"P93", 3, "93C66"},
                      MwRow{"P93", 4, "93C46"}, MwRow{"P93", 5, "93C56"}, MwRow{"P93", 6, "93C66"},
                      MwRow{"P93", 7, "93C57"}, MwRow{"P93", 8, "93C86"}, MwRow{"P93", 9, "93C76"},
                      MwRow{"P93X16", 1, "93C46"}, MwRow{"P93X16", 2, "93C56"},
                      MwRow{"P93X16", 3, "93C66"}, MwRow{"P93X16", 4, "93C76"},
                      MwRow{"P93X16", 5, "93C86"}),
    [](const auto& info) {
      return std::string(info.param.key) + "_" + std::to_string(info.param.row);
    });

// The sets of the models without an FPGA: model 411 runs the bus by pin commands and samples
// the data-out line itself, the chip seated from socket pin 15.
class P93c411RoundTrip : public P93Test, public ::testing::WithParamInterface<MwRow> {
 protected:
  std::shared_ptr<sim::Microwire93> Choose411(const MwRow& c) {
    Connect(411);
    auto chip = sim::MakeMicrowire93(c.part);
    prog->PlaceChip(chip, 15);
    gApp.ChipTitle = fake.chipTitle = std::string("ATMEL: AT") + c.part;
    gApp.AlgorithmKey = c.key;
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey(c.key);
    runner.SetupChosenChip();
    return chip;
  }
};

TEST_P(P93c411RoundTrip, WriteVerifyReadEraseReachTheChipsCells) {
  const MwRow& c = GetParam();
  auto chip = Choose411(c);
  const bool bytes = std::string(c.key) == "P93C411";
  const auto& types = bytes ? std::span(memory::P93C411::kTypes).first(10)
                            : std::span(memory::P93C411X16::kTypes).first(6);
  const memory::MicrowireType& t = types[static_cast<std::size_t>(c.row)];
  const std::uint32_t n = t.lastAddress + 1;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(n));
  Pattern(n, static_cast<std::uint8_t>(c.row * 5));
  const std::string holdsAs = bytes ? "P93" : "P93X16";
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(holdsAs, *chip, n, t.dataBits == 16));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), n, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(holdsAs, *chip, n, t.dataBits == 16));
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->eraseAlls, 1);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, P93c411RoundTrip,
    ::testing::Values(MwRow{"P93C411", 1, "93C46"}, MwRow{"P93C411", 3, "93C66"},
                      MwRow{"P93C411", 4, "93C46"}, MwRow{"P93C411", 7, "93C57"},
                      MwRow{"P93C411", 8, "93C86"}, MwRow{"P93C411", 9, "93C86"},
                      MwRow{"P93C411X16", 1, "93C46"}, MwRow{"P93C411X16", 2, "93C56"},
                      MwRow{"P93C411X16", 3, "93C66"}, MwRow{"P93C411X16", 4, "93C76"},
                      MwRow{"P93C411X16", 5, "93C86"}),
    [](const auto& info) {
      return std::string(info.param.key) + "_" + std::to_string(info.param.row);
    });

// Erase clears the whole chip (the runner's Blank follows); Blank and Verify name the first
// differing byte, in the word set the byte of the word that differs.
TEST_F(P93Test, EraseThenBlankAndVerifyNameTheFirstDifference) {
  auto chip = ChooseMw("P93X16", 1, "93C46");
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->eraseAlls, 1);
  chip->cells[0x45] = 0x7E;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x45u);
  EXPECT_EQ(gLink.FailByte, 0x7E);
  EXPECT_EQ(prog->VccPin(), 0);
  std::fill_n(gApp.CodeBuffer.begin(), 128, 0xFF);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x45u);
  ExpectNoHazard();
}

// The VCC choice applies at each operation; the delay after a word must cover the write cycle,
// and a choice beyond the radio takes its last item.
TEST_F(P93Test, VccAndDelayChoicesApply) {
  auto chip = ChooseMw("P93", 1, "93C46");
  ASSERT_EQ(gApp.OptionValues[128], 3);
  Pattern(128);
  gApp.OptionValues[129] = 1;
  gApp.OptionValues[128] = 0;  // 1 ms, below the chip's 5 ms write cycle
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  EXPECT_LT(chip->wordsWritten, 128);
  EXPECT_EQ(Click(kOpVerify), 1);
  gApp.OptionValues[128] = 99;
  ASSERT_EQ(Click(kOpWrite), 0);
  EXPECT_TRUE(Holds("P93", *chip, 128, false));
  ExpectNoHazard();
}

}  // namespace p93_test
}  // namespace zelvar::test
