#include "sim/designs/W79eIcp.h"

#include <array>
#include <string>
#include <vector>

namespace zelvar::sim {

namespace {

constexpr std::uint8_t kFpgaLines = 18;
constexpr std::uint8_t kSample = 2, kEraseWait = 28, kProgramWait = 29, kPort1 = 17;
constexpr int kReadEnableLine = 7;

struct Wiring {
  const char* tag;
  std::vector<int> bus;       // socket pins of port 1 bits 0, 1, ...
  std::array<int, 11> lines;  // socket pin of line n, 0 = none
};

const Wiring kW79e2051Dip20{"w79e2051dip20", {22, 23, 24, 25}, {0, 12, 13, 16, 17, 18, 0, 0, 26}};
const Wiring kW79e82xP20{
    "w79e82xp20", {18, 19, 20, 21, 22, 23, 24, 26}, {0, 11, 27, 28, 29, 30, 0, 0, 0}};
const Wiring kW79e225P44{
    "w79e225p44", {28, 29, 30, 31, 32, 33, 34, 35}, {0, 7, 8, 9, 10, 11, 12, 0, 13, 14, 17}};

class W79eIcp final : public Design {
 public:
  explicit W79eIcp(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.tag; }

  int CommandLength(std::uint8_t op) const override {
    if (op == kSample || op == kEraseWait || op == kProgramWait) return 1;
    return op == kPort1 ? 2 : 0;
  }

  bool Execute(Programmer& p, const Command& c) override {
    switch (c.op()) {
      case kPort1:
        p.port[1] = c.bytes[1];
        for (std::size_t i = 0; i < w_.bus.size(); ++i) p.level[w_.bus[i]] = (c.bytes[1] >> i) & 1;
        p.Settle();
        return true;
      case kSample: {
        std::uint8_t b = 0;
        for (std::size_t i = 0; i < w_.bus.size(); ++i) {
          if (p.ReadLevel(w_.bus[i]) != 0) b |= static_cast<std::uint8_t>(1u << i);
        }
        p.PushReplyByte(b);
        return true;
      }
      case kEraseWait:
        p.AdvanceUs(100000);
        p.Settle();
        return true;
      case kProgramWait:
        p.AdvanceUs(50);
        p.Settle();
        return true;
      default:
        return false;
    }
  }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    if (reg != kFpgaLines) return;
    const int line = value & 0x7F;
    const int level = value >> 7;
    if (line < 1 || line > 10) return;
    if (line == kReadEnableLine) {
      for (int pin : w_.bus) p.busInput[pin] = level == 1;
    }
    if (w_.lines[line] != 0) p.level[w_.lines[line]] = level;
    p.Settle();
  }

 private:
  const Wiring& w_;
};

}  // namespace

std::unique_ptr<Design> MakeW79e2051Dip20() {
  return std::make_unique<W79eIcp>(kW79e2051Dip20);
}

std::unique_ptr<Design> MakeW79e82xP20() {
  return std::make_unique<W79eIcp>(kW79e82xP20);
}

std::unique_ptr<Design> MakeW79e225P44() {
  return std::make_unique<W79eIcp>(kW79e225P44);
}

}  // namespace zelvar::sim
