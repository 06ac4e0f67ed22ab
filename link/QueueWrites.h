#pragma once
// The command-queue writes sent to the programmer so far: two readings tell whether anything
// between them reached it.
#include <cstdint>

namespace zelvar {

std::uint32_t QueueWritesSent();

}  // namespace zelvar
