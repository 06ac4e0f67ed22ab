#pragma once
// Winbond W79E2051 (2 KB flash, the AT89C2051 pinout), W79E8213 (2 KB flash and 128 bytes of
// data flash; the W79E825 16 KB and 256 bytes, the 20-pin W79E82x pinout: RST pin 4, VSS pin 5, VDD
// pin 15) in their in-circuit programming mode. The datasheets give the pinouts, the supplies
// (W79E2051 4.5-5.5 V, W79E82x 2.4-5.5 V), the flash sizes and the maker code 0xDA; the programming
// protocol itself is not public, so the models accept exactly the host sequences the W79E sets
// send, as these rules:
// - Mode entry: powered, RST at the programming level (10 V to 11 V), then a 24-bit entry code
//   shifted in most significant bit first, line 1 the bit, each on line 2 rising. RST leaving the
//   level or VCC going ends the mode.
// - In the mode a line 3 rising edge with lines 4 and 5 high latches the bus: line 2 low an
//   address part (W79E2051: the nibble line 1 and line 8 name; W79E82x: line 1 low the low byte,
//   high the high byte), line 2 high and line 1 low the command; with both high the W79E2051
//   latches the data's low nibble. In the data phase a line 3 rising edge steps the address: on
//   the W79E2051 with line 5 low, on the W79E82x always.
// - Line 4 low then high with line 5 high ends a strobe: command 1 programs the byte on the bus
//   (the W79E2051 its high nibble above the latched low one) into the cell (flash: cell AND data)
//   when the strobe lasted 20 us or more; command 6 erases code, data and configuration when it
//   lasted 20 ms or more.
// - With lines 4 and 5 low the chip drives the bus: command 0 the cell (configuration bytes at
//   the configuration address), 11 and 12 the ID bytes (11: the maker; 12 at the address and the
//   next: the device bytes, ours, not a datasheet's); the W79E2051 its low nibble while line 8 is
//   low, else the high one.
// The W79E225 (a 44-pin part with 16 KB of application flash, a 4 KB loader flash and 256 bytes
// of data flash; VDD 4.5 V to 5.5 V) is modelled on the programmer's PLCC44 adapter: it sits as a
// 40-pin part with the adapter's socket pins as its pins (VDD 27, VSS 15; the adapter's wiring is
// not published, so the lines and bus are where the "w79e225p44" design puts them). It enters the
// mode without VPP or entry code: powered with lines 8 to 10 low, a pulse on line 6, then lines 8,
// 9 and 10 high; dropping one of them ends the mode. Its commands name the array: 0 and 1 the
// application flash, 0x40 and 0x41 the loader flash with the two configuration bytes at 0x6000,
// 0xC0 and 0xC1 the data flash, each from address 0; 6 erases all three and the configuration.
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct W79eSheet {
  std::string_view name;
  int pins = 20;
  bool entryCode = true;  // RST at VPP and the 24-bit code; false: the W79E225's line entry
  bool nibbleBus = true;
  int vcc = 20, ground = 10, rst = 1;
  int vccMin = 4500;
  std::array<int, 8> bus{};     // chip pins of bus bits 0.. (4 or 8 used)
  std::array<int, 11> lines{};  // chip pin of line n, 0 = none
  std::uint32_t codeSize = 2048, dataSize = 0, loaderSize = 0;
  std::uint16_t configAddress = 0xFB00;
  std::array<std::uint8_t, 3> id{};
};

class W79eChip final : public ChipModel {
 public:
  explicit W79eChip(const W79eSheet& sheet);
  static constexpr std::uint32_t kEntryCode = 0x5AA5C3;
  static constexpr std::uint16_t kDataStart = 0xFC00;

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return {sheet_.ground}; }
  int MaxMillivolts(int pin) const override { return pin == sheet_.rst ? 13000 : 6500; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint8_t> code, data, loader;
  std::array<std::uint8_t, 2> config{0xFF, 0xFF};
  bool inMode = false;
  int erases = 0;

 private:
  int Level(const Programmer& p, int chipPin) const;
  std::uint8_t* Cell(std::uint32_t address);
  std::uint8_t Bus(const Programmer& p) const;
  std::uint8_t Output() const;

  W79eSheet sheet_;
  std::array<int, 11> last_{};
  std::uint32_t shift_ = 0;
  std::uint16_t address_ = 0;
  std::uint8_t command_ = 0xFF, low_ = 0;
  double strobeStart_ = 0;
  bool armed_ = false;  // the W79E225's line-6 pulse came
  bool driving_ = false;
};

// "W79E2051", "W79E8213", "W79E825" or "W79E225"; nullptr for another name.
std::shared_ptr<W79eChip> MakeW79e(std::string_view part);

}  // namespace zelvar::sim
