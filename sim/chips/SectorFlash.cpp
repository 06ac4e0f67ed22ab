#include "sim/chips/SectorFlash.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

// The adapter's pin k sits on socket pin k - 4 (pins 1 to 4 on 45 to 48).
constexpr int Pin(int socketPin) {
  return socketPin <= 44 ? socketPin + 4 : socketPin - 44;
}
constexpr std::array<int, 20> kA = {Pin(1),  Pin(2),  Pin(3),  Pin(4),  Pin(5),  Pin(6),  Pin(7),
                                    Pin(8),  Pin(9),  Pin(12), Pin(13), Pin(14), Pin(15), Pin(16),
                                    Pin(17), Pin(18), Pin(19), Pin(20), Pin(22), Pin(23)};
constexpr std::array<int, 16> kD = {Pin(26), Pin(27), Pin(28), Pin(29), Pin(31), Pin(32),
                                    Pin(33), Pin(34), Pin(35), Pin(36), Pin(37), Pin(38),
                                    Pin(40), Pin(41), Pin(42), Pin(43)};
constexpr int kCe = Pin(10), kOe = Pin(39), kWe = Pin(45), kReset = Pin(44), kVcc = Pin(21);
constexpr int kA9 = Pin(12), kA6Bit = 6;
constexpr std::array<int, 2> kGround = {Pin(11), Pin(30)};
constexpr int kVid = 11500;
constexpr double kSectorEraseUs = 0.7e6, kChipEraseUs = 25e6, kProgramUs = 11, kPulseUs = 100;

constexpr SectorFlashSheet kSheets[] = {
    {"AM29LV160DB", 0x0001, 0x2249, 0x200000, true},
    {"AM29LV160DT", 0x0001, 0x22C4, 0x200000, false},
    {"AT49BV1614A", 0x001F, 0x00C0, 0x200000, true, true, 0x7FFF, 0x5555, 0x2AAA, true, false},
    {"AT49BV1614AT", 0x001F, 0x00C2, 0x200000, false, true, 0x7FFF, 0x5555, 0x2AAA, true, false},
};
// Block A's factory number (any fixed value: the datasheet gives none).
constexpr std::array<std::uint16_t, 4> kFactoryNumber = {0x4A31, 0x0C27, 0x9E05, 0x61D8};

}  // namespace

SectorFlash::SectorFlash(const SectorFlashSheet& sheet) : cells(sheet.bytes, 0xFF), sheet_(sheet) {
  const std::vector<std::uint32_t> boot =
      sheet.atmelSectors ? std::vector<std::uint32_t>{0x2000, 0x2000, 0x2000, 0x2000, 0x2000,
                                                      0x2000, 0x2000, 0x2000, 0x8000, 0x8000}
                         : std::vector<std::uint32_t>{0x4000, 0x2000, 0x2000, 0x8000};
  std::vector<std::uint32_t> sizes(sheet.bytes / 0x10000 - (sheet.atmelSectors ? 2 : 1), 0x10000);
  if (sheet.bottomBoot) {
    sizes.insert(sizes.begin(), boot.begin(), boot.end());
  } else {
    sizes.insert(sizes.end(), boot.rbegin(), boot.rend());
  }
  std::uint32_t start = 0;
  for (std::uint32_t s : sizes) {
    sectors.push_back({start, s, false});
    start += s;
  }
  protection.fill(0xFFFF);
  protection[0] = 0xFFFE;
  std::copy(kFactoryNumber.begin(), kFactoryNumber.end(), protection.begin() + 1);
}

std::vector<int> SectorFlash::GroundPins() const {
  return {kGround.begin(), kGround.end()};
}

// Absolute maximum ratings: Am29LV160D VCC 4.0 V, A9, OE# and RESET# 12.5 V, every other pin
// VCC + 0.5 V (4.1 V at the 3.6 V top of the range); AT49BV16X4A inputs 6.25 V, the I/O pins
// VCC + 0.6 V, OE# and RESET# 13.5 V.
int SectorFlash::MaxMillivolts(int pin) const {
  const bool atmel = sheet_.protectionRegister;
  if (pin == kVcc) return 4000;
  if (pin == kOe || pin == kReset) return atmel ? 13500 : 12500;
  if (!atmel) return pin == kA9 ? 12500 : 4100;
  return std::find(kD.begin(), kD.end(), pin) != kD.end() ? 4200 : 6250;
}

bool SectorFlash::Powered(const Programmer& p) const {
  if (socket_.empty()) return false;
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  bool powered = vcc >= 2700 && vcc <= 3600;
  for (int g : kGround) powered = powered && p.SupplyMillivolts(socket_[g]) == 0;
  return powered;
}

int SectorFlash::Mv(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

int SectorFlash::Level(const Programmer& p, int chipPin) const {
  const int mv = Mv(p, chipPin);
  if (mv < 0) return -1;
  if (mv < 800) return 0;
  return mv >= 2000 ? 1 : -1;
}

std::uint32_t SectorFlash::WordAddress(const Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kA.size(); ++i) {
    if (Level(p, kA[i]) == 1) a |= 1u << i;
  }
  return a & (sheet_.bytes / 2 - 1);
}

std::uint16_t SectorFlash::DataPins(const Programmer& p) const {
  std::uint16_t d = 0;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (Level(p, kD[i]) == 1) d |= static_cast<std::uint16_t>(1u << i);
  }
  return d;
}

SectorFlash::Sector* SectorFlash::SectorOf(std::uint32_t wordAddress) {
  const std::uint32_t byte = wordAddress * 2;
  for (Sector& s : sectors) {
    if (byte >= s.start && byte < s.start + s.bytes) return &s;
  }
  return nullptr;
}

void SectorFlash::Reset() {
  busy_ = false;
  erasing_.clear();
  autoselect_ = false;
  unlock_ = 0;
  programArmed_ = eraseArmed_ = protectionArmed_ = false;
}

void SectorFlash::Finish(double now) {
  if (!busy_ || now < busyEnd_) return;
  busy_ = false;
  for (Sector* s : erasing_) {
    std::fill(cells.begin() + s->start, cells.begin() + s->start + s->bytes, std::uint8_t{0xFF});
  }
  if (erasing_.size() > 1) ++chipErases;
  erasing_.clear();
}

void SectorFlash::Protect(std::uint32_t address, bool unprotect) {
  if (unprotect) {
    for (Sector& s : sectors) s.protect = false;
  } else if (Sector* s = SectorOf(address)) {
    s->protect = true;
  }
}

void SectorFlash::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(49, 0);
    for (int k = 1; k <= 48; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const double now = p.clockUs();
  if (powered_) Finish(now);
  if (!Powered(p)) {
    if (powered_) Reset();
    powered_ = false;
    driving_ = false;
    lastWe_ = -1;
    return;
  }
  powered_ = true;
  const int resetMv = Mv(p, kReset);
  if (resetMv >= 0 && resetMv < 800) {
    Reset();
    driving_ = false;
    lastWe_ = -1;
    return;
  }
  temporaryUnprotect_ = resetMv >= kVid;
  const bool ce = Level(p, kCe) == 0;
  const int we = Level(p, kWe);
  const int oeMv = Mv(p, kOe);
  const std::uint32_t address = WordAddress(p);
  if (sheet_.highVoltageProtect && p.SupplyMillivolts(socket_[kA9]) >= kVid && oeMv >= kVid) {
    // The high-voltage sector protect: the WE# pulse's length decides.
    if (ce && lastWe_ == 1 && we == 0) pulseStart_ = now;
    if (ce && lastWe_ == 0 && we == 1 && now - pulseStart_ >= kPulseUs)
      Protect(address, ((address >> kA6Bit) & 1) != 0);
    lastWe_ = we;
    driving_ = false;
    return;
  }
  const bool oeHigh = oeMv >= 2000;
  if (ce && oeHigh && lastWe_ == 1 && we == 0) latched_ = address;
  if (ce && oeHigh && lastWe_ == 0 && we == 1) Write(now, latched_, DataPins(p));
  lastWe_ = we;
  driving_ = ce && oeMv >= 0 && oeMv < 800 && we == 1;
  if (driving_) out_ = Read(address);
}

void SectorFlash::Write(double now, std::uint32_t address, std::uint16_t data) {
  if (busy_) return;
  const std::uint32_t u = address & sheet_.commandMask;
  if (protectionArmed_) {
    protectionArmed_ = false;
    const std::uint32_t r = address - kProtectionFirst;
    const bool blockBOpen = (protection[0] & 2) != 0;
    if (address >= kProtectionFirst && r < protection.size() && (r == 0 || (r >= 5 && blockBOpen)))
      protection[r] &= data;
    ++protectionPrograms;
    busy_ = true;
    busyEnd_ = now + kProgramUs;
    return;
  }
  if (programArmed_) {
    programArmed_ = false;
    const Sector* s = SectorOf(address);
    if (s && (!s->protect || temporaryUnprotect_)) {
      cells[address * 2] &= static_cast<std::uint8_t>(data);
      cells[address * 2 + 1] &= static_cast<std::uint8_t>(data >> 8);
    }
    ++programs;
    busy_ = true;
    busyEnd_ = now + kProgramUs;
    return;
  }
  const std::uint8_t d = static_cast<std::uint8_t>(data);
  if (d == 0xF0 && unlock_ != 2) {
    autoselect_ = false;
    unlock_ = 0;
    eraseArmed_ = false;
    return;
  }
  if (unlock_ == 0) {
    unlock_ = u == sheet_.unlock1 && d == 0xAA ? 1 : 0;
    return;
  }
  if (unlock_ == 1) {
    unlock_ = u == sheet_.unlock2 && d == 0x55 ? 2 : 0;
    return;
  }
  unlock_ = 0;
  if (eraseArmed_) {
    eraseArmed_ = false;
    if (d == 0x10 && u == sheet_.unlock1) {
      for (Sector& s : sectors) {
        if (!s.protect || temporaryUnprotect_) erasing_.push_back(&s);
      }
      busyEnd_ = now + kChipEraseUs;
    } else if (d == 0x30) {
      Sector* s = SectorOf(address);
      if (s && (!s->protect || temporaryUnprotect_)) erasing_.push_back(s);
      busyEnd_ = now + kSectorEraseUs;
    }
    busy_ = !erasing_.empty();
    return;
  }
  if (u != sheet_.unlock1) return;
  if (d == 0xC0 && sheet_.protectionRegister) protectionArmed_ = true;
  if (d == 0xA0) programArmed_ = true;
  if (d == 0x80) eraseArmed_ = true;
  if (d == 0x90) autoselect_ = true;
  if (d == 0xF0) autoselect_ = false;
}

std::uint16_t SectorFlash::Read(std::uint32_t address) {
  if (busy_) {
    toggle_ = !toggle_;
    return toggle_ ? 0x0040 : 0x0000;
  }
  if (autoselect_) {
    const std::uint32_t r = (address & 0xFF) - kProtectionFirst;
    if (sheet_.protectionRegister && (address & 0xFF) >= kProtectionFirst && r < protection.size())
      return protection[r];
    switch (address & 0xFF) {
      case 0:
        return sheet_.maker;
      case 1:
        return sheet_.device;
      case 2: {
        const Sector* s = SectorOf(address);
        return s && s->protect ? 1 : 0;
      }
      default:
        return 0;
    }
  }
  return static_cast<std::uint16_t>(cells[address * 2] | cells[address * 2 + 1] << 8);
}

int SectorFlash::Drive(int pin) const {
  if (!driving_) return -1;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (kD[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::string_view SectorFlashPartOf(std::string_view chipName) {
  std::string_view best;
  for (const SectorFlashSheet& s : kSheets) {
    if (s.name.size() > best.size() && chipName.find(s.name) != std::string_view::npos)
      best = s.name;
  }
  return best;
}

std::shared_ptr<SectorFlash> MakeSectorFlash(std::string_view part) {
  for (const SectorFlashSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<SectorFlash>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
