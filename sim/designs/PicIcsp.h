#pragma once
// The one PIC16 in-circuit serial programming design behind the "pic16dip*" bitstreams. Each
// bitstream wires the clock, data and PGM lines to the socket pins where its package puts the
// chip's ICSPCLK (RB6), ICSPDAT (RB7) and PGM (held low, so that a chip with low-voltage
// programming enabled still takes the high-voltage entry):
//
//   design             chip pin 1 at   clock  data  PGM
//   pic16dip40         socket 1          39     40    36
//   pic16dip28         socket 7          33     34    30
//   pic16dip18         socket 12         23     24    21
//   pic16dip29         socket 7          22     23     -    (12-bit 28-pin DIP)
//   pic16dip14         socket 27 (turned) 12    13     -
//   pic16dip14std      socket 14         25     26     -
//   pic16dip08         socket 17         22     23     -
//   pic10fdip08        socket 17         20     21     -    (the PIC10F20x's DIP-8 pinout)
//   pic16dip40c        socket 1          39     40    36    (EPROM parts)
//   pic16dip28c        socket 7          33     34    30    (EPROM parts)
//   pic16dip18c        socket 12         23     24    21    (EPROM parts)
//
// Command 49 clocks a 6-bit chip command out, least significant bit first, the data line set
// while the clock is high and taken by the chip as the clock falls; 51 follows it with 16 data
// bits (start bit, 14 data bits, stop bit) from its two argument bytes; 50 lets the data line go
// after the command and clocks 16 times, sampling the line after each rising edge from the second
// to the fifteenth: the 14-bit word goes into the next reply, low byte first. 52 holds clock and
// data low for the mode entry. The lines move only after FPGA register 20 is 0x84. Waits: 25 a
// programming pulse of the EPROM parts (100 us), 26 one tick (1 ms), 27 a settle after a
// programming step (10 ms), 28 the erase wait (10 ms). These designs are ours: the bitstreams'
// logic is not published.
#include <cstdint>
#include <memory>

#include "sim/Programmer.h"

namespace zelvar::sim {

// The socket pins a design wires to the chip's ICSP clock, data and PGM lines (pgm 0: none).
struct IcspWiring {
  const char* tag;
  int clock, data, pgm;
};

// The PIC16 ICSP logic (commands 49-52, FPGA register 20) on its own, for the designs that carry
// it beside logic of their own (the PIC18 designs of the 44-pin adapters).
class PicIcspLogic {
 public:
  explicit PicIcspLogic(const IcspWiring& w) : w_(w) {}
  // The length of one of its commands, 0 when the byte is not one of them.
  static int CommandLength(std::uint8_t op);
  void Execute(Programmer& p, const Command& c);
  void OnFpgaRegister(Programmer& p, std::uint8_t reg, std::uint8_t value);

 private:
  void HoldLow(Programmer& p);
  void Clock(Programmer& p, int level);
  void Shift(Programmer& p, std::uint32_t bits, int count);
  void ReadWord(Programmer& p);

  const IcspWiring& w_;
  bool mode_ = false;
};

std::unique_ptr<Design> MakePicDip40();
std::unique_ptr<Design> MakePicDip28();
std::unique_ptr<Design> MakePicDip18();
std::unique_ptr<Design> MakePicDip29();
std::unique_ptr<Design> MakePicDip14();
std::unique_ptr<Design> MakePicDip14Std();
std::unique_ptr<Design> MakePicDip08();
std::unique_ptr<Design> MakePic10fDip08();
std::unique_ptr<Design> MakePicDip40c();
std::unique_ptr<Design> MakePicDip28c();
std::unique_ptr<Design> MakePicDip18c();

}  // namespace zelvar::sim
