#pragma once
// EPROM chip models written from the parts' datasheets: JEDEC 24-, 28- and 32-pin byte-wide
// parts, a 40-pin word-wide 27C1024-class part, and the electrically erasable W27E and SST27SF.
// A cell programs (cell AND data) only while VPP sits at the programming level on the VPP pin
// during a program pulse of at least the datasheet's width; A9 at 12 V answers the signature.
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
  int ce = 0;              // chip enable, active low
  int oe = 0;              // output enable, active low
  int pgm = 0;             // program input, active low; 0: the pulse is on CE
  bool pulseHigh = false;  // the 2716: the pulse is a high level on CE/PGM with OE high
  int vpp = 0;             // pin that takes the programming voltage (may be OE)
  int vppMin = 0, vppMax = 0;
  double minPulseUs = 0;
  int vccMin = 4500;
  int maxVpp = 14000, maxA9 = 13500, maxOther = 7000;  // absolute maximum ratings
  bool signature = true;
  std::uint16_t maker = 0, device = 0;
  // Electrical erase: A9 and OE/VPP inside the window while CE is low for erasePulseUs.
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
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const EpromSheet& sheet() const { return sheet_; }
  // The cells: bytes, or words for a 16-bit part; erased cells are all ones.
  std::vector<std::uint16_t> cells;
  int pulses = 0;  // program pulses that took
  int erases = 0;

 private:
  int Mv(Programmer& p, int chipPin) const;
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
  std::uint16_t out_ = 0;
  bool pulsing_ = false, erasing_ = false;
  double pulseStart_ = 0, eraseStart_ = 0;
  std::uint32_t pulseAddress_ = 0;
  std::uint16_t pulseData_ = 0;
};

// A model by part name: "2716", "2732", "27C256", "27C512", "27C010", "27C040", "W27E512",
// "SST27SF512", "27C1024", "27C2048", "27C4096". nullptr for an unknown name.
std::shared_ptr<EpromChip> MakeEprom(std::string_view part);

// The part name of MakeEprom that a catalogue chip name holds ("AT27C256" gives "27C256"), the
// longest one when several do; empty when none does.
std::string_view EpromPartOf(std::string_view chipName);

}  // namespace zelvar::sim
