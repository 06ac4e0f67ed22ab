#pragma once
// "P24C411": the 24Cxx chips of P24 driven with the programmer's plain pin commands, for the
// models without an FPGA: the bus bit by bit on socket pins 21 (SDA) and 22 (SCL), each data bit
// read back as one sampled reply byte, byte by byte writes with the chosen wait.
#include <array>
#include <span>

#include "algorithms/memory/P24.h"

namespace zelvar::memory {

class P24C411 final : public SerialSet {
 public:
  // P24's chips; the page sizes go unused, every byte is written alone.
  static constexpr std::array<I2cType, 13> kTypes = P24::kTypes;
  static void CheckRow(const I2cType& t, TypeTableReport& r) { CheckI2cRow(t, r); }

 private:
  static constexpr const char* kList[] = {"$Fonc:",
                                          "23 Write",
                                          "24 Verify",
                                          "$DisTool:",
                                          "21,22,25,26,28,29,30,31,",
                                          "$Radio1:03,选择写速度",
                                          "1  ms/byte",
                                          "2  ms/byte",
                                          "5  ms/byte ",
                                          "10 ms/byte",
                                          "20 ms/byte",
                                          "50 ms/byte ",
                                          "$end"};
  const I2cType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  bool PowerUp() const;
  void Scan(bool verify);
  // Queues the read of the byte at `a`: eight reply bytes, one a bit.
  void QueueRead(std::uint32_t a) const;
  void WriteByte(std::uint32_t a, std::uint8_t d) const;
};

}  // namespace zelvar::memory
