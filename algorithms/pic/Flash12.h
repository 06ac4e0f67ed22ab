#pragma once
// The 12-bit-core ICSP engine on the 14-bit one: the same design commands, power-up and word
// programming cycle (Load Data, Begin and End Programming with a fixed wait, Increment), with
// what the 12-bit core changes: 12-bit words (bits 4-7 of every odd buffer byte are not the
// chip's), the address starting at the configuration word (one increment reaches word 0), the
// four user IDs right after the program memory (word "fla="), 16 words a reply, and the two-step
// bulk erase (from the configuration word: program memory and configuration; from the first ID:
// the IDs). The configuration word's oscillator bits 0-1 come from "$Radio1".
#include <span>

#include "algorithms/pic/IcspSet.h"

namespace zelvar::pic {

namespace flash12 {
inline constexpr IcspCodes kCodes{0, 0xF2, 0, 0xF4, 0, 0xF6, 0xF8, 0xFE, 0};
inline constexpr IcspPolicy kPolicy{.codes = kCodes,
                                    .powerUp = PowerUp::kVddFirst,
                                    .fixedTicks = 2,
                                    .replyWords = 16,
                                    .offersIsp = false};
inline constexpr std::uint8_t kBulkErase = 0x09;
// The 28-pin DIP: MCLR, VDD and VSS at socket pins 34, 8 and 10, RB6/RB7 at 22 and 23.
inline constexpr McuPackage kDip28{29, "pic16dip29.bit", 34, 8, 10, PinBits({8, 10, 22, 23, 34})};
inline constexpr McuPackage kPackages[] = {kPicDip18, kDip28};
inline constexpr int kOps[] = {kOpErase,  kOpBlank, kOpWrite,     kOpVerify,
                               kOpConfig, kOpRead,  kOpReadConfig};
}  // namespace flash12

class Flash12Set : public IcspSet {
 public:
  static void CheckRow(const PicType& t, TypeTableReport& r) {
    CheckPicRow(t, r);
    r.bitstreams.emplace_back(flash12::kDip28.bitstream);
  }

 protected:
  const IcspPolicy& Policy() const override { return flash12::kPolicy; }
  std::span<const McuPackage> Packages() const override { return flash12::kPackages; }
  std::span<const int> Operations() const override { return flash12::kOps; }
  // "vcc=", and 5 V where it is below 2.5 V.
  int SetupVccMillivolts() const override;

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadConfig() override;

  // Read the word at the address, then step to the next (the policy's command codes).
  void ReadNext() const;
  // From word 0 on to the first user ID (word "fla=").
  void StepToIds() const;
  // Reads the program memory from word 0 in replies of 16 words; `blank` or verify compares.
  bool Scan(bool blank);
  // The end (exclusive byte address) of the words Write writes and Blank and Verify compare;
  // a set whose last word is the chip's calibration stops before it.
  virtual std::int32_t OwnEnd() const { return row_.lastAddress; }
  // The configuration bits Blank wants erased.
  virtual std::uint16_t BlankConfigMask() const { return 0x00F; }
  std::uint32_t Words() const { return static_cast<std::uint32_t>(row_.lastAddress + 1) / 2; }
};

}  // namespace zelvar::pic
