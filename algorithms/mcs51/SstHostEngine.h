#pragma once
// The external host mode of the flash 80C51s with two flash blocks, once for the sets
// "P89V51RD2", "SST89E564", "SST89E554" and "SST89C5X": the command code on four mode pins
// (P3.7, P3.6, P2.7, P2.6 on socket pins 17, 16, 28, 27, switched on behind pin 13), the address
// on port 0 and the high address pins of the Rx2 sets, the data byte by command 33 and a PROG
// strobe on pin 30 followed by the 100 us wait; every command after a fresh entry and a Read-ID
// (PSEN falling with RST high), the mode commands (a code, an address, the byte 0xFF) for the
// block switch, configuration and security bits. A set gives its rows' walk over the chip and the
// buffer (`Segments`), its configuration commands and a policy for its entry, Read-ID and erase.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

// One stretch of a row's walk: `bytes` bytes from chip address `chip` (after Select-Block1 when
// `block1`) to and from the buffer at `buffer`.
struct SstSegment {
  std::uint32_t chip = 0;
  std::uint32_t buffer = 0;
  std::uint32_t bytes = 0;
  bool block1 = false;
};
struct SstWalk {
  std::array<SstSegment, 2> segments{};
  int count = 0;
  void Add(const SstSegment& s) {
    if (s.bytes != 0) segments[static_cast<std::size_t>(count++)] = s;
  }
  std::span<const SstSegment> Span() const {
    return {segments.data(), static_cast<std::size_t>(count)};
  }
};

// A mode command a "$Grid1:" bit of OptionValues word 0 sends: its code and, when `hasAddress`,
// the address (A15..A8 tell the command).
struct SstBitCommand {
  int bit = 0;
  const char* code = "";
  bool hasAddress = false;
  std::uint32_t address = 0;
};

struct SstPolicy {
  // The SST89E564's entry: progress 0, PSEN high before VCC, and the Read-ID's first byte checked
  // for 0xBF ("Warning: Chip error!"); a wrong byte refuses the operation.
  bool checkedEntry = false;
  bool signatureAtZero = false;   // the Read-ID block read from 0, its bytes 30H and 31H
  bool shortErase = false;        // Chip-Erase: a 1 ms strobe and 13 ms after (else 201 ms after)
  bool vppForWrite = false;       // Write puts the VPP supply on EA/VPP
  bool logIdOnSignature = false;  // Read ID's line without the ReadId bytes (SST89C5X)
};

// The SST89 rows: the last code address, where block 1 lies in chip addresses (kSstBehindSwitch:
// beside a 64 KB block 0, reached by Select-Block1; kSstNoBlock1: out of this set's reach) and
// its length.
inline constexpr std::uint32_t kSstBehindSwitch = 0x10000;
inline constexpr std::uint32_t kSstNoBlock1 = 0x20000;
struct SstType {
  std::string_view name;
  std::uint32_t lastAddress = 0;
  std::uint32_t block1Start = 0;
  std::uint32_t block1Bytes = 0;
  int vccMillivolts = 5000;  // inside the part's range: 4.5-5.5 V, the "V" parts 2.7-3.6 V
};

// The supply of row `row` of `types`; 5 V for a row outside the table (set-up refuses it).
template <std::size_t N>
int SstRowVcc(const std::array<SstType, N>& types, int row) {
  return row >= 0 && static_cast<std::size_t>(row) < N
             ? types[static_cast<std::size_t>(row)].vccMillivolts
             : 5000;
}

inline constexpr std::uint32_t kSstBlock1Buffer = 0x10000;  // block 1 behind the switch

class SstHostSet : public ParallelSet {
 public:
  // The package rules of the parallel sets; block 0 within 64 KB; block 1 past the code and
  // inside the 64 KB map, behind the switch or out of reach.
  static void CheckRow(const SstType& t, TypeTableReport& r);

 protected:
  virtual const SstPolicy& Policy() const = 0;
  virtual SstWalk Walk() const = 0;
  virtual std::span<const SstBitCommand> ConfigCommands() const { return {}; }
  virtual std::span<const SstBitCommand> SecurityCommands() const;
  // True (with the failure logged) when the buffer holds data where the chip has no memory:
  // Verify fails there, Write writes nothing. None by default.
  virtual bool DataOutsideRow(bool /*verify*/) { return false; }
  // After a whole Read: what the chip does not hold reads 0xFF. Nothing by default.
  virtual void AfterRead() {}

  const AddressPins& Address() const override;

  // Socket pin 13 on, then P3.7, P3.6, P2.7, P2.6 from `code` ("1100").
  static void ModePins(const char* code);
  static void ProgramByte(std::uint8_t b);
  // A fresh entry and the Read-ID: ReadId bytes 0 and 1 (the block bytes kept in scratch).
  void ReadSignature() override;
  void ModeCommand(const char* code, bool hasAddress, std::uint32_t address);
  // Select-Block0/1, sent only where the row's walk has a block behind the switch.
  void SelectBlock(int n);
  bool HasBlockSwitch() const;
  // The entry of every handler; false refuses the operation.
  bool Enter();
  // After ReadSignature: true when the maker byte is SST's; else logs the chip error and fails
  // (StatusWord 1).
  static bool Answers();
  // After ReadSignature: the two Read-ID bytes against the catalogue's, when it gives them; a
  // mismatch logs the pairs and the type error and fails (StatusWord 1).
  static bool IdentityMatches();
  // Before every change (Lock and Config too, not only Erase and Write): the entry, the Read-ID
  // and the match.
  bool CheckBeforeChange() override { return Enter() && (ReadSignature(), IdentityMatches()); }

  bool ScanWalk(Scan kind);
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void Erase() override;
  void Lock() override;
  void Config() override;
  void ReadId() override;
};

}  // namespace zelvar::mcs51
