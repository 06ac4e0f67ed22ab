#include "algorithms/memory/FlashSet.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "link/Bitstream.h"
#include "link/ChipId.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr const char* kFlashTypeError = "Type error!";
}  // namespace

void CheckFlashRow(const FlashType& t, TypeTableReport& r) {
  constexpr int kSocket = 40;
  if (t.name.empty() && t.lastAddress == 0) return;  // a slot the set leaves unused
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(kFlashBitstream);
  r.SizeIsPowerOfTwo(t.lastAddress);
  if (t.lastAddress > 0xFFFFF) r.Fault("more address lines than the socket routine drives");
  r.MaskInSocket(t.contactMask, kSocket);
  if (t.vccPin != kFlashVccPin) r.Fault("VCC is not the package's top pin");
  if (t.vccMillivolts != 0 && (t.vccMillivolts < 2700 || t.vccMillivolts > 5500))
    r.Fault("VCC outside the 2.7 V to 5.5 V parts");
  if (t.eraseVppPin != 0) {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"erase VPP", t.eraseVppPin}}, {kBottomGroundPin},
                         kSocket);
    if (t.eraseVppPin < kFlashPin1 || t.eraseVppPin > kFlashVccPin)
      r.Fault("erase VPP pin off the package");
  }
}

void FlashSet::Init() {
  const FlashPolicy& pol = Policy();
  LoadBitstream(kFlashBitstream);
  if (pol.initHardware) InitHardwareState();
  SelectGndPin(kBottomGroundPin);
  vppMillivolts_ = pol.vppMillivolts;
  vccMillivolts_ = Type().vccMillivolts > 0 ? Type().vccMillivolts
                   : pol.vccFloor > 0       ? VccParam(pol.vccFloor)
                                            : 5000;
  SetVppVoltage(vppMillivolts_);
  SetVccVoltage(vccMillivolts_);
  readMode_ = kReadMode;
  writeMode_ = kWriteMode;
  lastAddress_ = Type().lastAddress;
}

bool FlashSet::PowerUp() {
  RestoreSupplies();
  SelectGndPin(kBottomGroundPin);
  SelectVccPin(Type().vccPin);
  return CheckPower();
}

// Every pin high but the ground pin: a driver held high against the ground switch would short
// the programmer's output.
void FlashSet::PinReset() {
  SelectVppPin(0);
  SelectVccPin(0);
  SetAllPins(false);
  for (std::uint8_t pin = 1; pin <= 40; ++pin) {
    if (pin != kBottomGroundPin) SetPinHigh(pin);
  }
  FlushCommands();
}

std::uint32_t FlashSet::RangeStart(FlashRange range) const {
  return range == FlashRange::Chosen ? std::min(Word(kRangeStartWord), Type().lastAddress) : 0;
}

std::uint32_t FlashSet::RangeEnd(FlashRange range) const {
  const std::uint32_t chipEnd = Type().lastAddress + 1;
  return range == FlashRange::WholeChip ? chipEnd : std::min(RangeEndExclusive(), chipEnd);
}

void FlashSet::Read() {
  SetPinLow(kFlashCePin);
  SetPinLow(kFlashOePin);
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetAddress(0);
  SetPinLow(kFlashOePin);
  SetPinLow(kFlashCePin);
  FlushCommands();
  lastAddress_ = Type().lastAddress;
  ReadIntoBuffer(lastAddress_, Policy().readStopsAtRangeEnd);
  SetAllPins(false);
  SelectVccPin(0);
  ShowProgress(-1);
}

void FlashSet::Blank() {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(kFlashCePin);
  SetPinLow(kFlashOePin);
  gLink.StatusWord = 0;
  // The whole chip, whatever the range.
  Scan s;
  s.last = Type().lastAddress;
  if (!CompareBlocks(s)) return;
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
}

void FlashSet::Verify() {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(kFlashCePin);
  SetPinLow(kFlashOePin);
  gLink.StatusWord = 0;
  Scan s;
  s.start = RangeStart(Policy().verify);
  s.end = RangeEnd(Policy().verify);
  s.last = s.end - s.start;
  s.expected = buffer_;
  s.progressByCounter = true;
  if (!CompareBlocks(s)) return;
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
}

void FlashSet::BeginProgramBlock(const Program& p) {
  SetPinHigh(kFlashWePin);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  SelectVppPin(p.vppPin);
}

void FlashSet::QueueProgramByte(std::uint8_t data, const Program&) {
  QueueCycles(kJedecProgram);
  CommandWrite(data);
  for (const std::uint8_t b : Policy().strobeTail) PutCmd1(b);
  PutCmd1(kCmdNextAddress);
}

// Chip address start + k takes buffer byte k, every block read back, nothing below the start or
// past the end programmed.
void FlashSet::Write() {
  if (!PowerUp()) return;
  PrepareWrite();
  gLink.StatusWord = 0;
  Program p;
  p.start = RangeStart(Policy().write);
  p.end = RangeEnd(Policy().write);
  p.last = p.end - p.start;
  p.data = buffer_;
  p.vppPin = WriteVppPin();
  p.programPin = kFlashWePin;
  if (!ProgramBlocks(p)) return;
  EndOfWrite();
}

void FlashSet::QueueSetupProgram(std::uint8_t data) {
  constexpr std::uint8_t kProgramSetup = 0x40;
  CommandWrite(kProgramSetup);
  CommandWrite(data);
  PutCmd1(kCmdNextAddress);
}

void FlashSet::StartChipErase() {
  SetRegister25(writeMode_);
  SetAddress(0);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  QueueCycles(kJedecChipErase);
  FlushCommands();
}

bool FlashSet::WaitForErase(int polls) {
  const std::uint32_t step = Type().lastAddress / static_cast<std::uint32_t>(polls);
  ShowProgress(0);
  for (int i = 1; i <= polls; ++i) {
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(i) * step));
    PutCmd1(kCmdErasePulse);
    FlushCommands();
    // The bus turns to an input before OE# lets the chip drive it.
    SetRegister25(readMode_);
    SetPinLow(kFlashOePin);
    if (ReadBusByte() & 0x80) return true;
  }
  return false;
}

bool FlashSet::IdentityMatches() {
  const auto& want = gApp.ExpectedId;
  if (want[0] == 0) return true;
  if (Policy().softwareId) {
    ReadSoftwareId();
  } else {
    RestoreSupplies();
    const int id = ReadChipId16(Type().vccPin, kFlashWePin);
    gApp.ReadId = {static_cast<std::uint8_t>(id), static_cast<std::uint8_t>(id >> 8), 0, 0};
  }
  if (gApp.ReadId[0] == want[0] && gApp.ReadId[1] == want[1]) return true;
  AddMessageLine(kFlashTypeError);
  gLink.StatusWord = 1;
  return false;
}

void FlashSet::ReadId() {
  if (!Policy().softwareId) return ReadSignature(Type().vccPin, kFlashWePin);
  ReadSoftwareId();
  char line[16];
  std::snprintf(line, sizeof line, "%02x,%02x", gApp.ReadId[0], gApp.ReadId[1]);
  AddMessageLine(line);
}

void FlashSet::ReadSoftwareId() {
  static constexpr BusCycle kIdEntry[] = {{kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0x90}};
  gApp.ReadId = {};
  if (!PowerUp()) return;
  PrepareIdEntry();
  SetRegister25(writeMode_);
  SetAddress(0);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  QueueCycles(kIdEntry);
  FlushCommands();
  // The bus turns to an input before OE# lets the chip drive it, and back after OE# is high.
  SetRegister25(readMode_);
  for (std::uint32_t a = 0; a < 2; ++a) {
    SetAddress(a);
    SetPinLow(kFlashOePin);
    gApp.ReadId[a] = ReadBusByte();
    SetPinHigh(kFlashOePin);
  }
  SetRegister25(writeMode_);
  CommandWrite(0xF0);
  FlushCommands();
  SelectVccPin(0);
  FlushCommands();
}

bool FlashSet::Run(int op) {
  switch (op) {
    case kOpBlank:
      Blank();
      return true;
    case kOpWrite:
      if (IdentityMatches()) Write();
      return true;
    case kOpVerify:
      Verify();
      return true;
    case kOpRead:
      Read();
      return true;
    default:
      break;
  }
  const auto own = OwnOperations();
  if (std::find(own.begin(), own.end(), op) == own.end()) return false;
  if (op != kOpReadId && !IdentityMatches()) return true;
  switch (op) {
    case kOpErase:
      Erase();
      break;
    case kOpUnProtect:
      UnProtect();
      break;
    case kOpLock:
      Lock();
      break;
    case kOpReadId:
      ReadId();
      break;
    default:
      return false;
  }
  return true;
}

}  // namespace zelvar::memory
