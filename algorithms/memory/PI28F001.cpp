#include "algorithms/memory/PI28F001.h"

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr std::uint8_t kEraseSetup = 0x20, kEraseConfirm = 0xD0, kReadStatus = 0x70;
constexpr std::uint8_t kReadArray = 0xFF;
constexpr std::uint8_t kReady = 0x80, kEraseError = 0x20, kVppLow = 0x08;
// A block erase takes of the order of a second; 101 polls 100 ms apart bound it at ten.
constexpr int kStatusPolls = 101;
constexpr int kBlockSettles = 10;
}  // namespace

bool PI28F001::InBootRange(std::uint32_t address) const {
  const BootLayout& l = Layout();
  return l.bootPin != 0 && address >= l.bootFirst && address <= l.bootLast;
}

void PI28F001::CommandWriteAt(std::uint32_t address, std::uint8_t data) {
  SetRegister25(writeMode_);
  SetAddress(address);
  WritePort(2, data);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  SetPinLow(kFlashWePin);
  PutCmd1(kCmdWait100us);
  SetPinHigh(kFlashWePin);
}

// OE# stays high while the bus drives a command and goes low only once the bus is an input, so
// the chip's status output never meets the programmer's driver.
int PI28F001::WaitReady() {
  PutCmd1(kCmdSettle);
  for (int i = 0; i < kStatusPolls; ++i) {
    SetRegister25(writeMode_);
    WritePort(2, kReadStatus);
    SetPinLow(kFlashWePin);
    PutCmd1(kCmdWait100us);
    SetPinHigh(kFlashWePin);
    SetRegister25(readMode_);
    SetPinLow(kFlashOePin);
    const std::uint8_t status = ReadBusByte();
    SetPinHigh(kFlashOePin);
    if (status & kReady) {
      SetRegister25(writeMode_);
      return status;
    }
    PutCmd1(kCmdErasePulse);
  }
  SetRegister25(writeMode_);
  return -1;
}

// One block: power cycled, VPP on pin 5 (and on RP# for the boot block, held until the chip is
// ready), set-up and confirm at an address of the block, then the status register until ready.
bool PI28F001::EraseBlock(std::uint32_t address) {
  PinReset();
  RestoreSupplies();
  SelectGndPin(kBottomGroundPin);
  PutCmd1(kCmdErasePulse);
  SelectVccPin(Type().vccPin);
  SelectVppPin(Type().eraseVppPin);
  const bool boot = InBootRange(address);
  if (boot) SelectVppPin(static_cast<std::uint8_t>(Layout().bootPin | 0x80));
  SetRegister25(writeMode_);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  CommandWriteAt(address, kEraseSetup);
  CommandWriteAt(address, kEraseConfirm);
  SetRegister24(Layout().bootPin);
  const int status = WaitReady();
  if (boot) SelectVppPin(Type().eraseVppPin);
  if (status >= 0 && (status & (kEraseError | kVppLow)) == 0) return true;
  gLink.FailAddress = address;
  gLink.FailByte = static_cast<std::uint8_t>(status);
  return false;
}

void PI28F001::Erase() {
  gLink.StatusWord = 0;
  const std::uint32_t step = Type().lastAddress / 16;
  std::uint32_t address = 0;
  int index = 0;
  for (const BlockRun& run : Layout().blocks) {
    if (run.count == 0) break;
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(index++) * step));
    for (std::uint32_t i = 0; i < run.count; ++i) {
      const bool erased = EraseBlock(address);
      if (!CheckPower()) break;
      if (!erased) {
        gLink.StatusWord = 1;
        break;
      }
      address += run.kib * 1024;
      for (int s = 0; s < kBlockSettles; ++s) PutCmd1(kCmdSettle);
    }
    if (gLink.StatusWord != 0) break;
  }
  ShowProgress(-1);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

// A block that reaches into the boot block gets VPP on RP# too.
void PI28F001::BeginProgramBlock(const Program& p) {
  FlashSet::BeginProgramBlock(p);
  const BootLayout& l = Layout();
  if (l.bootPin != 0 && blockAddress_ <= l.bootLast && blockAddress_ + kBlockBytes > l.bootFirst)
    SelectVppPin(static_cast<std::uint8_t>(l.bootPin | 0x80));
}

void PI28F001::QueueProgramByte(std::uint8_t data, const Program&) {
  QueueSetupProgram(data);
}

// The chip shows its status register after a program: back to the array for the read-back.
void PI28F001::EndProgramBlock(const Program&) {
  CommandWrite(kReadArray);
}

bool PI28F001::Run(int op) {
  // The chip starts a write from a power cycle.
  if (op == kOpWrite) PinReset();
  return FlashSet::Run(op);
}

}  // namespace zelvar::memory
