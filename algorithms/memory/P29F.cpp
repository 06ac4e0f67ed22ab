#include "algorithms/memory/P29F.h"

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace zor5103;

std::uint8_t P29F::WriteVppPin() const {
  return services().ChipParam("tmp=") == kFlashPin1 ? kFlashPin1 : 0;
}

void P29F::Erase() {
  PinReset();
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  SelectVppPin(Type().eraseVppPin);
  if (WriteVppPin()) SelectVppPin(WriteVppPin());
  if (!CheckPower()) return;
  SetRegister25(writeMode_);
  StartChipErase();
  for (int i = 0; i < 30; ++i) {
    PutCmd1(kCmdErasePulse);
    FlushCommands();
  }
  // Thirty waits are shorter than a large part's chip erase: wait for DQ7 before VCC goes off.
  WaitForErase(300);
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
}

void P29F::UnProtect() {
  const int method = services().ChipParam("upr=");
  if (method == 0) {
    SetAddress(0);
    WritePort(2, 0);
    PutCmd1(kCmdSettle);
    SetPinLow(kFlashCePin);
    SelectVccPin(kFlashVccPin);
    if (!CheckPower()) return;
    SetPinHigh(kFlashA9Pin);
    SelectVppPin(kFlashA9Pin);
    SetPinLow(kFlashOePin);
    SetPinLow(kFlashCePin);
    PutCmd1(kCmdSettle);
    SetPinHigh(kFlashCePin);
    PutCmd1(kCmdSettle);
  } else if (method == 1) {
    SetAddress(0x11240);
    PutCmd1(kCmdErasePulse);
    SelectVccPin(kFlashVccPin);
    if (!CheckPower()) return;
    SetPinHigh(kFlashOePin);
    SetPinHigh(kFlashCePin);
    SelectVppPin(kFlashOePin);
    SelectVppPin(kFlashWePin + 128);
    SetPinLow(kFlashCePin);
    PutCmd1(kCmdErasePulse);
    SetPinHigh(kFlashCePin);
  } else {
    return;
  }
  SelectVppPin(0);
  SelectVccPin(0);
  SelectVppPin(0);
}

}  // namespace zelvar::memory
