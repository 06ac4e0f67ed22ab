#include "algorithms/mcs51/MSU2958.h"

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
constexpr int kEraseWord = 128;
// Long waits of the erase for the "Era Delay" items; another choice waits none.
constexpr int kEraseWaits[] = {5, 10, 20};

constexpr const char* kDescribe[] = {
    "$Fonc:",    "21 Erase",        "22 Blank",
    "23 Write",  "24 Verify",       "26 Security",
    "$DisTool:", "25,28,29,30,31,", "$Radio1:01,Era Delay(擦除延迟)",
    "0.5 秒",    "1  秒",           "2  秒",
    "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};

}  // namespace

const AddressPins& MSU2958::Address() const {
  return kAddress;
}
std::span<const char* const> MSU2958::DescribeList() const {
  return kDescribe;
}
std::span<const int> MSU2958::Operations() const {
  return kOps;
}

void MSU2958::Init() {
  SetUp(kTypes.size(), kPlcc44, 5000, 4500);
}

// VCC up with P3 low, the reset pulse, then 48 clocks on XTAL1.
void MSU2958::PowerUp() {
  SelectGndPin(gApp.GroundPin);
  SwitchPin(gMcs51.ChipVccPin, true);
  SelectVccPin(0);
  SelectClockPin(0);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, false);
  SetPinLow(kXtal1Pin);
  SetRegister25(kBusRead);
  SelectVccPin(gMcs51.ChipVccPin);
  SetPinHigh(kWePin);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  for (std::uint8_t pin = 10; pin <= 15; ++pin) SetPinLow(pin);
  SetPinHigh(31);
  SetPinLow(kRstPin);
  SetPinHigh(kRstPin);
  for (int i = 0; i < 48; ++i) {
    SetPinHigh(kXtal1Pin);
    SetPinLow(kXtal1Pin);
  }
  FlushCommands();
}

void MSU2958::Pulse17() {
  SetPinLow(kWePin);
  SetPinHigh(kWePin);
}

bool MSU2958::EnterRead(bool vppByModel) {
  PowerUp();
  PutCmd1(kCmdWait100us);
  SetPinLow(kPsenPin);
  SetPinHigh(kProgPin);
  SetPinLow(kProgPin);
  SetPinHigh(kWePin);
  vppByModel ? SelectVppPinByModel(gMcs51.ChipVppPin) : SelectVppPin(gMcs51.ChipVppPin);
  FlushCommands();
  return CheckPower();
}

void MSU2958::Read() {
  if (!EnterRead(true)) return;
  ScanCode(Scan::Read);
  FinishScan();
}

void MSU2958::Blank() {
  if (!EnterRead(true)) return;
  if (ScanCode(Scan::Blank)) FinishScan();
}

void MSU2958::Verify() {
  if (!EnterRead(false)) return;
  if (ScanCode(Scan::Verify)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// A byte: on P0, P3.7 pulsed inside ALE low, then 100 µs.
void MSU2958::Write() {
  PowerUp();
  SetPinHigh(14);
  SetPinHigh(15);
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  if (!VppOn()) return;
  for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      PutCmd2(kCmdDataByte, buffer_[a + i]);
      SetPinLow(kProgPin);
      Pulse17();
      SetPinHigh(kProgPin);
      PutCmd1(kCmdWait100us);
      NextAddress();
    }
    FlushCommands();
  }
  ShowProgress(-1);
}

void MSU2958::PreErase() {
  PowerUp();
  SetAddress(0);
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  PutCmd2(kCmdDataByte, 0);
  SetPinLow(kProgPin);
  Pulse17();
  PutCmd1(kCmdWait1ms);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  FlushCommands();
}

// The erase pulse, then the erase time waited out with the bar at its end.
void MSU2958::Erase() {
  PreErase();
  PowerUp();
  if (!CheckPower()) return;
  SetAddress(0);
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  PutCmd2(kCmdDataByte, 0xFF);
  SetPinLow(kProgPin);
  Pulse17();
  const std::uint32_t choice = Word(kEraseWord);
  const int waits = choice < std::size(kEraseWaits) ? kEraseWaits[choice] : 0;
  for (int i = 0; i < waits; ++i) PutCmd1(kCmdLongWait);
  FlushCommands();
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  FlushCommands();
  ShowProgress(-1);
}

// P3 at 0000 011 (P3.5 high), a P3.7 pulse and 300 µs inside ALE low.
void MSU2958::Lock() {
  PowerUp();
  if (!VppOn()) return;
  SetPinHigh(kPsenPin);
  SetRegister25(kBusDrive);
  PutCmd2(kCmdDataByte, 0xFF);
  SetAddress(0);
  for (std::uint8_t pin : {10, 11, 12, 13, 16, 14}) SetPinLow(pin);
  SetPinHigh(15);
  SetPinLow(kProgPin);
  Pulse17();
  for (int i = 0; i < 3; ++i) PutCmd1(kCmdWait100us);
  SetPinHigh(kProgPin);
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
  FlushCommands();
}

}  // namespace zelvar::mcs51
