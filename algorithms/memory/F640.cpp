#include "algorithms/memory/F640.h"

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
using namespace f640;
using namespace fpga_flash;

namespace {
constexpr const char* kBadMem = "No size for this mem= value! *mem=值没有对应容量!";
constexpr std::uint32_t kReadBlockBytes = 8192;
constexpr int kWaitsPerDly = 25;
constexpr std::uint8_t kStatusReady = 0x80;

constexpr const char* kBootUnlockNeeds6200 =
    "Boot block unlock needs a programmer of model 6200 or later! "
    "*引导块解锁需要6200以上型号的编程器!";
constexpr std::uint8_t kEraseError = 0x20, kVppLow = 0x08;
constexpr std::uint8_t kSecondVppPin = 0x80;

constexpr const char* kList[] = {
    "$Fonc:",     "21 Erase",  "22 Blank", "23 Write",
    "24 Verify",  "$DisTool:", "30,31,",   "$Gridw:Addr space(地址范围)",
    "Addr start", "0000",      "Addr end", "FFFFFF",
    "$end"};
// Rows whose adapter can put 12 V on RP# offer the boot block's unlock; locked by default, as the
// chip leaves it.
constexpr const char* kListWithUnlock[] = {"$Fonc:",
                                           "21 Erase",
                                           "22 Blank",
                                           "23 Write",
                                           "24 Verify",
                                           "$DisTool:",
                                           "30,31,",
                                           "$Radio1:00,Boot block(引导块)",
                                           "Locked(锁定)",
                                           "Unlock(解锁)",
                                           "$Gridw:Addr space(地址范围)",
                                           "Addr start",
                                           "0000",
                                           "Addr end",
                                           "FFFFFF",
                                           "$end"};

}  // namespace

void CheckF640Row(const F640Type& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  if (!CheckAdapterRow(t, r)) return;
  if (t.vppPin < 1 || t.vppPin > kSocket) r.Fault("VPP pin off the socket");
  const int ground = t.gndPin == kGroundPins11And30 ? 11 : t.gndPin;
  if (t.vppPin == t.vccPin || t.vppPin == ground ||
      (t.gndPin == kGroundPins11And30 && t.vppPin == 30))
    r.Fault("VPP pin is a supply pin");
  if (t.bootBlock == 0 || (t.bootBlock & (t.bootBlock - 1)) != 0 || t.mainBlock % t.bootBlock != 0)
    r.Fault("boot block not a power of two dividing the main block");
}

std::uint8_t F640::PulseSetting(int prt) {
  const int w = ((prt >= 1 ? prt : 8) - 6) * 3;
  return static_cast<std::uint8_t>(std::clamp(w, 1, 255));
}

std::vector<std::uint32_t> F640::BlockWalk(std::uint32_t n, std::uint32_t boot,
                                           std::uint32_t main) {
  std::vector<std::uint32_t> blocks;
  const std::uint32_t bootEnd = 8 * boot;
  const std::uint32_t topBoot = n > bootEnd ? n - bootEnd : 0;
  for (std::uint32_t a = 0; a < n;) {
    blocks.push_back(a);
    a += a < bootEnd || a >= topBoot ? boot : std::min(main, topBoot - a);
  }
  return blocks;
}

// "mem=" is checked before any table use; "dly=" and "vcc=" fall back to 1 and 5000 mV.
void F640::Init() {
  refusal_ = nullptr;
  lastAddress_ = 0;
  const F640Type& t = Type();
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
  lastAddress_ = t.sizes[static_cast<std::size_t>(mem_)];
  // No "dly=" would mean no erase waits at all.
  dly_ = std::max(1, services().ChipParam("dly="));
  oth_ = services().ChipParam("oth=");
  PutCmd2(kCmdPulseSetting, PulseSetting(services().ChipParam("prt=")));
  const int vpv = services().ChipParam("vpv=");
  vpp_ = vpv > 0 ? vpv : 12000;
  vppMillivolts_ = vpp_;
  SetVppVoltage(vpp_);
  readMode_ = 12;
  writeMode_ = 15;
  // A 3 V member names its supply; 5 V when the line gives none.
  const int vcc = services().ChipParam("vcc=");
  vcc_ = vcc > 0 ? vcc : 5000;
  vccMillivolts_ = vcc_;
  SetVccVoltage(vcc_);
  SelectGndPin(t.gndPin);
  FlushCommands();
}

TypeFacts F640::Facts() const {
  if (refusal_ != nullptr) return {};
  const F640Type& t = Type();
  const std::uint32_t ground = t.gndPin == kGroundPins11And30 ? 11 : t.gndPin;
  return {.lastAddress = lastAddress_,
          .contactMask = t.masks[static_cast<std::size_t>(mem_)],
          .groundPin = ground};
}

std::span<const char* const> F640::DescribeList() const {
  if (refusal_ == nullptr && Type().rpPin != 0) return kListWithUnlock;
  return kList;
}

bool F640::Run(int op) {
  switch (op) {
    case kOpErase:
    case kOpBlank:
    case kOpWrite:
    case kOpVerify:
    case kOpLock:
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
  if ((op == kOpErase || op == kOpWrite || op == kOpLock) && !TypeCheck()) return true;
  switch (op) {
    case kOpErase:
      Erase();
      break;
    case kOpWrite:
      Write();
      break;
    case kOpLock:
      Lock();
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

bool F640::TypeCheck() {
  return fpga_flash::IdentityMatches(Type().wide() ? 4 : 2, [this] { return ReadId(); });
}

void F640::SetAddress(std::uint32_t address) {
  fpga_flash::SetAddress(address);
}

// "Addr start", on a word boundary for 16-bit rows.
std::uint32_t F640::RangeStart() const {
  const std::uint32_t start = std::min(Word(kRangeStartWord), lastAddress_);
  return Type().wide() ? start & ~1u : start;
}

void F640::WriteCommand(std::uint8_t c) {
  PutCmd3(kCmdWriteCycle, c, 0);
}

bool F640::PowerUp() {
  return fpga_flash::PowerUp({.gndPin = Type().gndPin,
                              .vccPin = Type().vccPin,
                              .vppPinOff = true,
                              .vccMillivolts = vcc_,
                              .vppMillivolts = vpp_,
                              .six = LineSix::kClear,
                              .strobeAddressCycle = false});
}

void F640::ClearLockBits() const {
  if ((oth_ & 2) == 0) return;
  WriteCommand(kClearLockBits);
  WriteCommand(kConfirm);
}

bool F640::BootUnlockChosen() const {
  return Type().rpPin != 0 && Word(kRadio1Word) != 0;
}

// VPP on the row's VPP pin and, when the user unlocks the boot block, 12 V on RP# too: the
// boot block takes an erase or a program only while RP# stays at VHH to the end. RP# is a
// second VPP pin, which models below 6200 do not have.
bool F640::SelectProgramSupplies() const {
  if (BootUnlockChosen() && gLink.ModelNumber < 6200) {
    AddMessageLine(kBootUnlockNeeds6200);
    gLink.StatusWord = 1;
    return false;
  }
  SelectVppPin(Type().vppPin);
  if (BootUnlockChosen()) SelectVppPin(static_cast<std::uint8_t>(Type().rpPin | kSecondVppPin));
  return true;
}

// The block of `units` (words or bytes) at `a` in read-array mode: true when every byte is 0xFF,
// else `bad` is the first byte that is not. Leaves the bus in command mode.
bool F640::ReadsBlank(std::uint32_t a, std::uint32_t units, std::uint8_t& bad) {
  WriteCommand(kReadArray);
  SetAddress(a);
  ReadMode();
  std::uint32_t bytes = Type().wide() ? units * 2 : units;
  bool blank = true;
  std::uint8_t* block = gLink.ScratchBuffer.data();
  while (bytes > 0 && blank) {
    const std::uint32_t n = std::min(bytes, kReadBlockBytes);
    PutCmd2(kCmdReadBlocks, static_cast<std::uint8_t>(n / 64));
    FlushCommands();
    ReadSetBlock(block, n);
    const std::uint8_t* const end = block + n;
    const std::uint8_t* const begin = block;
    const std::uint8_t* const first =
        std::find_if(begin, end, [](std::uint8_t b) { return b != 0xFF; });
    blank = first == end;
    if (!blank) bad = *first;
    bytes -= n;
  }
  CommandMode();
  return blank;
}

// Read, Blank and Verify all start at "Addr start", where Write starts, with the buffer from
// offset 0.
void F640::Scan(int op) {
  if (!PowerUp()) return;
  const std::uint32_t start = RangeStart();
  // Progress counts from the range's start.
  const ScanStop stop = ScanBlocks({.start = start,
                                    .end = std::min(RangeEndExclusive(), lastAddress_ + 1),
                                    .chipAddress = ChipUnit(start),
                                    .blockBytes = kReadBlockBytes,
                                    .progressFromStart = false,
                                    .readKeepsRangeOnly = false,
                                    .into = op == kOpRead ? buffer_ : nullptr,
                                    .expected = op == kOpVerify ? buffer_ : nullptr});
  if (!stop.same) {
    Fail(stop.offset, stop.byte);
    return;
  }
  // VCC goes off with the bus left listening: driving every pin low here would meet the chip's
  // outputs while OE# is low.
  ShowProgress(-1);
  SelectVccPin(0);
  FlushCommands();
}

// The buffer from offset 0 to "Addr start" through "Addr end", a word or byte a command, then
// read back: a cell the chip did not take (a locked or failed block) fails the Write.
void F640::Write() {
  if (!PowerUp()) return;
  CommandMode();
  const std::uint32_t start = RangeStart();
  const std::uint32_t end = std::min(RangeEndExclusive(), lastAddress_ + 1);
  SetAddress(ChipUnit(start));
  if (!SelectProgramSupplies()) return;
  if (!CheckPower()) return;
  // The lock bits are cleared (when "oth=" asks) every 4 KiB of chip address.
  WritePairs({.start = start,
              .end = end,
              .data = buffer_,
              .wide = Type().wide(),
              .wordCommand = kCmdProgramIntelWord,
              .byteCommand = kCmdProgramIntelByte,
              .flushMask = 0xFF,
              .beforeStep =
                  [this, start](std::uint32_t k) {
                    const std::uint32_t a = start + k;
                    if (a % 0x1000 == 0) ClearLockBits();
                    if (a % 0x2000 == 0) ShowProgress(static_cast<int>(k));
                  },
              .afterCommand = {}});
  SelectVppPin(0);
  ShowProgress(-1);
  ReadMode();
  SelectVccPin(0);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
  // Powered up again, the chip reads its array.
  Scan(kOpVerify);
}

// Block by block, each polled on the status register where the programmer can read the bus,
// and read back blank. A block that reports an erase error, never comes ready, or keeps a
// programmed byte fails the erase; the blocks after it are still erased, and the first failure is
// named.
void F640::Erase() {
  if (!PowerUp()) return;
  CommandMode();
  if (!SelectProgramSupplies()) return;
  if (!CheckPower()) return;
  PutCmd1(zelvar::kCmdSettle);
  const F640Type& t = Type();
  const std::uint32_t n = t.wide() ? (lastAddress_ + 1) / 2 : lastAddress_ + 1;
  const bool polls = (gLink.ProgrammerInfo[2] & 2) != 0;
  const std::vector<std::uint32_t> blocks = BlockWalk(n, t.bootBlock, t.mainBlock);
  std::int64_t failed = -1;
  std::uint8_t failedByte = 0xFF;
  ShowProgress(0);
  for (std::size_t i = 0; i < blocks.size(); ++i) {
    const std::uint32_t a = blocks[i];
    const std::uint32_t units = (i + 1 < blocks.size() ? blocks[i + 1] : n) - a;
    SetAddress(a);
    ShowProgress(static_cast<int>(t.wide() ? a * 2 : a));
    CommandMode();
    ClearLockBits();
    // A previous block's error bits stay until cleared.
    WriteCommand(kClearStatus);
    WriteCommand(kBlockErase);
    WriteCommand(kConfirm);
    bool ok = true;
    if (polls) {
      ok = false;
      for (int w = 0; w < kWaitsPerDly * dly_; ++w) {
        PutCmd1(zelvar::kCmdSettle);
        WriteCommand(kReadStatus);
        ReadMode();
        PutCmd1(kCmdReadBus);
        const std::uint8_t status = ReadReply64(gLink.ScratchBuffer.data());
        CommandMode();
        if ((status & kStatusReady) != 0) {
          ok = (status & (kEraseError | kVppLow)) == 0;
          break;
        }
      }
    } else {
      for (int w = 0; w < kWaitsPerDly * dly_; ++w) PutCmd1(zelvar::kCmdSettle);
    }
    FlushCommands();
    std::uint8_t bad = 0xFF;
    ok = ReadsBlank(a, units, bad) && ok;
    if (!ok && failed < 0) {
      failed = a;
      failedByte = bad;
    }
  }
  ShowProgress(-1);
  ReadMode();
  SetLine(kLineChipEnable);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  if (failed >= 0) {
    const auto at = static_cast<std::uint32_t>(t.wide() ? failed * 2 : failed);
    char line[96];
    std::snprintf(line, sizeof line, "Erase failed at block %06X! *块%06X擦除失败!", at, at);
    AddMessageLine(line);
    gLink.FailAddress = at;
    gLink.FailByte = failedByte;
    gLink.StatusWord = 1;
  }
}

// The lock bit of every block: 16-bit rows count their blocks in words, 8-bit rows in bytes.
void F640::Lock() {
  if (!PowerUp()) return;
  CommandMode();
  SelectVppPin(Type().vppPin);
  const F640Type& t = Type();
  const std::uint32_t n = t.wide() ? (lastAddress_ + 1) / 2 : lastAddress_ + 1;
  for (const std::uint32_t a : BlockWalk(n, t.bootBlock, 8 * t.bootBlock)) {
    SetAddress(a);
    ShowProgress(static_cast<int>(t.wide() ? a * 2 : a));
    WriteCommand(kClearLockBits);
    WriteCommand(kSetLockBit);
    FlushCommands();
  }
  SetLine(kLineChipEnable);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

bool F640::ReadId() {
  if (!PowerUp()) return false;
  SetAddress(0);
  CommandMode();
  WriteCommand(kIdentifier);
  FlushCommands();
  ReadMode();
  FlushCommands();
  const std::uint8_t* id = ReadIdBlock();
  gApp.ReadId = {id[0], id[1], id[2], id[3]};
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  char line[48];
  if (Type().wide()) {
    std::snprintf(line, sizeof line, "MFG ID=%02x,%02x,%02x,%02x", id[0], id[1], id[2], id[3]);
  } else {
    std::snprintf(line, sizeof line, "MFG ID=%02x,%02x", id[0], id[1]);
  }
  AddMessageLine(line);
  return true;
}

}  // namespace zelvar::memory
