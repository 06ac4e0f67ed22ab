#include "algorithms/memory/PI28F.h"

#include <algorithm>
#include <array>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Zor5103.h"
#include "services/Messages.h"

namespace zelvar::memory {

using namespace zor5103;

namespace {
constexpr std::uint8_t kReadArray = 0x00, kEraseSetup = 0x20, kEraseVerify = 0xA0;
constexpr std::uint8_t kProgramSetup = 0x40, kProgramVerify = 0xC0;
// The datasheets' bounds: 25 program pulses a byte, 1000 erase pulses a chip.
constexpr int kMaxProgramPulses = 25, kMaxErasePulses = 1000;
constexpr int kEraseWaits = 10;  // ten 1 ms waits: the 10 ms erase pulse
// Bytes verified per reply. A window never crosses a 64-byte boundary, so the design's counter
// (A0..A15) steps through it without a carry above bit 15.
constexpr std::uint32_t kWindow = 64;
}  // namespace

void PI28F::QueueVerifyRead() {
  SetRegister25(readMode_);
  SetPinLow(kFlashOePin);
  PutCmd1(kCmdReadBus);
  SetPinHigh(kFlashOePin);
  SetRegister25(writeMode_);
}

// The 100 µs waits stand for the datasheets' 10 µs program pulse (tWHWH1 is a minimum) and the
// 6 µs before a verify read (tWHGL): the design has no shorter wait.
bool PI28F::QuickPulseProgram(std::uint32_t address, const std::uint8_t* data,
                              std::uint32_t count) {
  std::array<std::uint8_t, 64> reply{};
  for (std::uint32_t i = 0; i < count;) {
    const std::uint32_t n = std::min(count - i, kWindow - (address + i) % kWindow);
    std::array<bool, kWindow> left{};
    std::array<std::uint8_t, kWindow> seen{};
    for (std::uint32_t k = 0; k < n; ++k) left[k] = data[i + k] != 0xFF;
    const auto firstLeft = [&left] { return std::find(left.begin(), left.end(), true); };
    for (int pulse = 0; pulse < kMaxProgramPulses && firstLeft() != left.end(); ++pulse) {
      SetRegister25(writeMode_);
      SetAddress(address + i);
      for (std::uint32_t k = 0; k < n; ++k) {
        if (k > 0) PutCmd1(kCmdNextAddress);
        if (!left[k]) continue;
        CommandWrite(kProgramSetup);
        CommandWrite(data[i + k]);
        PutCmd1(kCmdWait100us);
        CommandWrite(kProgramVerify);  // ends the pulse
        PutCmd1(kCmdWait100us);
        QueueVerifyRead();
      }
      ReadReply64(reply.data());
      std::uint32_t r = 0;
      for (std::uint32_t k = 0; k < n; ++k) {
        if (!left[k]) continue;
        seen[k] = reply[r++];
        left[k] = seen[k] != data[i + k];
      }
    }
    if (const auto it = firstLeft(); it != left.end()) {
      const auto k = static_cast<std::uint32_t>(it - left.begin());
      gLink.StatusWord = 1;
      gLink.FailAddress = i + k;
      gLink.FailByte = seen[k];
      return false;
    }
    i += n;
  }
  return true;
}

std::uint32_t PI28F::EraseVerifyFrom(std::uint32_t address) {
  std::array<std::uint8_t, 64> reply{};
  const std::uint32_t end = Type().lastAddress + 1;
  while (address < end) {
    const std::uint32_t n = std::min(end - address, kWindow - address % kWindow);
    SetRegister25(writeMode_);
    SetAddress(address);
    for (std::uint32_t k = 0; k < n; ++k) {
      if (k > 0) PutCmd1(kCmdNextAddress);
      CommandWrite(kEraseVerify);  // the first one ends the erase pulse
      PutCmd1(kCmdWait100us);
      QueueVerifyRead();
    }
    ReadReply64(reply.data());
    for (std::uint32_t k = 0; k < n; ++k) {
      if (reply[k] != 0xFF) {
        gLink.FailByte = reply[k];
        return address + k;
      }
    }
    address += n;
    ShowProgress(static_cast<int>(end / 2 + address / 2));
  }
  return end;
}

void PI28F::EndProgramBlock(const Program& p) {
  const std::uint32_t n = std::min(kBlockBytes, p.end - blockAddress_);
  PutCmd1(kCmdSettle);  // VPP up to VPPH before the first command
  QuickPulseProgram(blockAddress_, p.data + (blockAddress_ - p.start), n);
  // A byte that never verified fails the block's read-back at its address.
  gLink.StatusWord = 0;
  CommandWrite(kReadArray);
}

// Over-erasure harms these parts: every byte is programmed to 00h first, so that all cells erase
// from the same charge, and the pulses stop once every address erase-verifies.
void PI28F::Erase() {
  gLink.StatusWord = 0;
  if (!PowerUp()) return;
  SetRegister25(writeMode_);
  SetPinHigh(kFlashWePin);
  SetPinHigh(kFlashOePin);
  SetPinLow(kFlashCePin);
  SelectVppPin(Type().eraseVppPin);
  PutCmd1(kCmdSettle);
  const std::uint32_t end = Type().lastAddress + 1;
  static constexpr std::array<std::uint8_t, kBlockBytes> kZeros{};
  bool ok = true;
  ShowProgress(0);
  for (std::uint32_t a = 0; ok && a < end; a += kBlockBytes) {
    ShowProgress(static_cast<int>(a / 2));
    ok = QuickPulseProgram(a, kZeros.data(), std::min(kBlockBytes, end - a));
    if (!ok) gLink.FailAddress += a;
  }
  std::uint32_t address = 0;
  for (int pulses = 0; ok && address < end; ++pulses) {
    if (pulses == kMaxErasePulses) {
      gLink.StatusWord = 1;
      gLink.FailAddress = address;
      break;
    }
    SetRegister25(writeMode_);
    SetAddress(address);
    CommandWrite(kEraseSetup);
    CommandWrite(kEraseSetup);
    for (int i = 0; i < kEraseWaits; ++i) PutCmd1(kCmdSettle);
    address = EraseVerifyFrom(address);
  }
  CommandWrite(kReadArray);
  SetRegister25(readMode_);  // the bus an input: the next operation powers the chip up
  EndOfWrite();
}

}  // namespace zelvar::memory
