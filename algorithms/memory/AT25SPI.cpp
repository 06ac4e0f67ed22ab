#include "algorithms/memory/AT25SPI.h"

#include <cstdio>
#include <string>

#include "algorithms/memory/SpiEngine.h"
#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
using frame::kBadPage;
using frame::kNoSuchType;
constexpr const char* kDesign = "at25spi.bit";
constexpr const char* kNoAddressForm =
    "Chip size (len=) has no address form! *器件容量(len=)无对应的地址格式!";
constexpr std::uint32_t kBlockBytes = 64;

bool PowerOfTwo(std::uint32_t v) {
  return v != 0 && (v & (v - 1)) == 0;
}
}  // namespace

void CheckSpiRow(const SpiType& t, TypeTableReport& r, const char* bitstream) {
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(bitstream);
  r.MaskInSocket(t.contactMask, 40);
  r.DistinctSupplyPins({{"VCC", t.vccPin}}, {t.gndPin}, 40);
  if (t.gndPin < 1 || t.gndPin > 40) r.Fault("ground pin outside the socket");
  if (t.contactMask != 0) {
    if (t.vccPin != 24 || t.gndPin != 20) r.Fault("8-pin row without VCC on 24 and ground on 20");
    if ((t.contactMask & ~SocketPins(17, 24)) != 0) r.Fault("contact mask off the package");
  }
}

void AT25SPI::Init() {
  ClearRefusal();
  if (gApp.TypeIndex < 1 || gApp.TypeIndex >= static_cast<int>(kTypes.size())) {
    Refuse(kNoSuchType);
    return;
  }
  LoadBitstream(kDesign);
  // Queued after the load: the load's register write would hand them to the old design.
  SpiEngine::Setup();
  const int len = services().ChipParam("len=");
  const int pag = services().ChipParam("pag=");
  const int dly = services().ChipParam("dly=");
  size_ = len > 0 ? static_cast<std::uint32_t>(len) : 0;
  page_ = pag > 0 ? static_cast<std::uint32_t>(pag) : 0;
  delay_ = dly > 0 ? static_cast<std::uint32_t>(dly) : 0;
  SelectGndPin(Type().gndPin);
  vccMillivolts_ = ChipVccMillivolts();
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
  if (!SpiEepromAddressable(size_)) {
    Refuse(kNoAddressForm);
  } else if (!PowerOfTwo(page_) || page_ > size_) {
    // A page of 0 would never advance the write; one that is no power of two crosses pages.
    Refuse(kBadPage);
  }
}

TypeFacts AT25SPI::Facts() const {
  const SpiType& t = Type();
  return {.lastAddress = size_ > 0 ? size_ - 1 : 0,
          .contactMask = Refused() ? 0 : t.contactMask,
          .groundPin = t.gndPin};
}

bool AT25SPI::Offers(int op) const {
  return op == kOpUnProtect || op == kOpWrite || op == kOpVerify || op == kOpConfig ||
         op == kOpRead || op == kOpReadConfig;
}

void AT25SPI::Handle(int op) {
  switch (op) {
    case kOpUnProtect:
      WriteStatus(0);
      break;
    case kOpWrite:
      Write();
      break;
    case kOpVerify:
      Scan(true);
      break;
    case kOpConfig:
      WriteStatus(static_cast<std::uint8_t>(Word(0) & 0xFF));
      break;
    case kOpRead:
      Scan(false);
      break;
    case kOpReadConfig:
      ReadStatus();
      break;
    default:
      break;
  }
}

bool AT25SPI::PowerUp() const {
  SpiEngine::Idle();
  return SerialSet::PowerUp(Type().gndPin, Type().vccPin, vccMillivolts_);
}

void AT25SPI::Scan(bool verify) {
  if (!PowerUp()) return;
  FlushCommands();
  SpiEngine::Select();
  SpiEngine::Send(SpiEepromAddress(kSpiRead, 0, size_));
  const auto fetch = [](std::uint32_t, std::uint8_t* dest, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) SpiEngine::Receive();
    ReadReply64(gLink.ScratchBuffer.data());
    std::copy_n(gLink.ScratchBuffer.begin(), count, dest);
  };
  if (!ScanChip(size_, kBlockBytes, verify ? ScanMode::kVerify : ScanMode::kRead, fetch,
                [] { SpiEngine::Deselect(); }))
    return;
  SpiEngine::Deselect();
  ShowProgress(-1);
  SelectVccPin(0);
}

void AT25SPI::Write() {
  if (!PowerUp()) return;
  for (std::uint32_t a = 0; a < size_; a += page_) {
    ShowProgress(static_cast<int>(a));
    SpiEngine::Instruction(kSpiWriteEnable);
    SpiEngine::Select();
    SpiEngine::Send(SpiEepromAddress(kSpiWrite, a, size_));
    for (std::uint32_t i = 0; i < page_; ++i) SpiEngine::Send(buffer_[a + i]);
    SpiEngine::Deselect();
    SpiEngine::Wait1ms(delay_ + 2);
    FlushCommands();
  }
  ShowProgress(-1);
  SelectVccPin(0);
}

void AT25SPI::WriteStatus(std::uint8_t value) {
  if (!PowerUp()) return;
  SpiEngine::Instruction(kSpiWriteEnable);
  SpiEngine::Select();
  SpiEngine::Send(kSpiWriteStatus);
  SpiEngine::Send(value);
  SpiEngine::Deselect();
  PutCmd1(kCmdSettle);
  // The status is written in the chip's write cycle, as a page is: VCC stays on through it.
  SpiEngine::Wait1ms(delay_ + 2);
  SelectVccPin(0);
}

void AT25SPI::ReadStatus() {
  if (!PowerUp()) return;
  SpiEngine::Select();
  SpiEngine::Send(kSpiReadStatus);
  SpiEngine::Receive();
  ReadReply64(gLink.ScratchBuffer.data());
  const std::uint8_t status = gLink.ScratchBuffer[0];
  SpiEngine::Deselect();
  SelectVccPin(0);
  char line[32];
  std::snprintf(line, sizeof line, "Status=%02x", status);
  AddMessageLine(line);
  SetWord(0, status);
}

}  // namespace zelvar::memory
