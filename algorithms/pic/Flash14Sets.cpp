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
constexpr const char* kBadCalibration =
    "Calibration word not valid, erase stopped! *校准字无效,停止擦除!";

// The factory calibration word is a RETLW: 0x34 in its high byte.
bool IsRetlw(std::uint16_t w) {
  return (w & 0x3F00) == 0x3400;
}
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

void PIC16F630::ToLastWord() const {
  for (std::int32_t i = 0; i < row_.lastAddress / 2; ++i) Command(Policy().codes.increment);
}

void PIC16F630::Erase() {
  // Both calibrations first: the bulk erase takes them with everything else.
  Enter();
  ToLastWord();
  FlushCommands();
  ReadCommand(Policy().codes.readProgram);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  const auto calibration = static_cast<std::uint16_t>(reply[0] | (reply[1] & 0x3F) << 8);
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  const std::uint16_t config = words[7];
  SuppliesOff();
  // A calibration word that is no RETLW (an erased chip, a failed read) would be written back
  // as the chip's calibration: keep the chip as it is.
  if (!IsRetlw(calibration)) {
    AddMessageLine(kBadCalibration);
    gLink.StatusWord = 1;
    return;
  }
  if (!HasData()) {
    if (!ChipErase(true)) return;
  } else {
    EraseByChoice(true);
  }
  Enter();
  ToLastWord();
  ProgramWord(calibration);
  SuppliesOff();
  Enter();
  Load(Policy().codes.loadConfig, 0x3FFF);
  for (int i = 0; i < 7; ++i) ProgramWord(0x3FFF);
  // Bits 0-11 erased: the band-gap bits 12 and 13 as they were.
  ProgramWord(static_cast<std::uint16_t>(config | 0x0FFF));
  SuppliesOff();
}

void PIC16F630::Config() {
  const std::uint16_t config = ConfigWord();
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x ", config);
  AddMessageLine(line);
  keptId_ = static_cast<std::uint16_t>(Word(64));
  if (!EnterChecked()) return;
  std::uint16_t words[8];
  ReadConfigSpace(0x00FF, words);
  Load(Policy().codes.loadConfig, 0x3FFF);
  WriteIds(keptId_);
  for (int i = 0; i < 3; ++i) ProgramWord(0x3FFF);
  ProgramWord(config);
  keptConfig_ = config;
  SuppliesOff();
  ConfigReadsBack(config);
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
