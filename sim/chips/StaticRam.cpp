#include "sim/chips/StaticRam.h"

#include <array>

namespace zelvar::sim {

namespace {

ByteWidePinout Dip24() {
  ByteWidePinout s;
  s.pins = 24;
  s.address = {8, 7, 6, 5, 4, 3, 2, 1, 23, 22, 19};
  s.data = {9, 10, 11, 13, 14, 15, 16, 17};
  s.ground = {12};
  s.vcc = 24;
  s.ce = 18;
  s.oe = 20;
  s.we = 21;
  return s;
}

ByteWidePinout Dip28(int addressBits) {
  ByteWidePinout s;
  s.pins = 28;
  const std::vector<int> a = {10, 9, 8, 7, 6, 5, 4, 3, 25, 24, 21, 23, 2, 26, 1};
  s.address.assign(a.begin(), a.begin() + addressBits);
  s.data = {11, 12, 13, 15, 16, 17, 18, 19};
  s.ground = {14};
  s.vcc = 28;
  s.ce = 20;
  s.oe = 22;
  s.we = 27;
  return s;
}

// A16 on pin 2, A14 on 3, A15 on 31, A17 on 30, A18 on 1; WE# on 29.
ByteWidePinout Dip32(int addressBits) {
  return Dip32Pinout({12, 11, 10, 9, 8, 7, 6, 5, 27, 26, 23, 25, 4, 28, 3, 31, 2, 30, 1},
                     addressBits, 29);
}

struct RamSheet {
  std::string_view name;
  int pins;
  int addressBits;
  int vccMin, vccMax;
};
// 5 % parts ("AB") run from 4.75 V, 10 % parts ("Y") from 4.5 V; all rated 6 V at most.
constexpr std::array<RamSheet, 6> kSheets = {{
    {"DS1220AB", 24, 11, 4750, 5250},
    {"DS1225AB", 28, 13, 4750, 5250},
    {"DS1230Y", 28, 15, 4500, 5500},
    {"DS1245Y", 32, 17, 4500, 5500},
    {"DS1249Y", 32, 18, 4500, 5500},
    {"DS1250Y", 32, 19, 4500, 5500},
}};

}  // namespace

StaticRam::StaticRam(std::string_view name, ByteWidePinout pinout, std::uint32_t size)
    : ByteWideChip(std::string(name), std::move(pinout), size, 0x00) {}

void StaticRam::Write(Programmer&, std::uint32_t address, std::uint8_t data) {
  cells[address & (cells.size() - 1)] = data;
}

std::uint8_t StaticRam::Read(Programmer&, std::uint32_t address) {
  return cells[address & (cells.size() - 1)];
}

std::shared_ptr<StaticRam> MakeStaticRam(std::string_view part) {
  for (const RamSheet& s : kSheets) {
    if (s.name != part) continue;
    ByteWidePinout p = s.pins == 24   ? Dip24()
                       : s.pins == 28 ? Dip28(s.addressBits)
                                      : Dip32(s.addressBits);
    p.vccMin = s.vccMin;
    p.vccMax = s.vccMax;
    p.maxOther = 6000;
    return std::make_shared<StaticRam>(s.name, std::move(p), 1u << s.addressBits);
  }
  return nullptr;
}

}  // namespace zelvar::sim
