#include "algorithms/pic/PIC16F.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

void PIC16F::Init() {
  IcspSet::Init();
  cf2_ = services().ChipParam("cf2=");
}

void PIC16F::Erase() {
  Enter();
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  InitFpgaReg20();
  if (!CheckPower()) return;
  Load(Policy().codes.loadConfig, 0x2000);
  Command(0x09);
  for (int i = 0; i < 3; ++i) PutCmd1(pic_icsp::kCmdLongWait);
}

void PIC16F::ReadConfig() {
  if (!EnterChecked()) return;
  std::uint16_t words[9];
  ReadConfigSpace(Policy().readConfigLoad, words, 9);
  keptId_ = static_cast<std::uint16_t>((words[0] & 15) << 12 | (words[1] & 15) << 8 |
                                       (words[2] & 15) << 4 | (words[3] & 15));
  keptConfig_ = words[7];
  config2_ = words[8];
  SetWord(0, keptConfig_);
  SetWord(64, keptId_);
  SetWord(65, words[6]);
  SuppliesOff();
  char line[48];
  if (cf2_ != 0) {
    std::snprintf(line, sizeof line, "Config1=%04x, Config2=%04x", keptConfig_, config2_);
  } else {
    std::snprintf(line, sizeof line, "Config = %04x", keptConfig_);
  }
  AddMessageLine(line);
}

void PIC16F::Config() {
  const std::uint16_t config = ConfigWord();
  char line[48];
  if (cf2_ != 0) {
    std::snprintf(line, sizeof line, "Config1=%04x, Config2=%04x", config, config2_);
  } else {
    std::snprintf(line, sizeof line, "Config = %04x ", config);
  }
  AddMessageLine(line);
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  Load(Policy().codes.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  for (int i = 0; i < 3; ++i) ProgramWord(0x3FFF);
  ProgramWord(config);
  if (cf2_ != 0) ProgramWord(config2_);
  keptConfig_ = config;
  SuppliesOff();
  ConfigReadsBack(config);
}

}  // namespace zelvar::pic
