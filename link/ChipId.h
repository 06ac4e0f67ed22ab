#pragma once
// The electronic signature of a parallel EPROM or flash in the 40-pin socket, which several
// memory sets use as their Read ID. It lives with the link so that the sets can call it.

namespace zelvar {

// Reads the signature with A9 at 12.5 V, logs "mm,dd" and returns device * 256 + manufacturer.
int ReadChipId16();

}  // namespace zelvar
