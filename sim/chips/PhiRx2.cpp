#include "sim/chips/PhiRx2.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kProg = 30, kEa = 31;
constexpr int kSelect = 28, kProgram = 13;
constexpr int kData0 = 39;
constexpr std::array<int, 16> kAddressPins = {1,  2,  3,  4,  5,  6,  7,  8,
                                              21, 22, 23, 24, 25, 26, 14, 15};
constexpr std::array<int, 4> kModePins = {27, 17, 11, 10};
constexpr int kHigh = 2000, kVppMin = 4500;
constexpr double kMinPulseUs = 1, kMaxPulseUs = 5000, kErasePulseUs = 10000, kChipEraseUs = 200000;

// Modes by their four levels read as a binary number, first pin highest; -2: reading, -1: none.
constexpr int kReadCode = 0b0000, kReadSignature = 0b1111, kReadBits = 0b1011;
constexpr int kProgramByte = 0b0011, kEraseChip = 0b0001, kSecurity = 0b0110;
constexpr int kEraseBoot = 0b1000, kProgramBoot = 0b1010, kClock = 0b1101;
constexpr int kProgramSelect = 0x10;  // added to the mode when P2.7 high and P3.3 low
// The "XX" table.
constexpr int kXXReadSpecial = 0b1111, kXXProgramByte = 0b0001, kXXEraseChip = 0b0111;
constexpr int kXXProgramSpecial = 0b0010, kXXEraseBoot = 0b1001;

struct Part {
  std::string_view name;
  std::uint32_t bytes;
  std::uint8_t derivative;
  PhiTable table;
};
// The BP, RA+..RD+ and X2 parts' derivative bytes are ours (see PhiRx2.h).
constexpr std::array<Part, 20> kParts = {
    {{"P89C51RA2", 8192, 0x8A, PhiTable::kRx2},      {"P89C51RB2", 16384, 0x8B, PhiTable::kRx2},
     {"P89C51RC2", 32768, 0x8C, PhiTable::kRx2},     {"P89C51RD2", 65536, 0x8D, PhiTable::kRx2},
     {"P89C51RA2XX", 8192, 0x8A, PhiTable::kRx2xx},  {"P89C51RB2XX", 16384, 0x8B, PhiTable::kRx2xx},
     {"P89C51RC2XX", 32768, 0x8C, PhiTable::kRx2xx}, {"P89C51RD2XX", 65536, 0x8D, PhiTable::kRx2xx},
     {"P89C51BP", 4096, 0x51, PhiTable::kRx2},       {"P89C52BP", 8192, 0x52, PhiTable::kRx2},
     {"P89C54BP", 16384, 0x54, PhiTable::kRx2},      {"P89C58BP", 32768, 0x58, PhiTable::kRx2},
     {"P89C51RA+", 8192, 0x9A, PhiTable::kRx2},      {"P89C51RB+", 16384, 0x9B, PhiTable::kRx2},
     {"P89C51RC+", 32768, 0x9C, PhiTable::kRx2},     {"P89C51RD+", 65536, 0x9D, PhiTable::kRx2},
     {"P89C51X2", 4096, 0xA1, PhiTable::kRx2},       {"P89C52X2", 8192, 0xA2, PhiTable::kRx2},
     {"P89C54X2", 16384, 0xA4, PhiTable::kRx2},      {"P89C58X2", 32768, 0xA8, PhiTable::kRx2}}};
}  // namespace

PhiRx2Chip::PhiRx2Chip(std::string name, std::uint32_t bytes, std::uint8_t derivative,
                       PhiTable table)
    : cells(bytes, 0xFF),
      signature{0x15, 0xC2, derivative},
      name_(std::move(name)),
      table_(table) {}

// The four mode levels, plus kProgramSelect when P2.7 is high and P3.3 low; -1 outside the
// programming modes or with a pin undriven, -2 for a select pattern that is neither read nor
// program.
int PhiRx2Chip::Mode(Programmer& p) const {
  if (In(p, kRst) < kHigh) return -1;
  const int psen = In(p, kPsen);
  if (psen < 0 || psen >= kHigh) return -1;
  int m = 0;
  for (int pin : kModePins) {
    const int mv = In(p, pin);
    if (mv < 0) return -1;
    m = m * 2 + (mv >= kHigh ? 1 : 0);
  }
  const int sel = In(p, kSelect), prg = In(p, kProgram);
  if (sel < 0 || prg < 0 || prg >= kHigh) return -2;
  return sel >= kHigh ? m + kProgramSelect : m;
}

std::uint32_t PhiRx2Chip::RawAddress(Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kAddressPins.size(); ++i) {
    if (In(p, kAddressPins[i]) >= kHigh) a |= 1u << i;
  }
  return a;
}

std::uint32_t PhiRx2Chip::AddressNow(Programmer& p) const {
  return RawAddress(p) & static_cast<std::uint32_t>(cells.size() - 1);
}

std::uint8_t PhiRx2Chip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 - i) >= kHigh) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

std::uint8_t PhiRx2Chip::ReadAt(int mode, std::uint32_t a) const {
  const std::uint32_t low = a & 0xFF;
  switch (mode) {
    case kReadCode:
      return (security & 0x02) ? cells[a] : 0xFF;
    case kReadSignature: {
      const std::array<std::uint8_t, 7> bytes = {signature[0], signature[1], signature[2], 0xFF,
                                                 signature[2], signature[0], signature[1]};
      return low < bytes.size() ? bytes[low] : 0xFF;
    }
    case kReadBits: {
      const std::array<std::uint8_t, 4> bits = {security, status, vector, clock};
      return low < bits.size() ? bits[low] : 0xFF;
    }
    default:
      return 0xFF;
  }
}

// The "XX" table's reads; `a` is the raw address (A14..A12 choose the special byte).
std::uint8_t PhiRx2Chip::ReadXX(int mode, std::uint32_t a) const {
  if (mode == kReadCode) {
    return (security & 0x02) ? cells[a & static_cast<std::uint32_t>(cells.size() - 1)] : 0xFF;
  }
  if (mode != kXXReadSpecial) return 0xFF;
  const std::array<std::uint8_t, 7> special = {status,       vector,       clock,       security,
                                               signature[2], signature[0], signature[1]};
  const std::uint32_t index = (a >> 12) & 7;
  return index < special.size() ? special[index] : 0xFF;
}

// The cells change only once the erase strobes add up to the erase time.
void PhiRx2Chip::ChipErase(double us) {
  if (us < kErasePulseUs) return;
  eraseUs_ += us;
  if (eraseUs_ < kChipEraseUs) return;
  eraseUs_ = 0;
  std::fill(cells.begin(), cells.end(), 0xFF);
  security = 0xFF;
  ++erases;
}

void PhiRx2Chip::StrobeXX(Programmer& p, double us) {
  const std::uint32_t index = (pulseAddress_ >> 12) & 7;
  const std::uint8_t d = pulseData_;
  const bool timed = us >= kMinPulseUs;
  switch (pulseMode_ - kProgramSelect) {
    case kXXProgramByte:
      if (us > kMaxPulseUs) p.record.Hazard(name_ + ": program pulse longer than 5 ms");
      if (timed && (security & 0x01)) {
        cells[pulseAddress_ & static_cast<std::uint32_t>(cells.size() - 1)] &= d;
        ++programmed;
      }
      break;
    case kXXEraseChip:
      return ChipErase(us);
    case kXXProgramSpecial:
      if (!timed) break;
      if (index == 0) status &= d;
      if (index == 1) vector &= d;
      if (index == 2) clock &= 0x7F;
      if (index >= 3 && index <= 5) security &= static_cast<std::uint8_t>(~(1u << (index - 3)));
      break;
    case kXXEraseBoot:
      if (us >= kErasePulseUs) status = vector = 0xFF;
      break;
    default:
      break;
  }
}

bool PhiRx2Chip::IsRead(int mode) const {
  if (table_ == PhiTable::kRx2xx) return mode == kReadCode || mode == kXXReadSpecial;
  return mode == kReadCode || mode == kReadSignature || mode == kReadBits;
}

void PhiRx2Chip::Strobe(Programmer& p, double us) {
  if (table_ == PhiTable::kRx2xx) return StrobeXX(p, us);
  const std::uint32_t a = pulseAddress_;
  const std::uint8_t d = pulseData_;
  const bool timed = us >= kMinPulseUs;
  switch (pulseMode_ - kProgramSelect) {
    case kProgramByte:
      if (us > kMaxPulseUs) p.record.Hazard(name_ + ": program pulse longer than 5 ms");
      if (timed && (security & 0x01)) {
        cells[a] &= d;
        ++programmed;
      }
      break;
    case kEraseChip:
      return ChipErase(us);
    case kSecurity:
      if (timed && a < 3) security &= static_cast<std::uint8_t>(~(1u << a));
      break;
    case kEraseBoot:
      if (us >= kErasePulseUs) status = vector = 0xFF;
      break;
    case kProgramBoot:
      if (timed && a == 0) status &= d;
      if (timed && a == 1) vector &= d;
      break;
    case kClock:
      if (timed && a == 1 && d == 0x80) clock &= 0x7F;
      break;
    default:
      break;
  }
}

// Powered by a supply of at least 4.5 V on VCC (pin 40) with ground (pin 20) grounded.
bool PhiRx2Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 4500 && p.IsGround(gnd);
}

void PhiRx2Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    driving_ = progWasLow_ = false;
    eraseUs_ = 0;
    return;
  }
  const int mode = Mode(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < kHigh;
  const std::uint32_t raw = RawAddress(p);
  const std::uint32_t a = raw & static_cast<std::uint32_t>(cells.size() - 1);
  if (progLow && !progWasLow_) {
    lowSince_ = p.clockUs();
    pulseMode_ = mode;
    pulseAddress_ = table_ == PhiTable::kRx2xx ? raw : a;
    pulseData_ = DataIn(p);
  } else if (!progLow && progWasLow_ && prog >= 0) {
    if (In(p, kEa) >= kVppMin && mode == pulseMode_ && mode >= kProgramSelect) {
      const int erase = (table_ == PhiTable::kRx2xx ? kXXEraseChip : kEraseChip) + kProgramSelect;
      if (mode != erase) eraseUs_ = 0;
      Strobe(p, p.clockUs() - lowSince_);
    }
  }
  progWasLow_ = progLow;
  driving_ = !progLow && prog >= 0 && IsRead(mode);
  if (driving_) out_ = table_ == PhiTable::kRx2xx ? ReadXX(mode, raw) : ReadAt(mode, a);
}

int PhiRx2Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<PhiRx2Chip> MakePhiRx2(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part)
      return std::make_shared<PhiRx2Chip>(std::string(part), p.bytes, p.derivative, p.table);
  }
  return nullptr;
}

std::string_view PhiRx2PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Part& p : kParts) {
    if (p.name.size() > best.size() && chipName.find(p.name) != std::string_view::npos) {
      best = p.name;
    }
  }
  return best;
}

}  // namespace zelvar::sim
