#pragma once
// The byte designs of the 16-bit serial EEPROMs ("ak6420std.bit", "ak6420af.bit",
// "ak6420af6300.bit"): one logic, three wirings of the chip's CS#, SK, DI and DO to the socket.
// The chip takes DI on the rising SK edge and changes DO on the falling one, and starts an
// instruction when CS# falls while SK is high, so the design keeps SK high between bits: a bit is
// SK low, DI set, DO taken in, SK high. Register 18 line 4 is CS# (bit 7 high); lines 2 and 3
// reach no chip pin in these wirings. Commands as the SPI byte design's: 56 b out, 57 a byte in
// to the reply, 1 the last shift's byte to the reply, 74/75 the shift lengths, 26 1 ms, 28 100 ms.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAk6420Std();
std::unique_ptr<Design> MakeAk6420Af();
std::unique_ptr<Design> MakeAk6420Af6300();

}  // namespace zelvar::sim
