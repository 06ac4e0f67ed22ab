#include "sim/chips/Pic14Eprom.h"

#include <algorithm>
#include <string>

namespace zelvar::sim {

namespace {

constexpr int kVddMin = 4000, kVddMax = 6000, kVihhMin = 12000, kVihhMax = 13500;

// Configuration words: FOSC1:FOSC0 bits 0-1, WDTE 2, PWRTE 3 on every part; the PIC16C61 and
// PIC16C71 have one CP bit (4); the PIC16C64/65/74 two (5:4); the later parts two with their
// mirrors in bits 8-13 and BODEN at bit 6, bit 7 unimplemented.
constexpr std::uint16_t kOneCp = 0x001F, kTwoCp = 0x003F, kMirrored = 0x3F7F;
constexpr std::uint16_t kCpOne = 0x0010, kCpTwo = 0x0030, kCpMirrored = 0x3330;

constexpr Pic14EpromSheet Dip40(std::string_view name, std::uint32_t words, std::uint16_t impl,
                                std::uint16_t cp) {
  return {.name = name, .words = words, .implemented = impl, .cp = cp};
}
constexpr Pic14EpromSheet Dip28(std::string_view name, std::uint32_t words) {
  return {.name = name,
          .pins = 28,
          .vdd = 20,
          .vss = 19,
          .mclr = 1,
          .clock = 27,
          .data = 28,
          .words = words,
          .implemented = kMirrored,
          .cp = kCpMirrored};
}
constexpr Pic14EpromSheet Dip18(std::string_view name, std::uint32_t words, std::uint16_t impl,
                                std::uint16_t cp) {
  return {.name = name,
          .pins = 18,
          .vdd = 14,
          .vss = 5,
          .mclr = 4,
          .clock = 12,
          .data = 13,
          .words = words,
          .implemented = impl,
          .cp = cp};
}

// PIC12C671/672 (PIC12C67X data sheet): 8-pin DIP with VDD 1, VSS 8, GP3/MCLR/VPP 4, GP1 the
// programming clock 6, GP0 the data 7; every configuration bit implemented (FOSC2:0, WDTE, PWRTE,
// CP1:CP0 at 6:5 mirrored in 13:8, MCLRE at 7); the factory oscillator calibration is a RETLW in
// the last program word.
constexpr Pic14EpromSheet Dip8(std::string_view name, std::uint32_t words) {
  return {.name = name,
          .pins = 8,
          .vdd = 1,
          .vss = 8,
          .mclr = 4,
          .clock = 6,
          .data = 7,
          .words = words,
          .implemented = 0x3FFF,
          .cp = 0x3F60,
          .calibration = 0x3480};
}

constexpr std::array kSheets = {
    Dip8("PIC12C671", 1024),
    Dip8("PIC12C672", 2048),
    Dip18("PIC16C61", 1024, kOneCp, kCpOne),
    Dip18("PIC16C71", 1024, kOneCp, kCpOne),
    Dip18("PIC16C620", 512, kMirrored, kCpMirrored),
    Dip18("PIC16C621", 1024, kMirrored, kCpMirrored),
    Dip18("PIC16C622", 2048, kMirrored, kCpMirrored),
    Dip28("PIC16C62", 2048),
    Dip28("PIC16C62A", 2048),
    Dip28("PIC16C63", 4096),
    Dip28("PIC16C72", 2048),
    Dip28("PIC16C73", 4096),
    Dip28("PIC16C73A", 4096),
    Dip28("PIC16C76", 8192),
    Dip40("PIC16C64", 2048, kTwoCp, kCpTwo),
    Dip40("PIC16C64A", 2048, kMirrored, kCpMirrored),
    Dip40("PIC16C65", 4096, kTwoCp, kCpTwo),
    Dip40("PIC16C65A", 4096, kMirrored, kCpMirrored),
    Dip40("PIC16C74", 4096, kTwoCp, kCpTwo),
    Dip40("PIC16C74A", 4096, kMirrored, kCpMirrored),
    Dip40("PIC16C77", 8192, kMirrored, kCpMirrored),
};

}  // namespace

Pic14EpromChip::Pic14EpromChip(const Pic14EpromSheet& sheet)
    : code(sheet.words, 0x3FFF),
      pulses(sheet.words, 0),
      pulsesNeeded(sheet.words, 1),
      tookAt(sheet.words, 0),
      sheet_(sheet) {
  if (sheet.calibration != 0) code.back() = sheet.calibration;
}

bool Pic14EpromChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= kVddMin && vdd <= kVddMax && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Pic14EpromChip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

bool Pic14EpromChip::MclrHigh(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  return mv >= kVihhMin && mv <= kVihhMax;
}

std::uint16_t Pic14EpromChip::ConfigRead() const {
  return static_cast<std::uint16_t>((config & sheet_.implemented) | (~sheet_.implemented & 0x3FFF));
}

std::uint16_t Pic14EpromChip::ReadWord() const {
  if (pc_ < kConfigSpace) return Protected() ? 0 : code[pc_ % code.size()];
  if (pc_ <= 0x2003) return ids[pc_ - 0x2000];
  if (pc_ == 0x2007) return ConfigRead();
  return 0x3FFF;
}

void Pic14EpromChip::EndPulse(Programmer& p) {
  pulsing_ = false;
  const double us = p.clockUs() - pulseStart_;
  if (us < kPulseUs) {
    ++shortPulses;
    return;
  }
  if (us > kMaxPulseUs) p.record.Hazard(Name() + ": programming pulse longer than 400 us");
  if (pc_ < kConfigSpace) {
    const std::uint32_t w = pc_ % code.size();
    const int n = ++pulses[w];
    const int limit = tookAt[w] > 0 ? 4 * tookAt[w] : kMaxTries;
    if (n > limit) p.record.Hazard(Name() + ": word pulsed past its overprogramming");
    if (n >= pulsesNeeded[w]) {
      if (tookAt[w] == 0) tookAt[w] = n;
      code[w] &= latch_;
    }
  } else if (pc_ <= 0x2003) {
    ids[pc_ - 0x2000] &= latch_;
  } else if (pc_ == 0x2007) {
    ++configPulses;
    config &= latch_;
  }
}

void Pic14EpromChip::Command(Programmer& p, std::uint8_t c) {
  const std::uint8_t op = c & 0x3F;
  if (pulsing_ && op != 0x0E) {
    p.record.ProtocolError(Name() + ": command during the programming pulse");
    pulsing_ = false;
  }
  switch (op) {
    case 0x00:
    case 0x02:
      phase_ = Phase::kDataIn;
      loading_ = true;
      if (op == 0x00) pc_ = kConfigSpace;
      break;
    case 0x04:
      phase_ = Phase::kDataOut;
      out_ = ReadWord();
      break;
    case 0x06:
      pc_ = static_cast<std::uint16_t>((pc_ + 1) & 0x3FFF);
      break;
    case 0x08:
      pulsing_ = true;
      pulseStart_ = p.clockUs();
      break;
    case 0x0E:
      if (pulsing_) EndPulse(p);
      break;
    default:
      break;
  }
}

void Pic14EpromChip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const bool mclr = MclrHigh(p);
  const int clock = Level(p, sheet_.clock);
  if (inMode && (!powered || !mclr)) {
    inMode = false;
    driving_ = false;
    pulsing_ = false;
  } else if (!inMode && powered && mclr && lastPowered_ && !lastMclr_ && clock == 0 &&
             Level(p, sheet_.data) == 0) {
    inMode = true;
    ++entries;
    pc_ = 0;
    phase_ = Phase::kCommand;
    count_ = 0;
    shift_ = 0;
    pulsing_ = false;
  }
  if (inMode && clock != lastClock_) {
    const bool rising = clock == 1;
    if (phase_ == Phase::kDataOut && rising) {
      ++count_;
      driving_ = count_ >= 2 && count_ <= 15;
      outBit_ = driving_ ? (out_ >> (count_ - 2)) & 1 : 0;
    } else if (!rising) {
      const auto bit = static_cast<std::uint32_t>(Level(p, sheet_.data));
      if (phase_ == Phase::kCommand) {
        shift_ |= bit << count_;
        if (++count_ == 6) {
          const auto c = static_cast<std::uint8_t>(shift_);
          count_ = 0;
          shift_ = 0;
          Command(p, c);
        }
      } else if (phase_ == Phase::kDataIn) {
        shift_ |= bit << count_;
        if (++count_ == 16) {
          if (loading_) latch_ = static_cast<std::uint16_t>((shift_ >> 1) & 0x3FFF);
          loading_ = false;
          phase_ = Phase::kCommand;
          count_ = 0;
          shift_ = 0;
        }
      } else if (count_ >= 16) {
        phase_ = Phase::kCommand;
        count_ = 0;
        driving_ = false;
      }
    }
  }
  lastClock_ = clock;
  lastPowered_ = powered;
  lastMclr_ = mclr;
}

int Pic14EpromChip::Drive(int pin) const {
  return driving_ && inMode && pin == sheet_.data ? outBit_ : -1;
}

std::string_view Pic14EpromPartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic14EpromSheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic14EpromChip> MakePic14Eprom(std::string_view part) {
  for (const Pic14EpromSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Pic14EpromChip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
