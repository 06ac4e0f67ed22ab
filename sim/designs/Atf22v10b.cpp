#include "sim/designs/Atf22v10b.h"

#include <array>

namespace zelvar::sim {

namespace {

constexpr int kClockPin = 11;
constexpr int kDataInPin = 12;
constexpr int kDataOutPin = 22;
// Socket pins of control lines 1 to 6.
constexpr std::array<int, 7> kLinePins = {0, 17, 18, 13, 14, 15, 16};

class Atf22v10b final : public Design {
 public:
  std::string Name() const override { return "atf22v10b"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case 26:
      case 28:
      case 57:
        return 1;
      case 56:
      case 74:
      case 75:
        return 2;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case 74:
        shiftIn_ = c.bytes[1];
        return true;
      case 75:
        shiftOut_ = c.bytes[1];
        return true;
      case 56:
        for (int i = 0; i < shiftIn_ && i < 8; ++i) {
          p.level[kDataInPin] = (c.bytes[1] >> (7 - i)) & 1;
          Settle(p);
          Clock(p);
        }
        return true;
      case 57: {
        std::uint8_t b = 0;
        for (int i = 0; i < shiftOut_ && i < 8; ++i) {
          if (p.ReadLevel(kDataOutPin) == 1)
            b |= static_cast<std::uint8_t>(1 << (shiftOut_ - 1 - i));
          Clock(p);
        }
        p.PushReplyByte(b);
        return true;
      }
      case 26:
        p.AdvanceUs(1000);
        return true;
      case 28:
        p.AdvanceUs(100000);
        Settle(p);
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    // The chip's serial output is the design's input: its driver never drives it.
    p.busInput[kDataOutPin] = true;
    if (reg != 18) return;
    const int line = value & 0x7F;
    if (line < 1 || line > 6) return;
    p.level[kLinePins[static_cast<std::size_t>(line)]] = (value & 0x80) ? 1 : 0;
    Settle(p);
  }

 private:
  static void Settle(Programmer& p) { p.Settle(); }
  static void Clock(Programmer& p) {
    p.level[kClockPin] = 1;
    Settle(p);
    p.level[kClockPin] = 0;
    Settle(p);
  }
  int shiftIn_ = 8, shiftOut_ = 8;
};

}  // namespace

std::unique_ptr<Design> MakeAtf22v10b() {
  return std::make_unique<Atf22v10b>();
}

}  // namespace zelvar::sim
