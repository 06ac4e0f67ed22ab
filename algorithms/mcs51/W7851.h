#pragma once
// "W7851": the older Winbond W78E5x/W77E5x flash 8051s in their 12.5 V parallel mode: the low
// address byte on port 0, A8..A15 on P2, the mode on P3.0..P3.3, P3.6 the program strobe and P3.7
// the read strobe (a byte sampled by command 34, 64 to a reply). Reads at 2.5 V, program at 5 V
// with VCP (12.5 V) on EA/VPP, the chip erase with VEP (14.5 V), as the datasheets' MTP-ROM mode
// gives them. Security writes the three option bytes at
// 0FFFFh (the config rows), 0FFFEh and 0FFFDh (the "Seed0" and "Seed1" grid words).
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

// A row: its last address and the variant byte (1, 'B' or '7'), which chooses nothing.
struct W7851Type {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  char variant = 0;
};

class W7851 final : public ParallelSet {
 public:
  // The 64 KB rows end below the option bytes at 0FFFDh..0FFFFh that Security writes: row 10
  // ended at 0x7FFC, half its caption, and row 5 at 0xFFFE, across both seed bytes.
  static constexpr std::array<W7851Type, 13> kTypes = {{
      {.name = "Exit"},
      {.name = "1: W78E51  (4K)", .lastAddress = 0xFFF, .variant = 1},
      {.name = "2: W78E52  (8K)", .lastAddress = 0x1FFF, .variant = 1},
      {.name = "3: W78E54  (16K)", .lastAddress = 0x3FFF, .variant = 1},
      {.name = "4: W78E58  (32K)", .lastAddress = 0x7FFF, .variant = 1},
      {.name = "5: W78E516  (64K)", .lastAddress = 0xFFFC, .variant = 1},
      {.name = "6: W78E51B  (4K)", .lastAddress = 0xFFF, .variant = 'B'},
      {.name = "7: W78E52B  (8K)", .lastAddress = 0x1FFF, .variant = 'B'},
      {.name = "8: W78E54B  (16K)", .lastAddress = 0x3FFF, .variant = 'B'},
      {.name = "9: W78E58B  (32K)", .lastAddress = 0x7FFF, .variant = 'B'},
      {.name = "10: W78E516B  (64K)", .lastAddress = 0xFFFC, .variant = 'B'},
      {.name = "11: W77E54  (16K)", .lastAddress = 0x3FFF, .variant = '7'},
      {.name = "12: W77E58  (32K)", .lastAddress = 0x7FFF, .variant = '7'},
  }};

  // The package rules; a size within the 16 address lines that fills the caption's kilobytes
  // (the 64 KB rows stop below the three option bytes).
  static void CheckRow(const W7851Type& t, TypeTableReport& r) {
    ParallelSet::CheckRow({.name = t.name, .lastAddress = 0xFFFF}, r);
    const auto k = t.name.find('(');
    if (k != std::string_view::npos) {
      std::uint32_t kb = 0;
      for (std::size_t i = k + 1; i < t.name.size() && t.name[i] >= '0' && t.name[i] <= '9'; ++i) {
        kb = kb * 10 + static_cast<std::uint32_t>(t.name[i] - '0');
      }
      if (t.lastAddress + 1 > kb * 1024 || t.lastAddress + 4 < kb * 1024) {
        r.Fault("size not the caption's");
      }
    }
  }

 private:
  static constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 27, 28}};
  static constexpr std::uint8_t kP33 = 13;
  static constexpr std::uint8_t kStrobePin = 16;  // P3.6
  static constexpr std::uint8_t kReadPin = 17;    // P3.7
  static constexpr int kReadVcc = 2500, kProgramVcc = 5000;
  static constexpr int kProgramVpp = 12500, kEraseVpp = 14500;
  static constexpr std::uint32_t kOptionAddresses[] = {0xFFFF, 0xFFFE, 0xFFFD};
  static constexpr int kOptionWords[] = {0, 64, 65};
  static constexpr const char* kTypeError = "Type eror!";
  static constexpr const char* kDescribe[] = {
      "$Fonc:",      "21 Erase",  "22 Blank",     "23 Write",      "24 Verify",
      "26 Security", "$DisTool:", "25,29,30,31,", "$Gridw:Option", "Seed0",
      "FFFF",        "Seed1",     "FFFF",         "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                            "n=Lock(加锁),v=0,a=0,b=0",
                                            "n=MOVC(禁止MOVC指令),v=0,a=0,b=1",
                                            "n=Encryption(加密),v=0,a=0,b=2",
                                            "n=Crystal(>24MHz=0),v=0,a=0,b=7",
                                            "$end"};
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify,
                                 kOpLock,  kOpRead,  kOpReadId};

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return kAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOps; }

  void Init() override { SetUp(kTypes.size(), kPlcc44, kProgramVcc, kProgramVpp); }

  // All pins low, then high, with the ground pin kept low: the ground switch goes on after it, so
  // that no driver pushes high into it.
  static void PowerUp() {
    SelectGndPin(0);
    SetAllPins(false);
    PutCmd1(kCmdSettle);
    SetAllPins(true);
    SetPinLow(gApp.GroundPin);
    SelectGndPin(gApp.GroundPin);
    SwitchPin(40, true);
    SetRegister25(kBusRead);  // released before VCC rises
    SelectVccPin(gMcs51.ChipVccPin);
    SelectClockPin(0);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, false);
    SetRegister25(kBusRead);
    SetPinLow(kXtal1Pin);
    SetVppVoltage(kProgramVpp);
    SetPinHigh(kPsenPin);
    SetPinLow(kProgPin);
    SetPinHigh(gMcs51.ChipVppPin);
    for (std::uint8_t pin : {10, 11, 12, 13, 16, 17}) SetPinLow(pin);
    SetRegister25(kBusRead);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }

  // One byte of P0 into the reply: P3.7 low with P3.3 dropped, sampled, P3.7 high.
  static void ReadStrobe() {
    SetPinHigh(kP33);
    SetPinLow(kReadPin);
    SetPinLow(kP33);
    PutCmd1(kCmdSampleData);
    SetPinHigh(kReadPin);
  }

  void ReadBlock64(std::uint32_t a, std::uint8_t* dest) {
    SetAddress(a);
    for (int i = 0; i < 64; ++i) {
      ReadStrobe();
      NextAddress();
    }
    ReadReply64(dest);
  }

  static void ProgramByte(std::uint8_t b) {
    PutCmd2(kCmdDataByte, b);
    SetPinLow(kStrobePin);
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdWait100us);
    SetPinHigh(kStrobePin);
  }

  void ReadSignature() override {
    PowerUp();
    gApp.ReadId = {};
    if (!CheckPower()) return;
    SetPinHigh(10);
    for (std::uint8_t pin : {11, 12, 13, 16, 17}) SetPinLow(pin);
    SetAddress(0);
    for (int i = 0; i < 2; ++i) {
      ReadStrobe();
      NextAddress();
    }
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[0], reply[1], 0, 0};
  }

  void ReadId() override {
    ReadSignature();
    LogId("%02x,%02x", 2);
    SuppliesOff();
  }

  // Reading at 2.5 V in 64-byte blocks up to the block holding the last address.
  bool Scan(Scan kind) {
    PowerUp();
    if (kind == Scan::Verify && !CheckPower()) return false;
    SetVccVoltage(kReadVcc);
    if (kind != Scan::Verify && !CheckPower()) return false;
    SetRegister25(kBusRead);
    FlushCommands();
    return ScanBlocks(kind, 0, LastAddress(), 64,
                      [this](std::uint32_t a, std::uint8_t* dest) { ReadBlock64(a, dest); });
  }

  void Read() override {
    if (Scan(Scan::Read)) FinishScan();
  }
  void Blank() override {
    if (Scan(Scan::Blank)) FinishScan();
  }
  void Verify() override {
    if (Scan(Scan::Verify)) FinishScan();
  }

  std::optional<IdCheck> ChangeCheck() const override {
    return IdCheck{.bytes = 2, .wording = kTypeError};
  }

  // P3.6 and P3.7 high (the chip's outputs off) before P0 is driven.
  void Write() override {
    if (!TypeCheck({.bytes = 2, .wording = kTypeError})) return;
    PowerUp();
    SetVccVoltage(kProgramVcc);
    SwitchPin(kXtal2Pin, true);
    SetPinHigh(kReadPin);
    SetPinHigh(kStrobePin);
    SetRegister25(kBusDrive);
    if (!VppOn()) return;
    PutCmd1(kCmdLongWait);
    SetAddress(0);
    FlushCommands();
    for (std::uint32_t a = 0; a <= LastAddress(); ++a) {
      if ((a & 0xFF) == 0) {
        FlushCommands();
        ShowProgress(static_cast<int>(a));
        SetAddress(a);
      }
      ProgramByte(buffer_[a]);
      NextAddress();
    }
    FlushCommands();
    ShowProgress(-1);
  }

  // P3.0 (A9CTRL) high, A0 low and 0FFh on P0, with a 100 ms P3.6 (CE) pulse at VEP.
  void Erase() override {
    SetVccVoltage(kProgramVcc);
    PowerUp();
    SetVppVoltage(kEraseVpp);
    for (std::uint8_t pin : {kStrobePin, std::uint8_t{10}, kReadPin}) SetPinHigh(pin);
    SetRegister25(kBusDrive);
    SetAddress(0);
    PutCmd2(kCmdDataByte, 0xFF);
    FlushCommands();
    if (!VppOn()) return;
    SetPinLow(kStrobePin);
    PutCmd1(kCmdLongWait);
    SetPinHigh(kStrobePin);
    PutCmd1(kCmdLongWait);
    FlushCommands();
    SuppliesOff();
    SetVppVoltage(kProgramVpp);
  }

  // An option byte at `address`: the address set after the power-up, whose all-pins-high would
  // otherwise leave every byte at 0FFFFh; P0 released before the closing read strobe.
  void ProgramOption(std::uint32_t address, std::uint8_t b) {
    PowerUp();
    SetPinHigh(kReadPin);
    SetPinHigh(kStrobePin);
    SetRegister25(kBusDrive);
    SetAddress(address);
    PutCmd2(kCmdDataByte, b);
    FlushCommands();
    SelectVppPin(gMcs51.ChipVppPin);
    for (int i = 0; i < 4; ++i) {
      SetPinLow(kStrobePin);
      for (int k = 0; k < 3; ++k) PutCmd1(kCmdWait100us);
      SetPinHigh(kStrobePin);
    }
    SelectVppPin(0);
    SetRegister25(kBusRead);
    SetPinHigh(kP33);
    SetPinLow(kReadPin);
    SetPinLow(kP33);
    SetPinHigh(kReadPin);
    FlushCommands();
    SuppliesOff();
  }

  void Lock() override {
    SetVccVoltage(kProgramVcc);
    std::array<std::uint8_t, 3> bytes{};
    for (std::size_t i = 0; i < bytes.size(); ++i) {
      bytes[i] = static_cast<std::uint8_t>(Word(kOptionWords[i]));
      ProgramOption(kOptionAddresses[i], bytes[i]);
    }
    char line[32];
    std::snprintf(line, sizeof line, "%02x,%02x,%02x", bytes[0], bytes[1], bytes[2]);
    AddMessageLine(line);
  }
};

}  // namespace zelvar::mcs51
