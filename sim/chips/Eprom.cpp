#include "sim/chips/Eprom.h"

#include <utility>

namespace zelvar::sim {

namespace {

// JEDEC byte-wide pinouts. Address lists run A0 upwards.
EpromSheet Dip24(bool is2732) {
  EpromSheet s;
  s.pins = 24;
  s.address = {8, 7, 6, 5, 4, 3, 2, 1, 23, 22, 19};
  if (is2732) s.address.push_back(21);
  s.data = {9, 10, 11, 13, 14, 15, 16, 17};
  s.ground = {12};
  s.vcc = 24;
  s.ce = 18;
  s.oe = 20;
  return s;
}

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
  return s;
}

EpromSheet Dip32(int addressBits) {
  EpromSheet s;
  s.pins = 32;
  const std::vector<int> a = {12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25, 4, 28, 29, 3, 2, 30, 31};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {13, 14, 15, 17, 18, 19, 20, 21};
  s.ground = {16};
  s.vcc = 32;
  s.ce = 22;
  s.oe = 24;
  return s;
}

// 27C1024 / 27C2048 in DIP40: word-wide, PGM on pin 39, two ground pins.
EpromSheet Dip40(int addressBits) {
  EpromSheet s;
  s.pins = 40;
  const std::vector<int> a = {21, 22, 23, 24, 25, 26, 27, 28, 29,
                              31, 32, 33, 34, 35, 36, 37, 38, 39};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {19, 18, 17, 16, 15, 14, 13, 12, 10, 9, 8, 7, 6, 5, 4, 3};
  s.ground = {11, 30};
  s.vcc = 40;
  s.ce = 2;
  s.oe = 20;
  s.pgm = 39;
  s.vpp = 1;
  s.vppMin = 12500;
  s.vppMax = 13000;
  s.minPulseUs = 95;
  return s;
}

// CMOS parts of the 12.75 V fast-pulse algorithms: 100 µs pulses, VPP 12.75 V +- 0.25 V.
void FastPulse(EpromSheet& s, int vpp) {
  s.vpp = vpp;
  s.vppMin = 12500;
  s.vppMax = 13000;
  s.minPulseUs = 95;
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
int EpromChip::Mv(Programmer& p, int chipPin) const {
  return chipPin ? p.InputMillivolts(socket_[chipPin]) : -1;
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
    const bool high = (supplied_ >> i) & 1 ? p.InputMillivolts(sp) >= 2000 : p.level[sp] == 1;
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
  bool powered = Mv(p, sheet_.vcc) >= sheet_.vccMin;
  for (int g : sheet_.ground) powered = powered && Mv(p, g) == 0;
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
  const bool vppOk = vppMv >= sheet_.vppMin && vppMv <= sheet_.vppMax;
  const bool oeHigh = !oeLow;
  bool pulse;
  if (sheet_.pulseHigh) {
    pulse = ceMv >= 2000 && oeHigh;
  } else if (sheet_.pgm) {
    const int pgmMv = Mv(p, sheet_.pgm);
    pulse = ceLow && pgmMv >= 0 && pgmMv < 2000 && oeHigh;
  } else {
    pulse = ceLow && oeHigh;
  }
  const bool eraseLevels = sheet_.erasable && a9 >= sheet_.eraseMin && a9 <= sheet_.eraseMax &&
                           oeMv >= sheet_.eraseMin && oeMv <= sheet_.eraseMax;
  const bool programming = powered && vppOk && pulse && !eraseLevels;

  driving_ = outputs;
  // The address counts when the outputs show a cell and when a pulse starts or ends.
  const std::uint32_t address = driving_ || programming != pulsing_ ? Address(p) : 0;
  if (driving_) {
    if (sheet_.signature && a9 >= 11500 && a9 <= 13000) {
      out_ = address & 1 ? sheet_.device : sheet_.maker;
    } else {
      out_ = cells[address];
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
    // The pulse counts when it ends by its own input with VPP still up and the address held.
    if (!pulse && powered && vppOk && address == pulseAddress_ &&
        p.clockUs() - pulseStart_ >= sheet_.minPulseUs) {
      cells[pulseAddress_] &= pulseData_;
      ++pulses;
    }
    pulsing_ = false;
  }

  const bool erasing = powered && ceLow && eraseLevels;
  if (erasing && !erasing_) {
    erasing_ = true;
    eraseStart_ = p.clockUs();
  } else if (erasing_ && !erasing) {
    if (!ceLow && p.clockUs() - eraseStart_ >= sheet_.erasePulseUs) {
      std::fill(cells.begin(), cells.end(), dataMask_);
      ++erases;
    }
    erasing_ = false;
  }
}

int EpromChip::Drive(int pin) const {
  if (!driving_ || pin < 1 || pin > sheet_.pins) return -1;
  const int bit = dataIndex_[pin];
  return bit < 0 ? -1 : (out_ >> bit) & 1;
}

std::shared_ptr<EpromChip> MakeEprom(std::string_view part) {
  EpromSheet s;
  if (part == "2716") {
    // NMOS 2716: VPP 25 V on pin 21, a 50 ms high pulse on CE/PGM with OE high; no signature.
    s = Dip24(false);
    s.pulseHigh = true;
    s.vpp = 21;
    s.vppMin = 24000;
    s.vppMax = 26000;
    s.minPulseUs = 45000;
    s.maxVpp = 26500;
    s.maxA9 = 6000;
    s.maxOther = 6000;
    s.signature = false;
  } else if (part == "2732") {
    // 2732A: OE/VPP at 21 V, a 50 ms low pulse on CE.
    s = Dip24(true);
    s.vpp = 20;
    s.vppMin = 20500;
    s.vppMax = 21500;
    s.minPulseUs = 45000;
    s.maxVpp = 22000;
    s.maxA9 = 6000;
    s.maxOther = 6000;
    s.signature = false;
  } else if (part == "27C256") {
    s = Dip28(15);
    FastPulse(s, 1);
    s.maker = 0x01;
    s.device = 0x10;
  } else if (part == "27C512") {
    s = Dip28(16);
    FastPulse(s, 22);
    s.maker = 0x01;
    s.device = 0x91;
  } else if (part == "27C010") {
    s = Dip32(17);
    FastPulse(s, 1);
    s.pgm = 31;
    s.maker = 0x01;
    s.device = 0x0E;
  } else if (part == "27C040") {
    s = Dip32(19);
    FastPulse(s, 1);
    s.maker = 0x01;
    s.device = 0x9B;
  } else if (part == "W27E512") {
    // Programs at 12 V with 100 µs CE pulses; erases with A9 and OE/VPP at 14 V for 100 ms.
    s = Dip28(16);
    s.vpp = 22;
    s.vppMin = 11750;
    s.vppMax = 12250;
    s.minPulseUs = 95;
    s.maxVpp = 14500;
    s.maxA9 = 14500;
    s.maker = 0xDA;
    s.device = 0x08;
    s.erasable = true;
    s.eraseMin = 13500;
    s.eraseMax = 14500;
    s.erasePulseUs = 95000;
  } else if (part == "SST27SF512") {
    // Programs with OE#/VPP at 12 V and 20 µs CE# pulses; chip erase with A9 and OE#/VPP at 12 V
    // for 100 ms.
    s = Dip28(16);
    s.vpp = 22;
    s.vppMin = 11400;
    s.vppMax = 12600;
    s.minPulseUs = 20;
    s.maxVpp = 14000;
    s.maxA9 = 14000;
    s.maker = 0xBF;
    s.device = 0xA4;
    s.erasable = true;
    s.eraseMin = 11400;
    s.eraseMax = 12600;
    s.erasePulseUs = 95000;
  } else if (part == "27C1024") {
    s = Dip40(16);
    s.maker = 0x01;
    s.device = 0x8C;
  } else if (part == "27C2048") {
    s = Dip40(17);
    s.maker = 0x01;
    s.device = 0x98;
  } else if (part == "27C4096") {
    // Pin 39 is A17 and CE is also PGM.
    s = Dip40(18);
    s.pgm = 0;
    s.maker = 0x01;
    s.device = 0x99;
  } else {
    return nullptr;
  }
  s.name = std::string(part);
  return std::make_shared<EpromChip>(std::move(s));
}

std::string_view EpromPartOf(std::string_view chipName) {
  constexpr std::string_view kParts[] = {"2716",    "2732",    "27C256",  "27C512",
                                         "27C010",  "27C040",  "W27E512", "SST27SF512",
                                         "27C1024", "27C2048", "27C4096"};
  std::string_view best;
  for (std::string_view part : kParts) {
    if (part.size() > best.size() && chipName.find(part) != std::string_view::npos) best = part;
  }
  return best;
}

}  // namespace zelvar::sim
