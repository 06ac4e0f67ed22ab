#include "sim/designs/TestPin.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kIdentityRegister = 37;

class TestPin final : public Design {
 public:
  std::string Name() const override { return "testpin"; }

  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case 14:
        return 4;
      case 23:
        return 2;
      case 26:
        return 1;
      default:
        return 0;
    }
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case 14:
        if (c.bytes[1] != kIdentityRegister) return false;
        p.PushReplyByte(p.socketFaults.silentLogic ? 0 : 'l');
        return true;
      case 23:
        p.PushReplyByte(High(p, c.bytes[1]) ? 1 : 0);
        return true;
      case 26:
        p.AdvanceUs(100);
        return true;
      default:
        return false;
    }
  }

 private:
  // The level a supply or the ground switch holds on `pin`, -1 when none reaches it.
  static int Supplied(const Programmer& p, int pin) {
    const SocketFaults& f = p.socketFaults;
    const int mv = p.SupplyMillivolts(pin);
    if (mv < 0) return -1;
    if (p.IsGround(pin)) return f.deadGndPin == pin ? -1 : 0;
    if (p.HighVoltagePin() == pin) return f.noHighVoltage ? -1 : mv;
    if (p.VccPin() == pin && f.deadVccPin == pin) return -1;
    if (p.VppPin() == pin && p.VccPin() != pin && f.deadVppPin == pin) return -1;
    return mv;
  }

  bool High(const Programmer& p, int pin) {
    const SocketFaults& f = p.socketFaults;
    if (f.stickyVppPin != 0 && p.VppPin() == f.stickyVppPin) stuckClosed_ = true;
    if (pin < 1 || pin > 48 || pin == f.stuckLowPin) return false;
    const int mv = Supplied(p, pin);
    if (mv >= 0) return mv >= 2000;
    if (stuckClosed_ && pin == f.stickyVppPin && p.VppMillivolts() >= 2000) return true;
    if (p.ChipPinAt(pin) != 0) {
      for (int q = 1; q <= 48; ++q) {
        if (q != pin && p.ChipPinAt(q) != 0 && Supplied(p, q) >= 2000) return true;
      }
    }
    if (pin == f.openResistorPin) return false;
    const int m = p.model();
    const bool driversOn = m == 5104 || m == 5105 || m == 5148 ? p.fpga[4] == 0 : p.reg[40] == 1;
    return driversOn;
  }

  bool stuckClosed_ = false;
};

}  // namespace

std::unique_ptr<Design> MakeTestPin() {
  return std::make_unique<TestPin>();
}

}  // namespace zelvar::sim
