#include "algorithms/pic/Flash14.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"

namespace zelvar::pic {

int Flash14Set::SetupVccMillivolts() const {
  const int vcc = ChipVccMillivolts();
  return vcc < 2500 ? 5000 : vcc;
}

void Flash14Set::BulkEraseStep(std::uint8_t command) const {
  Enter();
  Command(command);
  EraseTrailer();
  SuppliesOff();
}

void Flash14Set::EraseByChoice(bool ownEntry) const {
  constexpr std::uint8_t kEraseProgram = 0x09, kEraseData = 0x0B;
  if (ownEntry) Enter();
  switch (Word(128)) {
    case 0:
      BulkEraseStep(kEraseProgram);
      break;
    case 1:
      BulkEraseStep(kEraseData);
      break;
    case 2:
      BulkEraseStep(kEraseProgram);
      BulkEraseStep(kEraseData);
      break;
    default:
      break;
  }
}

bool Flash14Set::ChipErase(bool flushEach) const {
  Enter();
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
  if (!CheckPower()) return false;
  Command(0xF9);
  Load(0xF2, 0x3FFF);
  Command(0xF8);
  for (int i = 0; i < 3; ++i) {
    PutCmd1(pic_icsp::kCmdLongWait);
    if (flushEach) FlushCommands();
  }
  SuppliesOff();
  return true;
}

}  // namespace zelvar::pic
