#include "sim/chips/Sm894051.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kRst = 1, kP30 = 2, kP31 = 3, kXtal1 = 5, kP32 = 6, kP33 = 7, kP34 = 8, kGnd = 10,
              kVcc = 20, kP10 = 12;
constexpr int kPoweredMin = 4000, kCycleMin = 4250, kCycleMax = 5500;
constexpr int kVppMin = 9500, kVppMax = 11000;
constexpr std::uint8_t kRead = 0, kProgram = 35, kLock = 19, kErase = 131;

bool High(int mv) {
  return mv >= 2000;
}

}  // namespace

Sm894051Chip::Sm894051Chip(std::uint32_t bytes, std::string name) : name_(std::move(name)) {
  cells.assign(bytes, 0xFF);
}

int Sm894051Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool Sm894051Chip::HighAt(Programmer& p, int chipPin) const {
  return High(In(p, chipPin));
}

std::uint32_t Sm894051Chip::Address() const {
  return (static_cast<std::uint32_t>(regs_[0]) << 8 | regs_[1]) % cells.size();
}

bool Sm894051Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kPoweredMin && p.IsGround(gnd);
}

void Sm894051Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(21, 0);
    for (int k = 1; k <= 20; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const int vpp = p.SupplyMillivolts(socket_[kRst]);
  if (!Powered(p) || vpp < kVppMin || vpp > kVppMax) {
    driving_ = latchWasHigh_ = execWasLow_ = false;
    if (!Powered(p)) std::fill(std::begin(regs_), std::end(regs_), 0);
    return;
  }
  const bool latchHigh = HighAt(p, kXtal1);
  if (latchHigh && !latchWasHigh_) {
    std::uint8_t b = 0;
    for (int i = 0; i < 8; ++i) {
      if (HighAt(p, kP10 + i)) b |= static_cast<std::uint8_t>(1 << i);
    }
    regs_[(HighAt(p, kP31) ? 2 : 0) | (HighAt(p, kP30) ? 1 : 0)] = b;
  }
  latchWasHigh_ = latchHigh;

  const int p33 = In(p, kP33);
  const bool execLow = p33 >= 0 && !High(p33);
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  if (execLow && !execWasLow_) execStart_ = p.clockUs();
  if (!execLow && execWasLow_ && regs_[3] != kRead) {
    const double width = p.clockUs() - execStart_;
    const bool enabled = HighAt(p, kP32) && HighAt(p, kP34) && vcc >= kCycleMin && vcc <= kCycleMax;
    const std::uint8_t cmd = regs_[3];
    if (cmd == kProgram && enabled && width >= 150 && !locked) {
      cells[Address()] &= regs_[2];
      ++writes;
    } else if (cmd == kLock && enabled && width >= 150) {
      locked = true;
    } else if (cmd == kErase && enabled && width >= 30000) {
      std::fill(cells.begin(), cells.end(), 0xFF);
      locked = false;
      ++erases;
    } else {
      ++lost;
    }
  }
  execWasLow_ = execLow;
  driving_ = execLow && regs_[3] == kRead;
  if (driving_) out_ = locked ? 0xFF : cells[Address()];
}

int Sm894051Chip::Drive(int pin) const {
  if (!driving_ || pin < kP10 || pin > kP10 + 7) return -1;
  return (out_ >> (pin - kP10)) & 1;
}

std::shared_ptr<Sm894051Chip> MakeSm894051(std::string_view part) {
  if (part == "SM894051") return std::make_shared<Sm894051Chip>(4096, "SM894051");
  if (part == "SM892051") return std::make_shared<Sm894051Chip>(2048, "SM892051");
  if (part == "SM891051") return std::make_shared<Sm894051Chip>(1024, "SM891051");
  return nullptr;
}

std::string_view Sm894051PartOf(std::string_view chipName) {
  for (std::string_view part :
       {std::string_view("SM894051"), std::string_view("SM892051"), std::string_view("SM891051")}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
