#include "algorithms/avr/ATTINY2313.h"

#include <cstdio>
#include <iterator>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

using namespace avr_parallel;

void ATTINY2313::Erase() {
  // The fuses stay as they are.
  EnterHvProgramming();
  SelectVppPin(Type().vppPin);
  if (!CheckPower()) return;
  ChipErase();
}

void ATTINY2313::Config() {
  if (!EnterChecked()) return;
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::Low, static_cast<std::uint8_t>(Word(kFuseLowWord)));
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::High, static_cast<std::uint8_t>(Word(kFuseHighWord)));
  // BS1 low again before the next data byte, or it would load as the high byte.
  ClearLine(kLineBs1);
  PutCmd1(kCmdCycleWait);
  WriteFuseByte(FuseByte::Extended, static_cast<std::uint8_t>(Word(kFuseExtWord)));
  FlushCommands();
}

void ATTINY2313::Lock() {
  if (!EnterChecked()) return;
  WriteLockByte(static_cast<std::uint8_t>(Word(kLockWord)));
}

void ATTINY2313::ReadId() {
  ReadSignatures();
  LogSignature("ID: %02x,%02x,%02x");
}

void ATTINY2313::ReadConfig() {
  const auto b =
      ReadFuseBytes(std::array{FuseByte::Low, FuseByte::High, FuseByte::Extended, FuseByte::Lock});
  char line[64];
  std::snprintf(line, sizeof line, "Fuse low=%02x,Fuse Hi=%02x,Fuse Ext=%02x,Lock=%02x", b[0], b[1],
                b[2], b[3]);
  AddMessageLine(line);
  for (int i = 0; i < 4; ++i) SetWord(i, b[static_cast<std::size_t>(i)]);
}

void ATTINY2313::ReadCalibration() {
  // Two calibration bytes: the 4 MHz oscillator's at address 0, the 8 MHz one's at 1.
  static constexpr const char* kFrequencies[] = {"4MHz", "8MHz"};
  const std::uint32_t choice = Word(kCalibrationChoiceWord);
  if (choice >= std::size(kFrequencies)) {
    AddMessageLine("Unknown calibration frequency*校准频率无效");
    gLink.StatusWord = 1;
    return;
  }
  EnterHvProgramming();
  const std::uint8_t c = ReadCalibrationByte(static_cast<std::uint8_t>(choice));
  StoreCalibration(c, kFrequencies[choice]);
}

}  // namespace zelvar::avr
