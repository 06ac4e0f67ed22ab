#include "sim/designs/At25spi.h"

#include "sim/designs/ByteShift.h"
#include "sim/designs/IspHeader.h"

namespace zelvar::sim {

namespace {

// Socket pins of the lines (0: a line the design does not reach).
struct Wiring {
  const char* name;
  int select, so, wp, si, sck, hold;
};
constexpr Wiring kSocket{"at25spi", 17, 18, 19, 21, 22, 23};
// The header: SCK on its pin 1, SO on 3, CS# on 5, SI on 9; WP# and HOLD# are the board's.
constexpr Wiring kHeader{"at25isp", IspHeaderSocketPin(5), IspHeaderSocketPin(3),
                         0,         IspHeaderSocketPin(9), IspHeaderSocketPin(1),
                         0};

class At25spi final : public ByteShiftDesign {
 public:
  explicit At25spi(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.name; }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg != 18) return;
    const int line = value & 0x7F;
    const int level = (value & 0x80) ? 1 : 0;
    if (line == 2) Set(p, w_.sck, level);
    if (line == 4) Set(p, w_.select, level);
  }

 private:
  // SO is the design's input; WP# and HOLD# stay high.
  void Hold(Programmer& p) override {
    p.busInput[w_.so] = true;
    if (w_.wp != 0) Set(p, w_.wp, 1);
    if (w_.hold != 0) Set(p, w_.hold, 1);
  }
  // SPI mode 0: SO taken in before each rising clock edge.
  std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) override {
    std::uint8_t in = 0;
    for (int i = 0; i < bits && i < 8; ++i) {
      Set(p, w_.si, (out >> (7 - i)) & 1);
      if (p.ReadLevel(w_.so) != 0) in |= static_cast<std::uint8_t>(1 << (bits - 1 - i));
      Set(p, w_.sck, 1);
      Set(p, w_.sck, 0);
    }
    return in;
  }

  Wiring w_;
};

}  // namespace

std::unique_ptr<Design> MakeAt25spi() {
  return std::make_unique<At25spi>(kSocket);
}

std::unique_ptr<Design> MakeAt25isp() {
  return std::make_unique<At25spi>(kHeader);
}

}  // namespace zelvar::sim
