#include "sim/designs/Stc12.h"

#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kFpgaLines = 18, kSample = 2, kPort1 = 17;
constexpr WaitCommand kWaits[] = {{25, 10}, {26, 1000}, {29, 10000}};
constexpr int kFirstBus = 7, kFirstLine = 21;

class Stc12Design final : public Design {
 public:
  std::string Name() const override { return "stc12c5xdip28"; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kSample || IsWait(kWaits, op)) return 1;
    return op == kPort1 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    if (c.op() == kPort1) {
      p.port[1] = c.bytes[1];
      for (int i = 0; i < 8; ++i) p.level[kFirstBus + i] = (c.bytes[1] >> i) & 1;
      p.Settle();
      return true;
    }
    if (c.op() == kSample) {
      std::uint8_t b = 0;
      for (int i = 0; i < 8; ++i) {
        if (p.ReadLevel(kFirstBus + i) == 1) b |= static_cast<std::uint8_t>(1u << i);
      }
      p.PushReplyByte(b);
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const int level = value >> 7;
    if (line > 10) return;
    if (line == 0) {
      for (int i = 0; i < 8; ++i) p.busInput[kFirstBus + i] = level == 1;
    }
    p.level[kFirstLine + line] = level;
    p.Settle();
  }
};

}  // namespace

std::unique_ptr<Design> MakeStc12c5xDip28() {
  return std::make_unique<Stc12Design>();
}

}  // namespace zelvar::sim
