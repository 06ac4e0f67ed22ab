#pragma once
// The self-test design ("testpin.bit"). While FPGA register 27 is set, a probe (command 23, one
// reply byte) answers 1 when the socket pin reads high: a supply of 2 V or more holds it (ground
// holds it low), or a chip in the socket carries a supplied pin's voltage to all its pins through
// its protection diodes; otherwise the pin's resistor network decides, pulling it up while the
// pin drivers are on and down while they are off. Driver levels set by commands 8 and 9 do not
// reach the pins in this mode. Register 37 (command 14) queues the identity byte 'l'; command 26
// waits for the sense lines to settle. The programmer's SocketFaults break the wiring on purpose.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeTestPin();

}  // namespace zelvar::sim
