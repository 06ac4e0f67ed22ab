// The firmware-hub sets "SST49LF008" and "I82802" on the "i82802" design with the firmware-hub
// models: the round trip of every row with a model through the runner, the SST block erase and
// range end, the SST49LF003A's window, and the 82802 signature check.
#include <algorithm>

#include "ChipFixture.h"
#include "algorithms/frame/SetFrame.h"
#include "link/LinkState.h"
#include "sim/chips/FirmwareHub.h"

namespace zelvar::test {
namespace firmware_hub_test {

struct HubRow {
  const char* key;
  int row;
  const char* part;
  const char* title;
  std::uint8_t device;
  std::uint32_t start, end;  // a write window across a column edge near the top
  bool readWhole;            // Read takes the whole chip: one row per set runs it
};

bool IsSst(const HubRow& r) {
  return std::string(r.key) == "SST49LF008";
}

class FirmwareHubFixture : public ChipFixture {
 protected:
  std::shared_ptr<sim::FirmwareHub> Seat(const std::string& key, int row, const char* part,
                                         const std::string& title) {
    auto chip = sim::MakeFirmwareHub(part);
    Choose(key, row, chip, title, "i82802");
    return chip;
  }
  bool AllErased(const sim::FirmwareHub& chip) const {
    return std::all_of(chip.cells.begin() + chip.sheet().first, chip.cells.end(),
                       [](auto c) { return c == 0xFF; });
  }
};

class FirmwareHubRoundTrip : public FirmwareHubFixture,
                             public ::testing::WithParamInterface<HubRow> {};

TEST_P(FirmwareHubRoundTrip, EraseWriteVerifyReadAndId) {
  const HubRow& r = GetParam();
  auto chip = Seat(r.key, r.row, r.part, r.title);
  const std::uint8_t maker = IsSst(r) ? 0xBF : 0x89;
  gApp.ExpectedId = {maker, r.device, 0, 0};
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  // The Blank after the erase checks the window; the cells show the whole chip erased.
  Range(r.start, r.end);
  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  EXPECT_TRUE(AllErased(*chip));

  // The SST set takes the buffer at the chip's addresses, the 82802 set from offset 0.
  const std::uint32_t offset = IsSst(r) ? r.start : 0;
  Pattern(offset + r.end - r.start + 1, 0x3C);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = chip->sheet().first; a < chip->cells.size(); ++a) {
    const bool in = a >= r.start && a <= r.end;
    ASSERT_EQ(chip->cells[a], in ? gApp.CodeBuffer[offset + a - r.start] : 0xFF) << std::hex << a;
  }

  // Read brings every address line's content back to its own address.
  if (r.readWhole) {
    for (std::uint32_t a = chip->sheet().first; a < chip->cells.size(); a += 0x3FF)
      chip->cells[a] &= static_cast<std::uint8_t>(a >> 10);
    Range(0, 0xFFFFFF);
    EXPECT_EQ(Click(kOpRead), 0) << LastLine();
    EXPECT_TRUE(std::equal(chip->cells.begin() + chip->sheet().first, chip->cells.end(),
                           gApp.CodeBuffer.begin() + chip->sheet().first));
  }
  runner.IdClick();
  char id[16];
  std::snprintf(id, sizeof id, "MFG ID=%02x,%02x", maker, r.device);
  EXPECT_EQ(LastLine(), id);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FirmwareHubRoundTrip,
    ::testing::Values(
        HubRow{"SST49LF008", 1, "SST49LF002A", "SST: SST49LF002A", 0x57, 0x3F9F0, 0x3FFFF, false},
        HubRow{"SST49LF008", 2, "SST49LF003A", "SST: SST49LF003A", 0x1B, 0x7F7F0, 0x7FFFF, false},
        HubRow{"SST49LF008", 3, "SST49LF004A", "SST: SST49LF004A", 0x60, 0x7F7F0, 0x7FFFF, false},
        HubRow{"SST49LF008", 4, "SST49LF008A", "SST: SST49LF008A", 0x5A, 0xFF7F0, 0xFFFFF, false},
        HubRow{"I82802", 2, "82802AB", "INTEL: N82802AB", 0xAD, 0x7F7F3, 0x7FFFF, true},
        HubRow{"I82802", 3, "82802AC", "INTEL: N82802AC", 0xAC, 0xFF7F3, 0xFFFFF, false}),
    [](const auto& info) { return std::string(info.param.part); });

// "sec=" erases every block with the block command: each step clears its whole block, not the
// 4 KiB sector at its start.
TEST_F(FirmwareHubFixture, SstBlockEraseClearsWholeBlocks) {
  for (const auto& [row, part, block] :
       {std::tuple{1, "SST49LF002A", 0x4000u}, std::tuple{3, "SST49LF004A", 0x10000u}}) {
    auto chip = Seat("SST49LF008", row, part, std::string("SST: ") + part);
    fake.chipParams["sec="] = 1;
    std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
    Range(0, 0x3FF);
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
    EXPECT_TRUE(AllErased(*chip)) << part;
    ASSERT_EQ(chip->erased.size(), chip->cells.size() / block) << part;
    for (std::size_t i = 0; i < chip->erased.size(); ++i)
      EXPECT_EQ(chip->erased[i], std::pair(static_cast<std::uint32_t>(i * block), block));
    ExpectNoHazard();
  }
}

// Write stops at "Addr end": the byte after it stays erased.
TEST_F(FirmwareHubFixture, SstWriteStopsAtTheRangeEnd) {
  auto chip = Seat("SST49LF008", 3, "SST49LF004A", "SST: SST49LF004A");
  Pattern(0x2000, 0x00);
  gApp.CodeBuffer[0x1233] = 0x12;
  gApp.CodeBuffer[0x1234] = 0x34;
  Range(0x1000, 0x1233);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(chip->cells[0x0FFF], 0xFF);
  EXPECT_EQ(chip->cells[0x1000], gApp.CodeBuffer[0x1000]);
  EXPECT_EQ(chip->cells[0x1233], 0x12);
  EXPECT_EQ(chip->cells[0x1234], 0xFF);
  ExpectNoHazard();
}

// The SST49LF003A starts at 0x20000: Read fills the buffer below it with 0xFF and reads the chip
// whole (the SST set's Read), a failed compare names the chip address, and data below the chip
// fails Verify and is not written.
TEST_F(FirmwareHubFixture, Sst003AReadsFromItsFirstAddress) {
  auto chip = Seat("SST49LF008", 2, "SST49LF003A", "SST: SST49LF003A");
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x20000, 0x00);
  chip->cells[0x20000] = 0x11;
  chip->cells[0x7FFFF] = 0x22;
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::all_of(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + 0x20000,
                          [](auto c) { return c == 0xFF; }));
  EXPECT_EQ(gApp.CodeBuffer[0x20000], 0x11);
  EXPECT_EQ(gApp.CodeBuffer[0x7FFFF], 0x22);
  EXPECT_EQ(Click(kOpBlank), 1);
  EXPECT_EQ(gLink.FailAddress, 0x20000u);
  EXPECT_EQ(gLink.FailByte, 0x11);

  // Below 0x20000 the chip has nothing: the buffer as read verifies, data there fails Verify and
  // stops Write before it changes anything.
  Range(0, 0xFFFFFF);
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  gApp.CodeBuffer[0x1FFFF] = 0x5A;
  EXPECT_EQ(Click(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1FFFFu) << LastLine();
  gApp.CodeBuffer[0x20000] = 0x00;
  EXPECT_EQ(Click(kOpWrite), 1);
  EXPECT_EQ(gLink.FailAddress, 0x1FFFFu) << LastLine();
  EXPECT_EQ(chip->cells[0x20000], 0x11);
  ExpectNoHazard();
}

// A chip whose signature differs from the line's is not touched, and the failure is reported
// even after an operation that succeeded.
TEST_F(FirmwareHubFixture, I82802TypeErrorFailsAndLeavesTheChip) {
  auto chip = Seat("I82802", 3, "82802AB", "INTEL: N82802AC");
  EXPECT_EQ(Run(kOpReadId), 0);
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
  gApp.ExpectedId = {0x89, 0xAC, 0, 0};
  for (int op : {kOpErase, kOpWrite, kOpBlank}) {
    gLink.StatusWord = 0;
    gApp.CurrentDispatcher(op, gApp.CodeBuffer.data(), gApp.OptionValues.data(), nullptr);
    EXPECT_EQ(gLink.StatusWord, 1) << op;
    const auto log = fake.LogTexts();
    ASSERT_GE(log.size(), 2u);
    EXPECT_EQ(log[log.size() - 2], "MFG ID=89,ad");
    EXPECT_EQ(log.back(), "Type error!");
  }
  EXPECT_TRUE(chip->erased.empty());
  EXPECT_EQ(chip->programs, 0);
  ExpectNoHazard();
}

// Rows 4 to 7 name no chip: every operation refuses without touching the programmer.
TEST_F(FirmwareHubFixture, I82802UnusedRowIsRefused) {
  auto chip = Seat("I82802", 5, "82802AC", "INTEL: ?");
  EXPECT_EQ(Run(kOpRead), 1);
  EXPECT_EQ(std::string(frame::kNoSuchType).rfind(LastLine(), 0), 0u) << LastLine();
  EXPECT_EQ(prog->VccPin(), 0);
}

}  // namespace firmware_hub_test
}  // namespace zelvar::test
