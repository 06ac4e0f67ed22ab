#pragma once
// What the JEDEC flash sets ("P29F", "AMD29f040", "AT49F", "MX29F", "V29C51004", "SST29XF") share:
// the 32-pin part at the bottom of the socket (VCC 36, CE# 26, OE# 28, WE# 35, A9 30), one address
// routine, Read, Blank, Verify, the unlock-sequence byte program, the chip-erase sequence and the
// DQ7 poll that waits for it. A set gives its table, its policy and its erase and protect steps.
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kFlashBitstream = "zor5103.bit";

struct FlashType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint8_t vccPin = 36;
  std::uint8_t eraseVppPin = 0;  // the pin that takes VPP during Erase (PI28F: and Write), 0 = none
  std::uint64_t contactMask = 0;
  int vccMillivolts = 0;  // the row's own VCC; 0 leaves it to the set's policy

  constexpr std::uint32_t highBits() const { return ~lastAddress; }
};

// The socket pins of the 32-pin JEDEC flash at the bottom of the socket.
inline constexpr std::uint8_t kFlashVccPin = 36, kFlashCePin = 26, kFlashOePin = 28;
inline constexpr std::uint8_t kFlashWePin = 35, kFlashA9Pin = 30, kFlashPin1 = 5;
// Address bits 8 to 18, then WE# high.
inline constexpr AddressPins kFlashPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 5}, kFlashWePin};

// The family's rules: VCC on the package's top pin (36), the erase VPP pin none or on the package
// and off VCC and ground, the size a power of two within the 19 address lines, the mask in the
// 40-pin socket.
void CheckFlashRow(const FlashType& t, TypeTableReport& r);

// The address range an operation covers: the range grid's start to its end, the whole chip, or
// address 0 to the range end.
enum class FlashRange { Chosen, WholeChip, ZeroToEnd };

struct FlashPolicy {
  int vccFloor = 0;  // "vcc=" below this gives 5000; 0: VCC is always 5000
  int vppMillivolts = 12000;
  bool initHardware = false;
  // The bytes after each program strobe (no-ops or a wait).
  std::span<const std::uint8_t> strobeTail{};
  FlashRange write = FlashRange::Chosen;
  FlashRange verify = FlashRange::Chosen;
  bool readStopsAtRangeEnd = false;
  // The identity check before a change reads the codes by the software ID entry (unlock, 90h),
  // for parts whose datasheets give no high-voltage ID on A9.
  bool softwareId = false;
};

class FlashSet : public MemorySet {
 protected:
  virtual const FlashType& Type() const = 0;
  virtual const FlashPolicy& Policy() const = 0;
  // The pin that takes VPP while writing, 0 = none.
  virtual std::uint8_t WriteVppPin() const { return 0; }
  // The set's operations beyond Blank, Write, Verify and Read, each run by its handler below.
  virtual std::span<const int> OwnOperations() const = 0;
  virtual void Erase() = 0;
  virtual void UnProtect() {}
  virtual void Lock() {}
  // With VID on A9, or by the software ID entry where the policy says so.
  virtual void ReadId();
  // Called by Write once VCC is on, before the first block.
  virtual void PrepareWrite() {}

  void Init() override;
  TypeFacts Facts() const override { return {Type().lastAddress, Type().contactMask}; }
  void SetAddress(std::uint32_t address) override {
    PutAddress(address, Type().highBits(), kFlashPins);
  }
  // Runs Erase, Write, UnProtect and Lock only on a chip whose maker and device codes (read as
  // Read ID reads them, with VID on A9) are the line's "#" bytes; a line without them is not
  // checked.
  bool Run(int op) override;
  bool IdentityMatches();
  // The maker and device codes by the software ID entry, then its exit (F0h); into ReadId.
  void ReadSoftwareId();
  // Powered, before the software ID entry: a chip whose protection ignores every command write
  // releases it here.
  virtual void PrepareIdEntry() {}
  void BeginProgramBlock(const Program& p) override;
  void QueueProgramByte(std::uint8_t data, const Program& p) override;

  void Read();
  void Blank();
  void Verify();
  void Write();
  // VCC on pin 36 at the set-up level; false (StatusWord 1) when the power check fails.
  bool PowerUp();
  // VPP and VCC off, every pin low, then every pin but ground high.
  static void PinReset();
  // The two-cycle program of the Intel-style command sets: the 0x40 set-up, the byte, the next
  // address.
  void QueueSetupProgram(std::uint8_t data);
  // The chip-erase sequence at address 0 with CE# low and OE# high, sent.
  void StartChipErase();
  // Polls DQ7 of address 0 up to `polls` times, one erase wait (command 28) before each, the bar
  // going from 0 by one step a poll; true once DQ7 reads 1 (the embedded erase has ended).
  bool WaitForErase(int polls);
  // The first and the exclusive last address of `range`, clipped to the chip.
  std::uint32_t RangeStart(FlashRange range) const;
  std::uint32_t RangeEnd(FlashRange range) const;
};

// The base of a set with its table Set::kTypes and its policy Set::kPolicy.
template <class Set>
class FlashSetOf : public FlashSet {
 public:
  static void CheckRow(const FlashType& t, TypeTableReport& r) { CheckFlashRow(t, r); }

 protected:
  const FlashType& Type() const override { return ChosenRow(Set::kTypes); }
  const FlashPolicy& Policy() const override { return Set::kPolicy; }
};

}  // namespace zelvar::memory
