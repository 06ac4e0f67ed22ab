#pragma once
// The frame of the large-flash designs ("mx1611sop44", the "P29F640" family's adapters): the
// address in FPGA registers 21 to 23, control lines and command cycles through register 18, the
// data bus read back with its float check, and block reads of 64-byte units. A design supplies
// its pins (Apply, PutAddress) and its cycle table (RunCycle).
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <utility>

#include "sim/Programmer.h"

namespace zelvar::sim {

class FpgaFlashDesign : public Design {
 public:
  // Register 18: a cycle code when bit 7 is low and the low nibble is 7, else line 1 to 6 with
  // its level in bit 7.
  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value) override;

 protected:
  static constexpr int kBusLine = 1, kCeLine = 2, kOeLine = 3, kWeLine = 4, kResetLine = 5;

  FpgaFlashDesign(std::string tag, std::span<const int> dataPins)
      : tag_(std::move(tag)), dataPins_(dataPins) {}

  // The control lines (and whatever the design latches) onto their pins.
  virtual void Apply(Programmer& p) = 0;
  virtual void PutAddress(Programmer& p, std::uint32_t a) = 0;
  virtual void RunCycle(Programmer& p, int code) = 0;

  // The lines go onto the pins at the design's first use.
  void Attach(Programmer& p);
  static std::uint32_t Address(const Programmer& p);
  static void SetAddress(Programmer& p, std::uint32_t a);
  // Bits nothing drives read high (the bus pull-ups); a read while the chip drives none of the
  // bus is a hazard of the test: its outputs are off and a blank check would pass on anything.
  std::uint16_t ReadBus(Programmer& p);
  // `units` x 64 bytes from the address on, one location at a time (a 16-bit bus gives its low
  // byte first); the address register is left past the last.
  void ReadBlocks(Programmer& p, int units);

  std::array<bool, 7> lines_ = {false, true, true, true, true, false, false};

 private:
  std::string tag_;
  std::span<const int> dataPins_;
  bool attached_ = false;
  bool floatingReported_ = false;
};

}  // namespace zelvar::sim
