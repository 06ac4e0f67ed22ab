#pragma once
// Loading an FPGA bitstream file into the programmer. The files lie in BLib/ (models 5104, 5105,
// 5148), BLib2/ (5106, 5107, 5108, 5149) or BLib3/ (6200 and above) of the program directory and
// go out in 64-byte packets: the register-34 command and 60 data bytes each.
#include <cstddef>
#include <cstdint>
#include <string>

namespace zelvar {

inline constexpr int kBitstreamPacketData = 60;
inline constexpr int kOldModelMaxPackets = 136;
inline constexpr int kNewModelMaxPackets = 533;
inline constexpr char kNoBitstream[] = "no_part";

// Sends the bitstream file `fileName` for the connected model. Models without FPGA (57, 411, and
// 0 when off-line) send nothing. Models 5106 and above skip the file that LastBitstream names.
// The queue is empty on return.
void LoadBitstream(const char* fileName);

// LastBitstream, after a detach "no_part": a replugged programmer's FPGA is empty. UI thread only.
const std::string& LoadedBitstream();

// Where the data sent begins: the first 0xFF among the first 100 bytes, else byte 99.
std::size_t BitstreamDataStart(const std::uint8_t* data, std::size_t size);

// Models 5104, 5105 and 5148: the first FPGA models, sent every bitstream again.
bool IsOldFpgaModel(int model);

// The folder of the connected model's bitstreams ("BLib/", "BLib2/", "BLib3/"), empty when it
// has no FPGA.
std::string BitstreamFolder(int model);

}  // namespace zelvar
