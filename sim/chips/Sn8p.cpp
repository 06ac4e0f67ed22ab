#include "sim/chips/Sn8p.h"

#include <array>

namespace zelvar::sim {

namespace {
constexpr double kPulseUs = 300;
// SN8P1602 pins.
constexpr int kProgram = 1, kLatch = 2, kModePin = 3, kVpp = 4, kVss = 5, kData = 6, kVdd = 14,
              kStep = 17, kReadStrobe = 18;
// SN8P2602A pins.
constexpr int kSdi = 6, kSclk = 7, kSdo = 8;
constexpr std::array<std::uint8_t, 8> kKeyIn = {105, 150, 150, 105, 150, 105, 105, 0};
constexpr std::array<std::uint8_t, 8> kKeyOut = {106, 149, 149, 106, 149, 106, 106, 148};
constexpr std::uint8_t kKeyRead = 151, kKeyProgram = 150;

struct Part {
  std::string_view name;
  int words;
  bool serial;
  bool wordMode;
};
constexpr Part kParts[] = {{"SN8P1602", 1024, false, false}, {"SN8P2602A", 1024, true, false}};
}  // namespace

Sn8p1602Chip::Sn8p1602Chip(std::string_view name, int words, bool wordMode)
    : LineChip(name, 18, kVdd, kVss, kVpp, 4000, 5500),
      code(static_cast<std::size_t>(2 * words), 0xFF),
      wordMode_(wordMode) {}

void Sn8p1602Chip::OnPins(Programmer& p) {
  const int step = In(p, kStep), latch = In(p, kLatch), pgm = In(p, kProgram);
  const auto data = [&] {
    std::uint8_t b = 0;
    for (int i = 0; i < 8; ++i) b |= static_cast<std::uint8_t>(In(p, kData + i) << i);
    return b;
  };
  if (!Powered(p) || !HighVoltage(p)) {
    inMode_ = false;
  } else if (!inMode_) {
    if (In(p, kModePin) == 1) {
      inMode_ = true;
      at_ = 0;
    }
  } else {
    if (step == 1 && lastStep_ == 0) at_ += wordMode_ ? 2 : 1;
    if (wordMode_ && latch != lastLatch_) (latch == 0 ? even_ : odd_) = data();
    if (pgm == 0 && lastPgm_ == 1) pgmStart_ = p.clockUs();
    if (pgm == 1 && lastPgm_ == 0 && at_ >= 0 && at_ + 1 < static_cast<int>(code.size()) + 1) {
      if (p.clockUs() - pgmStart_ < kPulseUs) {
        ++shortPulses;
      } else if (wordMode_) {
        if (at_ + 1 < static_cast<int>(code.size())) {
          code[static_cast<std::size_t>(at_)] &= even_;
          code[static_cast<std::size_t>(at_ + 1)] &= odd_;
        }
      } else if (at_ < static_cast<int>(code.size())) {
        code[static_cast<std::size_t>(at_)] &= data();
      }
    }
  }
  lastStep_ = step;
  lastLatch_ = latch;
  lastPgm_ = pgm;
  driving_ = -1;
  if (inMode_ && In(p, kReadStrobe) == 0 && pgm == 1) {
    driving_ = wordMode_ && latch == 1 ? at_ + 1 : at_;
    if (driving_ >= static_cast<int>(code.size())) driving_ = -1;
  }
}

int Sn8p1602Chip::Drive(int pin) const {
  if (driving_ < 0 || pin < kData || pin >= kData + 8) return -1;
  return code[static_cast<std::size_t>(driving_)] >> (pin - kData) & 1;
}

Sn8p2602Chip::Sn8p2602Chip(std::string_view name, int words, std::uint16_t chipId)
    : LineChip(name, 18, kVdd, kVss, kVpp, 4000, 5500),
      code(static_cast<std::size_t>(words), 0xFFFF),
      id(chipId) {}

void Sn8p2602Chip::OnPins(Programmer& p) {
  const bool high = Powered(p) && HighVoltage(p);
  if (!high) {
    mode_ = Mode::kOff;
  } else if (!wasHigh_) {
    mode_ = Mode::kKey;
    edges_ = 0;
    keyIn_ = keyOut_ = 0;
  }
  wasHigh_ = high;
  const int clock = In(p, kSclk), pgm = In(p, kSdo);
  if (mode_ != Mode::kOff && clock == 1 && lastClock_ == 0) Edge(In(p, kSdi), pgm);
  if (mode_ == Mode::kProgram && clock == 0) {
    if (pgm == 1 && lastPgm_ == 0) pgmStart_ = p.clockUs();
    if (pgm == 0 && lastPgm_ == 1) {
      if (p.clockUs() - pgmStart_ < kPulseUs) {
        ++shortPulses;
      } else if (static_cast<std::size_t>(address_) < code.size()) {
        code[address_] &= data_;
      }
    }
  }
  lastClock_ = clock;
  lastPgm_ = pgm;
}

void Sn8p2602Chip::Edge(int sdi, int sdo) {
  ++edges_;
  out_ = -1;
  if (mode_ == Mode::kKey) {
    keyIn_ = keyIn_ << 1 | static_cast<std::uint64_t>(sdi);
    keyOut_ = keyOut_ << 1 | static_cast<std::uint64_t>(sdo);
    if (edges_ < 64) return;
    bool ok = true;
    for (int i = 0; i < 8; ++i) {
      const auto in = static_cast<std::uint8_t>(keyIn_ >> (56 - 8 * i));
      const auto out = static_cast<std::uint8_t>(keyOut_ >> (56 - 8 * i));
      if (out != kKeyOut[static_cast<std::size_t>(i)]) ok = false;
      if (i < 7 && in != kKeyIn[static_cast<std::size_t>(i)]) ok = false;
    }
    const auto last = static_cast<std::uint8_t>(keyIn_);
    mode_ = !ok                   ? Mode::kOff
            : last == kKeyRead    ? Mode::kRead
            : last == kKeyProgram ? Mode::kProgram
                                  : Mode::kOff;
    edges_ = 0;
    return;
  }
  // An answer slot: 8 quiet edges, then 8 edges driving `value`'s byte.
  const auto answer = [&](long inFrame, std::uint16_t value) {
    const long slot = inFrame / 16, bit = inFrame % 16;
    if (bit < 8) return;
    const auto byte = static_cast<std::uint8_t>(slot == 0 ? value >> 8 : value & 0xFF);
    out_ = byte >> (15 - bit) & 1;
  };
  // Doubled bits of a 16-bit value: the second edge of each pair takes the bit.
  const auto take = [&](long inFrame, std::uint16_t& value) {
    if (inFrame % 2 == 0) {
      firstHalf_ = sdi;
      return;
    }
    if (sdi != firstHalf_) ++unequalHalves;
    value = static_cast<std::uint16_t>(value << 1 | sdi);
  };
  const long e = edges_ - 1;
  if (mode_ == Mode::kRead) {
    if (e < 32) return answer(e, id);
    if (e < 64) return;
    const long f = (e - 64) % 64;
    if (f < 32) return take(f, address_);
    return answer(f - 32,
                  static_cast<std::size_t>(address_) < code.size() ? code[address_] : 0xFFFF);
  }
  const long f = e % 64;
  take(f % 32, f < 32 ? address_ : data_);
}

int Sn8p2602Chip::Drive(int pin) const {
  if (mode_ != Mode::kRead || pin != kSdo) return -1;
  return out_;
}

std::string_view Sn8pPartOf(std::string_view chipName) {
  std::string_view best;
  for (const Part& part : kParts) {
    if (chipName.find(part.name) != std::string_view::npos && part.name.size() > best.size())
      best = part.name;
  }
  return best;
}

std::shared_ptr<ChipModel> MakeSn8p(std::string_view part) {
  for (const Part& p : kParts) {
    if (p.name != part) continue;
    if (p.serial) return std::make_shared<Sn8p2602Chip>(p.name, p.words, 0x2602);
    return std::make_shared<Sn8p1602Chip>(p.name, p.words, p.wordMode);
  }
  return nullptr;
}

}  // namespace zelvar::sim
