#pragma once
// "SM89516": the SM8908 to SM89516A parts, 12 V on EA/VPP, a six-bit mode on P3.0..P3.5, reads at
// 4.4 V, the chip erase in one 1 s pulse on ALE/PROG.
#include <array>

#include "algorithms/mcs51/Sm89Engine.h"
#include "link/CommandQueue.h"
#include "link/Primitives.h"

namespace zelvar::mcs51 {

class SM89516 final : public Sm89Set {
 public:
  static constexpr std::array<Sm89Type, 7> kTypes = {{
      {.name = "Exit"},
      {.name = "1: SMxxx  4K", .lastAddress = 4095},
      {.name = "2: SM8908  8K", .lastAddress = 8191},
      {.name = "3: SMxxx  8K", .lastAddress = 8191},
      {.name = "4: SM8954A  16K", .lastAddress = 16383},
      {.name = "5: SM8958A  32K", .lastAddress = 32767},
      {.name = "6: SM89516A 64K", .lastAddress = 65535},
  }};

 private:
  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "26 Security",
                                              "$DisTool:",
                                              "25,28,29,30,31,",
                                              "$Radio1:00,Delay(写延迟)",
                                              "30uS",
                                              "50uS",
                                              "100uS",
                                              "$end"};

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::size_t RowCount() const override { return kTypes.size(); }
  int ModeWidth() const override { return 6; }
  int ReadVccMillivolts() const override { return 4400; }

  void PowerUp() override {
    CommonPowerUp();
    SetModePins(0x3F);
    SetPinHigh(31);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinLow(kRstPin);
    SetPinHigh(kRstPin);
    SetPinHigh(kPsenPin);
    SetPinLow(kProgPin);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }
  void ReadLevels() override {
    SetModePins(0x3F);
    SetPinLow(kPsenPin);
  }
  void WriteLevels() override {
    SetModePins(23);
    SetPinHigh(kPsenPin);
    SetPinHigh(kProgPin);
    SetRegister25(kBusDrive);
    SetAddress(0);
    SetPinHigh(31);
  }

  void Erase() override {
    SetVccVoltage(5000);
    PowerUp();
    SetRegister25(kBusDrive);
    SetModePins(30);
    for (std::uint8_t pin : {29, 31, 30}) SetPinHigh(pin);
    if (!VppOn()) return;
    SetPinLow(kProgPin);
    for (int i = 0; i < 10; ++i) {
      PutCmd1(kCmdLongWait);
      FlushCommands();
    }
    SetPinHigh(kProgPin);
    FlushCommands();
  }

  void Lock() override {
    SetVccVoltage(5000);
    PowerUp();
    SetAddress(0);
    SetRegister25(kBusDrive);
    SetModePins(15);
    SetPinHigh(kPsenPin);
    SetPinHigh(kProgPin);
    if (!VppOn()) return;
    SetPinLow(kProgPin);
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
    FlushCommands();
  }
};

}  // namespace zelvar::mcs51
