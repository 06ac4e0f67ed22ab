#include "algorithms/mcs51/SstHostEngine.h"

#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 15}};
constexpr ModeLines kCodeLines{{17, 16, 28, 27}};
constexpr std::uint8_t kSwitchPin = 13;
constexpr const char* kReadCode = "1100";
constexpr const char* kProgramCode = "1110";
constexpr const char* kEraseCode = "0001";
constexpr const char* kReadIdCode = "0000";
constexpr std::uint32_t kSignatureAddress = 0x30;
constexpr std::uint32_t kSelectBlock0 = 0x5500, kSelectBlock1 = 0xA500;
constexpr int kShortEraseWaits = 13;
constexpr const char* kChipError = "Warning: Chip error!*提醒: 不能进入编程!";
constexpr std::uint8_t kSstMaker = 0xBF;

constexpr SstBitCommand kSecurityBits[] = {
    {.bit = 0, .code = "1111"}, {.bit = 1, .code = "0011"}, {.bit = 2, .code = "0101"}};
}  // namespace

void SstHostSet::CheckRow(const SstType& t, TypeTableReport& r) {
  ParallelSet::CheckRow({.name = t.name, .lastAddress = 0xFFFF}, r);
  if (t.lastAddress > 0xFFFF || (t.lastAddress & 0xFF) != 0xFF)
    r.Fault("block 0 not 256-byte blocks");
  if (t.block1Start == kSstNoBlock1) return;
  if (t.block1Bytes == 0 || (t.block1Bytes & 0xFF) != 0) r.Fault("block 1 not 256-byte blocks");
  if (t.block1Start == kSstBehindSwitch) {
    if (t.lastAddress != 0xFFFF) r.Fault("block 1 behind the switch beside a block 0 under 64 KB");
    return;
  }
  if (t.block1Start <= t.lastAddress) r.Fault("block 1 inside the code");
  if (t.block1Start + t.block1Bytes != 0x10000) r.Fault("block 1 not at the top of the map");
}

const AddressPins& SstHostSet::Address() const {
  return kAddress;
}

std::span<const SstBitCommand> SstHostSet::SecurityCommands() const {
  return kSecurityBits;
}

void SstHostSet::ModePins(const char* code) {
  SwitchPin(kSwitchPin, true);
  SetMode(kCodeLines, Mode{code});
}

void SstHostSet::ProgramByte(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgPin);
  SetPinHigh(kProgPin);
  PutCmd1(kCmdWait100us);
}

// PSEN high, an RST pulse, PSEN low with RST high: a fresh entry; then the Read-ID arms the chip.
// P0 is released first, as the chip drives it in the Read-ID.
void SstHostSet::ReadSignature() {
  SetRegister25(kBusRead);
  SetPinHigh(kPsenPin);
  SetPinLow(kRstPin);
  SetPinHigh(kRstPin);
  SetPinHigh(31);
  SetPinHigh(kProgPin);
  SetPinLow(kPsenPin);
  PutCmd1(kCmdWait100us);
  ModePins(kReadIdCode);
  const bool atZero = Policy().signatureAtZero;
  SetAddress(atZero ? 0 : kSignatureAddress);
  FlushCommands();
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  const std::uint32_t at = atZero ? kSignatureAddress : 0;
  gApp.ReadId = {block[at], block[at + 1], 0, 0};
}

void SstHostSet::ModeCommand(const char* code, bool hasAddress, std::uint32_t address) {
  ReadSignature();
  ModePins(code);
  if (hasAddress) SetAddress(address);
  SetRegister25(kBusDrive);
  ProgramByte(0xFF);
  SetRegister25(kBusRead);
  FlushCommands();
}

bool SstHostSet::HasBlockSwitch() const {
  const SstWalk walk = Walk();
  for (const SstSegment& s : walk.Span()) {
    if (s.block1) return true;
  }
  return false;
}

void SstHostSet::SelectBlock(int n) {
  if (HasBlockSwitch()) ModeCommand("1001", true, n == 0 ? kSelectBlock0 : kSelectBlock1);
}

// P0 is released after every pin has gone low: the chip may drive it from its first Read-ID.
bool SstHostSet::Enter() {
  SetRegister25(kBusRead);
  SetAllPins(false);
  SetRegister25(kBusRead);
  if (!Policy().checkedEntry) {
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kSwitchPin, true);
    SelectClockPin(kXtal1Pin);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinLow(kRstPin);
    SetPinHigh(31);
    SetPinHigh(kProgPin);
    SetPinHigh(kRstPin);
    FlushCommands();
    return true;
  }
  ShowProgress(0);
  SwitchPin(kSwitchPin, true);
  SetPinHigh(kPsenPin);
  SelectClockPin(kXtal1Pin);
  SetPinLow(gMcs51.ChipVccPin);
  SelectVccPin(gMcs51.ChipVccPin);
  SetPinLow(kRstPin);
  SetPinHigh(31);
  SetPinHigh(kProgPin);
  SetPinHigh(kRstPin);
  SetPinLow(kPsenPin);
  ReadSignature();
  if (gApp.ReadId[0] == kSstMaker) return true;
  // Not an SST part, or not in its host mode: nothing is programmed or read on a guess.
  AddMessageLine(kChipError);
  gLink.StatusWord = 1;
  return false;
}

bool SstHostSet::Answers() {
  if (gApp.ReadId[0] == kSstMaker) return true;
  // An unpowered or absent chip reads 0xFF everywhere: a Blank or Read of it would be a guess.
  AddMessageLine(kChipError);
  gLink.StatusWord = 1;
  return false;
}

bool SstHostSet::IdentityMatches() {
  const auto& r = gApp.ReadId;
  const auto& s = gApp.ExpectedId;
  if (s[0] == 0 || (r[0] == s[0] && r[1] == s[1])) return true;
  char line[48];
  std::snprintf(line, sizeof line, "R=(%02x,%02x)  S=(%02x,%02x)", r[0], r[1], s[0], s[1]);
  AddMessageLine(line);
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

// The row's walk in 256-byte blocks: Read into the buffer, Blank and Verify against 0xFF or the
// buffer, the first difference failing at its buffer address.
bool SstHostSet::ScanWalk(Scan kind) {
  std::uint8_t* scratch = gLink.ScratchBuffer.data();
  const SstWalk walk = Walk();
  for (const SstSegment& s : walk.Span()) {
    if (s.block1) {
      SelectBlock(1);
      ModePins(kReadCode);
    }
    for (std::uint32_t off = 0; off < s.bytes; off += 256) {
      const std::uint32_t at = s.buffer + off;
      ShowProgress(static_cast<int>(at & 0xFFFF));
      SetAddress(s.chip + off);
      std::uint8_t* dest = kind == Scan::Read ? buffer_ + at : scratch;
      ReadBlock256(dest);
      if (kind == Scan::Read) continue;
      for (std::uint32_t i = 0; i < 256; ++i) {
        const std::uint8_t want = kind == Scan::Blank ? 0xFF : buffer_[at + i];
        if (scratch[i] == want) continue;
        gLink.StatusWord = 1;
        gLink.FailAddress = at + i;
        gLink.FailByte = scratch[i];
        ShowProgress(static_cast<int>((at + i) & 0xFFFF));
        return false;
      }
    }
  }
  return true;
}

void SstHostSet::Read() {
  if (!Enter() || !CheckPower()) return;
  ReadSignature();
  if (!Answers()) return;
  SelectBlock(0);
  ModePins(kReadCode);
  SetAddress(0);
  if (!ScanWalk(Scan::Read)) return;
  AfterRead();
  FinishScan();
}

void SstHostSet::Blank() {
  if (!Enter()) return;
  ReadSignature();
  if (!Answers()) return;
  SelectBlock(0);
  ModePins(kReadCode);
  SetAddress(0);
  if (CheckPower() && ScanWalk(Scan::Blank)) FinishScan();
}

void SstHostSet::Verify() {
  if (DataOutsideRow(true) || !Enter()) return;
  ReadSignature();
  if (!Answers()) return;
  SelectBlock(0);
  ModePins(kReadCode);
  SetAddress(0);
  if (CheckPower() && ScanWalk(Scan::Verify)) FinishScan();
}

// Every byte of the row's walk, 0xFF included; no type check.
void SstHostSet::Write() {
  if (!Enter()) return;
  ReadSignature();
  if (!IdentityMatches() || DataOutsideRow(false)) return;
  SelectBlock(0);
  ModePins(kProgramCode);
  SetRegister25(kBusDrive);
  SetAddress(0);
  if (Policy().vppForWrite) SelectVppPinByModel(gMcs51.ChipVppPin);
  if (!CheckPower()) return;
  const SstWalk walk = Walk();
  for (const SstSegment& s : walk.Span()) {
    if (s.block1) {
      SelectBlock(1);
      ModePins(kProgramCode);
      SetRegister25(kBusDrive);
    }
    for (std::uint32_t off = 0; off < s.bytes; off += 256) {
      ShowProgress(static_cast<int>((s.buffer + off) & 0xFFFF));
      SetAddress(s.chip + off);
      for (std::uint32_t i = 0; i < 256; ++i) {
        ProgramByte(buffer_[s.buffer + off + i]);
        NextAddress();
      }
      FlushCommands();
    }
  }
  ShowProgress(-1);
}

void SstHostSet::Erase() {
  if (!Enter() || !CheckPower()) return;
  ReadSignature();
  if (!IdentityMatches()) return;
  SetAddress(0);
  ModePins(kEraseCode);
  SetPinLow(kProgPin);
  if (Policy().shortErase) {
    PutCmd1(kCmdSettle);
    SetPinHigh(kProgPin);
    for (int i = 0; i < kShortEraseWaits; ++i) PutCmd1(kCmdSettle);
  } else {
    SetPinHigh(kProgPin);
    PutCmd1(kCmdSettle);
    PutCmd1(kCmdLongWait);
    PutCmd1(kCmdLongWait);
  }
  FlushCommands();
}

// The security bits chosen in OptionValues word 0, each a mode command without an address.
void SstHostSet::Lock() {
  if (!Enter() || !CheckPower()) return;
  const std::uint32_t bits = Word(0);
  for (const SstBitCommand& c : SecurityCommands()) {
    if ((bits >> c.bit) & 1) ModeCommand(c.code, c.hasAddress, c.address);
  }
}

// The configuration bits chosen in word 0 (a bit of -1 is sent always).
void SstHostSet::Config() {
  if (!Enter() || !CheckPower()) return;
  const std::uint32_t bits = Word(0);
  for (const SstBitCommand& c : ConfigCommands()) {
    if (c.bit < 0 || ((bits >> c.bit) & 1)) ModeCommand(c.code, c.hasAddress, c.address);
  }
}

void SstHostSet::ReadId() {
  Enter();
  if (!Policy().checkedEntry) ReadSignature();
  LogId("MFA = %02x,%02x", 2);
}

}  // namespace zelvar::mcs51
