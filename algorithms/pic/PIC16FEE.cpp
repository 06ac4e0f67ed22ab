#include "algorithms/pic/PIC16FEE.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"

namespace zelvar::pic {

namespace {
// The bulk-erase setup pair around Begin Erase/Programming.
constexpr std::uint8_t kSetup1 = 0x01, kSetup2 = 0x07, kBeginErase = 0x08;
// The erase of a part without data EEPROM.
constexpr std::uint8_t kBulkEraseProgram = 0xF9, kBeginProgramming = 0xF8;
}  // namespace

void PIC16FEE::EraseCycle() {
  Command(kSetup1);
  Command(kSetup2);
  Command(kBeginErase);
  PutCmd1(kCmdSettle);
  Command(kSetup1);
  Command(kSetup2);
}

void PIC16FEE::EraseProgram() const {
  Enter();
  Load(Policy().codes.loadProgram, 0x3FFF);
  EraseCycle();
  SuppliesOff();
}

bool PIC16FEE::EraseData() const {
  if (!EnterChecked()) return false;
  Load(Policy().codes.loadData, 0x3FFF);
  EraseCycle();
  SelectVppPin(0);
  return true;
}

bool PIC16FEE::EraseAll() const {
  if (!EnterChecked()) return false;
  // To the configuration word: the erase then takes code protection with everything else.
  Load(Policy().codes.loadConfig, 0x3FFF);
  for (int i = 0; i < 7; ++i) Command(Policy().codes.increment);
  EraseCycle();
  SuppliesOff();
  return true;
}

bool PIC16FEE::BulkErase() const {
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
  if (!CheckPower()) return false;
  Command(kBulkEraseProgram);
  Load(Policy().codes.loadProgram, 0x3FFF);
  Command(kBeginProgramming);
  for (int i = 0; i < 3; ++i) PutCmd1(pic_icsp::kCmdLongWait);
  SuppliesOff();
  return true;
}

void PIC16FEE::Erase() {
  Enter();
  if (!HasData()) {
    BulkErase();
    return;
  }
  switch (Word(128)) {
    case 0:
      EraseProgram();
      break;
    case 1:
      EraseData();
      break;
    case 2:
      EraseProgram();
      EraseData();
      break;
    case 3:
      if (EraseAll()) EraseData();
      break;
    default:
      break;
  }
}

}  // namespace zelvar::pic
