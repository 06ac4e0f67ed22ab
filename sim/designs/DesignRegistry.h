#pragma once
// The designs the simulated programmer can run, by the tag that our stand-in bitstream files carry.
#include <memory>
#include <string_view>

#include "sim/Programmer.h"

namespace zelvar::sim {

// A new instance of the design tagged `tag`, nullptr when no design has that tag.
std::unique_ptr<Design> MakeDesign(std::string_view tag);

}  // namespace zelvar::sim
