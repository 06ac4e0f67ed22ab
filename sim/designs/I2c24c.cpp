#include "sim/designs/I2c24c.h"

#include <array>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr int kSdaPin = 21;
constexpr int kSclPin = 22;
// Socket pins of register-18 lines 1 to 3.
constexpr std::array<int, 4> kLinePins = {0, kSdaPin, kSclPin, 23};

enum : std::uint8_t {
  kStart = 30,
  kAckClock = 31,
  kShiftOut = 56,
  kShiftIn = 57,
  kOutBits = 74,
  kInBits = 75,
  kWait1ms = 26,
};

constexpr WaitCommand kWaits[] = {{kWait1ms, 1000}};

class I2c24c final : public Design {
 public:
  std::string Name() const override { return "i2c24c"; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    switch (op) {
      case kStart:
      case kAckClock:
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
    if (RunWait(p, kWaits, c.op())) return true;
    switch (c.op()) {
      case kStart:
        Set(p, kSdaPin, 1);
        Set(p, kSclPin, 1);
        Set(p, kSdaPin, 0);
        Set(p, kSclPin, 0);
        return true;
      case kShiftOut:
        for (int i = 0; i < outBits_ && i < 8; ++i) {
          Set(p, kSdaPin, (c.bytes[1] >> (7 - i)) & 1);
          Clock(p);
        }
        return true;
      case kAckClock:
        Set(p, kSdaPin, 1);
        Clock(p);
        return true;
      case kShiftIn: {
        Set(p, kSdaPin, 1);
        std::uint8_t b = 0;
        for (int i = 0; i < inBits_ && i < 8; ++i) {
          Set(p, kSclPin, 1);
          if (p.ReadLevel(kSdaPin) != 0) b |= static_cast<std::uint8_t>(1 << (inBits_ - 1 - i));
          Set(p, kSclPin, 0);
        }
        p.PushReplyByte(b);
        return true;
      }
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
    if (reg != 18) return;
    const int line = value & 0x7F;
    if (line < 1 || line > 3) return;
    Set(p, kLinePins[static_cast<std::size_t>(line)], (value & 0x80) ? 1 : 0);
  }

  bool DrivesThroughResistor(int socketPin) const override { return socketPin == kSdaPin; }

 private:
  // A line that does not change makes no edge for the chip to see.
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }
  static void Clock(Programmer& p) {
    Set(p, kSclPin, 1);
    Set(p, kSclPin, 0);
  }
  int outBits_ = 8, inBits_ = 8;
};

}  // namespace

std::unique_ptr<Design> MakeI2c24c() {
  return std::make_unique<I2c24c>();
}

}  // namespace zelvar::sim
