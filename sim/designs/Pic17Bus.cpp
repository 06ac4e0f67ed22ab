#include "sim/designs/Pic17Bus.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The design's own bytes and register values, named apart from the set's names.
enum : std::uint8_t {
  kSampleHigh = 1,
  kSampleLow = 2,
  kTick = 26,
  kSettle = 27,
  kLongWait = 28,
  kLines = 18,
  kLevel = 0x80,
  kPortFirst = 16,
  kPortLast = 21,
};
constexpr WaitCommand kWaits[] = {{kTick, 1000}, {kSettle, 10000}, {kLongWait, 10000}};

// Chip pins of the DIP40 part.
constexpr int kWrPin = 28, kClockPin = 19, kAlePin = 30, kTestPin = 27;
constexpr int LowBusPin(int i) {
  return 2 + i;
}  // AD0..AD7 on RC0..RC7
constexpr int HighBusPin(int i) {
  return 40 - i;
}  // AD8..AD15 on RD0..RD7

class Pic17Bus final : public Design {
 public:
  Pic17Bus(const char* tag, bool turned) : tag_(tag), turned_(turned) {}
  std::string Name() const override { return tag_; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op) || op == kSampleHigh || op == kSampleLow) return 1;
    if (op >= kPortFirst && op <= kPortLast) return 2;
    return 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    const std::uint8_t op = c.op();
    if (RunWait(p, kWaits, op)) {
      p.Settle();
      return true;
    }
    if (op == kSampleLow || op == kSampleHigh) {
      p.PushReplyByte(Sample(p, op == kSampleLow));
      return true;
    }
    return false;  // the programmer's own port write
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kLines) return;
    const int level = (value & kLevel) != 0 ? 1 : 0;
    int pin = 0;
    switch (value & 0x7F) {
      case 2:
        pin = kWrPin;
        break;
      case 3:
        pin = kClockPin;
        break;
      case 4:
        pin = kAlePin;
        driveBus_ = level != 0;
        break;
      case 5:
        pin = kTestPin;
        break;
      default:
        return;
    }
    Bus(p);
    p.level[Socket(pin)] = level;
    p.Settle();
  }

 private:
  // The socket pin of a chip pin in this design's seat.
  int Socket(int chipPin) const { return turned_ ? (chipPin + 19) % 40 + 1 : chipPin; }

  void Bus(Programmer& p) {
    for (int i = 0; i < 8; ++i) {
      const int lo = Socket(LowBusPin(i)), hi = Socket(HighBusPin(i));
      p.busInput[lo] = p.busInput[hi] = !driveBus_;
      p.level[lo] = (p.port[1] >> i) & 1;
      p.level[hi] = (p.port[0] >> i) & 1;
    }
  }

  std::uint8_t Sample(Programmer& p, bool low) {
    std::uint8_t b = 0;
    bool driven = false;
    for (int i = 0; i < 8; ++i) {
      const int sp = Socket(low ? LowBusPin(i) : HighBusPin(i));
      const int cp = p.ChipPinAt(sp);
      driven = driven || (cp > 0 && p.chip() && p.chip()->Drive(cp) >= 0);
      if (p.ReadLevel(sp) != 0) b |= static_cast<std::uint8_t>(1 << i);
    }
    if (p.chip() && !driven)
      p.record.Hazard(tag_ + ": bus sampled while the chip drives none of it");
    return b;
  }

  std::string tag_;
  bool turned_;
  bool driveBus_ = false;
};

}  // namespace

std::unique_ptr<Design> MakePic17Dip40() {
  return std::make_unique<Pic17Bus>("pic17dip40", true);
}
std::unique_ptr<Design> MakePic17Dip40Std() {
  return std::make_unique<Pic17Bus>("pic17dip40std", false);
}

}  // namespace zelvar::sim
