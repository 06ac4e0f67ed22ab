#include "algorithms/pic/P17C4X.h"

#include <cstdio>
#include <cstring>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
// The design's lines (FPGA register 18: the line's number, bit 7 its level) and bytes.
constexpr std::uint8_t kHigh = 0x80;
constexpr std::uint8_t kPulseLine = 2, kClockLine = 3, kBusLine = 4, kModeLine = 5;
constexpr std::uint8_t kCmdSampleHigh = 1, kCmdSampleLow = 2, kCmdTick = 26, kCmdSettle = 27;
constexpr std::uint8_t kPortHigh = 0, kPortLow = 1;

using line_refusal::kNoFla;
using line_refusal::kNoPackage;
using line_refusal::kTooLarge;
constexpr int kBlock = 64;
}  // namespace

void P17C4X::CheckRow(const McuType& t, TypeTableReport& r) {
  CheckMcuRow(t, r);
  for (const McuPackage& p : p17::kPackages) r.bitstreams.emplace_back(p.bitstream);
  r.bitstreams.emplace_back(p17::kPackages6300[0].bitstream);
}

std::array<bool, 16> P17C4X::ConfigFlags(std::uint32_t word0, std::uint32_t word1) {
  std::array<bool, 16> flags;
  flags.fill(true);
  // A configuration bit reads 0 once its location is programmed, so a bit the words hold at 0 is
  // the one to program: "LF" (FOSC1:0 00) must not stay erased and arrive as EC (11).
  flags[0] = (word0 & 1) == 0;
  flags[1] = (word0 >> 1 & 1) == 0;
  // The grid rows of WDTBS0/1, PM0, bit 5, PM1 and PM2 and the postscaler radio set word 1.
  for (int k : {2, 3, 4, 5, 6, 15}) flags[static_cast<std::size_t>(k)] = (word1 >> k & 1) == 0;
  return flags;
}

std::span<const McuPackage> P17C4X::Packages() const {
  if (gLink.ModelNumber >= 6300) return p17::kPackages6300;
  return p17::kPackages;
}

void P17C4X::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()), 0)) return;
  row_ = kTypes[0];
  Services& s = services();
  const int fla = s.ChipParam("fla=");
  if (fla <= 0) return Refuse(kNoFla);
  // The words end below the buffer's data area.
  if (static_cast<std::uint32_t>(fla) * 2 > kDataStart) return Refuse(kTooLarge);
  row_.lastAddress = fla * 2 - 1;
  row_.eepromLast = -1;
  delay_ = s.ChipParam("dly=");
  const McuPackage* chosen = PackageFor(s.ChipParam("pkg="));
  // A package without wiring would put the programming voltage on whatever pin the row names.
  if (chosen == nullptr) return Refuse(kNoPackage);
  UsePackage(*chosen);
  row_.contactMask = ContactPins(p17::kContact, s.ChipParam("pm="));
  // The set's own programming voltage: without it VPP stays at whatever the last set left.
  SetUpSupplies(ChipVccMillivolts(), p17::kVppMillivolts);
}

// --- The engine's steps.

void P17C4X::Strobe(std::uint8_t line, int times) {
  for (int i = 0; i < times; ++i) {
    WriteFpgaReg18Bit7(line);
    WriteFpgaReg18(line);
  }
}

void P17C4X::SetAddress(std::uint16_t a) {
  WriteFpgaReg18Bit7(kBusLine);
  WritePort(kPortHigh, static_cast<std::uint8_t>(a >> 8));
  WritePort(kPortLow, static_cast<std::uint8_t>(a & 0xFF));
  WriteFpgaReg18Bit7(kClockLine);
  WriteFpgaReg18(kClockLine);
}

void P17C4X::ReadWord() {
  Strobe(kClockLine, 1);
  PutCmd1(kCmdSampleLow);
  PutCmd1(kCmdSampleHigh);
  Strobe(kClockLine, 2);
}

void P17C4X::Enter() const {
  gLink.StatusWord = 0;
  SelectVccPin(0);
  PutCmd1(kCmdSettle);
  WriteFpgaReg18Bit7(kBusLine);
  WriteFpgaReg18(kPulseLine);
  WriteFpgaReg18(kClockLine);
  WritePort(kPortHigh, 0xE1);
  SelectVccPin(row_.vccPin);
  PutCmd1(kCmdTick);
  WriteFpgaReg18(kModeLine | kHigh);
  SelectVppPin(row_.vppPin);
  PutCmd1(kCmdTick);
}

bool P17C4X::ScanCode(Scan kind) {
  Enter();
  SetAddress(0);
  WriteFpgaReg18(kBusLine);
  const auto last = static_cast<std::uint32_t>(row_.lastAddress);
  const bool passed = ScanBlocks(kind, 0, last, kBlock, [](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < kBlock / 2; ++i) ReadWord();
    ReadReply64(gLink.ScratchBuffer.data());
    std::memcpy(dest, gLink.ScratchBuffer.data(), kBlock);
  });
  WriteFpgaReg18(kModeLine);
  return passed;
}

// --- The handlers.

void P17C4X::Blank() {
  if (ScanCode(Scan::Blank)) FinishScan();
  SuppliesOff();
}

void P17C4X::Verify() {
  if (ScanCode(Scan::Verify)) FinishScan();
  SuppliesOff();
}

void P17C4X::Read() {
  ScanCode(Scan::Read);
  ShowProgress(-1);
  SuppliesOff();
}

void P17C4X::Write() {
  // A weak supply would leave the chip unwritten and the write reported as passed.
  if (!EnterChecked()) return;
  SetAddress(0);
  Strobe(kClockLine, 2);
  for (std::int32_t i = 0; i < row_.lastAddress; i += 2) {
    WriteFpgaReg18Bit7(kBusLine);
    WritePort(kPortHigh, buffer_[i + 1]);
    WritePort(kPortLow, buffer_[i]);
    WriteFpgaReg18Bit7(kPulseLine);
    PutCmd1(kCmdTick);
    WriteFpgaReg18(kPulseLine);
    WriteFpgaReg18(kBusLine);
    Strobe(kClockLine, 3);
    if (i % 16 == 0) {
      FlushCommands();
      ShowProgress(i);
    }
  }
  FlushCommands();
  ShowProgress(-1);
  WriteFpgaReg18(kModeLine);
  SuppliesOff();
}

void P17C4X::Config() {
  const std::array<bool, 16> flags = ConfigFlags(Word(0), Word(1));
  if (!EnterChecked()) return;
  SetAddress(p17::kConfigAddress);
  Strobe(kClockLine, 2);
  WritePort(kPortHigh, 0xFF);
  WritePort(kPortLow, 0);
  for (bool program : flags) {
    WriteFpgaReg18Bit7(kBusLine);
    if (program) {
      WriteFpgaReg18Bit7(kPulseLine);
      PutCmd1(kCmdTick);
      WriteFpgaReg18(kPulseLine);
    }
    PutCmd1(kCmdTick);
    WriteFpgaReg18(kBusLine);
    Strobe(kClockLine, 3);
  }
  WriteFpgaReg18(kModeLine);
  SuppliesOff();
  FlushCommands();
}

void P17C4X::ReadConfig() {
  Enter();
  SetAddress(p17::kConfigAddress);
  WriteFpgaReg18(kBusLine);
  for (int i = 0; i < 16; ++i) ReadWord();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  WriteFpgaReg18(kModeLine);
  SuppliesOff();
  // FE00h-FE07h give bits 7-0 of the configuration, FE08h-FE0Fh bits 15-8: PM2 in bit 7.
  const auto config = static_cast<std::uint32_t>((reply[0] & 0x7F) | (reply[16] & 0x80));
  char line[32];
  std::snprintf(line, sizeof line, "Config:%02x", config);
  AddMessageLine(line);
  SetWord(0, config);
  // Word 1 in the grid's places: bits 2-6 as read, PM2 in bit 15.
  SetWord(1, (config & 0x7C) | (config & 0x80) << 8);
}

}  // namespace zelvar::pic
