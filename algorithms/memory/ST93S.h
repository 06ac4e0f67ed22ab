#pragma once
// "ST93S": Microwire EEPROMs of the 93S46/56/66 kind (x16, with a protect register) on socket
// pins 17 to 24 through the "p93cxxx.bit" design. Chip pin 6 is the program enable PE (socket pin
// 22, the organisation pin of the 93Cxx sets) and chip pin 7 the protect-register enable PRE
// (socket pin 23). Writes need PE high through the instruction; PRE high turns the instructions to
// the protect register, which holds the first protected word.
#include <array>
#include <span>

#include "algorithms/memory/MicrowireSet.h"

namespace zelvar::memory {

class ST93S final : public MicrowireSet {
 public:
  static constexpr std::array<MicrowireType, 4> kTypes = {{
      {.name = "???"},
      MicrowireRow("1: 93S46    64x16", 6, 16, 127),
      MicrowireRow("2: 93S56  128x16", 8, 16, 255),
      MicrowireRow("3: 93S66    256x16", 8, 16, 511),
  }};
  static void CheckRow(const MicrowireType& t, TypeTableReport& r) { CheckMicrowireRow(t, r); }
  // The first word Protect guards: from it up to the top of the chip.
  static constexpr std::uint32_t kProtectFrom = 0x10;

 private:
  // "20 UnProtect" is in the list as the only way a user reaches the operation (operation
  // buttons cover 21 to 29): without it a protected chip could not be unprotected here.
  static constexpr const char* kList[] = {"$Fonc:",    "20 UnProtect", "23 Write", "24 Verify",
                                          "$DisTool:", "25,28,30,31,", "$end"};
  const MicrowireType& Type() const override { return ChosenRow(kTypes); }
  bool WordUnits() const override { return true; }
  bool Pin7Connected() const override { return true; }  // PE
  std::span<const char* const> DescribeList() const override { return kList; }

  void Init() override;
  bool Offers(int op) const override;
  void Handle(int op) override;
  bool PowerUp() const override;
  void WriteWord(std::uint32_t address, std::uint32_t value) const override;

  void Erase() const;
  void Protect() const;
  void Unprotect() const;
  void ReadRegister() const;
  // The protect register's address, read with PRE high (PRREAD).
  std::uint32_t ProtectRegister() const;
  // WEN with PE high, then PREN with PRE high: the protect register takes one instruction next.
  void EnableProtectRegister() const;

  int vccMillivolts_ = 5000;
  std::uint32_t writeWait_ = 10;  // wait steps of 1 ms after each written word, from "wrt="
};

}  // namespace zelvar::memory
