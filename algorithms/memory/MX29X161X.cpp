#include "algorithms/memory/MX29X161X.h"

#include <algorithm>
#include <cstdio>
#include <string>

#include "algorithms/memory/FpgaFlashBus.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Mx1611.h"
#include "link/commands/P29F640.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace mx1611;
using namespace fpga_flash;
using p29f640::kLineBusRead;
using p29f640::kLineChipEnable;
using p29f640::kLineOutputEnable;
using p29f640::kLineSix;
using p29f640::kLineWriteEnable;

namespace {
constexpr const char* kBadMem = "No size for this mem= value! *mem=值没有对应容量!";
constexpr const char* kTypeError = "Type error!";
constexpr std::uint32_t kReadBlockBytes = 8192;
constexpr int kPageDelayWord = 128;
constexpr int kUnprotectWord = 129;

constexpr const char* kList[] = {"$Fonc:",
                                 "21 Erase",
                                 "22 Blank",
                                 "23 Write",
                                 "24 Verify",
                                 "$DisTool:",
                                 "25,26,29,30,31,",
                                 "$Radio1:05,Page Delay(页延迟)",
                                 "5 Ms",
                                 "6 Ms",
                                 "7 Ms",
                                 "8 Ms",
                                 "9 Ms",
                                 "10 Ms",
                                 "$Radio2:00,Unprotect(解保护)",
                                 "Disable(禁止)",
                                 "Enable(允许)",
                                 "$Gridw:Addr space(地址范围)",
                                 "Addr start",
                                 "0000",
                                 "Addr end",
                                 "0FFFFFF",
                                 "$end"};

}  // namespace

void CheckMX29X161XRow(const MX29X161XType& t, TypeTableReport& r) {
  if (!CheckAdapterRow(t, r)) return;
  if (t.vccPin == t.gndPin) r.Fault("VCC and ground on one pin");
}

// "mem=" is checked before any table use; "dly=" of 0 would divide the erase progress by zero,
// and a line without "rvc=" reads at the programming VCC rather than at 0 V.
void MX29X161X::Init() {
  refusal_ = nullptr;
  lastAddress_ = 0;
  const MX29X161XType& t = Type();
  if (t.bitstream.empty()) {
    refusal_ = frame::kNoSuchType;
    AddMessageLine(refusal_);
    return;
  }
  mem_ = services().ChipParam("mem=");
  if (mem_ < 0 || mem_ > 7 || t.sizes[static_cast<std::size_t>(mem_)] == 0) {
    refusal_ = kBadMem;
    AddMessageLine(refusal_);
    return;
  }
  LoadBitstream(std::string(t.bitstream).c_str());
  dly_ = std::max(1, services().ChipParam("dly="));
  lastAddress_ = t.sizes[static_cast<std::size_t>(mem_)];
  vppMillivolts_ = 0;
  SetVppVoltage(0);
  readMode_ = 12;
  writeMode_ = 15;
  vcc_ = ChipVccMillivolts(5000);
  const int rvc = services().ChipParam("rvc=");
  rvc_ = rvc > 0 ? rvc : vcc_;
  vccMillivolts_ = vcc_;
  SetVccVoltage(vcc_);
  // The row's ground: the contact check would otherwise be the first to select one.
  SelectGndPin(t.gndPin);
  FlushCommands();
}

TypeFacts MX29X161X::Facts() const {
  if (refusal_ != nullptr) return {};
  const MX29X161XType& t = Type();
  return {.lastAddress = lastAddress_,
          .contactMask = t.masks[static_cast<std::size_t>(mem_)],
          .groundPin = t.gndPin};
}

std::span<const char* const> MX29X161X::DescribeList() const {
  return kList;
}

bool MX29X161X::Run(int op) {
  switch (op) {
    case kOpUnProtect:
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
  if ((op == kOpUnProtect || op == kOpErase || op == kOpWrite) && !TypeCheck()) return true;
  switch (op) {
    case kOpUnProtect:
      Unprotect();
      break;
    case kOpErase:
      Erase();
      break;
    case kOpWrite:
      Write();
      break;
    case kOpReadId:
      ReadId();
      break;
    default:
      Scan(op);
      break;
  }
  return true;
}

void MX29X161X::SetAddress(std::uint32_t address) {
  fpga_flash::SetAddress(address);
}

std::uint32_t MX29X161X::RangeStart() const {
  return std::min(Word(kRangeStartWord), lastAddress_);
}

void MX29X161X::Strobe() {
  ClearLine(kLineWriteEnable);
  SetLine(kLineWriteEnable);
}

void MX29X161X::Cycle(std::uint8_t code) {
  fpga_flash::Cycle(code);
  Strobe();
}

void MX29X161X::CommandWrite(std::uint32_t address, std::uint8_t data) {
  SetAddress(address);
  PutCmd2(kCmdCommandData, data);
  Strobe();
}

// The VCC voltage stays as the operation set it (reading or programming); line 6 high, and the
// address cycle strobed like every cycle of this chip.
bool MX29X161X::PowerUp() {
  return fpga_flash::PowerUp({.gndPin = Type().gndPin,
                              .vccPin = Type().vccPin,
                              .vppPinOff = true,
                              .vccMillivolts = std::nullopt,
                              .vppMillivolts = std::nullopt,
                              .six = LineSix::kSet,
                              .strobeAddressCycle = true});
}

// A failed check ends the operation as a failure, whatever the status was before.
bool MX29X161X::TypeCheck() {
  if (gApp.ExpectedId[0] == 0) return true;
  if (!ReadId()) return false;
  // In byte mode the maker code comes twice, then the device code twice: all four tell the part.
  if (gApp.ReadId == gApp.ExpectedId) return true;
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

// Read, Blank and Verify at the reading VCC, from "Addr start" through "Addr end" (the buffer from
// offset 0), in blocks of 8 KiB.
void MX29X161X::Scan(int op) {
  SetVccVoltage(rvc_);
  if (op == kOpVerify && !TypeCheck()) return;
  if (!PowerUp()) return;
  const std::uint32_t start = RangeStart();
  const ScanStop stop = ScanBlocks({.start = start,
                                    .end = std::min(RangeEndExclusive(), lastAddress_ + 1),
                                    .chipAddress = start,
                                    .blockBytes = kReadBlockBytes,
                                    .progressFromStart = true,
                                    .readKeepsRangeOnly = true,
                                    .into = op == kOpRead ? buffer_ : nullptr,
                                    .expected = op == kOpVerify ? buffer_ : nullptr});
  if (!stop.same) {
    Fail(stop.offset, stop.byte);
    return;
  }
  ShowProgress(-1);
  SelectVccPin(0);
  FlushCommands();
}

// Pages of 128 bytes from the page that holds "Addr start": bytes outside the range go out as
// 0xFF, which leaves their cells as they are. Nothing is read back (Verify checks the chip).
void MX29X161X::Write() {
  SetVccVoltage(vcc_);
  if (!PowerUp()) return;
  SelectVccPin(Type().vccPin);
  if (!CheckPower()) return;
  const std::uint32_t start = RangeStart();
  const std::uint32_t end = std::min(RangeEndExclusive(), lastAddress_ + 1);
  const std::uint32_t first = start & ~(kPageBytes - 1);
  const int waits = PageDelayWaits(Word(kPageDelayWord));
  SetAddress(first);
  SetLine(kLineSix);
  ClearLine(kLineBusRead);
  SetLine(kLineOutputEnable);
  ClearLine(kLineChipEnable);
  SetLine(kLineWriteEnable);
  for (std::uint32_t page = first; page < end; page += kPageBytes) {
    ShowProgress(static_cast<int>(page));
    Cycle(kCycleUnlock1);
    Cycle(kCycleUnlock2);
    Cycle(kCycleProgram);
    fpga_flash::Cycle(kCycleAddress);
    for (std::uint32_t a = page; a < page + kPageBytes; ++a) {
      const std::uint8_t b = a >= start && a < end ? buffer_[a - start] : 0xFF;
      SetLine(kLineWriteEnable);
      WritePort(kPortPageData, b);
      ClearLine(kLineWriteEnable);
      WritePort(kPortNextAddress, 0xFF);
    }
    SetLine(kLineWriteEnable);
    for (int i = 0; i < waits; ++i) PutCmd1(mx1611::kCmdWait1ms);
    FlushCommands();
  }
  // CE# rises before OE# falls: the chip never drives against the design's bus.
  SetLine(kLineChipEnable);
  ClearLine(kLineOutputEnable);
  ShowProgress(-1);
  SelectVccPin(0);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
}

// A chip erase waited out by "dly=" waits of 1 ms; the Blank after it tells whether it ended.
void MX29X161X::Erase() {
  if (Word(kUnprotectWord) == 1) {
    Unprotect();
    if (gLink.StatusWord != 0) return;
  }
  SetVccVoltage(vcc_);
  if (!PowerUp()) return;
  ClearLine(kLineBusRead);
  SetLine(kLineOutputEnable);
  ClearLine(kLineChipEnable);
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleEraseSetup);
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleChipErase);
  EraseWaits(dly_, lastAddress_, mx1611::kCmdWait1ms);
  FlushCommands();
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

// The chip's unprotect: two unlock cycles and 0x60, two more and 0x40, the last write strobed
// like the others (without its strobe the chip never sees it).
void MX29X161X::Unprotect() {
  SetVccVoltage(vcc_);
  if (!PowerUp()) return;
  SetLine(kLineOutputEnable);
  ClearLine(kLineChipEnable);
  ClearLine(kLineBusRead);
  Cycle(kCycleAddress);
  CommandWrite(kAddress5555, 0xAA);
  CommandWrite(kAddress2AAA, 0x55);
  CommandWrite(kAddress5555, kUnprotectSetup);
  CommandWrite(kAddress5555, 0xAA);
  CommandWrite(kAddress2AAA, 0x55);
  CommandWrite(0, kChipUnprotect);
  FlushCommands();
  SelectVccPin(0);
  FlushCommands();
}

bool MX29X161X::ReadId() {
  SetVccVoltage(rvc_);
  if (!PowerUp()) return false;
  ClearLine(kLineBusRead);
  SetLine(kLineOutputEnable);
  ClearLine(kLineChipEnable);
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleAutoselect);
  SetLine(kLineBusRead);
  ClearLine(kLineOutputEnable);
  SetAddress(0);
  Cycle(kCycleAddress);
  FlushCommands();
  const std::uint8_t* id = ReadIdBlock();
  gApp.ReadId = {id[0], id[1], id[2], id[3]};
  char line[48];
  std::snprintf(line, sizeof line, "MFG ID =  %02X,%02X,%02X,%02X", id[0], id[1], id[2], id[3]);
  AddMessageLine(line);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  return true;
}

}  // namespace zelvar::memory
