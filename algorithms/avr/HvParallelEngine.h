#pragma once
// The AVR high-voltage parallel engine, written once for every parallel AVR set: ten control lines
// through FPGA register 18 (OE, WR, BS1, BS2, XA0, XA1, XTAL1, PAGEL, the read-back direction and
// the mode line), the chip's data port on programmer port 0, the protocol's command bytes, address
// and data loads, page loads and the reads they need. A set gives its type table, its design and
// the steps its chips differ in (`HvParallelPolicy` and the virtual entry); the handlers below are
// the whole-chip operations built from those steps.
#include <array>
#include <cstdint>

#include "algorithms/avr/AvrSet.h"
#include "link/commands/AvrParallel.h"

namespace zelvar::avr {

// The protocol's command bytes.
enum HvCommand : std::uint8_t {
  kHvChipErase = 0x80,
  kHvWriteFuse = 0x40,
  kHvWriteLock = 0x20,
  kHvWriteFlash = 0x10,
  kHvWriteEeprom = 0x11,
  kHvReadSignature = 0x08,
  kHvReadFuseLock = 0x04,
  kHvReadFlash = 0x02,
  kHvReadEeprom = 0x03,
};

// Where the sets' copies of the engine differ.
struct HvParallelPolicy {
  bool settleEveryLine = false;    // a settle command before every line change
  bool flushBeforeSamples = true;  // ReadFlashWord flushes once the address is loaded
  std::uint8_t pageTicks = 10;     // ticks after a flash or EEPROM page's WR pulse
  std::uint8_t fuseWait = avr_parallel::kCmdTick;  // the wait after a fuse or lock WR pulse
  std::uint8_t fuseWaitCount = 4;
  std::uint8_t eepromByteTicks = 3;    // ticks after a single EEPROM byte's WR pulse
  bool settleBeforeDirection = false;  // a settle command before each data-direction change
  // The entry of the ATmega48/88/168 and ATtiny2313 datasheets: 12 V on RESET 20-60 µs after VCC
  // (the entry that works with RESET disabled as I/O), in place of XTAL1 pulses before it.
  bool vccWindowEntry = false;
  // The lines of BS2 and PAGEL; parts with few pins share them with XA1 and BS1.
  std::uint8_t bs2Line = avr_parallel::kLineBs2;
  std::uint8_t pagelLine = avr_parallel::kLinePagel;
};

// The fuse byte a WR pulse or an OE sample selects by BS2 and BS1.
enum class FuseByte { Low, High, Extended, Lock };

class HvParallelSet : public AvrSet {
 protected:
  virtual const HvParallelPolicy& Policy() const = 0;

  // --- Engine steps (queued). The line, data-port and wait steps are virtual: a set whose
  // signals run on socket pins instead of register-18 lines gives its own (AvrPinParallel).
  virtual void ClearLine(std::uint8_t n) const;
  virtual void SetLine(std::uint8_t n) const;
  virtual void SetReadDirection(bool on) const;
  virtual void ClockDataByte(std::uint8_t b) const;
  // The settle before a byte load.
  virtual void LineSettle() const;
  void LoadAddressByte(std::uint8_t b) const;
  void LoadDataByte(std::uint8_t b) const;
  void LoadCommandByte(std::uint8_t c) const;
  virtual void SampleData() const;
  void FuseWait() const;
  // The wait after a WR pulse that started a self-timed write.
  virtual void Ticks(int n) const;
  // BS2 and BS1 that select `which` for a read.
  void SelectFuseByte(FuseByte which) const;

  // The programming-mode entry: VCC and ground on the chip, the lines at their entry levels with
  // the programming-enable pattern low, XTAL1 pulses, then 12 V on RESET and the start-up wait
  // (ATmega8/16 datasheets); with the policy's `vccWindowEntry`, EnterInVccWindow. Sent.
  virtual void EnterHvProgramming();
  // Every line low with the chip unpowered, then VCC, WR high, 30 µs, 12 V on RESET in one
  // transfer, the programming-enable pattern held 10 µs, and the start-up wait. Sent.
  void EnterInVccWindow();
  // Entry, then the power check; false when the supplies did not hold (or the set's entry
  // failed).
  virtual bool EnterChecked();

  void ReadFlashWord(std::uint32_t byteAddress) const;
  void LoadEepromAddress(std::uint8_t command, std::uint32_t address) const;
  void ReadEepromByte(std::uint32_t address) const;
  void ReadSignatureByte(std::uint8_t n) const;

  // --- Whole-chip steps.
  // Read, Blank and Verify of the flash: 32 words per reply (Verify 16).
  bool ScanFlash(Scan kind);
  // Every flash page from the buffer, one flush per page.
  void WriteFlashPages();
  // The chip erase command and its WR pulse, after the entry.
  void ChipErase();
  // One fuse byte's write: command, data, BS lines, WR pulse, wait. Queued.
  void WriteFuseByte(FuseByte which, std::uint8_t value);
  // The lock byte's write (0 bits program). Queued.
  void WriteLockByte(std::uint8_t value);
  // Samples the fuse and lock bytes in the order given into the next reply's bytes 0.. .
  template <std::size_t N>
  std::array<std::uint8_t, N> ReadFuseBytes(const std::array<FuseByte, N>& order);
  // The three signature bytes into ReadId.
  void ReadSignatures();
  void ReadSignature() override { ReadSignatures(); }
  // The calibration byte at `address` (BS1 high under the signature command).
  std::uint8_t ReadCalibrationByte(std::uint8_t address);
  // The EEPROM into its image, 64 bytes per reply; the bar closes at the end.
  void ReadEeprom();
  // The EEPROM image page by page through the page buffer.
  void WriteEepromPages();
  // One EEPROM byte, a WR pulse of its own (parts without an EEPROM page buffer). Queued.
  void WriteEepromByte(std::uint32_t address, std::uint8_t value) const;
  // The EEPROM image byte by byte, a flush at every 256th byte and at the end.
  void WriteEepromBytes();
};

}  // namespace zelvar::avr
