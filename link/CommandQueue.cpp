#include "link/CommandQueue.h"

#include "link/LinkFault.h"
#include "link/LinkState.h"
#include "link/QueueWrites.h"
#include "link/Usb.h"
#include "link/commands/Programmer.h"
#include "services/Messages.h"

namespace zelvar {

LinkState gLink;

void RaiseLinkFault(const std::string& message) {
  AddMessageLine(message);
  gLink.CommandCount = 0;
  gLink.StatusWord = 1;
  gLink.ModelNumber = 0;
  throw LinkFault(message);
}

namespace {

// Pads with 0 bytes so that an n-byte command starts in the packet that can hold it, then checks
// that padding and command fit the queue before anything is written.
inline std::uint8_t* Reserve(std::uint32_t n) {
  std::uint32_t count = gLink.CommandCount;
  const std::uint32_t room = 64 - count % 64;
  const std::uint32_t pad = room < n ? room : 0;
  if (count + pad + n > kCommandBufferSize) RaiseLinkFault("usb buffer fill! *USB buf溢出");
  for (std::uint32_t i = 0; i < pad; ++i) gLink.CommandBuffer[count++] = 0;
  gLink.CommandCount = count + n;
  return &gLink.CommandBuffer[count];
}

}  // namespace

void PutCmd1(std::uint8_t b) {
  Reserve(1)[0] = b;
}

void PutCmd2(std::uint8_t cmd, std::uint8_t arg) {
  std::uint8_t* p = Reserve(2);
  p[0] = cmd;
  p[1] = arg;
}

void PutCmd3(std::uint8_t cmd, std::uint8_t a, std::uint8_t b) {
  std::uint8_t* p = Reserve(3);
  p[0] = cmd;
  p[1] = a;
  p[2] = b;
}

void PutCmd4(std::uint8_t cmd, std::uint8_t a, std::uint8_t b, std::uint8_t c) {
  std::uint8_t* p = Reserve(4);
  p[0] = cmd;
  p[1] = a;
  p[2] = b;
  p[3] = c;
}

namespace {
std::uint32_t gWritesSent = 0;
}  // namespace

std::uint32_t QueueWritesSent() {
  return gWritesSent;
}

void FlushCommands() {
  if (gLink.CommandCount == 0) return;
  ++gWritesSent;
  // A lost write may be the last of an operation (supplies off), with no read after it to show it.
  const std::uint32_t count = gLink.CommandCount;
  gLink.CommandCount = 0;
  if (UsbWrite(gLink.CommandBuffer.data(), count) != count) {
    RaiseLinkFault("Write USB bad! *写USB出错");
  }
}

std::uint8_t ReadReply64(std::uint8_t* buffer) {
  PutCmd1(kCmdReadReply);
  FlushCommands();
  if (UsbRead(buffer, 64) != 64) RaiseLinkFault("Read USB bad! *读USB出错");
  return buffer[0];
}

std::uint8_t ReadBlock256(std::uint8_t* buffer) {
  PutCmd1(kCmdReadBlock);
  FlushCommands();
  if (UsbRead(buffer, 256) != 256) RaiseLinkFault("Read bad *读出错");
  return buffer[0];
}

void ReadSetBlock(std::uint8_t* buffer, std::uint32_t length) {
  if (UsbRead(buffer, length) != length) RaiseLinkFault("Read bad *读出错");
}

}  // namespace zelvar
