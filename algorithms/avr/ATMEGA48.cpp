#include "algorithms/avr/ATMEGA48.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::avr {

using namespace avr_parallel;

void ATMEGA48::Init() {
  // Only the 28-pin DIP has a design; without one the 12 V operations would run on whatever
  // design the last chip loaded.
  const char* design = services().ChipParam("pkg=") == 28 ? "atmega8dip28.bit" : nullptr;
  SetUp(kTypes.size(), design, "No design for this package (pkg=28 only)*此封装没有对应的逻辑",
        5000);
}

bool ATMEGA48::WriteFuses(std::uint8_t low, std::uint8_t high, std::uint8_t extended) {
  if (!EnterChecked()) return false;
  WriteFuseByte(FuseByte::Low, low);
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::High, high);
  ClearLine(kLineBs1);
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::Extended, extended);
  FlushCommands();
  SuppliesOff();
  return true;
}

void ATMEGA48::Erase() {
  // The fuses go back to 0xFF before the erase, on purpose: a chip whose clock or reset fuses
  // locked it out comes back. It also changes the clock source and turns serial programming off.
  AddMessageLine(
      "Erase sets all fuse bytes to FF first (clock source, SPIEN)*擦除前熔丝位全部写为FF");
  if (!WriteFuses(0xFF, 0xFF, 0xFF)) return;
  EnterHvProgramming();
  SelectVppPin(Type().vppPin);
  if (!CheckPower()) return;
  ChipErase();
}

void ATMEGA48::Config() {
  WriteFuses(static_cast<std::uint8_t>(Word(kFuseLowWord)),
             static_cast<std::uint8_t>(Word(kFuseHighWord)),
             static_cast<std::uint8_t>(Word(kFuseExtWord)));
}

void ATMEGA48::Lock() {
  if (!EnterChecked()) return;
  WriteLockByte(static_cast<std::uint8_t>(Word(kLockWord)));
}

void ATMEGA48::ReadId() {
  ReadSignatures();
  LogSignature("ID: %02X,%02X,%02X");
}

void ATMEGA48::ReadConfig() {
  const auto b =
      ReadFuseBytes(std::array{FuseByte::Low, FuseByte::High, FuseByte::Extended, FuseByte::Lock});
  char line[64];
  std::snprintf(line, sizeof line, "Fuse low=%02X,Fuse Hi=%02X,Fuse Ext=%02X,Lock=%02X", b[0], b[1],
                b[2], b[3]);
  AddMessageLine(line);
  SetWord(kFuseLowWord, b[0]);
  SetWord(kFuseHighWord, b[1]);
  SetWord(kFuseExtWord, b[2]);
  SetWord(kLockWord, b[3]);
}

void ATMEGA48::ReadCalibration() {
  // These parts carry one calibration byte, the 8 MHz oscillator's, at signature address 0.
  EnterHvProgramming();
  const std::uint8_t c = ReadCalibrationByte(0);
  StoreCalibration(c, "8MHz");
}

}  // namespace zelvar::avr
