#pragma once
// 28F001BX-T / 28F001BX-B boot-block flash (128K x8), written from its datasheet: the EPROM-like
// JEDEC 32-pin pinout with VPP on pin 1, RP# on pin 30 and WE# on pin 31; a write state machine
// that erases one block at a time (0x20 then 0xD0 at an address of the block) and programs a byte
// (0x40 or 0x10, then the byte), reporting through a status register (0x70; SR.7 ready, SR.5
// erase error, SR.4 program error, SR.3 VPP low; 0x50 clears it). After an erase or program
// command reads show the status register until 0xFF (read array) or 0x90 (identifier: maker 0x89
// at A0 low, device 0x94 for -T, 0x95 for -B) is written; A9 at 11.5 V to 13 V shows the
// identifier too. Erase and program need VPP at VPPH (11.4 V to 12.6 V). The 8 KB boot block
// (top of the -T, bottom of the -B) is locked unless RP# or OE# is at VHH (11.4 V to 12.6 V), and
// VHH must stay until the operation ends. RP# low is deep power-down: the chip resets and
// does nothing.
//
// Rules the datasheet leaves open, kept here:
// - A block erase takes `eraseUs` of simulated time (default 0.5 s, of the order of the
//   datasheet's typical block erase); the status register shows busy until then. VCC, VPP or a
//   boot block's VHH going before the end leaves the block as it was and sets SR.5 (and SR.3 for
//   VPP), as the datasheet's "spurious results" are not modelled further.
// - A byte program takes at its data latch (its microseconds lie within one bulk transfer).
// - While the state machine is busy every command but 0x70 is ignored; so are the codes the
//   datasheet reserves.
// - A locked boot block or VPP below VPPH fails the command at once: SR.5 (erase) or SR.4
//   (program) set, SR.3 too for VPP, the cells untouched.
#include <memory>
#include <string_view>
#include <vector>

#include "sim/chips/ByteWide.h"

namespace zelvar::sim {

class BootBlock28F final : public ByteWideChip {
 public:
  BootBlock28F(std::string_view name, bool topBoot);
  double eraseUs = 500000;
  int blockErases = 0;
  std::uint8_t status = 0x80;
  // Each erase the chip started: the block's first address and whether RP# or OE# was at VHH.
  struct EraseStart {
    std::uint32_t first = 0;
    bool vhh = false;
    bool operator==(const EraseStart&) const = default;
  };
  std::vector<EraseStart> erasesStarted;

 protected:
  void Write(Programmer& p, std::uint32_t address, std::uint8_t data) override;
  std::uint8_t Read(Programmer& p, std::uint32_t address) override;
  void Update(Programmer& p, bool powered) override;

 private:
  enum class Mode { Array, Status, Identify, EraseSetup, ProgramSetup };
  struct Block {
    std::uint32_t first = 0, size = 0;
  };
  Block BlockOf(std::uint32_t address) const;
  bool InBootBlock(std::uint32_t address) const;
  bool Vhh(const Programmer& p) const;
  bool VppHigh(const Programmer& p) const;
  void Reset();

  bool topBoot_;
  Mode mode_ = Mode::Array;
  Block erasing_{};
  bool erasingBoot_ = false;
  double eraseEnd_ = 0;
};

// "28F001BX-T" or "28F001BX-B"; nullptr for another name.
std::shared_ptr<BootBlock28F> MakeBootBlock28F(std::string_view part);

}  // namespace zelvar::sim
