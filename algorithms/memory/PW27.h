#pragma once
// "PW27": electrically erasable W27E EPROMs.
#include <array>

#include "algorithms/memory/EpromSet.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

class PW27 final : public EpromSetOf<PW27> {
 public:
  // Every pin of the package: pin 1 is VPP (A15 of the W27E512, A18 of the W27E040) and pin 30
  // A17; pin 30 of the W27E010 is not connected.
  static constexpr std::uint64_t kDip28 = SocketPins(7, 34), kDip32 = SocketPins(5, 36);
  static constexpr std::uint64_t kDip32No30 = SocketPins(5, 36, 34);
  static constexpr std::array<EpromType, 6> kTypes = {{
      {.name = "???"},
      {.name = "W27e512 (64Kx8)",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12000,
       .contactMask = kDip28},
      {.name = "W27e010 (128Kx8)",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 12000,
       .contactMask = kDip32No30},
      {.name = "W27e020 (256Kx8)",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 12000,
       .contactMask = kDip32},
      {.name = "W27e040 (512Kx8)",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 26,
       .vppMillivolts = 12000,
       .contactMask = kDip32},
      {.name = "W27e256  (32Kx8)",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 26,
       .vppMillivolts = 12000,
       .contactMask = kDip28},
  }};
  static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 35}, 5};

 private:
  static constexpr const char* kList[] = {
      "$Fonc:",    "21 Erase",        "22 Blank",      "23 Write",   "24 Verify",
      "$DisTool:", "25,26,29,30,31,", "$Gridw:Option", "Addr start", "0000",
      "Addr end",  "0FFFFFF",         "$end"};

  void Init() override {
    LoadBitstream(kEpromBitstream);
    SetVccVoltage(5000);
    readMode_ = zor5103::kReadMode;
    writeMode_ = zor5103::kWriteMode;
    SetVppVoltage(0);
    InitHardwareState();
    SetVppVoltage(12000);
    SelectGndPin(kBottomGroundPin);
    vccMillivolts_ = 5000;
    vppMillivolts_ = 12000;
  }

  std::span<const char* const> DescribeList() const override { return kList; }

  void QueuePulse() override { PutCmd1(zor5103::kCmdWait100us); }
  bool PrepareWrite() override { return PowerUp(); }

  // One erase pulse with A9 and OE/VPP at 14 V; the Blank after Erase judges it.
  void Erase() {
    const EpromType& t = Type();
    SetRegister25(writeMode_);
    SetAddress(0);
    if (!PowerUp()) return;
    PutCmd1(zor5103::kCmdErasePulse);
    SetPinLow(26);
    SetPinHigh(28);
    SetPinHigh(30);
    SetPinHigh(t.vppPin);
    SetVppVoltage(14000);
    SelectVppPin(t.vppPin);
    SelectVppPin(30 + 128);
    SetPinLow(t.programPin);
    PutCmd1(zor5103::kCmdErasePulse);
    SetPinHigh(t.programPin);
    SetPinLow(28);
    SetPinHigh(26);
    SetRegister24(30);
    SelectVppPin(0);
    SetVppVoltage(12000);
    SelectVccPin(0);
  }

  bool RunOwn(int op) override {
    if (op != kOpErase) return false;
    Erase();
    return true;
  }
};

}  // namespace zelvar::memory
