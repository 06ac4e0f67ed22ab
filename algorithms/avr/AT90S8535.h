#pragma once
// "AT90S8535": the AT90S4434 and AT90S8535 by the word-write engine, in the 40-pin DIP or, by a
// "*P44" or "*Q44" title, on the 44-pin adapter ("at90s8535plcc44.bit": RESET, VCC and GND on
// socket pins 8, 42 and 10, no contact test). In the DIP, models 6300 and up use rows 11-14
// ("at90s8535dip40std.bit", the chip's own RESET, VCC and GND pins 9-11); older models rows 1-4
// ("at90s8535dip40.bit", the chip turned round so that they land in socket pins 29-31). The
// AT90S4414/8515 rows are refused: their pins 9-11 and 29-31 are RESET and port pins, not the
// supplies; set "AT90S8515" serves them.
#include <array>

#include "algorithms/avr/AT90S8515.h"

namespace zelvar::avr {

class AT90S8535 final : public at90s40::At90s40Set {
 public:
  static constexpr AvrType k4414{.name = "1: AT90S4414",
                                 .vppPin = 9,
                                 .vccPin = 40,
                                 .groundPin = 20,
                                 .codeLast = 0xFFF,
                                 .eepromLast = 0xFF,
                                 .contactMask = SocketPins(1, 40)};
  static constexpr AvrType k8515{.name = "2: AT90S8515",
                                 .vppPin = 9,
                                 .vccPin = 40,
                                 .groundPin = 20,
                                 .codeLast = 0x1FFF,
                                 .eepromLast = 0x1FF,
                                 .contactMask = SocketPins(1, 40)};
  static constexpr AvrType k4434{.name = "3: AT90S4434",
                                 .vppPin = 9,
                                 .vccPin = 10,
                                 .groundPin = 11,
                                 .codeLast = 0xFFF,
                                 .eepromLast = 0xFF,
                                 .contactMask = SocketPins(1, 40)};
  static constexpr AvrType k8535{.name = "4: AT90S8535",
                                 .vppPin = 9,
                                 .vccPin = 10,
                                 .groundPin = 11,
                                 .codeLast = 0x1FFF,
                                 .eepromLast = 0x1FF,
                                 .contactMask = SocketPins(1, 40)};
  // The same rows twice, at 1-4 and at 11-14; rows 5-9 are gaps the set-up refuses.
  static constexpr std::array<AvrType, 15> kTypes = {{
      {.name = "Exit"},
      k4414,
      k8515,
      k4434,
      k8535,
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      k4414,
      k8515,
      k4434,
      k8535,
  }};

 private:
  static constexpr HvParallelPolicy kPolicy{.flushBeforeSamples = false,
                                            .settleBeforeDirection = true};
  const HvParallelPolicy& Policy() const override { return kPolicy; }
  void Init() override;
  bool Enter() override;
};

}  // namespace zelvar::avr
