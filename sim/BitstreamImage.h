#pragma once
// Our stand-in bitstream files. The programmer's real FPGA designs are not ours, so a file holds a
// short text header, then the first 0xFF byte (where the loader starts sending), the line
// "ZBIT1 <tag>\n" naming the design the simulated programmer then runs, and "END\n". What the
// programmer receives is whole when the end line arrived and only padding zeros follow it.
// The build writes the files from data/bitstreams.txt (data/MakeBitstreams.cmake).
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zelvar::sim {

struct BitstreamImage {
  std::string tag;     // the design's tag, empty when the data is not one of our files
  bool whole = false;  // the end line arrived and nothing but padding followed
};

// Reads the data as the programmer rebuilt it from the packets (from the 0xFF byte on).
BitstreamImage ParseBitstream(const std::vector<std::uint8_t>& data);

// The bytes of a stand-in file for `tag`, header included, as the build writes them.
std::vector<std::uint8_t> MakeStandInBitstream(std::string_view tag);

}  // namespace zelvar::sim
