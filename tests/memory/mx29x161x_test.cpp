// The page-write 16-bit flash set "MX29X161X" on the SOP44 adapter design with the MX29F1610A/B
// in byte mode: the round trip of both rows through the runner, windows that reach A19 and A-1
// and one that starts inside a page, the page delay, the unprotect before Erase, the Verify ID
// check and the set-up's values.
#include "algorithms/memory/MX29X161X.h"

#include <algorithm>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/PageFlash16.h"

namespace zelvar::test {
namespace mx29x161x_test {

using memory::MX29X161X;

struct PageRow {
  int row;
  const char* part;
  std::array<std::uint8_t, 4> id;
  std::uint32_t start, end;  // a write window
  int dly;                   // the catalogue's 30000 runs the model's full chip erase
};

class MX29X161XFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::PageFlash16> Seat(const char* part = "MX29F1610A", int row = 1,
                                         int dly = 100, int mem = 5) {
    fake.chipParams = {{"mem=", mem}, {"vcc=", 5000}, {"rvc=", 5000}, {"dly=", dly}};
    auto chip = sim::MakePageFlash16(part);
    // Short "dly=" values go with a short chip erase (a real one takes some 20 s).
    if (dly < 30000) chip->eraseUs = 50000;
    Choose("MX29X161X", row, chip, std::string("MACRONIX: ") + part, "mx1611sop44");
    return chip;
  }
  std::size_t Count(std::uint8_t op) const {
    return static_cast<std::size_t>(
        std::count_if(prog->record.transcript.begin(), prog->record.transcript.end(),
                      [op](const sim::Command& c) { return c.op() == op; }));
  }
};

class MX29X161XRoundTrip : public MX29X161XFixture,
                           public ::testing::WithParamInterface<PageRow> {};

TEST_P(MX29X161XRoundTrip, EraseWriteVerifyReadAndId) {
  const PageRow& r = GetParam();
  auto chip = Seat(r.part, r.row, r.dly);
  gApp.ExpectedId = r.id;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  Range(r.start, r.end);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));

  Pattern(r.end - r.start + 1, 0x6B);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < chip->cells.size(); ++a) {
    const bool in = a >= r.start && a <= r.end;
    ASSERT_EQ(chip->cells[a], in ? gApp.CodeBuffer[a - r.start] : 0xFF) << std::hex << a;
  }

  // Read takes the window from "Addr start" into the buffer from offset 0.
  const std::vector<std::uint8_t> written(gApp.CodeBuffer.begin(),
                                          gApp.CodeBuffer.begin() + (r.end - r.start + 1));
  std::fill_n(gApp.CodeBuffer.begin(), written.size(), 0x00);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(written.begin(), written.end(), gApp.CodeBuffer.begin()));

  // A changed cell fails Verify at its offset from the range start.
  chip->cells[r.end - 1] = 0x00;
  gApp.CodeBuffer[r.end - 1 - r.start] = 0x5A;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, r.end - 1 - r.start);

  runner.IdClick();
  char id[40];
  std::snprintf(id, sizeof id, "MFG ID =  %02X,%02X,%02X,%02X", r.id[0], r.id[1], r.id[2], r.id[3]);
  EXPECT_EQ(LastLine(), id);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, MX29X161XRoundTrip,
    ::testing::Values(
        // The top of the chip: every address line high at the end; the start inside a page.
        PageRow{1, "MX29F1610A", {0xC2, 0xC2, 0xFA, 0xFA}, 0x1FF7C5, 0x1FFFFF, 30000},
        // A start of 0x1234 programs from 0x1234, not from 0.
        PageRow{2, "MX29F1610B", {0xC2, 0xC2, 0xFB, 0xFB}, 0x1234, 0x1A33, 100}),
    [](const auto& info) { return std::string(info.param.part); });

// The page delay: choice 5 (the default "10 Ms") waits 10 ms after each 128-byte page, choice 0
// waits 5; one program command a page.
TEST_F(MX29X161XFixture, PageDelayFollowsTheRadio) {
  auto chip = Seat();
  Pattern(0x400);
  Range(0, 0x3FF);
  prog->record.keepTranscript = true;
  for (const auto& [choice, waits] : {std::pair{5, 10u}, std::pair{0, 5u}}) {
    gApp.OptionValues[128] = choice;
    prog->record.transcript.clear();
    EXPECT_EQ(Run(kOpWrite), 0) << LastLine();
    EXPECT_EQ(Count(26), 8 * waits) << choice;
    EXPECT_EQ(Count(19), 0x400u) << choice;  // the page bytes
  }
  EXPECT_EQ(chip->pagePrograms, 16);
  EXPECT_TRUE(
      std::equal(chip->cells.begin(), chip->cells.begin() + 0x400, gApp.CodeBuffer.begin()));
  ExpectNoHazard();
}

// Erase with "Unprotect" disabled (the default) sends no unprotect and leaves a protected sector;
// enabled, the chip's unprotect runs first and the whole chip is erased. UnProtect alone lifts
// the protection too.
TEST_F(MX29X161XFixture, UnprotectBeforeErase) {
  auto chip = Seat();
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  chip->protect[15] = true;
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->unprotects, 0);
  EXPECT_EQ(chip->cells[0x1E0000], 0x00);
  EXPECT_EQ(chip->cells[0x1DFFFF], 0xFF);
  Range(0x1DF000, 0x1E0FFF);
  EXPECT_EQ(Run(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1000u);

  gApp.OptionValues[129] = 1;
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_EQ(chip->unprotects, 1);
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));

  chip->protect[0] = true;
  EXPECT_EQ(Run(kOpUnProtect), 0) << LastLine();
  EXPECT_FALSE(chip->protect[0]);
  ExpectNoHazard();
}

// A Verify ID that differs fails the operation with "Type error!" and touches no data.
TEST_F(MX29X161XFixture, VerifyIdCheckFails) {
  Seat("MX29F1610B");
  Range(0, 0xFF);
  std::fill_n(gApp.CodeBuffer.begin(), 0x100, 0xFF);
  gApp.ExpectedId = {0xC2, 0xC2, 0xFB, 0xFB};
  EXPECT_EQ(Run(kOpVerify), 0) << LastLine();
  gApp.ExpectedId = {0xC2, 0xFA, 0, 0};
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(LastLine(), "Type error!");
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
}

// Set-up: the row's ground is selected, "dly=" 0 still erases (one wait, no division by zero),
// "rvc=" falls back to "vcc=", and a "mem=" without a size is refused by every operation.
TEST_F(MX29X161XFixture, SetUpValues) {
  Seat();
  EXPECT_TRUE(prog->IsGround(30));
  EXPECT_EQ(gApp.InfoRecord[5], 30);
  const std::uint64_t mask =
      ((std::uint64_t{1} << 42) - 1) | (std::uint64_t{3} << 46);  // 1-42, 47, 48
  EXPECT_EQ(static_cast<std::uint32_t>(gApp.InfoRecord[6]), mask & 0x7FFFFFFF);
  EXPECT_EQ(static_cast<std::uint32_t>(gApp.InfoRecord[7]), mask >> 31);

  auto chip = Seat("MX29F1610A", 1, 0);
  chip->eraseUs = 500;
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  EXPECT_EQ(Run(kOpErase), 0) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto c) { return c == 0xFF; }));

  // A line without "rvc=" reads at its programming VCC, not at 0 V.
  fake.chipParams = {{"mem=", 5}, {"vcc=", 5000}, {"dly=", 10}};
  runner.SetupChosenChip();
  EXPECT_EQ(Run(kOpReadId), 0) << LastLine();
  EXPECT_EQ(LastLine(), "MFG ID =  C2,C2,FA,FA");

  for (int mem : {0, 6, 8, -1}) {
    fake.chipParams = {{"mem=", mem}, {"vcc=", 5000}, {"dly=", 10}};
    gApp.TypeIndex = 1;
    runner.SetupChosenChip();
    EXPECT_EQ(Run(kOpRead), 1) << mem;
    EXPECT_NE(LastLine().find("mem="), std::string::npos) << LastLine();
  }
  ExpectNoHazard();
}

}  // namespace mx29x161x_test
}  // namespace zelvar::test
