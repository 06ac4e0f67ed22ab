// Writes the IC tester's libraries TTL74.LIB, CMOS40.LIB and CMOS45.LIB into the directory named
// on the command line, from the truth-table source compiled into the simulator
// (data/logic/LogicChips.txt). Fails when a chip's test could not tell a stuck output.
//
// A library is a run of chip records and an end record whose first byte is 'E'. A record is a
// 7-byte header (the chip number as decimal text in bytes 0-2, pin masks in bytes 3 and 6, the
// vector count in byte 5) and 9-byte vectors: flags (0 compare, 0x80 drive only, 0x40 a repeat
// marker with its count in bytes 4 and 5), the package code in bytes 1 and 2, the drive image of
// socket pins 9-32 in bytes 5, 4, 3 (low byte first: bit k is socket pin 9 + k, as the ictest
// design lays it out) and the expected read-back in bytes 8, 7, 6. An alias is a record without
// vectors, written just before the record whose logic it shares.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "sim/chips/LogicSheet.h"

namespace {

using namespace zelvar::sim::logic;

// Socket pin of chip pin `k` of an `n`-pin chip at the bottom of the socket.
int SocketPin(int n, int k) {
  return k <= n / 2 ? 20 - n / 2 + k : 20 + k - n / 2;
}

struct PackageCode {
  std::uint8_t b1, b2;
};
PackageCode CodeOf(int pins) {
  switch (pins) {
    case 14:
      return {0x20, 0x40};
    case 16:
      return {0x20, 0x80};
    case 20:
      return {0x22, 0x00};
    default:
      return {0x00, 0x24};
  }
}

// The 24-bit image of socket pins 9-32: pins outside the chip and the chip's outputs and supply
// held at 1 (released), its ground bit 0.
std::uint32_t Image(const ChipDef& c, const std::vector<Level>& levels) {
  std::uint32_t image = 0xFFFFFF & ~(1u << 11);
  for (int k = 1; k <= c.pins; ++k) {
    const int bit = SocketPin(c.pins, k) - 9;
    if (k == c.GroundPin()) continue;
    if (levels[k] == L0) image &= ~(1u << bit);
  }
  return image;
}

std::uint8_t HighMask(const ChipDef& c, const std::vector<int>& pins) {
  std::uint8_t m = 0;
  for (const int k : pins) {
    const int bit = SocketPin(c.pins, k) - 9;
    if (bit >= 16) m |= static_cast<std::uint8_t>(1 << (bit - 16));
  }
  return m;
}

void Header(std::vector<std::uint8_t>& out, const ChipDef& c, int vectors) {
  char number[8];
  std::snprintf(number, sizeof number, "%02d", c.number);
  std::uint8_t h[7] = {};
  for (int i = 0; i < 3 && number[i]; ++i) h[i] = static_cast<std::uint8_t>(number[i]);
  h[3] = HighMask(c, c.Inputs());
  h[5] = static_cast<std::uint8_t>(vectors);
  h[6] = HighMask(c, c.Outputs());
  out.insert(out.end(), h, h + 7);
}

bool WriteRecord(std::vector<std::uint8_t>& out, const ChipDef& c) {
  const std::vector<TestStep> steps = MakeTestSequence(c);
  if (steps.size() > 255) {
    std::cerr << c.library << " " << c.number << ": " << steps.size() << " vectors\n";
    return false;
  }
  // Every output must be seen at both levels in compared steps, or a stuck one would pass.
  for (const int o : c.Outputs()) {
    bool seen[2] = {false, false};
    for (const TestStep& s : steps) {
      if (s.compare && s.repeat == 0) seen[s.expect[o] == L1] = true;
    }
    if (!seen[0] || !seen[1]) {
      std::cerr << c.library << " chip " << c.number << ": output pin " << o
                << " is never compared at both levels\n";
      return false;
    }
  }
  Header(out, c, static_cast<int>(steps.size()));
  const PackageCode code = CodeOf(c.pins);
  for (const TestStep& s : steps) {
    std::uint8_t v[9] = {};
    if (s.repeat > 0) {
      v[0] = 0x40;
      v[4] = static_cast<std::uint8_t>(s.repeat >> 8);
      v[5] = static_cast<std::uint8_t>(s.repeat & 0xFF);
    } else {
      const std::uint32_t drive = Image(c, s.drive);
      const std::uint32_t expect = Image(c, s.expect);
      v[0] = s.compare ? 0x00 : 0x80;
      v[1] = code.b1;
      v[2] = code.b2;
      v[5] = static_cast<std::uint8_t>(drive);
      v[4] = static_cast<std::uint8_t>(drive >> 8);
      v[3] = static_cast<std::uint8_t>(drive >> 16);
      v[8] = static_cast<std::uint8_t>(expect);
      v[7] = static_cast<std::uint8_t>(expect >> 8);
      v[6] = static_cast<std::uint8_t>(expect >> 16);
    }
    out.insert(out.end(), v, v + 9);
  }
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: zelvar_iclib OUTPUT_DIRECTORY\n";
    return 2;
  }
  try {
    const auto& chips = Chips();
    for (const char* library : {"TTL74", "CMOS40", "CMOS45"}) {
      std::vector<std::uint8_t> out;
      int count = 0;
      for (const ChipDef& c : chips) {
        if (c.library != library || c.aliasOf >= 0) continue;
        for (const ChipDef& a : chips) {
          if (a.library == library && a.aliasOf == c.number) {
            Header(out, a, 0);
            ++count;
          }
        }
        if (!WriteRecord(out, c)) return 1;
        ++count;
      }
      // Search leaves out the last two records: two that name no chip go there, with no vectors.
      for (int k = 0; k < 2; ++k) {
        const std::uint8_t pad[7] = {'9', '9', '9', 0, 0, 0, 0};
        out.insert(out.end(), pad, pad + 7);
      }
      const std::uint8_t end[7] = {'E', 0, 0, 0, 0, 0, 0};
      out.insert(out.end(), end, end + 7);
      const std::string path = std::string(argv[1]) + "/" + library + ".LIB";
      std::ofstream f(path, std::ios::binary);
      f.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
      if (!f) {
        std::cerr << "cannot write " << path << "\n";
        return 1;
      }
      std::cout << path << ": " << count << " chips, " << out.size() << " bytes\n";
    }
  } catch (const std::exception& e) {
    std::cerr << e.what() << "\n";
    return 1;
  }
  return 0;
}
