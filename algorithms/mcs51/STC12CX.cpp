#include "algorithms/mcs51/STC12CX.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
// The designs' commands: a bus sample into the reply, and waits.
constexpr std::uint8_t kCmdSample = 2, kCmdShortWait = 25, kCmdWait = 26, kCmdSettle = 27,
                       kCmdLongWait = 29;
constexpr std::uint8_t kEntryCode[] = {0x5A, 0xA5, 0xC3, 0x3C, 0x12, 0xC5, 0x41, 0x0A};
constexpr std::uint8_t kProgramCodes[] = {0x88, 0x89, 0xC9, 0x89, 0x81, 0x00};
constexpr std::uint16_t kConfigAddress = 0xF000;
constexpr const char* kWarning = "Warning:Only for 2007 chip mark*提醒：只能烧录2007年的芯片！";
constexpr const char* kBadPackage =
    "Package (pkg=) must be 20, 28 or 32! *封装(pkg=)只能是 20, 28 或 32!";

struct StcPackage {
  int pins;
  const char* bitstream;
  std::uint8_t vccPin;
  std::uint64_t contactMask;
};
constexpr StcPackage kPackages[] = {
    {20, "stc12c5xdip20.bit", 30, SocketPins(11, 30)},
    {28, "stc12c5xdip28.bit", 34, SocketPins(7, 34)},
    {32, "stc12c5xPlcc32.bit", 36, SocketPins(5, 36)},
};
constexpr std::uint8_t kGroundPin = 20;

void Line(int n, bool level) {
  if (level) {
    WriteFpgaReg18Bit7(static_cast<std::uint8_t>(n));
  } else {
    WriteFpgaReg18(static_cast<std::uint8_t>(n));
  }
}
void BusWrite(std::uint8_t b) {
  WritePort(1, b);
  Line(7, true);
  Line(7, false);
}
void Enter() {
  Line(0, false);
  WritePort(1, 0);
  Line(1, true);
  Line(2, false);
  Line(3, true);
  Line(4, false);
  Line(5, false);
  Line(6, true);
  Line(7, false);
  Line(8, false);
  SelectVccPin(gMcs51.ChipVccPin);
  Line(9, false);
  Line(9, true);
  Line(10, true);
  PutCmd1(kCmdSettle);
  for (std::uint8_t b : kEntryCode) BusWrite(b);
}
void SetAddress(std::uint16_t a) {
  Line(5, true);
  BusWrite(static_cast<std::uint8_t>(a >> 8));
  Line(5, false);
  Line(2, true);
  BusWrite(static_cast<std::uint8_t>(a & 0xFF));
  Line(2, false);
}
void StartRead(std::uint16_t a) {
  Line(8, true);
  Line(6, false);
  Line(10, false);
  PutCmd1(kCmdWait);
  Line(8, false);
  SetAddress(a);
  Line(6, true);
  BusWrite(0xF0);
  Line(6, false);
  Line(8, true);
  Line(1, false);
  PutCmd1(kCmdShortWait);
  PutCmd1(kCmdShortWait);
  Line(0, true);
  FlushCommands();
}
void ReadStep() {
  PutCmd1(kCmdSample);
  Line(7, true);
  Line(7, false);
}
void PrepareWrite() {
  Line(10, false);
  Line(8, true);
  Line(6, false);
  PutCmd1(kCmdSettle);
}
void WriteByte(std::uint16_t a, std::uint8_t b) {
  Line(8, false);
  Line(6, false);
  SetAddress(a);
  BusWrite(b);
  Line(6, true);
  for (std::uint8_t c : kProgramCodes) BusWrite(c);
  Line(8, true);
}
}  // namespace

void CheckStcRow(const StcType& t, TypeTableReport& r) {
  if (t.lastAddress == 0 || (t.lastAddress + 1) % 0x1000 != 0) r.Fault("size not in whole 4 KB");
}

void STC12CX::Init() {
  BeginSetup();
  Services& s = services();
  ShowMessageText(kWarning);
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  const int length = s.ChipParam("len=");
  lastAddress_ = length > 0 ? static_cast<std::uint32_t>(length - 1)
                            : kTypes[static_cast<std::size_t>(gApp.TypeIndex)].lastAddress;
  const int pkg = s.ChipParam("pkg=");
  const StcPackage* package = nullptr;
  for (const StcPackage& p : kPackages) {
    if (p.pins == pkg) package = &p;
  }
  // An unknown package would otherwise end the program: refused like any chip the set cannot
  // serve.
  if (package == nullptr) {
    Refuse(kBadPackage);
    return;
  }
  LoadBitstream(package->bitstream);
  gApp.GroundPin = kGroundPin;
  gApp.PinMask = package->contactMask;
  gMcs51.ChipVccPin = package->vccPin;
  gMcs51.ChipVppPin = 0;
  SelectGndPin(kGroundPin);
  vccMillivolts_ = ChipVccMillivolts();
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 0;
  SetVppVoltage(0);
}

bool STC12CX::Scan(Mcs51Set::Scan kind) {
  Enter();
  if (kind == Mcs51Set::Scan::Read && !CheckPower()) return false;
  StartRead(0);
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < 64; ++i) ReadStep();
    ReadReply64(dest);
  };
  if (!ScanBlocks(kind, 0, lastAddress_, 64, fetch)) return false;
  FinishScan();
  return true;
}

void STC12CX::Read() {
  Scan(Mcs51Set::Scan::Read);
  Line(9, false);
}

void STC12CX::Blank() {
  Scan(Mcs51Set::Scan::Blank);
}

void STC12CX::Verify() {
  Scan(Mcs51Set::Scan::Verify);
}

void STC12CX::Write() {
  Enter();
  PrepareWrite();
  for (std::uint32_t a = 0; a <= lastAddress_ && a < kCodeBufferSize; ++a) {
    if (a % 16 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
    WriteByte(static_cast<std::uint16_t>(a), buffer_[a]);
  }
  FlushCommands();
  ShowProgress(-1);
}

void STC12CX::Erase() {
  Enter();
  Line(8, true);
  Line(6, false);
  Line(10, false);
  PutCmd1(kCmdWait);
  Line(8, false);
  Line(5, true);
  BusWrite(0xFF);
  Line(5, false);
  Line(6, true);
  BusWrite(0x86);
  BusWrite(0x87);
  for (int i = 0; i < 20; ++i) PutCmd1(kCmdSettle);
  BusWrite(0x83);
  BusWrite(0x00);
  Line(6, false);
  Line(8, true);
  PutCmd1(kCmdLongWait);
  Line(6, true);
  Line(8, false);
  Line(7, false);
  Line(7, true);
  Line(6, false);
  Line(8, true);
  FlushCommands();
}

void STC12CX::ReadConfig() {
  Enter();
  StartRead(kConfigAddress);
  for (int i = 0; i < 4; ++i) ReadStep();
  std::uint8_t* c = gLink.ScratchBuffer.data();
  ReadReply64(c);
  Line(9, false);
  SelectVccPin(0);
  char line[32];
  std::snprintf(line, sizeof line, "%02x,%02x,%02x,%02x", c[0], c[1], c[2], c[3]);
  AddMessageLine(line);
  SetWord(64, c[1]);
  SetWord(0, c[0]);
  SetWord(1, c[2]);
  SetWord(2, c[3]);
}

void STC12CX::Config() {
  Enter();
  PrepareWrite();
  const auto low = [this](int w) { return static_cast<std::uint8_t>(Word(w)); };
  WriteByte(kConfigAddress, low(0));
  WriteByte(kConfigAddress + 2, low(1));
  WriteByte(kConfigAddress + 3, low(2));
  WriteByte(kConfigAddress + 1, low(64));
  FlushCommands();
}

}  // namespace zelvar::mcs51
