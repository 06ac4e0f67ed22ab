#pragma once
// The line designs of the small OTP microcontroller sets ("sn8p*", "Holtek*", "cr80px00",
// "samsung3*"), ours: their bitstreams' logic is not published. Each tag is one wiring:
// - FPGA register 18 sets a line (value n low, n + 128 high); a line the wiring gives a socket pin
//   drives that pin, the others are the design's own (kept, driving nothing);
// - ports 0 and 1 (commands 16 and 17) drive their wiring's data pins, through series resistors
//   so that a chip driving them back wins; commands 1 and 2 sample the port-0 and port-1 pins into
//   the next reply byte, except where the wiring says otherwise:
// - a shifter wiring: 56 b clocks b out on a line's pin (most significant bit first, the width
//   74 n sets, 8 at load) and takes the bits on another line's pin in; 1 puts that byte into the
//   reply; 75 n sets the width taken in;
// - a serial-sample wiring: every rising edge of the clock line takes the data line's pin into an
//   eight-bit shift register; 1 puts it into the reply;
// - waits: 25, 26, 27, 28 and 29 take the times of the wiring's table.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

// The design of tag `tag`, nullptr when it is not one of these.
std::unique_ptr<Design> MakeSmallOtp(std::string_view tag);

}  // namespace zelvar::sim
