#include "sim/designs/I2c24c.h"

#include <array>

#include "sim/designs/IspHeader.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// Socket pins of SDA, SCL and the write-protect line (0: none), register-18 lines 1 to 3.
struct Wiring {
  const char* name;
  int sda, scl, wp;
};
constexpr Wiring kSocket{"i2c24c", 21, 22, 23};
// The header carries SCL on its pin 1 and SDA on its pin 9; the write-protect line is the
// board's.
constexpr Wiring kHeader{"i2c24isp", IspHeaderSocketPin(9), IspHeaderSocketPin(1), 0};

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
  explicit I2c24c(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.name; }

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
        Set(p, w_.sda, 1);
        Set(p, w_.scl, 1);
        Set(p, w_.sda, 0);
        Set(p, w_.scl, 0);
        return true;
      case kShiftOut:
        for (int i = 0; i < outBits_ && i < 8; ++i) {
          Set(p, w_.sda, (c.bytes[1] >> (7 - i)) & 1);
          Clock(p);
        }
        return true;
      case kAckClock:
        Set(p, w_.sda, 1);
        Clock(p);
        return true;
      case kShiftIn: {
        Set(p, w_.sda, 1);
        std::uint8_t b = 0;
        for (int i = 0; i < inBits_ && i < 8; ++i) {
          Set(p, w_.scl, 1);
          if (p.ReadLevel(w_.sda) != 0) b |= static_cast<std::uint8_t>(1 << (inBits_ - 1 - i));
          Set(p, w_.scl, 0);
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
    const int pin = line == 1 ? w_.sda : line == 2 ? w_.scl : line == 3 ? w_.wp : 0;
    if (pin != 0) Set(p, pin, (value & 0x80) ? 1 : 0);
  }

  bool DrivesThroughResistor(int socketPin) const override { return socketPin == w_.sda; }

 private:
  // A line that does not change makes no edge for the chip to see.
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }
  void Clock(Programmer& p) const {
    Set(p, w_.scl, 1);
    Set(p, w_.scl, 0);
  }
  Wiring w_;
  int outBits_ = 8, inBits_ = 8;
};

}  // namespace

std::unique_ptr<Design> MakeI2c24c() {
  return std::make_unique<I2c24c>(kSocket);
}

std::unique_ptr<Design> MakeI2c24isp() {
  return std::make_unique<I2c24c>(kHeader);
}

}  // namespace zelvar::sim
