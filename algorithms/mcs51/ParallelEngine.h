#pragma once
// The 8051 parallel programming engine, written once for the sets that program 40-pin 8051 parts
// in their parallel mode on the "zor5103" designs: the low address byte on programmer port 0
// (the chip's P1), the high address bits and the mode pins on single socket pins, the data byte by
// command 33 onto the chip's P0, ALE/PROG strobes on socket pin 30 and EA/VPP on ChipVppPin. The
// sets give the address pins, the mode patterns and the strobe as data, and their handlers as
// policy.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"
#include "link/commands/P51.h"
#include "link/commands/Programmer.h"
#include "services/Dispatcher.h"

namespace zelvar::mcs51 {

// Socket pins of the parallel mode's fixed signals.
inline constexpr std::uint8_t kRstPin = 9;
inline constexpr std::uint8_t kXtal2Pin = 18;
inline constexpr std::uint8_t kXtal1Pin = 19;  // takes the programmer's clock
inline constexpr std::uint8_t kPsenPin = 29;
inline constexpr std::uint8_t kProgPin = 30;  // ALE/PROG

// OptionValues words of the lock and speed radios.
inline constexpr int kLockChoiceWord = 128;
inline constexpr int kSpeedWord = 129;

// The 8051 designs' bytes and the programmer's own waits under one name each.
using namespace p51;
using zelvar::kCmdSettle;
using zelvar::kCmdWait1ms;

// Address bits 8 to 15 on single socket pins; 0: the bit is not driven.
struct AddressPins {
  std::array<std::uint8_t, 8> high{};
};

// The socket pins of a set's mode inputs, in the order its Mode strings give their levels.
struct ModeLines {
  std::array<std::uint8_t, 6> pins{};
};
// Levels of the mode lines: '1' high, '0' low, '-' left as it is.
struct Mode {
  const char* levels = "";
};

// One program strobe after the data byte: the PROG pulse on pin 30 with `pulseWait` inside it
// (0: none; `pulses` of them for a pulse train), then `afterCount` (plus `slowerExtra` with
// "Slower" chosen) commands `afterWait`, all inside `framePin` high when the strobe names one.
struct Strobe {
  std::uint8_t pulseWait = 0;
  std::uint8_t afterWait = 0;
  std::uint8_t afterCount = 0;
  std::uint8_t slowerExtra = 0;
  std::uint8_t framePin = 0;  // a mode pin raised before the pulse and dropped after the waits
  std::uint8_t pulses = 1;    // EPROM parts: a train of equal PROG pulses, each with pulseWait
};

// The describe list of the parallel sets with the lock and speed radios (P89C51, AT89S5X).
inline constexpr const char* kLockSpeedDescribe[] = {"$Fonc:",
                                                     "21 Erase",
                                                     "22 Blank",
                                                     "23 Write",
                                                     "24 Verify",
                                                     "26 Security",
                                                     "$DisTool:",
                                                     "25,29,30,31,",
                                                     "$Radio1:01,Lock(加密方式)",
                                                     "1 No MOVC(禁止)",
                                                     "2 No read(禁止读)",
                                                     "3 No ext code",
                                                     "$Radio2:00,Speed(烧写速度)",
                                                     "Nomal(正常)",
                                                     "Slower(慢速)",
                                                     "$end"};
// The operations of the parallel sets without configuration bytes.
inline constexpr int kParallelOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify,
                                       kOpLock,  kOpRead,  kOpReadId};

// The parallel mode table of the AT89S51/52 and AT89C5xWD parts: P2.6, P2.7, P3.3, P3.6, P3.7,
// and the ID at 000H, 100H and 200H.
namespace at89s_modes {
inline constexpr ModeLines kLines{{27, 28, 13, 16, 17}};
inline constexpr Mode kReadCode{"00011"};
inline constexpr Mode kWriteCode{"01111"};
inline constexpr Mode kErase{"10100"};
inline constexpr Mode kSignature{"00000"};
inline constexpr Mode kReadLock{"11010"};
inline constexpr Mode kLockBits[] = {{"11111"}, {"11100"}, {"10110"}};
inline constexpr std::array<std::uint32_t, 3> kIdAddresses = {0x000, 0x100, 0x200};
}  // namespace at89s_modes

// A row of the parallel sets' type tables: row 0 is "Exit" in most sets.
struct ParallelType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
};

// The lock radio shared by the parallel sets: choice k programs lock bits 1 .. k + 1.
inline constexpr int kLockChoices = 3;

class ParallelSet : public Mcs51Set {
 public:
  // The family's rules for one type row: a size within the 16 address lines, and the packages'
  // supply and strobe pins distinct socket pins off ground, with their designs.
  static void CheckRow(const ParallelType& t, TypeTableReport& r);

 protected:
  virtual const AddressPins& Address() const = 0;

  // Operation 1 of a 40-pin parallel set: the row checked, the DIP40 or `plcc` design and pins,
  // ground, and the supply levels; false when the chip is refused.
  bool SetUp(std::size_t rows, const Package& plcc, int vccMillivolts, int vppMillivolts,
             int firstRow = 1);

  // Keeps the low byte, puts it on port 0 and the high bits on their pins (queued).
  void SetAddress(std::uint32_t address);
  // The low byte + 1, wrapping without touching the high pins.
  void NextAddress();
  static void SetMode(const ModeLines& lines, Mode mode);
  // The data byte, then the strobe; "Slower" (OptionValues word 129 = 1) lengthens the waits.
  void ProgramByte(std::uint8_t data, const Strobe& strobe);
  // RST high, PSEN low, ALE/PROG high, EA high: the levels of every parallel mode.
  static void ControlLevels();

  // Data lines released, the mode's levels, address 0, then the power check.
  bool EnterRead(const ModeLines& lines, Mode mode);
  // VPP on EA/VPP, then the power check.
  static bool VppOn();
  // The lock bits the "Lock" radio chose (OptionValues word 128: item k programs bits 1 .. k + 1),
  // each by `pulse`; stops at the first pulse that fails.
  template <class Pulse>
  bool LockByChoice(std::span<const Mode> bits, Pulse pulse) {
    const std::uint32_t choice = Word(kLockChoiceWord);
    for (std::uint32_t bit = 0; choice < bits.size() && bit <= choice; ++bit) {
      if (!pulse(bits[bit])) return false;
    }
    return true;
  }
  // Logs `format` with the first `count` ReadId bytes.
  static void LogId(const char* format, int count);

  // The 256-byte block at `address` (ReadBlock256).
  void ReadBlockAt(std::uint32_t address, std::uint8_t* dest);
  // Code from 0 to the last address in 256-byte blocks.
  bool ScanCode(Scan kind);
  // Programs buffer bytes first .. last, one strobe each, with a flush, the progress and the full
  // address every `cadence` bytes.
  void WriteBytes(std::uint32_t first, std::uint32_t last, std::uint32_t cadence,
                  const Strobe& strobe);
  // Reads the signature block from address 0 and keeps its bytes at `offsets` in ReadId.
  void SignatureBytes(std::span<const std::uint8_t> offsets);
  // Reads one byte at each of `addresses` (block reads) into ReadId.
  void IdBytesAt(std::span<const std::uint32_t> addresses);

  std::uint8_t low_ = 0;
};

}  // namespace zelvar::mcs51
