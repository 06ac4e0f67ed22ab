#pragma once
// What the JTAG chip models share: the IEEE 1149.1 TAP controller run from the TCK, TMS and TDI
// pins (state change and shift on the rising TCK edge, TDO changed on the falling edge and driven
// only in Shift-IR and Shift-DR), the instruction register with its capture value, and a data
// register per instruction that a part captures and updates. Test-Logic-Reset selects the
// part's reset instruction (IDCODE). Power comes from a supply on the VCC pin with the ground pin
// grounded; losing it resets the TAP. The TDO bit leaving first is register bit 0.
#include <cstdint>
#include <string>
#include <vector>

#include "sim/Programmer.h"

namespace zelvar::sim {

struct JtagChipPins {
  int tck = 0, tms = 0, tdi = 0, tdo = 0, vcc = 0, gnd = 0;
};

class JtagChip : public ChipModel {
 public:
  enum class Tap {
    kReset,
    kIdle,
    kSelectDr,
    kCaptureDr,
    kShiftDr,
    kExit1Dr,
    kPauseDr,
    kExit2Dr,
    kUpdateDr,
    kSelectIr,
    kCaptureIr,
    kShiftIr,
    kExit1Ir,
    kPauseIr,
    kExit2Ir,
    kUpdateIr
  };

  std::string Name() const override { return name_; }
  int PinCount() const override { return pinCount_; }
  std::vector<int> GroundPins() const override { return {pins_.gnd}; }
  int MaxMillivolts(int pin) const override { return pin == pins_.vcc ? vccAbsMax_ : pinAbsMax_; }
  bool Powered(const Programmer& p) const override;
  void OnPins(Programmer& p) override;
  int Drive(int pin) const override { return pin == pins_.tdo && tdoOn_ ? tdo_ : -1; }
  int SeatPin(int /*model*/) const override { return seat_; }

  struct Sheet {
    std::string name;
    int pinCount = 44;
    int seat = 0;  // socket pin of chip pin 1; 0 at the bottom
    JtagChipPins pins;
    int vccMin = 4500, vccMax = 5500, vccAbsMax = 7000, pinAbsMax = 7000;
    int irBits = 8;
    std::uint32_t resetInstruction = 0;
    std::uint32_t irCapture = 1;
  };

  Tap state() const { return state_; }
  std::uint32_t instruction() const { return ir_; }
  // Rising TCK edges seen while powered.
  long clocks = 0;

 protected:
  explicit JtagChip(const Sheet& s);

  // The length of the data register `instruction` selects.
  virtual int DrBits(std::uint32_t instruction) const = 0;
  // Capture-DR: the register's value, DrBits() bits, bit 0 first out.
  virtual void CaptureDr(std::uint32_t instruction, std::vector<std::uint8_t>& dr, double us) = 0;
  // Update-DR with the bits shifted in.
  virtual void UpdateDr(std::uint32_t instruction, const std::vector<std::uint8_t>& dr,
                        double us) = 0;
  // Update-IR: the new instruction is in force from `us` on.
  virtual void UpdateIr(std::uint32_t /*instruction*/, double /*us*/) {}
  // The TAP leaves Run-Test/Idle at `us` (the end of a wait the instruction needed).
  virtual void LeaveIdle(double /*us*/) {}
  // Power lost at `us` (before the TAP is reset).
  virtual void PowerLost(double /*us*/) {}
  // The capture value's bit `i` as an integer's bit (a helper for parts).
  static void PutBits(std::vector<std::uint8_t>& dr, int from, std::uint64_t value, int bits);
  static std::uint64_t GetBits(const std::vector<std::uint8_t>& dr, int from, int bits);

 private:
  int Level(Programmer& p, int chipPin) const;
  void Rise(Programmer& p, int tms, int tdi);

  std::string name_;
  int pinCount_, seat_;
  JtagChipPins pins_;
  int vccMin_, vccMax_, vccAbsMax_, pinAbsMax_;
  int irBits_;
  std::uint32_t resetInstruction_, irCapture_;

  bool powered_ = false;
  int tck_ = 0;
  Tap state_ = Tap::kReset;
  std::uint32_t ir_ = 0;
  std::vector<std::uint8_t> shift_;
  bool tdoOn_ = false;
  int tdo_ = 1;
};

}  // namespace zelvar::sim
