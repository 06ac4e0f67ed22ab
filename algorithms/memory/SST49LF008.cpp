#include "algorithms/memory/SST49LF008.h"

#include <algorithm>
#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/FirmwareHub.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

using namespace fwh;

bool SST49LF008::Offers(int op) const {
  return op == kOpErase || op == kOpBlank || op == kOpWrite || op == kOpVerify || op == kOpRead ||
         op == kOpReadId;
}

void SST49LF008::Handle(int op) {
  if ((op == kOpVerify || op == kOpWrite) && DataBelowChip(op == kOpVerify)) return;
  if ((op == kOpErase || op == kOpWrite) && !TypeCheck()) return;
  if (!PowerUp()) return;
  switch (op) {
    case kOpErase:
      Erase();
      break;
    case kOpBlank:
    case kOpVerify:
      if (CompareAtChipAddresses(RangeFrom(), ChipRangeEnd(), op == kOpBlank)) {
        ShowProgress(-1);
        SetAllPins(false);
        SelectVccPin(0);
        FlushCommands();
      }
      break;
    case kOpWrite:
      Write();
      break;
    case kOpRead:
      Read();
      break;
    case kOpReadId:
      ReadId();
      break;
    default:
      break;
  }
}

bool SST49LF008::DataBelowChip(bool verify) {
  const std::uint32_t end = std::min(Type().firstAddress, RangeEndExclusive());
  for (std::uint32_t a = Word(kRangeStartWord); a < end; ++a) {
    if (buffer_[a] == 0xFF) continue;
    Fail(a, 0xFF);
    frame::LogNoMemoryAt(a, buffer_[a], verify);
    return true;
  }
  return false;
}

std::uint32_t SST49LF008::RangeFrom() const {
  return std::max(Type().firstAddress, std::min(Word(kRangeStartWord), Type().lastAddress));
}

void SST49LF008::EndPowerUp() {
  SetRegister25(0);
}

void SST49LF008::UnlockCycle(std::uint16_t address, std::uint8_t data) {
  const bool first = address == 0x5555;
  Line(kLineRowColumn, true);
  WriteFpgaReg18(first ? kRowOf5555 : kRowOf2AAA);
  Line(kLineRowColumn, false);
  WriteFpgaReg18(first ? kColumnOf5555 : kColumnOf2AAA);
  Line(kLineRowColumn, true);
  WritePort(kDataPort, data);
  Line(kLineWriteEnable, false);
  Line(kLineWriteEnable, true);
}

void SST49LF008::EraseUnlock() {
  UnlockCycle(0x5555, 0xAA);
  UnlockCycle(0x2AAA, 0x55);
  UnlockCycle(0x5555, 0x80);
  UnlockCycle(0x5555, 0xAA);
  UnlockCycle(0x2AAA, 0x55);
}

// "sec=" erases block by block with the block-erase command (0x50): the sector command (0x30)
// clears only the 4 KiB sector at each step and would leave the rest of every block as it was.
void SST49LF008::Erase() {
  const FwhType& t = Type();
  CommandMode();
  if (services().ChipParam("sec=") != 0) {
    for (std::uint32_t a = t.firstAddress; a <= t.lastAddress; a += t.blockBytes) {
      ShowProgress(static_cast<int>(a));
      EraseUnlock();
      SetAddress(a);
      PutCmd2(kCmdAddressedWrite, 0x50);
      for (int i = 0; i < 4; ++i) PutCmd1(kCmdEraseWait);
      FlushCommands();
    }
  } else {
    EraseUnlock();
    UnlockCycle(0x5555, 0x10);
    PutCmd1(kCmdEraseWait);
    FlushCommands();
    // "ems=": a further settle wait for every 10.
    const int n = std::max(0, services().ChipParam("ems="));
    const std::uint32_t step = (t.lastAddress + 1) / static_cast<std::uint32_t>(n + 1);
    for (int count = 0; count < n; count += 10) {
      ShowProgress(static_cast<int>(static_cast<std::uint32_t>(count) * step));
      PutCmd1(zelvar::kCmdSettle);
      FlushCommands();
    }
  }
  ReadMode();
  ShowProgress(-1);
  SelectVccPin(0);
  FlushCommands();
}

// Programs "Addr start" through "Addr end", the buffer at the chip's own addresses, each block
// read back before the next.
void SST49LF008::Write() {
  const std::uint32_t end = ChipRangeEnd();
  std::uint8_t* block = gLink.ScratchBuffer.data();
  for (std::uint32_t a = RangeFrom(); a < end; a += kBlockBytes) {
    ShowProgress(static_cast<int>(a));
    SetAddress(a);
    CommandMode();
    const std::uint32_t n = std::min(kBlockBytes, end - a);
    for (std::uint32_t j = 0; j < n; ++j) {
      PutCmd2(kCmdJedecProgram, buffer_[a + j]);
      PutCmd1(kCmdProgramStep);
    }
    SetAddress(a);
    ReadMode();
    ReadBlock(a, block, kBlockBytes);
    for (std::uint32_t j = 0; j < n; ++j) {
      if (block[j] != buffer_[a + j]) {
        Fail(a + j, block[j]);
        return;
      }
    }
  }
  FlushCommands();
  ShowProgress(-1);
  SelectVccPin(0);
  SetPinLow(28);
  SetPinLow(26);
  FlushCommands();
}

// The whole chip into the buffer at its own addresses; bytes below the chip's first read 0xFF.
void SST49LF008::Read() {
  const FwhType& t = Type();
  std::fill(buffer_, buffer_ + t.firstAddress, std::uint8_t{0xFF});
  for (std::uint32_t a = t.firstAddress; a <= t.lastAddress; a += kBlockBytes) {
    ShowProgress(static_cast<int>(a));
    ReadBlock(a, buffer_ + a, kBlockBytes);
  }
  SelectVccPin(0);
  ShowProgress(-1);
  FlushCommands();
}

bool SST49LF008::TypeCheck() {
  const auto& want = gApp.ExpectedId;
  if (want[0] == 0) return true;
  if (!PowerUp()) return false;
  ReadId();
  if (gApp.ReadId[0] == want[0] && gApp.ReadId[1] == want[1]) return true;
  AddMessageLine("Type error!");
  gLink.StatusWord = 1;
  return false;
}

void SST49LF008::ReadId() {
  SetAddress(0);
  CommandMode();
  UnlockCycle(0x5555, 0xAA);
  UnlockCycle(0x2AAA, 0x55);
  UnlockCycle(0x5555, 0x90);
  ReadMode();
  ReadBlock(0, gLink.ScratchBuffer.data(), kBlockBytes);
  SelectVccPin(0);
  SelectVppPin(0);
  FlushCommands();
  ReportId();
}

}  // namespace zelvar::memory
