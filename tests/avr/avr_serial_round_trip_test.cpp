// Every type row of the high-voltage serial AVR sets that has a chip model, end to end on the
// simulated programmer through the operation runner and its contact check: Erase (with Blank),
// Write, Verify, EEPROM write, Read (flash, EEPROM, fuse), fuse write and read-back, Security with
// what it does to the chip, the calibration store and Read ID, against the chip's own cells, on
// both seats of the 8-pin chip. No row may record a hazard or a protocol error.
#include <gtest/gtest.h>

#include "AvrFixture.h"
#include "sim/chips/AvrHvSerial.h"

namespace zelvar::test {
namespace avr_serial_round_trip_test {

struct RoundTrip {
  AvrLine line;
  const char* part;
  int model;     // the programmer model, which decides the seat
  int firstPin;  // the chip's pin 1 in the socket
  std::uint32_t codeBytes;
  std::uint32_t eepromBytes;
  std::uint8_t fuseValue;  // OptionValues word 0 for WrFuse
  std::uint8_t fuse;       // the chip's fuse byte then (bits the part lacks read 1)
  std::uint8_t gridFuse;   // word 0 after Read config (the bits the grid's rows name)
  std::uint8_t lockValue;  // OptionValues word 1 for Security
  bool calibration;
};

void PrintTo(const RoundTrip& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.row << " " << r.part << " on " << r.model;
}

class AvrSerialRoundTrip : public AvrFixture, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(AvrSerialRoundTrip, ProgramsReadsFusesLocksAndCalibrates) {
  const RoundTrip& r = GetParam();
  if (r.model != 6200) Connect(r.model);
  prog->record.keepTranscript = false;
  auto chip = sim::MakeAvrHvSerial(r.part);
  ASSERT_NE(chip, nullptr);
  for (std::uint32_t a = 0; a < r.codeBytes; a += 37) chip->flash[a] = 0x12;
  for (std::uint32_t a = 0; a < r.eepromBytes; a += 7) chip->eeprom[a] = 0x34;
  chip->lock = 0xF9;
  Choose(r.line, chip, r.firstPin);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.codeBytes - 1));
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(r.eepromBytes ? r.codeBytes : 0));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(r.eepromBytes));

  runner.EraseClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1) << "entries " << chip->entries << " lost " << chip->lost;
  EXPECT_EQ(chip->lock, 0xFF);
  EXPECT_TRUE(
      std::all_of(chip->eeprom.begin(), chip->eeprom.end(), [](int c) { return c == 0xFF; }));

  const std::uint32_t image = r.codeBytes + r.eepromBytes;
  Pattern(image);
  runner.WriteClick();
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(chip->flash[a], gApp.CodeBuffer[a])
        << "flash address " << a << " lost " << chip->lost;
  }
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x40;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.codeBytes - 1);
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x40;

  // A part without EEPROM refuses WrData instead of passing on nothing.
  EXPECT_EQ(Go(kOpWriteData), r.eepromBytes ? 0 : 1) << LastLine();
  for (std::uint32_t a = 0; a < r.eepromBytes; ++a) {
    ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[r.codeBytes + a]) << "EEPROM address " << a;
  }

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + image, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < image; ++a) {
    const std::uint8_t want = a < r.codeBytes ? chip->flash[a] : chip->eeprom[a - r.codeBytes];
    ASSERT_EQ(gApp.CodeBuffer[a], want) << "buffer address " << a;
  }

  gApp.OptionValues[0] = r.fuseValue;
  fake.yesNoAnswers = {true};  // some values turn serial programming off: the runner asks first
  runner.ConfigClick();
  fake.yesNoAnswers.clear();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuse, r.fuse);
  gApp.OptionValues[0] = 0;
  runner.ReadConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  char line[16];
  std::snprintf(line, sizeof line, "Fuse=%02x", r.fuse);
  EXPECT_TRUE(Logged(line)) << LastLine();
  EXPECT_EQ(gApp.OptionValues[0], r.gridFuse);

  gApp.OptionValues[1] = r.lockValue;
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lock, r.lockValue | 0xF9);
  // With LB1 and LB2 programmed the chip no longer shows its flash.
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, (r.lockValue & 0x06) == 0 ? 1 : 0);

  if (r.calibration) {
    const std::uint32_t at = r.codeBytes + 3;
    gApp.OptionValues[64] = static_cast<std::int32_t>(at);
    EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
    EXPECT_EQ(gApp.CodeBuffer[at], chip->sheet().calibration[0]);
  }

  gApp.ReadId = {};
  runner.IdClick();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gApp.ReadId[i], chip->sheet().signature[i]) << i;

  ExpectSuppliesOff();
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AvrSerialRoundTrip,
    ::testing::Values(RoundTrip{{"ATTINY1", 1, "ATMEL: ATtiny11", 0},
                                "ATtiny11",
                                6200,
                                11,
                                1024,
                                0,
                                0x0A,
                                0xEA,
                                0xEA,
                                0xF9,
                                false},
                      RoundTrip{{"ATTINY1", 2, "ATMEL: ATtiny12", 0},
                                "ATtiny12",
                                6200,
                                11,
                                1024,
                                64,
                                0x6A,
                                0x6A,
                                0x6A,
                                0xF9,
                                true},
                      RoundTrip{{"ATTINY1", 3, "ATMEL: ATtiny15", 0},
                                "ATtiny15",
                                6200,
                                11,
                                1024,
                                64,
                                0x51,
                                0x5D,
                                0x5D,
                                0xFD,
                                true},
                      // Models 6300 and up seat the chip from socket pin 17 (rows 11 and up).
                      RoundTrip{{"ATTINY1", 2, "ATMEL: ATtiny12", 0},
                                "ATtiny12",
                                6300,
                                17,
                                1024,
                                64,
                                0x93,
                                0x93,
                                0x93,
                                0xFB,
                                true},
                      RoundTrip{{"AT90S2323HI", 1, "ATMEL: AT90S2323", 0},
                                "AT90S2323",
                                6200,
                                11,
                                2048,
                                128,
                                0xDE,
                                0xDE,
                                0x00,
                                0xF9,
                                false},
                      // Below model 6300 the AT90S2343 sits from socket pin 11 (row 2).
                      RoundTrip{{"AT90S2323HI", 2, "ATMEL: AT90S2343", 0},
                                "AT90S2343",
                                6200,
                                11,
                                2048,
                                128,
                                0xFE,
                                0xFE,
                                0x20,
                                0xF9,
                                false},
                      RoundTrip{{"AT90S2323HI", 2, "ATMEL: AT90S2343", 0},
                                "AT90S2343",
                                6400,
                                17,
                                2048,
                                128,
                                0xFF,
                                0xFF,
                                0x21,
                                0xFD,
                                false}),
    [](const auto& info) {
      return info.param.line.key + "_" + std::to_string(info.param.line.row) + "_" +
             info.param.part + "_" + std::to_string(info.param.model);
    });

}  // namespace avr_serial_round_trip_test
}  // namespace zelvar::test
