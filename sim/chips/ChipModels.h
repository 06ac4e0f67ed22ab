#pragma once
// Every chip model by the catalogue name of a chip it stands for: the EPROMs, the JEDEC and
// Intel-style flash and the NVRAM modules.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

// A blank model of the part whose name `chipName` holds ("AMD: AM29F040" or "AM29F040" gives the
// Am29F040), the longest such part name when several match; nullptr when none does.
std::shared_ptr<ChipModel> MakeChipModel(std::string_view chipName);

}  // namespace zelvar::sim
