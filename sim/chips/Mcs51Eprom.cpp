#include "sim/chips/Mcs51Eprom.h"

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kIntel = 0x89, kPhilips = 0x15;

// The 40-pin quick-pulse table of Intel's and Philips' datasheets for a part of `bytes`: A0..A7
// on P1, A8..A13 on P2.0..P2.5, A14 on P3.4 and A15 on P3.5 (pins 14 and 15) as far as the part
// needs; 5 pulses a code byte.
Mcs51Sheet QuickPulse(std::uint32_t bytes) {
  Mcs51Sheet s;
  s.codeBytes = bytes;
  const int pins[] = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26, 14, 15};
  for (int bit = 0; (1u << bit) < bytes; ++bit) s.address.push_back(pins[bit]);
  s.modePins = {27, 28, 16, 17};
  s.modes = {{"0000", Mcs51Op::Signature}, {"0111", Mcs51Op::WriteCode},
             {"0011", Mcs51Op::ReadCode},  {"1111", Mcs51Op::Lock1},
             {"1100", Mcs51Op::Lock2},     {"1010", Mcs51Op::Lock3}};
  s.vppMin = 12500;
  s.vppMax = 13000;
  s.minPulseUs = 90;
  s.maxPulseUs = 110;
  s.codePulses = 5;
  return s;
}

// The plain quick-pulse parts by maker. Intel's signature is 89H, 58H and the device byte at 60H;
// its lock bits take 25 pulses.
struct QuickPulsePart {
  std::string_view name;
  std::uint32_t bytes;
  std::uint8_t device = 0;
};
constexpr std::array<QuickPulsePart, 7> kIntelParts = {{{"87C51", 4096, 0x51},
                                                        {"87C52", 8192, 0x52},
                                                        {"87C54", 16384, 0x54},
                                                        {"87C58", 32768, 0x58},
                                                        {"87C51FA", 8192, 0xFA},
                                                        {"87C51FB", 16384, 0xFB},
                                                        {"87C51FC", 32768, 0xFC}}};
// Philips gives 15H at 30H (its device bytes are not in the datasheets we have and read FFH) and
// 5 pulses for everything.
constexpr std::array<QuickPulsePart, 7> kPhilipsParts = {{{"P87C52", 8192},
                                                          {"P87C54", 16384},
                                                          {"P87C58", 32768},
                                                          {"P87C51RA+", 8192},
                                                          {"P87C51RB+", 16384},
                                                          {"P87C51RC+", 32768},
                                                          {"P87C51RD+", 65536}}};

Mcs51Sheet Intel(std::uint32_t bytes, std::uint8_t device) {
  Mcs51Sheet s = QuickPulse(bytes);
  s.signature = {{0x30, kIntel}, {0x31, 0x58}, {0x60, device}};
  s.lockPulses = 25;
  return s;
}

Mcs51Sheet Philips(std::uint32_t bytes) {
  Mcs51Sheet s = QuickPulse(bytes);
  s.signature = {{0x30, kPhilips}};
  s.lockPulses = 5;
  return s;
}

const QuickPulsePart* Find(std::span<const QuickPulsePart> parts, std::string_view name) {
  for (const QuickPulsePart& p : parts) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

}  // namespace

std::shared_ptr<Mcs51Chip> MakeMcs51Eprom(std::string_view part) {
  Mcs51Sheet s;
  if (part == "P87C54X2") {
    s = Philips(16384);
    s.modes.push_back({"0001", Mcs51Op::SixClock});
    s.modes.push_back({"0010", Mcs51Op::ReadFuse});
    s.signature.push_back({0x31, 0xBB});
  } else if (part == "DS87C520") {
    // The DS87C5x EPROM table: the option register at FCh programs with P2.6, P2.7, P3.6, P3.7 at
    // 0100 and 25 pulses, and reads back in the signature mode.
    s = QuickPulse(16384);
    s.modes.push_back({"0100", Mcs51Op::WriteOption});
    s.optionAddress = 0xFC;
    s.signature = {{0x30, 0xDA}, {0x31, 0x20}, {0x60, 0x01}};
    s.lockPulses = 25;
  } else if (part == "P87C591") {
    s = QuickPulse(16384);
    s.signature = {{0x30, kPhilips}};
    s.lockPulses = 25;
    s.rstLowInModes = true;
  } else if (const QuickPulsePart* intel = Find(kIntelParts, part)) {
    s = Intel(intel->bytes, intel->device);
  } else if (const QuickPulsePart* philips = Find(kPhilipsParts, part)) {
    s = Philips(philips->bytes);
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<Mcs51Chip>(std::move(s));
}

std::string_view Mcs51EpromPartOf(std::string_view chipName) {
  for (std::string_view part : {"P87C54X2", "P87C591", "DS87C520"}) {
    if (chipName == part) return part;
  }
  if (const QuickPulsePart* p = Find(kIntelParts, chipName)) return p->name;
  if (const QuickPulsePart* p = Find(kPhilipsParts, chipName)) return p->name;
  return {};
}

}  // namespace zelvar::sim
