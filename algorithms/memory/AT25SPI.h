#pragma once
// "AT25SPI": 25-series SPI EEPROMs, their size from the chip line's "len=", run by the
// "at25spi.bit" design: Write by pages with a fixed wait, Verify and Read over the whole chip,
// the status register written (BP0, BP1, WPEN from the config grid), cleared and read.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

struct SpiType {
  std::string_view name;
  std::uint8_t vccPin = 0;
  std::uint8_t gndPin = 0;
  std::uint64_t contactMask = 0;
  std::uint8_t eraseOpcode = 0;  // the flash sets' chip erase; 0: none
};

// The rules of an SPI row: VCC and ground on the socket, distinct; an 8-pin row's pins on the
// package at the bottom of the socket (VCC on 24, ground on 20) and its contact mask there.
void CheckSpiRow(const SpiType& t, TypeTableReport& r, const char* bitstream);

class AT25SPI final : public SerialSet {
 public:
  static constexpr std::array<SpiType, 3> kTypes = {{
      {.name = "???"},
      {.name = "1: DIP8", .vccPin = 24, .gndPin = 20, .contactMask = SocketPins(17, 24)},
      {.name = "2: DIP14", .vccPin = 24, .gndPin = 20},
  }};
  static constexpr std::string_view kRequiredItems = "len= pag=";
  static void CheckRow(const SpiType& t, TypeTableReport& r) { CheckSpiRow(t, r, "at25spi.bit"); }

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",    "20 Unprotect", "23 Write",           "25 WriteStatus",
      "24 Verify", "$DisTool:",    "21,22,26,28,30,31,", "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=BP0,l=1,a=0,b=2",
                                            "n=BP1,l=1,a=0,b=3", "n=WPEN,l=1,a=0,b=7", "$end"};
  const SpiType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  bool PowerUp() const;
  void Scan(bool verify);
  void Write();
  void WriteStatus(std::uint8_t value);
  void ReadStatus();

  std::uint32_t size_ = 0;   // "len="
  std::uint32_t page_ = 0;   // "pag="
  std::uint32_t delay_ = 0;  // "dly=": waits of 1 ms after a page, beyond two
};

}  // namespace zelvar::memory
