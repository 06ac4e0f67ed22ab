#include "algorithms/mcs51/Rx2Engine.h"

#include <array>
#include <cstdio>

#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/PowerContact.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"

namespace zelvar::mcs51 {

namespace {
constexpr ModeLines kLines{{27, 28, 16, 17, 13}};
constexpr AddressPins kAddress16{{21, 22, 23, 24, 25, 26, 14, 15}};
constexpr AddressPins kAddress15{{21, 22, 23, 24, 25, 26, 14, 0}};
constexpr int kConfigWord = 0;
constexpr int kBsbWord = 64, kBsvWord = 65, kSsbWord = 66;
}  // namespace

const AddressPins& Rx2Set::Address() const {
  return Policy().address15 ? kAddress16 : kAddress15;
}

std::span<const int> Rx2Set::Operations() const {
  static constexpr int kOps[] = {kOpErase, kOpBlank, kOpWrite,  kOpVerify,    kOpConfig,
                                 kOpLock,  kOpRead,  kOpReadId, kOpReadConfig};
  return kOps;
}

void Rx2Set::Init() {
  SetUp(Types().size(), kPlcc44, 5000, 4500);
}

void Rx2Set::SetModePins(const char* levels) {
  SetMode(kLines, Mode{levels});
}

void Rx2Set::DataPulse(std::uint8_t b) {
  PutCmd2(kCmdDataByte, b);
  SetPinLow(kProgPin);
  SetPinHigh(kProgPin);
}

// The bus drives P0 only once the mode pins have left the read mode that power-up leaves: the
// chip's outputs are on until then.
void Rx2Set::Unlock() {
  SetModePins("10100");
  SetRegister25(kBusDrive);
  DataPulse(0x55);
  DataPulse(0xAA);
}

void Rx2Set::LongStrobe(int extraSettles) {
  SetPinLow(kProgPin);
  PutCmd1(kCmdSettle);
  SetPinHigh(kProgPin);
  for (int i = 0; i < extraSettles; ++i) PutCmd1(kCmdSettle);
}

void Rx2Set::EnterProgramMode() {
  const Rx2Policy& policy = Policy();
  SelectGndPin(gApp.GroundPin);
  SwitchPin(kXtal2Pin, true);
  SwitchPin(kXtal1Pin, true);
  SelectClockPin(kXtal1Pin);
  SetRegister25(kBusRead);
  SelectVccPin(0);
  SelectVccPin(gMcs51.ChipVccPin);
  if (policy.vppOnEa) SelectVppPinByModel(gMcs51.ChipVppPin);
  SetModePins("01111");
  SetPinHigh(kRstPin);
  SetPinLow(kPsenPin);
  SetPinHigh(gMcs51.ChipVppPin);
  SetPinHigh(10);
  if (policy.vppOnEa) SetPinHigh(11);
  if (!policy.address15) SetPinHigh(15);
  SetAddress(0);
  SetPinHigh(kProgPin);
  SetPinLow(28);
  if (policy.entryCode) {
    SetModePins("11001");
    SetRegister25(kBusDrive);
    DataPulse(0x69);
    SetRegister25(kBusRead);
  }
  FlushCommands();
}

void Rx2Set::PowerUp() {
  EnterProgramMode();
  SetRegister25(kBusRead);  // released before VCC rises
  SelectVccPin(gMcs51.ChipVccPin);
  SwitchPin(kXtal1Pin, false);
  SwitchPin(kXtal2Pin, true);
  PowerUpCheckStub(kXtal1Pin, kXtal2Pin);
}

bool Rx2Set::EnterReadCode() {
  PowerUp();
  SetRegister25(kBusRead);
  SwitchPin(14, false);
  SetModePins("01111");
  SetPinHigh(kProgPin);
  SetPinLow(28);
  FlushCommands();
  return CheckPower();
}

// Code blocks: 64 single samples a reply, or 256-byte block reads.
bool Rx2Set::ScanRx2(Scan kind) {
  if (!Policy().read64) return ScanCode(kind);
  return ScanBlocks(kind, 0, LastAddress(), 64, [this](std::uint32_t a, std::uint8_t* dest) {
    if ((a & 0xFF) == 0) SetAddress(a);
    for (int i = 0; i < 64; ++i) {
      PutCmd1(kCmdSampleData);
      NextAddress();
    }
    ReadReply64(dest);
  });
}

void Rx2Set::Read() {
  if (!EnterReadCode()) return;
  SetAddress(0);
  ScanRx2(Scan::Read);
  FinishScan();
}

void Rx2Set::Blank() {
  if (!EnterReadCode()) return;
  if (ScanCode(Scan::Blank)) FinishScan();
}

void Rx2Set::Verify() {
  if (!EnterReadCode()) return;
  SetAddress(0);
  if (ScanRx2(Scan::Verify)) FinishScan();
}

void Rx2Set::Erase() {
  const Rx2Policy& policy = Policy();
  PowerUp();
  SetAddress(0);
  SetPinHigh(kProgPin);
  Unlock();
  if (policy.erasePage) {
    SetModePins("01010");
    for (std::uint32_t i = 0; i < kRx2Page; ++i) {
      DataPulse(0xFF);
      NextAddress();
    }
  }
  SetModePins("10000");
  LongStrobe(1);
  if (policy.hsbAfterErase) {
    SetModePins("11000");
    PutCmd2(kCmdDataByte, 0x7F);
    LongStrobe(1);
  }
  FlushCommands();
}

void Rx2Set::Write() {
  // The signature is checked before the first page, as the parallel sets check it.
  if (!TypeCheck({})) return;
  PowerUp();
  SetAddress(0);
  Unlock();
  FlushCommands();
  for (std::uint32_t p = 0; p <= LastAddress(); p += kRx2Page) {
    ShowProgress(static_cast<int>(p));
    SetAddress(p);
    SetModePins("01010");
    for (std::uint32_t i = 0; i < kRx2Page; ++i) {
      DataPulse(buffer_[p + i]);
      NextAddress();
    }
    SetModePins("01110");
    SetAddress(p);
    for (int k = 0; k < Policy().pageStrobes; ++k) LongStrobe();
    FlushCommands();
  }
  ShowProgress(-1);
}

void Rx2Set::Config() {
  const std::array<std::uint8_t, 6> bytes = {static_cast<std::uint8_t>(Word(kBsbWord)),
                                             static_cast<std::uint8_t>(Word(kBsvWord)),
                                             0xFF,
                                             0xFF,
                                             static_cast<std::uint8_t>(Word(kConfigWord)),
                                             static_cast<std::uint8_t>(Word(kSsbWord))};
  hsb_ = bytes[4];
  PowerUp();
  SetAddress(0);
  Unlock();
  SetModePins("01010");
  for (std::uint8_t b : bytes) {
    DataPulse(b);
    NextAddress();
  }
  SetModePins("11010");
  SetAddress(0);
  LongStrobe();
  LongStrobe();
  FlushCommands();
}

// The hardware security byte from the config rows (OptionValues word 0), in every Rx2 set.
void Rx2Set::Lock() {
  const Rx2Policy& policy = Policy();
  hsb_ = static_cast<std::uint8_t>(Word(kConfigWord));
  PowerUp();
  SetAddress(0);
  Unlock();
  SetModePins("11000");
  if (policy.hsbCommitPattern) {
    DataPulse(hsb_);
    SetModePins("11011");
    LongStrobe();
  } else {
    PutCmd2(kCmdDataByte, hsb_);
    LongStrobe(1);
  }
  FlushCommands();
  if (policy.logSecurity) {
    char line[24];
    std::snprintf(line, sizeof line, "HSB=%02x OK", hsb_);
    AddMessageLine(line);
  }
}

void Rx2Set::ReadSignature() {
  PowerUp();
  SetRegister25(kBusRead);
  SetModePins("00001");
  SetAddress(0);
  SetPinLow(28);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  gApp.ReadId = {block[0x30], block[0x31], block[0x60], block[0x61]};
  SetPinHigh(28);
  SuppliesOff();
}

void Rx2Set::ReadId() {
  ReadSignature();
  const auto& id = gApp.ReadId;
  char line[80];
  std::snprintf(line, sizeof line, "厂家和型号的代码 = %02x,%02x,%02x,%02x", id[0], id[1], id[2],
                id[3]);
  AddMessageLine(line);
}

void Rx2Set::ReadConfig() {
  PowerUp();
  if (!CheckPower()) return;
  SetRegister25(kBusRead);
  SetModePins("00000");
  SetPinHigh(kProgPin);
  SetPinLow(28);
  SetAddress(0);
  std::uint8_t* block = gLink.ScratchBuffer.data();
  ReadBlock256(block);
  SuppliesOff();
  char line[96];
  std::snprintf(line, sizeof line, Policy().configFormat, block[0], block[1], block[4], block[5],
                block[0x30], block[0x31], block[0x60]);
  AddMessageLine(line);
  SetWord(kBsbWord, block[0]);
  SetWord(kBsvWord, block[1]);
  SetWord(kConfigWord, block[4]);
  SetWord(kSsbWord, block[5]);
}

}  // namespace zelvar::mcs51
