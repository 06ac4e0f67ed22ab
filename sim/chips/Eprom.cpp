#include "sim/chips/Eprom.h"

#include <algorithm>
#include <cstdio>
#include <utility>

namespace zelvar::sim {

namespace {

// ---- Packages: JEDEC pinouts. Address lists run A0 upwards. ----

EpromSheet Dip24(int addressBits) {
  EpromSheet s;
  s.pins = 24;
  const std::vector<int> a = {8, 7, 6, 5, 4, 3, 2, 1, 23, 22, 19, 21};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {9, 10, 11, 13, 14, 15, 16, 17};
  s.ground = {12};
  s.vcc = 24;
  s.ce = 18;
  s.oe = 20;
  return s;
}

// 2764 and 27128 keep PGM on pin 27 and VPP on pin 1; from the 27256 pin 27 is A14; from the
// 27512 pin 1 is A15 and VPP moves onto OE.
EpromSheet Dip28(int addressBits) {
  EpromSheet s;
  s.pins = 28;
  const std::vector<int> a = {10, 9, 8, 7, 6, 5, 4, 3, 25, 24, 21, 23, 2, 26, 27, 1};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {11, 12, 13, 15, 16, 17, 18, 19};
  s.ground = {14};
  s.vcc = 28;
  s.ce = 20;
  s.oe = 22;
  s.pgm = addressBits <= 14 ? 27 : 0;
  s.vpp = addressBits <= 15 ? 1 : 22;
  return s;
}

// 27C010 and 27C020: VPP on pin 1 and PGM on pin 31; the 27C040 takes pin 31 for A18 and programs
// through CE; the 27C080 takes pin 1 for A19 and VPP moves onto OE.
EpromSheet Dip32(int addressBits) {
  EpromSheet s;
  s.pins = 32;
  const std::vector<int> a = {12, 11, 10, 9,  8,  7, 6, 5,  27, 26,
                              23, 25, 4,  28, 29, 3, 2, 30, 31, 1};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {13, 14, 15, 17, 18, 19, 20, 21};
  s.ground = {16};
  s.vcc = 32;
  s.ce = 22;
  s.oe = 24;
  s.pgm = addressBits <= 18 ? 31 : 0;
  s.vpp = addressBits <= 19 ? 1 : 24;
  return s;
}

// The SST37VF parts: OE#/VPP on pin 24, PGM# on pin 31, and A18 on pin 1.
EpromSheet Dip32Sst37(int addressBits) {
  EpromSheet s = Dip32(addressBits < 18 ? addressBits : 18);
  if (addressBits > 18) s.address.push_back(1);
  s.pgm = 31;
  s.vpp = 24;
  s.vccMin = 2700;
  s.vccMax = 3600;
  return s;
}

// The word-wide packages: the first `addressBits` of `address` (A0 upwards), D0..D15, the ground
// pins, VCC, CE and OE by chip pin.
EpromSheet WordPackage(int pins, const std::vector<int>& address, int addressBits,
                       std::vector<int> data, std::vector<int> ground, int vcc, int ce, int oe) {
  EpromSheet s;
  s.pins = pins;
  s.address.assign(address.begin(), address.begin() + addressBits);
  s.data = std::move(data);
  s.ground = std::move(ground);
  s.vcc = vcc;
  s.ce = ce;
  s.oe = oe;
  return s;
}

// 27C1024 / 27C2048 / 27C4096 in DIP40: word-wide, PGM on pin 39 (A17 on the 4096, which
// programs through CE), VPP on pin 1, two ground pins.
EpromSheet Dip40(int addressBits) {
  EpromSheet s = WordPackage(
      40, {21, 22, 23, 24, 25, 26, 27, 28, 29, 31, 32, 33, 34, 35, 36, 37, 38, 39}, addressBits,
      {19, 18, 17, 16, 15, 14, 13, 12, 10, 9, 8, 7, 6, 5, 4, 3}, {11, 30}, 40, 2, 20);
  s.pgm = addressBits <= 17 ? 39 : 0;
  s.vpp = 1;
  return s;
}

// The 42-pin 16-bit parts (M27C160 datasheet's DIP connections): A0..A7 on pins 10 down to 3,
// A8..A16 on 41 down to 33, A17 on 2, A18 on 1, A19 on 42; E 11, G 13, VSS 12 and 31, VCC 22;
// Q0..Q15 interleaved with Q8.. from pin 14 up (Q15/A-1 on 30). The byte/word parts (M27C800,
// M27C160) have BYTE/VPP on pin 32; the word-only M27C322 takes pin 32 for A20 and programs through
// G/VPP.
EpromSheet Dip42(int addressBits) {
  EpromSheet s = WordPackage(
      42, {10, 9, 8, 7, 6, 5, 4, 3, 41, 40, 39, 38, 37, 36, 35, 34, 33, 2, 1, 42, 32}, addressBits,
      {14, 16, 18, 20, 23, 25, 27, 29, 15, 17, 19, 21, 24, 26, 28, 30}, {12, 31}, 22, 11, 13);
  s.vpp = addressBits <= 20 ? 32 : 13;
  s.bytePin = addressBits <= 20 ? 32 : 0;
  return s;
}

// ---- Programming: each maker's datasheet, named at its preset. ----

// NMOS 2716 (Intel 2716 datasheet): VPP 25 V +-1 V on pin 21, a 50 ms +-5 ms high pulse on CE/PGM
// with OE high. Inputs are rated to 6 V, VPP to 26.5 V; no identifier mode.
void Nmos2716(EpromSheet& s) {
  s.pulseHigh = true;
  s.vpp = 21;
  s.vppMin = 24000;
  s.vppMax = 26000;
  s.minPulseUs = 45000;
  s.maxPulseUs = 55000;
  s.maxVpp = 26500;
  s.maxA9 = 6000;
  s.maxOther = 6000;
  s.signature = false;
}

// NMOS 2732 (25 V) and 2732A (21 V) (Intel 2732 and 2732A datasheets): VPP on OE/VPP, a 50 ms
// +-5 ms low pulse on CE; no identifier mode.
void Nmos2732(EpromSheet& s, int vppMv) {
  s.vpp = 20;
  s.vppMin = vppMv - 500;
  s.vppMax = vppMv + 500;
  s.minPulseUs = 45000;
  s.maxPulseUs = 55000;
  s.maxVpp = vppMv + 1000;
  s.maxA9 = 6000;
  s.maxOther = 6000;
  s.signature = false;
}

// NMOS 2764 and 27128 (Intel 2764 and 27128 datasheets): VPP 21 V +-0.5 V on pin 1, a 50 ms
// +-5 ms low pulse on PGM; no identifier mode.
void Nmos21V(EpromSheet& s) {
  s.vppMin = 20500;
  s.vppMax = 21500;
  s.minPulseUs = 45000;
  s.maxPulseUs = 55000;
  s.maxVpp = 22000;
  s.maxA9 = 6000;
  s.maxOther = 6000;
  s.signature = false;
}

// Intel's intelligent programming (2764A, 27128A, 27256 and 27512 datasheets): VPP 12.5 V +-0.3 V,
// VCC 6.0 V +-0.25 V while programming, 1 ms pulses and an overprogram pulse of up to 3 x 25 ms,
// so 0.95 ms to 78.75 ms.
void Intelligent(EpromSheet& s) {
  s.vppMin = 12200;
  s.vppMax = 12800;
  s.programVccMin = 5750;
  s.programVccMax = 6250;
  s.minPulseUs = 950;
  s.maxPulseUs = 78750;
}

// Intel's quick-pulse programming (27C64 to 27C040 datasheets), which the generic parts follow:
// VPP 12.75 V +-0.25 V, VCC 6.25 V +-0.25 V while programming, 100 us +-5 us pulses.
void IntelQuickPulse(EpromSheet& s) {
  s.vppMin = 12500;
  s.vppMax = 13000;
  s.programVccMin = 6000;
  s.programVccMax = 6500;
  s.minPulseUs = 95;
  s.maxPulseUs = 105;
}

// AMD's Flashrite programming (Am27C64 to Am27C040 and Am27C1024 datasheets; the generic
// word-wide parts carry AMD's codes): VPP 12.75 V +-0.25 V, VCC 6.25 V +-0.25 V while
// programming, 100 us pulses (95 to 105 us); VPP and A9 rated to 13.5 V.
void AmdFlashrite(EpromSheet& s) {
  IntelQuickPulse(s);
  s.maxVpp = 13500;
  s.maxA9 = 13500;
}

// ST's Presto II (M27C256B, M27C512, M27C1001, M27C2001 and M27C4001 datasheets): VPP 12.75 V
// +-0.25 V, VCC 6.25 V +-0.25 V while programming, 100 us pulses (95 to 105 us); VPP rated to
// 14 V, A9 to 13.5 V.
void StPresto(EpromSheet& s) {
  IntelQuickPulse(s);
}

// The M27C801 (ST M27C801 datasheet, Presto IIB): the same levels with 50 us pulses (45 to 55 us).
void StPresto50(EpromSheet& s) {
  StPresto(s);
  s.minPulseUs = 45;
  s.maxPulseUs = 55;
}

// ST's Presto III (M27C160 and M27C322 datasheets): 50 us pulses on E (taken as the M27C801's
// 45 to 55 us) with VCC at 6.25 V +-0.25 V; VPP 12.5 V +-0.25 V on the M27C160 class, 12 V on the
// M27C322 (taken with the same tolerance).
void StPresto3(EpromSheet& s, int vppMv) {
  StPresto50(s);
  s.vppMin = vppMv - 250;
  s.vppMax = vppMv + 250;
}
void StPresto3At12V5(EpromSheet& s) {
  StPresto3(s, 12500);
}
void StPresto3At12V(EpromSheet& s) {
  StPresto3(s, 12000);
}

// Atmel's Rapid programming (AT27C256R, AT27C512R, AT27C010, AT27C020, AT27C040 and AT27C080
// datasheets): VPP 13.0 V +-0.25 V, VCC 6.5 V +-0.25 V while programming, 100 us +-5 % pulses;
// VPP and A9 rated to 14 V.
void AtmelRapid(EpromSheet& s) {
  s.vppMin = 12750;
  s.vppMax = 13250;
  s.programVccMin = 6250;
  s.programVccMax = 6750;
  s.minPulseUs = 95;
  s.maxPulseUs = 105;
  s.maxVpp = 14000;
  s.maxA9 = 14000;
}

// The AT27C4096 (its datasheet: the Rapid algorithm at 50 us per word): Atmel's levels with 50 us
// +-5 % pulses. The AT27C1024 takes 100 us per word (its datasheet), as the byte-wide parts.
void AtmelRapid50(EpromSheet& s) {
  AtmelRapid(s);
  s.minPulseUs = 47.5;
  s.maxPulseUs = 52.5;
}

// W27E (Winbond W27E512 datasheet): program at VPP 12 V +-0.25 V with 100 us +-5 us pulses; erase
// with A9 and VPP at 14 V +-0.5 V for a 100 ms pulse.
void W27E(EpromSheet& s) {
  s.vppMin = 11750;
  s.vppMax = 12250;
  s.minPulseUs = 95;
  s.maxPulseUs = 105;
  s.maxVpp = 14500;
  s.maxA9 = 14500;
  s.erasable = true;
  s.eraseMin = 13500;
  s.eraseMax = 14500;
  s.erasePulseUs = 95000;
}

// SST27SF and SST37VF (SST27SF512 and SST37VF010 datasheets): program at VPP 12 V +-5 % with
// pulses of at least 20 us (the sheet gives the typical byte time, no maximum); chip erase with A9
// and VPP at 12 V for 100 ms.
void Sst(EpromSheet& s) {
  s.vppMin = 11400;
  s.vppMax = 12600;
  s.minPulseUs = 20;
  s.maxVpp = 14000;
  s.maxA9 = 14000;
  s.erasable = true;
  s.eraseMin = 11400;
  s.eraseMax = 12600;
  s.erasePulseUs = 95000;
}

// ---- The parts: one row each. ----

struct Part {
  std::string_view name;
  EpromSheet (*package)(int addressBits);
  int addressBits;
  void (*program)(EpromSheet&);
  std::uint16_t maker = 0, device = 0;  // 0, 0: no identifier modelled
};

void Nmos2732At25V(EpromSheet& s) {
  Nmos2732(s, 25000);
}
void Nmos2732At21V(EpromSheet& s) {
  Nmos2732(s, 21000);
}

// Maker codes: AMD 01, ST 20, Atmel 1E, Winbond DA, SST BF.
constexpr Part kParts[] = {
    {"2716", Dip24, 11, Nmos2716},
    {"2732", Dip24, 12, Nmos2732At25V},
    {"2732A", Dip24, 12, Nmos2732At21V},
    {"2764", Dip28, 13, Nmos21V},
    {"2764A", Dip28, 13, Intelligent},
    {"27C64", Dip28, 13, IntelQuickPulse},
    {"27128", Dip28, 14, Nmos21V},
    {"27128A", Dip28, 14, Intelligent},
    {"27C128", Dip28, 14, IntelQuickPulse},
    {"27256", Dip28, 15, Intelligent},
    {"27C256", Dip28, 15, IntelQuickPulse},
    {"27512", Dip28, 16, Intelligent},
    {"27C512", Dip28, 16, IntelQuickPulse},
    {"27C010", Dip32, 17, IntelQuickPulse},
    {"27C020", Dip32, 18, IntelQuickPulse},
    {"27C040", Dip32, 19, IntelQuickPulse},
    {"27C080", Dip32, 20, IntelQuickPulse},
    {"AM27C64", Dip28, 13, AmdFlashrite, 0x01, 0x15},
    {"AM27C128", Dip28, 14, AmdFlashrite, 0x01, 0x16},
    {"AM27C256", Dip28, 15, AmdFlashrite, 0x01, 0x10},
    {"AM27C512", Dip28, 16, AmdFlashrite, 0x01, 0x91},
    {"AM27C010", Dip32, 17, AmdFlashrite, 0x01, 0x0E},
    {"AM27C020", Dip32, 18, AmdFlashrite, 0x01, 0x97},
    {"AM27C040", Dip32, 19, AmdFlashrite, 0x01, 0x9B},
    {"AT27C256", Dip28, 15, AtmelRapid, 0x1E, 0x8C},
    {"AT27C512R", Dip28, 16, AtmelRapid, 0x1E, 0x0D},
    {"AT27C010", Dip32, 17, AtmelRapid, 0x1E, 0x05},
    {"AT27C020", Dip32, 18, AtmelRapid, 0x1E, 0x86},
    {"AT27C040", Dip32, 19, AtmelRapid, 0x1E, 0x0B},
    {"AT27C080", Dip32, 20, AtmelRapid, 0x1E, 0x8A},
    {"M27C256B", Dip28, 15, StPresto, 0x20, 0x8D},
    {"M27C512", Dip28, 16, StPresto, 0x20, 0x3D},
    {"M27C1001", Dip32, 17, StPresto, 0x20, 0x05},
    {"M27C2001", Dip32, 18, StPresto, 0x20, 0x61},
    {"M27C4001", Dip32, 19, StPresto, 0x20, 0x41},
    {"M27C801", Dip32, 20, StPresto50, 0x20, 0x42},
    {"W27E257", Dip28, 15, W27E},
    {"W27E512", Dip28, 16, W27E, 0xDA, 0x08},
    {"W27E010", Dip32, 17, W27E},
    {"W27E020", Dip32, 18, W27E},
    {"W27E040", Dip32, 19, W27E},
    {"SST27SF256", Dip28, 15, Sst, 0xBF, 0xA3},
    {"SST27SF512", Dip28, 16, Sst, 0xBF, 0xA4},
    {"SST27SF010", Dip32, 17, Sst, 0xBF, 0xA5},
    {"SST27SF020", Dip32, 18, Sst, 0xBF, 0xA6},
    {"SST37VF512", Dip32Sst37, 16, Sst, 0xBF, 0xC4},
    {"SST37VF010", Dip32Sst37, 17, Sst, 0xBF, 0xC5},
    {"SST37VF020", Dip32Sst37, 18, Sst, 0xBF, 0xC6},
    {"SST37VF040", Dip32Sst37, 19, Sst, 0xBF, 0xC7},
    {"27C1024", Dip40, 16, AmdFlashrite, 0x01, 0x8C},
    {"27C2048", Dip40, 17, AmdFlashrite, 0x01, 0x98},
    {"27C4096", Dip40, 18, AmdFlashrite, 0x01, 0x99},
    // The AT27C2048's own sheet was not to hand: it takes the AT27C1024's figures.
    {"AT27C1024", Dip40, 16, AtmelRapid},
    {"AT27C2048", Dip40, 17, AtmelRapid},
    {"AT27C4096", Dip40, 18, AtmelRapid50, 0x1E, 0xF4},
    // The M27C800's own sheet was not to hand: it takes the M27C160's figures, its signature left
    // out.
    {"M27C800", Dip42, 19, StPresto3At12V5},
    {"M27C160", Dip42, 20, StPresto3At12V5, 0x20, 0xB1},
    {"M27C322", Dip42, 21, StPresto3At12V},
};

// Names the catalogue spells differently from the part they name.
constexpr std::pair<std::string_view, std::string_view> kAliases[] = {
    {"W27C512", "W27E512"},  {"W27C010", "W27E010"},  {"W27C020", "W27E020"},
    {"W27C040", "W27E040"},  {"M27C256", "M27C256B"}, {"MX27C1000", "27C010"},
    {"MX27C2000", "27C020"}, {"MX27C4000", "27C040"},
};

const Part* FindPart(std::string_view name) {
  for (const auto& [alias, part] : kAliases) {
    if (alias == name) name = part;
  }
  for (const Part& p : kParts) {
    if (p.name == name) return &p;
  }
  return nullptr;
}

}  // namespace

EpromChip::EpromChip(EpromSheet sheet) : sheet_(std::move(sheet)) {
  cells.assign(std::size_t{1} << sheet_.address.size(), sheet_.data.size() > 8 ? 0xFFFF : 0xFF);
  dataMask_ = sheet_.data.size() > 8 ? 0xFFFF : 0xFF;
  dataIndex_.assign(sheet_.pins + 1, -1);
  for (std::size_t i = 0; i < sheet_.data.size(); ++i)
    dataIndex_[sheet_.data[i]] = static_cast<int>(i);
}

int EpromChip::MaxMillivolts(int pin) const {
  if (pin == sheet_.vpp) return sheet_.maxVpp;
  if (sheet_.address.size() > 9 && pin == sheet_.address[9]) return sheet_.maxA9;
  return sheet_.maxOther;
}

// The chip drives only its data pins, and reads them only while its outputs are off: every pin it
// reads carries what the programmer puts on it.
int EpromChip::Mv(const Programmer& p, int chipPin) const {
  return chipPin ? p.InputMillivolts(p.SocketPinOf(chipPin)) : -1;
}

bool EpromChip::Powered(const Programmer& p) const {
  const int vcc = p.SupplyMillivolts(p.SocketPinOf(sheet_.vcc));
  // From the read minimum up to the top of the programming window, where the datasheet has one.
  if (vcc < sheet_.vccMin || vcc > std::max(sheet_.vccMax, sheet_.programVccMax)) return false;
  for (int g : sheet_.ground) {
    if (!p.IsGround(p.SocketPinOf(g))) return false;
  }
  return true;
}

std::uint32_t EpromChip::Address(Programmer& p) {
  const std::size_t n = addressSocket_.size();
  if (suppliedAt_ != p.supplyChanges) {
    suppliedAt_ = p.supplyChanges;
    supplied_ = 0;
    for (std::size_t i = 0; i < n; ++i) {
      if (p.SupplyMillivolts(addressSocket_[i]) >= 0) supplied_ |= 1u << i;
    }
  }
  // Pins no supply holds carry the programmer's driver levels.
  std::uint32_t a = 0;
  for (std::size_t i = 0; i < n; ++i) {
    const int sp = addressSocket_[i];
    const bool high = (supplied_ >> i) & 1 ? p.InputMillivolts(sp) >= 2000 : p.DriverLevel(sp) == 1;
    if (high) a |= 1u << i;
  }
  return a;
}

void EpromChip::OnPins(Programmer& p) {
  // Socket pins of the chip's pins, taken again when the chip was placed elsewhere.
  if (socket_.empty() || p.ChipPinAt(socket_[1]) != 1) {
    socket_.assign(sheet_.pins + 1, 0);
    for (int k = 1; k <= sheet_.pins; ++k) socket_[k] = p.SocketPinOf(k);
    addressSocket_.clear();
    for (int a : sheet_.address) addressSocket_.push_back(socket_[a]);
    suppliedAt_ = ~0u;
  }
  const bool powered = Powered(p);
  const int ceMv = Mv(p, sheet_.ce), oeMv = Mv(p, sheet_.oe);
  const bool ceLow = ceMv >= 0 && ceMv < 2000;
  const bool oeLow = oeMv >= 0 && oeMv < 2000;
  const bool outputs = powered && ceLow && oeLow;
  // A9 matters for the signature and the electrical erase only.
  const int a9 = sheet_.address.size() > 9 && (sheet_.erasable || (outputs && sheet_.signature))
                     ? Mv(p, sheet_.address[9])
                     : 0;

  // Programming: VPP at its level for the whole pulse, OE high (or OE/VPP at VPP).
  const int vppMv = Mv(p, sheet_.vpp);
  // VPP inside its window, and VCC inside the programming window where the datasheet gives one.
  const int vccMv = p.SupplyMillivolts(socket_[sheet_.vcc]);
  const bool vccOk =
      sheet_.programVccMax == 0 || (vccMv >= sheet_.programVccMin && vccMv <= sheet_.programVccMax);
  const bool vppOk = vppMv >= sheet_.vppMin && vppMv <= sheet_.vppMax && vccOk;
  const bool oeHigh = !oeLow;
  const int pgmMv = sheet_.pgm ? Mv(p, sheet_.pgm) : -1;
  const bool pgmLow = pgmMv >= 0 && pgmMv < 2000;
  bool pulse;
  if (sheet_.pulseHigh) {
    pulse = ceMv >= 2000 && oeHigh;
  } else if (sheet_.pgm) {
    pulse = ceLow && pgmLow && oeHigh;
  } else {
    pulse = ceLow && oeHigh;
  }
  const bool eraseLevels = sheet_.erasable && a9 >= sheet_.eraseMin && a9 <= sheet_.eraseMax &&
                           vppMv >= sheet_.eraseMin && vppMv <= sheet_.eraseMax;
  const bool programming = powered && vppOk && pulse && !eraseLevels;

  driving_ = outputs;
  // The address counts when the outputs show a cell and when a pulse starts or ends.
  const std::uint32_t address = driving_ || programming != pulsing_ ? Address(p) : 0;
  byteWide_ = false;
  if (driving_) {
    if (sheet_.signature && a9 >= sheet_.idMin && a9 <= sheet_.idMax) {
      out_ = address & 1 ? sheet_.device : sheet_.maker;
    } else {
      out_ = cells[address];
    }
    if (sheet_.bytePin && Mv(p, sheet_.bytePin) < 2000) {
      // Byte-wide: D15 is the A-1 input, D8..D14 are off.
      byteWide_ = true;
      if (Mv(p, sheet_.data[15]) >= 2000) out_ = static_cast<std::uint16_t>(out_ >> 8);
      out_ &= 0xFF;
    }
  }

  if (programming && !pulsing_) {
    pulsing_ = true;
    pulseStart_ = p.clockUs();
    pulseAddress_ = address;
    pulseData_ = 0;
    for (std::size_t i = 0; i < sheet_.data.size(); ++i) {
      if (Mv(p, sheet_.data[i]) >= 2000) pulseData_ |= static_cast<std::uint16_t>(1u << i);
    }
  } else if (pulsing_ && !programming) {
    lastPulseUs = p.clockUs() - pulseStart_;
    lastPulseVppMv = vppMv;
    lastPulseVccMv = vccMv;
    if (sheet_.maxPulseUs > 0 && lastPulseUs > sheet_.maxPulseUs) {
      char text[120];
      std::snprintf(text, sizeof text, "%s: program pulse of %.0f us, longer than %.0f us",
                    sheet_.name.c_str(), lastPulseUs, sheet_.maxPulseUs);
      p.record.Hazard(text);
    }
    // The pulse counts when it ends by its own input with VPP still up and the address held.
    if (!pulse && powered && vppOk && address == pulseAddress_ &&
        lastPulseUs >= sheet_.minPulseUs) {
      cells[pulseAddress_] &= pulseData_;
      ++pulses;
    }
    pulsing_ = false;
  }

  const bool eraseInput = ceLow && (!sheet_.pgm || pgmLow);
  const bool erasing = powered && eraseInput && eraseLevels;
  if (erasing && !erasing_) {
    erasing_ = true;
    eraseStart_ = p.clockUs();
  } else if (erasing_ && !erasing) {
    if (powered && !eraseInput && p.clockUs() - eraseStart_ >= sheet_.erasePulseUs) {
      std::fill(cells.begin(), cells.end(), dataMask_);
      ++erases;
    }
    erasing_ = false;
  }
}

int EpromChip::Drive(int pin) const {
  if (!driving_ || pin < 1 || pin > sheet_.pins) return -1;
  const int bit = dataIndex_[pin];
  return bit < 0 || (byteWide_ && bit > 7) ? -1 : (out_ >> bit) & 1;
}

std::shared_ptr<EpromChip> MakeEprom(std::string_view name) {
  const Part* part = FindPart(name);
  if (!part) return nullptr;
  EpromSheet s = part->package(part->addressBits);
  part->program(s);
  if (part->maker == 0 && part->device == 0) {
    s.signature = false;
  } else {
    s.maker = part->maker;
    s.device = part->device;
  }
  s.name = std::string(part->name);
  return std::make_shared<EpromChip>(std::move(s));
}

std::vector<std::string_view> EpromParts() {
  std::vector<std::string_view> names;
  for (const Part& p : kParts) names.push_back(p.name);
  for (const auto& alias : kAliases) names.push_back(alias.first);
  return names;
}

std::string_view EpromPartOf(std::string_view chipName) {
  std::string_view best;
  for (std::string_view part : EpromParts()) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
