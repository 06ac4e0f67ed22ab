#pragma once
// What the parallel EEPROM and page-write flash sets ("SST29EE", "AT29CX", "AT28CX", "AT28C256",
// "AT29C256", "P2816") share: the 24-, 28- and 32-pin parts at the bottom of the socket (CE# 26,
// OE# 28), the address form each package and WE# pin gives, Read, Blank, Verify, the page write
// (command 83 loads under WE# held low) and the byte write, the software data protection
// sequences, the software chip erase and the chip clear with 12 V on OE#. A set gives its table,
// its describe list and its policy.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kPageBitstream = "zor5103.bit";
// A row whose chip the set cannot write (the 21 V 2816) names this WE# pin; set-up refuses it.
inline constexpr std::uint8_t kNoWritePin = 255;

struct PageType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint32_t pageMask = 0;  // page bytes less one
  std::uint8_t vccPin = 0;     // 32: 24-pin part, 34: 28-pin, 36: 32-pin
  std::uint8_t vppPin = 0;     // P2816 only
  std::uint8_t wePin = 0;
  int vppMillivolts = 0;  // P2816 only
  std::uint64_t contactMask = 0;

  constexpr std::uint32_t highBits() const { return ~lastAddress; }
  constexpr std::uint32_t pageBytes() const { return pageMask + 1; }
};

// The socket pins of address bits 8 up for the row's package and WE# pin, up to the row's top
// address line, then WE# raised. Pins above the part's lines are left alone: on the 28-pin
// packages pin 1 is A14, WE# or the RDY/BUSY# output.
AddressPins PageAddressPins(const PageType& t);

// The family's rules: the VCC pin names a package that holds the size, WE# sits where that
// package has it, the page a power of two within the part, the mask on the package.
void CheckPageRow(const PageType& t, TypeTableReport& r);

enum class PageErase {
  None,
  Software,  // the six-byte chip erase (after UnProtect)
  OeHigh,    // CE# low, 12 V on OE# and a long WE# pulse
};

struct PagePolicy {
  int vccFloor = 2500;  // "vcc=" below this gives 5000; 0: VCC is always 5000
  int vppMillivolts = 0;
  bool initHardware = true;
  std::uint32_t readBackEvery = kBlockBytes;  // Write reads back after each such block
  // The protection sequences through commands 41 and 42 on the 32-pin rows (else the address,
  // port 2 and the WE# strobe).
  bool unlockCommands = false;
  bool readStopsAtRangeEnd = true;
  PageErase erase = PageErase::None;
  bool byteWrite = false;  // P2816: one byte a write cycle, waits from "$Radio1:"
};

class PageWriteSet : public MemorySet {
 protected:
  virtual const PageType& Type() const = 0;
  virtual const PagePolicy& Policy() const = 0;
  virtual std::span<const int> Operations() const = 0;

  void Init() override;
  TypeFacts Facts() const override;
  void SetAddress(std::uint32_t address) override {
    PutAddress(address, Type().highBits(), PageAddressPins(Type()));
  }
  bool Run(int op) override;

  // VCC on the row's pin at the set-up level; false (StatusWord 1) when the power check fails.
  bool PowerUp();
  void Read();
  void Blank();
  void Verify();
  void Write();
  void UnProtect() { Protection(false); }
  void Protect() { Protection(true); }
  void Erase();

 private:
  void Protection(bool enable);
  // One write cycle of a protection sequence, queued.
  void ProtectionCycle(std::uint32_t address, std::uint8_t data);
  void QueueSequence(std::span<const BusCycle> cycles);
  void StrobeWe();
  // The wait after a page or a sequence, long enough for the write cycle.
  void QueuePageWait();
  // The byte the write puts at `address`: the buffer's inside the range, the chip's own outside.
  std::uint8_t ByteAt(std::uint32_t address) const;
  void QueuePage(std::uint32_t address);
  void QueueBytes(std::uint32_t address, std::uint32_t count);
  bool ReadBack(std::uint32_t from, std::uint32_t to);
  // Compares chip addresses from .. to - 1 with ByteAt in aligned 1024-byte blocks; false at the
  // first difference (VCC off, StatusWord 1, FailAddress from the range start, FailByte).
  bool CompareRange(std::uint32_t from, std::uint32_t to, bool progress);

  std::uint32_t rangeEnd_ = 0;                // one past the write's last address
  std::array<std::uint8_t, 256> headPage_{};  // the chip's page at the range start
  std::array<std::uint8_t, 256> tailPage_{};  // and at its end
  std::uint32_t headBase_ = 0, tailBase_ = 0;
  bool refused_ = false;
};

// The base of a set with its table Set::kTypes, its policy Set::kPolicy and Set::kOperations.
template <class Set>
class PageWriteSetOf : public PageWriteSet {
 public:
  static void CheckRow(const PageType& t, TypeTableReport& r) { CheckPageRow(t, r); }

 protected:
  const PageType& Type() const override { return ChosenRow(Set::kTypes); }
  const PagePolicy& Policy() const override { return Set::kPolicy; }
  std::span<const int> Operations() const override { return Set::kOperations; }
};

}  // namespace zelvar::memory
