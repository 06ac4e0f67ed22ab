#include "algorithms/pic/Em78p.h"

#include <cstdio>

#include "algorithms/frame/Waits.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Em78p.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace em78p;
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig, kOpRead, kOpReadConfig};
constexpr std::uint32_t kBlock = 64;  // bytes of one reply: 32 words of two bytes
constexpr const char* kNoWiring =
    "This chip type has no socket wiring in this set! *此型号在本算法中没有插座接线!";
}  // namespace

void Em78Set::CheckRow(const Em78Type& t, TypeTableReport& r) {
  if (t.vccPin == 0) {
    if (t.vppPin != 0 || t.groundPin != 0 || t.contactMask != 0)
      r.Fault("pins on a row without a VCC pin");
    return;
  }
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  r.SizeIsPowerOfTwo(static_cast<std::uint32_t>(t.lastAddress));
  if (static_cast<std::uint32_t>(t.lastAddress) >= kDataStart)
    r.Fault("program words reach the data area");
}

std::span<const int> Em78Set::Operations() const {
  return kOps;
}

void Em78Set::Init() {
  BeginSetup();
  const auto rows = Rows();
  if (!AcceptRow(static_cast<int>(rows.size()))) return;
  const Em78Type& t = rows[static_cast<std::size_t>(gApp.TypeIndex)];
  // A row without a VCC pin would run every operation on an unpowered chip.
  if (t.vccPin == 0) return Refuse(kNoWiring);
  row_ = McuType{t.name, t.vppPin, t.vccPin, t.groundPin, t.lastAddress, 0, t.contactMask};
  LoadBitstream(Bitstream());
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  SelectVppPin(0);
  SetupSteps();
}

void Em78Set::PowerDown() {
  SelectVppPin(0);
  SelectVccPin(0);
}

void Em78ShiftSet::SetupSteps() {
  vppMillivolts_ = 12000;
  vccMillivolts_ = policy().vccMillivolts;
  if (policy().ownEntry) {
    char line[48];
    std::snprintf(line, sizeof line, "R1 = %04x,  R2 = %04x", Word(0), Word(1));
    AddMessageLine(line);
    SetVccVoltage(vccMillivolts_);
    SetVppVoltage(vppMillivolts_);
    SelectGndPin(row_.groundPin);
    return;
  }
  LogConfig(ConfigWord());
}

void Em78ShiftSet::LogConfig(std::uint16_t c) const {
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", c);
  AddMessageLine(line);
}

void Em78ShiftSet::Line(std::uint8_t line, bool high) {
  if (high) {
    WriteFpgaReg29Bit7(line);
  } else {
    WriteFpgaReg29(line);
  }
}

void Em78ShiftSet::Clock() {
  for (int i = 0; i < 2; ++i) {
    Line(kClockLine, true);
    Line(kClockLine, false);
  }
}

void Em78ShiftSet::ReadWord() {
  Line(kReadLine, false);
  PutCmd2(kCmdShiftIn, 5);
  PutCmd2(kCmdShiftIn, 8);
  Line(kReadLine, true);
  Clock();
}

void Em78ShiftSet::ProgramWord(std::uint16_t w) {
  PutCmd3(kCmdShiftOut, static_cast<std::uint8_t>(w >> 5 & 0xFF), 5);
  PutCmd3(kCmdShiftOut, static_cast<std::uint8_t>(w & 0xFF), 8);
  Line(kProgramLine, false);
  PutCmd1(kCmdPulse);
  Line(kProgramLine, true);
  Clock();
}

void Em78ShiftSet::PowerUp() const {
  if (policy().ownEntry) return;
  SetVccVoltage(5000);
  SetVppVoltage(12000);
  SelectGndPin(row_.groundPin);
  SelectVccPin(row_.vccPin);
  Line(kProgramLine, true);
  for (std::uint8_t line : {kReadLine, kClockLine, kShiftClockLine, kDataLine}) Line(line, false);
}

void Em78ShiftSet::EnterSpace(int space) const {
  if (!policy().ownEntry) {
    Line(kReadLine, true);
    Line(kResetLine, false);
    Line(kResetLine, true);
    Line(kShiftClockLine, false);
    Line(kDataLine, false);
    Line(kClockLine, space == 1);
    SelectVppPin(row_.vppPin);
    PutCmd1(kCmdWait);
    PutCmd1(kCmdWait);
    Clock();
    if (row_.vccPin == 8) Clock();
    return;
  }
  SelectGndPin(0);
  PutCmd1(kCmdWait);
  Line(kResetLine, false);
  Line(kProgramLine, true);
  Line(kReadLine, true);
  for (std::uint8_t line : {kClockLine, kShiftClockLine, kDataLine, kShiftClockLine, kClockLine})
    Line(line, false);
  SelectVccPin(row_.vccPin);
  SelectGndPin(row_.groundPin);
  Line(kDataLine, space == 1);
  const int model = gLink.ModelNumber;
  if (model == 5148) {
    frame::QueueDelayTicks(15);
  } else if (model >= 5149) {
    frame::QueueDelayTicks(10);
  }
  SelectVppPin(row_.vppPin);
  frame::QueueDelayTicks(10);
  Clock();
  Line(kDataLine, false);
  Line(kReadLine, false);
  FlushCommands();
}

void Em78ShiftSet::Start(int space) const {
  PowerUp();
  EnterSpace(space);
}

void Em78ShiftSet::Scan(bool verify) {
  const bool supplyBack = verify && !policy().ownEntry;
  Start(0);
  Line(kReadLine, false);
  std::uint8_t reply[64];
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) {
      const std::uint32_t at = a + 2 * i;
      const std::uint8_t high = reply[2 * i], low = reply[2 * i + 1];
      const bool bad = verify ? ((buffer_[at + 1] & 31) != high || buffer_[at] != low)
                              : (high != 31 || low < 255);
      if (!bad) continue;
      gLink.StatusWord = 1;
      gLink.FailAddress = at;
      gLink.FailByte = high;
      PowerDown();
      if (supplyBack) SetVccVoltage(5000);
      return;
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
  if (supplyBack) SetVccVoltage(5000);
}

void Em78ShiftSet::Blank() {
  // The option word first: a programmed one makes the chip used whatever its code holds.
  Start(1);
  Line(kReadLine, false);
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  if (reply[0] != 31 || reply[1] < 255) {
    gLink.StatusWord = 1;
    PowerDown();
    return;
  }
  PowerDown();
  Scan(false);
}

void Em78ShiftSet::Verify() {
  PowerUp();
  if (!policy().ownEntry) PutCmd1(kCmdLongWait);
  EnterSpace(1);
  Line(kReadLine, false);
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  PowerDown();
  Scan(true);
}

void Em78ShiftSet::Write() {
  services().CheckCdsExtension();
  PowerUp();
  if (!policy().ownEntry && !CheckPower()) return;
  EnterSpace(0);
  Line(kReadLine, true);
  for (std::uint32_t a = 0; a <= LastAddress(); a += 2) {
    ProgramWord(static_cast<std::uint16_t>((buffer_[a] | buffer_[a + 1] << 8) & 0x1FFF));
    if (a % 256 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void Em78ShiftSet::Read() {
  Start(1);
  Line(kReadLine, false);
  ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  PowerDown();
  Start(0);
  Line(kReadLine, false);
  for (std::uint32_t a = 0; a < LastAddress(); a += kBlock) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(buffer_ + a);
  }
  // High part first from the chip; low byte first in the buffer.
  for (std::uint32_t a = 0; a < LastAddress(); a += 2) std::swap(buffer_[a], buffer_[a + 1]);
  ShowProgress(-1);
  PowerDown();
}

void Em78ShiftSet::Config() {
  if (policy().ownEntry) {
    char line[48];
    std::snprintf(line, sizeof line, "R1 = %04x,  R2 = %04x", Word(0), Word(1));
    AddMessageLine(line);
    EnterSpace(1);
    Line(kReadLine, true);
    ProgramWord(static_cast<std::uint16_t>(Word(0)));
    ProgramWord(static_cast<std::uint16_t>(Word(1)));
    PowerDown();
    return;
  }
  const std::uint16_t c = ConfigWord();
  LogConfig(c);
  ShowProgress(0);
  Start(1);
  Line(kReadLine, true);
  ProgramWord(c & 0x1FFF);
  PowerDown();
}

void Em78ShiftSet::ReadConfig() {
  Start(1);
  Line(kReadLine, false);
  ReadWord();
  if (policy().ownEntry) ReadWord();
  std::uint8_t reply[64];
  ReadReply64(reply);
  PowerDown();
  char line[48];
  if (policy().ownEntry) {
    const std::uint32_t r1 = reply[0] << 8 | reply[1], r2 = reply[2] << 8 | reply[3];
    std::snprintf(line, sizeof line, "R1=%04x   R2=%04x ", r1, r2);
    AddMessageLine(line);
    SetWord(0, r1);
    SetWord(1, r2);
    return;
  }
  const std::uint16_t c = WordOf(reply[0], reply[1]);
  std::snprintf(line, sizeof line, "Config =%04x", c);
  AddMessageLine(line);
  FromConfig(c);
}

}  // namespace zelvar::pic
