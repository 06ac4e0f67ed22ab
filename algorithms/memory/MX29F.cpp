#include "algorithms/memory/MX29F.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

void MX29F::Erase() {
  SelectVccPin(0);
  SetAllPins(false);
  PutCmd1(kCmdErasePulse);
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  SelectVppPin(Type().eraseVppPin);
  if (!CheckPower()) return;
  SetRegister25(writeMode_);
  SetAddress(0);
  const std::uint32_t step = Type().lastAddress / 10;
  ShowProgress(0);
  for (std::uint32_t pass = 1; pass <= 10; ++pass) {
    ShowProgress(static_cast<int>(pass * step));
    StartChipErase();
    for (int i = 0; i < 100; ++i) PutCmd1(kCmdSettle);
    FlushCommands();
  }
  // Ten passes of 0.1 s are shorter than the chip erase: wait for DQ7 before VCC goes off.
  WaitForErase(300);
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
}

void MX29F::UnProtect() {
  SelectVccPin(0);
  SetAllPins(false);
  PutCmd1(kCmdErasePulse);
  SetAddress(0);
  SetVppVoltage(12000);
  PutCmd1(kCmdSettle);
  SetPinLow(kFlashCePin);
  SetVccVoltage(vccMillivolts_);
  SelectVccPin(kFlashVccPin);
  SetPinHigh(kFlashOePin);
  SetPinHigh(kFlashA9Pin);
  SetPinHigh(10);
  SelectVppPin(kFlashOePin);
  SelectVppPin(kFlashA9Pin + 128);
  if (!CheckPower()) return;
  SetPinLow(kFlashWePin);
  PutCmd1(kCmdSettle);
  SetPinHigh(kFlashWePin);
  PutCmd1(kCmdSettle);
  SelectVppPin(0);
  SetVppVoltage(0);
}

}  // namespace zelvar::memory
