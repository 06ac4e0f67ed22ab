#pragma once
// Firmware hubs in their parallel programming (PP) mode, written from their datasheets (SST
// "SST49LF002A/003A/004A/008A Firmware Hub"; Intel "82802AB/82802AC Firmware Hub"): the
// SST49LF002A/003A/004A/008A (JEDEC command set: 0xAA at 0x5555, 0x55 at 0x2AAA, then 0xA0 byte
// program, 0x80 ... 0x30 4 KiB sector erase, 0x50 block erase (16 KiB on the 002A, 64 KiB on the
// others), 0x10 chip erase, 0x90 software ID (maker 0xBF at A0 low, device at A0 high), 0xF0 exit;
// DQ7 reads the complement and DQ6 toggles while an operation runs) and the Intel 82802AB/AC
// (command register: 0xFF read array, 0x90 identifier (0x89, then 0xAD or 0xAC), 0x70 status,
// 0x50 clear status, 0x20/0xD0 erase of the 64 KiB block addressed, 0x40 or 0x10 then the byte;
// reads give the status register after an erase or program until 0xFF; program and erase need
// VPP on chip pin 1, else the status shows the VPP error and nothing changes).
//
// The 32-lead PLCC in PP mode, as this model takes it: 1 VPP (the SST parts: not connected), 2
// RST#, 3 to 12 A9 down to A0, 13-15 DQ0-DQ2, 16 VSS, 17-21 DQ3-DQ7, 23 WE#, 24 OE#, 29 IC (high:
// PP mode), 30 A10, 31 R/C#, 32 VDD at 3.0 V to 3.6 V; the second VDD/VSS pair the adapter ties to
// 32 and 16. A10..A0 are the row address, latched as R/C# falls, and A21..A11 the column, latched
// as R/C# rises; a write takes the latched address and the data as WE# rises with OE# high; the
// outputs drive while OE# is low, WE# high, RST# high and IC high.
//
// Rules the datasheets leave open, kept here:
// - A pin nothing drives counts as neither low nor high, and starts nothing.
// - The chip times its operations by the simulated clock, which moves only on the design's waits:
//   the SST parts program in 14 us, erase a sector or block in 18 ms and the chip in 70 ms; the
//   82802 programs in 11 us and erases a block in 0.75 s (the typical figures). Writes during an
//   operation are ignored.
// - Losing VCC, or RST# low, ends any mode and leaves an unfinished erase undone.
// - The SST49LF003A's 384 KiB sit at 0x20000 to 0x7FFFF; below them it reads 0xFF and takes no
//   writes. Unlock addresses decode on A14..A0.
// - The pins are rated as the datasheets' absolute maximum ratings give them (MaxMillivolts),
//   VDD + 0.5 V taken at the 3.6 V top of the range: a 5 V logic high is a hazard.
#include <cstdint>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct FirmwareHubSheet {
  std::string_view name;
  bool intel = false;  // the Intel command register, else the JEDEC command set
  std::uint8_t maker = 0, device = 0;
  std::uint32_t size = 0;   // bytes of address space
  std::uint32_t first = 0;  // the lowest address the array occupies
  std::uint32_t blockBytes = 0x10000;
};

class FirmwareHub final : public ChipModel {
 public:
  explicit FirmwareHub(const FirmwareHubSheet& sheet);

  std::string Name() const override { return std::string(sheet_.name); }
  int PinCount() const override { return 32; }
  std::vector<int> GroundPins() const override { return {16}; }
  int MaxMillivolts(int pin) const override;
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override;

  const FirmwareHubSheet& sheet() const { return sheet_; }
  std::vector<std::uint8_t> cells;
  // Erases that completed: the first address and the size erased.
  std::vector<std::pair<std::uint32_t, std::uint32_t>> erased;
  int programs = 0;

 private:
  enum class Mode { Read, Id, Status };
  int Mv(const Programmer& p, int chipPin) const;
  int Level(const Programmer& p, int chipPin) const;
  std::uint32_t APins(const Programmer& p) const;
  std::uint8_t DataPins(const Programmer& p) const;
  void Reset();
  void Finish(double now);
  void Write(const Programmer& p, std::uint32_t address, std::uint8_t data);
  void WriteJedec(double now, std::uint32_t address, std::uint8_t data);
  void WriteIntel(const Programmer& p, std::uint32_t address, std::uint8_t data);
  std::uint8_t Read(std::uint32_t address);
  void Start(double now, double us, std::uint32_t from, std::uint32_t bytes);
  void Program(double now, std::uint32_t address, std::uint8_t data, double us);

  FirmwareHubSheet sheet_;
  std::vector<int> socket_;  // chip pin -> socket pin
  bool powered_ = false;
  int lastRc_ = -1, lastWe_ = -1;
  std::uint32_t row_ = 0, column_ = 0;
  Mode mode_ = Mode::Read;
  int unlock_ = 0;  // JEDEC: cycles of the sequence so far
  bool eraseArmed_ = false;
  bool programArmed_ = false;  // the next write programs a byte
  std::uint8_t intelSetup_ = 0;
  std::uint8_t status_ = 0x80;
  bool busy_ = false;
  double busyEnd_ = 0;
  std::uint32_t eraseFrom_ = 0, eraseBytes_ = 0;  // 0 bytes: the operation was a program
  bool toggle_ = false;
  bool driving_ = false;
  std::uint8_t out_ = 0;
};

// A model by part name ("SST49LF004A", "82802AC", ...); nullptr for a part without one.
std::shared_ptr<FirmwareHub> MakeFirmwareHub(std::string_view part);
// The part `chipName` names, "" when none.
std::string_view FirmwareHubPartOf(std::string_view chipName);

}  // namespace zelvar::sim
