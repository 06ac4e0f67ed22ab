#pragma once
// What the simple-PLD sets share: their row type and rules, and the fuse map in CodeBuffer as the
// small-PLD JEDEC reader leaves it (fuse n in byte n as '0'/'1'; array fuse bit * rowLength + row
// for chip row `row` and bit `bit` of that row; then XOR, signature, AC1, PTD, SYN and AC0).
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"

namespace zelvar::memory {

inline constexpr const char* kGalBitstream = "zor5103.bit";

// Offsets of the other fuses from the end of the AND array (rows * rowLength).
inline constexpr int kXorFuses = 0;
inline constexpr int kSignatureFuses = 8;
inline constexpr int kAc1Fuses = 72;
inline constexpr int kPtdFuses = 80;
inline constexpr int kSynFuse = 144;
inline constexpr int kAc0Fuse = 145;
// Bits of the architecture row.
inline constexpr int kArchitectureBits = 82;
// The map as set-up and Read fill it first (the whole map of a larger chip).
inline constexpr int kFuseMapFill = 6000;
inline constexpr const char* kNoJedecText =
    "No JEDEC file opened!*必须打开*.JED文件才能执行写操作！";

enum class GalFamily : std::uint8_t { None = 0, Gal16V8 = 1, Gal20V8 = 2, P22V10 = 3 };

struct GalType {
  std::string_view name;
  std::uint32_t vppMillivolts = 0;
  std::uint8_t vppPin = 0;
  std::uint8_t vccPin = 0;
  GalFamily family = GalFamily::None;
  std::uint32_t rowLength = 0;  // chip rows = fuses a JEDEC line
  std::uint32_t rows = 0;       // bits a chip row
  std::uint64_t contactMask = 0;
  std::uint8_t packagePins = 0;  // 20 or 24, at the bottom of the socket (ground on pin 20)

  constexpr int arrayFuses() const { return static_cast<int>(rowLength * rows); }
  constexpr int mapFuses() const { return static_cast<int>((rows + 6) * rowLength); }
  // Socket pin of package pin `pin` for a DIP at the bottom of the 40-pin socket.
  constexpr int socketPin(int pin) const {
    const int first = 21 - packagePins / 2;
    return pin <= packagePins / 2 ? first + pin - 1 : 20 + pin - packagePins / 2;
  }
};

// The rules of a simple-PLD row: VCC on the package's top pin and VPP on its pin 2 (the edit
// pin), both on the socket and off ground; VPP inside 10 to 16.5 V; the map fits the fill area;
// the contact mask stays on the package.
void CheckGalRow(const GalType& t, TypeTableReport& r, const char* bitstream = kGalBitstream);

// A row of `t` with its caption and VPP.
constexpr GalType GalRow(std::string_view name, std::uint32_t vpp, GalType t) {
  t.name = name;
  t.vppMillivolts = vpp;
  return t;
}

// The architecture row's bit `bit` as a map fuse (from base = the end of the AND array).
int ArchitectureFuse(int base, int bit);

// The frame of a simple-PLD set: the fuse map's document, the describe list, the operations'
// dispatch, failures and power-down. A set gives its type, bitstream and row protocol.
class GalSet : public MemorySet {
 protected:
  virtual const GalType& Type() const = 0;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  void SetAddress(std::uint32_t) override {}
  bool Run(int op) override;

  // Set-up after the bitstream: supplies, and the fuse map's document made (filled with '1') on
  // its first use and given the type's geometry.
  void SetUpFuseMap();
  // False (with the message and StatusWord 1) while no map was loaded or read: a map filled at
  // set-up is no design.
  static bool MapLoaded();
  // Marks the map as read from the chip.
  void MapRead();
  static void PowerDown();
  // VPP off before VCC, then the failure at map fuse `fuse` with the character read.
  static void FailAt(int fuse, char read);

  virtual void Erase() = 0;
  virtual void Blank() = 0;
  virtual void Write() = 0;
  virtual void Verify() = 0;
  virtual void Read() = 0;
  virtual void Security() = 0;

  // One chip row on its way in or out, as '0'/'1' characters.
  std::array<char, 160> rowBuffer_{};

 private:
  static constexpr const char* kList[] = {"$Fonc:",    "21 Erase",        "22 Blank",
                                          "23 Write",  "24 Verify",       "26 Security",
                                          "$DisTool:", "25,28,29,30,31,", "$end"};
};

}  // namespace zelvar::memory
