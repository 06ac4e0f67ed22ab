#include "algorithms/memory/P24.h"

#include <string>

#include "link/Bitstream.h"
#include "link/CommandQueue.h"
#include "link/LinkState.h"
#include "link/Primitives.h"
#include "services/AppState.h"
#include "services/Messages.h"
#include "services/Services.h"

namespace zelvar::memory {

namespace {
using frame::kBadPage;
using frame::kNoSuchType;
constexpr const char* kSocketDesign = "i2c24c.bit";
constexpr const char* kHeaderDesign = "i2c24isp.bit";
constexpr const char* kHeaderLegend =
    "1----SCL(6)\n9----SDA(5)\n7----VCC(8)\n2----VSS(4)\n2----GND to Noused pin(1,2,3)\nend";
constexpr std::uint8_t kHeaderVccPin = 22;

constexpr std::uint32_t kDefaultDelayCount = 10;
// Waits of the page-delay choice, in delay counts.
constexpr std::uint32_t kDelays[] = {1, 2, 5, 10, 20, 50};
constexpr int kVccMillivolts[] = {5000, 3300, 2500};
constexpr std::uint32_t kBlockBytes = 64;

constexpr int kPageDelayWord = 128;
constexpr int kWriteModeWord = 129;
constexpr int kReadModeWord = 130;
constexpr int kVccWord = 131;

bool PowerOfTwo(std::uint32_t v) {
  return v != 0 && (v & (v - 1)) == 0;
}
}  // namespace

void CheckI2cRow(const I2cType& t, TypeTableReport& r) {
  if (t.name.empty()) r.Fault("no caption");
  r.bitstreams.emplace_back(kSocketDesign);
  r.SizeIsPowerOfTwo(t.lastAddress);
  r.MaskInSocket(t.contactMask, 40);
  const auto onPackage = [](int pin) { return pin >= 17 && pin <= 24; };
  r.DistinctSupplyPins({{"VCC", t.vccPin}, {"SDA", t.sdaPin}, {"SCL", t.sclPin}}, {t.gndPin}, 40);
  if (t.gndPin != 20 || t.vccPin != 24) r.Fault("supply pins not those of the 8-pin package");
  for (int pin : {int{t.sdaPin}, int{t.sclPin}, int{t.wpPin}, int{t.aPins[0]}, int{t.aPins[1]},
                  int{t.aPins[2]}}) {
    if (pin != 0 && !onPackage(pin)) r.Fault("pin " + std::to_string(pin) + " off the package");
  }
  if ((t.contactMask & ~SocketPins(17, 24)) != 0) r.Fault("contact mask off the package");
  const std::uint32_t size = t.lastAddress + 1;
  switch (t.form) {
    case I2cForm::kX24c01:
      if (size != 128) r.Fault("the X24C01 form addresses 128 bytes");
      break;
    case I2cForm::kOneByte:
      if (size > 2048) r.Fault("one address byte reaches 2 KiB");
      break;
    case I2cForm::kTwoBytes:
      if (size <= 2048 || size > 0x20000) r.Fault("two address bytes for 4 to 128 KiB");
      break;
  }
  if (!PowerOfTwo(t.pageBytes) || t.pageBytes < 2 || t.pageBytes > size) r.Fault("page size");
}

std::uint32_t I2cWritePage(std::uint32_t rowPage, std::uint32_t pagParam, std::uint32_t writeMode) {
  std::uint32_t page = pagParam != 0 ? pagParam : rowPage;
  if (writeMode == 1) page /= 2;
  if (writeMode == 2) page /= 4;
  return page < 2 ? 2 : page;
}

void P24::Init() {
  ClearRefusal();
  const I2cType& t = Type();
  if (gApp.TypeIndex < 1 || gApp.TypeIndex >= static_cast<int>(kTypes.size())) {
    contactMask_ = 0;
    Refuse(kNoSuchType);
    return;
  }
  if (services().ChipParam("isp=") != 0) {
    services().ShowIspWiring(kHeaderLegend);
    LoadBitstream(kHeaderDesign);
    vccPin_ = kHeaderVccPin;
    gndPin_ = 0;
    contactMask_ = 0;
  } else {
    LoadBitstream(kSocketDesign);
    vccPin_ = t.vccPin;
    gndPin_ = t.gndPin;
    contactMask_ = t.contactMask;
  }
  // Queued after the load: the load's register write would hand them to the old design.
  I2cEngine::Setup();
  const int dly = services().ChipParam("dly=");
  delayCount_ = dly > 0 ? static_cast<std::uint32_t>(dly) : kDefaultDelayCount;
  FlushCommands();
  const int pag = services().ChipParam("pag=");
  page_ = t.pageBytes;
  if (pag != 0) {
    if (pag < 0 || !PowerOfTwo(static_cast<std::uint32_t>(pag))) {
      Refuse(kBadPage);
      return;
    }
    page_ = static_cast<std::uint32_t>(pag);
  }
}

TypeFacts P24::Facts() const {
  return {.lastAddress = Type().lastAddress, .contactMask = contactMask_};
}

bool P24::Offers(int op) const {
  return op == kOpWrite || op == kOpVerify || op == kOpRead;
}

void P24::Handle(int op) {
  switch (op) {
    case kOpWrite:
      Write();
      break;
    case kOpVerify:
      Scan(true);
      break;
    case kOpRead:
      Scan(false);
      break;
    default:
      break;
  }
}

// The VCC choice is read here, at each operation: set-up runs before the options are applied.
// The WP line ("p07=") is set here too: every operation ends with the pins released.
bool P24::PowerUp() const {
  I2cEngine::WriteProtect(services().ChipParam("p07=") != 0);
  const int vcc = kVccMillivolts[Choice(kVccWord, std::size(kVccMillivolts))];
  return SerialSet::PowerUp(gndPin_, vccPin_, vcc);
}

void P24::FetchBlock(std::uint32_t address, std::uint8_t* dest, std::uint32_t count, bool page) {
  const I2cType& t = Type();
  // The X24C01 form carries the address in each read; the others read the chip's counter.
  const bool addressed = !page || t.form == I2cForm::kX24c01;
  for (std::uint32_t i = 0; i < count; ++i) {
    const std::uint32_t a = address + i;
    if (t.form == I2cForm::kX24c01) {
      I2cEngine::Address(t.form, a, true);
    } else {
      if (addressed) I2cEngine::Address(t.form, a, false);
      I2cEngine::Start();
      I2cEngine::Send(I2cReadControl(t.form, address));
    }
    I2cEngine::Receive();
    if (page) I2cEngine::AckClock();
  }
  ReadReply64(gLink.ScratchBuffer.data());
  std::copy_n(gLink.ScratchBuffer.begin(), count, dest);
}

void P24::Scan(bool verify) {
  if (!PowerUp()) return;
  const I2cType& t = Type();
  const bool page = Word(kReadModeWord) == 1 && services().ChipParam("pic=") != 1;
  if (page || verify) {
    if (t.form != I2cForm::kX24c01) I2cEngine::Address(t.form, 0, false);
    FlushCommands();
  }
  const auto fetch = [&](std::uint32_t a, std::uint8_t* d, std::uint32_t n) {
    FetchBlock(a, d, n, page);
  };
  if (!ScanChip(t.lastAddress, kBlockBytes, verify ? ScanMode::kVerify : ScanMode::kRead, fetch,
                [] { I2cEngine::Stop(); }))
    return;
  I2cEngine::Stop();
  ShowProgress(static_cast<int>(t.lastAddress));
  SelectVccPin(0);
}

void P24::Write() {
  if (!PowerUp()) return;
  const I2cType& t = Type();
  const std::uint32_t page = I2cWritePage(page_, 0, Word(kWriteModeWord));
  const std::uint32_t ticks =
      delayCount_ * (kDelays[Choice(kPageDelayWord, std::size(kDelays))] + 1);
  for (std::uint32_t a = 0; a < t.lastAddress; a += page) {
    ShowProgress(static_cast<int>(a));
    I2cEngine::Address(t.form, a, false);
    for (std::uint32_t i = 0; i < page; ++i) I2cEngine::Send(buffer_[a + i]);
    I2cEngine::Stop();
    I2cEngine::Wait(ticks);
    FlushCommands();
  }
  SelectVccPin(0);
  gLink.StatusWord = 0;
  ShowProgress(-1);
}

}  // namespace zelvar::memory
