#pragma once
// What the firmware-hub sets ("SST49LF008", "I82802") share: the 32-pin parts in their parallel
// programming mode behind the "i82802.bit" design, which runs the chip's multiplexed address bus
// itself. The sets put the address in ports 3 to 5 and the data in port 0, set the chip's control
// lines through register 18, and read 1024 bytes a command. A set gives its table and its command
// steps; the power-up, the modes, the block read and the scans are the frame's.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kFwhBitstream = "i82802.bit";
// Chip pin n sits in socket pin n + 4: VPP on 5, RST# on 6, ground on 20, VCC on 36.
inline constexpr std::uint8_t kFwhVccPin = 36, kFwhVppPin = 5;
inline constexpr std::uint64_t kFwhContactPins =
    SocketPins(6, 25) | SocketPins(27, 28) | SocketPins(32, 36);

struct FwhType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint32_t firstAddress = 0;  // the lowest address the chip occupies
  std::uint8_t vccPin = kFwhVccPin;
  std::uint8_t vppPin = 0;  // 0: the chip takes no VPP
  // The erase unit: a block of uniform size, or the listed sectors (starts in KiB from 0).
  std::uint32_t blockBytes = 0;
  std::array<std::uint16_t, 16> sectorKib{};
  std::uint8_t sectorCount = 0;
  std::uint32_t upperSectorsFrom = 0xFFFFFFFF;  // sectors from here take the upper erase command
  std::uint64_t contactMask = kFwhContactPins;
};

// The family's rules: VCC on the package's top pin, VPP none or chip pin 1, the size a power of
// two with the first address inside it, the erase units tiling the chip, the mask in the socket.
void CheckFwhRow(const FwhType& t, TypeTableReport& r);

class FirmwareHubSet : public MemorySet {
 public:
  static void CheckRow(const FwhType& t, TypeTableReport& r) { CheckFwhRow(t, r); }

 protected:
  virtual const FwhType& Type() const = 0;
  // The chip operations besides set-up and describe, each run by `Handle`.
  virtual bool Offers(int op) const = 0;
  virtual void Handle(int op) = 0;
  // The set's word after the power-up's lines (the SST set clears the bus mode).
  virtual void EndPowerUp() {}

  void Init() override;
  TypeFacts Facts() const override;
  bool Run(int op) final;
  void SetAddress(std::uint32_t address) override;
  void ReadBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t bytes) override;

  static void Line(std::uint8_t line, bool high);
  static void ReadMode();
  static void CommandMode();
  // VCC off and on again, the power check, the control lines to their idle levels, the chip
  // reset, address 0 in read mode. False when the power check failed.
  bool PowerUp();
  // Compares chip addresses from..end-1 with the buffer at the same addresses (or with 0xFF),
  // block by block from `from`; a difference fails with its chip address.
  bool CompareAtChipAddresses(std::uint32_t from, std::uint32_t end, bool blank);
  // Logs "MFG ID=mm,dd" from the first two bytes of a block read, and keeps them as the read ID.
  static void ReportId();
  // 1 + the range's end, clipped to the chip.
  std::uint32_t ChipRangeEnd() const;
};

// The base of a set with its table Set::kTypes.
template <class Set>
class FirmwareHubSetOf : public FirmwareHubSet {
 protected:
  const FwhType& Type() const override { return ChosenRow(Set::kTypes); }
};

}  // namespace zelvar::memory
