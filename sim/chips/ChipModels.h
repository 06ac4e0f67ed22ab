#pragma once
// Every chip model by the catalogue name of a chip it stands for: the EPROMs, the JEDEC and
// Intel-style flash, the NVRAM modules and the 8051 microcontrollers.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

// A blank model of the part `chipName` names ("AMD: AM29F040" or "AM29F040" gives the Am29F040):
// the name after any "MAKER: " must be a model's own part name, or a catalogue name listed for
// one (a maker's prefix, ordering code or set suffix of the same part). Nothing is matched by a
// part of the name: a near name (AT89C51RB2, W78E54C) or a package the model is not written for
// ("*P44", "(ISP)") gives nullptr.
std::shared_ptr<ChipModel> MakeChipModel(std::string_view chipName);

}  // namespace zelvar::sim
