#pragma once
// Every chip model the simulated socket can take, by part name, whatever its family.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

// A blank model of `part` ("27C256", "AT89C51", ...); nullptr for an unknown name.
std::shared_ptr<ChipModel> MakeChip(std::string_view part);
// The part name of MakeChip that a catalogue chip name holds, the longest; empty when none does.
std::string_view ChipPartOf(std::string_view chipName);

}  // namespace zelvar::sim
