#include "algorithms/memory/SpiEngine.h"

#include "link/CommandQueue.h"
#include "link/Primitives.h"
#include "link/commands/At25spi.h"
#include "link/commands/Programmer.h"

namespace zelvar::memory {

using namespace at25spi;

namespace {
constexpr std::uint8_t kAddressBit8 = 0x08;
}  // namespace

SpiAddress SpiEepromAddress(std::uint8_t opcode, std::uint32_t a, std::uint32_t size) {
  const auto low = static_cast<std::uint8_t>(a & 0xFF);
  if (size <= 256) return {{opcode, low}, 2};
  if (size == 512) {
    const auto op = static_cast<std::uint8_t>(opcode | ((a & 0x100) ? kAddressBit8 : 0));
    return {{op, low}, 2};
  }
  if (size > 512 && size <= 0x10000) return {{opcode, static_cast<std::uint8_t>(a >> 8), low}, 3};
  return {};
}

SpiAddress SpiFlashAddress(std::uint8_t opcode, std::uint32_t a) {
  return {{opcode, static_cast<std::uint8_t>(a >> 16), static_cast<std::uint8_t>(a >> 8),
           static_cast<std::uint8_t>(a)},
          4};
}

bool SpiEepromAddressable(std::uint32_t size) {
  const bool powerOfTwo = size != 0 && (size & (size - 1)) == 0;
  return powerOfTwo && SpiEepromAddress(kSpiRead, 0, size).count != 0;
}

void SpiEngine::Setup() {
  PutCmd2(kCmdShiftOutBits, 8);
  PutCmd2(kCmdShiftInBits, 8);
}

void SpiEngine::Idle() {
  WriteFpgaReg18(kLineClock);
  Deselect();
}

void SpiEngine::Select() {
  WriteFpgaReg18(kLineSelect);
}

void SpiEngine::Deselect() {
  WriteFpgaReg18Bit7(kLineSelect);
}

void SpiEngine::Send(std::uint8_t b) {
  PutCmd2(kCmdSendByte, b);
}

void SpiEngine::Send(const SpiAddress& a) {
  for (int i = 0; i < a.count; ++i) Send(a.bytes[static_cast<std::size_t>(i)]);
}

void SpiEngine::Receive() {
  PutCmd1(kCmdReadByte);
}

void SpiEngine::ReceiveShifted() {
  Send(0xFF);
  PutCmd1(kCmdShiftedByte);
}

void SpiEngine::Instruction(std::uint8_t opcode) {
  Select();
  Send(opcode);
  Deselect();
}

void SpiEngine::Wait1ms(std::uint32_t ticks) {
  // A long wait ("dly=" is the chip line's) goes out in parts that fit the queue.
  constexpr std::uint32_t kPart = 4096;
  for (std::uint32_t i = 0; i < ticks; ++i) {
    if (i != 0 && i % kPart == 0) FlushCommands();
    PutCmd1(kCmdWait1ms);
  }
}

}  // namespace zelvar::memory
