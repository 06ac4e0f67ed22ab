#include "algorithms/avr/HvParallelEngine.h"

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

using namespace avr_parallel;

void HvParallelSet::ClearLine(std::uint8_t n) const {
  if (Policy().settleEveryLine) PutCmd1(kCmdLineSettle);
  WriteFpgaRegister(kLineRegister, n);
}

void HvParallelSet::SetLine(std::uint8_t n) const {
  if (Policy().settleEveryLine) PutCmd1(kCmdLineSettle);
  WriteFpgaRegister(kLineRegister, n | kLineHigh);
}

void HvParallelSet::SetReadDirection(bool on) const {
  if (Policy().settleEveryLine || Policy().settleBeforeDirection) PutCmd1(kCmdLineSettle);
  on ? SetLine(kLineReadBack) : ClearLine(kLineReadBack);
}

void HvParallelSet::ClockDataByte(std::uint8_t b) const {
  WritePort(0, b);
  WriteFpgaRegister(kLineRegister, kLineXtal1 | kLineHigh);
  WriteFpgaRegister(kLineRegister, kLineXtal1);
}

void HvParallelSet::LineSettle() const {
  PutCmd1(kCmdLineSettle);
}

void HvParallelSet::LoadAddressByte(std::uint8_t b) const {
  ClearLine(kLineXa0);
  ClearLine(kLineXa1);
  ClockDataByte(b);
}

void HvParallelSet::LoadDataByte(std::uint8_t b) const {
  LineSettle();
  SetLine(kLineXa0);
  ClearLine(kLineXa1);
  ClockDataByte(b);
}

void HvParallelSet::LoadCommandByte(std::uint8_t c) const {
  LineSettle();
  ClearLine(kLineXa0);
  SetLine(kLineXa1);
  ClockDataByte(c);
}

void HvParallelSet::SampleData() const {
  PutCmd1(kCmdSample);
}

void HvParallelSet::FuseWait() const {
  for (int i = 0; i < Policy().fuseWaitCount; ++i) PutCmd1(Policy().fuseWait);
}

void HvParallelSet::Ticks(int n) const {
  for (int i = 0; i < n; ++i) PutCmd1(kCmdTick);
}

void HvParallelSet::SelectFuseByte(FuseByte which) const {
  // The read selection: BS2 for both fuse bytes above the low one, BS1 for the high and lock.
  const bool bs2 = which == FuseByte::High || which == FuseByte::Extended;
  const bool bs1 = which == FuseByte::High || which == FuseByte::Lock;
  bs2 ? SetLine(Policy().bs2Line) : ClearLine(Policy().bs2Line);
  bs1 ? SetLine(kLineBs1) : ClearLine(kLineBs1);
}

void HvParallelSet::EnterInVccWindow() {
  const AvrType& t = Type();
  SelectVppPin(0);
  SelectVccPin(0);
  SetReadDirection(false);
  for (std::uint8_t n : {kLineReadBack, kLineOe, kLineWr, kLineXtal1, kLineXa0, kLineXa1, kLineMode,
                         kLineBs1, Policy().bs2Line, Policy().pagelLine}) {
    ClearLine(n);
  }
  SelectGndPin(t.groundPin);
  FlushCommands();
  // The supply registers queued rather than sent, so that VCC and RESET's 12 V land in one
  // transfer with the line settles (1 µs each) timing the gap between them.
  constexpr int kVccToResetUs = 30, kEnableHoldUs = 10;
  const std::uint8_t vpp = gLink.ModelNumber < 6200 ? t.vppPin & 0x7F : t.vppPin;
  PutCmd4(kCmdSetRegister, kVccPinRegister, t.vccPin, 0);
  SetLine(kLineWr);
  for (int i = 0; i < kVccToResetUs; ++i) PutCmd1(kCmdLineSettle);
  PutCmd4(kCmdSetRegister, kVppPinRegister, vpp, 0);
  for (int i = 0; i < kEnableHoldUs; ++i) PutCmd1(kCmdLineSettle);
  SetLine(kLineMode);
  PutCmd1(kCmdCycleWait);  // at least 300 µs before the first command
  FlushCommands();
}

void HvParallelSet::EnterHvProgramming() {
  if (Policy().vccWindowEntry) {
    EnterInVccWindow();
    return;
  }
  const AvrType& t = Type();
  // VCC and ground twice: the second selection lands once the relays have settled.
  for (int i = 0; i < 2; ++i) {
    SelectGndPin(t.groundPin);
    SelectVccPin(t.vccPin);
  }
  PutCmd1(kCmdPowerWait);
  SetReadDirection(false);
  PutCmd1(kCmdLineSettle);
  ClearLine(kLineReadBack);
  ClearLine(kLineOe);
  SetLine(kLineWr);
  // XA0, XA1, BS1 and PAGEL low: the pattern that enables programming when RESET rises.
  for (std::uint8_t n :
       {kLineXtal1, kLineXa0, kLineXa1, kLineMode, kLineBs1, kLineBs2, kLinePagel}) {
    ClearLine(n);
  }
  for (int i = 0; i < 10; ++i) {
    SetLine(kLineXtal1);
    ClearLine(kLineXtal1);
  }
  PutCmd1(kCmdPowerWait);
  SelectVppPin(t.vppPin);
  PutCmd1(kCmdLineSettle);
  SetLine(kLineMode);
  PutCmd1(kCmdCycleWait);
  FlushCommands();
}

bool HvParallelSet::EnterChecked() {
  EnterHvProgramming();
  return CheckPower();
}

void HvParallelSet::ReadFlashWord(std::uint32_t byteAddress) const {
  const std::uint32_t w = byteAddress / 2;
  LineSettle();
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvReadFlash);
  LoadAddressByte(static_cast<std::uint8_t>(w & 0xFF));
  SetLine(kLineBs1);
  LoadAddressByte(static_cast<std::uint8_t>(w >> 8));
  SetReadDirection(true);
  if (Policy().flushBeforeSamples) FlushCommands();
  ClearLine(kLineBs1);
  ClearLine(kLineOe);
  SampleData();  // low byte
  SetLine(kLineBs1);
  SampleData();  // high byte
  SetLine(kLineOe);
  SetReadDirection(false);
}

// The EEPROM command and address, the high byte (with BS1 high, left high) only where the part
// has more than 256 bytes.
void HvParallelSet::LoadEepromAddress(std::uint8_t command, std::uint32_t address) const {
  LoadCommandByte(command);
  LoadAddressByte(static_cast<std::uint8_t>(address & 0xFF));
  if (Type().eepromLast > 0xFF) {
    SetLine(kLineBs1);
    LoadAddressByte(static_cast<std::uint8_t>(address >> 8));
  }
}

void HvParallelSet::ReadEepromByte(std::uint32_t address) const {
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadEepromAddress(kHvReadEeprom, address);
  SetReadDirection(true);
  ClearLine(kLineBs1);
  ClearLine(kLineOe);
  SampleData();
  SetLine(kLineOe);
  SetReadDirection(false);
}

void HvParallelSet::ReadSignatureByte(std::uint8_t n) const {
  SetLine(kLineOe);
  ClearLine(kLineReadBack);
  LoadCommandByte(kHvReadSignature);
  LoadAddressByte(n);
  SetLine(kLineReadBack);
  ClearLine(kLineBs1);
  ClearLine(kLineOe);
  FlushCommands();
  SampleData();
}

bool HvParallelSet::ScanFlash(Scan kind) {
  if (!EnterChecked()) return false;
  SetReadDirection(true);
  FlushCommands();
  return ScanFlashWords(kind, [this](std::uint32_t a) { ReadFlashWord(a); });
}

void HvParallelSet::WriteFlashPages() {
  const AvrType& t = Type();
  if (!EnterChecked()) return;
  ClearLine(kLineReadBack);
  SetLine(kLineOe);
  LoadCommandByte(kHvWriteFlash);
  for (std::uint32_t a = 0; a <= t.codeLast; a += t.flashPage) {
    SetLine(kLineBs1);
    LoadAddressByte(static_cast<std::uint8_t>(a >> 9));
    for (std::uint32_t i = 0; i < t.flashPage; i += 2) {
      ClearLine(kLineBs1);
      LoadAddressByte(static_cast<std::uint8_t>(((a + i) >> 1) & 0xFF));
      LoadDataByte(buffer_[a + i]);
      SetLine(kLineBs1);
      LoadDataByte(buffer_[a + i + 1]);
      SetLine(Policy().pagelLine);
      ClearLine(Policy().pagelLine);
    }
    ClearLine(kLineBs1);
    ClearLine(kLineWr);
    SetLine(kLineWr);
    Ticks(Policy().pageTicks);
    ShowProgress(static_cast<int>(a));
    FlushCommands();
  }
  FlushCommands();
  ShowProgress(-1);
}

void HvParallelSet::ChipErase() {
  SetReadDirection(false);
  SetLine(kLineOe);
  LoadCommandByte(kHvChipErase);
  ClearLine(kLineWr);
  SetLine(kLineWr);
  PutCmd1(kCmdCycleWait);
  FlushCommands();
}

void HvParallelSet::WriteFuseByte(FuseByte which, std::uint8_t value) {
  SetLine(kLineOe);
  LoadCommandByte(kHvWriteFuse);
  LoadDataByte(value);
  // A write selects by BS1 alone for the high byte and by BS2 alone for the extended byte (a
  // read selects them by both lines).
  const bool bs2 = which == FuseByte::Extended;
  const bool bs1 = which == FuseByte::High;
  bs2 ? SetLine(Policy().bs2Line) : ClearLine(Policy().bs2Line);
  bs1 ? SetLine(kLineBs1) : ClearLine(kLineBs1);
  ClearLine(kLineWr);
  SetLine(kLineWr);
  FuseWait();
}

void HvParallelSet::WriteLockByte(std::uint8_t value) {
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadCommandByte(kHvWriteLock);
  LoadDataByte(value);
  ClearLine(kLineWr);
  SetLine(kLineWr);
  FuseWait();
  FlushCommands();
}

template <std::size_t N>
std::array<std::uint8_t, N> HvParallelSet::ReadFuseBytes(const std::array<FuseByte, N>& order) {
  EnterHvProgramming();
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  ClearLine(Policy().bs2Line);
  LoadCommandByte(kHvReadFuseLock);
  ClearLine(kLineBs1);
  // The data port is let go before OE hands it to the chip.
  SetReadDirection(true);
  ClearLine(kLineOe);
  for (FuseByte which : order) {
    SelectFuseByte(which);
    FlushCommands();
    SampleData();
  }
  SetLine(kLineOe);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  std::array<std::uint8_t, N> bytes{};
  for (std::size_t i = 0; i < N; ++i) bytes[i] = gLink.ScratchBuffer[i];
  return bytes;
}
template std::array<std::uint8_t, 4> HvParallelSet::ReadFuseBytes(const std::array<FuseByte, 4>&);
template std::array<std::uint8_t, 3> HvParallelSet::ReadFuseBytes(const std::array<FuseByte, 3>&);
template std::array<std::uint8_t, 2> HvParallelSet::ReadFuseBytes(const std::array<FuseByte, 2>&);

void HvParallelSet::ReadSignatures() {
  EnterHvProgramming();
  for (std::uint8_t n = 0; n < 3; ++n) ReadSignatureByte(n);
  SetLine(kLineOe);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[i];
}

std::uint8_t HvParallelSet::ReadCalibrationByte(std::uint8_t address) {
  EnterHvProgramming();
  SetLine(kLineOe);
  ClearLine(kLineReadBack);
  LoadCommandByte(kHvReadSignature);
  LoadAddressByte(address);
  SetLine(kLineReadBack);
  SetLine(kLineBs1);
  ClearLine(kLineOe);
  FlushCommands();
  SampleData();
  SetLine(kLineOe);
  SuppliesOff();
  PutCmd1(kCmdCycleWait);
  ReadReply64(gLink.ScratchBuffer.data());
  return gLink.ScratchBuffer[0];
}

void HvParallelSet::ReadEeprom() {
  const AvrType& t = Type();
  if (!EnterChecked()) return;
  SetReadDirection(true);
  FlushCommands();
  for (std::uint32_t a = 0; a <= t.eepromLast; a += 64) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < 64; ++i) ReadEepromByte(a + i);
    ReadReply64(EepromImage(a));
  }
  // The window's maximum is the code's last address: only the end closes it.
  FinishScan();
}

void HvParallelSet::WriteEepromPages() {
  const AvrType& t = Type();
  if (!EnterChecked()) return;
  ClearLine(kLineReadBack);
  SetLine(kLineOe);
  LoadCommandByte(kHvWriteEeprom);
  for (std::uint32_t a = 0; a <= t.eepromLast; a += t.eepromPage) {
    SetLine(kLineBs1);
    LoadAddressByte(static_cast<std::uint8_t>(a >> 8));
    ClearLine(kLineBs1);
    for (std::uint32_t i = 0; i < t.eepromPage; ++i) {
      LoadAddressByte(static_cast<std::uint8_t>((a + i) & 0xFF));
      LoadDataByte(*EepromImage(a + i));
      SetLine(Policy().pagelLine);
      ClearLine(Policy().pagelLine);
    }
    ClearLine(kLineWr);
    SetLine(kLineWr);
    Ticks(Policy().pageTicks);
    ShowProgress(static_cast<int>(a));
    FlushCommands();
  }
  FlushCommands();
  FinishScan();
}

void HvParallelSet::WriteEepromByte(std::uint32_t address, std::uint8_t value) const {
  SetReadDirection(false);
  SetLine(kLineOe);
  ClearLine(kLineBs1);
  LoadEepromAddress(kHvWriteEeprom, address);
  ClearLine(kLineBs1);
  LoadDataByte(value);
  ClearLine(kLineWr);
  SetLine(kLineWr);
  Ticks(Policy().eepromByteTicks);
}

void HvParallelSet::WriteEepromBytes() {
  if (!EnterChecked()) return;
  for (std::uint32_t a = 0; a <= Type().eepromLast; ++a) {
    WriteEepromByte(a, *EepromImage(a));
    if ((a & 0xFF) == 0) FlushCommands();
  }
  FlushCommands();
}

}  // namespace zelvar::avr
