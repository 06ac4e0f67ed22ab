#include "sim/chips/AndFlash.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

// The model's pin on socket pin `s` (the adapter's 48 pins at the bottom of the socket).
constexpr int Pin(int s) {
  return s <= 44 ? s + 4 : s - 44;
}
// The adapter's pins by the socket pins sim/designs/P29F640.cpp names for them.
constexpr std::array<int, 18> kA = {Pin(1),  Pin(2),  Pin(3),  Pin(4),  Pin(5),  Pin(6),
                                    Pin(7),  Pin(8),  Pin(9),  Pin(12), Pin(13), Pin(14),
                                    Pin(15), Pin(16), Pin(17), Pin(18), Pin(19), Pin(20)};
constexpr std::array<int, 16> kD = {Pin(26), Pin(27), Pin(28), Pin(29), Pin(32), Pin(33),
                                    Pin(35), Pin(36), Pin(37), Pin(38), Pin(40), Pin(41),
                                    Pin(42), Pin(43), Pin(46), Pin(47)};
constexpr int kCe = Pin(10), kOe = Pin(39), kWe = Pin(45), kReset = Pin(44), kVcc = Pin(34),
              kVss = Pin(31);
constexpr std::string_view kPart = "HN29V25611";

}  // namespace

std::vector<int> AndFlash::GroundPins() const {
  return {kVss};
}

// The datasheets' absolute maximum: 4.6 V on VCC and on every other pin.
int AndFlash::MaxMillivolts(int) const {
  return 4600;
}

bool AndFlash::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(kVcc));
  return vcc >= 2700 && vcc <= 3600 && p.SupplyMillivolts(p.SocketPinOf(kVss)) == 0;
}

int AndFlash::Level(const Programmer& p, int chipPin) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(chipPin));
  if (mv < 0) return -1;
  if (mv < 800) return 0;
  return mv >= 2000 ? 1 : -1;
}

void AndFlash::Reset() {
  erasing_ = false;
  autoselect_ = false;
  unlock_ = 0;
  programArmed_ = eraseArmed_ = false;
  driving_ = false;
  lastWe_ = -1;
}

void AndFlash::OnPins(Programmer& p) {
  const double now = p.clockUs();
  if (erasing_ && now >= eraseEnd_) {
    erasing_ = false;
    std::fill(cells.begin(), cells.end(), std::uint8_t{0xFF});
    ++chipErases;
  }
  if (!Powered(p)) {
    if (powered_) Reset();
    powered_ = false;
    driving_ = false;
    return;
  }
  powered_ = true;
  if (Level(p, kReset) == 0) {
    Reset();
    return;
  }
  std::uint32_t word = 0;
  for (std::size_t i = 0; i < kA.size(); ++i) {
    if (Level(p, kA[i]) == 1) word |= 1u << i;
  }
  const bool ce = Level(p, kCe) == 0;
  const int we = Level(p, kWe);
  const int oe = Level(p, kOe);
  if (ce && oe == 1 && lastWe_ == 1 && we == 0) latched_ = word;
  if (ce && oe == 1 && lastWe_ == 0 && we == 1) {
    std::uint16_t data = 0;
    for (std::size_t i = 0; i < kD.size(); ++i) {
      if (Level(p, kD[i]) == 1) data |= static_cast<std::uint16_t>(1u << i);
    }
    Write(now, latched_, data);
  }
  lastWe_ = we;
  driving_ = ce && oe == 0 && we == 1;
  if (driving_) out_ = Read(word);
}

void AndFlash::Write(double now, std::uint32_t word, std::uint16_t data) {
  if (erasing_) return;
  const std::uint32_t u = word & 0x7FF;
  const std::uint8_t d = static_cast<std::uint8_t>(data);
  if (programArmed_) {
    programArmed_ = false;
    cells[word * 2] &= d;
    cells[word * 2 + 1] &= static_cast<std::uint8_t>(data >> 8);
    ++programs;
    return;
  }
  if (d == 0xF0 && unlock_ != 2) {
    autoselect_ = eraseArmed_ = false;
    unlock_ = 0;
    return;
  }
  if (unlock_ < 2) {
    const bool next = unlock_ == 0 ? u == 0x555 && d == 0xAA : u == 0x2AA && d == 0x55;
    unlock_ = next ? unlock_ + 1 : 0;
    return;
  }
  unlock_ = 0;
  if (u != 0x555) {
    eraseArmed_ = false;
    return;
  }
  if (eraseArmed_) {
    eraseArmed_ = false;
    if (d == 0x10) {
      erasing_ = true;
      eraseEnd_ = now + kChipEraseUs;
    }
    return;
  }
  if (d == 0xA0) programArmed_ = true;
  if (d == 0x80) eraseArmed_ = true;
  if (d == 0x90) autoselect_ = true;
}

std::uint16_t AndFlash::Read(std::uint32_t word) {
  if (erasing_) {
    toggle_ = !toggle_;
    return toggle_ ? 0x0040 : 0x0000;
  }
  if (autoselect_) {
    switch (word & 0xFF) {
      case 0:
        return kMaker;
      case 1:
        return kDevice;
      default:
        return 0;
    }
  }
  return static_cast<std::uint16_t>(cells[word * 2] | cells[word * 2 + 1] << 8);
}

int AndFlash::Drive(int pin) const {
  if (!driving_) return -1;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (kD[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::string_view AndFlashPartOf(std::string_view chipName) {
  return chipName.find(kPart) != std::string_view::npos ? kPart : std::string_view{};
}

std::shared_ptr<AndFlash> MakeAndFlash(std::string_view part) {
  return part == kPart ? std::make_shared<AndFlash>() : nullptr;
}

}  // namespace zelvar::sim
