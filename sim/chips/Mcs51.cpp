#include "sim/chips/Mcs51.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kVcc = 40, kGnd = 20, kRst = 9, kPsen = 29, kProg = 30;
constexpr int kVccMin = 4500;
constexpr int kData0 = 39;  // P0.0; P0.7 is pin 32

bool IsRead(Mcs51Op op) {
  return op == Mcs51Op::ReadCode || op == Mcs51Op::ReadData || op == Mcs51Op::Signature ||
         op == Mcs51Op::ReadLock || op == Mcs51Op::ReadFuse;
}

// Address pins of the DIP40: A0..A7 on P1, then P2.0 upwards.
std::vector<int> AddressPins(int bits) {
  std::vector<int> a = {1, 2, 3, 4, 5, 6, 7, 8, 21, 22, 23, 24, 25, 26, 27, 28};
  a.resize(static_cast<std::size_t>(bits));
  return a;
}

// AT89C51/C52/LV51/LV52: modes on P2.6, P2.7, P3.6, P3.7; 12 V on EA/VPP; PROG pulses of 1 to
// 110 µs, a self-timed byte write of up to 1.5 ms, and a 10 ms erase pulse; signature at 030H.
Mcs51Sheet At89c(std::uint32_t bytes, int addressBits, std::uint8_t device) {
  Mcs51Sheet s;
  s.codeBytes = bytes;
  s.address = AddressPins(addressBits);
  s.modePins = {27, 28, 16, 17};
  s.modes = {{"0011", Mcs51Op::ReadCode}, {"0111", Mcs51Op::WriteCode}, {"1111", Mcs51Op::Lock1},
             {"1100", Mcs51Op::Lock2},    {"1010", Mcs51Op::Lock3},     {"1000", Mcs51Op::Erase},
             {"0000", Mcs51Op::Signature}};
  s.signature = {{0x30, 0x1E}, {0x31, device}, {0x32, 0xFF}};
  s.minPulseUs = 1;
  s.maxPulseUs = 110;
  s.minErasePulseUs = 10000;
  s.writeCycleUs = 1500;
  return s;
}

// AT89S51/S52: modes on P2.6, P2.7, P3.3, P3.6, P3.7; 12 V on EA/VPP; 100 µs lock pulses, a 50 µs
// byte write; Atmel ID at 000H, device ID at 100H and 200H.
Mcs51Sheet At89s(std::uint32_t bytes, int addressBits, std::uint8_t device) {
  Mcs51Sheet s;
  s.codeBytes = bytes;
  s.address = AddressPins(addressBits);
  s.modePins = {27, 28, 13, 16, 17};
  s.modes = {{"01111", Mcs51Op::WriteCode}, {"00011", Mcs51Op::ReadCode},
             {"11111", Mcs51Op::Lock1},     {"11100", Mcs51Op::Lock2},
             {"10110", Mcs51Op::Lock3},     {"11010", Mcs51Op::ReadLock},
             {"10100", Mcs51Op::Erase},     {"00000", Mcs51Op::Signature}};
  s.signature = {{0x000, 0x1E}, {0x100, device}, {0x200, 0x06}};
  s.minPulseUs = 0;
  s.writeCycleUs = 50;
  return s;
}

// AT89C55WD: the AT89S modes on P2.6, P2.7, P3.3, P3.6, P3.7; 20 KB with A14 on P3.4 (pin 14);
// erase and lock bits at VCC 6.5 V; 100 µs lock pulses, a self-timed byte write within 50 µs.
Mcs51Sheet At89c55wd() {
  Mcs51Sheet s = At89s(20480, 14, 0x55);
  s.address.push_back(14);
  s.signature = {{0x000, 0x1E}, {0x100, 0x55}, {0x200, 0x07}};
  s.eraseLockVccMin = 6250;
  s.lockReadsOne = true;
  return s;
}

// AT89S8253: modes on P3.3..P3.7 (pins 13..17), A8..A15 on all of P2; 12 KB of flash and 2 KB
// of data EEPROM loaded a byte per strobe, each byte replacing the old one; the user fuses and the
// lock bits written as bytes (a 0 bit programs a lock bit); signature at 030H and 031H.
Mcs51Sheet At89s8253() {
  Mcs51Sheet s;
  s.codeBytes = 12288;
  s.dataBytes = 2048;
  s.address = AddressPins(16);
  s.modePins = {13, 14, 15, 16, 17};
  s.modes = {
      {"00111", Mcs51Op::ReadCode},  {"00011", Mcs51Op::ReadData},  {"01111", Mcs51Op::WriteCode},
      {"01011", Mcs51Op::WriteData}, {"10100", Mcs51Op::Erase},     {"01101", Mcs51Op::WriteFuse},
      {"10110", Mcs51Op::LockByte},  {"00100", Mcs51Op::Signature}, {"11101", Mcs51Op::ReadFuse}};
  s.signature = {{0x30, 0x1E}, {0x31, 0x73}, {0x32, 0x01}};
  s.minPulseUs = 0;
  s.replaces = true;
  return s;
}

// AT89S8252/LS8252 and AT89S53/LS53: the older downloadable-flash parts, 12 V on EA/VPP, modes on
// P2.6, P2.7, P3.6, P3.7 (read 0011, write 0111, lock bits 1010 by data bits 7..5, chip erase 1000
// with a 10 ms pulse), A8..A13 on P2.0..P2.5; the 8252's data EEPROM follows its code at 2000H.
Mcs51Sheet At89s8252(std::uint32_t codeBytes, std::uint32_t dataBytes, std::uint8_t device) {
  Mcs51Sheet s;
  s.codeBytes = codeBytes;
  s.dataBytes = dataBytes;
  s.dataAt = dataBytes ? codeBytes : 0;
  s.address = AddressPins(14);
  s.modePins = {27, 28, 16, 17};
  s.modes = {{"0011", Mcs51Op::ReadCode},
             {"0111", Mcs51Op::WriteCode},
             {"1010", Mcs51Op::LockBits7},
             {"1000", Mcs51Op::Erase},
             {"0000", Mcs51Op::Signature}};
  s.signature = {{0x30, 0x1E}, {0x31, device}};
  s.minPulseUs = 1;
  s.maxPulseUs = 110;
  s.minErasePulseUs = 10000;
  s.writeCycleUs = 2000;
  return s;
}

// DS89C420/430/440/450: flash parts programmed at logic levels (EA/VPP at VCC), with the DS87C5x
// mode table on P2.6, P2.7, P3.6, P3.7 (read 0011, program 0111, lock bits 1111, 1100, 1010, the
// option register at FCh 0100, signature 0000), A14 and A15 on P3.4 and P3.5.
Mcs51Sheet Ds89c4x0(std::uint32_t bytes, std::uint8_t device) {
  Mcs51Sheet s;
  s.codeBytes = bytes;
  s.address = AddressPins(14);
  s.address.push_back(14);
  s.address.push_back(15);
  s.modePins = {27, 28, 16, 17};
  s.modes = {
      {"0011", Mcs51Op::ReadCode}, {"0111", Mcs51Op::WriteCode},   {"1111", Mcs51Op::Lock1},
      {"1100", Mcs51Op::Lock2},    {"1010", Mcs51Op::Lock3},       {"0100", Mcs51Op::WriteOption},
      {"1000", Mcs51Op::Erase},    {"1001", Mcs51Op::EraseOption}, {"0000", Mcs51Op::Signature}};
  s.signature = {{0x30, 0xDA}, {0x31, device}, {0x60, 0x01}};
  s.optionAddress = 0xFC;
  s.signatureUnderLock = true;
  s.vppMin = 4500;
  s.vppMax = 5500;
  s.minPulseUs = 50;
  s.minErasePulseUs = 500000;
  return s;
}

}  // namespace

Mcs51Chip::Mcs51Chip(Mcs51Sheet sheet) : sheet_(std::move(sheet)) {
  cells.assign(sheet_.codeBytes, 0xFF);
  data.assign(sheet_.dataBytes, 0xFF);
  fuses = sheet_.fuseDefault;
}

int Mcs51Chip::In(Programmer& p, int chipPin) const {
  return p.InputMillivolts(socket_[chipPin]);
}

Mcs51Op Mcs51Chip::ModeNow(Programmer& p) const {
  const int rst = In(p, kRst), psen = In(p, kPsen);
  if (rst < 0 || (rst >= 2000) == sheet_.rstLowInModes || psen < 0 || psen >= 2000) {
    return Mcs51Op::None;
  }
  for (const auto& row : sheet_.modes) {
    bool match = true;
    for (std::size_t i = 0; i < sheet_.modePins.size() && match; ++i) {
      const int mv = In(p, sheet_.modePins[i]);
      const char want = row.levels[i];
      match = want == 'x' || (mv >= 0 && (mv >= 2000) == (want == '1'));
    }
    if (match) return row.op;
  }
  return Mcs51Op::None;
}

std::uint32_t Mcs51Chip::AddressNow(Programmer& p) const {
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < sheet_.address.size(); ++i) {
    if (In(p, sheet_.address[i]) >= 2000) a |= 1u << i;
  }
  return a;
}

std::uint8_t Mcs51Chip::DataIn(Programmer& p) const {
  std::uint8_t d = 0;
  for (int i = 0; i < 8; ++i) {
    if (In(p, kData0 - i) >= 2000) d |= static_cast<std::uint8_t>(1 << i);
  }
  return d;
}

// The supply a pulse of `op` needs: the erase and lock bits of some parts want VCC raised.
bool Mcs51Chip::VccFor(Mcs51Op op, Programmer& p) const {
  const bool raised =
      op == Mcs51Op::Erase || op == Mcs51Op::Lock1 || op == Mcs51Op::Lock2 || op == Mcs51Op::Lock3;
  if (sheet_.eraseLockVccMin == 0 || !raised) return true;
  const int vcc = p.SupplyMillivolts(socket_[kVcc]);
  return vcc >= sheet_.eraseLockVccMin && vcc <= 6750;
}

bool Mcs51Chip::VppOk(int mv) const {
  return mv >= sheet_.vppMin && mv <= sheet_.vppMax;
}

std::uint8_t Mcs51Chip::ReadValue(Mcs51Op op, std::uint32_t a) const {
  const bool verifyOff = (lockBits & 2) != 0;
  switch (op) {
    case Mcs51Op::ReadCode:
      if (verifyOff) return 0xFF;
      if (sheet_.dataAt && a >= sheet_.dataAt) {
        return a - sheet_.dataAt < data.size() ? data[a - sheet_.dataAt] : 0xFF;
      }
      return a >= cells.size() ? 0xFF : cells[a];
    case Mcs51Op::ReadData:
      return verifyOff || a >= data.size() ? 0xFF : data[a];
    case Mcs51Op::Signature:
      if (verifyOff && !sheet_.signatureUnderLock) return 0xFF;
      if (sheet_.optionAddress >= 0 && a == static_cast<std::uint32_t>(sheet_.optionAddress)) {
        return option;
      }
      for (const auto& [at, b] : sheet_.signature) {
        if (at == a) return b;
      }
      return 0xFF;
    case Mcs51Op::ReadLock:
      if (sheet_.lockReadsOne) return static_cast<std::uint8_t>((lockBits & 7) << 2);
      return static_cast<std::uint8_t>(~(lockBits << 2) & 0xFF);
    case Mcs51Op::ReadFuse:
      return fuses;
    default:
      return 0xFF;
  }
}

void Mcs51Chip::Complete(double widthUs, Programmer& p) {
  const bool erase = pulseOp_ == Mcs51Op::Erase || pulseOp_ == Mcs51Op::EraseOption;
  const bool longEnough = widthUs >= (erase ? sheet_.minErasePulseUs : sheet_.minPulseUs);
  const bool shortEnough = erase || sheet_.maxPulseUs == 0 || widthUs <= sheet_.maxPulseUs;
  if (!shortEnough) p.record.Hazard(sheet_.name + ": PROG pulse longer than the datasheet allows");
  if (aborted_ || !longEnough || !shortEnough || pulseStart_ < busyUntil_) {
    ++lost;
    return;
  }
  const std::uint32_t a = pulseAddress_;
  const std::uint8_t d = pulseData_;
  const bool programmingOff = (lockBits & 1) != 0;
  // Quick-pulse EPROM cells take only after their train of pulses.
  const bool lockOp = pulseOp_ == Mcs51Op::Lock1 || pulseOp_ == Mcs51Op::Lock2 ||
                      pulseOp_ == Mcs51Op::Lock3 || pulseOp_ == Mcs51Op::WriteOption;
  const int needed = lockOp ? sheet_.lockPulses : sheet_.codePulses;
  if (needed > 1) {
    const bool same = trainOp_ == pulseOp_ && trainAddress_ == a && trainData_ == d;
    train_ = same ? train_ + 1 : 1;
    trainOp_ = pulseOp_;
    trainAddress_ = a;
    trainData_ = d;
    if (train_ != needed) return;
  }
  switch (pulseOp_) {
    case Mcs51Op::Erase:
      std::fill(cells.begin(), cells.end(), 0xFF);
      std::fill(data.begin(), data.end(), 0xFF);
      lockBits = 0;
      ++erases;
      return;
    case Mcs51Op::WriteCode:
    case Mcs51Op::WriteData: {
      const bool inData = pulseOp_ == Mcs51Op::WriteData || (sheet_.dataAt && a >= sheet_.dataAt);
      auto& array = inData ? data : cells;
      const std::uint32_t at = inData && pulseOp_ == Mcs51Op::WriteCode ? a - sheet_.dataAt : a;
      if (programmingOff || at >= array.size()) {
        ++lost;
        return;
      }
      array[at] = sheet_.replaces ? d : static_cast<std::uint8_t>(array[at] & d);
      break;
    }
    case Mcs51Op::Lock1:
    case Mcs51Op::Lock2:
    case Mcs51Op::Lock3:
      lockBits |= static_cast<std::uint8_t>(
          1 << (static_cast<int>(pulseOp_) - static_cast<int>(Mcs51Op::Lock1)));
      break;
    case Mcs51Op::LockByte:
      lockBits |= static_cast<std::uint8_t>(~d & 0x07);
      break;
    case Mcs51Op::LockBits7:
      for (int i = 0; i < 3; ++i) {
        if (!(d & (0x80 >> i))) lockBits |= static_cast<std::uint8_t>(1 << i);
      }
      break;
    case Mcs51Op::WriteFuse:
      fuses = d;
      break;
    case Mcs51Op::SixClock:
      fuses &= 0xFE;
      break;
    case Mcs51Op::WriteOption:
      if (programmingOff || sheet_.optionAddress < 0 ||
          a != static_cast<std::uint32_t>(sheet_.optionAddress)) {
        ++lost;
        return;
      }
      option &= d;
      break;
    case Mcs51Op::EraseOption:
      option = 0xFF;
      ++erases;
      return;
    default:
      return;
  }
  ++writes;
  busyUntil_ = p.clockUs() + sheet_.writeCycleUs;
}

// Powered by a supply of at least 4.5 V on VCC (pin 40) with ground (pin 20) grounded.
bool Mcs51Chip::Powered(const Programmer& p) const {
  const int vcc = p.SocketPinOf(kVcc), gnd = p.SocketPinOf(kGnd);
  return vcc != 0 && p.SupplyMillivolts(vcc) >= kVccMin && p.IsGround(gnd);
}

void Mcs51Chip::OnPins(Programmer& p) {
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(41, 0);
    for (int k = 1; k <= 40; ++k) socket_[k] = p.SocketPinOf(k);
  }
  if (!Powered(p)) {
    driving_ = false;
    pulsing_ = false;
    progWasLow_ = false;
    return;
  }
  const Mcs51Op op = ModeNow(p);
  const int prog = In(p, kProg);
  const bool progLow = prog >= 0 && prog < 2000;
  const int ea = In(p, kEa);
  const std::uint32_t address = AddressNow(p);

  if (progLow && !progWasLow_ && op != Mcs51Op::None && !IsRead(op)) {
    pulsing_ = true;
    aborted_ = !VppOk(ea) || !VccFor(op, p);
    pulseStart_ = p.clockUs();
    pulseOp_ = op;
    pulseAddress_ = address;
    pulseData_ = DataIn(p);
  } else if (pulsing_ && progLow) {
    // Mode, address, data and VPP must hold through the pulse.
    aborted_ = aborted_ || op != pulseOp_ || address != pulseAddress_ || DataIn(p) != pulseData_ ||
               !VppOk(ea) || !VccFor(op, p);
  } else if (pulsing_ && !progLow) {
    pulsing_ = false;
    aborted_ = aborted_ || op != pulseOp_ || !VppOk(ea);
    Complete(p.clockUs() - pulseStart_, p);
  }
  progWasLow_ = progLow;

  driving_ = IsRead(op) && !progLow && prog >= 0 && ea >= 2000;
  if (driving_) out_ = ReadValue(op, address);
}

int Mcs51Chip::Drive(int pin) const {
  if (!driving_ || pin < 32 || pin > 39) return -1;
  return (out_ >> (kData0 - pin)) & 1;
}

std::shared_ptr<Mcs51Chip> MakeMcs51(std::string_view part) {
  Mcs51Sheet s;
  if (part == "AT89C51") {
    s = At89c(4096, 12, 0x51);
  } else if (part == "AT89LV51") {
    s = At89c(4096, 12, 0x61);
  } else if (part == "AT89C52") {
    s = At89c(8192, 13, 0x52);
  } else if (part == "AT89LV52") {
    s = At89c(8192, 13, 0x62);
  } else if (part == "AT89S51") {
    s = At89s(4096, 12, 0x51);
  } else if (part == "AT89S52") {
    s = At89s(8192, 13, 0x52);
  } else if (part == "AT89S8253") {
    s = At89s8253();
  } else if (part == "AT89S8252" || part == "AT89LS8252") {
    s = At89s8252(8192, 2048, 0x72);
  } else if (part == "AT89S53" || part == "AT89LS53") {
    s = At89s8252(12288, 0, 0x53);
  } else if (part == "AT89C55WD") {
    s = At89c55wd();
  } else if (part == "DS89C420") {
    s = Ds89c4x0(16384, 0x42);
  } else if (part == "DS89C430") {
    s = Ds89c4x0(16384, 0x43);
  } else if (part == "DS89C440") {
    s = Ds89c4x0(32768, 0x44);
  } else if (part == "DS89C450") {
    s = Ds89c4x0(65536, 0x45);
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<Mcs51Chip>(std::move(s));
}

std::string_view Mcs51PartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {"AT89C51",    "AT89LV51", "AT89C52",   "AT89LV52",
                                         "AT89S51",    "AT89S52",  "AT89S8253", "AT89S8252",
                                         "AT89LS8252", "AT89S53",  "AT89LS53",  "AT89C55WD",
                                         "DS89C420",   "DS89C430", "DS89C440",  "DS89C450"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
