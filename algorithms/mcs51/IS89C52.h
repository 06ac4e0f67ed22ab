#pragma once
// "IS89C52": the ISSI IS89C51/52 (5 V) and IS89LV51/52 (3.3 V) flash 8051s, whose parallel mode
// takes command codes on P0: each code latched by a low pulse on P2.6 (socket pin 27), each data
// byte or confirmation (D0h) by a PROG pulse on pin 30. Read (C0h), program (40h), chip erase
// (20h) and the three lock bits (60h, 70h, 80h) are such sequences. A0..A7 on port 0, A8..A12 on
// P2.0..P2.4 (socket pins 21 to 25). No pin-contact test and no identity check.
#include <array>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"

namespace zelvar::mcs51 {

// A row: the last address and the supply the type runs at.
struct Is89Type {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  int vccMillivolts = 0;
};

class IS89C52 final : public ParallelSet {
 public:
  static constexpr std::array<Is89Type, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "IS89C51A", .lastAddress = 4095, .vccMillivolts = 5000},
      {.name = "IS89C52A", .lastAddress = 8191, .vccMillivolts = 5000},
      {.name = "IS89LV51A 3.3v", .lastAddress = 4095, .vccMillivolts = 3300},
      {.name = "IS89LV52A 3.3v", .lastAddress = 8191, .vccMillivolts = 3300},
  }};

  // The parallel rules, within the 13 address lines the set drives, at 3.3 or 5 V.
  static void CheckRow(const Is89Type& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = t.lastAddress}, r);
    if (t.lastAddress > 0x1FFF) r.Fault("beyond A12");
    if (t.vccMillivolts != 3300 && t.vccMillivolts != 5000) r.Fault("VCC neither 3.3 nor 5 V");
  }

 private:
  static constexpr AddressPins kAddress{{21, 22, 23, 24, 25}};  // A8..A12
  static constexpr std::uint8_t kLatchPin = 27;                 // P2.6
  static constexpr std::uint8_t kOutputPin = 28;                // P2.7
  static constexpr std::uint8_t kRead = 0xC0, kProgram = 0x40, kErase = 0x20, kConfirm = 0xD0,
                                kStandby = 0xA0;
  static constexpr std::uint8_t kLockCodes[] = {0x60, 0x70, 0x80};
  static constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",        "22 Blank",
                                              "23 Write",  "24 Verify",       "26 Security",
                                              "$DisTool:", "25,28,29,30,31,", "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=SB1(加密位1),v=1,l=1,b=0",
                                            "n=SB2(加密位2),v=1,l=1,b=1",
                                            "n=SB3(加密位3),v=1,l=1,b=2", "$end"};
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};

  const Is89Type& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Row().lastAddress; }
  const AddressPins& Address() const override { return kAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOps; }

  void Init() override {
    BeginSetup();
    if (!AcceptRow(kTypes.size())) return;
    Package dip = kDip40, plcc = kPlcc44;
    dip.bitstream = "p51dip40.bit";
    plcc.bitstream = "p51plcc44.bit";
    UsePackage(TitleNamesPlcc44() ? plcc : dip);
    SelectGndPin(gApp.GroundPin);
    vccMillivolts_ = Row().vccMillivolts;
    vppMillivolts_ = 5000;
    SetVccVoltage(vccMillivolts_);
    SetVppVoltage(vppMillivolts_);
  }

  static void Enter() {
    SelectVccPin(0);
    SetPinLow(40);
    SelectClockPin(kXtal1Pin);
    SetRegister25(kBusDrive);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectVppPin(0);
    SetPinHigh(kRstPin);
    SetPinLow(kPsenPin);
    SetPinHigh(kProgPin);
    SetPinHigh(gMcs51.ChipVppPin);
    SetPinHigh(16);
    SetPinHigh(17);
    PutCmd1(kCmdSettle);
    SetPinHigh(kLatchPin);
    SetPinHigh(kProgPin);
    SetPinLow(kOutputPin);
    SelectVccPin(gMcs51.ChipVccPin);
    FlushCommands();
  }

  // A command code latched by a P2.6 pulse.
  static void Latch(std::uint8_t code) {
    PutCmd2(kCmdDataByte, code);
    SetPinLow(kLatchPin);
    SetPinHigh(kLatchPin);
  }

  // The read command; P0 released before P2.7 lets the chip drive it.
  void EnterRead() {
    SetPinHigh(kOutputPin);
    Latch(kRead);
    SetRegister25(kBusRead);
    SetPinLow(kOutputPin);
    SetAddress(0);
  }

  static void ProgramByte(std::uint8_t b) {
    Latch(kProgram);
    PutCmd2(kCmdDataByte, b);
    SetPinLow(kProgPin);
    for (int i = 0; i < 5; ++i) PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
  }

  static void CommandConfirm(std::uint8_t code) {
    Latch(code);
    PutCmd2(kCmdDataByte, kConfirm);
    SetPinLow(kProgPin);
    PutCmd1(kCmdWait1ms);
    SetPinHigh(kProgPin);
  }

  void Read() override {
    Enter();
    EnterRead();
    if (ScanCode(Scan::Read)) FinishScan();
  }

  void Blank() override {
    Enter();
    EnterRead();
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    Enter();
    Enter();
    EnterRead();
    if (ScanCode(Scan::Verify)) FinishScan();
  }

  void Erase() override {
    SetAllPins(false);
    Enter();
    SetAddress(0);
    SetPinHigh(gMcs51.ChipVppPin);
    SetPinHigh(kOutputPin);
    SetRegister25(kBusDrive);
    PutCmd2(kCmdDataByte, kErase);
    SetPinLow(kLatchPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kLatchPin);
    PutCmd2(kCmdDataByte, kConfirm);
    SelectVppPin(gMcs51.ChipVppPin);
    SetPinLow(kProgPin);
    PutCmd1(kCmdLongWait);
    PutCmd1(kCmdLongWait);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdWait1ms);
    SelectVppPin(0);
    PutCmd2(kCmdDataByte, kStandby);
    SetPinLow(kLatchPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kLatchPin);
    SetPinLow(kOutputPin);
    SetRegister25(kBusRead);
    FlushCommands();
  }

  void Write() override {
    Enter();
    SetAddress(0);
    SetPinHigh(gMcs51.ChipVppPin);
    SetPinHigh(kOutputPin);
    if (!VppOn()) return;
    for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
      ShowProgress(static_cast<int>(a));
      SetAddress(a);
      for (int i = 0; i < 256; ++i) {
        ProgramByte(buffer_[a + i]);
        NextAddress();
      }
      FlushCommands();
    }
    ShowProgress(-1);
  }

  // The lock bits ticked in the grid (word 0 bits 0..2), each by its code and D0h.
  void Lock() override {
    Enter();
    SelectVppPin(gMcs51.ChipVppPin);
    SetPinHigh(kOutputPin);
    for (std::size_t bit = 0; bit < std::size(kLockCodes); ++bit) {
      if ((Word(0) >> bit) & 1) CommandConfirm(kLockCodes[bit]);
    }
    SelectClockPin(0);
    FlushCommands();
  }
};

}  // namespace zelvar::mcs51
