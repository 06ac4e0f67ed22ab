#pragma once
// "P24": I2C serial EEPROMs of the 24Cxx kind (128 bytes to 128 KiB) in an 8-pin package on socket
// pins 17 to 24, run by the "i2c24c.bit" design (or "i2c24isp.bit" on the in-system header):
// Write by pages with a fixed wait after each, Verify and Read over the whole chip by byte or by
// the chip's address counter.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/I2cEngine.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

struct I2cType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint8_t sdaPin = 21;
  std::uint8_t sclPin = 22;
  std::uint8_t vccPin = 24;
  std::uint8_t gndPin = 20;
  std::uint8_t wpPin = 23;  // 0: the chip has none
  std::array<std::uint8_t, 3> aPins{};
  std::uint32_t pageBytes = 0;
  I2cForm form = I2cForm::kOneByte;
  std::uint64_t contactMask = 0;
};

// The rules of an I2C row: the chip's supply, ground and bus pins on the 8-pin package at the
// bottom of the socket (17 to 24) and distinct; the address form fits the size (the X24C01 form
// 128 bytes, one address byte up to 2 KiB, two above, with bit 16 in the device byte up to 128
// KiB); a page of a power of two of at least two bytes that divides the chip; the contact mask on
// the package.
void CheckI2cRow(const I2cType& t, TypeTableReport& r);

// The page P24 writes: the row's (or "pag="), halved by write mode 1 and quartered by 2, at least
// two bytes.
std::uint32_t I2cWritePage(std::uint32_t rowPage, std::uint32_t pagParam, std::uint32_t writeMode);

inline constexpr std::uint64_t kI2cContact = 0xB80000;  // socket pins 20, 21, 22 and 24
inline constexpr std::array<std::uint8_t, 3> kI2cAPins = {17, 18, 19};

// Every pin of the 8-pin package, the address pins A0-A2 (socket pins 17 to 19, which the set
// holds low) and WP (23) with the bus and supplies; a row leaves out the address pins its chip
// does not bond (`noConnect`).
inline constexpr std::uint64_t kI2cPackage = SocketPins(17, 24);
constexpr I2cType I2cRow(std::string_view name, std::uint32_t last, std::uint32_t page,
                         I2cForm form = I2cForm::kOneByte, std::uint64_t noConnect = 0) {
  return {.name = name,
          .lastAddress = last,
          .aPins = kI2cAPins,
          .pageBytes = page,
          .form = form,
          .contactMask = kI2cPackage & ~noConnect};
}

class P24 final : public SerialSet {
 public:
  static constexpr std::array<I2cType, 13> kTypes = {{
      {.name = "???"},
      // The 24C01A takes the standard device byte; the X24C01 form is row 12's alone.
      I2cRow("1: 24c01A  128x8", 127, 4),
      I2cRow("2: 24c02   256x8", 255, 8),
      // A0 of the 24C04, A0-A1 of the 24C08 and A0-A2 of the 24C16 are not connected (the device
      // byte carries those address bits); so is A2 of the 24C128/256/512 and A0, A2 of the 24C1024.
      I2cRow("3: 24c04   512x8", 511, 16, I2cForm::kOneByte, SocketPins(17, 17)),
      I2cRow("4: 24c08   1024x8", 1023, 16, I2cForm::kOneByte, SocketPins(17, 18)),
      I2cRow("5: 24c16   2048x8", 2047, 16, I2cForm::kOneByte, SocketPins(17, 19)),
      I2cRow("6: 24c32   4kx8", 4095, 32, I2cForm::kTwoBytes),
      I2cRow("7: 24c64   8kx8", 8191, 32, I2cForm::kTwoBytes),
      I2cRow("8: 24c128   16kx8", 16383, 64, I2cForm::kTwoBytes, SocketPins(19, 19)),
      I2cRow("9: 24c256   32kx8", 32767, 64, I2cForm::kTwoBytes, SocketPins(19, 19)),
      I2cRow("10: 24c512   64kx8", 65535, 128, I2cForm::kTwoBytes, SocketPins(19, 19)),
      // Address bit 16 goes in the device byte.
      I2cRow("11: 24c1024 128kx8", 0x1FFFF, 256, I2cForm::kTwoBytes, SocketPins(17, 19, 18)),
      {.name = "12: X24c01  128x8",
       .lastAddress = 127,
       .wpPin = 0,
       .pageBytes = 2,
       .form = I2cForm::kX24c01,
       // Pins 1 to 3 and 7 of the X24C01 are not connected.
       .contactMask = kI2cContact},
  }};
  static void CheckRow(const I2cType& t, TypeTableReport& r) { CheckI2cRow(t, r); }

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "21,22,25,26,28,29,30,31,",
                                          "$Radio1:00,Page Delay(页延迟)",
                                          "Nomal(正常)",
                                          "Slow(慢速)",
                                          "$Radio2:01,Write mode(写方式)",
                                          "Quick(快速)",
                                          "Nomal(中速)",
                                          "Slow(慢速)",
                                          "$Radio3:00,Read mode(读方式)",
                                          "Byte(字节)",
                                          "Page(快)",
                                          "$Radio4:00,VCC",
                                          "5V",
                                          "3.3V",
                                          "2.5V",
                                          "$end"};
  const I2cType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  bool PowerUp() const;
  // Read and Verify: the whole chip in blocks of 64 bytes.
  void Scan(bool verify);
  void FetchBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t count, bool page);
  void Write();

  std::uint32_t delayCount_ = 10;  // "dly=": waits of 1 ms per delay step after a page
  std::uint32_t page_ = 0;         // the row's page, or "pag="
  std::uint8_t vccPin_ = 0;        // the row's, or the header's in-system
  std::uint8_t gndPin_ = 0;
  std::uint64_t contactMask_ = 0;
};

}  // namespace zelvar::memory
