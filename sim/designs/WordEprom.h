#pragma once
// The 16-bit EPROM designs ("at27c2048dip40.bit", "at27c4096dip40.bit", and the 42-pin
// "m27c160dip42.bit" and "m27c322dip42.bit"): control lines through FPGA register 18, the address
// through registers 21 to 23, word reads, word writes and an address counter. The designs' line
// map is ours (the bitstreams are not published): line 1 BYTE#, 2 CE, 3 OE, 4 PGM.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAt27c2048Dip40();
std::unique_ptr<Design> MakeAt27c4096Dip40();
std::unique_ptr<Design> MakeM27c160Dip42();
std::unique_ptr<Design> MakeM27c322Dip42();

}  // namespace zelvar::sim
