#include "algorithms/memory/FirmwareHub.h"

#include <algorithm>
#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/FirmwareHub.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace fwh;

namespace {
constexpr int kVccMillivolts = 3300;
constexpr int kVppMillivolts = 12000;
}  // namespace

void CheckFwhRow(const FwhType& t, TypeTableReport& r) {
  constexpr int kSocket = 40;
  if (t.name.empty() && t.lastAddress == 0) return;  // a row number the set leaves unused
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(kFwhBitstream);
  r.SizeIsPowerOfTwo(t.lastAddress);
  if (t.firstAddress > t.lastAddress || t.firstAddress % kBlockBytes != 0)
    r.Fault("first address outside the chip or off a block");
  r.MaskInSocket(t.contactMask, kSocket);
  if (t.vccPin != kFwhVccPin) r.Fault("VCC is not the package's top pin");
  if (t.vppPin != 0) {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {kBottomGroundPin}, kSocket);
    if (t.vppPin != kFwhVppPin) r.Fault("VPP is not chip pin 1");
  }
  if ((t.contactMask >> (t.vccPin - 1) & 1) == 0) r.Fault("contact mask without VCC");
  const std::uint32_t size = t.lastAddress + 1;
  if (t.sectorCount == 0) {
    if (t.blockBytes == 0 || size % t.blockBytes != 0 || t.firstAddress % t.blockBytes != 0)
      r.Fault("blocks do not tile the chip");
    return;
  }
  if (t.sectorCount > t.sectorKib.size() || t.sectorKib[0] != 0) {
    r.Fault("sector list does not start at 0");
    return;
  }
  for (std::size_t i = 1; i < t.sectorCount; ++i) {
    if (t.sectorKib[i] <= t.sectorKib[i - 1]) r.Fault("sector list not ascending");
  }
  if (std::uint32_t{t.sectorKib[t.sectorCount - 1]} * 1024 >= size)
    r.Fault("sector beyond the chip");
}

void FirmwareHubSet::Init() {
  LoadBitstream(kFwhBitstream);
  vccMillivolts_ = kVccMillivolts;
  vppMillivolts_ = Type().vppPin != 0 ? kVppMillivolts : 0;
  SetVccVoltage(vccMillivolts_);
  SelectGndPin(kBottomGroundPin);
  SetVppVoltage(vppMillivolts_);
  readMode_ = zor5103::kReadMode;
  writeMode_ = zor5103::kWriteMode;
  lastAddress_ = Type().lastAddress;
  if (Type().lastAddress == 0) AddMessageLine(frame::kNoSuchType);
}

TypeFacts FirmwareHubSet::Facts() const {
  return {.lastAddress = Type().lastAddress, .contactMask = Type().contactMask};
}

// A row number without a chip fails every operation, without touching the programmer.
bool FirmwareHubSet::Run(int op) {
  if (!Offers(op)) return false;
  if (Type().lastAddress == 0) {
    AddMessageLine(frame::kNoSuchType);
    gLink.StatusWord = 1;
    return true;
  }
  Handle(op);
  return true;
}

void FirmwareHubSet::SetAddress(std::uint32_t address) {
  WritePort(kAddressPortLow, static_cast<std::uint8_t>(address));
  WritePort(kAddressPortLow + 1, static_cast<std::uint8_t>(address >> 8));
  WritePort(kAddressPortLow + 2, static_cast<std::uint8_t>(address >> 16));
}

void FirmwareHubSet::ReadBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t bytes) {
  SetAddress(address);
  PutCmd1(fwh::kCmdReadBlock1k);
  FlushCommands();
  ReadSetBlock(dest, bytes);
}

void FirmwareHubSet::Line(std::uint8_t line, bool high) {
  WriteFpgaReg18(static_cast<std::uint8_t>(line | (high ? kLineHigh : 0)));
}

// The design's bus lets go before OE# falls, and OE# rises before the bus drives: the chip's
// outputs and the design's never meet.
void FirmwareHubSet::ReadMode() {
  Line(kLineBusRead, true);
  Line(kLineOutputEnable, false);
}
void FirmwareHubSet::CommandMode() {
  Line(kLineOutputEnable, true);
  Line(kLineBusRead, false);
}

bool FirmwareHubSet::PowerUp() {
  RestoreSupplies();
  SelectVppPin(0);
  SelectVccPin(0);
  PutCmd1(zelvar::kCmdSettle);
  SelectGndPin(kBottomGroundPin);
  SelectVccPin(Type().vccPin);
  if (!CheckPower()) return false;
  Line(kLineDrivers, true);
  Line(kLineRowColumn, true);
  Line(kLineWriteEnable, true);
  Line(kLineOutputEnable, true);
  Line(kLineParallelMode, true);
  Line(kLineReset, false);
  Line(kLineReset, true);
  SetAddress(0);
  ReadMode();
  EndPowerUp();
  FlushCommands();
  return true;
}

std::uint32_t FirmwareHubSet::ChipRangeEnd() const {
  return std::min(RangeEndExclusive(), Type().lastAddress + 1);
}

bool FirmwareHubSet::CompareAtChipAddresses(std::uint32_t from, std::uint32_t end, bool blank) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  for (std::uint32_t a = from; a < end; a += kBlockBytes) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(a, block, kBlockBytes);
    for (std::uint32_t j = 0; j < kBlockBytes && a + j < end; ++j) {
      const std::uint8_t want = blank ? 0xFF : buffer_[a + j];
      if (block[j] != want) {
        Fail(a + j, block[j]);
        return false;
      }
    }
  }
  return true;
}

void FirmwareHubSet::ReportId() {
  const std::uint8_t* id = gLink.ScratchBuffer.data();
  gApp.ReadId = {id[0], id[1], 0, 0};
  char line[32];
  std::snprintf(line, sizeof line, "MFG ID=%02x,%02x", id[0], id[1]);
  AddMessageLine(line);
}

}  // namespace zelvar::memory
