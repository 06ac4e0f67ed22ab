#include "algorithms/mcs51/MSU2964.h"

#include <cstdio>
#include <iterator>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {

constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 27, 28}};
constexpr std::uint8_t kWePin = 17;
constexpr std::uint8_t kDataOnP1Read = 1;   // register 25: P0 the address, P1 an input
constexpr std::uint8_t kDataOnP1Write = 0;  // register 25: P0 the address, P1 driven
constexpr std::uint8_t kCmdSampleP1 = 1;
constexpr std::uint32_t kBlock = 64;
constexpr int kEraseWord = 128;
// Long waits of the erase for the "Era Delay" items; another choice waits none.
constexpr int kEraseWaits[] = {10, 20, 30};

constexpr const char* kDescribe[] = {
    "$Fonc:",    "21 Erase",        "22 Blank",
    "23 Write",  "24 Verify",       "26 Security",
    "$DisTool:", "25,28,29,30,31,", "$Radio1:01,Era Delay(擦除延迟)",
    "1  Second", "2  Second",       "3  Second",
    "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};

void P3Levels(const char* levels) {
  for (int i = 0; i < 7; ++i) SetPinLevel(levels[i] == '1', static_cast<std::uint8_t>(10 + i));
}

}  // namespace

const AddressPins& MSU2964::Address() const {
  return kAddress;
}
std::span<const char* const> MSU2964::DescribeList() const {
  return kDescribe;
}
std::span<const int> MSU2964::Operations() const {
  return kOps;
}

void MSU2964::Init() {
  SetUp(kTypes.size(), kPlcc44, 5000, 5000);
}

// Every pin low before P1 becomes an input; VCC up with P3 at 0000 1111, then the reset pulse.
void MSU2964::PowerUp() {
  SelectGndPin(gApp.GroundPin);
  SwitchPin(40, true);
  SelectVccPin(0);
  SelectClockPin(0);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, true);
  SelectClockPin(kXtal1Pin);
  SetAllPins(false);
  SetRegister25(kDataOnP1Read);
  SelectVccPin(gMcs51.ChipVccPin);
  SetPinHigh(kWePin);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  P3Levels("0000111");
  SetPinHigh(31);
  SetPinLow(kRstPin);
  SetPinHigh(kRstPin);
  FlushCommands();
}

void MSU2964::AddressOnP0(std::uint32_t a) {
  WritePort(0, 0);
  for (int i = 0; i < 8; ++i)
    SetPinLevel((a >> (8 + i)) & 1, kAddress.high[static_cast<std::size_t>(i)]);
  byte_ = static_cast<std::uint8_t>(a);
  PutCmd2(kCmdDataByte, byte_);
}

void MSU2964::NextOnP0() {
  ++byte_;
  PutCmd2(kCmdDataByte, byte_);
}

// The data on P1, then P3.7 pulsed inside ALE low.
void MSU2964::WriteCycle(std::uint8_t b) {
  WritePort(0, b);
  SetPinLow(kProgPin);
  SetPinLow(kWePin);
  SetPinHigh(kWePin);
  SetPinHigh(kProgPin);
}

void MSU2964::Command(std::uint32_t a, std::uint8_t b) {
  AddressOnP0(a);
  WriteCycle(b);
}

void MSU2964::ReadCycle(std::uint32_t a, std::uint8_t* dest) {
  AddressOnP0(a);
  for (std::uint32_t i = 0; i < kBlock; ++i) {
    PutCmd1(kCmdSampleP1);
    NextOnP0();
  }
  PutCmd2(kCmdPadding, 0);
  ReadReply64(dest);
}

bool MSU2964::EnterRead() {
  PowerUp();
  PutCmd1(kCmdWait100us);
  SetPinLow(kPsenPin);
  SetPinHigh(kProgPin);
  SetPinLow(kProgPin);
  SetPinHigh(kWePin);
  SelectVppPin(gMcs51.ChipVppPin);
  return CheckPower();
}

void MSU2964::Read() {
  if (!EnterRead()) return;
  ScanBlocks(Scan::Read, 0, LastAddress(), kBlock,
             [this](std::uint32_t a, std::uint8_t* dest) { ReadCycle(a, dest); });
  FinishScan();
}

void MSU2964::Blank() {
  if (!EnterRead()) return;
  if (ScanBlocks(Scan::Blank, 0, LastAddress(), kBlock,
                 [this](std::uint32_t a, std::uint8_t* dest) { ReadCycle(a, dest); })) {
    FinishScan();
  }
}

void MSU2964::Verify() {
  if (!EnterRead()) return;
  if (ScanBlocks(Scan::Verify, 0, LastAddress(), kBlock,
                 [this](std::uint32_t a, std::uint8_t* dest) { ReadCycle(a, dest); })) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// Each byte after the three command cycles, a page of 256 a flush; the type's range only.
void MSU2964::Write() {
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(kDataOnP1Write);
  SetPinLow(kPsenPin);
  for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    for (std::uint32_t i = 0; i < 256; ++i) {
      SetPinHigh(kPsenPin);
      Command(0x5555, 0xAA);
      Command(0x2AAA, 0x55);
      Command(0x5555, 0xA0);
      Command(a + i, buffer_[a + i]);
      SetPinLow(kPsenPin);
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

// The unlock pulse: P3 at 1001 111, P3.7 low for 1 ms inside PSEN high and ALE low.
void MSU2964::PreErase() {
  PowerUp();
  SelectVppPin(gMcs51.ChipVppPin);
  for (std::uint8_t pin = 1; pin <= 8; ++pin) SwitchPin(pin, false);
  SetRegister25(kDataOnP1Write);
  AddressOnP0(0);
  P3Levels("1001111");
  SetPinHigh(kProgPin);
  SetPinHigh(kPsenPin);
  SetPinLow(kProgPin);
  SetPinLow(kWePin);
  PutCmd1(kCmdWait1ms);
  SetPinHigh(kWePin);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  PutCmd1(kCmdWait1ms);
  PutCmd1(kCmdWait1ms);
  SuppliesOff();
  FlushCommands();
}

void MSU2964::Erase() {
  PreErase();
  PowerUp();
  SetRegister25(kDataOnP1Write);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetPinHigh(kPsenPin);
  Command(0x5555, 0xAA);
  Command(0x2AAA, 0x55);
  Command(0x5555, 0x80);
  Command(0x5555, 0xAA);
  Command(0x2AAA, 0x55);
  Command(0x5555, 0x10);
  const std::uint32_t choice = Word(kEraseWord);
  const int waits = choice < std::size(kEraseWaits) ? kEraseWaits[choice] : 0;
  for (int i = 0; i < waits; ++i) PutCmd1(kCmdLongWait);
  SetPinLow(kPsenPin);
  FlushCommands();
}

// The lock pulse: P3 at 0101 111, P3.7 low for 300 µs.
void MSU2964::Lock() {
  PowerUp();
  SelectClockPin(0);
  SwitchPin(kXtal1Pin, false);
  SetPinHigh(kXtal1Pin);
  SelectVppPin(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  SetRegister25(kDataOnP1Write);
  AddressOnP0(0);
  P3Levels("0101111");
  SetPinHigh(kProgPin);
  SetPinHigh(kPsenPin);
  SetPinLow(kProgPin);
  SetPinLow(kWePin);
  for (int i = 0; i < 3; ++i) PutCmd1(kCmdWait100us);
  SetPinHigh(kWePin);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
  FlushCommands();
}

}  // namespace zelvar::mcs51
