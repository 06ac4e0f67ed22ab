#include "sim/chips/AvrSpi.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVccMin = 2700, kVccMax = 5500;

// ATtiny26 (20-pin DIP): MOSI PB0 1, MISO PB1 2, SCK PB2 3, VCC 5, GND 6, RESET PB7 10; fuse low
// PLLCK, CKOPT, SUT1..0, CKSEL3..0; fuse high RSTDISBL, SPIEN, EESAVE, BODLEVEL, BODEN; four
// calibration bytes (1, 2, 4 and 8 MHz).
AvrSpiSheet Attiny26() {
  AvrSpiSheet s;
  s.signature = {0x1E, 0x91, 0x09};
  s.calibration = {0xA1, 0x9F, 0x9D, 0x9B};
  s.fuseDefault = {0xE1, 0xF7};
  s.fuseMask = {0xFF, 0x1F};
  return s;
}
}  // namespace

AvrSpiChip::AvrSpiChip(AvrSpiSheet sheet) : sheet_(std::move(sheet)) {
  flash.assign(sheet_.flashBytes, 0xFF);
  eeprom.assign(sheet_.eepromBytes, 0xFF);
  fuses = sheet_.fuseDefault;
  pageBuffer_.assign(sheet_.flashPage, 0xFF);
}

bool AvrSpiChip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(sheet_.vcc), gnd = p.SocketPinOf(sheet_.ground);
  if (vcc == 0 || !p.IsGround(gnd)) return false;
  const int mv = p.SupplyMillivolts(vcc);
  return mv >= kVccMin && mv <= kVccMax;
}

void AvrSpiChip::OnPins(Programmer& p) {
  const double now = p.clockUs();
  const bool sck = In(p, sheet_.sck) >= 2500;
  if (!Powered(p)) {
    powered_ = resetLow_ = enabled_ = false;
    bits_ = 0;
    sckWas_ = false;
    return;
  }
  const int resetMv = In(p, sheet_.reset);
  const bool resetLow = resetMv >= 0 && resetMv < 1000;
  if (!powered_) {
    powered_ = true;
    // Power-up with RESET low counts only with SCK low.
    resetLow_ = resetLow && !sck;
    resetLowAt_ = now;
    sckWas_ = sck;
    bits_ = 0;
    return;
  }
  if (!resetLow) {
    resetLow_ = enabled_ = false;
    bits_ = 0;
    sckWas_ = sck;
    return;
  }
  if (!resetLow_) {
    // RESET fell after a pulse: the wait and the framing start again; SCK must be low.
    resetLow_ = !sck;
    resetLowAt_ = now;
    bits_ = 0;
    sckWas_ = sck;
    return;
  }
  if (sck && !sckWas_) {
    const int byte = bits_ / 8;
    frame_[static_cast<std::size_t>(byte)] = static_cast<std::uint8_t>(
        frame_[static_cast<std::size_t>(byte)] << 1 | (In(p, sheet_.mosi) >= 2500 ? 1 : 0));
    ++bits_;
  }
  if (!sck && sckWas_) {
    // The falling edge: the next bit out; at a byte's end, the next byte's output.
    if (bits_ % 8 == 0) {
      if (bits_ == 32) {
        Instruction(now);
        bits_ = 0;
        frame_ = {};
      }
      shiftOut_ = Output(now);
    } else {
      shiftOut_ = static_cast<std::uint8_t>(shiftOut_ << 1);
    }
  }
  miso_ = (shiftOut_ & 0x80) != 0;
  sckWas_ = sck;
}

bool AvrSpiChip::Ready(double now) const {
  return now - resetLowAt_ >= sheet_.enableUs && (fuses[1] & 0x10) != 0 && refuseEnables == 0;
}

std::uint8_t AvrSpiChip::Output(double now) const {
  const int byte = bits_ / 8;
  if (byte == 2) {
    // The echo: once enabled, of every instruction; before, only of a Programming Enable the chip
    // takes.
    if (enabled_) return frame_[1];
    return frame_[0] == 0xAC && frame_[1] == 0x53 && Ready(now) ? 0x53 : 0xFF;
  }
  if (byte != 3 || !enabled_) return 0xFF;
  const std::uint32_t word = ((frame_[1] & 0x03u) << 8 | frame_[2]) % (sheet_.flashBytes / 2);
  const bool hidden = (lock & 0x03) == 0;
  switch (frame_[0]) {
    case 0x20:
    case 0x28:
      return hidden ? 0xFF : flash[word * 2 + (frame_[0] == 0x28 ? 1 : 0)];
    case 0xA0:
      return hidden ? 0xFF : eeprom[frame_[2] % sheet_.eepromBytes];
    case 0x30:
      return (frame_[2] & 3) < 3 ? sheet_.signature[frame_[2] & 3] : 0xFF;
    case 0x38:
      return sheet_.calibration[frame_[2] & 3];
    case 0x50:
      return fuses[0];
    case 0x58:
      return frame_[1] == 0x08 ? fuses[1] : static_cast<std::uint8_t>(0xFC | lock);
    default:
      return 0xFF;
  }
}

void AvrSpiChip::Instruction(double now) {
  const auto& f = frame_;
  if (!enabled_) {
    if (f[0] != 0xAC || f[1] != 0x53) return;
    if (Ready(now)) {
      enabled_ = true;
      ++enables;
    } else if (refuseEnables > 0) {
      --refuseEnables;
    }
    return;
  }
  const bool isWrite = f[0] == 0xAC || f[0] == 0x4C || f[0] == 0xC0;
  if (isWrite && Busy(now)) {
    ++lost;
    return;
  }
  const bool writesLocked = (lock & 0x01) == 0;
  switch (f[0]) {
    case 0x40:
    case 0x48: {
      const std::uint32_t w = f[2] & (sheet_.flashPage / 2 - 1);
      pageBuffer_[w * 2 + (f[0] == 0x48 ? 1 : 0)] = f[3];
      return;
    }
    case 0x4C: {
      if (writesLocked) {
        ++lost;
        return;
      }
      const std::uint32_t word = ((f[1] & 0x03u) << 8 | f[2]) % (sheet_.flashBytes / 2);
      const std::uint32_t at = (word & ~(sheet_.flashPage / 2 - 1)) * 2;
      for (std::uint32_t i = 0; i < sheet_.flashPage; ++i) flash[at + i] &= pageBuffer_[i];
      std::fill(pageBuffer_.begin(), pageBuffer_.end(), 0xFF);
      busyUntil_ = now + sheet_.pageUs;
      ++writes;
      return;
    }
    case 0xC0:
      if (writesLocked) {
        ++lost;
        return;
      }
      eeprom[f[2] % sheet_.eepromBytes] = f[3];
      busyUntil_ = now + sheet_.eepromUs;
      ++writes;
      return;
    case 0xAC:
      if ((f[1] & 0xE0) == 0x80) {
        std::fill(flash.begin(), flash.end(), 0xFF);
        std::fill(eeprom.begin(), eeprom.end(), 0xFF);
        lock = 0xFF;
        busyUntil_ = now + sheet_.eraseUs;
        ++erases;
      } else if (f[1] == 0xA0 || f[1] == 0xA8) {
        const int n = f[1] == 0xA0 ? 0 : 1;
        const std::uint8_t mask = sheet_.fuseMask[static_cast<std::size_t>(n)];
        fuses[static_cast<std::size_t>(n)] = static_cast<std::uint8_t>((f[3] & mask) | ~mask);
        busyUntil_ = now + sheet_.fuseUs;
        ++writes;
      } else if ((f[1] & 0xE0) == 0xE0) {
        lock &= static_cast<std::uint8_t>(f[3] | 0xFC);
        busyUntil_ = now + sheet_.fuseUs;
        ++writes;
      }
      return;
    default:
      return;
  }
}

int AvrSpiChip::Drive(int pin) const {
  if (pin != sheet_.miso || !powered_ || !resetLow_) return -1;
  return miso_ ? 1 : 0;
}

std::shared_ptr<AvrSpiChip> MakeAvrSpi(std::string_view part) {
  if (part != "ATtiny26") return nullptr;
  AvrSpiSheet s = Attiny26();
  s.name = std::string(part);
  return std::make_shared<AvrSpiChip>(std::move(s));
}

std::string_view AvrSpiPartOf(std::string_view chipName) {
  return chipName.find("ATtiny26") != std::string_view::npos ? "ATtiny26" : "";
}

}  // namespace zelvar::sim
