#include "sim/designs/Em78p.h"

#include <array>
#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

// The designs' own names for their bytes.
constexpr std::uint8_t kShiftOut = 53, kShiftIn = 54, kSample = 1, kPort0 = 16;
constexpr std::uint8_t kLines18 = 18, kLines29 = 29;
constexpr WaitCommand kWaits[] = {{25, 1000}, {26, 1000}, {27, 10000}, {28, 10000}};

class Em78ShiftDesign final : public Design {
 public:
  Em78ShiftDesign(std::string tag, std::array<int, 6> pins) : tag_(std::move(tag)), pins_(pins) {}

  std::string Name() const override { return tag_; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    if (op == kShiftOut) return 3;
    return op == kShiftIn ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    const int data = pins_[0], clock = pins_[1];
    if (c.op() == kShiftOut) {
      p.busInput[data] = false;
      for (int i = 0; i < c.bytes[2]; ++i) {
        p.level[data] = c.bytes[1] >> (7 - i) & 1;
        p.Settle();
        p.level[clock] = 1;
        p.Settle();
        p.level[clock] = 0;
        p.Settle();
      }
      return true;
    }
    if (c.op() == kShiftIn) {
      p.busInput[data] = true;
      std::uint8_t b = 0;
      for (int i = 0; i < c.bytes[1]; ++i) {
        p.level[clock] = 1;
        p.Settle();
        b = static_cast<std::uint8_t>(b << 1 | (p.ReadLevel(data) == 0 ? 0 : 1));
        p.level[clock] = 0;
        p.Settle();
      }
      p.PushReplyByte(b);
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    const int line = value & 0x7F;
    if (reg != kLines29 || line < 1 || line > 6) return;
    const int pin = pins_[static_cast<std::size_t>(line - 1)];
    p.busInput[pin] = false;
    p.level[pin] = value >> 7;
    p.Settle();
  }

 private:
  std::string tag_;
  std::array<int, 6> pins_;  // socket pins of lines 1-6
};

class Em78BusDesign final : public Design {
 public:
  std::string Name() const override { return "em78p451"; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op) || op == kSample) return 1;
    return op == kPort0 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    if (c.op() == kPort0) {
      p.port[0] = c.bytes[1];
      for (int i = 0; i < 7; ++i) p.level[kBus + i] = c.bytes[1] >> i & 1;
      p.Settle();
      return true;
    }
    if (c.op() == kSample) {
      std::uint8_t b = 0;
      for (int i = 0; i < 7; ++i) {
        if (p.ReadLevel(kBus + i) != 0) b = static_cast<std::uint8_t>(b | 1u << i);
      }
      p.PushReplyByte(b);
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    const int line = value & 0x7F;
    if (reg != kLines18 || line < 1 || line > 4) return;
    const int level = value >> 7;
    p.level[kLinePins[line - 1]] = level;
    // The read line also turns the bus round: low, the chip drives it.
    if (line == 3) {
      for (int i = 0; i < 7; ++i) p.busInput[kBus + i] = level == 0;
    }
    p.Settle();
  }

 private:
  static constexpr int kBus = 28;
  static constexpr int kLinePins[] = {13, 14, 36, 40};
};

}  // namespace

std::unique_ptr<Design> MakeEm78p156() {
  return std::make_unique<Em78ShiftDesign>("em78p156", std::array<int, 6>{17, 18, 19, 20, 21, 22});
}
std::unique_ptr<Design> MakeEm78p447() {
  return std::make_unique<Em78ShiftDesign>("em78p447", std::array<int, 6>{17, 18, 19, 20, 21, 22});
}
std::unique_ptr<Design> MakeEm78p458() {
  return std::make_unique<Em78ShiftDesign>("em78p458", std::array<int, 6>{18, 19, 20, 21, 23, 13});
}
std::unique_ptr<Design> MakeEm78p451() {
  return std::make_unique<Em78BusDesign>();
}

}  // namespace zelvar::sim
