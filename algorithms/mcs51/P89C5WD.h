#pragma once
// "P89C5WD": the AT89C5xWD parts in the parallel programming mode, one generic type whose size
// the chip line gives ("fla="); 12 V on EA/VPP, and for the chip erase and the lock bits VCC
// raised to 6.5 V as the parts' mode table asks; the lock bits are read back after both.
#include <array>
#include <cstdio>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace p89c5wd {

// A8..A13 on P2.0..P2.5, A14 on P3.4 (pin 14).
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 14, 0}};

using namespace at89s_modes;

// P2.7 frames each byte: a 100 µs PROG pulse, then two (slower: four) 100 µs waits for the
// self-timed write.
constexpr Strobe kStrobe{.pulseWait = kCmdWait100us,
                         .afterWait = kCmdWait100us,
                         .afterCount = 2,
                         .slowerExtra = 2,
                         .framePin = 28};

// VCC for the chip erase and the lock bits.
constexpr int kRaisedVccMillivolts = 6500;
constexpr int kLockTries = 5;
constexpr std::uint8_t kLockBitMask = 0x1C;

}  // namespace p89c5wd

class P89C5WD final : public ParallelSet {
 public:
  // Row 0 is the one type, not "Exit".
  static constexpr int kFirstRow = 0;
  static constexpr std::array<ParallelType, 1> kTypes = {
      {{.name = "0: AT89/87", .lastAddress = 20479}}};

 private:
  std::uint32_t LastAddress() const override { return lastAddress_; }
  const AddressPins& Address() const override { return p89c5wd::kAddress; }
  std::span<const char* const> DescribeList() const override { return kDescribe; }
  std::span<const int> Operations() const override { return kOps; }

  static constexpr const char* kDescribe[] = {"$Fonc:",
                                              "21 Erase",
                                              "22 Blank",
                                              "23 Write",
                                              "24 Verify",
                                              "26 Security",
                                              "$DisTool:",
                                              "25,30,31,",
                                              "$Radio1:01,Lock(加密方式)",
                                              "1 No MOVC(禁止)",
                                              "2 No read(禁止读)",
                                              "3 No ext code",
                                              "$Radio2:00,Speed(烧写速度)",
                                              "Nomal(正常)",
                                              "Slower(慢速)",
                                              "$end"};
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,
                                 kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};

  // The one type takes its size from the chip line; a line without "fla=" names no chip.
  void Init() override {
    gApp.TypeIndex = 0;
    if (!SetUp(kTypes.size(), kDip40, 5000, 12000, 0)) return;
    const int size = services().ChipParam("fla=");
    if (size <= 0) {
      Refuse("No chip size (fla=) in the device list! *器件列表缺少容量(fla=)!");
      return;
    }
    lastAddress_ = static_cast<std::uint32_t>(size - 1);
  }

  // The bus is released before VCC rises: an operation after a failed one finds P0 driven low,
  // which the powered chip would fight.
  static void PowerUp() {
    SetRegister25(kBusRead);
    SelectGndPin(gApp.GroundPin);
    SetVccVoltage(5000);
    SelectVccPin(0);
    SetPinLow(gMcs51.ChipVccPin);
    SelectVccPin(gMcs51.ChipVccPin);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectClockPin(kXtal1Pin);
    SelectVppPin(0);
    ControlLevels();
    SetRegister25(kBusRead);
    FlushCommands();
  }

  void ReadSignature() override {
    PowerUp();
    SetMode(p89c5wd::kLines, p89c5wd::kSignature);
    SetAddress(0);
    ReadBlockAt(0, gLink.ScratchBuffer.data());  // the first read after the mode change is dropped
    IdBytesAt(p89c5wd::kIdAddresses);
  }

  // The lock bits as P0.2..P0.4 show them (1: programmed); 0 after an erase.
  std::uint8_t ReadLockBits() {
    PowerUp();
    SetMode(p89c5wd::kLines, p89c5wd::kReadLock);
    SetAddress(0);
    ReadBlockAt(0, gLink.ScratchBuffer.data());
    SelectVccPin(0);
    FlushCommands();
    return gLink.ScratchBuffer[0] & p89c5wd::kLockBitMask;
  }

  void Read() override {
    PowerUp();
    if (!EnterRead(p89c5wd::kLines, p89c5wd::kReadCode)) return;
    ScanCode(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    PowerUp();
    if (!EnterRead(p89c5wd::kLines, p89c5wd::kReadCode)) return;
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    PowerUp();
    if (!EnterRead(p89c5wd::kLines, p89c5wd::kReadCode)) return;
    if (ScanCode(Scan::Verify)) FinishScan();
  }

  void Write() override {
    // The mode leaves every read mode before the bus drives P0: the chip's outputs are on until.
    PowerUp();
    SetMode(p89c5wd::kLines, p89c5wd::kWriteCode);
    SetRegister25(kBusDrive);
    SwitchPin(10, true);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 32, p89c5wd::kStrobe);
    ShowProgress(-1);
  }

  // Four erase pulses with VCC at 6.5 V and VPP on EA/VPP; the lock bits must read clear after.
  void Erase() override {
    PowerUp();
    SetMode(p89c5wd::kLines, p89c5wd::kErase);
    SetRegister25(kBusDrive);
    SetVccVoltage(p89c5wd::kRaisedVccMillivolts);
    for (int pass = 0; pass < 4; ++pass) {
      PutCmd1(kCmdSettle);
      if (!VppOn()) return;
      SetPinLow(kProgPin);
      SetPinHigh(kProgPin);
      PutCmd1(kCmdLongWait);
      FlushCommands();
      SetRegister24(gMcs51.ChipVppPin);
      SelectVppPin(0);
      PutCmd1(kCmdLongWait);
    }
    if (ReadLockBits() != 0) {
      AddMessageLine("Erase error! you had to do again.*擦除失败!需要重新操作。");
      gLink.StatusWord = 1;
    }
  }

  // One lock bit: its mode, VCC at 6.5 V, VPP on, a 100 µs PROG pulse, VPP off.
  bool LockPulse(Mode bits) {
    SetMode(p89c5wd::kLines, bits);
    PutCmd1(kCmdLongWait);
    if (!VppOn()) return false;
    PutCmd1(kCmdSettle);
    SetPinLow(kProgPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdSettle);
    SetRegister24(gMcs51.ChipVppPin);
    SelectVppPin(0);
    FlushCommands();
    return true;
  }

  // Up to five tries, each ending with the lock bits read back; a try that left none programmed
  // is repeated.
  void Lock() override {
    for (int tries = 0; tries < p89c5wd::kLockTries; ++tries) {
      PowerUp();
      SetMode(p89c5wd::kLines, p89c5wd::kLockBits[0]);
      SetRegister25(kBusDrive);
      SetAddress(0);
      SetVccVoltage(p89c5wd::kRaisedVccMillivolts);
      if (!LockByChoice(p89c5wd::kLockBits, [this](Mode bits) { return LockPulse(bits); })) return;
      if (ReadLockBits() != 0) {
        if (tries > 0) AddMessageLine(std::to_string(tries));
        return;
      }
    }
    AddMessageLine("Lock error!*加密失败!");
    gLink.StatusWord = 1;
  }

  void ReadId() override {
    ReadSignature();
    LogId("厂家和型号的代码 = %02x,%02x,%02x", 3);
  }

  void ReadConfig() override {
    char line[32];
    std::snprintf(line, sizeof line, "Lock= %02x", ReadLockBits());
    AddMessageLine(line);
  }

  std::uint32_t lastAddress_ = 0;
};

}  // namespace zelvar::mcs51
