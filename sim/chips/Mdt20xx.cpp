#include "sim/chips/Mdt20xx.h"

#include <array>

namespace zelvar::sim {

namespace {
constexpr int kEntryMillivolts = 11500;
constexpr double kPulseUs = 1000;

struct Part {
  std::string_view name;
  int pins;
  int words;
  int startEdges = 4;
};
constexpr std::array<Part, 6> kParts = {{{"MDT2005", 18, 512},
                                         {"MDT2010", 18, 1024},
                                         {"MDT2015", 28, 512},
                                         {"MDT2020", 28, 2048},
                                         {"MDT2030", 18, 2048},
                                         {"MDT2051", 18, 1024, 0}}};
}  // namespace

Mdt20xxChip::Mdt20xxChip(std::string_view part, int pins, int words, int startEdges)
    : code(static_cast<std::size_t>(words), 0x3FFF),
      part_(part),
      pins_(pins),
      startEdges_(startEdges) {}

int Mdt20xxChip::Pin(Signal s) const {
  //                                    MCLR VDD RA0 RA1 RA2 OSC1 RB0
  static constexpr int k18[] = {4, 14, 17, 18, 1, 16, 6};
  static constexpr int k28[] = {28, 2, 6, 7, 8, 27, 10};
  return (pins_ == 18 ? k18 : k28)[s];
}

int Mdt20xxChip::Level(const Programmer& p, Signal s) const {
  return p.InputMillivolts(p.SocketPinOf(Pin(s))) >= 2000 ? 1 : 0;
}

bool Mdt20xxChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(Pin(kVdd)));
  return vdd >= 3000 && vdd <= 5500 && p.IsGround(p.SocketPinOf(GroundPins()[0]));
}

std::uint16_t* Mdt20xxChip::Cell() {
  if (space_ == 1) return counter_ == 0 ? &config : nullptr;
  if (counter_ < 0 || counter_ >= static_cast<int>(code.size())) return nullptr;
  return &code[static_cast<std::size_t>(counter_)];
}

void Mdt20xxChip::OnPins(Programmer& p) {
  const int osc = Level(p, kOsc1), ra0 = Level(p, kRa0);
  const bool high = p.InputMillivolts(p.SocketPinOf(Pin(kMclr))) >= kEntryMillivolts;
  if (!Powered(p) || !high) {
    inMode_ = driving_ = false;
    lastOsc_ = osc;
    lastRa0_ = ra0;
    return;
  }
  if (!inMode_) {
    inMode_ = true;
    space_ = Level(p, kRb0);
    counter_ = -1;
    edges_ = 0;
  }
  if (osc == 1 && lastOsc_ == 0) {
    ++edges_;
    if (edges_ > startEdges_ && (edges_ - startEdges_) % 4 == 0) ++counter_;
  }
  half_ = Level(p, kRa1);
  if (ra0 == 0 && lastRa0_ == 1) pulseStart_ = p.clockUs();
  if (ra0 == 1 && lastRa0_ == 0) {
    if (p.clockUs() - pulseStart_ < kPulseUs) {
      ++shortPulses;
    } else if (std::uint16_t* cell = Cell()) {
      std::uint16_t bits = 0;
      for (int i = 0; i < 7; ++i) {
        if (p.InputMillivolts(p.SocketPinOf(Pin(kRb0) + i)) >= 2000) bits |= 1u << i;
      }
      const std::uint16_t keep = half_ ? 0x007F : 0x3F80;
      *cell &= static_cast<std::uint16_t>(keep | (half_ ? bits << 7 : bits));
    }
  }
  lastOsc_ = osc;
  lastRa0_ = ra0;
  driving_ = Level(p, kRa2) == 0 && ra0 == 1;
}

int Mdt20xxChip::Drive(int pin) const {
  if (!driving_ || pin < Pin(kRb0) || pin >= Pin(kRb0) + 7) return -1;
  const std::uint16_t* cell = const_cast<Mdt20xxChip*>(this)->Cell();
  const std::uint16_t w = cell ? *cell : 0x3FFF;
  return ((half_ ? w >> 7 : w) >> (pin - Pin(kRb0))) & 1;
}

std::string_view Mdt20xxPartOf(std::string_view chipName) {
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos) return part.name;
  }
  return "";
}

std::shared_ptr<Mdt20xxChip> MakeMdt20xx(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Mdt20xxChip>(p.name, p.pins, p.words, p.startEdges);
  }
  return nullptr;
}

}  // namespace zelvar::sim
