#pragma once
// "HN29AND": 3.3 V 16-bit flash in a package adapter that "pkg=" chooses (TSOP48, SOP44, DIP40),
// not the type row. It stands on the large-flash designs of "P29F640" (the bus routines of
// FpgaFlashBus.h, addresses in words): "we0=" names the design's word-program command, Read ID
// runs the autoselect sequence at the package's unlock addresses, and every chip operation but
// Read ID starts with the identity check when the catalogue gives a signature.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

struct HN29ANDType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint8_t vccPin = 0;
  std::uint8_t resetPin = 0;  // non-zero: VPP set to 12 V at set-up, else 5 V
  std::uint8_t spare = 0;     // a pin byte no operation reads
  std::uint64_t contactMask = 0;
};

// A package: its "pkg=" value, the adapter's bitstream and the unlock addresses (words) its
// chips decode; 0 where the package's chips take no unlock sequence from this set.
struct HN29ANDPackage {
  int pkg = 0;
  std::string_view bitstream;
  std::uint32_t unlock1 = 0, unlock2 = 0;
};

// The rules: a caption, a size of a power of two less one, VCC on the 48-pin socket and away
// from the set's ground pin, the contact mask on the socket.
void CheckHN29ANDRow(const HN29ANDType& t, TypeTableReport& r);

class HN29AND final : public MemorySet {
 public:
  static constexpr std::array<HN29ANDType, 2> kTypes = {
      HN29ANDType{"???", 0, 0, 0, 0, 0},
      HN29ANDType{"1.HN29V25611 ", 0x7FFFF, 34, 0, 0, 0},
  };
  static constexpr std::array<HN29ANDPackage, 7> kPackages = {{
      {4801, "intel48tsop16.bit", 0, 0},
      {4802, "tsop29cmd2aa.bit", 0x555, 0x2AA},
      {4803, "tsop29cmd2aaa.bit", 0x5555, 0x2AAA},
      {4401, "intel48tsop16.bit", 0, 0},
      {4402, "mx44sop02.bit", 0, 0},
      {4408, "mbm44sop08.bit", 0, 0},
      {4096, "at27c4096dip40.bit", 0, 0},
  }};
  static constexpr std::uint8_t kGroundPin = 31;
  static void CheckRow(const HN29ANDType& t, TypeTableReport& r) { CheckHN29ANDRow(t, r); }
  static constexpr std::string_view kRequiredItems = "pkg= we0=";

  // The package of "pkg=" `pkg`; nullptr outside the table.
  static const HN29ANDPackage* FindPackage(int pkg);
  // The design commands "we0=" may name: a word program of the standard or the Intel command set.
  static bool IsProgramCommand(int we0);

 private:
  const HN29ANDType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  bool Run(int op) override;
  void SetAddress(std::uint32_t address) override;

  // "Addr start" on a 256-byte boundary: where Write, Read, Blank and Verify all start.
  std::uint32_t RangeStart() const;
  std::uint32_t RangeEnd() const;
  bool PowerUp();
  bool TypeCheck();
  void BusWrite(std::uint32_t word, std::uint16_t data);
  // Read, Blank and Verify; false on a difference (the failure already recorded).
  bool Scan(int op);
  void Write();
  void Erase();
  bool ReadId();

  const char* refusal_ = nullptr;
  const HN29ANDPackage* package_ = nullptr;
  int we0_ = 0, dly_ = 1;
  int era_ = 0;  // "era=", read at set-up; no operation uses it
};

}  // namespace zelvar::memory
