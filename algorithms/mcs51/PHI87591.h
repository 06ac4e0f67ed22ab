#pragma once
// "PHI87591": the 16 KB 87C591 EPROM 8051 in its parallel quick-pulse mode at 12.5 V. RST stays low
// in every mode, and reads go a byte at a time, each sampled while P2.7 strobes low.
#include <array>

#include "algorithms/mcs51/PHI8758.h"

namespace zelvar::mcs51 {

namespace phi87591 {
// P2.6, P2.7, P3.6, P3.7 at power-up: the program-code levels; P2.7 low reads the code.
constexpr Mode kPowerUpMode{"0111"};
constexpr Mode kSignature{"0100"};  // P2.7 stays high between the read strobes
constexpr std::uint8_t kReadStrobePin = 28;
constexpr std::uint8_t kPort3 = 0x34;
}  // namespace phi87591

class PHI87591 final : public EpromMcuSet {
 public:
  static constexpr std::array<EpromMcuType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: 87c591", .lastAddress = 16383, .pulses = 5},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  std::span<const char* const> DescribeList() const override { return phi8758::kDescribe591; }
  std::span<const char* const> ConfigTable() const override { return phi8758::kConfig591; }
  std::span<const int> Operations() const override { return phi8758::kOps591; }

  void Init() override { SetUpEprom(kTypes.size(), 5000); }

  static void Levels() {
    SetPinLow(kRstPin);
    SetPinLow(kPsenPin);
    SetPinHigh(kProgPin);
    SetPinHigh(gMcs51.ChipVppPin);
  }

  static void PowerUp() {
    SetRegister25(kBusRead);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectGndPin(gApp.GroundPin);
    SelectVccPin(0);
    SelectVccPin(gMcs51.ChipVccPin);
    SelectClockPin(kXtal1Pin);
    Levels();
    SetMode(phi8758::kLines, phi87591::kPowerUpMode);
    FlushCommands();
  }

  // One byte at the address into the next reply byte.
  static void ReadStrobe() {
    SetPinLow(phi87591::kReadStrobePin);
    PutCmd1(kCmdSampleData);
    SetPinHigh(phi87591::kReadStrobePin);
  }

  void ReadBlock64(std::uint32_t address, std::uint8_t* dest) {
    SetAddress(address);
    for (int i = 0; i < 64; ++i) {
      ReadStrobe();
      NextAddress();
    }
    ReadReply64(dest);
  }

  bool Scan(Scan kind) {
    SetRegister25(kBusRead);
    FlushCommands();
    if (!CheckPower()) return false;
    return ScanBlocks(kind, 0, LastAddress(), 64,
                      [this](std::uint32_t a, std::uint8_t* dest) { ReadBlock64(a, dest); });
  }

  void Read() override {
    ResetPulse();
    PowerUp();
    if (Scan(Scan::Read)) FinishScan();
  }

  void Blank() override {
    ResetPulse();
    if (!CheckType()) return;
    PowerUp();
    SwitchPin(14, false);
    if (Scan(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    ResetPulse();
    PowerUp();
    if (Scan(Scan::Verify)) FinishScan();
  }

  void Write() override {
    ResetPulse();
    if (!CheckType()) return;
    WritePort(3, phi87591::kPort3);
    PowerUp();
    SetRegister25(kBusDrive);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 256, phi8758::kTrain(5));
    ShowProgress(-1);
  }

  // Each chosen lock bit: its levels, VPP on, 25 PROG pulses, VPP off; the supplies go off after
  // the last.
  void Lock() override {
    LockByBits([this](Mode bits) {
      PowerUp();
      PutCmd2(kCmdDataByte, 0xFF);
      SetMode(phi8758::kLines, bits);
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
      SelectVppPin(0);
      FlushCommands();
    });
  }

  void ReadSignature() override {
    PowerUp();
    SetRegister25(kBusRead);
    SetMode(phi8758::kLines, phi87591::kSignature);
    SetAddress(0x30);
    ReadStrobe();
    NextAddress();
    ReadStrobe();
    SetAddress(0x60);
    ReadStrobe();
    std::uint8_t* reply = gLink.ScratchBuffer.data();
    ReadReply64(reply);
    gApp.ReadId = {reply[0], reply[1], reply[2], 0};
    LogId("%02x,%02x,%02x", 3);
    SuppliesOff();
  }

  void ReadId() override { ReadSignature(); }
};

}  // namespace zelvar::mcs51
