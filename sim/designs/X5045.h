#pragma once
// The X5045 design ("x5045dip08.bit") for the 8-pin X5045/X5043 on socket pins 17 to 24 (chip
// pin 1 CS# on 17, SO on 18, WP# on 19, SI on 21, SCK on 22, RESET on 23). It has no shift
// engine: FPGA register 18 sets line v & 0x7F high with bit 7, low without (line 1 SCK, line 2
// SI, line 3 CS#), and command 1 puts SO's level into bit 0 of the next reply byte (a released SO
// reads 1 through the design's pull-up). The design holds WP# high and leaves SO and RESET, the
// chip's outputs, undriven.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeX5045Dip08();

}  // namespace zelvar::sim
