#pragma once
// The EM78P OTP sets' engines on the small-microcontroller frame, 13-bit program words.
//  - `Em78ShiftSet`: six lines through FPGA register 29 and the shift commands 53 and 54: a word
//    shifted as its 5 high bits and then its low 8, a programming pulse on line 3, two pulses of
//    line 6 a word; "EMC78P156E", "EMC78P447" and "EMC78P458" stand on it. The 458 has its own
//    entry (the space on line 1) and two option registers R1 and R2.
//  - `EMC78P451` (its own header): the 451's line protocol, 7-bit halves on data port 0.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/pic/McuSet.h"

namespace zelvar::pic {

// A type: caption; supply pins; last byte address; contact pins.
struct Em78Type {
  std::string_view name;
  std::uint8_t vppPin = 0, vccPin = 0, groundPin = 0;
  std::int32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
};

// The frame's part of an EM78P set: the row from the table, set-up by the set.
class Em78Set : public McuSet {
 public:
  // Supply pins distinct and in the socket, a power-of-two size below the data area; a row
  // without a VCC pin has neither pins nor size (the set refuses it).
  static void CheckRow(const Em78Type& t, TypeTableReport& r);

 protected:
  virtual std::span<const Em78Type> Rows() const = 0;
  virtual const char* Bitstream() const = 0;
  // After the row and the design: the set's own set-up steps (supplies, config log).
  virtual void SetupSteps() = 0;

  std::span<const McuType> Types() const override { return {}; }
  std::span<const McuPackage> Packages() const override { return {}; }
  void Init() override;
  void Enter() const override {}
  std::span<const int> Operations() const override;
  static void PowerDown();
  // A radio or grid word set from a bit that a choice or an option clears: 0 when clear.
  static std::uint32_t Clear(std::uint16_t c, int bit) { return (c >> bit & 1) ? 1 : 0; }
};

class Em78ShiftSet : public Em78Set {
 public:
  struct Policy {
    bool ownEntry = false;    // the 458: no power-up, the space on line 1
    bool checksPower = true;  // Write checks the supply after power-up
    int vccMillivolts = 5000;
  };
  // The word of one read from its two reply bytes (high part, low byte).
  static constexpr std::uint16_t WordOf(std::uint8_t high, std::uint8_t low) {
    return static_cast<std::uint16_t>((high << 8 | low) & 0x1FFF);
  }

 protected:
  virtual const Policy& policy() const = 0;
  // The option word from the radios and grid, and back (156E, 447).
  virtual std::uint16_t ConfigWord() const { return 0x1FFF; }
  virtual void FromConfig(std::uint16_t) {}

  void SetupSteps() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Config() override;
  void ReadConfig() override;

  static void Line(std::uint8_t line, bool high);
  static void Clock();
  static void ReadWord();
  static void ProgramWord(std::uint16_t w);
  void PowerUp() const;
  void EnterSpace(int space) const;
  // Power-up (where the set has one) and the entry.
  void Start(int space) const;
  void LogConfig(std::uint16_t c) const;
  // Blank or Verify over the program memory.
  void Scan(bool verify);
};

}  // namespace zelvar::pic
