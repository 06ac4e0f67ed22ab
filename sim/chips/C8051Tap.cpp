#include "sim/chips/C8051Tap.h"

namespace zelvar::sim {

namespace {
JtagChip::Sheet Carrier(std::string_view name) {
  JtagChip::Sheet s;
  s.name = std::string(name);
  s.pinCount = 40;
  s.seat = 0;
  s.pins = {.tck = 21, .tms = 22, .tdi = 23, .tdo = 24, .vcc = 26, .gnd = 25};
  s.vccMin = 2700;
  s.vccMax = 3600;
  s.vccAbsMax = 4200;
  s.pinAbsMax = 5800;
  s.irBits = 16;
  s.resetInstruction = 0x0004;
  s.irCapture = 0x0001;
  return s;
}
}  // namespace

C8051Tap::C8051Tap(std::string_view name) : JtagChip(Carrier(name)) {}

std::string_view C8051TapPartOf(std::string_view chipName) {
  constexpr std::string_view kName = "C8051F012";
  return chipName.find(kName) != std::string_view::npos ? kName : std::string_view{};
}

std::shared_ptr<ChipModel> MakeC8051Tap(std::string_view part) {
  return part == "C8051F012" ? std::make_shared<C8051Tap>(part) : nullptr;
}

}  // namespace zelvar::sim
