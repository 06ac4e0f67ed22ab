#pragma once
// "SM8951": the SM8951A to SM89516 parts, 12 V on EA/VPP, a three-bit mode on P3.0..P3.2; the
// chip erase in steps of 24 ms, as many as the type gives.
#include <array>

#include "algorithms/mcs51/Sm89Engine.h"
#include "link/CommandQueue.h"
#include "link/Primitives.h"

namespace zelvar::mcs51 {

class SM8951 final : public Sm89Set {
 public:
  // SM8954C and SM8958C hold 16 KB and 32 KB.
  static constexpr std::array<Sm89Type, 6> kTypes = {{
      {.name = "Exit"},
      {.name = "1: SM8951A 4K", .lastAddress = 4095, .eraseGroups = 8},
      {.name = "2: SM8952A 8K", .lastAddress = 8191, .eraseGroups = 8},
      {.name = "3: SM8954C 16K", .lastAddress = 16383, .eraseGroups = 16},
      {.name = "4: SM8958C  32", .lastAddress = 32767, .eraseGroups = 32},
      {.name = "5: SM89516  64K", .lastAddress = 65535, .eraseGroups = 64},
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
                                              "$Radio1:01,Delay(写延迟)",
                                              "30uS",
                                              "50uS",
                                              "100uS",
                                              "$end"};

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::size_t RowCount() const override { return kTypes.size(); }
  int ModeWidth() const override { return 3; }
  int ReadVccMillivolts() const override { return 5000; }

  void PowerUp() override {
    CommonPowerUp();
    for (std::uint8_t pin : {30, 29, 15, 10, 11, 12, 13, 14}) SetPinHigh(pin);
    SetPinLow(16);
    SetPinLow(17);
    SetPinHigh(31);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinLow(kRstPin);
    SetPinHigh(kRstPin);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }
  void ReadLevels() override {
    SetPinHigh(15);
    SetPinHigh(kProgPin);
    SetPinLow(kProgPin);
    SetPinLow(kPsenPin);
    SetModePins(0);
  }
  void WriteLevels() override {
    SetPinLow(15);
    for (std::uint8_t pin : {29, 30, 13, 14}) SetPinHigh(pin);
    SetRegister25(kBusDrive);
    SetAddress(0);
    SetModePins(2);
    SetPinHigh(31);
  }

  // The type's count of 24 ms steps with P3.0 high.
  void Erase() override {
    PowerUp();
    SetRegister25(kBusDrive);
    SetAddress(0xFFFF);
    PutCmd2(kCmdDataByte, 0xFF);
    for (std::uint8_t pin : {13, 14, 15, 29}) SetPinHigh(pin);
    SetPinLow(kProgPin);
    SetPinHigh(31);
    if (!VppOn()) return;
    SetPinLow(13);
    SetPinLow(15);
    for (std::uint32_t g = 0; g < kTypes[gApp.TypeIndex].eraseGroups; ++g) {
      SetModePins(1);
      for (int i = 0; i < 24; ++i) PutCmd1(kCmdWait1ms);
      SetModePins(0);
      FlushCommands();
    }
    SetPinHigh(13);
    SetPinHigh(15);
    FlushCommands();
  }

  void Lock() override {
    PowerUp();
    SetAddress(0);
    SetRegister25(kBusDrive);
    PutCmd2(kCmdDataByte, 0xFF);
    if (!VppOn()) return;
    for (std::uint8_t pin : {29, 13, 14}) SetPinHigh(pin);
    SetPinLow(kProgPin);
    SetPinLow(15);
    SetModePins(3);
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdWait100us);
    SetModePins(0);
    SetPinHigh(kProgPin);
    SetPinHigh(15);
    FlushCommands();
  }
};

}  // namespace zelvar::mcs51
