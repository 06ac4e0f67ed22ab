#pragma once
// "AT89S8253": 12 KB of flash and 2 KB of data EEPROM in the parallel programming mode, written
// in pages; the user fuses and the lock bits are written as bytes.
#include <array>
#include <cstdio>

#include "algorithms/mcs51/ParallelEngine.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace at89s8253 {

constexpr std::uint32_t kDataBytes = 2048;  // the EEPROM, in the buffer right after the code

constexpr const char* kDescribe[] = {
    "$Fonc:",    "21 Erase",    "22 Blank",  "23 Write", "25 Config",
    "24 Verify", "26 Security", "$DisTool:", "30,31,",   "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)",
                                   "n=LB1 ,v=1,a=1,b=0",
                                   "n=LB2 ,v=1,a=1,b=1",
                                   "n=LB3 ,v=1,a=1,b=2",
                                   "n=SerialPrgEn,v=1,a=0,b=0",
                                   "n=x2 ClockEn,v=1,a=0,b=1",
                                   "n=UsrRowPrgEn,v=1,a=0,b=2",
                                   "n=External Clock En,v=1,a=0,b=3",
                                   "$end"};
constexpr int kFuseWord = 0;
constexpr int kLockWord = 1;

// A8..A15 on P2.0..P2.7.
constexpr AddressPins kAddress{{21, 22, 23, 24, 25, 26, 27, 28}};

// P3.3, P3.4, P3.5, P3.6, P3.7.
constexpr ModeLines kLines{{13, 14, 15, 16, 17}};
constexpr Mode kReadCode{"00111"};
constexpr Mode kReadData{"00011"};
constexpr Mode kWriteCode{"01111"};
constexpr Mode kWriteData{"01011"};
constexpr Mode kErase{"10100"};
constexpr Mode kWriteFuses{"01101"};
constexpr Mode kWriteLock{"10110"};
constexpr Mode kSignature{"00100"};
constexpr Mode kReadFuses{"11101"};

// Bytes load the page with a bare strobe; the page programs during the settle wait after it.
constexpr Strobe kStrobe{};
constexpr std::uint32_t kCodePage = 64;
constexpr std::uint32_t kDataPage = 32;

constexpr std::array<std::uint8_t, 2> kSignatureOffsets = {0x30, 0x31};

}  // namespace at89s8253

class AT89S8253 final : public ParallelSet {
 public:
  static constexpr std::array<ParallelType, 2> kTypes = {{
      {.name = "Exit"},
      {.name = "1: AT89S8253 12Kx8", .lastAddress = 12287},
  }};

 private:
  std::uint32_t LastAddress() const override { return kTypes[gApp.TypeIndex].lastAddress; }
  // The EEPROM is the user's to see, load and save: it lies behind the code.
  std::uint32_t DataStart() const override { return LastAddress() + 1; }
  std::uint32_t DataLength() const override { return at89s8253::kDataBytes; }
  const AddressPins& Address() const override { return at89s8253::kAddress; }
  std::span<const char* const> DescribeList() const override { return at89s8253::kDescribe; }
  std::span<const char* const> ConfigTable() const override { return at89s8253::kConfig; }
  std::span<const int> Operations() const override {
    static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                                   kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
    return kOps;
  }

  void Init() override { SetUp(kTypes.size(), kPlcc44, ChipVccMillivolts(), 12000); }

  // Powers the chip in `mode` with VPP on the package's EA/VPP pin.
  void PowerUp(Mode mode) {
    SetRegister25(kBusRead);
    SwitchPin(kXtal2Pin, true);
    SetPinHigh(kRstPin);
    SelectVccPin(gMcs51.ChipVccPin);
    PutCmd1(kCmdSettle);
    SelectClockPin(kXtal1Pin);
    PutCmd1(kCmdSettle);
    ControlLevels();
    SetMode(at89s8253::kLines, mode);
    SetAddress(0);
    FlushCommands();
    SelectVppPin(gMcs51.ChipVppPin);
  }

  // The data EEPROM's blocks, at chip addresses from 0, in the buffer behind the code.
  bool ScanData(Scan kind) {
    const std::uint32_t base = DataStart();
    SetMode(at89s8253::kLines, at89s8253::kReadData);
    return ScanBlocks(
        kind, base, base + at89s8253::kDataBytes - 1, 256,
        [this, base](std::uint32_t a, std::uint8_t* dest) { ReadBlockAt(a - base, dest); }, false);
  }

  void Read() override {
    PowerUp(at89s8253::kReadCode);
    if (!CheckPower()) return;
    ScanCode(Scan::Read);
    ScanData(Scan::Read);
    FinishScan();
  }

  void Blank() override {
    PowerUp(at89s8253::kReadCode);
    if (!CheckPower()) return;
    if (ScanCode(Scan::Blank)) FinishScan();
  }

  void Verify() override {
    PowerUp(at89s8253::kReadCode);
    if (!CheckPower()) return;
    if (ScanCode(Scan::Verify) && ScanData(Scan::Verify)) FinishScan();
  }

  void Erase() override {
    PowerUp(at89s8253::kErase);
    if (!CheckPower()) return;
    ProgramByte(0xFF, at89s8253::kStrobe);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }

  // Chip bytes first .. first + count - 1 from the buffer at `from`, in pages.
  void WritePages(std::uint32_t from, std::uint32_t count, std::uint32_t page, bool progress) {
    for (std::uint32_t p = 0; p < count; p += page) {
      if (progress) ShowProgress(static_cast<int>(p));
      SetAddress(p);
      for (std::uint32_t i = 0; i < page; ++i) {
        ProgramByte(buffer_[from + p + i], at89s8253::kStrobe);
        NextAddress();
      }
      PutCmd1(kCmdSettle);
      FlushCommands();
    }
  }

  void ReadSignature() override {
    PowerUp(at89s8253::kSignature);
    SignatureBytes(at89s8253::kSignatureOffsets);
    SelectClockPin(0);
    SuppliesOff();
  }

  std::optional<IdCheck> ChangeCheck() const override { return IdCheck{.logPairs = true}; }

  void Write() override {
    if (!TypeCheck({.logPairs = true})) return;
    PowerUp(at89s8253::kWriteCode);
    SetRegister25(kBusDrive);
    if (!CheckPower()) return;
    WritePages(0, LastAddress() + 1, at89s8253::kCodePage, true);
    SetMode(at89s8253::kLines, at89s8253::kWriteData);
    WritePages(DataStart(), at89s8253::kDataBytes, at89s8253::kDataPage, false);
    ShowProgress(-1);
  }

  // One byte in a writing mode: the user fuses or the lock bits.
  void WriteByteInMode(Mode mode, std::uint8_t value) {
    PowerUp(mode);
    SetRegister25(kBusDrive);
    ProgramByte(value, at89s8253::kStrobe);
    PutCmd1(kCmdSettle);
    FlushCommands();
  }

  void Config() override {
    WriteByteInMode(at89s8253::kWriteFuses, static_cast<std::uint8_t>(Word(at89s8253::kFuseWord)));
  }

  // A row set to 1 programs its lock bit, which the chip takes as a 0.
  void Lock() override {
    WriteByteInMode(at89s8253::kWriteLock, static_cast<std::uint8_t>(~Word(at89s8253::kLockWord)));
  }

  void ReadId() override {
    ReadSignature();
    LogId("厂家和型号的代码 = %02x,%02x", 2);
  }

  void ReadConfig() override {
    PowerUp(at89s8253::kReadFuses);
    std::uint8_t* block = gLink.ScratchBuffer.data();
    ReadBlockAt(0, block);
    char line[32];
    std::snprintf(line, sizeof line, "Fuse = %02x", block[0]);
    AddMessageLine(line);
    SetWord(at89s8253::kFuseWord, block[0]);
  }
};

}  // namespace zelvar::mcs51
