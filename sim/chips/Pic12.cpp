#include "sim/chips/Pic12.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

constexpr int kVddMin = 2000, kVddMax = 5500;
constexpr double kEraseUs = 10000;

enum : std::uint8_t {
  kLoad = 0x2,
  kRead = 0x4,
  kIncrement = 0x6,
  kBegin = 0x8,
  kBulkErase = 0x9,
  kEnd = 0xE,
};

constexpr Pic12Sheet Otp8(std::string_view name, std::uint32_t words, std::uint16_t cal) {
  return {.name = name,
          .pins = 8,
          .vdd = 1,
          .vss = 8,
          .mclr = 4,
          .clock = 6,
          .data = 7,
          .words = words,
          .configBits = 0x01F,
          .calibration = cal,
          .otp = true,
          .programUs = 100,
          .vihhMin = 12000};
}

// PIC16F54: 18-pin DIP, RB6/RB7 on pins 12 and 13. PIC16F57: 28-pin DIP, VDD pin 2, VSS pin 4,
// MCLR pin 28, RB6/RB7 on pins 16 and 17.
constexpr std::array kSheets = {
    Pic12Sheet{.name = "PIC16F54"},
    Pic12Sheet{.name = "PIC16F57",
               .pins = 28,
               .vdd = 2,
               .vss = 4,
               .mclr = 28,
               .clock = 16,
               .data = 17,
               .words = 2048},
    // PIC12F508/509/510, 8-pin DIP: VDD 1, GP3/MCLR/VPP 4, GP1/ICSPCLK 6, GP0/ICSPDAT 7, VSS 8.
    // Configuration: FOSC1:FOSC0, WDTE, CP (bit 3), MCLRE; the PIC12F510 adds IOSCFS (bit 5).
    Pic12Sheet{.name = "PIC12F508",
               .pins = 8,
               .vdd = 1,
               .vss = 8,
               .mclr = 4,
               .clock = 6,
               .data = 7,
               .words = 512,
               .configBits = 0x01F,
               .calibration = 0xC1A,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    Pic12Sheet{.name = "PIC12F509",
               .pins = 8,
               .vdd = 1,
               .vss = 8,
               .mclr = 4,
               .clock = 6,
               .data = 7,
               .words = 1024,
               .configBits = 0x01F,
               .calibration = 0xC26,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    Pic12Sheet{.name = "PIC12F510",
               .pins = 8,
               .vdd = 1,
               .vss = 8,
               .mclr = 4,
               .clock = 6,
               .data = 7,
               .words = 1024,
               .configBits = 0x03F,
               .calibration = 0xC32,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    // PIC16F505/506, 14-pin DIP: VDD 1, RB3/MCLR/VPP 4, RB1/ICSPCLK 12, RB0/ICSPDAT 13, VSS 14.
    // Configuration: FOSC2:FOSC0, WDTE, CP (bit 4), MCLRE; the PIC16F506 adds IOSCFS (bit 6).
    Pic12Sheet{.name = "PIC16F505",
               .pins = 14,
               .vdd = 1,
               .vss = 14,
               .mclr = 4,
               .clock = 12,
               .data = 13,
               .words = 1024,
               .configBits = 0x03F,
               .protectBits = 0x010,
               .calibration = 0xC44,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    Pic12Sheet{.name = "PIC16F506",
               .pins = 14,
               .vdd = 1,
               .vss = 14,
               .mclr = 4,
               .clock = 12,
               .data = 13,
               .words = 1024,
               .configBits = 0x07F,
               .protectBits = 0x010,
               .calibration = 0xC50,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    // PIC10F200/204/206, 8-pin DIP: VDD 2, GP1/ICSPCLK 4, GP0/ICSPDAT 5, VSS 7, GP3/MCLR/VPP 8.
    // Configuration: WDTE (bit 2), CP (bit 3), MCLRE (bit 4).
    Pic12Sheet{.name = "PIC10F200",
               .pins = 8,
               .vdd = 2,
               .vss = 7,
               .mclr = 8,
               .clock = 4,
               .data = 5,
               .words = 256,
               .configBits = 0x01C,
               .calibration = 0xC08,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    Pic12Sheet{.name = "PIC10F204",
               .pins = 8,
               .vdd = 2,
               .vss = 7,
               .mclr = 8,
               .clock = 4,
               .data = 5,
               .words = 256,
               .configBits = 0x01C,
               .calibration = 0xC0E,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    Pic12Sheet{.name = "PIC10F206",
               .pins = 8,
               .vdd = 2,
               .vss = 7,
               .mclr = 8,
               .clock = 4,
               .data = 5,
               .words = 512,
               .configBits = 0x01C,
               .calibration = 0xC14,
               .backupCalibration = true,
               .vihhAboveVdd = 4500},
    // PIC16C505, 14-pin DIP (pinout as the PIC16F505), one-time programmable: 100 us programming
    // pulses, all twelve configuration bits (FOSC2:FOSC0, WDTE bit 3, CP bits 4 and 6-11, MCLRE
    // bit 5), the factory calibration MOVLW in word 0x3FF.
    Pic12Sheet{.name = "PIC16C505",
               .pins = 14,
               .vdd = 1,
               .vss = 14,
               .mclr = 4,
               .clock = 12,
               .data = 13,
               .words = 1024,
               .configBits = 0xFFF,
               .protectBits = 0xFD0,
               .calibration = 0xC5C,
               .otp = true,
               .programUs = 100,
               .vihhMin = 12000},
    // PIC12C508/508A/509/509A and PIC12CE518/519 (the CE parts' data EEPROM is the firmware's,
    // outside the programming mode), 8-pin DIP as the PIC12F508: one-time programmable, 100 us
    // programming pulses, FOSC1:FOSC0, WDTE, CP (bit 3), MCLRE (bit 4), the factory calibration
    // MOVLW in the last word.
    Otp8("PIC12C508", 512, 0xC3E),
    Otp8("PIC12C508A", 512, 0xC42),
    Otp8("PIC12C509", 1024, 0xC56),
    Otp8("PIC12C509A", 1024, 0xC5A),
    Otp8("PIC12CE518", 512, 0xC48),
    Otp8("PIC12CE519", 1024, 0xC60),
};

}  // namespace

Pic12Chip::Pic12Chip(const Pic12Sheet& sheet) : code(sheet.words, 0xFFF), sheet_(sheet) {
  if (sheet.calibration != 0) code.back() = sheet.calibration;
  if (sheet.backupCalibration) backup = sheet.calibration;
}

bool Pic12Chip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= kVddMin && vdd <= kVddMax && p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Pic12Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

bool Pic12Chip::MclrHigh(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  const int low = sheet_.vihhAboveVdd != 0 ? vdd + sheet_.vihhAboveVdd : sheet_.vihhMin;
  return mv >= low && mv <= sheet_.vihhMax;
}

std::uint16_t* Pic12Chip::Cell() {
  if (pc_ == kAtConfig) return &config;
  if (pc_ < sheet_.words) return &code[pc_];
  if (pc_ < sheet_.words + 4) return &ids[pc_ - sheet_.words];
  if (pc_ == sheet_.words + 4 && sheet_.backupCalibration) return &backup;
  return nullptr;
}

std::uint16_t Pic12Chip::ReadWord() const {
  if (pc_ == kAtConfig) return ConfigRead();
  if (pc_ < sheet_.words) {
    const bool calibration = sheet_.calibration != 0 && pc_ + 1 == sheet_.words;
    return Protected() && !calibration ? 0 : code[pc_];
  }
  if (pc_ < sheet_.words + 4) return ids[pc_ - sheet_.words];
  if (pc_ == sheet_.words + 4 && sheet_.backupCalibration) return backup;
  return 0xFFF;
}

// Ends a running erase whose time is up; `leaving`: the mode ends, a cut erase erases nothing.
void Pic12Chip::Finish(Programmer& p, bool leaving) {
  if (work_ == Work::kProgram && leaving) {
    p.record.ProtocolError(Name() + ": mode left during the programming cycle");
    work_ = Work::kNone;
  }
  if (work_ != Work::kErase) return;
  if (p.clockUs() - workStart_ < kEraseUs) {
    if (leaving) work_ = Work::kNone;
    return;
  }
  ++erases;
  if (erasePc_ == kAtConfig) {
    std::fill(code.begin(), code.end(), 0xFFF);
    config = 0xFFF;
  } else if (erasePc_ < sheet_.words) {
    std::fill(code.begin(), code.end(), 0xFFF);
  } else if (erasePc_ < sheet_.words + 5) {
    ids.fill(0xFFF);
    backup = 0xFFF;
  }
  work_ = Work::kNone;
}

void Pic12Chip::Command(Programmer& p, std::uint8_t c) {
  Finish(p, false);
  if (work_ == Work::kErase) {
    // Ignored while the erase runs; a data field still goes by.
    loading_ = false;
    out_ = 0;
    if (c == kLoad) phase_ = Phase::kDataIn;
    if (c == kRead) phase_ = Phase::kDataOut;
    return;
  }
  if (work_ == Work::kProgram) {
    if (c == kEnd) lastPulseUs = p.clockUs() - workStart_;
    if (c == kEnd && p.clockUs() - workStart_ >= sheet_.programUs) {
      // Only implemented configuration bits take the latch.
      const auto keep = pc_ == kAtConfig ? static_cast<std::uint16_t>(~sheet_.configBits) : 0;
      if (std::uint16_t* cell = Cell()) *cell = static_cast<std::uint16_t>(*cell & (latch_ | keep));
    } else if (c != kEnd) {
      p.record.ProtocolError(Name() + ": command during the programming cycle");
    }
    work_ = Work::kNone;
    return;
  }
  switch (c) {
    case kLoad:
      phase_ = Phase::kDataIn;
      loading_ = true;
      break;
    case kRead:
      out_ = ReadWord();
      phase_ = Phase::kDataOut;
      break;
    case kIncrement:
      pc_ = pc_ == kAtConfig || pc_ + 1 >= 2 * sheet_.words ? 0 : pc_ + 1;
      break;
    case kBegin:
      work_ = Work::kProgram;
      workStart_ = p.clockUs();
      break;
    case kBulkErase:
      if (sheet_.otp) break;
      work_ = Work::kErase;
      workStart_ = p.clockUs();
      erasePc_ = pc_;
      break;
    default:
      break;
  }
}

void Pic12Chip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const bool mclr = MclrHigh(p);
  const int clock = Level(p, sheet_.clock);
  if (inMode && (!powered || !mclr)) {
    Finish(p, true);
    inMode = false;
    driving_ = false;
  } else if (!inMode && powered && mclr && lastPowered_ && !lastMclr_ && clock == 0 &&
             Level(p, sheet_.data) == 0) {
    inMode = true;
    ++entries;
    pc_ = kAtConfig;
    phase_ = Phase::kCommand;
    count_ = 0;
    shift_ = 0;
    work_ = Work::kNone;
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
          const auto c = static_cast<std::uint8_t>(shift_ & 0x0F);
          count_ = 0;
          shift_ = 0;
          Command(p, c);
        }
      } else if (phase_ == Phase::kDataIn) {
        shift_ |= bit << count_;
        if (++count_ == 16) {
          if (loading_) latch_ = static_cast<std::uint16_t>((shift_ >> 1) & 0xFFF);
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

int Pic12Chip::Drive(int pin) const {
  return driving_ && inMode && pin == sheet_.data ? outBit_ : -1;
}

std::string_view Pic12PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic12Sheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic12Chip> MakePic12(std::string_view part) {
  for (const Pic12Sheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Pic12Chip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
