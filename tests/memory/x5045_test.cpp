// The "X5045" set on the simulated programmer's "x5045dip08" and "x5045dip14" designs with the
// X5045/X5043 model from their datasheet, through the runner with its contact check: the round trip
// with the chip's own cells checked, the write cycle waited out, the status register (block lock
// and watchdog) and the rules of the set's rows.
#include "algorithms/memory/X5045.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/SpiMemory.h"

namespace zelvar::test {
namespace x5045_test {

using memory::X5045Status;

class X5045Test : public ChipFixture {
 protected:
  std::shared_ptr<sim::SpiMemory> ChooseX5045(const char* part = "X5045") {
    auto chip = sim::MakeSpiMemory(part);
    Choose("X5045", 1, chip, std::string("XICOR: ") + part, "x5045dip08");
    return chip;
  }
  static bool Holds(const sim::SpiMemory& chip) {
    return std::equal(chip.cells.begin(), chip.cells.end(), gApp.CodeBuffer.begin());
  }
};

struct Seat {
  const char* part;
  int row;
  const char* design;
  bool pins14;
};

class X5045RoundTrip : public X5045Test, public ::testing::WithParamInterface<Seat> {};

// Byte writes back to back: each write cycle (10 ms) must be over before the next write enable,
// or the chip drops that byte. Row 2 seats the 14-lead package on its own design.
TEST_P(X5045RoundTrip, WriteVerifyReadEraseBlankReachTheChipsCells) {
  const Seat& s = GetParam();
  auto chip = sim::MakeSpiMemory(s.part, s.pins14 ? sim::kX5045Pins14 : sim::kSpiPins8);
  Choose("X5045", s.row, chip, std::string("XICOR: ") + s.part, s.design);
  ASSERT_EQ(gApp.CodeLastAddress, 511);
  Pattern(512);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(chip->pagesWritten, 512);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  std::fill_n(gApp.CodeBuffer.begin(), 512, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(Holds(*chip));
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));
  // The Erase click above ran Blank after the erase; its status is the one checked.
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

INSTANTIATE_TEST_SUITE_P(
    Parts, X5045RoundTrip,
    ::testing::Values(Seat{"X5045", 1, "x5045dip08", false}, Seat{"X5043", 1, "x5045dip08", false},
                      Seat{"X5045", 2, "x5045dip14", true}, Seat{"X5043", 2, "x5045dip14", true}),
    [](const auto& info) { return std::string(info.param.part) + "_" + info.param.design; });

// Verify and Blank name the first differing byte, read from the chip (address bit 8 included).
TEST_F(X5045Test, VerifyAndBlankNameTheFirstDifferentByte) {
  auto chip = ChooseX5045();
  Pattern(512);
  std::copy_n(gApp.CodeBuffer.begin(), 512, chip->cells.begin());
  chip->cells[0x1A5] ^= 0x10;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1A5u);
  EXPECT_EQ(gLink.FailByte, chip->cells[0x1A5]);
  std::fill(chip->cells.begin(), chip->cells.end(), 0xFF);
  chip->cells[0x123] = 0x7E;
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x123u);
  EXPECT_EQ(gLink.FailByte, 0x7E);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

// WriteStatus takes the "Protect" and "WDT time" choices of the operation's moment; Read config
// gives them back; a locked block keeps its bytes through a Write, which Verify then finds.
TEST_F(X5045Test, StatusHoldsBlockLockAndWatchdog) {
  auto chip = ChooseX5045();
  EXPECT_EQ(gApp.OptionValues[128], 0);
  EXPECT_EQ(gApp.OptionValues[129], 3);
  struct Case {
    int protect, watchdog;
    std::uint8_t status;
  };
  const Case cases[] = {{2, 3, 0x38}, {1, 0, 0x04}, {3, 2, 0x2C}, {0, 1, 0x10}, {9, 9, 0x3C}};
  for (const Case& c : cases) {
    gApp.OptionValues[128] = c.protect;
    gApp.OptionValues[129] = c.watchdog;
    EXPECT_EQ(Click(kOpConfig), 0) << LastLine();
    EXPECT_EQ(chip->status, c.status) << c.protect << " " << c.watchdog;
    gApp.OptionValues[128] = gApp.OptionValues[129] = -1;
    EXPECT_EQ(Click(kOpReadConfig), 0) << LastLine();
    EXPECT_EQ(gApp.OptionValues[128], (c.status >> 2) & 3);
    EXPECT_EQ(gApp.OptionValues[129], (c.status >> 4) & 3);
  }
  // Upper quarter locked: 180h-1FFh keep their erased bytes.
  gApp.OptionValues[128] = 1;
  gApp.OptionValues[129] = 3;
  ASSERT_EQ(Click(kOpConfig), 0);
  Pattern(512);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_TRUE(
      std::equal(chip->cells.begin(), chip->cells.begin() + 0x180, gApp.CodeBuffer.begin()));
  EXPECT_EQ(chip->cells[0x180], 0xFF);
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x180u);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

TEST(X5045Status, ChoicesGiveTheStatusByte) {
  EXPECT_EQ(X5045Status(2, 3), 0x38);
  EXPECT_EQ(X5045Status(0, 0), 0x00);
  EXPECT_EQ(X5045Status(3, 1), 0x1C);
}

// The row rules catch a supply or the package moved.
TEST(X5045Rules, CatchMisplacedPins) {
  using memory::X5045;
  using memory::X5045Type;
  const X5045Type good = X5045::kTypes[1];
  auto with = [&](auto change) {
    X5045Type t = good;
    change(t);
    return t;
  };
  const X5045Type bad[] = {
      with([](X5045Type& t) { t.vccPin = 23; }),
      with([](X5045Type& t) { t.gndPin = 24; }),
      with([](X5045Type& t) { t.contactMask |= SocketPins(20, 20); }),
      with([](X5045Type& t) { t.contactMask = SocketPins(16, 23, 20, 22); }),
      with([](X5045Type& t) { t.lastAddress = 500; }),
  };
  for (const X5045Type& t : bad) {
    TypeTableReport r;
    X5045::CheckRow(t, r);
    EXPECT_FALSE(r.faults.empty()) << t.vccPin << " " << t.gndPin << " " << t.contactMask;
  }
  TypeTableReport r;
  X5045::CheckRow(good, r);
  EXPECT_TRUE(r.faults.empty());
}

// No row 0: refused at set-up, without touching the chip.
TEST_F(X5045Test, RowZeroIsRefused) {
  auto chip = sim::MakeSpiMemory("X5045");
  prog->PlaceChipAtBottom(chip);
  gApp.AlgorithmKey = "X5045";
  gApp.TypeIndex = 0;
  gApp.CurrentDispatcher = DispatcherForKey("X5045");
  runner.SetupChosenChip();
  EXPECT_EQ(Run(kOpWrite), 1);
  EXPECT_EQ(chip->pagesWritten, 0);
}

// The catalogue's "(14pin)" lines seat the 14-lead package, the others the 8-pin DIP.
TEST(X5045Models, CatalogueNamesChooseThePackage) {
  EXPECT_EQ(sim::MakeChipModel("XICOR: X5045(14pin)")->PinCount(), 14);
  EXPECT_EQ(sim::MakeChipModel("XICOR: X5043(14pin)")->PinCount(), 14);
  EXPECT_EQ(sim::MakeChipModel("XICOR: X5045")->PinCount(), 8);
}

}  // namespace x5045_test
}  // namespace zelvar::test
