#include "sim/chips/Pic17.h"

#include <array>
#include <cstdio>
#include <string>

namespace zelvar::sim {

namespace {

constexpr int kVddMin = 4500, kVddMax = 5500, kVppMin = 12750, kVppMax = 13250;
constexpr int kProgramVddMin = 4750, kProgramVddMax = 5250;
constexpr double kPulseMinUs = 100, kPulseMaxUs = 10000;

constexpr std::array<Pic17Sheet, 3> kSheets = {{
    {"PIC17C42A", 2048},
    {"PIC17C43", 4096},
    {"PIC17C44", 8192},
}};

}  // namespace

Pic17Chip::Pic17Chip(const Pic17Sheet& sheet) : code(sheet.words, 0xFFFF), sheet_(sheet) {}

bool Pic17Chip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(kVdd));
  return vdd >= kVddMin && vdd <= kVddMax && p.IsGround(p.SocketPinOf(kVss));
}

int Pic17Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

std::uint16_t Pic17Chip::Bus(const Programmer& p) const {
  std::uint16_t w = 0;
  for (int i = 0; i < 8; ++i) {
    w = static_cast<std::uint16_t>(w | Level(p, 2 + i) << i | Level(p, 40 - i) << (8 + i));
  }
  return w;
}

std::uint16_t Pic17Chip::ReadWord() const {
  if (address_ < sheet_.words) return Protected() ? 0 : code[address_];
  if (address_ >= kConfigBase && address_ < kConfigBase + 8) return 0xFF00 | (ConfigRead() & 0xFF);
  if (address_ >= kConfigBase + 8 && address_ < kConfigBase + 16)
    return static_cast<std::uint16_t>(0xFF00 | ConfigRead() >> 8);
  return 0xFFFF;
}

void Pic17Chip::EndPulse(Programmer& p) {
  pulsing_ = false;
  const double held = p.clockUs() - pulseStart_;
  if (held > kPulseMaxUs) {
    char text[96];
    std::snprintf(text, sizeof text, "%s: program pulse of %.0f us", Name().c_str(), held);
    p.record.Hazard(text);
  }
  if (held < kPulseMinUs || pulseVdd_ < kProgramVddMin || pulseVdd_ > kProgramVddMax) {
    ++shortPulses;
    return;
  }
  ++pulses;
  if (address_ < sheet_.words) {
    code[address_] &= latch_;
  } else {
    const int k = address_ - kConfigBase;
    if ((latch_ >> (k & 7) & 1) == 0) config &= static_cast<std::uint16_t>(~(1u << k));
  }
}

void Pic17Chip::Leave(Programmer& p) {
  // A pulse cut short by leaving the mode programs nothing.
  if (pulsing_) p.record.ProtocolError(Name() + ": mode left during a program pulse");
  inMode = false;
  pulsing_ = false;
  driving_ = false;
}

void Pic17Chip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const int vpp = p.SupplyMillivolts(p.SocketPinOf(kMclr));
  const bool mclr = vpp >= kVppMin && vpp <= kVppMax;
  const bool test = Level(p, kTest) == 1;
  const int clock = Level(p, kClock), wr = Level(p, kWr), ale = Level(p, kAle);
  if (inMode && (!powered || !mclr || !test)) Leave(p);
  if (!inMode && powered && lastPowered_ && mclr && !lastMclr_ && test) {
    inMode = true;
    ++entries;
    address_ = 0;
    phase_ = 0;
  }
  if (inMode) {
    if (clock == 1 && lastClock_ == 0) {
      if (pulsing_) p.record.ProtocolError(Name() + ": clock during a program pulse");
      if (ale == 1) {
        address_ = Bus(p);
        phase_ = 0;
      } else {
        phase_ = (phase_ + 1) % 3;
        if (phase_ == 0) ++address_;
      }
    }
    if (wr == 1 && lastWr_ == 0) {
      const bool inside =
          address_ < sheet_.words || (address_ >= kConfigBase && address_ < kConfigBase + 16);
      if (phase_ != 0 || ale == 0 || !inside) {
        p.record.ProtocolError(Name() + ": program pulse outside phase 0 of a driven word");
      } else {
        pulsing_ = true;
        pulseStart_ = p.clockUs();
        pulseVdd_ = p.SupplyMillivolts(p.SocketPinOf(kVdd));
        latch_ = Bus(p);
      }
    } else if (wr == 0 && lastWr_ == 1 && pulsing_) {
      EndPulse(p);
    }
    driving_ = phase_ == 1 && ale == 0 && wr == 0;
  }
  lastClock_ = clock;
  lastWr_ = wr;
  lastPowered_ = powered;
  lastMclr_ = mclr;
}

int Pic17Chip::Drive(int pin) const {
  if (!driving_ || !inMode) return -1;
  const std::uint16_t w = ReadWord();
  if (pin >= 2 && pin <= 9) return w >> (pin - 2) & 1;
  if (pin >= 33 && pin <= 40) return w >> (8 + 40 - pin) & 1;
  return -1;
}

std::string_view Pic17PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic17Sheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic17Chip> MakePic17(std::string_view part) {
  for (const Pic17Sheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Pic17Chip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
