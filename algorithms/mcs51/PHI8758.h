#pragma once
// "PHI8758" and "PHI87591": EPROM and OTP 8051s (8751, 87C5x, 87C51FA..RD+, 97C5x and the 87C591)
// in their parallel quick-pulse mode at 12.5 V on EA/VPP. There is no erase; a byte takes a train
// of PROG pulses (5, or 25 for the 97C5x rows) and each lock bit chosen in the config rows 25.
#include <array>
#include <cstdio>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace phi8758 {

// A8..A13 on P2.0..P2.5, A14 on P3.4, A15 on P3.5.
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 15}};

// P2.6, P2.7, P3.6, P3.7, P3.1, P3.3.
constexpr ModeLines kLines{{27, 28, 16, 17, 11, 13}};
constexpr Mode kReadCode{"001110"};
constexpr Mode kWriteCode{"011111"};
constexpr Mode kSignature{"0000"};
constexpr Mode kSixClock{"000110"};
constexpr Mode kReadSixClock{"0010-1"};
// Lock bits 3, 2 and 1, programmed in this order for config bits 2, 1 and 0.
constexpr Mode kLockBit3{"101011"};
constexpr Mode kLockBit2{"110011"};
constexpr Mode kLockBit1{"111111"};

// The 87C591 holds RST low and reads a byte per P2.7 strobe.
constexpr Mode k591Mode{"0111"};
constexpr Mode k591Signature{"0000"};

constexpr std::uint8_t kLockPulses = 25;
constexpr std::uint32_t kSixClockBit = 1u << 3;
constexpr const char* kTypeError = "Type error!*错误的型号";

constexpr Strobe kTrain(std::uint8_t pulses) {
  return {.pulseWait = kCmdWait100us, .pulses = pulses};
}

constexpr const char* kDescribe[] = {"$Fonc:",    "22 Blank",  "23 Write",
                                     "24 Verify", "25 Config", "26 Security",
                                     "$DisTool:", "21,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=Lock(加锁),v=1,l=1,b=0",
                                   "n=SB(读加密),v=1,l=1,b=1",
                                   "n=MOVCL(禁止MOVC),v=1,l=1,b=2",
                                   "1:",
                                   "n=Lock(加锁),v=1,l=1,b=0",
                                   "n=SB(读加密),v=1,l=1,b=1",
                                   "n=MOVCL(禁止MOVC),v=1,l=1,b=2",
                                   "n=6/12 Clock,v=1,l=1,b=3",
                                   "$end"};
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig,
                        kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};

constexpr const char* kDescribe591[] = {"$Fonc:",      "22 Blank",  "23 Write",        "24 Verify",
                                        "26 Security", "$DisTool:", "21,25,29,30,31,", "$end"};
constexpr const char* kConfig591[] = {"0: (只有一种类型)", "n=Lock(加锁),v=1,l=1,b=0",
                                      "n=SB(读加密),v=1,l=1,b=1", "n=MOVCL(禁止MOVC),v=1,l=1,b=2",
                                      "$end"};
constexpr int kOps591[] = {kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};

}  // namespace phi8758

// A row of the EPROM sets: the size and the pulse train per byte.
struct EpromMcuType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint8_t pulses = 0;
};

// What the two sets share: the package, the reset pulse, the lock pulses by config bit and the
// type check.
class EpromMcuSet : public ParallelSet {
 public:
  static void CheckRow(const EpromMcuType& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = t.lastAddress}, r);
    if (t.pulses != 5 && t.pulses != 25) r.Fault("pulse train neither 5 nor 25");
  }

 protected:
  const AddressPins& Address() const override { return phi8758::kAddress; }

  void SetUpEprom(std::size_t rows, int vccMillivolts) {
    SetUp(rows, kPlcc44, vccMillivolts, 12500);
  }

  static void ResetPulse() {
    SelectGndPin(gApp.GroundPin);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinHigh(kRstPin);
    SetPinLow(kRstPin);
  }

  // Config bits 2, 1, 0 of OptionValues word 0 program lock bits 3, 2, 1 in this order.
  template <class Pulse>
  static void LockByBits(Pulse pulse) {
    const Mode bits[] = {phi8758::kLockBit3, phi8758::kLockBit2, phi8758::kLockBit1};
    const std::uint32_t w = Word0();
    for (int i = 0; i < 3; ++i) {
      if (w & (4u >> i)) pulse(bits[i]);
    }
  }
  static std::uint32_t Word0() { return static_cast<std::uint32_t>(gApp.OptionValues[0]); }

  bool CheckType() {
    return TypeCheck({.bytes = 2, .wording = phi8758::kTypeError, .logPairs = true});
  }
  bool CheckBeforeChange() override { return CheckType(); }
};

class PHI8758 final : public EpromMcuSet {
 public:
  static constexpr std::array<EpromMcuType, 18> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 8751", .lastAddress = 4095, .pulses = 5},
      {.name = "2: 87C51", .lastAddress = 4095, .pulses = 5},
      {.name = "3: 8752", .lastAddress = 8191, .pulses = 5},
      {.name = "4: 87C52", .lastAddress = 8191, .pulses = 5},
      {.name = "5: 87C54", .lastAddress = 16383, .pulses = 5},
      {.name = "6: 87C58", .lastAddress = 32767, .pulses = 5},
      {.name = "7: 87C51FA", .lastAddress = 8191, .pulses = 5},
      {.name = "8: 87C51FB", .lastAddress = 16383, .pulses = 5},
      {.name = "9: 87C51FC", .lastAddress = 32767, .pulses = 5},
      {.name = "10: 87C51RA+", .lastAddress = 8191, .pulses = 5},
      {.name = "11: 87C51RB+", .lastAddress = 16383, .pulses = 5},
      {.name = "12: 87C51RC+", .lastAddress = 32767, .pulses = 5},
      {.name = "13: 87C51RD+", .lastAddress = 65535, .pulses = 5},  // 64 KB, A15 on P3.5
      {.name = "14: 97C51", .lastAddress = 4095, .pulses = 25},
      {.name = "15: 97C52", .lastAddress = 8191, .pulses = 25},
      {.name = "16: 97C54", .lastAddress = 16383, .pulses = 25},
      {.name = "17: 97C58", .lastAddress = 32767, .pulses = 25},
  }};

 private:
  const EpromMcuType& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Row().lastAddress; }
  std::span<const char* const> DescribeList() const override { return phi8758::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return phi8758::kConfig; }
  std::span<const int> Operations() const override { return phi8758::kOps; }
  // Group 1 (with the 6/12 clock bit) for the six-clock parts, "clk=6".
  int ConfigGroup() const override { return services().ChipParam("clk=") == 6 ? 1 : 0; }

  void Init() override { SetUpEprom(kTypes.size(), ChipVccMillivolts()); }

  // P0 released first: the power-up levels are the verify levels, in which the chip drives it.
  static void PowerUp() {
    SetRegister25(kBusRead);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectVccPin(0);
    SelectVccPin(gMcs51.ChipVccPin);
    SelectClockPin(kXtal1Pin);
    ControlLevels();
    SetMode(phi8758::kLines, {"0011"});
    FlushCommands();
  }

  bool EnterReadCode() {
    PowerUp();
    return EnterRead(phi8758::kLines, phi8758::kReadCode);
  }

  void ReadSignature() override {
    PowerUp();
    SetRegister25(kBusRead);
    SetMode(phi8758::kLines, phi8758::kSignature);
    std::uint8_t* block = gLink.ScratchBuffer.data();
    ReadBlockAt(0, block);
    gApp.ReadId = {block[0x30], block[0x31], block[0x60], 0};
    LogId("%02x,%02x,%02x", 3);
    SuppliesOff();
  }

  void ReadId() override { ReadSignature(); }

  void Read() override {
    ResetPulse();
    if (!EnterReadCode()) return;
    ScanCode(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    ResetPulse();
    if (!CheckType()) return;
    if (EnterReadCode() && ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    ResetPulse();
    if (EnterReadCode() && ScanCode(Scan::Verify)) FinishScan();
  }

  void Write() override {
    ResetPulse();
    if (!CheckType()) return;
    PowerUp();
    SetMode(phi8758::kLines, phi8758::kWriteCode);
    SetRegister25(kBusDrive);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 256, phi8758::kTrain(Row().pulses));
    ShowProgress(-1);
  }

  // One programming cycle in `mode` with P0 at 0xFF: VPP on, `pulses` PROG pulses, supplies off.
  // A weak supply skips this cycle only.
  void ProgramCycle(Mode mode, std::uint8_t pulses) {
    PowerUp();
    PutCmd2(kCmdDataByte, 0xFF);
    FlushCommands();
    SetMode(phi8758::kLines, mode);
    SetPinHigh(11);
    SetPinHigh(13);
    SetAddress(0);
    FlushCommands();
    if (VppOn()) {
      PutCmd1(kCmdSettle);
      for (int i = 0; i < pulses; ++i) {
        SetPinLow(kProgPin);
        PutCmd1(kCmdWait100us);
        SetPinHigh(kProgPin);
      }
      FlushCommands();
    }
    SuppliesOff();
  }

  void Lock() override {
    LockByBits([this](Mode bits) { ProgramCycle(bits, phi8758::kLockPulses); });
  }

  // The six-clock bit, only on the six-clock parts and only when its row is cleared.
  void Config() override {
    if (ConfigGroup() != 1 || (Word0() & phi8758::kSixClockBit)) return;
    ProgramCycle(phi8758::kSixClock, 5);
  }

  // The clock bit is the only configuration there is to read, on the six-clock parts; the others
  // have no such read mode (Read runs this after every read).
  void ReadConfig() override {
    if (ConfigGroup() != 1) return;
    PowerUp();
    SetRegister25(kBusRead);
    SetMode(phi8758::kLines, phi8758::kReadSixClock);
    std::uint8_t* block = gLink.ScratchBuffer.data();
    ReadBlockAt(0, block);
    char line[32];
    std::snprintf(line, sizeof line, "config=%02x", block[0]);
    AddMessageLine(line);
  }
};

}  // namespace zelvar::mcs51
