#include "sim/chips/SyncMos.h"

#include <algorithm>
#include <iterator>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kCycle = 17;
constexpr int kFirstModePin = 10;
constexpr int kData0 = 39;  // P0.0; P0.7 is pin 32
constexpr int kPoweredMin = 4250, kCycleMin = 4500, kCycleMax = 5500;
constexpr std::uint32_t kIspUnit = 512, kIspCodes = 9, kSizeAddress = 0x100;

bool High(int mv) {
  return mv >= 2000;
}

double MinimumUs(SyncMosOp op) {
  switch (op) {
    case SyncMosOp::Program:
      return 30;
    case SyncMosOp::Lock:
      return 200;
    case SyncMosOp::SizeWrite:
      return 100;
    case SyncMosOp::IspErase:
      return 500;
    case SyncMosOp::Erase:
      return 500000;
    default:
      return 0;
  }
}

bool IsRead(SyncMosOp op) {
  return op == SyncMosOp::ReadCode || op == SyncMosOp::ReadSize;
}

}  // namespace

SyncMosChip::SyncMosChip(SyncMosSheet sheet) : sheet_(std::move(sheet)) {
  cells.assign(sheet_.codeBytes, 0xFF);
}

std::uint32_t SyncMosChip::IspStart() const {
  const std::uint32_t isp = sizeCode < kIspCodes ? sizeCode * kIspUnit : 0;
  return isp >= sheet_.codeBytes ? 0 : sheet_.codeBytes - isp;
}

int SyncMosChip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

SyncMosOp SyncMosChip::ModeNow(Programmer& p) const {
  if (!High(In(p, kRst))) return SyncMosOp::None;
  for (const auto& row : sheet_.modes) {
    bool match = true;
    for (int i = 0; i < 7 && match; ++i) {
      const int mv = In(p, i == 0 ? kPsen : kFirstModePin + i - 1);
      match = mv >= 0 && High(mv) == (row.levels[i] == '1');
    }
    if (match) return row.op;
  }
  return SyncMosOp::None;
}

std::uint32_t SyncMosChip::AddressNow(Programmer& p) const {
  static constexpr int kPins[] = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26, 27, 28};
  std::uint32_t a = 0;
  for (int i = 0; i < 16; ++i) {
    if (High(In(p, kPins[i]))) a |= 1u << i;
  }
  if (sheet_.a16 != 0 && High(In(p, sheet_.a16))) a |= 1u << 16;
  return a;
}

std::uint8_t SyncMosChip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(In(p, kData0 - i))) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool SyncMosChip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kPoweredMin && p.IsGround(gnd);
}

void SyncMosChip::Complete(Programmer& p) {
  if (aborted_ || p.clockUs() - start_ < MinimumUs(op_)) {
    ++lost;
    return;
  }
  switch (op_) {
    case SyncMosOp::Program:
      if (address_ >= cells.size()) {
        ++lost;
        return;
      }
      cells[address_] &= data_;
      ++writes;
      return;
    case SyncMosOp::Erase:
      std::fill(cells.begin(), cells.begin() + IspStart(), 0xFF);
      locked = false;
      ++erases;
      return;
    case SyncMosOp::IspErase:
      std::fill(cells.begin() + IspStart(), cells.end(), 0xFF);
      sizeCode = 0xFF;
      ++ispErases;
      return;
    case SyncMosOp::SizeWrite:
      if (address_ < kSizeAddress || address_ >= kSizeAddress + 2 * kIspCodes ||
          (address_ & 1) != 0) {
        ++lost;
        return;
      }
      sizeCode &= static_cast<std::uint8_t>((address_ - kSizeAddress) / 2);
      return;
    case SyncMosOp::Lock:
      locked = true;
      return;
    default:
      return;
  }
}

void SyncMosChip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    driving_ = pending_ = false;
    cycleWasHigh_ = true;
    strobeWasLow_ = false;
    return;
  }
  const SyncMosOp op = ModeNow(p);
  const int strobeMv = In(p, sheet_.strobe), cycleMv = In(p, kCycle);
  const bool strobeLow = strobeMv >= 0 && !High(strobeMv);
  const bool cycleHigh = cycleMv < 0 || High(cycleMv);
  const std::uint32_t address = AddressNow(p);
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  const bool cycleSupply = vcc >= kCycleMin && vcc <= kCycleMax;

  if (pending_) {
    if (!strobeLow) {
      pending_ = false;
      Complete(p);
    } else if (op != op_ || address != address_ || DataIn(p) != data_ || !cycleSupply) {
      aborted_ = true;
    }
  } else if (strobeLow && cycleHigh && !cycleWasHigh_ && op != SyncMosOp::None && !IsRead(op)) {
    pending_ = true;
    aborted_ = !cycleSupply;
    start_ = p.clockUs();
    op_ = op;
    address_ = address;
    data_ = DataIn(p);
  }
  cycleWasHigh_ = cycleHigh;
  strobeWasLow_ = strobeLow;

  driving_ = IsRead(op) && strobeLow;
  if (op == SyncMosOp::ReadSize) out_ = sizeCode;
  if (op == SyncMosOp::ReadCode) out_ = locked || address >= cells.size() ? 0xFF : cells[address];
}

int SyncMosChip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<SyncMosChip> MakeSm59(std::string_view part) {
  SyncMosSheet s;
  s.name = std::string(part);
  if (part == "SM59064") {
    s.codeBytes = 64 * 1024;
    s.strobe = 30;
    s.modes = {{"0000000", SyncMosOp::ReadCode}, {"0000010", SyncMosOp::ReadSize},
               {"1000000", SyncMosOp::Program},  {"1000011", SyncMosOp::Erase},
               {"1000010", SyncMosOp::Lock},     {"1000100", SyncMosOp::IspErase},
               {"1110100", SyncMosOp::SizeWrite}};
  } else if (part == "SM59128") {
    s.codeBytes = 128 * 1024;
    s.strobe = 31;
    s.a16 = 30;
    s.modes = {{"0000000", SyncMosOp::ReadCode}, {"0100000", SyncMosOp::ReadSize},
               {"1000000", SyncMosOp::Program},  {"1110000", SyncMosOp::Erase},
               {"1100000", SyncMosOp::Lock},     {"1110001", SyncMosOp::IspErase},
               {"1111101", SyncMosOp::SizeWrite}};
  } else {
    return nullptr;
  }
  return std::make_shared<SyncMosChip>(std::move(s));
}

std::shared_ptr<ChipModel> MakeSyncMos(std::string_view part) {
  if (part == "SM89D04") return std::make_shared<Sm59d04Chip>();
  if (part == "SM89D02") return std::make_shared<Sm59d04Chip>("SM89D02", 0x2000, 0x3000);
  return MakeSm59(part);
}

// ---- SM89D04

Sm59d04Chip::Sm59d04Chip(std::string name, std::uint32_t holeStart, std::uint32_t holeEnd)
    : name_(std::move(name)), holeStart_(holeStart), holeEnd_(holeEnd) {
  cells.assign(16 * 1024, 0xFF);
}

int Sm59d04Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool Sm59d04Chip::HighAt(Programmer& p, int chipPin) const {
  return High(In(p, chipPin));
}

bool Sm59d04Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 3000 && p.IsGround(gnd);
}

// PSEN, ALE, then P3.0..P3.7; 'x' either level.
Sm59d04Chip::Mode Sm59d04Chip::ModeNow(Programmer& p) const {
  static constexpr std::pair<const char*, Mode> kModes[] = {{"0011110000", Mode::Read},
                                                            {"001x001001", Mode::Page},
                                                            {"101x001001", Mode::Option},
                                                            {"101000011x", Mode::Erase}};
  static constexpr int kPins[] = {kPsen, 30, 10, 11, 12, 13, 14, 15, 16, 17};
  for (const auto& [levels, mode] : kModes) {
    bool match = true;
    for (int i = 0; i < 10 && match; ++i) {
      const int mv = In(p, kPins[i]);
      match = levels[i] == 'x' || (mv >= 0 && High(mv) == (levels[i] == '1'));
    }
    if (match) return mode;
  }
  return Mode::None;
}

std::uint32_t Sm59d04Chip::AddressNow(Programmer& p) const {
  static constexpr int kPins[] = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26};
  std::uint32_t a = 0;
  for (int i = 0; i < 14; ++i) {
    if (HighAt(p, kPins[i])) a |= 1u << i;
  }
  return a;
}

void Sm59d04Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    entered = driving_ = false;
    bits_ = 0;
    bitCount_ = 0;
    received_.clear();
    clockWasHigh_ = true;
    return;
  }
  const bool clockHigh = HighAt(p, 1);
  if (!entered && clockHigh && !clockWasHigh_) {
    bits_ = (bits_ << 1) | (HighAt(p, 3) ? 1u : 0u);
    if (++bitCount_ == 9) {
      bitCount_ = 0;
      if ((bits_ & 1) == 0) {
        received_.clear();
      } else {
        received_.push_back(static_cast<std::uint8_t>(bits_ >> 1));
        if (received_.size() > 7) received_.erase(received_.begin());
        entered = std::equal(received_.begin(), received_.end(), std::begin(kEntryCode),
                             std::end(kEntryCode));
      }
      bits_ = 0;
    }
  }
  clockWasHigh_ = clockHigh;
  if (!entered) return;

  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  const bool cycleSupply = vcc >= kCycleMin && vcc <= kCycleMax;
  const Mode mode = ModeNow(p);
  const bool strobeHigh = HighAt(p, 11), windowHigh = HighAt(p, 17);
  if (strobeHigh && !strobeWasHigh_) strobeRise_ = p.clockUs();
  if (!strobeHigh && strobeWasHigh_ && (mode == Mode::Page || mode == Mode::Option)) {
    if (!cycleSupply || p.clockUs() - strobeRise_ < 30) {
      ++lost;
    } else {
      const std::uint32_t a = AddressNow(p);
      std::uint8_t d = 0;
      for (int i = 0; i < 8; ++i) {
        if (HighAt(p, kData0 - i)) d |= static_cast<std::uint8_t>(1 << i);
      }
      if (mode == Mode::Page && InHole(a)) {
        ++lost;
      } else {
        (mode == Mode::Page ? cells[a] : options[a & 1]) &= d;
        ++writes;
      }
    }
  }
  if (windowHigh && !windowWasHigh_) {
    windowRise_ = p.clockUs();
    windowMode_ = mode;
  }
  if (!windowHigh && windowWasHigh_ && windowMode_ == Mode::Erase) {
    if (mode != Mode::Erase || !cycleSupply || p.clockUs() - windowRise_ < 50000) {
      ++lost;
    } else {
      std::fill(cells.begin(), cells.end(), 0xFF);
      options = {0xFF, 0xFF};
      ++erases;
    }
  }
  strobeWasHigh_ = strobeHigh;
  windowWasHigh_ = windowHigh;
  driving_ = mode == Mode::Read;
  if (driving_) {
    const std::uint32_t a = AddressNow(p);
    out_ = InHole(a) ? 0xFF : cells[a];
  }
}

int Sm59d04Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::string_view SyncMosPartOf(std::string_view chipName) {
  for (std::string_view part : {std::string_view("SM59064"), std::string_view("SM59128"),
                                std::string_view("SM89D04"), std::string_view("SM89D02")}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
