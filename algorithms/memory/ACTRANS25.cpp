#include "algorithms/memory/ACTRANS25.h"

#include <algorithm>
#include <cstdio>

#include "algorithms/memory/SpiEngine.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "link/commands/At25spi.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
using frame::kBadPage;
using frame::kNoSuchType;
constexpr const char* kSocketDesign = "at25spi.bit";
constexpr const char* kHeaderDesign = "at25isp.bit";
constexpr const char* kHeaderLegend =
    "1----C(6)\n3----Q(2)\n5----S(1)\n9----D(5)\n7----VCC(8),W(3)\n2----VSS(4)\nend";
constexpr std::uint8_t kHeaderVccPin = 22;

constexpr const char* kBadSize =
    "Chip size (len=) must be a power of two up to 16 MB! *器件容量(len=)必须是2的幂且不超过16MB!";
constexpr const char* kNoErase = "This type has no chip erase! *此类型不能整片擦除!";
constexpr const char* kStillBusy = "The chip stays busy! *芯片一直忙!";

constexpr std::uint32_t kBlockBytes = 64;
constexpr std::uint32_t kMaxSize = 0x1000000;
constexpr int kAdjustWord = 128;
// "Lower", "Nomal" and "Hight" move the line's VCC by 0.8 V, but never out of the supply range
// of the chip's family: 2.7-3.6 V for 3.3 V SPI flash (W25X10, AT25F512A datasheets), 4.5-5.5 V
// for 5 V parts. A VCC in neither family is not adjusted.
constexpr int kAdjustStep = 800;
struct VccFamily {
  int low, high;
};
constexpr VccFamily kVccFamilies[] = {{2700, 3600}, {4500, 5500}};
constexpr std::uint8_t kStatusBits = 0x8C;  // BP0, BP1, status protect
constexpr std::uint8_t kBusy = 0x01;
constexpr std::uint8_t kReadId = 0x90;
// Busy polls, each after the design's 100 ms wait: a chip erase takes seconds.
constexpr int kReadyPolls = 200;

bool PowerOfTwo(std::uint32_t v) {
  return v != 0 && (v & (v - 1)) == 0;
}

// The VCC of "Adjust VCC" choice `choice` (0 "Lower", 1 "Nomal", 2 "Hight") for a line's VCC.
int AdjustedVccMillivolts(int lineMillivolts, std::uint32_t choice) {
  if (choice == 1) return lineMillivolts;
  for (const VccFamily& f : kVccFamilies) {
    if (lineMillivolts < f.low || lineMillivolts > f.high) continue;
    return choice == 0 ? std::max(lineMillivolts - kAdjustStep, f.low)
                       : std::min(lineMillivolts + kAdjustStep, f.high);
  }
  return lineMillivolts;
}
}  // namespace

void ACTRANS25::Init() {
  ClearRefusal();
  contactMask_ = 0;
  if (gApp.TypeIndex < 1 || gApp.TypeIndex >= static_cast<int>(kTypes.size())) {
    Refuse(kNoSuchType);
    return;
  }
  const SpiType& t = Type();
  if (services().ChipParam("isp=") != 0) {
    services().ShowIspWiring(kHeaderLegend);
    LoadBitstream(kHeaderDesign);
    vccPin_ = kHeaderVccPin;
    gndPin_ = 0;
  } else {
    LoadBitstream(kSocketDesign);
    vccPin_ = t.vccPin;
    gndPin_ = t.gndPin;
    contactMask_ = t.contactMask;
  }
  // Queued after the load: the load's register write would hand them to the old design.
  SpiEngine::Setup();
  const int len = services().ChipParam("len=");
  const int pag = services().ChipParam("pag=");
  const int dly = services().ChipParam("dly=");
  const int era = services().ChipParam("era=");
  size_ = len > 0 ? static_cast<std::uint32_t>(len) : 0;
  page_ = pag > 0 ? static_cast<std::uint32_t>(pag) : 0;
  delay_ = dly > 0 ? static_cast<std::uint32_t>(dly) : 0;
  eraseSteps_ = (era > 0 ? static_cast<std::uint32_t>(era) : 0) / 10 + 1;
  SelectGndPin(gndPin_);
  vccMillivolts_ = ChipVccMillivolts();
  SetVppVoltage(0);
  if (!PowerOfTwo(size_) || size_ > kMaxSize) {
    contactMask_ = 0;
    Refuse(kBadSize);
  } else if (!PowerOfTwo(page_) || page_ > size_) {
    // A page of 0 would never advance the write; one that is no power of two crosses pages.
    contactMask_ = 0;
    Refuse(kBadPage);
  }
}

TypeFacts ACTRANS25::Facts() const {
  // The last address, not the size: the buffer view and the checksum end there.
  return {
      .lastAddress = size_ > 0 ? size_ - 1 : 0, .contactMask = contactMask_, .groundPin = gndPin_};
}

bool ACTRANS25::Offers(int op) const {
  switch (op) {
    case kOpUnProtect:
    case kOpErase:
    case kOpBlank:
    case kOpWrite:
    case kOpVerify:
    case kOpConfig:
    case kOpRead:
    case kOpReadId:
    case kOpReadConfig:
      return true;
    default:
      return false;
  }
}

void ACTRANS25::Handle(int op) {
  switch (op) {
    case kOpUnProtect:
      WriteStatus(0, false);
      break;
    case kOpErase:
      Erase();
      break;
    case kOpBlank:
      Scan(ScanMode::kBlank);
      break;
    case kOpWrite:
      Write();
      break;
    case kOpVerify:
      Scan(ScanMode::kVerify);
      break;
    case kOpConfig:
      WriteStatus(static_cast<std::uint8_t>(Word(0) & 0xFF), true);
      break;
    case kOpRead:
      Scan(ScanMode::kRead);
      break;
    case kOpReadId:
      ReadId();
      break;
    case kOpReadConfig:
      ReadStatus();
      break;
    default:
      break;
  }
}

// "Adjust VCC" is read here, at each operation: set-up runs before the options are applied.
bool ACTRANS25::PowerUp(bool check) const {
  SpiEngine::Idle();
  PutCmd1(kCmdSettle);
  const int vcc = AdjustedVccMillivolts(vccMillivolts_, Choice(kAdjustWord, 3));
  SwitchOn(gndPin_, vccPin_, vcc);
  PutCmd1(at25spi::kCmdWait100ms);
  return !check || CheckPower();
}

std::uint8_t ACTRANS25::ReadStatusByte() {
  SpiEngine::Select();
  SpiEngine::Send(kSpiReadStatus);
  SpiEngine::ReceiveShifted();
  ReadReply64(gLink.ScratchBuffer.data());
  SpiEngine::Deselect();
  return gLink.ScratchBuffer[0];
}

bool ACTRANS25::WaitReady(std::uint8_t* status) {
  for (int i = 0; i < kReadyPolls; ++i) {
    const std::uint8_t s = ReadStatusByte();
    if (status) *status = s;
    if ((s & kBusy) == 0) return true;
    PutCmd1(at25spi::kCmdWait100ms);
  }
  return false;
}

void ACTRANS25::Scan(ScanMode mode) {
  if (!PowerUp(true)) return;
  FlushCommands();
  SpiEngine::Select();
  SpiEngine::Send(SpiFlashAddress(kSpiRead, 0));
  const auto fetch = [](std::uint32_t, std::uint8_t* dest, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) SpiEngine::ReceiveShifted();
    ReadReply64(gLink.ScratchBuffer.data());
    std::copy_n(gLink.ScratchBuffer.begin(), count, dest);
  };
  if (!ScanChip(size_, kBlockBytes, mode, fetch, [] { SpiEngine::Deselect(); })) return;
  SpiEngine::Deselect();
  ShowProgress(-1);
  SelectVccPin(0);
}

void ACTRANS25::Write() {
  if (!PowerUp(true)) return;
  for (std::uint32_t a = 0; a < size_; a += page_) {
    ShowProgress(static_cast<int>(a));
    SpiEngine::Instruction(kSpiWriteEnable);
    SpiEngine::Select();
    SpiEngine::Send(SpiFlashAddress(kSpiWrite, a));
    for (std::uint32_t i = 0; i < page_; ++i) SpiEngine::Send(buffer_[a + i]);
    SpiEngine::Deselect();
    SpiEngine::Wait1ms(delay_ + 2);
    FlushCommands();
  }
  ShowProgress(-1);
  SelectVccPin(0);
}

void ACTRANS25::Erase() {
  const std::uint8_t opcode = Type().eraseOpcode;
  if (opcode == 0) {
    Decline(kNoErase);
    return;
  }
  PowerUp(false);
  PutCmd1(kCmdSettle);
  SpiEngine::Deselect();
  SpiEngine::Instruction(kSpiWriteEnable);
  SpiEngine::Instruction(opcode);
  ShowProgress(0);
  for (std::uint32_t step = 1; step <= eraseSteps_; ++step) {
    ShowProgress(static_cast<int>(step * (size_ / eraseSteps_)));
    PutCmd1(kCmdSettle);
    FlushCommands();
  }
  // VCC stays on until the erase is over: switched off earlier, the chip is left half erased.
  if (!WaitReady()) Decline(kStillBusy);
  ShowProgress(-1);
  SpiEngine::Deselect();
  SelectVccPin(0);
}

void ACTRANS25::WriteStatus(std::uint8_t value, bool readBack) {
  if (!PowerUp(true)) return;
  SpiEngine::Instruction(kSpiWriteEnable);
  SpiEngine::Select();
  SpiEngine::Send(kSpiWriteStatus);
  SpiEngine::Send(value);
  SpiEngine::Deselect();
  PutCmd1(readBack ? at25spi::kCmdWait100ms : kCmdSettle);
  std::uint8_t status = 0;
  const bool ready = WaitReady(&status);
  SelectVccPin(0);
  if (!ready) {
    Decline(kStillBusy);
    return;
  }
  if (!readBack) return;
  char line[40];
  if ((status & kStatusBits) == value) {
    std::snprintf(line, sizeof line, "OK,Status=%02x", status);
    AddMessageLine(line);
  } else {
    std::snprintf(line, sizeof line, "Bad!!! Read status=%02x", status);
    Decline(line);
  }
}

void ACTRANS25::ReadStatus() {
  if (!PowerUp(true)) return;
  const std::uint8_t status = ReadStatusByte();
  SelectVccPin(0);
  char line[32];
  std::snprintf(line, sizeof line, "Status=%02x", status);
  AddMessageLine(line);
  SetWord(0, status);
}

void ACTRANS25::ReadId() {
  PowerUp(false);
  SpiEngine::Select();
  SpiEngine::Send(SpiFlashAddress(kReadId, 0));
  for (int i = 0; i < 4; ++i) SpiEngine::ReceiveShifted();
  ReadReply64(gLink.ScratchBuffer.data());
  SpiEngine::Deselect();
  SelectVccPin(0);
  const std::uint8_t* id = gLink.ScratchBuffer.data();
  char line[40];
  std::snprintf(line, sizeof line, "ID=%02x,%02x,%02x,%02x", id[0], id[1], id[2], id[3]);
  AddMessageLine(line);
}

}  // namespace zelvar::memory
