#pragma once
// The byte-wide EPROM sets on the "zor5103.bit" bitstream: one record layout and the Read, Blank,
// Verify and block Write that P27, PW27 and SST27SF share; each set gives its table, its address
// pins and the steps in which it differs.
#include <cstdint>

#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kEpromBitstream = "zor5103.bit";

// One type: the chip and its programming voltage, its size and its socket pins.
struct EpromType {
  char name[16];
  std::uint32_t lastAddress;
  std::uint32_t saveCount;  // bytes UnProtect and Lock keep (SST27SF)
  std::uint32_t highBits;   // complement of the last address: unused address pins high
  std::uint8_t vccPin;
  std::uint8_t vppPin;
  std::uint8_t programPin;
  std::uint32_t vppMillivolts;  // P27
  std::uint64_t contactMask;    // bit n-1 = socket pin n must touch
};

// Socket pins from..to, leaving out `except` (0: none).
constexpr std::uint64_t SocketPins(int from, int to, int except = 0) {
  std::uint64_t m = 0;
  for (int p = from; p <= to; ++p) {
    if (p != except) m |= std::uint64_t{1} << (p - 1);
  }
  return m;
}

EpromType MakeEpromType(const char* name, std::uint32_t last, std::uint8_t vcc, std::uint8_t vpp,
                        std::uint8_t program, std::uint32_t vppMv, std::uint64_t mask);

class EpromSet : public MemorySet {
 protected:
  virtual const EpromType& Type() const = 0;
  virtual const AddressPins& Pins() const = 0;
  // Steps where the sets differ.
  virtual void BeforeReads() {}
  virtual bool PrepareWrite() = 0;  // supplies and checks before the first block
  virtual bool PowerPerBlock() const { return false; }
  // False for types without a signature: Read ID would put 12 V on their A9 for nothing.
  virtual bool HasSignature() const { return true; }

  TypeFacts Facts() const override { return {Type().lastAddress, Type().contactMask}; }
  void SetAddress(std::uint32_t address) override { PutAddress(address, Type().highBits, Pins()); }

  // Blank, Write, Verify and Read, which every EPROM set offers; the set's own operations.
  bool Run(int op) override;
  virtual bool RunOwn(int op) = 0;

  void Read();
  void Blank();
  void Verify();
  virtual void Write();
  // The signature through the type's VCC pin; refused with a box for a type without one.
  void ReadId();
  // The set-up supply levels again, and VCC on the type's pin.
  void ApplyVcc();
  // ApplyVcc and the power check.
  bool PowerUp();
  // VCC off after the pins go low.
  void EndOfReads();
};

}  // namespace zelvar::memory
