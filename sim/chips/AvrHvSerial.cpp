#include "sim/chips/AvrHvSerial.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVccMin = 4500, kVccMax = 5500, kVppMin = 11500, kVppMax = 12500;
constexpr double kStartUs = 50;
constexpr std::uint8_t kLockMask = 0x06;

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

AvrSerialSheet Sheet(std::uint32_t flash, std::uint32_t eeprom,
                     std::array<std::uint8_t, 3> signature, std::uint8_t fuseDefault,
                     std::uint8_t fuseMask, std::vector<std::uint8_t> calibration) {
  AvrSerialSheet s;
  s.flashBytes = flash;
  s.eepromBytes = eeprom;
  s.signature = signature;
  s.fuseMask = fuseMask;
  s.fuseDefault = static_cast<std::uint8_t>(fuseDefault | ~fuseMask);
  s.calibration = std::move(calibration);
  return s;
}

}  // namespace

AvrHvSerialChip::AvrHvSerialChip(AvrSerialSheet sheet) : sheet_(std::move(sheet)) {
  flash.assign(sheet_.flashBytes, 0xFF);
  eeprom.assign(sheet_.eepromBytes, 0xFF);
  fuse = sheet_.fuseDefault;
}

bool AvrHvSerialChip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  if (vcc == 0 || !p.IsGround(gnd)) return false;
  const int mv = p.SupplyMillivolts(vcc);
  return mv >= kVccMin && mv <= kVccMax;
}

void AvrHvSerialChip::Complete() {
  pending_ = false;
  const std::uint32_t a = pendingAddress_;
  switch (pendingCommand_) {
    case kChipErase:
      std::fill(flash.begin(), flash.end(), 0xFF);
      std::fill(eeprom.begin(), eeprom.end(), 0xFF);
      lock = 0xFF;
      ++erases;
      return;
    case kWriteFlash:
      flash[a * 2 + (pendingHigh_ ? 1 : 0)] &= pendingData_;
      break;
    case kWriteEeprom:
      eeprom[a] = pendingData_;
      break;
    case kWriteFuse:
      fuse = static_cast<std::uint8_t>((pendingData_ & sheet_.fuseMask) | ~sheet_.fuseMask);
      break;
    case kWriteLock:
      lock &= static_cast<std::uint8_t>(pendingData_ | ~kLockMask);
      break;
    default:
      return;
  }
  ++writes;
}

void AvrHvSerialChip::StartCycle(Programmer& p, bool highByte) {
  const bool writesLocked = (lock & 0x02) == 0;
  const std::uint32_t address = (std::uint32_t{addrHigh_} << 8) | addrLow_;
  pendingCommand_ = command_;
  pendingHigh_ = highByte;
  pendingData_ = highByte ? dataHigh_ : dataLow_;
  switch (command_) {
    case kWriteFlash:
      if (writesLocked) {
        ++lost;
        return;
      }
      pendingAddress_ = address % (sheet_.flashBytes / 2);
      break;
    case kWriteEeprom:
      if (writesLocked || highByte || sheet_.eepromBytes == 0) {
        ++lost;
        return;
      }
      pendingAddress_ = address % sheet_.eepromBytes;
      break;
    case kChipErase:
    case kWriteFuse:
    case kWriteLock:
      if (highByte) {
        ++lost;
        return;
      }
      break;
    default:
      ++lost;
      return;
  }
  pending_ = true;
  doneAt_ = p.clockUs() + (command_ == kChipErase ? sheet_.eraseUs : sheet_.writeUs);
}

std::uint8_t AvrHvSerialChip::ReadValue(bool highByte) const {
  const std::uint32_t address = (std::uint32_t{addrHigh_} << 8) | addrLow_;
  const bool verifyLocked = (lock & kLockMask) == 0;
  switch (command_) {
    case kReadFlash:
      if (verifyLocked) return 0xFF;
      return flash[(address % (sheet_.flashBytes / 2)) * 2 + (highByte ? 1 : 0)];
    case kReadEeprom:
      if (verifyLocked || highByte || sheet_.eepromBytes == 0) return 0xFF;
      return eeprom[address % sheet_.eepromBytes];
    case kReadSignature:
      if (highByte)
        return addrLow_ < sheet_.calibration.size() ? sheet_.calibration[addrLow_] : 0xFF;
      return addrLow_ < 3 ? sheet_.signature[addrLow_] : 0xFF;
    case kReadFuseLock:
      return highByte ? lock : fuse;
    default:
      return 0xFF;
  }
}

void AvrHvSerialChip::Execute(Programmer& p, std::uint8_t instruction, std::uint8_t data) {
  const bool idle = instruction == 0x6C || instruction == 0x7C;
  if (idle) return;
  if (pending_ && p.clockUs() < doneAt_) {
    ++lost;
    return;
  }
  switch (instruction) {
    case 0x4C:
      command_ = data;
      return;
    case 0x0C:
      addrLow_ = data;
      return;
    case 0x1C:
      addrHigh_ = data;
      return;
    case 0x2C:
      dataLow_ = data;
      return;
    case 0x3C:
      dataHigh_ = data;
      return;
    case 0x64:
    case 0x74:
      StartCycle(p, instruction == 0x74);
      return;
    case 0x68:
    case 0x78:
      outByte_ = ReadValue(instruction == 0x78);
      return;
    default:
      ++lost;
      return;
  }
}

void AvrHvSerialChip::OnPins(Programmer& p) {
  if (!placed_ || p.ChipPinAt(socket_[1]) != 1) {
    for (int k = 1; k <= 8; ++k) socket_[k] = p.SocketPinOf(k);
    placed_ = true;
  }
  if (pending_ && p.clockUs() >= doneAt_) Complete();
  const int resetMv = In(p, kReset);
  const bool sci = High(p, kSci);
  if (!Powered(p)) {
    if (pending_) ++lost;
    pending_ = programming = resetHigh_ = sciWas_ = false;
    toggles_ = 0;
    return;
  }
  if (resetMv < kVppMin) {
    if (pending_) ++lost;
    pending_ = programming = resetHigh_ = false;
    if (resetMv < 2500 && sci && !sciWas_) ++toggles_;
    sciWas_ = sci;
    return;
  }
  if (!resetHigh_) {
    resetHigh_ = true;
    if (resetMv <= kVppMax && toggles_ >= 4 && !sci && !High(p, kSdi)) {
      programming = true;
      ++entries;
      enteredAt_ = p.clockUs();
      bits_ = 0;
      outPos_ = 0;
      command_ = addrLow_ = addrHigh_ = 0;
    }
  }
  if (programming && sci && !sciWas_) {
    if (p.clockUs() - enteredAt_ < kStartUs) {
      ++lost;
    } else {
      sdi_ = static_cast<std::uint16_t>((sdi_ << 1) | (High(p, kSdi) ? 1 : 0));
      sii_ = static_cast<std::uint16_t>((sii_ << 1) | (High(p, kSii) ? 1 : 0));
      ++outPos_;
      if (++bits_ == 11) {
        bits_ = 0;
        outPos_ = 0;
        Execute(p, static_cast<std::uint8_t>(sii_ >> 2), static_cast<std::uint8_t>(sdi_ >> 2));
      }
    }
  }
  sciWas_ = sci;
}

int AvrHvSerialChip::Drive(int pin) const {
  if (pin != kSdo || !programming) return -1;
  if (outPos_ < 1 || outPos_ > 8) return 0;
  return (outByte_ >> (8 - outPos_)) & 1;
}

std::shared_ptr<AvrHvSerialChip> MakeAvrHvSerial(std::string_view part) {
  AvrSerialSheet s;
  if (part == "ATtiny11") {
    // FOSC (CKSEL0..2), FSTRT, RSTDISBL; no data EEPROM, no calibration byte.
    s = Sheet(1024, 0, {0x1E, 0x90, 0x04}, 0xFC, 0x1F, {});
  } else if (part == "ATtiny12") {
    // CKSEL0..3, RSTDISBL, SPIEN, BODEN, BODLEVEL; internal RC and SPIEN programmed.
    s = Sheet(1024, 64, {0x1E, 0x90, 0x05}, 0xD2, 0xFF, {0x5B});
  } else if (part == "ATtiny15") {
    // CKSEL0..1, RSTDISBL, SPIEN, BODEN, BODLEVEL.
    s = Sheet(1024, 64, {0x1E, 0x90, 0x06}, 0x5C, 0xF3, {0x6E});
  } else if (part == "AT90S2323") {
    // FSTRT and SPIEN.
    s = Sheet(2048, 128, {0x1E, 0x91, 0x02}, 0xDF, 0x21, {});
  } else if (part == "AT90S2343") {
    // RCEN and SPIEN; the internal RC oscillator on.
    s = Sheet(2048, 128, {0x1E, 0x91, 0x03}, 0xDE, 0x21, {});
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<AvrHvSerialChip>(std::move(s));
}

std::string_view AvrHvSerialPartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {"ATtiny11", "ATtiny12", "ATtiny15", "AT90S2323",
                                         "AT90S2343"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
