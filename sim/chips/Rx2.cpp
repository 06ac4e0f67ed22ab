#include "sim/chips/Rx2.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kProg = 30, kEa = 31;
constexpr int kData0 = 39;
constexpr std::array<int, 16> kAddressPins = {1,  2,  3,  4,  5,  6,  7,  8,
                                              21, 22, 23, 24, 25, 26, 14, 15};
constexpr std::array<int, 5> kModePins = {27, 28, 16, 17, 13};
constexpr double kLongStrobeUs = 5;

// Modes by their five levels read as a binary number, first pin highest.
constexpr int kReadCode = 0b00111, kReadSignature = 0b00001, kReadConfig = 0b00000;
constexpr int kEntry = 0b11001, kUnlock = 0b10100, kLoad = 0b01010, kProgramPage = 0b01110;
constexpr int kErase = 0b10000, kWriteConfig = 0b11010, kTakeHsb = 0b11000, kCommitHsb = 0b11011;
}  // namespace

Rx2Chip::Rx2Chip(std::string name, std::uint32_t bytes, bool needsEntry)
    : cells(bytes, 0xFF), name_(std::move(name)), needsEntry_(needsEntry) {}

int Rx2Chip::Mode(Programmer& p) const {
  if (In(p, kRst) < 2000) return -1;
  const int psen = In(p, kPsen);
  if (psen < 0 || psen >= 2000) return -1;
  int m = 0;
  for (int pin : kModePins) {
    const int mv = In(p, pin);
    if (mv < 0) return -1;
    m = m * 2 + (mv >= 2000 ? 1 : 0);
  }
  return m;
}

std::uint32_t Rx2Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kAddressPins.size(); ++i) {
    if (In(p, kAddressPins[i]) >= 2000) a |= 1u << i;
  }
  return a & static_cast<std::uint32_t>(cells.size() - 1);
}

std::uint8_t Rx2Chip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 - i) >= 2000) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

std::uint8_t Rx2Chip::ReadAt(int mode, std::uint32_t a) const {
  if (mode == kReadCode) return (hsb & 0x02) ? cells[a] : 0xFF;
  const std::uint32_t low = a & 0xFF;
  if (low == 0x30) return signature[0];
  if (low == 0x31) return signature[1];
  if (low == 0x60) return signature[2];
  if (low == 0x61) return signature[3];
  if (mode == kReadConfig) {
    switch (low) {
      case 0:
        return bsb;
      case 1:
        return bsv;
      case 4:
        return hsb;
      case 5:
        return ssb;
      default:
        return 0xFF;
    }
  }
  return 0xFF;
}

void Rx2Chip::Strobe(int mode, std::uint32_t a, std::uint8_t d, bool isLong) {
  if (mode == kEntry) {
    entered_ = entered_ || d == 0x69;
    return;
  }
  if (mode == kUnlock) {
    if (d == 0x55) {
      unlockStep_ = 1;
    } else if (d == 0xAA && unlockStep_ == 1) {
      unlocked_ = true;
      unlockStep_ = 0;
    }
    return;
  }
  const bool writable = unlocked_ && (entered_ || !needsEntry_);
  if (mode == kLoad) {
    page_.emplace_back(a, d);
    return;
  }
  if (mode == kTakeHsb) {
    pendingHsb_ = d;
    if (isLong && writable) hsb = d;
    return;
  }
  if (!isLong || !writable) return;
  switch (mode) {
    case kProgramPage:
      if (hsb & 0x04) {
        for (const auto& [at, b] : page_) cells[at] = b;
        ++pages;
      }
      break;
    case kErase:
      std::fill(cells.begin(), cells.end(), 0xFF);
      hsb |= 0x07;
      ++erases;
      break;
    case kWriteConfig:
      for (const auto& [at, b] : page_) {
        switch (at & 0xFF) {
          case 0:
            bsb = b;
            break;
          case 1:
            bsv = b;
            break;
          case 4:
            hsb = b;
            break;
          case 5:
            ssb = b;
            break;
          default:
            break;
        }
      }
      break;
    case kCommitHsb:
      hsb = pendingHsb_;
      break;
    default:
      return;
  }
  page_.clear();
}

// Powered by a supply of at least 4.5 V on VCC (pin 40) with ground (pin 20) grounded.
bool Rx2Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= 4500 && p.IsGround(gnd);
}

void Rx2Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    driving_ = entered_ = unlocked_ = progWasLow_ = false;
    unlockStep_ = 0;
    page_.clear();
    return;
  }
  const int mode = Mode(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < 2000;
  const std::uint32_t a = AddressNow(p);
  if (progLow && !progWasLow_) {
    lowSince_ = p.clockUs();
    pulseMode_ = mode;
    pulseAddress_ = a;
    pulseData_ = DataIn(p);
  } else if (!progLow && progWasLow_ && prog >= 0) {
    const bool eaHigh = In(p, kEa) >= 2000;
    if (eaHigh && mode == pulseMode_) {
      Strobe(pulseMode_, pulseAddress_, pulseData_, p.clockUs() - lowSince_ >= kLongStrobeUs);
    }
  }
  progWasLow_ = progLow;
  driving_ =
      !progLow && prog >= 0 && (mode == kReadCode || mode == kReadSignature || mode == kReadConfig);
  if (driving_) out_ = ReadAt(mode, a);
}

int Rx2Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<Rx2Chip> MakeRx2(std::string_view part) {
  if (part == "AT89C51RD2") return std::make_shared<Rx2Chip>(std::string(part), 65536, true);
  if (part == "T89C51RD2") return std::make_shared<Rx2Chip>(std::string(part), 65536, false);
  if (part == "T89C51RC2") return std::make_shared<Rx2Chip>(std::string(part), 32768, false);
  // The 16 KB members of the same families.
  if (part == "AT89C51RB2") return std::make_shared<Rx2Chip>(std::string(part), 16384, true);
  if (part == "T89C51RB2") return std::make_shared<Rx2Chip>(std::string(part), 16384, false);
  return nullptr;
}

std::string_view Rx2PartOf(std::string_view chipName) {
  for (std::string_view part :
       {"AT89C51RD2", "T89C51RD2", "T89C51RC2", "AT89C51RB2", "T89C51RB2"}) {
    if (chipName.find(part) != std::string_view::npos) return part;
  }
  return {};
}

}  // namespace zelvar::sim
