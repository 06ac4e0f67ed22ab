#include "sim/chips/Pic14.h"

#include <algorithm>

namespace zelvar::sim {

namespace {

using F = Pic14Family;

struct Rules {
  bool vppFirst = false;
  int vddMin = 4500;
  double programUs = 4000, eraseUs = 8000;
  bool hasData = true;
  std::uint16_t implemented = 0x3FFF;  // configuration bits the part has
  std::uint16_t cp = 0, cpd = 0;       // code and data protection bits (protected at 0)
};

constexpr Rules RulesOf(F f) {
  switch (f) {
    case F::kF87x:
      return {.implemented = 0x3BFF, .cp = 0x3030, .cpd = 0x0100};
    case F::kF87xA:
      // Bits 4, 5 and 12 are unimplemented; CP is bit 13 alone.
      return {.programUs = 1000, .implemented = 0x2FCF, .cp = 0x2000, .cpd = 0x0100};
    case F::kF7x:
      return {.programUs = 1000,
              .eraseUs = 30000,
              .hasData = false,
              .implemented = 0x005F,
              .cp = 0x0010};
    case F::kF62xA:
      return {.vppFirst = true,
              .vddMin = 2000,
              .programUs = 2500,
              .implemented = 0x21FF,
              .cp = 0x2000,
              .cpd = 0x0100};
    case F::kF630:
      return {.vppFirst = true,
              .vddMin = 2000,
              .programUs = 2500,
              .implemented = 0x31FF,
              .cp = 0x0080,
              .cpd = 0x0100};
    case F::kF88x:
      return {.vppFirst = true,
              .vddMin = 2000,
              .programUs = 2000,
              .implemented = 0x3FFF,
              .cp = 0x0040,
              .cpd = 0x0080};
  }
  return {};
}

constexpr int kVihhMin = 12000, kVihhMax = 13500;
constexpr double kDataUs = 6000;
// The factory calibration of the PIC16F630/676 and PIC12F629/675 models: a RETLW of the
// oscillator value at the last word, band-gap bits 10 in the configuration word.
constexpr std::uint16_t kOscCal = 0x3480, kBandGap = 0x2000;

constexpr Pic14Sheet Dip40(std::string_view name, F f, std::uint32_t words, std::uint32_t ee,
                           std::uint16_t id) {
  return {.name = name, .family = f, .words = words, .eeprom = ee, .deviceId = id};
}
constexpr Pic14Sheet Dip28(std::string_view name, F f, std::uint32_t words, std::uint32_t ee,
                           std::uint16_t id) {
  return {.name = name,
          .family = f,
          .pins = 28,
          .vdd = 20,
          .vss = 19,
          .mclr = 1,
          .clock = 27,
          .data = 28,
          .words = words,
          .eeprom = ee,
          .deviceId = id};
}
constexpr Pic14Sheet Dip18(std::string_view name, std::uint32_t words, std::uint32_t ee,
                           std::uint16_t id) {
  return {.name = name,
          .family = F::kF62xA,
          .pins = 18,
          .vdd = 14,
          .vss = 5,
          .mclr = 4,
          .clock = 12,
          .data = 13,
          .words = words,
          .eeprom = ee,
          .deviceId = id};
}
constexpr Pic14Sheet Small(std::string_view name, int pins, std::uint16_t id) {
  return {.name = name,
          .family = F::kF630,
          .pins = pins,
          .vdd = 1,
          .vss = pins,
          .mclr = 4,
          .clock = pins == 8 ? 6 : 12,
          .data = pins == 8 ? 7 : 13,
          .words = 1024,
          .eeprom = 128,
          .deviceId = id};
}

// Device IDs with revision 3 in the low bits.
constexpr std::array kSheets = {
    Dip28("PIC16F870", F::kF87x, 2048, 64, 0x0D03),
    Dip40("PIC16F871", F::kF87x, 2048, 64, 0x0D23),
    Dip28("PIC16F872", F::kF87x, 2048, 64, 0x08E3),
    Dip28("PIC16F873", F::kF87x, 4096, 128, 0x0963),
    Dip40("PIC16F874", F::kF87x, 4096, 128, 0x0923),
    Dip28("PIC16F876", F::kF87x, 8192, 256, 0x09E3),
    Dip40("PIC16F877", F::kF87x, 8192, 256, 0x09A3),
    Dip28("PIC16F873A", F::kF87xA, 4096, 128, 0x0E43),
    Dip40("PIC16F874A", F::kF87xA, 4096, 128, 0x0E63),
    Dip28("PIC16F876A", F::kF87xA, 8192, 256, 0x0E03),
    Dip40("PIC16F877A", F::kF87xA, 8192, 256, 0x0E23),
    Dip28("PIC16F72", F::kF7x, 2048, 0, 0x00A3),
    Dip28("PIC16F73", F::kF7x, 4096, 0, 0x0603),
    Dip40("PIC16F74", F::kF7x, 4096, 0, 0x0623),
    Dip28("PIC16F76", F::kF7x, 8192, 0, 0x0643),
    Dip40("PIC16F77", F::kF7x, 8192, 0, 0x0663),
    Dip18("PIC16F627A", 1024, 128, 0x1043),
    Dip18("PIC16F628A", 2048, 128, 0x1063),
    Dip18("PIC16F648A", 4096, 256, 0x1103),
    Small("PIC16F630", 14, 0x10C3),
    Small("PIC16F676", 14, 0x10E3),
    Small("PIC12F629", 8, 0x0F83),
    Small("PIC12F675", 8, 0x0FC3),
    Dip28("PIC16F882", F::kF88x, 2048, 128, 0x2003),
    Dip28("PIC16F883", F::kF88x, 4096, 256, 0x2023),
    Dip40("PIC16F884", F::kF88x, 4096, 256, 0x2043),
    Dip28("PIC16F886", F::kF88x, 8192, 256, 0x2063),
    Dip40("PIC16F887", F::kF88x, 8192, 256, 0x2083),
};

}  // namespace

Pic14Chip::Pic14Chip(const Pic14Sheet& sheet)
    : code(sheet.words, 0x3FFF), data(sheet.eeprom, 0xFF), sheet_(sheet) {
  if (HasCalibration()) {
    code.back() = kOscCal;
    config = static_cast<std::uint16_t>(0x0FFF | kBandGap);
  }
  if (sheet_.family == F::kF88x) calibration = 0x2A55;
}

bool Pic14Chip::TakesHighVoltageUnpowered(int pin) const {
  return pin == sheet_.mclr && RulesOf(sheet_.family).vppFirst;
}

bool Pic14Chip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(sheet_.vdd));
  return vdd >= RulesOf(sheet_.family).vddMin && vdd <= 5500 &&
         p.IsGround(p.SocketPinOf(sheet_.vss));
}

int Pic14Chip::Level(const Programmer& p, int chipPin) const {
  return p.InputMillivolts(p.SocketPinOf(chipPin)) >= 2000 ? 1 : 0;
}

int Pic14Chip::Mclr(const Programmer& p) const {
  const int mv = p.SupplyMillivolts(p.SocketPinOf(sheet_.mclr));
  return mv >= kVihhMin && mv <= kVihhMax ? 1 : 0;
}

std::uint16_t Pic14Chip::ConfigRead() const {
  const std::uint16_t impl = RulesOf(sheet_.family).implemented;
  return static_cast<std::uint16_t>((config & impl) | (~impl & 0x3FFF));
}

Pic14Chip::Op Pic14Chip::Decode(std::uint8_t command) const {
  const std::uint8_t c = command & 0x3F, low = command & 0x0F;
  const F f = sheet_.family;
  if (f == F::kF87xA) {
    if (c == 0x08) return Op::kBeginEraseProgram;
    if (c == 0x18) return Op::kBeginExternal;
    if (c == 0x17) return Op::kEndProgram;
    if (c == 0x1F) return Op::kChipErase;
  } else if (f == F::kF87x) {
    if (c == 0x08) return Op::kBeginEraseProgram;
    if (c == 0x18) return Op::kBeginProgramOnly;
    if (c == 0x01) return Op::kBulkSetup1;
    if (c == 0x07) return Op::kBulkSetup2;
  } else {
    if (low == 0x09) return Op::kBulkEraseProgram;
    if (low == 0x0B && RulesOf(f).hasData) return Op::kBulkEraseData;
    if (f == F::kF7x && low == 0x08) return Op::kBeginExternal;
    if (f == F::kF7x && low == 0x0E) return Op::kEndProgram;
    if (f == F::kF88x && c == 0x18) return Op::kBeginExternal;
    if (f == F::kF88x && low == 0x0A) return Op::kEndProgram;
    if (low == 0x08) return Op::kBeginProgramOnly;
  }
  switch (low) {
    case 0x0:
      return Op::kLoadConfig;
    case 0x2:
      return Op::kLoadProgram;
    case 0x3:
      return RulesOf(f).hasData ? Op::kLoadData : Op::kNone;
    case 0x4:
      return Op::kReadProgram;
    case 0x5:
      return RulesOf(f).hasData ? Op::kReadData : Op::kNone;
    case 0x6:
      return Op::kIncrement;
    default:
      return Op::kNone;
  }
}

std::uint16_t* Pic14Chip::Cell() {
  if (pc_ < kConfigSpace) return &code[pc_ % code.size()];
  switch (pc_) {
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
      return &ids[pc_ - 0x2000];
    case 0x2007:
      return &config;
    case 0x2008:
      return sheet_.family == F::kF88x ? &config2 : nullptr;
    default:
      return nullptr;
  }
}

std::uint16_t Pic14Chip::ReadWord() const {
  const Rules r = RulesOf(sheet_.family);
  if (pc_ < kConfigSpace) {
    if ((config & r.cp) != r.cp) return 0;
    return code[pc_ % code.size()];
  }
  switch (pc_) {
    case 0x2000:
    case 0x2001:
    case 0x2002:
    case 0x2003:
      return ids[pc_ - 0x2000];
    case 0x2006:
      return sheet_.deviceId;
    case 0x2007:
      return ConfigRead();
    case 0x2008:
      return sheet_.family == F::kF88x ? config2 : 0x3FFF;
    case 0x2009:
      return sheet_.family == F::kF88x ? calibration : 0x3FFF;
    default:
      return 0x3FFF;
  }
}

void Pic14Chip::EraseByRule() {
  ++erases;
  if (eraseKind_ == 1) {
    std::fill(data.begin(), data.end(), 0xFF);
    return;
  }
  std::fill(code.begin(), code.end(), 0x3FFF);
  if (eraseKind_ >= 3) std::fill(data.begin(), data.end(), 0xFF);
  if (eraseKind_ == 2 || eraseKind_ == 4) {
    ids.fill(0x3FFF);
    config = config2 = 0x3FFF;
    if (sheet_.family == F::kF87x) std::fill(data.begin(), data.end(), 0xFF);
  }
}

void Pic14Chip::Commit() {
  if (work_ == Work::kErase) {
    EraseByRule();
    return;
  }
  if (workData_) {
    if (!data.empty()) data[pc_ % data.size()] = static_cast<std::uint8_t>(latch_);
    return;
  }
  std::uint16_t* cell = Cell();
  if (!cell) return;
  *cell = work_ == Work::kEraseProgram ? latch_ : static_cast<std::uint16_t>(*cell & latch_);
}

// Ends the running cycle when its time is up; `leaving`: the mode ends with it.
void Pic14Chip::Finish(Programmer& p, bool leaving) {
  if (work_ == Work::kNone || work_ == Work::kExternal) {
    if (leaving) work_ = Work::kNone;
    return;
  }
  const bool done = p.clockUs() - workStart_ >= workUs_;
  if (done) {
    Commit();
  } else if (work_ != Work::kErase) {
    p.record.ProtocolError(Name() + ": command during the programming cycle");
  } else if (!leaving) {
    return;  // the erase runs on; the chip ignores the command
  }
  work_ = Work::kNone;
}

void Pic14Chip::Run(Programmer& p, Op op) {
  const Rules r = RulesOf(sheet_.family);
  const auto start = [&](Work w, double us) {
    work_ = w;
    workStart_ = p.clockUs();
    workUs_ = us;
  };
  if (op != Op::kBulkSetup1 && op != Op::kBulkSetup2 && op != Op::kBeginEraseProgram) bulkStep_ = 0;
  switch (op) {
    case Op::kIncrement:
      pc_ = static_cast<std::uint16_t>((pc_ + 1) & 0x3FFF);
      break;
    case Op::kReadProgram:
      out_ = ReadWord();
      break;
    case Op::kReadData:
      out_ = data.empty() || (config & r.cpd) != r.cpd ? 0 : data[pc_ % data.size()];
      break;
    case Op::kBeginProgramOnly:
    case Op::kBeginEraseProgram:
      if (op == Op::kBeginEraseProgram && bulkStep_ == 2) {
        eraseKind_ = lastLoadData_ ? 1 : pc_ == 0x2007 ? 2 : 0;
        start(Work::kErase, r.eraseUs);
        bulkStep_ = 0;
        break;
      }
      workData_ = lastLoadData_;
      start(op == Op::kBeginEraseProgram ? Work::kEraseProgram : Work::kProgram,
            workData_ ? kDataUs : r.programUs);
      break;
    case Op::kBeginExternal:
      workData_ = lastLoadData_;
      start(Work::kExternal, workData_ ? kDataUs : r.programUs);
      break;
    case Op::kEndProgram:
      if (work_ == Work::kExternal && p.clockUs() - workStart_ >= workUs_) {
        work_ = Work::kProgram;
        Commit();
      }
      work_ = Work::kNone;
      break;
    case Op::kBulkSetup1:
      bulkStep_ = 1;
      break;
    case Op::kBulkSetup2:
      bulkStep_ = bulkStep_ == 1 ? 2 : 0;
      break;
    case Op::kBulkEraseProgram:
      eraseKind_ = pc_ >= kConfigSpace ? 2 : 0;
      start(Work::kErase, r.eraseUs);
      break;
    case Op::kChipErase:
      eraseKind_ = pc_ >= kConfigSpace ? 4 : 3;
      start(Work::kErase, r.eraseUs);
      break;
    case Op::kBulkEraseData:
      eraseKind_ = 1;
      start(Work::kErase, r.eraseUs);
      break;
    default:
      break;
  }
}

void Pic14Chip::OnPins(Programmer& p) {
  const bool powered = Powered(p);
  const int mclr = Mclr(p);
  const int clock = Level(p, sheet_.clock);
  const bool vppFirst = RulesOf(sheet_.family).vppFirst;
  if (inMode && (!powered || !mclr)) {
    Finish(p, true);
    inMode = false;
    driving_ = false;
  } else if (!inMode && powered && mclr && Level(p, sheet_.data) == 0 && clock == 0) {
    // VDD first: MCLR rises on a powered chip. VPP first: VDD rises under a high MCLR.
    const bool entered = vppFirst ? !lastPowered_ && lastMclrHigh_ : lastPowered_ && !lastMclrHigh_;
    if (entered) {
      inMode = true;
      ++entries;
      pc_ = 0;
      phase_ = Phase::kCommand;
      count_ = 0;
      shift_ = 0;
      bulkStep_ = 0;
      lastLoadData_ = false;
    }
  }
  if (inMode && clock != lastClock_) {
    const bool rising = clock == 1;
    if (phase_ == Phase::kDataOut && rising) {
      ++count_;
      driving_ = count_ >= 2 && count_ <= 15;
      outBit_ = driving_ ? (out_ >> (count_ - 2)) & 1 : 0;
    } else if (!rising) {
      const std::uint32_t bit = static_cast<std::uint32_t>(Level(p, sheet_.data));
      if (phase_ == Phase::kCommand) {
        shift_ |= bit << count_;
        if (++count_ == 6) {
          const Op op = Decode(static_cast<std::uint8_t>(shift_));
          count_ = 0;
          shift_ = 0;
          Finish(p, false);
          const bool busy = work_ == Work::kErase;
          if (op == Op::kLoadConfig || op == Op::kLoadProgram || op == Op::kLoadData) {
            phase_ = Phase::kDataIn;
            pendingLoad_ = busy ? Op::kNone : op;
          } else if (op == Op::kReadProgram || op == Op::kReadData) {
            phase_ = Phase::kDataOut;
            if (!busy) Run(p, op);
          } else if (!busy) {
            Run(p, op);
          }
        }
      } else if (phase_ == Phase::kDataIn) {
        shift_ |= bit << count_;
        if (++count_ == 16) {
          const auto word = static_cast<std::uint16_t>((shift_ >> 1) & 0x3FFF);
          if (pendingLoad_ != Op::kNone) {
            latch_ = word;
            lastLoadData_ = pendingLoad_ == Op::kLoadData;
            if (pendingLoad_ == Op::kLoadConfig) pc_ = kConfigSpace;
          }
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
  lastMclrHigh_ = Mclr(p);
}

int Pic14Chip::Drive(int pin) const {
  return driving_ && inMode && pin == sheet_.data ? outBit_ : -1;
}

std::string_view Pic14PartOf(std::string_view chipName) {
  std::string_view best;
  for (const Pic14Sheet& s : kSheets) {
    if (chipName.find(s.name) != std::string_view::npos && s.name.size() > best.size())
      best = s.name;
  }
  return best;
}

std::shared_ptr<Pic14Chip> MakePic14(std::string_view part) {
  for (const Pic14Sheet& s : kSheets) {
    if (s.name == part) return std::make_shared<Pic14Chip>(s);
  }
  return nullptr;
}

}  // namespace zelvar::sim
