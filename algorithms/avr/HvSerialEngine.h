#pragma once
// The AVR high-voltage serial engine, written once for the 8-pin sets: every step is an
// instruction frame (instruction byte on port 0, data byte on port 1, shifted in by line 5 of FPGA
// register 18), and what the chip shifts out comes back by command 2. The sets give their table
// (rows 1-9 for chips from socket pin 11, rows 11-19 from socket pin 17 on models 6300 and up),
// describe and config lists; the handlers are the engine's.
#include "algorithms/avr/AvrSet.h"

namespace zelvar::avr {

class HvSerialSet : public AvrSet {
 protected:
  // Operation 1: the row for the model, the row's design, the placement picture where the chip
  // goes from socket pin 11.
  template <std::size_t N>
  void SetUpSerial(const std::array<AvrType, N>& table) {
    SetUpSerial(static_cast<int>(N), table[ChosenIndex(static_cast<int>(N))].bitstream);
  }

  // The frame pair: data byte, instruction byte.
  void Instruction(std::uint8_t data, std::uint8_t instruction) const;
  void Wait() const;
  static void SampleSdo();
  // VCC with ground, four SCI pulses, 12 V on RESET and the wait before the first frame.
  virtual void EnterHvsp();
  bool EnterChecked();

  void ReadFlashWord(std::uint32_t byteAddress) const;
  void WriteFlashWord(std::uint32_t byteAddress, std::uint16_t word) const;
  void ReadEepromByte(std::uint32_t address) const;
  void WriteEepromByte(std::uint32_t address, std::uint8_t value) const;
  void ReadSignatureByte(std::uint8_t n) const;

  void Erase() override;
  void Blank() override { ScanFlash(Scan::Blank); }
  void Verify() override { ScanFlash(Scan::Verify); }
  void Read() override { ScanFlash(Scan::Read); }
  void Write() override;
  void Config() override;
  void Lock() override;
  void ReadSignature() override;
  void ReadId() override;
  void ReadConfig() override;
  void ReadData() override;
  void WriteData() override;
  // The calibration byte (BS high under the signature command), stored or logged.
  void ReadCalibration() override;

  static constexpr int kFuseWord = 0, kLockWord = 1;

 private:
  static int ChosenIndex(int rows);
  void SetUpSerial(int rows, const char* bitstream);
  bool ScanFlash(Scan kind);
};

}  // namespace zelvar::avr
