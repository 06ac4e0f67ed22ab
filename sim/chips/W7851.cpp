#include "sim/chips/W7851.h"

#include <algorithm>
#include <utility>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kAle = 30, kEa = 31, kData0 = 39;
constexpr int kCe = 16;  // P3.6
constexpr int kOe = 17;  // P3.7
constexpr int kReadMin = 2400, kCycleMin = 4500, kCycleMax = 5500;
constexpr int kVihMin = 2000, kVihMax = 6500;
constexpr int kVcpMin = 12250, kVcpMax = 12750;  // VCP 12.5 V
constexpr int kVepMin = 14250, kVepMax = 14750;  // VEP 14.5 V
constexpr double kProgramUs = 95, kEraseUs = 95000;
constexpr std::uint32_t kFirstOption = 0xFFFD;
// OECTRL, A14CTRL, A13CTRL, A9CTRL (P3.3 .. P3.0): all low for the code, A9CTRL high for the
// erase and the company ID.
constexpr std::string_view kCodeMode = "0000", kA9Mode = "0001";
}  // namespace

W7851Chip::W7851Chip(std::string name, std::uint32_t codeBytes, std::uint8_t device)
    : cells(codeBytes, 0xFF), name_(std::move(name)), device_(device) {}

bool W7851Chip::High(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]) >= 2000;
}

std::uint32_t W7851Chip::Address(Programmer& p) const {
  std::uint32_t a = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, 1 + i)) a |= 1u << i;
    if (High(p, 21 + i)) a |= 1u << (8 + i);
  }
  return a;
}

std::uint8_t W7851Chip::Data(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (High(p, kData0 - i)) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

// P3.3, P3.2, P3.1, P3.0; '?' for a floating pin.
std::string W7851Chip::Mode(Programmer& p) const {
  std::string m;
  for (int pin : {13, 12, 11, 10}) {
    const int mv = p.InputMillivolts(socket_[pin]);
    m += mv < 0 ? '?' : mv >= 2000 ? '1' : '0';
  }
  return m;
}

bool W7851Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kReadMin && p.IsGround(gnd);
}

void W7851Chip::Complete(Programmer& p) {
  const double width = p.clockUs() - start_;
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  if (aborted_ || vcc < kCycleMin || vcc > kCycleMax) {
    ++lost;
    return;
  }
  if (pulseMode_ == kA9Mode) {
    // The erase takes A0 low and 0FFh on P0.
    if (width < kEraseUs || (address_ & 1) != 0 || data_ != 0xFF) {
      ++lost;
      return;
    }
    std::fill(cells.begin(), cells.end(), 0xFF);
    options = {0xFF, 0xFF, 0xFF};
    ++erases;
    return;
  }
  if (width < kProgramUs) {
    ++lost;
    return;
  }
  if (address_ >= kFirstOption) {
    options[address_ - kFirstOption] &= data_;
  } else if (address_ < cells.size()) {
    cells[address_] &= data_;
  } else {
    ++lost;
    return;
  }
  ++writes;
}

void W7851Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  driving_ = false;
  if (!Powered(p)) {
    if (pulsing_) ++lost;
    pulsing_ = false;
    strobeWasLow_ = false;
    return;
  }
  // The mode's fixed levels: RST high, ALE low, PSEN high.
  const bool inMode = High(p, kRst) && !High(p, kAle) && High(p, kPsen);
  const std::string mode = Mode(p);
  const bool ceLow = !High(p, kCe), oeLow = !High(p, kOe);
  const int ea = p.InputMillivolts(socket_[kEa]);
  const bool vih = ea >= kVihMin && ea <= kVihMax;
  const bool vcp = ea >= kVcpMin && ea <= kVcpMax, vep = ea >= kVepMin && ea <= kVepMax;
  const auto vppOk = [&](std::string_view m) { return m == kA9Mode ? vep : vcp; };

  if (ceLow && !strobeWasLow_ && inMode && !oeLow && (mode == kCodeMode || mode == kA9Mode) &&
      vppOk(mode)) {
    pulsing_ = true;
    pulseMode_ = mode;
    start_ = p.clockUs();
    address_ = Address(p);
    data_ = Data(p);
    aborted_ = false;
  } else if (pulsing_ && ceLow) {
    aborted_ = aborted_ || !inMode || oeLow || mode != pulseMode_ || !vppOk(pulseMode_) ||
               Address(p) != address_ || Data(p) != data_;
  } else if (pulsing_ && !ceLow) {
    pulsing_ = false;
    aborted_ = aborted_ || !vppOk(pulseMode_);
    Complete(p);
  }
  strobeWasLow_ = ceLow;

  if (!inMode || !oeLow) return;
  const std::uint32_t a = Address(p);
  // Read (CE low at VIH), program verify (CE high at VCP) and erase verify (CE high at VEP) give
  // the code; the company ID wants CE low at VIH.
  const bool code = mode == kCodeMode ? (ceLow ? vih : vcp) : mode == kA9Mode && !ceLow && vep;
  if (code) {
    out_ = Locked()            ? 0xFF
           : a >= kFirstOption ? options[a - kFirstOption]
           : a < cells.size()  ? cells[a]
                               : 0xFF;
    driving_ = true;
  } else if (mode == kA9Mode && ceLow && vih) {
    out_ = (a & 1) == 0 ? 0xDA : device_;
    driving_ = true;
  }
}

int W7851Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

namespace {
struct Part {
  std::string_view name;
  std::uint32_t bytes;
  std::uint8_t device;
};
constexpr std::array<Part, 8> kParts = {{{"W78E51", 0x1000, 0x51},
                                         {"W78E52", 0x2000, 0x52},
                                         {"W78E54", 0x4000, 0x54},
                                         {"W78E58", 0x8000, 0x58},
                                         {"W78E516", 0xFFFD, 0x16},
                                         {"W78E516B", 0xFFFD, 0x1B},
                                         {"W77E54", 0x4000, 0x74},
                                         {"W77E58", 0x8000, 0x78}}};
}  // namespace

std::shared_ptr<W7851Chip> MakeW7851(std::string_view part) {
  for (const Part& k : kParts) {
    if (k.name == part) return std::make_shared<W7851Chip>(std::string(k.name), k.bytes, k.device);
  }
  return nullptr;
}

std::string_view W7851PartOf(std::string_view chipName) {
  for (const Part& k : kParts) {
    if (k.name != "W78E516B" && k.name == chipName) return k.name;
  }
  return {};
}

}  // namespace zelvar::sim
