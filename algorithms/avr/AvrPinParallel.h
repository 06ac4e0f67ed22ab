#pragma once
// The high-voltage parallel engine with its signals on plain socket pins: the word-write engine's
// steps, but RESET, RDY/BSY, OE, WR, BS, XA0, XA1 and XTAL1 driven by pin commands on the pins the
// row names (`AvrType::control`), the data byte put on the chip by the design's 20-pin port
// (command 38, sampled by 37, register 25 at 15 driving and 9 reading), and every self-timed write
// waited out on the chip's RDY/BSY line (command 14 on register 29). The chip erase and the fuse
// write hold WR low for a counted wait.
#include <cstdint>

#include "algorithms/avr/HvWordEngine.h"

namespace zelvar::avr {

class AvrPinParallelSet : public HvWordSet {
 protected:
  void ClearLine(std::uint8_t n) const override;
  void SetLine(std::uint8_t n) const override;
  void SetReadDirection(bool on) const override;
  void ClockDataByte(std::uint8_t b) const override;
  void LineSettle() const override {}
  void SampleData() const override;
  void Ticks(int n) const override;
  void EraseHold() const override;
  void FuseHold() const override;
  const HvParallelPolicy& Policy() const override { return kPolicy; }

  // Every pin low first, ground and VCC, the signals at their entry levels with RDY/BSY let go
  // to the chip, then 12 V on RESET. Sent.
  bool Enter() override;
  void WaitReady() const;

 private:
  // The socket pin of one of the engine's lines; 0 for a line the chip's mode does not use.
  std::uint8_t PinOf(std::uint8_t line) const;
  static constexpr HvParallelPolicy kPolicy{.flushBeforeSamples = false};
};

}  // namespace zelvar::avr
