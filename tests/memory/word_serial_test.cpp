// The 16-bit serial EEPROM sets "AK64SCI" and "BR90" on the "ak6420" designs with models of the
// AK6420A and BR90 kinds, through the runner: every wiring's round trip with the chip's own cells
// checked, the byte orders, the write wait, the set's own row on newer models and its refusals.
#include <algorithm>

#include "ChipFixture.h"
#include "algorithms/memory/BR90.h"
#include "link/LinkState.h"
#include "sim/chips/WordSerial.h"

namespace zelvar::test {
namespace word_serial_test {

struct WordCase {
  const char* key;
  int row;
  const char* part;
  int model;
  int turnedAt;  // socket pin of the adapter's first row when the chip sits turned; 0: bottom
  const char* design;
};

class WordSerialTest : public ChipFixture {
 protected:
  std::shared_ptr<sim::WordSerial> Choose(const WordCase& c, int dly = 10) {
    if (c.model != 6200) Connect(c.model);
    auto chip = sim::MakeWordSerial(c.part);
    EXPECT_NE(chip, nullptr) << c.part;
    if (!chip) return nullptr;
    if (c.turnedAt != 0) {
      prog->PlaceChipTurned(chip, c.turnedAt);
    } else {
      prog->PlaceChipAtBottom(chip);
    }
    fake.chipParams["len="] = static_cast<int>(chip->cells.size());
    fake.chipParams["dly="] = dly;
    gApp.ChipTitle = fake.chipTitle = std::string("EEP: ") + c.part;
    gApp.AlgorithmKey = c.key;
    gApp.TypeIndex = c.row;
    gApp.CurrentDispatcher = DispatcherForKey(c.key);
    runner.SetupChosenChip();
    EXPECT_EQ(prog->loadedDesign, c.design);
    return chip;
  }
  static bool Holds(const sim::WordSerial& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
};

class WordSerialRoundTrip : public WordSerialTest,
                            public ::testing::WithParamInterface<WordCase> {};

TEST_P(WordSerialRoundTrip, WriteVerifyReadReachTheChipsCells) {
  const WordCase& c = GetParam();
  auto chip = Choose(c);
  ASSERT_NE(chip, nullptr);
  const auto size = static_cast<std::uint32_t>(chip->cells.size());
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  Pattern(size, static_cast<std::uint8_t>(size >> 6));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(chip->wordsWritten, static_cast<int>(size / 2));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  // Read changes the chip's bytes and nothing past them.
  std::fill_n(gApp.CodeBuffer.begin(), size + 2, 0x11);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(gApp.CodeBuffer[size], 0x11);
  EXPECT_EQ(gApp.CodeBuffer[size + 1], 0x11);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Parts, WordSerialRoundTrip,
                         ::testing::Values(WordCase{"AK64SCI", 1, "AK6420A", 6200, 0, "ak6420std"},
                                           WordCase{"AK64SCI", 1, "AK6480A", 6200, 0, "ak6420std"},
                                           WordCase{"AK64SCI", 2, "AK6440AF", 6200, 12, "ak6420af"},
                                           WordCase{"AK64SCI", 1, "AK6440A", 6300, 0, "ak6420std"},
                                           WordCase{"AK64SCI", 2, "AK6420AF", 6300, 0,
                                                    "ak6420af6300"},
                                           WordCase{"BR90", 1, "BR9010", 6200, 0, "ak6420std"},
                                           WordCase{"BR90", 1, "BR9040", 6200, 0, "ak6420std"},
                                           WordCase{"BR90", 1, "BR9080", 6200, 0, "ak6420std"},
                                           WordCase{"BR90", 1, "BR9016", 6200, 0, "ak6420std"},
                                           WordCase{"BR90", 1, "BR9020", 6300, 0, "ak6420std"}),
                         [](const auto& info) {
                           return std::string(info.param.part) + "_" +
                                  std::to_string(info.param.model);
                         });

// A changed cell is reported at its buffer address with the byte as the buffer holds it, for
// both byte orders.
TEST_F(WordSerialTest, VerifyNamesTheChangedByte) {
  for (const WordCase& c : {WordCase{"AK64SCI", 1, "AK6420A", 6200, 0, "ak6420std"},
                            WordCase{"BR90", 1, "BR9020", 6200, 0, "ak6420std"}}) {
    auto chip = Choose(c);
    ASSERT_NE(chip, nullptr);
    Pattern(256);
    ASSERT_EQ(Click(kOpWrite), 0) << LastLine();
    chip->cells[0x85] = static_cast<std::uint8_t>(chip->cells[0x85] ^ 0x81);
    EXPECT_EQ(Click(kOpVerify), 1) << c.key;
    EXPECT_EQ(gLink.FailAddress, 0x85u) << c.key;
    EXPECT_EQ(gLink.FailByte, chip->cells[0x85]) << c.key;
    ExpectNoHazard();
  }
}

// A write wait shorter than the chip's write cycle loses the words that follow.
TEST_F(WordSerialTest, AShortWriteWaitFailsVerify) {
  auto chip = Choose({"BR90", 1, "BR9020", 6200, 0, "ak6420std"}, 0);
  ASSERT_NE(chip, nullptr);
  Pattern(256);
  EXPECT_EQ(Click(kOpWrite), 0);
  EXPECT_LT(chip->wordsWritten, 128);
  EXPECT_EQ(Click(kOpVerify), 1);
}

// Newer models move the set's own row, not the chosen type: choosing again keeps the wiring.
TEST_F(WordSerialTest, NewerModelsKeepTheChosenType) {
  const WordCase c{"AK64SCI", 2, "AK6420AF", 6300, 0, "ak6420af6300"};
  ASSERT_NE(Choose(c), nullptr);
  EXPECT_EQ(gApp.TypeIndex, 2);
  runner.SetupChosenChip();
  EXPECT_EQ(prog->loadedDesign, "ak6420af6300");
}

TEST_F(WordSerialTest, SetUpRefusesRowsAndSizesWithoutAForm) {
  struct Refusal {
    const char* key;
    int row;
    int len;
    const char* line;
  };
  for (const Refusal& r : {Refusal{"AK64SCI", 5, 256, "Chip type not in this set!"},
                           Refusal{"BR90", 0, 256, "Chip type not in this set!"},
                           Refusal{"BR90", 1, 1200, "has no address form"},
                           Refusal{"BR90", 1, 255, "has no address form"},
                           Refusal{"AK64SCI", 1, 2048, "has no address form"}}) {
    fake.log.clear();
    fake.chipParams = {{"len=", r.len}};
    gApp.AlgorithmKey = r.key;
    gApp.TypeIndex = r.row;
    gApp.CurrentDispatcher = DispatcherForKey(r.key);
    Run(1);
    EXPECT_NE(LastLine().find(r.line), std::string::npos) << r.key << " " << r.row << " " << r.len;
    EXPECT_EQ(Run(kOpRead), 1);
  }
}

TEST(Br90Address, FormsByWordCount) {
  struct Case {
    std::uint8_t opcode;
    std::uint32_t a, words;
    std::vector<int> bytes;
  };
  using memory::BR90;
  const Case cases[] = {
      {0xA4, 0x0FE, 128, {0xA4, BR90::Reversed(0x7F)}},
      {0xA4, 0x1FE, 256, {0xA4, BR90::Reversed(0xFF)}},
      {0xA4, 0x3FE, 512, {0xA5, BR90::Reversed(0xFF)}},
      {0xA4, 0x3FC, 512, {0xA4, BR90::Reversed(0xFF)}},
      {0xA4, 0x7FA, 1024, {0xA6, BR90::Reversed(0xFF)}},
      {0xA4, 0x7FC, 1024, {0xA5, BR90::Reversed(0xFF)}},
      {0xA8, 0, 600, {}},
  };
  for (const Case& c : cases) {
    const memory::SpiAddress got = BR90::Address(c.opcode, c.a, c.words);
    EXPECT_EQ(std::vector<int>(got.bytes.begin(), got.bytes.begin() + got.count), c.bytes)
        << c.words << " " << c.a;
  }
}

}  // namespace word_serial_test
}  // namespace zelvar::test
