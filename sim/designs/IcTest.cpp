#include "sim/designs/IcTest.h"

namespace zelvar::sim {

namespace {

class IcTest final : public Design {
 public:
  std::string Name() const override { return "ictest"; }

  bool DrivesThroughResistor(int socketPin) const override {
    return socketPin >= 9 && socketPin <= 32 && socketPin != 20;
  }

  int CommandLength(std::uint8_t op) const override { return op >= 2 && op <= 4 ? 1 : 0; }

  bool Execute(Programmer& p, const Command& c) override {
    const int port = c.op() == 2 ? 1 : c.op() == 3 ? 2 : 3;
    std::uint8_t bits = 0;
    for (int b = 0; b < 8; ++b) {
      const int pin = IcTestSocketPin(port, b);
      // An undriven pin reads high through its pull-up.
      if (pin != 0 && p.ReadLevel(pin) != 0) bits |= static_cast<std::uint8_t>(1 << b);
    }
    p.PushReplyByte(bits);
    return true;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t) override {
    if (reg != 21) return;
    for (int port = 1; port <= 3; ++port) {
      for (int b = 0; b < 8; ++b) {
        const int pin = IcTestSocketPin(port, b);
        if (pin != 0) p.level[pin] = (p.port[port] >> b) & 1;
      }
    }
    if (p.chip()) p.chip()->OnPins(p);
  }
};

}  // namespace

std::unique_ptr<Design> MakeIcTest() {
  return std::make_unique<IcTest>();
}

}  // namespace zelvar::sim
