#include "sim/designs/P93cxxx.h"

namespace zelvar::sim {

namespace {

constexpr int kDataOutPin = 20;

class P93cxxx final : public Design {
 public:
  std::string Name() const override { return "p93cxxx"; }

  int CommandLength(std::uint8_t op) const override {
    return op == 1 || op == 26 || op == 28 ? 1 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case 1:
        p.PushReplyByte(p.ReadLevel(kDataOutPin) == 0 ? 0 : 1);
        return true;
      case 26:
        p.AdvanceUs(1000);
        return true;
      case 28:
        p.AdvanceUs(100000);
        return true;
      default:
        return false;
    }
  }

  void OnRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if ((reg == kRegPinRelease || reg == kRegPinRestore) && value >= 1 && value <= 48) {
      p.busInput[value] = reg == kRegPinRelease;
      p.Settle();
    }
  }
};

}  // namespace

std::unique_ptr<Design> MakeP93cxxx() {
  return std::make_unique<P93cxxx>();
}

}  // namespace zelvar::sim
