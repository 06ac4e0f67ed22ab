#include "algorithms/memory/P29F640.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "algorithms/memory/FpgaFlashBus.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/P29F640.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace p29f640;

namespace {
constexpr const char* kVersionError = "Programmer version error!*硬件版本小于1.03不能运行!";
constexpr const char* kBadMem = "No size for this mem= value! *mem=值没有对应容量!";
constexpr const char* kBadCfg = "cfg= must be 0 to 15! *cfg=必须为0到15!";
constexpr const char* kCannotReadConfig = "Can not read config!*不能读Config!";
constexpr const char* kTooManySectors =
    "Only the first 64 sectors are shown for protect! *只显示前64个扇区的保护!";
constexpr const char* kOldProgrammers[] = {"zor5105 ver1.01 ", "zor5105 ver1.02 ",
                                           "zor5104 ver1.01 ", "zor5104 ver1.02 "};
constexpr std::uint32_t kReadBlockBytes = 8192;
constexpr int kTemporaryUnprotectWord = 129;
constexpr int kReadVoltageWord = 128;
constexpr std::uint32_t kProtectLockAddress = 0x80, kProtectWordAddress = 133;
constexpr std::uint16_t kProtectLockWord = 0xFFF0;
constexpr std::uint8_t kReadArrayReset = 0xF0;
constexpr int kProtectWordFirst = 66;  // "Protect reg0" to "Protect reg3" of the range grid

constexpr const char* kList1[] = {"$Fonc:",
                                  "21 Erase",
                                  "22 Blank",
                                  "23 Write",
                                  "24 Verify",
                                  "$DisTool:",
                                  "25,26,29,30,31,",
                                  "$Radio1:00,ReadVcc(读电压)",
                                  "1 Lower",
                                  "2 Hight",
                                  "$Radio2:01,Temp(临时解保护)",
                                  "Disable(禁止)",
                                  "Enable(允许)",
                                  "$Gridw:Addr space(地址范围)",
                                  "Addr start",
                                  "0000",
                                  "Addr end",
                                  "0FFFFFF",
                                  "$end"};
constexpr const char* kList2[] = {"$Fonc:",        "21 Erase",     "22 Blank",
                                  "23 Write",      "24 Verify",    "26 Protect",
                                  "$DisTool:",     "25,30,31,",    "$Radio1:00,ReadVcc(读电压)",
                                  "1 Lower",       "2 Hight",      "$Radio2:01,Temp(临时解保护)",
                                  "Disable(禁止)", "Enable(允许)", "$Gridw:Addr space(地址范围)",
                                  "Addr start",    "0000",         "Addr end",
                                  "0FFFFFF",       "$end"};
constexpr const char* kList3[] = {"$Fonc:",       "21 Erase",     "22 Blank",
                                  "23 Write",     "24 Verify",    "25 Config",
                                  "$DisTool:",    "30,31,",       "$Radio1:00,ReadVcc(读电压)",
                                  "1 Lower",      "2 Hight",      "$Gridw:Addr space(地址范围)",
                                  "Addr start",   "0000",         "Addr end",
                                  "0FFFFFF",      "Protect reg0", "FFFF",
                                  "Protect reg1", "FFFF",         "Protect reg2",
                                  "FFFF",         "Protect reg3", "FFFF",
                                  "$end"};

}  // namespace

void CheckP29F640Row(const P29F640Type& t, TypeTableReport& r) {
  constexpr int kSocket = 48;
  if (!CheckAdapterRow(t, r)) return;
  const int ground = t.gndPin == kGroundPins11And30 ? 11 : t.gndPin;
  for (const auto& [name, pin] :
       {std::pair{"reset", t.resetPin}, {"protect A", t.protectA}, {"protect B", t.protectB}}) {
    if (pin == 0) continue;
    const std::string n(name);
    if (pin > kSocket) r.Fault(n + " pin off the socket");
    if (pin == t.vccPin) r.Fault(n + " pin is the VCC pin");
    if (pin == ground || (t.gndPin == kGroundPins11And30 && pin == 30))
      r.Fault(n + " pin is a ground pin");
  }
  if (t.protectA == 0 || t.protectA == t.protectB) r.Fault("protect pins not two distinct pins");
}

std::vector<P29F640::Sector> P29F640::ExpandLayout(const char* layout) {
  std::vector<Sector> sectors;
  std::uint32_t start = 0;
  const char* p = layout;
  while (*p != '\0') {
    char* next = nullptr;
    const std::uint32_t size = static_cast<std::uint32_t>(std::strtoul(p, &next, 0));
    if (next == p || size == 0 || *next != ',') break;
    p = next + 1;
    const std::uint32_t count = static_cast<std::uint32_t>(std::strtoul(p, &next, 0));
    if (next == p) break;
    p = *next == ',' ? next + 1 : next;
    for (std::uint32_t i = 0; i < count; ++i) {
      sectors.push_back({start, size, false});
      start += size;
    }
  }
  return sectors;
}

void P29F640::Refuse(const char* line) {
  refusal_ = line;
  AddMessageLine(line);
}

// Every value the line gives is checked here: an operation never runs on a table it cannot
// trust.
void P29F640::Init() {
  refusal_ = nullptr;
  sectors_.clear();
  lastAddress_ = 0;
  BuildDescribeList();
  for (const char* old : kOldProgrammers) {
    if (std::strncmp(gLink.ProgrammerName, old, 16) == 0) {
      ShowMessageText(kVersionError);
      refusal_ = kVersionError;
      return;
    }
  }
  const P29F640Type& t = Type();
  if (t.bitstream.empty()) {
    Refuse(frame::kNoSuchType);
    return;
  }
  mem_ = services().ChipParam("mem=");
  cfg_ = services().ChipParam("cfg=");
  if (mem_ < 0 || mem_ > 7 || t.sizes[static_cast<std::size_t>(mem_)] == 0) {
    Refuse(kBadMem);
    return;
  }
  if (cfg_ < 0 || cfg_ > 15) {
    Refuse(kBadCfg);
    return;
  }
  // The line's VCC first: the design's lines then come up at the chip's logic level (3.3 V
  // parts are rated VCC + 0.5 V on their inputs).
  vcc_ = services().ChipParam("vcc=");
  vccMillivolts_ = vcc_;
  SetVccVoltage(vcc_);
  LoadBitstream(std::string(t.bitstream).c_str());
  lastAddress_ = t.sizes[static_cast<std::size_t>(mem_)];
  // "dly=" counts the erase waits and divides the progress: at least one.
  dly_ = std::max(1, services().ChipParam("dly="));
  if (services().ChipParam("cm3=") == 3) {
    SetLine(kLineSix);
  } else {
    ClearLine(kLineSix);
  }
  ptw_ = services().ChipParam("ptw=");
  msk_ = services().ChipParam("msk=");
  vppMillivolts_ = t.resetPin != 0 ? 12000 : 5000;
  SetVppVoltage(vppMillivolts_);
  readMode_ = 12;
  writeMode_ = 15;
  SelectGndPin(t.gndPin);
  sectors_ = ExpandLayout(kLayouts[static_cast<std::size_t>(cfg_)]);
  BuildDescribeList();
  if (sectors_.size() > kGridSectors) AddMessageLine(kTooManySectors);
}

void P29F640::BuildDescribeList() {
  std::span<const char* const> base = kList1;
  if (refusal_ == nullptr && (msk_ & 8) != 0) {
    base = kList3;
  } else if (cfg_ != 0) {
    base = kList2;
  }
  list_.assign(base.begin(), base.end() - 1);  // without "$end"
  gridRows_.clear();
  if (cfg_ != 0 && !sectors_.empty()) {
    const std::size_t rows = std::min(sectors_.size(), kGridSectors);
    for (std::size_t k = 0; k < rows; ++k) {
      gridRows_.push_back("n=SA" + std::to_string(k) + " Protect,l=1,v=0,a=" +
                          std::to_string(k / 16) + ",b=" + std::to_string(k % 16));
    }
    list_.push_back("$Grid1:Sector protect");
    for (const std::string& row : gridRows_) list_.push_back(row.c_str());
  }
  list_.push_back("$end");
}

TypeFacts P29F640::Facts() const {
  const P29F640Type& t = Type();
  if (refusal_ != nullptr) return {};
  const std::uint32_t ground = t.gndPin == kGroundPins11And30 ? 11 : t.gndPin;
  return {.lastAddress = lastAddress_,
          .contactMask = t.masks[static_cast<std::size_t>(mem_)],
          .groundPin = ground};
}

bool P29F640::Offers(int op) const {
  switch (op) {
    case kOpUnProtect:
    case kOpErase:
    case kOpBlank:
    case kOpWrite:
    case kOpVerify:
    case kOpLock:
    case kOpRead:
    case kOpReadId:
    case kOpReadConfig:
      return true;
    case kOpConfig:
      return (msk_ & 8) != 0;
    default:
      return false;
  }
}

bool P29F640::Run(int op) {
  if (!Offers(op)) return false;
  if (refusal_ != nullptr) {
    AddMessageLine(refusal_);
    gLink.StatusWord = 1;
    return true;
  }
  switch (op) {
    case kOpUnProtect:
      Protect(true);
      break;
    case kOpErase:
      Erase();
      break;
    case kOpBlank:
    case kOpVerify:
    case kOpRead:
      Scan(op);
      break;
    case kOpWrite:
      Write();
      break;
    case kOpConfig:
      WriteProtectionRegisters();
      break;
    case kOpLock:
      Protect(false);
      break;
    case kOpReadId:
      ReadId();
      break;
    case kOpReadConfig:
      ReadProtectStatus();
      break;
    default:
      break;
  }
  return true;
}

void P29F640::SetAddress(std::uint32_t address) {
  fpga_flash::SetAddress(address);
}

// "Addr start", on a word boundary for 16-bit rows.
std::uint32_t P29F640::RangeStart() const {
  const std::uint32_t start = std::min(Word(kRangeStartWord), lastAddress_);
  return Type().wide() ? start & ~1u : start;
}

void P29F640::SetLine(std::uint8_t n) {
  fpga_flash::SetLine(n);
}
void P29F640::ClearLine(std::uint8_t n) {
  fpga_flash::ClearLine(n);
}
void P29F640::Cycle(std::uint8_t code) {
  fpga_flash::Cycle(code);
}
void P29F640::ReadMode() {
  fpga_flash::ReadMode();
}
void P29F640::CommandMode() {
  fpga_flash::CommandMode();
}

// Below 6200 the programmer has no program wait: "ptw=" no-op bytes where the line gives them,
// else the design's 1 ms wait, longer than any of these parts' word program time.
void P29F640::ProgramWait() const {
  if (gLink.ModelNumber >= 6200) {
    PutCmd1(kCmdProgramWait);
    return;
  }
  if (ptw_ <= 0) {
    PutCmd1(kCmdPulseWait);
    return;
  }
  for (int i = 0; i < ptw_; ++i) PutCmd1(kCmdPadding);
}

// Line 6 stays as "cm3=" left it.
bool P29F640::PowerUp() {
  return fpga_flash::PowerUp({.gndPin = Type().gndPin,
                              .vccPin = Type().vccPin,
                              .vppPinOff = true,
                              .vccMillivolts = vcc_,
                              .vppMillivolts = vppMillivolts_,
                              .six = fpga_flash::LineSix::kLeave,
                              .strobeAddressCycle = false});
}

// The "ReadVcc" choice for 5 V parts.
void P29F640::ReadingVoltage() {
  if (vcc_ != 5000) return;
  SetVccVoltage(Word(kReadVoltageWord) == 0 ? 3300 : 4400);
}

bool P29F640::TypeCheck() {
  return fpga_flash::IdentityMatches(Type().wide() ? 4 : 2, [this] { return ReadId(); });
}

bool P29F640::AnySectorFlag() const {
  for (std::size_t k = 0; k < sectors_.size() && k < kGridSectors; ++k) {
    if ((Word(static_cast<int>(k / 16)) >> (k % 16)) & 1) return true;
  }
  return false;
}

void P29F640::TemporaryUnprotect() {
  if ((msk_ & 1) != 0 && Word(kTemporaryUnprotectWord) != 0 && Type().resetPin != 0)
    SelectVppPin(Type().resetPin);
}

void P29F640::Scan(int op) {
  if (!TypeCheck() || !PowerUp()) return;
  ReadingVoltage();
  const std::uint32_t start = RangeStart();
  const fpga_flash::ScanStop stop =
      fpga_flash::ScanBlocks({.start = start,
                              .end = std::min(RangeEndExclusive(), lastAddress_ + 1),
                              .chipAddress = ChipUnit(start),
                              .blockBytes = kReadBlockBytes,
                              .progressFromStart = true,
                              .readKeepsRangeOnly = false,
                              .into = op == kOpRead ? buffer_ : nullptr,
                              .expected = op == kOpVerify ? buffer_ : nullptr});
  if (!stop.same) {
    Fail(stop.offset, stop.byte);
    return;
  }
  // The progress ends one short of where the scan stopped.
  ShowProgress(static_cast<int>(start + stop.offset) - 1);
  SelectVccPin(0);
  FlushCommands();
}

// The buffer from offset 0 to "Addr start" through "Addr end", a byte or word a command, then
// read back: a cell the chip did not take fails the Write.
void P29F640::Write() {
  if (!TypeCheck() || !PowerUp()) return;
  TemporaryUnprotect();
  if (!CheckPower()) return;
  const std::uint32_t start = RangeStart();
  const std::uint32_t end = std::min(RangeEndExclusive(), lastAddress_ + 1);
  SetAddress(ChipUnit(start));
  CommandMode();
  // Every program command waits for the cell before the next.
  fpga_flash::WritePairs({.start = start,
                          .end = end,
                          .data = buffer_,
                          .wide = Type().wide(),
                          .wordCommand = kCmdProgramWord,
                          .byteCommand = kCmdProgramByte,
                          .flushMask = 0xFF,
                          .beforeStep =
                              [start](std::uint32_t k) {
                                if (k % 1024 == 0) ShowProgress(static_cast<int>(start + k));
                              },
                          .afterCommand = [this] { ProgramWait(); }});
  ShowProgress(-1);
  ReadMode();
  SelectVppPin(0);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
  Scan(kOpVerify);
}

// The type is checked before any 12 V reaches the chip's protect pins.
void P29F640::Erase() {
  if (!TypeCheck()) return;
  if (cfg_ != 0 && AnySectorFlag()) {
    Protect(true);
    if (gLink.StatusWord != 0) return;
  }
  if (!PowerUp()) return;
  TemporaryUnprotect();
  if (!CheckPower()) return;
  CommandMode();
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleEraseSetup);
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  SetAddress(0);
  Cycle(kCycleChipErase);
  ShowProgress(0);
  const std::uint32_t step = lastAddress_ / static_cast<std::uint32_t>(dly_);
  const bool polls = (gLink.ProgrammerInfo[2] & 2) != 0;
  for (int i = 0; i <= dly_; ++i) {
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(i) * step));
    PutCmd1(kCmdEraseWait);
    if (polls) {
      ReadMode();
      PutCmd1(kCmdReadBus);
      if ((ReadReply64(gLink.ScratchBuffer.data()) & 0x80) != 0) break;
    }
    FlushCommands();
  }
  ShowProgress(-1);
  ReadMode();
  SetLine(kLineChipEnable);
  FlushCommands();
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

// Lock: the flagged sectors; UnProtect: every sector (the chip's unprotect takes them all).
// Sector starts go out in the chip's unit, with A1 set (and A6 for the unprotect).
void P29F640::Protect(bool unprotect) {
  if (sectors_.empty() || !AnySectorFlag()) return;
  if (!PowerUp()) return;
  if (unprotect) SetLine(kLineWriteEnable);
  SetLine(kLineOutputEnable);
  ClearLine(kLineChipEnable);
  ClearLine(kLineBusRead);
  SelectVppPin(Type().protectA);
  SelectVppPin(static_cast<std::uint8_t>(Type().protectB | 0x80));
  for (std::size_t k = 0; k < sectors_.size(); ++k) {
    const bool flagged =
        k < kGridSectors && ((Word(static_cast<int>(k / 16)) >> (k % 16)) & 1) != 0;
    if (!unprotect && !flagged) continue;
    const std::uint32_t a = ChipUnit(sectors_[k].start);
    SetAddress(unprotect ? (a & ~0xFFu) | 0x42 : a | 2);
    ShowProgress(static_cast<int>(sectors_[k].start));
    PutCmd3(kCmdWriteCycle, 0xFF, 0xFF);
    ClearLine(kLineWriteEnable);
    PutCmd1(kCmdPulseWait);
    SetLine(kLineWriteEnable);
    PutCmd1(kCmdPulseWait);
    FlushCommands();
  }
  SetLine(kLineChipEnable);
  FlushCommands();
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

void P29F640::ReadProtectStatus() {
  if (cfg_ == 0) {
    AddMessageLine(kCannotReadConfig);
    return;
  }
  if (!PowerUp()) return;
  CommandMode();
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleAutoselect);
  SetLine(kLineBusRead);
  ClearLine(kLineOutputEnable);
  for (std::size_t k = 0; k < sectors_.size(); ++k) {
    SetAddress(ChipUnit(sectors_[k].start) | 2);
    Cycle(kCycleAddress);
    FlushCommands();
    PutCmd1(kCmdReadAtAddress);
    sectors_[k].protect = (ReadReply64(gLink.ScratchBuffer.data()) & 1) != 0;
    if (k >= kGridSectors) continue;
    const int word = static_cast<int>(k / 16);
    const std::uint32_t bit = 1u << (k % 16);
    SetWord(word, sectors_[k].protect ? Word(word) | bit : Word(word) & ~bit);
  }
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

bool P29F640::ReadId() {
  if (!PowerUp()) return false;
  CommandMode();
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleAutoselect);
  SetLine(kLineBusRead);
  ClearLine(kLineOutputEnable);
  SetAddress(0);
  Cycle(kCycleAddress);
  FlushCommands();
  const std::uint8_t* id = fpga_flash::ReadIdBlock();
  char line[48];
  std::snprintf(line, sizeof line, "MFG ID =  %02X,%02X,%02X,%02X", id[0], id[1], id[2], id[3]);
  AddMessageLine(line);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  return true;
}

void P29F640::ProtectionRegisterWrite(std::uint32_t address, std::uint16_t data) {
  const bool short_ = Type().commandSet == 3;
  const auto cycle = [this](std::uint32_t a, std::uint16_t d) {
    SetAddress(a);
    PutCmd3(kCmdWriteCycle, static_cast<std::uint8_t>(d), static_cast<std::uint8_t>(d >> 8));
  };
  cycle(short_ ? 0x555 : 0x5555, 0xAA);
  cycle(short_ ? 0x2AA : 0x2AAA, 0x55);
  cycle(short_ ? 0x555 : 0x5555, 0xC0);
  cycle(address, data);
  // The register programs like a cell: the next command waits until it has.
  ProgramWait();
}

// The four protect words from the range grid's "Protect reg" rows, read back through the
// identifier mode, and only then the lock word: the lock (D1 low) closes the user's block for
// good, so written first it would refuse the words, and a word that did not take must not be
// locked in.
void P29F640::WriteProtectionRegisters() {
  if (!TypeCheck() || !PowerUp()) return;
  CommandMode();
  std::array<std::uint16_t, 4> words{};
  for (std::uint32_t i = 0; i < 4; ++i) {
    words[i] = static_cast<std::uint16_t>(Word(kProtectWordFirst + static_cast<int>(i)));
    if (Type().wide()) {
      ProtectionRegisterWrite(kProtectWordAddress + i, words[i]);
    } else {
      ProtectionRegisterWrite(kProtectWordAddress + 2 * i, words[i] & 0xFF);
      ProtectionRegisterWrite(kProtectWordAddress + 1 + 2 * i, words[i] >> 8);
    }
  }
  Cycle(kCycleUnlock1);
  Cycle(kCycleUnlock2);
  Cycle(kCycleAutoselect);
  SetLine(kLineBusRead);
  ClearLine(kLineOutputEnable);
  SetAddress(kProtectWordAddress);
  Cycle(kCycleAddress);
  FlushCommands();
  PutCmd2(kCmdReadBlocks, 1);
  FlushCommands();
  const std::uint8_t* back = gLink.ScratchBuffer.data();
  ReadSetBlock(gLink.ScratchBuffer.data(), 64);
  std::uint32_t bad = 4;
  for (std::uint32_t i = 0; i < 4 && bad == 4; ++i) {
    if ((back[2 * i] | back[2 * i + 1] << 8) != words[i]) bad = i;
  }
  // The identifier mode is left before any other command.
  CommandMode();
  PutCmd3(kCmdWriteCycle, kReadArrayReset, 0);
  if (bad == 4) {
    ProtectionRegisterWrite(kProtectLockAddress, kProtectLockWord);
  } else {
    char line[96];
    std::snprintf(line, sizeof line,
                  "Protect reg%u reads %02X%02X, not locked! *保护寄存器%u读出%02X%02X，未锁定!",
                  bad, back[2 * bad + 1], back[2 * bad], bad, back[2 * bad + 1], back[2 * bad]);
    AddMessageLine(line);
    gLink.FailAddress = bad;
    gLink.StatusWord = 1;
  }
  SetLine(kLineOutputEnable);
  SetLine(kLineChipEnable);
  SelectVccPin(0);
  FlushCommands();
}

}  // namespace zelvar::memory
