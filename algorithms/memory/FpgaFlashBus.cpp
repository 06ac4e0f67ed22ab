#include "algorithms/memory/FpgaFlashBus.h"

#include <algorithm>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::memory::fpga_flash {

using namespace p29f640;

bool PowerUp(const PowerUpSteps& s) {
  if (s.vppPinOff) SelectVppPin(0);
  SelectVccPin(0);
  if (s.vccMillivolts) SetVccVoltage(*s.vccMillivolts);
  if (s.vppMillivolts && gLink.LastVppMillivolts != *s.vppMillivolts)
    SetVppVoltage(*s.vppMillivolts);
  PutCmd1(zelvar::kCmdSettle);
  SelectGndPin(s.gndPin);
  SelectVccPin(s.vccPin);
  PutCmd1(zelvar::kCmdSettle);
  if (!CheckPower()) return false;
  Cycle(kCycleAddress);
  if (s.strobeAddressCycle) {
    ClearLine(kLineWriteEnable);
    SetLine(kLineWriteEnable);
  }
  SetLine(kLineChipEnable);
  SetLine(kLineWriteEnable);
  SetLine(kLineOutputEnable);
  SetLine(kLineReset);
  if (s.six == LineSix::kSet) SetLine(kLineSix);
  if (s.six == LineSix::kClear) ClearLine(kLineSix);
  SetAddress(0);
  SetLine(kLineBusRead);
  ClearLine(kLineOutputEnable);
  SetRegister25(0);
  FlushCommands();
  return true;
}

ScanStop ScanBlocks(const BlockScan& s) {
  ReadMode();
  SetAddress(s.chipAddress);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  std::uint32_t offset = 0;
  for (; s.start + offset < s.end; offset += s.blockBytes) {
    ShowProgress(static_cast<int>(s.progressFromStart ? s.start + offset : offset));
    PutCmd2(kCmdReadBlocks, static_cast<std::uint8_t>(s.blockBytes / 64));
    FlushCommands();
    const std::uint32_t n = std::min(s.blockBytes, s.end - (s.start + offset));
    // A Read that keeps the range only takes the block in before it looks at the buffer's room.
    const bool direct = s.into != nullptr && !s.readKeepsRangeOnly;
    if (direct) {
      if (offset + s.blockBytes > kCodeBufferSize) break;
      ReadSetBlock(s.into + offset, s.blockBytes);
      continue;
    }
    ReadSetBlock(block, s.blockBytes);
    if (s.into != nullptr) {
      if (offset + n > kCodeBufferSize) break;
      std::copy_n(block, n, s.into + offset);
      continue;
    }
    for (std::uint32_t j = 0; j < n; ++j) {
      const std::uint8_t want = s.expected != nullptr ? s.expected[offset + j] : 0xFF;
      if (block[j] != want) return {.same = false, .offset = offset + j, .byte = block[j]};
    }
  }
  return {.same = true, .offset = offset};
}

void WritePairs(const PairWrite& w) {
  const auto command = [&w](std::uint8_t c, std::uint8_t a, std::uint8_t b, bool both) {
    if (both) {
      PutCmd3(c, a, b);
    } else {
      PutCmd2(c, a);
    }
    if (w.afterCommand) w.afterCommand();
  };
  for (std::uint32_t k = 0; w.start + k < w.end; k += 2) {
    if (w.beforeStep) w.beforeStep(k);
    if (w.wide) {
      command(w.wordCommand, w.data[k], w.data[k + 1], true);
    } else {
      command(w.byteCommand, w.data[k], 0, false);
      if (w.start + k + 1 < w.end) command(w.byteCommand, w.data[k + 1], 0, false);
    }
    if ((k & w.flushMask) == 0) FlushCommands();
  }
}

void EraseWaits(int count, std::uint32_t span, std::uint8_t waitCommand) {
  const std::uint32_t step = span / static_cast<std::uint32_t>(count);
  for (int i = 0; i < count; ++i) {
    ShowProgress(static_cast<int>(static_cast<std::uint32_t>(i) * step));
    PutCmd1(waitCommand);
    FlushCommands();
  }
  ShowProgress(-1);
}

const std::uint8_t* ReadIdBlock() {
  PutCmd2(kCmdReadBlocks, 8);
  FlushCommands();
  std::uint8_t* id = gLink.ScratchBuffer.data();
  ReadSetBlock(id, 512);
  gApp.ReadId = {id[0], id[1], id[2], id[3]};
  return id;
}

bool IdentityMatches(std::size_t bytes, const std::function<bool()>& readId) {
  if (gApp.ExpectedId[0] == 0) return true;
  if (!readId()) return false;
  if (std::equal(gApp.ReadId.begin(), gApp.ReadId.begin() + bytes, gApp.ExpectedId.begin()))
    return true;
  AddMessageLine("Type error!");
  gLink.StatusWord = 1;
  return false;
}

}  // namespace zelvar::memory::fpga_flash
