// The "ST93S" set on the simulated programmer's "p93cxxx" design with the 93S46/56/66 model from
// the datasheets, through the runner with its contact check: every row's round trip with the
// chip's own cells checked, the protect register set, read, obeyed and cleared, the failures
// Protect and UnProtect report, and the write wait from "wrt=".
#include "algorithms/memory/ST93S.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/Microwire93s.h"

namespace zelvar::test {
namespace st93s_test {

using memory::ST93S;

class St93sTest : public ChipFixture {
 protected:
  std::shared_ptr<sim::Microwire93s> Choose93s(int row, const char* part) {
    auto chip = sim::MakeMicrowire93s(part);
    Choose("ST93S", row, chip, std::string("ST: M") + part, "p93cxxx");
    return chip;
  }
  static bool Holds(const sim::Microwire93s& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
  bool Logged(const std::string& text) const {
    return std::any_of(fake.log.begin(), fake.log.end(),
                       [&](const auto& l) { return l.text.find(text) != std::string::npos; });
  }
};

struct Row {
  int row;
  const char* part;
};

class St93sRoundTrip : public St93sTest, public ::testing::WithParamInterface<Row> {};

TEST_P(St93sRoundTrip, WriteReadEraseAndTheProtectRegisterReachTheChip) {
  auto chip = Choose93s(GetParam().row, GetParam().part);
  const std::uint32_t n = chip->part().words * 2;
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(n));
  Pattern(n, static_cast<std::uint8_t>(GetParam().row * 11));
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), n, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));

  // Protect guards the words from 0x10 up: a new image reaches only the words below.
  EXPECT_EQ(Click(kOpLock), 0) << LastLine();
  EXPECT_TRUE(chip->protectOn);

  EXPECT_EQ(chip->protectRegister, ST93S::kProtectFrom);
  const std::vector<std::uint8_t> before = chip->cells;
  Pattern(n, 0xC3);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  const std::uint32_t firstProtected = ST93S::kProtectFrom * 2;
  EXPECT_TRUE(std::equal(chip->cells.begin(), chip->cells.begin() + firstProtected,
                         gApp.CodeBuffer.begin()));
  EXPECT_TRUE(std::equal(chip->cells.begin() + firstProtected, chip->cells.end(),
                         before.begin() + firstProtected));
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_GE(gLink.FailAddress, firstProtected);
  EXPECT_LT(gLink.FailAddress, firstProtected + 2);
  // Erase writes every word 0xFFFF, which the chip refuses while words are protected (the
  // runner's Blank after it fails).
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_EQ(Click(kOpBlank), 1);

  // UnProtect clears the register: writes and Erase reach every word again. (The set's list gives
  // UnProtect no button, so the runner has no click for it; the chip has no contact pins.)
  EXPECT_EQ(Run(kOpUnProtect), 0) << LastLine();
  EXPECT_FALSE(chip->protectOn);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_FALSE(chip->frozen);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(Rows, St93sRoundTrip,
                         ::testing::Values(Row{1, "93S46"}, Row{2, "93S56"}, Row{3, "93S66"}),
                         [](const auto& info) { return std::string(info.param.part); });

// Read config logs the upper byte of the word PRREAD brings: on the 8-bit register parts the
// register itself, on the 93S46 its six bits, the protect flag and a one.
TEST_F(St93sTest, ReadConfigLogsTheRegister) {
  auto chip = Choose93s(2, "93S56");
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("Register=00ff"));
  chip->protectRegister = 0x5A;
  chip->protectOn = true;
  fake.log.clear();
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("Register=005a"));

  auto small = Choose93s(1, "93S46");
  small->protectRegister = ST93S::kProtectFrom;
  small->protectOn = true;
  fake.log.clear();
  EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
  EXPECT_TRUE(Logged("Register=0041"));
  ExpectNoHazard();
}

// A chip whose register no longer changes (frozen by PRDS) leaves Protect and UnProtect
// failing, not reporting success; the chip is not changed.
TEST_F(St93sTest, ProtectAndUnprotectReportARegisterThatDidNotChange) {
  auto chip = Choose93s(3, "93S66");
  chip->frozen = true;
  EXPECT_EQ(Click(kOpLock), 1);
  EXPECT_TRUE(Logged("Protect failed"));
  EXPECT_FALSE(chip->protectOn);
  chip->protectRegister = 0x80;
  chip->protectOn = true;
  EXPECT_EQ(Run(kOpUnProtect), 1);
  EXPECT_TRUE(Logged("UnProtect failed"));
  EXPECT_EQ(chip->protectRegister, 0x80u);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

// "wrt=" sets the wait after each word: 1 ms is shorter than the 10 ms write cycle, so the chip
// drops the words that come while it is busy.
TEST_F(St93sTest, WriteWaitComesFromTheChipLine) {
  fake.chipParams["wrt="] = 1;
  auto chip = Choose93s(1, "93S46");
  Pattern(128);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_LT(chip->wordsWritten, 64);
  EXPECT_EQ(Click(kOpVerify), 1);
  fake.chipParams["wrt="] = 12;
  chip = Choose93s(1, "93S46");
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  ExpectNoHazard();
}

// The catalogue's names seat the 93S model of the right size, not a 93Cxx.
TEST(St93sModels, CatalogueNamesFindThe93sParts) {
  struct Case {
    const char* name;
    std::uint32_t words;
  };
  for (const Case c :
       {Case{"ST: M93S46", 64}, Case{"ST: M93S56", 128}, Case{"NATIONAL: NM93CS66", 256}}) {
    auto chip = std::dynamic_pointer_cast<sim::Microwire93s>(sim::MakeChipModel(c.name));
    ASSERT_NE(chip, nullptr) << c.name;
    EXPECT_EQ(chip->part().words, c.words) << c.name;
  }
}

}  // namespace st93s_test
}  // namespace zelvar::test
