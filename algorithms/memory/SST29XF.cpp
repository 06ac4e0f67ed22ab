#include "algorithms/memory/SST29XF.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"

namespace zelvar::memory {

using namespace zor5103;

void SST29XF::Erase() {
  PinReset();
  if (!PowerUp()) return;
  StartChipErase();
  for (int i = 0; i < kEraseWaits; ++i) PutCmd1(kCmdErasePulse);
  FlushCommands();
  SelectVppPin(0);
  SelectVccPin(0);
}

// The program time after each byte: 1 + 2 x (speed + 1) no-operation bytes ("快" 3, "正常" 5,
// "慢" 7). The speed is clamped: a project file may hold any value, and a count from it would
// overflow the queue.
void SST29XF::QueueProgramByte(std::uint8_t data, const Program&) {
  QueueCycles(kJedecProgram);
  CommandWrite(data);
  const std::uint32_t noOps = 1 + 2 * (Choice(kRadio1Word, 3) + 1);
  for (std::uint32_t i = 0; i < noOps; ++i) PutCmd1(0);
  PutCmd1(kCmdNextAddress);
}

}  // namespace zelvar::memory
