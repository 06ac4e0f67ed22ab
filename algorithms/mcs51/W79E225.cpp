#include "algorithms/mcs51/W79E225.h"

#include <algorithm>
#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {
constexpr std::uint8_t kReadAp = 0, kProgramAp = 1, kReadLoader = 0x40, kProgramLoader = 0x41,
                       kReadData = 0xC0, kProgramData = 0xC1;
constexpr std::uint8_t kCmdSettle = 27;
}  // namespace

void W79E225::CheckRow(const IcpType& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) return;
  r.bitstreams.emplace_back(t.bitstream);
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"ground", t.groundPin}}, {}, 40);
  r.MaskInSocket(t.contactMask, 40);
  if (t.vppPin != 0) r.Fault("a VPP pin on a chip that takes none");
}

// Powered with the select lines 8 to 10 low, a pulse on line 6, then the select lines high.
void W79E225::Enter() {
  SelectVccPin(0);
  for (int n : {7, 6, 1, 2, 3, 8, 9, 10}) Line(n, false);
  Line(4, true);
  Line(5, true);
  SelectVccPin(Row().vccPin);
  Line(6, true);
  PutCmd1(kCmdSettle);
  Line(6, false);
  PutCmd1(kCmdSettle);
  for (int n : {8, 9, 10}) Line(n, true);
  FlushCommands();
}

bool W79E225::LoaderDataLeftOut(bool verify) {
  if (LoaderOn()) return false;
  for (std::uint32_t a = ApSize(); a < ApSize() + kLoaderSize; ++a) {
    const unsigned held = buffer_[a];
    if (held == 0xFF) continue;
    gLink.StatusWord = 1;
    gLink.FailAddress = a;
    gLink.FailByte = 0xFF;
    char line[256];
    if (verify) {
      std::snprintf(line, sizeof line,
                    "Verify error at %05X: the buffer holds %02X in the loader flash, which \"No "
                    "LD\" leaves out*校验错误 %05X: 缓冲区为 %02X, 在不写的加载程序区",
                    a, held, a, held);
    } else {
      std::snprintf(line, sizeof line,
                    "The buffer holds %02X at %05X in the loader flash, which \"No LD\" leaves "
                    "out: nothing written*缓冲区 %05X 为 %02X, 在不写的加载程序区: 未写入",
                    held, a, a, held);
    }
    AddMessageLine(line);
    return true;
  }
  return false;
}

bool W79E225::ScanArray(Mcs51Set::Scan kind, std::uint8_t command, std::uint32_t first,
                        std::uint32_t length) {
  if (length == 0) return true;
  SetAddress(0);
  SetCommand(command);
  const Fetch fetch = [this](std::uint32_t a, std::uint8_t* dest) {
    ReadBlock(static_cast<std::uint16_t>(a), dest);
  };
  return ScanBlocks(kind, first, first + length - 1, Policy().block, fetch);
}

bool W79E225::Scan(Mcs51Set::Scan kind, bool reenter) {
  if (!CheckPower()) return false;
  if (!ScanArray(kind, kReadAp, 0, ApSize())) return false;
  if (LoaderOn()) {
    if (reenter) {
      SelectVccPin(0);
      Enter();
    }
    if (!ScanArray(kind, kReadLoader, ApSize(), kLoaderSize)) return false;
  }
  FinishScan();
  return true;
}

// Without the loader the buffer's loader window holds nothing read: 0xFF.
void W79E225::Read() {
  Enter();
  if (Scan(Mcs51Set::Scan::Read, true) && !LoaderOn()) {
    std::fill(buffer_ + ApSize(), buffer_ + ApSize() + kLoaderSize, std::uint8_t{0xFF});
  }
}

void W79E225::Blank() {
  Enter();
  Scan(Mcs51Set::Scan::Blank, false);
}

void W79E225::Verify() {
  if (LoaderDataLeftOut(true)) return;
  Enter();
  Scan(Mcs51Set::Scan::Verify, false);
}

void W79E225::Write() {
  if (LoaderDataLeftOut(false)) return;
  Enter();
  if (!CheckPower()) return;
  WriteRange(0, 0, ApSize(), kProgramAp, 0);
  if (LoaderOn()) {
    SelectVccPin(0);
    Enter();
    WriteRange(0, ApSize(), kLoaderSize, kProgramLoader, static_cast<int>(ApSize()));
  }
  ShowProgress(-1);
}

// The data flash starts at chip address 0 and at DataStart in the buffer.
void W79E225::ReadData() {
  Enter();
  if (!CheckPower()) return;
  if (ScanArray(Mcs51Set::Scan::Read, kReadData, DataStart(), dataLength_)) FinishScan();
}

void W79E225::WriteData() {
  Enter();
  if (!CheckPower()) return;
  WriteRange(0, DataStart(), dataLength_, kProgramData, 0);
  ShowProgress(-1);
}

}  // namespace zelvar::mcs51
