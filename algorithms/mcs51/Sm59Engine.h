#pragma once
// The SyncMOS SM59 parallel engine, once for "SM59064" and "SM59128": 40-pin flash 8051 parts of
// up to 128 KB with an ISP area at the top of the code whose size (a count of 512-byte units) the
// chip keeps in a configuration byte. The low address byte goes on port 0, A8..A15 on P2 (socket
// pins 21 to 28) and, on the 128 KB part, A16 on ALE (pin 30); the operation is the levels of
// P3.0..P3.5 (socket pins 10 to 15) with PSEN (29) low for the reads and high for the cycles; a
// cycle is a pulse on P3.7 (pin 17) inside a low level of the set's strobe pin, and lasts until
// the strobe rises. The sets give the strobe, the patterns and the cycles' waits as data.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/ParallelEngine.h"

namespace zelvar::mcs51 {

// Levels of socket pins 10 to 15 (P3.0..P3.5), pin 10 first: '1' high, '0' low.
struct Sm59Pattern {
  const char* levels = "000000";
};

// The waits of one cycle: `inside` commands within the pin-17 pulse, `after` commands between
// its rise and the strobe's (each flushed when `flushEach`).
struct Sm59Cycle {
  Sm59Pattern pattern;
  std::uint8_t insideWait = 0;
  std::uint8_t insideCount = 0;
  std::uint8_t afterWait = 0;
  std::uint8_t afterCount = 0;
  bool flushEach = false;
};

struct Sm59Policy {
  std::uint8_t strobePin = 0;  // idle high, low around each cycle and each read
  std::uint8_t a16Pin = 0;     // 0: the set reaches 64 KB
  std::uint8_t eaLow = 0;      // a pin held low from power-up (EA on the part strobed on ALE)
  int vppMillivolts = 0;       // the VPP level of the set-up (no operation selects VPP)
  Sm59Pattern idle;            // P3 at power-up
  Sm59Pattern read;
  Sm59Pattern readConfig;
  Sm59Cycle program;
  Sm59Cycle erase;
  Sm59Cycle lock;
  Sm59Cycle ispErase;
  Sm59Cycle configWrite;
  std::uint32_t eraseAddress = 0;
};

// The ISP size radio's item count: "0: No ISP" to "8: F000-FFFF".
inline constexpr std::uint32_t kSm59IspCodes = 9;
inline constexpr std::uint32_t kSm59IspUnit = 512;

class Sm59Set : public ParallelSet {
 public:
  // A size of whole 256-byte pages within 17 address lines, and the packages' pins as the
  // parallel family's.
  static void CheckRow(const ParallelType& t, TypeTableReport& r);

  static constexpr std::array<ParallelType, 8> kTypes = {{
      {.name = "Exit"},
      {.name = "1: noname  4K", .lastAddress = 4095},
      {.name = "2: noname  8K", .lastAddress = 8191},
      {.name = "3: noname  8K", .lastAddress = 8191},
      {.name = "4: noname  16K", .lastAddress = 16383},
      {.name = "5: noname 32K", .lastAddress = 32767},
      {.name = "6: SM59064 64K", .lastAddress = 65535},
      {.name = "7: SM59128 128K", .lastAddress = 131071},
  }};

 protected:
  virtual const Sm59Policy& Policy() const = 0;

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override;
  std::span<const int> Operations() const override;

  void Init() override;
  void Read() override;
  void Blank() override;
  void Verify() override;
  void Write() override;
  void Erase() override;
  void Lock() override;
  void Config() override;
  void ReadConfig() override;
  void UserInfo() override;

 private:
  void PowerUp();
  void Address17(std::uint32_t a);
  static void SetPattern(Sm59Pattern p);
  // Power-up, the strobe and PSEN low and the read pattern, then the power check.
  bool EnterRead(Sm59Pattern pattern);
  // One cycle at `address` with `data` on P0.
  bool RunCycle(const Sm59Cycle& c, std::uint32_t address, std::uint8_t data);
  // The end of the code the blank check and verify compare: the ISP area is left out.
  std::uint32_t ScanEnd() const;
  bool ScanTo(Scan kind, std::uint32_t end);
};

}  // namespace zelvar::mcs51
