#include "algorithms/pic/Flash12.h"

#include <cstdio>
#include <cstring>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/PicIcsp.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace pic_icsp;
constexpr int kWordsPerReply = 16;
}  // namespace

int Flash12Set::SetupVccMillivolts() const {
  const int vcc = services().ChipParam("vcc=");
  return vcc < 2500 ? 5000 : vcc;
}

void Flash12Set::ReadNext() const {
  ReadCommand(Policy().codes.readProgram);
  Command(Policy().codes.increment);
}

void Flash12Set::StepToIds() const {
  for (std::uint32_t i = 0; i < Words(); ++i) {
    Command(Policy().codes.increment);
    if (i % 64 == 63) FlushCommands();
  }
}

bool Flash12Set::Scan(bool blank) {
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a < row_.lastAddress; a += 2 * kWordsPerReply) {
    ShowProgress(a);
    for (int i = 0; i < kWordsPerReply; ++i) ReadNext();
    ReadReply64(reply);
    for (std::int32_t i = 0; i < 2 * kWordsPerReply && a + i < OwnEnd(); i += 2) {
      const std::uint8_t lo = reply[i], hi = reply[i + 1] & 0x0F;
      const bool same = blank ? lo == 0xFF && hi == 0x0F
                              : lo == buffer_[a + i] && hi == (buffer_[a + i + 1] & 0x0F);
      if (same) continue;
      ShowProgress(a + i);
      gLink.StatusWord = 1;
      gLink.FailAddress = static_cast<std::uint32_t>(a + i);
      gLink.FailByte = lo;
      return false;
    }
  }
  FinishScan();
  return true;
}

void Flash12Set::Erase() {
  if (!EnterChecked()) return;
  // From the configuration word: program memory and configuration.
  Command(flash12::kBulkErase);
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
  // One increment to word 0, then one a word to the first user ID: the IDs.
  Command(Policy().codes.increment);
  StepToIds();
  Command(flash12::kBulkErase);
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
  FlushCommands();
  ShowProgress(-1);
}

void Flash12Set::Blank() {
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  FlushCommands();
  // The configuration word first: its bits erased (on the PIC16F5x bits 4-11 are not the chip's).
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  const auto config = static_cast<std::uint16_t>(reply[0] | reply[1] << 8);
  if ((config & BlankConfigMask()) != BlankConfigMask()) {
    gLink.StatusWord = 1;
    return;
  }
  Scan(true);
}

void Flash12Set::Write() {
  for (std::int32_t a = 1; a <= row_.lastAddress; a += 2) buffer_[a] &= 0x0F;
  SelectVppPin(0);
  if (!EnterChecked()) return;
  Command(Policy().codes.increment);
  for (std::int32_t a = 0; a < OwnEnd(); a += 2) {
    ProgramWord(static_cast<std::uint16_t>(buffer_[a] | buffer_[a + 1] << 8));
    if (a % 16 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
  }
  FlushCommands();
  ShowProgress(-1);
}

void Flash12Set::Verify() {
  if (!EnterChecked()) return;
  gLink.StatusWord = 0;
  Command(Policy().codes.increment);
  Scan(false);
}

void Flash12Set::Read() {
  if (!EnterChecked()) return;
  Command(Policy().codes.increment);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  for (std::int32_t a = 0; a < row_.lastAddress; a += 2 * kWordsPerReply) {
    ShowProgress(a);
    for (int i = 0; i < kWordsPerReply; ++i) ReadNext();
    ReadReply64(reply);
    std::memcpy(buffer_ + a, reply, 2 * kWordsPerReply);
  }
  for (std::int32_t a = 1; a <= row_.lastAddress; a += 2) buffer_[a] &= 0x0F;
  ShowProgress(-1);
  SuppliesOff();
  AddMessageLine("OK");
}

void Flash12Set::ReadConfig() {
  if (!EnterChecked()) return;
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  const auto config = static_cast<std::uint16_t>(reply[0] | reply[1] << 8);
  SetWord(0, config);
  SetWord(128, config & 3u);
  SuppliesOff();
  char line[32];
  std::snprintf(line, sizeof line, "Config=%04x", config & 0x0F);
  AddMessageLine(line);
  if (!EnterChecked()) return;
  Command(Policy().codes.increment);
  StepToIds();
  for (int i = 0; i < 4; ++i) ReadNext();
  ReadReply64(reply);
  SuppliesOff();
  SetWord(64, static_cast<std::uint32_t>((reply[0] & 15) << 12 | (reply[2] & 15) << 8 |
                                         (reply[4] & 15) << 4 | (reply[6] & 15)));
}

void Flash12Set::Config() {
  // The grid's bits with rows; the oscillator bits from the radio replace bits 0-1.
  const auto c = static_cast<std::uint16_t>((ConfigToWrite() & 0x0FFC) | (Word(128) & 3u));
  if (!EnterChecked()) return;
  ProgramWord(c);  // the address is at the configuration word
  FlushCommands();
  char line[32];
  std::snprintf(line, sizeof line, "%04x OK", c & 0x0F);
  AddMessageLine(line);
  SuppliesOff();
  if (!EnterChecked()) return;
  Command(Policy().codes.increment);
  StepToIds();
  WriteIds(Word(64));
  FlushCommands();
}

}  // namespace zelvar::pic
