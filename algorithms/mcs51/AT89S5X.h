#pragma once
// "AT89S5X": the AT89S51, AT89S52 and AT89S53 in the parallel programming mode, 12 V on EA/VPP,
// the signature read as Atmel's ID at 000H and the device's at 100H and 200H.
#include <array>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace at89s5x {

// The adapter of these parts is also checked on pins 41, 42 and 48.
constexpr Package kPlcc44S5x{.bitstream = kPlcc44.bitstream,
                             .groundPin = kPlcc44.groundPin,
                             .vccPin = kPlcc44.vccPin,
                             .vppPin = kPlcc44.vppPin,
                             .contactMask = SocketPins(1, 42, 10, 21, 32) | SocketPins(48, 48)};

// A8..A13 on P2.0..P2.5, A14 on P3.4 (pin 14), A15 on P3.5 (pin 15).
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 15}};

using namespace at89s_modes;

// The byte write is self-timed within 50 µs: one or two 100 µs waits after the pulse.
constexpr Strobe kStrobe{
    .pulseWait = kCmdWait100us, .afterWait = kCmdWait100us, .afterCount = 1, .slowerExtra = 1};

}  // namespace at89s5x

class AT89S5X final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT89S51", .lastAddress = 4095},
      {.name = "2: AT89S52", .lastAddress = 8191},
      {.name = "3: AT89S53", .lastAddress = 12287},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return at89s5x::kAddress; }
  std::span<const char* const> DescribeList() const override { return kLockSpeedDescribe; }
  std::span<const int> Operations() const override { return kParallelOps; }

  void Init() override { SetUp(kTypes.size(), at89s5x::kPlcc44S5x, 5000, 12000); }

  static bool PowerUp() {
    SelectGndPin(gApp.GroundPin);
    PutCmd1(kCmdLongWait);
    SetRegister25(kBusRead);  // released before VCC rises
    SelectVccPin(gMcs51.ChipVccPin);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectClockPin(kXtal1Pin);
    SelectVppPin(0);
    ControlLevels();
    FlushCommands();
    return CheckPower();
  }

  static void ResetPulse() {
    SelectGndPin(gApp.GroundPin);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinHigh(kRstPin);
    SetPinLow(kRstPin);
    FlushCommands();
  }

  void ReadSignature() override {
    ResetPulse();
    if (!PowerUp()) return;
    SetRegister25(kBusRead);
    SetMode(at89s5x::kLines, at89s5x::kSignature);
    ReadBlockAt(0, gLink.ScratchBuffer.data());  // the first read after the mode change is dropped
    IdBytesAt(at89s5x::kIdAddresses);
    SuppliesOff();
  }

  void Read() override {
    ResetPulse();
    if (!PowerUp() || !EnterRead(at89s5x::kLines, at89s5x::kReadCode)) return;
    ScanCode(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    ResetPulse();
    if (!PowerUp() || !EnterRead(at89s5x::kLines, at89s5x::kReadCode)) return;
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    if (!PowerUp() || !EnterRead(at89s5x::kLines, at89s5x::kReadCode)) return;
    if (ScanCode(Scan::Verify)) FinishScan();
  }

  // One erase pulse, then the erase cycle waited out in 100 steps of the progress bar.
  void Erase() override {
    if (!PowerUp()) return;
    SetMode(at89s5x::kLines, at89s5x::kErase);
    FlushCommands();
    if (!VppOn()) return;
    SetPinLow(kProgPin);
    SetPinHigh(kProgPin);
    const std::uint32_t step = LastAddress() / 100;
    for (std::uint32_t k = 0; k < 100; ++k) {
      ShowProgress(static_cast<int>(k * step));
      PutCmd1(kCmdSettle);
      FlushCommands();
    }
    ShowProgress(-1);
  }

  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{}; }

  // The signature is checked before the first byte, as the other parallel sets check it.
  void Write() override {
    if (!TypeCheck({})) return;
    ResetPulse();
    if (!PowerUp()) return;
    PutCmd1(kCmdSettle);
    SetMode(at89s5x::kLines, at89s5x::kWriteCode);
    SetRegister25(kBusDrive);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SwitchPin(10, true);
    ControlLevels();
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 32, at89s5x::kStrobe);
    ShowProgress(-1);
  }

  // Each lock bit: its mode, VPP on, one 100 µs PROG pulse, VPP off.
  bool LockPulse(Mode bits) {
    SetMode(at89s5x::kLines, bits);
    FlushCommands();
    if (!VppOn()) return false;
    PutCmd1(kCmdSettle);
    SetPinLow(kProgPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdSettle);
    SelectVppPin(0);
    FlushCommands();
    return true;
  }

  void Lock() override {
    ResetPulse();
    if (!PowerUp()) return;
    SetMode(at89s5x::kLines, at89s5x::kLockBits[0]);
    SetRegister25(kBusDrive);
    SetAddress(0);
    LockByChoice(at89s5x::kLockBits, [this](Mode bits) { return LockPulse(bits); });
  }

  void ReadId() override {
    ReadSignature();
    LogId("MFA = %02x,%02x,%02x", 3);
  }
};

}  // namespace zelvar::mcs51
