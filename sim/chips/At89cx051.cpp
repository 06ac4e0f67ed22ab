#include "sim/chips/At89cx051.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVccMin = 4500, kVppMin = 11500, kVppMax = 12500, kHigh = 2000;
constexpr double kMinPulseUs = 1, kMaxPulseUs = 110, kErasePulseUs = 10000, kWriteCycleUs = 2000;
constexpr int kModePins[] = {7, 8, 9, 11};  // P3.3, P3.4, P3.5, P3.7
constexpr int kData0 = 12;                  // P1.0; P1.7 is pin 19
}  // namespace

At89cx051::At89cx051(std::string name, std::uint32_t bytes, std::uint8_t device)
    : cells(bytes, 0xFF), name_(std::move(name)), device_(device) {}

int At89cx051::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool At89cx051::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kVccMin && p.IsGround(gnd);
}

At89cx051::Mode At89cx051::ModeNow(Programmer& p) const {
  if (!rstHigh_) return Mode::None;
  char levels[5] = {};
  for (int i = 0; i < 4; ++i) {
    const int mv = In(p, kModePins[i]);
    if (mv < 0) return Mode::None;
    levels[i] = mv >= kHigh ? '1' : '0';
  }
  constexpr std::array<std::pair<std::string_view, Mode>, 6> kModes = {{{"0011", Mode::ReadCode},
                                                                        {"0111", Mode::WriteCode},
                                                                        {"1000", Mode::Erase},
                                                                        {"1111", Mode::Lock1},
                                                                        {"1100", Mode::Lock2},
                                                                        {"0000", Mode::Signature}}};
  for (const auto& [pattern, mode] : kModes) {
    if (pattern == levels) return mode;
  }
  return Mode::None;
}

std::uint8_t At89cx051::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 + i) >= kHigh) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

void At89cx051::Complete(double widthUs, Programmer& p) {
  const bool erase = pulseMode_ == Mode::Erase;
  if (!erase && widthUs > kMaxPulseUs) {
    p.record.Hazard(name_ + ": PROG pulse longer than the datasheet allows");
  }
  const bool widthOk =
      erase ? widthUs >= kErasePulseUs : widthUs >= kMinPulseUs && widthUs <= kMaxPulseUs;
  if (aborted_ || !widthOk || pulseStart_ < busyUntil_) {
    ++lost;
    return;
  }
  switch (pulseMode_) {
    case Mode::Erase:
      std::fill(cells.begin(), cells.end(), 0xFF);
      lockBits = 0;
      ++erases;
      return;
    case Mode::WriteCode:
      if ((lockBits & 1) || pulseAddress_ >= cells.size()) {
        ++lost;
        return;
      }
      cells[pulseAddress_] &= pulseData_;
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
  busyUntil_ = p.clockUs() + kWriteCycleUs;
}

void At89cx051::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(21, 0);
    for (int k = 1; k <= 20; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    rstHigh_ = xtalHigh_ = progLow_ = pulsing_ = driving_ = false;
    counter = 0;
    return;
  }
  const int rst = In(p, kRst);
  const bool rstHigh = rst >= kHigh;
  if (rstHigh && !rstHigh_) counter = 0;
  rstHigh_ = rstHigh;
  const bool xtalHigh = In(p, kXtal1) >= kHigh;
  if (xtalHigh && !xtalHigh_ && rstHigh_) ++counter;
  xtalHigh_ = xtalHigh;

  const Mode mode = ModeNow(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < kHigh;
  const bool vppOk = rst >= kVppMin && rst <= kVppMax;
  const bool programs =
      mode == Mode::WriteCode || mode == Mode::Erase || mode == Mode::Lock1 || mode == Mode::Lock2;
  if (progLow && !progLow_ && programs) {
    pulsing_ = true;
    aborted_ = !vppOk;
    pulseStart_ = p.clockUs();
    pulseMode_ = mode;
    pulseAddress_ = counter;
    pulseData_ = DataIn(p);
  } else if (pulsing_ && progLow) {
    aborted_ = aborted_ || mode != pulseMode_ || counter != pulseAddress_ ||
               (mode == Mode::WriteCode && DataIn(p) != pulseData_) || !vppOk;
  } else if (pulsing_ && !progLow) {
    pulsing_ = false;
    aborted_ = aborted_ || mode != pulseMode_ || !vppOk;
    Complete(p.clockUs() - pulseStart_, p);
  }
  progLow_ = progLow;

  const bool reads = mode == Mode::ReadCode || mode == Mode::Signature;
  driving_ = reads && prog >= kHigh && rst < kVppMin;
  if (!driving_) return;
  if (mode == Mode::Signature) {
    out_ = counter == 0 ? 0x1E : counter == 1 ? device_ : 0xFF;
  } else {
    out_ = (lockBits & 2) || counter >= cells.size() ? 0xFF : cells[counter];
  }
}

int At89cx051::Drive(int pin) const {
  if (!driving_ || pin < kData0 || pin > kData0 + 7) return -1;
  return (out_ >> (pin - kData0)) & 1;
}

std::shared_ptr<At89cx051> MakeAt89cx051(std::string_view part) {
  if (part == "AT89C1051") return std::make_shared<At89cx051>(std::string(part), 1024, 0x11);
  if (part == "AT89C2051") return std::make_shared<At89cx051>(std::string(part), 2048, 0x21);
  if (part == "AT89C4051") return std::make_shared<At89cx051>(std::string(part), 4096, 0x41);
  return nullptr;
}

std::string_view At89cx051PartOf(std::string_view chipName) {
  for (std::string_view part : {"AT89C1051", "AT89C2051", "AT89C4051"}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
