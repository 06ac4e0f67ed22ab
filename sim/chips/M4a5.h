#pragma once
// An M4A5-class CPLD (M4A5-32/32) in PLCC44 on the "jtagM4a5P44to44" adapter (chip pin n in
// socket pin n - 2, seat 47): TDI 10, TCK 13, TDO 32, TMS 36, VCC 22 (the adapter joins the other
// VCC pins), GND 23 (joining the others); 4.5 to 5.5 V, 7 V absolute maximum. The chip side of its
// in-system programming is not public: the model accepts exactly the host's sequences, with the
// register lengths they imply and public JTAG conventions for the rest:
// - 6-bit instruction register, capture 000001; IDCODE 0x01 (the reset instruction, 32 bits,
//   the model's own value 0x0175C003, not confirmed from a datasheet), USERCODE 0x10 (32 bits),
//   BYPASS 0x3F, 0x02 a 98-bit boundary register, 0x0F a 5-bit mode register (08 enters
//   programming, 09 selects the closing row), 0x03 the 80-bit row register (bit 79 - r selects
//   row r), 0x04 the 378-bit data register, 0x07 read (Capture-DR takes the selected row's
//   image), 0x05 bulk erase, 0x06 program, 0x08 security.
// - 0x05, 0x06 and 0x08 act in Run-Test/Idle: the action is done when the TAP leaves it (or the
//   power goes) after at least 100 ms (erase, with every row selected) or 20 ms (program,
//   security) in programming mode; a shorter wait does nothing.
// - 80 rows of 378 fuses; an erased fuse reads 1 and programming clears the fuses whose data bit
//   is 0. Data register bit m (the m-th bit shifted in) is fuse m.
// - The read capture image: register bits 0 to 373 hold fuses 373 down to 0, bits 374 and 375
//   fuses 377 and 376, bits 376 and 377 fuses 375 and 374. With the designs' read-back (a part
//   that ends inside a byte comes back in its high bits) this is the order the host realigns, so
//   fuses 0 to 375 come back where Write put them; fuses 376 and 377 leave the chip in bits the
//   host does not keep and read as 1. A secured chip reads all 0.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/JtagChip.h"

namespace zelvar::sim {

class M4a5 final : public JtagChip {
 public:
  static constexpr int kRows = 80, kRowBits = 378;
  static constexpr std::uint32_t kIdcode = 0x0175C003;
  static constexpr double kEraseUs = 100000, kProgramUs = 20000;

  explicit M4a5(std::string_view name);

  int Fuse(int row, int m) const { return cells_[static_cast<std::size_t>(row * kRowBits + m)]; }
  void SetFuse(int row, int m, int v) {
    cells_[static_cast<std::size_t>(row * kRowBits + m)] = static_cast<std::uint8_t>(v);
  }
  bool secured() const { return secured_; }
  std::uint32_t usercode = 0xFFFFFFFF;
  int erases = 0;
  int rowsProgrammed = 0;
  std::vector<std::uint8_t> closingRow;

 protected:
  int DrBits(std::uint32_t instruction) const override;
  void CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double us) override;
  void UpdateDr(std::uint32_t instruction, const std::vector<std::uint8_t>& dr, double us) override;
  void UpdateIr(std::uint32_t instruction, double us) override;
  void LeaveIdle(double us) override;
  void PowerLost(double us) override;

 private:
  // The row the row register selects: -1 none, -2 several (all: -3).
  int SelectedRow() const;
  void Act(double us);

  std::vector<std::uint8_t> cells_;
  std::vector<std::uint8_t> rowReg_, dataReg_;
  int mode_ = 0;
  bool secured_ = false;
  std::uint32_t pending_ = 0;  // 0x05, 0x06 or 0x08 waiting in Run-Test/Idle
  double pendingFrom_ = 0;
};

std::string_view M4a5PartOf(std::string_view chipName);
std::shared_ptr<ChipModel> MakeM4a5(std::string_view part);

}  // namespace zelvar::sim
