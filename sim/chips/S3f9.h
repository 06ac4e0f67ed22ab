#pragma once
// Samsung S3F9 flash microcontrollers in their serial programming mode, in the 20-pin, 16-pin and
// 8-pin packages the socket rows take (VSS pin 1, TEST/VPP pin 4, VDD the last pin, SDAT the pin
// before it, SCLK the one before that). Flash bytes, erased 0xFF. The serial protocol is not
// published; the model is the smallest chip that accepts the "SAMSUNG3X" sequences, by these
// rules:
// - Powered: 2.0 V to 5.5 V on VDD with VSS grounded; TEST/VPP takes up to 13.5 V. The mode runs
//   while TEST/VPP holds 11.5 V or more and the chip is powered.
// - SDAT falling while SCLK is high is a start, rising while SCLK is high a stop: either ends the
//   command and starts a new frame count. Entering the mode does the same.
// - A frame is nine SCLK rising edges: eight bits, most significant first, then an acknowledge
//   clock. The chip takes SDAT at the rising edges of command, address and write-data frames.
// - Commands: 0x60 and 0x61 take a high and a low address byte, then data frames: 0x60 programs
//   each data byte at the ninth edge into the address (a bit only goes from 1 to 0; nothing while
//   write protection is on) and steps it, busy for 60 us (an edge inside counts as a fault);
//   0x61 drives each byte on SDAT at the data edges (0x00 while read protection is on) and steps
//   the address. 0xE0 0x15 0x55 0xAA erases every byte and the protection (done when 50 ms pass
//   in the mode before the next edge; an interrupted erase changes nothing and counts).
//   0xE0 0x0E p 0x00 sets protection bit 0 (p 0x3F, no read), 1 (0x3E, write protect) or 2 (0x3D,
//   LCD lock) once 5 ms pass in the mode.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/LineChip.h"

namespace zelvar::sim {

class S3f9Chip final : public LineChip {
 public:
  S3f9Chip(std::string_view name, int pins, int bytes);
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> flash;
  std::uint8_t protection = 0;  // bit 0 no read, bit 1 write protect, bit 2 LCD lock
  int busyEdges = 0, abortedErases = 0;

 private:
  void Reset();
  void Frame(std::uint8_t b);
  void Finish(double now, bool inMode);
  bool inMode_ = false;
  int lastSda_ = 1, lastScl_ = 0;
  int bit_ = 0;  // rising edges in this frame
  std::uint8_t byte_ = 0;
  std::vector<std::uint8_t> frames_;  // command frames so far
  std::uint32_t address_ = 0;
  int out_ = -1;
  double busyUntil_ = 0, pendingAt_ = -1;
  int pending_ = 0;  // 0 none, 1 erase, 2.. protection bit + 2
};

std::string_view S3f9PartOf(std::string_view chipName);
std::shared_ptr<S3f9Chip> MakeS3f9(std::string_view part);

}  // namespace zelvar::sim
