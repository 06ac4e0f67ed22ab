#pragma once
// What the small OTP microcontroller models share: a chip in the socket read pin by pin, powered
// only by a supply on its VDD pin within its range with its VSS pin grounded, and a programming
// voltage seen on one pin.
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

class LineChip : public ChipModel {
 public:
  LineChip(std::string_view name, int pins, int vdd, int vss, int vpp, int minMv, int maxMv)
      : name_(name), pins_(pins), vdd_(vdd), vss_(vss), vpp_(vpp), minMv_(minMv), maxMv_(maxMv) {}

  std::string Name() const override { return std::string(name_); }
  int PinCount() const override { return pins_; }
  std::vector<int> GroundPins() const override { return {vss_}; }
  int MaxMillivolts(int pin) const override { return pin == vpp_ ? 13500 : 6500; }
  bool Powered(const Programmer& p) const override {
    const int mv = p.SupplyMillivolts(p.SocketPinOf(vdd_));
    return mv >= minMv_ && mv <= maxMv_ && p.IsGround(p.SocketPinOf(vss_));
  }

 protected:
  // The level the programmer puts on chip pin `pin` (a chip output is not its own input).
  static int In(const Programmer& p, int pin) {
    return p.InputMillivolts(p.SocketPinOf(pin)) >= 2000 ? 1 : 0;
  }
  // True while the programming voltage (11.5 V or more) is on the VPP pin.
  bool HighVoltage(const Programmer& p) const {
    return p.InputMillivolts(p.SocketPinOf(vpp_)) >= 11500;
  }

  std::string_view name_;
  int pins_, vdd_, vss_, vpp_, minMv_, maxMv_;
};

}  // namespace zelvar::sim
