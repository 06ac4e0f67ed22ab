#include "algorithms/avr/ATTINY2.h"

#include "link/CommandQueue.h"
#include "link/commands/AvrSpi.h"
#include "services/AppState.h"
#include "services/Services.h"

namespace zelvar::avr {

void ATTINY2::Init() {
  row_ = ChosenRow(kTypes);
  const int pkg = services().ChipParam("pkg=");
  const char* design = nullptr;
  if (pkg == 20) {
    design = "ATdip20spi.bit";
  } else if (pkg == 40) {
    design = "ATmeg161spi.bit";
    row_.vccPin = 40;
    row_.groundPin = 20;
    row_.vppPin = 9;
    row_.contactMask = 0;
  }
  if (!SetUp(kTypes.size(), design,
             "No design for this package (pkg=20 or 40)*此封装没有对应的逻辑", 5000)) {
    return;
  }
  if (pkg == 20) {
    PlacementRequest picture;
    picture.pins = 20;
    picture.firstRow = 9;
    services().ShowPlacement(picture);
  }
  // The shift widths go to the design just loaded: sent before the load they would reach the
  // design of the last chip.
  PutCmd2(avr_spi::kCmdOutBits, 8);
  PutCmd2(avr_spi::kCmdInBits, 8);
  FlushCommands();
}

}  // namespace zelvar::avr
