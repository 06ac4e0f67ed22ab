#include "sim/chips/Cr80p.h"

namespace zelvar::sim {

namespace {
constexpr double kPulseUs = 80;
struct Part {
  std::string_view name;
  int pins, words;
  bool reserved;
};
constexpr Part kParts[] = {
    {"CR80P100", 18, 1024, false}, {"CR80P110", 18, 1024, true}, {"CR80P200", 28, 2048, false}};
constexpr std::uint16_t kBlank = 0x3FFF;
}  // namespace

Cr80pChip::Cr80pChip(std::string_view name, int pins, int words, bool reservedWords)
    : LineChip(name, pins, pins == 18 ? 14 : 2, pins == 18 ? 5 : 4, pins == 18 ? 3 : 1, 2700, 5500),
      code(static_cast<std::size_t>(words), 0x3FFF),
      reserved_(reservedWords) {
  id.fill(0x3FFF);
  option.fill(0x3FFF);
}

int Cr80pChip::Pin(Role r) const {
  //                                    S2  S3  S4 S5  clock bus
  static constexpr int k18[] = {13, 17, 1, 15, 16, 6};
  static constexpr int k28[] = {26, 6, 7, 18, 25, 10};
  return (pins_ == 18 ? k18 : k28)[r];
}

std::uint16_t* Cr80pChip::Cell() {
  const int first = reserved_ ? 2 : 5;
  if (edges_ < first) return nullptr;
  const int word = (edges_ - first) / 4;
  switch (space_) {
    case 0: {
      const int at = reserved_ ? word - 2 : word;
      if (at < 0 || at >= static_cast<int>(code.size())) return nullptr;
      return &code[static_cast<std::size_t>(at)];
    }
    case 1:
      return word < 8 ? &id[static_cast<std::size_t>(word)] : nullptr;
    case 2:
      return word < 8 ? &option[static_cast<std::size_t>(word)] : nullptr;
    case 5:
      return word == 0 ? &security : nullptr;
    default:
      return nullptr;
  }
}

void Cr80pChip::OnPins(Programmer& p) {
  int now[5];
  for (int r = 0; r < 5; ++r) now[r] = In(p, Pin(static_cast<Role>(r)));
  const bool high = Powered(p) && HighVoltage(p);
  if (!high) {
    inMode_ = output_ = false;
  } else if (!inMode_) {
    if (now[kS2] == 1) {
      inMode_ = true;
      space_ = 0;
      for (int i = 0; i < 3; ++i) space_ |= In(p, Pin(kBus) + i) << i;
      edges_ = 0;
      pulsed_ = false;
    }
  } else {
    if (now[kClock] == 1 && last_[kClock] == 0) ++edges_;
    if (now[kS4] == 1 && last_[kS4] == 0) pulsed_ = false;
    if (now[kS4] == 1 && now[kS5] == 0 && last_[kS5] == 1) pulseStart_ = p.clockUs();
    if (now[kS4] == 1 && now[kS5] == 1 && last_[kS5] == 0) {
      pulsed_ = true;
      output_ = false;
      if (p.clockUs() - pulseStart_ < kPulseUs) {
        ++shortPulses;
      } else if (std::uint16_t* cell = Cell()) {
        std::uint16_t bits = 0;
        for (int i = 0; i < 7; ++i) bits |= static_cast<std::uint16_t>(In(p, Pin(kBus) + i) << i);
        const bool upper = now[kS3] == 1;
        *cell &= static_cast<std::uint16_t>(upper ? (bits << 7 | 0x7F) : (bits | 0x3F80));
      }
    }
    if (now[kS4] == 0 && last_[kS4] == 1 && !pulsed_) output_ = true;
  }
  for (int r = 0; r < 5; ++r) last_[r] = now[r];
}

int Cr80pChip::Drive(int pin) const {
  if (!inMode_ || !output_ || pin < Pin(kBus) || pin >= Pin(kBus) + 7) return -1;
  const std::uint16_t* cell = const_cast<Cr80pChip*>(this)->Cell();
  const std::uint16_t w = cell ? *cell : kBlank;
  return ((last_[kS3] == 1 ? w >> 7 : w) >> (pin - Pin(kBus))) & 1;
}

std::string_view Cr80pPartOf(std::string_view chipName) {
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos) return part.name;
  }
  return "";
}

std::shared_ptr<Cr80pChip> MakeCr80p(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name == part) return std::make_shared<Cr80pChip>(p.name, p.pins, p.words, p.reserved);
  }
  return nullptr;
}

}  // namespace zelvar::sim
