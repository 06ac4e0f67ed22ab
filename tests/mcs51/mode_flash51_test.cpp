// "SM8951", "SM89516" and "MSU2958" on the simulated programmer with the SyncMOS and MSU models,
// through the operation runner: every catalogue line erased, blank-checked, written, verified,
// read and locked against the chip's cells with every supply off after each operation; a row
// larger than the chip fails Verify; and the rules the sets must keep (EA/VPP level, erase time,
// the MSU pre-erase) each fail the round trip when broken.
#include <gtest/gtest.h>

#include <algorithm>

#include "Mcs51Fixture.h"
#include "sim/chips/ChipModels.h"
#include "sim/chips/ModeFlash51.h"

namespace zelvar::test {
namespace mode_flash51_test {

struct Line {
  const char* key;
  int row;
  const char* part;
  std::uint32_t bytes;
};

void PrintTo(const Line& l, std::ostream* os) {
  *os << l.key << " " << l.row << " " << l.part;
}

class ModeFlashFixture : public Mcs51Fixture {
 protected:
  std::shared_ptr<sim::ModeFlash51Chip> Seat(const Line& l, const char* part = nullptr) {
    auto chip = sim::MakeModeFlash51(part ? part : l.part);
    EXPECT_NE(chip, nullptr);
    Choose({l.key, l.row, std::string(l.key[0] == 'M' ? "MSU: " : "SYNCMOS: ") + l.part}, chip);
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
    return chip;
  }
  void Click(void (OperationRunner::*click)(), const char* what) {
    (runner.*click)();
    ExpectEndState(what);
  }
};

class ModeFlashRoundTrip : public ModeFlashFixture, public ::testing::WithParamInterface<Line> {};

TEST_P(ModeFlashRoundTrip, ErasesWritesVerifiesReadsAndLocks) {
  const Line& l = GetParam();
  // The catalogue name seats this model.
  auto named = sim::MakeChipModel(std::string(l.key[0] == 'M' ? "MSU: " : "SYNCMOS: ") + l.part);
  ASSERT_NE(named, nullptr);
  EXPECT_EQ(named->Name(), l.part);

  auto chip = Seat(l);
  for (std::uint32_t a = 0; a < l.bytes; a += 97) chip->cells[a] = 0x12;
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(l.bytes - 1));

  Click(&OperationRunner::EraseClick, "Erase");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_GE(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));
  Click(&OperationRunner::BlankClick, "Blank");
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  Pattern(l.bytes);
  Click(&OperationRunner::WriteClick, "Write");
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < l.bytes; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << "chip address " << a;
  }
  Click(&OperationRunner::VerifyClick, "Verify");
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[l.bytes - 1] ^= 0x10;
  Click(&OperationRunner::VerifyClick, "Verify(changed)");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, l.bytes - 1);
  gApp.CodeBuffer[l.bytes - 1] ^= 0x10;

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + l.bytes, 0);
  Click(&OperationRunner::ReadClick, "Read");
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < l.bytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << "buffer address " << a;
  }

  Click(&OperationRunner::ProtectClick, "Lock");
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(chip->locked) << "lost " << chip->lost;
  // Locked, the code reads 0xFF: Verify fails at the first byte that is not 0xFF.
  Click(&OperationRunner::VerifyClick, "Verify(locked)");
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->cells[0], gApp.CodeBuffer[0]);
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ModeFlashRoundTrip,
    ::testing::Values(Line{"SM8951", 1, "SM8951A", 4096}, Line{"SM8951", 2, "SM8952A", 8192},
                      Line{"SM8951", 3, "SM8954C", 16384}, Line{"SM8951", 4, "SM8958C", 32768},
                      Line{"SM89516", 2, "SM8908", 8192}, Line{"SM89516", 4, "SM8954A", 16384},
                      Line{"SM89516", 5, "SM8958A", 32768}, Line{"SM89516", 6, "SM89516A", 65536},
                      Line{"MSU2958", 1, "MSU2951", 4096}, Line{"MSU2958", 2, "MSU2952", 8192},
                      Line{"MSU2958", 4, "MSU2954", 16384}, Line{"MSU2958", 6, "MSU2956", 24576},
                      Line{"MSU2958", 8, "MSU2958", 32768}),
    [](const auto& info) { return std::string(info.param.key) + "_" + info.param.part; });

// A row larger than the chip seated: what lies past the chip is not written and Verify fails
// there; the chip's own bytes are right.
TEST_F(ModeFlashFixture, RowLargerThanTheChipFailsVerify) {
  for (const auto& [line, part] : {std::pair{Line{"SM8951", 2, "SM8952A", 8192}, "SM8951A"},
                                   {Line{"SM89516", 4, "SM8954A", 16384}, "SM8908"},
                                   {Line{"MSU2958", 2, "MSU2952", 8192}, "MSU2951"}}) {
    auto chip = Seat(line, part);
    Click(&OperationRunner::EraseClick, "Erase");
    Pattern(line.bytes);
    Click(&OperationRunner::WriteClick, "Write");
    EXPECT_EQ(chip->cells.back(), gApp.CodeBuffer[chip->cells.size() - 1]) << part;
    Click(&OperationRunner::VerifyClick, "Verify");
    EXPECT_EQ(gLink.StatusWord, 1) << part;
    EXPECT_EQ(gLink.FailAddress, chip->cells.size()) << part;
    ExpectClean();
  }
}

// The MSU erase with no time after its pulse (an "Era Delay" item past the list): the pre-erase
// clears the cells, the erase is lost, and Erase fails at its blank check.
TEST_F(ModeFlashFixture, MsuEraseWithoutItsTimeIsLost) {
  auto chip = Seat({"MSU2958", 1, "MSU2951", 4096});
  gApp.OptionValues[128] = 3;
  Click(&OperationRunner::EraseClick, "Erase");
  EXPECT_EQ(chip->erases, 0);
  EXPECT_EQ(chip->preErases, 1);
  EXPECT_EQ(chip->cells[0], 0x00);
  EXPECT_NE(gLink.StatusWord, 0);
  ExpectClean();
}

}  // namespace mode_flash51_test
}  // namespace zelvar::test
