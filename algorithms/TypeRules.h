#pragma once
// What every algorithm set's type table shares: row 0 is the "???" placeholder and an index
// outside the table reads it; each family states once what must hold physically of its rows, and
// the type-table test walks the registry to check every row of every set against those rules.
#include <array>
#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "services/AppState.h"

namespace zelvar {

// The row of `table` chosen by TypeIndex; row 0 for an index outside rows 1..N.
template <class Row, std::size_t N>
const Row& ChosenRow(const std::array<Row, N>& table) {
  const int i = gApp.TypeIndex;
  return i > 0 && static_cast<std::size_t>(i) < N ? table[static_cast<std::size_t>(i)] : table[0];
}

// Socket pins from..to as a contact mask (bit n-1 = socket pin n), leaving out `except` (0: none).
constexpr std::uint64_t SocketPins(int from, int to, int except = 0) {
  std::uint64_t m = 0;
  for (int p = from; p <= to; ++p) {
    if (p != except) m |= std::uint64_t{1} << (p - 1);
  }
  return m;
}

// What a family's rules found in one set's table, and the bitstream files its rows load.
struct TypeTableReport {
  std::vector<std::string> faults;
  std::vector<std::string> bitstreams;
  int row = 0;  // the row being checked, named in each fault

  void Fault(const std::string& what) {
    faults.push_back("row " + std::to_string(row) + ": " + what);
  }
  // Each named pin lies in socket pins 1..socketPins, is none of `grounds` and no other of them.
  void DistinctSupplyPins(std::initializer_list<std::pair<std::string_view, int>> pins,
                          std::initializer_list<int> grounds, int socketPins) {
    for (auto a = pins.begin(); a != pins.end(); ++a) {
      const std::string name(a->first);
      if (a->second < 1 || a->second > socketPins) Fault(name + " pin outside the socket");
      for (int g : grounds) {
        if (a->second == g) Fault(name + " pin is the ground pin");
      }
      for (auto b = a + 1; b != pins.end(); ++b) {
        if (a->second == b->second) Fault(name + " pin is the " + std::string(b->first) + " pin");
      }
    }
  }
  // A last address one below a power of two.
  void SizeIsPowerOfTwo(std::uint32_t last) {
    if (last == 0 || ((last + 1) & last) != 0) Fault("last address is not a power of two less one");
  }
  // A contact mask with no bit beyond the socket.
  void MaskInSocket(std::uint64_t mask, int socketPins) {
    if (socketPins < 64 && (mask >> socketPins) != 0) Fault("contact mask beyond the socket");
  }
};

}  // namespace zelvar
