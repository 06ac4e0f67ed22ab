#pragma once
// The MDT serial-command protocol on the small-microcontroller frame: the design's lines 2, 3 and
// 5 through FPGA register 18, frames of a five-bit chip command sent bit-reversed (with eight data
// bits above it, 13 bits in all, or alone) through data ports 0 and 1, a word read as two 7-bit
// halves each after a start bit, a word programmed by two pulses, two spaces (0 program memory, 1
// the configuration word). "MDT10P7X" and "MDT10P8PIN" differ in their power-up, their
// placement pictures and the config groups that carry the oscillator; those are their policy.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

// A type: caption; supply pins; last byte address; contact pins; the bitstream of its seat.
struct MdtSerialType {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::int32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
  const char* bitstream = "mdt10p73.bit";
};

// The placement picture a row shows at set-up (no picture when `pins` is 0).
struct MdtPlacement {
  int row = 0, firstRow = 0, pins = 0, pin1Side = 0;
};

// The five-bit command reversed (bit 0 to bit 4 ... bit 4 to bit 0).
constexpr std::uint8_t ReverseCommand(std::uint8_t c) {
  std::uint8_t r = 0;
  for (int i = 0; i < 5; ++i) r = static_cast<std::uint8_t>(r | ((c >> i) & 1) << (4 - i));
  return r;
}
// The 13-bit frame of a command with data: the data above the reversed command.
constexpr std::uint16_t DataFrame(std::uint8_t c, std::uint8_t d) {
  return static_cast<std::uint16_t>((d << 5) + ReverseCommand(c));
}
// A word from the two reply bytes of one read: each half after its start bit.
constexpr std::uint16_t SerialWord(std::uint8_t a, std::uint8_t b) {
  return static_cast<std::uint16_t>((b & 0xFE) << 6 | a >> 1);
}

class MdtSerialSet : public McuSet {
 public:
  // Supply pins distinct, in the socket and among the contact pins, a power-of-two size below the
  // data area; an empty row has neither pins nor size.
  static void CheckRow(const MdtSerialType& t, TypeTableReport& r);

  struct Policy {
    // MDT10P8PIN: the power check before any supply, the pin drivers switched on, no tick between
    // the drive line and VPP. MDT10P7X: the check after VPP.
    bool checkFirst = false;
    // The "cfg=" groups whose chips take the oscillator from Radio1.
    std::span<const int> oscillatorGroups;
    std::span<const MdtPlacement> placements;
  };

  // The configuration word from Radio1, the grid bits (PRD 1, PUT/OST 2, WDT 3, PED 4,
  // Security 5) and whether the chip takes the oscillator from the radio; and the grid bits and
  // Radio1 choice read back from one.
  static std::uint16_t Encode(std::uint32_t radio1, std::uint32_t grid, bool oscillator);
  static std::uint32_t Grid(std::uint16_t config);
  static std::uint32_t RadioChoice(std::uint16_t config);

 protected:
  virtual const Policy& policy() const = 0;
  virtual std::span<const MdtSerialType> Rows() const = 0;

  // The frame's rows come from Rows(); Init is the set's own.
  std::span<const McuType> Types() const override { return {}; }
  std::span<const McuPackage> Packages() const override { return {}; }
  void Init() override;
  void Enter() const override {}
  std::span<const int> Operations() const override;

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Config() override;
  void ReadConfig() override;

  bool HasOscillator() const;
  std::uint16_t config_ = 0;

 private:
  static void Line(std::uint8_t line, bool high);
  static void SendData(std::uint8_t c, std::uint8_t d);
  static void SendCmd(std::uint8_t c);
  static void Begin(int space);
  static void ReadWord();
  static void ProgramWord(std::uint16_t w);
  bool PowerUp() const;
  static void PowerDown();
  // Blank or Verify over the program memory.
  void Scan(bool verify);

  MdtSerialType type_;
};

}  // namespace zelvar::pic
