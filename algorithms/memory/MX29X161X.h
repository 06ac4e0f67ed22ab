#pragma once
// "MX29X161X": 16 Mbit page-write flash (the MX29F1610 class) in SOP44 through the
// "mx1611sop44" adapter, the chip in byte mode. It stands on the large-flash register layout
// (FpgaFlashBus.h): lines and command cycles on register 18, the byte address in registers 21
// to 23; pages of 128 bytes go out after one program command, each byte onto port 3 with a WE#
// strobe, and are waited out by the page delay the user chooses. Reads run at their own VCC
// ("rvc="); UnProtect is the chip's unprotect command sequence, offered before Erase too.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/MemorySet.h"
#include "algorithms/memory/P29F640.h"

namespace zelvar::memory {

struct MX29X161XType {
  std::string_view bitstream;
  std::uint8_t width = 8;  // byte mode: the buffer's bytes are the chip's
  std::uint8_t vccPin = 0, gndPin = 0;
  std::array<std::uint32_t, 8> sizes{};  // last addresses by "mem="
  std::array<std::uint64_t, 8> masks{};  // contact pins by "mem=", 0: no check
};

// The rules: the adapter rows' (CheckAdapterRow), with VCC and ground on distinct socket pins.
void CheckMX29X161XRow(const MX29X161XType& t, TypeTableReport& r);

class MX29X161X final : public MemorySet {
 public:
  static constexpr std::array<MX29X161XType, 3> kTypes = [] {
    using namespace p29f640_rows;
    std::array<MX29X161XType, 3> t{};
    t[1] = {"mx1611sop44.bit",
            8,
            21,
            30,
            kUpTo16,
            {0, 0, 0, 0, SocketPins(4, 37), SocketPins(1, 42) | SocketPins(47, 48)}};
    t[2] = {"mx1611sop44.bit",
            8,
            21,
            30,
            kUpTo16,
            {0, 0, 0, 0, 0, SocketPins(1, 41) | SocketPins(48, 48)}};
    return t;
  }();
  static void CheckRow(const MX29X161XType& t, TypeTableReport& r) { CheckMX29X161XRow(t, r); }
  static constexpr std::string_view kRequiredItems = "mem= vcc= rvc= dly=";

  static constexpr std::uint32_t kPageBytes = 128;
  // The waits of 1 ms after each page for the "Page Delay" choice (0: "5 Ms" ... 5: "10 Ms").
  static constexpr int PageDelayWaits(std::uint32_t choice) {
    return 5 + static_cast<int>(choice < 6 ? choice : 5);
  }

 private:
  const MX29X161XType& Type() const { return ChosenRow(kTypes); }
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override;
  bool Run(int op) override;
  void SetAddress(std::uint32_t address) override;

  std::uint32_t RangeStart() const;
  bool PowerUp();
  // A command cycle of the design, then WE# strobed.
  static void Cycle(std::uint8_t code);
  // A command write: `data` at `address`, WE# strobed.
  void CommandWrite(std::uint32_t address, std::uint8_t data);
  static void Strobe();
  // The four ID bytes against the line's "#" bytes, before UnProtect, Erase, Write and Verify.
  bool TypeCheck();
  // Read, Blank and Verify.
  void Scan(int op);
  void Write();
  void Erase();
  void Unprotect();
  bool ReadId();

  const char* refusal_ = nullptr;
  int mem_ = 0, dly_ = 1, vcc_ = 5000, rvc_ = 5000;
};

}  // namespace zelvar::memory
