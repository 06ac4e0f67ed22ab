#include "algorithms/avr/AT90S8515.h"
#include "algorithms/avr/AT90S8535.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Services.h"

namespace zelvar::avr {

bool at90s40::At90s40Set::Plcc44Title() {
  Services& s = services();
  const bool p44 = s.ChipNameContains("*P44");
  if (!p44 && !s.ChipNameContains("*Q44")) return false;
  PlacementRequest picture;
  picture.file = p44 ? "p44.bmp" : "qfp44.bmp";
  s.ShowPlacement(picture);
  return true;
}

void AT90S8515::Init() {
  row_ = ChosenRow(kTypes);
  const char* design = "at90s8515dip40.bit";
  if (Plcc44Title()) {
    design = "at90s8515plcc44.bit";
    row_.vppPin = 8;
    row_.vccPin = 42;
    row_.contactMask = at90s40::kPlcc44Mask;
  }
  SetUp(kTypes.size(), design, "", 5000);
}

void AT90S8535::Init() {
  if (gLink.ModelNumber >= 6300 && gApp.TypeIndex > 0 && gApp.TypeIndex < 10) {
    gApp.TypeIndex += 10;
  }
  row_ = ChosenRow(kTypes);
  const int type = gApp.TypeIndex % 10;
  const char* design = nullptr;
  if (type == 1 || type == 2) {
    // No design of this set wires an AT90S4414/8515's supplies.
  } else if (Plcc44Title()) {
    design = "at90s8535plcc44.bit";
    row_.vppPin = 8;
    row_.vccPin = 42;
    row_.groundPin = 10;
    row_.contactMask = 0;
  } else if (gApp.TypeIndex < 10) {
    PlacementRequest picture;
    picture.pins = 40;
    picture.pin1Side = 1;
    services().ShowPlacement(picture);
    design = "at90s8535dip40.bit";
    row_.vppPin = 29;
    row_.vccPin = 30;
    row_.groundPin = 31;
  } else {
    design = "at90s8535dip40std.bit";
  }
  SetUp(kTypes.size(), design, "AT90S4414/8515: use set AT90S8515*请用AT90S8515算法", 5000);
}

bool AT90S8535::Enter() {
  const AvrType& t = Type();
  for (int i = 0; i < 2; ++i) {
    SelectGndPin(t.groundPin);
    SelectVccPin(t.vccPin);
  }
  EnterAfterPower();
  return true;
}

}  // namespace zelvar::avr
