#include "sim/designs/Sm59Isp.h"

#include <array>
#include <string>

#include "sim/designs/Waits.h"

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kFpgaLines = 18, kPort0 = 16, kDividerA = 74, kDividerB = 75;
constexpr WaitCommand kWaits[] = {{0, 1}, {25, 10}, {26, 1000}};
constexpr std::array<int, 7> kLinePins = {0, 1, 12, 0, 9, 13, 31};
constexpr int kP0First = 39;

class Sm59Isp final : public Design {
 public:
  std::string Name() const override { return "sm59r16a2isp"; }

  int CommandLength(std::uint8_t op) const override {
    if (IsWait(kWaits, op)) return 1;
    return op == kPort0 || op == kDividerA || op == kDividerB ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    if (RunWait(p, kWaits, c.op())) return true;
    if (c.op() == kPort0) {
      p.port[0] = c.bytes[1];
      for (int i = 0; i < 8; ++i) p.level[kP0First - i] = (c.bytes[1] >> i) & 1;
      p.Settle();
      return true;
    }
    if (c.op() == kDividerA || c.op() == kDividerB) {
      dividers_[c.op() - kDividerA] = c.bytes[1];
      return true;
    }
    return false;
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    if (line < 1 || line >= static_cast<int>(kLinePins.size()) || kLinePins[line] == 0) return;
    p.level[kLinePins[line]] = value >> 7;
    p.Settle();
  }

 private:
  std::array<std::uint8_t, 2> dividers_{};
};

}  // namespace

std::unique_ptr<Design> MakeSm59r16a2Isp() {
  return std::make_unique<Sm59Isp>();
}

}  // namespace zelvar::sim
