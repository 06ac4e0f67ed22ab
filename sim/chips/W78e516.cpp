#include "sim/chips/W78e516.h"

#include <algorithm>
#include <array>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 40, kGnd = 20, kEa = 31, kData0 = 39;
constexpr int kStrobe = 14;  // P3.4
constexpr int kRead = 15;    // P3.5: low for reads, high for program and erase
constexpr int kBank = 16;    // P3.6: the loader flash
constexpr int kA16 = 17;     // P3.7
constexpr int kReadMin = 3000, kCycleMin = 4500, kCycleMax = 5500;
constexpr double kProgramUs = 40, kEraseUs = 2000;
constexpr std::uint32_t kSecurityAddress = 0xFFFF;
}  // namespace

W78e516Chip::W78e516Chip(std::string name, std::uint32_t apBytes, std::uint32_t ldBytes,
                         std::uint8_t device)
    : ap(apBytes, 0xFF), ld(ldBytes, 0xFF), name_(std::move(name)), device_(device) {}

int W78e516Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

bool W78e516Chip::High(Programmer& p, int chipPin) const {
  return In(p, chipPin) >= 2000;
}

std::uint32_t W78e516Chip::Address(Programmer& p) const {
  std::uint32_t a = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, 1 + i)) a |= 1u << i;
    if (High(p, 21 + i)) a |= 1u << (8 + i);
  }
  if (High(p, kA16)) a |= 1u << 16;
  return a;
}

std::uint8_t W78e516Chip::Data(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, kData0 - i)) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

// P3.3, P3.2, P3.1, P3.0; '?' for a floating pin.
std::string W78e516Chip::Mode(Programmer& p) const {
  std::string m;
  for (int pin : {13, 12, 11, 10}) {
    const int mv = In(p, pin);
    m += mv < 0 ? '?' : mv >= 2000 ? '1' : '0';
  }
  return m;
}

bool W78e516Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kReadMin && p.IsGround(gnd);
}

bool W78e516Chip::CycleSupply(Programmer& p) const {
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  return vcc >= kCycleMin && vcc <= kCycleMax;
}

void W78e516Chip::Program(Programmer& p) {
  if (p.clockUs() - start_ < kProgramUs || !CycleSupply(p)) {
    ++lost;
    return;
  }
  if (bank_ && address_ == kSecurityAddress) {
    security &= data_;
    ++writes;
    return;
  }
  const int vpp = p.SupplyMillivolts(socket_[kEa]);
  std::vector<std::uint8_t>& cells = bank_ ? ld : ap;
  const std::uint32_t at = bank_ ? address_ & 0xFFF : address_;
  if (vpp < kCycleMin || vpp > kCycleMax || at >= cells.size()) {
    ++lost;
    return;
  }
  cells[at] &= data_;
  ++writes;
}

void W78e516Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  driving_ = false;
  // An erase held its levels since it started: done once its time has passed, even where this
  // change is the supply going off after the wait.
  if (erasing_ && p.clockUs() - start_ >= kEraseUs) {
    std::fill(ap.begin(), ap.end(), 0xFF);
    std::fill(ld.begin(), ld.end(), 0xFF);
    security = 0xFF;
    ++erases;
    erasing_ = false;
  }
  if (!Powered(p)) {
    if (erasing_ || programming_) ++lost;
    programming_ = erasing_ = false;
    strobeWasLow_ = eraseWasSet_ = true;
    return;
  }
  const std::string mode = Mode(p);
  const bool strobeLow = !High(p, kStrobe), readLevel = !High(p, kRead);
  const bool bank = High(p, kBank);

  const bool eraseSet = mode == "0110" && strobeLow && !readLevel && bank;
  if (erasing_ && (!eraseSet || !CycleSupply(p))) {
    ++lost;
    erasing_ = false;
  } else if (!erasing_ && eraseSet && !eraseWasSet_) {
    erasing_ = true;
    start_ = p.clockUs();
  }
  eraseWasSet_ = eraseSet;

  if (programming_) {
    if (!strobeLow) {
      Program(p);
      programming_ = false;
    } else if (mode != "0001" || readLevel || Address(p) != address_ || Data(p) != data_) {
      ++lost;
      programming_ = false;
    }
  } else if (strobeLow && !strobeWasLow_ && mode == "0001" && !readLevel) {
    programming_ = true;
    start_ = p.clockUs();
    address_ = Address(p);
    data_ = Data(p);
    bank_ = bank;
  }
  strobeWasLow_ = strobeLow;

  if (!strobeLow || !readLevel) return;
  if (mode == "0000") {
    const std::uint32_t a = Address(p);
    const std::uint8_t* cell =
        bank ? (ld.empty() ? nullptr : &ld[a & 0xFFF]) : (a < ap.size() ? &ap[a] : nullptr);
    out_ = Locked() || cell == nullptr ? 0xFF : *cell;
    driving_ = true;
  } else if (mode == "1011" || mode == "1100") {
    out_ = Locked() ? 0xFF : mode == "1011" ? 0xDA : device_;
    driving_ = true;
  }
}

int W78e516Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

namespace {
struct Part {
  std::string_view name;
  std::uint32_t ap, ld;
  std::uint8_t device;
};
// The W78E54C's loader flash, which its catalogue caption names, is left out as the set's row
// leaves it; the W78LE and W77LE parts are the low-voltage kinds in the same mode.
constexpr std::array<Part, 9> kParts = {{{"W78E51C", 0x1000, 0, 0x51},
                                         {"W78E52C", 0x2000, 0, 0x52},
                                         {"W78E54C", 0x4000, 0, 0x54},
                                         {"W78E58B", 0x8000, 0x1000, 0x58},
                                         {"W78LE58", 0x8000, 0x1000, 0x68},
                                         {"W78E516B", 0x10000, 0x1000, 0x16},
                                         {"W78LE516", 0x10000, 0x1000, 0x26},
                                         {"W77LE516", 0x10000, 0x1000, 0x36},
                                         {"W77E532", 0x20000, 0x1000, 0x32}}};
}  // namespace

std::shared_ptr<W78e516Chip> MakeW78e516(std::string_view part) {
  for (const Part& k : kParts) {
    if (k.name == part) {
      return std::make_shared<W78e516Chip>(std::string(k.name), k.ap, k.ld, k.device);
    }
  }
  return nullptr;
}

std::string_view W78e516PartOf(std::string_view chipName) {
  for (const Part& k : kParts) {
    if (k.name == chipName) return k.name;
  }
  return {};
}

}  // namespace zelvar::sim
