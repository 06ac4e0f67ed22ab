#include "algorithms/mcs51/Sm89Engine.h"

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
constexpr int kDelayWord = 128;
// The write pulse of each "Delay" item; another choice puts no wait inside the pulse.
constexpr std::uint8_t kPulseWaits[] = {kCmdPadding, kCmdWait50us, kCmdWait100us};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};

}  // namespace

const AddressPins& Sm89Set::Address() const {
  return kAddress;
}
std::span<const int> Sm89Set::Operations() const {
  return kOps;
}

void Sm89Set::Init() {
  SetUp(RowCount(), kPlcc44, 5000, 12000);
}

void Sm89Set::SetModePins(std::uint32_t m) const {
  for (int i = 0; i < ModeWidth(); ++i)
    SetPinLevel((m >> i) & 1, static_cast<std::uint8_t>(10 + i));
}

// The clock on XTAL1, P0 released, VCC off until the set's levels are in place.
void Sm89Set::CommonPowerUp() const {
  SelectGndPin(gApp.GroundPin);
  SwitchPin(40, true);
  SelectVccPin(0);
  SelectClockPin(0);
  SwitchPin(kXtal2Pin, true);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
}

void Sm89Set::ProgramByte(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgPin);
  const std::uint32_t choice = Word(kDelayWord);
  if (choice < std::size(kPulseWaits)) PutCmd1(kPulseWaits[choice]);
  SetPinHigh(kProgPin);
}

bool Sm89Set::EnterRead() {
  SetVccVoltage(ReadVccMillivolts());
  PowerUp();
  ReadLevels();
  FlushCommands();
  return CheckPower();
}

void Sm89Set::Read() {
  if (!EnterRead()) return;
  ScanCode(Scan::Read);
  FinishScan();
}

void Sm89Set::Blank() {
  if (!EnterRead()) return;
  if (ScanCode(Scan::Blank)) FinishScan();
}

void Sm89Set::Verify() {
  if (!EnterRead()) return;
  if (ScanCode(Scan::Verify)) {
    FinishScan();
    return;
  }
  LogVerifyMismatch();
}

// Every byte of the type, a page of 256 a flush, with VPP on EA.
void Sm89Set::Write() {
  SetVccVoltage(5000);
  PowerUp();
  WriteLevels();
  if (!VppOn()) return;
  for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    for (std::uint32_t i = 0; i < 256; ++i) {
      ProgramByte(buffer_[a + i]);
      NextAddress();
    }
    FlushCommands();
  }
  ShowProgress(-1);
  SetModePins(0);
  FlushCommands();
}

}  // namespace zelvar::mcs51
