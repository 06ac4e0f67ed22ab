#include "sim/chips/P97c2051.h"

#include <array>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVccMin = 4500, kVppMin = 12000, kVppMax = 13000, kHigh = 2000;
constexpr double kMinCodePulseUs = 40;
constexpr int kPulses = 25;
constexpr int kModePins[] = {7, 8, 9, 11};  // P3.3, P3.4, P3.5, P3.7
constexpr int kData0 = 12;                  // P1.0; P1.7 is pin 19
}  // namespace

P97c2051Chip::P97c2051Chip(std::string name, std::uint32_t bytes, std::uint8_t device)
    : cells(bytes, 0xFF), name_(std::move(name)), device_(device) {}

int P97c2051Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool P97c2051Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kVccMin && p.IsGround(gnd);
}

P97c2051Chip::Mode P97c2051Chip::ModeNow(Programmer& p) const {
  if (!rstHigh_) return Mode::None;
  char levels[5] = {};
  for (int i = 0; i < 4; ++i) {
    const int mv = In(p, kModePins[i]);
    if (mv < 0) return Mode::None;
    levels[i] = mv >= kHigh ? '1' : '0';
  }
  constexpr std::array<std::pair<std::string_view, Mode>, 5> kModes = {{{"0011", Mode::ReadCode},
                                                                        {"0111", Mode::WriteCode},
                                                                        {"1111", Mode::Lock1},
                                                                        {"1100", Mode::Lock2},
                                                                        {"0000", Mode::Signature}}};
  for (const auto& [pattern, mode] : kModes) {
    if (pattern == levels) return mode;
  }
  return Mode::None;
}

std::uint8_t P97c2051Chip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 + i) >= kHigh) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

void P97c2051Chip::Complete(double widthUs, Programmer&) {
  const bool code = pulseMode_ == Mode::WriteCode;
  if (aborted_ || (code && widthUs < kMinCodePulseUs)) {
    ++lost;
    train_ = 0;
    return;
  }
  const std::uint32_t a = counter % cells.size();
  const bool same = trainMode_ == pulseMode_ && trainAddress_ == a && trainData_ == pulseData_;
  train_ = same ? train_ + 1 : 1;
  trainMode_ = pulseMode_;
  trainAddress_ = a;
  trainData_ = pulseData_;
  if (train_ != kPulses) return;
  switch (pulseMode_) {
    case Mode::WriteCode:
      if ((lockBits & 1) != 0) {
        ++lost;
        return;
      }
      cells[a] &= pulseData_;
      break;
    case Mode::Lock1:
      lockBits |= 1;
      break;
    case Mode::Lock2:
      lockBits |= 2;
      break;
    default:
      return;
  }
  ++writes;
}

void P97c2051Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(kVcc + 1, 0);
    for (int k = 1; k <= kVcc; ++k) socket_[k] = p.SocketPinOf(k);
  }
  driving_ = false;
  if (!Powered(p)) {
    if (pulsing_) ++lost;
    counter = 0;
    rstHigh_ = stepHigh_ = progLow_ = pulsing_ = false;
    resetEnding_ = true;
    train_ = 0;
    return;
  }
  const int rst = In(p, kRst);
  const bool rstHigh = rst >= kHigh;
  const bool vpp = rst >= kVppMin && rst <= kVppMax;
  if (!rstHigh) {
    counter = 0;
    resetEnding_ = true;
  }
  rstHigh_ = rstHigh;
  const bool stepHigh = In(p, kStep) >= kHigh;
  if (stepHigh != stepHigh_ && rstHigh) {
    if (resetEnding_) {
      resetEnding_ = false;
    } else {
      ++counter;
    }
  }
  stepHigh_ = stepHigh;

  const Mode mode = ModeNow(p);
  const bool progLow = In(p, kProg) >= 0 && In(p, kProg) < kHigh;
  const bool programming = mode == Mode::WriteCode || mode == Mode::Lock1 || mode == Mode::Lock2;
  if (progLow && !progLow_ && programming) {
    pulsing_ = true;
    aborted_ = !vpp;
    pulseStart_ = p.clockUs();
    pulseMode_ = mode;
    pulseData_ = DataIn(p);
  } else if (pulsing_ && progLow) {
    aborted_ = aborted_ || mode != pulseMode_ || !vpp || DataIn(p) != pulseData_;
  } else if (pulsing_ && !progLow) {
    pulsing_ = false;
    aborted_ = aborted_ || mode != pulseMode_ || !vpp;
    Complete(p.clockUs() - pulseStart_, p);
  }
  progLow_ = progLow;

  if (progLow || vpp) return;
  if (mode == Mode::ReadCode) {
    out_ = (lockBits & 2) != 0 ? 0xFF : cells[counter % cells.size()];
    driving_ = true;
  } else if (mode == Mode::Signature) {
    out_ = counter == 0 ? 0x97 : counter == 1 ? device_ : 0xFF;
    driving_ = true;
  }
}

int P97c2051Chip::Drive(int pin) const {
  if (!driving_ || pin < kData0 || pin > kData0 + 7) return -1;
  return (out_ >> (pin - kData0)) & 1;
}

std::shared_ptr<P97c2051Chip> MakeP97c2051(std::string_view part) {
  if (part == "97C1051") return std::make_shared<P97c2051Chip>("97C1051", 1024, 0x11);
  if (part == "97C2051") return std::make_shared<P97c2051Chip>("97C2051", 2048, 0x21);
  return nullptr;
}

std::string_view P97c2051PartOf(std::string_view chipName) {
  for (std::string_view part : {"97C1051", "97C2051"}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
