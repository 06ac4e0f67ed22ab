#include "sim/chips/Pic18.h"

#include <algorithm>
#include <cstdio>

namespace zelvar::sim {

namespace {

constexpr int kVddMin = 2000, kVddMax = 5500, kVihhMin = 9000;
constexpr double kP9Us = 1000, kP9aUs = 5000, kP11Us = 5000, kEeWriteUs = 4000;
// The EPROM parts: the program pulse's window and the supplies a pulse needs.
constexpr double kPulseMinUs = 100, kPulseMaxUs = 10000;
constexpr int kEpromVppMin = 12750, kEpromVppMax = 13250, kEpromVddMin = 4750, kEpromVddMax = 5250;

enum : std::uint8_t {
  kCore = 0x0,
  kShiftTablat = 0x2,
  kTblrd = 0x8,
  kTblrdInc = 0x9,
  kTblrdDec = 0xA,
  kTblrdPreInc = 0xB,
  kTblwt = 0xC,
  kTblwtInc2 = 0xD,
  kTblwtProgram = 0xF,
};

// SFR addresses (access bank, 0xF00 | f).
enum : std::uint8_t {
  kTblptru = 0xF8,
  kTblptrh = 0xF7,
  kTblptrl = 0xF6,
  kTablat = 0xF5,
  kWreg = 0xE8,
  kEeadrh = 0xAA,
  kEeadr = 0xA9,
  kEedata = 0xA8,
  kEecon2 = 0xA7,
  kEecon1 = 0xA6,
};
enum : int { kRd = 0, kWr = 1, kWren = 2, kCfgs = 6, kEepgd = 7 };

constexpr std::uint32_t kIdBase = 0x200000, kConfigBase = 0x300000, kEraseBase = 0x3C0004;

constexpr std::array<std::uint8_t, 14> kMaskXx2 = {0x00, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x85,
                                                   0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr std::array<std::uint8_t, 14> kMaskUsb = {0x3F, 0xCF, 0x3F, 0x1F, 0x00, 0x87, 0xE5,
                                                   0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr std::array<std::uint8_t, 14> kMask4620 = {0x00, 0xCF, 0x1F, 0x1F, 0x00, 0x87, 0xC5,
                                                    0x00, 0x0F, 0xC0, 0x0F, 0xE0, 0x0F, 0x40};
constexpr std::array<std::uint8_t, 14> kMask2331 = {0x00, 0xCF, 0x0F, 0x3F, 0x3C, 0x9D, 0x85,
                                                    0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};
// PIC18CXX2: CONFIG1L all CP, CONFIG1H OSCSEN and FOSC2:0, CONFIG2L BORV1:0, BOREN, PWRTEN,
// CONFIG2H WDTPS2:0 and WDTEN, CONFIG3H CCP2MX, CONFIG4L STVREN.
constexpr std::array<std::uint8_t, 14> kMaskC = {0xFF, 0x27, 0x0F, 0x0F, 0x00, 0x01, 0x01,
                                                 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00};
constexpr std::array<std::uint8_t, 14> kMask1220 = {0x00, 0xCF, 0x0F, 0x1F, 0x00, 0x80, 0x85,
                                                    0x00, 0x03, 0xC0, 0x03, 0xE0, 0x03, 0x40};

// The 40-pin DIP (MCLR 1, VSS 31, VDD 32, RB5/PGM 38, RB6/PGC 39, RB7/PGD 40) is the default.
constexpr Pic18Sheet Dip28(Pic18Sheet s) {
  s.pins = 28;
  s.vdd = 20;
  s.vss = 19;
  s.pgm = 26;
  s.pgc = 27;
  s.pgd = 28;
  return s;
}
// The 18-pin DIP: MCLR 4, VSS 5, VDD 14, RB5/PGM 11, RB6/PGC 12, RB7/PGD 13.
constexpr Pic18Sheet Dip18(Pic18Sheet s) {
  s.pins = 18;
  s.vdd = 14;
  s.vss = 5;
  s.mclr = 4;
  s.pgm = 11;
  s.pgc = 12;
  s.pgd = 13;
  return s;
}
// The 44-pin packages on our adapters, a 40-pin carrier from socket pin 1: MCLR 22, VDD 11, VSS
// 10; PGM, PGC and PGD at 16, 19, 20 (PLCC44) or 17, 20, 21 (QFP44 and TQFP44).
constexpr Pic18Sheet Carrier44(Pic18Sheet s, bool plcc) {
  s.vdd = 11;
  s.vss = 10;
  s.mclr = 22;
  s.pgm = plcc ? 16 : 17;
  s.pgc = plcc ? 19 : 20;
  s.pgd = plcc ? 20 : 21;
  return s;
}

constexpr Pic18Sheet k452{.name = "PIC18F452", .devId = 0x0426, .configMask = kMaskXx2};
constexpr Pic18Sheet k4550{.name = "PIC18F4550",
                           .family = Pic18Family::kNew,
                           .buffer = 32,
                           .devId = 0x1207,
                           .bootBytes = 0x800,
                           .configMask = kMaskUsb};
constexpr Pic18Sheet k2331{.name = "PIC18F2331",
                           .avdd = 7,
                           .avss = 8,
                           .codeBytes = 8192,
                           .devId = 0x08E3,
                           .blockBytes = 0x1000,
                           .configMask = kMask2331};

// The EPROM parts have no PGM pin (RB5 is a plain port pin).
constexpr Pic18Sheet kC452{.name = "PIC18C452",
                           .family = Pic18Family::kEprom,
                           .pgm = 0,
                           .eeBytes = 0,
                           .buffer = 2,
                           .configMask = kMaskC};

Pic18Sheet Named(Pic18Sheet s, std::string_view name, std::uint16_t id) {
  s.name = name;
  s.devId = id;
  return s;
}

const std::vector<Pic18Sheet>& Sheets() {
  static const std::vector<Pic18Sheet> sheets = [] {
    std::vector<Pic18Sheet> v;
    v.push_back(k452);
    Pic18Sheet s442 = Carrier44(Named(k452, "PIC18F442*P44", 0x04A6), true);
    s442.codeBytes = 16384;
    v.push_back(s442);
    v.push_back(k4550);
    Pic18Sheet s4620 = Named(k4550, "PIC18F4620", 0x0C07);
    s4620.codeBytes = 65536;
    s4620.eeBytes = 1024;
    s4620.buffer = 64;
    s4620.blockBytes = 0x4000;
    s4620.configMask = kMask4620;
    v.push_back(s4620);
    Pic18Sheet s2321 = Dip28(Named(k4550, "PIC18F2321", 0x2121));
    s2321.codeBytes = 8192;
    s2321.buffer = 8;
    s2321.blockBytes = 0x1000;
    s2321.configMask = kMask4620;
    s2321.configMask[8] = s2321.configMask[10] = s2321.configMask[12] = 0x03;
    v.push_back(s2321);
    Pic18Sheet s4321 = s2321;
    s4321.name = "PIC18F4321*Q44";
    s4321.devId = 0x2101;
    s4321.pins = 40;
    v.push_back(Carrier44(s4321, false));
    v.push_back(Dip28(k2331));
    Pic18Sheet s1220 = Dip18(Named(k452, "PIC18F1220", 0x07E7));
    s1220.codeBytes = 4096;
    s1220.blockBytes = 0x800;
    s1220.configMask = kMask1220;
    v.push_back(s1220);
    v.push_back(kC452);
    Pic18Sheet c442 = Named(kC452, "PIC18C442", 0);
    c442.codeBytes = 16384;
    v.push_back(c442);
    v.push_back(Carrier44(Named(kC452, "PIC18C452*P44", 0), true));
    v.push_back(Carrier44(Named(c442, "PIC18C442*T44", 0), false));
    v.push_back(Dip28(Named(kC452, "PIC18C252", 0)));
    v.push_back(Dip28(Named(c442, "PIC18C242", 0)));
    for (Pic18Sheet& s : v) {
      if (s.family == Pic18Family::kEprom) s.pgm = 0;
    }
    return v;
  }();
  return sheets;
}

}  // namespace

Pic18Chip::Pic18Chip(const Pic18Sheet& sheet)
    : code(sheet.codeBytes, 0xFF), ee(sheet.eeBytes, 0xFF), sheet_(sheet), buffer_(sheet.buffer) {
  ids.fill(0xFF);
  config.fill(0xFF);
  std::fill(buffer_.begin(), buffer_.end(), 0xFF);
}

std::vector<int> Pic18Chip::GroundPins() const {
  if (sheet_.avss != 0) return {sheet_.vss, sheet_.avss};
  return {sheet_.vss};
}

int Pic18Chip::VddMillivolts(const Programmer& p) const {
  return p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
}

bool Pic18Chip::Powered(const Programmer& p) const {
  const int vdd = VddMillivolts(p);
  if (vdd < kVddMin || vdd > kVddMax || !p.IsGround(p.SocketPinOf(sheet_.vss))) return false;
  if (sheet_.avdd == 0) return true;
  const int avdd = p.InputMillivolts(p.SocketPinOf(sheet_.avdd));
  const int avss = p.InputMillivolts(p.SocketPinOf(sheet_.avss));
  return avdd >= vdd - 300 && avdd <= vdd + 300 && avss >= 0 && avss <= 300;
}

int Pic18Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

bool Pic18Chip::MclrHigh(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  if (Eprom()) return mv >= kEpromVppMin && mv <= kEpromVppMax;
  const int max = sheet_.family == Pic18Family::kNew ? 12500 : 13250;
  return mv >= kVihhMin && mv <= max;
}

void Pic18Chip::Fault(Programmer& p, const std::string& what) {
  p.record.ProtocolError(Name() + ": " + what);
}

bool Pic18Chip::Protected(std::uint32_t a) const {
  if (a >= sheet_.codeBytes) return false;
  if (Eprom()) return ConfigRead(0) != 0xFF;
  if (a < sheet_.bootBytes) return (ConfigRead(9) & 0x40) == 0;
  const std::uint32_t block = a / sheet_.blockBytes;
  return block < 8 && (ConfigRead(8) >> block & 1) == 0;
}

std::uint8_t Pic18Chip::ReadByte(std::uint32_t a) const {
  if (a < sheet_.codeBytes) return Protected(a) ? 0 : code[a];
  if (a >= kIdBase && a < kIdBase + 8) return ids[a - kIdBase];
  if (a >= kConfigBase && a < kConfigBase + 14)
    return ConfigRead(static_cast<int>(a - kConfigBase));
  if (a == 0x3FFFFE) return static_cast<std::uint8_t>(sheet_.devId & 0xFF);
  if (a == 0x3FFFFF) return static_cast<std::uint8_t>(sheet_.devId >> 8);
  return 0;
}

void Pic18Chip::EraseAll() {
  std::fill(code.begin(), code.end(), 0xFF);
  std::fill(ee.begin(), ee.end(), 0xFF);
  ids.fill(0xFF);
  config.fill(0xFF);
}

void Pic18Chip::Erase(std::uint16_t key) {
  const auto block = [&](std::uint32_t n) {
    const std::uint32_t from = std::max(sheet_.bootBytes, n * sheet_.blockBytes);
    const std::uint32_t to = std::min(sheet_.codeBytes, (n + 1) * sheet_.blockBytes);
    for (std::uint32_t a = from; a < to; ++a) code[a] = 0xFF;
  };
  const auto boot = [&] {
    std::fill_n(code.begin(), std::min(sheet_.bootBytes, sheet_.codeBytes), 0xFF);
  };
  const auto data = [&] { std::fill(ee.begin(), ee.end(), 0xFF); };
  if (sheet_.family == Pic18Family::kOld) {
    switch (key & 0xFF) {
      case 0x80:
        EraseAll();
        break;
      case 0x81:
        data();
        break;
      case 0x83:
        boot();
        break;
      case 0x88:
      case 0x89:
      case 0x8A:
      case 0x8B:
        block((key & 0xFFu) - 0x88u);
        break;
      default:
        return;
    }
  } else {
    switch (key) {
      case 0x3F8F:
        EraseAll();
        break;
      case 0x0084:
        data();
        break;
      case 0x0081:
        boot();
        break;
      case 0x0082:
        config.fill(0xFF);
        break;
      default: {
        // Code blocks 0-5: 0x0180, 0x0280, 0x0480 ... 0x2080.
        if ((key & 0xFF) != 0x80) return;
        const int hi = key >> 8;
        int n = 0;
        while (n < 6 && hi != (1 << n)) ++n;
        if (n == 6) return;
        block(static_cast<std::uint32_t>(n));
      }
    }
  }
  ++erases;
}

// Ends running work whose time is up; `leaving`: the mode ends and cut work is lost.
void Pic18Chip::Finish(Programmer& p, bool leaving) {
  const double now = p.clockUs();
  if (phase_ == Phase::kErasing) {
    if (now - eraseStart_ >= kP11Us) {
      Erase(eraseKey_);
      phase_ = Phase::kCommand;
      count_ = 0;
      shift_ = 0;
    } else if (leaving) {
      Fault(p, "mode left during the bulk erase");
    }
  }
  if (eeBusy_) {
    if (now - eeStart_ >= kEeWriteUs) {
      ee[eeAddress_ % ee.size()] = eeData_;
      ++eeWrites;
      eeBusy_ = false;
      eecon1_ &= static_cast<std::uint8_t>(~(1 << kWr));
    } else if (leaving) {
      Fault(p, "mode left during a data EEPROM write");
      eeBusy_ = false;
    }
  }
}

std::uint8_t* Pic18Chip::Register(std::uint8_t f) {
  switch (f) {
    case kTblptru:
    case kTblptrh:
    case kTblptrl:
      return nullptr;  // kept in tblptr_
    case kTablat:
      return &tablat_;
    case kWreg:
      return &w_;
    case kEeadrh:
      return &eeadrh_;
    case kEeadr:
      return &eeadr_;
    case kEedata:
      return &eedata_;
    case kEecon1:
      return &eecon1_;
    default:
      return nullptr;
  }
}

void Pic18Chip::SetBit(Programmer& p, std::uint8_t f, int bit, bool on) {
  if (f != kEecon1) {
    std::uint8_t* r = Register(f);
    if (r == nullptr) return Fault(p, "bit instruction on a register outside the model");
    *r = static_cast<std::uint8_t>(on ? *r | 1 << bit : *r & ~(1 << bit));
    return;
  }
  const bool unlocked = unlock_ == 2;
  unlock_ = 0;
  if (bit == kRd) {
    if (!on) return;
    const bool data = (eecon1_ & (1 << kEepgd | 1 << kCfgs)) == 0;
    if (!data) return Fault(p, "EECON1 RD with EEPGD or CFGS set");
    if (ee.empty()) return Fault(p, "EECON1 RD on a part without data EEPROM");
    const std::uint16_t a = static_cast<std::uint16_t>(eeadrh_ << 8 | eeadr_);
    eedata_ = (ConfigRead(9) & 0x80) == 0 ? 0 : ee[a % ee.size()];
    return;
  }
  if (bit == kWr) {
    if (!on) return;
    if ((eecon1_ & (1 << kWren)) == 0 || eeBusy_) return;
    if (sheet_.family == Pic18Family::kOld && !unlocked) return;
    if ((eecon1_ & (1 << kEepgd | 1 << kCfgs)) != 0) return Fault(p, "EECON1 WR on program memory");
    if (ee.empty()) return Fault(p, "EECON1 WR on a part without data EEPROM");
    if (VddMillivolts(p) < 4500 && sheet_.family == Pic18Family::kOld) return;
    eeBusy_ = true;
    eeStart_ = p.clockUs();
    eeAddress_ = static_cast<std::uint16_t>(eeadrh_ << 8 | eeadr_);
    eeData_ = eedata_;
    eecon1_ |= 1 << kWr;
    return;
  }
  eecon1_ = static_cast<std::uint8_t>(on ? eecon1_ | 1 << bit : eecon1_ & ~(1 << bit));
}

void Pic18Chip::Execute(Programmer& p, std::uint16_t insn) {
  const auto f = static_cast<std::uint8_t>(insn & 0xFF);
  const auto hi = static_cast<std::uint8_t>(insn >> 8);
  if (gotoPending_) {
    gotoPending_ = false;
    if ((insn & 0xF000) != 0xF000) return Fault(p, "GOTO without its second word");
    pc_ = ((static_cast<std::uint32_t>(insn & 0x0FFF) << 8) | gotoLow_) << 1;
    return;
  }
  if (insn == 0x0000) return;
  if (hi == 0xEF) {
    gotoPending_ = true;
    gotoLow_ = f;
    return;
  }
  const bool access = (hi & 0x01) == 0;  // a = 0: the access bank
  if (!access) return Fault(p, "banked access outside the model");
  if (hi == 0x0E) {
    w_ = f;
    return;
  }
  if ((hi & 0xF0) == 0x80 || (hi & 0xF0) == 0x90) {  // BSF / BCF f, b
    SetBit(p, f, (hi >> 1) & 7, (hi & 0xF0) == 0x80);
    return;
  }
  const auto store = [&](std::uint8_t v) {
    switch (f) {
      case kTblptru:
        tblptr_ = (tblptr_ & 0x00FFFF) | static_cast<std::uint32_t>(v & 0x3F) << 16;
        return;
      case kTblptrh:
        tblptr_ = (tblptr_ & 0x3F00FF) | static_cast<std::uint32_t>(v) << 8;
        return;
      case kTblptrl:
        tblptr_ = (tblptr_ & 0x3FFF00) | v;
        return;
      case kEecon2:
        unlock_ = v == 0x55 ? 1 : (v == 0xAA && unlock_ == 1 ? 2 : 0);
        return;
      case kEecon1:
        eecon1_ = static_cast<std::uint8_t>((v & ~(1 << kWr | 1 << kRd)) | (eecon1_ & 1 << kWr));
        return;
      default:
        if (std::uint8_t* r = Register(f))
          *r = v;
        else
          Fault(p, "write to a register outside the model");
    }
  };
  const auto load = [&]() -> std::uint8_t {
    switch (f) {
      case kTblptru:
        return static_cast<std::uint8_t>(tblptr_ >> 16);
      case kTblptrh:
        return static_cast<std::uint8_t>(tblptr_ >> 8);
      case kTblptrl:
        return static_cast<std::uint8_t>(tblptr_);
      default:
        if (std::uint8_t* r = Register(f)) return *r;
        Fault(p, "read of a register outside the model");
        return 0;
    }
  };
  if (f != kEecon2) unlock_ = 0;
  switch (hi) {
    case 0x6E:  // MOVWF f
      return store(w_);
    case 0x6A:  // CLRF f
      return store(0);
    case 0x50:  // MOVF f, W
      w_ = load();
      return;
    case 0x2A:  // INCF f, F
      return store(static_cast<std::uint8_t>(load() + 1));
    default:
      return Fault(p, "instruction outside the model");
  }
}

void Pic18Chip::TableWrite(Programmer& p, std::uint8_t lo, std::uint8_t hi, bool program) {
  const std::uint32_t a = tblptr_;
  if (a >= kEraseBase && a <= kEraseBase + 2) {
    eraseReg_[a - kEraseBase] = (a & 1) == 0 ? lo : hi;
    if (a == kEraseBase) nopsAfterKey_ = 0;
    return;
  }
  const bool cfgs = (eecon1_ & 1 << kCfgs) != 0, eepgd = (eecon1_ & 1 << kEepgd) != 0;
  if (a >= kConfigBase && a < kConfigBase + 14) {
    if (!cfgs) return Fault(p, "configuration write without CFGS");
    if (!program) return;
    armed_ = Armed::kConfig;
    armedAddress_ = a;
    armedByte_ = (a & 1) == 0 ? lo : hi;
    return;
  }
  if (a < sheet_.codeBytes || (a >= kIdBase && a < kIdBase + 8)) {
    if (cfgs || !eepgd) return Fault(p, "program memory write without EEPGD set and CFGS clear");
    const std::uint32_t n = sheet_.buffer;
    buffer_[(a & ~1u) % n] = lo;
    buffer_[((a & ~1u) + 1) % n] = hi;
    if (program) {
      armed_ = Armed::kRow;
      armedAddress_ = a & ~(n - 1);
    }
    return;
  }
  Fault(p, "table write outside the chip's memory");
}

void Pic18Chip::EndHold(Programmer& p, double heldUs) {
  const Armed armed = armed_;
  armed_ = Armed::kNone;
  if (armed == Armed::kNone) return;
  if (armed == Armed::kWord) return EpromPulse(p, heldUs);
  const double need =
      armed == Armed::kConfig && sheet_.family == Pic18Family::kNew ? kP9aUs : kP9Us;
  const int vddMin = sheet_.family == Pic18Family::kOld ? 4500 : kVddMin;
  if (heldUs < need || holdVdd_ < vddMin) {
    ++shortHolds;
    std::fill(buffer_.begin(), buffer_.end(), 0xFF);
    return;
  }
  if (armed == Armed::kConfig) {
    if (sheet_.family == Pic18Family::kOld && pc_ != 0x100000) {
      return Fault(p, "configuration programmed without GOTO 100000h");
    }
    const std::uint32_t i = armedAddress_ - kConfigBase;
    config[i] = armedByte_;
    ++rowsProgrammed;
    return;
  }
  for (std::uint32_t k = 0; k < sheet_.buffer; ++k) {
    const std::uint32_t a = armedAddress_ + k;
    if (a < sheet_.codeBytes)
      code[a] &= buffer_[k];
    else if (a >= kIdBase && a < kIdBase + 8)
      ids[a - kIdBase] &= buffer_[k];
  }
  ++rowsProgrammed;
  std::fill(buffer_.begin(), buffer_.end(), 0xFF);
}

// A table write on an EPROM part: the operand is latched as the word at TBLPTR's even address.
void Pic18Chip::EpromWrite(Programmer& p, std::uint8_t lo, std::uint8_t hi) {
  const std::uint32_t a = tblptr_ & ~1u;
  const bool inside = a < sheet_.codeBytes || (a >= kIdBase && a < kIdBase + 8) ||
                      (a >= kConfigBase && a < kConfigBase + 16);
  armed_ = Armed::kNone;
  if (!inside) return Fault(p, "table write outside the chip's memory");
  latch_ = {lo, hi};
  armedAddress_ = a;
  armed_ = Armed::kWord;
}

void Pic18Chip::EpromPulse(Programmer& p, double heldUs) {
  if (heldUs > kPulseMaxUs) {
    char text[96];
    std::snprintf(text, sizeof text, "%s: program pulse of %.0f us", Name().c_str(), heldUs);
    p.record.Hazard(text);
  }
  if (heldUs < kPulseMinUs || holdVdd_ < kEpromVddMin || holdVdd_ > kEpromVddMax) {
    ++shortHolds;
    return;
  }
  ++pulses;
  const auto cell = [&](std::uint32_t a, std::uint8_t v) {
    if (a < sheet_.codeBytes) {
      code[a] &= v;
    } else if (a >= kIdBase && a < kIdBase + 8) {
      ids[a - kIdBase] &= v;
    } else if (a >= kConfigBase && a < kConfigBase + 14) {
      config[a - kConfigBase] &= v;
    }
  };
  cell(armedAddress_, latch_[0]);
  cell(armedAddress_ + 1, latch_[1]);
  ++rowsProgrammed;
}

// The 4-bit command is in: reads set the byte to drive, the rest take a 16-bit operand.
void Pic18Chip::StartCommand(Programmer& p) {
  count_ = 0;
  shift_ = 0;
  switch (command_) {
    case kTblrd:
    case kTblrdInc:
    case kTblrdDec:
    case kTblrdPreInc: {
      if (command_ == kTblrdPreInc) ++tblptr_;
      tablat_ = ReadByte(tblptr_ & 0x3FFFFF);
      if (command_ == kTblrdInc) ++tblptr_;
      if (command_ == kTblrdDec) --tblptr_;
      tblptr_ &= 0x3FFFFF;
      out_ = tablat_;
      phase_ = Phase::kRead;
      return;
    }
    case kShiftTablat:
      out_ = tablat_;
      phase_ = Phase::kRead;
      return;
    case kCore:
    case kTblwt:
    case kTblwtInc2:
    case kTblwtProgram:
      phase_ = Phase::kOperand;
      return;
    default:
      Fault(p, "command outside the model");
      phase_ = Phase::kOperand;
  }
}

void Pic18Chip::EndOperand(Programmer& p) {
  const auto operand = static_cast<std::uint16_t>(shift_);
  const auto lo = static_cast<std::uint8_t>(operand & 0xFF);
  const auto hi = static_cast<std::uint8_t>(operand >> 8);
  phase_ = Phase::kCommand;
  count_ = 0;
  shift_ = 0;
  switch (command_) {
    case kCore:
      Execute(p, operand);
      if (operand == 0 && nopsAfterKey_ >= 0 && ++nopsAfterKey_ == 2) {
        nopsAfterKey_ = -1;
        const std::uint16_t key =
            sheet_.family == Pic18Family::kOld
                ? eraseReg_[0]
                : static_cast<std::uint16_t>(eraseReg_[1] << 8 | eraseReg_[0]);
        const int vddMin = sheet_.family == Pic18Family::kOld ? 4500 : 4200;
        if (VddMillivolts(p) >= vddMin) {
          eraseKey_ = key;
          eraseStart_ = p.clockUs();
          phase_ = Phase::kErasing;
        }
      }
      return;
    case kTblwt:
    case kTblwtProgram:
      if (Eprom()) return EpromWrite(p, lo, hi);
      return TableWrite(p, lo, hi, command_ == kTblwtProgram);
    case kTblwtInc2:
      if (Eprom()) {
        EpromWrite(p, lo, hi);
        tblptr_ = (tblptr_ + 1) & 0x3FFFFF;
        return;
      }
      TableWrite(p, lo, hi, false);
      tblptr_ = (tblptr_ + 2) & 0x3FFFFF;
      return;
    default:
      return;
  }
}

void Pic18Chip::LeaveMode(Programmer& p) {
  Finish(p, true);
  if (armed_ != Armed::kNone && armed_ != Armed::kWord)
    Fault(p, "mode left with programming armed");
  inMode = false;
  driving_ = false;
  armed_ = Armed::kNone;
  phase_ = Phase::kCommand;
  eeBusy_ = false;
}

void Pic18Chip::OnPins(Programmer& p) {
  // The supplies change only with the programmer's supply registers and the sensing of the
  // contact test (AVDD is a driven pin: looked at each time).
  const std::uint32_t stamp = p.supplyChanges * 2 + (p.fpga[kFpgaSense] != 0 ? 1 : 0);
  if (sheet_.avdd != 0 || stamp != supplyStamp_ || !stampValid_) {
    poweredNow_ = Powered(p);
    mclrNow_ = MclrHigh(p);
    supplyStamp_ = stamp;
    stampValid_ = true;
  }
  const bool powered = poweredNow_;
  const bool mclr = mclrNow_;
  const int clock = Level(p, sheet_.pgc);
  if (inMode) Finish(p, false);
  if (inMode && (!powered || !mclr)) {
    LeaveMode(p);
  } else if (!inMode && powered && mclr && lastPowered_ && !lastMclr_ && clock == 0 &&
             Level(p, sheet_.pgd) == 0 && (sheet_.pgm == 0 || Level(p, sheet_.pgm) == 0)) {
    inMode = true;
    ++entries;
    phase_ = Phase::kCommand;
    count_ = 0;
    shift_ = 0;
    w_ = tablat_ = eecon1_ = eedata_ = eeadr_ = eeadrh_ = 0;
    tblptr_ = pc_ = 0;
    gotoPending_ = false;
    unlock_ = 0;
    nopsAfterKey_ = -1;
    armed_ = Armed::kNone;
    std::fill(buffer_.begin(), buffer_.end(), 0xFF);
  }
  if (inMode && clock != lastClock_) {
    const bool rising = clock == 1;
    if (phase_ == Phase::kErasing) {
      Fault(p, "PGC clocked during the bulk erase");
    } else if (phase_ == Phase::kCommand && rising && count_ == 3 && armed_ != Armed::kNone &&
               !(Eprom() && shift_ != 0)) {
      // The 4th clock of the NOP after a start of programming: the hold begins.
      if (shift_ != 0) Fault(p, "a command other than NOP after a start of programming");
      phase_ = Phase::kHold;
      holdStart_ = p.clockUs();
      holdVdd_ = VddMillivolts(p);
    } else if (phase_ == Phase::kHold && !rising) {
      EndHold(p, p.clockUs() - holdStart_);
      command_ = kCore;
      StartCommand(p);
    } else if (phase_ == Phase::kRead && rising) {
      ++count_;
      driving_ = count_ >= 9 && count_ <= 16;
      outBit_ = driving_ ? (out_ >> (count_ - 9)) & 1 : 0;
    } else if (phase_ == Phase::kRead) {
      if (count_ >= 16) {
        phase_ = Phase::kCommand;
        count_ = 0;
        driving_ = false;
      }
    } else if (!rising) {
      const auto bit = static_cast<std::uint32_t>(Level(p, sheet_.pgd));
      shift_ |= bit << count_;
      ++count_;
      if (phase_ == Phase::kCommand && count_ == 4) {
        command_ = static_cast<std::uint8_t>(shift_ & 0x0F);
        StartCommand(p);
      } else if (phase_ == Phase::kOperand && count_ == 16) {
        EndOperand(p);
      }
    }
  }
  lastClock_ = clock;
  lastPowered_ = powered;
  lastMclr_ = mclr;
}

int Pic18Chip::Drive(int pin) const {
  return driving_ && inMode && pin == sheet_.pgd ? outBit_ : -1;
}

std::string_view Pic18PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic18Sheet& s : Sheets()) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic18Chip> MakePic18(std::string_view part) {
  for (const Pic18Sheet& s : Sheets()) {
    if (s.name == part) return std::make_shared<Pic18Chip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
