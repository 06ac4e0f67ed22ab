#include "algorithms/mcs51/SM894051.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {

constexpr std::uint8_t kGroundPin = 20, kVccPin = 30, kResetVppPin = 11;
constexpr std::uint8_t kSelectLow = 12, kSelectHigh = 13, kLatchPin = 15, kRunPin = 17;
constexpr std::uint8_t kPort20Read = 9;
constexpr int kReadVccMillivolts = 4400, kEraseVccMillivolts = 5000, kVppMillivolts = 10500;
constexpr std::uint8_t kRead = 0, kProgram = 35, kErase = 131, kLock = 19;
constexpr int kErasePasses = 5;
constexpr std::uint32_t kGroup = 64;

constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",        "22 Blank",
                                     "23 Write",  "24 Verify",       "26 Security",
                                     "$DisTool:", "25,28,29,30,31,", "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};

}  // namespace

void SM894051::CheckRow(const ParallelType& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.lastAddress > 0xFFF || ((t.lastAddress + 1) % kGroup) != 0) {
    r.Fault("size not whole 64-byte reads within 4 KB");
  }
  r.DistinctSupplyPins({{"VCC", kVccPin}, {"RST/VPP", kResetVppPin}}, {kGroundPin}, 40);
  r.bitstreams.emplace_back(kDip40.bitstream);
}

std::span<const char* const> SM894051::DescribeList() const {
  return kDescribe;
}
std::span<const int> SM894051::Operations() const {
  return kOps;
}

void SM894051::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  LoadBitstream(kDip40.bitstream);
  gApp.GroundPin = kGroundPin;
  gApp.PinMask = SocketPins(11, 30);
  gMcs51.ChipVccPin = kVccPin;
  gMcs51.ChipVppPin = kResetVppPin;
  SelectGndPin(kGroundPin);
  vccMillivolts_ = kReadVccMillivolts;
  vppMillivolts_ = kVppMillivolts;
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(vppMillivolts_);
}

// RST low while VCC comes up, then high, and the interface clocked a hundred times.
void SM894051::PowerUp() {
  SelectGndPin(kGroundPin);
  SetRegister25(kBusDrive);
  SelectClockPin(0);
  SwitchPin(19, true);
  SwitchPin(14, true);
  SwitchPin(kLatchPin, false);
  SetPinLow(kResetVppPin);
  SetPinLow(kLatchPin);
  SetPinHigh(21);
  SetPinLow(16);
  for (std::uint8_t pin : {18, 19, 17}) SetPinHigh(pin);
  SelectVccPin(kVccPin);
  PutCmd1(kCmdSettle);
  SetPinHigh(kResetVppPin);
  for (int i = 0; i < 100; ++i) {
    SetPinHigh(kLatchPin);
    SetPinLow(kLatchPin);
  }
  FlushCommands();
}

// P3.2 and P3.4 high enable the program commands; VPP on RST.
bool SM894051::ProgrammingEntry() {
  for (std::uint8_t pin : {16, 18, 19}) SetPinHigh(pin);
  FlushCommands();
  SelectVppPin(kResetVppPin);
  return CheckPower();
}

void SM894051::PutRegister(int r, std::uint8_t b) {
  SetPinLevel((r & 2) != 0, kSelectHigh);
  SetPinLevel((r & 1) != 0, kSelectLow);
  PutCmd2(kCmdPort20Byte, b);
  SetPinHigh(kLatchPin);
  SetPinLow(kLatchPin);
}

// P3.3 rises before the bus drives P1: the chip's outputs are off first.
void SM894051::LoadReadAddress(std::uint32_t a) {
  SetPinHigh(kRunPin);
  SetRegister25(kBusDrive);
  PutRegister(0, static_cast<std::uint8_t>(a >> 8));
  PutRegister(1, static_cast<std::uint8_t>(a));
  PutRegister(3, kRead);
  SetRegister25(kPort20Read);
  SetPinLow(kRunPin);
  PutCmd1(kCmdSample20);
}

// The command in register 3, run for `count` waits with P3.3 low.
void SM894051::RunCommand(std::uint8_t command, std::uint8_t wait, int count) {
  SetRegister25(kBusDrive);
  SetPinHigh(kRunPin);
  PutRegister(3, command);
  SetPinLow(kRunPin);
  for (int i = 0; i < count; ++i) PutCmd1(wait);
  FlushCommands();
  SetPinHigh(kRunPin);
  PutCmd1(kCmdSettle);
}

bool SM894051::Scan(enum Scan kind) {
  return ScanBlocks(kind, 0, LastAddress(), kGroup, [](std::uint32_t a, std::uint8_t* dest) {
    for (std::uint32_t i = 0; i < kGroup; ++i) LoadReadAddress(a + i);
    ReadReply64(dest);
  });
}

void SM894051::Read() {
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(kPort20Read);
  SelectVppPin(kResetVppPin);
  Scan(Scan::Read);
  FinishScan();
}

void SM894051::Blank() {
  PowerUp();
  if (!CheckPower()) return;
  SelectVppPin(kResetVppPin);
  if (Scan(Scan::Blank)) FinishScan();
}

void SM894051::Verify() {
  PowerUp();
  if (!CheckPower()) return;
  SelectVppPin(kResetVppPin);
  if (Scan(Scan::Verify)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// Five passes of the erase command, each from power-up.
void SM894051::Erase() {
  SetVccVoltage(kEraseVccMillivolts);
  const std::uint32_t step = (LastAddress() + 1) / kErasePasses;
  for (int pass = 0; pass < kErasePasses; ++pass) {
    ShowProgress(static_cast<int>(pass * step));
    PowerUp();
    if (!ProgrammingEntry()) return;
    RunCommand(kErase, kCmdSettle, 40);
    SuppliesOff();
  }
  ShowProgress(-1);
  SetVccVoltage(kReadVccMillivolts);
}

void SM894051::Write() {
  PowerUp();
  SetRegister25(kBusDrive);
  if (!ProgrammingEntry()) return;
  for (std::uint32_t a = 0; a <= LastAddress(); ++a) {
    SetRegister25(kBusDrive);
    SetPinHigh(kRunPin);
    PutRegister(0, static_cast<std::uint8_t>(a >> 8));
    PutRegister(1, static_cast<std::uint8_t>(a));
    PutRegister(2, buffer_[a]);
    PutRegister(3, kProgram);
    SetPinLow(kRunPin);
    PutCmd1(kCmdWait100us);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kRunPin);
    if (a % 16 == 0) {
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

void SM894051::Lock() {
  PowerUp();
  if (!ProgrammingEntry()) return;
  RunCommand(kLock, kCmdWait100us, 2);
}

}  // namespace zelvar::mcs51
