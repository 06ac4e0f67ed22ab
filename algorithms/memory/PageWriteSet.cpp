#include "algorithms/memory/PageWriteSet.h"

#include <algorithm>
#include <array>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {

constexpr std::uint8_t kCePin = 26, kOePin = 28, kWePinOf32 = 35;
constexpr const char* kCannotWrite =
    "This chip needs 21 V write pulses, which this programmer does not give! "
    "*此器件需要21V写脉冲,本编程器不支持!";

struct Package {
  std::uint8_t vccPin;
  std::uint8_t firstPin;  // socket pin of the package's pin 1
  std::uint32_t maxLast;
};
constexpr std::array<Package, 3> kPackages = {{{32, 9, 0x7FF}, {34, 7, 0x7FFF}, {36, 5, 0x7FFFF}}};

const Package* PackageOf(std::uint8_t vccPin) {
  for (const Package& p : kPackages) {
    if (p.vccPin == vccPin) return &p;
  }
  return nullptr;
}

int AddressLines(std::uint32_t last) {
  int n = 0;
  while (n < 32 && (last >> n) != 0) ++n;
  return n;
}

// The software data protection sequences of the 29EE, 29C and 28C parts.
constexpr BusCycle kSdpEnable[] = {{kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0xA0}};
constexpr BusCycle kSdpDisable[] = {{kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0x80},
                                    {kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0x20}};

// The page wait in 5 ms steps: "Normal" gives 10 ms, the parts' longest write cycle, after 1 ms
// in which the byte-load window closes and the cycle starts.
constexpr std::uint32_t kSettlesPerStep = 5, kWindowSettles = 1;
// The 2816's wait after each byte, as its "$Radio1:" items read.
constexpr std::array<std::uint32_t, 5> kByteWaitMs = {10, 20, 30, 40, 50};

}  // namespace

AddressPins PageAddressPins(const PageType& t) {
  static constexpr std::array<std::uint8_t, 11> k32 = {31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 5};
  static constexpr std::array<std::uint8_t, 11> k28WeOn7 = {31, 30, 27, 29, 8, 32, 33};
  static constexpr std::array<std::uint8_t, 11> k28 = {31, 30, 27, 29, 8, 32, 7};
  static constexpr std::array<std::uint8_t, 11> k24 = {31, 30, 27};
  const auto& order = t.vccPin == 36 ? k32 : t.vccPin == 32 ? k24 : t.wePin == 7 ? k28WeOn7 : k28;
  AddressPins a{};
  const int lines = AddressLines(t.lastAddress) - 8;
  for (int i = 0; i < lines && i < static_cast<int>(order.size()); ++i) a.bits[i] = order[i];
  a.raiseAfter = t.wePin == kNoWritePin ? 0 : t.wePin;
  return a;
}

void CheckPageRow(const PageType& t, TypeTableReport& r) {
  if (t.name.empty() && t.lastAddress == 0) return;
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(kPageBitstream);
  r.SizeIsPowerOfTwo(t.lastAddress);
  if (t.pageBytes() > 256 || (t.pageBytes() & t.pageMask) != 0 || t.pageMask > t.lastAddress)
    r.Fault("page not a power of two up to 256 bytes within the part");
  const Package* pkg = PackageOf(t.vccPin);
  if (pkg == nullptr) {
    r.Fault("VCC pin names no package");
    return;
  }
  if (t.lastAddress > pkg->maxLast) r.Fault("more address lines than the package has");
  const std::uint8_t lastPin = static_cast<std::uint8_t>(41 - pkg->firstPin);
  const bool weOk = t.wePin == kNoWritePin || (pkg->vccPin == 36 && t.wePin == 35) ||
                    (pkg->vccPin == 34 && (t.wePin == 33 || t.wePin == 7)) ||
                    (pkg->vccPin == 32 && t.wePin == 29);
  if (!weOk) r.Fault("WE pin is not where the package has it");
  const AddressPins pins = PageAddressPins(t);
  for (std::uint8_t p : pins.bits) {
    if (p != 0 && p == t.wePin) r.Fault("WE pin carries an address line");
  }
  if ((t.contactMask & ~SocketPins(pkg->firstPin, lastPin)) != 0)
    r.Fault("contact mask off the package");
  if (t.vppPin != 0) {
    r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {kBottomGroundPin}, 40);
    if (t.vppPin < pkg->firstPin || t.vppPin > lastPin) r.Fault("VPP pin off the package");
    if (t.vppMillivolts < 5000 || t.vppMillivolts > 25000) r.Fault("VPP outside 5 V to 25 V");
  }
}

void PageWriteSet::Init() {
  const PagePolicy& pol = Policy();
  refused_ = false;
  LoadBitstream(kPageBitstream);
  if (pol.initHardware) InitHardwareState();
  SelectGndPin(kBottomGroundPin);
  vppMillivolts_ = pol.vppMillivolts;
  vccMillivolts_ = pol.vccFloor > 0 ? VccParam(pol.vccFloor) : 5000;
  SetVppVoltage(vppMillivolts_);
  SetVccVoltage(vccMillivolts_);
  readMode_ = kReadMode;
  writeMode_ = kWriteMode;
  lastAddress_ = Type().lastAddress;
  if (Type().lastAddress == 0) {
    refused_ = true;
    AddMessageLine(frame::kNoSuchType);
  } else if (Type().wePin == kNoWritePin) {
    refused_ = true;
    AddMessageLine(kCannotWrite);
  }
}

TypeFacts PageWriteSet::Facts() const {
  if (refused_) return {};
  return {Type().lastAddress, Type().contactMask};
}

bool PageWriteSet::Run(int op) {
  const auto ops = Operations();
  if (std::find(ops.begin(), ops.end(), op) == ops.end()) return false;
  if (refused_) {
    AddMessageLine(Type().lastAddress == 0 ? frame::kNoSuchType : kCannotWrite);
    gLink.StatusWord = 1;
    return true;
  }
  switch (op) {
    case kOpRead:
      Read();
      break;
    case kOpBlank:
      Blank();
      break;
    case kOpVerify:
      Verify();
      break;
    case kOpWrite:
      Write();
      break;
    case kOpUnProtect:
      UnProtect();
      break;
    case kOpLock:
      Protect();
      break;
    case kOpErase:
      Erase();
      break;
    default:
      return false;
  }
  return true;
}

bool PageWriteSet::PowerUp() {
  RestoreSupplies();
  SelectGndPin(kBottomGroundPin);
  SelectVccPin(Type().vccPin);
  return CheckPower();
}

// The bus turns to an input before CE# and OE# let the chip drive it, in every read below.
void PageWriteSet::Read() {
  SetRegister25(readMode_);
  SetPinLow(kCePin);
  SetPinLow(kOePin);
  if (!PowerUp()) return;
  SetAddress(0);
  SetPinLow(kOePin);
  SetPinLow(kCePin);
  FlushCommands();
  lastAddress_ = Type().lastAddress;
  ReadIntoBuffer(lastAddress_, Policy().readStopsAtRangeEnd);
  SetAllPins(false);
  SelectVccPin(0);
  ShowProgress(-1);
}

void PageWriteSet::Blank() {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(kCePin);
  SetPinLow(kOePin);
  gLink.StatusWord = 0;
  Scan s;
  s.last = Type().lastAddress;
  if (!CompareBlocks(s)) return;
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
}

// Whole 1024-byte blocks from the one holding the range start: a block read from an unaligned
// start would run the counter past the part's top into pins that are not its address lines
// (WE# among them on the 24- and 28-pin parts).
void PageWriteSet::Verify() {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(kCePin);
  SetPinLow(kOePin);
  gLink.StatusWord = 0;
  start_ = std::min(Word(kRangeStartWord), Type().lastAddress);
  rangeEnd_ = std::min(RangeEndExclusive(), Type().lastAddress + 1);
  if (!CompareRange(start_, rangeEnd_, true)) return;
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
}

bool PageWriteSet::CompareRange(std::uint32_t from, std::uint32_t to, bool progress) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  for (std::uint32_t base = from & ~(kBlockBytes - 1); base < to; base += kBlockBytes) {
    if (progress) ShowProgress(static_cast<int>(base > start_ ? base - start_ : 0));
    ReadBlock(base, block, kBlockBytes);
    for (std::uint32_t a = std::max(from, base); a < std::min(to, base + kBlockBytes); ++a) {
      if (block[a - base] != ByteAt(a)) {
        Fail(a - start_, block[a - base]);
        return false;
      }
    }
  }
  return true;
}

void PageWriteSet::StrobeWe() {
  switch (Type().wePin) {
    case kWePinOf32:
      PutCmd1(kCmdStrobe);
      break;
    case 33:
      PutCmd1(kCmdStrobePin33);
      break;
    case 7:
      PutCmd1(kCmdStrobePin7);
      break;
    default:
      SetPinLow(Type().wePin);
      SetPinHigh(Type().wePin);
      break;
  }
}

void PageWriteSet::ProtectionCycle(std::uint32_t address, std::uint8_t data) {
  if (Policy().unlockCommands && Type().vccPin == 36) {
    PutCmd2(address == 0x5555 ? kCmdUnlock5555 : kCmdUnlock2AAA, data);
    return;
  }
  SetAddress(address);
  WritePort(2, data);
  StrobeWe();
}

void PageWriteSet::QueueSequence(std::span<const BusCycle> cycles) {
  for (const BusCycle& c : cycles) ProtectionCycle(c.command == kAt5555 ? 0x5555 : 0x2AAA, c.data);
}

void PageWriteSet::QueuePageWait() {
  const std::uint32_t steps = Choice(kRadio1Word, 3) + 2;
  for (std::uint32_t i = 0; i < kWindowSettles + steps * kSettlesPerStep; ++i) {
    PutCmd1(kCmdSettle);
  }
}

// The first page is reloaded with its own bytes inside the sequence's load window, and the write
// cycle waited out before VCC goes off: the protection changes only at its end.
void PageWriteSet::Protection(bool enable) {
  if (!PowerUp()) return;
  SetRegister25(readMode_);
  SetPinLow(kOePin);
  SetPinLow(kCePin);
  std::array<std::uint8_t, kBlockBytes> saved{};
  ReadBlock(0, saved.data(), kBlockBytes);
  SetRegister25(writeMode_);
  SetPinHigh(kOePin);
  SetPinLow(kCePin);
  if (enable) {
    QueueSequence(kSdpEnable);
  } else {
    QueueSequence(kSdpDisable);
  }
  SetAddress(0);
  for (std::uint32_t i = 0; i < Type().pageBytes(); ++i) {
    WritePort(2, saved[i]);
    StrobeWe();
    PutCmd1(kCmdNextAddress);
  }
  SetPinHigh(kCePin);
  QueuePageWait();
  SetPinLow(kOePin);
  FlushCommands();
  SelectVccPin(0);
  FlushCommands();
}

void PageWriteSet::Erase() {
  const PagePolicy& pol = Policy();
  if (pol.erase == PageErase::None) return;
  if (!pol.byteWrite) {
    UnProtect();
    if (gLink.StatusWord != 0) return;
  }
  SetAllPins(false);
  SetRegister25(writeMode_);
  SetAddress(0);
  SetPinHigh(kCePin);
  SetPinHigh(kOePin);
  if (!PowerUp()) return;
  if (pol.erase == PageErase::Software) {
    SetPinLow(kCePin);
    QueueSequence(kJedecChipErase);
    PutCmd1(kCmdErasePulse);  // 100 ms, past the parts' 20 ms chip erase
    SetPinHigh(kCePin);
    FlushCommands();
  } else {
    // Chip clear: OE# at 12 V at least 5 ms before WE# falls, WE# low 10 ms and more.
    constexpr int kClearMillivolts = 12000;
    SetVppVoltage(kClearMillivolts);
    SelectVppPin(kOePin);
    if (!CheckPower()) {
      SelectVppPin(0);
      SelectVccPin(0);
      SetVppVoltage(vppMillivolts_);
      return;
    }
    ShowProgress(0);
    PutCmd1(kCmdErasePulse);
    SetPinLow(kCePin);
    SetPinLow(Type().wePin);
    PutCmd1(kCmdErasePulse);
    SetPinHigh(Type().wePin);
    PutCmd1(kCmdErasePulse);
    SetPinHigh(kCePin);
    SelectVppPin(0);
    SetPinLow(kOePin);
    FlushCommands();
    SetVppVoltage(vppMillivolts_);
    ShowProgress(-1);
  }
  SelectVccPin(0);
  SetAllPins(false);
  FlushCommands();
}

std::uint8_t PageWriteSet::ByteAt(std::uint32_t address) const {
  if (address >= start_ && address < rangeEnd_) return buffer_[address - start_];
  const std::uint32_t page = Type().pageBytes();
  if (address >= headBase_ && address < headBase_ + page) return headPage_[address - headBase_];
  if (address >= tailBase_ && address < tailBase_ + page) return tailPage_[address - tailBase_];
  return 0xFF;
}

void PageWriteSet::QueuePage(std::uint32_t address) {
  const std::uint8_t we = Type().wePin;
  SetRegister25(writeMode_);
  SetAddress(address);
  ShowProgress(static_cast<int>(address));
  SetPinHigh(kCePin);
  SetPinHigh(kOePin);
  SetPinLow(we);
  FlushCommands();
  for (std::uint32_t i = 0; i < Type().pageBytes(); ++i) PutCmd2(kCmdPageLoad, ByteAt(address + i));
  FlushCommands();
  SetPinHigh(we);
  FlushCommands();
  QueuePageWait();
  FlushCommands();
}

// The 2816 class: each byte written by a WE# pulse under CE# low and waited out on its own.
void PageWriteSet::QueueBytes(std::uint32_t address, std::uint32_t count) {
  const std::uint8_t we = Type().wePin;
  const std::uint32_t waitMs = kByteWaitMs[Choice(kRadio1Word, kByteWaitMs.size())];
  SetRegister25(writeMode_);
  SetAddress(address);
  ShowProgress(static_cast<int>(address));
  SetPinLow(kCePin);
  SetPinHigh(kOePin);
  for (std::uint32_t i = 0; i < count; ++i) {
    WritePort(2, ByteAt(address + i));
    SetPinHigh(kOePin);
    SetPinLow(kCePin);
    SetPinLow(we);
    SetPinHigh(we);
    SetPinHigh(kCePin);
    SetPinLow(kOePin);
    for (std::uint32_t ms = 0; ms < waitMs; ++ms) PutCmd1(kCmdWait1ms);
    PutCmd1(kCmdNextAddress);
  }
  FlushCommands();
}

bool PageWriteSet::ReadBack(std::uint32_t from, std::uint32_t to) {
  SetPinHigh(Type().wePin);
  SetRegister25(readMode_);
  SetPinLow(kOePin);
  SetPinLow(kCePin);
  if (!CompareRange(from, to, false)) return false;
  SetPinHigh(kCePin);
  return true;
}

// Chip address start + k takes buffer byte k. A page the range only partly covers keeps the
// chip's own bytes outside the range: they are read first and loaded with the page, since a page
// write erases what it is not given.
void PageWriteSet::Write() {
  if (!PowerUp()) return;
  gLink.StatusWord = 0;
  const PageType& t = Type();
  const PagePolicy& pol = Policy();
  const std::uint32_t page = t.pageBytes();
  start_ = std::min(Word(kRangeStartWord), t.lastAddress);
  rangeEnd_ = std::min(RangeEndExclusive(), t.lastAddress + 1);
  const std::uint32_t first = start_ & ~t.pageMask;
  headBase_ = first;
  tailBase_ = rangeEnd_ > 0 ? (rangeEnd_ - 1) & ~t.pageMask : 0;
  SetRegister25(readMode_);
  SetPinLow(kCePin);
  SetPinLow(kOePin);
  const auto keep = [&](std::uint32_t base, std::array<std::uint8_t, 256>& page) {
    std::uint8_t* block = gLink.ScratchBuffer.data();
    ReadBlock(base & ~(kBlockBytes - 1), block, kBlockBytes);
    std::copy_n(block + (base & (kBlockBytes - 1)), t.pageBytes(), page.begin());
  };
  if (!pol.byteWrite && start_ != headBase_) keep(headBase_, headPage_);
  if (!pol.byteWrite && (rangeEnd_ & t.pageMask) != 0) keep(tailBase_, tailPage_);

  const std::uint32_t every = std::max(pol.readBackEvery, page);
  std::uint32_t checked = start_;
  for (std::uint32_t address = first; address < rangeEnd_; address += page) {
    if (pol.byteWrite) {
      const std::uint32_t from = std::max(address, start_);
      QueueBytes(from, std::min(address + page, rangeEnd_) - from);
      QueuePageWait();
      FlushCommands();
    } else {
      QueuePage(address);
    }
    const std::uint32_t next = address + page;
    if (next % every == 0 || next >= rangeEnd_) {
      if (!ReadBack(checked, std::min(next, rangeEnd_))) return;
      checked = next;
    }
  }
  ShowProgress(-1);
  SelectVccPin(0);
  SetPinLow(kOePin);
  SetPinLow(kCePin);
  FlushCommands();
}

}  // namespace zelvar::memory
