#include "algorithms/memory/WordSerialSet.h"

#include <algorithm>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "link/commands/At25spi.h"
#include "link/commands/Programmer.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
using frame::kNoSuchType;
constexpr const char* kNoAddressForm =
    "Chip size (len=) has no address form! *器件容量(len=)无对应的地址格式!";
constexpr std::uint32_t kBlockBytes = 64;
constexpr std::uint8_t kWriteEnable[] = {0xA3, 0x00};
// Line 3 of the "ak6420" designs, low at power-up as line 2.
constexpr std::uint8_t kLineThree = 3;
}  // namespace

void CheckWordSerialRow(const WordSerialType& t, TypeTableReport& r) {
  if (t.bitstream.empty()) return;
  r.bitstreams.emplace_back(t.bitstream);
  r.MaskInSocket(t.pinMask, 40);
  r.DistinctSupplyPins({{"VCC", t.vccPin}}, {t.gndPin}, 40);
  const auto on = [&](int pin) { return pin >= 1 && pin <= 64 && (t.pinMask >> (pin - 1)) & 1; };
  if (!on(t.vccPin) || !on(t.gndPin)) r.Fault("VCC or ground pin off the package");
}

void WordSerialSet::Init() {
  ClearRefusal();
  // A set-local row: moving the application's chosen type would move it for every later set-up.
  row_ = gApp.TypeIndex;
  if (gLink.ModelNumber >= 6300 && row_ > 0 && row_ < 10) row_ += 10;
  if (row_ < 1 || row_ >= static_cast<int>(kTypes.size()) || Row().bitstream.empty()) {
    row_ = 0;
    Refuse(kNoSuchType);
    return;
  }
  const WordSerialType& t = Row();
  LoadBitstream(std::string(t.bitstream).c_str());
  // Queued after the load: the load's register write would hand them to the old design.
  SpiEngine::Setup();
  if (t.placementRow != 0) {
    PlacementRequest picture;
    picture.pins = 8;
    picture.firstRow = t.placementRow;
    picture.pin1Side = 1;
    services().ShowPlacement(picture);
  }
  const int len = services().ChipParam("len=");
  const int dly = services().ChipParam("dly=");
  size_ = len > 0 ? static_cast<std::uint32_t>(len) : 0;
  delay_ = dly > 0 ? static_cast<std::uint32_t>(dly) : 0;
  SelectGndPin(t.gndPin);
  vccMillivolts_ = ChipVccMillivolts();
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
  if (size_ == 0 || size_ > gApp.CodeBuffer.size() || !Addressable(size_)) Refuse(kNoAddressForm);
}

TypeFacts WordSerialSet::Facts() const {
  // The package's pins, so that the contact check finds an empty socket.
  return {.lastAddress = size_ > 0 ? size_ - 1 : 0,
          .contactMask = Row().pinMask,
          .groundPin = Row().gndPin};
}

bool WordSerialSet::Offers(int op) const {
  return op == kOpWrite || op == kOpVerify || op == kOpRead;
}

void WordSerialSet::Handle(int op) {
  if (op == kOpWrite) {
    Write();
  } else {
    Scan(op == kOpVerify);
  }
}

bool WordSerialSet::PowerUp() const {
  SpiEngine::Idle();
  WriteFpgaReg18(kLineThree);
  PutCmd1(kCmdSettle);
  return SerialSet::PowerUp(Row().gndPin, Row().vccPin, vccMillivolts_);
}

void WordSerialSet::Scan(bool verify) {
  if (!PowerUp()) return;
  FlushCommands();
  SpiEngine::Select();
  SpiEngine::Send(ReadAddress());
  const auto fetch = [this](std::uint32_t, std::uint8_t* dest, std::uint32_t count) {
    for (std::uint32_t i = 0; i < count; ++i) SpiEngine::Receive();
    ReadReply64(gLink.ScratchBuffer.data());
    std::copy_n(gLink.ScratchBuffer.begin(), count, dest);
    // Only the chip's bytes change order: the rest of the buffer is the user's.
    BlockIn(dest, count);
  };
  if (!ScanChip(size_, kBlockBytes, verify ? ScanMode::kVerify : ScanMode::kRead, fetch,
                [] { SpiEngine::Deselect(); }))
    return;
  SpiEngine::Deselect();
  ShowProgress(-1);
  SelectVccPin(0);
}

void WordSerialSet::Write() {
  if (!PowerUp()) return;
  SpiEngine::Select();
  for (std::uint8_t b : kWriteEnable) SpiEngine::Send(b);
  SpiEngine::Deselect();
  for (std::uint32_t a = 0; a + 1 < size_; a += 2) {
    ShowProgress(static_cast<int>(a));
    SpiEngine::Select();
    SpiEngine::Send(WriteAddress(a));
    for (std::uint8_t b : WordOut(buffer_[a], buffer_[a + 1])) SpiEngine::Send(b);
    SpiEngine::Wait1ms(delay_ + 1);
    SpiEngine::Deselect();
    FlushCommands();
  }
  FlushCommands();
  ShowProgress(-1);
  SelectVccPin(0);
}

}  // namespace zelvar::memory
