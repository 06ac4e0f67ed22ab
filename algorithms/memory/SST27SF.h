#pragma once
// "SST27SF": SST27SF and SST37VF parts, erased electrically at 12 V.
#include <array>
#include <span>

#include "algorithms/memory/EpromSet.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

class SST27SF final : public EpromSetOf<SST27SF> {
 public:
  // Every pin of the package but those the datasheets leave unconnected: pin 1 is VPP (A15 of
  // the 27SF512, A18 of the 040s) and pin 30 A17; pin 30 of the 010s, pin 1 of the 37VF parts and
  // pin 2 of the 37VF512 are not connected.
  static constexpr std::uint64_t kDip28 = SocketPins(7, 34), kDip32 = SocketPins(5, 36);
  static constexpr std::uint64_t kDip32No30 = SocketPins(5, 36, 34);
  static constexpr std::array<EpromType, 10> kTypes = {{
      {.name = "???"},
      {.name = "SST27SF256 (32Kx8)",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 26,
       .contactMask = kDip28},
      {.name = "SST27SF512 (64Kx8)",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .contactMask = kDip28},
      {.name = "SST27SF010 (128Kx8)",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .contactMask = kDip32No30},
      {.name = "SST27SF020 (256Kx8)",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .contactMask = kDip32},
      {.name = "WSST27SF040 (512Kx8)",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 28,
       .contactMask = kDip32,
       .programPinIsVppPin = true},
      {.name = "SST37VF512 (64Kx8)",
       .packagePins = 32,
       .lastAddress = 0xFFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 35,
       .contactMask = SocketPins(7, 36, 34)},
      {.name = "SST37VF010 (128Kx8)",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 35,
       .contactMask = SocketPins(6, 36, 34)},
      {.name = "SST37VF020 (256Kx8)",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 35,
       .contactMask = SocketPins(6, 36)},
      {.name = "WSST37VF040 (512Kx8)",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 35,
       .contactMask = SocketPins(5, 36)},
  }};
  static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 5}};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",     "21 Erase",  "22 Blank",     "23 Write",
      "24 Verify",  "$DisTool:", "25,29,30,31,", "$Gridw:Addr(地址范围)",
      "Addr start", "0000",      "Addr end",     "0FFFFFF",
      "$end"};

  // The bytes UnProtect and Lock keep across their command cycles.
  static constexpr std::uint32_t kMaxSaved = 64;

  void Init() override {
    LoadBitstream(kEpromBitstream);
    vccMillivolts_ = ChipVccMillivolts();
    vppMillivolts_ = 12000;
    SetVccVoltage(vccMillivolts_);
    readMode_ = zor5103::kReadMode;
    writeMode_ = zor5103::kWriteMode;
    InitHardwareState();
    lastAddress_ = Type().lastAddress;
    SetVppVoltage(12000);
    SelectGndPin(kBottomGroundPin);
  }

  std::span<const char* const> DescribeList() const override { return kList; }

  // The program pin goes high before the reads where it is a separate PGM input; on the rows
  // whose program pin is the chip's CE (26) or OE (28) a high level would disable the outputs.
  void BeforeReads() override {
    const std::uint8_t pin = Type().programPin;
    if (pin != 26 && pin != 28) SetPinHigh(pin);
  }
  void QueuePulse() override { PutCmd1(zor5103::kCmdWait100us); }
  bool PowerPerBlock() const override { return true; }
  bool PrepareWrite() override {
    SetPinHigh(Type().programPin);
    return PowerUp();
  }

  // One chip-erase pulse: A9 and OE/VPP at the 12 V that Init set, CE low.
  void Erase() {
    const EpromType& t = Type();
    SetRegister25(writeMode_);
    SetAddress(0);
    ApplyVcc();
    PutCmd1(zor5103::kCmdErasePulse);
    SetPinHigh(t.programPin);
    SetPinHigh(26);
    SetPinHigh(28);
    SetPinHigh(30);
    SetPinHigh(t.vppPin);
    SelectVppPin(t.vppPin);
    SelectVppPin(30 + 128);
    if (!CheckPower()) return;
    SetPinLow(26);
    SetPinLow(t.programPin);
    for (int i = 0; i < 5; ++i) PutCmd1(zor5103::kCmdErasePulse);
    SetPinHigh(t.programPin);
    SetPinHigh(26);
    SetPinLow(28);
    SetPinHigh(26);
    SetRegister24(30);
    SelectVppPin(0);
    SelectVccPin(0);
  }

  // Single-byte cycles of UnProtect and Lock, addressed through the set's own address routine.
  std::uint8_t ReadByte(std::uint32_t address) {
    SetRegister25(readMode_);
    SetAddress(address);
    WritePort(2, 0xFF);
    SetPinLow(28);
    SetPinLow(26);
    PutCmd1(zor5103::kCmdReadBus);
    return ReadReply64(gLink.ScratchBuffer.data());
  }
  void WriteByte(std::uint32_t address, std::uint8_t data) {
    SetAddress(address);
    WritePort(2, data);
    SetPinLow(26);
    SetPinLow(Type().programPin);
    SetPinHigh(Type().programPin);
    SetPinHigh(26);
  }

  struct Cycle {
    std::uint32_t address;
    std::uint8_t data;
  };
  void CommandSequence(std::span<const Cycle> cycles, bool busModes) {
    const EpromType& t = Type();
    std::uint8_t saved[kMaxSaved];
    const std::uint32_t count = t.saveCount + 1 < kMaxSaved ? t.saveCount + 1 : kMaxSaved;
    if (busModes) SetRegister25(readMode_);
    // CE# (socket pin 26) and OE# (28) high while VCC comes up: the chip's outputs stay off
    // against a bus the last operation left low.
    // Each read takes the bus to read mode before it enables the outputs.
    SetPinHigh(26);
    SetPinHigh(28);
    ApplyVcc();
    for (std::uint32_t i = 0; i < count; ++i) saved[i] = ReadByte(i);
    if (busModes) SetRegister25(writeMode_);
    SetPinHigh(28);
    SetPinLow(26);
    for (const Cycle& c : cycles) WriteByte(c.address, c.data);
    for (std::uint32_t i = 0; i < count; ++i) WriteByte(i, saved[i]);
    SetPinLow(28);
    SetPinHigh(26);
    FlushCommands();
    SelectVccPin(0);
  }

  bool RunOwn(int op) override {
    static constexpr Cycle kUnProtect[] = {{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x80},
                                           {0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0x20}};
    static constexpr Cycle kLock[] = {{0x5555, 0xAA}, {0x2AAA, 0x55}, {0x5555, 0xA0}};
    switch (op) {
      case kOpUnProtect:
        CommandSequence(kUnProtect, true);
        return true;
      case kOpLock:
        CommandSequence(kLock, false);
        return true;
      case kOpErase:
        Erase();
        return true;
      case kOpReadId:
        ReadId();
        return true;
      default:
        return false;
    }
  }
};

}  // namespace zelvar::memory
