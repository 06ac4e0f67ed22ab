#pragma once
// "PIC16F630": PIC16F630/676 and PIC12F629/675 by ICSP, VPP before VDD, plain command codes. The
// last program word holds the factory oscillator calibration (a RETLW) and bits 12 and 13 of the
// configuration word the band-gap calibration: Write, Blank and Verify leave the last word to
// the chip, and Erase reads both first, refuses to erase when the word is no RETLW, and writes
// them back after either kind of erase.
#include "algorithms/pic/Flash14.h"

namespace zelvar::pic {

namespace pic16f630 {
inline constexpr IcspPolicy kPolicy{.codes = kPlainCodes,
                                    .powerUp = PowerUp::kVppFirst,
                                    .typeCheck = true,
                                    .offersIsp = false,
                                    .blankConfig = 0x01FF,
                                    .keepsLastWord = true,
                                    .comparesLastWord = false};
// The 14-pin part turned in the socket below model 6300 (pin 1 at socket pin 27); upright from
// socket pin 14 on 6300 and up. An 8-pin part sits in the upper end of the 14-pin seat.
// The lines of the 8-pin PIC12F629/675 choose this seat too, so the mask is the 8-pin part's
// whole footprint (socket pins 11 to 14 and 27 to 30): pins 5 to 10 of the 14-pin part lie
// outside it.
inline constexpr McuPackage kDip14Turned{
    14, "pic16dip14.bit", 30, 27, 14, SocketPins(11, 14) | SocketPins(27, 30), "", 8, 14, 1};
inline constexpr McuPackage kDip20Turned{
    20, "pic16dip14.bit", 30, 27, 14, kDip14Contacts, "", 8, 14, 1};
inline constexpr McuPackage kPackages[] = {kPicDip40, kPicDip28, kPicDip18, kDip14Turned,
                                           kDip20Turned};
inline constexpr McuPackage kPackages6300[] = {kPicDip40, kPicDip28, kPicDip18, kPicDip14Std};
inline constexpr const char* kConfig[] = {
    "0: pic12f629/675",
    "n=FOSC0,v=1,a=0,b=0,c=2,m=0x01",
    "n=FOSC1,v=1,a=0,b=1,c=2,m=0x02",
    "n=FOSC2,v=1,a=0,b=2,c=2,m=0x04",
    "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
    "n=PWRTE,v=1,a=0,b=4",
    "n=MCLRE,l=1,v=1,a=0,b=5",
    "n=BODEN,l=1,v=1,a=0,b=6",
    "n=CP (加密),v=1,a=0,b=7",
    "n=CPD (Data加密),v=1,a=0,b=8",
    "n=BG0,v=1,a=0,b=12",
    "n=BG1,v=1,a=0,b=13",
    "$end",
};
}  // namespace pic16f630

class PIC16F630 final : public Flash14Set {
 private:
  const IcspPolicy& Policy() const override { return pic16f630::kPolicy; }
  std::span<const McuPackage> Packages() const override;
  std::span<const char* const> DescribeList() const override { return flash14::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return pic16f630::kConfig; }
  void EraseTrailer() const override;
  void Erase() override;
  void Config() override;
};

}  // namespace zelvar::pic
