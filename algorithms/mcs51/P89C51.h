#pragma once
// "P89C51": the AT89C51 family (AT89C51/LV51, AT89C52/LV52, AT89C55, AT80F5x, AT87F5x OTP) in the
// parallel programming mode, 12 V on EA/VPP, with the signature checked before a write.
#include <array>
#include <cstdio>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace p89c51 {

// A8..A13 on P2.0..P2.5, A14 on P3.0 (pin 10) for the AT89C55.
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 10, 0}};

// P2.6, P2.7, P3.6, P3.7 and P3.3 (pin 13, high for erase and lock bits).
constexpr ModeLines kLines{{27, 28, 16, 17, 13}};
constexpr Mode kReadCode{"00110"};
constexpr Mode kWriteCode{"01111"};
constexpr Mode kErase{"10001"};
constexpr Mode kSignature{"00000"};
constexpr Mode kLockBits[kLockChoices] = {{"11111"}, {"11001"}, {"10101"}};

// A 100 µs PROG pulse, then the self-timed byte write (up to 1.5 ms): two or three 1 ms waits.
constexpr Strobe kStrobe{
    .pulseWait = kCmdWait100us, .afterWait = kCmdWait1ms, .afterCount = 2, .slowerExtra = 1};

constexpr std::array<std::uint8_t, 3> kSignatureOffsets = {0x30, 0x31, 0x32};

}  // namespace p89c51

class P89C51 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 10> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT89C51", .lastAddress = 4095},
      {.name = "2: AT89LV51", .lastAddress = 4095},
      {.name = "3: AT89C52", .lastAddress = 8191},
      {.name = "4: AT89LV52", .lastAddress = 8191},
      {.name = "5: AT89C55", .lastAddress = 20479},
      {.name = "6: AT80F51", .lastAddress = 4095},
      {.name = "7: AT80F52", .lastAddress = 8191},
      {.name = "8: AT87F51(OTP)", .lastAddress = 4095},
      {.name = "9: AT87F52(OTP)", .lastAddress = 8191},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return p89c51::kAddress; }
  std::span<const char* const> DescribeList() const override { return kLockSpeedDescribe; }

  void Init() override { SetUp(kTypes.size(), kPlcc44, 5000, 12000); }

  static void PowerUp() {
    SwitchPin(14, true);
    SelectGndPin(gApp.GroundPin);
    SetRegister25(kBusRead);  // released before VCC rises
    SelectVccPin(gMcs51.ChipVccPin);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectClockPin(kXtal1Pin);
    SelectVppPin(0);
    ControlLevels();
    FlushCommands();
  }

  static void ResetPulse() {
    PowerUp();
    SelectClockPin(0);
    SetPinHigh(kRstPin);
    SetPinLow(kRstPin);
  }

  bool EnterReadCode() {
    PowerUp();
    return EnterRead(p89c51::kLines, p89c51::kReadCode);
  }

  void ReadSignature() override {
    ResetPulse();
    PowerUp();
    SetMode(p89c51::kLines, p89c51::kSignature);
    SignatureBytes(p89c51::kSignatureOffsets);
    SuppliesOff();
  }

  void Read() override {
    if (!EnterReadCode()) return;
    ScanCode(Scan::Read);
    FinishScan();
  }

  void Erase() override {
    ResetPulse();
    PowerUp();
    SetMode(p89c51::kLines, p89c51::kErase);
    FlushCommands();
    if (!VppOn()) return;
    // The erase pulse: ALE/PROG low for at least 10 ms.
    SetPinLow(kProgPin);
    PutCmd1(kCmdSettle);
    PutCmd1(kCmdLongWait);
    SetPinHigh(kProgPin);
    FlushCommands();
  }

  void Blank() override {
    ResetPulse();
    ReadSignature();
    if (gApp.ReadId[0] == 0xFF && gApp.ReadId[1] == 0xFF) {
      AddMessageLine("May be the chip protected! *器件可能加了密!");
      gLink.StatusWord = 1;
      return;
    }
    if (!EnterReadCode()) return;
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    ResetPulse();
    SetVccVoltage(5000);
    if (!EnterReadCode()) return;
    if (ScanCode(Scan::Verify)) FinishScan();
  }

  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{}; }

  void Write() override {
    ResetPulse();
    if (!TypeCheck({})) return;
    PowerUp();
    SetMode(p89c51::kLines, p89c51::kWriteCode);
    SetRegister25(kBusDrive);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 16, p89c51::kStrobe);
    ShowProgress(-1);
  }

  // Each lock bit: its mode, VPP on, one PROG pulse as long as a byte's (100 µs), VPP off. A weak
  // supply in any pulse stops the operation: later bits are not programmed without VPP checked.
  // The pulse is the byte pulse, not the 1 ms settle wait: the datasheets allow at most 110 µs.
  bool LockPulse(Mode bits) {
    SetMode(p89c51::kLines, bits);
    FlushCommands();
    if (!VppOn()) return false;
    PutCmd1(kCmdWait1ms);
    SetPinLow(kProgPin);
    PutCmd1(p89c51::kStrobe.pulseWait);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdWait1ms);
    PutCmd1(kCmdWait1ms);
    SelectVppPin(0);
    FlushCommands();
    return true;
  }

  void Lock() override {
    ResetPulse();
    PowerUp();
    SetMode(p89c51::kLines, p89c51::kLockBits[0]);
    SetRegister25(kBusDrive);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    if (!CheckPower()) return;
    SetAddress(0);
    FlushCommands();
    LockByChoice(p89c51::kLockBits, [this](Mode bits) { return LockPulse(bits); });
  }

  void ReadId() override {
    ReadSignature();
    LogId("MFA = %02x,%02x,%02x", 3);
  }

  std::span<const int> Operations() const override { return kParallelOps; }
};

}  // namespace zelvar::mcs51
