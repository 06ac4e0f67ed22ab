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
constexpr double kMinPulseUs = 50, kMaxPulseUs = 5000, kErasePulseUs = 10000;

// Modes by their four levels read as a binary number, first pin highest; -2: reading, -1: none.
constexpr int kReadCode = 0b0000, kReadSignature = 0b1111, kReadBits = 0b1011;
constexpr int kProgramByte = 0b0011, kEraseChip = 0b0001, kSecurity = 0b0110;
constexpr int kEraseBoot = 0b1000, kProgramBoot = 0b1010, kClock = 0b1101;
constexpr int kProgramSelect = 0x10;  // added to the mode when P2.7 high and P3.3 low

struct Part {
  std::string_view name;
  std::uint32_t bytes;
  std::uint8_t derivative;
};
constexpr std::array<Part, 4> kParts = {{{"P89C51RA2", 8192, 0x8A},
                                         {"P89C51RB2", 16384, 0x8B},
                                         {"P89C51RC2", 32768, 0x8C},
                                         {"P89C51RD2", 65536, 0x8D}}};
}  // namespace

PhiRx2Chip::PhiRx2Chip(std::string name, std::uint32_t bytes, std::uint8_t derivative)
    : cells(bytes, 0xFF), signature{0x15, 0xC2, derivative}, name_(std::move(name)) {}

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

std::uint32_t PhiRx2Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kAddressPins.size(); ++i) {
    if (In(p, kAddressPins[i]) >= kHigh) a |= 1u << i;
  }
  return a & static_cast<std::uint32_t>(cells.size() - 1);
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
    case kReadSignature:
      return low < signature.size() ? signature[low] : 0xFF;
    case kReadBits: {
      const std::array<std::uint8_t, 4> bits = {security, status, vector, clock};
      return low < bits.size() ? bits[low] : 0xFF;
    }
    default:
      return 0xFF;
  }
}

void PhiRx2Chip::Strobe(Programmer& p, double us) {
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
      if (us >= kErasePulseUs) {
        std::fill(cells.begin(), cells.end(), 0xFF);
        security = 0xFF;
        ++erases;
      }
      break;
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
    return;
  }
  const int mode = Mode(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < kHigh;
  const std::uint32_t a = AddressNow(p);
  if (progLow && !progWasLow_) {
    lowSince_ = p.clockUs();
    pulseMode_ = mode;
    pulseAddress_ = a;
    pulseData_ = DataIn(p);
  } else if (!progLow && progWasLow_ && prog >= 0) {
    if (In(p, kEa) >= kVppMin && mode == pulseMode_ && mode >= kProgramSelect) {
      Strobe(p, p.clockUs() - lowSince_);
    }
  }
  progWasLow_ = progLow;
  driving_ =
      !progLow && prog >= 0 && (mode == kReadCode || mode == kReadSignature || mode == kReadBits);
  if (driving_) out_ = ReadAt(mode, a);
}

int PhiRx2Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<PhiRx2Chip> MakePhiRx2(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part)
      return std::make_shared<PhiRx2Chip>(std::string(part), p.bytes, p.derivative);
  }
  return nullptr;
}

std::string_view PhiRx2PartOf(std::string_view chipName) {
  for (const Part& p : kParts) {
    if (chipName.find(p.name) != std::string_view::npos) return p.name;
  }
  return {};
}

}  // namespace zelvar::sim
