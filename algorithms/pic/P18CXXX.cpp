#include "algorithms/pic/P18CXXX.h"

#include <cstdio>
#include <cstring>
#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/Pic18.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace zelvar::pic18;

using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
// Program memory as far as the buffer's first 2 MB.
constexpr std::uint32_t kMaxCode = 0x200000;
constexpr std::uint32_t kConfigAddress = 0x300000;
constexpr int kBlock = 64;
}  // namespace

void P18CXXX::CheckRow(const McuType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const McuPackage& p : p18c::kPackages) r.bitstreams.emplace_back(p.bitstream);
}

void P18CXXX::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()), 0)) return;
  row_ = kTypes[0];
  Services& s = services();
  const int fla = s.ChipParam("fla=");
  if (fla <= 0) return Refuse(kNoFla);
  if (static_cast<std::uint32_t>(fla) > kMaxCode) return Refuse(kTooLarge);
  row_.lastAddress = fla - 1;
  row_.eepromLast = -1;
  delay_ = s.ChipParam("dly=");
  const McuPackage* chosen = PackageFor(s.ChipParam("pkg="));
  // A package without wiring would put the programming voltage on whatever pin the row names.
  if (chosen == nullptr) return Refuse(kNoPackage);
  UsePackage(*chosen);
  row_.contactMask = ContactPins(p18c::kContact, s.ChipParam("pm="));
  // The set's own programming voltage: without it VPP stays at whatever the last set left.
  SetUpSupplies(ChipVccMillivolts(), p18c::kVppMillivolts);
}

// --- The engine's steps.

void P18CXXX::Send(std::uint8_t command, std::uint16_t operand) const {
  WriteFpgaReg18(kLatch);
  WritePort(kPortCommand, command);
  WritePort(kPortLow, static_cast<std::uint8_t>(operand & 0xFF));
  WritePort(kPortHigh, static_cast<std::uint8_t>(operand >> 8));
  WriteFpgaReg18(kLatch | kStrobe);
  PutCmd1(kCmdIdle);
  WriteFpgaReg18(kLatch);
}

void P18CXXX::ClockIn(std::uint8_t command) const {
  WriteFpgaReg18(kLatch);
  WritePort(kPortCommand, command);
  WriteFpgaReg18(kLatch | kStrobe);
  PutCmd1(kCmdIdle);
  PutCmd1(kCmdReadBack);
  WriteFpgaReg18(kLatch);
}

void P18CXXX::TablePointer(std::uint32_t a) const {
  WriteFpgaReg18(kDirection | kStrobe);
  Send(kCore, static_cast<std::uint16_t>(0x0E00 | (a >> 16 & 0xFF)));  // MOVLW upper
  Send(kCore, 0x6EF8);                                                 // MOVWF TBLPTRU
  Send(kCore, static_cast<std::uint16_t>(0x0E00 | (a >> 8 & 0xFF)));   // MOVLW high
  Send(kCore, 0x6EF7);                                                 // MOVWF TBLPTRH
  Send(kCore, static_cast<std::uint16_t>(0x0E00 | (a & 0xFF)));        // MOVLW low
  Send(kCore, 0x6EF6);                                                 // MOVWF TBLPTRL
}

void P18CXXX::Pulse() const {
  WriteFpgaReg18(kHold | kStrobe);
  WriteFpgaReg18(kLatch);
  WritePort(kPortCommand, 0);
  WritePort(kPortLow, 0);
  WritePort(kPortHigh, 0);
  WriteFpgaReg18(kLatch | kStrobe);
  for (int i = 0; i < delay_; ++i) PutCmd1(kCmdTick);
  WriteFpgaReg18(kHold);
  WriteFpgaReg18(kLatch);
  PutCmd1(kCmdIdle);
}

void P18CXXX::ProgramWord(std::uint8_t low, std::uint8_t high) const {
  Send(kTableWritePostInc2, static_cast<std::uint16_t>(high << 8 | low));
  Pulse();
  Send(kTableWritePostInc2, 0xFFFF);
}

void P18CXXX::Enter() const {
  gLink.StatusWord = 0;
  SelectVccPin(0);
  PutCmd1(pic18::kCmdSettle);
  WriteFpgaReg18(kDirection);
  WriteFpgaReg18(kDirection | kStrobe);
  Send(kCore, 0x0000);
  WriteFpgaReg18(kDirection);
  WriteFpgaReg18(kLatch);
  WriteFpgaReg18(kHold);
  SelectVccPin(row_.vccPin);
  SelectVppPin(row_.vppPin);
  PutCmd1(kCmdEraseWait);
}

bool P18CXXX::ScanCode(Scan kind) {
  Enter();
  TablePointer(0);
  WriteFpgaReg18(kDirection);
  const auto last = static_cast<std::uint32_t>(row_.lastAddress);
  return ScanBlocks(kind, 0, last, kBlock, [this](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < kBlock; ++i) ClockIn(kTableReadPostInc);
    ReadReply64(gLink.ScratchBuffer.data());
    std::memcpy(dest, gLink.ScratchBuffer.data(), kBlock);
  });
}

// --- The handlers.

void P18CXXX::Blank() {
  if (ScanCode(Scan::Blank)) FinishScan();
  SuppliesOff();
}

void P18CXXX::Verify() {
  if (ScanCode(Scan::Verify)) FinishScan();
  SuppliesOff();
}

void P18CXXX::Read() {
  ScanCode(Scan::Read);
  ShowProgress(-1);
  SuppliesOff();
  AddMessageLine("OK");
}

void P18CXXX::Write() {
  if (!EnterChecked()) return;
  WriteFpgaReg18(kDirection | kStrobe);
  FlushCommands();
  TablePointer(0);
  for (std::int32_t i = 0; i <= row_.lastAddress; i += 2) {
    ProgramWord(buffer_[i], buffer_[i + 1]);
    if (i % 256 == 0) {
      ShowProgress(i);
      FlushCommands();
    }
  }
  FlushCommands();
  ShowProgress(-1);
  SuppliesOff();
}

void P18CXXX::Config() {
  if (!EnterChecked()) return;
  WriteFpgaReg18(kDirection | kStrobe);
  TablePointer(kConfigAddress);
  std::uint8_t image[16];
  for (int i = 0; i < 16; ++i) image[i] = static_cast<std::uint8_t>(Word(i) & 0xFF);
  for (int i = 0; i < 16; i += 2) ProgramWord(image[i], image[i + 1]);
  SuppliesOff();
  FlushCommands();
}

void P18CXXX::ReadConfig() {
  Enter();
  TablePointer(kConfigAddress);
  WriteFpgaReg18(kDirection);
  for (int i = 0; i < 16; ++i) ClockIn(kTableReadPostInc);
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  SuppliesOff();
  std::string line;
  char item[8];
  for (int i = 0; i < 16; ++i) {
    SetWord(i, reply[i]);
    std::snprintf(item, sizeof item, "%02x,", reply[i]);
    line += item;
  }
  AddMessageLine(line.c_str());
}

}  // namespace zelvar::pic
