#include "sim/chips/Dspic30.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kVddMin = 2500, kVddMax = 5500, kVddWrite = 3000, kVddBulk = 4500;
constexpr int kVihhMin = 9000, kVihhMax = 13250;
constexpr double kWriteUs = 2000, kBulkUs = 4000;

constexpr std::uint32_t kConfigBase = 0xF80000, kIdBase = 0xFF0000, kDataPage = 0x7F0000;
constexpr std::uint16_t kRevision = 0x3002;  // ours

// SFR data addresses.
enum : std::uint32_t {
  kTblpag = 0x32,
  kNvmcon = 0x760,
  kNvmadr = 0x762,
  kNvmadru = 0x764,
  kNvmkey = 0x766,
  kVisi = 0x784,
};
enum : std::uint16_t { kWr = 0x8000, kWren = 0x4000 };

// The configuration registers' implemented bits (family reference manual): FOSC (FCKSM, FOS,
// FPR), FWDT (FWDTEN, FWPSA, FWPSB), FBORPOR (MCLREN, the motor-control parts' PWMPIN, HPOL and
// LPOL, BOREN, BORV, FPWRT), FBS and FSS (none on these parts), FGS (GCP, GWRP), FICD (BKBUG,
// COE, ICS).
constexpr std::array<std::uint16_t, 7> kMotorControl = {0xC30F, 0x803F, 0x87B3, 0x0000,
                                                        0x0000, 0x0003, 0xC003};
constexpr std::array<std::uint16_t, 7> kGeneral = {0xC30F, 0x803F, 0x80B3, 0x0000,
                                                   0x0000, 0x0003, 0xC003};

// The 40-pin DIP (MCLR 1, VSS 31, VDD 32, PGC 25, PGD 26) is the default; the 28-pin SDIP has
// MCLR 1, VSS 19, VDD 20, PGC 17, PGD 18.
constexpr Dspic30Sheet Dip28(Dspic30Sheet s) {
  s.pins = 28;
  s.vdd = 20;
  s.vss = 19;
  s.pgc = 17;
  s.pgd = 18;
  return s;
}

const std::vector<Dspic30Sheet>& Sheets() {
  static const std::vector<Dspic30Sheet> sheets = {
      Dip28({.name = "dsPIC30F2010",
             .codeWords = 4096,
             .devId = 0x0040,
             .configMask = kMotorControl}),
      Dip28({.name = "dsPIC30F3010",
             .codeWords = 8192,
             .devId = 0x01C0,
             .configMask = kMotorControl}),
      Dip28({.name = "dsPIC30F4012",
             .codeWords = 16384,
             .devId = 0x0100,
             .configMask = kMotorControl}),
      {.name = "dsPIC30F3011", .codeWords = 8192, .devId = 0x01C1, .configMask = kMotorControl},
      {.name = "dsPIC30F4011", .codeWords = 16384, .devId = 0x0101, .configMask = kMotorControl},
      {.name = "dsPIC30F4013", .codeWords = 16384, .devId = 0x0141, .configMask = kGeneral},
  };
  return sheets;
}

}  // namespace

Dspic30Chip::Dspic30Chip(const Dspic30Sheet& sheet)
    : code(sheet.codeWords, 0xFFFFFF), ee(sheet.eeBytes, 0xFF), sheet_(sheet) {
  config.fill(0xFFFF);
  rowLatch_.fill(0xFFFFFF);
  dataLatch_.fill(0xFFFF);
}

int Dspic30Chip::VddMillivolts(const Programmer& p) const {
  return p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
}

bool Dspic30Chip::Powered(const Programmer& p) const {
  const int vdd = VddMillivolts(p);
  return vdd >= kVddMin && vdd <= kVddMax && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Dspic30Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

bool Dspic30Chip::MclrHigh(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  return mv >= kVihhMin && mv <= kVihhMax;
}

void Dspic30Chip::Fault(Programmer& p, const std::string& what) {
  p.record.ProtocolError(Name() + ": " + what);
}

void Dspic30Chip::Enter() {
  inMode = true;
  ++entries;
  phase_ = Phase::kCommand;
  count_ = 0;
  shift_ = 0;
  driving_ = false;
  wregs_.fill(0);
  tblpag_ = nvmcon_ = nvmadr_ = nvmadru_ = visi_ = 0;
  unlock_ = 0;
  nopsOwed_ = 0;
  gotoPending_ = false;
  rowLatch_.fill(0xFFFFFF);
  dataLatch_.fill(0xFFFF);
  configLatch_ = 0xFFFF;
  lastWrite_ = 0;
  running_ = Op::kNone;
}

void Dspic30Chip::LeaveMode(Programmer& p) {
  if (running_ != Op::kNone) {
    if (p.clockUs() >= doneAt_) {
      Finish(p);
    } else {
      Fault(p, "mode left while a write or erase runs");
      running_ = Op::kNone;
    }
  }
  inMode = false;
  driving_ = false;
}

void Dspic30Chip::Finish(Programmer& p) {
  (void)p;
  const Op op = running_;
  running_ = Op::kNone;
  nvmcon_ &= static_cast<std::uint16_t>(~kWr);
  const bool writeProtected = (ConfigRead(5) & 1) == 0 && (sheet_.configMask[5] & 1) != 0;
  switch (op) {
    case Op::kRow: {
      if (writeProtected) break;
      const std::uint32_t base = (lastWrite_ >> 1) & ~31u;
      for (std::uint32_t k = 0; k < 32; ++k) {
        if (base + k < code.size()) code[base + k] &= rowLatch_[k];
      }
      ++rowsProgrammed;
      break;
    }
    case Op::kDataRow: {
      const std::uint32_t eeBase = kDataPage + 0x10000 - sheet_.eeBytes;
      const std::uint32_t base = (lastWrite_ - eeBase) & ~31u;
      for (std::uint32_t k = 0; k < 16; ++k) {
        ee[base + 2 * k] &= static_cast<std::uint8_t>(dataLatch_[k] & 0xFF);
        ee[base + 2 * k + 1] &= static_cast<std::uint8_t>(dataLatch_[k] >> 8);
      }
      ++eeRows;
      break;
    }
    case Op::kConfig: {
      const std::uint32_t k = (lastWrite_ - kConfigBase) >> 1;
      if (k == 5 && Protected() && (configLatch_ & 2) != 0) {
        // Lifting the protection takes the code with it.
        std::fill(code.begin(), code.end(), 0xFFFFFF);
        std::fill(ee.begin(), ee.end(), 0xFF);
      }
      config[k] = configLatch_;
      ++configWrites;
      break;
    }
    case Op::kBulk:
      std::fill(code.begin(), code.end(), 0xFFFFFF);
      std::fill(ee.begin(), ee.end(), 0xFF);
      ++bulkErases;
      break;
    case Op::kNone:
      break;
  }
  rowLatch_.fill(0xFFFFFF);
  dataLatch_.fill(0xFFFF);
  configLatch_ = 0xFFFF;
}

void Dspic30Chip::Start(Programmer& p) {
  if ((nvmcon_ & kWren) == 0) return;
  const std::uint32_t eeBase = kDataPage + 0x10000 - sheet_.eeBytes;
  const std::uint32_t codeEnd = static_cast<std::uint32_t>(code.size()) * 2;
  Op op = Op::kNone;
  switch (nvmcon_ & 0x7F) {
    case 0x01:
      if (lastWrite_ >= codeEnd) return Fault(p, "code row write without latched code");
      op = Op::kRow;
      break;
    case 0x05:
      if (sheet_.eeBytes == 0 || lastWrite_ < eeBase || lastWrite_ > kDataPage + 0xFFFF)
        return Fault(p, "data EEPROM row write without latched data");
      op = Op::kDataRow;
      break;
    case 0x08:
      if (lastWrite_ < kConfigBase || lastWrite_ >= kConfigBase + 14)
        return Fault(p, "configuration write without a latched register");
      op = Op::kConfig;
      break;
    case 0x7F:
      op = Op::kBulk;
      break;
    default:
      return Fault(p, "NVMCON operation outside the model");
  }
  if (VddMillivolts(p) < (op == Op::kBulk ? kVddBulk : kVddWrite)) {
    ++lowVoltage;
    return;
  }
  running_ = op;
  nvmcon_ |= kWr;
  doneAt_ = p.clockUs() + (op == Op::kBulk ? kBulkUs : kWriteUs);
}

void Dspic30Chip::StoreData(Programmer& p, std::uint32_t a, std::uint16_t v, bool byte) {
  if (a < 0x20) {
    if (byte) {
      wregs_[a] = static_cast<std::uint8_t>(v);
    } else {
      SetW(static_cast<int>(a >> 1), v);
    }
    return;
  }
  if (byte) return Fault(p, "byte write to an SFR");
  switch (a) {
    case kTblpag:
      tblpag_ = v & 0xFF;
      return;
    case kNvmcon:
      if ((v & kWr) != 0) return Fault(p, "WR set by a move");
      nvmcon_ = v;
      return;
    case kNvmadr:
      nvmadr_ = v;
      return;
    case kNvmadru:
      nvmadru_ = v & 0xFF;
      return;
    case kNvmkey:
      unlock_ = v == 0x55 ? 1 : (v == 0xAA && unlock_ == 1 ? 2 : 0);
      return;
    case kVisi:
      visi_ = v;
      return;
    default:
      return Fault(p, "write to data memory outside the model");
  }
}

std::uint16_t Dspic30Chip::LoadData(Programmer& p, std::uint32_t a, bool byte) {
  if (a < 0x20) return byte ? wregs_[a] : W(static_cast<int>(a >> 1));
  if (!byte) {
    switch (a) {
      case kTblpag:
        return tblpag_;
      case kNvmcon:
        return nvmcon_;
      case kNvmadr:
        return nvmadr_;
      case kNvmadru:
        return nvmadru_;
      case kVisi:
        return visi_;
      default:
        break;
    }
  }
  Fault(p, "read of data memory outside the model");
  return 0;
}

std::uint16_t Dspic30Chip::TableRead(std::uint32_t a, bool high, bool byte) const {
  const std::uint32_t codeEnd = static_cast<std::uint32_t>(code.size()) * 2;
  const std::uint32_t eeBase = kDataPage + 0x10000 - sheet_.eeBytes;
  const auto pick = [&](std::uint16_t word) -> std::uint16_t {
    return byte ? static_cast<std::uint16_t>((a & 1) != 0 ? word >> 8 : word & 0xFF) : word;
  };
  if (a < codeEnd) {
    const std::uint32_t cell = Protected() ? 0 : code[a >> 1];
    if (!high) return pick(static_cast<std::uint16_t>(cell & 0xFFFF));
    // The upper byte, with the phantom byte 0 above it.
    return pick(static_cast<std::uint16_t>(cell >> 16 & 0xFF));
  }
  if (high) return 0;
  if (sheet_.eeBytes != 0 && a >= eeBase && a <= kDataPage + 0xFFFF) {
    const std::uint32_t off = (a - eeBase) & ~1u;
    if (Protected()) return 0;
    return pick(static_cast<std::uint16_t>(ee[off] | ee[off + 1] << 8));
  }
  if (a >= kConfigBase && a < kConfigBase + 14) {
    return pick(ConfigRead(static_cast<int>((a - kConfigBase) >> 1)));
  }
  if ((a & ~1u) == kIdBase) return pick(sheet_.devId);
  if ((a & ~1u) == kIdBase + 2) return pick(kRevision);
  return 0;
}

void Dspic30Chip::TableWrite(Programmer& p, std::uint32_t a, bool high, bool byte,
                             std::uint16_t v) {
  const std::uint32_t codeEnd = static_cast<std::uint32_t>(code.size()) * 2;
  const std::uint32_t eeBase = kDataPage + 0x10000 - sheet_.eeBytes;
  if (a < codeEnd) {
    std::uint32_t& latch = rowLatch_[(a >> 1) & 31];
    if (high) {
      if (byte && (a & 1) != 0) return;  // the phantom byte
      latch = (latch & 0x00FFFF) | static_cast<std::uint32_t>(v & 0xFF) << 16;
    } else if (byte) {
      const int shift = (a & 1) != 0 ? 8 : 0;
      latch = (latch & ~(0xFFu << shift)) | static_cast<std::uint32_t>(v & 0xFF) << shift;
    } else {
      latch = (latch & 0xFF0000) | v;
    }
  } else if (sheet_.eeBytes != 0 && a >= eeBase && a <= kDataPage + 0xFFFF) {
    if (high) return;
    if (byte) return Fault(p, "byte table write to the data EEPROM");
    dataLatch_[((a - eeBase) >> 1) & 15] = v;
  } else if (a >= kConfigBase && a < kConfigBase + 14) {
    if (high || byte) return Fault(p, "configuration written other than by TBLWTL");
    configLatch_ = v;
  } else {
    return Fault(p, "table write outside the chip's memory");
  }
  lastWrite_ = a;
  nvmadr_ = static_cast<std::uint16_t>(a & 0xFFFF);
  nvmadru_ = static_cast<std::uint16_t>(a >> 16);
}

// TBLRDL/TBLRDH/TBLWTL/TBLWTH: bit 15 the high form, 14 the byte form, 13-11 the destination
// mode, 10-7 Wd, 6-4 the source mode, 3-0 Ws. Modes: 0 Wn, 1 [Wn], 2 [Wn--], 3 [Wn++],
// 4 [--Wn], 5 [++Wn].
void Dspic30Chip::Table(Programmer& p, std::uint32_t insn) {
  const bool write = (insn >> 16) == 0xBB;
  const bool high = (insn & 0x8000) != 0, byte = (insn & 0x4000) != 0;
  const int q = static_cast<int>(insn >> 11 & 7), d = static_cast<int>(insn >> 7 & 15);
  const int m = static_cast<int>(insn >> 4 & 7), s = static_cast<int>(insn & 15);
  if (q > 5 || m > 5) return Fault(p, "table addressing mode outside the model");
  const auto step = static_cast<std::uint16_t>(byte ? 1 : 2);
  const auto pre = [&](int mode, int reg) {
    if (mode == 4) SetW(reg, static_cast<std::uint16_t>(W(reg) - step));
    if (mode == 5) SetW(reg, static_cast<std::uint16_t>(W(reg) + step));
  };
  const auto post = [&](int mode, int reg) {
    if (mode == 2) SetW(reg, static_cast<std::uint16_t>(W(reg) - step));
    if (mode == 3) SetW(reg, static_cast<std::uint16_t>(W(reg) + step));
  };
  pre(m, s);
  pre(q, d);
  if (!write) {
    if (m == 0) return Fault(p, "table read without an indirect source");
    const std::uint32_t address = static_cast<std::uint32_t>(tblpag_) << 16 | W(s);
    const std::uint16_t v = TableRead(address, high, byte);
    if (q == 0) {
      SetW(d, byte ? static_cast<std::uint16_t>((W(d) & 0xFF00) | (v & 0xFF)) : v);
    } else {
      StoreData(p, W(d), v, byte);
    }
  } else {
    if (q == 0) return Fault(p, "table write without an indirect destination");
    const std::uint16_t v =
        m == 0 ? (byte ? static_cast<std::uint16_t>(W(s) & 0xFF) : W(s)) : LoadData(p, W(s), byte);
    TableWrite(p, static_cast<std::uint32_t>(tblpag_) << 16 | W(d), high, byte, v);
  }
  post(m, s);
  post(q, d);
}

void Dspic30Chip::Execute(Programmer& p, std::uint32_t insn) {
  if (running_ != Op::kNone) {
    if (p.clockUs() >= doneAt_) {
      Finish(p);
    } else if (insn != 0) {
      Fault(p, "an instruction other than NOP while a write or erase runs");
      running_ = Op::kNone;
      return;
    }
  }
  if (nopsOwed_ > 0) {
    --nopsOwed_;
    if (insn != 0) Fault(p, "a table instruction not followed by two NOPs");
  }
  const bool unlocked = unlock_ == 2;
  if (unlock_ == 2) unlock_ = 0;
  if (gotoPending_) {
    gotoPending_ = false;
    if ((insn & 0xFFFF80) != 0) Fault(p, "GOTO without its second word");
    return;
  }
  if (insn == 0) return;
  const std::uint32_t top = insn >> 16;
  if (top == 0x04) {
    gotoPending_ = true;
    return;
  }
  if ((insn >> 20) == 0x2) {  // MOV #lit16, Wn
    SetW(static_cast<int>(insn & 15), static_cast<std::uint16_t>(insn >> 4 & 0xFFFF));
    return;
  }
  if ((insn & 0xF80000) == 0x880000) {  // MOV Wns, f
    StoreData(p, (insn >> 4 & 0x7FFF) << 1, W(static_cast<int>(insn & 15)), false);
    return;
  }
  if ((insn & 0xF80000) == 0x800000) {  // MOV f, Wnd
    SetW(static_cast<int>(insn & 15), LoadData(p, (insn >> 4 & 0x7FFF) << 1, false));
    return;
  }
  if ((insn & 0xFFF87F) == 0xEB0000) {  // CLR Wd
    SetW(static_cast<int>(insn >> 7 & 15), 0);
    return;
  }
  if (top == 0xA8 || top == 0xA9) {  // BSET.B / BCLR.B f, #b
    const std::uint32_t f = insn & 0x1FFF;
    if (f != kNvmcon && f != kNvmcon + 1) return Fault(p, "bit instruction outside NVMCON");
    const int bit = static_cast<int>(insn >> 13 & 7) + ((f & 1) != 0 ? 8 : 0);
    const auto mask = static_cast<std::uint16_t>(1u << bit);
    if (top == 0xA9) {
      // WR is the chip's to clear.
      if (mask != kWr) nvmcon_ &= static_cast<std::uint16_t>(~mask);
      return;
    }
    if (mask != kWr) {
      nvmcon_ |= mask;
      return;
    }
    if (unlocked) Start(p);
    return;
  }
  if (top == 0xBA || top == 0xBB) {
    Table(p, insn);
    nopsOwed_ = 2;
    return;
  }
  Fault(p, "instruction outside the model");
}

void Dspic30Chip::OnPins(Programmer& p) {
  const std::uint32_t stamp = p.supplyChanges * 2 + (p.fpga[kFpgaSense] != 0 ? 1 : 0);
  if (stamp != supplyStamp_ || !stampValid_) {
    poweredNow_ = Powered(p);
    mclrNow_ = MclrHigh(p);
    supplyStamp_ = stamp;
    stampValid_ = true;
  }
  const bool powered = poweredNow_;
  const bool mclr = mclrNow_;
  const int clock = Level(p, sheet_.pgc);
  if (inMode && running_ != Op::kNone && p.clockUs() >= doneAt_) Finish(p);
  if (inMode && (!powered || !mclr)) {
    LeaveMode(p);
  } else if (!inMode && powered && mclr && lastPowered_ && !lastMclr_ && clock == 0 &&
             Level(p, sheet_.pgd) == 0) {
    Enter();
  }
  if (inMode && clock != lastClock_) {
    const bool rising = clock == 1;
    if (phase_ == Phase::kRegout) {
      if (rising) {
        ++count_;
        driving_ = count_ >= 9 && count_ <= 24;
        outBit_ = driving_ ? (visi_ >> (count_ - 9)) & 1 : 0;
      } else if (count_ >= 24) {
        phase_ = Phase::kCommand;
        count_ = 0;
        shift_ = 0;
        driving_ = false;
      }
    } else if (!rising) {
      shift_ |= static_cast<std::uint32_t>(Level(p, sheet_.pgd)) << count_;
      ++count_;
      if (phase_ == Phase::kCommand && count_ == 4) {
        const std::uint32_t command = shift_ & 0x0F;
        count_ = 0;
        shift_ = 0;
        if (command == 0) {
          phase_ = Phase::kSix;
        } else if (command == 1) {
          if (nopsOwed_ > 0 || running_ != Op::kNone) Fault(p, "REGOUT too early");
          phase_ = Phase::kRegout;
        } else {
          Fault(p, "command outside the model");
        }
      } else if (phase_ == Phase::kSix && count_ == 24) {
        const std::uint32_t insn = shift_ & 0xFFFFFF;
        phase_ = Phase::kCommand;
        count_ = 0;
        shift_ = 0;
        Execute(p, insn);
      }
    }
  }
  lastClock_ = clock;
  lastPowered_ = powered;
  lastMclr_ = mclr;
}

int Dspic30Chip::Drive(int pin) const {
  return driving_ && inMode && pin == sheet_.pgd ? outBit_ : -1;
}

std::string_view Dspic30PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Dspic30Sheet& s : Sheets()) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Dspic30Chip> MakeDspic30(std::string_view part) {
  for (const Dspic30Sheet& s : Sheets()) {
    if (s.name == part) return std::make_shared<Dspic30Chip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
