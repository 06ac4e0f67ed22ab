#include "sim/designs/At25spi.h"

#include "sim/designs/ByteShift.h"

namespace zelvar::sim {

namespace {

constexpr int kSelectPin = 17, kSoPin = 18, kWpPin = 19, kSiPin = 21, kSckPin = 22, kHoldPin = 23;

class At25spi final : public ByteShiftDesign {
 public:
  std::string Name() const override { return "at25spi"; }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg != 18) return;
    const int line = value & 0x7F;
    const int level = (value & 0x80) ? 1 : 0;
    if (line == 2) Set(p, kSckPin, level);
    if (line == 4) Set(p, kSelectPin, level);
  }

 private:
  // SO is the design's input; WP# and HOLD# stay high.
  void Hold(Programmer& p) override {
    p.busInput[kSoPin] = true;
    Set(p, kWpPin, 1);
    Set(p, kHoldPin, 1);
  }
  // SPI mode 0: SO taken in before each rising clock edge.
  std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) override {
    std::uint8_t in = 0;
    for (int i = 0; i < bits && i < 8; ++i) {
      Set(p, kSiPin, (out >> (7 - i)) & 1);
      if (p.ReadLevel(kSoPin) != 0) in |= static_cast<std::uint8_t>(1 << (bits - 1 - i));
      Set(p, kSckPin, 1);
      Set(p, kSckPin, 0);
    }
    return in;
  }
};

}  // namespace

std::unique_ptr<Design> MakeAt25spi() {
  return std::make_unique<At25spi>();
}

}  // namespace zelvar::sim
