#include "algorithms/memory/MemorySet.h"

#include <cstring>

#include "link/Bitstream.h"
#include "link/ChipId.h"
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
constexpr const char* kSingleGroup[] = {"0: (只有一种类型)", "$end"};
constexpr int kMaxListEntries = 1000;
constexpr int kDefaultVccMillivolts = 5000;

bool IsEnd(const char* entry) {
  return std::strncmp(entry, "$end", 4) == 0;
}

// Writes `text` as entry `n` of the list when it has room; the last slot is kept for "$end".
void Put(ChipUiList& list, int& n, const char* text) {
  if (n + 1 < static_cast<int>(list.size())) list[n++] = text;
}
}  // namespace

std::uint8_t ReverseBits(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & (1 << i)) r |= static_cast<std::uint8_t>(0x80 >> i);
  }
  return r;
}

std::uint8_t MemorySet::Dispatch(int op, std::uint8_t* buffer, std::int32_t* record,
                                 ChipUiList* list) {
  buffer_ = buffer;
  record_ = record;
  if (op == kOpSetup) {
    Init();
  } else if (op == kOpDescribe) {
    if (record && list) Describe(record, list);
  } else if (record && buffer) {
    Run(op);
  }
  return gLink.StatusWord;
}

std::span<const char* const> MemorySet::ConfigTable() const {
  return kSingleGroup;
}

int MemorySet::Describe(std::int32_t* info, ChipUiList* list) {
  const TypeFacts f = Facts();
  info[0] = static_cast<std::int32_t>(f.lastAddress);
  info[1] = 0;
  info[2] = 0;
  info[3] = f.viewKind;
  info[4] = f.noStamps;
  info[5] = static_cast<std::int32_t>(f.groundPin);
  info[6] = static_cast<std::int32_t>(f.contactMask & 0xFFFFFFFFu);
  info[7] = static_cast<std::int32_t>(f.contactMask >> 31);

  ChipUiList& out = *list;
  int n = 0;
  const auto entries = DescribeList();
  for (std::size_t i = 0; i < entries.size() && i < kMaxListEntries && !IsEnd(entries[i]); ++i) {
    Put(out, n, entries[i]);
  }

  // The config group named by "cfg=": its rows follow its opening row up to the next group.
  const int group = services().ChipParam("cfg=");
  const auto table = ConfigTable();
  std::size_t row = 0;
  while (row < table.size() && !IsEnd(table[row]) && table[row][0] - '0' != group) ++row;
  Put(out, n, "$Grid1:");
  if (row < table.size() && !IsEnd(table[row])) {
    for (std::size_t i = row + 1; i < table.size() && i < kMaxListEntries; ++i) {
      const char* entry = table[i];
      if (IsEnd(entry) || static_cast<signed char>(entry[0]) < ':') break;
      Put(out, n, entry);
    }
  }
  if (n < static_cast<int>(out.size())) out[n++] = "$end";
  return n;
}

void MemorySet::PutAddress(std::uint32_t address, std::uint32_t highBits, const AddressPins& pins) {
  address |= highBits;
  latch_ = ReverseBits(static_cast<std::uint8_t>(address));
  WritePort(1, latch_);
  for (std::size_t i = 0; i < pins.bits.size() && pins.bits[i] != 0; ++i) {
    SetPinLevel((address >> (8 + i)) & 1, pins.bits[i]);
  }
  if (pins.raiseAfter) SetPinHigh(pins.raiseAfter);
}

void MemorySet::ReadBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t bytes) {
  SetAddress(address);
  PutCmd1(kCmdReadBlock1k);
  FlushCommands();
  ReadSetBlock(dest, bytes);
}

void MemorySet::RestoreSupplies() {
  SetVccVoltage(vccMillivolts_);
  if (gLink.LastVppMillivolts != vppMillivolts_) SetVppVoltage(vppMillivolts_);
}

std::uint32_t MemorySet::RangeEndExclusive() const {
  const std::uint32_t end = Word(kRangeEndWord);
  return end == 0xFFFFFFFF ? end : end + 1;
}

int MemorySet::ChipVccMillivolts() {
  return VccParam(1);
}

std::uint32_t MemorySet::ChipPulseSteps() {
  const int steps = services().ChipParam("dly=");
  return steps < 1 ? 1 : static_cast<std::uint32_t>(steps);
}

void MemorySet::EndOfWrite() {
  SelectVppPin(0);
  ShowProgress(-1);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
}

void MemorySet::Fail(std::uint32_t offset, std::uint8_t byte) {
  SelectVccPin(0);
  gLink.StatusWord = 1;
  gLink.FailAddress = offset;
  gLink.FailByte = byte;
}

bool MemorySet::CompareBlocks(const Scan& s) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  for (std::uint32_t counter = 0; s.throughLast ? counter <= s.last : s.last > counter;
       counter += s.blockBytes) {
    const std::uint32_t address = s.start + counter;
    ShowProgress(static_cast<int>(s.progressByCounter ? counter : address));
    ReadBlock(address, block, s.blockBytes);
    for (std::uint32_t j = 0; j < s.blockBytes; ++j) {
      if (address + j >= s.end) return true;
      const std::uint8_t want = s.expected ? s.expected[counter + j] : 0xFF;
      if (block[j] != want) {
        Fail(counter + j, block[j]);
        return false;
      }
    }
  }
  return true;
}

void MemorySet::ReadIntoBuffer(std::uint32_t last, bool stopAtRangeEnd) {
  for (std::uint32_t address = 0; last > address && address + kBlockBytes <= kCodeBufferSize;) {
    SetAddress(address);
    ShowProgress(static_cast<int>(address));
    PutCmd1(kCmdReadBlock1k);
    FlushCommands();
    ReadSetBlock(buffer_ + address, kBlockBytes);
    address += kBlockBytes;
    if (stopAtRangeEnd && Word(kRangeEndWord) < address) break;
  }
}

void MemorySet::BeginProgramBlock(const Program& p) {
  SetPinHigh(p.programPin);
  SetPinHigh(26);
  SetPinHigh(28);
  SelectVppPin(p.vppPin);
  PutCmd1(kCmdSettle);
}

void MemorySet::QueueProgramByte(std::uint8_t data, const Program& p) {
  WritePort(2, data);
  SetPinLow(26);
  SetPinLow(p.programPin);
  QueuePulse();
  SetPinHigh(p.programPin);
  PutCmd1(kCmdNextAddress);
}

bool MemorySet::ProgramBlocks(const Program& p) {
  std::uint8_t* block = gLink.ScratchBuffer.data();
  for (std::uint32_t counter = 0; p.throughLast ? counter <= p.last : p.last > counter;
       counter += kBlockBytes) {
    const std::uint32_t address = p.start + counter;
    if (address >= p.end) break;
    SetRegister25(writeMode_);
    SetAddress(address);
    ShowProgress(static_cast<int>(counter));
    BeginProgramBlock(p);
    if (p.checkPowerPerBlock && !CheckPower()) {
      SelectVppPin(0);
      SelectVccPin(0);
      return false;
    }
    std::uint32_t n = 0;
    while (n < kBlockBytes && address + n < p.end) {
      QueueProgramByte(p.data[counter + n], p);
      ++n;
    }
    FlushCommands();

    // Read the block back before the next one.
    SelectVppPin(0);
    SetRegister25(readMode_);
    SetAddress(address);
    SetPinLow(26);
    SetPinLow(28);
    PutCmd1(kCmdReadBlock1k);
    FlushCommands();
    ReadSetBlock(block, kBlockBytes);
    for (std::uint32_t j = 0; j < n; ++j) {
      if (block[j] != p.data[counter + j]) {
        Fail(counter + j, block[j]);
        return false;
      }
    }
    if (n < kBlockBytes) break;
  }
  return true;
}

int VccParam(int floor) {
  const int vcc = services().ChipParam("vcc=");
  return vcc < floor ? kDefaultVccMillivolts : vcc;
}

std::uint8_t MemorySet::ReadBusByte() {
  PutCmd1(kCmdReadBus);
  return ReadReply64(gLink.ScratchBuffer.data());
}

void MemorySet::CommandWrite(std::uint8_t data) {
  WritePort(2, data);
  PutCmd1(kCmdStrobe);
}

void MemorySet::QueueCycles(std::span<const BusCycle> cycles) {
  for (const BusCycle& c : cycles) {
    if (c.command == kAtAddress) {
      CommandWrite(c.data);
    } else {
      PutCmd2(c.command, c.data);
    }
  }
}

bool MemorySet::ErasePulses(const PulseErase& e, const std::function<void(int)>& pulse) {
  ShowProgress(0);
  for (int i = 0; i < e.pulses; ++i) {
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(i) * e.progressStep));
    pulse(i);
    FlushCommands();
    if (i >= e.readFrom && ReadBusByte() == 0xFF) return true;
  }
  return false;
}

void MemorySet::ReadSignature(std::uint8_t vccPin, std::uint8_t writeEnablePin) {
  RestoreSupplies();
  ReadChipId16(vccPin, writeEnablePin);
}

}  // namespace zelvar::memory
