#pragma once
// "ACTRANS25": 25-series SPI flash with three address bytes, its size from "len=" and its page
// from "pag=", run by the "at25spi.bit" design ("at25isp.bit" on the in-system header): chip
// erase by the row's opcode, blank check, page writes, verify and read over the whole chip, the
// status register (BP0, BP1, status protect) written, cleared and read, and the ID read.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/AT25SPI.h"
#include "algorithms/memory/SerialSet.h"

namespace zelvar::memory {

class ACTRANS25 final : public SerialSet {
 public:
  static constexpr std::array<SpiType, 4> kTypes = {{
      {.name = "???"},
      {.name = "1: DIP8",
       .vccPin = 24,
       .gndPin = 20,
       .contactMask = SocketPins(17, 24),
       .eraseOpcode = 0xC7},
      {.name = "2: DIP8",
       .vccPin = 24,
       .gndPin = 20,
       .contactMask = SocketPins(17, 24),
       .eraseOpcode = 0x62},
      // No chip erase: Erase is refused on this row.
      {.name = "x: DIP14", .vccPin = 24, .gndPin = 20},
  }};
  static constexpr std::string_view kRequiredItems = "len= pag= vcc=";
  static void CheckRow(const SpiType& t, TypeTableReport& r) { CheckSpiRow(t, r, "at25spi.bit"); }

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",       "21 Erase",    "22 Blank",
      "20 Unprotect", "23 Write",    "24 Verify",
      "$DisTool:",    "26,30,31,",   "$Radio1:01,Adjust VCC(调整电压)",
      "Lower(低)",    "Nomal(正常)", "Hight(高)",
      "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=BP0,l=1,a=0,b=2",
                                            "n=BP1,l=1,a=0,b=3", "n=Status Protect,l=1,a=0,b=7",
                                            "$end"};
  const SpiType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  // The supplies on and the design's wait; CheckPower when `check`.
  bool PowerUp(bool check) const;
  // Reads the status until the chip is no longer busy; false when it stays busy.
  static bool WaitReady(std::uint8_t* status = nullptr);
  static std::uint8_t ReadStatusByte();
  void Scan(ScanMode mode);
  void Write();
  void Erase();
  void WriteStatus(std::uint8_t value, bool readBack);
  void ReadStatus();
  void ReadId();

  std::uint32_t size_ = 0;
  std::uint32_t page_ = 0;
  std::uint32_t delay_ = 0;
  std::uint32_t eraseSteps_ = 1;
  std::uint8_t vccPin_ = 0;
  std::uint8_t gndPin_ = 0;
  std::uint64_t contactMask_ = 0;
};

}  // namespace zelvar::memory
