#include "algorithms/avr/Mega16x.h"

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::avr {

using namespace avr_parallel;

void Mega16xSet::SetUpPackage(int vccMillivolts) {
  row_ = ChosenRow(kTypes);
  const bool plcc = mcs51::TitleNamesPlcc44();
  Services& s = services();
  PlacementRequest picture;
  picture.file = s.ChipNameContains("*P44") ? "p44.bmp" : "qfp44.bmp";
  if (plcc) s.ShowPlacement(picture);
  if (plcc) {
    row_.vppPin = 8;
    row_.vccPin = 42;
    row_.groundPin = 20;
    row_.contactMask = SocketPins(1, 9) | SocketPins(11, 20) | SocketPins(22, 31) |
                       SocketPins(33, 42) | SocketPins(48, 48);
  } else {
    row_.vppPin = 9;
    row_.vccPin = 40;
    row_.groundPin = 20;
    row_.contactMask = SocketPins(1, 40);
  }
  // Rows 1 and 2 only: row 3 is the ATmega163, whose pinout fits neither package.
  const char* design = plcc ? "at90s8515plcc44.bit" : "at90s8515dip40.bit";
  if (gApp.TypeIndex == 3) design = nullptr;
  SetUp(kTypes.size(), design, "ATmega163: use set ATMEGA163*ATmega163请用ATMEGA163算法",
        vccMillivolts);
}

void Mega16xSet::EnterHvProgramming() {
  SetReadDirection(false);
  PutCmd1(kCmdLineSettle);
  ClearLine(kLineReadBack);
  ClearLine(kLineOe);
  SetLine(kLineWr);
  for (std::uint8_t n : {kLineXtal1, kLineXa0, kLineXa1, kLineMode, kLineBs1, kLineBs2}) {
    ClearLine(n);
  }
  SelectVccPin(Type().vccPin);
  PutCmd1(kCmdTick);
  // The ATmega162 enters only after six XTAL1 pulses with RESET low and VCC on.
  for (int i = 0; i < 6; ++i) {
    SetLine(kLineXtal1);
    ClearLine(kLineXtal1);
  }
  SelectVppPin(Type().vppPin);
  PutCmd1(kCmdLineSettle);
  PutCmd1(kCmdLongTick);
  FlushCommands();
}

void Mega16xSet::Blank() {
  ReadLevel();
  ScanFlash(Scan::Blank);
}

void Mega16xSet::Verify() {
  ReadLevel();
  ScanFlash(Scan::Verify);
}

void Mega16xSet::Read() {
  ReadLevel();
  ScanFlash(Scan::Read);
}

void Mega16xSet::Write() {
  ProgramLevel();
  WriteFlashPages();
}

void Mega16xSet::Erase() {
  EnterHvProgramming();
  SelectVppPin(Type().vppPin);
  ProgramLevel();
  if (!CheckPower()) return;
  ChipErase();
  ClearLine(kLineOe);
  FlushCommands();
}

void Mega16xSet::ReadSignature() {
  gApp.ReadId = {};
  EnterHvProgramming();
  if (!CheckPower()) return;
  for (std::uint8_t n = 0; n < 3; ++n) ReadSignatureByte(n);
  SetLine(kLineOe);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[i];
}

void Mega16xSet::ReadId() {
  ReadSignature();
  if (gLink.StatusWord == 0) LogSignature("ID: %02x,%02x,%02x");
}

void Mega16xSet::WriteData() {
  ProgramLevel();
  // The ATmega162 takes its EEPROM bytes only through the page buffer.
  if (Type().eepromPage != 0) {
    WriteEepromPages();
  } else {
    WriteEepromBytes();
  }
}

bool Mega16xSet::FusePass(FuseByte which, std::uint8_t value) {
  EnterHvProgramming();
  ProgramLevel();
  if (!CheckPower()) return false;
  SetReadDirection(false);
  WriteFuseByte(which, value);
  PutCmd1(kCmdCycleWait);
  ClearLine(kLineOe);
  ClearLine(kLineBs2);
  FlushCommands();
  SuppliesOff();
  return true;
}

void Mega16xSet::WriteLock(std::uint8_t value) {
  EnterHvProgramming();
  ProgramLevel();
  if (!CheckPower()) return;
  if (!EnterChecked()) return;
  WriteLockByte(value);
}

}  // namespace zelvar::avr
