#pragma once
// The engine of the 80C51 Rx2 sets (AT89C51RD2, T89C51RD2, T89C51RC2): the parallel engine's
// address, data byte and strobe with a five-pin mode pattern on P2.6, P2.7, P3.6, P3.7 and P3.3,
// the programming-mode entry and the unlock sequence, 128-byte page writes with long strobes, and
// the configuration block (BSB, BSV, the hardware security byte HSB, SSB) at the start of the
// signature space. The sets differ only in the policy below.
#include <array>
#include <cstdint>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

struct Rx2Policy {
  bool entryCode = true;         // pattern 11001 and the byte 0x69 end the programming-mode entry
  bool vppOnEa = true;           // the entry puts VPP (4.5 V) on EA/VPP
  bool address15 = true;         // address bit 15 on pin 15 (else pin 15 held high)
  bool read64 = true;            // Read and Verify by 64 single samples (else 256-byte blocks)
  int pageStrobes = 2;           // long strobes that program a page
  bool erasePage = true;         // Erase loads a page of 0xFF before the erase strobe
  bool hsbAfterErase = false;    // Erase ends by writing HSB 0x7F
  bool hsbCommitPattern = true;  // Security commits HSB in pattern 11011 (else in 11000)
  bool logSecurity = true;       // "HSB=%02x OK"
  const char* configFormat = "BSB=%02x,BSV=%02x,Config=%02x,SSB=%02x; ID=%02x,%02x,%02x";
};

inline constexpr std::uint32_t kRx2Page = 128;

// The types of the Rx2 sets (the RC2 set stops after row 3).
inline constexpr std::array<ParallelType, 5> kRx2Types = {{
    {.name = "Exit"},
    {.name = "1: P89C51RA2 8Kx8", .lastAddress = 8191},
    {.name = "2:P89C51RB2 16Kx8", .lastAddress = 16383},
    {.name = "3:P89C51RC2 32Kx8", .lastAddress = 32767},
    {.name = "4:P89C51RD2 64Kx8", .lastAddress = 65535},
}};
inline constexpr std::array<ParallelType, 4> kRc2Types = {
    {kRx2Types[0], kRx2Types[1], kRx2Types[2], kRx2Types[3]}};

class Rx2Set : public ParallelSet {
 protected:
  virtual const Rx2Policy& Policy() const = 0;
  virtual std::span<const ParallelType> Types() const = 0;

  std::uint32_t LastAddress() const override { return Types()[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override;
  std::span<const int> Operations() const override;
  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{}; }
  void Init() override;
  void ReadSignature() override;

 private:
  void SetModePins(const char* levels);
  void DataPulse(std::uint8_t b);
  void Unlock();
  static void LongStrobe(int extraSettles = 0);
  void EnterProgramMode();
  void PowerUp();
  bool EnterReadCode();
  bool ScanRx2(Scan kind);

  void Read() override;
  void Blank() override;
  void Verify() override;
  void Erase() override;
  void Write() override;
  void Config() override;
  void Lock() override;
  void ReadId() override;
  void ReadConfig() override;

  std::uint8_t hsb_ = 0;
};

}  // namespace zelvar::mcs51
