#include "sim/chips/BootBlock28F.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kAddressBits = 17;
constexpr int kVppPin = 1, kRpPin = 30, kA9 = 26, kOePin = 24;
constexpr int kHighMin = 11400, kHighMax = 12600;
constexpr std::uint32_t kSize = 1u << kAddressBits;
constexpr std::uint8_t kReady = 0x80, kEraseError = 0x20, kProgramError = 0x10, kVppLow = 0x08;

ByteWidePinout Pinout() {
  // The EPROM-compatible pinout: A16 on pin 2, pin 30 (A17 of larger parts) is RP#.
  ByteWidePinout p = JedecFlash32(kAddressBits);
  // VPP is rated 14 V; RP#, OE# and A9 13.5 V; every other pin 7 V.
  p.highPins = {kVppPin, kRpPin, kOePin, kA9};
  p.maxHigh = 13500;
  return p;
}

}  // namespace

BootBlock28F::BootBlock28F(std::string_view name, bool topBoot)
    : ByteWideChip(std::string(name), Pinout(), kSize, 0xFF), topBoot_(topBoot) {}

// The -T map from the bottom: 112 KB main, two 4 KB parameter blocks, the 8 KB boot block; the
// -B map is its mirror.
BootBlock28F::Block BootBlock28F::BlockOf(std::uint32_t address) const {
  const std::uint32_t a = topBoot_ ? address : kSize - 1 - address;
  Block b;
  if (a < 0x1C000) {
    b = {0, 0x1C000};
  } else if (a < 0x1D000) {
    b = {0x1C000, 0x1000};
  } else if (a < 0x1E000) {
    b = {0x1D000, 0x1000};
  } else {
    b = {0x1E000, 0x2000};
  }
  if (!topBoot_) b.first = kSize - b.first - b.size;
  return b;
}

bool BootBlock28F::InBootBlock(std::uint32_t address) const {
  return topBoot_ ? address >= 0x1E000 : address < 0x2000;
}

bool BootBlock28F::Vhh(const Programmer& p) const {
  for (int pin : {kRpPin, kOePin}) {
    const int mv = Mv(p, pin);
    if (mv >= kHighMin && mv <= kHighMax) return true;
  }
  return false;
}

bool BootBlock28F::VppHigh(const Programmer& p) const {
  const int mv = Mv(p, kVppPin);
  return mv >= kHighMin && mv <= kHighMax;
}

void BootBlock28F::Reset() {
  mode_ = Mode::Array;
  erasing_ = {};
  status = kReady;
}

void BootBlock28F::Update(Programmer& p, bool powered) {
  const int rp = Mv(p, kRpPin);
  const bool powerDown = rp >= 0 && rp < 800;
  if (erasing_.size != 0) {
    if (p.clockUs() >= eraseEnd_) {
      std::fill_n(cells.begin() + erasing_.first, erasing_.size, 0xFF);
      ++blockErases;
      erasing_ = {};
      status |= kReady;
    } else if (!powered || powerDown || !VppHigh(p) || (erasingBoot_ && !Vhh(p))) {
      // The erase stops part-way: the block is not erased.
      erasing_ = {};
      status |= kReady | kEraseError | (VppHigh(p) ? 0 : kVppLow);
    }
  }
  if (!powered || powerDown) Reset();
}

void BootBlock28F::Write(Programmer& p, std::uint32_t address, std::uint8_t data) {
  const std::uint32_t a = address & (kSize - 1);
  if (erasing_.size != 0) {
    if (data == 0x70) mode_ = Mode::Status;
    return;
  }
  switch (mode_) {
    case Mode::EraseSetup:
      mode_ = Mode::Status;
      if (data != 0xD0) {
        status |= kEraseError | kProgramError;  // a command sequence error
      } else if (!VppHigh(p) || (InBootBlock(a) && !Vhh(p))) {
        status |= kEraseError | (VppHigh(p) ? 0 : kVppLow);
      } else {
        erasing_ = BlockOf(a);
        erasesStarted.push_back({erasing_.first, Vhh(p)});
        erasingBoot_ = InBootBlock(a);
        eraseEnd_ = p.clockUs() + eraseUs;
        status &= static_cast<std::uint8_t>(~kReady);
      }
      return;
    case Mode::ProgramSetup:
      mode_ = Mode::Status;
      if (!VppHigh(p) || (InBootBlock(a) && !Vhh(p))) {
        status |= kProgramError | (VppHigh(p) ? 0 : kVppLow);
      } else {
        cells[a] &= data;
      }
      return;
    default:
      break;
  }
  switch (data) {
    case 0xFF:
      mode_ = Mode::Array;
      break;
    case 0x90:
      mode_ = Mode::Identify;
      break;
    case 0x70:
      mode_ = Mode::Status;
      break;
    case 0x50:
      status = kReady;
      break;
    case 0x20:
      mode_ = Mode::EraseSetup;
      break;
    case 0x40:
    case 0x10:
      mode_ = Mode::ProgramSetup;
      break;
    default:
      break;  // reserved codes: ignored
  }
}

std::uint8_t BootBlock28F::Read(Programmer& p, std::uint32_t address) {
  const int a9 = Mv(p, kA9);
  if (mode_ == Mode::Identify || (a9 >= 11500 && a9 <= 13000)) {
    return address & 1 ? (topBoot_ ? 0x94 : 0x95) : 0x89;
  }
  if (erasing_.size != 0 || mode_ != Mode::Array) return status;
  return cells[address & (kSize - 1)];
}

std::shared_ptr<BootBlock28F> MakeBootBlock28F(std::string_view part) {
  if (part == "28F001BX-T") return std::make_shared<BootBlock28F>(part, true);
  if (part == "28F001BX-B") return std::make_shared<BootBlock28F>(part, false);
  return nullptr;
}

}  // namespace zelvar::sim
