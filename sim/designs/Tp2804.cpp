#include "sim/designs/Tp2804.h"

#include "sim/designs/P51Parallel.h"

namespace zelvar::sim {

namespace {

// The design's own command bytes, named apart from the sets' names.
enum : std::uint8_t {
  kPort1 = 17,
  kPort2 = 18,
  kWait100us = 25,
  kWait1ms = 26,
  kLongWait = 28,
  kWait50us = 29,
};

constexpr int kPort1FirstPin = 21;

class Tp2804 final : public Design {
 public:
  std::string Name() const override { return "tp2804"; }
  int CommandLength(std::uint8_t op) const override {
    switch (op) {
      case kPort1:
      case kPort2:
        return 2;
      case kWait100us:
      case kWait1ms:
      case kLongWait:
      case kWait50us:
        return 1;
      default:
        return logic_.CommandLength(op);
    }
  }
  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case kPort1:
        p.port[1] = c.bytes[1];
        for (int i = 0; i < 8; ++i) p.level[kPort1FirstPin + i] = (c.bytes[1] >> i) & 1;
        p.Settle();
        return true;
      case kPort2:
        p.port[2] = c.bytes[1];
        for (int i = 0; i < 8; ++i) p.level[kTp2804ControlPins[i]] = (c.bytes[1] >> i) & 1;
        p.Settle();
        return true;
      case kWait100us:
        p.AdvanceUs(100);
        p.Settle();
        return true;
      case kWait1ms:
        p.AdvanceUs(1000);
        p.Settle();
        return true;
      case kLongWait:
        p.AdvanceUs(100000);
        p.Settle();
        return true;
      case kWait50us:
        p.AdvanceUs(50);
        p.Settle();
        return true;
      default:
        return logic_.Execute(p, c);
    }
  }

 private:
  P51Logic logic_;
};

}  // namespace

std::unique_ptr<Design> MakeTp2804() {
  return std::make_unique<Tp2804>();
}

}  // namespace zelvar::sim
