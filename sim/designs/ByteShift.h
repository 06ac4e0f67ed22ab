#pragma once
// The byte-shift commands the serial byte designs share ("at25spi", "ak6420*"): 56 b shifts b out
// and keeps the byte taken in, 57 clocks a byte in to the next reply byte, 1 puts the last
// shift's byte into the reply, 74 n and 75 n set the bits a shift out and a shift in move (8
// after a load), 26 waits 1 ms and 28 100 ms. A design gives its wiring: how one shift clocks
// the chip, and what it holds before every command.
#include <cstdint>

#include "sim/Programmer.h"

namespace zelvar::sim {

class ByteShiftDesign : public Design {
 public:
  int CommandLength(std::uint8_t op) const override;
  bool Execute(Programmer& p, const Command& c) override;

 protected:
  // `bits` bits of `out` on the data-in line, most significant first; the bits taken in.
  virtual std::uint8_t Shift(Programmer& p, std::uint8_t out, int bits) = 0;
  // The lines the design holds whatever the command (inputs, idle levels).
  virtual void Hold(Programmer& p) = 0;
  // Sets socket pin `pin` to `level` and lets the chip follow.
  static void Set(Programmer& p, int pin, int level);

 private:
  int outBits_ = 8, inBits_ = 8;
  std::uint8_t in_ = 0;
};

}  // namespace zelvar::sim
