// Every type row of the high-voltage parallel AVR sets that has a chip model, end to end on the
// simulated programmer through the operation runner and its contact check: Erase (with Blank),
// Write, Verify, EEPROM write, Read (flash, EEPROM, fuses), fuse write and read-back, Security
// with what it does to the chip, the calibration store and Read ID, against the chip's own cells.
// No row may record a hazard or a protocol error.
#include <gtest/gtest.h>

#include <algorithm>
#include <utility>
#include <vector>

#include "AvrFixture.h"
#include "app/core/startup/SimSocket.h"
#include "sim/chips/AvrHvParallel.h"

namespace zelvar::test {
namespace avr_parallel_round_trip_test {

using Words = std::vector<std::pair<int, std::uint32_t>>;

struct RoundTrip {
  AvrLine line;
  const char* part;
  std::uint32_t codeBytes;
  std::uint32_t eepromBytes;
  Words fuseWords;                    // OptionValues words WrFuse writes from
  std::array<std::uint8_t, 3> fuses;  // what the chip then holds: low, high, extended
  Words lockWords;                    // OptionValues words Security writes from
  std::uint8_t lock;                  // the chip's lock byte after it
  const char* configLine;             // Read config's log line of the bytes read
  Words readBack;           // the words the config grid then holds (the bits its rows name)
  bool calibration = true;  // the set offers the calibration store
  // Rows up to this size run every pass; a larger row of a set whose smaller row does runs only
  // the passes that reach its top address lines.
  std::uint32_t everyPassUpTo = 16384;
};

void PrintTo(const RoundTrip& r, std::ostream* os) {
  *os << r.line.key << " " << r.line.row << " " << r.part;
}

class AvrParallelRoundTrip : public AvrFixture, public ::testing::WithParamInterface<RoundTrip> {};

TEST_P(AvrParallelRoundTrip, ProgramsReadsFusesLocksAndCalibrates) {
  const RoundTrip& r = GetParam();
  auto chip = sim::MakeAvrHvParallel(r.part);
  ASSERT_NE(chip, nullptr);
  // A used, locked chip: Erase must clear it all.
  for (std::uint32_t a = 0; a < r.codeBytes; a += 97) chip->flash[a] = 0x12;
  for (std::uint32_t a = 0; a < r.eepromBytes; a += 13) chip->eeprom[a] = 0x34;
  chip->lock = 0xFC;
  if (r.line.model != 6200) {
    Connect(r.line.model);
    prog->record.keepTranscript = false;
  }
  Choose(r.line, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  // The chip sits where the picture its set showed puts it (the 40-pin parts turned round below
  // model 6300).
  if (!fake.placements.empty()) {
    ASSERT_EQ(SeatAsPictured(*prog, chip, fake.placements.back()), "");
  }
  EXPECT_EQ(gApp.CodeLastAddress, static_cast<std::int32_t>(r.codeBytes - 1));
  // The EEPROM image starts after the code; a part without EEPROM has no data area.
  EXPECT_EQ(gApp.InfoRecord[1], static_cast<std::int32_t>(r.eepromBytes ? r.codeBytes : 0));
  EXPECT_EQ(gApp.InfoRecord[2], static_cast<std::int32_t>(r.eepromBytes));

  // The set walks the whole chip in every pass, so the larger rows of a set leave out the passes
  // a smaller row of the same code already proves: the Blank after Erase (the same scan as
  // Verify's) and a passing Verify (the failing one below compares every byte up to the top).
  const bool everyPass = r.codeBytes <= r.everyPassUpTo;
  if (everyPass) {
    runner.EraseClick();  // with its Blank
  } else {
    Go(kOpErase);
  }
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->erases, 1);
  EXPECT_EQ(chip->lock, 0xFF);
  EXPECT_TRUE(std::all_of(chip->flash.begin(), chip->flash.end(), [](int c) { return c == 0xFF; }));
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
  if (everyPass) {
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  }
  // The top byte of the flash reaches the highest address line; a fail there also proves every
  // byte below it compared equal.
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x40;
  runner.VerifyClick();
  EXPECT_EQ(gLink.StatusWord, 1);
  EXPECT_EQ(gLink.FailAddress, r.codeBytes - 1);
  gApp.CodeBuffer[r.codeBytes - 1] ^= 0x40;

  if (r.eepromBytes) {
    EXPECT_EQ(Go(kOpWriteData), 0) << LastLine();
  }
  for (std::uint32_t a = 0; a < r.eepromBytes; ++a) {
    ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[r.codeBytes + a]) << "EEPROM address " << a;
  }

  std::fill(gApp.CodeBuffer.begin(), gApp.CodeBuffer.begin() + image, 0);
  runner.ReadClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (std::uint32_t a = 0; a < r.codeBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[a], chip->flash[a]) << "buffer address " << a;
  }
  for (std::uint32_t a = 0; a < r.eepromBytes; ++a) {
    ASSERT_EQ(gApp.CodeBuffer[r.codeBytes + a], chip->eeprom[a]) << "EEPROM address " << a;
  }

  for (const auto& [word, value] : r.fuseWords)
    gApp.OptionValues[word] = static_cast<std::int32_t>(value);
  fake.yesNoAnswers = {true};  // some values turn serial programming off: the runner asks first
  runner.ConfigClick();
  fake.yesNoAnswers.clear();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuses, r.fuses) << "lost " << chip->lost;

  for (const auto& [word, value] : r.lockWords)
    gApp.OptionValues[word] = static_cast<std::int32_t>(value);
  runner.ProtectClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->lock, r.lock);

  // Read config shows fuses and lock as the chip holds them.
  for (int w = 0; w < 4; ++w) gApp.OptionValues[w] = 0;
  runner.ReadConfigClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_TRUE(Logged(r.configLine)) << LastLine();
  for (const auto& [word, value] : r.readBack) {
    EXPECT_EQ(static_cast<std::uint32_t>(gApp.OptionValues[word]), value) << "word " << word;
  }
  // With LB1 and LB2 programmed the chip no longer shows its flash.
  if ((r.lock & 3) == 0) {
    runner.VerifyClick();
    EXPECT_EQ(gLink.StatusWord, 1);
  }

  if (r.calibration) {
    // Inside the EEPROM image, or the code where the part has no EEPROM.
    const std::uint32_t at = r.eepromBytes ? r.codeBytes + 5 : r.codeBytes - 5;
    gApp.OptionValues[64] = static_cast<std::int32_t>(at);
    EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
    EXPECT_EQ(gApp.CodeBuffer[at], chip->sheet().calibration[0]);
    EXPECT_TRUE(Logged("saved to file buffer")) << LastLine();
  }

  gApp.ReadId = {};
  runner.IdClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  for (int i = 0; i < 3; ++i) EXPECT_EQ(gApp.ReadId[i], chip->sheet().signature[i]) << i;

  // Every entry in the part's own datasheet order and timing.
  EXPECT_EQ(chip->missedEntries, 0);
  ExpectSuppliesOff();
  ExpectClean();
}

INSTANTIATE_TEST_SUITE_P(
    Rows, AvrParallelRoundTrip,
    ::testing::Values(
        // ATmega48: one extended fuse bit and LB1/LB2 only; the rest read 1.
        RoundTrip{{"ATMEGA48", 1, "ATMEL: ATmega48", 28},
                  "ATmega48",
                  4096,
                  256,
                  {{0, 0xE2}, {1, 0xD5}, {2, 0xFE}},
                  {0xE2, 0xD5, 0xFE},
                  {{3, 0xFC}},
                  0xFC,
                  "Fuse low=E2,Fuse Hi=D5,Fuse Ext=FE,Lock=FC",
                  {{0, 0xE2}, {1, 0xD5}, {2, 0x06}, {3, 0x3C}}},
        RoundTrip{{"ATMEGA48", 2, "ATMEL: ATmega88", 28},
                  "ATmega88",
                  8192,
                  512,
                  {{0, 0x7F}, {1, 0xCF}, {2, 0xFA}},
                  {0x7F, 0xCF, 0xFA},
                  {{3, 0xEE}},
                  0xEE,
                  "Fuse low=7F,Fuse Hi=CF,Fuse Ext=FA,Lock=EE",
                  {{0, 0x7F}, {1, 0xCF}, {2, 0x02}, {3, 0x2E}}},
        RoundTrip{{"ATMEGA48", 3, "ATMEL: ATmega168", 28},
                  "ATmega168",
                  16384,
                  512,
                  {{0, 0x62}, {1, 0xDF}, {2, 0xF9}},
                  {0x62, 0xDF, 0xF9},
                  {{3, 0xC0}},
                  0xC0,
                  "Fuse low=62,Fuse Hi=DF,Fuse Ext=F9,Lock=C0",
                  {{0, 0x62}, {1, 0xDF}, {2, 0x01}, {3, 0x00}},
                  true,
                  8192},
        // ATMEGA162: all four bytes in word 0 (lock, extended, high, low from the top).
        RoundTrip{{"ATMEGA162", 2, "ATMEL: ATmega162", 0},
                  "ATmega162",
                  16384,
                  512,
                  {{0, 0xFFF7D9E1}},
                  {0xE1, 0xD9, 0xF7},
                  {{0, 0xFCF7D9E1}},
                  0xFC,
                  "Fuse low=e1,Fuse Hi=d9,Lock=fc,Ext Fuse=f7",
                  {{0, 0x3C16D9E1}},
                  false},
        // ATMEGA161: one fuse byte (bits 3 and 7 absent) in word 0, the lock byte in word 1.
        RoundTrip{{"ATMEGA161", 1, "ATMEL: ATmega161", 0},
                  "ATmega161",
                  16384,
                  512,
                  {{0, 0x25}},
                  {0xAD, 0xFF, 0xFF},
                  {{1, 0xFC}},
                  0xFC,
                  "Fuse=ad,Lock=fc",
                  {{0, 0x25}, {1, 0x3C}},
                  false},
        // ATMEGA163 on models 6300 and up (row 3 becomes row 13): fuse low, high and lock in
        // words 0-2.
        RoundTrip{{"ATMEGA163", 3, "ATMEL: ATmega163", 0, 6300},
                  "ATmega163",
                  16384,
                  512,
                  {{0, 0x61}, {1, 0x02}},
                  {0x71, 0xFA, 0xFF},
                  {{2, 0xF0}},
                  0xF0,
                  "Fuse low=71,Fuse Hi=fa,Lock=f0",
                  {{0, 0x61}, {1, 0x02}, {2, 0x30}},
                  false},
        // ATMEGAX: fuse low, high and lock in words 0-2; the extended fuse is left alone.
        RoundTrip{{"ATMEGAX", 1, "ATMEL: ATmega8", 28},
                  "ATmega8",
                  8192,
                  512,
                  {{0, 0xE4}, {1, 0xC9}},
                  {0xE4, 0xC9, 0xFF},
                  {{2, 0xFC}},
                  0xFC,
                  "Fuse low=e4,  Fuse Hi=c9,  Lock=fc",
                  {{0, 0xE4}, {1, 0xC9}, {2, 0x3C}}},
        RoundTrip{{"ATMEGAX", 2, "ATMEL: ATmega16", 41, 6300},
                  "ATmega16",
                  16384,
                  512,
                  {{0, 0x3F}, {1, 0xD1}},
                  {0x3F, 0xD1, 0xFF},
                  {{2, 0xF0}},
                  0xF0,
                  "Fuse low=3f,  Fuse Hi=d1,  Lock=f0",
                  {{0, 0x3F}, {1, 0xD1}, {2, 0x30}}},
        // Below model 6300 the 40-pin parts sit turned round, RESET, VCC and GND in socket pins
        // 29-31.
        RoundTrip{{"ATMEGAX", 2, "ATMEL: ATmega16", 41, 6200},
                  "ATmega16",
                  16384,
                  512,
                  {{0, 0x3F}, {1, 0xD1}},
                  {0x3F, 0xD1, 0xFF},
                  {{2, 0xF0}},
                  0xF0,
                  "Fuse low=3f,  Fuse Hi=d1,  Lock=f0",
                  {{0, 0x3F}, {1, 0xD1}, {2, 0x30}}},
        RoundTrip{{"ATMEGA163", 3, "ATMEL: ATmega163", 0, 5149},
                  "ATmega163",
                  16384,
                  512,
                  {{0, 0x61}, {1, 0x02}},
                  {0x71, 0xFA, 0xFF},
                  {{2, 0xF0}},
                  0xF0,
                  "Fuse low=71,Fuse Hi=fa,Lock=f0",
                  {{0, 0x61}, {1, 0x02}, {2, 0x30}},
                  false},
        RoundTrip{{"AT90S8535", 4, "ATMEL: AT90S8535", 0, 5149},
                  "AT90S8535",
                  8192,
                  512,
                  {{0, 0x20}},
                  {0xFE, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=7e",
                  {{0, 0x20}, {128, 1}},
                  false},
        RoundTrip{{"ATMEGAX", 3, "ATMEL: ATmega32", 41, 6400},
                  "ATmega32",
                  32768,
                  1024,
                  {{0, 0xA1}, {1, 0x19}},
                  {0xA1, 0x19, 0xFF},
                  {{2, 0xCF}},
                  0xCF,
                  "Fuse low=a1,  Fuse Hi=19,  Lock=cf",
                  {{0, 0xA1}, {1, 0x19}, {2, 0x0F}}},
        // The TQFP64 parts on their adapter: the extended fuse keeps its default.
        RoundTrip{{"ATMEGAX", 4, "ATMEL: ATmega64*TQFP64", 50},
                  "ATmega64",
                  65536,
                  2048,
                  {{0, 0xE2}, {1, 0x98}},
                  {0xE2, 0x98, 0xFD},
                  {{2, 0xFE}},
                  0xFE,
                  "Fuse low=e2,  Fuse Hi=98,  Lock=fe",
                  {{0, 0xE2}, {1, 0x98}, {2, 0x3E}}},
        RoundTrip{{"ATMEGAX", 5, "ATMEL: ATmega128*TQFP64", 50},
                  "ATmega128",
                  131072,
                  4096,
                  {{0, 0x1F}, {1, 0x89}},
                  {0x1F, 0x89, 0xFD},
                  {{2, 0xC0}},
                  0xC0,
                  "Fuse low=1f,  Fuse Hi=89,  Lock=c0",
                  {{0, 0x1F}, {1, 0x89}, {2, 0x00}}},
        // ATTINY2313: PAGEL on BS1's line, BS2 on XA1's; SELFPRGEN the one extended fuse bit.
        RoundTrip{{"ATTINY2313", 1, "ATMEL: ATtiny2313", 0},
                  "ATtiny2313",
                  2048,
                  128,
                  {{0, 0xE4}, {1, 0x9F}, {2, 0xFE}},
                  {0xE4, 0x9F, 0xFE},
                  {{3, 0xFC}},
                  0xFC,
                  "Fuse low=e4,Fuse Hi=9f,Fuse Ext=fe,Lock=fc",
                  {{0, 0xE4}, {1, 0x9F}, {2, 0x00}, {3, 0x00}}},
        // AT90S2333: one fuse byte (bits 0-5) in word 0, the lock mode by the radio (word 128,
        // 1: LB1 only); Read config gives the fuse byte with the lock bits in bits 7 and 6 and
        // sets the radio back.
        RoundTrip{{"AT90S2333", 1, "ATMEL: AT90S2333", 0},
                  "AT90S2333",
                  2048,
                  128,
                  {{0, 0x25}},
                  {0xE5, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=65",
                  {{0, 0x25}, {128, 1}},
                  false},
        RoundTrip{{"AT90S2333", 2, "ATMEL: AT90S4433", 0},
                  "AT90S4433",
                  4096,
                  256,
                  {{0, 0x1B}},
                  {0xDB, 0xFF, 0xFF},
                  {{128, 0}},
                  0xFC,
                  "Fuse=1b",
                  {{0, 0x1B}, {128, 0}},
                  false},
        // ATTINY28: no EEPROM; CKSEL0..3 and INTCAP in word 0, the lock mode by the radio.
        RoundTrip{{"ATTINY28", 1, "ATMEL: ATtiny28", 0},
                  "ATtiny28",
                  2048,
                  0,
                  {{0, 0x13}},
                  {0xF3, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=73",
                  {{0, 0x13}, {128, 1}}},
        // AT90S8515 and AT90S8535: FSTRT and SPIEN (bits 0 and 5) are the fuse byte; the DIP and
        // the 44-pin adapter.
        RoundTrip{{"AT90S8515", 1, "ATMEL: AT90S4414", 0},
                  "AT90S4414",
                  4096,
                  256,
                  {{0, 0x20}},
                  {0xFE, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=7e",
                  {{0, 0x20}, {128, 1}},
                  false},
        RoundTrip{{"AT90S8515", 2, "ATMEL: AT90S8515", 0},
                  "AT90S8515",
                  8192,
                  512,
                  {{0, 0x01}},
                  {0xDF, 0xFF, 0xFF},
                  {{128, 0}},
                  0xFC,
                  "Fuse=1f",
                  {{0, 0x01}, {128, 0}},
                  false},
        RoundTrip{{"AT90S8515", 2, "ATMEL: AT90S8515*P44", 0},
                  "AT90S8515*P44",
                  8192,
                  512,
                  {{0, 0x21}},
                  {0xFF, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=7f",
                  {{0, 0x21}, {128, 1}},
                  false},
        RoundTrip{{"AT90S8535", 3, "ATMEL: AT90S4434", 0, 6300},
                  "AT90S4434",
                  4096,
                  256,
                  {{0, 0x00}},
                  {0xDE, 0xFF, 0xFF},
                  {{128, 0}},
                  0xFC,
                  "Fuse=1e",
                  {{0, 0x00}, {128, 0}},
                  false},
        RoundTrip{{"AT90S8535", 4, "ATMEL: AT90S8535", 0, 6400},
                  "AT90S8535",
                  8192,
                  512,
                  {{0, 0x20}},
                  {0xFE, 0xFF, 0xFF},
                  {{128, 1}},
                  0xFE,
                  "Fuse=7e",
                  {{0, 0x20}, {128, 1}},
                  false},
        RoundTrip{{"AT90S8535", 4, "ATMEL: AT90S8535*P44", 0},
                  "AT90S8535*P44",
                  8192,
                  512,
                  {{0, 0x01}},
                  {0xDF, 0xFF, 0xFF},
                  {{128, 0}},
                  0xFC,
                  "Fuse=1f",
                  {{0, 0x01}, {128, 0}},
                  false}),
    [](const auto& info) {
      std::string part = info.param.part;
      std::replace(part.begin(), part.end(), '*', '_');
      return info.param.line.key + "_" + std::to_string(info.param.line.row) + "_" + part + "_" +
             std::to_string(info.param.line.model);
    });

}  // namespace avr_parallel_round_trip_test
}  // namespace zelvar::test
