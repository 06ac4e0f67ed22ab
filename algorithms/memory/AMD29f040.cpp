#include "algorithms/memory/AMD29f040.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr int kErasePolls = 300;
// Method 1 drives pin 36 low and then switches VCC onto it, and puts the 12 V supply on WE#
// (pin 35), which the Am29F040 rates for VCC + 0.5 V only.
constexpr int kRefusedMethod = 1;
}  // namespace

void AMD29f040::Init() {
  FlashSet::Init();
  method_ = services().ChipParam("upr=");
}

bool AMD29f040::UnProtectSteps() {
  if (method_ == kRefusedMethod) {
    AddMessageLine(
        "Unprotect method 1 refused: it puts 12 V on WE# and drives VCC low! *保护解除方法1已拒绝: "
        "WE#上12V, VCC脚被拉低!");
    gLink.StatusWord = 1;
    return false;
  }
  if (method_ == 2) {
    SetAddress(0);
    WritePort(2, 0);
    SetPinLow(kFlashCePin);
    SelectVccPin(kFlashVccPin);
    SetPinHigh(kFlashA9Pin);
    SelectVppPin(kFlashA9Pin);
    SetPinLow(kFlashOePin);
    SetPinLow(kFlashCePin);
    PutCmd1(kCmdSettle);
    SetPinHigh(kFlashCePin);
    PutCmd1(kCmdSettle);
  } else if (method_ == 3) {
    SetAddress(0);
    WritePort(2, 0xFF);
    SetPinLow(kFlashCePin);
    SelectVccPin(kFlashVccPin);
    SetPinHigh(kFlashA9Pin);
    SelectVppPin(kFlashA9Pin);
    SelectVppPin(kFlashOePin + 128);
    SetPinLow(kFlashCePin);
    SelectVppPin(kFlashCePin + 128);
    SetPinLow(kFlashWePin);
    PutCmd1(kCmdSettle);
    SetPinHigh(kFlashWePin);
    PutCmd1(kCmdSettle);
  }
  SelectVppPin(0);
  SelectVccPin(0);
  SetPinLow(kFlashVccPin);
  FlushCommands();
  return true;
}

void AMD29f040::Erase() {
  gLink.StatusWord = 0;
  if (!UnProtectSteps()) return;
  PinReset();
  if (!PowerUp()) return;
  SetPinHigh(kFlashWePin);
  StartChipErase();
  // DQ7 reads 1 once the embedded erase has ended; the Blank after Erase reports a chip that
  // never got there.
  WaitForErase(kErasePolls);
  ShowProgress(-1);
  SelectVccPin(0);
}

// Only method 1 protects (A9 and OE# at 12 V, a WE# pulse).
void AMD29f040::Lock() {
  if (method_ == 1) {
    SetAddress(0);
    SelectVccPin(kFlashVccPin);
    if (!CheckPower()) return;
    SetPinHigh(kFlashWePin);
    SetPinLow(kFlashCePin);
    SelectVppPin(kFlashA9Pin);
    SelectVppPin(kFlashOePin + 128);
    SetPinLow(kFlashWePin);
    SetPinHigh(kFlashWePin);
  }
  PutCmd1(kCmdSettle);
  SelectVppPin(0);
  SelectVccPin(0);
}

void AMD29f040::ReadId() {
  SetAddress(0);
  RestoreSupplies();
  // The bus in read mode and CE#, OE# high before VCC: the last operation left every pin low,
  // and the chip's outputs must not come on against the bus.
  SetRegister25(readMode_);
  SetPinHigh(kFlashCePin);
  SetPinHigh(kFlashOePin);
  SelectVccPin(kFlashVccPin);
  SelectVppPin(kFlashA9Pin);
  if (!CheckPower()) return;
  SetRegister25(readMode_);
  SetPinHigh(kFlashWePin);
  SetPinLow(kFlashOePin);
  SetPinLow(kFlashCePin);
  FlushCommands();
  PutCmd1(kCmdReadBlock1k);
  FlushCommands();
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadSetBlock(block, kBlockBytes);
  SelectVppPin(0);
  SelectVccPin(0);
  char line[48];
  std::snprintf(line, sizeof line, "MFG:%02x, Device:%02x, Protect:%02x", block[0], block[1],
                block[2]);
  AddMessageLine(line);
}

}  // namespace zelvar::memory
