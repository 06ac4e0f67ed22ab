#pragma once
// "V87C58": 16 and 32 KB EPROM 8051s (87C54, 87C58) without erase, five PROG pulses a byte at
// 12.7 V on EA/VPP; reads go a byte per P2.7 strobe after a dummy read, and the two ID bytes are
// checked before Blank and Write.
#include <array>

#include "algorithms/mcs51/PHI8758.h"

namespace zelvar::mcs51 {

namespace v87c58 {
constexpr Mode kIdle{"0111"};       // P2.7 high between read strobes; low gives the verify levels
constexpr Mode kSignature{"0100"};  // P2.7 low gives the signature levels
constexpr Mode kLock{"1111"};
constexpr std::uint8_t kReadStrobePin = 28;
constexpr std::uint8_t kPort3 = 0x34;
constexpr std::uint32_t kDummyAddress = 255;
constexpr const char* kTypeError = "Type error!";
constexpr const char* kDescribe[] = {"$Fonc:",      "22 Blank",  "23 Write",        "24 Verify",
                                     "26 Security", "$DisTool:", "21,25,29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "$end"};
constexpr int kOps[] = {kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead, kOpReadId};
}  // namespace v87c58

class V87C58 final : public EpromMcuSet {
 public:
  static constexpr std::array<EpromMcuType, 3> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 87C54", .lastAddress = 16383, .pulses = 5},
      {.name = "2: 87C58", .lastAddress = 32767, .pulses = 5},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return v87c58::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return v87c58::kConfig; }
  std::span<const int> Operations() const override { return v87c58::kOps; }

  void Init() override { SetUp(kTypes.size(), kPlcc44, 5000, 12700); }

  // P0 released, the chip powered in the idle levels (RST high, PSEN low, ALE/PROG and EA high).
  static void EnterProgramMode() {
    SetRegister25(kBusRead);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectVccPin(0);
    SelectGndPin(gApp.GroundPin);
    SelectVccPin(gMcs51.ChipVccPin);
    SelectClockPin(kXtal1Pin);
    ControlLevels();
    SetMode(phi8758::kLines, {"0011"});
    SetPinLow(13);
    FlushCommands();
  }

  static void ReadByte() {
    SetPinLow(v87c58::kReadStrobePin);
    PutCmd1(kCmdSampleData);
    SetPinHigh(v87c58::kReadStrobePin);
  }

  // The first byte after the mode change is not to be trusted: one read at 255, dropped.
  void DummyRead(bool reply = true) {
    SetAddress(v87c58::kDummyAddress);
    ReadByte();
    if (reply) ReadReply64(gLink.ScratchBuffer.data());
  }

  void ReadBlock64(std::uint32_t address, std::uint8_t* dest) {
    SetAddress(address);
    for (int i = 0; i < 64; ++i) {
      ReadByte();
      NextAddress();
    }
    ReadReply64(dest);
  }

  bool ScanCode64(Scan kind) {
    return ScanBlocks(kind, 0, LastAddress(), 64,
                      [this](std::uint32_t a, std::uint8_t* dest) { ReadBlock64(a, dest); });
  }

  static void ReadLevels() {
    SetMode(phi8758::kLines, v87c58::kIdle);
    SetPinHigh(11);
    SetPinLow(13);
    FlushCommands();
  }

  bool CheckId() {
    return TypeCheck({.bytes = 2, .wording = v87c58::kTypeError, .logPairs = true});
  }
  bool CheckBeforeChange() override { return CheckId(); }

  void Read() override {
    EnterProgramMode();
    ReadLevels();
    DummyRead();
    if (!CheckPower()) return;
    ScanCode64(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    if (!CheckId()) return;
    EnterProgramMode();
    if (!CheckPower()) return;
    ReadLevels();
    DummyRead();
    if (ScanCode64(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    EnterProgramMode();
    SwitchPin(14, false);
    ReadLevels();
    DummyRead();
    if (!CheckPower()) return;
    if (ScanCode64(Scan::Verify)) FinishScan();
  }

  void Write() override {
    if (!CheckId()) return;
    WritePort(3, v87c58::kPort3);
    EnterProgramMode();
    SetMode(phi8758::kLines, v87c58::kIdle);
    SetPinHigh(11);
    SetPinLow(13);
    SetRegister25(kBusDrive);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 256, phi8758::kTrain(5));
    ShowProgress(-1);
  }

  // Lock bit 1: all four mode lines high, 25 PROG pulses as long as a byte's.
  void Lock() override {
    EnterProgramMode();
    PutCmd2(kCmdDataByte, 0xFF);
    SetMode(phi8758::kLines, v87c58::kLock);
    SetPinHigh(11);
    SetPinHigh(13);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    for (int i = 0; i < phi8758::kLockPulses; ++i) {
      SetPinLow(kProgPin);
      PutCmd1(kCmdWait100us);
      SetPinHigh(kProgPin);
    }
    PutCmd1(kCmdLongWait);
    FlushCommands();
  }

  void ReadSignature() override {
    EnterProgramMode();
    SetRegister25(kBusRead);
    SetMode(phi8758::kLines, v87c58::kSignature);
    SetPinLow(13);
    DummyRead(false);
    SetAddress(0x30);
    ReadByte();
    NextAddress();
    ReadByte();
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[1], reply[2], 0, 0};
    LogId("%02x,%02x", 2);
    SuppliesOff();
  }

  void ReadId() override { ReadSignature(); }
};

}  // namespace zelvar::mcs51
