#pragma once
// The XC9536 and XC9572 CPLDs in PLCC44 on the 44-pin JTAG adapter (chip pin n in socket pin n - 2,
// seat 47), from the public XC9500 datasheet and BSDL files: TDI 15, TMS 16, TCK 17, TDO 30,
// VCCINT 21 (the adapter joins VCCINT 41 and VCCIO 32 to it), GND 23 (joining 10 and 31); 4.5 to
// 5.5 V, 7 V absolute maximum. The 8-bit instruction register captures 000XXX01 (bit 4: ISP
// mode); IDCODE (0xFE, the reset instruction) gives 0x09502093 (XC9536) or 0x09504093 (XC9572);
// BYPASS 0xFF, ISPEN 0xE8 (6-bit register), FPGM 0xEA and FVFY 0xEE (the ISP data register:
// 2 status bits, 8k data bits, a 16-bit address), FERASE 0xEC and FBULK 0xED (18 bits: status
// and address), ISPEX 0xF0.
//
// The ISP algorithm is not public; the model accepts the host's sequences and follows its row
// image:
// - 108 blocks of 15 rows of 8k bits (k = 4 on the XC9536, 8 on the XC9572); row address = the
//   register's address field (bits 8k+2 up): block = address >> 5, row = the index of
//   address & 31 among 0-4, 8-12, 16-20. An erased cell reads 0.
// - ISP mode from the Update-DR of ISPEN until ISPEX or power loss; FPGM, FVFY and the erases do
//   nothing outside it.
// - FPGM at Update-DR with status bits 01 loads the row into the program buffer; with 11 it loads
//   the row and starts the program cycle of every buffered row (a data 1 programs its cell), which
//   takes kProgramUs. Any TAP update or capture, or a power loss, before the cycle ends cuts it:
//   the buffered rows stay as they were. A buffer never followed by 11 programs nothing. (The
//   cycle time is the model's own: the XC9500 program timing is not public.) FVFY's Update-DR
//   latches the address; its Capture-DR gives status 01, the latched row's cells and the address.
// - FERASE with address 0xAA55 and FBULK with 0xFFFF erase the whole array in 100 ms. Capture-DR
//   under them shows status 11 while busy, 01 when done; the scan that reads "done" does not
//   start another erase, nor does one while busy.
#include <memory>
#include <string_view>

#include "sim/chips/JtagChip.h"

namespace zelvar::sim {

class Xc95 final : public JtagChip {
 public:
  static constexpr int kBlocks = 108, kRowsPerBlock = 15;
  static constexpr double kEraseUs = 100000;
  static constexpr double kProgramUs = 1000;

  Xc95(std::string_view name, int groups, std::uint32_t idcode);

  int groups() const { return groups_; }
  // Cell `bit` (0 to 8k - 1) of row `row` of block `block`.
  int Cell(int block, int row, int bit) const;
  void SetCell(int block, int row, int bit, int v);
  bool isp() const { return isp_; }
  int erases = 0;
  int rowsProgrammed = 0;
  int programCyclesCut = 0;

 protected:
  int DrBits(std::uint32_t instruction) const override;
  void CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double us) override;
  void UpdateDr(std::uint32_t instruction, const std::vector<std::uint8_t>& dr, double us) override;
  void UpdateIr(std::uint32_t instruction, double us) override;
  void PowerLost(double us) override;

 private:
  // The row index of an address field, -1 when it names no row.
  static int RowOf(std::uint32_t field);
  void FinishErase(double us);
  // Ends a running program cycle: done when its time is over, cut (nothing programmed) before.
  void SettleProgram(double us);

  struct BufferedRow {
    int block, row;
    std::vector<std::uint8_t> bits;
  };

  int groups_;
  std::uint32_t idcode_;
  std::vector<std::uint8_t> cells_;
  bool isp_ = false;
  std::uint32_t latched_ = 0xFFFFFFFF;
  bool erasing_ = false;
  bool doneSeen_ = false;
  double eraseEnd_ = 0;
  std::vector<BufferedRow> buffered_;
  bool programming_ = false;
  double programEnd_ = 0;
};

// The XC95 model of a catalogue name, nullptr for none.
std::string_view Xc95PartOf(std::string_view chipName);
std::shared_ptr<ChipModel> MakeXc95(std::string_view part);

}  // namespace zelvar::sim
