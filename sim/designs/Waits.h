#pragma once
// The designs' time-only command bytes: each moves the simulated clock and changes no pin.
#include <cstdint>
#include <span>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct WaitCommand {
  std::uint8_t op;
  double us;
};

// True when `op` is one of `waits` (a one-byte command).
constexpr bool IsWait(std::span<const WaitCommand> waits, std::uint8_t op) {
  for (const WaitCommand& w : waits) {
    if (w.op == op) return true;
  }
  return false;
}

// Lets the time of `op` pass when it is one of `waits`; false for any other byte.
inline bool RunWait(Programmer& p, std::span<const WaitCommand> waits, std::uint8_t op) {
  for (const WaitCommand& w : waits) {
    if (w.op != op) continue;
    p.AdvanceUs(w.us);
    return true;
  }
  return false;
}

}  // namespace zelvar::sim
