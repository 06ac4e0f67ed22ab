#include "algorithms/avr/HvWordEngine.h"

#include <cstdio>
#include <optional>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

using namespace avr_parallel;

bool HvWordSet::EnterChecked() {
  return Enter() && CheckPower();
}

bool HvWordSet::ClockLineAnswers() {
  PutCmd1(kCmdLineSettle);
  ClearLine(kLineXtal1);
  PutCmd1(kCmdClockSample);
  PutCmd1(kCmdLineSettle);
  SetLine(kLineXtal1);
  PutCmd1(kCmdClockSample);
  ReadReply64(gLink.ScratchBuffer.data());
  return (gLink.ScratchBuffer[0] & 1) != (gLink.ScratchBuffer[1] & 1);
}

bool HvWordSet::EnterClocked() {
  const AvrType& t = Type();
  SelectGndPin(t.groundPin);
  SelectVccPin(t.vccPin);
  SetVccVoltage(vccMillivolts_);
  // Without a clock on XTAL1 no byte would latch, and the operation would report nothing wrong.
  if (!ClockLineAnswers()) {
    AddMessageLine("No clock on XTAL1: check the chip and the socket*XTAL1无时钟,请检查芯片和插座");
    gLink.StatusWord = 1;
    SuppliesOff();
    return false;
  }
  SelectGndPin(t.groundPin);
  SelectVccPin(t.vccPin);
  EnterAfterPower();
  return true;
}

void HvWordSet::EnterAfterPower() {
  SetReadDirection(false);
  PutCmd1(kCmdLineSettle);
  ClearLine(kLineReadBack);
  ClearLine(kLineOe);
  SetLine(kLineWr);
  // XA0, XA1 and BS low: the pattern that enables programming when RESET rises.
  for (std::uint8_t n : {kLineXtal1, kLineXa0, kLineXa1, kLineMode, kLineBs1}) ClearLine(n);
  PutCmd1(kCmdPowerWait);
  SelectVppPin(Type().vppPin);
  PutCmd1(kCmdLineSettle);
  SetLine(kLineMode);
  PutCmd1(kCmdCycleWait);
  FlushCommands();
}

// The erase runs while WR is held low: 10 ms, inside the parts' 5-15 ms.
void HvWordSet::EraseHold() const {
  PutCmd1(kCmdCycleWait);
}

// The fuse byte programs while WR is held low: one 1.25 ms tick, inside the parts' 1.0-1.8 ms.
void HvWordSet::FuseHold() const {
  PutCmd1(kCmdTick);
}

void HvWordSet::WritePulse() const {
  ClearLine(kLineWr);
  SetLine(kLineWr);
}

void HvWordSet::WriteFlashWord(std::uint32_t a, std::uint16_t word) const {
  const std::uint32_t w = a / 2;
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvWriteFlash);
  LoadAddressByte(static_cast<std::uint8_t>(w & 0xFF));
  SetLine(kLineBs1);
  LoadAddressByte(static_cast<std::uint8_t>(w >> 8));
  ClearLine(kLineBs1);
  LoadDataByte(static_cast<std::uint8_t>(word & 0xFF));
  WritePulse();
  Ticks(2);
  LoadDataByte(static_cast<std::uint8_t>(word >> 8));
  SetLine(kLineBs1);
  WritePulse();
  Ticks(2);
}

void HvWordSet::Write() {
  if (!EnterChecked()) return;
  // Every word, 0xFFFF too: nothing is read back first.
  for (std::uint32_t a = 0; a <= Type().codeLast; a += 2) {
    WriteFlashWord(a, static_cast<std::uint16_t>(buffer_[a] | buffer_[a + 1] << 8));
    if (a % WriteFlushBytes() == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

void HvWordSet::Erase() {
  if (!Enter()) return;
  SelectVppPin(Type().vppPin);
  if (!CheckPower()) return;
  SetReadDirection(false);
  SetLine(kLineOe);
  LoadCommandByte(kHvChipErase);
  ClearLine(kLineWr);
  EraseHold();
  SetLine(kLineWr);
  FlushCommands();
}

void HvWordSet::Config() {
  const auto fuse = static_cast<std::uint8_t>(Word(0));
  if (!EnterChecked()) return;
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvWriteFuse);
  LoadDataByte(fuse);
  ClearLine(kLineWr);
  FuseHold();
  SetLine(kLineWr);
  Ticks(2);
  FlushCommands();
}

void HvWordSet::Lock() {
  const int data = LockByteOfRadio(Word(kCalibrationChoiceWord));
  if (data < 0) {
    AddMessageLine("Unknown lock mode: nothing written*加密方式无效,未写入");
    gLink.StatusWord = 1;
    return;
  }
  if (!EnterChecked()) return;
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvWriteLock);
  LoadDataByte(static_cast<std::uint8_t>(data));
  WritePulse();
  Ticks(2);
  FlushCommands();
}

void HvWordSet::ReadSignature() {
  gApp.ReadId = {};
  if (!Enter()) return;
  for (std::uint8_t n = 0; n < 3; ++n) ReadSignatureByte(n);
  SetLine(kLineOe);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[i];
}

void HvWordSet::ReadId() {
  ReadSignature();
  if (gLink.StatusWord == 0) LogSignature("ID: %02x,%02x,%02x");
}

std::optional<std::uint8_t> HvWordSet::ReadFuseLock() {
  if (!Enter()) return std::nullopt;
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvReadFuseLock);
  FuseReadBs() ? SetLine(kLineBs1) : ClearLine(kLineBs1);
  // The data port is let go before OE hands it to the chip.
  SetReadDirection(true);
  ClearLine(kLineOe);
  FlushCommands();
  SampleData();
  SetLine(kLineOe);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t v = gLink.ScratchBuffer[0];
  const int radio = RadioOfLock((v & 0x80) != 0, (v & 0x40) != 0);
  if (radio >= 0) SetWord(kCalibrationChoiceWord, static_cast<std::uint32_t>(radio));
  return v;
}

void HvWordSet::ReadConfig() {
  // A failed entry leaves the grid as it was: the byte was never read.
  const std::optional<std::uint8_t> v = ReadFuseLock();
  if (!v) return;
  char line[32];
  std::snprintf(line, sizeof line, FuseLogFormat(), *v);
  AddMessageLine(line);
  SetWord(0, *v);
}

void HvWordSet::WriteData() {
  WriteEepromBytes();
  ShowProgress(static_cast<int>(Type().eepromLast));
}

}  // namespace zelvar::avr
