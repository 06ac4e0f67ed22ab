#pragma once
// "P2051": the 20-pin AT89C1051, AT89C2051 and AT89C4051 in their parallel programming mode. The
// chips have no address pins: RST rising resets their address counter and each XTAL1 pulse steps
// it, so the set never sends an address. The chip sits in the 40-pin socket from socket pin 11
// (ground in 20, VCC in 30); its P1 is the "zor5103" design's 20-pin port (data command 38,
// samples by 37).
#include <algorithm>
#include <array>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace p2051 {

// Socket pins with chip pin 1 in socket pin 11.
constexpr std::uint8_t kVppPin = 11;    // RST/VPP
constexpr std::uint8_t kClockPin = 15;  // XTAL1, the address counter's clock
constexpr std::uint8_t kProgPin = 16;   // P3.2/PROG
constexpr std::uint8_t kGroundPin = 20;
constexpr std::uint8_t kVccPin = 30;

// P3.3, P3.4, P3.5, P3.7.
constexpr ModeLines kLines{{17, 18, 19, 21}};
constexpr Mode kReadCode{"0011"};
constexpr Mode kWriteCode{"0111"};
constexpr Mode kErase{"1000"};
constexpr Mode kLockBits[] = {{"1111"}, {"1100"}};
constexpr Mode kSignature{"0000"};

// The datasheets' erase holds PROG low for 10 ms: ten settle waits of 1 ms.
constexpr int kEraseWaits = 10;
// Write speed radio (word 129): "2 Ms", "4 Ms ", "6 Ms " after each byte's PROG pulse.
constexpr std::uint32_t kSlowestSpeed = 2;

constexpr const char* kDescribe[] = {"$Fonc:",
                                     "21 Erase",
                                     "22 Blank",
                                     "23 Write",
                                     "24 Verify",
                                     "26 Security",
                                     "$DisTool:",
                                     "25,29,30,31,",
                                     "$Radio1:01,Lock(加密方式)",
                                     "1 No MOVC(禁止)",
                                     "2 No read(禁止读)",
                                     "3 No ext code",
                                     "$Radio2:00,Speed(烧写速度)",
                                     "2 Ms",
                                     "4 Ms ",
                                     "6 Ms ",
                                     "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};

}  // namespace p2051

class P2051 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 89C1051 (1k)", .lastAddress = 1023},
      {.name = "2: 89C2051 (2k)", .lastAddress = 2047},
      {.name = "3: 89C4051 (4k)", .lastAddress = 4095},
  }};

  // A 20-pin row: whole 64-byte replies within the 4 KB counter, and the seat's supply, program
  // and clock pins distinct and off ground.
  static void CheckRow(const ParallelType& t, TypeTableReport& r) {
    if (t.name.empty()) r.Fault("no caption");
    if (t.lastAddress > 0xFFF || (t.lastAddress & 0x3F) != 0x3F) r.Fault("size not 64-byte blocks");
    r.DistinctSupplyPins({{"VCC", p2051::kVccPin},
                          {"VPP", p2051::kVppPin},
                          {"PROG", p2051::kProgPin},
                          {"XTAL1", p2051::kClockPin}},
                         {p2051::kGroundPin}, 40);
    r.bitstreams.emplace_back("zor5103.bit");
  }

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return kNoAddress; }
  std::span<const char* const> DescribeList() const override { return p2051::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return p2051::kConfig; }
  std::span<const int> Operations() const override { return p2051::kOps; }

  void Init() override {
    BeginSetup();
    if (!AcceptRow(kTypes.size())) return;
    LoadBitstream("zor5103.bit");
    gApp.GroundPin = p2051::kGroundPin;
    gApp.PinMask = SocketPins(11, 30);
    gMcs51.ChipVccPin = p2051::kVccPin;
    gMcs51.ChipVppPin = p2051::kVppPin;
    vccMillivolts_ = 5000;
    // The datasheets' programming window is 11.5 V to 12.5 V.
    vppMillivolts_ = 12000;
    SetVccVoltage(vccMillivolts_);
    SetVppVoltage(vppMillivolts_);
  }

  // Every handler starts here: the chip powered with RST, XTAL1 and PROG low, then RST raised,
  // which resets the address counter to 0.
  static void PowerUp() {
    SelectGndPin(p2051::kGroundPin);
    SetRegister25(kBusDrive);
    SelectClockPin(0);
    SetRegister25(kBusRead20);
    SwitchPin(14, true);
    SwitchPin(p2051::kClockPin, false);
    SetPinLow(p2051::kVppPin);
    SetPinLow(p2051::kClockPin);
    SetPinHigh(p2051::kProgPin);
    FlushCommands();
    SelectVccPin(p2051::kVccPin);
    PutCmd1(kCmdSettle);
    SetPinHigh(p2051::kVppPin);
    SetPinHigh(p2051::kProgPin);
    FlushCommands();
  }

  static void StepCounter() {
    SetPinHigh(p2051::kClockPin);
    SetPinLow(p2051::kClockPin);
  }

  // 64 bytes from the counter on, each sampled and then stepped past.
  static void ReadBlock64(std::uint8_t* dest) {
    for (int i = 0; i < 64; ++i) {
      PutCmd1(kCmdSamplePort20);
      StepCounter();
    }
    ReadReply64(dest);
  }

  bool EnterReadCode() {
    PowerUp();
    if (!CheckPower()) return false;
    SetRegister25(kBusRead20);
    SetMode(p2051::kLines, p2051::kReadCode);
    FlushCommands();
    return true;
  }

  // The counter runs from 0 in step with the scan's addresses.
  bool Scan(Scan kind) {
    return ScanBlocks(kind, 0, LastAddress(), 64,
                      [](std::uint32_t, std::uint8_t* dest) { ReadBlock64(dest); });
  }

  void Read() override {
    if (!EnterReadCode()) return;
    Scan(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    if (EnterReadCode() && Scan(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    if (EnterReadCode() && Scan(Scan::Verify)) FinishScan();
  }

  void Erase() override {
    PowerUp();
    SetPinHigh(p2051::kProgPin);
    SetMode(p2051::kLines, p2051::kErase);
    FlushCommands();
    if (!VppOn()) return;
    SetPinLow(p2051::kProgPin);
    for (int i = 0; i < p2051::kEraseWaits; ++i) PutCmd1(kCmdSettle);
    SetPinHigh(p2051::kProgPin);
    FlushCommands();
  }

  // One PROG pulse per byte at the counter, the self-timed write waited out (2 ms per speed
  // step), then the counter stepped; a flush per byte. The write mode is set before the port
  // drives P1: a mode left from a read (the signature read before every change) has the chip's
  // outputs on.
  void Write() override {
    PowerUp();
    SetPinHigh(p2051::kProgPin);
    SetMode(p2051::kLines, p2051::kWriteCode);
    SetRegister25(kBusDrive);
    SwitchPin(13, true);
    FlushCommands();
    if (!VppOn()) return;
    const std::uint32_t speed = std::min(Word(kSpeedWord), p2051::kSlowestSpeed);
    const std::uint32_t last = LastAddress();
    for (std::uint32_t a = 0; a <= last; ++a) {
      PutCmd2(kCmdDataByte20, buffer_[a]);
      SetPinLow(p2051::kProgPin);
      PutCmd1(kCmdWait100us);
      SetPinHigh(p2051::kProgPin);
      for (std::uint32_t i = 0; i <= speed; ++i) {
        PutCmd1(kCmdWait1ms);
        PutCmd1(kCmdWait1ms);
      }
      StepCounter();
      ShowProgress(static_cast<int>(a));
      FlushCommands();
    }
    SetPinLow(p2051::kVppPin);
    FlushCommands();
    ShowProgress(-1);
  }

  // Lock bit `bit` (0 or 1): its mode, VPP on RST, one PROG pulse; the supplies then go off.
  bool LockPulse(Mode bits) {
    PowerUp();
    if (!CheckPower()) return false;
    SetPinHigh(p2051::kProgPin);
    SetMode(p2051::kLines, bits);
    SelectVppPin(p2051::kVppPin);
    SetPinLow(p2051::kProgPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(p2051::kProgPin);
    PutCmd1(kCmdLongWait);
    FlushCommands();
    SuppliesOff();
    return true;
  }

  // Choice 0 ("No MOVC") programs lock bit 1; any other choice lock bits 1 and 2.
  void Lock() override {
    if (!LockPulse(p2051::kLockBits[0])) return;
    if (Word(kLockChoiceWord) != 0) LockPulse(p2051::kLockBits[1]);
  }

  void ReadSignature() override {
    PowerUp();
    SetRegister25(kBusRead20);
    SetMode(p2051::kLines, p2051::kSignature);
    PutCmd1(kCmdSamplePort20);
    StepCounter();
    PutCmd1(kCmdSamplePort20);
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[0], reply[1], 0xFF, 0};
    SuppliesOff();
  }

  // The maker and device bytes against the line's before any change.
  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{.bytes = 2}; }

  void ReadId() override {
    ReadSignature();
    LogId("%02x,%02x", 2);
  }

  static constexpr AddressPins kNoAddress{};
};

}  // namespace zelvar::mcs51
