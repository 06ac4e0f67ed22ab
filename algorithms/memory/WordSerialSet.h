#pragma once
// The frame of the 16-bit serial EEPROM sets ("AK64SCI", "BR90"): the chip's size from "len=",
// the SPI byte engine of the "ak6420" designs (select on register-18 line 4), Write word by word
// after one write enable, Read and Verify over the whole chip. A set gives its address form and
// the order its chip takes a word's bits in.
#include <array>
#include <span>
#include <string_view>

#include "algorithms/TypeRules.h"
#include "algorithms/memory/SerialSet.h"
#include "algorithms/memory/SpiEngine.h"

namespace zelvar::memory {

struct WordSerialType {
  std::string_view name;
  std::string_view bitstream{};  // empty: no design, the row is not a chip
  std::uint8_t vccPin = 0;
  std::uint8_t gndPin = 0;
  std::uint64_t pinMask = 0;  // the package's pins, the contact mask
  int placementRow = 0;       // the adapter's first socket row; 0: no picture
};

// Rows with a design: VCC and ground distinct on the package's pins.
void CheckWordSerialRow(const WordSerialType& t, TypeTableReport& r);

class WordSerialSet : public SerialSet {
 public:
  // Rows 1 and 2 for models below 6300, rows 11 and 12 for 6300 and above; the rows between are
  // not chips.
  static constexpr std::array<WordSerialType, 13> kTypes = {{
      {.name = "???"},
      {.name = "1: DIP8 STD",
       .bitstream = "ak6420std.bit",
       .vccPin = 24,
       .gndPin = 21,
       .pinMask = SocketPins(17, 24)},
      {.name = "2: DIP8 AF",
       .bitstream = "ak6420af.bit",
       .vccPin = 27,
       .gndPin = 14,
       .pinMask = SocketPins(12, 15) | SocketPins(26, 29),
       .placementRow = 12},
      {},
      {},
      {},
      {},
      {},
      {},
      {},
      {.name = "Exit"},
      {.name = "1: DIP8 STD",
       .bitstream = "ak6420std.bit",
       .vccPin = 24,
       .gndPin = 21,
       .pinMask = SocketPins(17, 24)},
      {.name = "2: DIP8 AF",
       .bitstream = "ak6420af6300.bit",
       .vccPin = 18,
       .gndPin = 23,
       .pinMask = SocketPins(17, 24)},
  }};
  static constexpr std::string_view kRequiredItems = "len=";
  static void CheckRow(const WordSerialType& t, TypeTableReport& r) { CheckWordSerialRow(t, r); }

 protected:
  // The chip's bytes on the wire: the read from address 0, and a write at the even byte
  // address `a`; count 0 when the size has no form.
  virtual SpiAddress ReadAddress() const = 0;
  virtual SpiAddress WriteAddress(std::uint32_t a) const = 0;
  // Whether the set can address a chip of `size` bytes.
  virtual bool Addressable(std::uint32_t size) const = 0;
  // The word at buffer bytes `lo`, `hi` as it goes out, and a fetched block as it goes in.
  virtual std::array<std::uint8_t, 2> WordOut(std::uint8_t lo, std::uint8_t hi) const = 0;
  virtual void BlockIn(std::uint8_t* block, std::uint32_t count) const = 0;
  std::uint32_t Size() const { return size_; }

 private:
  static constexpr const char* kList[] = {
      "$Fonc:", "23 Write", "24 Verify", "$DisTool:", "21,22,25,26,28,29,30,31,", "$end"};
  void Init() override;
  TypeFacts Facts() const override;
  std::span<const char* const> DescribeList() const override { return kList; }
  bool Offers(int op) const override;
  void Handle(int op) override;

  const WordSerialType& Row() const { return kTypes[static_cast<std::size_t>(row_)]; }
  bool PowerUp() const;
  void Scan(bool verify);
  void Write();

  int row_ = 0;  // the set's own row: the chosen type, moved up on models 6300 and above
  std::uint32_t size_ = 0;
  std::uint32_t delay_ = 0;
};

}  // namespace zelvar::memory
