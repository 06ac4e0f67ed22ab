#pragma once
// The Microwire engine, written once for the 93Cxx sets: the bus bit-banged on single socket pins
// (start bit, two-bit opcode, address bits by organisation, data), the data-out line sampled by
// the design into the reply, a fixed wait after each written word. A set gives its rows and
// whether a buffer unit is a byte or a 16-bit word (low byte first).
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

struct MicrowireType {
  std::string_view name;
  std::uint32_t addressBits = 0;
  std::uint32_t dataBits = 8;  // the organisation: 8 or 16
  std::uint32_t lastAddress = 0;
  std::uint8_t dataInPin = 19;
  std::uint8_t dataOutPin = 20;
  std::uint8_t clockPin = 18;
  std::uint8_t vccPin = 24;
  std::uint8_t gndPin = 21;
  std::uint8_t pin7 = 23;
  std::uint8_t orgPin = 22;
  std::uint8_t selectPin = 17;
};

constexpr MicrowireType MicrowireRow(std::string_view name, std::uint32_t addressBits,
                                     std::uint32_t dataBits, std::uint32_t last) {
  return {.name = name, .addressBits = addressBits, .dataBits = dataBits, .lastAddress = last};
}

// A row of the sets for the models without an FPGA: the chip in socket pins 15 to 18 and 23 to
// 26.
constexpr MicrowireType Microwire411Row(std::string_view name, std::uint32_t addressBits,
                                        std::uint32_t dataBits, std::uint32_t last) {
  return {.name = name,
          .addressBits = addressBits,
          .dataBits = dataBits,
          .lastAddress = last,
          .dataInPin = 17,
          .dataOutPin = 18,
          .clockPin = 16,
          .vccPin = 26,
          .gndPin = 23,
          .pin7 = 25,
          .orgPin = 24,
          .selectPin = 15};
}

// The rules of a Microwire row: the pins on the 8-pin package whose pin 1 is the chip select (at
// socket pins 17 to 24, or 15 to 18 and 23 to 26) and distinct; 8 or 16 data bits; enough address
// bits for the chip's words and at most 16. `design`: the bitstream the row loads, if any.
void CheckMicrowireRow(const MicrowireType& t, TypeTableReport& r,
                       const char* design = "p93cxxx.bit");

class MicrowireSet : public SerialSet {
 protected:
  virtual const MicrowireType& Type() const = 0;
  // True when a buffer unit is a 16-bit word (low byte first); else one byte per chip address.
  virtual bool WordUnits() const = 0;
  // True for the sets of the models without an FPGA: the programmer's own logic samples the
  // data-out line (command 3, bit 1) and the chip sits from socket pin 15; no VCC choice.
  virtual bool OwnLogic() const { return false; }
  // True where chip pin 7 is connected (PE on the 93S parts); "DC" on the 93Cxx parts.
  virtual bool Pin7Connected() const { return false; }

  void Init() override;
  TypeFacts Facts() const override;
  bool Offers(int op) const override;
  void Handle(int op) override;

  // `n` bits of `value`, most significant first, on data-in with a clock pulse each.
  void ShiftOut(std::uint32_t value, std::uint32_t n) const;
  // Select, start bit 1 and the two-bit opcode code & 3.
  void StartAndOpcode(std::uint32_t code) const;
  // The extended group (opcode 00) with `sub` in the top two address bits.
  void Extended(std::uint32_t sub) const;
  std::uint32_t ReadWord(std::uint32_t address) const;
  // One write command and its wait; nothing is flushed.
  virtual void WriteWord(std::uint32_t address, std::uint32_t value) const;

  // Pins and supplies for the row, then the power check: false when it failed.
  virtual bool PowerUp() const;
  // The power-up with chip pin 7 and the organisation pin at the given levels and VCC at
  // `millivolts`.
  bool PowerUpWith(bool pin7High, bool orgHigh, int millivolts) const;
  // Read, Verify, Blank.
  void Scan(ScanMode mode);
  void Write();

 private:
  void Erase();
};

}  // namespace zelvar::memory
