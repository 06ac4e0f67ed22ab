// "I27CX": 16-bit EPROMs in 40-, 42- and 44-pin packages, each type with its own bitstream.
#include "algorithms/memory/MemorySet.h"
#include "algorithms/memory/Sets.h"

namespace zelvar {

std::uint8_t I27CXDispatch(int, std::uint8_t*, std::int32_t*, ChipUiList*) {
  return 0;
}

}  // namespace zelvar
