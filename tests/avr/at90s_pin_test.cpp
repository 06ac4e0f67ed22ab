// "AT90S": the AT90S1200 and AT90S2313 with their programming signals on socket pins and the data
// on the 20-pin port of "zor5103", end to end through the runner and its contact check, against
// the chip model's own cells; the refused 40-pin rows and the lock radio.
#include <gtest/gtest.h>

#include <algorithm>

#include "AvrFixture.h"
#include "sim/chips/AvrHvParallel.h"

namespace zelvar::test {
namespace at90s_pin_test {

struct PinRow {
  AvrLine line;
  const char* part;
  std::uint32_t codeBytes, eepromBytes;
};

void PrintTo(const PinRow& r, std::ostream* os) {
  *os << r.part;
}

class At90sPinRoundTrip : public AvrFixture, public ::testing::WithParamInterface<PinRow> {};

TEST_P(At90sPinRoundTrip, ErasesWritesVerifiesReadsFusesAndLocks) {
  const PinRow& r = GetParam();
  auto chip = sim::MakeAvrHvParallel(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 37) chip->flash[a] = 0x00;
  chip->eeprom[3] = 0x11;
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(prog->ChipPinAt(11), 1);  // pin 1 in socket pin 11
  EXPECT_EQ(gApp.GroundPin, 20);

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1) << "lost " << chip->lost;
  EXPECT_TRUE(std::all_of(chip->flash.begin(), chip->flash.end(), [](int c) { return c == 0xFF; }));

  const std::uint32_t image = r.codeBytes + r.eepromBytes;
  Pattern(image);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->flash[a], gApp.CodeBuffer[a]) << "flash " << a << " lost " << chip->lost;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x80;  // the top byte reaches the highest address line
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.codeBytes - 1);
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x80;

  EXPECT_EQ(Go(kOpWriteData), 0) << LastLine();
  for (std::uint32_t a = 0; a < r.eepromBytes; ++a) {
    ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[r.codeBytes + a]) << "EEPROM " << a;
  }
  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + image, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(std::equal(chip->flash.begin(), chip->flash.end(), gApp.CodeBuffer.begin()));
  EXPECT_EQ(Go(kOpReadData), 0) << LastLine();
  EXPECT_TRUE(
      std::equal(chip->eeprom.begin(), chip->eeprom.end(), gApp.CodeBuffer.begin() + r.codeBytes));

  // RCEN/FSTRT programmed, SPIEN kept programmed.
  gApp.OptionValues[0] = 0x00;
  runner.ConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuses[0] & 0x21, 0x00) << "lost " << chip->lost;

  // "No Write": LB1 only.
  gApp.OptionValues[128] = 1;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lock & 0x03, 0x02);
  gApp.OptionValues[128] = 3;
  gApp.OptionValues[0] = 0xFF;
  runner.ReadConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged("Config=")) << LastLine();
  EXPECT_EQ(gApp.OptionValues[128], 1);
  EXPECT_EQ(gApp.OptionValues[0] & 0x21, 0x00);
  ExpectSuppliesOff();
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, At90sPinRoundTrip,
    ::testing::Values(PinRow{{"AT90S", 1, "MPU ATMEL AT90S1200"}, "AT90S1200", 1024, 64},
                      PinRow{{"AT90S", 2, "MPU ATMEL AT90S2313"}, "AT90S2313", 2048, 128}));

using At90sPin = AvrFixture;

// An unknown radio value locks nothing; the 40-pin rows are refused before any pin moves.
TEST_F(At90sPin, RefusesUnknownLockModesAndThe40PinRows) {
  auto chip = sim::MakeAvrHvParallel("AT90S1200");
  Choose({"AT90S", 1, "MPU ATMEL AT90S1200"}, chip);
  gApp.OptionValues[128] = 7;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(chip->lock, 0xFF);

  for (int row : {3, 4}) {
    Choose({"AT90S", row, "MPU ATMEL AT90S8515"}, sim::MakeAvrHvParallel("AT90S8515"));
    EXPECT_TRUE(Logged("use set AT90S8515")) << row;
    runner.WriteClick();
    EXPECT_EQ(gLink.StatusWord, 1) << row;
  }
  ExpectClean();
}

// Each byte's write is waited out on RDY/BSY: no load lands while the chip is busy.
TEST_F(At90sPin, WaitsOnReadyRatherThanATime) {
  auto chip = sim::MakeAvrHvParallel("AT90S1200");
  Choose({"AT90S", 1, "MPU ATMEL AT90S1200"}, chip);
  Pattern(1024 + 64);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lost, 0);
  EXPECT_EQ(chip->entries, 2);  // the signature read before the change, then the write
  EXPECT_EQ(chip->writes, 1024);
  ExpectClean();
}

}  // namespace at90s_pin_test
}  // namespace zelvar::test
