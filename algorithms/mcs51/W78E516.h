#pragma once
// "W78E516": the Winbond W78E5x/W77E5x flash 8051s in parallel mode, the low address byte on
// port 0, A8..A15 on P2 and A16 on P3.7, the mode on P3.0..P3.3 with P3.4 the strobe, and the 4 KB
// loader flash above the application flash reached by P3.6. Reads run at 3.3 V, program and
// erase at 5 V; only the application and loader bytes take EA/VPP.
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

// A row: the application flash's last address and the last address with the loader bank.
struct W78Type {
  std::string_view name;
  std::uint32_t lastAp = 0;
  std::uint32_t last = 0;
};

namespace w78e516 {
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 27, 28}};
constexpr std::uint8_t kA16Pin = 17;
constexpr std::uint8_t kStrobePin = 14;
constexpr std::uint8_t kReadPin = 15;  // low for reads, high for program and erase
constexpr std::uint8_t kBankPin = 16;  // high: the loader bank
constexpr std::uint32_t kLoaderBytes = 0x1000;
constexpr std::uint32_t kSecurityAddress = 0xFFFF;
constexpr int kReadVcc = 3300, kProgramVcc = 5000;
constexpr const char* kTypeError = "Type error!";
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",     "22 Blank",
                                     "23 Write",  "24 Verify",    "26 Security",
                                     "$DisTool:", "25,29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: ",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=Encryption(加密),v=1,a=0,b=2",
                                   "n=Crystal(>24MHz=0),v=1,a=0,b=7",
                                   "1: 77e516,77le516",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=Encryption(加密),v=1,a=0,b=2",
                                   "n=H/W Reboot=P2.6,P2.7,v=1,a=0,b=4",
                                   "n=H/W Reboot=P4.3,v=1,a=0,b=5",
                                   "n=Crystal(>24MHz=0),v=1,a=0,b=7",
                                   "2: 77e532",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=Encryption(加密),v=1,a=0,b=2",
                                   "n=H/W Reboot=P2.6,P2.7,v=1,a=0,b=4",
                                   "n=H/W Reboot=P4.3,v=1,a=0,b=5",
                                   "n=NVM,v=1,a=0,b=6",
                                   "3: 78erd2",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=Encryption(加密),v=1,a=0,b=2",
                                   "n=12/6 clock,v=1,a=0,b=3",
                                   "n=H/W Reboot=P2.6,P2.7,v=1,a=0,b=4",
                                   "n=H/W Reboot=P4.3,v=1,a=0,b=5",
                                   "n=<25MHZ,v=1,a=0,b=7",
                                   "4: w79e201",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=Encryption(加密),v=1,a=0,b=2",
                                   "n=H/W Reboot=P4.0,v=1,a=0,b=3",
                                   "5: W79e559/659   68pin",
                                   "n=Lock(加锁),v=1,a=0,b=0",
                                   "n=MOVC(禁止MOVC指令),v=1,a=0,b=1",
                                   "n=H/W Reboot=P2.6,P2.7,v=1,a=0,b=4",
                                   "n=H/W Reboot=P4.3,v=1,a=0,b=5",
                                   "n=<25MHZ,v=1,a=0,b=7",
                                   "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};
}  // namespace w78e516

class W78E516 final : public ParallelSet {
 public:
  static constexpr int kFirstRow = 0;
  // Row 2's caption names a loader bank its addresses leave out: the row keeps to the 16 KB
  // application flash until the part's loader size is confirmed.
  static constexpr std::array<W78Type, 9> kTypes = {{
      {.name = "0: W78E51C (4K)", .lastAp = 0xFFF, .last = 0xFFF},
      {.name = "1: W78E52C (8K)", .lastAp = 0x1FFF, .last = 0x1FFF},
      {.name = "2: W78E54C (16K+4K)", .lastAp = 0x3FFF, .last = 0x3FFF},
      {.name = "3: W78E58B  (32K+4K)", .lastAp = 0x7FFF, .last = 0x8FFF},
      {.name = "4: W78LE58  (32K+4K)", .lastAp = 0x7FFF, .last = 0x8FFF},
      {.name = "5: W78E516B (64K+4K)", .lastAp = 0xFFFF, .last = 0x10FFF},
      {.name = "6: W78LE516 (64K+4K)", .lastAp = 0xFFFF, .last = 0x10FFF},
      {.name = "7: W77LE516 (64K+4K)", .lastAp = 0xFFFF, .last = 0x10FFF},
      {.name = "8: W77E532 (128K+4K)", .lastAp = 0x1FFFF, .last = 0x20FFF},
  }};

  // The package rules of the parallel sets; the application flash within the 17 address lines,
  // whole 256-byte blocks, and a loader bank of none or 4 KB.
  static void CheckRow(const W78Type& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = 0xFFFF}, r);
    if (t.lastAp > 0x1FFFF) r.Fault("application flash beyond A16");
    if ((t.lastAp & 0xFF) != 0xFF || (t.last & 0xFF) != 0xFF) r.Fault("not whole 256-byte blocks");
    if (t.last != t.lastAp && t.last != t.lastAp + w78e516::kLoaderBytes) {
      r.Fault("loader bank not 4 KB");
    }
  }

 private:
  const W78Type& Row() const { return kTypes[gApp.TypeIndex]; }
  std::uint32_t LastAddress() const override { return Row().last; }
  const AddressPins& Address() const override { return w78e516::kAddress; }
  std::span<const char* const> DescribeList() const override { return w78e516::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return w78e516::kConfig; }
  std::span<const int> Operations() const override { return w78e516::kOps; }

  void Init() override {
    SetUp(kTypes.size(), kPlcc44, w78e516::kProgramVcc, w78e516::kProgramVcc, kFirstRow);
  }

  // A16 on P3.7 beside the engine's A0..A15.
  void SetAddress17(std::uint32_t a) {
    SetAddress(a);
    SetPinLevel((a >> 16) & 1, w78e516::kA16Pin);
  }

  // P0 is released before VCC: the levels an earlier read left would otherwise have the chip
  // drive P0 against the data latch the moment it is powered.
  static void PowerUp() {
    SetRegister25(kBusRead);
    SelectVccPin(gMcs51.ChipVccPin);
    SelectClockPin(0);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SetRegister25(kBusRead);
    for (std::uint8_t pin : {29, 30, 31}) SetPinLow(pin);
    for (std::uint8_t pin : {28, 27, 16, 17, 9}) SetPinHigh(pin);
    PutCmd1(kCmdWait1ms);
    SetPinLow(kRstPin);
    PutCmd1(kCmdWait1ms);
    SetPinHigh(w78e516::kStrobePin);
    FlushCommands();
    SetRegister25(kBusRead);
  }

  // P3.3, P3.2, P3.1, P3.0, set in the order P3.0 .. P3.3.
  static void ModePins(bool p13, bool p12, bool p11, bool p10) {
    SetPinLevel(p10, 10);
    SetPinLevel(p11, 11);
    SetPinLevel(p12, 12);
    SetPinLevel(p13, 13);
  }

  static void ProgramByte(std::uint8_t b) {
    PutCmd2(kCmdDataByte, b);
    SetPinLow(w78e516::kStrobePin);
    PutCmd1(kCmdWait50us);
    SetPinHigh(w78e516::kStrobePin);
  }

  // The loader bank from the first address past the application flash.
  void BankSwitch(std::uint32_t a) const {
    if (a == Row().lastAp + 1) SetPinHigh(w78e516::kBankPin);
  }

  void ReadSignature() override {
    SetVccVoltage(w78e516::kReadVcc);
    PowerUp();
    SetRegister25(kBusRead);
    ModePins(true, false, true, true);
    SetPinLow(w78e516::kReadPin);
    SetPinLow(w78e516::kStrobePin);
    FlushCommands();
    std::uint8_t* block = gLink.ScratchBuffer.data();
    gApp.ReadId = {};
    ReadBlock256(block);
    gApp.ReadId[0] = block[0];
    SetPinHigh(w78e516::kStrobePin);
    ModePins(true, true, false, false);
    SetPinLow(w78e516::kStrobePin);
    FlushCommands();
    ReadBlock256(block);
    gApp.ReadId[1] = block[0];
    SetPinHigh(w78e516::kStrobePin);
    SelectVccPin(0);
    LogId("%02x,%02x", 2);
  }

  // The reading levels at 3.3 V, then the blocks up to `last` with the bank switch.
  bool ScanTo(Scan kind, std::uint32_t last) {
    SetVccVoltage(w78e516::kReadVcc);
    PowerUp();
    if (!CheckPower()) return false;
    ModePins(false, false, false, false);
    for (std::uint8_t pin : {w78e516::kBankPin, w78e516::kStrobePin, w78e516::kReadPin}) {
      SetPinLow(pin);
    }
    FlushCommands();
    return ScanBlocks(kind, 0, last, 256, [this](std::uint32_t a, std::uint8_t* dest) {
      SetAddress17(a);
      BankSwitch(a);
      ReadBlock256(dest);
    });
  }

  void Read() override {
    if (ScanTo(Scan::Read, Row().last)) FinishScan();
  }

  void Blank() override {
    ReadSignature();
    if (gApp.ReadId[0] == 0xFF && gApp.ReadId[1] == 0xFF) {
      gLink.StatusWord = 1;
      return;
    }
    const std::uint32_t end = services().ChipParam("bla=") != 0 ? Row().lastAp : Row().last;
    if (!ScanTo(Scan::Blank, end)) return;
    SelectVccPin(0);
    ShowProgress(static_cast<int>(end));
  }

  void Verify() override {
    if (ScanTo(Scan::Verify, Row().last)) FinishScan();
  }

  std::optional<IdCheck> ChangeCheck() const override {
    return IdCheck{.bytes = 2, .wording = w78e516::kTypeError, .logPairs = true};
  }

  void Write() override {
    if (!TypeCheck({.bytes = 2, .wording = w78e516::kTypeError, .logPairs = true})) return;
    SetVccVoltage(w78e516::kProgramVcc);
    PowerUp();
    SetRegister25(kBusDrive);
    ModePins(false, false, false, true);
    SetPinLow(w78e516::kBankPin);
    SetPinHigh(w78e516::kStrobePin);
    SetPinHigh(w78e516::kReadPin);
    SetAddress17(0);
    FlushCommands();
    if (!VppOn()) return;
    for (std::uint32_t a = 0; a <= Row().last; ++a) {
      if ((a & 0xFF) == 0) {
        FlushCommands();
        ShowProgress(static_cast<int>(a));
        SetAddress17(a);
      }
      BankSwitch(a);
      ProgramByte(buffer_[a]);
      NextAddress();
    }
    FlushCommands();
    ShowProgress(-1);
  }

  // The erase levels held for two settle waits; no VPP.
  void Erase() override {
    SetVccVoltage(w78e516::kProgramVcc);
    PowerUp();
    if (!CheckPower()) return;
    SetRegister25(kBusDrive);
    ModePins(false, true, true, false);
    SetPinHigh(w78e516::kReadPin);
    SetPinLow(w78e516::kStrobePin);
    SetPinHigh(w78e516::kBankPin);
    PutCmd1(kCmdSettle);
    PutCmd1(kCmdSettle);
    FlushCommands();
    SelectVccPin(0);
  }

  // The security byte (the config rows' bits, OptionValues word 0) at 0FFFFh of the loader bank.
  void Lock() override {
    const auto b = static_cast<std::uint8_t>(Word(0));
    SetVccVoltage(w78e516::kProgramVcc);
    PowerUp();
    SetRegister25(kBusDrive);
    ModePins(false, false, false, true);
    for (std::uint8_t pin : {w78e516::kBankPin, w78e516::kStrobePin, w78e516::kReadPin}) {
      SetPinHigh(pin);
    }
    SetAddress17(w78e516::kSecurityAddress);
    FlushCommands();
    ProgramByte(b);
    FlushCommands();
    SelectVccPin(0);
  }

  void ReadId() override { ReadSignature(); }
};

}  // namespace zelvar::mcs51
