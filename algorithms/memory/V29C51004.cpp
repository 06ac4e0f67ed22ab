#include "algorithms/memory/V29C51004.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr std::uint32_t kProtectAddress = 0x200;
}

void V29C51004::Erase() {
  PinReset();
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  SelectVppPin(Type().eraseVppPin);
  if (!CheckPower()) return;
  SetRegister25(writeMode_);
  SetAddress(0);
  for (int pass = 0; pass < 100; ++pass) {
    StartChipErase();
    for (int i = 0; i < 21; ++i) PutCmd1(kCmdErasePulse);
    FlushCommands();
  }
  WaitForErase(300);
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
}

void V29C51004::Lock() {
  SetVppVoltage(12000);
  PutCmd1(kCmdErasePulse);
  WritePort(2, 0xFF);
  SelectVccPin(kFlashVccPin);
  SetAddress(kProtectAddress);
  SetPinLow(kFlashCePin);
  SetPinLow(kFlashWePin);
  SelectVppPin(kFlashA9Pin);
  SelectVppPin(kFlashOePin + 128);
  SetPinHigh(kFlashOePin);
  SetPinHigh(kFlashWePin);
  SetPinHigh(kFlashCePin);
  SelectVppPin(0);
  SelectVccPin(0);
  SetVppVoltage(0);
}

void V29C51004::UnProtect() {
  SetVppVoltage(12000);
  PutCmd1(kCmdErasePulse);
  WritePort(2, 1);
  SelectVccPin(kFlashVccPin);
  SetAddress(kProtectAddress);
  SetPinHigh(kFlashCePin);
  SelectVppPin(kFlashOePin);
  SelectVppPin(kFlashA9Pin + 128);
  if (!CheckPower()) return;
  SelectVppPin(kFlashCePin);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashWePin);
  SetPinHigh(kFlashWePin);
  SetPinHigh(kFlashCePin);
  SelectVppPin(0);
  SelectVccPin(0);
  SetVppVoltage(0);
}

}  // namespace zelvar::memory
