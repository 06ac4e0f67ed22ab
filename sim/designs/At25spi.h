#pragma once
// The SPI byte design ("at25spi.bit") for an 8-pin 25-series part on socket pins 17 to 24 (chip
// pin 1 CS# on 17, SO on 18, WP# on 19, SI on 21, SCK on 22, HOLD# on 23). FPGA register 18 sets
// line v & 0x7F high with bit 7, low without: line 2 SCK, line 4 CS#. The design holds WP# and
// HOLD# high and reads SO through a pull-up (a released SO reads 1); it never drives SO.
// Its own commands (SPI mode 0): 56 b shifts b out on SI, bit 7 first, taking SO in before each
// rising clock edge; 57 clocks a byte in the same way with SI low, into the next reply byte; 1 puts
// the byte the last shift took in into the next reply byte; 74 n and 75 n set the bits a shift out
// and a shift in move (8 after a load); 26 waits 1 ms, 28 waits 100 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAt25spi();
// "at25isp.bit": the same commands and lines on the in-system header (IspHeader.h): SCK on header
// pin 1 (socket pin 19), SO on 3 (20), CS# on 5 (21), SI on 9 (23); it holds nothing else high
// (the board ties WP# to VCC, as the header legend asks).
std::unique_ptr<Design> MakeAt25isp();

}  // namespace zelvar::sim
