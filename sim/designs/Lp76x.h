#pragma once
// The serial designs of the 87LPC76x set: command 47 shifts its byte out on the chip's P0.4,
// most significant bit first, a P0.5 clock pulse a bit; command 48 lets P0.4 go and clocks a
// byte in (sampled while the clock is high) into the next reply byte; command 25 waits 100 us.
// Wiring (clock, data socket pins): "lp76x" 31, 32 (the 14-, 16- and 20-pin parts as their
// placement pictures seat them on models below 6300); "lp76xp16" 25, 26 and "lp76xp20" 26, 27
// (seated at the bottom). These designs are ours: the bitstreams' logic is not published.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeLp76x();
std::unique_ptr<Design> MakeLp76xP16();
std::unique_ptr<Design> MakeLp76xP20();

}  // namespace zelvar::sim
