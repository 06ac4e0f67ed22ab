#pragma once
// The two-wire serial lines of the PIC in-circuit designs: PGD carries the bits, least
// significant first, each clocked by PGC high for half a bit time and low for the other half.
#include <cstdint>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct IcspBits {
  int pgc = 0;
  int pgd = 0;
  double bitUs = 1;

  void Clock(Programmer& p, int level) const {
    p.level[pgc] = level;
    p.Settle();
    p.AdvanceUs(bitUs / 2);
  }

  // PGD driven with `count` bits of `bits`, then left low.
  void Out(Programmer& p, std::uint32_t bits, int count) const {
    p.busInput[pgd] = false;
    for (int i = 0; i < count; ++i) {
      p.level[pgd] = static_cast<int>((bits >> i) & 1);
      Clock(p, 1);
      Clock(p, 0);
    }
    p.level[pgd] = 0;
    p.Settle();
  }

  // `clocks` clocks with PGD let go: the chip's bits after the rising edges from the 9th on (a
  // bit it does not drive reads 1), then PGD driven low again.
  std::uint32_t In(Programmer& p, int clocks) const {
    p.busInput[pgd] = true;
    p.Settle();
    std::uint32_t word = 0;
    for (int k = 1; k <= clocks; ++k) {
      Clock(p, 1);
      if (k >= 9) {
        const int cp = p.ChipPinAt(pgd);
        const int d = cp > 0 && p.chip() ? p.chip()->Drive(cp) : -1;
        if (d != 0) word |= 1u << (k - 9);
      }
      Clock(p, 0);
    }
    p.busInput[pgd] = false;
    p.level[pgd] = 0;
    p.Settle();
    return word;
  }
};

}  // namespace zelvar::sim
