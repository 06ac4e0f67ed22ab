#pragma once
// The 8051 in-circuit programming engine, written once for the W79E sets: numbered control lines
// of the loaded design set through FPGA register 18, programmer port 1 as the chip's data bus
// (four bits wide on the W79E2051 designs, eight on the W79E82x ones), and bus samples read back
// 64 to a reply. A set gives its rows and its policy; the engine gives mode entry, address and
// command latches, the read and program steps, the handlers and the data-flash pass.
#include <array>
#include <cstdint>
#include <span>
#include <string_view>

#include "algorithms/mcs51/Mcs51Set.h"

namespace zelvar::mcs51 {

// A row: the design and the chip's supply pins in the socket, its contact pins, and the
// placement picture shown at set-up (first socket row and pin count; 0: none).
struct IcpType {
  std::string_view name;
  const char* bitstream = nullptr;
  std::uint8_t vccPin = 0, vppPin = 0, groundPin = 0;
  std::uint64_t contactMask = 0;
  int placeRow = 0, placePins = 0;
};

struct IcpPolicy {
  bool nibbleBus = true;     // 4-bit bus: addresses in four nibbles, two samples a byte
  std::uint32_t block = 32;  // bytes a reply brings back
  std::uint16_t configAddress = 0xFB00;
  bool configFromParam = false;  // "cfa=" names the configuration address
  bool shiftRowsAt6300 = false;  // models 6300 and up take rows 11 and on
  bool vcc5000As4400 = false;
  const char* configFormat = "Config0=%02x, Config1=%02x";
  std::uint8_t configRead = 0, configWrite = 1;  // the commands that reach the configuration
};

inline constexpr std::uint16_t kIcpDataStart = 0xFC00;
// The mode-entry code shifted in after VPP reaches RST.
inline constexpr std::uint32_t kIcpEntryCode = 0x5AA5C3;

// Checks a row: supplies on distinct socket pins off ground, a design and pins for a row that has
// them, the placement inside the socket.
void CheckIcpRow(const IcpType& t, TypeTableReport& r);

class IcpSet : public Mcs51Set {
 public:
  static void CheckRow(const IcpType& t, TypeTableReport& r) { CheckIcpRow(t, r); }

 protected:
  virtual const IcpPolicy& Policy() const = 0;
  virtual std::span<const IcpType> Types() const = 0;

  void Init() override;
  std::uint32_t LastAddress() const override { return lastAddress_; }
  std::uint32_t DataStart() const override { return kIcpDataStart; }
  std::uint32_t DataLength() const override { return dataLength_; }

  void Erase() override;
  void Blank() override;
  void Write() override;
  void Verify() override;
  void Config() override;
  void Read() override;
  void ReadId() override;
  void ReadConfig() override;

  // The engine's steps, for a set whose chip differs in its arrays or its entry.
  const IcpType& Row() const { return Types()[static_cast<std::size_t>(gApp.TypeIndex)]; }
  static void Line(int n, bool level);
  static void Pulse(int n);
  // Power-up and mode entry: RST at VPP and the entry code.
  virtual void Enter();
  static void ShiftByte(std::uint8_t b);
  static void BusWrite(std::uint8_t v);
  void SetAddress(std::uint16_t a);
  static void SetCommand(std::uint8_t c);
  void ReadStep();
  void WriteStep(std::uint8_t b);
  // Sends the queued read steps and unpacks `bytes` of them into dest.
  void Collect(std::uint8_t* dest, std::uint32_t bytes);
  void ReadBlock(std::uint16_t address, std::uint8_t* dest);
  // Programs `count` bytes from buffer offset `from` at chip address `first` under `command`,
  // flushing every 16 bytes and showing progress from `progressBase` (none when negative).
  void WriteRange(std::uint16_t first, std::uint32_t from, std::uint32_t count,
                  std::uint8_t command, int progressBase);

  std::uint32_t lastAddress_ = 0;
  std::uint32_t dataLength_ = 0;
  std::uint16_t configAddress_ = 0;

 private:
  bool Scan(Scan kind);
};

}  // namespace zelvar::mcs51
