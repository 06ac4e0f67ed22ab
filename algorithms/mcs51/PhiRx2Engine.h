#pragma once
// The engine of the Philips-type sets "PHI89RX2", "P89C51RX2XX" and "PHI89NEW": byte-at-a-time
// programming with a timed strobe on ALE/PROG, a four-pin mode pattern on P2.6, P3.7, P3.1 and
// P3.0, P2.7 and P3.3 as the read/program selects, a chip erase by long strobes, the security bits
// programmed one by one, the status byte and boot vector, and the identity check before Write.
// "PHI89RX2" is the engine as it stands; the other two override the entry, the strobes and the
// handlers whose sequences differ (their files).
#include <array>
#include <cstdint>
#include <span>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

// OptionValues word 0: the "$Grid1:" rows; words 64 and 65 the status byte and boot vector.
inline constexpr int kPhiOptionWord = 0;
inline constexpr int kPhiStatusWord = 64, kPhiVectorWord = 65;
inline constexpr std::uint32_t kPhiClockBit = 1u << 3;  // "6/12 Clock": set keeps 12 clocks

inline constexpr const char* kPhiRx2Config[] = {
    "0: (只有一种类型)",        "n=Lock(加锁),v=1,l=1,b=0",
    "n=SB(读加密),v=1,l=1,b=1", "n=MOVCL(禁止MOVC),v=1,l=1,b=2",
    "n=6/12 Clock,v=1,l=1,b=3", "$end"};

class PhiRx2Set : public ParallelSet {
 protected:
  virtual std::span<const ParallelType> Types() const = 0;

  std::uint32_t LastAddress() const override { return Types()[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override;
  std::span<const int> Operations() const override;
  std::span<const char* const> ConfigTable() const override { return kPhiRx2Config; }
  void Init() override;
  void ReadSignature() override;

  // Levels of P2.6, P3.7, P3.1 and P3.0 (socket pins 27, 17, 11, 10).
  static void SetModePins(const char* levels);
  virtual void DataStrobe(std::uint8_t b);
  virtual void EraseStrobe();
  virtual void EnterProgramMode();
  // The entry, the VCC pin again and the crystal pins.
  void PowerUp();
  // "PHI89NEW" hands the clock line back before the crystal pins.
  virtual bool ClockOffAtPowerUp() const { return false; }
  // Reads the three ID bytes and compares them with ExpectedId; a mismatch logs the type error
  // and fails the operation (StatusWord 1).
  bool CheckId();
  bool CheckBeforeChange() override { return CheckId(); }
  // Whether the ID read matches: no identity given, or all three bytes equal.
  virtual bool IdMatches(const std::array<std::uint8_t, 4>& read,
                         const std::array<std::uint8_t, 4>& expected) const;
  // P2.7 and P3.3: both low read, P2.7 high with P3.3 low programs.
  static constexpr std::uint8_t kSelectPin = 28, kProgramPin = 13;

  void Read() override;
  void Blank() override;
  void Verify() override;
  void Erase() override;
  void Write() override;
  void Config() override;
  void Lock() override;
  void ReadId() override;
  void ReadConfig() override;

 private:
  bool EnterScan();
};

}  // namespace zelvar::mcs51
