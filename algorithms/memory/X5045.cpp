#include "algorithms/memory/X5045.h"

#include <cstdio>
#include <string>

#include "algorithms/memory/SpiEngine.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory {

namespace {
using frame::kNoSuchType;
constexpr const char* kStillBusy = "Chip stays busy after a write! *器件写入后一直忙!";
constexpr int kProtectWord = 128;
constexpr int kWatchdogWord = 129;
constexpr std::uint8_t kSpiBusy = 0x01;
// Status polls after a byte: the chip's write cycle is at most 10 ms and a poll takes a USB round
// trip of well over 100 us.
constexpr int kMaxPolls = 200;

// The bit-level SPI of the X5045 designs: register-18 lines, one level at a time.
constexpr std::uint8_t kLineClock = 1, kLineData = 2, kLineSelect = 3;
constexpr std::uint8_t kHigh = 0x80;
constexpr std::uint8_t kCmdSampleDataOut = 1;

void Line(std::uint8_t line, bool high) {
  WriteFpgaReg18(static_cast<std::uint8_t>(line | (high ? kHigh : 0)));
}
void Select() {
  Line(kLineSelect, false);
}
void Deselect() {
  Line(kLineSelect, true);
}
// Eight bits, most significant first, each taken by the chip on the rising clock.
void Send(std::uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    Line(kLineData, ((b >> i) & 1) != 0);
    Line(kLineClock, true);
    Line(kLineClock, false);
  }
}
void Send(const SpiAddress& a) {
  for (int i = 0; i < a.count; ++i) Send(a.bytes[static_cast<std::size_t>(i)]);
}
// Eight data-out samples into reply bytes 0 to 7, then deselect and the reply: the byte.
std::uint8_t ReceiveAndDeselect() {
  for (int i = 0; i < 8; ++i) {
    Line(kLineClock, true);
    PutCmd1(kCmdSampleDataOut);
    Line(kLineClock, false);
  }
  Deselect();
  ReadReply64(gLink.ScratchBuffer.data());
  std::uint8_t b = 0;
  for (int i = 0; i < 8; ++i) b = static_cast<std::uint8_t>(b << 1 | (gLink.ScratchBuffer[i] & 1));
  return b;
}
void Instruction(std::uint8_t opcode) {
  Select();
  Send(opcode);
  Deselect();
}
std::uint8_t ReadStatusByte() {
  Select();
  Send(kSpiReadStatus);
  return ReceiveAndDeselect();
}
}  // namespace

void X5045::CheckRow(const X5045Type& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.bitstream.empty()) r.Fault("no bitstream");
  r.bitstreams.emplace_back(t.bitstream);
  r.SizeIsPowerOfTwo(t.lastAddress);
  r.MaskInSocket(t.contactMask, 40);
  r.DistinctSupplyPins({{"VCC", t.vccPin}}, {t.gndPin}, 40);
  if (t.gndPin < 1 || t.gndPin > 40) r.Fault("ground pin outside the socket");
  if ((t.contactMask >> (t.vccPin - 1) & 1) == 0) r.Fault("contact mask without VCC");
  if ((t.contactMask >> (t.gndPin - 1) & 1) != 0) r.Fault("contact mask holds the ground pin");
  if (t.bitstream == "x5045dip08.bit" &&
      (t.vccPin != 24 || t.gndPin != 20 || (t.contactMask & ~SocketPins(17, 24)) != 0))
    r.Fault("8-pin row off the package at socket pins 17 to 24");
}

void X5045::Init() {
  ClearRefusal();
  if (Type().lastAddress == 0) {
    Refuse(kNoSuchType);
    return;
  }
  LoadBitstream(std::string(Type().bitstream).c_str());
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
  SelectVppPin(0);
}

TypeFacts X5045::Facts() const {
  const X5045Type& t = Type();
  return {.lastAddress = t.lastAddress,
          .contactMask = Refused() ? 0 : t.contactMask,
          .groundPin = t.gndPin};
}

bool X5045::Offers(int op) const {
  return op == kOpErase || op == kOpBlank || op == kOpWrite || op == kOpVerify || op == kOpConfig ||
         op == kOpRead || op == kOpReadConfig;
}

void X5045::Handle(int op) {
  switch (op) {
    case kOpErase:
      Write(true);
      break;
    case kOpBlank:
      Scan(ScanMode::kBlank);
      break;
    case kOpWrite:
      Write(false);
      break;
    case kOpVerify:
      Scan(ScanMode::kVerify);
      break;
    case kOpConfig:
      WriteStatus();
      break;
    case kOpRead:
      Scan(ScanMode::kRead);
      break;
    case kOpReadConfig:
      ReadStatus();
      break;
    default:
      break;
  }
}

// Deselected, data and clock low, then the supplies.
bool X5045::PowerUp() const {
  Deselect();
  Line(kLineData, false);
  Line(kLineClock, false);
  return SerialSet::PowerUp(Type().gndPin, Type().vccPin, vccMillivolts_);
}

bool X5045::WaitReady() const {
  for (int i = 0; i < kMaxPolls; ++i) {
    if ((ReadStatusByte() & kSpiBusy) == 0) return true;
  }
  Decline(kStillBusy);
  SelectVccPin(0);
  return false;
}

void X5045::Scan(ScanMode mode) {
  if (!PowerUp()) return;
  const std::uint32_t size = Type().lastAddress + 1;
  const auto fetch = [size](std::uint32_t a, std::uint8_t* dest, std::uint32_t) {
    Select();
    Send(SpiEepromAddress(kSpiRead, a, size));
    *dest = ReceiveAndDeselect();
  };
  if (!ScanChip(size, 1, mode, fetch)) return;
  ShowProgress(-1);
  SelectVccPin(0);
}

// A byte at a time. The write cycle is waited out by status polls: a single settle command
// after the byte left the chip busy, and the next byte's write enable was then ignored.
void X5045::Write(bool erase) {
  if (!PowerUp()) return;
  const std::uint32_t size = Type().lastAddress + 1;
  for (std::uint32_t a = 0; a < size; ++a) {
    ShowProgress(static_cast<int>(a));
    Instruction(kSpiWriteEnable);
    Select();
    Send(SpiEepromAddress(kSpiWrite, a, size));
    Send(erase ? std::uint8_t{0xFF} : buffer_[a]);
    Deselect();
    PutCmd1(kCmdSettle);
    if (!WaitReady()) return;
  }
  ShowProgress(-1);
  SelectVccPin(0);
}

// The choices are read here, at the operation: set-up writes no option words.
void X5045::WriteStatus() {
  const std::uint8_t v = X5045Status(Choice(kProtectWord, 4), Choice(kWatchdogWord, 4));
  if (!PowerUp()) return;
  Instruction(kSpiWriteEnable);
  Select();
  Send(kSpiWriteStatus);
  Send(v);
  Deselect();
  PutCmd1(kCmdSettle);
  // The status is non-volatile: VCC stays on through its write cycle.
  if (!WaitReady()) return;
  SelectVccPin(0);
}

void X5045::ReadStatus() {
  if (!PowerUp()) return;
  const std::uint8_t status = ReadStatusByte();
  SelectVccPin(0);
  char line[32];
  std::snprintf(line, sizeof line, "Status: %02x", status);
  AddMessageLine(line);
  SetWord(kProtectWord, (status >> 2) & 3);
  SetWord(kWatchdogWord, (status >> 4) & 3);
}

}  // namespace zelvar::memory
