// The Intel command-set block flash set "F640" on the large-flash design: the round trip of the
// row with a model (the 28F001BX DIP32 adapter), block by block with the boot block unlocked by
// 12 V on RP#, an erase that fails (boot block left locked, a block still busy where the
// programmer cannot poll), Read and Verify from "Addr start", and the set-up's values and
// refusals.
#include "algorithms/memory/F640.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/BootBlock28F.h"

namespace zelvar::test {
namespace f640_test {

using memory::F640;

struct F640Row {
  const char* part;
  std::array<std::uint8_t, 2> id;
  std::uint32_t start, end;           // a window across the boot block's edge
  std::uint32_t bootFirst, bootLast;  // the boot block, locked without 12 V on RP# or OE#
};
constexpr int kBootUnlock = 128;  // the "Boot block" radio

class F640Fixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::BootBlock28F> Seat(const char* part, int mem = 1, int dly = 400) {
    fake.chipParams = {{"mem=", mem}, {"dly=", dly}, {"vcc=", 5000}};
    auto chip = sim::MakeBootBlock28F(part);
    // The fixture connects without the info block: say the programmer can read the bus, so the
    // erase polls the status register (the simulated wait command is far shorter than an erase).
    gLink.ProgrammerInfo[2] |= 2;
    Choose("F640", 8, chip, std::string("INTEL: ") + part + "(F640)", "p28f001bxdip32");
    return chip;
  }
  bool Logged(const std::string& text) const {
    const auto log = fake.LogTexts();
    return std::any_of(log.begin(), log.end(),
                       [&](const auto& l) { return l.find(text) != std::string::npos; });
  }
};

class F640RoundTrip : public F640Fixture, public ::testing::WithParamInterface<F640Row> {};

TEST_P(F640RoundTrip, EraseWriteVerifyReadAndId) {
  const F640Row& r = GetParam();
  auto chip = Seat(r.part);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Range(r.start, r.end);
  gApp.OptionValues[kBootUnlock] = 1;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(Click(kOpBlank), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));
  // The boot block's erase ran with RP# at 12 V.
  EXPECT_NE(std::find(chip->erasesStarted.begin(), chip->erasesStarted.end(),
                      sim::BootBlock28F::EraseStart{r.bootFirst, true}),
            chip->erasesStarted.end());

  // Written across the boot block's edge where the window meets it.
  Pattern(r.end - r.start + 1, 0x6B);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = r.start - 0x100; a <= std::min(r.end + 0x100, 0x1FFFFu); ++a) {
    const bool in = a >= r.start && a <= r.end;
    ASSERT_EQ(chip->cells[a], in ? gApp.CodeBuffer[a - r.start] : 0xFF) << std::hex << a;
  }

  // Read takes the window from "Addr start" into the buffer from offset 0.
  const std::vector<std::uint8_t> written(gApp.CodeBuffer.begin(),
                                          gApp.CodeBuffer.begin() + (r.end - r.start + 1));
  std::fill_n(gApp.CodeBuffer.begin(), written.size(), 0x00);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(written.begin(), written.end(), gApp.CodeBuffer.begin()));

  // A changed cell in the window fails Verify at its offset.
  chip->cells[r.end] = 0x00;
  gApp.CodeBuffer[r.end - r.start] = 0x5A;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, r.end - r.start);

  runner.IdClick();
  char id[24];
  std::snprintf(id, sizeof id, "MFG ID=%02x,%02x", r.id[0], r.id[1]);
  EXPECT_EQ(LastLine(), id);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, F640RoundTrip,
    ::testing::Values(F640Row{"28F001BX-T", {0x89, 0x94}, 0x1DE11, 0x1E1FF, 0x1E000, 0x1FFFF},
                      F640Row{"28F001BX-B", {0x89, 0x95}, 0x01E01, 0x021FF, 0x00000, 0x01FFF}),
    [](const auto& info) {
      std::string n = info.param.part;
      n.erase(std::remove(n.begin(), n.end(), '-'), n.end());
      return n;
    });

// Write reads back what it wrote: a window that runs into the locked boot block fails at the
// block's first byte, on the models with the unlock and on those without; a window in the main
// block passes on both.
TEST_F(F640Fixture, WriteIntoTheLockedBootBlockFailsOnEveryModel) {
  for (const int model : {6200, 5149}) {
    Connect(model);
    auto chip = Seat("28F001BX-T");
    Range(0x1DF00, 0x1E0FF);
    Pattern(0x200, 0x2C);
    EXPECT_EQ(Click(kOpWrite), 1) << model;
    EXPECT_EQ(gLink.FailAddress, 0x100u) << model;
    EXPECT_EQ(chip->cells[0x1DFFF], gApp.CodeBuffer[0xFF]) << model;
    EXPECT_EQ(chip->cells[0x1E000], 0xFF) << model;

    Range(0x1000, 0x10FF);
    EXPECT_EQ(Click(kOpWrite), 0) << model << " " << LastLine();
    EXPECT_TRUE(std::equal(chip->cells.begin() + 0x1000, chip->cells.begin() + 0x1100,
                           gApp.CodeBuffer.begin()))
        << model;
    ExpectNoHazard();
  }
}

// "dly=" absent still waits for each block (the default of one gives 25 polls).
TEST_F(F640Fixture, EraseWithoutDlyStillErases) {
  auto chip = Seat("28F001BX-B", 1, 0);
  chip->eraseUs = 1000;
  gApp.OptionValues[kBootUnlock] = 1;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Range(0x2000, 0x1FFFF);
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  EXPECT_TRUE(std::all_of(chip->cells.begin() + 0x2000, chip->cells.end(),
                          [](auto c) { return c == 0xFF; }));
  ExpectNoHazard();
}

// Without the unlock the boot block keeps its bytes and Erase says so, naming the block; every
// other block is still erased.
TEST_F(F640Fixture, LockedBootBlockFailsTheErase) {
  auto chip = Seat("28F001BX-T");
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_TRUE(Logged("Erase failed at block 01E000")) << LastLine();
  EXPECT_EQ(gLink.FailAddress, 0x1E000u);
  EXPECT_EQ(gLink.FailByte, 0x00);
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    ASSERT_EQ(chip->cells[a], a >= 0x1E000 ? 0x00 : 0xFF) << std::hex << a;
  }
  // RP# never left its logic level.
  for (const auto& e : chip->erasesStarted) EXPECT_FALSE(e.vhh) << std::hex << e.first;
  ExpectNoHazard();
}

// Where the programmer cannot read the bus, Erase waits out its count and reads each block back:
// a block still busy (too short a "dly=" for the chip) fails; a count long enough passes.
TEST_F(F640Fixture, EraseWithoutStatusPollsReadsEachBlockBack) {
  auto chip = Seat("28F001BX-T", 1, 1);
  gLink.ProgrammerInfo[2] &= static_cast<std::uint8_t>(~2);
  gApp.OptionValues[kBootUnlock] = 1;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Click(kOpErase), 1);
  EXPECT_TRUE(Logged("Erase failed at block 000000")) << LastLine();
  EXPECT_EQ(chip->cells[0], 0x00);

  chip->eraseUs = 100;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));
  ExpectNoHazard();
}

// A "mem=" the row has no size for is refused at set-up and by every operation.
TEST_F(F640Fixture, MemWithoutSizeIsRefused) {
  for (int mem : {0, 8, -1}) {
    fake.chipParams = {{"mem=", mem}, {"dly=", 400}};
    prog->PlaceChipAtBottom(sim::MakeBootBlock28F("28F001BX-T"));
    gApp.AlgorithmKey = "F640";
    gApp.TypeIndex = 8;
    gApp.CurrentDispatcher = DispatcherForKey("F640");
    runner.SetupChosenChip();
    EXPECT_EQ(Run(kOpWrite), 1) << mem;
    EXPECT_NE(LastLine().find("mem="), std::string::npos) << LastLine();
  }
}

// Lock sets the lock bit of every block: an 8-bit row counts its blocks in bytes (8 boot steps
// at each end of 128 KiB and two 8-step strides between), not in words (the lower half only).
TEST_F(F640Fixture, LockReachesTheTopOfAnEightBitChip) {
  Seat("28F001BX-T");
  prog->record.keepTranscript = true;
  prog->record.transcript.clear();
  EXPECT_EQ(Run(kOpLock), 0) << LastLine();
  const auto locks =
      std::count_if(prog->record.transcript.begin(), prog->record.transcript.end(),
                    [](const sim::Command& c) { return c.op() == 69 && c.bytes[1] == 0x2F; });
  EXPECT_EQ(locks, 18);

  ExpectNoHazard();
}

TEST(F640Tables, PulseSettingAndBlockWalk) {
  EXPECT_EQ(F640::PulseSetting(0), 6);
  EXPECT_EQ(F640::PulseSetting(100), 255);
  EXPECT_EQ(F640::PulseSetting(6), 1);
  EXPECT_EQ(F640::PulseSetting(9), 9);
  // A 16-bit 0x1FFFF-byte row: 0x10000 words, boot 0x1000, main 0x8000.
  const auto walk = F640::BlockWalk(0x10000, 0x1000, 0x8000);
  ASSERT_EQ(walk.size(), 16u);
  for (std::uint32_t i = 0; i < 16; ++i) EXPECT_EQ(walk[i], i * 0x1000);
  // 8 Mbit of words: boot steps at both ends, main steps between.
  const auto big = F640::BlockWalk(0x80000, 0x1000, 0x8000);
  EXPECT_EQ(big[8], 0x8000u);
  EXPECT_EQ(big[9], 0x10000u);
  EXPECT_EQ(big.size(), 8u + (0x80000 - 0x10000) / 0x8000 + 8u);
  EXPECT_EQ(big.back(), 0x7F000u);
}

}  // namespace f640_test
}  // namespace zelvar::test
