#pragma once
// The memory designs claim command 14 only to answer the power-status register (31) "good" (bit 0
// of both reply bytes) and then leave the command to the programmer core. This goes once the
// core answers the power status itself.
#include "sim/Programmer.h"

namespace zelvar::sim {

inline bool AnswerPowerStatus(Programmer& p, const Command& c) {
  if (c.bytes[1] == 31) {
    p.PushReplyByte(1);
    p.PushReplyByte(1);
  }
  return false;
}

}  // namespace zelvar::sim
