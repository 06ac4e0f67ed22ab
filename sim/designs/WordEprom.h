#pragma once
// The 16-bit EPROM designs in the 40-pin socket ("at27c2048dip40.bit", "at27c4096dip40.bit"):
// control lines through FPGA register 18, the address through registers 21 to 23, word reads,
// word writes and an address counter.
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

std::unique_ptr<Design> MakeAt27c2048Dip40();
std::unique_ptr<Design> MakeAt27c4096Dip40();

}  // namespace zelvar::sim
