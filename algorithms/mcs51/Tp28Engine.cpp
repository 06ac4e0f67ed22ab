#include "algorithms/mcs51/Tp28Engine.h"

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {

constexpr Package kTpDip40{.bitstream = "tp2804.bit",
                           .groundPin = kDip40.groundPin,
                           .vccPin = kDip40.vccPin,
                           .vppPin = kDip40.vppPin,
                           .contactMask = kDip40.contactMask};
constexpr Package kTpPlcc44{.bitstream = "tp2804p44.bit",
                            .groundPin = kPlcc44.groundPin,
                            .vccPin = kPlcc44.vccPin,
                            .vppPin = kPlcc44.vppPin,
                            .contactMask = kPlcc44.contactMask};
constexpr AddressPins kNoPins{};
constexpr std::uint32_t kPage = 64;
constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite, kOpVerify, kOpRead};

}  // namespace

void Tp28Set::CheckTpRow(const ParallelType& t, std::uint32_t maxLast, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  if (t.lastAddress > maxLast || (t.lastAddress + 1) % 256 != 0) {
    r.Fault("size not whole 256-byte blocks within the part");
  }
  for (const Package& p : {kTpDip40, kTpPlcc44}) {
    r.DistinctSupplyPins({{"VCC", p.vccPin}}, {p.groundPin}, 48);
    r.bitstreams.emplace_back(p.bitstream);
  }
}

const AddressPins& Tp28Set::Address() const {
  return kNoPins;
}
std::span<const int> Tp28Set::Operations() const {
  return kOps;
}

// VCC from the chip line, 5 V when it gives none.
void Tp28Set::Init() {
  BeginSetup();
  if (!AcceptRow(static_cast<int>(RowCount()))) return;
  UsePackage(TitleNamesPlcc44() ? kTpPlcc44 : kTpDip40);
  SelectGndPin(gApp.GroundPin);
  vccMillivolts_ = ChipVccMillivolts(5000);
  vppMillivolts_ = 0;
  SetVccVoltage(vccMillivolts_);
  SetVppVoltage(0);
}

void Tp28Set::Flags(std::initializer_list<Flag> flags) {
  for (const auto& [bit, on] : flags) {
    controls_ = static_cast<std::uint8_t>(on ? controls_ | (1 << bit) : controls_ & ~(1 << bit));
  }
  WritePort(2, controls_);
}

void Tp28Set::TpAddress(std::uint32_t a) {
  current_ = a;
  WritePort(0, static_cast<std::uint8_t>(a));
  WritePort(1, static_cast<std::uint8_t>(a >> 8));
}

void Tp28Set::TpNext() {
  ++current_;
  WritePort(0, static_cast<std::uint8_t>(current_));
}

// The read state: RST pulsed low with VCC on, then c1, c2, c3, c5, c7 high and c4 low.
void Tp28Set::ReadEntry() {
  SetRegister25(kBusRead);
  SelectClockPin(kXtal1Pin);
  Flags({{4, false}, {6, false}, {3, true}, {5, true}, {2, true}, {1, true}, {7, true}});
  SelectVccPin(gMcs51.ChipVccPin);
  Flags({{0, false}});
  PutCmd1(kCmdWait50us);
  Flags({{0, true}});
  if (Policy().a16) {
    Flags({{4, true}});
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdPadding);
    Flags({{6, true}});
    for (int i = 0; i < 3; ++i) PutCmd1(kCmdPadding);
    Flags({{4, false}, {6, false}});
    PutCmd1(kCmdWait50us);
  } else {
    Flags({{4, true}});
    Flags({{6, true}});
    Flags({{4, false}});
    Flags({{6, false}});
    PutCmd1(kCmdWait100us);
  }
  TpAddress(0);
  FlushCommands();
}

bool Tp28Set::ScanImage(Scan kind) {
  return ScanBlocks(kind, 0, LastAddress(), 256, [this](std::uint32_t a, std::uint8_t* dest) {
    TpAddress(a);
    if (Policy().a16) Flags({{6, (a >> 16) & 1}});
    ReadBlock256(dest);
  });
}

void Tp28Set::Read() {
  ReadEntry();
  if (!CheckPower()) return;
  ScanImage(Scan::Read);
  FinishScan();
}

void Tp28Set::Blank() {
  ReadEntry();
  if (!CheckPower()) return;
  if (ScanImage(Scan::Blank)) FinishScan();
}

// The whole type against the image Write programs.
void Tp28Set::Verify() {
  ReadEntry();
  if (!CheckPower()) return;
  std::vector<std::uint8_t> image(buffer_, buffer_ + LastAddress() + 1);
  PatchImage(image);
  std::uint8_t* const user = buffer_;
  buffer_ = image.data();
  const bool same = ScanImage(Scan::Verify);
  if (!same) LogVerifyMismatch();
  buffer_ = user;
  if (same) FinishScan();
}

// P3.4 (c7) low for 200 ms with EA, ALE and P3.6 low: the chip erase.
void Tp28Set::Erase() {
  SetRegister25(kBusRead);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusDrive);
  Flags({{6, true}, {4, false}, {3, false}, {5, true}, {2, true}, {1, false}, {7, false}});
  SelectVccPin(gMcs51.ChipVccPin);
  Flags({{0, false}});
  PutCmd1(kCmdWait50us);
  Flags({{0, true}});
  FlushCommands();
  if (!CheckPower()) return;
  TpAddress(0xFFFF);
  PutCmd2(kCmdDataByte, 0xFF);
  Flags({{2, false}});
  Flags({{7, true}});
  Flags({{2, true}});
  Flags({{7, false}});
  Flags({{5, false}});
  PutCmd1(kCmdLongWait);
  PutCmd1(kCmdLongWait);
  Flags({{7, true}});
  Flags({{5, true}, {2, false}});
  Flags({{5, false}, {2, true}});
  FlushCommands();
}

// The type's range in 64-byte pages, from a patched copy of the buffer.
void Tp28Set::Write() {
  std::vector<std::uint8_t> image(buffer_, buffer_ + LastAddress() + 1);
  PatchImage(image);
  SetRegister25(kBusRead);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusDrive);
  TpAddress(0);
  PutCmd2(kCmdDataByte, 0xFF);
  Flags({{0, true}, {6, true}, {4, false}, {3, true}, {5, true}, {2, true}, {1, true}, {7, true}});
  SelectVccPin(gMcs51.ChipVccPin);
  PutCmd1(kCmdSettle);
  Flags({{6, false}});
  Flags({{0, false}});
  PutCmd1(kCmdPadding);
  Flags({{0, true}, {6, !Policy().a16}, {3, false}, {5, true}, {2, false}, {1, false}});
  Flags({{4, true}});
  Flags({{2, true}});
  Flags({{7, false}});
  Flags({{5, false}});
  FlushCommands();
  if (!CheckPower()) return;
  for (std::uint32_t a = 0; a <= LastAddress(); a += kPage) {
    FlushCommands();
    ShowProgress(static_cast<int>(a));
    if (Policy().a16) Flags({{6, (a >> 16) & 1}});
    TpAddress(a);
    Flags({{2, true}});
    Flags({{7, false}});
    Flags({{5, false}});
    for (std::uint32_t i = 0; i < kPage; ++i) {
      PutCmd2(kCmdDataByte, image[a + i]);
      Flags({{1, true}});
      PutCmd1(kCmdPadding);
      Flags({{1, false}});
      TpNext();
    }
    Flags({{7, true}});
    Flags({{2, false}});
    Flags({{5, true}});
  }
  FlushCommands();
  ShowProgress(-1);
}

}  // namespace zelvar::mcs51
