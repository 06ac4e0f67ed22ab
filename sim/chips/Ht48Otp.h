#pragma once
// Holtek HT48R OTP microcontrollers in the "HTOTP" standard seat: the HT48R05A-1 and HT48R06A-1
// (18-pin DIP from socket pin 3, 14-bit program words, 512 or 1K). The programming protocol and
// the programming contacts are not published; the model takes the contacts the row names (VDD
// chip pin 12, VPP 11, VSS 8, data nibble PA0-PA3 on pins 4 down to 1, clock on 13, mode lines on
// 16 and 17) and is the smallest chip that accepts the "HTOTP" sequences, by these rules:
// - Powered: 2.2 V to 5.5 V on VDD with VSS grounded; VPP takes up to 13.5 V. The mode runs while
//   VPP holds 11.5 V or more and the chip is powered; entering it forgets the address.
// - Cells: program words and 32 option words of 14 bits; a blank cell reads 0 and programming
//   ORs bits in (a bit only goes from 0 to 1). Option word 0 bit 0 is the lock.
// - With line 17 (DIR) low each falling clock edge takes a nibble from the data pins. The first
//   four after entry are the address, lowest nibble first: bits 0-13 the word, bits 14-15 the
//   space (0 program memory, 2 option area). Every further four are a word, lowest nibble first;
//   the clock low for at least 400 us after the fourth programs it at the address.
// - With DIR high the chip drives a nibble on the data pins while the clock is low: the word at
//   the address, lowest nibble first, stepping to the next word after the fourth rising edge.
//   Before any address it drives the chip ID (0xAD) one bit a clock on PA0, lowest bit first.
#include <array>
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/LineChip.h"

namespace zelvar::sim {

class Ht48OtpChip final : public LineChip {
 public:
  Ht48OtpChip(std::string_view name, int words);
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  std::vector<std::uint16_t> code;
  std::array<std::uint16_t, 32> option{};
  int shortPulses = 0;
  static constexpr std::uint8_t kId = 0xAD;

 private:
  std::uint16_t* Cell();
  bool inMode_ = false;
  int lastClock_ = 1;
  int nibblesIn_ = 0, nibblesOut_ = 0;
  std::uint32_t value_ = 0;
  std::uint16_t word_ = 0;
  int space_ = 0, address_ = 0;
  bool addressed_ = false;
  double lowSince_ = 0;
  int out_ = -1;
};

std::string_view Ht48OtpPartOf(std::string_view chipName);
std::shared_ptr<Ht48OtpChip> MakeHt48Otp(std::string_view part);

}  // namespace zelvar::sim
