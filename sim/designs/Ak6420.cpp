#include "sim/designs/Ak6420.h"

#include "sim/designs/ByteShift.h"

namespace zelvar::sim {

namespace {

// Socket pins of the chip's serial lines in one wiring.
struct Wiring {
  const char* name;
  int cs, sk, di, dout;
};

// The standard pinout (CS# 1, SK 2, DI 3, DO 4) on socket pins 17 to 24; the rotated one (CS# 3,
// SK 4, DI 5, DO 6) on pins 17 to 24 of the 48-pin socket, and turned on the adapter rows 12 to 15
// of the 40-pin socket (chip pin 1 on socket pin 26, pin 5 on 12).
constexpr Wiring kStd{"ak6420std", 17, 18, 19, 20};
constexpr Wiring kAf6300{"ak6420af6300", 19, 20, 21, 22};
constexpr Wiring kAf{"ak6420af", 28, 29, 12, 13};

class Ak6420 final : public ByteShiftDesign {
 public:
  explicit Ak6420(const Wiring& w) : w_(w) {}
  std::string Name() const override { return w_.name; }

  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override {
    Hold(p);
    if (reg == 18 && (value & 0x7F) == 4) Set(p, w_.cs, (value & 0x80) ? 1 : 0);
  }

 private:
  // DO is the design's input; SK rests high.
  void Hold(Programmer& p) override {
    p.busInput[static_cast<std::size_t>(w_.dout)] = true;
    Set(p, w_.sk, 1);
  }
  // SK low, DI set, DO taken in, SK high.
  std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) override {
    std::uint8_t in = 0;
    for (int i = 0; i < bits && i < 8; ++i) {
      Set(p, w_.sk, 0);
      Set(p, w_.di, (out >> (7 - i)) & 1);
      if (p.ReadLevel(w_.dout) != 0) in |= static_cast<std::uint8_t>(1 << (bits - 1 - i));
      Set(p, w_.sk, 1);
    }
    return in;
  }
  Wiring w_;
};

}  // namespace

std::unique_ptr<Design> MakeAk6420Std() {
  return std::make_unique<Ak6420>(kStd);
}
std::unique_ptr<Design> MakeAk6420Af() {
  return std::make_unique<Ak6420>(kAf);
}
std::unique_ptr<Design> MakeAk6420Af6300() {
  return std::make_unique<Ak6420>(kAf6300);
}

}  // namespace zelvar::sim
