#include "sim/chips/AvrHvParallel.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVccProgram = 4500, kVccMax = 5500;
constexpr int kVppMin = 11500, kVppMax = 12500;

enum : std::uint8_t {
  kChipErase = 0x80,
  kWriteFuse = 0x40,
  kWriteLock = 0x20,
  kWriteFlash = 0x10,
  kWriteEeprom = 0x11,
  kReadSignature = 0x08,
  kReadFuseLock = 0x04,
  kReadFlash = 0x02,
  kReadEeprom = 0x03,
};

bool IsRead(std::uint8_t command) {
  return command == kReadSignature || command == kReadFuseLock || command == kReadFlash ||
         command == kReadEeprom;
}

// ATmega48/88/168: the same pinout and programming interface, sizes and signature by part; the
// ATmega48 lacks the boot section (one extended fuse bit, lock bits LB1 and LB2 only).
AvrSheet AtmegaX8(std::uint32_t flash, std::uint32_t page, std::uint32_t eeprom,
                  std::array<std::uint8_t, 3> signature, bool bootSection) {
  AvrSheet s;
  s.flashBytes = flash;
  s.flashPage = page;
  s.eepromBytes = eeprom;
  s.eepromPage = 4;
  s.signature = signature;
  s.calibration = {0xA3};
  s.entryWindowUs = {20, 60};
  if (bootSection) {
    s.fuseDefault = {0x62, 0xDF, 0xF9};
    s.fuseMask = {0xFF, 0xFF, 0x07};
    s.lockMask = 0x3F;
  }
  return s;
}

// The 40-pin ATmega161/162 (the AT90S8515 pinout): DATA on PB0..PB7, RESET 9, OE, WR, BS1, XA0,
// XA1 and PAGEL on PD2..PD7, XTAL1 19, GND 20, BS2 on PA0 (39), VCC 40.
AvrSheet Dip40Mega16x() {
  AvrSheet s;
  s.pins = 40;
  s.vcc = 40;
  s.ground = 20;
  s.ground2 = 0;
  s.reset = 9;
  s.xtal1 = 19;
  s.oe = 12;
  s.wr = 13;
  s.bs1 = 14;
  s.xa0 = 15;
  s.xa1 = 16;
  s.pagel = 17;
  s.bs2 = 39;
  s.data = {1, 2, 3, 4, 5, 6, 7, 8};
  s.flashBytes = 16384;
  s.flashPage = 128;
  s.eepromBytes = 512;
  s.startUs = 0;
  s.vccMin = 4000;
  return s;
}

// ATmega162: the EEPROM through a 4-byte page buffer, six XTAL1 pulses before the entry, one
// calibration byte; the extended fuse holds M161C and BODLEVEL (bits 1..4).
AvrSheet Atmega162() {
  AvrSheet s = Dip40Mega16x();
  s.eepromPage = 4;
  s.signature = {0x1E, 0x94, 0x04};
  s.calibration = {0x9C};
  s.fuseDefault = {0x62, 0x99, 0xFF};
  s.fuseMask = {0xFF, 0xFF, 0x1E};
  s.lockMask = 0x3F;
  s.entryToggles = 6;
  s.togglesAfterUs = 100;
  return s;
}

// ATmega161: one fuse byte (CKSEL0..2, SUT, SPIEN, BOOTRST), the EEPROM written a byte per WR
// pulse, no calibration byte; shorter cycles (tWLRH up to 3.4 ms, flash pages up to 15 ms, chip
// erase up to 9 ms are taken as the bounds).
AvrSheet Atmega161() {
  AvrSheet s = Dip40Mega16x();
  s.eepromPage = 0;
  s.signature = {0x1E, 0x94, 0x01};
  s.fuseDefault = {0xDA, 0xFF, 0xFF};
  s.fuseMask = {0x77, 0x00, 0x00};
  s.lockMask = 0x3F;
  s.writeUs = 3400;
  s.flashUs = 15000;
  return s;
}

// ATmega163 (the AT90S8535 pinout): DATA on PB0..PB7, RESET 9, VCC 10, GND 11 (and 31), XTAL1
// 13, OE, WR, BS1, XA0, XA1 and PAGEL on PD2..PD7 (16-21), BS2 on PA0 (40); the EEPROM written a
// byte per WR pulse; fuse low (bit 4 absent) and high (BOOTRST, BOOTSZ0..1); one calibration byte.
AvrSheet Atmega163() {
  AvrSheet s = Dip40Mega16x();
  s.vcc = 10;
  s.ground = 11;
  s.ground2 = 31;
  s.xtal1 = 13;
  s.oe = 16;
  s.wr = 17;
  s.bs1 = 18;
  s.xa0 = 19;
  s.xa1 = 20;
  s.pagel = 21;
  s.bs2 = 40;
  s.eepromPage = 0;
  s.signature = {0x1E, 0x94, 0x02};
  s.calibration = {0xAB};
  s.fuseDefault = {0xD2, 0xFF, 0xFF};
  s.fuseMask = {0xEF, 0x07, 0x00};
  s.lockMask = 0x3F;
  s.writeUs = 3400;
  s.flashUs = 15000;
  return s;
}

// ATmega8 (the ATmega48 pinout): fuse low and high (no extended byte), lock bits
// LB1, LB2 and the boot lock bits, four calibration bytes (1, 2, 4 and 8 MHz).
AvrSheet Atmega8() {
  AvrSheet s;
  s.flashBytes = 8192;
  s.flashPage = 64;
  s.eepromBytes = 512;
  s.eepromPage = 4;
  s.signature = {0x1E, 0x93, 0x07};
  s.calibration = {0xA9, 0xA7, 0xA5, 0xA3};
  s.fuseDefault = {0xE1, 0xD9, 0xFF};
  s.fuseMask = {0xFF, 0xFF, 0x00};
  s.lockMask = 0x3F;
  s.startUs = 100;
  s.entryToggles = 6;
  s.togglesAfterUs = 100;
  return s;
}

// ATmega16 and ATmega32: the ATmega163's 40-pin pinout, the EEPROM through a 4-byte page buffer,
// fuse low and high (JTAGEN and OCDEN in the high byte), four calibration bytes.
AvrSheet Atmega16or32(std::uint32_t flash, std::uint32_t eeprom,
                      std::array<std::uint8_t, 3> signature) {
  AvrSheet s = Atmega163();
  s.flashBytes = flash;
  s.flashPage = 128;
  s.eepromBytes = eeprom;
  s.eepromPage = 4;
  s.signature = signature;
  s.calibration = {0xB1, 0xAF, 0xAD, 0xAB};
  s.fuseDefault = {0xE1, 0x99, 0xFF};
  s.fuseMask = {0xFF, 0xFF, 0x00};
  s.writeUs = 4500;
  s.flashUs = 4500;
  s.startUs = 100;
  s.vccMin = 4500;
  s.entryToggles = 6;
  s.togglesAfterUs = 100;
  return s;
}

// A 40-pin part's PLCC44 package on the adapter (pin n in socket pin n - 2), with the AT90S8535
// (ATmega16) PLCC44 pinout: DATA PB0..PB7 on 2-9, RESET 10, GND 12 (the other GND and VCC pins
// taken as tied on the board), XTAL1 14, OE, WR, BS1, XA0, XA1, PAGEL on PD2..PD7 (17-22), BS2 PA0
// 43, VCC 44.
AvrSheet Plcc44Std() {
  AvrSheet s;
  s.pins = 44;
  s.reset = 10;
  s.vcc = 44;
  s.ground = 12;
  s.ground2 = 0;
  s.data = {2, 3, 4, 5, 6, 7, 8, 9};
  s.xtal1 = 14;
  s.oe = 17;
  s.wr = 18;
  s.bs1 = 19;
  s.xa0 = 20;
  s.xa1 = 21;
  s.pagel = 22;
  s.bs2 = 43;
  return s;
}

// ATmega64 and ATmega128 (TQFP64) on our TQFP64 adapter for package 50: the adapter is a 44-pin
// carrier in the PLCC44 place that wires the part's RESET, VCC (all VCC and AVCC pins), GND (all
// GND pins), XTAL1, DATA (PB0..PB7), OE, WR, BS1, XA0, XA1, PAGEL (PD2..PD7) and BS2 (PA0) to the
// AT90S8535 PLCC44 positions (`Plcc44Std`). Fuse low, high and extended (M103C, WDTON), 256-byte
// flash pages, 8-byte EEPROM pages, four calibration bytes.
AvrSheet Atmega64or128(std::uint32_t flash, std::uint32_t eeprom,
                       std::array<std::uint8_t, 3> signature) {
  AvrSheet s = Plcc44Std();
  s.flashBytes = flash;
  s.flashPage = 256;
  s.eepromBytes = eeprom;
  s.eepromPage = 8;
  s.signature = signature;
  s.calibration = {0xB9, 0xB7, 0xB5, 0xB3};
  s.fuseDefault = {0xE1, 0x99, 0xFD};
  s.fuseMask = {0xFF, 0xFF, 0x03};
  s.lockMask = 0x3F;
  s.startUs = 100;
  s.entryToggles = 6;
  s.togglesAfterUs = 100;
  return s;
}

// ATtiny2313 (20-pin DIP): RESET 1, XTAL1 PA0 (5), OE, WR, BS1/PAGEL, XA0 on PD2..PD5 (6-9), GND
// 10, XA1/BS2 PD6 (11), DATA PB0..PB7 (12-19), VCC 20. With PAGEL on BS1's pin the latch cannot be
// a rising edge (BS1 rises to select the high data byte before it is loaded): the word or EEPROM
// byte is taken as the pin falls. Fuse low, high (EESAVE bit 6) and extended (SELFPRGEN), lock
// bits LB1 and LB2, two calibration bytes (4 and 8 MHz).
AvrSheet Attiny2313() {
  AvrSheet s;
  s.pins = 20;
  s.reset = 1;
  s.xtal1 = 5;
  s.oe = 6;
  s.wr = 7;
  s.bs1 = 8;
  s.pagel = 8;
  s.xa0 = 9;
  s.ground = 10;
  s.ground2 = 0;
  s.xa1 = 11;
  s.bs2 = 11;
  s.data = {12, 13, 14, 15, 16, 17, 18, 19};
  s.vcc = 20;
  s.latchOnPagelFall = true;
  s.flashBytes = 2048;
  s.flashPage = 32;
  s.eepromBytes = 128;
  s.eepromPage = 4;
  s.signature = {0x1E, 0x91, 0x0A};
  s.calibration = {0x5D, 0x6E};
  s.fuseDefault = {0x64, 0xDF, 0xFF};
  s.fuseMask = {0xFF, 0xFF, 0x01};
  s.eesave = 0x40;
  s.entryWindowUs = {20, 60};
  return s;
}

// The classic AT90S parts (AT90S2333/4433, AT90S4414/8515, AT90S4434/8535), on a package's pins
// without PAGEL and BS2: no page buffers, so a WR pulse writes the loaded byte (flash: the low or
// high byte of the loaded word by BS; one data register); self-timed flash, EEPROM and lock
// writes (tWLRH up to 0.9 ms); the chip erase and the fuse byte are written while WR is held low
// (tWLWH_CE 5-15 ms, tWLWH_PFB 1.0-1.8 ms), a shorter or longer pulse does nothing; one fuse byte
// read with the lock bits (LB1 bit 7, LB2 bit 6), the lock bits written from data bits 1 and 2; no
// calibration byte. `fuseMask` and `fuseDefault` give the part's fuse bits.
AvrSheet ClassicAt90s(AvrSheet s, std::uint32_t flash, std::uint32_t eeprom,
                      std::array<std::uint8_t, 3> signature, std::uint8_t fuseMask,
                      std::uint8_t fuseDefault) {
  s.pagel = 0;
  s.bs2 = 0;
  s.flashBytes = flash;
  s.flashPage = 0;
  s.eepromBytes = eeprom;
  s.eepromPage = 0;
  s.signature = signature;
  s.calibration.clear();
  s.fuseDefault = {static_cast<std::uint8_t>(fuseDefault | ~fuseMask), 0xFF, 0xFF};
  s.fuseMask = {fuseMask, 0x00, 0x00};
  s.lockMask = 0x03;
  s.fuseLockByte = true;
  s.writeUs = 900;
  s.flashUs = 900;
  s.eraseLowUs = {5000, 15000};
  s.fuseLowUs = {1000, 1800};
  s.startUs = 0;
  s.entryToggles = 0;
  s.entryWindowUs = {};
  return s;
}

// AT90S2333/4433: the 28-pin ATmega8 pinout; the fuse byte holds CKSEL0..2, BODEN, BODLEVEL and
// SPIEN (bits 0-5).
AvrSheet At90s2333(std::uint32_t flash, std::uint32_t eeprom,
                   std::array<std::uint8_t, 3> signature) {
  return ClassicAt90s(AvrSheet{}, flash, eeprom, signature, 0x3F, 0x1A);
}

// ATtiny28 (the ATtiny28 pinout matches the ATmega8's programming pins: OE, WR, BS, XA0, XA1 on
// PD2..PD6, DATA PB0..PB5 on 14-19 and PB6, PB7 on 23, 24; VCC 7 and 20, GND 8 and 22, pin 21 not
// connected): no EEPROM, one calibration byte, the fuse byte CKSEL0..3 and INTCAP (bits 0-4).
AvrSheet Attiny28() {
  AvrSheet s = ClassicAt90s(AvrSheet{}, 2048, 0, {0x1E, 0x91, 0x07}, 0x1F, 0x12);
  s.calibration = {0x8C};
  return s;
}

// AT90S1200 and AT90S2313: the 20-pin pinout of the ATtiny2313 (RESET 1, XTAL1 5, OE, WR, BS,
// XA0 on PD2..PD5 (6-9), XA1 on PD6 (11), DATA PB0..PB7 on 12-19, GND 10, VCC 20) with RDY/BSY on
// PD1 (3); RCEN or FSTRT (bit 0) and SPIEN (bit 5) are the fuse byte; 4.0-6.0 V.
AvrSheet At90s20(std::uint32_t flash, std::uint32_t eeprom, std::array<std::uint8_t, 3> signature) {
  AvrSheet s = Attiny2313();
  s.latchOnPagelFall = false;
  s.rdy = 3;
  s.vccMin = 4000;
  return ClassicAt90s(s, flash, eeprom, signature, 0x21, 0x01);
}

// AT90S4414/8515 and AT90S4434/8535: FSTRT (bit 0) and SPIEN (bit 5) are the fuse byte; RDY/BSY
// on PD1 (`rdy`, 0 where the package's model leaves it out).
AvrSheet At90s40(AvrSheet pins, std::uint32_t flash, std::uint32_t eeprom,
                 std::array<std::uint8_t, 3> signature, int rdy = 0) {
  pins.vccMin = 4000;
  pins.rdy = rdy;
  return ClassicAt90s(pins, flash, eeprom, signature, 0x21, 0x01);
}

// The AT90S8515 PLCC44 pinout on the adapter: DATA PB0..PB7 on 2-9, RESET 10, OE, WR, BS on
// PD2..PD4 (14-16), XA0, XA1 on PD5, PD6 (17, 18), XTAL1 21, GND 22, VCC 44.
AvrSheet Plcc44At90s8515() {
  AvrSheet s = Plcc44Std();
  s.ground = 22;
  s.xtal1 = 21;
  s.oe = 14;
  s.wr = 15;
  s.bs1 = 16;
  s.xa0 = 17;
  s.xa1 = 18;
  return s;
}

// The jumpers that show an AT90S4434/8535 to the programmer as an AT90S8515 (socket pin, chip
// pin): PB0-PB7 and RESET straight, VCC to 40, GND to 20, PD1-PD6 to 11-16, XTAL1 to 19.
std::vector<std::pair<int, int>> At90s8535Jumpers() {
  std::vector<std::pair<int, int>> w;
  for (int k = 1; k <= 9; ++k) w.emplace_back(k, k);
  for (int i = 0; i < 6; ++i) w.emplace_back(11 + i, 15 + i);
  w.emplace_back(40, 10);
  w.emplace_back(20, 11);
  w.emplace_back(19, 13);
  return w;
}

}  // namespace

AvrHvParallelChip::AvrHvParallelChip(AvrSheet sheet) : sheet_(std::move(sheet)) {
  flash.assign(sheet_.flashBytes, 0xFF);
  eeprom.assign(sheet_.eepromBytes, 0xFF);
  fuses = sheet_.fuseDefault;
  flashBuffer_.assign(sheet_.flashPage, 0xFF);
  eepromBuffer_.assign(std::max<std::uint32_t>(sheet_.eepromPage, 1), 0xFF);
  eepromLatched_.assign(eepromBuffer_.size(), false);
}

int AvrHvParallelChip::In(Programmer& p, int chipPin) const {
  // Pin 0: a signal the part does not have (PAGEL and BS2 of the page-less parts).
  return chipPin == 0 ? -1 : p.InputMillivolts(socket_[chipPin]);
}

std::uint8_t AvrHvParallelChip::DataIn(Programmer& p) const {
  if (driving_) return out_;
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, sheet_.data[i]) != 0) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool AvrHvParallelChip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(sheet_.vcc), gnd = p.SocketPinOf(sheet_.ground);
  if (vcc == 0 || !p.IsGround(gnd)) return false;
  const int mv = p.SupplyMillivolts(vcc);
  return mv >= sheet_.vccMin && mv <= kVccMax;
}

void AvrHvParallelChip::Complete() {
  pending_ = false;
  const std::uint32_t a = pendingAddress_;
  switch (pendingCommand_) {
    case kChipErase:
      std::fill(flash.begin(), flash.end(), 0xFF);
      // EESAVE (high fuse bit 3) programmed keeps the EEPROM.
      if (fuses[1] & sheet_.eesave) std::fill(eeprom.begin(), eeprom.end(), 0xFF);
      lock = 0xFF;
      ++erases;
      return;
    case kWriteFlash:
      if (sheet_.flashPage == 0) {
        flash[a] &= pendingData_;
        break;
      }
      for (std::uint32_t i = 0; i < sheet_.flashPage; ++i) flash[a + i] &= pendingFlash_[i];
      break;
    case kWriteEeprom:
      for (std::uint32_t i = 0; i < pendingEeprom_.size(); ++i) {
        if (pendingLatched_[i]) eeprom[a + i] = pendingEeprom_[i];
      }
      break;
    case kWriteFuse: {
      const std::uint8_t mask = sheet_.fuseMask[pendingFuse_];
      fuses[pendingFuse_] = static_cast<std::uint8_t>((pendingData_ & mask) | ~mask);
      break;
    }
    case kWriteLock:
      // The one-byte parts take LB1 and LB2 from data bits 1 and 2.
      lock &= static_cast<std::uint8_t>((sheet_.fuseLockByte ? pendingData_ >> 1 : pendingData_) |
                                        ~sheet_.lockMask);
      break;
    default:
      return;
  }
  ++writes;
}

void AvrHvParallelChip::StartCycle(Programmer& p, bool bs1, bool bs2) {
  const bool writesLocked = (lock & 0x01) == 0;
  const std::uint32_t address = (std::uint32_t{addrHigh_} << 8) | addrLow_;
  pendingCommand_ = command_;
  pendingData_ = dataLow_;
  if (lowVcc_) {
    ++lost;
    return;
  }
  switch (command_) {
    case kChipErase:
      break;
    case kWriteFlash: {
      if (sheet_.flashPage == 0) {
        // A byte per WR pulse: the loaded word address, BS selecting its low or high byte.
        pendingAddress_ = (address % (sheet_.flashBytes / 2)) * 2 + (bs1 ? 1 : 0);
        if (writesLocked) {
          ++lost;
          return;
        }
        break;
      }
      const std::uint32_t pageWords = sheet_.flashPage / 2;
      const std::uint32_t word = address % (sheet_.flashBytes / 2);
      pendingAddress_ = (word & ~(pageWords - 1)) * 2;
      pendingFlash_ = flashBuffer_;
      std::fill(flashBuffer_.begin(), flashBuffer_.end(), 0xFF);
      if (bs1 || writesLocked) {
        ++lost;
        return;
      }
      break;
    }
    case kWriteEeprom:
      if (sheet_.eepromBytes == 0) {
        ++lost;
        return;
      }
      if (sheet_.eepromPage == 0) {
        // A byte per WR pulse: the loaded address and data byte.
        eepromBuffer_[0] = dataLow_;
        eepromLatched_[0] = true;
        pendingAddress_ = address % sheet_.eepromBytes;
      } else {
        pendingAddress_ = (address % sheet_.eepromBytes) & ~(sheet_.eepromPage - 1);
      }
      pendingEeprom_ = eepromBuffer_;
      pendingLatched_ = eepromLatched_;
      std::fill(eepromBuffer_.begin(), eepromBuffer_.end(), 0xFF);
      std::fill(eepromLatched_.begin(), eepromLatched_.end(), false);
      if (bs1 || writesLocked) {
        ++lost;
        return;
      }
      break;
    case kWriteFuse:
      if ((bs1 && bs2) || writesLocked) {
        ++lost;
        return;
      }
      pendingFuse_ = bs2 ? 2 : bs1 ? 1 : 0;
      break;
    case kWriteLock:
      break;
    default:
      ++lost;
      return;
  }
  pending_ = true;
  doneAt_ = p.clockUs() + (command_ == kChipErase    ? sheet_.eraseUs
                           : command_ == kWriteFlash ? sheet_.flashUs
                                                     : sheet_.writeUs);
}

bool AvrHvParallelChip::HeldWr(std::uint8_t command) const {
  return (command == kChipErase && sheet_.eraseLowUs[0] > 0) ||
         (command == kWriteFuse && sheet_.fuseLowUs[0] > 0);
}

void AvrHvParallelChip::EndHeldWr(double now) {
  held_ = false;
  const double width = now - wrFellAt_;
  const auto& window = heldCommand_ == kChipErase ? sheet_.eraseLowUs : sheet_.fuseLowUs;
  if (lowVcc_ || width < window[0] || width > window[1]) {
    ++lost;
    return;
  }
  if (heldCommand_ == kChipErase) {
    pendingCommand_ = kChipErase;
    Complete();
    return;
  }
  if ((lock & 0x01) == 0) {
    ++lost;
    return;
  }
  fuses[0] = static_cast<std::uint8_t>((heldData_ & sheet_.fuseMask[0]) | ~sheet_.fuseMask[0]);
  ++writes;
}

std::uint8_t AvrHvParallelChip::ReadValue(bool bs1, bool bs2) const {
  const std::uint32_t address = (std::uint32_t{addrHigh_} << 8) | addrLow_;
  const bool verifyLocked = (lock & 0x03) == 0;
  switch (command_) {
    case kReadFlash:
      if (verifyLocked) return 0xFF;
      return flash[(address % (sheet_.flashBytes / 2)) * 2 + (bs1 ? 1 : 0)];
    case kReadEeprom:
      if (sheet_.eepromBytes == 0) return 0xFF;
      return verifyLocked ? 0xFF : eeprom[address % sheet_.eepromBytes];
    case kReadSignature:
      if (bs1) return addrLow_ < sheet_.calibration.size() ? sheet_.calibration[addrLow_] : 0xFF;
      return addrLow_ < 3 ? sheet_.signature[addrLow_] : 0xFF;
    case kReadFuseLock:
      if (sheet_.fuseLockByte) {
        // LB1 in bit 7, LB2 in bit 6, the fuse bits below; bits the part lacks read 1.
        return static_cast<std::uint8_t>((fuses[0] & 0x3F) | ((lock & 0x01) << 7) |
                                         ((lock & 0x02) << 5));
      }
      if (!bs2 && !bs1) return fuses[0];
      if (bs2 && bs1) return fuses[1];
      if (bs2) return fuses[2];
      return lock;
    default:
      return 0xFF;
  }
}

void AvrHvParallelChip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1 ||
      socket_[sheet_.vcc] != p.SocketPinOf(sheet_.vcc)) {
    socket_.assign(static_cast<std::size_t>(sheet_.pins) + 1, 0);
    for (int k = 1; k <= sheet_.pins; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const double now = p.clockUs();
  if (pending_ && now >= doneAt_) Complete();

  const int resetMv = In(p, sheet_.reset);
  const bool xtalNow = High(p, sheet_.xtal1);
  const bool powered = Powered(p);
  if (powered && !wasPowered_) poweredAt_ = now;
  wasPowered_ = powered;
  if (!powered) toggles_ = 0;
  if (powered && resetMv < 2500 && xtalNow && !xtalWas_ &&
      now - poweredAt_ >= sheet_.togglesAfterUs) {
    ++toggles_;
  }
  if (!Powered(p) || resetMv < kVppMin) {
    // Power or the mode lost inside a cycle: the cycle does not take.
    if (pending_) {
      pending_ = false;
      ++lost;
    }
    programming = false;
    held_ = false;
    driving_ = false;
    resetHigh_ = false;
    xtalWas_ = Powered(p) && xtalNow;
    pagelWas_ = wrWasLow_ = false;
    return;
  }
  lowVcc_ = p.SupplyMillivolts(socket_[sheet_.vcc]) < kVccProgram;
  if (!resetHigh_) {
    resetHigh_ = true;
    const auto& window = sheet_.entryWindowUs;
    const double sincePower = now - poweredAt_;
    const bool inOrder = toggles_ >= sheet_.entryToggles &&
                         (window[1] == 0 || (sincePower >= window[0] && sincePower <= window[1]));
    const bool enable = !High(p, sheet_.pagel) && !High(p, sheet_.xa1) && !High(p, sheet_.xa0) &&
                        !High(p, sheet_.bs1);
    if (enable && !inOrder) ++missedEntries;
    if (enable && inOrder && resetMv <= kVppMax) {
      programming = true;
      ++entries;
      enteredAt_ = now;
      command_ = addrLow_ = addrHigh_ = 0;
      dataLow_ = dataHigh_ = 0xFF;
      std::fill(flashBuffer_.begin(), flashBuffer_.end(), 0xFF);
      std::fill(eepromLatched_.begin(), eepromLatched_.end(), false);
    }
  }
  const bool xtal = High(p, sheet_.xtal1), pagel = High(p, sheet_.pagel);
  const int wrMv = In(p, sheet_.wr);
  const bool wrLow = wrMv >= 0 && wrMv < 2500;
  const bool bs1 = High(p, sheet_.bs1), bs2 = High(p, sheet_.bs2);
  if (programming) {
    const bool refused = now - enteredAt_ < sheet_.startUs || Busy(p);
    if (xtal && !xtalWas_) {
      if (refused) {
        ++lost;
      } else {
        const std::uint8_t d = DataIn(p);
        const bool xa0 = High(p, sheet_.xa0), xa1 = High(p, sheet_.xa1);
        if (xa1 && !xa0) {
          command_ = d;
        } else if (!xa1 && !xa0) {
          (bs1 ? addrHigh_ : addrLow_) = d;
        } else if (!xa1 && xa0) {
          // The page-less parts have one data register whatever BS says.
          (bs1 && sheet_.flashPage != 0 ? dataHigh_ : dataLow_) = d;
        }
      }
    }
    const bool latch = sheet_.latchOnPagelFall ? !pagel && pagelWas_ : pagel && !pagelWas_;
    if (latch) {
      if (refused) {
        ++lost;
      } else if (command_ == kWriteFlash && (bs1 || sheet_.pagel == sheet_.bs1)) {
        const std::uint32_t w = addrLow_ & (sheet_.flashPage / 2 - 1);
        flashBuffer_[w * 2] = dataLow_;
        flashBuffer_[w * 2 + 1] = dataHigh_;
      } else if (command_ == kWriteEeprom && sheet_.eepromPage != 0) {
        const std::uint32_t i = addrLow_ & (sheet_.eepromPage - 1);
        eepromBuffer_[i] = dataLow_;
        eepromLatched_[i] = true;
      } else {
        ++lost;
      }
    }
    if (wrLow && !wrWasLow_) {
      if (refused) {
        ++lost;
      } else if (HeldWr(command_)) {
        held_ = true;
        heldCommand_ = command_;
        heldData_ = dataLow_;
        wrFellAt_ = now;
      } else {
        StartCycle(p, bs1, bs2);
      }
    }
    if (!wrLow && wrWasLow_ && held_) EndHeldWr(now);
  }
  xtalWas_ = xtal;
  pagelWas_ = pagel;
  wrWasLow_ = wrLow;
  const int oe = In(p, sheet_.oe);
  driving_ = programming && oe >= 0 && oe < 2500 && IsRead(command_);
  ready_ = !Busy(p) && !held_;
  if (driving_) out_ = ReadValue(bs1, bs2);
}

int AvrHvParallelChip::Drive(int pin) const {
  if (sheet_.rdy != 0 && pin == sheet_.rdy) return programming ? (ready_ ? 1 : 0) : -1;
  if (!driving_) return -1;
  for (int i = 0; i < 8; ++i) {
    if (sheet_.data[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::shared_ptr<AvrHvParallelChip> MakeAvrHvParallel(std::string_view part) {
  AvrSheet s;
  if (part == "ATmega48") {
    s = AtmegaX8(4096, 64, 256, {0x1E, 0x92, 0x05}, false);
  } else if (part == "ATmega88") {
    s = AtmegaX8(8192, 64, 512, {0x1E, 0x93, 0x0A}, true);
  } else if (part == "ATmega168") {
    s = AtmegaX8(16384, 128, 512, {0x1E, 0x94, 0x06}, true);
  } else if (part == "ATmega162") {
    s = Atmega162();
  } else if (part == "ATmega161") {
    s = Atmega161();
  } else if (part == "ATmega163") {
    s = Atmega163();
  } else if (part == "AT90S2333") {
    s = At90s2333(2048, 128, {0x1E, 0x91, 0x05});
  } else if (part == "AT90S4433") {
    s = At90s2333(4096, 256, {0x1E, 0x92, 0x03});
  } else if (part == "ATtiny28") {
    s = Attiny28();
  } else if (part == "AT90S1200") {
    s = At90s20(1024, 64, {0x1E, 0x90, 0x01});
  } else if (part == "AT90S2313") {
    s = At90s20(2048, 128, {0x1E, 0x91, 0x01});
  } else if (part == "AT90S4414") {
    s = At90s40(Dip40Mega16x(), 4096, 256, {0x1E, 0x92, 0x01}, 11);
  } else if (part == "AT90S8515") {
    s = At90s40(Dip40Mega16x(), 8192, 512, {0x1E, 0x93, 0x01}, 11);
  } else if (part == "AT90S8515*P44") {
    s = At90s40(Plcc44At90s8515(), 8192, 512, {0x1E, 0x93, 0x01});
  } else if (part == "AT90S4434" || part == "AT90S4434(wired)") {
    s = At90s40(Atmega163(), 4096, 256, {0x1E, 0x92, 0x02}, 15);
  } else if (part == "AT90S8535" || part == "AT90S8535(wired)") {
    s = At90s40(Atmega163(), 8192, 512, {0x1E, 0x93, 0x03}, 15);
  } else if (part == "AT90S8535*P44") {
    s = At90s40(Plcc44Std(), 8192, 512, {0x1E, 0x93, 0x03});
  } else if (part == "ATtiny2313") {
    s = Attiny2313();
  } else if (part == "ATmega8") {
    s = Atmega8();
  } else if (part == "ATmega16") {
    s = Atmega16or32(16384, 512, {0x1E, 0x94, 0x03});
  } else if (part == "ATmega32") {
    s = Atmega16or32(32768, 1024, {0x1E, 0x95, 0x02});
  } else if (part == "ATmega64") {
    s = Atmega64or128(65536, 2048, {0x1E, 0x96, 0x02});
  } else if (part == "ATmega128") {
    s = Atmega64or128(131072, 4096, {0x1E, 0x97, 0x02});
  } else {
    return nullptr;
  }
  if (part.ends_with("(wired)")) s.wiring = At90s8535Jumpers();
  s.name = std::string(part);
  return std::make_shared<AvrHvParallelChip>(std::move(s));
}

std::string_view AvrHvParallelPartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {
      "ATmega48",      "ATmega88",   "ATmega168",     "ATmega161",        "ATmega162",
      "ATmega163",     "ATmega8",    "ATmega16",      "ATmega32",         "ATmega64",
      "ATmega128",     "ATtiny2313", "ATtiny28",      "AT90S2333",        "AT90S4433",
      "AT90S4414",     "AT90S8515",  "AT90S8515*P44", "AT90S4434",        "AT90S8535",
      "AT90S8535*P44", "AT90S1200",  "AT90S2313",     "AT90S4434(wired)", "AT90S8535(wired)"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
