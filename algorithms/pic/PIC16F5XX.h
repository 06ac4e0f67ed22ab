#pragma once
// "PIC16F5XX" and "P12F508": the 12-bit flash PICs whose last program word holds the factory
// oscillator calibration. "PIC16F5XX" takes the size ("fla="), package ("pkg=": 8, 14, 18, 20,
// 28, 40, and 10 for the PIC10F20x's own DIP-8 pinout), programming wait ("dly=") and
// configuration group ("cfg=") from the chip line; the 14-pin seat is turned on models below
// 6300. "P12F508" serves the PIC12F508/509/510 in the 8-pin DIP from its rows alone, with a
// write-speed radio whose choices never go below the chips' 2 ms programming time.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/pic/Cal12.h"

namespace zelvar::pic {

namespace pic16f5xx {
inline constexpr IcspPolicy kPolicy{.codes = cal12::kCodes,
                                    .powerUp = PowerUp::kVddFirst,
                                    .defaultTicks = cal12::kMinTicks,
                                    .replyWords = 16,
                                    .offersIsp = false};
// The 8-pin rows' pins: VPP, VCC and ground at socket pins 20, 17 and 24.
constexpr PicType Row8(std::string_view name, std::int32_t last) {
  return {.name = name,
          .vppPin = 20,
          .vccPin = 17,
          .groundPin = 24,
          .lastAddress = last,
          .contactMask = SocketPins(17, 24)};
}
inline constexpr std::array<PicType, 4> kRows = {{
    {.name = "Exit"},
    Row8("1: PIC12F508 (.5k)", 1023),
    Row8("2: PIC12F509 (1k)", 2047),
    Row8("3: PIC12F510 (1k)", 2047),
}};

// The 14-pin seat: turned below model 6300 (pin 1 in socket pin 27), the usual way from 6300.
// Every pin of the 14-pin package, turned in rows 8 to 14.
inline constexpr McuPackage kDip14Turned{
    14, "pic16dip14.bit", 30, 27, 14, SocketPins(8, 14) | SocketPins(27, 33), "", 8, 14, 1};
inline constexpr McuPackage kDip20Turned{
    20, "pic16dip14.bit", 30, 27, 14, PinBits({12, 13, 14, 27, 30}), "", 5, 20, 1};
inline constexpr McuPackage kDip14Std{14, "pic16dip14std.bit",          17, 14,
                                      27, PinBits({14, 17, 25, 26, 27})};
// The 8-pin DIP from socket pin 17 (the PIC12F50x: VDD pin 1, MCLR pin 4, VSS pin 8).
inline constexpr McuPackage kDip08{8, "pic16dip08.bit", 20, 17, 24, SocketPins(17, 24)};
// The PIC10F20x's DIP-8 from socket pin 17: VDD pin 2, VSS pin 7, MCLR/VPP pin 8; every pin but
// the unconnected pins 1 and 6.
inline constexpr McuPackage kDip10F{
    10, "pic10fdip08.bit", 24, 18, 23, PinBits({18, 19, 20, 21, 23, 24})};
inline constexpr McuPackage kOlder[] = {kPicDip40,    kPicDip28, kPicDip18, kDip14Turned,
                                        kDip20Turned, kDip08,    kDip10F};
inline constexpr McuPackage kNewer[] = {kPicDip40, kPicDip28, kPicDip18,
                                        kDip14Std, kDip08,    kDip10F};

inline constexpr const char* kDescribe8[] = {
    "$Fonc:",        "21 Erase",          "22 Blank",     "23 Write",
    "24 Verify",     "25 Config",         "$DisTool:",    "26,28,30,31,",
    "$Gridw:Option", "User.ID(用户信息)", "FFFF",         "$Radio1:03,OSC(震荡方式)",
    "LP(低频晶震)",  "XT(普通晶震)",      "HS(高频晶震)", "EC",
    "In RC",         "In RC,CLKOUT",      "Ext RC",       "Ext RC,CLKOUT",
    "$end"};
inline constexpr const char* kDescribe4[] = {"$Fonc:",
                                             "21 Erase",
                                             "22 Blank",
                                             "23 Write",
                                             "24 Verify",
                                             "25 Config",
                                             "$DisTool:",
                                             "26,28,30,31,",
                                             "$Gridw:Option",
                                             "User.ID(用户信息)",
                                             "FFFF",
                                             "$Radio1:03,OSC(震荡方式)",
                                             "LP(低频晶震)",
                                             "XT(普通晶震)",
                                             "INTOSC(内部振荡)",
                                             "EXTRC(外部RC)",
                                             "$end"};
inline constexpr const char* kDescribeNone[] = {
    "$Fonc:",    "21 Erase",     "22 Blank",      "23 Write",          "24 Verify", "25 Config",
    "$DisTool:", "26,28,30,31,", "$Gridw:Option", "User.ID(用户信息)", "FFFF",      "$end"};
inline constexpr const char* kConfig[] = {"0: pic16f505",
                                          "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
                                          "n=FOSC2,v=1,a=0,b=2,c=1,m=0x04",
                                          "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=4",
                                          "n=MCLRE,l=1,v=1,a=0,b=5",
                                          "1: pic16f506",
                                          "n=FOSC0,v=1,a=0,b=0,c=1,m=0x01",
                                          "n=FOSC1,v=1,a=0,b=1,c=1,m=0x02",
                                          "n=FOSC2,v=1,a=0,b=2,c=1,m=0x04",
                                          "n=WDTEN (看门狗),l=1,v=1,a=0,b=3",
                                          "n=CP (加密),v=1,a=0,b=4",
                                          "n=MCLRE,l=1,v=1,a=0,b=5",
                                          "n=IOSCFS,v=1,a=0,b=6",
                                          "2: pic12f508/9",
                                          "n=FOSC0,v=1,a=0,b=0",
                                          "n=FOSC1,v=1,a=0,b=1",
                                          "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=MCLRE,l=1,v=1,a=0,b=4",
                                          "3: pic12f510",
                                          "n=FOSC0,v=1,a=0,b=0",
                                          "n=FOSC1,v=1,a=0,b=1",
                                          "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=MCLRE,l=1,v=1,a=0,b=4",
                                          "n=IOSCFS,v=1,a=0,b=5",
                                          "4: pic10f200/204/206",
                                          "n=WDTEN (看门狗),l=1,v=1,a=0,b=2",
                                          "n=CP (加密),v=1,a=0,b=3",
                                          "n=MCLRE,l=1,v=1,a=0,b=4",
                                          "$end"};
}  // namespace pic16f5xx

namespace p12f508 {
inline constexpr IcspPolicy kPolicy{.codes = cal12::kCodes,
                                    .powerUp = PowerUp::kGroundThenVddFirst,
                                    .defaultTicks = cal12::kMinTicks,
                                    .replyWords = 16,
                                    .offersIsp = false};
inline constexpr McuPackage kPackages[] = {{8, "pic16dip08.bit", 20, 17, 24, SocketPins(17, 24)}};
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "21 Erase",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "25 Config",
                                            "$DisTool:",
                                            "26,28,30,31,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "$Radio1:01,OSC(震荡方式)",
                                            "LP(低频晶振)",
                                            "XT(高频晶振)",
                                            "IntRC(内部阻振)",
                                            "ExtRC(外部阻振)",
                                            "$Radio2:01,Speed(写速度)",
                                            "1 Ms",
                                            "2 Ms",
                                            "$end"};
inline constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=WDTE(看门狗),l=1,v=1,a=0,b=2",
                                          "n=CP(加密位),v=1,a=0,b=3",
                                          "n=MCLRE(外部复位),l=1,v=1,a=0,b=4", "$end"};
}  // namespace p12f508

class PIC16F5XX final : public Cal12Set {
 public:
  static constexpr std::array<PicType, 4> kTypes = pic16f5xx::kRows;
  static constexpr std::string_view kRequiredItems = "fla= pkg=";
  static void CheckRow(const PicType& t, TypeTableReport& r) {
    Flash12Set::CheckRow(t, r);
    for (const McuPackage& p : pic16f5xx::kOlder) r.bitstreams.emplace_back(p.bitstream);
    r.bitstreams.emplace_back(pic16f5xx::kDip14Std.bitstream);
  }

 private:
  const IcspPolicy& Policy() const override { return pic16f5xx::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  // By model: the 14-pin seat, and the 20-pin one only on the older models.
  std::span<const McuPackage> Packages() const override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override { return pic16f5xx::kConfig; }
  // Groups 0 and 1 take the three oscillator bits from the radio through their rows.
  std::uint32_t RadioOf(std::uint16_t config) const override;
  std::uint16_t ConfigWord() const override;
};

class P12F508 final : public Cal12Set {
 public:
  static constexpr std::array<PicType, 4> kTypes = pic16f5xx::kRows;

 private:
  const IcspPolicy& Policy() const override { return p12f508::kPolicy; }
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const McuPackage> Packages() const override { return p12f508::kPackages; }
  bool SizesFromLine() const override { return false; }
  int SetupVccMillivolts() const override { return 5000; }
  int SetupVppMillivolts() const override { return 12000; }
  void AfterSetup() override;
  // "1 Ms" and "2 Ms" from the radio, raised to the chips' 2 ms.
  int ProgramTicks() const override;
  std::span<const char* const> DescribeList() const override { return p12f508::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p12f508::kConfig; }
  // The rows' bits, the oscillator from the radio in bits 0-1.
  std::uint16_t ConfigWord() const override;
  void LogConfigWritten(std::uint16_t config) const override;
  void LogConfigRead(std::uint16_t config, std::uint16_t id) const override;
};

}  // namespace zelvar::pic
