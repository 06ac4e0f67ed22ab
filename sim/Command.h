#pragma once
// One command as the simulated programmer decoded it from a bulk OUT transfer.
#include <array>
#include <cstdint>

namespace zelvar::sim {

struct Command {
  std::array<std::uint8_t, 4> bytes{};
  std::uint8_t length = 0;
  std::uint32_t transfer = 0;  // index of the bulk OUT transfer that carried it
  std::uint32_t offset = 0;    // position in that transfer
  std::uint8_t op() const { return bytes[0]; }
};

}  // namespace zelvar::sim
