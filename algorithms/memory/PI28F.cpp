#include "algorithms/memory/PI28F.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr std::uint8_t kEraseSetup = 0x20, kEraseVerify = 0xA0;
constexpr int kErasePulses = 101, kFirstReadAfter = 20;
constexpr int kEraseWaits = 10;  // ten 1 ms waits: the 10 ms erase pulse
}  // namespace

void PI28F::QueueProgramByte(std::uint8_t data, const Program&) {
  QueueSetupProgram(data);
}

void PI28F::Erase() {
  RestoreSupplies();
  SelectVccPin(Type().vccPin);
  SelectVppPin(Type().eraseVppPin);
  if (!CheckPower()) return;
  SetRegister25(writeMode_);
  SetAddress(0);
  PulseErase e;
  e.pulses = kErasePulses;
  e.readFrom = kFirstReadAfter;
  e.progressStep = Type().lastAddress / 100;
  ErasePulses(e, [this](int) {
    SetRegister25(writeMode_);
    SetPinHigh(kFlashOePin);
    SetPinLow(kFlashCePin);
    CommandWrite(kEraseSetup);
    CommandWrite(kEraseSetup);
    for (int i = 0; i < kEraseWaits; ++i) PutCmd1(kCmdSettle);
    // Erase verify at address 0 ends the pulse; the chip then reads that byte.
    WritePort(2, kEraseVerify);
    SetPinHigh(kFlashOePin);
    SetPinLow(kFlashCePin);
    SetPinLow(kFlashWePin);
    SetPinHigh(kFlashWePin);
    SetPinHigh(kFlashCePin);
    SetPinLow(kFlashOePin);
    SetRegister25(readMode_);
    SetPinLow(kFlashCePin);
  });
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
