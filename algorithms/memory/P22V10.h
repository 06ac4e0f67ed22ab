#pragma once
// "P22V10": 22V10 chips through the shift commands of the "atf22v10b.bit" design: 44 rows of 132
// fuses, the 20 configuration fuses and the signature row, with FPGA register 18 lines for
// program/verify, the strobe and the erase and configuration selects.
#include <array>
#include <span>

#include "algorithms/memory/GalSet.h"

namespace zelvar::memory {

inline constexpr GalType k22V10{.name = {},
                                .vppPin = 10,
                                .vccPin = 32,
                                .family = GalFamily::P22V10,
                                .rowLength = 44,
                                .rows = 132,
                                .contactMask = SocketPins(9, 32),
                                .packagePins = 24};

class P22V10 final : public GalSet {
 public:
  static constexpr std::array<GalType, 4> kTypes = {{
      {.name = "???"},
      GalRow("1: 22V10  12V", 12000, k22V10),
      GalRow("2: 22V10B 12V", 12500, k22V10),
      GalRow("3: 22V10B 12V", 12500, k22V10),
  }};
  static void CheckRow(const GalType& t, TypeTableReport& r) { CheckGalRow(t, r, "atf22v10b.bit"); }

 protected:
  void Init() override;
  const GalType& Type() const override { return ChosenRow(kTypes); }

 private:
  void PowerUp();
  void RowRead(int row, int bits);
  void RowWrite(int row, int bits);
  static void Strobe();
  void ConfigRead();
  void ConfigWrite();
  // The first differing configuration fuse (map number) or -1, with rowBuffer_ read back.
  int CompareConfig(bool blank);

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void Security() override;
  bool CheckRows(bool blank);
};

}  // namespace zelvar::memory
