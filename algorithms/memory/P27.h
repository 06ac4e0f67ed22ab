#pragma once
// "P27": 27-series EPROMs from the 2716 to the 27080 in 24-, 28- and 32-pin packages. The set does
// not erase them.
#include <array>

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

namespace p27 {
// The two describe lists differ in the pulse width they choose by default.
constexpr std::array<const char*, 21> MakeList(const char* radio) {
  return {"$Fonc:",
          "22 Blank",
          "23 Write",
          "24 Verify",
          "$DisTool:",
          "21,25,26,29,30,31,",
          "$Gridw:Addr(地址范围)",
          "Addr start",
          "0000",
          "Addr end",
          "0FFFFFF",
          radio,
          "100 uS",
          "200 uS",
          "1 mS",
          "2 mS",
          "5 mS",
          "10 mS",
          "20 mS",
          "50 mS",
          "$end"};
}
constexpr auto kListFast = MakeList("$Radio1:00,Delay(写延迟)");
constexpr auto kListSlow = MakeList("$Radio1:04,Delay(写延迟)");
// The NMOS 2716, 2732, 2764 and 27128 take 50 ms pulses by their datasheets.
constexpr auto kList50ms = MakeList("$Radio1:07,Delay(写延迟)");
// A row whose part takes one pulse width offers no "Delay" choice.
constexpr const char* kListFixedPulse[] = {"$Fonc:",
                                           "22 Blank",
                                           "23 Write",
                                           "24 Verify",
                                           "$DisTool:",
                                           "21,25,26,29,30,31,",
                                           "$Gridw:Addr(地址范围)",
                                           "Addr start",
                                           "0000",
                                           "Addr end",
                                           "0FFFFFF",
                                           "$end"};
}  // namespace p27

class P27 final : public EpromSetOf<P27> {
 public:
  // Every pin of the package at the bottom of the socket, pin 1 (VPP, or A15/A19) with them; pin
  // 26 of the 2764 and pin 30 of the 27C010 are not connected and stay out.
  static constexpr std::uint64_t kDip24 = SocketPins(9, 32), kDip28 = SocketPins(7, 34);
  static constexpr std::uint64_t kDip32 = SocketPins(5, 36);
  // The 12.7 V rows program at VCC 6.2 V, inside the windows of the 12.75 V class (Intel's
  // quick-pulse, ST's Presto II and AMD's Flashrite: 6.0 to 6.5 V; Intel's intelligent 2764A and
  // 27128A: 5.75 to 6.25 V); the NMOS 21 V and 25 V rows at the read VCC, as their datasheets do.
  static constexpr std::array<EpromType, 29> kTypes = {{
      {.name = "???"},
      {.name = "2716    12.7v",
       .packagePins = 24,
       .lastAddress = 0x7FF,
       .vccPin = 32,
       .vppPin = 29,
       .programPin = 26,
       .vppMillivolts = 12500,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2716    21v",
       .packagePins = 24,
       .lastAddress = 0x7FF,
       .vccPin = 32,
       .vppPin = 29,
       .programPin = 26,
       .vppMillivolts = 21000,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2716    25v",
       .packagePins = 24,
       .lastAddress = 0x7FF,
       .vccPin = 32,
       .vppPin = 29,
       .programPin = 26,
       .vppMillivolts = 25000,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2732    12.7v",
       .packagePins = 24,
       .lastAddress = 0xFFF,
       .vccPin = 32,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12500,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2732    21v",
       .packagePins = 24,
       .lastAddress = 0xFFF,
       .vccPin = 32,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 21000,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2732    25v",
       .packagePins = 24,
       .lastAddress = 0xFFF,
       .vccPin = 32,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 25000,
       .contactMask = kDip24,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2764    12.7v",
       .packagePins = 28,
       .lastAddress = 0x1FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 12700,
       .contactMask = SocketPins(7, 34, 32),
       .programVccMillivolts = 6200},
      {.name = "2764    21v",
       .packagePins = 28,
       .lastAddress = 0x1FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 21000,
       .contactMask = SocketPins(7, 34, 32),
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "2764    25v",
       .packagePins = 28,
       .lastAddress = 0x1FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 25000,
       .contactMask = SocketPins(7, 34, 32),
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "27128   12.7v",
       .packagePins = 28,
       .lastAddress = 0x3FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 12700,
       .contactMask = kDip28,
       .programVccMillivolts = 6200},
      {.name = "27128   21v",
       .packagePins = 28,
       .lastAddress = 0x3FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 21000,
       .contactMask = kDip28,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "27128   25v",
       .packagePins = 28,
       .lastAddress = 0x3FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 33,
       .vppMillivolts = 25000,
       .contactMask = kDip28,
       .pulse = EpromPulse::k50ms,
       .signature = false},
      {.name = "27c256   12.7v",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip28,
       .programVccMillivolts = 6200},
      {.name = "27c512   12.7v",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip28,
       .programVccMillivolts = 6200},
      {.name = "27c513   12.7v",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip28,
       .programVccMillivolts = 6200},
      {.name = "27010   12.7v",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 12700,
       .contactMask = SocketPins(5, 36, 34),
       .programVccMillivolts = 6200},
      {.name = "27020   12.7v",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 12700,
       .contactMask = kDip32,
       .programVccMillivolts = 6200},
      {.name = "27040   12.7v",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip32,
       .programVccMillivolts = 6200},
      {.name = "27080   12.7v",
       .packagePins = 32,
       .lastAddress = 0xFFFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip32,
       .programVccMillivolts = 6200},
      {.name = "ST27256   12.7v",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 26,
       .vppMillivolts = 12700,
       .programVccMillivolts = 6200},
      {.name = "ST27512   12.7v",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip28,
       .programVccMillivolts = 6200},
      // Atmel's and TI's parts program at VPP 13.0 V and VCC 6.5 V (the AT27C256R to AT27C080
      // datasheets' Rapid algorithm, the TMS27C256 to TMS27C040 datasheets' SNAP! Pulse), above
      // the 12.75 V +-0.25 V window of the rows before.
      {.name = "27c256   13.0v",
       .packagePins = 28,
       .lastAddress = 0x7FFF,
       .vccPin = 34,
       .vppPin = 7,
       .programPin = 26,
       .vppMillivolts = 13000,
       .contactMask = kDip28,
       .programVccMillivolts = 6500},
      {.name = "27c512   13.0v",
       .packagePins = 28,
       .lastAddress = 0xFFFF,
       .vccPin = 34,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 13000,
       .contactMask = kDip28,
       .programVccMillivolts = 6500},
      {.name = "27010   13.0v",
       .packagePins = 32,
       .lastAddress = 0x1FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 13000,
       .contactMask = SocketPins(5, 36, 34),
       .programVccMillivolts = 6500},
      {.name = "27020   13.0v",
       .packagePins = 32,
       .lastAddress = 0x3FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 35,
       .vppMillivolts = 13000,
       .contactMask = kDip32,
       .programVccMillivolts = 6500},
      {.name = "27040   13.0v",
       .packagePins = 32,
       .lastAddress = 0x7FFFF,
       .vccPin = 36,
       .vppPin = 5,
       .programPin = 26,
       .vppMillivolts = 13000,
       .contactMask = kDip32,
       .programVccMillivolts = 6500},
      {.name = "27080   13.0v",
       .packagePins = 32,
       .lastAddress = 0xFFFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 13000,
       .contactMask = kDip32,
       .programVccMillivolts = 6500},
      // ST's M27C801 takes 50 us pulses (its datasheet's Presto IIB).
      {.name = "M27C801   12.7v",
       .packagePins = 32,
       .lastAddress = 0xFFFFF,
       .vccPin = 36,
       .vppPin = 28,
       .programPin = 26,
       .vppMillivolts = 12700,
       .contactMask = kDip32,
       .programVccMillivolts = 6200,
       .pulse = EpromPulse::k50us},
  }};
  static constexpr AddressPins kPins{{31, 30, 27, 29, 8, 32, 33, 7, 6, 34, 35, 5}};

 private:
  // Rows 1 to 3: the 2716, programmed by a high pulse on CE/PGM one byte at a time.
  static constexpr int kLast2716Row = 3;

  static bool Is2716Row() { return gApp.TypeIndex >= 1 && gApp.TypeIndex <= kLast2716Row; }

  void Init() override {
    LoadBitstream(kEpromBitstream);
    SetVccVoltage(5000);
    readMode_ = zor5103::kReadMode;
    writeMode_ = zor5103::kWriteMode;
    InitHardwareState();
    SelectGndPin(kBottomGroundPin);
    vppMillivolts_ = static_cast<int>(Type().vppMillivolts);
    vccMillivolts_ = 5000;
    SetVppVoltage(vppMillivolts_);
    SetVccVoltage(vccMillivolts_);
  }

  std::span<const char* const> DescribeList() const override {
    Services& s = services();
    if (Type().pulse == EpromPulse::k50us) return p27::kListFixedPulse;
    if (Type().pulse == EpromPulse::k50ms) return p27::kList50ms;
    if (s.ChipNameContains("27C") || s.ChipNameContains("27HC")) return p27::kListFast;
    return p27::kListSlow;
  }

  // The "Delay" choice: 100 µs, 200 µs, 1, 2, 5, 10, 20 or 50 ms; 50 µs on a row without one.
  void QueuePulse() override {
    if (Type().pulse == EpromPulse::k50us) {
      PutCmd1(zor5103::kCmdWait50us);
      return;
    }
    static constexpr int kSteps[] = {1, 2, 1, 2, 5, 10, 20, 50};
    const std::uint32_t choice = Word(kRadio1Word);
    if (choice > 7) return;
    const std::uint8_t cmd = choice < 2 ? zor5103::kCmdWait100us : kCmdWait1ms;
    for (int i = 0; i < kSteps[choice]; ++i) PutCmd1(cmd);
  }

  bool PrepareWrite() override {
    if (!PowerUp()) return false;
    SetPinHigh(Type().programPin);
    PutCmd1(kCmdSettle);
    return CheckPower();
  }

  // The 2716: one byte per flush with a high pulse on CE/PGM, then the range read back.
  void Write2716() {
    const EpromType& t = Type();
    start_ = Word(kRangeStartWord);
    const std::uint32_t end = Word(kRangeEndWord);
    SetAddress(start_);
    SetPinLow(26);
    if (!PowerUp()) return;
    gLink.StatusWord = 0;
    SetRegister25(writeMode_);
    SetPinHigh(28);
    SelectVppPin(t.vppPin);
    std::uint32_t written = 0;
    for (std::uint32_t counter = 0; counter <= t.lastAddress; ++counter) {
      const std::uint32_t address = start_ + counter;
      if (end < address) break;
      if ((address & 0xFF) == 0) SetAddress(address);
      ShowProgress(static_cast<int>(counter));
      WritePort(2, buffer_[counter]);
      SetPinHigh(26);
      QueuePulse();
      SetPinLow(26);
      PutCmd1(zor5103::kCmdNextAddress);
      FlushCommands();
      written = counter + 1;
    }
    SelectVppPin(0);
    // A byte that did not take fails the write here rather than at a later Verify.
    SetRegister25(readMode_);
    SetPinLow(28);
    Scan s;
    s.start = start_;
    s.last = t.lastAddress;
    s.end = start_ + written;
    s.expected = buffer_;
    if (!CompareBlocks(s)) return;
    ShowProgress(-1);
    SelectVccPin(0);
  }

  void Write() override {
    if (Is2716Row()) {
      Write2716();
    } else {
      EpromSet::Write();
    }
  }

  bool RunOwn(int op) override {
    if (op != kOpReadId) return false;
    ReadId();
    return true;
  }
};

}  // namespace zelvar::memory
