#include "algorithms/mcs51/W79E82ISP.h"

#include <cstdio>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
// The logic's command bytes.
constexpr std::uint8_t kCmdTake = 1, kCmdBit0 = 96, kCmdBit1 = 97, kCmdStrobeStep = 98,
                       kCmdIdle = 99, kCmdStrobe = 100, kCmdEntry = 101, kCmdByte = 102,
                       kCmdStep = 25, kCmdWait = 26, kCmdClose = 27, kCmdEraseWait = 28;
// The chip's commands as the logic takes them.
constexpr std::uint8_t kRead = 0, kProgram = 0x21, kErase = 0x26, kReadData = 0x40,
                       kProgramData = 0x61, kReadMaker = 11, kReadDevice = 12;
constexpr std::uint8_t kEntryCode[] = {0xA5, 0xC3};
constexpr std::uint8_t kMakerCode = 0xDA;
constexpr int kCheckMillivolts = 3300, kProgramMillivolts = 5000, kVppMillivolts = 10500;

void SendByte(std::uint8_t b) {
  PutCmd2(kCmdByte, b);
}
void Command(std::uint16_t address, std::uint8_t command) {
  SendByte(static_cast<std::uint8_t>(address >> 8));
  SendByte(static_cast<std::uint8_t>(address & 0xFF));
  for (int bit = 6; bit >= 0; --bit) PutCmd1((command >> bit) & 1 ? kCmdBit1 : kCmdBit0);
}
void ReadStep() {
  SendByte(0xFF);
  PutCmd1(kCmdTake);
  PutCmd1(kCmdBit0);
}
void WriteStep(std::uint8_t b) {
  SendByte(b);
  for (std::uint8_t c : {kCmdStrobe, kCmdStrobeStep, kCmdStep, kCmdIdle}) PutCmd1(c);
}
}  // namespace

void W79E82ISP::CheckRow(const IcpType& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) return;
  r.bitstreams.emplace_back(t.bitstream);
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"VPP", t.vppPin}}, {}, 48);
  r.MaskInSocket(t.contactMask, 48);
  if (t.groundPin == 0 && t.contactMask != 0) r.Fault("contact pins on the header row");
}

std::span<const char* const> W79E82ISP::DescribeList() const {
  if (dataLength_ == 0) return w79e82isp::kDescribe;
  return w79e82isp::kDescribeData;
}

void W79E82ISP::Init() {
  BeginSetup();
  dataLength_ = 0;
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  const IcpType& row = Row();
  if (row.bitstream == nullptr) {
    Refuse(frame::kNoSuchType);
    return;
  }
  Services& s = services();
  const int length = s.ChipParam("len=");
  if (length <= 0) {
    Refuse(frame::kNoLength);
    return;
  }
  LoadBitstream(row.bitstream);
  if (gApp.TypeIndex <= 1) {
    const int pkg = s.ChipParam("pkg=");
    const char* legend = nullptr;
    if (pkg == 0)
      legend =
          "1----Clock to pin16(P0.5)\n9----Data  to pin17(P0.4)\n7----VDD   to pin15(VDD)\n"
          "8----VPP   to pin4(RST/P1.5) \n2----GND   to pin5(VSS)\nend";
    if (pkg == 1)
      legend =
          "1----Clock to pin19(P1.7)\n9----Data  to pin18(P1.6)\n7----VDD   to pin20(VDD)\n"
          "8----VPP   to pin1(MODE/RST) \n2----GND   to pin10(VSS)\nend";
    if (pkg == 28)
      legend =
          "1----Clock to pin22(P0.5)\n9----Data  to pin23(P0.4)\n7----VDD   to pin21(VDD)\n"
          "8----VPP   to pin6(RST/P1.5) \n2----GND   to pin7(VSS)\nend";
    if (pkg == 48)
      legend =
          "1----Clock to pin32(P0.5)\n9----Data  to pin33(P0.4)\n7----VDD   to pin30(VDD)\n"
          "8----VPP   to pin4(RST/P1.5) \n2----GND   to pin6(VSS)\nend";
    if (legend) s.ShowIspWiring(legend);
  }
  lastAddress_ = static_cast<std::uint32_t>(length - 1);
  const int ee = s.ChipParam("ee=");
  dataLength_ = ee > 0 ? static_cast<std::uint32_t>(ee) : 0;
  const int cfa = s.ChipParam("cfa=");
  configAddress_ = cfa > 0 ? static_cast<std::uint16_t>(cfa) : 0xFD00;
  gApp.GroundPin = row.groundPin;
  gApp.PinMask = row.contactMask;
  gMcs51.ChipVccPin = row.vccPin;
  gMcs51.ChipVppPin = row.vppPin;
  vppMillivolts_ = kVppMillivolts;
  SetVppVoltage(vppMillivolts_);
  SelectVppPin(0);
  SelectGndPin(row.groundPin);
  vccMillivolts_ = ChipVccMillivolts();
  SetVccVoltage(vccMillivolts_);
}

void W79E82ISP::Enter() const {
  gLink.StatusWord = 0;
  PutCmd1(kCmdEntry);
  PutCmd1(kCmdIdle);
  SelectVccPin(Row().vccPin);
  SelectVppPin(Row().vppPin);
  PutCmd1(kCmdWait);
  for (std::uint8_t b : kEntryCode) SendByte(b);
  PutCmd1(kCmdStep);
  FlushCommands();
}

bool W79E82ISP::CheckChip() {
  SetVccVoltage(kCheckMillivolts);
  Enter();
  Command(0, kReadMaker);
  SendByte(0xFF);
  PutCmd1(kCmdTake);
  Command(0, kReadDevice);
  ReadStep();
  Command(1, kReadDevice);
  ReadStep();
  std::uint8_t* reply = gLink.ScratchBuffer.data();
  ReadReply64(reply);
  gApp.ReadId = {reply[0], reply[1], reply[2], 0};
  SuppliesOff();
  if (gApp.ReadId[0] == kMakerCode) return true;
  AddMessageLine("Pin connection error! *器件连接错误!");
  gLink.StatusWord = 1;
  return false;
}

// 64-byte blocks of chip addresses first .. end - 1 straight into the buffer at their addresses.
void W79E82ISP::ReadBlocks(std::uint32_t first, std::uint32_t end) {
  for (std::uint32_t a = first; a < end && a + 64 <= kCodeBufferSize; a += 64) {
    for (int i = 0; i < 64; ++i) ReadStep();
    FlushCommands();
    ReadReply64(buffer_ + a);
  }
}

void W79E82ISP::Read() {
  if (!CheckChip()) return;
  SetVccVoltage(vccMillivolts_);
  Enter();
  if (!CheckPower()) return;
  Command(0, kRead);
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < 64; ++i) ReadStep();
    FlushCommands();
    ReadReply64(dest);
  };
  ScanBlocks(Mcs51Set::Scan::Read, 0, lastAddress_, 64, fetch);
  if (dataLength_ > 0) {
    Command(kIcpDataStart, kRead);
    ReadBlocks(kIcpDataStart, kIcpDataStart + dataLength_);
  }
  FinishScan();
}

void W79E82ISP::ReadData() {
  if (!CheckChip()) return;
  SetVccVoltage(vccMillivolts_);
  Enter();
  ShowProgress(0);
  Command(kIcpDataStart, kReadData);
  ReadBlocks(kIcpDataStart, kIcpDataStart + dataLength_);
  ShowProgress(-1);
}

bool W79E82ISP::Scan(Mcs51Set::Scan kind) {
  if (!CheckChip()) return false;
  SetVccVoltage(vccMillivolts_);
  Enter();
  if (!CheckPower()) return false;
  Command(0, kRead);
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) {
    for (int i = 0; i < 64; ++i) ReadStep();
    FlushCommands();
    ReadReply64(dest);
  };
  if (!ScanBlocks(kind, 0, lastAddress_, 64, fetch)) return false;
  FinishScan();
  return true;
}

void W79E82ISP::Blank() {
  Scan(Mcs51Set::Scan::Blank);
}

void W79E82ISP::Verify() {
  Scan(Mcs51Set::Scan::Verify);
}

// Flushed every 16 bytes, code and data alike: the queue holds 64 KB, which a large data area
// would overrun in one go.
void W79E82ISP::WriteBytes(std::uint32_t first, std::uint32_t count, bool progress) {
  for (std::uint32_t i = 0; i < count && first + i < kCodeBufferSize; ++i) {
    if (i % 16 == 0) {
      if (progress) ShowProgress(static_cast<int>(i));
      FlushCommands();
    }
    WriteStep(buffer_[first + i]);
  }
  FlushCommands();
}

void W79E82ISP::Write() {
  if (!CheckChip()) return;
  SetVccVoltage(kProgramMillivolts);
  Enter();
  if (!CheckPower()) return;
  Command(0, kProgram);
  WriteBytes(0, lastAddress_ + 1, true);
  ShowProgress(-1);
}

void W79E82ISP::WriteData() {
  if (!CheckChip()) return;
  SetVccVoltage(kProgramMillivolts);
  Enter();
  if (!CheckPower()) return;
  ShowProgress(0);
  Command(kIcpDataStart, kProgramData);
  WriteBytes(kIcpDataStart, dataLength_, false);
  ShowProgress(-1);
}

void W79E82ISP::Erase() {
  SetVccVoltage(kProgramMillivolts);
  Enter();
  Command(0, kErase);
  SendByte(0xFF);
  for (std::uint8_t c : {kCmdStrobe, kCmdStrobeStep, kCmdEraseWait, kCmdIdle}) PutCmd1(c);
  FlushCommands();
}

void W79E82ISP::ReadId() {
  CheckChip();
  char line[48];
  std::snprintf(line, sizeof line, "MFA=%02x,%02x,%02x", gApp.ReadId[0], gApp.ReadId[1],
                gApp.ReadId[2]);
  AddMessageLine(line);
}

void W79E82ISP::ReadConfig() {
  SetVccVoltage(vccMillivolts_);
  Enter();
  Command(configAddress_, kRead);
  ReadStep();
  ReadStep();
  FlushCommands();
  std::uint8_t* cfg = gLink.ScratchBuffer.data();
  ReadReply64(cfg);
  SuppliesOff();
  char line[48];
  std::snprintf(line, sizeof line, "Config1=%02x,Config2=%02x", cfg[0], cfg[1]);
  AddMessageLine(line);
  SetWord(0, cfg[0]);
  SetWord(1, cfg[1]);
}

void W79E82ISP::Config() {
  const auto c0 = static_cast<std::uint8_t>(Word(0)), c1 = static_cast<std::uint8_t>(Word(1));
  SetVccVoltage(kProgramMillivolts);
  Enter();
  Command(configAddress_, kProgram);
  WriteStep(c0);
  WriteStep(c1);
  PutCmd1(kCmdClose);
  FlushCommands();
}

}  // namespace zelvar::mcs51
