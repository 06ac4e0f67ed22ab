#include "algorithms/memory/AT49F.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
// "tmp=" names a socket pin; anything else takes no VPP.
std::uint8_t SocketPinParam(const char* key) {
  const int v = services().ChipParam(key);
  return v > 0 && v <= 40 ? static_cast<std::uint8_t>(v) : 0;
}
}  // namespace

void AT49F::Init() {
  FlashSet::Init();
  vppPin_ = SocketPinParam("tmp=");
}

void AT49F::Erase() {
  PinReset();
  if (!PowerUp()) return;
  SetRegister25(writeMode_);
  SelectVppPin(vppPin_);
  StartChipErase();
  const int era = services().ChipParam("era=");
  const int waits = 100 * (era >= 1 && era <= 100 ? era : 10);
  const std::uint32_t step = Type().lastAddress / static_cast<std::uint32_t>(waits);
  ShowProgress(0);
  for (int i = 0; i < waits; ++i) {
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(i) * step));
    PutCmd1(kCmdSettle);
    FlushCommands();
  }
  // The timed wait is shorter than the parts' 10 s chip erase: wait for DQ7 before VCC goes off.
  WaitForErase(300);
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
