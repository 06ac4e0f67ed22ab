#include "algorithms/memory/SST28VF040.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr std::uint32_t kSector = 256;
constexpr std::uint8_t kByteProgramSetup = 0x10;
constexpr int kSectorEraseWaits = 5;  // 1 ms each: the 2 ms sector erase with margin
// 1 ms each: the chip erase takes 20 ms; a shorter wait would switch VCC off in the middle of it.
constexpr int kChipEraseWaits = 20;
}  // namespace

// Seven read cycles (CE# pulsed with OE# low) at the sequence's addresses. WE# is held high: a
// cycle with WE# low is no read.
void SST28VF040::Unprotect() {
  SetRegister25(readMode_);
  SetPinHigh(kFlashWePin);
  SetPinLow(kFlashOePin);
  SetPinHigh(kFlashCePin);
  for (const std::uint32_t a : kUnprotectReads) {
    SetAddress(a);
    SetPinLow(kFlashCePin);
    SetPinHigh(kFlashCePin);
  }
  FlushCommands();
}

void SST28VF040::QueueProgramByte(std::uint8_t data, const Program&) {
  CommandWrite(kByteProgramSetup);
  CommandWrite(data);
  PutCmd1(kCmdNextAddress);
}

void SST28VF040::ChipCommand(std::uint8_t data) {
  SetPinLow(kFlashCePin);
  CommandWrite(data);
  SetPinHigh(kFlashCePin);
}

void SST28VF040::Erase() {
  if (!PowerUp()) return;
  Unprotect();
  SetRegister25(writeMode_);
  SetAddress(0);
  SetPinHigh(kFlashOePin);
  SetPinHigh(kFlashCePin);
  if (Word(kRadio1Word) != 0) {
    for (std::uint32_t a = 0; a < lastAddress_; a += kSector) {
      SetAddress(a);
      ChipCommand(0x20);
      ChipCommand(0xD0);
      for (int i = 0; i < kSectorEraseWaits; ++i) PutCmd1(kCmdWait1ms);
      FlushCommands();
      ShowProgress(static_cast<int>(a));
    }
    ShowProgress(-1);
  } else {
    ChipCommand(0x30);
    ChipCommand(0x30);
    for (int i = 0; i < kChipEraseWaits; ++i) PutCmd1(kCmdSettle);
    FlushCommands();
  }
  SelectVccPin(0);
}

}  // namespace zelvar::memory
