#pragma once
// What the 12-bit PIC sets whose chips keep the factory oscillator calibration (a MOVLW 0xCxx) in
// their last program word share, on the 12-bit engine: plain command codes, the calibration word
// left out of Write, Blank and Verify, a configuration word whose bits without a row stay erased
// (1) and that is read back after Config, Read config of the whole 12-bit word, and the erase that
// saves the calibration word first: the supply checked, the word read twice and taken only when
// both reads agree and it is a MOVLW, the erase refused otherwise, the value logged, and the word
// read back after it is programmed again.
#include <cstdint>
#include <span>

#include "algorithms/pic/Flash12.h"

namespace zelvar::pic {

namespace cal12 {
// Load Data 0x02, Read Data 0x04, Increment Address 0x06, Begin 0x08, End Programming 0x0E.
inline constexpr IcspCodes kCodes{0, 0x02, 0, 0x04, 0, 0x06, 0x08, 0x0E, 0};
inline constexpr std::uint8_t kBulkErase = 0x09;
// The datasheets' shortest programming time of the flash parts: 2 ms, two wait ticks.
inline constexpr int kMinTicks = 2;
inline constexpr int kOpsWithErase[] = {kOpErase,  kOpBlank, kOpWrite,     kOpVerify,
                                        kOpConfig, kOpRead,  kOpReadConfig};
inline constexpr int kOpsNoErase[] = {kOpBlank,  kOpWrite, kOpVerify,
                                      kOpConfig, kOpRead,  kOpReadConfig};
// A calibration word as the factory writes it: MOVLW k (1100 kkkk kkkk).
constexpr bool IsMovlw(std::uint16_t w) {
  return (w & 0xF00) == 0xC00;
}
}  // namespace cal12

class Cal12Set : public Flash12Set {
 protected:
  std::span<const int> Operations() const override { return cal12::kOpsWithErase; }
  // Every word but the calibration word.
  std::int32_t OwnEnd() const override { return row_.lastAddress - 2; }
  std::uint16_t BlankConfigMask() const override { return 0xFFF; }
  // "dly=" or the policy's ticks, never below the datasheets' 2 ms.
  int ProgramTicks() const override;

  void Erase() override;
  void Config() override;
  void ReadConfig() override;

  // The configuration word Config writes: the grid's bits with rows, the others 1.
  std::uint16_t ConfigWord() const override;
  // The radio's value from a configuration word read (the oscillator bits).
  virtual std::uint32_t RadioOf(std::uint16_t config) const { return config & 3u; }
  // The line Config and Read config log; "" logs nothing.
  virtual void LogConfigWritten(std::uint16_t /*config*/) const {}
  virtual void LogConfigRead(std::uint16_t config, std::uint16_t id) const;

  // Reads the calibration word twice (word "fla=" - 1); false (StatusWord 1, logged) when the
  // supply is weak, the reads differ or the word is no MOVLW.
  bool SaveCalibration(std::uint16_t& saved);
  // Programs `saved` into the last word and reads it back; false (StatusWord 1) on a mismatch.
  bool RestoreCalibration(std::uint16_t saved);
  // Reads the configuration word back after Config; false (StatusWord 1, logged) on a mismatch.
  bool ConfigReadsBack12(std::uint16_t written);
  // From the configuration word to the last program word.
  void StepToLastWord() const;
};

}  // namespace zelvar::pic
