#include "sim/chips/Mdt10p.h"

#include <array>

namespace zelvar::sim {

namespace {
constexpr int kEntryMillivolts = 11500;
constexpr double kPulseUs = 1000;

struct Part {
  std::string_view name;
  int pins;
  int words;
  Mdt10pChip::Pins p;
};
//                                                  MCLR VDD VSS clock data
constexpr std::array<Part, 5> kParts = {{{"MDT10P73", 28, 4096, {1, 20, 8, 27, 28}},
                                         {"MDT10P74", 40, 4096, {1, 32, 31, 39, 40}},
                                         {"MDT10P43", 18, 512, {4, 14, 5, 12, 13}},
                                         {"MDT10P55", 14, 1024, {4, 1, 14, 12, 13}},
                                         {"MDT10P53", 8, 1024, {4, 1, 8, 6, 7}}}};

bool TakesData(int command) {
  return command == 2 || command == 6 || command == 10 || command == 18 || command == 22;
}
}  // namespace

Mdt10pChip::Mdt10pChip(std::string_view part, int pins, int words, Pins p)
    : code(static_cast<std::size_t>(words), 0x3FFF), part_(part), pins_(pins), pin_(p) {}

int Mdt10pChip::Input(const Programmer& p, int pin) const {
  const int mv = p.InputMillivolts(p.SocketPinOf(pin));
  if (mv < 0) return pin == pin_.data ? 1 : 0;  // the data pin's pull-up
  return mv >= 2000 ? 1 : 0;
}

bool Mdt10pChip::Powered(const Programmer& p) const {
  const int vdd = p.SupplyMillivolts(p.SocketPinOf(pin_.vdd));
  return vdd >= 4500 && vdd <= 5500 && p.IsGround(p.SocketPinOf(pin_.vss));
}

std::uint16_t* Mdt10pChip::Cell() {
  if (space_ == 1) return address_ == 0 ? &config : nullptr;
  if (address_ < 0 || address_ >= static_cast<int>(code.size())) return nullptr;
  return &code[static_cast<std::size_t>(address_)];
}

std::uint16_t Mdt10pChip::CellValue() const {
  const std::uint16_t* cell = const_cast<Mdt10pChip*>(this)->Cell();
  return cell ? *cell : 0x3FFF;
}

void Mdt10pChip::OnPins(Programmer& p) {
  const int clock = Input(p, pin_.clock);
  const bool high = p.InputMillivolts(p.SocketPinOf(pin_.mclr)) >= kEntryMillivolts;
  if (!Powered(p) || !high) {
    inMode_ = mclrHigh_ = false;
    outBit_ = -1;
    lastClock_ = clock;
    return;
  }
  if (!mclrHigh_) {
    mclrHigh_ = true;
    const bool held = p.InputMillivolts(p.SocketPinOf(pin_.clock)) == 0 &&
                      p.InputMillivolts(p.SocketPinOf(pin_.data)) == 0;
    inMode_ = held;
    if (held) {
      ++entries;
      phase_ = Phase::kCommand;
      bits_ = command_ = data_ = 0;
      space_ = latchedSpace_ = address_ = 0;
      pulsing_ = false;
    }
  }
  if (!inMode_) {
    lastClock_ = clock;
    return;
  }
  if (clock == 1 && lastClock_ == 0 && phase_ == Phase::kReadOut) {
    const int shift = command_ == 22 ? 7 : 0;
    outBit_ = bits_ == 0 ? 0 : (CellValue() >> (shift + bits_ - 1)) & 1;
  }
  if (clock == 0 && lastClock_ == 1) {
    const int bit = Input(p, pin_.data);
    switch (phase_) {
      case Phase::kReadOut:
        outBit_ = -1;
        if (++bits_ == 8) {
          phase_ = Phase::kCommand;
          bits_ = command_ = 0;
        }
        break;
      case Phase::kCommand:
        command_ = command_ << 1 | bit;
        if (++bits_ == 5) {
          bits_ = data_ = 0;
          if (command_ == 6 || command_ == 22) {
            phase_ = Phase::kReadOut;
          } else if (TakesData(command_)) {
            phase_ = Phase::kData;
          } else {
            Command(p, 0);
            command_ = 0;
          }
        }
        break;
      case Phase::kData:
        data_ |= bit << bits_;
        if (++bits_ == 8) {
          Command(p, data_);
          phase_ = Phase::kCommand;
          bits_ = command_ = 0;
        }
        break;
    }
  }
  lastClock_ = clock;
}

void Mdt10pChip::Command(const Programmer& p, int data) {
  switch (command_) {
    case 10:
      latchedSpace_ = data & 1;
      break;
    case 4:
      space_ = latchedSpace_;
      address_ = 0;
      break;
    case 20:
      ++address_;
      break;
    case 2:
      latch_ = static_cast<std::uint16_t>((latch_ & 0x3F80) | (data & 0x7F));
      break;
    case 18:
      latch_ = static_cast<std::uint16_t>((latch_ & 0x007F) | (data & 0x7F) << 7);
      break;
    case 12:
      pulsing_ = true;
      pulseStart_ = p.clockUs();
      break;
    case 28:
      if (!pulsing_) break;
      pulsing_ = false;
      if (p.clockUs() - pulseStart_ < kPulseUs) {
        ++shortPulses;
      } else if (std::uint16_t* cell = Cell()) {
        *cell &= latch_;
      }
      break;
    default:
      ++unknownCommands;
  }
}

int Mdt10pChip::Drive(int pin) const {
  if (!inMode_ || pin != pin_.data || outBit_ < 0) return -1;
  return outBit_;
}

std::string_view Mdt10pPartOf(std::string_view chipName) {
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos) return part.name;
  }
  return "";
}

std::shared_ptr<Mdt10pChip> MakeMdt10p(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Mdt10pChip>(p.name, p.pins, p.words, p.p);
  }
  return nullptr;
}

}  // namespace zelvar::sim
