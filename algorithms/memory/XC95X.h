#pragma once
// "XC95X" and "C8051JTAG": 95xxx CPLDs through their JTAG port, in the PLCC44 socket adapters or
// on the user's board through the 10-pin header. The fuse map is the JEDEC text of the large-PLD
// window: blocks of 15 rows (9 rows of 8-fuse groups, 6 of 6-fuse groups), one fuse line a row,
// "jbs=" data bits a row. "C8051JTAG" is the same set with its own rows and Read ID, which is all
// it runs: its other operations are refused.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "algorithms/memory/JtagEngine.h"

namespace zelvar::memory {

inline constexpr std::uint32_t kXc95LastFuse = 13780;
// Rows of one block relative to its base (blocks 128 apart); Write uses 0-14, the reads 1-15.
inline constexpr std::array<std::uint8_t, 16> kRowAddressOffsets = {
    0x00, 0x04, 0x08, 0x0C, 0x10, 0x20, 0x24, 0x28, 0x2C, 0x30, 0x40, 0x44, 0x48, 0x4C, 0x50, 0x80};
inline constexpr const char* kJedecShapeError = "JEDEC格式不对!";
inline constexpr const char* kFileFormatError = "文件格式错误!";
inline constexpr const char* kC8051ReadIdOnly =
    "C8051F programming is not supported: Read ID only! *不支持C8051F编程: 只能读ID!";
inline constexpr const char* kRowBitsRange =
    "Row size (jbs=) must be a multiple of 8 up to 2000! *行长度(jbs=)必须是8的倍数且不超过2000!";

class XC95X : public JtagSet {
 public:
  XC95X() : JtagSet({.shiftEnd = 12, .digitHex = false}) {}
  static constexpr std::array<JtagType, 5> kTypes = {{
      {.name = "for testing", .lastFuse = 0x800},
      {.name = "1: ISP all", .bitstream = "jtag2.bit", .lastFuse = kXc95LastFuse},
      {.name = "2: 95xxx(PLCC44)",
       .bitstream = "jtag95p44to44.bit",
       .vccPin = 19,
       .groundPin = 21,
       .lastFuse = kXc95LastFuse,
       .contactMask =
           SocketPins(13, 15) | SocketPins(19, 19) | SocketPins(21, 21) | SocketPins(28, 28)},
      {.name = "3: 95xxx(PLCC44_40)",
       .bitstream = "jtag95p44to40.bit",
       .vccPin = 19,
       .groundPin = 9,
       .lastFuse = kXc95LastFuse,
       .contactMask = SocketPins(9, 9) | SocketPins(13, 15) | SocketPins(27, 27)},
      {.name = "95xxx(PLCC84)", .bitstream = "jtag2.bit", .lastFuse = kXc95LastFuse},
  }};
  static constexpr std::string_view kRequiredItems = "vcc=";
  static void CheckRow(const JtagType& t, TypeTableReport& r) { CheckJtagRow(t, r); }

  // Row data bits and register length as set-up chose them.
  int rowBits() const { return rowBits_; }

 protected:
  const JtagType& Type() const override { return ChosenRow(kTypes); }
  void Init() override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Operation(int op) override;

  // Power, run-in, the instruction-capture test and the enable step; false (logged) when no
  // JTAG device answers.
  bool FindChip();
  void EnableStep();
  void ReadIdcode();
  void LogId();
  void ReadId();

 private:
  void Erase();
  void Blank();
  void Write();
  void Verify();
  void Lock();
  void Read();
  // The enable step, instruction 0xEE and the priming shift of Read, Blank and Verify.
  void StartReadBack();
  // Shifts the address of row `j` of block `base` (one row ahead) and returns the row before.
  void ReadRowAhead(std::uint32_t base, int j);
  void PutAddress(std::uint32_t address);
  // The fuse line of the read-back row, numbered from `fuse` (then advanced), appended to `lines`.
  void WriteJedecFuseLine(std::vector<std::string>& lines, int& fuse, int width, int groups) const;
  bool PollErase(std::string_view text);
  int FirstFuseLine() const;
  int RegisterBits() const { return rowBits_ + 18; }
  int Groups() const { return rowBits_ / 8; }

  int rowBits_ = 32;
  int erasePolls_ = 100;

  static constexpr const char* kList[] = {"$Fonc:",    "21 Erase",     "22 Blank",
                                          "23 Write",  "24 Verify",    "26 Lock",
                                          "$DisTool:", "25,29,30,31,", "$end"};
};

class C8051JTAG final : public XC95X {
 public:
  static constexpr std::array<JtagType, 3> kTypes = {{
      {.name = "for testing", .lastFuse = 0x800},
      {.name = "1: ISP all", .bitstream = "jtag2.bit", .lastFuse = kXc95LastFuse},
      {.name = "2: C8051F012(LQFP32)",
       .bitstream = "jtagC8051f32pin.bit",
       .vccPin = 26,
       .groundPin = 25,
       .lastFuse = kXc95LastFuse,
       .contactMask = SocketPins(21, 26)},
  }};
  static void CheckRow(const JtagType& t, TypeTableReport& r) { CheckJtagRow(t, r); }

 protected:
  const JtagType& Type() const override { return ChosenRow(kTypes); }
  void Operation(int op) override;

 private:
  void C8051ReadId();
};

}  // namespace zelvar::memory
