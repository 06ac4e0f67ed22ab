#pragma once
// The programmer's 10-pin in-system header as the serial-EEPROM header designs ("i2c24isp.bit",
// "at25isp.bit") wire it. Its pin numbers are those of the placement picture: odd pins 1 to 9 in
// one row, even pins 2 to 10 in the other.
// - The even pins are the programmer's ground, always grounded.
// - The odd pins are wired to socket pins 19 to 23 in order: header pin n on socket pin
//   18 + (n + 1) / 2, so that header pin 7 is socket pin 22, the VCC pin the sets select in
//   in-system mode. The socket stays empty while the header is in use.
#include <initializer_list>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

constexpr int IspHeaderSocketPin(int headerPin) {
  if (headerPin < 1 || headerPin > 10) return 0;
  return headerPin % 2 == 0 ? Programmer::kHeaderGround : 18 + (headerPin + 1) / 2;
}

// The wiring PlaceChipWired takes for a chip whose pin k goes to header pin
// `headerPinOfChipPin[k - 1]` (0: not wired on the board).
inline std::vector<int> IspHeaderWiring(std::initializer_list<int> headerPinOfChipPin) {
  std::vector<int> wiring;
  for (const int h : headerPinOfChipPin) wiring.push_back(IspHeaderSocketPin(h));
  return wiring;
}

}  // namespace zelvar::sim
