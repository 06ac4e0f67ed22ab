#pragma once
// "GAL3M": GAL16V8 and GAL20V8 (with their A/B/D kinds, ATF16V8 and ATF20V8) programmed row by
// row in edit mode through the "zor5103.bit" design: row address on ports 1 to 3, the row shifted
// in on the data pin with the clock pin, a strobe to program, and shifted out to verify.
#include <array>
#include <span>

#include "algorithms/memory/GalSet.h"

namespace zelvar::memory {

// Every pin of the 20- and 24-pin packages at the bottom of the socket: the output pins edit mode
// leaves idle are bonded too, and a lifted one is as loose as any other.
inline constexpr std::uint64_t k16V8Pins = SocketPins(11, 30);
inline constexpr std::uint64_t k20V8Pins = SocketPins(9, 32);
inline constexpr GalType k16V8{.name = {},
                               .vppPin = 12,
                               .vccPin = 30,
                               .family = GalFamily::Gal16V8,
                               .rowLength = 32,
                               .rows = 64,
                               .contactMask = k16V8Pins,
                               .packagePins = 20};
inline constexpr GalType k20V8{.name = {},
                               .vppPin = 10,
                               .vccPin = 32,
                               .family = GalFamily::Gal20V8,
                               .rowLength = 40,
                               .rows = 64,
                               .contactMask = k20V8Pins,
                               .packagePins = 24};

class GAL3M final : public GalSet {
 public:
  static constexpr std::array<GalType, 11> kTypes = {{
      {.name = "???"},
      GalRow("1: 16V8 16.5V", 16500, k16V8),
      GalRow("2: 16V8A 12V", 12000, k16V8),
      GalRow("3: 16V8B 12V", 12000, k16V8),
      GalRow("4: 20V8 16.5V", 16500, k20V8),
      GalRow("5: 20V8A 12V", 12000, k20V8),
      GalRow("6: 20V8B 12V", 12000, k20V8),
      // No row protocol of its own: 22V10 chips are served by P22V10, and this row refuses.
      {.name = "7: 22V10A 12V",
       .vppMillivolts = 12000,
       .vppPin = 10,
       .vccPin = 32,
       .family = GalFamily::P22V10,
       .rowLength = 44,
       .rows = 132,
       .packagePins = 24},
      GalRow("8: ATF16V8 12.0V", 12000, k16V8),
      GalRow("9: ATF20V8 12.0V", 12000, k20V8),
      // The Lattice datasheet gives no programming voltage: the 12 V the row applies, as the
      // 16V8A/B rows, and its caption says so.
      GalRow("10: GAL16V8D 12.0V", 12000, k16V8),
  }};
  static void CheckRow(const GalType& t, TypeTableReport& r) { CheckGalRow(t, r); }

 protected:
  void Init() override;
  const GalType& Type() const override { return ChosenRow(kTypes); }
  bool Run(int op) override;

 private:
  void PowerUp();
  // One chip row: `bits` characters of rowBuffer_ shifted in and programmed, or shifted out.
  void RowWrite(int row, int bits);
  void RowRead(int row, int bits);
  void RowAddress(int row, bool program);
  // The architecture row from the map.
  void ArchitectureToBuffer();
  bool ArchitectureAllOnes() const;

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Security() override;
  void Check(bool blank);
};

}  // namespace zelvar::memory
