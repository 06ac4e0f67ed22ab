#include "sim/chips/PinMode51.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kData0 = 39, kCycleMax = 5500;

bool High(int mv) {
  return mv >= 2000;
}

// STC89C5xRC: the operation on P3.0..P3.7; a byte by a P3.2 high pulse of 30 µs with P3.1 low,
// the erase by P3.3 high for 150 ms. `bytes` covers the code and the second area above it.
PinModeSheet Stc89(std::string name, std::uint32_t bytes) {
  PinModeSheet s;
  s.name = std::move(name);
  s.bytes = bytes;
  s.modePins = {10, 11, 12, 13, 14, 15, 16, 17};
  s.rows = {{"01100111", PinModeOp::Read},
            {"10x01101", PinModeOp::Program, 12, true, 30},
            {"10x01010", PinModeOp::Config, 12, true, 30},
            {"1x0x0001", PinModeOp::Erase, 13, true, 150000}};
  return s;
}

// STC89LE5xAD/X2: mode on P2.7..P2.0, P1.2 and P1.6; A8..A15 on P3, the low byte latched from P0 by
// P1.7; a byte by a P2.6 high pulse, the erase by P2.0 low for 20 ms or more, reads enabled by
// P2.4 low.
PinModeSheet Stc516(std::string name, std::uint32_t bytes, std::uint8_t device) {
  PinModeSheet s;
  s.name = std::move(name);
  s.bytes = bytes;
  s.modePins = {28, 27, 26, 25, 24, 23, 22, 21, 3, 7};
  s.rows = {{"111x000110", PinModeOp::Read, 0, true, 0, 25},
            {"111x000111", PinModeOp::ReadConfig, 0, true, 0, 25},
            {"000x000110", PinModeOp::Signature, 0, true, 0, 25},
            {"000x000111", PinModeOp::Signature, 0, true, 0, 25},
            {"1x01100010", PinModeOp::Program, 27, true, 2},
            {"1x01100011", PinModeOp::Config, 27, true, 2},
            {"10010x1x11", PinModeOp::Erase, 21, false, 20000}};
  s.highAddress = {10, 11, 12, 13, 14, 15, 16, 17};
  s.latchPin = 8;
  s.signature = {0xD0, device};
  return s;
}

}  // namespace

PinMode51Chip::PinMode51Chip(PinModeSheet sheet) : sheet_(std::move(sheet)) {
  cells.assign(sheet_.bytes, 0xFF);
  wasActive_.assign(sheet_.rows.size(), false);
}

int PinMode51Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

// Takes the mode pins' levels once per pin change: '1', '0', or '?' for a floating pin.
void PinMode51Chip::SampleModePins(Programmer& p) {
  levels_.resize(sheet_.modePins.size());
  for (std::size_t i = 0; i < sheet_.modePins.size(); ++i) {
    const int mv = In(p, sheet_.modePins[i]);
    levels_[i] = mv < 0 ? '?' : High(mv) ? '1' : '0';
  }
}

bool PinMode51Chip::Matches(Programmer&, const PinModeSheet::Row& row) const {
  for (std::size_t i = 0; i < levels_.size(); ++i) {
    if (row.levels[i] != 'x' && row.levels[i] != levels_[i]) return false;
  }
  return true;
}

bool PinMode51Chip::Active(Programmer& p, const PinModeSheet::Row& row) const {
  const int mv = In(p, row.strobe);
  return mv >= 0 && High(mv) == row.strobeHigh;
}

std::uint32_t PinMode51Chip::AddressNow(Programmer& p) const {
  static constexpr int kLow[] = {1, 2, 3, 4, 5, 6, 7, 8};
  static constexpr int kHigh[] = {21, 22, 23, 24, 25, 26, 27, 28};
  std::uint32_t a = 0;
  if (sheet_.latchPin != 0) {
    a = latched_;
  } else {
    for (int i = 0; i < 8; ++i) {
      if (High(In(p, kLow[i]))) a |= 1u << i;
    }
  }
  for (int i = 0; i < 8; ++i) {
    const int pin = sheet_.highAddress.empty() ? kHigh[i] : sheet_.highAddress[i];
    if (High(In(p, pin))) a |= 1u << (8 + i);
  }
  return a;
}

std::uint8_t PinMode51Chip::DataNow(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(In(p, kData0 - i))) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool PinMode51Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= sheet_.vccMin && p.IsGround(gnd);
}

void PinMode51Chip::Complete(Programmer& p) {
  const auto& row = sheet_.rows[static_cast<std::size_t>(pending_)];
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  if (aborted_ || p.clockUs() - start_ < row.minUs || vcc < sheet_.cycleMin || vcc > kCycleMax) {
    ++lost;
    return;
  }
  switch (row.op) {
    case PinModeOp::Program:
      if (address_ >= cells.size() || (address_ >= sheet_.holeStart && address_ < sheet_.holeEnd)) {
        ++lost;
        return;
      }
      cells[address_] &= data_;
      ++writes;
      return;
    case PinModeOp::Config:
      config[address_ & 1] &= data_;
      ++writes;
      return;
    case PinModeOp::Erase:
      std::fill(cells.begin(), cells.end(), 0xFF);
      config = {0xFF, 0xFF};
      ++erases;
      return;
    default:
      return;
  }
}

void PinMode51Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    driving_ = false;
    pending_ = -1;
    std::fill(wasActive_.begin(), wasActive_.end(), false);
    return;
  }
  SampleModePins(p);
  if (sheet_.latchPin != 0) {
    const bool latchHigh = High(In(p, sheet_.latchPin));
    if (latchWasHigh_ && !latchHigh) latched_ = DataNow(p);
    latchWasHigh_ = latchHigh;
  }
  if (pending_ >= 0) {
    const auto& row = sheet_.rows[static_cast<std::size_t>(pending_)];
    if (!Active(p, row)) {
      Complete(p);
      pending_ = -1;
    } else if (!Matches(p, row) || AddressNow(p) != address_ || DataNow(p) != data_) {
      aborted_ = true;
    }
  }
  for (std::size_t i = 0; i < sheet_.rows.size(); ++i) {
    const auto& row = sheet_.rows[i];
    if (row.op == PinModeOp::Read || row.op == PinModeOp::ReadConfig ||
        row.op == PinModeOp::Signature) {
      continue;
    }
    const bool active = Active(p, row);
    if (pending_ < 0 && active && !wasActive_[i] && Matches(p, row)) {
      pending_ = static_cast<int>(i);
      aborted_ = false;
      start_ = p.clockUs();
      address_ = AddressNow(p);
      data_ = DataNow(p);
    }
    wasActive_[i] = active;
  }
  driving_ = false;
  const std::uint32_t a = AddressNow(p);
  for (const auto& row : sheet_.rows) {
    const bool read = row.op == PinModeOp::Read || row.op == PinModeOp::ReadConfig ||
                      row.op == PinModeOp::Signature;
    if (!read || !Matches(p, row)) continue;
    if (row.enable != 0) {
      const int mv = In(p, row.enable);
      if (mv < 0 || High(mv)) continue;
    }
    driving_ = true;
    const bool held = a < cells.size() && !(a >= sheet_.holeStart && a < sheet_.holeEnd);
    if (row.op == PinModeOp::Read) out_ = held ? cells[a] : 0xFF;
    if (row.op == PinModeOp::ReadConfig) out_ = config[a & 1];
    if (row.op == PinModeOp::Signature) out_ = sheet_.signature[a & 1];
    break;
  }
}

int PinMode51Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<PinMode51Chip> MakePinMode51(std::string_view part) {
  // The code area from 0 and the 4 KB second area: at 2C00h on the 4 to 12 KB parts, at EC00h on
  // the 16 to 60 KB parts; nothing between them. The 53RC, 54RC+ and 58RC+ are taken to place
  // their second area as the 51RC/52RC and the 516RC+ do (not checked against a datasheet).
  struct Stc89Part {
    std::string_view name;
    std::uint32_t code, second;
  };
  static constexpr Stc89Part kStc89[] = {
      {"STC89C51RC", 0x1000, 0x2C00},  {"STC89C52RC", 0x2000, 0x2C00},
      {"STC89C53RC", 0x2C00, 0x2C00},  {"STC89C54RC+", 0x4000, 0xEC00},
      {"STC89C58RC+", 0x8000, 0xEC00}, {"STC89C516RC+", 0xEC00, 0xEC00}};
  for (const Stc89Part& c : kStc89) {
    if (c.name != part) continue;
    PinModeSheet s = Stc89(std::string(part), c.second + 0x1000);
    if (c.code < c.second) {
      s.holeStart = c.code;
      s.holeEnd = c.second;
    }
    return std::make_shared<PinMode51Chip>(std::move(s));
  }
  // Code sizes of the LE AD parts; the device bytes of the 51, 54 and 58 are ours. The
  // STC89LE516X2 is the 64 KB LE516AD's X2 (6-clock) part: no public document gives it a parallel
  // mode or a device byte, so it takes the LE516AD's table and a device byte of ours.
  struct Stc516Part {
    std::string_view name;
    std::uint32_t bytes;
    std::uint8_t device;
  };
  static constexpr Stc516Part kStc516[] = {
      {"STC89LE51AD", 4096, 0xF1},  {"STC89LE52AD", 8192, 0xF2},   {"STC89LE54AD", 16384, 0xF3},
      {"STC89LE58AD", 32768, 0xF4}, {"STC89LE516AD", 65536, 0xF5}, {"STC89LE516X2", 65536, 0xF6}};
  for (const Stc516Part& c : kStc516) {
    if (c.name == part)
      return std::make_shared<PinMode51Chip>(Stc516(std::string(part), c.bytes, c.device));
  }
  return nullptr;
}

std::string_view PinMode51PartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {
      "STC89C51RC",  "STC89C52RC",  "STC89C53RC",  "STC89C54RC+", "STC89C58RC+",  "STC89C516RC+",
      "STC89LE51AD", "STC89LE52AD", "STC89LE54AD", "STC89LE58AD", "STC89LE516AD", "STC89LE516X2"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
