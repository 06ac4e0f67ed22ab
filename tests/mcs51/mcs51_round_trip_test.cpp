// Every type row of the 8051 sets that has a chip model, end to end on the simulated programmer
// through the operation runner and its contact check: Erase, Blank (of the erased chip and of the
// written one), Write, Verify and Read against the chip's own cells, the type check refusing a
// chip whose signature differs, and Lock with what it does to the chip. No row may record a hazard
// or a protocol error.
#include <gtest/gtest.h>

#include "Mcs51Fixture.h"
#include "sim/chips/Mcs51.h"

namespace zelvar::test {
namespace mcs51_round_trip_test {

struct RoundTrip {
  ChipLine line;
  const char* part;
  std::uint32_t codeBytes;
  int lockWord;                 // the OptionValues word of the lock choice
  std::uint32_t lockValue;      // the "Lock" radio's item, or the lock rows' bits
  std::uint8_t lockBits;        // what that programs
  std::uint32_t dataBytes = 0;  // the data EEPROM behind the code
  bool dataInCode = false;      // the EEPROM is the code range's tail, not a data area of its own
};

void PrintTo(const RoundTrip& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.row << " " << r.part;
}

class Mcs51RoundTrip : public Mcs51Fixture, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(Mcs51RoundTrip, ProgramsVerifiesReadsRefusesAndLocks) {
  const RoundTrip& r = GetParam();
  auto chip = sim::MakeMcs51(r.part);
  ASSERT_NE(chip, nullptr);
  // A used chip: erase must clear it.
  for (std::uint32_t a = 0; a < r.codeBytes; a += 97) chip->cells[a] = 0x12;
  for (std::uint32_t a = 0; a < chip->data.size(); a += 97) chip->data[a] = 0x12;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  const std::uint32_t image = r.codeBytes + r.dataBytes;
  EXPECT_EQ(gApp.CodeLastAddress,
            static_cast<std::int32_t>((r.dataInCode ? image : r.codeBytes) - 1));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(std::all_of(chip->cells.begin(), chip->cells.end(), [](int c) { return c == 0xFF; }));
  EXPECT_TRUE(std::all_of(chip->data.begin(), chip->data.end(), [](int c) { return c == 0xFF; }));
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();

  const bool dataArea = r.dataBytes && !r.dataInCode;
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(dataArea ? r.codeBytes : 0));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(dataArea ? r.dataBytes : 0));
  Pattern(image);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->cells[a], gApp.CodeBuffer[a]) << "chip address " << a;
  }
  for (std::uint32_t a = 0; a < r.dataBytes; ++a) {
    ASSERT_EQ(chip->data[a], gApp.CodeBuffer[r.codeBytes + a]) << "data address " << a;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  runner.BlankClick();
  EXPECT_EQ(gLink.StatusWord, 1);

  // Verify sees a changed data byte too.
  if (r.dataBytes) {
    gApp.CodeBuffer[image - 1] ^= 0x40;
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
    EXPECT_EQ(gLink.FailAddress, image - 1);
    gApp.CodeBuffer[image - 1] ^= 0x40;
  }

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + image, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->cells[a]) << "buffer address " << a;
  }
  for (std::uint32_t a = 0; a < r.dataBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[r.codeBytes + a], chip->data[a]) << "data address " << a;
  }

  // A chip whose signature differs from the line's is refused before any cell changes.
  gApp.ExpectedId[1] ^= 0x0F;
  Pattern(image, 0x11);
  const int writes = chip->writes;
  runner.WriteClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_TRUE(Logged("Type error!")) << LastLine();
  EXPECT_EQ(chip->writes, writes);
  gApp.ExpectedId[1] ^= 0x0F;
  Pattern(image);

  gApp.OptionValues[r.lockWord] = static_cast<std::int32_t>(r.lockValue);
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lockBits, r.lockBits)
      << "lost " << chip->lost << " vpp " << prog->VppMillivolts();
  // With lock bit 2 the chip no longer shows its code: Verify fails at the first byte.
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, (r.lockBits & 2) ? 1 : 0) << LastLine();
  if (r.lockBits & 2) {
    EXPECT_EQ(gLink.FailAddress, 0u);
  }

  EXPECT_EQ(prog->VccPin(), 0);
  EXPECT_EQ(prog->VppPin(), 0);
  ExpectClean();
}

constexpr std::array<std::uint8_t, 4> Id(std::uint8_t a, std::uint8_t b) {
  return {a, b, 0, 0};
}

INSTANTIATE_TEST_SUITE_P(
    Rows, Mcs51RoundTrip,
    ::testing::Values(
        RoundTrip{{"P89C51", 1, "ATMEL: AT89C51", Id(0x1E, 0x51)}, "AT89C51", 4096, 128, 1, 3},
        RoundTrip{{"P89C51", 2, "ATMEL: AT89LV51", Id(0x1E, 0x61)}, "AT89LV51", 4096, 128, 0, 1},
        RoundTrip{{"P89C51", 3, "ATMEL: AT89C52", Id(0x1E, 0x52)}, "AT89C52", 8192, 128, 2, 7},
        RoundTrip{{"P89C51", 4, "ATMEL: AT89LV52", Id(0x1E, 0x62)}, "AT89LV52", 8192, 128, 1, 3},
        RoundTrip{{"AT89S5X", 1, "ATMEL: AT89S51", Id(0x1E, 0x51)}, "AT89S51", 4096, 128, 1, 3},
        RoundTrip{{"AT89S5X", 2, "ATMEL: AT89S52", Id(0x1E, 0x52)}, "AT89S52", 8192, 128, 2, 7},
        RoundTrip{{"AT89S8253", 1, "ATMEL: AT89S8253", Id(0x1E, 0x73)},
                  "AT89S8253",
                  12288,
                  1,
                  3,
                  3,
                  2048},
        // The AT89LS8252's first row reaches its data EEPROM at 2000H behind the code.
        RoundTrip{{"AT89X8252", 1, "ATMEL: AT89LS8252", Id(0x1E, 0x72)},
                  "AT89LS8252",
                  8192,
                  128,
                  2,
                  7,
                  2048,
                  true},
        RoundTrip{
            {"AT89X8252", 2, "ATMEL: AT89LS8252", Id(0x1E, 0x72)}, "AT89LS8252", 8192, 128, 0, 1},
        RoundTrip{
            {"AT89X8252", 3, "ATMEL: AT89LS53", Id(0x1E, 0x53)}, "AT89LS53", 12288, 128, 1, 3},
        RoundTrip{{"AT89X8252", 3, "ATMEL: AT89S53", Id(0x1E, 0x53)}, "AT89S53", 12288, 128, 2, 7}),
    [](const auto& info) {
      return info.param.line.key + "_" + std::to_string(info.param.line.row) + "_" +
             info.param.part;
    });

}  // namespace mcs51_round_trip_test
}  // namespace zelvar::test
