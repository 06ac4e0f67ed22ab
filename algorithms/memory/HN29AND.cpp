#include "algorithms/memory/HN29AND.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "algorithms/memory/FpgaFlashBus.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/F640.h"
#include "link/commands/P29F640.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace p29f640;
using namespace fpga_flash;

namespace {
constexpr const char* kBadPkg = "No adapter for this pkg= value! *pkg=值没有对应的适配器!";
constexpr const char* kBadWe0 =
    "we0= is not a program command of this adapter! *we0=不是此适配器的编程命令!";
constexpr const char* kNoErase = "Erase is not supported for this package! *此封装不支持擦除!";
constexpr const char* kEraseFailed = "Erase failed! *擦除失败!";
constexpr const char* kTypeError = "Type error!";
constexpr int kVccMillivolts = 3300;
constexpr std::uint32_t kScanBlockBytes = 8192;
constexpr std::uint32_t kReadBlockBytes = 2048;
constexpr std::uint32_t kWriteProgressBytes = 16384;

constexpr const char* kList[] = {
    "$Fonc:",     "21 Erase",  "22 Blank",        "23 Write",
    "24 Verify",  "$DisTool:", "25,26,29,30,31,", "$Gridw:Addr space(地址范围)",
    "Addr start", "0000",      "Addr end",        "0FFFFFF",
    "$end"};
}  // namespace

void CheckHN29ANDRow(const HN29ANDType& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  if (t.name.empty()) r.Fault("no caption");
  r.SizeIsPowerOfTwo(t.lastAddress);
  r.DistinctSupplyPins({{"VCC", t.vccPin}}, {HN29AND::kGroundPin}, kSocket);
  if (t.resetPin != 0) {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"reset", t.resetPin}}, {HN29AND::kGroundPin},
                         kSocket);
  }
  r.MaskInSocket(t.contactMask, kSocket);
  // The packages' bitstreams, once for the table.
  if (r.row == 1) {
    for (const HN29ANDPackage& p : HN29AND::kPackages) r.bitstreams.emplace_back(p.bitstream);
  }
}

const HN29ANDPackage* HN29AND::FindPackage(int pkg) {
  for (const HN29ANDPackage& p : kPackages) {
    if (p.pkg == pkg) return &p;
  }
  return nullptr;
}

bool HN29AND::IsProgramCommand(int we0) {
  return we0 == kCmdProgramWord || we0 == f640::kCmdProgramIntelWord;
}

// A "pkg=" outside the table loads no design: every chip operation is refused rather than sent
// to whatever design is loaded.
void HN29AND::Init() {
  refusal_ = nullptr;
  package_ = nullptr;
  lastAddress_ = 0;
  const HN29ANDType& t = Type();
  if (t.lastAddress == 0) {
    refusal_ = frame::kNoSuchType;
    AddMessageLine(refusal_);
    return;
  }
  package_ = FindPackage(services().ChipParam("pkg="));
  if (package_ == nullptr) {
    refusal_ = kBadPkg;
    AddMessageLine(refusal_);
    return;
  }
  LoadBitstream(std::string(package_->bitstream).c_str());
  we0_ = services().ChipParam("we0=");
  // "dly=" counts the erase waits: at least one.
  dly_ = std::max(1, services().ChipParam("dly="));
  era_ = services().ChipParam("era=");
  vppMillivolts_ = t.resetPin != 0 ? 12000 : 5000;
  SetVppVoltage(vppMillivolts_);
  writeMode_ = 15;
  readMode_ = 12;
  lastAddress_ = t.lastAddress;
  vccMillivolts_ = kVccMillivolts;
  SetVccVoltage(kVccMillivolts);
  SelectGndPin(kGroundPin);
  FlushCommands();
}

// No ground pin and no contact mask go to the contact check.
TypeFacts HN29AND::Facts() const {
  return {.lastAddress = Type().lastAddress, .contactMask = 0, .groundPin = 0};
}

std::span<const char* const> HN29AND::DescribeList() const {
  return kList;
}

bool HN29AND::Run(int op) {
  switch (op) {
    case kOpErase:
    case kOpBlank:
    case kOpWrite:
    case kOpVerify:
    case kOpRead:
    case kOpReadId:
      break;
    default:
      return false;
  }
  if (refusal_ != nullptr) {
    AddMessageLine(refusal_);
    gLink.StatusWord = 1;
    return true;
  }
  if (op == kOpReadId) {
    ReadId();
    return true;
  }
  // A "we0=" that is no program command refuses Write before any bus cycle.
  if (op == kOpWrite && !IsProgramCommand(we0_)) {
    AddMessageLine(kBadWe0);
    gLink.StatusWord = 1;
    return true;
  }
  if (!TypeCheck()) return true;
  switch (op) {
    case kOpErase:
      Erase();
      break;
    case kOpWrite:
      Write();
      break;
    default:
      Scan(op);
      break;
  }
  return true;
}

void HN29AND::SetAddress(std::uint32_t address) {
  fpga_flash::SetAddress(address);
}

std::uint32_t HN29AND::RangeStart() const {
  return std::min(Word(kRangeStartWord), lastAddress_) & ~0xFFu;
}

std::uint32_t HN29AND::RangeEnd() const {
  return std::min(RangeEndExclusive(), lastAddress_ + 1);
}

// The VPP pin is left as it is; VCC always at 3.3 V.
bool HN29AND::PowerUp() {
  return fpga_flash::PowerUp({.gndPin = kGroundPin,
                              .vccPin = Type().vccPin,
                              .vppPinOff = false,
                              .vccMillivolts = kVccMillivolts,
                              .vppMillivolts = std::nullopt,
                              .six = LineSix::kClear,
                              .strobeAddressCycle = false});
}

// A chip that does not answer with the catalogue's maker code is refused, and says so.
bool HN29AND::TypeCheck() {
  if (gApp.ExpectedId[0] == 0) return true;
  if (ReadId() && gApp.ReadId[0] == gApp.ExpectedId[0] && gApp.ReadId[1] == gApp.ExpectedId[1])
    return true;
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

void HN29AND::BusWrite(std::uint32_t word, std::uint16_t data) {
  SetAddress(word);
  PutCmd3(kCmdWriteCycle, static_cast<std::uint8_t>(data), static_cast<std::uint8_t>(data >> 8));
}

// From "Addr start" (where Write starts) through "Addr end", the buffer from offset 0.
bool HN29AND::Scan(int op) {
  if (!PowerUp()) return false;
  const std::uint32_t start = RangeStart();
  // The chip counts words; Read goes in smaller blocks.
  const ScanStop stop = ScanBlocks({.start = start,
                                    .end = RangeEnd(),
                                    .chipAddress = start / 2,
                                    .blockBytes = op == kOpRead ? kReadBlockBytes : kScanBlockBytes,
                                    .progressFromStart = true,
                                    .readKeepsRangeOnly = false,
                                    .into = op == kOpRead ? buffer_ : nullptr,
                                    .expected = op == kOpVerify ? buffer_ : nullptr});
  if (!stop.same) {
    Fail(stop.offset, stop.byte);
    ShowProgress(-1);
    FlushCommands();
    return false;
  }
  // VCC goes off with the bus left listening: driving the pins low here would meet the chip's
  // outputs while OE# is low.
  ShowProgress(-1);
  SelectVccPin(0);
  FlushCommands();
  return true;
}

// A word a "we0=" command, then the range read back: a word the chip did not take fails the
// Write at its offset instead of passing unseen.
void HN29AND::Write() {
  if (!PowerUp()) return;
  CommandMode();
  const std::uint32_t start = RangeStart();
  const std::uint32_t end = RangeEnd();
  SetAddress(start / 2);
  // Every word goes as one "we0=" command, whatever the package.
  WritePairs({.start = start,
              .end = end,
              .data = buffer_,
              .wide = true,
              .wordCommand = static_cast<std::uint8_t>(we0_),
              .byteCommand = 0,
              .flushMask = 0x1FF,
              .beforeStep =
                  [start](std::uint32_t k) {
                    if (k % kWriteProgressBytes == 0) ShowProgress(static_cast<int>(start + k));
                  },
              .afterCommand = {}});
  ShowProgress(-1);
  ReadMode();
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  Scan(kOpVerify);
}

// The chip erase at the package's unlock addresses, waited out "dly=" times 100 ms, then the
// range read back blank: a chip that did not erase fails here.
void HN29AND::Erase() {
  if (package_->unlock1 == 0) {
    AddMessageLine(kNoErase);
    gLink.StatusWord = 1;
    return;
  }
  if (!PowerUp()) return;
  CommandMode();
  const std::uint32_t u1 = package_->unlock1, u2 = package_->unlock2;
  BusWrite(u1, 0xAA);
  BusWrite(u2, 0x55);
  BusWrite(u1, 0x80);
  BusWrite(u1, 0xAA);
  BusWrite(u2, 0x55);
  BusWrite(u1, 0x10);
  FlushCommands();
  EraseWaits(dly_, lastAddress_ + 1, kCmdEraseWait);
  ReadMode();
  SetLine(kLineChipEnable);
  FlushCommands();
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  if (!Scan(kOpBlank)) AddMessageLine(kEraseFailed);
}

bool HN29AND::ReadId() {
  if (!PowerUp()) return false;
  CommandMode();
  if (package_->unlock1 != 0) {
    BusWrite(package_->unlock1, 0xAA);
    BusWrite(package_->unlock2, 0x55);
    BusWrite(package_->unlock1, 0x90);
  }
  FlushCommands();
  SetAddress(0);
  ReadMode();
  FlushCommands();
  const std::uint8_t* id = ReadIdBlock();
  SelectVccPin(0);
  FlushCommands();
  char line[48];
  std::snprintf(line, sizeof line, "MFG ID=%02x,%02x,%02x,%02x", id[0], id[1], id[2], id[3]);
  AddMessageLine(line);
  return true;
}

}  // namespace zelvar::memory
