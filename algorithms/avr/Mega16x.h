#pragma once
// What "ATMEGA162" and "ATMEGA161" (and, with its own table and entry, "ATMEGA163") share: the
// 40-pin ATmega161/162 (and, through the adapter, their 44-pin PLCC and TQFP) on the high-voltage
// parallel engine, with its settle before every line change, one type table whose pins the package
// decides, the entry without the ATmega48 family's start-up wait, and the handlers the two sets run
// alike.
#include <array>

#include "algorithms/avr/HvParallelEngine.h"

namespace zelvar::avr {

namespace mega16x {
// The EEPROM page is the datasheets' (the ATmega162 latches its EEPROM bytes into a 4-byte page
// buffer, the ATmega161 writes each byte by its own WR pulse).
inline constexpr std::array<AvrType, 4> kTypes = {{
    {.name = "Exit"},
    {.name = "1: ATmega161 8kx16",
     .vppPin = 9,
     .vccPin = 40,
     .groundPin = 20,
     .codeLast = 0x3FFF,
     .eepromLast = 0x1FF,
     .eepromPage = 0,
     .flashPage = 128,
     .contactMask = SocketPins(1, 40)},
    {.name = "2: ATmega162 8kx16",
     .vppPin = 9,
     .vccPin = 40,
     .groundPin = 20,
     .codeLast = 0x3FFF,
     .eepromLast = 0x1FF,
     .eepromPage = 4,
     .flashPage = 128,
     .contactMask = SocketPins(1, 40)},
    {.name = "3: ATmega163 8kx16",
     .vppPin = 29,
     .vccPin = 30,
     .groundPin = 31,
     .codeLast = 0x3FFF,
     .eepromLast = 0x1FF,
     .eepromPage = 0,
     .flashPage = 128,
     .contactMask = SocketPins(1, 40)},
}};

inline constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",  "22 Blank",  "23 Write",
                                            "24 Verify", "32 WrData", "25 WrFuse", "26 Security",
                                            "$DisTool:", "30,",       "$end"};
inline constexpr int kOperations[] = {kOpErase,      kOpBlank,    kOpWrite,    kOpVerify,
                                      kOpConfig,     kOpLock,     kOpRead,     kOpReadId,
                                      kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace mega16x

class Mega16xSet : public HvParallelSet {
 public:
  static constexpr std::array<AvrType, 4> kTypes = mega16x::kTypes;

 protected:
  const AvrType& Type() const override { return row_; }
  std::span<const char* const> DescribeList() const override { return mega16x::kDescribe; }
  std::span<const int> Operations() const override { return mega16x::kOperations; }

  // Operation 1: the DIP40 or the PLCC44 adapter's design and pins for the ATmega161/162 rows;
  // the ATmega163 row's pinout fits neither (its supplies would land on port pins), so it is
  // refused here.
  void SetUpPackage(int vccMillivolts);
  void EnterHvProgramming() override;

  // VCC for programming and for reading; the same level unless a set says otherwise.
  virtual void ProgramLevel() {}
  virtual void ReadLevel() {}

  void Blank() override;
  void Verify() override;
  void Read() override;
  void Write() override;
  void Erase() override;
  void ReadSignature() override;
  void ReadId() override;
  void ReadData() override { ReadEeprom(); }
  void WriteData() override;
  // One fuse byte from entry to supplies off.
  bool FusePass(FuseByte which, std::uint8_t value);
  // The lock byte, after two entries.
  void WriteLock(std::uint8_t value);

  AvrType row_{};
};

}  // namespace zelvar::avr
