#pragma once
// The LPC900 in-circuit sets ("P89LPC932", "LPC901"): the chips' ICP reached through lines of
// FPGA register 18 and one of two byte engines the designs offer. `Lpc900Set` is what both
// share: rows of `Lpc900Type` with a second group for models 6300 and up (TypeIndex + 10), the
// set-up, the 19-byte configuration area (UCFG1 at 0, boot vector 2, boot status 3, sector
// security 8 to 15, the ID at 16 to 18) and its Read ID, Read config and Config. The engines:
// `RegisterEngine` (the P89LPC932 designs' register front end: port 0 selects address low, high,
// data or command, port 1 the byte, line 3 clocks it) and `ShifterEngine` (the LPC901 designs'
// shifter: commands 56 and 57 move a byte least significant bit first, so bytes are reversed).
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::mcs51 {

// A row: caption, design, VCC and ground pins (0: the package gets no socket supply and no
// contact test), the contact pins and the placement picture (first socket row, pins; 0: none).
struct Lpc900Type {
  std::string_view name;
  const char* bitstream = nullptr;
  std::uint8_t vccPin = 0, groundPin = 0;
  std::uint64_t contactMask = 0;
  int placeRow = 0, placePins = 0;
};

void CheckLpc900Row(const Lpc900Type& t, TypeTableReport& r);

inline constexpr int kLpc900ConfigBytes = 19;

class Lpc900Set : public Mcs51Set {
 public:
  static void CheckRow(const Lpc900Type& t, TypeTableReport& r) { CheckLpc900Row(t, r); }

 protected:
  virtual std::span<const Lpc900Type> Types() const = 0;
  // What the set adds to the shared set-up once the row is accepted and its design loaded; false
  // refuses the chip.
  virtual bool SetupExtras() { return true; }
  virtual int DefaultVcc() const { return 3300; }
  // The 19 configuration bytes into gLink.ScratchBuffer; false when the chip did not answer.
  virtual bool ReadConfigBlock() = 0;
  virtual bool WriteConfigByte(std::uint8_t address, std::uint8_t value) = 0;
  // The ID bytes compared by the type check, and how it words a mismatch.
  virtual IdCheck IdRule() const = 0;

  void Init() override;
  std::uint32_t LastAddress() const override { return lastAddress_; }
  const Lpc900Type& Row() const { return Types()[static_cast<std::size_t>(gApp.TypeIndex)]; }
  // The type check of Erase, Write and Config.
  virtual bool CheckType() { return TypeCheck(IdRule()); }
  bool CheckBeforeChange() override { return CheckType(); }
  // Called between the type check and the first configuration byte.
  virtual void BeginConfigWrites() {}
  void ReadSignature() override;

  void ReadId() override;
  void ReadConfig() override;
  void Config() override;

  std::uint32_t lastAddress_ = 0;
};

// The P89LPC932 designs' register front end.
class RegisterEngine : public Lpc900Set {
 protected:
  bool SetupExtras() override;
  IdCheck IdRule() const override { return {.bytes = 3}; }
  bool ReadConfigBlock() override;
  bool WriteConfigByte(std::uint8_t address, std::uint8_t value) override;

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Read() override;

 private:
  static void Line(int n, bool level);
  static void SelectRegister(std::uint8_t r);
  static void WriteByte(std::uint8_t b);
  static void ClockInByte();
  void EnterIcp();
  static void SetAddress(std::uint16_t a);
  // Polls the status until the chip is ready; false (logged, StatusWord 1) after 20 polls.
  static bool WaitReady();
  bool Scan(Scan kind);

  std::uint32_t pageSize_ = 0;
};

// The LPC901 designs' shifter.
class ShifterEngine : public Lpc900Set {
 protected:
  bool SetupExtras() override;
  IdCheck IdRule() const override { return {.bytes = 2, .wording = "Type error!*错误的型号"}; }
  bool ReadConfigBlock() override;
  bool WriteConfigByte(std::uint8_t address, std::uint8_t value) override;
  bool CheckType() override;
  void BeginConfigWrites() override { EnterIcp(); }

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;

 private:
  static void Line(int n, bool level);
  static void SendByte(std::uint8_t v);
  void EnterIcp();
  // `n` status polls, each followed by wait byte `wait`; true when the first answered 0xF0.
  static bool Polls(int n, std::uint8_t wait);
};

}  // namespace zelvar::mcs51
