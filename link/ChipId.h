#pragma once
// The electronic signature of a parallel EPROM or flash in the 40-pin socket, which several
// memory sets use as their Read ID. It lives with the link so that the sets can call it.

#include <cstdint>

namespace zelvar {

// Reads the signature with A9 at 12.5 V, logs "mm,dd" and returns device * 256 + manufacturer.
// vccPin is the socket pin that takes VCC: 36 for a 32-pin part at the bottom of the socket; a
// flash part reads only with its write enable high, so `writeEnablePin` (0: none) stays high.
int ReadChipId16(std::uint8_t vccPin = 36, std::uint8_t writeEnablePin = 0);

}  // namespace zelvar
