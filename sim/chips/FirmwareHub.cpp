#include "sim/chips/FirmwareHub.h"

#include <algorithm>
#include <array>

namespace zelvar::sim {

namespace {

constexpr int kVpp = 1, kRst = 2, kGnd = 16, kWe = 23, kOe = 24, kIc = 29, kRc = 31, kVcc = 32;
constexpr std::array<int, 11> kA = {12, 11, 10, 9, 8, 7, 6, 5, 4, 3, 30};  // A0..A10
constexpr std::array<int, 8> kD = {13, 14, 15, 17, 18, 19, 20, 21};

constexpr double kSstProgramUs = 14, kSstEraseUs = 18e3, kSstChipEraseUs = 70e3;
constexpr double kIntelProgramUs = 11, kIntelEraseUs = 750e3;

constexpr std::uint8_t kReady = 0x80, kEraseError = 0x20, kProgramError = 0x10, kVppError = 0x08;

constexpr FirmwareHubSheet kSheets[] = {
    {"SST49LF002A", false, 0xBF, 0x57, 0x40000, 0, 0x4000},
    {"SST49LF003A", false, 0xBF, 0x1B, 0x80000, 0x20000, 0x10000},
    {"SST49LF004A", false, 0xBF, 0x60, 0x80000, 0, 0x10000},
    {"SST49LF008A", false, 0xBF, 0x5A, 0x100000, 0, 0x10000},
    {"82802AB", true, 0x89, 0xAD, 0x80000, 0, 0x10000},
    {"82802AC", true, 0x89, 0xAC, 0x100000, 0, 0x10000},
};

}  // namespace

FirmwareHub::FirmwareHub(const FirmwareHubSheet& sheet) : cells(sheet.size, 0xFF), sheet_(sheet) {}

// Absolute maximum ratings: VDD 4.0 V, every other pin VDD + 0.5 V (4.1 V at the 3.6 V top of
// the range), the 82802's VPP 13 V.
int FirmwareHub::MaxMillivolts(int pin) const {
  if (pin == kVpp && sheet_.intel) return 13000;
  if (pin == kVcc) return 4000;
  return 4100;
}

bool FirmwareHub::Powered(const Programmer& p) const {
  if (socket_.empty()) return false;
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  return vcc >= 3000 && vcc <= 3600 && p.SupplyMillivolts(socket_[kGnd]) == 0;
}

int FirmwareHub::Mv(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

int FirmwareHub::Level(const Programmer& p, int chipPin) const {
  const int mv = Mv(p, chipPin);
  if (mv < 0) return -1;
  if (mv < 800) return 0;
  return mv >= 2000 ? 1 : -1;
}

std::uint32_t FirmwareHub::APins(const Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < kA.size(); ++i) {
    if (Level(p, kA[i]) == 1) a |= 1u << i;
  }
  return a;
}

std::uint8_t FirmwareHub::DataPins(const Programmer& p) const {
  std::uint8_t d = 0;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (Level(p, kD[i]) == 1) d |= static_cast<std::uint8_t>(1u << i);
  }
  return d;
}

void FirmwareHub::Reset() {
  busy_ = false;
  eraseBytes_ = 0;
  mode_ = Mode::Read;
  unlock_ = 0;
  eraseArmed_ = programArmed_ = false;
  intelSetup_ = 0;
  status_ = kReady;
}

void FirmwareHub::Finish(double now) {
  if (!busy_ || now < busyEnd_) return;
  busy_ = false;
  if (eraseBytes_ == 0) return;
  const std::uint32_t from = std::max(eraseFrom_, sheet_.first);
  const std::uint32_t to = std::min(eraseFrom_ + eraseBytes_, sheet_.size);
  if (from < to) std::fill(cells.begin() + from, cells.begin() + to, std::uint8_t{0xFF});
  erased.emplace_back(eraseFrom_, eraseBytes_);
  eraseBytes_ = 0;
}

void FirmwareHub::Start(double now, double us, std::uint32_t from, std::uint32_t bytes) {
  busy_ = true;
  busyEnd_ = now + us;
  eraseFrom_ = from;
  eraseBytes_ = bytes;
}

// The byte takes at its data latch (the program ends within the bus cycles that follow).
void FirmwareHub::Program(double now, std::uint32_t address, std::uint8_t data, double us) {
  if (address >= sheet_.first && address < sheet_.size) cells[address] &= data;
  ++programs;
  Start(now, us, 0, 0);
}

void FirmwareHub::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(33, 0);
    for (int k = 1; k <= 32; ++k) socket_[k] = p.SocketPinOf(k);
  }
  const double now = p.clockUs();
  if (powered_) Finish(now);
  if (!Powered(p)) {
    if (powered_) Reset();
    powered_ = false;
    driving_ = false;
    lastRc_ = lastWe_ = -1;
    return;
  }
  powered_ = true;
  if (Level(p, kRst) != 1 || Level(p, kIc) != 1) {
    // Reset, or the firmware-hub interface this model leaves out.
    if (Level(p, kRst) == 0) Reset();
    driving_ = false;
    lastRc_ = lastWe_ = -1;
    return;
  }
  const int rc = Level(p, kRc);
  if (lastRc_ == 1 && rc == 0) row_ = APins(p);
  if (lastRc_ == 0 && rc == 1) column_ = APins(p);
  lastRc_ = rc;
  const std::uint32_t address = (column_ << 11 | row_) & (sheet_.size - 1);
  const int we = Level(p, kWe), oe = Level(p, kOe);
  if (lastWe_ == 0 && we == 1 && oe == 1) Write(p, address, DataPins(p));
  lastWe_ = we;
  driving_ = oe == 0 && we == 1;
  if (driving_) out_ = Read(address);
}

void FirmwareHub::Write(const Programmer& p, std::uint32_t address, std::uint8_t data) {
  if (busy_) return;
  if (sheet_.intel) {
    WriteIntel(p, address, data);
  } else {
    WriteJedec(p.clockUs(), address, data);
  }
}

void FirmwareHub::WriteJedec(double now, std::uint32_t address, std::uint8_t data) {
  const std::uint32_t u = address & 0x7FFF;
  if (programArmed_) {
    programArmed_ = false;
    Program(now, address, data, kSstProgramUs);
    return;
  }
  if (data == 0xF0 && unlock_ != 2) {
    mode_ = Mode::Read;
    unlock_ = 0;
    eraseArmed_ = false;
    return;
  }
  if (unlock_ == 0) {
    unlock_ = u == 0x5555 && data == 0xAA ? 1 : 0;
    return;
  }
  if (unlock_ == 1) {
    unlock_ = u == 0x2AAA && data == 0x55 ? 2 : 0;
    return;
  }
  unlock_ = 0;
  if (eraseArmed_) {
    eraseArmed_ = false;
    if (data == 0x30) {
      Start(now, kSstEraseUs, address & ~0xFFFu, 0x1000);
    } else if (data == 0x50) {
      Start(now, kSstEraseUs, address & ~(sheet_.blockBytes - 1), sheet_.blockBytes);
    } else if (data == 0x10 && u == 0x5555) {
      Start(now, kSstChipEraseUs, 0, sheet_.size);
    }
    return;
  }
  if (u != 0x5555) return;
  if (data == 0xA0) programArmed_ = true;
  if (data == 0x80) eraseArmed_ = true;
  if (data == 0x90) mode_ = Mode::Id;
  if (data == 0xF0) mode_ = Mode::Read;
}

void FirmwareHub::WriteIntel(const Programmer& p, std::uint32_t address, std::uint8_t data) {
  const int vpp = p.SupplyMillivolts(socket_[kVpp]);
  const bool vppOk = (vpp >= 3000 && vpp <= 3600) || (vpp >= 11400 && vpp <= 12600);
  const std::uint8_t setup = intelSetup_;
  intelSetup_ = 0;
  if (setup == 0x20) {
    mode_ = Mode::Status;
    if (data != 0xD0) {
      status_ |= kEraseError | kProgramError;
    } else if (!vppOk) {
      status_ |= kEraseError | kVppError;
    } else {
      Start(p.clockUs(), kIntelEraseUs, address & ~(sheet_.blockBytes - 1), sheet_.blockBytes);
    }
    return;
  }
  if (setup == 0x40) {
    mode_ = Mode::Status;
    if (!vppOk) {
      status_ |= kProgramError | kVppError;
    } else {
      Program(p.clockUs(), address, data, kIntelProgramUs);
    }
    return;
  }
  switch (data) {
    case 0xFF:
      mode_ = Mode::Read;
      break;
    case 0x90:
      mode_ = Mode::Id;
      break;
    case 0x70:
      mode_ = Mode::Status;
      break;
    case 0x50:
      status_ = kReady;
      break;
    case 0x20:
    case 0x40:
    case 0x10:
      intelSetup_ = data == 0x20 ? 0x20 : 0x40;
      mode_ = Mode::Status;
      break;
    default:
      break;
  }
}

std::uint8_t FirmwareHub::Read(std::uint32_t address) {
  if (busy_) {
    if (sheet_.intel) return static_cast<std::uint8_t>(status_ & ~kReady);
    toggle_ = !toggle_;
    return toggle_ ? 0x40 : 0x00;  // DQ7 the complement of the erased or programmed 1
  }
  if (mode_ == Mode::Status) return status_;
  if (mode_ == Mode::Id) return (address & 1) ? sheet_.device : sheet_.maker;
  return address >= sheet_.first && address < sheet_.size ? cells[address] : 0xFF;
}

int FirmwareHub::Drive(int pin) const {
  if (!driving_) return -1;
  for (std::size_t i = 0; i < kD.size(); ++i) {
    if (kD[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::string_view FirmwareHubPartOf(std::string_view chipName) {
  for (const FirmwareHubSheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos) return s.name;
  }
  return {};
}

std::shared_ptr<FirmwareHub> MakeFirmwareHub(std::string_view part) {
  for (const FirmwareHubSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<FirmwareHub>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
