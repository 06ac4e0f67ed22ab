#include "sim/designs/Mdt2000.h"

#include <string>

#include "link/commands/Mdt2000.h"
#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

using namespace mdt2000;
constexpr std::uint8_t kFpgaLines = 18, kPort0 = 16, kPort1 = 17;
constexpr WaitCommand kWaits[] = {{kCmdTick, 1000}};
constexpr int kBus0 = 17, kBus1 = 16, kBusBits = 7;

class Mdt2000Design final : public Design {
 public:
  std::string Name() const override { return "mdt2000"; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kCmdSamplePort0 || op == kCmdSamplePort1 || IsWait(kWaits, op)) return 1;
    return op == kPort0 || op == kPort1 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) {
      p.Settle();
      return true;
    }
    switch (c.op()) {
      case kPort0:
      case kPort1: {
        const int first = c.op() == kPort0 ? kBus0 : kBus1;
        p.port[c.op() - kPort0] = c.bytes[1];
        for (int i = 0; i < kBusBits; ++i) p.level[first + i] = (c.bytes[1] >> i) & 1;
        p.Settle();
        return true;
      }
      case kCmdSamplePort0:
      case kCmdSamplePort1: {
        const int first = c.op() == kCmdSamplePort0 ? kBus0 : kBus1;
        std::uint8_t b = 0;
        for (int i = 0; i < kBusBits; ++i) {
          if (p.ReadLevel(first + i) == 1) b |= static_cast<std::uint8_t>(1u << i);
        }
        p.PushReplyByte(b);
        return true;
      }
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const int level = value >> 7;
    if (line == kBusDirectionLine) {
      // Both buses' pins: 16-23.
      for (int pin = kBus1; pin < kBus0 + kBusBits; ++pin) p.busInput[pin] = level == 1;
    } else if (line >= 1 && line <= 40) {
      p.level[line] = level;
    }
    p.Settle();
  }
};

}  // namespace

std::unique_ptr<Design> MakeMdt2000() {
  return std::make_unique<Mdt2000Design>();
}

}  // namespace zelvar::sim
