#include "algorithms/pic/PIC1687XA.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::pic {

namespace {
constexpr std::uint8_t kBeginEraseProgram = 0x08, kChipErase = 0x1F;
}  // namespace

void PIC1687XA::Erase() {
  if (!TypeMatches()) return;
  // Scope 0 erases program and data memory from a program address; scope 1 from configuration
  // space, which takes the configuration word (code protection above all) too.
  const int scope = Word(128);
  if (scope != 0 && scope != 1) return;
  if (!EnterChecked()) return;
  if (scope == 0) {
    Load(Policy().codes.loadProgram, 0x3FFF);
  } else {
    Load(Policy().codes.loadConfig, 0x3FFF);
  }
  Command(kChipErase);
  Command(kBeginEraseProgram);
  PutCmd1(kCmdSettle);
  SuppliesOff();
}

void PIC1687XA::Config() {
  const std::uint16_t config = ConfigWord();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x ", config);
  AddMessageLine(line);
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  const IcspCodes& c = Policy().codes;
  Load(c.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  // 0x2004 to 0x2006 are passed, not written; the configuration word takes an erase and program.
  for (int i = 0; i < 3; ++i) Command(c.increment);
  Load(c.loadProgram, config);
  Command(kBeginEraseProgram);
  PutCmd1(kCmdSettle);
  keptConfig_ = config;
  SuppliesOff();
  ConfigReadsBack(config);
}

}  // namespace zelvar::pic
