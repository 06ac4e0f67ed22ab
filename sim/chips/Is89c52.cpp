#include "sim/chips/Is89c52.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kProg = 30, kEa = 31, kData0 = 39;
constexpr int kLatch = 27;   // P2.6: a rise latches the command
constexpr int kOutput = 28;  // P2.7: low lets the chip drive P0 after C0h
constexpr std::uint8_t kRead = 0xC0, kProgram = 0x40, kErase = 0x20, kConfirm = 0xD0;
constexpr double kProgramUs = 400, kEraseUs = 100000, kLockUs = 500;
constexpr int kVppMin = 4500, kVppMax = 5500;
}  // namespace

Is89c52Chip::Is89c52Chip(std::string name, std::uint32_t bytes, bool lowVoltage)
    : cells(bytes, 0xFF), name_(std::move(name)), lowVoltage_(lowVoltage) {}

bool Is89c52Chip::High(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]) >= 2000;
}

std::uint32_t Is89c52Chip::Address(Programmer& p) const {
  std::uint32_t a = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, 1 + i)) a |= 1u << i;
  }
  for (int i = 0; i < 5; ++i) {
    if (High(p, 21 + i)) a |= 1u << (8 + i);
  }
  return a % cells.size();
}

std::uint8_t Is89c52Chip::Data(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, kData0 - i)) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool Is89c52Chip::InMode(Programmer& p) const {
  const int psen = p.InputMillivolts(socket_[kPsen]);
  return High(p, kRst) && psen >= 0 && psen < 2000 && High(p, 16) && High(p, 17);
}

bool Is89c52Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 2700 && p.IsGround(gnd);
}

bool Is89c52Chip::CycleSupply(Programmer& p) const {
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  return lowVoltage_ ? vcc >= 2700 && vcc <= 3600 : vcc >= 4500 && vcc <= 5500;
}

void Is89c52Chip::Complete(Programmer& p) {
  const double width = p.clockUs() - start_;
  const std::uint8_t command = command_;
  if (command == kProgram) command_ = 0xA0;
  if (aborted_) {
    ++lost;
    return;
  }
  if (command == kProgram) {
    if (width < kProgramUs || (lockBits & 1) != 0) {
      ++lost;
      return;
    }
    cells[address_] &= data_;
    ++writes;
  } else if (command == kErase && data_ == kConfirm && width >= kEraseUs) {
    std::fill(cells.begin(), cells.end(), 0xFF);
    lockBits = 0;
    ++erases;
  } else if ((command == 0x60 || command == 0x70 || command == 0x80) && data_ == kConfirm &&
             width >= kLockUs) {
    lockBits |= static_cast<std::uint8_t>(1 << ((command - 0x60) >> 4));
    ++writes;
  } else {
    ++lost;
  }
}

void Is89c52Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  driving_ = false;
  if (!Powered(p)) {
    if (pulsing_) ++lost;
    command_ = 0xA0;
    pulsing_ = false;
    latchWasLow_ = progWasLow_ = false;
    return;
  }
  const bool mode = InMode(p);
  const bool latchLow = !High(p, kLatch);
  if (mode && latchWasLow_ && !latchLow) command_ = Data(p);
  latchWasLow_ = latchLow;

  const int ea = p.InputMillivolts(socket_[kEa]);
  const bool vppOk = ea >= kVppMin && ea <= kVppMax;
  const bool progLow = !High(p, kProg);
  if (progLow && !progWasLow_ && mode && command_ != kRead) {
    pulsing_ = true;
    aborted_ = !vppOk || !CycleSupply(p);
    start_ = p.clockUs();
    address_ = Address(p);
    data_ = Data(p);
  } else if (pulsing_ && progLow) {
    aborted_ = aborted_ || !mode || !vppOk || !CycleSupply(p) || Address(p) != address_ ||
               Data(p) != data_;
  } else if (pulsing_ && !progLow) {
    pulsing_ = false;
    aborted_ = aborted_ || !vppOk;
    Complete(p);
  }
  progWasLow_ = progLow;

  if (mode && command_ == kRead && !High(p, kOutput) && !progLow && !latchLow) {
    driving_ = true;
    out_ = (lockBits & 2) != 0 ? 0xFF : cells[Address(p)];
  }
}

int Is89c52Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

namespace {
struct Part {
  std::string_view name;
  std::uint32_t bytes;
  bool lowVoltage;
};
constexpr std::array<Part, 4> kParts = {{{"IS89C51", 4096, false},
                                         {"IS89C52", 8192, false},
                                         {"IS89LV51", 4096, true},
                                         {"IS89LV52", 8192, true}}};
}  // namespace

std::shared_ptr<Is89c52Chip> MakeIs89c52(std::string_view part) {
  for (const Part& k : kParts) {
    if (k.name == part) {
      return std::make_shared<Is89c52Chip>(std::string(k.name), k.bytes, k.lowVoltage);
    }
  }
  return nullptr;
}

std::string_view Is89c52PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Part& k : kParts) {
    if (k.name.size() > best.size() && chipName.find(k.name) != std::string_view::npos) {
      best = k.name;
    }
  }
  return best;
}

}  // namespace zelvar::sim
