#pragma once
// "AT90S8515S": the 40-pin AT90S4414/8515 and AT90S4434/8535 on a programmer without an FPGA
// (models 57 and 411), by the programmer's own pins and port alone: the signals of the pin-driven
// engine (`AvrPinParallelSet`) on socket pins, the data byte on port 0 (socket pins 1-8, the
// chip's PB0-PB7), sampled by command 1 with register 25 at 1, and VCC at 5.5 V, inside the
// parts' 4.5-5.5 V programming range. The AT90S4434/8535 do not fit the AT90S8515 pinout: the user
// wires them by jumpers (the wiring text) so that the programmer sees the AT90S8515's pins, hence
// all four rows drive the same socket pins. One fuse byte, written only after Read config has
// read it; the lock bits by the radio.
#include <array>
#include <optional>
#include <span>

#include "algorithms/avr/AvrPinParallel.h"

namespace zelvar::avr {

namespace at90s8515s {
// RESET, RDY/BSY (PD1), OE, WR, BS, XA0, XA1 (PD2-PD6) and XTAL1 of the AT90S8515 pinout, where
// the jumpers also bring the AT90S4434/8535's pins.
inline constexpr AvrControlPins kPins{
    .reset = 9, .rdy = 11, .oe = 12, .wr = 13, .bs = 14, .xa0 = 15, .xa1 = 16, .xtal1 = 19};

constexpr AvrType Row(std::string_view name, std::uint32_t codeLast, std::uint32_t eepromLast) {
  return {.name = name,
          .vppPin = 9,
          .vccPin = 40,
          .groundPin = 20,
          .codeLast = codeLast,
          .eepromLast = eepromLast,
          .control = kPins};
}
}  // namespace at90s8515s

class AT90S8515S final : public AvrPinParallelSet {
 public:
  // No contact mask: these models test no pins.
  static constexpr std::array<AvrType, 5> kTypes = {{
      {.name = "Exit"},
      at90s8515s::Row("1: AT90S4414", 0xFFF, 0xFF),
      at90s8515s::Row("2: AT90S8515", 0x1FFF, 0x1FF),
      at90s8515s::Row("3: AT90S4434", 0xFFF, 0xFF),
      at90s8515s::Row("4: AT90S8535", 0x1FFF, 0x1FF),
  }};

  // Socket pin to chip pin for the AT90S4434/8535 (socket pin 1 is next to the lever).
  static constexpr const char* kWiring[] = {
      "---------必需作如下连接才能烧录:---------\n\n", "编程插座     器件   | 编程插座     器件\n",
      "Pin1    to   Pin1   | Pin40   to   Pin10\n",    "Pin2    to   Pin2   | Pin20   to   Pin11\n",
      "Pin3    to   Pin3   | Pin11   to   Pin15\n",    "Pin4    to   Pin4   | Pin12   to   Pin16\n",
      "Pin5    to   Pin5   | Pin13   to   Pin17\n",    "Pin6    to   Pin6   | Pin14   to   Pin18\n",
      "Pin7    to   Pin7   | Pin15   to   Pin19\n",    "Pin8    to   Pin8   | Pin16   to   Pin20\n",
      "Pin9    to   Pin9   | Pin19   to   Pin13\n",    "(靠锁紧扳手是Pin1)\n"};

  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "32 WrData",
                                              "25 WrFuse",
                                              "26 Security",
                                              "$DisTool:",
                                              "30,",
                                              "$Radio1:00,加密方式",
                                              "加密+禁止读写 ",
                                              "加密+禁止写",
                                              "无效 ",
                                              "不加密",
                                              "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
  static constexpr int kOperations[] = {kOpErase,      kOpBlank,    kOpWrite,    kOpVerify,
                                        kOpConfig,     kOpLock,     kOpRead,     kOpReadId,
                                        kOpReadConfig, kOpReadData, kOpWriteData};

 private:
  const AvrType& Type() const override { return ChosenRow(kTypes); }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOperations; }

  void Init() override;
  void SetReadDirection(bool on) const override;
  void ClockDataByte(std::uint8_t b) const override;
  void SampleData() const override;

  // Read ends with the lock bits into the radio, so that Security writes them back unchanged.
  void Read() override;
  // WrFuse writes back the fuse byte Read config read (onto this chip or the next one): the set
  // has no fuse rows, so the grid's word 0 is always 0 and would program every fuse. Refused until
  // Read config has read a byte.
  void Config() override;
  void ReadConfig() override;

  int LockByteOfRadio(std::uint32_t radio) const override {
    constexpr int kLock[] = {0x00, 0x04, 0x02, 0x06};
    return radio < 4 ? kLock[radio] : -1;
  }
  int RadioOfLock(bool lb1, bool lb2) const override { return (lb1 ? 2 : 0) | (lb2 ? 1 : 0); }
  bool FuseReadBs() const override { return true; }
  const char* FuseLogFormat() const override { return "Config=%02x"; }

  // The byte Read config read since the chip was chosen.
  std::optional<std::uint8_t> fuseRead_;
};

}  // namespace zelvar::avr
