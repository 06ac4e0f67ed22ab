#include "sim/chips/Mcs51Eprom.h"

#include <cctype>
#include <string>
#include <utility>

namespace zelvar::sim {

namespace {

Mcs51Sheet QuickPulse(std::uint32_t bytes, int addressBits) {
  Mcs51Sheet s;
  s.codeBytes = bytes;
  const int pins[] = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26};
  s.address.assign(pins, pins + addressBits);
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

}  // namespace

std::shared_ptr<Mcs51Chip> MakeMcs51Eprom(std::string_view part) {
  Mcs51Sheet s;
  if (part == "87C51") {
    s = QuickPulse(4096, 12);
    s.signature = {{0x30, 0x89}, {0x31, 0x58}, {0x60, 0x51}};
    s.lockPulses = 25;
  } else if (part == "P87C54X2") {
    s = QuickPulse(16384, 14);
    s.modes.push_back({"0001", Mcs51Op::SixClock});
    s.modes.push_back({"0010", Mcs51Op::ReadFuse});
    s.signature = {{0x30, 0x15}, {0x31, 0xBB}};
    s.lockPulses = 5;
  } else if (part == "87C58") {
    s = QuickPulse(32768, 14);
    s.address.push_back(14);  // A14 on P3.4
    s.signature = {{0x30, 0x89}, {0x31, 0x58}, {0x60, 0x58}};
    s.lockPulses = 25;
  } else if (part == "DS87C520") {
    // The DS87C5x EPROM table: the option register at FCh programs with P2.6, P2.7, P3.6, P3.7 at
    // 0100 and 25 pulses, and reads back in the signature mode.
    s = QuickPulse(16384, 14);
    s.modes.push_back({"0100", Mcs51Op::WriteOption});
    s.optionAddress = 0xFC;
    s.signature = {{0x30, 0xDA}, {0x31, 0x20}, {0x60, 0x01}};
    s.lockPulses = 25;
  } else if (part == "P87C591") {
    s = QuickPulse(16384, 14);
    s.signature = {{0x30, 0x15}};
    s.lockPulses = 25;
    s.rstLowInModes = true;
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<Mcs51Chip>(std::move(s));
}

std::string_view Mcs51EpromPartOf(std::string_view chipName) {
  for (std::string_view part : {"P87C54X2", "P87C591", "DS87C520", "87C51", "87C58"}) {
    const auto at = chipName.find(part);
    if (at == std::string_view::npos) continue;
    const auto end = at + part.size();
    const bool wordEnd =
        end == chipName.size() || !std::isalnum(static_cast<unsigned char>(chipName[end]));
    const bool wordStart = at == 0 || !std::isalnum(static_cast<unsigned char>(chipName[at - 1]));
    if (wordEnd && wordStart) return part;
  }
  return {};
}

}  // namespace zelvar::sim
