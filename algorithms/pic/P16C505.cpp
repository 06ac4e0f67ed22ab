#include "algorithms/pic/P16C505.h"

#include "link/Bitstream.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
constexpr const char* kNoWiring = "This row has no socket wiring! *此型号没有插座接线!";
}  // namespace

void P16C505::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  // From model 6300 the chip sits upright: the second row group.
  int index = gApp.TypeIndex;
  if (gLink.ModelNumber >= 6300 && index < 10) index += 10;
  if (static_cast<std::size_t>(index) >= kTypes.size()) return Refuse(kNoWiring);
  row_ = kTypes[static_cast<std::size_t>(index)];
  delay_ = 0;
  // "Exit", "Isp" and the empty rows name no pins: 12 V would reach an arbitrary pin.
  if (row_.vccPin == 0) return Refuse(kNoWiring);
  const bool turned = index < 10;
  LoadBitstream(turned ? "pic16dip14.bit" : "pic16dip14std.bit");
  if (turned) {
    PlacementRequest place;
    place.pins = 14;
    place.firstRow = 8;
    place.pin1Side = 1;
    services().ShowPlacement(place);
  }
  gApp.GroundPin = row_.groundPin;
  gApp.PinMask = row_.contactMask;
  SelectVppPin(0);
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
  SelectVppPin(0);
}

std::uint16_t P16C505::ConfigWord() const {
  // The oscillator rows follow the radio's three bits.
  return static_cast<std::uint16_t>((Cal12Set::ConfigWord() & ~7u) | (Word(128) & 7u));
}

}  // namespace zelvar::pic
