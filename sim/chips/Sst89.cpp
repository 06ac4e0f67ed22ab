#include "sim/chips/Sst89.h"

#include <algorithm>

namespace zelvar::sim {

namespace {
constexpr int kVdd = 40, kGnd = 20, kRst = 9, kPsen = 29, kProg = 30, kEa = 31;
constexpr int kData0 = 39;
constexpr std::array<int, 16> kAddressPins = {1,  2,  3,  4,  5,  6,  7,  8,
                                              21, 22, 23, 24, 25, 26, 14, 15};
// P3.7, P3.6, P2.7, P2.6: the command code's bits from the highest.
constexpr std::array<int, 4> kCodePins = {17, 16, 28, 27};
constexpr int kHigh = 2000, kVddMin = 4500, kLowVddMin = 2700;
constexpr double kProgramUs = 50, kEraseUs = 10000;
constexpr std::uint32_t kBehindSwitch = 0x10000;

constexpr std::array<Sst89Sheet, 12> kSheets = {{
    {"SST89E51RD", 4096, 8192, 0xE000, 0xE8, false},
    {"SST89E52RD", 8192, 8192, 0xE000, 0xE9, false},
    {"SST89E54RD", 16384, 8192, 0xE000, 0xEA, false},
    {"SST89C54", 16384, 4096, 0xF000, 0xE0, true},
    {"SST89C58", 32768, 4096, 0xF000, 0xE1, true},
    {"SST89E554RC", 32768, 8192, 0xE000, 0xE5, false},
    {"SST89E564RD", 65536, 8192, kBehindSwitch, 0xE4, false},
    {"SST89V554RC", 32768, 8192, 0xE000, 0xE5, false, true},
    {"SST89V564RD", 65536, 8192, kBehindSwitch, 0xE4, false, true},
    {"P89V51RB2", 16384, 8192, 0xE000, 0x93, false},
    {"P89V51RC2", 32768, 8192, 0xE000, 0x92, false},
    {"P89V51RD2", 65536, 8192, kBehindSwitch, 0x91, false},
}};
}  // namespace

Sst89Chip::Sst89Chip(const Sst89Sheet& sheet)
    : block0(sheet.block0Bytes, 0xFF), block1(sheet.block1Bytes, 0xFF), sheet_(sheet) {}

int Sst89Chip::MaxMillivolts(int pin) const {
  if (sheet_.lowVoltage) return pin == kVdd ? 3600 : 4100;
  return pin == kVdd ? 5500 : 6500;
}

// Powered by 4.5 V (the V parts 2.7 V) or more on VDD (pin 40) with VSS (pin 20) grounded.
bool Sst89Chip::Powered(const Programmer& p) const {
  const int vdd = p.SocketPinOf(kVdd), gnd = p.SocketPinOf(kGnd);
  const int min = sheet_.lowVoltage ? kLowVddMin : kVddMin;
  return vdd != 0 && p.SupplyMillivolts(vdd) >= min && p.IsGround(gnd);
}

Sst89Chip::Cmd Sst89Chip::CommandNow(Programmer& p) const {
  int code = 0;
  for (int pin : kCodePins) {
    const int mv = In(p, pin);
    if (mv < 0) return Cmd::None;
    code = code * 2 + (mv >= kHigh ? 1 : 0);
  }
  switch (code) {
    case 0b0000:
      return Cmd::ReadId;
    case 0b1100:
      return Cmd::Verify;
    case 0b1110:
      return Cmd::Program;
    case 0b0001:
      return Cmd::Erase;
    case 0b1111:
      return Cmd::Sb1;
    case 0b0011:
      return Cmd::Sb2;
    case 0b0101:
      return Cmd::Sb3;
    case 0b1000:
      return Cmd::Mode1000;
    case 0b1001:
      return Cmd::Mode1001;
    default:
      return Cmd::None;
  }
}

std::uint32_t Sst89Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kAddressPins.size(); ++i) {
    if (In(p, kAddressPins[i]) >= kHigh) a |= 1u << i;
  }
  return a;
}

std::uint8_t Sst89Chip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 - i) >= kHigh) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

// The cell at chip address `a` in the block map; nullptr where no cell lies.
std::uint8_t* Sst89Chip::Cell(std::uint32_t a) {
  if (sheet_.block1Start == kBehindSwitch) {
    if (block1_) return &block1[a % block1.size()];
    return a < block0.size() ? &block0[a] : nullptr;
  }
  if (a >= sheet_.block1Start && a - sheet_.block1Start < block1.size()) {
    return &block1[a - sheet_.block1Start];
  }
  return a < block0.size() ? &block0[a] : nullptr;
}

std::uint8_t Sst89Chip::ReadId(std::uint32_t a) const {
  switch (a & 0xFF) {
    case 0x30:
      return 0xBF;
    case 0x31:
      return sheet_.device;
    case 0x60:
      return static_cast<std::uint8_t>(~security & 0xFF);
    case 0x61: {
      const bool bits[] = {sc0, sc1, sixClock, rb0, rb1};
      std::uint8_t b = 0xFF;
      for (int i = 0; i < 5; ++i) {
        if (bits[i]) b &= static_cast<std::uint8_t>(~(1u << i));
      }
      return b;
    }
    default:
      return 0xFF;
  }
}

// The latched command, at the end of its PROG# pulse.
void Sst89Chip::Run(Programmer& p) {
  const double now = p.clockUs();
  const std::uint32_t a = pulseAddress_;
  const std::uint8_t high = static_cast<std::uint8_t>(a >> 8);
  busyUntil_ = now + kProgramUs;
  switch (pulseCmd_) {
    case Cmd::Program: {
      std::uint8_t* cell = Cell(a);
      if (security != 0 || cell == nullptr) {
        ++lost;
        return;
      }
      *cell &= pulseData_;
      ++programmed;
      return;
    }
    case Cmd::Erase:
      erasing_ = true;
      busyUntil_ = now + kEraseUs;
      return;
    case Cmd::Sb1:
    case Cmd::Sb2:
    case Cmd::Sb3:
      security |= static_cast<std::uint8_t>(
          1u << (static_cast<int>(pulseCmd_) - static_cast<int>(Cmd::Sb1)));
      return;
    case Cmd::Mode1000:
      if (sheet_.remapBits) rb0 = true;
      if (!sheet_.remapBits && high == 0x55) sixClock = true;
      return;
    case Cmd::Mode1001:
      busyUntil_ = now;
      if (sheet_.remapBits) {
        rb1 = true;
        busyUntil_ = now + kProgramUs;
      } else if (high == 0x55 || high == 0xA5) {
        block1_ = high == 0xA5;
      } else if (high == 0x5A || high == 0xAA) {
        (high == 0x5A ? sc0 : sc1) = true;
        busyUntil_ = now + kProgramUs;
      }
      return;
    default:
      busyUntil_ = now;
      return;
  }
}

void Sst89Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  // A Chip-Erase that had its time while powered.
  if (erasing_ && p.clockUs() >= busyUntil_) {
    erasing_ = false;
    std::fill(block0.begin(), block0.end(), 0xFF);
    std::fill(block1.begin(), block1.end(), 0xFF);
    security = 0;
    sc0 = sc1 = sixClock = rb0 = rb1 = false;
    ++erases;
  }
  if (!Powered(p)) {
    inMode_ = ready_ = armed_ = block1_ = driving_ = progWasLow_ = erasing_ = false;
    return;
  }
  const int rst = In(p, kRst), psen = In(p, kPsen);
  const bool rstHigh = rst >= kHigh;
  const bool psenLow = psen >= 0 && psen < kHigh;
  if (!rstHigh) {
    inMode_ = ready_ = armed_ = false;
  } else if (!psenLow) {
    inMode_ = armed_ = false;
    ready_ = true;
  } else if (ready_ && !inMode_) {
    inMode_ = true;  // PSEN# fell with RST held high
    armed_ = block1_ = false;
  }
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < kHigh;
  const Cmd cmd = inMode_ ? CommandNow(p) : Cmd::None;
  const std::uint32_t a = AddressNow(p);
  const bool reading = cmd == Cmd::ReadId || cmd == Cmd::Verify;
  if (progLow && !progWasLow_ && inMode_ && !reading) {
    pulseCmd_ = cmd;
    pulseAddress_ = a;
    pulseData_ = DataIn(p);
    const bool eaHigh = In(p, kEa) >= kHigh;
    if (!armed_ || p.clockUs() < busyUntil_ || erasing_ || !eaHigh) {
      pulseCmd_ = Cmd::None;
      ++lost;
    }
  } else if (!progLow && progWasLow_ && prog >= 0) {
    if (pulseCmd_ != Cmd::None && inMode_ && cmd == pulseCmd_) Run(p);
    pulseCmd_ = Cmd::None;
  }
  progWasLow_ = progLow;
  driving_ = inMode_ && reading && !progLow && !erasing_;
  if (!driving_) return;
  if (cmd == Cmd::ReadId) {
    armed_ = true;
    out_ = ReadId(a);
  } else {
    std::uint8_t* cell = armed_ ? Cell(a) : nullptr;
    out_ = cell == nullptr || security != 0 ? 0xFF : *cell;
  }
}

int Sst89Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<Sst89Chip> MakeSst89(std::string_view part) {
  for (const Sst89Sheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Sst89Chip>(s);
  }
  return nullptr;
}

std::string_view Sst89PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Sst89Sheet& s : kSheets) {
    if (s.name.size() > best.size() && chipName.find(s.name) != std::string_view::npos) {
      best = s.name;
    }
  }
  return best;
}

}  // namespace zelvar::sim
