#pragma once
// "AT89X8252": the AT89LS8252 and AT89S53/LS53 in the parallel programming mode, 12 V on EA/VPP
// for every operation, the lock bits written as the bits of one data byte. Row 1 reaches the
// 8252's data EEPROM, which the parallel mode places at 2000H..27FFH behind the code.
#include <array>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace at89x8252 {

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
                                     "$end"};
// No group line: the "$Grid1:" section stays empty.
constexpr const char* kConfig[] = {"1 No MOVC(禁止)", "2 No read(禁止读)", "3 No ext code", "$end"};

// A8..A13 on P2.0..P2.5.
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 0, 0}};

// P2.6, P2.7, P3.6, P3.7.
constexpr ModeLines kLines{{27, 28, 16, 17, 0}};
constexpr Mode kReadCode{"0011"};
constexpr Mode kWriteCode{"0111"};
constexpr Mode kErase{"1000"};
constexpr Mode kSignature{"0000"};
constexpr Mode kWriteLock{"1010"};

// Lock bits 1, 2 and 3 are data bits 7, 6 and 5, and a 0 programs a bit, as the flash cells
// program to 0: each choice sends one byte per bit, bit 1 first.
constexpr std::array<std::uint8_t, kLockChoices> kLockBytes = {0x7F, 0xBF, 0xDF};

constexpr Strobe kStrobe{.pulseWait = kCmdWait100us, .afterWait = kCmdWait1ms, .afterCount = 2};

constexpr std::array<std::uint8_t, 3> kSignatureOffsets = {0x30, 0x31, 0x32};

}  // namespace at89x8252

class AT89X8252 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 4> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT89LS8252", .lastAddress = 10239},
      {.name = "2: AT89LS8252", .lastAddress = 8191},
      {.name = "3: AT89LS53", .lastAddress = 12287},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  const AddressPins& Address() const override { return at89x8252::kAddress; }
  std::span<const char* const> DescribeList() const override { return at89x8252::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return at89x8252::kConfig; }
  std::span<const int> Operations() const override { return kParallelOps; }

  // The package's ground and contact mask go to the contact test, PLCC44 adapter included.
  void Init() override { SetUp(kTypes.size(), kPlcc44, 5000, 12000); }

  static void PowerUp() {
    SelectGndPin(gApp.GroundPin);
    SetRegister25(kBusRead);  // released before VCC rises
    SelectVccPin(gMcs51.ChipVccPin);
    SwitchPin(kXtal2Pin, true);
    SwitchPin(kXtal1Pin, true);
    SelectClockPin(kXtal1Pin);
    SelectVppPin(0);
    ControlLevels();
    FlushCommands();
  }

  static void ResetPulse() {
    SelectGndPin(gApp.GroundPin);
    SelectVccPin(gMcs51.ChipVccPin);
    SetPinHigh(kRstPin);
    SetPinLow(kRstPin);
    FlushCommands();
  }

  // Reads in `mode` with VPP on, as the chip wants it in every mode.
  bool EnterWithVpp(Mode mode) {
    PowerUp();
    SetRegister25(kBusRead);
    SetMode(at89x8252::kLines, mode);
    SetAddress(0);
    FlushCommands();
    return VppOn();
  }

  void ReadSignature() override {
    gApp.ReadId = {};
    ResetPulse();
    if (!EnterWithVpp(at89x8252::kSignature)) return;
    SignatureBytes(at89x8252::kSignatureOffsets);
    SuppliesOff();
    LogId("MFA = %02x,%02x,%02x", 3);
  }

  void Read() override {
    if (!EnterWithVpp(at89x8252::kReadCode)) return;
    ScanCode(Scan::Read);
    FinishScan();
  }

  // A chip whose signature reads 0xFF, 0xFF is taken as protected.
  void Blank() override {
    ReadSignature();
    if (gLink.StatusWord != 0) return;
    if (gApp.ReadId[0] == 0xFF && gApp.ReadId[1] == 0xFF) {
      gLink.StatusWord = 1;
      return;
    }
    if (!EnterWithVpp(at89x8252::kReadCode)) return;
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    if (!EnterWithVpp(at89x8252::kReadCode)) return;
    if (ScanCode(Scan::Verify)) FinishScan();
  }

  void Erase() override {
    if (!EnterWithVpp(at89x8252::kErase)) return;
    SetPinLow(kProgPin);
    PutCmd1(kCmdSettle);
    PutCmd1(kCmdLongWait);
    SetPinHigh(kProgPin);
    FlushCommands();
  }

  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{.logPairs = true}; }

  void Write() override {
    if (!TypeCheck({.logPairs = true})) return;
    PowerUp();
    SetMode(at89x8252::kLines, at89x8252::kWriteCode);
    SetRegister25(kBusDrive);
    SwitchPin(14, true);
    SetAddress(0);
    FlushCommands();
    if (!VppOn()) return;
    WriteBytes(0, LastAddress(), 256, at89x8252::kStrobe);
    ShowProgress(-1);
  }

  // One lock byte: VPP on, a 100 µs PROG pulse (the parts take 1 to 110 µs, as for a code byte),
  // VPP off. A weak supply ends the operation failed.
  bool LockByte(std::uint8_t value) {
    PutCmd2(kCmdDataByte, value);
    PutCmd1(kCmdWait100us);
    SetMode(at89x8252::kLines, at89x8252::kWriteLock);
    if (!VppOn()) return false;
    SetPinLow(kProgPin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kProgPin);
    PutCmd1(kCmdWait1ms);
    PutCmd1(kCmdWait1ms);
    SelectVppPin(0);
    FlushCommands();
    return true;
  }

  void ReadId() override { ReadSignature(); }

  void Lock() override {
    PowerUp();
    SetMode(at89x8252::kLines, at89x8252::kWriteLock);
    SetRegister25(kBusDrive);
    SetAddress(0);
    const std::uint32_t choice = Word(kLockChoiceWord);
    for (std::uint32_t bit = 0; choice < at89x8252::kLockBytes.size() && bit <= choice; ++bit) {
      if (!LockByte(at89x8252::kLockBytes[bit])) return;
    }
  }
};

}  // namespace zelvar::mcs51
