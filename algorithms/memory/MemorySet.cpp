#include "algorithms/memory/MemorySet.h"

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

std::uint8_t ReverseBits(std::uint8_t b) {
  std::uint8_t r = 0;
  for (int i = 0; i < 8; ++i) {
    if (b & (1 << i)) r |= static_cast<std::uint8_t>(0x80 >> i);
  }
  return r;
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

std::uint32_t MemorySet::RangeEndExclusive() const {
  const std::uint32_t end = Word(kRangeEndWord);
  return end == 0xFFFFFFFF ? end : end + 1;
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
    blockAddress_ = address;
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
    EndProgramBlock(p);
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
  constexpr int kDefaultVccMillivolts = 5000;
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
