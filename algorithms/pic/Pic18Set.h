#pragma once
// The PIC18 flash engine on the small-microcontroller frame, once for "P18F4XXX" (the
// PIC18F2XXX/4XXX parts: write buffers of "wbs=" bytes, two-byte bulk-erase keys, the data area
// behind the code) and "P18FXX2" (the older parts: 8-byte writes, one-byte erase codes, the EEPROM
// unlock, GOTO 100000h before the configuration, the data area at 0x4200).
//
// The chip's 4-bit commands and 16-bit operands go through the designs' ports 0, 1 and 3 and
// FPGA register 18 (`link/commands/Pic18.h`); core instructions set TBLPTR and drive the EECON
// registers; table reads come back a byte each, 64 a reply. One row serves every chip: sizes
// ("fla=" bytes, "ee=" bytes), delay ("dly="), package ("pkg=" or "isp=") and supply ("vcc=") come
// from the chip line. Programming and erasing run at 5 V, reading at the chip line's VCC; VPP is
// 12.5 V. Every operation but Read ID (and Erase on the newer parts) first checks the chip: the
// device ID against `ExpectedId` (revision bits 0-4 ignored), or, in system, that one answers.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

namespace p18 {
// The packages by "pkg=" (44 PLCC44 and 45 QFP44 on their adapters, 29 the PIC18F2331's DIP28);
// the contact pins differ between the sets.
inline constexpr McuPackage kPlcc44{.pkg = 44,
                                    .bitstream = "pic18plcc44.bit",
                                    .vppPin = 22,
                                    .vccPin = 11,
                                    .groundPin = 10,
                                    .contactMask = PinBits({10, 11, 16, 19, 22}),
                                    .picture = "p44b.bmp"};
inline constexpr McuPackage kQfp44{.pkg = 45,
                                   .bitstream = "pic18qfp44.bit",
                                   .vppPin = 22,
                                   .vccPin = 11,
                                   .groundPin = 10,
                                   .contactMask = PinBits({10, 11, 17, 20, 22}),
                                   .picture = "qfp44.bmp"};
// At the bottom of the socket, with the contact masks of the 28-pin package and the whole 18-pin
// one.
inline constexpr McuPackage kF2331{29, "pic18f2331dip28.bit", 7, 26, 25, SocketPins(7, 34)};
inline constexpr McuPackage kDip18{18, "pic18dip18.bit", 15, 25, 16, SocketPins(12, 29)};
// The in-system header: VPP and VDD on its own lines, no socket ground, no contact test.
inline constexpr McuPackage kIsp{0, "pic18isp.bit", 21, 22, 0, 0};
inline constexpr const char* kIspLegend =
    "3----RB6(CLK)\n9----RB7(DATA)\n4----VDD(3.3~5V)\n8----MCLR(12.5V)\n2----VSS(GND)\nend";
inline constexpr int kOps[] = {kOpErase, kOpBlank,  kOpWrite,      kOpVerify,   kOpConfig,
                               kOpRead,  kOpReadId, kOpReadConfig, kOpReadData, kOpWriteData};
inline constexpr int kVppMillivolts = 12500;
inline constexpr int kProgramMillivolts = 5000;
inline constexpr std::uint32_t kIdAddress = 0x200000, kConfigAddress = 0x300000;
inline constexpr std::uint32_t kDeviceIdAddress = 0x3FFFFE;
inline constexpr const char* kTypeError = "Type error!*错误的型号！";
inline constexpr const char* kPinError = "Pin connection error! *器件连接错误!";
inline constexpr const char* kBufferSizeError = "Write buffer size error!";
inline constexpr const char* kNoData =
    "No data EEPROM (ee=): nothing to write! *没有数据EEPROM(ee=), 不写入!";
}  // namespace p18

// What the two sets' engines differ in.
struct Pic18Policy {
  bool newParts = false;  // P18F4XXX: 29 after each strobe; else two idle bytes 0
  int readVcc = 4400;     // reading's VCC without "vcc="
  std::span<const McuPackage> packages;
  std::span<const std::uint16_t> eraseCodes;  // by "$Radio1" item
};

class Pic18Set : public McuSet {
 public:
  static void CheckRow(const McuType& t, TypeTableReport& r);

 protected:
  virtual const Pic18Policy& Policy() const = 0;
  // The describe list, and the list without "32 WrData" for a chip line with no "ee=".
  virtual std::span<const char* const> DescribeListFull() const = 0;
  virtual std::span<const char* const> DescribeListNoData() const = 0;

  std::span<const McuPackage> Packages() const override { return Policy().packages; }
  const McuPackage* IspPackage() const override { return &p18::kIsp; }
  const char* IspLegend() const override { return p18::kIspLegend; }
  std::span<const int> Operations() const override { return p18::kOps; }
  std::span<const char* const> DescribeList() const override;
  void Init() override;
  std::uint32_t DataStart() const override;
  std::uint32_t DataLength() const override { return HasData() ? DataSize() : 0; }
  std::uint32_t DataSize() const {
    return row_.eepromLast < 0 ? 0 : static_cast<std::uint32_t>(row_.eepromLast + 1);
  }

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadData() override;
  void WriteData() override;

  // --- The engine's steps.
  void Lines(std::uint8_t value) const;
  void TransferDone() const;
  // A 4-bit command with a 16-bit operand; a core instruction.
  void Send(std::uint8_t command, std::uint16_t operand) const;
  void Core(std::uint16_t instruction) const;
  // A command whose byte the chip shifts back into the next reply.
  void ClockIn(std::uint8_t command) const;
  void TablePointer(std::uint32_t address) const;
  // The hold after a start of programming: the NOP's 4th clock held for the delay count.
  void ProgramWait() const;
  void Enter() const override;
  // Power-up, power check, TBLPTR 3F:FF:FE and two table reads; false when the supply is weak.
  bool ReadDeviceId();
  // The check every operation but Read ID (and the newer parts' Erase) runs first.
  bool ChipCheck();
  bool CheckBeforeChange() override { return ChipCheck(); }
  // Reads from address 0 in blocks of 64 after the power-up.
  bool ScanCode(Scan kind);

  int readVcc_ = 0;
  std::array<std::uint8_t, 2> deviceId_{};
  std::array<std::uint8_t, 24> configArea_{};

 private:
  int Delay() const { return delay_; }
};

}  // namespace zelvar::pic
