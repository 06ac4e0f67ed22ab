#pragma once
// "DS87C520": the Dallas 16 KB EPROM 8051 in its parallel mode, with 12.5 V on EA/VPP, five PROG
// pulses a code byte and 25 for the lock bits and the option register (the watchdog byte at FCh
// of the signature space). `DsSet` is what it shares with "DS89C4X0" (the flash parts at logic
// levels): the mode lines P2.6, P2.7, P3.6, P3.7, the address (A8..A13 on P2, A14/A15 on
// P3.4/P3.5), the lock-level patterns, the watchdog row and the identity check.
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

namespace ds {
constexpr ModeLines kLines{{27, 28, 16, 17}};  // P2.6, P2.7, P3.6, P3.7
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 15}};
constexpr Mode kSignature{"0000"};
constexpr Mode kReadCode{"0011"};
constexpr Mode kWriteCode{"0111"};
constexpr Mode kWriteOption{"0100"};
// Lock levels 2, 3 and 4 of the datasheets: each adds its lock bit to the ones below it.
constexpr Mode kLockBits[] = {{"1111"}, {"1100"}, {"1010"}};
constexpr std::uint8_t kP33 = 13;
constexpr std::uint32_t kOptionAddress = 0xFC;
constexpr std::uint8_t kWatchdogOn = 0xF7;  // the option register with its watchdog bit 3 at 0
constexpr int kCodePulses = 5, kOptionPulses = 25;
constexpr std::uint8_t kIdOffsets[] = {0x30, 0x31, 0x60};
constexpr const char* kIdLine = "ID= %02x,%02x,%02x,  Watchdog=%02x";
constexpr const char* kLockRadio[] = {"$Radio1:02,加密方式", "1.不加密", "2.防止外部MOVC",
                                      "3.加禁止读(加密)", "4.再加禁止外部程序"};
}  // namespace ds

class DsSet : public ParallelSet {
 public:
  static void CheckRow(const ParallelType& t, TypeTableReport& r) { ParallelSet::CheckRow(t, r); }

 protected:
  const AddressPins& Address() const override { return ds::kAddress; }

  // The identity check: the R/S line with three bytes; ExpectedId byte 0 at 0 passes.
  bool CheckId(bool typeErrorLine) {
    if (IdentityChecked()) return true;
    ReadSignature();
    const auto& got = gApp.ReadId;
    const auto& want = gApp.ExpectedId;
    char line[64];
    std::snprintf(line, sizeof line, "R=(%02x,%02x,%02x)  S=(%02x,%02x,%02x)", got[0], got[1],
                  got[2], want[0], want[1], want[2]);
    AddMessageLine(line);
    if (want[0] == 0 || (got[0] == want[0] && got[1] == want[1] && got[2] == want[2])) return true;
    if (typeErrorLine) AddMessageLine("Type error!");
    gLink.StatusWord = 1;
    return false;
  }

  // The lock level of the radio (OptionValues word 128): item 0 locks nothing, item k programs
  // lock bits 1 .. k, each by `strobe` with its pattern set.
  template <class StrobeFn>
  void LockLevel(StrobeFn strobe) {
    const std::uint32_t level = Word(kLockChoiceWord);
    for (std::uint32_t bit = 0; bit < level && bit < std::size(ds::kLockBits); ++bit) {
      SetMode(ds::kLines, ds::kLockBits[bit]);
      SetPinHigh(ds::kP33);
      strobe(0xFF);
    }
  }

  // Logs the ID line with the watchdog byte.
  static void LogIdLine(std::uint8_t watchdog) {
    const auto& id = gApp.ReadId;
    char line[64];
    std::snprintf(line, sizeof line, ds::kIdLine, id[0], id[1], id[2], watchdog);
    AddMessageLine(line);
  }
};

class DS87C520 final : public DsSet {
 public:
  static constexpr std::array<ParallelType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: DS87C520 16Kx8", .lastAddress = 16383},
  }};

 private:
  // The WDT row of every config group that has one sets bit 3 of word 0.
  static constexpr std::uint32_t kWatchdogBit = 1u << 3;
  static constexpr const char* kDescribe[] = {"$Fonc:",          "22 Blank",
                                              "23 Write",        "25 Config",
                                              "24 Verify",       "26 Security",
                                              "$DisTool:",       "21,30,31,",
                                              ds::kLockRadio[0], ds::kLockRadio[1],
                                              ds::kLockRadio[2], ds::kLockRadio[3],
                                              ds::kLockRadio[4], "$end"};
  static constexpr const char* kConfig[] = {"0: 61,62,621,64,651,72,721,73,74,84,841",
                                            "n=PRD(电源范围控制),l=1,a=0,b=1",
                                            "n=PUT(振荡延迟),l=1,a=0,b=2",
                                            "n=WDT(看门狗),l=1,a=0,b=3",
                                            "n=PED(电源边沿检测),l=1,a=0,b=4",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "1:   41,43",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "2: 55a1/a3,55b1/b3,56a1/a3,",
                                            "n=OST,l=1,a=0,b=2",
                                            "n=WDT(看门狗),l=1,a=0,b=3",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "3: 55a2/a4,55b2/b4,56a2/a4",
                                            "n=OST,l=1,a=0,b=2",
                                            "n=WDT(看门狗),l=1,a=0,b=3",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "4: 57a1/a2",
                                            "n=振荡延迟(PUT),l=1,a=0,b=2",
                                            "n=WDT(看门狗(WDT),l=1,a=0,b=3",
                                            "n=PED(电源边沿检测),l=1,a=0,b=4",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "5: 65",
                                            "n=振荡延迟(PUT),l=1,a=0,b=2",
                                            "n=WDT(看门狗(WDT),l=1,a=0,b=3",
                                            "n=PED(电源边沿检测),l=1,a=0,b=4",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "6: 53   暂时不能，有5种振荡方式",
                                            "n=WDT(看门狗),l=1,a=0,b=3",
                                            "n=Security(加密位),l=1,a=0,b=5",
                                            "$end"};
  static constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpConfig,
                                 kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
  static constexpr Package kP51Plcc44{.bitstream = "p51plcc44.bit",
                                      .groundPin = 20,
                                      .vccPin = 42,
                                      .vppPin = 33,
                                      .contactMask = SocketPins(1, 40, 10, 21, 32)};

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOps; }

  void Init() override {
    BeginSetup();
    if (!AcceptRow(kTypes.size())) return;
    Package dip = kDip40;
    dip.bitstream = "p51dip40.bit";
    UsePackage(TitleNamesPlcc44() ? kP51Plcc44 : dip);
    SelectGndPin(gApp.GroundPin);
    vppMillivolts_ = 12500;
    vccMillivolts_ = 5000;
    SetVppVoltage(vppMillivolts_);
    SetVccVoltage(vccMillivolts_);
  }

  // RST high, PSEN low, EA and ALE high, the signature levels at address 0; P0 released.
  void Enter() {
    SelectVccPin(0);
    SelectGndPin(gApp.GroundPin);
    SetAllPins(false);
    SwitchPin(kXtal2Pin, true);
    SelectClockPin(kXtal1Pin);
    PutCmd1(kCmdLongWait);
    SetRegister25(kBusRead);
    SelectVccPin(gMcs51.ChipVccPin);
    SetMode(ds::kLines, ds::kSignature);
    SetPinHigh(kRstPin);
    SetPinLow(kPsenPin);
    SetPinHigh(gMcs51.ChipVppPin);
    SetAddress(0);
    SetPinHigh(kProgPin);
    FlushCommands();
  }

  void Strobe(std::uint8_t b, int pulses) {
    PutCmd2(kCmdDataByte, b);
    for (int i = 0; i < pulses; ++i) {
      SetPinLow(kProgPin);
      PutCmd1(kCmdWait100us);
      SetPinHigh(kProgPin);
    }
  }

  // The programming levels: the mode set before P0 is driven, so that the chip's signature
  // outputs are off first; then VPP.
  bool EnterProgram(Mode mode) {
    Enter();
    SetMode(ds::kLines, mode);
    SetRegister25(kBusDrive);
    SetPinHigh(ds::kP33);
    FlushCommands();
    return VppOn();
  }

  bool EnterScan(bool eaHigh) {
    Enter();
    SetRegister25(kBusRead);
    SwitchPin(14, false);
    SetMode(ds::kLines, ds::kReadCode);
    SetPinLow(ds::kP33);
    if (eaHigh) SetPinHigh(gMcs51.ChipVppPin);
    SetPinHigh(kProgPin);
    FlushCommands();
    return CheckPower();
  }

  void Read() override {
    if (!CheckId(false)) return;
    if (!EnterScan(true)) return;
    if (ScanCode(Scan::Read)) FinishScan();
  }

  void Blank() override {
    if (EnterScan(false) && ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    if (EnterScan(true) && ScanCode(Scan::Verify)) FinishScan();
  }

  bool CheckBeforeChange() override { return CheckId(false); }

  void Write() override {
    if (!CheckId(false)) return;
    if (!EnterProgram(ds::kWriteCode)) return;
    for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
      ShowProgress(static_cast<int>(a));
      SetAddress(a);
      for (int i = 0; i < 256; ++i) {
        Strobe(buffer_[a + i], ds::kCodePulses);
        NextAddress();
      }
      FlushCommands();
    }
    ShowProgress(-1);
  }

  // The watchdog's option byte, when the WDT row of the chosen config group is ticked.
  void Config() override {
    if ((Word(0) & kWatchdogBit) == 0) return;
    Enter();
    SetMode(ds::kLines, ds::kWriteOption);
    SetRegister25(kBusDrive);
    SetPinHigh(ds::kP33);
    SelectVppPin(gMcs51.ChipVppPin);
    SetAddress(ds::kOptionAddress);
    Strobe(ds::kWatchdogOn, ds::kOptionPulses);
    FlushCommands();
  }

  // The lock bits take 12.5 V on EA/VPP like every other EPROM cell.
  void Lock() override {
    if (Word(kLockChoiceWord) == 0) return;
    Enter();
    SetMode(ds::kLines, ds::kLockBits[0]);
    SetRegister25(kBusDrive);
    SelectVppPin(gMcs51.ChipVppPin);
    LockLevel([this](std::uint8_t b) { Strobe(b, ds::kOptionPulses); });
    FlushCommands();
  }

  void ReadSignature() override {
    Enter();
    SetMode(ds::kLines, ds::kSignature);
    SetAddress(0);
    SetPinLow(ds::kP33);
    FlushCommands();
    std::uint8_t* block = gLink.ScratchBuffer.data();
    ReadBlock256(block);
    gApp.ReadId = {block[0x30], block[0x31], block[0x60], 0};
    watchdog_ = block[ds::kOptionAddress];
    SuppliesOff();
  }

  void ReadId() override {
    ReadSignature();
    LogIdLine(watchdog_);
  }
  void ReadConfig() override { ReadId(); }

  std::uint8_t watchdog_ = 0xFF;
};

}  // namespace zelvar::mcs51
