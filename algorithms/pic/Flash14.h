#pragma once
// What "P16F628A", "PIC16F630" and "PIC16F882" share on the ICSP engine: the plain chip command
// codes, VPP before VDD, the PIC16F87x rows (each chip's sizes and package from its line), the
// packages with the 14-pin and 8-pin seats, the describe list and the erase by "$Radio1"
// (program memory, data memory or both, each a bulk erase from its own entry).
#include <array>
#include <span>

#include "algorithms/pic/PIC16FEE.h"

namespace zelvar::pic {

inline constexpr IcspCodes kPlainCodes{0x00, 0x02, 0x03, 0x04, 0x05, 0x06, 0x08, 0, 0x08};

// The 14-pin seat of the models below 6300 (the chip turned, pin 1 at socket pin 27) and of
// 6300 and up (pin 1 at socket pin 14); the 8-pin seat from socket pin 17.
inline constexpr std::uint64_t kDip14Contacts = PinBits({12, 13, 14, 27, 30});
inline constexpr McuPackage kPicDip14{14, "pic16dip14.bit", 30, 27, 14, kDip14Contacts};
inline constexpr McuPackage kPicDip14Std{14, "pic16dip14std.bit",          17, 14,
                                         27, PinBits({14, 17, 25, 26, 27})};
inline constexpr McuPackage kPicDip08{
    8, "pic16dip08.bit", 20, 17, 24, SocketPins(17, 24), "", 17, 8, 0};

namespace flash14 {
inline constexpr const char* kDescribe[] = {"$Fonc:",
                                            "21 Erase",
                                            "22 Blank",
                                            "23 Write",
                                            "24 Verify",
                                            "32 WrData",
                                            "25 Config",
                                            "$DisTool:",
                                            "26,28,30,",
                                            "$Gridw:Option",
                                            "User.ID(用户信息)",
                                            "FFFF",
                                            "MFA.ID(厂家代码)",
                                            "FFFF",
                                            "$Radio1:02,Erase(擦除方式)",
                                            "Code(程序区)",
                                            "Data(数据区)",
                                            "All (程序+数据)",
                                            "$Radio2:07,OSC(震荡方式)",
                                            "LP(低频晶震)",
                                            "XT(普通晶震)",
                                            "HS(高频晶震)",
                                            "EC",
                                            "In RC",
                                            "In RC,CLKOUT",
                                            "Ext RC",
                                            "Ext RC,CLKOUT",
                                            "$end"};
// "PIC16F882" names its Config button "WtConfig".
inline constexpr const char* kDescribeWt[] = {"$Fonc:",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "32 WrData",
                                              "25 WtConfig",
                                              "$DisTool:",
                                              "26,28,30,",
                                              "$Gridw:Option",
                                              "User.ID(用户信息)",
                                              "FFFF",
                                              "MFA.ID(厂家代码)",
                                              "FFFF",
                                              "$Radio1:02,Erase(擦除方式)",
                                              "Code(程序区)",
                                              "Data(数据区)",
                                              "All (程序+数据)",
                                              "$Radio2:07,OSC(震荡方式)",
                                              "LP(低频晶震)",
                                              "XT(普通晶震)",
                                              "HS(高频晶震)",
                                              "EC",
                                              "In RC",
                                              "In RC,CLKOUT",
                                              "Ext RC",
                                              "Ext RC,CLKOUT",
                                              "$end"};
inline constexpr int kOps[] = {kOpErase, kOpBlank,      kOpWrite,    kOpVerify,   kOpConfig,
                               kOpRead,  kOpReadConfig, kOpReadData, kOpWriteData};
}  // namespace flash14

class Flash14Set : public IcspSet {
 public:
  static constexpr std::array<PicType, 9> kTypes = kF87xRows;
  static constexpr std::string_view kRequiredItems = "fla= ee= pkg=";

 protected:
  std::span<const PicType> Types() const override { return kTypes; }
  std::span<const int> Operations() const override { return flash14::kOps; }
  // "vcc=", and 5 V where it is below 2.5 V.
  int SetupVccMillivolts() const override;
  // One bulk erase (9 program memory, 11 data memory) from its own entry, then EraseTrailer.
  void BulkEraseStep(std::uint8_t command) const;
  virtual void EraseTrailer() const = 0;
  // The erase by "$Radio1": 0 program memory, 1 data memory, 2 both; `ownEntry`: the set enters
  // the mode once before the steps.
  void EraseByChoice(bool ownEntry) const;
  // The erase by `scope` (0 program memory, 1 data memory, 2 both), each from its own entry.
  void EraseScope(int scope) const;
  // Steps to the last program word from a fresh entry.
  void ToLastWord() const;
  // The erase of the parts whose last program word holds the factory oscillator calibration (a
  // RETLW) and whose configuration bits 12 and 13 the band-gap calibration: the power checked,
  // the word read twice and refused unless both reads agree on a RETLW, the saved values logged,
  // the erase by `scope`, both written back and read back.
  void CalibratedErase(int scope);
  // Config on those parts: the grid's word with the chip's own band-gap bits, read back.
  void CalibratedConfig();
  // The chip erase of a part without data EEPROM (0xF9, Load Data 0x3FFF, 0xF8), its waits
  // flushed one by one where `flushEach`.
  bool ChipErase(bool flushEach) const;
};

}  // namespace zelvar::pic
