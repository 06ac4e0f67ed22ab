#include "algorithms/memory/I82802.h"

#include <algorithm>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/FirmwareHub.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace fwh;

namespace {
constexpr const char* kTypeError = "Type error!";
constexpr std::uint8_t kReadArray = 0xFF, kReadIdentifier = 0x90;
constexpr std::uint8_t kEraseSetup = 0x20, kUpperEraseSetup = 0x21, kEraseConfirm = 0xD0;
}  // namespace

bool I82802::Offers(int op) const {
  return op == kOpErase || op == kOpBlank || op == kOpWrite || op == kOpVerify || op == kOpRead ||
         op == kOpReadId;
}

void I82802::Handle(int op) {
  if (op == kOpReadId) {
    ReadId();
    return;
  }
  if (!TypeCheck()) return;
  switch (op) {
    case kOpErase:
      Erase();
      break;
    case kOpBlank:
    case kOpVerify:
      Compare(op == kOpBlank);
      break;
    case kOpWrite:
      Write();
      break;
    case kOpRead:
      Read();
      break;
    default:
      break;
  }
}

void I82802::CommandWrite(std::uint8_t data) {
  WritePort(kDataPort, data);
  Line(kLineRowColumn, true);
  WriteFpgaReg18(kRowOfPorts);
  Line(kLineRowColumn, false);
  Line(kLineWriteEnable, false);
  WriteFpgaReg18(kColumnOfPorts);
  Line(kLineRowColumn, true);
  Line(kLineWriteEnable, true);
}

bool I82802::ReadId() {
  if (!PowerUp()) return false;
  SelectVppPin(Type().vppPin);
  CommandMode();
  SetAddress(0);
  CommandWrite(kReadIdentifier);
  ReadMode();
  ReadBlock(0, gLink.ScratchBuffer.data(), kBlockBytes);
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
  ReportId();
  return true;
}

bool I82802::TypeCheck() {
  if (gApp.ExpectedId[0] == 0) return true;
  if (!ReadId()) return false;
  if (gApp.ReadId[0] == gApp.ExpectedId[0] && gApp.ReadId[1] == gApp.ExpectedId[1]) return true;
  AddMessageLine(kTypeError);
  gLink.StatusWord = 1;
  return false;
}

void I82802::EraseAt(std::uint32_t address, std::uint8_t command, int waits) {
  ShowProgress(static_cast<int>(address));
  CommandMode();
  SelectVppPin(Type().vppPin);
  SetAddress(address);
  CommandWrite(command);
  CommandWrite(kEraseConfirm);
  for (int i = 0; i < waits; ++i) PutCmd1(kCmdEraseWait);
  FlushCommands();
}

// No status is read: the Blank that follows finds a block the chip did not erase.
void I82802::Erase() {
  const FwhType& t = Type();
  if (!PowerUp()) return;
  if (t.sectorCount == 0) {
    for (std::uint32_t a = 0; a < t.lastAddress; a += t.blockBytes) EraseAt(a, kEraseSetup, 8);
  } else {
    for (std::size_t i = 0; i < t.sectorCount; ++i) {
      const std::uint32_t a = std::uint32_t{t.sectorKib[i]} * 1024;
      EraseAt(a, a >= t.upperSectorsFrom ? kUpperEraseSetup : kEraseSetup, 5);
    }
  }
  ShowProgress(-1);
  CommandWrite(kReadArray);
  ReadMode();
  SelectVppPin(0);
  SelectVccPin(0);
  FlushCommands();
}

// The buffer from offset 0 goes to "Addr start" on, through "Addr end"; the design programs each
// byte and steps the address. Verify checks the chip.
void I82802::Write() {
  const FwhType& t = Type();
  if (!PowerUp()) return;
  const std::uint32_t start = std::min(Word(kRangeStartWord), t.lastAddress);
  const std::uint32_t end = ChipRangeEnd();
  CommandMode();
  SelectVppPin(t.vppPin);
  SetAddress(start);
  for (std::uint32_t a = start; a < end; ++a) {
    if ((a & 0xFF) == 0) {
      ShowProgress(static_cast<int>(a - start));
      FlushCommands();
      SetAddress(a);
    }
    PutCmd2(kCmdIntelProgram, buffer_[a - start]);
  }
  CommandWrite(kReadArray);
  ReadMode();
  SelectVppPin(0);
  ShowProgress(-1);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
}

void I82802::Compare(bool blank) {
  if (!PowerUp()) return;
  CommandMode();
  CommandWrite(kReadArray);
  ReadMode();
  const std::uint32_t start = std::min(Word(kRangeStartWord), Type().lastAddress);
  const Scan s{.start = start,
               .last = Type().lastAddress - start,
               .throughLast = true,
               .end = ChipRangeEnd(),
               .expected = blank ? nullptr : buffer_,
               .progressByCounter = true};
  if (!CompareBlocks(s)) return;
  ShowProgress(-1);
  SetAllPins(false);
  SelectVccPin(0);
  FlushCommands();
}

void I82802::Read() {
  if (!PowerUp()) return;
  CommandMode();
  CommandWrite(kReadArray);
  ReadMode();
  for (std::uint32_t a = 0; a <= Type().lastAddress; a += kBlockBytes) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(a, buffer_ + a, kBlockBytes);
  }
  SetAllPins(false);
  SelectVccPin(0);
  ShowProgress(-1);
  FlushCommands();
}

}  // namespace zelvar::memory
