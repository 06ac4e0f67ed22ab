#include "link/Bitstream.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <vector>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/Usb.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar {

namespace {

constexpr std::size_t kHeaderScan = 100;

// The file's bytes up to `limit` (nothing past it is ever sent), or false when it is not a file
// that opens.
bool ReadFile(const std::string& path, std::size_t limit, std::vector<std::uint8_t>& bytes) {
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) return false;
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  bytes.resize(limit);
  in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(limit));
  bytes.resize(static_cast<std::size_t>(in.gcount()));
  return true;
}

// Enough bytes for the header and every packet, and one more to tell a cut file from one that
// ends in the last packet.
constexpr std::size_t ReadLimit(int maxPackets) {
  return kHeaderScan + static_cast<std::size_t>(maxPackets) * kBitstreamPacketData + 1;
}

std::string BitstreamPath(const std::string& folder, const char* fileName) {
  std::string path = gApp.ProgramDir;
  if (!path.empty() && path.back() != '/') path += '/';
  return path + folder + fileName;
}

// Sends packet after packet from `pos` until the packet in which a read went past the end of the
// data, or `maxPackets`. The end shows only when a read passes it, so data ending on a packet
// boundary is followed by a packet of zeros. `step` runs before each packet with its number.
template <typename Step>
void SendPackets(const std::vector<std::uint8_t>& data, std::size_t pos, int maxPackets,
                 Step step) {
  for (int n = 0; n < maxPackets; ++n) {
    step(n);
    PutCmd4(kCmdSetRegister, kBitstreamDataRegister, 0, 0);
    bool ended = false;
    for (int i = 0; i < kBitstreamPacketData; ++i) {
      if (pos < data.size()) {
        PutCmd1(data[pos++]);
      } else {
        ended = true;
        PutCmd1(0);
      }
    }
    FlushCommands();
    if (ended) return;
  }
}

void NotFound() {
  ShowMessageText("Not find bit file! *缺bit文件!");
}

}  // namespace

std::size_t BitstreamDataStart(const std::uint8_t* data, std::size_t size) {
  const std::size_t scan = std::min(size, kHeaderScan);
  const auto* ff = std::find(data, data + scan, 0xFF);
  return ff != data + scan ? static_cast<std::size_t>(ff - data) : kHeaderScan - 1;
}

bool IsOldFpgaModel(int model) {
  return model == 5104 || model == 5105 || model == 5148;
}

std::string BitstreamFolder(int model) {
  if (IsOldFpgaModel(model)) return "BLib/";
  if (model == 5106 || model == 5107 || model == 5108 || model == 5149) return "BLib2/";
  if (model >= 6200) return "BLib3/";
  return "";
}

const std::string& LoadedBitstream() {
  if (TakeDetach()) gLink.LastBitstream = kNoBitstream;
  return gLink.LastBitstream;
}

void LoadBitstream(const char* fileName) {
  LoadedBitstream();
  const int model = gLink.ModelNumber;
  const std::string folder = BitstreamFolder(model);
  if (folder.empty()) return;
  const std::string path = BitstreamPath(folder, fileName);
  std::vector<std::uint8_t> data;

  if (IsOldFpgaModel(model)) {
    if (!ReadFile(path, ReadLimit(kOldModelMaxPackets), data)) {
      // The program goes on with the buffer intact; operations stay refused until a set-up
      // loads a bitstream.
      NotFound();
      gLink.LastBitstream = kNoBitstream;
      return;
    }
    gLink.LastBitstream = path;
    SetRegister(kBitstreamStartRegister, 0);
    FlushCommands();
    SendPackets(data, BitstreamDataStart(data.data(), data.size()), kOldModelMaxPackets,
                [](int) {});
    SetRegister(kBitstreamEndRegister, 0);
    if (ReadReply64(gLink.ScratchBuffer.data()) == 0) {
      AddMessageLine("Load bit status error!(FPGA bit status error!)");
    }
    SelectVppPin(0);
    return;
  }

  if (path == gLink.LastBitstream) return;
  if (!ReadFile(path, ReadLimit(kNewModelMaxPackets), data)) {
    // The FPGA still holds the previous chip's logic: operations stay refused until a set-up
    // loads a bitstream, as on the first models.
    NotFound();
    gLink.LastBitstream = kNoBitstream;
    return;
  }
  // Recorded before anything is sent, so that a later load of the same file is skipped even when
  // this one fails below.
  gLink.LastBitstream = path;
  SetRegister(kBitstreamStartRegister, 0);
  FlushCommands();
  if (ReadReply64(gLink.ScratchBuffer.data()) == 0) {
    AddMessageLine("Not find FPGA! *FPGA 故障!");
    gLink.LastBitstream = kNoBitstream;
    return;
  }
  services().ShowBusy("Load bit");
  SendPackets(data, BitstreamDataStart(data.data(), data.size()), kNewModelMaxPackets, [](int n) {
    if (n % 64 == 0) services().StepBusy(n);
  });
  services().HideBusy();
}

}  // namespace zelvar
