#include "algorithms/mcs51/ParallelEngine.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

void ParallelSet::SetAddress(std::uint32_t address) {
  low_ = static_cast<std::uint8_t>(address);
  WritePort(0, low_);
  const auto& pins = Address().high;
  for (std::size_t i = 0; i < pins.size(); ++i) {
    if (pins[i] != 0) SetPinLevel((address >> (8 + i)) & 1, pins[i]);
  }
}

void ParallelSet::NextAddress() {
  ++low_;
  WritePort(0, low_);
}

void ParallelSet::SetMode(const ModeLines& lines, Mode mode) {
  for (std::size_t i = 0; i < lines.pins.size() && mode.levels[i] != '\0'; ++i) {
    if (mode.levels[i] != '-') SetPinLevel(mode.levels[i] == '1', lines.pins[i]);
  }
}

void ParallelSet::ControlLevels() {
  SetPinHigh(kRstPin);
  SetPinLow(kPsenPin);
  SetPinHigh(kProgPin);
  SetPinHigh(gMcs51.ChipVppPin);
}

void ParallelSet::ProgramByte(std::uint8_t data, const Strobe& strobe) {
  PutCmd2(kCmdDataByte, data);
  if (strobe.framePin) SetPinHigh(strobe.framePin);
  for (int i = 0; i < strobe.pulses; ++i) {
    SetPinLow(kProgPin);
    if (strobe.pulseWait) PutCmd1(strobe.pulseWait);
    SetPinHigh(kProgPin);
  }
  const int waits = strobe.afterCount + (Word(kSpeedWord) == 1 ? strobe.slowerExtra : 0);
  for (int i = 0; i < waits; ++i) PutCmd1(strobe.afterWait);
  if (strobe.framePin) SetPinLow(strobe.framePin);
}

void ParallelSet::CheckRow(const ParallelType& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.lastAddress < 0xFF || t.lastAddress > 0xFFFF) r.Fault("size outside the 16 address lines");
  if ((t.lastAddress & 0xFF) != 0xFF) r.Fault("size not whole 256-byte blocks");
  for (const Package& p : {kDip40, kPlcc44}) {
    r.DistinctSupplyPins(
        {{"VCC", p.vccPin}, {"VPP", p.vppPin}, {"PROG", kProgPin}, {"RST", kRstPin}}, {p.groundPin},
        48);
    if ((p.contactMask >> (p.vccPin - 1) & 1) == 0 && p.vccPin <= 40) r.Fault("VCC pin unchecked");
    r.bitstreams.emplace_back(p.bitstream);
  }
}

bool ParallelSet::SetUp(std::size_t rows, const Package& plcc, int vccMillivolts, int vppMillivolts,
                        int firstRow) {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(rows), firstRow)) return false;
  UsePackage(TitleNamesPlcc44() ? plcc : kDip40);
  SelectGndPin(gApp.GroundPin);
  vccMillivolts_ = vccMillivolts;
  vppMillivolts_ = vppMillivolts;
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
  SetVppVoltage(vppMillivolts_);
  return true;
}

bool ParallelSet::EnterRead(const ModeLines& lines, Mode mode) {
  SetRegister25(kBusRead);
  SetMode(lines, mode);
  SetAddress(0);
  FlushCommands();
  return CheckPower();
}

bool ParallelSet::VppOn() {
  SelectVppPin(gMcs51.ChipVppPin);
  return CheckPower();
}

void ParallelSet::LogId(const char* format, int count) {
  const auto& id = gApp.ReadId;
  char line[80];
  if (count == 2) {
    std::snprintf(line, sizeof line, format, id[0], id[1]);
  } else {
    std::snprintf(line, sizeof line, format, id[0], id[1], id[2]);
  }
  AddMessageLine(line);
}

void ParallelSet::ReadBlockAt(std::uint32_t address, std::uint8_t* dest) {
  SetAddress(address);
  ReadBlock256(dest);
}

bool ParallelSet::ScanCode(Scan kind) {
  return ScanBlocks(kind, 0, LastAddress(), 256,
                    [this](std::uint32_t a, std::uint8_t* dest) { ReadBlockAt(a, dest); });
}

void ParallelSet::WriteBytes(std::uint32_t first, std::uint32_t last, std::uint32_t cadence,
                             const Strobe& strobe) {
  for (std::uint32_t a = first; a <= last; ++a) {
    if ((a - first) % cadence == 0) {
      FlushCommands();
      ShowProgress(static_cast<int>(a));
      SetAddress(a);
    }
    ProgramByte(buffer_[a], strobe);
    NextAddress();
  }
  FlushCommands();
}

void ParallelSet::SignatureBytes(std::span<const std::uint8_t> offsets) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlockAt(0, block);
  gApp.ReadId = {};
  for (std::size_t i = 0; i < offsets.size() && i < gApp.ReadId.size(); ++i) {
    gApp.ReadId[i] = block[offsets[i]];
  }
}

void ParallelSet::IdBytesAt(std::span<const std::uint32_t> addresses) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  gApp.ReadId = {};
  for (std::size_t i = 0; i < addresses.size() && i < gApp.ReadId.size(); ++i) {
    ReadBlockAt(addresses[i], block);
    gApp.ReadId[i] = block[0];
  }
}

}  // namespace zelvar::mcs51
