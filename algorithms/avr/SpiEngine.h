#pragma once
// The AVR serial-programming engine (RESET low, no 12 V): every step one four-byte instruction of
// the parts' serial instruction set, shifted by the design; the programming-enable sequence with
// its RESET pulse and echo check; the handlers built from them. A set gives its rows and design.
#include <cstdint>

#include "algorithms/avr/AvrSet.h"

namespace zelvar::avr {

class SpiSet : public AvrSet {
 protected:
  // The row's write wait: `waitTicks` ticks of 1.25 ms.
  void WriteWait() const;
  static void Send(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d);
  // Three bytes, then the fourth read into the next reply.
  static void Query(std::uint8_t a, std::uint8_t b, std::uint8_t c);
  // Programming Enable after a RESET pulse, up to 32 times until the chip echoes; false (StatusWord
  // 1, "Chip not ready!") when it never does.
  bool Enter();
  bool EnterChecked();

  void Erase() override;
  void Blank() override { ScanCode(Scan::Blank); }
  void Verify() override { ScanCode(Scan::Verify); }
  void Read() override { ScanCode(Scan::Read); }
  void Write() override;
  void Config() override;
  void Lock() override;
  void ReadSignature() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadCalibration() override;
  void ReadData() override;
  void WriteData() override;

 private:
  void ScanCode(Scan kind);
};

}  // namespace zelvar::avr
