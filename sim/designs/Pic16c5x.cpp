#include "sim/designs/Pic16c5x.h"

#include <array>
#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own bytes, named apart from the sets' names.
enum : std::uint8_t {
  kSampleLow = 1,
  kSampleHigh = 2,
  kPulseStep = 25,
  kLongWait = 27,
  kRegLow = 16,
  kRegHigh = 17,
  kRegLines = 18,
};
constexpr WaitCommand kWaits[] = {{kPulseStep, 100}, {kLongWait, 1000}};

struct Wiring {
  const char* tag;
  std::array<int, 12> data;  // socket pins of data bits 0-11
  int t0cki, osc1;
};

constexpr Wiring kDip18{"pic16c54dip18", {28, 29, 12, 13, 17, 18, 19, 20, 21, 22, 23, 24}, 14, 27};
constexpr Wiring kDip28{"pic16c57dip28", {12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23}, 7, 33};

class Pic16c5xDesign final : public Design {
 public:
  explicit Pic16c5xDesign(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    return IsWait(kWaits, op) || op == kSampleLow || op == kSampleHigh ? 1 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    if (c.op() == kSampleLow || c.op() == kSampleHigh) {
      const int first = c.op() == kSampleLow ? 0 : 8;
      const int count = c.op() == kSampleLow ? 8 : 4;
      std::uint8_t b = 0;
      for (int i = 0; i < count; ++i) {
        if (p.ReadLevel(w_.data[static_cast<std::size_t>(first + i)]) == 1)
          b = static_cast<std::uint8_t>(b | 1u << i);
      }
      p.PushReplyByte(b);
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg == kRegLow) {
      word_ = static_cast<std::uint16_t>((word_ & 0xFF0) | (value & 0x0F));
    } else if (reg == kRegHigh) {
      word_ = static_cast<std::uint16_t>((word_ & 0x00F) | value << 4);
    } else if (reg == kRegLines) {
      const int line = value & 0x7F;
      if (line >= 1 && line <= 4) lines_[static_cast<std::size_t>(line)] = value >> 7;
    } else {
      return;
    }
    Apply(p);
  }

 private:
  void Apply(Programmer& p) const {
    const bool release = lines_[1] == 1;
    for (std::size_t i = 0; i < w_.data.size(); ++i) {
      const int pin = w_.data[i];
      p.busInput[pin] = release;
      if (!release) p.level[pin] = (word_ >> i) & 1;
    }
    const bool free = lines_[4] == 1;
    p.level[w_.t0cki] = free ? lines_[2] : 0;
    p.level[w_.osc1] = free ? lines_[3] : 0;
    p.Settle();
  }

  const Wiring& w_;
  std::uint16_t word_ = 0xFFF;
  // Lines 1-4 (index 0 unused); line 1 starts set, so that nothing drives the chip's pins
  // before the first word.
  std::array<int, 5> lines_{0, 1, 0, 0, 0};
};

}  // namespace

std::unique_ptr<Design> MakePic16c54Dip18() {
  return std::make_unique<Pic16c5xDesign>(kDip18);
}
std::unique_ptr<Design> MakePic16c57Dip28() {
  return std::make_unique<Pic16c5xDesign>(kDip28);
}

}  // namespace zelvar::sim
