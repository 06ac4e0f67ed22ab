#include "algorithms/avr/SpiEngine.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/AvrSpi.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::avr {

using namespace avr_spi;

namespace {
constexpr std::uint8_t kLineRegister = 18;
void SetLine(std::uint8_t n) {
  WriteFpgaRegister(kLineRegister, n | 0x80);
}
void ClearLine(std::uint8_t n) {
  WriteFpgaRegister(kLineRegister, n);
}
}  // namespace

void SpiSet::WriteWait() const {
  for (int i = 0; i < Type().waitTicks; ++i) PutCmd1(kCmdTick);
}

void SpiSet::Send(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
  for (std::uint8_t x : {a, b, c, d}) PutCmd2(kCmdShiftOut, x);
}

void SpiSet::Query(std::uint8_t a, std::uint8_t b, std::uint8_t c) {
  for (std::uint8_t x : {a, b, c}) PutCmd2(kCmdShiftOut, x);
  PutCmd1(kCmdShiftIn);
}

bool SpiSet::Enter() {
  const AvrType& t = Type();
  SelectGndPin(t.groundPin);
  ClearLine(kLineSck);
  SelectVccPin(t.vccPin);
  for (int attempt = 0; attempt < 32; ++attempt) {
    SetLine(kLineReset);
    ClearLine(kLineReset);
    // The parts take Programming Enable 20 ms after RESET falls at the earliest.
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdCycleWait);
    PutCmd2(kCmdShiftOut, 0xAC);
    PutCmd2(kCmdShiftOut, 0x53);
    PutCmd1(kCmdShiftIn);
    PutCmd1(kCmdShiftIn);
    ReadReply64(gLink.ScratchBuffer.data());
    if (gLink.ScratchBuffer[0] == 0x53) return true;
  }
  gLink.StatusWord = 1;
  AddMessageLine("Chip not ready!");
  return false;
}

bool SpiSet::EnterChecked() {
  return Enter() && CheckPower();
}

void SpiSet::ScanCode(Scan kind) {
  if (!EnterChecked()) return;
  FlushCommands();
  ScanFlashWords(kind, [](std::uint32_t a) {
    const std::uint32_t w = a / 2;
    const auto high = static_cast<std::uint8_t>(w >> 8), low = static_cast<std::uint8_t>(w);
    Query(0x20, high, low);
    Query(0x28, high, low);
  });
}

void SpiSet::Write() {
  if (!EnterChecked()) return;
  const AvrType& t = Type();
  for (std::uint32_t a = 0; a <= t.codeLast; a += t.flashPage) {
    for (std::uint32_t i = 0; i < t.flashPage; i += 2) {
      const auto index = static_cast<std::uint8_t>(i / 2);
      Send(0x40, 0x00, index, buffer_[a + i]);
      Send(0x48, 0x00, index, buffer_[a + i + 1]);
    }
    Send(0x4C, static_cast<std::uint8_t>(a >> 9), static_cast<std::uint8_t>((a >> 1) & 0xFF), 0);
    WriteWait();
    ShowProgress(static_cast<int>(a));
    FlushCommands();
  }
  ShowProgress(-1);
}

void SpiSet::Erase() {
  if (!Enter()) return;
  Send(0xAC, 0x80, 0x00, 0x00);
  PutCmd1(kCmdCycleWait);
  FlushCommands();
}

void SpiSet::Config() {
  const auto low = static_cast<std::uint8_t>(Word(0)), high = static_cast<std::uint8_t>(Word(1));
  // RSTDISBL programmed would make RESET a port pin and end serial access for good.
  if ((high & 0x10) == 0) {
    ShowMessageText("You can not disable ext reset*串行编程方式，不能禁止外部复位！");
    gLink.StatusWord = 1;
    return;
  }
  if (!EnterChecked()) return;
  Send(0xAC, 0xA0, 0x00, low);
  WriteWait();
  WriteWait();
  Send(0xAC, 0xA8, 0x00, high);
  WriteWait();
  WriteWait();
  FlushCommands();
}

void SpiSet::Lock() {
  if (!EnterChecked()) return;
  // The lock bits go in the fourth byte (LB2 bit 1, LB1 bit 0), the rest 1.
  Send(0xAC, 0xE0, 0x00, static_cast<std::uint8_t>(Word(3) | 0xFC));
  WriteWait();
  FlushCommands();
}

void SpiSet::ReadSignature() {
  gApp.ReadId = {};
  if (!Enter()) return;
  for (std::uint8_t n = 0; n < 3; ++n) Query(0x30, 0x00, n);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  for (int i = 0; i < 3; ++i) gApp.ReadId[i] = gLink.ScratchBuffer[i];
}

void SpiSet::ReadId() {
  ReadSignature();
  if (gLink.StatusWord == 0) LogSignature("ID: %02x,%02x,%02x");
}

void SpiSet::ReadConfig() {
  if (!Enter()) return;
  Query(0x50, 0x00, 0x00);
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t low = gLink.ScratchBuffer[0];
  Query(0x58, 0x08, 0x00);
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t high = gLink.ScratchBuffer[0];
  char line[32];
  std::snprintf(line, sizeof line, "Fuse=%02x,%02x", high, low);
  AddMessageLine(line);
  SetWord(0, low);
  SetWord(1, high);
}

void SpiSet::ReadCalibration() {
  if (!Enter()) return;
  for (std::uint8_t n = 0; n < 4; ++n) Query(0x38, 0x00, n);
  SuppliesOff();
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t* c = gLink.ScratchBuffer.data();
  const std::uint32_t at = Word(kCalibrationAddressWord);
  char line[96];
  if (at == 0) {
    std::snprintf(line, sizeof line, "Calibration is 0x%02X...", c[0]);
    AddMessageLine(line);
    return;
  }
  // The four bytes must land inside the code and EEPROM image, the last one too.
  const std::uint32_t end = eepromImageOffset_ + Type().eepromSize();
  if (at > end - 4) {
    std::snprintf(line, sizeof line,
                  "Calibration address %04X outside the code and EEPROM image*校准地址%04X超出范围",
                  at, at);
    AddMessageLine(line);
    gLink.StatusWord = 1;
    return;
  }
  for (int i = 0; i < 4; ++i) buffer_[at + static_cast<std::uint32_t>(i)] = c[i];
  std::snprintf(line, sizeof line, "Calibration 0x%02X... saved to file buffer start from:%04X",
                c[0], at);
  AddMessageLine(line);
}

void SpiSet::ReadData() {
  if (!EnterChecked()) return;
  FlushCommands();
  const AvrType& t = Type();
  for (std::uint32_t a = 0; a <= t.eepromLast; a += 64) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < 64; ++i) Query(0xA0, 0x00, static_cast<std::uint8_t>(a + i));
    ReadReply64(EepromImage(a));
  }
  FinishScan();
}

void SpiSet::WriteData() {
  if (!EnterChecked()) return;
  const AvrType& t = Type();
  for (std::uint32_t a = 0; a <= t.eepromLast; ++a) {
    Send(0xC0, 0x00, static_cast<std::uint8_t>(a), *EepromImage(a));
    WriteWait();
    WriteWait();
    if (a % 16 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  FlushCommands();
  FinishScan();
}

}  // namespace zelvar::avr
