#pragma once
// "HTOTP": Holtek one-time-programmable microcontrollers (the standard seat and the HT48RA0) by
// their nibble-serial protocol: 4-bit groups on data port 0 clocked by register-18 line 1, lines 2
// and 3 the mode and direction. The buffer holds a Holtek ".OTP" image: a header, a code record
// and an option record, each record 'e', a 16-bit length (address, data and one trailing byte:
// data = length - 5) and a 32-bit start address; Read builds such an image from the chip.
#include <array>
#include <cstddef>

#include "algorithms/pic/OtpSet.h"

namespace zelvar::pic {

// The records an ".OTP" image holds: start and end word addresses, buffer offsets and lengths of
// the code and option data. `laidOut`: byte 0 is 0xC0 and both records start with 'e'.
struct OtpImage {
  bool laidOut = false;
  std::uint32_t codeStart = 0, codeEnd = 0, optionStart = 0, optionEnd = 0;
  std::uint32_t codeData = 0, optionData = 0;
  std::int32_t codeBytes = 0, optionBytes = 0;  // data lengths the records give
};
OtpImage ParseOtpImage(const std::uint8_t* image, std::size_t size);
// The image header Read writes for `codeSize` code bytes (bytes 0-54); code data from 55.
inline constexpr std::uint32_t kOtpCodeData = 55;
void WriteOtpHeader(std::uint8_t* image, std::uint32_t codeSize);
// The trailer and option record header after the code; returns the option data's offset.
std::uint32_t WriteOtpTrailer(std::uint8_t* image, std::uint32_t codeSize);
inline constexpr std::uint32_t kOtpOptionBytes = 32;  // option data a record must give

class HTOTP final : public OtpSet {
 public:
  static constexpr std::array<OtpType, 3> kTypes = {{
      {.name = "Exit"},
      // Every pin of the 18-pin package from socket pin 3 (a 20-pin part there covers them too).
      {"1: STD", 31, 32, 0, 2047, "HoltekStd.bit", SocketPins(3, 11) | SocketPins(30, 38)},
      {"2: HT48RA0", 12, 8, 0, 2047, "Holtek2.bit", 0x3E00000E8C},
  }};
  static void CheckRow(const OtpType& t, TypeTableReport& r) { CheckOtpRow(t, r); }

 private:
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  std::span<const char* const> ConfigTable() const override;
  std::span<const int> Operations() const override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;
  void Lock() override;

  bool Enter() const;
  void SetAddress(int space, std::uint32_t address) const;
  static void ProgramWord(std::uint16_t w);
  static void Read32(std::uint8_t* dest);
  // The image checks of Write and Verify; false (StatusWord 1, `box`) when refused.
  bool TakeImage(const char* box);

  std::uint32_t codeSize_ = 0;
  OtpImage image_;
};

}  // namespace zelvar::pic
