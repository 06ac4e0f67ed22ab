#pragma once
// "P97C2051": the 20-pin 97C1051/97C2051 flash 8051s (1 and 2 KB), seated from socket pin 11:
// ground on socket pin 20, VCC on 30, RST/VPP on 11. No address is sent: after each byte read or
// programmed the set toggles socket pin 12 (P3.0), which steps the chip's counter on both edges.
// Data goes by the design's 20-pin port (command 38 drives P1, 37 samples it with register 25 at
// 9); the lock-bit patterns go through the memory logic's ports 1 to 3. No erase, no pin-contact
// test.
#include <array>
#include <cstdio>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

class P97C2051 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 97C1051 (1k)", .lastAddress = 1023},
      {.name = "2: 97C2051 (2k)", .lastAddress = 2047},
  }};

  static void CheckRow(const ParallelType& t, TypeTableReport& r) {
    if (t.name.empty()) r.Fault("no caption");
    if (t.lastAddress > 0x7FF || (t.lastAddress & 0x3F) != 0x3F) r.Fault("size not 64-byte blocks");
    r.DistinctSupplyPins(
        {{"VCC", kVccPin}, {"VPP", kVppPin}, {"PROG", kProgPin}, {"P3.0", kStepPin}}, {kGroundPin},
        40);
    r.bitstreams.emplace_back("zor5103.bit");
  }

 private:
  static constexpr std::uint8_t kVppPin = 11;    // RST/VPP
  static constexpr std::uint8_t kStepPin = 12;   // P3.0, the counter's toggle
  static constexpr std::uint8_t kClockPin = 15;  // XTAL1
  static constexpr std::uint8_t kProgPin = 16;   // P3.2/PROG
  static constexpr std::uint8_t kGroundPin = 20;
  static constexpr std::uint8_t kVccPin = 30;
  static constexpr ModeLines kLines{{17, 18, 19, 21}};  // P3.3, P3.4, P3.5, P3.7
  static constexpr Mode kReadCode{"0011"}, kWriteCode{"0111"}, kSignature{"0000"};
  // Port 2 drives the mode pins from its bit 0: 0xFF lock bit 1 (1111), 0xF3 lock bit 2 (1100).
  static constexpr std::uint8_t kLockPort2[] = {0xFF, 0xF3};
  static constexpr int kPulses = 25;
  static constexpr AddressPins kNoAddress{};
  static constexpr const char* kDescribe[] = {
      "$Fonc:",      "22 Blank",  "23 Write",        "24 Verify",
      "26 Security", "$DisTool:", "21,25,29,30,31,", "$end"};
  static constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
  static constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};

  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return kNoAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const char* const> ConfigTable() const override { return kConfig; }
  std::span<const int> Operations() const override { return kOps; }

  // Its own design and supplies: without them every command would go to whatever design an
  // earlier set loaded, at its levels. The contact test covers the 20-pin package from socket
  // pin 11.
  void Init() override {
    BeginSetup();
    if (!AcceptRow(kTypes.size())) return;
    LoadBitstream("zor5103.bit");
    gApp.GroundPin = kGroundPin;
    gApp.PinMask = SocketPins(11, 30);
    gMcs51.ChipVccPin = kVccPin;
    gMcs51.ChipVppPin = kVppPin;
    vccMillivolts_ = 5000;
    vppMillivolts_ = 12500;
    SetVccVoltage(vccMillivolts_);
    SetVppVoltage(vppMillivolts_);
  }

  // VCC goes off first: the port writes below pass through the signature levels with RST high,
  // and a chip still powered from the step before would drive P1 against port 2.
  void PowerUp() {
    count_ = 0;
    SelectVccPin(0);
    SetRegister25(kBusDrive);
    WritePort(1, 0);
    WritePort(2, 0);
    WritePort(3, 0);
    WritePort(1, 0xFF);
    WritePort(2, 0xFF);
    WritePort(3, 0xFF);
    SelectGndPin(kGroundPin);
    SelectVccPin(0);
    SelectVccPin(kVccPin);
    SelectClockPin(kClockPin);
    SetVppVoltage(vppMillivolts_);
    SetPinHigh(kStepPin);
    SetPinLow(kVppPin);
    PutCmd1(kCmdSettle);
    SetPinHigh(kVppPin);
    SetPinLow(kStepPin);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }

  void ClockStep() {
    ++count_;
    SetPinLevel((count_ & 1) != 0, kStepPin);
  }

  static void ReadMode() {
    SetRegister25(kBusRead20);
    SetMode(kLines, kReadCode);
  }

  // The byte on P1 (one two-byte command), then 25 PROG pulses of 50 us.
  static void ProgramByte(std::uint8_t b) {
    PutCmd2(kCmdDataByte20, b);
    for (int i = 0; i < kPulses; ++i) {
      SetPinLow(kProgPin);
      PutCmd1(kCmdWait50us);
      SetPinHigh(kProgPin);
    }
  }

  void LockStep(int n) {
    PowerUp();
    SetRegister25(kBusDrive);
    WritePort(3, 0xFF);
    WritePort(2, kLockPort2[n]);
    SelectVppPin(kVppPin);
    WritePort(1, 0xFF);
    for (int i = 0; i < kPulses; ++i) {
      SetPinLow(kProgPin);
      SetPinHigh(kProgPin);
    }
    SelectVppPin(0);
    SetRegister25(kBusRead20);
    FlushCommands();
  }

  void ReadSignature() override {
    PowerUp();
    SetRegister25(kBusRead20);
    SetMode(kLines, kSignature);
    PutCmd1(kCmdSamplePort20);
    ClockStep();
    PutCmd1(kCmdSamplePort20);
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[0], reply[1], 0, 0};
    SelectVccPin(0);
    LogId("%02x,%02x", 2);
  }

  void ReadId() override { ReadSignature(); }

  bool Scan(Scan kind) {
    return ScanBlocks(kind, 0, LastAddress(), 64, [this](std::uint32_t, std::uint8_t* dest) {
      for (int i = 0; i < 64; ++i) {
        PutCmd1(kCmdSamplePort20);
        ClockStep();
      }
      ReadReply64(dest);
    });
  }

  bool EnterRead() {
    PowerUp();
    ReadMode();
    FlushCommands();
    return CheckPower();
  }

  void Read() override {
    if (EnterRead() && Scan(Scan::Read)) FinishScan();
  }

  void Blank() override {
    if (!TypeCheck({.bytes = 2, .logPairs = true})) return;
    if (EnterRead() && Scan(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    if (!EnterRead()) return;
    if (Scan(Scan::Verify)) {
      FinishScan();
    } else {
      LogVerifyMismatch();
    }
  }

  std::optional<IdCheck> ChangeCheck() const override {
    return IdCheck{.bytes = 2, .logPairs = true};
  }

  void Write() override {
    if (!TypeCheck({.bytes = 2, .logPairs = true})) return;
    PowerUp();
    SetRegister25(kBusDrive);
    SetMode(kLines, kWriteCode);
    SelectVppPin(kVppPin);
    if (!CheckPower()) return;
    for (std::uint32_t a = 0; a <= LastAddress(); ++a) {
      ProgramByte(buffer_[a]);
      ClockStep();
      if ((a & 0xFF) == 0xFF) {
        ShowProgress(static_cast<int>(a));
        FlushCommands();
      }
    }
    FlushCommands();
    ShowProgress(-1);
  }

  // Lock bits 1 and 2. Nothing is read back: no samples are queued whose reply nobody reads.
  void Lock() override {
    LockStep(0);
    LockStep(1);
  }

  std::uint32_t count_ = 0;
};

}  // namespace zelvar::mcs51
