#pragma once
// The word-write copy of the high-voltage parallel engine, for the AT90S parts without page
// buffers: the register-18 lines of the parallel engine, but flash written a byte per WR pulse
// (low byte, then high byte of each word), the EEPROM a byte per WR pulse, one fuse byte read
// together with the lock bits, and the lock bits chosen by a radio. These parts run the chip
// erase and the fuse write while WR is held low (5-15 ms and 1.0-1.8 ms), so those pulses are
// held for a wait; a bare pulse would erase or program nothing. A set gives its rows, design,
// entry and radio.
#include <cstdint>
#include <optional>

#include "algorithms/avr/HvParallelEngine.h"

namespace zelvar::avr {

class HvWordSet : public HvParallelSet {
 protected:
  // The entry; false (StatusWord 1, supplies off, a log line) when it found the chip cannot be
  // clocked.
  virtual bool Enter() = 0;
  void EnterHvProgramming() override { Enter(); }
  bool EnterChecked() override;
  // The XTAL1 line read back low, then high: false when both samples agree (a shorted or open
  // clock line).
  bool ClockLineAnswers();
  // VCC on, the clock-line check, then the entry; false (StatusWord 1, a log line, supplies off)
  // when the check fails.
  bool EnterClocked();
  // With VCC on: the lines at their entry levels with XA0, XA1 and BS low, 12 V on RESET, the
  // mode line and the start-up wait. Sent.
  void EnterAfterPower();

  // The lock byte the "Lock mode" radio (OptionValues word 128) names, or -1 with a log line and
  // StatusWord 1 for a value the radio does not have.
  virtual int LockByteOfRadio(std::uint32_t radio) const = 0;
  // The radio item of lock bits LB1, LB2 as read (1 = unprogrammed); -1 when no item has them.
  virtual int RadioOfLock(bool lb1, bool lb2) const = 0;
  // Read config's log line of the byte read.
  virtual const char* FuseLogFormat() const { return "Fuse=%02x"; }
  // The BS level under which the chip gives its fuse and lock byte.
  virtual bool FuseReadBs() const { return false; }
  // Words between a progress step and flush during Write.
  virtual std::uint32_t WriteFlushBytes() const { return 16; }

  // The waits WR is held low for: the chip erase (5-15 ms) and the fuse write (1.0-1.8 ms).
  virtual void EraseHold() const;
  virtual void FuseHold() const;

  void WritePulse() const;
  void WriteFlashWord(std::uint32_t a, std::uint16_t word) const;

  void Blank() override { ScanFlash(Scan::Blank); }
  void Verify() override { ScanFlash(Scan::Verify); }
  void Read() override { ScanFlash(Scan::Read); }
  void Write() override;
  void Erase() override;
  void Config() override;
  void Lock() override;
  void ReadSignature() override;
  void ReadId() override;
  void ReadConfig() override;
  // The fuse-and-lock byte (the entry, the read, supplies off), the "Lock mode" radio set from its
  // lock bits; nothing when the entry failed.
  std::optional<std::uint8_t> ReadFuseLock();
  void ReadData() override { ReadEeprom(); }
  void WriteData() override;
};

}  // namespace zelvar::avr
