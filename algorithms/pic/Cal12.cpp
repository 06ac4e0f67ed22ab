#include "algorithms/pic/Cal12.h"

#include <algorithm>
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
constexpr const char* kConfigMismatch = "Config verify error! *配置字校验错误!";
}  // namespace

int Cal12Set::ProgramTicks() const {
  return std::max(cal12::kMinTicks, IcspSet::ProgramTicks());
}

void Cal12Set::StepToLastWord() const {
  // One increment to word 0, then one a word up to the last.
  for (std::uint32_t i = 0; i < Words(); ++i) {
    Command(Policy().codes.increment);
    if (i % 64 == 63) FlushCommands();
  }
}

bool Cal12Set::SaveCalibration(std::uint16_t& saved) {
  if (!EnterChecked()) return false;
  StepToLastWord();
  // The word twice, so that a read disturbed on the wire cannot be taken for the value.
  ReadCommand(Policy().codes.readProgram);
  ReadCommand(Policy().codes.readProgram);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  const auto first = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  const auto second = static_cast<std::uint16_t>((reply[2] | reply[3] << 8) & 0xFFF);
  char line[120];
  if (first != second || !cal12::IsMovlw(first)) {
    std::snprintf(line, sizeof line,
                  "Calibration word not valid (%03x/%03x), erase stopped! *校准字无效(%03x/%03x),"
                  "停止擦除!",
                  first, second, first, second);
    AddMessageLine(line);
    gLink.StatusWord = 1;
    gLink.FailAddress = static_cast<std::uint32_t>(row_.lastAddress - 1);
    gLink.FailByte = first & 0xFF;
    return false;
  }
  saved = first;
  std::snprintf(line, sizeof line, "Calibration word %03x saved *校准字%03x已保存", saved, saved);
  AddMessageLine(line);
  return true;
}

bool Cal12Set::RestoreCalibration(std::uint16_t saved) {
  if (!EnterChecked()) return false;
  StepToLastWord();
  ProgramWord(saved);
  FlushCommands();
  SuppliesOff();
  if (!EnterChecked()) return false;
  StepToLastWord();
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  const auto read = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  if (read == saved) return true;
  char line[120];
  std::snprintf(line, sizeof line,
                "Calibration word %03x restored as %03x! *校准字%03x恢复后为%03x!", saved, read,
                saved, read);
  AddMessageLine(line);
  gLink.StatusWord = 1;
  gLink.FailAddress = static_cast<std::uint32_t>(row_.lastAddress - 1);
  gLink.FailByte = read & 0xFF;
  return false;
}

void Cal12Set::Erase() {
  std::uint16_t saved = 0;
  if (!SaveCalibration(saved)) return;
  // From the configuration word: the program memory (the calibration word with it) and the
  // configuration word; the user IDs stay.
  if (!EnterChecked()) return;
  Command(cal12::kBulkErase);
  PutCmd1(kCmdSettle);
  PutCmd1(kCmdSettle);
  FlushCommands();
  SuppliesOff();
  if (!RestoreCalibration(saved)) return;
  ShowProgress(-1);
}

std::uint16_t Cal12Set::ConfigWord() const {
  return static_cast<std::uint16_t>(ConfigToWrite() & 0xFFF);
}

bool Cal12Set::ConfigReadsBack12(std::uint16_t written) {
  if (!EnterChecked()) return false;
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  const auto read = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  if (read == (written & 0xFFF)) return true;
  AddMessageLine(kConfigMismatch);
  gLink.StatusWord = 1;
  gLink.FailAddress = 0xFFF;
  gLink.FailByte = read & 0xFF;
  return false;
}

void Cal12Set::Config() {
  const std::uint16_t c = ConfigWord();
  if (!EnterChecked()) return;
  ProgramWord(c);  // the address is at the configuration word; afterwards at word 0
  // From word 0 to the first user ID.
  for (std::uint32_t i = 0; i < Words(); ++i) {
    Command(Policy().codes.increment);
    if (i % 64 == 63) FlushCommands();
  }
  WriteIds(Word(64));
  FlushCommands();
  SuppliesOff();
  if (!ConfigReadsBack12(c)) return;
  LogConfigWritten(c);
}

void Cal12Set::LogConfigRead(std::uint16_t config, std::uint16_t /*id*/) const {
  char line[32];
  std::snprintf(line, sizeof line, "Config = %04x", config);
  AddMessageLine(line);
}

void Cal12Set::ReadConfig() {
  if (!EnterChecked()) return;
  ReadNext();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  // The whole word: bits 8-11 carry code protection on some parts.
  const auto config = static_cast<std::uint16_t>((reply[0] | reply[1] << 8) & 0xFFF);
  StepToIds();
  for (int i = 0; i < 4; ++i) ReadNext();
  ReadReply64(reply);
  SuppliesOff();
  const auto id = static_cast<std::uint16_t>((reply[0] & 15) << 12 | (reply[2] & 15) << 8 |
                                             (reply[4] & 15) << 4 | (reply[6] & 15));
  SetWord(0, config);
  SetWord(64, id);
  SetWord(128, RadioOf(config));
  LogConfigRead(config, id);
}

}  // namespace zelvar::pic
