#include "sim/chips/Ht48Otp.h"

namespace zelvar::sim {

namespace {
constexpr int kVss = 8, kVpp = 11, kVdd = 12, kClock = 13, kDir = 17;
constexpr double kProgramUs = 400;
// PA0 on chip pin 4 down to PA3 on pin 1.
constexpr int DataPin(int bit) {
  return 4 - bit;
}
struct Part {
  std::string_view name;
  int words;
};
constexpr Part kParts[] = {{"HT48R05A-1", 512}, {"HT48R06A-1", 1024}};
}  // namespace

Ht48OtpChip::Ht48OtpChip(std::string_view name, int words)
    : LineChip(name, 18, kVdd, kVss, kVpp, 2200, 5500), code(static_cast<std::size_t>(words), 0) {}

std::uint16_t* Ht48OtpChip::Cell() {
  if (space_ == 0 && address_ < static_cast<int>(code.size()))
    return &code[static_cast<std::size_t>(address_)];
  if (space_ == 2 && address_ < static_cast<int>(option.size()))
    return &option[static_cast<std::size_t>(address_)];
  return nullptr;
}

void Ht48OtpChip::OnPins(Programmer& p) {
  const int clock = In(p, kClock), dir = In(p, kDir);
  if (!Powered(p) || !HighVoltage(p)) {
    inMode_ = false;
    out_ = -1;
    lastClock_ = clock;
    return;
  }
  if (!inMode_) {
    inMode_ = true;
    nibblesIn_ = nibblesOut_ = 0;
    addressed_ = false;
    value_ = 0;
  }
  const bool falling = clock == 0 && lastClock_ == 1, rising = clock == 1 && lastClock_ == 0;
  if (falling) lowSince_ = p.clockUs();
  if (dir == 0) {
    out_ = -1;
    if (falling) {
      int nibble = 0;
      for (int b = 0; b < 4; ++b) nibble |= In(p, DataPin(b)) << b;
      const int k = nibblesIn_++;
      if (k < 4) {
        value_ |= static_cast<std::uint32_t>(nibble) << (4 * k);
        if (k == 3) {
          address_ = static_cast<int>(value_ & 0x3FFF);
          space_ = static_cast<int>(value_ >> 14);
          addressed_ = true;
          nibblesOut_ = 0;
        }
      } else {
        const int n = (k - 4) % 4;
        if (n == 0) word_ = 0;
        word_ = static_cast<std::uint16_t>(word_ | nibble << (4 * n));
      }
    }
    if (rising && nibblesIn_ > 4 && (nibblesIn_ - 4) % 4 == 0) {
      if (p.clockUs() - lowSince_ < kProgramUs) {
        ++shortPulses;
      } else if (std::uint16_t* cell = Cell()) {
        *cell = static_cast<std::uint16_t>((*cell | word_) & 0x3FFF);
      }
    }
  } else {
    if (falling) {
      if (!addressed_) {
        out_ = kId >> (nibblesOut_ & 7) & 1;
      } else {
        const std::uint16_t* cell = Cell();
        out_ = cell ? *cell >> (4 * (nibblesOut_ % 4)) & 0xF : 0;
      }
    }
    if (rising) {
      out_ = -1;
      if (++nibblesOut_ % 4 == 0 && addressed_) ++address_;
    }
  }
  lastClock_ = clock;
}

int Ht48OtpChip::Drive(int pin) const {
  if (out_ < 0 || pin < 1 || pin > 4) return -1;
  const int bit = 4 - pin;
  if (!addressed_) return bit == 0 ? out_ : -1;
  return out_ >> bit & 1;
}

std::string_view Ht48OtpPartOf(std::string_view chipName) {
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos) return part.name;
  }
  return "";
}

std::shared_ptr<Ht48OtpChip> MakeHt48Otp(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Ht48OtpChip>(p.name, p.words);
  }
  return nullptr;
}

}  // namespace zelvar::sim
