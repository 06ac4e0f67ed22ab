#include "sim/chips/Pic16c5x.h"

namespace zelvar::sim {

namespace {

constexpr int kVihhMin = 12750, kVihhMax = 13250, kVddMin = 2500, kVddMax = 6250;
constexpr double kPulseUs = 100;

// 18-pin DIP (PIC16C54/56/58): RA2 1, RA3 2, T0CKI 3, MCLR 4, VSS 5, RB0-RB7 6-13, VDD 14,
// OSC2 15, OSC1 16, RA0 17, RA1 18. 28-pin DIP (PIC16C55/57): T0CKI 1, VDD 2, VSS 4, RA0-RA3
// 6-9, RB0-RB7 10-17, RC0-RC7 18-25, OSC2 26, OSC1 27, MCLR 28.
constexpr Pic16c5xSheet k18(std::string_view name, std::uint32_t words) {
  return {.name = name, .words = words};
}
constexpr Pic16c5xSheet k28(std::string_view name, std::uint32_t words) {
  return {.name = name,
          .pins = 28,
          .vdd = 2,
          .vss = 4,
          .mclr = 28,
          .t0cki = 1,
          .osc1 = 27,
          .data = {6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17},
          .words = words};
}
constexpr std::array kSheets = {k18("PIC16C54", 512), k28("PIC16C55", 512), k18("PIC16C56", 1024),
                                k28("PIC16C57", 2048), k18("PIC16C58", 2048)};

}  // namespace

Pic16c5xChip::Pic16c5xChip(const Pic16c5xSheet& sheet) : code(sheet.words, 0xFFF), sheet_(sheet) {}

bool Pic16c5xChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= kVddMin && vdd <= kVddMax && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Pic16c5xChip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

bool Pic16c5xChip::MclrHigh(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  return mv >= kVihhMin && mv <= kVihhMax;
}

std::uint16_t* Pic16c5xChip::Cell() {
  if (pc_ == kAtConfig) return &config;
  if (pc_ < sheet_.words) return &code[pc_];
  if (pc_ < sheet_.words + 4) return &ids[pc_ - sheet_.words];
  return nullptr;
}

std::uint16_t Pic16c5xChip::ReadWord() const {
  if (pc_ == kAtConfig) return ConfigRead();
  if (pc_ < sheet_.words) return (config & 0x8) == 0 ? 0 : code[pc_];
  if (pc_ < sheet_.words + 4) return ids[pc_ - sheet_.words];
  return 0xFFF;
}

void Pic16c5xChip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const bool mclr = MclrHigh(p);
  const int t0cki = Level(p, sheet_.t0cki);
  const int osc1 = Level(p, sheet_.osc1);
  if (inMode && (!powered || !mclr)) {
    inMode = false;
    driving_ = false;
  } else if (!inMode && powered && mclr && lastPowered_ && !lastMclr_) {
    if (t0cki == 0 && osc1 == 0) {
      inMode = true;
      ++entries;
      pc_ = kAtConfig;
      pulsed_ = false;
      armed_ = false;
    } else {
      p.record.ProtocolError(Name() + ": MCLR raised with T0CKI or OSC1 high");
    }
  }
  if (inMode) {
    if (t0cki == 0 && lastT0cki_ == 1) {
      latch_ = 0;
      for (std::size_t i = 0; i < sheet_.data.size(); ++i) {
        // A line nobody drives floats high.
        const int mv = p.InputMillivolts(p.SocketPinOf(sheet_.data[i]));
        if (mv < 0 || mv >= 2000) latch_ = static_cast<std::uint16_t>(latch_ | 1u << i);
      }
      pulseStart_ = p.clockUs();
      armed_ = true;
    } else if (t0cki == 1 && lastT0cki_ == 0 && armed_) {
      // A pulse whose falling edge came in the mode (the entry's own release is none).
      armed_ = false;
      pulsed_ = true;
      if (p.clockUs() - pulseStart_ >= kPulseUs) {
        ++pulses;
        // Only the implemented configuration bits take the latch.
        const std::uint16_t keep = pc_ == kAtConfig ? 0xFF0 : 0;
        if (std::uint16_t* cell = Cell())
          *cell = static_cast<std::uint16_t>(*cell & (latch_ | keep));
      } else if (latch_ != 0xFFF) {
        ++shortPulses;
      }
    }
    if (osc1 == 1 && lastOsc1_ == 0) {
      out_ = ReadWord();
    } else if (osc1 == 0 && lastOsc1_ == 1) {
      pc_ = pc_ == kAtConfig ? 0 : pc_ + 1;
    }
    driving_ = osc1 == 1 && t0cki == 1 && !pulsed_;
  }
  lastT0cki_ = t0cki;
  lastOsc1_ = osc1;
  lastPowered_ = powered;
  lastMclr_ = mclr;
}

int Pic16c5xChip::Drive(int pin) const {
  if (!driving_ || !inMode) return -1;
  for (std::size_t i = 0; i < sheet_.data.size(); ++i) {
    if (sheet_.data[i] == pin) return (out_ >> i) & 1;
  }
  return -1;
}

std::string_view Pic16c5xPartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic16c5xSheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic16c5xChip> MakePic16c5x(std::string_view part) {
  for (const Pic16c5xSheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Pic16c5xChip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
