#include "sim/designs/At25spi.h"

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr int kSelectPin = 17, kSoPin = 18, kWpPin = 19, kSiPin = 21, kSckPin = 22, kHoldPin = 23;

enum : std::uint8_t {
  kShiftedByte = 1,
  kWait1ms = 26,
  kWait100ms = 28,
  kShiftOut = 56,
  kShiftIn = 57,
  kOutBits = 74,
  kInBits = 75,
};

constexpr WaitCommand kWaits[] = {{kWait1ms, 1000}, {kWait100ms, 100000}};

class At25spi final : public Design {
 public:
  std::string Name() const override { return "at25spi"; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    switch (op) {
      case kShiftedByte:
      case kShiftIn:
        return 1;
      case kShiftOut:
      case kOutBits:
      case kInBits:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    Hold(p);
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kShiftOut:
        in_ = Shift(p, c.bytes[1], outBits_);
        return true;
      case kShiftIn:
        p.PushReplyByte(Shift(p, 0, inBits_));
        return true;
      case kShiftedByte:
        p.PushReplyByte(in_);
        return true;
      case kOutBits:
        outBits_ = c.bytes[1];
        return true;
      case kInBits:
        inBits_ = c.bytes[1];
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg != 18) return;
    const int line = value & 0x7F;
    const int level = (value & 0x80) ? 1 : 0;
    if (line == 2) Set(p, kSckPin, level);
    if (line == 4) Set(p, kSelectPin, level);
  }

 private:
  // SO is the design's input; WP# and HOLD# stay high.
  static void Hold(Programmer& p) {
    p.busInput[kSoPin] = true;
    Set(p, kWpPin, 1);
    Set(p, kHoldPin, 1);
  }
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }
  static std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) {
    std::uint8_t in = 0;
    for (int i = 0; i < bits && i < 8; ++i) {
      Set(p, kSiPin, (out >> (7 - i)) & 1);
      if (p.ReadLevel(kSoPin) != 0) in |= static_cast<std::uint8_t>(1 << (bits - 1 - i));
      Set(p, kSckPin, 1);
      Set(p, kSckPin, 0);
    }
    return in;
  }
  int outBits_ = 8, inBits_ = 8;
  std::uint8_t in_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeAt25spi() {
  return std::make_unique<At25spi>();
}

}  // namespace zelvar::sim
