// What the AVR frame and the ATMEGA48 set do where a chip operation could go wrong: a weak
// supply, a stale status, a calibration address outside the image, a row outside the table, a
// package without a design, the calibration byte the part really has, the progress window after
// an EEPROM read, and the EEPROM's address bytes.
#include <gtest/gtest.h>

#include <vector>

#include "AvrFixture.h"
#include "algorithms/avr/ATMEGA48.h"
#include "algorithms/avr/ATMEGAX.h"
#include "algorithms/avr/ATTINY2313.h"
#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "link/commands/AvrParallel.h"
#include "sim/chips/AvrHvParallel.h"
#include "sim/chips/AvrHvSerial.h"

namespace zelvar::test {
namespace avr_frame_test {

const AvrLine kMega48{"ATMEGA48", 1, "ATMEL: ATmega48", 28};
const AvrLine kMega88{"ATMEGA48", 2, "ATMEL: ATmega88", 28};

class AvrFrame : public AvrFixture {};

TEST_F(AvrFrame, WeakSupplyFailsEveryOperationWithSuppliesOffAndNoCellChanged) {
  auto chip = sim::MakeAvrHvParallel("ATmega48");
  Choose(kMega48, chip);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(4096 + 256);
  gApp.OptionValues[0] = 0x00;
  gApp.OptionValues[3] = 0x00;
  prog->faults.powerOverload = true;
  // Straight through the dispatcher: the set itself, not the runner, must switch the supplies off.
  for (int op : {int{kOpErase}, int{kOpBlank}, int{kOpWrite}, int{kOpVerify}, int{kOpConfig},
                 int{kOpLock}, int{kOpRead}, int{kOpReadData}, int{kOpWriteData}}) {
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(op), 1) << op;
    ExpectSuppliesOff();
  }
  EXPECT_EQ(chip->writes + chip->erases, 0);
  EXPECT_EQ(chip->fuses, chip->sheet().fuseDefault);
  ExpectClean();
}

TEST_F(AvrFrame, WritesStartFromACleanStatus) {
  Choose(kMega48, sim::MakeAvrHvParallel("ATmega48"));
  for (int op : {int{kOpErase}, int{kOpWrite}, int{kOpConfig}, int{kOpLock}, int{kOpWriteData}}) {
    gLink.StatusWord = 1;
    gApp.OptionValues[0] = 0x62;
    gApp.OptionValues[1] = 0xDF;
    gApp.OptionValues[2] = 0xFF;
    gApp.OptionValues[3] = 0xFF;
    EXPECT_EQ(Call(op), 0) << op << ": " << LastLine();
  }
  ExpectClean();
}

TEST_F(AvrFrame, CalibrationStoreStaysInsideTheCodeAndEepromImage) {
  auto chip = sim::MakeAvrHvParallel("ATmega48");
  Choose(kMega48, chip);
  const std::uint32_t end = 4096 + 256;
  for (std::uint32_t at : {end, end + 1000, 0x7FFFFFFFu}) {
    gApp.OptionValues[64] = static_cast<std::int32_t>(at);
    gApp.CodeBuffer[end] = 0x11;
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(kOpReadCalibration), 1) << at;
    EXPECT_TRUE(Logged("outside the code and EEPROM image")) << LastLine();
    EXPECT_EQ(gApp.CodeBuffer[end], 0x11);
    ExpectSuppliesOff();
  }
  // The last EEPROM byte's place still takes it; 0 only logs the value.
  gApp.OptionValues[64] = static_cast<std::int32_t>(end - 1);
  EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[end - 1], chip->sheet().calibration[0]);
  gApp.OptionValues[64] = 0;
  EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
  EXPECT_TRUE(Logged("Calibration of 8MHz is 0xA3")) << LastLine();
  ExpectClean();
}

TEST_F(AvrFrame, OneCalibrationByteWhateverFrequencyAProjectHolds) {
  auto chip = sim::MakeAvrHvParallel("ATmega48");
  Choose(kMega48, chip);
  // The describe list offers the one oscillator the part calibrates.
  ChipUiList list(kChipUiListSize);
  std::array<std::int32_t, 8> info{};
  gApp.CurrentDispatcher(kOpDescribe, gApp.CodeBuffer.data(), info.data(), &list);
  const auto radio = std::find(list.begin(), list.end(), "$Radio1:00,Calibrate freq");
  ASSERT_NE(radio, list.end());
  EXPECT_EQ(*(radio + 1), "8 MHz");
  EXPECT_EQ(*(radio + 2), "$Gridw:Address");
  // A project written for another part may still carry frequency 3 (address 3).
  gApp.OptionValues[128] = 3;
  gApp.OptionValues[64] = 0x1000;
  EXPECT_EQ(Go(kOpReadCalibration), 0) << LastLine();
  EXPECT_EQ(gApp.CodeBuffer[0x1000], chip->sheet().calibration[0]);
  ExpectClean();
}

TEST_F(AvrFrame, RefusedChipsRunNothing) {
  struct Case {
    AvrLine line;
    const char* why;
  };
  const Case cases[] = {
      {{"ATMEGA48", 4, "ATMEL: ATmega328", 28}, "not in this set"},
      {{"ATMEGA48", 0, "ATMEL: ATmega48", 28}, "not in this set"},
      {{"ATMEGA48", 1, "ATMEL: ATmega48 TQFP", 32}, "No design"},
      {{"ATMEGA48", 1, "ATMEL: ATmega48", 0}, "No design"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.title + " row " + std::to_string(c.line.row));
    auto chip = sim::MakeAvrHvParallel("ATmega48");
    Choose(c.line, chip);
    EXPECT_TRUE(Logged(c.why)) << LastLine();
    EXPECT_EQ(gApp.InfoRecord[6], 0);
    for (int op : {int{kOpErase}, int{kOpWrite}, int{kOpReadData}, int{kOpReadCalibration}}) {
      gLink.StatusWord = 0;
      EXPECT_EQ(Call(op), 1) << op;
    }
    EXPECT_EQ(chip->entries, 0);
    EXPECT_EQ(prog->VppPin(), 0);
  }
  ExpectClean();
}

TEST_F(AvrFrame, EepromReadClosesTheProgressWindow) {
  Choose(kMega48, sim::MakeAvrHvParallel("ATmega48"));
  ShowProgress(0);
  ASSERT_TRUE(fake.progressShown);
  EXPECT_EQ(Call(kOpReadData), 0) << LastLine();
  EXPECT_FALSE(fake.progressShown);
}

// The ATmega88's 512-byte EEPROM needs its high address byte on every read and page write; the
// ATmega48's 256 bytes need none.
TEST_F(AvrFrame, EepromAddressesReachTheTopByte) {
  for (const AvrLine& line : {kMega48, kMega88}) {
    auto chip = sim::MakeAvrHvParallel(line.row == 1 ? "ATmega48" : "ATmega88");
    Choose(line, chip);
    const std::uint32_t code = static_cast<std::uint32_t>(gApp.InfoRecord[1]);
    const std::uint32_t size = static_cast<std::uint32_t>(gApp.InfoRecord[2]);
    for (std::uint32_t a = 0; a < size; ++a)
      gApp.CodeBuffer[code + a] = static_cast<std::uint8_t>(a ^ (a >> 8) * 0x55);
    EXPECT_EQ(Go(kOpWriteData), 0);
    for (std::uint32_t a = 0; a < size; ++a)
      ASSERT_EQ(chip->eeprom[a], gApp.CodeBuffer[code + a]) << a;
    chip->eeprom[size - 1] ^= 0xFF;
    EXPECT_EQ(Call(kOpReadData), 0);
    EXPECT_EQ(gApp.CodeBuffer[code + size - 1], chip->eeprom[size - 1]);
  }
  ExpectClean();
}

}  // namespace avr_frame_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace avr_frame_test {

// The ATmega161/162 sets take their pins from the package: the PLCC44 adapter's RESET on socket
// pin 8 and VCC on 42; the ATmega163 row, whose supplies would land on port pins, is refused.
TEST_F(AvrFrame, Mega16xPackagesChooseThePins) {
  Choose({"ATMEGA162", 2, "ATMEL: ATmega162*P44", 0}, nullptr);
  EXPECT_EQ(gApp.PinMask, SocketPins(1, 9) | SocketPins(11, 20) | SocketPins(22, 31) |
                              SocketPins(33, 42) | SocketPins(48, 48));
  EXPECT_NE(std::find(fake.events.begin(), fake.events.end(), "place:p44.bmp"), fake.events.end());
  prog->record.keepTranscript = true;
  prog->record.Clear();
  Call(kOpErase);
  std::vector<int> vpp, vcc;
  for (const auto& c : prog->record.transcript) {
    if (c.op() == 14 && c.bytes[1] == 20) vpp.push_back(c.bytes[2]);
    if (c.op() == 14 && c.bytes[1] == 21) vcc.push_back(c.bytes[2]);
  }
  for (int pin : vpp) EXPECT_TRUE(pin == 0 || pin == 8) << pin;
  for (int pin : vcc) EXPECT_TRUE(pin == 0 || pin == 42) << pin;
  EXPECT_NE(std::count(vpp.begin(), vpp.end(), 8), 0);

  Choose({"ATMEGA161", 3, "ATMEL: ATmega163", 0}, nullptr);
  EXPECT_TRUE(Logged("use set ATMEGA163")) << LastLine();
  gLink.StatusWord = 0;
  EXPECT_EQ(Call(kOpWrite), 1);
}

}  // namespace avr_frame_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace avr_frame_test {

// The tables keep their numbering gaps as empty rows; choosing one refuses the chip instead of
// running with sizes and pins of 0.
TEST_F(AvrFrame, EmptyRowsAreRefused) {
  for (const AvrLine& line :
       {AvrLine{"ATTINY1", 5, "ATMEL: ATtiny12", 0}, AvrLine{"ATTINY1", 10, "ATMEL: ATtiny12", 0},
        AvrLine{"AT90S2323HI", 14, "ATMEL: AT90S2343", 0},
        AvrLine{"ATMEGA163", 1, "ATMEL: ATmega163", 0}}) {
    SCOPED_TRACE(line.key + " row " + std::to_string(line.row));
    fake.log.clear();
    Choose(line, nullptr);
    EXPECT_TRUE(Logged("not in this set")) << LastLine();
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(kOpWrite), 1);
    EXPECT_EQ(prog->VppPin(), 0);
  }
}

TEST_F(AvrFrame, WeakSupplyStopsTheSerialSetsWithSuppliesOff) {
  auto chip = sim::MakeAvrHvSerial("ATtiny12");
  Choose({"ATTINY1", 2, "ATMEL: ATtiny12", 0}, chip, 11);
  ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
  Pattern(1024 + 64);
  gApp.OptionValues[0] = 0;
  gApp.OptionValues[1] = 0;
  prog->faults.powerOverload = true;
  for (int op : {int{kOpErase}, int{kOpBlank}, int{kOpWrite}, int{kOpVerify}, int{kOpConfig},
                 int{kOpLock}, int{kOpRead}, int{kOpReadData}, int{kOpWriteData}}) {
    gLink.StatusWord = 0;
    EXPECT_EQ(Call(op), 1) << op;
    ExpectSuppliesOff();
  }
  EXPECT_EQ(chip->writes + chip->erases, 0);
  ExpectClean();
}

}  // namespace avr_frame_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace avr_frame_test {

// Erase puts every fuse byte back to its unprogrammed state before the chip erase, and says so:
// the clock source and serial programming change with it.
TEST_F(AvrFrame, EraseResetsTheFusesAndSaysSo) {
  auto chip = sim::MakeAvrHvParallel("ATmega88");
  chip->fuses = {0xE0, 0xC7, 0xF8};
  Choose(kMega88, chip);
  runner.EraseClick();
  EXPECT_EQ(gLink.StatusWord, 0) << LastLine();
  EXPECT_EQ(chip->fuses, (std::array<std::uint8_t, 3>{0xFF, 0xFF, 0xFF}));
  EXPECT_EQ(chip->erases, 1);
  EXPECT_TRUE(Logged("Erase sets all fuse bytes to FF")) << LastLine();
  ExpectClean();
}

}  // namespace avr_frame_test
}  // namespace zelvar::test

namespace zelvar::test {
namespace avr_frame_test {

// The chip model takes each part's entry as its datasheet gives it: the ATmega48 family and the
// ATtiny2313 only with 12 V on RESET 20-60 µs after VCC, the ATmega8 only after six XTAL1 pulses
// given once VCC has been on 100 µs. Driven here by hand, one transfer from VCC to RESET.
TEST_F(AvrFrame, ModelTakesEachPartsOwnEntry) {
  struct Case {
    AvrLine line;
    const char* part;
    avr::AvrType type;
    int settleBeforePulses;  // 1 µs line settles after VCC, before the XTAL1 pulses
    int pulses;
    int settleAfterPulses;  // before RESET rises
    bool enters;
  };
  const AvrLine mega8{"ATMEGAX", 1, "ATMEL: ATmega8", 28};
  const AvrLine tiny2313{"ATTINY2313", 1, "ATMEL: ATtiny2313", 0};
  const avr::AvrType t48 = avr::ATMEGA48::kTypes[1], t8 = avr::ATMEGAX::kTypes[1];
  const avr::AvrType t2313 = avr::ATTINY2313::kTypes[1];
  for (const Case& c :
       {Case{kMega48, "ATmega48", t48, 0, 0, 30, true},
        Case{kMega48, "ATmega48", t48, 0, 0, 15, false},
        Case{kMega48, "ATmega48", t48, 0, 0, 70, false},
        Case{kMega48, "ATmega48", t48, 100, 10, 30, false},
        Case{tiny2313, "ATtiny2313", t2313, 0, 0, 50, true},
        Case{tiny2313, "ATtiny2313", t2313, 0, 0, 200, false},
        Case{mega8, "ATmega8", t8, 100, 6, 0, true}, Case{mega8, "ATmega8", t8, 100, 5, 0, false},
        Case{mega8, "ATmega8", t8, 50, 6, 60, false}}) {
    SCOPED_TRACE(std::string(c.part) + " " + std::to_string(c.settleBeforePulses) + " " +
                 std::to_string(c.pulses) + " " + std::to_string(c.settleAfterPulses));
    auto chip = sim::MakeAvrHvParallel(c.part);
    Choose(c.line, chip);
    ASSERT_EQ(gLink.StatusWord, 0) << LastLine();
    using namespace avr_parallel;
    for (std::uint8_t n = 1; n <= 10; ++n) WriteFpgaRegister(kLineRegister, n);
    SelectGndPin(c.type.groundPin);
    FlushCommands();
    PutCmd4(kCmdSetRegister, kVccPinRegister, c.type.vccPin, 0);
    for (int i = 0; i < c.settleBeforePulses; ++i) PutCmd1(kCmdLineSettle);
    for (int i = 0; i < c.pulses; ++i) {
      WriteFpgaRegister(kLineRegister, kLineXtal1 | kLineHigh);
      WriteFpgaRegister(kLineRegister, kLineXtal1);
    }
    for (int i = 0; i < c.settleAfterPulses; ++i) PutCmd1(kCmdLineSettle);
    PutCmd4(kCmdSetRegister, kVppPinRegister, c.type.vppPin, 0);
    FlushCommands();
    EXPECT_EQ(chip->programming, c.enters);
    EXPECT_EQ(chip->missedEntries, c.enters ? 0 : 1);
    SelectVppPin(0);
    SelectVccPin(0);
    FlushCommands();
    ExpectClean();
  }
}

}  // namespace avr_frame_test
}  // namespace zelvar::test
