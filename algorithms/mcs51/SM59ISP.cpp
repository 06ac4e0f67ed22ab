#include "algorithms/mcs51/SM59ISP.h"

#include "algorithms/frame/Waits.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::mcs51 {

namespace {
using frame::QueueDelayTicks;
// The designs' commands: a handshake step, a short wait, the settle, the clock dividers.
constexpr std::uint8_t kCmdStep = 0, kCmdShortWait = 25, kCmdSettle = 27, kCmdDividerA = 74,
                       kCmdDividerB = 75;
constexpr std::uint8_t kEntryCode[] = {0x53, 0x4D, 0x35, 0x39, 0x49, 0x53};
constexpr int kVccMillivolts = 5000;
constexpr const char* kNoTransfer =
    "Read and Write are not offered for this chip! *此器件不提供读写!";

void Line(int v) {
  WriteFpgaRegister(18, static_cast<std::uint8_t>(v));
}
void LineHigh(int v) {
  WriteFpgaRegister(18, static_cast<std::uint8_t>(v | 0x80));
}
void SendIspByte(std::uint8_t b) {
  Line(2);
  WritePort(0, b);
  LineHigh(2);
  PutCmd1(kCmdStep);
}
void ReadCommand() {
  SendIspByte(0x61);
  SendIspByte(0);
  SendIspByte(0);
  LineHigh(1);
}
}  // namespace

void CheckSm59IspRow(const Sm59IspType& t, TypeTableReport& r) {
  if (t.bitstream == nullptr) return;
  r.bitstreams.emplace_back(t.bitstream);
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"ground", t.groundPin}}, {}, 40);
}

void SM59ISP::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(kTypes.size()))) return;
  const int length = services().ChipParam("len=");
  if (length <= 0) {
    Refuse(frame::kNoLength);
    return;
  }
  LoadBitstream(Row().bitstream);
  // The dividers are the loaded design's own: they follow its bitstream.
  PutCmd2(kCmdDividerA, 8);
  PutCmd2(kCmdDividerB, 8);
  lastAddress_ = static_cast<std::uint32_t>(length - 1);
  gApp.GroundPin = Row().groundPin;
  gApp.PinMask = 0;
  gMcs51.ChipVccPin = Row().vccPin;
  gMcs51.ChipVppPin = 0;
  SelectGndPin(Row().groundPin);
  vccMillivolts_ = kVccMillivolts;
  vppMillivolts_ = 0;
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
}

void SM59ISP::EnterIsp() const {
  SelectVccPin(0);
  Line(6);
  PutCmd1(kCmdSettle);
  Line(1);
  LineHigh(5);
  PutCmd1(kCmdShortWait);
  SelectVccPin(Row().vccPin);
  LineHigh(4);
  QueueDelayTicks(10);
  LineHigh(6);
  QueueDelayTicks(20);
  Line(4);
  PutCmd1(kCmdShortWait);
  Line(5);
  for (std::uint8_t b : kEntryCode) SendIspByte(b);
  SendIspByte(0x60);
  SendIspByte(0xFF);
  Line(1);
  QueueDelayTicks(1);
  FlushCommands();
}

void SM59ISP::ReadId() {
  EnterIsp();
  SelectVccPin(0);
}

void SM59ISP::Erase() {
  SelectVccPin(Row().vccPin);
  QueueDelayTicks(30);
  Line(4);
  QueueDelayTicks(1);
  for (std::uint8_t b : kEntryCode) SendIspByte(b);
  SendIspByte(0x61);
  for (std::uint8_t k = 0; k < 3; ++k) {
    QueueDelayTicks(4);
    SendIspByte(static_cast<std::uint8_t>(0x60 + k));
    SendIspByte(0x55);
  }
  QueueDelayTicks(10);
  SendIspByte(0x63);
  SendIspByte(0x55);
  QueueDelayTicks(10);
  SendIspByte(0x64);
  SendIspByte(0);
  QueueDelayTicks(10);
  SendIspByte(0x94);
  LineHigh(1);
  SendIspByte(0xFF);
  QueueDelayTicks(10);
  SelectVccPin(0);
  FlushCommands();
}

bool SM59ISP::Scan(Mcs51Set::Scan kind) {
  EnterIsp();
  ReadCommand();
  const Fetch fetch = [](std::uint32_t, std::uint8_t* dest) { ReadReply64(dest); };
  if (!ScanBlocks(kind, 0, lastAddress_, 64, fetch)) return false;
  FinishScan();
  return true;
}

void SM59ISP::Blank() {
  Scan(Mcs51Set::Scan::Blank);
}

void SM59ISP::Verify() {
  Scan(Mcs51Set::Scan::Verify);
}

// Neither moves a byte through these designs: refused rather than reported as done.
void SM59ISP::Read() {
  AddMessageLine(kNoTransfer);
  gLink.StatusWord = 1;
}

void SM59ISP::Write() {
  AddMessageLine(kNoTransfer);
  gLink.StatusWord = 1;
}

}  // namespace zelvar::mcs51
