#include "algorithms/avr/HvSerialEngine.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/AvrSerial.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::avr {

using namespace avr_serial;

namespace {
void ClearLine(std::uint8_t n) {
  WriteFpgaRegister(kLineRegister, n);
}
void SetLine(std::uint8_t n) {
  WriteFpgaRegister(kLineRegister, n | kLineHigh);
}
}  // namespace

int HvSerialSet::ChosenIndex(int rows) {
  // Models 6300 and up seat the chip from socket pin 17: rows 11 and up.
  if (gLink.ModelNumber >= 6300 && gApp.TypeIndex > 0 && gApp.TypeIndex < 10 &&
      gApp.TypeIndex + 10 < rows) {
    gApp.TypeIndex += 10;
  }
  return gApp.TypeIndex > 0 && gApp.TypeIndex < rows ? gApp.TypeIndex : 0;
}

void HvSerialSet::SetUpSerial(int rows, const char* bitstream) {
  if (gApp.TypeIndex > 0 && gApp.TypeIndex < 10) {
    PlacementRequest picture;
    picture.pins = 8;
    picture.firstRow = 11;
    services().ShowPlacement(picture);
  }
  SetUp(static_cast<std::size_t>(rows), bitstream, "No design for this chip*此器件没有对应的逻辑",
        5000);
}

void HvSerialSet::Instruction(std::uint8_t data, std::uint8_t instruction) const {
  ClearLine(kLineFrame);
  WritePort(0, instruction);
  WritePort(1, data);
  SetLine(kLineFrame);
  for (int i = 0; i < Type().instructionWaits; ++i) PutCmd1(kCmdInstructionWait);
  ClearLine(kLineFrame);
}

void HvSerialSet::Wait() const {
  for (int i = 0; i < Type().waitTicks; ++i) PutCmd1(kCmdTick);
}

void HvSerialSet::SampleSdo() {
  PutCmd1(kCmdSampleSdo);
}

void HvSerialSet::EnterHvsp() {
  const AvrType& t = Type();
  ClearLine(kLineFrame);
  ClearLine(kLineSci);
  SelectGndPin(t.groundPin);
  SelectVccPin(t.vccPin);
  // The parts enter only after SCI has pulsed four times with VCC on and RESET low.
  for (int i = 0; i < 4; ++i) {
    SetLine(kLineSci);
    ClearLine(kLineSci);
  }
  SelectVppPin(t.vppPin);
  // At least 50 µs at 12 V before the first frame.
  PutCmd1(kCmdInstructionWait);
}

bool HvSerialSet::EnterChecked() {
  EnterHvsp();
  return CheckPower();
}

void HvSerialSet::ReadFlashWord(std::uint32_t byteAddress) const {
  const std::uint32_t w = byteAddress / 2;
  Instruction(0x02, 0x4C);
  Instruction(static_cast<std::uint8_t>(w >> 8), 0x1C);
  Instruction(static_cast<std::uint8_t>(w & 0xFF), 0x0C);
  Instruction(0x00, 0x68);
  Instruction(0x00, 0x6C);
  SampleSdo();
  Instruction(0x00, 0x78);
  Instruction(0x00, 0x7C);
  SampleSdo();
}

void HvSerialSet::WriteFlashWord(std::uint32_t byteAddress, std::uint16_t word) const {
  const std::uint32_t w = byteAddress / 2;
  Instruction(0x10, 0x4C);
  Instruction(static_cast<std::uint8_t>(w >> 8), 0x1C);
  Instruction(static_cast<std::uint8_t>(w & 0xFF), 0x0C);
  Instruction(static_cast<std::uint8_t>(word & 0xFF), 0x2C);
  Instruction(0x00, 0x64);
  Instruction(0x00, 0x6C);
  Wait();
  Instruction(static_cast<std::uint8_t>(word >> 8), 0x3C);
  Instruction(0x00, 0x74);
  Instruction(0x00, 0x7C);
  Wait();
}

void HvSerialSet::ReadEepromByte(std::uint32_t address) const {
  Instruction(0x03, 0x4C);
  Instruction(static_cast<std::uint8_t>(address), 0x0C);
  Instruction(0x00, 0x68);
  Instruction(0x00, 0x6C);
  SampleSdo();
}

void HvSerialSet::WriteEepromByte(std::uint32_t address, std::uint8_t value) const {
  Instruction(0x11, 0x4C);
  Instruction(static_cast<std::uint8_t>(address), 0x0C);
  Instruction(value, 0x2C);
  Instruction(0x00, 0x64);
  Instruction(0x00, 0x6C);
  Wait();
  Wait();
}

void HvSerialSet::ReadSignatureByte(std::uint8_t n) const {
  Instruction(0x08, 0x4C);
  Instruction(n, 0x0C);
  Instruction(0x00, 0x68);
  Instruction(0x00, 0x6C);
  SampleSdo();
}

bool HvSerialSet::ScanFlash(Scan kind) {
  if (!EnterChecked()) return false;
  FlushCommands();
  return ScanFlashWords(kind, [this](std::uint32_t a) { ReadFlashWord(a); });
}

void HvSerialSet::Write() {
  if (!EnterChecked()) return;
  for (std::uint32_t a = 0; a <= Type().codeLast; a += 2) {
    WriteFlashWord(a, static_cast<std::uint16_t>(buffer_[a + 1] << 8 | buffer_[a]));
    ShowProgress(static_cast<int>(a));
    FlushCommands();
  }
  FlushCommands();
  ShowProgress(-1);
}

void HvSerialSet::Erase() {
  // The power check comes first here too: a weak supply must not see 12 V and an erase.
  if (!EnterChecked()) return;
  Instruction(0x80, 0x4C);
  Instruction(0x00, 0x64);
  Instruction(0x00, 0x6C);
  PutCmd1(kCmdCycleWait);
  FlushCommands();
}

void HvSerialSet::Config() {
  if (!EnterChecked()) return;
  Instruction(0x40, 0x4C);
  Instruction(static_cast<std::uint8_t>(Word(kFuseWord)), 0x2C);
  Instruction(0x00, 0x64);
  Instruction(0x00, 0x6C);
  Wait();
  Wait();
  FlushCommands();
}

void HvSerialSet::Lock() {
  if (!EnterChecked()) return;
  Instruction(0x20, 0x4C);
  Instruction(static_cast<std::uint8_t>(Word(kLockWord)), 0x2C);
  Instruction(0x00, 0x64);
  Instruction(0x00, 0x6C);
  Wait();
  Wait();
  FlushCommands();
}

void HvSerialSet::ReadSignature() {
  EnterHvsp();
  for (std::uint8_t n = 0; n < 3; ++n) ReadSignatureByte(n);
  FlushCommands();
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[i];
}

void HvSerialSet::ReadId() {
  ReadSignature();
  LogSignature("ID: %02x,%02x,%02x");
}

void HvSerialSet::ReadConfig() {
  EnterHvsp();
  Instruction(0x04, 0x4C);
  Instruction(0x00, 0x68);
  Instruction(0x00, 0x6C);
  SampleSdo();
  FlushCommands();
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t fuse = gLink.ScratchBuffer[0];
  char line[32];
  std::snprintf(line, sizeof line, "Fuse=%02x", fuse);
  AddMessageLine(line);
  SetWord(kFuseWord, fuse);
}

void HvSerialSet::ReadCalibration() {
  EnterHvsp();
  Instruction(0x08, 0x4C);
  Instruction(0x00, 0x0C);
  Instruction(0x00, 0x78);
  Instruction(0x00, 0x7C);
  FlushCommands();
  SampleSdo();
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  StoreCalibration(gLink.ScratchBuffer[0], nullptr);
}

void HvSerialSet::ReadData() {
  const AvrType& t = Type();
  if (!HasEeprom() || !EnterChecked()) return;
  FlushCommands();
  for (std::uint32_t a = 0; a <= t.eepromLast; a += 64) {
    ShowProgress(static_cast<int>(a));
    const std::uint32_t n = std::min<std::uint32_t>(64, t.eepromSize() - a);
    for (std::uint32_t i = 0; i < n; ++i) ReadEepromByte(a + i);
    ReadReply64(gLink.ScratchBuffer.data());
    for (std::uint32_t i = 0; i < n; ++i) *EepromImage(a + i) = gLink.ScratchBuffer[i];
  }
  // The window's maximum is the code's last address: only the end closes it.
  FinishScan();
}

void HvSerialSet::WriteData() {
  if (!HasEeprom() || !EnterChecked()) return;
  for (std::uint32_t a = 0; a <= Type().eepromLast; ++a) {
    WriteEepromByte(a, *EepromImage(a));
    if (a % 8 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  FlushCommands();
  FinishScan();
}

}  // namespace zelvar::avr
