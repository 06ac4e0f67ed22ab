#pragma once
// "PIC16F882": PIC16F882/883/884/886/887 by ICSP, VPP before VDD (the ground selected once at
// set-up), plain command codes with End Programming after each word and data byte, two
// configuration words and the calibration word at 0x2009; the last program word is left to the
// chip as in "PIC16F630". The 8-pin seat is also offered.
#include "algorithms/pic/Flash14.h"

namespace zelvar::pic {

namespace pic16f882 {
inline constexpr IcspCodes kCodes{0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0x0A, 0x08, 0x0A};
inline constexpr IcspPolicy kPolicy{.codes = kCodes,
                                    .powerUp = PowerUp::kVppFirstGroundAtSetup,
                                    .defaultTicks = 2,
                                    .typeCheck = true,
                                    .offersIsp = false,
                                    .blankConfig = 0x31FF,
                                    .comparesLastWord = false,
                                    .readOkLine = false,
                                    .dataLine = false};
inline constexpr McuPackage kDip14Turned{
    14, "pic16dip14.bit", 30, 27, 14, kDip14Contacts, "", 8, 14, 1};
inline constexpr McuPackage kDip20Turned{
    20, "pic16dip14.bit", 30, 27, 14, kDip14Contacts, "", 5, 20, 1};
inline constexpr McuPackage kPackages[] = {kPicDip40,    kPicDip28,    kPicDip18,
                                           kDip14Turned, kDip20Turned, kPicDip08};
inline constexpr McuPackage kPackages6300[] = {kPicDip40, kPicDip28, kPicDip18, kPicDip14Std,
                                               kPicDip08};
inline constexpr const char* kConfig[] = {
    "0:for 16f882/3/4/6/7",
    "n=DEBUG,v=1,a=0,b=13",
    "n=LVP,l=1,v=1,a=0,b=12",
    "n=FCMEN,v=1,a=0,b=11",
    "n=IESO,v=1,a=0,b=10",
    "n=BOREN1,v=1,a=0,b=9",
    "n=BOREN0,v=1,a=0,b=8",
    "n=CPD (Data加密),v=1,a=0,b=7",
    "n=CP (加密),v=1,a=0,b=6",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=PWRTE,v=1,a=0,b=4",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WRT1,v=1,a=1,b=10",
    "n=WRT0,v=1,a=1,b=9",
    "n=BOR4V,v=1,a=1,b=8",
    "n=FCAL6,v=1,a=2,b=12",
    "n=FCAL5,v=1,a=2,b=11",
    "n=FCAL4,v=1,a=2,b=10",
    "n=FCAL3,v=1,a=2,b=9",
    "n=FCAL2,v=1,a=2,b=8",
    "n=FCAL1,v=1,a=2,b=7",
    "n=FCAL0,v=1,a=2,b=6",
    "n= POR2,v=1,a=2,b=5",
    "n=POR1,v=1,a=2,b=4",
    "n=POR0,v=1,a=2,b=3",
    "n=BOR2,v=1,a=2,b=2",
    "n=BOR1,v=1,a=2,b=1",
    "n=BOR0,v=1,a=2,b=0",
    "$end",
};
}  // namespace pic16f882

class PIC16F882 final : public Flash14Set {
 private:
  const IcspPolicy& Policy() const override { return pic16f882::kPolicy; }
  std::span<const McuPackage> Packages() const override;
  std::span<const char* const> DescribeList() const override { return flash14::kDescribeWt; }
  std::span<const char* const> ConfigTable() const override { return pic16f882::kConfig; }
  void EraseTrailer() const override;
  void Erase() override;
  void Config() override;
  void ReadConfig() override;
};

}  // namespace zelvar::pic
