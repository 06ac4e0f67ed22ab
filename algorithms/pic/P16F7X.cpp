#include "algorithms/pic/P16F7X.h"

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"

namespace zelvar::pic {

std::uint16_t P16F7X::ConfigWord() const {
  // The oscillator radio's item is the FOSC1:FOSC0 value (LP, XT, HS, RC).
  return static_cast<std::uint16_t>((ConfigToWrite() & ~3u) | (Word(128) & 3u));
}

void P16F7X::Erase() {
  Enter();
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
  if (!CheckPower()) return;
  // From configuration space the bulk erase takes the configuration word and CP with the code.
  Load(Policy().codes.loadConfig, 0x3FFF);
  Command(0xF9);
  Load(Policy().codes.loadProgram, 0x3FFF);
  Command(0xF8);
  for (int i = 0; i < 3; ++i) PutCmd1(pic_icsp::kCmdLongWait);
}

}  // namespace zelvar::pic
