// The JEDEC flash sets ("P29F", "AMD29f040", "AT49F", "MX29F", "V29C51004", "SST29XF") end to end
// on the simulated programmer with datasheet models of the chips: every type row that has a model,
// through the runner with its contact check, the chip's own cells checked.
#include <algorithm>
#include <cstdio>
#include <vector>

#include "ChipFixture.h"
#include "link/LinkState.h"
#include "sim/chips/JedecFlash.h"
#include "sim/chips/Sst28sf.h"

namespace zelvar::test {
namespace flash29_test {

struct FlashRow {
  const char* key;
  int row;
  const char* part;
  const char* title;
  bool readId = true;  // the set offers Read ID
};

class FlashRoundTrip : public ChipFixture, public ::testing::WithParamInterface<FlashRow> {};

// A used chip: Erase (with the Blank the runner runs after it), Write, Verify, Read and Read ID,
// each with its result line; the write window reaches the top address lines.
TEST_P(FlashRoundTrip, EraseWriteVerifyReadAndId) {
  const FlashRow& c = GetParam();
  auto chip = sim::MakeJedecFlash(c.part);
  ASSERT_NE(chip, nullptr);
  Choose(c.key, c.row, chip, c.title);
  const std::uint32_t size = static_cast<std::uint32_t>(chip->cells.size());
  ASSERT_EQ(gApp.CodeLastAddress + 1, static_cast<std::int32_t>(size));
  std::fill(chip->cells.begin(), chip->cells.end(), 0x00);

  EXPECT_EQ(Click(kOpErase), 0) << LastLine();
  // V29C51004 erases the chip in a hundred passes.
  EXPECT_EQ(chip->chipErases, std::string(c.key) == "V29C51004" ? 100 : 1);
  EXPECT_NE(LastLine().find("Complete"), std::string::npos) << LastLine();
  EXPECT_TRUE(
      std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));

  // The sets that write the chip's whole size get the whole image; the others a window at the top.
  Pattern(size, 0x3C);
  // MX29F writes from address 0, AMD29f040 and AT49F the whole chip.
  const std::string key = c.key;
  const bool whole = key == "AMD29f040" || key == "AT49F" || key == "MX29F";
  const std::uint32_t start = whole ? 0 : size - 0x1000;
  Range(start, size - 1);
  EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
  EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
  for (std::uint32_t a = 0; a < size; ++a) {
    const std::uint8_t want = a >= start ? gApp.CodeBuffer[a - start] : 0xFF;
    ASSERT_EQ(chip->cells[a], want) << std::hex << a;
  }

  Range(0, 0xFFFFFF);
  std::vector<std::uint8_t> image(chip->cells.begin(), chip->cells.end());
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + size, 0);
  EXPECT_EQ(Click(kOpRead), 0) << LastLine();
  EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));

  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
  if (!c.readId) return;
  runner.IdClick();
  char id[48];
  const auto& sheet = chip->sheet();
  if (std::string(c.key) == "AMD29f040") {
    std::snprintf(id, sizeof id, "MFG:%02x, Device:%02x, Protect:00", sheet.maker, sheet.device);
  } else {
    std::snprintf(id, sizeof id, "%02x,%02x", sheet.maker, sheet.device);
  }
  EXPECT_EQ(LastLine(), id);
  ExpectNoHazard();
  EXPECT_EQ(prog->VccPin(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FlashRoundTrip,
    ::testing::Values(FlashRow{"P29F", 3, "AM29F010", "AMD: AM29F010"},
                      FlashRow{"P29F", 5, "AM29F040", "AMD: AM29F040"},
                      FlashRow{"AMD29f040", 3, "AM29F010", "AMD: AM29F010"},
                      FlashRow{"AMD29f040", 5, "AM29F040", "AMD: AM29F040"},
                      FlashRow{"AT49F", 1, "AT49F010", "ATMEL: AT49F010"},
                      FlashRow{"AT49F", 2, "AT49F020", "ATMEL: AT49F020"},
                      FlashRow{"AT49F", 3, "AT49F040", "ATMEL: AT49F040"},
                      FlashRow{"MX29F", 3, "MX29F040", "MACRONIX: MX29F040"},
                      FlashRow{"V29C51004", 3, "V29C51001T", "MOSEL: V29C51001T", false},
                      FlashRow{"V29C51004", 5, "V29C51004T", "MOSEL: V29C51004T", false},
                      FlashRow{"SST29XF", 3, "SST39SF010", "SST: SST39SF010A", false},
                      FlashRow{"SST29XF", 4, "SST39SF020", "SST: SST39SF020A", false},
                      FlashRow{"SST29XF", 5, "SST29SF040", "SST: SST29SF040", false},
                      FlashRow{"SST29XF", 6, "SST39VF512", "SST: SST39VF512", false},
                      FlashRow{"SST29XF", 9, "SST39VF040", "SST: SST39VF040", false}),
    [](const auto& info) { return std::string(info.param.key) + "_" + info.param.part; });

}  // namespace flash29_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace flash29_test {

class Flash29Test : public ChipFixture {};

// An unaligned start programs exactly the range, reads every block back and verifies with the
// same mapping; nothing below the start or past "Addr end" is programmed.
TEST_F(Flash29Test, UnalignedRangeProgramsOnlyItsBytes) {
  auto chip = sim::MakeJedecFlash("AM29F010");
  Choose("P29F", 3, chip, "AMD: AM29F010");
  Pattern(0x800);
  Range(0x1234, 0x1A33);
  prog->record.keepTranscript = true;
  EXPECT_EQ(Run(kOpWrite), 0);
  int blockReads = 0;
  for (const auto& cmd : prog->record.transcript) blockReads += cmd.op() == 39;
  EXPECT_EQ(blockReads, 2);  // both blocks the range touches read back
  EXPECT_EQ(Run(kOpVerify), 0);
  for (std::uint32_t a = 0; a < 0x20000; ++a) {
    const bool inside = a >= 0x1234 && a <= 0x1A33;
    ASSERT_EQ(chip->cells[a], inside ? gApp.CodeBuffer[a - 0x1234] : 0xFF) << std::hex << a;
  }
  ExpectNoHazard();
}

// DQ7 polling: a chip whose erase is done by the first poll gets one poll; one that never ends
// costs every poll, and the Blank after it fails.
TEST_F(Flash29Test, Dq7PollingEndsAtTheFirstPollOrNever) {
  auto chip = sim::MakeJedecFlash("AM29F040");
  Choose("AMD29f040", 5, chip, "AMD: AM29F040");
  chip->cells[7] = 0;
  chip->eraseUs = 1000;
  prog->record.keepTranscript = true;
  EXPECT_EQ(Run(kOpErase), 0);
  int polls = 0;
  for (const auto& cmd : prog->record.transcript) polls += cmd.op() == 3;
  EXPECT_EQ(polls, 1);
  EXPECT_EQ(chip->chipErases, 1);

  chip->cells[7] = 0;
  chip->eraseUs = 1e12;
  prog->record.Clear();
  EXPECT_EQ(Run(kOpErase), 0);
  polls = 0;
  for (const auto& cmd : prog->record.transcript) polls += cmd.op() == 3;
  EXPECT_EQ(polls, 300);
  EXPECT_EQ(Run(kOpBlank), 1);
  ExpectNoHazard();
}

// SST29XF's program time follows the speed radio, 3, 5 or 7 no-operation bytes after each byte;
// a value past the radio (a project file may hold any) takes the slowest, not a count from it.
TEST_F(Flash29Test, Sst29xfSpeedChoosesTheProgramTime) {
  struct Case {
    std::int32_t speed;
    int noOps;
  };
  auto chip = sim::MakeJedecFlash("SST39VF010");
  Choose("SST29XF", 7, chip, "SST: SST39VF010");
  EXPECT_EQ(prog->VccMillivolts(), 3300);
  for (const Case c : {Case{0, 3}, Case{1, 5}, Case{2, 7}, Case{100000, 7}, Case{-5, 7}}) {
    SCOPED_TRACE(c.speed);
    gApp.OptionValues[128] = c.speed;
    Pattern(0x100, static_cast<std::uint8_t>(c.speed));
    Range(0x1FF00, 0x1FFFF);
    prog->record.keepTranscript = true;
    prog->record.Clear();
    EXPECT_EQ(Run(kOpWrite), 0) << LastLine();
    // The run of no-operation bytes after each data strobe (command 43).
    std::vector<int> runs;
    const auto& t = prog->record.transcript;
    for (std::size_t i = 0; i < t.size(); ++i) {
      if (t[i].op() != 43) continue;
      int n = 0;
      while (i + 1 + n < t.size() && t[i + 1 + n].op() == 0) ++n;
      runs.push_back(n);
    }
    ASSERT_EQ(runs.size(), 0x100u);
    EXPECT_TRUE(std::all_of(runs.begin(), runs.end(), [&](int n) { return n == c.noOps; }));
    EXPECT_EQ(Run(kOpErase), 0);
  }
  ExpectNoHazard();
}

// Unprotect method 1 drives VCC's pin low and puts 12 V on WE#: refused with a message.
TEST_F(Flash29Test, Amd29f040RefusesUnprotectMethod1) {
  fake.chipParams["upr="] = 1;
  auto chip = sim::MakeJedecFlash("AM29F040");
  Choose("AMD29f040", 5, chip, "AMD: AM29F040");
  prog->record.keepTranscript = true;
  prog->record.Clear();
  EXPECT_EQ(Run(kOpUnProtect), 1);
  EXPECT_NE(LastLine().find("method 1 refused"), std::string::npos) << LastLine();
  EXPECT_EQ(Run(kOpErase), 1);
  EXPECT_EQ(prog->VppPin(), 0);
  EXPECT_EQ(prog->VccPin(), 0);
  ExpectNoHazard();
}

}  // namespace flash29_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace flash29_test {

class Sst28Test : public ChipFixture {};

// The sector flash with read-sequence protection: both erase methods, a write window at the top,
// Verify and Read, on the 5 V and the 3.3 V part. The chip ships protected: the set releases it
// before each erase and write, or nothing would change.
TEST_F(Sst28Test, EraseBothWaysWriteVerifyAndRead) {
  struct Case {
    const char* part;
    const char* title;
    int vcc;
    std::int32_t method;  // 0 chip, 1 sector
    bool read;            // Read walks the whole chip: once is enough for the set
  };
  for (const Case c : {Case{"SST28SF040", "SST: SST28SF040A", 5000, 0, true},
                       Case{"SST28VF040", "SST: SST28VF040A", 3300, 1, false}}) {
    SCOPED_TRACE(c.part);
    auto chip = sim::MakeSst28sf(c.part);
    ASSERT_NE(chip, nullptr);
    std::fill(chip->cells.begin(), chip->cells.end(), 0x00);
    fake.chipParams["vcc="] = c.vcc;  // the catalogue line's "vcc=" (none on the 5 V line)
    Choose("SST28VF040", 6, chip, c.title);
    gApp.ExpectedId = {0xBF, 0x04, 0, 0};  // the lines' "#bf 04": checked before each change
    EXPECT_EQ(prog->VccMillivolts(), c.vcc);
    gApp.OptionValues[128] = c.method;
    EXPECT_EQ(Click(kOpErase), 0) << LastLine();
    EXPECT_EQ(c.method == 0 ? chip->chipErases : chip->sectorErases, c.method == 0 ? 1 : 2048);
    EXPECT_TRUE(
        std::all_of(chip->cells.begin(), chip->cells.end(), [](auto b) { return b == 0xFF; }));

    Pattern(0x800, 0x21);
    Range(0x7F800, 0x7FFFF);
    EXPECT_EQ(Click(kOpWrite), 0) << LastLine();
    EXPECT_EQ(Click(kOpVerify), 0) << LastLine();
    for (std::uint32_t a = 0x7F000; a < 0x80000; ++a) {
      ASSERT_EQ(chip->cells[a], a >= 0x7F800 ? gApp.CodeBuffer[a - 0x7F800] : 0xFF)
          << std::hex << a;
    }
    if (c.read) {
      std::vector<std::uint8_t> image(chip->cells.begin(), chip->cells.end());
      Range(0, 0xFFFFF);
      EXPECT_EQ(Click(kOpRead), 0) << LastLine();
      EXPECT_TRUE(std::equal(image.begin(), image.end(), gApp.CodeBuffer.begin()));
    }
    ExpectNoHazard();
    EXPECT_EQ(prog->VccPin(), 0);
  }
}

// A chip erase cut short by VCC going off leaves the chip as it was: the erase waits the chip's
// erase time, and a corrupted cell then fails Verify at its address.
TEST_F(Sst28Test, ChipEraseLastsAndVerifyNamesAWrongCell) {
  auto chip = sim::MakeSst28sf("SST28SF040");
  chip->cells[0x40000] = 0;
  Choose("SST28VF040", 6, chip, "SST: SST28SF040A");
  gApp.OptionValues[128] = 0;
  EXPECT_EQ(Run(kOpErase), 0);
  EXPECT_EQ(chip->chipErases, 1);
  EXPECT_EQ(Run(kOpBlank), 0) << LastLine();
  Pattern(0x100);
  Range(0x100, 0x1FF);
  EXPECT_EQ(Run(kOpWrite), 0);
  chip->cells[0x123] ^= 0x01;
  EXPECT_EQ(Run(kOpVerify), 1);
  EXPECT_EQ(gLink.FailAddress, 0x23u);
  ExpectNoHazard();
}

}  // namespace flash29_test
}  // namespace zelvar::test
