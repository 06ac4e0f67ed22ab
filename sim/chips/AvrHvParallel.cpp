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
  return p.InputMillivolts(socket_[chipPin]);
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
      if (fuses[1] & 0x08) std::fill(eeprom.begin(), eeprom.end(), 0xFF);
      lock = 0xFF;
      ++erases;
      return;
    case kWriteFlash:
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
      lock &= static_cast<std::uint8_t>(pendingData_ | ~sheet_.lockMask);
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

std::uint8_t AvrHvParallelChip::ReadValue(bool bs1, bool bs2) const {
  const std::uint32_t address = (std::uint32_t{addrHigh_} << 8) | addrLow_;
  const bool verifyLocked = (lock & 0x03) == 0;
  switch (command_) {
    case kReadFlash:
      if (verifyLocked) return 0xFF;
      return flash[(address % (sheet_.flashBytes / 2)) * 2 + (bs1 ? 1 : 0)];
    case kReadEeprom:
      return verifyLocked ? 0xFF : eeprom[address % sheet_.eepromBytes];
    case kReadSignature:
      if (bs1) return addrLow_ < sheet_.calibration.size() ? sheet_.calibration[addrLow_] : 0xFF;
      return addrLow_ < 3 ? sheet_.signature[addrLow_] : 0xFF;
    case kReadFuseLock:
      if (!bs2 && !bs1) return fuses[0];
      if (bs2 && bs1) return fuses[1];
      if (bs2) return fuses[2];
      return lock;
    default:
      return 0xFF;
  }
}

void AvrHvParallelChip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(static_cast<std::size_t>(sheet_.pins) + 1, 0);
    for (int k = 1; k <= sheet_.pins; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const double now = p.clockUs();
  if (pending_ && now >= doneAt_) Complete();

  const int resetMv = In(p, sheet_.reset);
  const bool xtalNow = High(p, sheet_.xtal1);
  if (!Powered(p)) toggles_ = 0;
  if (Powered(p) && resetMv < kVppMin && resetMv < 2500 && xtalNow && !xtalWas_) ++toggles_;
  if (!Powered(p) || resetMv < kVppMin) {
    // Power or the mode lost inside a cycle: the cycle does not take.
    if (pending_) {
      pending_ = false;
      ++lost;
    }
    programming = false;
    driving_ = false;
    resetHigh_ = false;
    xtalWas_ = Powered(p) && xtalNow;
    pagelWas_ = wrWasLow_ = false;
    return;
  }
  lowVcc_ = p.SupplyMillivolts(socket_[sheet_.vcc]) < kVccProgram;
  if (!resetHigh_) {
    resetHigh_ = true;
    const bool enable = !High(p, sheet_.pagel) && !High(p, sheet_.xa1) && !High(p, sheet_.xa0) &&
                        !High(p, sheet_.bs1) && toggles_ >= sheet_.entryToggles;
    if (enable && resetMv <= kVppMax) {
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
          (bs1 ? dataHigh_ : dataLow_) = d;
        }
      }
    }
    if (pagel && !pagelWas_) {
      if (refused) {
        ++lost;
      } else if (command_ == kWriteFlash && bs1) {
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
      } else {
        StartCycle(p, bs1, bs2);
      }
    }
  }
  xtalWas_ = xtal;
  pagelWas_ = pagel;
  wrWasLow_ = wrLow;
  const int oe = In(p, sheet_.oe);
  driving_ = programming && oe >= 0 && oe < 2500 && IsRead(command_);
  if (driving_) out_ = ReadValue(bs1, bs2);
}

int AvrHvParallelChip::Drive(int pin) const {
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
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<AvrHvParallelChip>(std::move(s));
}

std::string_view AvrHvParallelPartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {"ATmega48",  "ATmega88",  "ATmega168",
                                         "ATmega161", "ATmega162", "ATmega163"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
