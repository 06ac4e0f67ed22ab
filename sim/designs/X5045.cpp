#include "sim/designs/X5045.h"

namespace zelvar::sim {

namespace {

constexpr int kSelectPin = 17, kSoPin = 18, kWpPin = 19, kSiPin = 21, kSckPin = 22, kResetPin = 23;
constexpr std::uint8_t kSampleSo = 1;

class X5045Dip08 final : public Design {
 public:
  std::string Name() const override { return "x5045dip08"; }

  int CommandLength(std::uint8_t op) const override { return op == kSampleSo ? 1 : 0; }

  bool Execute(Programmer& p, const Command& c) override {
    Hold(p);
    if (c.op() != kSampleSo) return false;
    p.PushReplyByte(p.ReadLevel(kSoPin) == 0 ? 0 : 1);
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg != 18) return;
    const int level = (value & 0x80) ? 1 : 0;
    switch (value & 0x7F) {
      case 1:
        Set(p, kSckPin, level);
        break;
      case 2:
        Set(p, kSiPin, level);
        break;
      case 3:
        Set(p, kSelectPin, level);
        break;
      default:
        break;
    }
  }

 private:
  static void Hold(Programmer& p) {
    p.busInput[kSoPin] = true;
    p.busInput[kResetPin] = true;
    Set(p, kWpPin, 1);
  }
  static void Set(Programmer& p, int pin, int level) {
    int& l = p.level[static_cast<std::size_t>(pin)];
    if (l == level) return;
    l = level;
    p.Settle();
  }
};

}  // namespace

std::unique_ptr<Design> MakeX5045Dip08() {
  return std::make_unique<X5045Dip08>();
}

}  // namespace zelvar::sim
