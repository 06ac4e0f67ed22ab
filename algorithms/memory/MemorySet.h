#pragma once
// The frame every parallel memory set stands on: the state block, dispatch, set-up and describe,
// the address routine with its bit-reversed low byte, and the 1024-byte block read, compare and
// program loops of the "zor5103.bit" design. A set supplies its tables and overrides the
// steps in which its chips differ; it does not copy the frame.
#include <array>
#include <cstdint>
#include <functional>
#include <span>

#include "algorithms/frame/SetFrame.h"
#include "link/commands/Zor5103.h"
#include "services/AppState.h"
#include "services/Dispatcher.h"

namespace zelvar::memory {

inline constexpr std::uint32_t kBlockBytes = 1024;
inline constexpr std::uint8_t kBottomGroundPin = 20;

// OptionValues words the handlers read.
inline constexpr int kRangeStartWord = 64;
inline constexpr int kRangeEndWord = 65;
inline constexpr int kRadio1Word = 128;

// A "mem=" size class of a type: its last address and contact pins. A class a row lacks reads as
// no size and no pins.
struct SizeClass {
  int mem = -1;
  std::uint32_t lastAddress = 0;
  std::uint64_t contactMask = 0;
};
template <std::size_t N>
constexpr SizeClass FindSizeClass(const std::array<SizeClass, N>& sizes, int mem) {
  for (const SizeClass& s : sizes) {
    if (s.mem >= 0 && s.mem == mem) return s;
  }
  return {};
}

// "vcc=" in millivolts, 5000 when the line gives less than `floor` (or nothing).
int VccParam(int floor);

// One write cycle of the JEDEC command sets: command 41 carries it to the first unlock address
// (0x5555), 42 to the second (0x2AAA), 0 to the address the counter holds (port 2 and a strobe).
struct BusCycle {
  std::uint8_t command = 0;
  std::uint8_t data = 0;
};
inline constexpr std::uint8_t kAt5555 = zor5103::kCmdUnlock5555;
inline constexpr std::uint8_t kAt2AAA = zor5103::kCmdUnlock2AAA, kAtAddress = 0;
inline constexpr BusCycle kJedecProgram[] = {{kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0xA0}};
inline constexpr BusCycle kJedecChipErase[] = {{kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0x80},
                                               {kAt5555, 0xAA}, {kAt2AAA, 0x55}, {kAt5555, 0x10}};

// An erase by repeated pulses: `pulse` queues one; from pulse `readFrom` on (0-based) the byte at
// address 0 is read after each and the erase ends when it reads 0xFF. Progress goes by pulse.
struct PulseErase {
  int pulses = 1;
  int readFrom = 0;
  std::uint32_t progressStep = 0;
};

std::uint8_t ReverseBits(std::uint8_t b);

// Socket pins of address bits 8 and up, in bit order; 0 ends the list. `raiseAfter` is a pin set
// high once the address is out (a chip-enable or program pin above the chip's range).
struct AddressPins {
  std::array<std::uint8_t, 12> bits{};
  std::uint8_t raiseAfter = 0;
};

using frame::TypeFacts;

// A 1024-byte block scan: Blank (no expected bytes) or Verify against the buffer, chip address
// start + k compared with expected[k].
struct Scan {
  std::uint32_t start = 0;
  std::uint32_t last = 0;          // the type's last address
  bool throughLast = false;        // loop while counter <= last (else while last > counter)
  std::uint32_t end = 0xFFFFFFFF;  // compare while address + j < end; the end stops the scan
  const std::uint8_t* expected = nullptr;
  bool progressByCounter = false;  // ShowProgress with the counter (else the block's address)
  std::uint32_t blockBytes = kBlockBytes;
};

// A block write: the bytes from data[0] on go to chip addresses start .. end - 1, one block of
// 1024 per flush, each block read back and compared before the next.
struct Program {
  std::uint32_t start = 0;
  std::uint32_t last = 0;
  bool throughLast = false;
  std::uint32_t end = 0xFFFFFFFF;
  const std::uint8_t* data = nullptr;
  std::uint8_t vppPin = 0;
  std::uint8_t programPin = 0;
  bool checkPowerPerBlock = false;  // a failed check in any block ends the write
};

// The dispatcher contract, describe and the status rule come from the frame every set shares.
class MemorySet : public frame::SetFrame {
 protected:
  // Puts `address` on the chip (queued, not flushed).
  virtual void SetAddress(std::uint32_t address) = 0;

  // The address routine of the bitstream's port 1: bits 8 up on single pins.
  void PutAddress(std::uint32_t address, std::uint32_t highBits, const AddressPins& pins);

  // Reads the block of `bytes` at `address` into `dest` (1024 bytes: one command 39).
  virtual void ReadBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t bytes);
  // Compares from `s.start` on; false at the first difference (VCC off, StatusWord 1,
  // FailAddress, FailByte already set).
  bool CompareBlocks(const Scan& s);
  // Reads from address 0 into the buffer at each byte's own address, while `last` is greater than
  // the block address, stopping after the block beyond the range end.
  // With `stopAtRangeEnd` false the whole chip is read whatever the range.
  void ReadIntoBuffer(std::uint32_t last, bool stopAtRangeEnd = true);
  // Programs p.data to p.start .. p.end - 1 with a read-back per block; false on a failure.
  bool ProgramBlocks(const Program& p);
  // One byte of the program sequence (data on the bus, the pulse, the address step), queued.
  virtual void QueueProgramByte(std::uint8_t data, const Program& p);
  // The program pulse's wait.
  virtual void QueuePulse() {}
  // The control pins before a block's bytes (pins 26 and 28 and the program pin high, VPP on).
  virtual void BeginProgramBlock(const Program& p);
  // Queued after a block's bytes, before it is sent and read back.
  virtual void EndProgramBlock(const Program&) {}
  // The normal end of a write: VPP off, progress finished, VCC off, pins 28 and 26 low.
  static void EndOfWrite();
  // Records a mismatch: VCC off, StatusWord 1, FailAddress, FailByte.
  static void Fail(std::uint32_t offset, std::uint8_t byte);
  // Single-byte cycles: the data bus read once (command 3 and its reply), a command write (port 2
  // and the write strobe 43), and the JEDEC cycles of `cycles` in order.
  static std::uint8_t ReadBusByte();
  static void CommandWrite(std::uint8_t data);
  static void QueueCycles(std::span<const BusCycle> cycles);
  // Runs the pulses of `e` (`pulse` queues pulse i and the read set-up after it); true when
  // address 0 read 0xFF.
  bool ErasePulses(const PulseErase& e, const std::function<void(int)>& pulse);
  // The signature with A9 at 12 V through VCC on `vccPin`, `writeEnablePin` held high.
  void ReadSignature(std::uint8_t vccPin, std::uint8_t writeEnablePin = 0);
  // An option-indexed choice of `count` entries, clamped: a project file may hold any value.
  std::uint32_t Choice(int word, std::uint32_t count) const {
    const std::uint32_t v = Word(word);
    return v < count ? v : count - 1;
  }
  // One past the range's last address: "Addr end" names the last byte the operation takes.
  std::uint32_t RangeEndExclusive() const;
  // The device-list item "dly=" a line may lack: the pulse in 100 µs steps, 1 when missing;
  // without it a set would run with no pulse.
  static std::uint32_t ChipPulseSteps();
  // The state block beside the frame's buffer and record.
  std::uint32_t start_ = 0;
  std::uint32_t lastAddress_ = 0;
  std::uint32_t blockAddress_ = 0;  // the chip address of the block being programmed
  std::uint8_t readMode_ = 0;
  std::uint8_t writeMode_ = 0;
  std::uint8_t latch_ = 0;
};

}  // namespace zelvar::memory
