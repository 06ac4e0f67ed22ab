#pragma once
// The X5045 designs for the X5045/X5043, which have no shift engine: FPGA register 18 sets line
// v & 0x7F high with bit 7, low without (line 1 SCK, line 2 SI, line 3 CS#), and command 1 puts
// SO's level into bit 0 of the next reply byte (a released SO reads 1 through the design's
// pull-up). The design holds WP# high and leaves SO and RESET, the chip's outputs, undriven.
// - "x5045dip08.bit": the 8-pin package on socket pins 17 to 24 (chip pin 1 CS# on 17, SO on 18,
//   WP# on 19, SI on 21, SCK on 22, RESET on 23).
// - "x5045dip14.bit": the 14-lead package on socket pins 14 to 27 (chip pin 1 CS# on 14, SO on 15,
//   WP# (pin 6) on 19, VSS (pin 7) on 20, SI (pin 8) on 21, SCK (pin 9) on 22, RESET (pin 13) on
//   26, VCC (pin 14) on 27).
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeX5045Dip08();
std::unique_ptr<Design> MakeX5045Dip14();

}  // namespace zelvar::sim
