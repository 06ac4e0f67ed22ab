#include "app/core/ictest/IcLibrary.h"

#include <cstdio>
#include <fstream>
#include <iterator>

namespace zelvar {

const char* IcLibraryFile(int item) {
  static const char* const kFiles[] = {"TTL74.LIB", "CMOS40.LIB", "CMOS45.LIB"};
  return kFiles[item >= 0 && item <= 2 ? item : 0];
}

std::uint8_t* IcLibrary::Vector(std::uint32_t offset, int index) {
  const std::size_t at = std::size_t{offset} + kIcHeaderSize + std::size_t(index) * kIcVectorSize;
  if (index < 0 || at + kIcVectorSize > data.size()) return nullptr;
  return data.data() + at;
}

int IcSupplyPin(std::uint8_t b1, std::uint8_t b2) {
  if (b1 == 0x20 && b2 == 0x40) return 27;
  if (b1 == 0x20 && b2 == 0x80) return 28;
  if (b1 == 0x22 && b2 == 0x00) return 30;
  if (b1 == 0x00 && b2 == 0x24) return 32;
  return 0;
}

int IcChipNumber(const std::uint8_t* header) {
  // Only bytes 0 to 2 hold the number; byte 3 is a mask that may look like a digit.
  int n = 0;
  for (int i = 0; i < 3 && header[i] >= '0' && header[i] <= '9'; ++i)
    n = n * 10 + (header[i] - '0');
  return n;
}

std::string IcChipName(int item, int number) {
  if (number == kIcEndRecordNumber) return "-";
  char text[16];
  const char* format = item == 1 ? "40%02d" : item == 2 ? "45%02d" : "74xx%02d";
  std::snprintf(text, sizeof text, format, number);
  return text;
}

namespace {

// The bit of the supply pin in the port-3 masks.
std::uint8_t SupplyBit(int pin) {
  switch (pin) {
    case 27:
      return 0x04;
    case 28:
      return 0x08;
    case 30:
      return 0x20;
    case 32:
      return 0x80;
    default:
      return 0;
  }
}

// Fits one drive or read-back image to the ports: the low byte's bit 3 (socket pin 20, ground)
// goes, the middle byte closes up and takes the high byte's bit 0, the high byte shifts down.
void Shuffle(std::uint8_t& middle, std::uint8_t& high) {
  middle = static_cast<std::uint8_t>((middle & 7) | ((middle >> 1) & 0x78) | ((high & 1) << 7));
  high = static_cast<std::uint8_t>(high >> 1);
}

}  // namespace

IcLibrary ParseIcLibrary(std::vector<std::uint8_t> data, int item) {
  IcLibrary lib;
  lib.data = std::move(data);
  std::vector<std::uint8_t>& d = lib.data;
  std::size_t at = 0;
  while (at + kIcHeaderSize <= d.size() && d[at] != 'E') {
    std::uint8_t* h = d.data() + at;
    const std::size_t n = h[5];
    const std::size_t end = at + kIcHeaderSize + n * kIcVectorSize;
    if (end > d.size()) {
      lib.problem =
          "The library ends inside a chip record; the rest is left "
          "out.*库文件不完整，其余部分未载入。";
      break;
    }
    if (lib.chips.size() == kMaxIcChips) {
      lib.problem =
          "The library holds more than 1000 chips; the rest are left "
          "out.*库文件超过1000个型号，其余未载入。";
      break;
    }
    IcChip chip;
    chip.offset = static_cast<std::uint32_t>(at);
    chip.vectors = static_cast<std::uint32_t>(n);
    chip.number = static_cast<std::uint32_t>(IcChipNumber(h));
    if (n > 0)
      chip.supplyPin =
          static_cast<std::uint8_t>(IcSupplyPin(h[kIcHeaderSize + 1], h[kIcHeaderSize + 2]));
    if ((h[0] & kIcRepeatFlag) == 0) {
      h[3] |= SupplyBit(chip.supplyPin);
      h[6] |= SupplyBit(chip.supplyPin);
    }
    for (std::size_t v = 0; v < n; ++v) {
      std::uint8_t* x = h + kIcHeaderSize + v * kIcVectorSize;
      if (x[0] & kIcRepeatFlag) continue;
      Shuffle(x[4], x[3]);
      Shuffle(x[7], x[6]);
    }
    lib.chips.push_back(chip);
    lib.names.push_back(IcChipName(item, chip.number));
    at = end;
  }
  // A chip without vectors is a second name for the chip after it; the last has none to borrow.
  for (std::size_t i = lib.chips.size(); i-- > 1;) {
    IcChip& c = lib.chips[i - 1];
    if (c.vectors == 0) {
      const IcChip& next = lib.chips[i];
      c.offset = next.offset;
      c.vectors = next.vectors;
      c.supplyPin = next.supplyPin;
    }
  }
  return lib;
}

bool ReadIcLibrary(const std::string& path, int item, IcLibrary& out) {
  std::ifstream f(path, std::ios::binary);
  if (!f) return false;
  std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(f)),
                                 std::istreambuf_iterator<char>());
  out = ParseIcLibrary(std::move(data), item);
  return true;
}

}  // namespace zelvar
