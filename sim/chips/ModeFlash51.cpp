#include "sim/chips/ModeFlash51.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kRst = 9, kProg = 30, kEa = 31;
constexpr int kData0 = 39;  // P0.0; P0.7 is pin 32
constexpr int kPoweredMin = 4250, kCycleMin = 4500, kCycleMax = 5500;

bool High(int mv) {
  return mv >= 2000;
}

// SyncMOS, three-bit mode: PSEN, then P3.0..P3.7.
ModeFlashSheet Sm8951(std::uint32_t bytes) {
  ModeFlashSheet s;
  s.bytes = bytes;
  s.modePins = {29, 10, 11, 12, 13, 14, 15, 16, 17};
  s.rows = {{"000011100", ModeFlashOp::Read},
            {"101011000", ModeFlashOp::Program},
            {"110001000", ModeFlashOp::Erase},
            {"111011000", ModeFlashOp::Lock}};
  s.eraseUs = 20000;
  return s;
}

// SyncMOS, six-bit mode: PSEN, then P3.0..P3.5.
ModeFlashSheet Sm89516(std::uint32_t bytes) {
  ModeFlashSheet s;
  s.bytes = bytes;
  s.modePins = {29, 10, 11, 12, 13, 14, 15};
  s.rows = {{"0111111", ModeFlashOp::Read},
            {"1111010", ModeFlashOp::Program},
            {"1011110", ModeFlashOp::Erase},
            {"1111100", ModeFlashOp::Lock}};
  s.eraseUs = 500000;
  return s;
}

// MSU: PSEN, then P3.0..P3.5; each cycle armed by a P3.7 low pulse; EA at logic level.
ModeFlashSheet Msu2958(std::uint32_t bytes) {
  ModeFlashSheet s;
  s.bytes = bytes;
  s.modePins = {29, 10, 11, 12, 13, 14, 15};
  s.rows = {{"0000000", ModeFlashOp::Read},
            {"1000011", ModeFlashOp::Program},
            {"1000000", ModeFlashOp::Erase},
            {"1000001", ModeFlashOp::Lock}};
  s.vppMin = 4250;
  s.vppMax = 5500;
  s.maxEaMillivolts = 6500;
  s.armPin = 17;
  s.eraseUs = 400000;
  s.preEraseUs = 500;
  return s;
}

}  // namespace

ModeFlash51Chip::ModeFlash51Chip(ModeFlashSheet sheet) : sheet_(std::move(sheet)) {
  cells.assign(sheet_.bytes, 0xFF);
}

int ModeFlash51Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

ModeFlashOp ModeFlash51Chip::ModeNow(Programmer& p) const {
  if (!High(In(p, kRst))) return ModeFlashOp::None;
  for (const auto& row : sheet_.rows) {
    bool match = true;
    for (std::size_t i = 0; i < sheet_.modePins.size() && match; ++i) {
      const int mv = In(p, sheet_.modePins[i]);
      match = mv >= 0 && High(mv) == (row.levels[i] == '1');
    }
    if (match) return row.op;
  }
  return ModeFlashOp::None;
}

std::uint32_t ModeFlash51Chip::AddressNow(Programmer& p) const {
  static constexpr int kPins[] = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26, 27, 28};
  std::uint32_t a = 0;
  for (int i = 0; i < 16; ++i) {
    if (High(In(p, kPins[i]))) a |= 1u << i;
  }
  return a;
}

std::uint8_t ModeFlash51Chip::DataNow(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(In(p, kData0 - i))) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

bool ModeFlash51Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kPoweredMin && p.IsGround(gnd);
}

bool ModeFlash51Chip::SuppliesOk(Programmer& p) const {
  const int vcc = p.SupplyMillivolts(socket_[kVcc]), ea = In(p, kEa);
  return vcc >= kCycleMin && vcc <= kCycleMax && ea >= sheet_.vppMin && ea <= sheet_.vppMax;
}

void ModeFlash51Chip::Complete(Programmer& p) {
  const double width = p.clockUs() - start_;
  if (aborted_ || !armed_) {
    ++lost;
    return;
  }
  switch (op_) {
    case ModeFlashOp::Program:
      if (locked || address_ >= cells.size()) {
        ++lost;
        return;
      }
      cells[address_] &= data_;
      ++writes;
      return;
    case ModeFlashOp::Erase:
      // The MSU parts' pre-erase: the same mode with 0x00 on P0.
      if (sheet_.preEraseUs > 0 && data_ == 0x00) {
        if (width < sheet_.preEraseUs) {
          ++lost;
          return;
        }
        std::fill(cells.begin(), cells.end(), 0x00);
        ++preErases;
        return;
      }
      if (width < sheet_.eraseUs || (sheet_.preEraseUs > 0 && data_ != 0xFF)) {
        ++lost;
        return;
      }
      std::fill(cells.begin(), cells.end(), 0xFF);
      locked = false;
      ++erases;
      return;
    case ModeFlashOp::Lock:
      if (width < sheet_.lockUs) {
        ++lost;
        return;
      }
      locked = true;
      return;
    default:
      return;
  }
}

void ModeFlash51Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    if (cycling_) ++lost;
    cycling_ = driving_ = false;
    return;
  }
  const ModeFlashOp op = ModeNow(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && !High(prog);
  const std::uint32_t address = AddressNow(p);

  if (cycling_) {
    if (!progLow || op != op_) {
      cycling_ = false;
      Complete(p);
    } else {
      if (address != address_ || DataNow(p) != data_ || !SuppliesOk(p)) aborted_ = true;
      if (sheet_.armPin != 0) {
        const int arm = In(p, sheet_.armPin);
        if (arm >= 0 && !High(arm)) armLow_ = true;
        if (armLow_ && High(arm)) armed_ = true;
      }
    }
  }
  if (!cycling_ && progLow && op != ModeFlashOp::None && op != ModeFlashOp::Read) {
    cycling_ = true;
    aborted_ = !SuppliesOk(p);
    armLow_ = false;
    armed_ = sheet_.armPin == 0;
    start_ = p.clockUs();
    op_ = op;
    address_ = address;
    data_ = DataNow(p);
  }

  driving_ = op == ModeFlashOp::Read && progLow;
  if (driving_) out_ = locked || address >= cells.size() ? 0xFF : cells[address];
}

int ModeFlash51Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

namespace {

struct Part {
  std::string_view name;
  std::uint32_t bytes;
  ModeFlashSheet (*sheet)(std::uint32_t);
};

constexpr Part kParts[] = {
    {"SM8951A", 4096, Sm8951},   {"SM8952A", 8192, Sm8951},    {"SM8954C", 16384, Sm8951},
    {"SM8958C", 32768, Sm8951},  {"SM8908", 8192, Sm89516},    {"SM8954A", 16384, Sm89516},
    {"SM8958A", 32768, Sm89516}, {"SM89516A", 65536, Sm89516}, {"MSU2951", 4096, Msu2958},
    {"MSU2952", 8192, Msu2958},  {"MSU2954", 16384, Msu2958},  {"MSU2956", 24576, Msu2958},
    {"MSU2958", 32768, Msu2958},
};

}  // namespace

std::shared_ptr<ModeFlash51Chip> MakeModeFlash51(std::string_view part) {
  for (const Part& c : kParts) {
    if (c.name != part) continue;
    ModeFlashSheet s = c.sheet(c.bytes);
    s.name = std::string(part);
    return std::make_shared<ModeFlash51Chip>(std::move(s));
  }
  return nullptr;
}

std::string_view ModeFlash51PartOf(std::string_view chipName) {
  for (const Part& c : kParts) {
    if (c.name == chipName) return c.name;
  }
  return "";
}

}  // namespace zelvar::sim
