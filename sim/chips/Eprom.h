#pragma once
// EPROM chip models written from the parts' public datasheets: JEDEC 24-, 28- and 32-pin
// byte-wide parts, the 40-pin word-wide 27C1024 class, the 42-pin M27C800/M27C160/M27C322, and
// the electrically erasable W27E,
// SST27SF and SST37VF parts. Each part is one row of the table in Eprom.cpp, built from a
// package preset, a programming preset (one per maker's datasheet, named there) and the maker's
// signature.
//
// What every model does, and the rules the datasheets leave open:
// - The chip is powered only while a supply from its read minimum up to the top of its read or
//   programming VCC window is on its VCC pin and every ground pin is grounded. A logic driver
//   held high is not a supply.
// - Outputs are on while powered with CE and OE low (and OE not at a high voltage).
// - A cell programs (cell AND data) when a program pulse ends with VPP inside the programming
//   window on the VPP pin for the whole pulse, VCC inside the programming VCC window where the
//   datasheet gives one, the address held, and the pulse at least the datasheet's minimum width.
//   A pulse longer than the datasheet's maximum is recorded as a hazard; it still programs. Where
//   a datasheet gives no maximum, none is checked.
// - A9 inside the identifier window with the outputs on answers the signature: A0 low the
//   maker's code, A0 high the device code. Parts whose maker's sheet we do not model answer
//   their cells, as a part without the identifier mode would.
// - An electrical erase needs A9 and the VPP pin inside the erase window while the pulse input
//   is low for at least the erase pulse; the cells then read all ones.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct EpromSheet {
  std::string name;
  int pins = 28;
  std::vector<int> address;  // chip pins of A0, A1, ...
  std::vector<int> data;     // chip pins of D0, D1, ... (8 or 16)
  std::vector<int> ground;
  int vcc = 0;
  int vccMin = 4500, vccMax = 5500;  // the read window of VCC
  // The VCC window of programming; 0, 0: the read window (the datasheet programs at 5 V).
  int programVccMin = 0, programVccMax = 0;
  int ce = 0;              // chip enable, active low
  int oe = 0;              // output enable, active low
  int pgm = 0;             // program input, active low; 0: the pulse is on CE
  bool pulseHigh = false;  // the 2716: the pulse is a high level on CE/PGM with OE high
  int vpp = 0;             // pin that takes the programming voltage (may be OE)
  // BYTE# of the byte/word parts (may be the VPP pin): low gives byte-wide reads on D0..D7, the
  // word's low byte with D15 low and its high byte with D15 high; 0: word-wide only.
  int bytePin = 0;
  int vppMin = 0, vppMax = 0;
  double minPulseUs = 0, maxPulseUs = 0;  // maxPulseUs 0: the datasheet gives no maximum
  int maxVpp = 14000, maxA9 = 13500, maxOther = 7000;  // absolute maximum ratings
  int idMin = 11500, idMax = 12500;                    // A9 identifier window
  bool signature = true;
  std::uint16_t maker = 0, device = 0;
  // Electrical erase: A9 and the VPP pin inside the window while the pulse input is low.
  bool erasable = false;
  int eraseMin = 0, eraseMax = 0;
  double erasePulseUs = 0;
};

class EpromChip final : public ChipModel {
 public:
  explicit EpromChip(EpromSheet sheet);

  std::string Name() const override { return sheet_.name; }
  int PinCount() const override { return sheet_.pins; }
  std::vector<int> GroundPins() const override { return sheet_.ground; }
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const EpromSheet& sheet() const { return sheet_; }
  // The cells: bytes, or words for a 16-bit part; erased cells are all ones.
  std::vector<std::uint16_t> cells;
  int pulses = 0;  // program pulses that took
  int erases = 0;
  double lastPulseUs = 0;                      // width of the last program pulse, taken or not
  int lastPulseVppMv = 0, lastPulseVccMv = 0;  // VPP and VCC as that pulse ended

 private:
  int Mv(const Programmer& p, int chipPin) const;
  std::uint32_t Address(Programmer& p);

  EpromSheet sheet_;
  std::vector<int> dataIndex_;  // chip pin -> data bit, -1 for other pins
  std::vector<int> socket_;     // chip pin -> socket pin
  std::vector<int> addressSocket_;
  // Address bits whose pin a supply or ground holds, as of supply change `suppliedAt_`.
  std::uint32_t supplied_ = 0;
  std::uint32_t suppliedAt_ = ~0u;
  std::uint16_t dataMask_;
  bool driving_ = false;
  bool byteWide_ = false;  // the outputs are byte-wide (BYTE# low)
  std::uint16_t out_ = 0;
  bool pulsing_ = false, erasing_ = false;
  double pulseStart_ = 0, eraseStart_ = 0;
  std::uint32_t pulseAddress_ = 0;
  std::uint16_t pulseData_ = 0;
};

// A model by part name: a catalogue chip name ("AT27C256R", "M27C801", "SST27SF512") or a
// generic one ("2716", "27C256", "27C1024"). nullptr for a part with no model.
std::shared_ptr<EpromChip> MakeEprom(std::string_view part);

// The part name of MakeEprom that a catalogue chip name holds ("AT27C256R" gives "AT27C256"),
// the longest one when several do; empty when none does.
std::string_view EpromPartOf(std::string_view chipName);

// Every part name MakeEprom knows.
std::vector<std::string_view> EpromParts();

}  // namespace zelvar::sim
