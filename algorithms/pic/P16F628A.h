#pragma once
// "P16F628A": PIC16F627A/628A/648A by ICSP, VPP before VDD, plain command codes, one
// configuration word (FOSC2 at bit 4, LVP at bit 7, CP at bit 13), 5 V always.
#include "algorithms/pic/Flash14.h"

namespace zelvar::pic {

namespace p16f628a {
inline constexpr IcspPolicy kPolicy{.codes = kPlainCodes,
                                    .powerUp = PowerUp::kVppFirst,
                                    .typeCheck = true,
                                    .offersIsp = false,
                                    .blankConfig = 0x31FF};
inline constexpr McuPackage kPackages[] = {kPicDip40, kPicDip28, kPicDip18, kPicDip14};
inline constexpr const char* kConfig[] = {
    "0: pic12f629/675",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=4,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
    "n=PWRTE,v=1,a=0,b=3",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=LVP,l=1,v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=CP (加密),v=1,a=0,b=13",
    "$end",
};
}  // namespace p16f628a

class P16F628A final : public Flash14Set {
 private:
  const IcspPolicy& Policy() const override { return p16f628a::kPolicy; }
  std::span<const McuPackage> Packages() const override { return p16f628a::kPackages; }
  std::span<const char* const> DescribeList() const override { return flash14::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p16f628a::kConfig; }
  int SetupVccMillivolts() const override { return 5000; }
  void EraseTrailer() const override;
  void Erase() override;
};

}  // namespace zelvar::pic
