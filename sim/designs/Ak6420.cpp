#include "sim/designs/Ak6420.h"

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

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

// Socket pins of the chip's serial lines in one wiring.
struct Wiring {
  const char* name;
  int cs, sk, di, dout;
};

// The standard pinout (CS# 1, SK 2, DI 3, DO 4) on socket pins 17 to 24; the rotated one (CS# 3,
// SK 4, DI 5, DO 6) on pins 17 to 24 of the 48-pin socket, and turned on the adapter rows 12 to 15
// of the 40-pin socket (chip pin 1 on socket pin 26, pin 5 on 12).
constexpr Wiring kStd{"ak6420std", 17, 18, 19, 20};
constexpr Wiring kAf6300{"ak6420af6300", 19, 20, 21, 22};
constexpr Wiring kAf{"ak6420af", 28, 29, 12, 13};

class Ak6420 final : public Design {
 public:
  explicit Ak6420(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.name; }

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
    Idle(p);
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
    Idle(p);
    if (reg == 18 && (value & 0x7F) == 4) Set(p, w_.cs, (value & 0x80) ? 1 : 0);
  }

 private:
  // DO is the design's input; SK rests high.
  void Idle(Programmer& p) const {
    p.busInput[static_cast<std::size_t>(w_.dout)] = true;
    Set(p, w_.sk, 1);
  }
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }
  std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) const {
    std::uint8_t in = 0;
    for (int i = 0; i < bits && i < 8; ++i) {
      Set(p, w_.sk, 0);
      Set(p, w_.di, (out >> (7 - i)) & 1);
      if (p.ReadLevel(w_.dout) != 0) in |= static_cast<std::uint8_t>(1 << (bits - 1 - i));
      Set(p, w_.sk, 1);
    }
    return in;
  }
  Wiring w_;
  int outBits_ = 8, inBits_ = 8;
  std::uint8_t in_ = 0;
};

}  // namespace

std::unique_ptr<Design> MakeAk6420Std() {
  return std::make_unique<Ak6420>(kStd);
}
std::unique_ptr<Design> MakeAk6420Af() {
  return std::make_unique<Ak6420>(kAf);
}
std::unique_ptr<Design> MakeAk6420Af6300() {
  return std::make_unique<Ak6420>(kAf6300);
}

}  // namespace zelvar::sim
