#include "algorithms/pic/SAMSUNG3X.h"

#include "algorithms/frame/Waits.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/SmallOtp.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::pic {

namespace {
using namespace small_otp;
constexpr std::uint32_t kBlock = 64;
constexpr const char* kDescribe[] = {"$Fonc:",    "21 Erase",        "22 Blank",
                                     "23 Write",  "24 Verify",       "26 Protect",
                                     "$DisTool:", "25,28,29,30,31,", "$end"};
constexpr const char* kConfig[] = {"0: (只有一种类型)", "n=No read(禁止读),v=1,l=1,a=0,b=0",
                                   "n=Protect(写保护),v=1,l=1,a=0,b=1",
                                   "n=LCD lock(LCD保护),v=1,l=1,a=0,b=2", "$end"};
constexpr const char* kIspLegend =
    "1----SCK\n9----SDT\n7----VCC\n8----VPP\n2----GND\n5----RESET(可选)\nend";
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpLock, kOpRead};
}  // namespace

void SAMSUNG3X::Init() {
  if (!TakeRow(kTypes, kFirstRow)) return;
  PutCmd2(kCmdOutBits, 8);
  PutCmd2(kCmdInBits, 8);
  Services& s = services();
  // "len=" is a byte count.
  last_ = s.ChipParam("len=") - 1;
  SelectGndPin(row_.groundPin);
  vccMillivolts_ = 5000;
  SetVccVoltage(vccMillivolts_);
  vppMillivolts_ = 12000;
  SetVppVoltage(vppMillivolts_);
  const int pkg = s.ChipParam("pkg=");
  if (pkg == 0) s.ShowIspWiring(kIspLegend);
  if (pkg == 16 || pkg == 8) {
    PlacementRequest place;
    place.firstRow = 11;
    place.pins = pkg;
    s.ShowPlacement(place);
  }
}

TypeFacts SAMSUNG3X::Facts() const {
  TypeFacts f = OtpSet::Facts();
  if (!refused()) f.dataStart = static_cast<std::uint32_t>(last_ + 1);
  return f;
}

std::span<const char* const> SAMSUNG3X::DescribeList() const {
  return kDescribe;
}
std::span<const char* const> SAMSUNG3X::ConfigTable() const {
  return kConfig;
}
std::span<const int> SAMSUNG3X::Operations() const {
  return kOps;
}

void SAMSUNG3X::Clock() {
  Line(2, true);
  Line(2, false);
}

void SAMSUNG3X::ShiftByte(std::uint8_t b) {
  for (int i = 7; i >= 0; --i) {
    Line(1, (b >> i & 1) != 0);
    Clock();
  }
}

void SAMSUNG3X::SendByte(std::uint8_t b) {
  ShiftByte(b);
  Clock();  // the ninth clock
  PutCmd1(kCmdPulse);
}

bool SAMSUNG3X::Enter() const {
  if (!CheckPower()) return false;
  for (std::uint8_t l : {2, 3, 1, 4}) Line(l, false);
  SelectVccPin(0);
  frame::QueueDelayTicks(5);
  SelectVccPin(row_.vccPin);
  frame::QueueDelayTicks(5);
  Line(5, true);
  frame::QueueDelayTicks(6);
  Line(5, false);
  Line(3, true);
  SelectVppPin(row_.vppPin);
  frame::QueueDelayTicks(12);
  if (!CheckPower()) return false;
  Line(1, true);
  Line(2, true);
  Line(1, false);
  Line(2, false);
  PutCmd1(kCmdFrame);
  Line(2, true);
  Line(1, true);
  Line(2, false);
  Line(1, false);
  PutCmd1(kCmdMs);
  return true;
}

void SAMSUNG3X::Leave() {
  PutCmd1(kCmdFrame);
  Line(1, true);
  Line(2, true);
  Line(1, false);
  Line(2, false);
  PutCmd1(kCmdFrame);
}

void SAMSUNG3X::ReadPreamble() {
  for (std::uint8_t b : {0x61, 0x00, 0x00}) SendByte(b);
  Line(4, true);
}

void SAMSUNG3X::ReadByte() {
  ShiftByte(0xFF);
  PutCmd1(kCmdSample);
  Clock();
}

void SAMSUNG3X::Scan(const std::uint8_t* want) {
  if (!Enter()) return;
  ReadPreamble();
  std::uint8_t reply[64];
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock; ++i) ReadByte();
    ReadReply64(reply);
    for (std::uint32_t i = 0; i < kBlock; ++i) {
      const std::uint32_t at = static_cast<std::uint32_t>(a) + i;
      if (want == nullptr ? reply[i] < 0xFF : reply[i] != want[at]) {
        Leave();
        Fail(at, reply[i]);
        PowerDown();
        return;
      }
    }
  }
  Leave();
  gLink.StatusWord = 0;
  ShowProgress(-1);
  PowerDown();
}

void SAMSUNG3X::Blank() {
  Scan(nullptr);
}
void SAMSUNG3X::Verify() {
  Scan(buffer_);
}

void SAMSUNG3X::Read() {
  if (!Enter()) return;
  ReadPreamble();
  for (std::int32_t a = 0; a < last_; a += kBlock) {
    ShowProgress(a);
    for (std::uint32_t i = 0; i < kBlock; ++i) ReadByte();
    ReadReply64(buffer_ + a);
  }
  Leave();
  ShowProgress(-1);
  PowerDown();
}

void SAMSUNG3X::Write() {
  if (!Enter()) return;
  for (std::uint8_t b : {0x60, 0x00, 0x00}) SendByte(b);
  frame::QueueDelayTicks(2);
  for (std::int32_t a = 0; a <= last_; ++a) {
    if (a % 16 == 0) {
      ShowProgress(a);
      FlushCommands();
    }
    ShiftByte(buffer_[a]);
    Clock();
    for (int i = 0; i < 4; ++i) PutCmd1(kCmdPulse);
  }
  FlushCommands();
  PowerDown();
  // The written bytes are read back: on the in-system header no contact check finds a missing
  // chip, and nothing else tells a written chip from an empty header.
  Scan(buffer_);
}

void SAMSUNG3X::Erase() {
  if (!Enter()) return;
  for (std::uint8_t b : {0xE0, 0x15, 0x55, 0xAA}) SendByte(b);
  frame::QueueDelayTicks(65);
  Leave();
  PowerDown();
}

void SAMSUNG3X::Lock() {
  const std::uint32_t choices = Word(0);
  for (int bit = 0; bit < 3; ++bit) {
    if ((choices >> bit & 1) == 0) continue;
    if (!Enter()) return;
    for (std::uint8_t b :
         {std::uint8_t{0xE0}, std::uint8_t{0x0E}, ProtectCode(bit), std::uint8_t{0}})
      SendByte(b);
    frame::QueueDelayTicks(10);
    PowerDown();
  }
}

}  // namespace zelvar::pic
