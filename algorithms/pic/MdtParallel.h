#pragma once
// The MDT parallel protocol on the small-microcontroller frame: signal lines through FPGA register
// 18, a 14-bit word moved as two 7-bit halves on a data port (port 0 with command byte 1 for the
// 18-pin seat, VCC on socket pin 25; port 1 with command byte 2 for the 28-pin seat, VCC on 8), an
// address counter stepped by four clock pulses, two spaces (0 program memory, 1 the
// configuration word). "MDT2000" and "MDT2051" differ in the entry clocks, the programming wait
// and the configuration word's fields; those are their policy.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

// A type: caption; supply pins; the chip's program strobe, half select, read strobe, clock and
// MCLR lines (socket pins); last byte address; contact pins, which `maskByModel` empties on the
// models without the per-pin contact test of these seats (5104, 5105, 5148).
struct MdtParallelType {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::uint8_t programLine = 0, halfLine = 0, readLine = 0, clockLine = 0, mclrLine = 0;
  std::int32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
  bool maskByModel = false;
};

// The frame's rows of a table of types (the lines stay in the set's table).
template <std::size_t N>
constexpr std::array<McuType, N> McuRows(const std::array<MdtParallelType, N>& types) {
  std::array<McuType, N> rows{};
  for (std::size_t i = 0; i < N; ++i) {
    const MdtParallelType& t = types[i];
    rows[i] = McuType{t.name, t.vppPin, t.vccPin, t.groundPin, t.lastAddress, 0, t.contactMask};
  }
  return rows;
}

// Radio2's start-up delays "150  uS", "20   mS", "40   mS", "80   mS" as bits 4-7 of the
// configuration word; any other choice gives 15.
inline constexpr std::uint16_t kMdtStartDelay[] = {10, 9, 6, 5};

// The 18-pin seat (chip pin 1 on socket pin 12) and the 28-pin seat (chip pin 1 on socket pin 7).
inline constexpr std::uint64_t kMdtSeat18 = 0x1FFFF800;
inline constexpr McuPackage kMdtPackages[] = {
    {0, "mdt2000.bit", 15, 25, 16, kMdtSeat18},
    {0, "mdt2000.bit", 34, 8, 10, 0x3FFFFFAC0},
};

class MdtParallelSet : public McuSet {
 public:
  // Supply pins distinct and in the socket, the MCLR line on the VPP pin, the four strobe lines
  // distinct and off the supplies, a non-empty mask holding every pin the set drives, and the
  // port the VCC pin implies.
  static void CheckRow(const MdtParallelType& t, TypeTableReport& r);

  struct Policy {
    bool entryClocks = true;  // four clock pulses after VPP reaches MCLR
    const char* configLine = "%04X";
    bool secondRadio = true;  // Radio2 (the start-up delay) in the configuration word
  };

 protected:
  virtual const Policy& policy() const = 0;
  virtual std::span<const MdtParallelType> Lines() const = 0;
  // Wait ticks of each half-word programming pulse.
  virtual int PulseTicks() const = 0;
  virtual std::uint16_t ConfigWord() const = 0;
  // Grid bits (OptionValues word 0) from a configuration word read back.
  virtual std::uint32_t GridBits(std::uint16_t config) const = 0;

  std::span<const McuPackage> Packages() const override { return kMdtPackages; }
  bool SizesFromLine() const override { return false; }
  int SetupVccMillivolts() const override { return 4400; }
  int SetupVppMillivolts() const override { return 12000; }
  void AfterSetup() override;
  void Enter() const override;
  std::span<const int> Operations() const override;

  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Config() override;
  void ReadConfig() override;

  // The oscillator nibble of Radio1 and its inverse (5, "???", for a value it does not know).
  static std::uint16_t OscillatorNibble(std::uint32_t radio);
  static std::uint32_t OscillatorChoice(std::uint16_t nibble);

 private:
  void Line(std::uint8_t line, bool high) const;
  void Clocks() const;
  void Reset() const;
  // Reset, the space on the data port, the entry, the bus direction.
  void Begin(int space, bool reading) const;
  void ReadWord() const;
  void ProgramWord(std::uint16_t w) const;
  static void PowerDown();
  std::uint8_t Port() const { return row_.vccPin == 8 ? 1 : 0; }
  // Blank or Verify over the program memory; false after a failure.
  bool Scan(bool verify);

  MdtParallelType lines_;
};

}  // namespace zelvar::pic
