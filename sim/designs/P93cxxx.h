#pragma once
// The Microwire design ("p93cxxx.bit"): the bus runs on the programmer's own pin commands; the
// design adds command 1, the data-out level of socket pin 20 in bit 0 of the next reply byte (a
// released line reads 1 through the design's pull-up), 26 (1 ms) and 28 (100 ms) waits, and
// follows the pin release and restore registers (26 and 27), so that a released pin is an input.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeP93cxxx();

}  // namespace zelvar::sim
