#pragma once
// "DS89C4X0": the DS89C420/430/440/450 flash 8051s in their parallel mode at logic levels (EA/VPP
// driven high, no programming supply), one 100 us PROG pulse a byte, the chip erase in two long
// pulses (code and lock bits, then the option register), the watchdog byte and the lock levels of
// `DsSet`. The programmers of models 5104 and 5105 cannot serve them: the set-up refuses.
#include "algorithms/mcs51/DS87C520.h"
#include "link/Bitstream.h"

namespace zelvar::mcs51 {

class DS89C4X0 final : public DsSet {
 public:
  static constexpr std::array<ParallelType, 5> kTypes = {{
      {.name = "Exit"},
      {.name = "1: DS89C420 16Kx8", .lastAddress = 16383},
      {.name = "2: DS89C430 16Kx8", .lastAddress = 16383},
      {.name = "3: DS89C440 32Kx8", .lastAddress = 32767},
      {.name = "4: DS89C450 64Kx8", .lastAddress = 65535},
  }};

 private:
  static constexpr const char* kDescribe[] = {"$Fonc:",          "21 Erase",
                                              "22 Blank",        "23 Write",
                                              "25 Config",       "26 Security",
                                              "$DisTool:",       "30,31,",
                                              ds::kLockRadio[0], ds::kLockRadio[1],
                                              ds::kLockRadio[2], ds::kLockRadio[3],
                                              ds::kLockRadio[4], "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDT(看门狗),l=1,a=0,b=0",
                                            "$end"};
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                                 kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
  static constexpr Mode kEraseCode{"1000"}, kEraseOption{"1001"};
  static constexpr int kEraseWaits = 10;  // of 100 ms each
  static constexpr std::uint32_t kIdAddresses[] = {0x30, 0x31, 0x60, ds::kOptionAddress};
  static constexpr const char* kNoModel =
      "This programmer cannot program the DS89C4x0*此型号的编程器不支持DS89C4x0";

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOps; }

  // Models 5104 and 5105 are refused: otherwise every later operation would run on the pins and
  // the design an earlier set left.
  void Init() override {
    BeginSetup();
    if (gLink.ModelNumber == 5104 || gLink.ModelNumber == 5105) {
      Refuse(kNoModel);
      return;
    }
    if (!AcceptRow(kTypes.size())) return;
    UsePackage(TitleNamesPlcc44() ? kPlcc44 : kDip40);
    SelectGndPin(gApp.GroundPin);
    vppMillivolts_ = 5000;
    vccMillivolts_ = 5000;
    SetVppVoltage(vppMillivolts_);
    SetVccVoltage(vccMillivolts_);
  }

  // RST high with EA high before VCC, then PSEN low, ALE high, the signature levels at 0.
  void Enter() {
    SelectVccPin(0);
    SetAllPins(false);
    SwitchPin(kXtal2Pin, true);
    SelectClockPin(kXtal1Pin);
    PutCmd1(kCmdSettle);
    SetRegister25(kBusRead);
    SetPinLow(kRstPin);
    SetPinHigh(gMcs51.ChipVppPin);
    SetMode(ds::kLines, ds::kSignature);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinHigh(kRstPin);
    SetPinLow(kPsenPin);
    SetPinHigh(gMcs51.ChipVppPin);
    SetAddress(0);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }

  // The byte, one 100 us PROG pulse, then P2.7 pulsed low.
  static void Strobe(std::uint8_t b) {
    PutCmd2(kCmdDataByte, b);
    SetPinLow(kProgPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
    SetPinLow(28);
    SetPinHigh(28);
  }

  // The mode set before P0 is driven (the signature outputs off first), P3.3 high.
  void EnterProgram(Mode mode) {
    Enter();
    SetMode(ds::kLines, mode);
    SetRegister25(kBusDrive);
    SetPinHigh(ds::kP33);
  }

  bool EnterScan() {
    Enter();
    SetRegister25(kBusRead);
    SwitchPin(14, false);
    SetMode(ds::kLines, ds::kReadCode);
    SetPinLow(ds::kP33);
    SetPinHigh(kProgPin);
    SetPinHigh(gMcs51.ChipVppPin);
    FlushCommands();
    return CheckPower();
  }

  // 64 samples a reply, P2.7 low for each (the code's read levels), the high bits every 256.
  void Read() override {
    Enter();
    for (std::uint8_t pin : {10, 11, 12, 13}) SetPinHigh(pin);
    SetPinLow(14);
    SetPinLow(15);
    SetPinHigh(16);
    SetPinHigh(17);
    for (std::uint8_t pin : {27, 28, 29}) SetPinLow(pin);
    SetPinHigh(kProgPin);
    SetPinHigh(gMcs51.ChipVppPin);
    FlushCommands();
    if (!CheckPower()) return;
    SetRegister25(kBusRead);
    const bool done =
        ScanBlocks(Scan::Read, 0, LastAddress(), 64, [this](std::uint32_t a, std::uint8_t* dest) {
          if ((a & 0xFF) == 0) SetAddress(a);
          for (int i = 0; i < 64; ++i) {
            SetPinLow(28);
            PutCmd1(kCmdSampleData);
            SetPinHigh(28);
            NextAddress();
          }
          ReadReply64(dest);
        });
    if (done) FinishScan();
  }

  void Blank() override {
    if (EnterScan() && ScanCode(Scan::Blank)) FinishScan();
  }

  // The whole type, as Blank walks it.
  void Verify() override {
    if (EnterScan() && ScanCode(Scan::Verify)) FinishScan();
  }

  bool CheckBeforeChange() override { return CheckId(true); }

  void Erase() override {
    if (!CheckId(true)) return;
    Enter();
    SetPinHigh(gMcs51.ChipVppPin);
    if (!CheckPower()) return;
    SetAddress(0);
    for (Mode m : {kEraseCode, kEraseOption}) {
      SetMode(ds::kLines, m);
      SetPinLow(kProgPin);
      for (int i = 0; i < kEraseWaits; ++i) {
        PutCmd1(kCmdLongWait);
        FlushCommands();
      }
      SetPinHigh(kProgPin);
    }
    FlushCommands();
  }

  void Write() override {
    if (!CheckId(true)) return;
    EnterProgram(ds::kWriteCode);
    FlushCommands();
    SetPinHigh(gMcs51.ChipVppPin);
    if (!CheckPower()) return;
    for (std::uint32_t a = 0; a <= LastAddress(); a += 256) {
      ShowProgress(static_cast<int>(a));
      SetAddress(a);
      for (int i = 0; i < 256; ++i) {
        Strobe(buffer_[a + i]);
        NextAddress();
      }
      FlushCommands();
    }
    ShowProgress(-1);
  }

  // The watchdog byte when the WDT row (bit 0 of word 0) is ticked.
  void Config() override {
    if ((Word(0) & 1) == 0) return;
    EnterProgram(ds::kWriteOption);
    SetPinHigh(gMcs51.ChipVppPin);
    SetAddress(ds::kOptionAddress);
    Strobe(ds::kWatchdogOn);
    FlushCommands();
  }

  void Lock() override {
    if (Word(kLockChoiceWord) == 0) return;
    EnterProgram(ds::kLockBits[0]);
    SetPinHigh(gMcs51.ChipVppPin);
    LockLevel([](std::uint8_t b) { Strobe(b); });
    FlushCommands();
  }

  // Four single-byte reads, each after a fresh entry, into one reply.
  void ReadSignature() override {
    for (std::uint32_t a : kIdAddresses) {
      Enter();
      SetAddress(a);
      SetMode(ds::kLines, ds::kSignature);
      SetPinLow(12);
      PutCmd1(kCmdWait100us);
      PutCmd1(kCmdSampleData);
      SetPinHigh(12);
      SelectVccPin(0);
    }
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[0], reply[1], reply[2], 0};
    watchdog_ = reply[3];
  }

  void ReadId() override {
    ReadSignature();
    LogIdLine(watchdog_);
  }
  void ReadConfig() override { ReadId(); }

  std::uint8_t watchdog_ = 0xFF;
};

}  // namespace zelvar::mcs51
