// The steps in which "P16F628A", "PIC16F630" and "PIC16F882" differ.
#include <cstdio>

#include "algorithms/pic/P16F628A.h"
#include "algorithms/pic/PIC16F630.h"
#include "algorithms/pic/PIC16F882.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::pic {

namespace {
constexpr std::uint8_t kBeginProgramming = 0x08;
}  // namespace

// --- P16F628A.

void P16F628A::EraseTrailer() const {
  Command(kBeginProgramming);
  PutCmd1(kCmdSettle);
}

void P16F628A::Erase() {
  if (!HasData()) {
    ChipErase(false);
    return;
  }
  EraseByChoice(true);
}

// --- PIC16F630.

std::span<const McuPackage> PIC16F630::Packages() const {
  if (gLink.ModelNumber >= 6300) return pic16f630::kPackages6300;
  return pic16f630::kPackages;
}

void PIC16F630::EraseTrailer() const {
  Command(kBeginProgramming);
  PutCmd1(kCmdSettle);
}

void PIC16F630::Erase() {
  CalibratedErase(static_cast<int>(Word(128)));
}

void PIC16F630::Config() {
  CalibratedConfig();
}

// --- PIC16F882.

std::span<const McuPackage> PIC16F882::Packages() const {
  if (gLink.ModelNumber >= 6300) return pic16f882::kPackages6300;
  return pic16f882::kPackages;
}

void PIC16F882::EraseTrailer() const {
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
}

void PIC16F882::Erase() {
  EraseByChoice(false);
}

void PIC16F882::Config() {
  const std::uint16_t config1 = ConfigToWrite(0), config2 = ConfigToWrite(1);
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  Load(Policy().codes.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  for (int i = 0; i < 3; ++i) ProgramWord(0x3FFF);
  ProgramWord(config1);
  ProgramWord(config2);
  ProgramWord(ConfigToWrite(2));
  keptConfig_ = config1;
  SuppliesOff();
  // Both words read back; the calibration word is the chip's own and is not compared.
  Enter();
  std::uint16_t words[10];
  ReadConfigSpace(0x00FF, words, 10);
  SuppliesOff();
  if ((words[7] & 0x3FFF) == config1 && (words[8] & 0x3FFF) == config2) return;
  AddMessageLine("Config verify error! *配置字校验错误!");
  gLink.StatusWord = 1;
  gLink.FailAddress = (words[7] & 0x3FFF) == config1 ? 0x2008 : 0x2007;
  gLink.FailByte = (words[7] & 0x3FFF) == config1 ? words[8] & 0xFF : words[7] & 0xFF;
}

void PIC16F882::ReadConfig() {
  if (!EnterChecked()) return;
  std::uint16_t words[10];
  ReadConfigSpace(0x00FF, words, 10);
  keptId_ = static_cast<std::uint16_t>((words[0] & 15) << 12 | (words[1] & 15) << 8 |
                                       (words[2] & 15) << 4 | (words[3] & 15));
  keptConfig_ = words[7];
  const std::uint16_t id = words[6] & 0x3FF0;
  SetWord(64, keptId_);
  SetWord(65, id);
  SetWord(0, words[7]);
  SetWord(1, words[8]);
  SetWord(2, words[9]);
  SuppliesOff();
  char line[64];
  std::snprintf(line, sizeof line, "User.ID=%04X,MFA.ID=%04X", keptId_, id);
  AddMessageLine(line);
  std::snprintf(line, sizeof line, "Config=%04X,%04X,%04X", words[7], words[8], words[9]);
  AddMessageLine(line);
}

}  // namespace zelvar::pic
