#pragma once
// A chip's catalogue line read from data/devices.txt: its set, row, '#' ID bytes and items, so
// that a wrong package, size or delay in the catalogue fails the tests that choose it.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

namespace zelvar::test {

struct CatalogueLine {
  std::string part;
  std::string key;
  int row = 0;
  std::map<std::string, int> items;
  std::array<std::uint8_t, 4> id{};
};

inline CatalogueLine FromCatalogue(const std::string& part) {
  CatalogueLine l;
  l.part = part;
  std::ifstream file(std::string(ZELVAR_SOURCE_DIR) + "/data/devices.txt");
  std::string line;
  while (std::getline(file, line)) {
    const std::string needle = " " + part + ",";
    const auto at = line.find(needle);
    if (at == std::string::npos) continue;
    std::istringstream in(
        line.substr(at + needle.size(), line.find(" |", at) - at - needle.size()));
    in >> l.key >> l.row;
    std::string item;
    int idByte = 0;
    while (in >> item) {
      if (item[0] == '#' || (idByte > 0 && idByte < 4 && item.find('=') == std::string::npos)) {
        l.id[static_cast<std::size_t>(idByte++)] =
            static_cast<std::uint8_t>(std::stoi(item.substr(item[0] == '#' ? 1 : 0), nullptr, 16));
        continue;
      }
      const auto eq = item.find('=');
      if (eq != std::string::npos)
        l.items[item.substr(0, eq + 1)] = std::stoi(item.substr(eq + 1), nullptr, 0);
    }
    return l;
  }
  ADD_FAILURE() << part << " has no catalogue line";
  return l;
}

}  // namespace zelvar::test
